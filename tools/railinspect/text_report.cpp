#include "tools/railinspect/text_report.h"

#include "tools/railinspect/json_values.h"

namespace railfmt::inspect {
namespace {

void AppendDiagnostics(const KindAttempt& attempt, const char* indent, std::string& out) {
  for (const Diagnostic& d : attempt.diagnostics) {
    out += indent;
    if (!d.is_mismatch && attempt.accepted) out += "note: ";
    out += DisplayName(d.text);
    out += '\n';
  }
}

}  // namespace

std::string TextReport(const FileReport& report) {
  std::string out = DisplayText(report.path) + ": ";
  if (!report.readable) return out + "not a readable regular file\n";
  if (report.recognised()) {
    out += EntryKindName(report.file->kind());
    out += ", written as " + DisplayName(report.file->OutputName()) + "\n";
    AppendDiagnostics(report.attempts.back(), "  ", out);
    return out;
  }
  out += "not recognised (" + std::to_string(report.size) + " bytes)\n";
  if (report.attempts.empty()) out += "  no kind of file is known\n";
  for (const KindAttempt& attempt : report.attempts) {
    out += "  ";
    out += EntryKindName(attempt.kind);
    out += ": stopped at byte " + std::to_string(attempt.stop_offset);
    if (attempt.diagnostics.empty()) out += ", nothing reported";
    out += '\n';
    AppendDiagnostics(attempt, "    ", out);
  }
  return out;
}

}  // namespace railfmt::inspect
