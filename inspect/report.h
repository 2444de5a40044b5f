// What railinspect learns about one file: every kind's reader tried on its
// bytes in the order railfmt tries them, what each reader said and why it
// stopped, in plain English, which kind the file most likely is when none
// accepts it, the bytes around the place the most likely reader stopped,
// and what railfmt would do with the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/file_kind.h"
#include "driver/recognition_cascade.h"

namespace railfmt::inspect {

// One line a reader produced: a mismatch line or a message, and one line in
// plain English that says what it means ("found 5, expected 2880" for a
// mismatch line; the field, its byte offset, what was found and what was
// expected for a message).
struct Said {
  bool is_mismatch = false;
  std::string text;  // as the reader formatted it, without the newline
  std::string explanation;
};

// One kind's reader tried on the file.
struct KindAttempt {
  EntryKind kind = EntryKind::kNone;
  bool accepted = false;
  // Where the reader stopped: the end of what it consumed (a field whose
  // check failed included), or the offset of the field the data could not
  // supply in full.
  std::size_t stop_offset = 0;
  std::vector<Said> said;
  // Why a rejected reader stopped: the explanation of its last line.
  std::string reason;
  // The bytes of the field the failing check read, [field_begin,
  // field_end); empty when no single field is to blame.
  std::size_t field_begin = 0;
  std::size_t field_end = 0;

  std::vector<std::string> Messages() const;
  std::vector<std::string> MismatchLines() const;
};

// The bytes around the place the most likely reader stopped: up to 16
// before the stop offset and 16 from it on.
struct HexWindow {
  std::size_t begin = 0;  // file offset of bytes[0]
  std::vector<std::uint8_t> bytes;
  std::size_t stop = 0;
  // The bytes to mark: the field to blame when known, else the byte at
  // the stop (mark_begin == mark_end when the stop is the end of the data).
  std::size_t mark_begin = 0;
  std::size_t mark_end = 0;
};

// What railfmt does with the entry when it runs in the entry's directory.
enum class Action {
  kUnknown,    // not predicted (bytes that come from no directory)
  kNone,       // nothing: no kind accepts the file, or it cannot be read
  kSkip,       // the name is one railfmt passes over
  kUnchanged,  // writes the very bytes its output already holds
  kChange,     // rewrites the file in place with other bytes
  kCreate,     // writes a new file beside it
  kReplace,    // replaces another existing file
  kRefuse,     // recognises the file but writes nothing ("Can't open %s!")
};

// "unknown", "none", "skip", "unchanged", "change", "create", "replace",
// "refuse".
const char* ActionName(Action action);

struct Prediction {
  Action action = Action::kUnknown;
  std::string output_name;
  bool in_place = false;          // the output is the entry itself
  std::size_t input_size = 0;     // the bytes railfmt reads at the entry's turn
  std::size_t output_size = 0;    // the bytes it writes
  std::size_t replaced_size = 0;  // kReplace: the size of the file it replaces
  // What normalising does, where the kind knows: "2 duplicate models
  // removed", "primitives reordered", "3 trailing bytes dropped".
  std::vector<std::string> changes;
  // An earlier entry whose output railfmt writes over this one before its
  // turn; the action is then what it does with those bytes.
  std::string replaced_before_by;
  // kRefuse: why.
  std::string reason;

  // A file is created, replaced or changed.
  bool WouldWrite() const;
};

// One line: "unchanged", "would change: 1200 → 1100 bytes (2 duplicate
// models removed)", "would write x.mod (new)", "would replace x.mod",
// "railfmt skips this name", ...
std::string PredictionText(const Prediction& prediction);

struct Report {
  std::string path;        // what the front calls the file; the entry name by default
  std::string entry_name;  // the name the readers were given
  // Why the file could not be read ("no such file"); empty when it was.
  std::string error;
  std::size_t size = 0;
  // Every kind tried, in cascade order, up to the one that accepted it.
  std::vector<KindAttempt> attempts;
  // The object the accepting reader filled, as read; nothing when no kind
  // accepted the file.
  std::optional<RecognisedFile> file;
  // Indices into attempts, the most likely kind first: the reader that got
  // furthest (ties: the kind the name's extension names, then cascade
  // order). Empty for a recognised file.
  std::vector<std::size_t> ranking;
  HexWindow window;  // for a rejected file: around the most likely stop
  Prediction prediction;

  bool readable() const { return error.empty(); }
  bool recognised() const { return file.has_value(); }
  // The most likely attempt of a rejected file; null otherwise.
  const KindAttempt* MostLikely() const;
};

}  // namespace railfmt::inspect
