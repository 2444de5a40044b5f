// What a damaged file still holds: the object its kind's reader filled
// before it stopped, cut back to the records that read whole before the
// fault, and completed into an object of that kind that writes a valid file.
//
// A rejected reader leaves in its object whatever it read (the layout
// reader: each array holds the records read, the one that failed last; the
// archive lists: only records read whole). The fault says in which section
// and record it stopped. Per kind, kept are:
//   model           damage among the point lists: the parts before the
//                   damaged one; further on every part, each with the
//                   primitive and format lists read whole before the damage
//   rolling stock   the models read whole; the damaged model and the later
//                   ones become models without parts; the info block is
//                   always lost (it follows the models, and a failed model
//                   leaves the stream elsewhere) and is written as a new file
//                   has it, named as the rescued file
//   drawing         the points, formats and lines read whole before the
//                   damage; the primitive block only when it was read whole
//   layout          the tracks, placed models and vehicles before the damaged
//                   record, the value blocks and properties read whole, the
//                   trailers read of the vehicles kept
// Counts become what was kept, the sections after the damage are empty, and
// fixed blocks and values that were lost hold what a new, empty file of the
// kind holds (zeros; a model's format factors 1.0).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "driver/field_fault.h"
#include "driver/recognition_cascade.h"
#include "driver/words_for_people.h"

namespace railfmt::inspect {

// A list of records of the file and how many of it were kept.
struct KeptRecords {
  static constexpr std::int64_t kUnknown = -1;

  const char* id;          // "tracks"; an identifier for JSON
  PluralWords words;       // "{kept} of {n} track", "{kept} of {n} tracks"
  const char* lost_words;  // "the tracks", when none could be read
  std::int64_t kept = 0;
  // The count the file announced; kUnknown when the damage came before it.
  std::int64_t total = kUnknown;
};

// A fixed part of the file, or a list of a kept record, that was lost and
// is written as a new, empty file has it.
struct LostPart {
  const char* id;     // "value_blocks"
  PluralWords words;  // "{n} value block", "{n} value blocks"
  std::int64_t count = 1;
};

struct KeptContent {
  std::vector<KeptRecords> records;
  std::vector<LostPart> lost;

  // Whether any record of any list was kept.
  bool AnyRecord() const;
};

// Cuts object (filled by its kind's rejected reader, which stopped at
// fault) back to the records that read whole before the fault and completes
// it as the header says. new_name is the name a rolling stock stores when
// its info block is lost (the base name of the rescued file).
KeptContent KeepBeforeDamage(RecognisedFile::Object& object, const FieldFault& fault, std::string_view new_name);

}  // namespace railfmt::inspect
