#include "tools/railinspect/run.h"

#include <cstdio>
#include <map>
#include <memory>
#include <span>
#include <string_view>

#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "driver/path_names.h"
#include "inspect/inspect.h"
#include "tools/railinspect/files.h"

namespace railfmt::inspect {
namespace {

void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void PrintError(const std::string& path, const std::string& reason) {
  std::fprintf(stderr, "railinspect: %s: %s\n", DisplayText(path).c_str(), DisplayText(reason).c_str());
}

// Prints each file's report as it comes, and the run's summary at the end.
class Output {
 public:
  Output(const Options& options, bool colour) : options_(options) {
    style_.colour = colour;
    style_.all = options.all;
    json_.content = options.content;
  }

  void Start() {
    if (options_.json) Print(RunDocumentHead());
  }

  void File(const Report& report) {
    ++files_;
    if (report.recognised()) ++recognised_;
    if (report.prediction.WouldWrite()) ++would_write_;
    if (!report.readable()) PrintError(report.path, report.error);
    if (!Shown(report)) return;
    if (options_.json) {
      WriteRunDocumentFile(report, json_, shown_ == 0, Print);
    } else if (options_.jsonl) {
      WriteFileDocument(report, json_, Print);
      Print("\n");
    } else if (report.readable()) {
      const std::string text = TextReport(report, style_);
      Print(options_.check ? text.substr(0, text.find('\n') + 1) : text);
    }
    ++shown_;
    std::fflush(stdout);
  }

  void Finish() {
    if (options_.json) {
      Print(RunDocumentTail(files_, recognised_, would_write_));
    } else if (!options_.jsonl && !options_.quiet && (files_ != 1 || options_.check)) {
      Print(std::to_string(files_) + " files, " + std::to_string(recognised_) + " recognised, " +
            std::to_string(files_ - recognised_) + " not recognised, " + std::to_string(would_write_) +
            " would be written by railfmt\n");
    }
    std::fflush(stdout);
  }

  bool all_recognised() const { return recognised_ == files_; }
  std::size_t would_write() const { return would_write_; }

 private:
  bool Shown(const Report& report) const {
    if (options_.check) return report.prediction.WouldWrite();
    if (options_.quiet) return !report.recognised() || report.prediction.WouldWrite();
    return true;
  }

  const Options& options_;
  TextStyle style_;
  JsonOptions json_;
  std::size_t files_ = 0;
  std::size_t recognised_ = 0;
  std::size_t would_write_ = 0;
  std::size_t shown_ = 0;
};

// The replay of railfmt's run in each directory a path names, kept across
// paths while they come in visiting order.
class Replays {
 public:
  // The replay of the directory at path, as far as it has run; null when
  // the directory cannot be opened.
  RunReplay* For(const std::string& path) {
    const auto it = by_path_.find(path);
    return it != by_path_.end() ? it->second.replay.get() : Fresh(path);
  }

  // A replay of the directory at path from its start.
  RunReplay* Fresh(const std::string& path) {
    Replay& r = by_path_[path];
    r.replay.reset();
    r.directory = OpenDirectory(path);
    if (r.directory == nullptr) return nullptr;
    r.replay = std::make_unique<RunReplay>(
        *r.directory, [path](const std::string& name) { return IsWritable(PathInFolder(path, name)); });
    return r.replay.get();
  }

