#include "tools/railinspect/run.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string_view>

#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "driver/path_names.h"
#include "inspect/inspect.h"
#include "inspect/json_values.h"
#include "tools/railinspect/files.h"

namespace railfmt::inspect {
namespace {

void Print(std::string_view text) { WriteOut(stdout, text); }

// Why the library could not load an entry (its LoadStatusText), in the
// user's language.
std::string LoadProblem(const std::string& text, const Words& words) {
  for (const LoadStatus status : {LoadStatus::kMissing, LoadStatus::kDenied, LoadStatus::kDirectory,
                                  LoadStatus::kSpecial, LoadStatus::kTooLarge, LoadStatus::kFailed}) {
    if (text != LoadStatusText(status)) continue;
    switch (status) {
      case LoadStatus::kMissing: return words.Say("No such file or directory");
      case LoadStatus::kDenied: return words.Say("Permission denied");
      case LoadStatus::kDirectory: return words.Say("Is a directory");
      case LoadStatus::kSpecial: return words.Say("not a regular file (a FIFO, socket or device)");
      case LoadStatus::kTooLarge: return words.Say("too large to hold in memory");
      case LoadStatus::kFailed:
      case LoadStatus::kLoaded: break;
    }
    return words.Say("read error");
  }
  return text;
}

// Every text of a report that comes from a name or from the file's bytes,
// given to f one by one.
template <typename R, typename F>
void ForEachText(R& report, F f) {
  f(report.path);
  f(report.entry_name);
  f(report.error);
  for (auto& attempt : report.attempts) {
    for (auto& said : attempt.said) f(said.text);
    f(attempt.reason);
  }
  f(report.likely_why);
  f(report.verdict_text);
  f(report.next_step);
  for (auto& warning : report.warnings) f(warning);
  auto& prediction = report.prediction;
  f(prediction.output_name);
  f(prediction.replaced_before_by);
  f(prediction.reason);
}

// text, each line as TerminalText shows it.
std::string EscapedLines(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    out += TerminalText(text.substr(0, end));
    if (end < text.size()) out += '\n';
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return out;
}

// The text report of a file for a terminal: no control character of a name
// or of the file's bytes reaches it raw, and no name can forge a line.
// Every text the report takes from the file is escaped first; should the
// report still hold a control character or a byte that is not UTF-8 (a
// text not listed above, such as a track's name in a listed change), the
// report is shown plain with every line escaped.
std::string TerminalReport(const Report& report, const TextStyle& style, const Words& words) {
  bool raw = false;
  ForEachText(report, [&](const std::string& text) { raw = raw || TerminalText(text) != text; });
  std::optional<Report> escaped;
  if (raw) {
    escaped = report;
    ForEachText(*escaped, [](std::string& text) { text = TerminalText(text); });
  }
  const Report& shown = escaped ? *escaped : report;
  TextStyle plain = style;
  plain.colour = false;
  const std::string text = TextReport(shown, plain, words);
  if (std::string escaped_text = EscapedLines(text); escaped_text != text) return escaped_text;
  return style.colour ? TextReport(shown, style, words) : text;
}

// Prints each file's report as it comes, and the run's summary at the end.
class Output {
 public:
  Output(const Options& options, bool colour, const Words& words) : options_(options), words_(words) {
    style_.colour = colour;
    style_.all = options.all;
    style_.changes = options.changes;
    json_.content = options.content;
  }

  void Start() {
    if (options_.json) Print(RunDocumentHead());
  }

  void File(const Report& report) {
    summary_.Add(report);
    if (!report.readable()) PrintError(report.path, report.error);
    if (!Shown(report)) return;
    if (options_.json) {
      WriteRunDocumentFile(report, json_, words_, shown_ == 0, Print);
    } else if (options_.jsonl) {
      WriteFileDocument(report, json_, words_, Print);
      Print("\n");
    } else if (report.readable()) {
      const std::string text = TerminalReport(report, style_, words_);
      Print(options_.check ? text.substr(0, text.find('\n') + 1) : text);
    }
    ++shown_;
    std::fflush(stdout);
  }

  void Finish() {
    if (options_.json) {
      Print(RunDocumentTail(summary_));
    } else if (!options_.jsonl && !options_.quiet && (summary_.files != 1 || options_.check)) {
      Print(SummaryLine() + "\n");
    }
    std::fflush(stdout);
  }

