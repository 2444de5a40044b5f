// Why a reader stopped, in words for people, from the fault the reader
// recorded (driver/field_fault.h): where the field stands, in the records a
// person knows ("track no. 12 › name copy"), and what is wrong with it
// ("found ‘Rampx’, must repeat ‘Rampe’"), in the reader's language. Nothing
// here is taken from the readers' message texts or worked out from offsets:
// the fault says which field, the format headers what it must hold.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "driver/field_fault.h"
#include "driver/recognition_cascade.h"
#include "inspect/words.h"

namespace railfmt::inspect {

// A text of a file (a name) in quotation marks of the language, its bytes
// read as Windows-1252 and every control byte shown as \xNN.
std::string Quoted(std::string_view bytes, const Words& words);

// The records around the field, outermost first: "model 2 › point lists ›
// part 1 › point 5", "track no. 12"; empty for a field of the file itself.
std::string FaultPlace(const FieldFault& fault, const Words& words);

// The field, as a person calls it: "name copy", "Kopie des Namens".
std::string FieldLabel(const char* field, const Words& words);

// What is wrong with the field. object is what the reader filled (it
// knows the names a copy must repeat); bytes are the file's.
std::string FaultWhat(const FieldFault& fault, std::span<const std::uint8_t> bytes,
                      const RecognisedFile::Object* object, const Words& words);

// The whole: "track no. 12 › name copy: found ‘Rampx’, must repeat ‘Rampe’".
std::string FaultSentence(const FieldFault& fault, std::span<const std::uint8_t> bytes,
                          const RecognisedFile::Object* object, const Words& words);

// Whether the fault lies in the identifying header of its kind (a model's
// header, a drawing's identification words): a file whose header holds is
// a file of that kind, damaged further on.
bool InHeader(const FieldFault& fault);

// Whether the data ends inside the field, or where it should begin.
bool CutShort(const FieldFault& fault);

}  // namespace railfmt::inspect
