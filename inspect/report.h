// What the inspection library learns about one file: a verdict a person can
// act on, what railfmt does with the file in its directory (from a run of
// the real batch that records instead of writing), and, in detail, every
// kind's reader tried on its bytes in railfmt's order with the field each
// stopped at, the kind the file most likely is when none accepts it, and the
// bytes around the place that reader stopped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/directory.h"
#include "driver/field_fault.h"
#include "driver/file_kind.h"
#include "driver/normalisation.h"
#include "driver/recognition_cascade.h"

namespace railfmt::inspect {

// One line a reader produced, as it produced it (without the newline): a
// mismatch line or a message. These are the format's own words, quoted,
// never translated.
struct Said {
  bool is_mismatch = false;
  std::string text;
};

// One kind's reader tried on the file.
struct KindAttempt {
  EntryKind kind = EntryKind::kNone;
  bool accepted = false;
  // Where the reader stopped: the end of what it consumed, or the offset of
  // the field the data could not supply in full.
  std::size_t stop_offset = 0;
  // The field the reader stopped at (none when it accepted the file).
  FieldFault fault;
  // For a rejected reader: the fault in words.
  std::string reason;
  // The lines the reader said (only in a detailed report).
  std::vector<Said> said;

  std::vector<std::string> Messages() const;
  std::vector<std::string> MismatchLines() const;
};

// The bytes around the place the most likely reader stopped: up to 16
// before the stop offset and 16 from it on.
struct HexWindow {
  std::size_t begin = 0;  // file offset of bytes[0]
  std::vector<std::uint8_t> bytes;
  std::size_t stop = 0;
  // The bytes to mark: the field to blame, else the byte at the stop
  // (mark_begin == mark_end when the stop is the end of the data).
  std::size_t mark_begin = 0;
  std::size_t mark_end = 0;
};

// What railfmt does with the entry when it runs in the entry's directory.
enum class Action {
  kUnknown,    // not known (bytes that come from no directory)
  kNone,       // nothing: no kind accepts the file, or it cannot be read
  kSkip,       // the name is one railfmt passes over
  kUnchanged,  // its output already holds the bytes: nothing is written
  kChange,     // rewrites the file in place with other bytes
  kCreate,     // writes a new file beside it
  kReplace,    // replaces another existing file
  kRefuse,     // recognises the file but writes nothing ("Can't open %s!")
  kFail,       // would find the file changed since it was read, and leave it
};

// "unknown", "none", "skip", "unchanged", "change", "create", "replace",
// "refuse", "fail".
const char* ActionName(Action action);

struct Prediction {
  Action action = Action::kUnknown;
  std::string output_name;
  bool in_place = false;        // the output is the entry itself
  std::size_t input_size = 0;   // the bytes railfmt reads at the entry's turn
  std::size_t output_size = 0;  // the bytes it writes
  // What normalising changes, change by change.
  Normalisation changes;
  // An earlier entry whose output railfmt writes over this one before its
  // turn; the action is then what it does with those bytes.
  std::string replaced_before_by;
  // kRefuse: why, in words.
  std::string reason;

  // A file is created, replaced or changed.
  bool WouldWrite() const;
};

// The verdict on a file, in the terms of the people who own it.
enum class Verdict {
  kInOrder,     // a planning file railfmt leaves as it is
  kTidied,      // a planning file railfmt writes in normal form
  kDamaged,     // looks like a planning file, but no kind accepts it
  kForeign,     // not a planning file at all (text, an image, zeros, ...)
  kSkipped,     // a name railfmt passes over
  kUnreadable,  // the file cannot be read
};

// "in_order", "tidied", "damaged", "foreign", "skipped", "unreadable".
const char* VerdictName(Verdict verdict);

struct Report {
  std::string path;        // what the front calls the file; the entry name by default
  std::string entry_name;  // the name the readers were given
  // Why the file could not be read ("no such file"); empty when it was.
  std::string error;
  std::size_t size = 0;
  // The kind that accepted the file; kNone when none did.
  EntryKind kind = EntryKind::kNone;
  // Every kind tried, in cascade order, up to the one that accepted it.
  std::vector<KindAttempt> attempts;
  // A detailed report: the attempts' lines, the object as read, the hex
  // window.
  bool detailed = false;
  // The object the accepting reader filled, as read (detailed reports).
  std::optional<RecognisedFile> file;
  // Indices into attempts, the most likely kind first (rejected files), and
  // one sentence on why that kind was chosen.
  std::vector<std::size_t> ranking;
  std::string likely_why;
  HexWindow window;  // for a rejected file: around the most likely stop
  Prediction prediction;

  Verdict verdict = Verdict::kUnreadable;
  // The verdict in one line ("damaged: cut short inside track no. 8"),
  // what to do about it, and what a person should know besides (a file
  // whose name names a kind that does not accept it; a file railfmt will
  // not write).
  std::string verdict_text;
  std::string next_step;
  std::vector<std::string> warnings;

  bool readable() const { return error.empty(); }
  bool recognised() const { return kind != EntryKind::kNone; }
  // The most likely attempt of a rejected file; null otherwise.
  const KindAttempt* MostLikely() const;
  // Needs a person's attention: damaged, or a warning.
  bool NeedsAttention() const { return verdict == Verdict::kDamaged || !warnings.empty(); }
};

}  // namespace railfmt::inspect
