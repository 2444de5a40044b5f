// Diagnostics: the two channels every reader reports through.
//
// Mismatch lines ("I: %d S: %d\n", "I: %f S: %f Diff: %e\n") are the only
// output of a run. They go to the mismatch writer, which by default appends
// them to standard output.
//
// Every other diagnostic is formatted into a message buffer (a string that
// grows as needed: a name of any length is formatted whole) and handed to
// the diagnostic sink. The default sink discards. Tests and tools take both
// channels in, or silence them, for a while with a DiagnosticCapture.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/byte_cursor.h"

// printf-style checking of the formats given to the functions below. On
// MinGW "printf" means the Microsoft rules, while the formatting the build
// uses follows the C standard's, as gnu_printf checks.
#if defined(__MINGW32__)
#define RAILFMT_PRINTF_FORMAT(format_index, first_argument) [[gnu::format(gnu_printf, format_index, first_argument)]]
#else
#define RAILFMT_PRINTF_FORMAT(format_index, first_argument) [[gnu::format(printf, format_index, first_argument)]]
#endif

namespace railfmt {

// The line end of standard output: the platform's text convention, "\r\n"
// on Windows as its console programs write, "\n" elsewhere.
#ifdef _WIN32
inline constexpr std::string_view kOutputLineEnd = "\r\n";
#else
inline constexpr std::string_view kOutputLineEnd = "\n";
#endif

// Writes a line to out with its final "\n", if any, written as line_end.
void WriteLine(std::FILE* out, std::string_view line, std::string_view line_end);

using DiagnosticSink = std::function<void(std::string_view message)>;
using MismatchWriter = std::function<void(std::string_view line)>;

// Installs a sink and returns the previous one. An empty function restores
// the discarding default.
DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);
MismatchWriter SetMismatchWriter(MismatchWriter writer);

// Formats a message (printf rules) and hands it to the sink. A message
// that cannot be formatted is handed over empty.
RAILFMT_PRINTF_FORMAT(1, 2) void Report(const char* format, ...);

// Formats one mismatch line and hands it to the mismatch writer; the
// default writer puts it on standard output with kOutputLineEnd.
RAILFMT_PRINTF_FORMAT(1, 2) void PrintMismatch(const char* format, ...);
// Flushes standard output's buffered mismatch lines.
void FlushMismatchOutput();

// "Can't open %s!\n" with the path.
void ReportOpenFailure(std::string_view path);
// "EOF not found: %s!\n" with the path when any byte follows the last field
// the reader consumed. After a read that ran short the data counts as ended
// (a short block read leaves the stream at its end), so nothing is reported.
// Never changes a reader's verdict.
void CheckEndOfData(const ReadCursor& in, std::string_view path);

// The text a message uses for an absent name: "(null)".
const char* NameOrNull(const std::optional<std::string>& name);

// One diagnostic as it was produced: a mismatch line or a sink message,
// with its text as formatted (trailing newline included).
struct Diagnostic {
  bool is_mismatch = false;
  std::string text;
};

// While alive, takes in every message handed to the sink and every mismatch
// line, in the order they come, so that none reaches the previous sink or
// standard output; the sink and writer in force before come back at the end.
// Made with kDiscard, it keeps nothing: the channels are silent while it
// lives.
class DiagnosticCapture {
 public:
  enum Keep { kEverything, kDiscard };
  explicit DiagnosticCapture(Keep keep = kEverything);
  ~DiagnosticCapture();
  DiagnosticCapture(const DiagnosticCapture&) = delete;
  DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;

  // Both channels, interleaved as they were produced.
  const std::vector<Diagnostic>& entries() const { return entries_; }
  // The sink's messages, in order.
  const std::vector<std::string>& messages() const { return messages_; }
  // The mismatch lines, concatenated as they would stand on standard output.
  const std::string& mismatches() const { return mismatches_; }
  // The last message, or "" when there was none.
  std::string last_message() const { return messages_.empty() ? std::string() : messages_.back(); }
  void Clear();

 private:
  std::vector<Diagnostic> entries_;
  std::vector<std::string> messages_;
  std::string mismatches_;
  DiagnosticSink previous_sink_;
  MismatchWriter previous_writer_;
};

}  // namespace railfmt
