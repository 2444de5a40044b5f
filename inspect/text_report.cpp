#include "inspect/text_report.h"

#include <algorithm>
#include <cstdio>

#include "inspect/inspect.h"
#include "inspect/json_values.h"

namespace railfmt::inspect {
namespace {

constexpr const char* kReset = "\x1b[0m";
constexpr const char* kKindColour = "\x1b[1;36m";
constexpr const char* kFailureColour = "\x1b[1;31m";
constexpr const char* kMismatchColour = "\x1b[33m";
constexpr const char* kWriteColour = "\x1b[1;35m";
constexpr const char* kUnchangedColour = "\x1b[32m";

std::string Paint(const std::string& text, const char* colour, const TextStyle& style) {
  return style.colour ? colour + text + kReset : text;
}

std::string Number(std::size_t n) { return std::to_string(n); }

void AppendSaid(const KindAttempt& attempt, const std::string& indent, const TextStyle& style, std::string& out) {
  for (const Said& s : attempt.said) {
    out += indent;
    if (s.is_mismatch) {
      out += Paint(DisplayText(s.text), kMismatchColour, style) + "  (" + s.explanation + ")\n";
      continue;
    }
    if (attempt.accepted) out += "note: ";
    out += DisplayText(s.text) + "\n";
    if (!s.explanation.empty()) out += indent + (attempt.accepted ? "      " : "  ") + "→ " + s.explanation + "\n";
  }
}

std::string StopLine(const KindAttempt& attempt) {
  return std::string(EntryKindName(attempt.kind)) + ", stopped at byte " + Number(attempt.stop_offset);
}

std::string PredictionPart(const Report& report, const TextStyle& style) {
  const std::string text = PredictionText(report.prediction);
  if (text.empty()) return "";
  const char* colour = report.prediction.WouldWrite()                   ? kWriteColour
                       : report.prediction.action == Action::kUnchanged ? kUnchangedColour
                                                                        : "";
  return ", " + (*colour != '\0' ? Paint(text, colour, style) : text);
}

}  // namespace

std::string HexLines(const HexWindow& window, std::size_t file_size, const std::string& indent, bool colour) {
  std::string out;
  const bool marked = window.mark_end > window.mark_begin;
  for (std::size_t line = 0; line < window.bytes.size(); line += 16) {
    const std::size_t count = std::min<std::size_t>(16, window.bytes.size() - line);
    char offset[24];
    std::snprintf(offset, sizeof offset, "%08zx ", window.begin + line);
    std::string hex;
    std::string ascii;
    for (std::size_t k = 0; k <= count; ++k) {
      const std::size_t at = window.begin + line + k;
      // A mark that ends where a line ends closes at the end of that line.
      char separator = ' ';
      if (marked && at == window.mark_begin) separator = '[';
      if (marked && at == window.mark_end && (k > 0 || line == 0)) separator = ']';
      hex += separator;
      if (k == count) break;
      const std::uint8_t b = window.bytes[line + k];
      char digits[4];
      std::snprintf(digits, sizeof digits, "%02x", b);
      const bool in_mark = marked && at >= window.mark_begin && at < window.mark_end;
      hex += in_mark && colour ? std::string(kFailureColour) + digits + kReset : std::string(digits);
      ascii += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
    }
    hex.append(3 * (16 - count), ' ');
    out += indent + offset + hex + " " + ascii + "\n";
  }
  if (window.stop >= file_size) out += indent + "(the data ends at byte " + Number(file_size) + ")\n";
  return out;
}

std::string TextReport(const Report& report, const TextStyle& style) {
  std::string out = DisplayText(report.path) + ": ";
  if (!report.readable()) return out + Paint(report.error, kFailureColour, style) + "\n";
  if (report.recognised()) {
    out += Paint(EntryKindName(report.file->kind()), kKindColour, style) + PredictionPart(report, style) + "\n";
    AppendSaid(report.attempts.back(), "  ", style, out);
    return out;
  }
  out += Paint("not recognised", kFailureColour, style) + " (" + Number(report.size) + " bytes)" +
         PredictionPart(report, style) + "\n";
  bool first = true;
  for (const std::size_t index : report.ranking) {
    const KindAttempt& attempt = report.attempts[index];
    if (first || style.all) {
      out += std::string("  ") + (first ? "most likely " : "") +
             Paint(EntryKindName(attempt.kind), kKindColour, style) + ": its reader stopped at byte " +
             Number(attempt.stop_offset) + " of " + Number(report.size);
      const EntryKind named = NamedKind(report.entry_name);
      if (first && named != EntryKind::kNone && named != attempt.kind) {
        out += std::string(" (the name says ") + EntryKindName(named) + ")";
      }
      out += "\n";
      AppendSaid(attempt, "    ", style, out);
      if (first) out += HexLines(report.window, report.size, "    ", style.colour);
      first = false;
      continue;
    }
    if (index == report.ranking[1]) out += "  also tried (--all shows them in full):\n";
    out += "    " + StopLine(attempt) + ": " + attempt.reason + "\n";
  }
  return out;
}

}  // namespace railfmt::inspect