  bool all_recognised() const { return summary_.recognised == summary_.files; }
  std::size_t would_write() const { return summary_.would_write; }
  std::size_t warnings() const { return summary_.warnings; }

 private:
  bool Shown(const Report& report) const {
    if (options_.check) return report.prediction.WouldWrite() || (options_.strict && !report.warnings.empty());
    if (options_.quiet) return report.verdict != Verdict::kInOrder || !report.warnings.empty();
    return true;
  }

  std::string Count(Verdict verdict) const {
    return words_.Number(static_cast<std::int64_t>(summary_.by_verdict[static_cast<std::size_t>(verdict)]));
  }

  // "20 files: 15 in order, 3 to be tidied, 2 damaged, 0 not planning files;
  // 1 warning; railfmt would write 3 files"
  std::string SummaryLine() const {
    return words_.SayN("{n} file", "{n} files", static_cast<std::int64_t>(summary_.files)) + ": " +
           words_.Say("{in_order} in order, {tidied} to be tidied, {damaged} damaged, {foreign}",
                      {{"in_order", Count(Verdict::kInOrder)},
                       {"tidied", Count(Verdict::kTidied)},
                       {"damaged", Count(Verdict::kDamaged)},
                       {"foreign", words_.SayN("{n} not a planning file", "{n} not planning files",
                                               static_cast<std::int64_t>(summary_.by_verdict[static_cast<std::size_t>(
                                                   Verdict::kForeign)]))}}) +
           "; " + words_.SayN("{n} warning", "{n} warnings", static_cast<std::int64_t>(summary_.warnings)) + "; " +
           words_.SayN("railfmt would write {n} file", "railfmt would write {n} files",
                       static_cast<std::int64_t>(summary_.would_write));
  }

  const Options& options_;
  const Words& words_;
  TextStyle style_;
  JsonOptions json_;
  RunSummary summary_;
  std::size_t shown_ = 0;
};

// The replay of railfmt's run in each directory a path names, kept across
// paths while they come in visiting order.
class Replays {
 public:
  explicit Replays(const Words& words) : words_(words) {}

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
    r.replay = std::make_unique<RunReplay>(*r.directory, words_);
    return r.replay.get();
  }

 private:
  const Words& words_;
  struct Replay {
    std::unique_ptr<Directory> directory;
    std::unique_ptr<RunReplay> replay;
  };
  std::map<std::string, Replay> by_path_;
};

// A named file: what railfmt does with it at its turn in its directory.
Report InspectNamed(const std::string& path, Replays& replays, const Words& words) {
  const std::string folder = DirectoryPart(path);
  const std::string name = EntryNameAt(path);
  Report report;
  if (IsSkippedName(name)) {
    const auto directory = OpenDirectory(folder);
    LoadedEntry entry;
    const LoadStatus status = directory == nullptr ? LoadStatus::kMissing : directory->Load(name, entry);
    if (status == LoadStatus::kLoaded) {
      report = Inspect(name, entry.bytes(), words);
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
    report.error = LoadStatusText(LoadStatus::kMissing);
  }
  return report;
}

bool WritePicture(const Report& report, const std::string& svg_path, const Words& words) {
  if (!report.file) {
    PrintError(report.path, words.Say("not recognised; no picture drawn"));
    return false;
  }
  const std::string svg = DrawFile(report, words.language());
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
    PrintError(svg_path,
               ReasonNotReadable(DirectoryPart(svg_path), words.Say("cannot write the picture"), words));
    return false;
  }
  return true;
}

int CheckUsage(const Options& options, const Words& words) {
  if (!options.rescue && (options.force || !options.rescue_output.empty() || !options.rescue_as.empty())) {
    return UsageError(words.Say("-o, --as and --force belong to --rescue"), words);
  }
  if (options.json && options.jsonl) return UsageError(words.Say("--json and --jsonl cannot be combined"), words);
  std::size_t stdin_paths = 0;
  for (const std::string& path : options.paths) stdin_paths += path == "-";
  if (stdin_paths > 1) return UsageError(words.Say("standard input (-) can be read only once"), words);
  if (options.svg_path.empty()) return kExitSuccess;
  if (options.paths.size() != 1 || (options.paths.front() != "-" && IsDirectory(options.paths.front()))) {
    return UsageError(words.Say("--svg draws one file: give exactly one file, not a folder"), words);
  }
  if (options.svg_path == "-" && (options.json || options.jsonl || options.check)) {
    return UsageError(words.Say("--svg - writes the picture to standard output, which it cannot share"), words);
  }
  // Swapped arguments must not cost the file its content.
  if (options.svg_path != "-" && options.paths.front() != "-" && IsSameFile(options.svg_path, options.paths.front())) {
    return UsageError(words.Say("--svg {out} would overwrite the file it draws", {{"out", options.svg_path}}), words);
  }
  return kExitSuccess;
}

// Standard input as one file; one that cannot be read, with why.
Report InspectStandardInput(const Words& words) {
  const StandardInput input = ReadStandardInput();
  Report report;
  if (input.status == StandardInput::Status::kRead) {
    report = Inspect("<stdin>", input.bytes, words, false);
  } else {
    report.error = StandardInputProblem(input, words);
  }
  report.path = "-";
  report.entry_name = "<stdin>";
  return report;
}

}  // namespace