 private:
  struct Replay {
    std::unique_ptr<Directory> directory;
    std::unique_ptr<RunReplay> replay;
  };
  std::map<std::string, Replay> by_path_;
};

// A named file: what railfmt does with it at its turn in its directory.
Report InspectNamed(const std::string& path, Replays& replays) {
  const std::string folder = DirectoryPart(path);
  const std::string name = EntryNameAt(path);
  Report report;
  if (IsSkippedName(name)) {
    const auto directory = OpenDirectory(folder);
    LoadedEntry entry;
    const LoadStatus status = directory == nullptr ? LoadStatus::kMissing : directory->Load(name, entry);
    if (status == LoadStatus::kLoaded) {
      report = Inspect(name, entry.bytes(), false);
      report.prediction.action = Action::kSkip;
    } else {
      report.entry_name = name;
      report.error = LoadStatusText(status);
    }
  } else if (RunReplay* replay = replays.For(folder);
             replay != nullptr && replay->Position(name) != std::string::npos && !path.ends_with('/')) {
    const std::size_t position = replay->Position(name);
    if (position < replay->next()) replay = replays.Fresh(folder);
    report = replay->Visit(position);
  } else {
    report.entry_name = name;
    report.error = "no such file";
  }
  return report;
}

bool WritePicture(const Report& report, const std::string& svg_path) {
  if (!report.recognised()) {
    PrintError(report.path, "not recognised; no picture drawn");
    return false;
  }
  const std::string svg = DrawFile(report);
  if (svg_path == "-") {
    Print(svg);
    std::fflush(stdout);
    return true;
  }
  DiagnosticCapture capture;
  const auto directory = OpenDirectory(DirectoryPart(svg_path));
  const StoreOutcome outcome =
      directory == nullptr
          ? StoreOutcome::kRefused
          : directory->Store(EntryNameAt(svg_path),
                             std::span(reinterpret_cast<const std::uint8_t*>(svg.data()), svg.size()), nullptr);
  if (outcome == StoreOutcome::kRefused || outcome == StoreOutcome::kFailed) {
    PrintError(svg_path, ReasonNotReadable(DirectoryPart(svg_path), "cannot write the picture"));
    return false;
  }
  return true;
}

int CheckUsage(const Options& options) {
  if (options.json && options.jsonl) return UsageError("--json and --jsonl cannot be combined");
  std::size_t stdin_paths = 0;
  for (const std::string& path : options.paths) stdin_paths += path == "-";
  if (stdin_paths > 1) return UsageError("standard input (-) can be read only once");
  if (options.svg_path.empty()) return kExitSuccess;
  if (options.paths.size() != 1 || (options.paths.front() != "-" && IsDirectory(options.paths.front()))) {
    return UsageError("--svg draws one file: give exactly one PATH that is not a directory");
  }
  if (options.svg_path == "-" && (options.json || options.jsonl || options.check)) {
    return UsageError("--svg - writes the picture to standard output, which it cannot share");
  }
  // Swapped arguments must not cost the file its content.
  if (options.svg_path != "-" && options.paths.front() != "-" && IsSameFile(options.svg_path, options.paths.front())) {
    return UsageError("--svg " + options.svg_path + " would overwrite the file it draws");
  }
  return kExitSuccess;
}

}  // namespace

int UsageError(const std::string& what) {
  std::fprintf(stderr, "railinspect: %s\nTry 'railinspect --help' for more information.\n", what.c_str());
  return kExitUsage;
}

int RunInspector(const Options& options) {
  if (const int usage = CheckUsage(options); usage != kExitSuccess) return usage;
  // Nothing a reader reports may reach standard output: every attempt takes
  // its own diagnostics in, and whatever else comes is discarded.
  const DiagnosticSink sink = SetDiagnosticSink([](std::string_view) {});
  const MismatchWriter writer = SetMismatchWriter([](std::string_view) {});

  const bool colour =
      !options.json && !options.jsonl &&
      (options.colour == ColourMode::kAlways || (options.colour == ColourMode::kAuto && ColourTerminal()));
  Output output(options, colour);
  const bool picture_to_stdout = options.svg_path == "-";
  if (!picture_to_stdout) output.Start();
  Replays replays;
  bool named_error = false;
  bool picture_ok = true;
  for (const std::string& path : options.paths) {
    std::vector<Report> reports;
    if (path == "-") {
      const std::optional<std::vector<std::uint8_t>> bytes = ReadStandardInput();
      if (!bytes) {
        named_error = true;
        continue;
      }
      reports.push_back(Inspect("<stdin>", *bytes, false));
      reports.back().path = "-";
    } else if (IsDirectory(path)) {
      RunReplay* replay = replays.Fresh(path);
      if (replay == nullptr) {
        PrintError(path, ReasonNotReadable(path, "cannot be listed"));
        named_error = true;
        continue;
      }
      for (std::size_t i = 0; i < replay->entries().size(); ++i) {
        Report report = replay->Visit(i);
        report.path = PathInFolder(path, report.entry_name);
        if (!report.readable()) report.error = ReasonNotReadable(report.path, report.error);
        if (!picture_to_stdout) output.File(report);
      }
      continue;
    } else {
      reports.push_back(InspectNamed(path, replays));
      reports.back().path = path;
      if (!reports.back().readable()) {
        reports.back().error = ReasonNotReadable(path, reports.back().error);
        named_error = true;
      }
    }
    for (const Report& report : reports) {
      if (picture_to_stdout) {
        if (!report.readable()) PrintError(report.path, report.error);
      } else {
        output.File(report);
      }
      if (!options.svg_path.empty() && report.readable()) picture_ok = WritePicture(report, options.svg_path);
      if (!options.svg_path.empty() && !report.readable()) picture_ok = false;
    }
  }
  if (!picture_to_stdout) output.Finish();
  SetDiagnosticSink(sink);
  SetMismatchWriter(writer);
  if (options.check) {
    if (named_error) return kExitUsage;
    return output.would_write() > 0 ? kExitFound : kExitSuccess;
  }
  return output.all_recognised() && picture_ok && !named_error ? kExitSuccess : kExitFound;
}

}  // namespace railfmt::inspect
