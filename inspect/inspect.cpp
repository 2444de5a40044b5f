#include "inspect/inspect.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "driver/diagnostics.h"
#include "driver/memory_directory.h"
#include "inspect/fault_words.h"

namespace railfmt::inspect {
namespace {

constexpr std::size_t kWindowReach = 16;

std::string WithoutNewline(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return std::string(text);
}

HexWindow WindowAround(const KindAttempt& attempt, std::span<const std::uint8_t> bytes) {
  HexWindow window;
  window.stop = std::min(attempt.stop_offset, bytes.size());
  window.begin = window.stop >= kWindowReach ? window.stop - kWindowReach : 0;
  const std::size_t end = std::min(bytes.size(), window.stop + kWindowReach);
  window.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(window.begin),
                      bytes.begin() + static_cast<std::ptrdiff_t>(end));
  const FieldFault& fault = attempt.fault;
  if (fault && fault.end > fault.begin) {
    window.mark_begin = std::clamp(fault.begin, window.begin, end);
    window.mark_end = std::clamp(fault.end, window.begin, end);
  } else {
    window.mark_begin = window.stop;
    window.mark_end = std::min(window.stop + 1, end);
  }
  return window;
}

}  // namespace

std::vector<std::string> KindAttempt::Messages() const {
  std::vector<std::string> out;
  for (const Said& s : said) {
    if (!s.is_mismatch) out.push_back(s.text);
  }
  return out;
}

std::vector<std::string> KindAttempt::MismatchLines() const {
  std::vector<std::string> out;
  for (const Said& s : said) {
    if (s.is_mismatch) out.push_back(s.text);
  }
  return out;
}

const KindAttempt* Report::MostLikely() const { return ranking.empty() ? nullptr : &attempts[ranking.front()]; }

void AddDetails(Report& report, std::span<const std::uint8_t> bytes, const Words& words) {
  // The same kinds the run tried, each read again for its lines and object.
  for (KindAttempt& attempt : report.attempts) {
    std::optional<KindRead> read;
    {
      DiagnosticCapture capture;
      read.emplace(ReadKind(attempt.kind, bytes, report.entry_name));
      attempt.said.clear();
      for (const Diagnostic& d : capture.entries()) attempt.said.push_back({d.is_mismatch, WithoutNewline(d.text)});
    }
    if (read->result.accepted) {
      report.file.emplace(std::move(read->object), report.entry_name);
    } else {
      attempt.reason = FaultSentence(attempt.fault, bytes, &read->object, words);
    }
  }
  if (!report.recognised()) {
    RankAttempts(report, words);
    if (const KindAttempt* likely = report.MostLikely()) report.window = WindowAround(*likely, bytes);
  }
  report.detailed = true;
}

Report Inspect(std::string_view entry_name, std::span<const std::uint8_t> bytes, const Words& words, bool predict) {
  // The file alone in a directory of its own: the batch's run over it tells
  // what railfmt would do.
  MemoryDirectory alone;
  alone.Add(std::string(entry_name), bytes);
  RunReplay replay(alone, words);
  Report report;
  if (replay.entries().empty()) {
    // A name railfmt passes over: what the readers make of it all the same.
    report = ReportOfBytes(entry_name, bytes, words);
    report.prediction.action = Action::kSkip;
  } else {
    report = replay.Visit(0, true);
    if (predict) return report;
    report.prediction.action = Action::kUnknown;
  }
  JudgeReport(report, bytes, words);
  return report;
}

}  // namespace railfmt::inspect