int UsageError(const std::string& what, const Words& words) {
  WriteOut(stderr,
           "railinspect: " + TerminalText(what) + "\n" + words.Say("Try 'railinspect --help' for more information.") + "\n");
  return kExitUsage;
}

void PrintError(const std::string& path, const std::string& reason) {
  WriteOut(stderr, "railinspect: " + TerminalText(path) + ": " + TerminalText(reason) + "\n");
}

int RunInspector(const Options& options, const Words& words) {
  if (const int usage = CheckUsage(options, words); usage != kExitSuccess) return usage;
  if (options.rescue) return RunRescue(options, words);
  // Nothing a reader reports may reach standard output: every attempt takes
  // its own diagnostics in, and whatever else comes is discarded.
  const DiagnosticCapture silence(DiagnosticCapture::kDiscard);

  const bool colour =
      !options.json && !options.jsonl &&
      (options.colour == ColourMode::kAlways || (options.colour == ColourMode::kAuto && ColourTerminal()));
  Output output(options, colour, words);
  const bool picture_to_stdout = options.svg_path == "-";
  if (!picture_to_stdout) output.Start();
  Replays replays(words);
  bool named_error = false;
  bool picture_ok = true;
  // A file whose objects need more memory than railinspect may have is
  // reported as one that cannot be read; the run goes on with the next.
  const auto guarded = [&](const std::string& path, const auto& inspect) {
    try {
      inspect();
    } catch (const std::bad_alloc&) {
      PrintError(path, words.Say("not enough memory to inspect it"));
      named_error = true;
    }
  };
  for (const std::string& path : options.paths) {
    if (path != "-" && IsDirectory(path)) {
      RunReplay* replay = replays.Fresh(path);
      if (replay == nullptr) {
        PrintError(path, ReasonNotReadable(path, words.Say("cannot be listed"), words));
        named_error = true;
        continue;
      }
      for (std::size_t i = 0; i < replay->entries().size(); ++i) {
        const std::string entry_path = PathInFolder(path, replay->entries()[i]);
        guarded(entry_path, [&] {
          Report report = replay->Visit(i);
          report.path = entry_path;
          if (!report.readable()) {
            report.error = ReasonNotReadable(report.path, LoadProblem(report.error, words), words);
          }
          if (!picture_to_stdout) output.File(report);
        });
      }
      continue;
    }
    guarded(path, [&] {
      Report report = path == "-" ? InspectStandardInput(words) : InspectNamed(path, replays, words);
      report.path = path;
      if (!report.readable()) {
        if (path != "-") report.error = ReasonNotReadable(path, LoadProblem(report.error, words), words);
        named_error = true;
      }
      if (picture_to_stdout) {
        if (!report.readable()) PrintError(report.path, report.error);
      } else {
        output.File(report);
      }
      if (!options.svg_path.empty()) picture_ok = report.readable() && WritePicture(report, options.svg_path, words);
    });
  }
  if (!picture_to_stdout) output.Finish();
  if (options.check) {
    if (named_error) return kExitUsage;
    const bool found = output.would_write() > 0 || (options.strict && output.warnings() > 0);
    return found ? kExitFound : kExitSuccess;
  }
  return output.all_recognised() && picture_ok && !named_error ? kExitSuccess : kExitFound;
}

}  // namespace railfmt::inspect
