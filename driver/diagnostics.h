// Diagnostics: the two channels every reader reports through.
//
// Mismatch lines ("I: %d S: %d\n", "I: %f S: %f Diff: %e\n") are the only
// output of a run. They go to the mismatch writer, which by default appends
// them to standard output.
//
// Every other diagnostic is formatted into the process-wide message buffer
// and handed to the diagnostic sink. The default sink discards. Tests and
// tools install their own sink (and mismatch writer) to see every message.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "driver/byte_cursor.h"

namespace railfmt {

using DiagnosticSink = std::function<void(std::string_view message)>;
using MismatchWriter = std::function<void(std::string_view line)>;

// Installs a sink and returns the previous one. An empty function restores
// the discarding default.
DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);
MismatchWriter SetMismatchWriter(MismatchWriter writer);

// Formats a message (printf rules) into the message buffer. A message of any
// length fits: the buffer grows as needed.
[[gnu::format(printf, 1, 2)]] void FormatMessage(const char* format, ...);
// Hands the message buffer to the sink.
void ReportMessage();
// FormatMessage followed by ReportMessage.
[[gnu::format(printf, 1, 2)]] void Report(const char* format, ...);
// The message buffer as it stands.
const std::string& MessageBuffer();

// Formats one mismatch line and hands it to the mismatch writer.
[[gnu::format(printf, 1, 2)]] void PrintMismatch(const char* format, ...);
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

}  // namespace railfmt
