#include "tools/railinspect/run.h"

#include <cstdio>
#include <span>
#include <string_view>

#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "tools/railinspect/inspection.h"
#include "tools/railinspect/json_report.h"
#include "tools/railinspect/svg_drawing.h"
#include "tools/railinspect/text_report.h"

namespace railfmt::inspect {
namespace {

void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// Writes the picture; false after telling why on standard error.
bool WritePicture(const FileReport& report, const std::string& svg_path) {
  if (!report.recognised()) {
    std::fprintf(stderr, "railinspect: %s was not recognised; no picture written\n", report.path.c_str());
    return false;
  }
  const std::string svg = DrawFile(report);
  DiagnosticCapture capture;
  const FileToInspect target = FileAt(svg_path);
  const auto directory = OpenDirectory(target.directory);
  const StoreOutcome outcome =
      directory == nullptr
          ? StoreOutcome::kRefused
          : directory->Store(target.entry_name,
                             std::span(reinterpret_cast<const std::uint8_t*>(svg.data()), svg.size()), nullptr);
  if (outcome == StoreOutcome::kRefused || outcome == StoreOutcome::kFailed) {
    const std::string why = capture.messages().empty() ? "Can't open " + svg_path + "!\n" : capture.last_message();
    std::fprintf(stderr, "railinspect: %s", (kWindowsPaths ? DisplayName(why) : why).c_str());
    return false;
  }
  return true;
}

}  // namespace

int RunInspector(const Options& options) {
  if (!options.svg_path.empty() && (options.paths.size() != 1 || IsDirectory(options.paths.front()))) {
    std::fprintf(stderr, "railinspect: --svg draws one file: give exactly one PATH that is not a directory\n");
    return kExitUsage;
  }
  // Swapped arguments must not cost the file its content.
  if (!options.svg_path.empty() && IsSameFile(options.svg_path, options.paths.front())) {
    std::fprintf(stderr, "railinspect: --svg %s would overwrite the file it draws\n", options.svg_path.c_str());
    return kExitUsage;
  }
  const std::vector<FileToInspect> files = ExpandPaths(options.paths);
  // Nothing a reader reports may reach standard output unasked; every
  // attempt takes its own diagnostics in, and this catches anything else.
  DiagnosticCapture quiet;

  int recognised = 0;
  bool picture_ok = true;
  std::vector<Json> json_files;
  for (const FileToInspect& file : files) {
    const FileReport report = InspectFile(file);
    if (report.recognised()) ++recognised;
    if (options.json) {
      json_files.push_back(FileReportJson(report));
    } else {
      Print(TextReport(report));
    }
    if (!options.svg_path.empty()) picture_ok = WritePicture(report, options.svg_path);
  }
  const int count = static_cast<int>(files.size());
  if (options.json) {
    // Every text went through DisplayText or TextValue and is UTF-8; should
    // one not be, it is shown with U+FFFD rather than ending the run.
    Print(RunJson(std::move(json_files), recognised).dump(2, ' ', false, Json::error_handler_t::replace));
    Print("\n");
  } else if (count != 1) {
    Print(std::to_string(count) + " files, " + std::to_string(recognised) + " recognised, " +
          std::to_string(count - recognised) + " not recognised\n");
  }
  std::fflush(stdout);
  return recognised == count && picture_ok ? kExitAllRecognised : kExitNotAllRecognised;
}

}  // namespace railfmt::inspect
