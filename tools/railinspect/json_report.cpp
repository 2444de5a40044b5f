#include "tools/railinspect/json_report.h"

#include "tools/railinspect/json_content.h"
#include "tools/railinspect/json_values.h"
#include "tools/railinspect/version.h"

namespace railfmt::inspect {
namespace {

Json Texts(const std::vector<std::string>& texts) {
  Json list = Json::array();
  for (const std::string& text : texts) list.push_back(TextValue(text));
  return list;
}

}  // namespace

Json FileReportJson(const FileReport& report) {
  Json file;
  file["path"] = DisplayText(report.path);
  file["entry_name"] = DisplayName(report.entry_name);
  file["readable"] = report.readable;
  file["size"] = report.size;
  file["recognised"] = report.recognised();
  if (report.recognised()) {
    file["kind"] = EntryKindName(report.file->kind());
    file["output_name"] = DisplayName(report.file->OutputName());
  }
  Json attempts = Json::array();
  for (const KindAttempt& attempt : report.attempts) {
    attempts.push_back({{"kind", EntryKindName(attempt.kind)},
                        {"accepted", attempt.accepted},
                        {"stop_offset", attempt.stop_offset},
                        {"messages", Texts(attempt.Messages())},
                        {"mismatches", Texts(attempt.MismatchLines())}});
  }
  file["attempts"] = std::move(attempts);
  if (report.recognised()) file["content"] = ContentJson(report);
  return file;
}

Json RunJson(std::vector<Json> files, int recognised) {
  Json run;
  run["tool"] = "railinspect";
  run["version"] = kRailinspectVersion;
  const int count = static_cast<int>(files.size());
  run["files"] = std::move(files);
  run["summary"] = {{"files", count}, {"recognised", recognised}, {"not_recognised", count - recognised}};
  return run;
}

}  // namespace railfmt::inspect
