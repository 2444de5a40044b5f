#include "inspect/prediction.h"

#include "driver/diagnostics.h"
#include "inspect/fault_words.h"
#include "inspect/inspect.h"
#include "inspect/verdict.h"

namespace railfmt::inspect {
namespace {

Prediction PredictionOf(const EntryVisit& visit, const std::string& written_by, const Words& words) {
  Prediction p;
  p.input_size = visit.input_size;
  p.replaced_before_by = written_by;
  if (!visit.file) {
    p.action = Action::kNone;
    return p;
  }
  p.output_name = visit.output_name;
  p.in_place = visit.output_name == visit.name;
  p.output_size = visit.output_size;
  p.changes = visit.changes;
  if (visit.refused_why != nullptr) {
    p.action = Action::kRefuse;
    p.reason = words.Say(visit.refused_why);
    return p;
  }
  switch (visit.stored.value_or(StoreOutcome::kRefused)) {
    case StoreOutcome::kCreated: p.action = Action::kCreate; break;
    case StoreOutcome::kReplaced: p.action = p.in_place ? Action::kChange : Action::kReplace; break;
    case StoreOutcome::kUnchanged: p.action = Action::kUnchanged; break;
    case StoreOutcome::kFailed: p.action = Action::kFail; break;
    case StoreOutcome::kRefused:
      p.action = Action::kRefuse;
      p.reason = words.Say("{output} cannot be opened or made here (railfmt says \"Can't open {output}!\")",
                           {{"output", visit.output_name}});
      break;
  }
  return p;
}

}  // namespace

const char* ActionName(Action action) {
  switch (action) {
    case Action::kNone: return "none";
    case Action::kSkip: return "skip";
    case Action::kUnchanged: return "unchanged";
    case Action::kChange: return "change";
    case Action::kCreate: return "create";
    case Action::kReplace: return "replace";
    case Action::kRefuse: return "refuse";
    case Action::kFail: return "fail";
    case Action::kUnknown: break;
  }
  return "unknown";
}

bool Prediction::WouldWrite() const {
  return action == Action::kChange || action == Action::kCreate || action == Action::kReplace;
}

RunReplay::RunReplay(Directory& directory, const Words& words) : dry_run_(directory), run_(dry_run_), words_(words) {
  for (std::size_t i = 0; i < run_.entries().size(); ++i) positions_.emplace(run_.entries()[i], i);
}

std::size_t RunReplay::Position(std::string_view name) const {
  const auto it = positions_.find(std::string(name));
  return it == positions_.end() ? std::string::npos : it->second;
}

Report RunReplay::Visit(std::size_t position, bool details) {
  const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
  while (run_.next() < position) run_.Step();
  const EntryVisit& visit = run_.Step();
  Report report = ReportOfVisit(visit, bytes(), dry_run_.LastLoadWrittenBy(), words_);
  if (details && report.readable()) {
    AddDetails(report, bytes(), words_);
    JudgeReport(report, bytes(), words_);
  }
  return report;
}

Report ReportOfVisit(const EntryVisit& visit, std::span<const std::uint8_t> bytes, const std::string& written_by,
                     const Words& words) {
  Report report;
  report.path = report.entry_name = visit.name;
  report.prediction = PredictionOf(visit, written_by, words);
  if (visit.load != LoadStatus::kLoaded) {
    report.error = LoadStatusText(visit.load);
    JudgeReport(report, bytes, words);
    return report;
  }
  report.size = visit.input_size;
  for (std::size_t i = 0; i < visit.attempts.size(); ++i) {
    KindAttempt& attempt = report.attempts.emplace_back();
    attempt.kind = kCascadeOrder[i];
    attempt.accepted = visit.attempts[i].accepted;
    attempt.stop_offset = visit.attempts[i].stop_offset;
    attempt.fault = visit.attempts[i].fault;
    if (!attempt.accepted) attempt.reason = FaultSentence(attempt.fault, bytes, nullptr, words);
  }
  if (visit.file) report.kind = visit.file->kind();
  if (!report.recognised()) RankAttempts(report, words);
  JudgeReport(report, bytes, words);
  return report;
}

Report ReportOfBytes(std::string_view entry_name, std::span<const std::uint8_t> bytes, const Words& words) {
  EntryVisit visit;
  visit.name = std::string(entry_name);
  visit.input_size = bytes.size();
  {
    const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
    visit.file = RecogniseEntry(entry_name, bytes, &visit.attempts);
  }
  Report report = ReportOfVisit(visit, bytes, "", words);
  report.prediction = Prediction();
  AddDetails(report, bytes, words);
  JudgeReport(report, bytes, words);
  return report;
}

}  // namespace railfmt::inspect
