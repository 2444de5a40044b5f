#include "inspect/json_report.h"

#include <cstdio>
#include <variant>

#include "inspect/json_content.h"
#include "inspect/verdict.h"
#include "inspect/version.h"

namespace railfmt::inspect {
namespace {

Json Texts(const std::vector<std::string>& texts) {
  Json list = Json::array();
  for (const std::string& text : texts) list.push_back(DisplayText(text));
  return list;
}

Json PredictionJson(const Prediction& p, const Words& words) {
  Json out = Json::object();
  out["action"] = ActionName(p.action);
  out["text"] = PredictionText(p, words);
  if (!p.output_name.empty()) {
    out["output_name"] = DisplayText(p.output_name);
    out["input_size"] = p.input_size;
    out["output_size"] = p.output_size;
  }
  out["changes"] = Texts(ChangesCounted(p.changes, words));
  out["change_details"] = Texts(ChangesInDetail(p.changes, words));
  Json list = Json::array();
  for (const Change& change : p.changes.changes()) {
    Json item = Json::object();
    item["change"] = change.words->id;
    for (const ChangeField& field : change.fields) {
      if (const auto* number = std::get_if<std::int64_t>(&field.value)) {
        item[field.name] = *number;
      } else {
        item[field.name] = TextValue(std::get<std::string>(field.value));
      }
    }
    list.push_back(std::move(item));
  }
  out["change_list"] = std::move(list);
  if (!p.replaced_before_by.empty()) out["replaced_before_by"] = DisplayText(p.replaced_before_by);
  if (!p.reason.empty()) out["reason"] = p.reason;
  return out;
}

const char* CauseName(FaultCause cause) {
  switch (cause) {
    case FaultCause::kShort: return "cut_short";
    case FaultCause::kMismatch: return "mismatch";
    case FaultCause::kInvalid: return "invalid";
    case FaultCause::kNone: break;
  }
  return "none";
}

}  // namespace

Json FieldJson(const FieldFault& fault) {
  Json out = Json::object();
  out["name"] = fault.field;
  Json places = Json::array();
  for (std::size_t i = 0; i < fault.depth(); ++i) {
    Json place = Json::object();
    place["record"] = fault.places[i].record;
    if (fault.places[i].index >= 0) place["index"] = fault.places[i].index;
    if (fault.places[i].has_number()) place["number"] = fault.places[i].number;
    places.push_back(std::move(place));
  }
  out["places"] = std::move(places);
  out["cause"] = CauseName(fault.cause);
  out["begin"] = fault.begin;
  out["end"] = fault.end;
  if (fault.has_values) {
    out["found"] = fault.found;
    out["expected"] = fault.expected;
  }
  return out;
}

namespace {

Json AttemptJson(const KindAttempt& attempt) {
  Json out = Json::object();
  out["kind"] = KindIdentifier(attempt.kind);
  out["accepted"] = attempt.accepted;
  out["stop_offset"] = attempt.stop_offset;
  if (!attempt.accepted) {
    out["reason"] = attempt.reason;
    out["field"] = FieldJson(attempt.fault);
  }
  out["messages"] = Texts(attempt.Messages());
  out["mismatches"] = Texts(attempt.MismatchLines());
  Json said = Json::array();
  for (const Said& s : attempt.said) {
    Json line = Json::object();
    line["text"] = DisplayText(s.text);
    line["mismatch"] = s.is_mismatch;
    said.push_back(std::move(line));
  }
  out["said"] = std::move(said);
  return out;
}

Json WindowJson(const HexWindow& window) {
  std::string hex;
  for (const std::uint8_t b : window.bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", b);
    if (!hex.empty()) hex += ' ';
    hex += digits;
  }
  Json out = Json::object();
  out["begin"] = window.begin;
  out["stop"] = window.stop;
  out["mark"] = {window.mark_begin, window.mark_end};
  out["bytes"] = hex;
  return out;
}

}  // namespace

std::string KindIdentifier(EntryKind kind) {
  std::string id = EntryKindName(kind);
  for (char& c : id) c = c == ' ' ? '_' : c;
  return id;
}

Json ReportJson(const Report& report, const Words& words) {
  Json file = Json::object();
  file["path"] = DisplayText(report.path);
  file["entry_name"] = DisplayText(report.entry_name);
  file["readable"] = report.readable();
  if (!report.readable()) file["error"] = DisplayText(report.error);
  file["size"] = report.size;
  file["recognised"] = report.recognised();
  if (report.recognised()) {
    file["kind"] = KindIdentifier(report.kind);
    if (!report.prediction.output_name.empty()) file["output_name"] = DisplayText(report.prediction.output_name);
  }
  Json verdict = Json::object();
  verdict["name"] = VerdictName(report.verdict);
  verdict["text"] = report.verdict_text;
  if (!report.next_step.empty()) verdict["next_step"] = report.next_step;
  verdict["warnings"] = report.warnings;
  file["verdict"] = std::move(verdict);
  if (report.readable() && report.prediction.action != Action::kUnknown) {
    file["railfmt"] = PredictionJson(report.prediction, words);
  }
  if (const KindAttempt* likely = report.MostLikely()) {
    file["most_likely"] = KindIdentifier(likely->kind);
    file["likely_why"] = report.likely_why;
    Json ranking = Json::array();
    for (const std::size_t i : report.ranking) ranking.push_back(KindIdentifier(report.attempts[i].kind));
    file["ranking"] = std::move(ranking);
  }
  Json attempts = Json::array();
  for (const KindAttempt& attempt : report.attempts) attempts.push_back(AttemptJson(attempt));
  file["attempts"] = std::move(attempts);
  if (report.MostLikely() != nullptr && report.detailed) file["hex_window"] = WindowJson(report.window);
  return file;
}

void WriteFileDocument(const Report& report, const JsonOptions& options, const Words& words,
                       const JsonStream::Sink& sink, int indent, int depth) {
  JsonStream out(sink, indent, depth);
  out.BeginObject();
  const Json document = ReportJson(report, words);
  for (auto it = document.begin(); it != document.end(); ++it) out.Member(it.key(), it.value());
  if (report.file && options.content) {
    out.Key("content");
    WriteContent(*report.file, out);
  }
  out.EndObject();
}

std::string JsonText(const Json& document, int indent) {
  return document.dump(indent, ' ', false, Json::error_handler_t::replace);
}

std::string RunDocumentHead() {
  return std::string("{\n  \"tool\": \"railinspect\",\n  \"version\": ") + JsonText(Json(kRailinspectVersion), -1) +
         ",\n  \"files\": [";
}

void WriteRunDocumentFile(const Report& report, const JsonOptions& options, const Words& words, bool first,
                          const JsonStream::Sink& sink) {
  sink(first ? "\n    " : ",\n    ");
  WriteFileDocument(report, options, words, sink, 2, 2);
}

void RunSummary::Add(const Report& report) {
  ++files;
  if (report.recognised()) ++recognised;
  if (report.prediction.WouldWrite()) ++would_write;
  if (!report.warnings.empty()) ++warnings;
  ++by_verdict[static_cast<std::size_t>(report.verdict)];
}

std::string RunDocumentTail(const RunSummary& s) {
  Json summary = Json::object();
  summary["files"] = s.files;
  summary["recognised"] = s.recognised;
  summary["not_recognised"] = s.files - s.recognised;
  summary["would_write"] = s.would_write;
  summary["warnings"] = s.warnings;
  Json verdicts = Json::object();
  for (std::size_t v = 0; v < std::size(s.by_verdict); ++v)
    verdicts[VerdictName(static_cast<Verdict>(v))] = s.by_verdict[v];
  summary["verdicts"] = std::move(verdicts);
  return std::string(s.files > 0 ? "\n  ],\n" : "],\n") + "  \"summary\": " + JsonText(summary, -1) + "\n}\n";
}

}  // namespace railfmt::inspect
