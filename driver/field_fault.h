// FieldFault: why a reader stopped, as the reader knew it.
//
// A reader names each field before it reads it and each record it enters
// (driver/byte_cursor.h). The first check that fails leaves behind the
// field's byte range, its name, what was wrong with it, and the records it
// stood in, outermost first: "model 2 > point lists > part 1 > point 5",
// field "point", cut short. Whoever explains a failure to a person starts
// from this record; nobody re-derives it from offsets or message texts.
//
// Names are short static English phrases ("part count", "name copy"); the
// words people read are looked up from them in the catalogue.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "driver/words_for_people.h"

namespace railfmt {

enum class FaultCause : std::uint8_t {
  kNone,
  kShort,     // the data ends inside the field
  kMismatch,  // the field does not hold the value it must (a copy, a tag, a zero)
  kInvalid,   // the field holds a value no file may hold (a negative count, an unknown type)
};

// A record (or section) of the file within which a field was read.
struct FieldPlace {
  static constexpr std::int32_t kNoNumber = INT32_MIN;

  const char* record = nullptr;  // "track", "part", "point lists"; null: unused
  std::int32_t index = -1;       // its position in its list, from 0; -1 for a section
  // The number a layout entry calls itself by ("Gleis Nr. 12"), once read.
  std::int32_t number = kNoNumber;

  bool has_number() const { return number != kNoNumber; }
};

struct FieldFault {
  static constexpr std::size_t kMaxPlaces = 4;

  FaultCause cause = FaultCause::kNone;
  // The field's bytes. For kShort, end is the end of the data.
  std::size_t begin = 0;
  std::size_t end = 0;
  const char* field = nullptr;
  // The value the field held and the one it must hold (a mismatch), or the
  // value no file may hold and the limit it passed (invalid: a vertex
  // index and the part's point count), when the reader knew them.
  bool has_values = false;
  double found = 0;
  double expected = 0;
  // The records the field stood in, outermost first; the unused ones have
  // a null record.
  std::array<FieldPlace, kMaxPlaces> places{};

  explicit operator bool() const { return cause != FaultCause::kNone; }
  // The innermost record named `record`; null when the field stood in none.
  const FieldPlace* Within(const char* record) const;
  // How many places are used.
  std::size_t depth() const;
};

}  // namespace railfmt
