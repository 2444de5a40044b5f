#include "inspect/json_report.h"

#include <cstdio>

#include "inspect/json_content.h"
#include "inspect/version.h"

namespace railfmt::inspect {
namespace {

Json Texts(const std::vector<std::string>& texts) {
  Json list = Json::array();
  for (const std::string& text : texts) list.push_back(DisplayText(text));
  return list;
}

Json PredictionJson(const Prediction& p) {
  Json out = Json::object();
  out["action"] = ActionName(p.action);
  out["text"] = DisplayText(PredictionText(p));
  if (!p.output_name.empty()) {
    out["output_name"] = DisplayText(p.output_name);
    out["input_size"] = p.input_size;
    out["output_size"] = p.output_size;
  }
  if (p.action == Action::kReplace) out["replaced_size"] = p.replaced_size;
  out["changes"] = Texts(p.changes);
  if (!p.replaced_before_by.empty()) out["replaced_before_by"] = DisplayText(p.replaced_before_by);
  if (!p.reason.empty()) out["reason"] = DisplayText(p.reason);
  return out;
}

Json AttemptJson(const KindAttempt& attempt) {
  Json out = Json::object();
  out["kind"] = EntryKindName(attempt.kind);
  out["accepted"] = attempt.accepted;
  out["stop_offset"] = attempt.stop_offset;
  if (!attempt.accepted) out["reason"] = DisplayText(attempt.reason);
  if (attempt.field_end > attempt.field_begin) out["field"] = {attempt.field_begin, attempt.field_end};
  out["messages"] = Texts(attempt.Messages());
  out["mismatches"] = Texts(attempt.MismatchLines());
  Json said = Json::array();
  for (const Said& s : attempt.said) {
    Json line = Json::object();
    line["text"] = DisplayText(s.text);
    line["mismatch"] = s.is_mismatch;
    line["explanation"] = DisplayText(s.explanation);
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

Json ReportJson(const Report& report) {
  Json file = Json::object();
  file["path"] = DisplayText(report.path);
  file["entry_name"] = DisplayText(report.entry_name);
  file["readable"] = report.readable();
  if (!report.readable()) file["error"] = DisplayText(report.error);
  file["size"] = report.size;
  file["recognised"] = report.recognised();
  if (report.recognised()) {
    file["kind"] = EntryKindName(report.file->kind());
    file["output_name"] = DisplayText(report.file->OutputName());
  }
  if (report.readable() && report.prediction.action != Action::kUnknown) {
    file["railfmt"] = PredictionJson(report.prediction);
  }
  if (const KindAttempt* likely = report.MostLikely()) file["most_likely"] = EntryKindName(likely->kind);
  Json attempts = Json::array();
  for (const KindAttempt& attempt : report.attempts) attempts.push_back(AttemptJson(attempt));
  file["attempts"] = std::move(attempts);
  if (report.MostLikely() != nullptr) file["hex_window"] = WindowJson(report.window);
  return file;
}

void WriteFileDocument(const Report& report, const JsonOptions& options, const JsonStream::Sink& sink, int indent,
                       int depth) {
  JsonStream out(sink, indent, depth);
  out.BeginObject();
  const Json document = ReportJson(report);
  for (auto it = document.begin(); it != document.end(); ++it) out.Member(it.key(), it.value());
  if (report.recognised() && options.content) {
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

void WriteRunDocumentFile(const Report& report, const JsonOptions& options, bool first, const JsonStream::Sink& sink) {
  sink(first ? "\n    " : ",\n    ");
  WriteFileDocument(report, options, sink, 2, 2);
}

std::string RunDocumentTail(std::size_t files, std::size_t recognised, std::size_t would_write) {
  Json summary = Json::object();
  summary["files"] = files;
  summary["recognised"] = recognised;
  summary["not_recognised"] = files - recognised;
  summary["would_write"] = would_write;
  return std::string(files > 0 ? "\n  ],\n" : "],\n") + "  \"summary\": " + JsonText(summary, -1) + "\n}\n";
}

}  // namespace railfmt::inspect
