#include "inspect/text_report.h"

#include <algorithm>
#include <cstdio>

#include "inspect/json_values.h"
#include "inspect/verdict.h"

namespace railfmt::inspect {
namespace {

constexpr const char* kReset = "\x1b[0m";
constexpr const char* kKindColour = "\x1b[1;36m";
constexpr const char* kFailureColour = "\x1b[1;31m";
constexpr const char* kReaderColour = "\x1b[33m";
constexpr const char* kWriteColour = "\x1b[1;35m";
constexpr const char* kInOrderColour = "\x1b[32m";

std::string Paint(const std::string& text, const char* colour, const TextStyle& style) {
  return style.colour && *colour != '\0' ? colour + text + kReset : text;
}

const char* VerdictColour(Verdict verdict) {
  switch (verdict) {
    case Verdict::kInOrder: return kInOrderColour;
    case Verdict::kTidied: return kWriteColour;
    case Verdict::kDamaged:
    case Verdict::kUnreadable: return kFailureColour;
    case Verdict::kForeign:
    case Verdict::kSkipped: break;
  }
  return "";
}

void AppendSaid(const KindAttempt& attempt, const std::string& indent, const TextStyle& style, std::string& out) {
  for (const Said& s : attempt.said) out += indent + Paint(DisplayText(s.text), kReaderColour, style) + "\n";
}

}  // namespace

std::string HexLines(const HexWindow& window, std::size_t file_size, const std::string& indent, bool colour,
                     const Words& words) {
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
  if (window.stop >= file_size) {
    out += indent +
           words.Say("(the data ends at byte {end})", {{"end", words.Number(static_cast<std::int64_t>(file_size))}}) +
           "\n";
  }
  return out;
}

std::string TextReport(const Report& report, const TextStyle& style, const Words& words) {
  std::string out = DisplayText(report.path) + ": ";
  if (!report.readable()) return out + Paint(report.verdict_text, kFailureColour, style) + "\n";
  out += Paint(report.verdict_text, VerdictColour(report.verdict), style);
  if (report.recognised()) out += " (" + Paint(KindWords(report.kind, words), kKindColour, style) + ")";
  out += "\n";
  for (const std::string& warning : report.warnings) {
    out += "  " + Paint(words.Say("warning: {what}", {{"what", warning}}), kFailureColour, style) + "\n";
  }
  if (report.recognised()) {
    // A warning may already have said what railfmt does (it belongs there
    // when the warning is read alone, as on the page); once is enough here.
    const std::string does = PredictionText(report.prediction, words);
    const bool warned = std::any_of(report.warnings.begin(), report.warnings.end(),
                                    [&](const std::string& warning) { return warning.ends_with(does); });
    if (!does.empty() && report.verdict != Verdict::kSkipped && !warned) out += "  " + does + "\n";
    if (style.changes) {
      for (const std::string& change : ChangesInDetail(report.prediction.changes, words)) out += "    " + change + "\n";
    }
    // A note of the accepting reader (bytes after the end of its data).
    if (!report.attempts.empty()) AppendSaid(report.attempts.back(), "  ", style, out);
    return out;
  }
  // What the readers made of a file that is no planning file at all is
  // only of interest to the curious.
  const bool foreign = report.verdict == Verdict::kForeign && !style.all;
  bool first = true;
  for (const std::size_t index : foreign ? std::vector<std::size_t>() : report.ranking) {
    const KindAttempt& attempt = report.attempts[index];
    const std::string kind = Paint(KindWords(attempt.kind, words), kKindColour, style);
    if (first || style.all) {
      out += "  " +
             (first ? words.Say("most likely {kind}: {why}; its reader stopped at byte {stop} of {size}",
                                {{"kind", kind},
                                 {"why", report.likely_why},
                                 {"stop", words.Number(static_cast<std::int64_t>(attempt.stop_offset))},
                                 {"size", words.Number(static_cast<std::int64_t>(report.size))}})
                    : words.Say("{kind}: its reader stopped at byte {stop}: {why}",
                                {{"kind", kind},
                                 {"stop", words.Number(static_cast<std::int64_t>(attempt.stop_offset))},
                                 {"why", attempt.reason}})) +
             "\n";
      AppendSaid(attempt, "    ", style, out);
      if (first && report.detailed) out += HexLines(report.window, report.size, "    ", style.colour, words);
      first = false;
      continue;
    }
    if (index == report.ranking[1]) out += "  " + words.Say("also tried (--all shows them in full):") + "\n";
    out += "    " +
           words.Say("{kind}, stopped at byte {stop}: {why}",
                     {{"kind", kind},
                      {"stop", words.Number(static_cast<std::int64_t>(attempt.stop_offset))},
                      {"why", attempt.reason}}) +
           "\n";
  }
  if (!report.next_step.empty()) out += "  " + report.next_step + "\n";
  return out;
}

}  // namespace railfmt::inspect
