// The face every file kind shows the batch: rolling stock, models,
// construction drawings and layouts each offer a struct of this shape,
//
//   struct SomeKind {
//     using Object = CSomething;                  // what the reader fills
//     static constexpr EntryKind kKind = ...;
//     static constexpr const char* kName = ...;   // "model", for people
//     static constexpr const char* kExtension = ...;  // "mod", without the dot
//     static ReadResult Read(std::span<const std::uint8_t> bytes, std::string_view entry_name, Object& object);
//     static std::string OutputName(const Object& object, std::string_view entry_name);
//     static Normalisation Normalise(Object& object);
//     static void Encode(const Object& object, ByteWriter& out);
//   };
//
// Read fills a freshly constructed object from a whole file's bytes and says
// whether the kind's success flag was set and where the reader stopped; its
// mismatch lines and messages go out as it reads. OutputName is the name the
// batch writes the object under. Normalise changes the object into the form
// the batch writes (layouts: bridges and buffer stops placed, duplicates
// removed, track types corrected) and says what it changed. Encode writes
// the object as it stands and changes nothing. A kind whose content may
// name an output that must not be made also offers
//   static std::optional<RefusedOutput> RefusedName(const Object& object);
// giving the text "Can't open %s!\n" carries when the batch refuses it, and
// why, in words for people.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/byte_writer.h"
#include "driver/field_fault.h"
#include "driver/normalisation.h"

namespace railfmt {

// The kinds' names; the cascade's list of kinds (recognition_cascade.h)
// says which face each has and in which order they are tried.
enum class EntryKind { kNone, kRollingStock, kModel, kConstruction, kLayout };

// An output name the batch refuses to make, and why.
struct RefusedOutput {
  std::string name;
  const char* why;  // "the name stored in the file is empty"
};

struct ReadResult {
  // The kind's success flag: the bytes are a file of this kind.
  bool accepted = false;
  // Where the reader stopped: the end of what it consumed, or the offset of
  // the field it could not read in full.
  std::size_t stop_offset = 0;
  // For a rejected file: the field whose check failed or that the data cut
  // short, and the records it stood in.
  FieldFault fault;
};

// The bytes Kind::Encode writes for an object.
template <typename Kind>
std::vector<std::uint8_t> EncodeToBytes(const typename Kind::Object& object) {
  ByteWriter out;
  Kind::Encode(object, out);
  return out.Take();
}

}  // namespace railfmt
