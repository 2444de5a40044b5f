// Plain-English explanations of what the readers say. Every message format
// the library can produce has a row in one table (explanations.cpp), keyed
// by the kind that raised it and the format; a row names the field the
// failing check reads, its size, and how its offset follows from the
// reader's stop offset (a check that failed consumed its field, so a 16-bit
// field ends at the stop: offset = stop - 2; data that ran short stops at
// the field it could not supply). The value found and the value expected
// come from the mismatch line the check printed just before its message,
// when there is one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/recognition_cascade.h"
#include "inspect/report.h"

namespace railfmt::inspect {

// Fills the explanation of every line of a finished attempt, its reason
// and the field to blame. object is what its reader filled (a rejected
// reader's object holds what was read before the fault); bytes are the
// file's.
void Explain(KindAttempt& attempt, const RecognisedFile::Object& object, std::span<const std::uint8_t> bytes);

// Matches text against a printf format of the library (conversions %s,
// %.*s, %d, %x, %f, %e; a trailing newline of the format is ignored) and
// gives the converted parts as they stand in the text.
bool MatchFormat(std::string_view format, std::string_view text, std::vector<std::string>& args);

// The table's side of Explain.
namespace explain {

// What a row's sentence is made from.
struct Context {
  EntryKind kind = EntryKind::kNone;
  std::span<const std::uint8_t> bytes;
  std::size_t stop = 0;
  bool accepted = false;
  const RecognisedFile::Object* object = nullptr;
  std::vector<std::string> args;  // the message's converted parts
  // The mismatch line printed just before the message: found, expected.
  std::optional<std::pair<std::string, std::string>> mismatch;
  // The message said before this one, if any.
  std::string previous;

  std::size_t size() const { return bytes.size(); }
  // Fewer than n bytes are left at the stop: a field of n bytes there ran short.
  bool ShortAt(std::size_t n) const { return size() - stop < n; }
};

struct Finding {
  std::string text;
  std::size_t field_begin = 0;
  std::size_t field_end = 0;
};

// A row of the table: the kinds it applies to (a bit per EntryKind), the
// library's format, and the function that writes its sentence.
struct Row {
  unsigned kinds;
  const char* format;
  Finding (*explain)(const Context& context);
  // The values of the checked field are class tags, best read in
  // hexadecimal (their mismatch lines print them as signed numbers).
  bool tags = false;
  // A remark on the way rather than the check that stopped the reader.
  bool note = false;
};

// The row for a message said by a reader of kind; null when none matches.
const Row* FindRow(EntryKind kind, std::string_view text, std::vector<std::string>& args);

// The row that explains a mismatch line no message follows (a check whose
// failure says nothing else); null when the kind has none.
const Row* FindLoneMismatchRow(EntryKind kind, std::string_view text, std::vector<std::string>& args);

}  // namespace explain
}  // namespace railfmt::inspect
