#include "driver/diagnostics.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>

namespace railfmt {
namespace {

DiagnosticSink g_sink;
MismatchWriter g_mismatch;

void VFormatInto(std::string& out, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[256];
  const int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) {
    out.clear();
    return;
  }
  const auto len = static_cast<std::size_t>(n);
  if (len < sizeof small) {
    out.assign(small, len);
    return;
  }
  out.resize(len + 1);
  std::vsnprintf(out.data(), len + 1, format, args);
  out.resize(len);
}

}  // namespace

void WriteLine(std::FILE* out, std::string_view line, std::string_view line_end) {
  const bool ends = line.ends_with('\n');
  if (ends) line.remove_suffix(1);
  std::fwrite(line.data(), 1, line.size(), out);
  if (ends) std::fwrite(line_end.data(), 1, line_end.size(), out);
}

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink) { return std::exchange(g_sink, std::move(sink)); }

MismatchWriter SetMismatchWriter(MismatchWriter writer) { return std::exchange(g_mismatch, std::move(writer)); }

void Report(const char* format, ...) {
  // Nobody listens by default: the message is not even formatted.
  if (!g_sink) return;
  std::string message;
  va_list args;
  va_start(args, format);
  VFormatInto(message, format, args);
  va_end(args);
  g_sink(message);
}

void PrintMismatch(const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0) return;
  std::string_view text(line, std::min(static_cast<std::size_t>(n), sizeof line - 1));
  if (g_mismatch) {
    g_mismatch(text);
  } else if (!std::ferror(stdout)) {
    // Once standard output failed (its reader went away, the disk is full)
    // nothing more is written to it.
    WriteLine(stdout, text, kOutputLineEnd);
  }
}

void FlushMismatchOutput() {
  if (!std::ferror(stdout)) std::fflush(stdout);
}

void ReportOpenFailure(std::string_view path) {
  Report("Can't open %.*s!\n", static_cast<int>(path.size()), path.data());
}

void CheckEndOfData(const ReadCursor& in, std::string_view path) {
  // A read that ran short has taken the stream to its end: what it could
  // not use is not a trailing byte.
  if (!in.is_short() && in.remaining() > 0) {
    Report("EOF not found: %.*s!\n", static_cast<int>(path.size()), path.data());
  }
}

const char* NameOrNull(const std::optional<std::string>& name) { return name.has_value() ? name->c_str() : "(null)"; }

DiagnosticCapture::DiagnosticCapture(Keep keep)
    : previous_sink_(SetDiagnosticSink(keep == kDiscard ? DiagnosticSink([](std::string_view) {})
                                                        : DiagnosticSink([this](std::string_view message) {
                                                            entries_.push_back({false, std::string(message)});
                                                            messages_.emplace_back(message);
                                                          }))),
      previous_writer_(SetMismatchWriter(keep == kDiscard ? MismatchWriter([](std::string_view) {})
                                                          : MismatchWriter([this](std::string_view line) {
                                                              entries_.push_back({true, std::string(line)});
                                                              mismatches_.append(line);
                                                            }))) {}

DiagnosticCapture::~DiagnosticCapture() {
  SetDiagnosticSink(std::move(previous_sink_));
  SetMismatchWriter(std::move(previous_writer_));
}

void DiagnosticCapture::Clear() {
  entries_.clear();
  messages_.clear();
  mismatches_.clear();
}

}  // namespace railfmt
