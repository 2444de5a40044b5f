// railinspect --rescue FILE: the inspection library rescues what FILE still
// holds; this front loads FILE, stores the proven bytes (never over FILE,
// over an existing file only with --force, whole or not at all through the
// directory's store) and says what came back.
#include <cstdio>
#include <memory>
#include <string_view>

#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "inspect/json_report.h"
#include "inspect/json_values.h"
#include "inspect/rescue.h"
#include "inspect/verdict.h"
#include "tools/railinspect/files.h"
#include "tools/railinspect/run.h"

namespace railfmt::inspect {
namespace {

void Print(std::string_view text) { WriteOut(stdout, text); }

// Where the rescued bytes go: a directory, the entry name in it, and the
// path as the user reads it.
struct Target {
  std::string folder;
  std::string name;
  std::string path;
};

Target TargetOf(const Options& options, const std::string& rescued_name) {
  const std::string& out = options.rescue_output;
  if (out.empty()) {
    const std::string folder = DirectoryPart(options.paths.front());
    return {folder, rescued_name, PathInFolder(folder, rescued_name)};
  }
  if (IsDirectory(out)) return {out, rescued_name, PathInFolder(out, rescued_name)};
  return {DirectoryPart(out), EntryNameAt(out), out};
}

int CheckRescueUsage(const Options& options, const Words& words) {
  if (options.paths.size() != 1) return UsageError(words.Say("--rescue takes exactly one file"), words);
  if (options.jsonl || options.check || !options.svg_path.empty()) {
    return UsageError(words.Say("--rescue cannot be combined with --jsonl, --check or --svg"), words);
  }
  const std::string& path = options.paths.front();
  if (path == "-" && options.rescue_output.empty()) {
    return UsageError(words.Say("--rescue - reads standard input and needs -o OUTPUT for the rescued file"), words);
  }
  if (path != "-" && IsDirectory(path)) {
    return UsageError(words.Say("--rescue takes a file, not a folder"), words);
  }
  if (!options.rescue_as.empty() && KindNamed(options.rescue_as) == EntryKind::kNone) {
    return UsageError(words.Say("--as {kind}: no such kind (model, rolling_stock, construction_drawing, layout)",
                                {{"kind", options.rescue_as}}),
                      words);
  }
  // Never in place: not even --force writes over the file being rescued.
  if (!options.rescue_output.empty() && path != "-" && IsSameFile(options.rescue_output, path)) {
    return UsageError(words.Say("-o {out} is the file being rescued, which is never changed",
                                {{"out", options.rescue_output}}),
                      words);
  }
  return kExitSuccess;
}

// The bytes of FILE; nothing after telling why not.
std::optional<std::vector<std::uint8_t>> Load(const std::string& path, const Words& words) {
  if (path == "-") {
    StandardInput input = ReadStandardInput();
    if (input.status == StandardInput::Status::kRead) return std::move(input.bytes);
    PrintError(path, StandardInputProblem(input, words));
    return std::nullopt;
  }
  const std::unique_ptr<Directory> directory = OpenDirectory(DirectoryPart(path));
  LoadedEntry entry;
  const LoadStatus status = directory == nullptr ? LoadStatus::kMissing : directory->Load(EntryNameAt(path), entry);
  if (status != LoadStatus::kLoaded) {
    PrintError(path, ReasonNotReadable(path, LoadStatusText(status), words));
    return std::nullopt;
  }
  return std::vector<std::uint8_t>(entry.bytes().begin(), entry.bytes().end());
}

// Stores the rescued bytes; the line that says what happened, in words (it
// takes the place of the library's first line, which names no folder), and
// whether they were written.
bool Store(const Options& options, const Target& target, const Rescue& rescue, const Words& words, std::string& line) {
  const std::string shown = words.Say("‘{text}’", {{"text", DisplayText(target.path)}});
  const std::unique_ptr<Directory> directory = OpenDirectory(target.folder);
  const StoreOutcome planned =
      directory == nullptr ? StoreOutcome::kRefused : directory->Preview(target.name, rescue.bytes, nullptr);
  if ((planned == StoreOutcome::kReplaced || planned == StoreOutcome::kUnchanged) && !options.force) {
    line = words.Say("nothing written: {output} exists; --force replaces it", {{"output", shown}});
    return false;
  }
  const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
  const StoreOutcome stored =
      planned == StoreOutcome::kRefused ? planned : directory->Store(target.name, rescue.bytes, nullptr);
  if (stored == StoreOutcome::kRefused || stored == StoreOutcome::kFailed) {
    line = words.Say("nothing written: {output} cannot be written ({why})",
                     {{"output", shown}, {"why", ReasonNotReadable(target.folder, words.Say("write error"), words)}});
    return false;
  }
  line = words.Say("rescued as {kind} into {output} ({size} bytes); the original is not changed",
                   {{"kind", KindWords(rescue.kind, words)},
                    {"output", shown},
                    {"size", words.Number(static_cast<std::int64_t>(rescue.bytes.size()))}});
  return true;
}

}  // namespace

int RunRescue(const Options& options, const Words& words) {
  if (const int usage = CheckRescueUsage(options, words); usage != kExitSuccess) return usage;
  const std::string& path = options.paths.front();
  const std::optional<std::vector<std::uint8_t>> bytes = Load(path, words);
  if (!bytes) return kExitFound;
  // Standard input has no name of its own: the output's tells its kind.
  const std::string entry_name = path == "-" ? EntryNameAt(options.rescue_output) : EntryNameAt(path);
  Rescue rescue = RescueFile(entry_name, *bytes, words, KindNamed(options.rescue_as));

  bool written = false;
  Target target;
  if (rescue.outcome == RescueOutcome::kRescued) {
    target = TargetOf(options, rescue.rescued_name);
    std::string line;
    written = Store(options, target, rescue, words, line);
    rescue.lines.front() = line;
  }
  if (options.json) {
    Json document = Json::object();
    document["path"] = DisplayText(path);
    document["written"] = written;
    document["output"] = written ? Json(DisplayText(target.path)) : Json();
    document["rescue"] = RescueJson(rescue, entry_name, words);
    Print(JsonText(document, 2) + "\n");
  } else {
    std::string text;
    // Names and file texts in the lines are shown escaped, as every text
    // railinspect prints.
    for (const std::string& line : rescue.lines) {
      text += text.empty() ? TerminalText(path) + ": " : std::string("  ");
      text += TerminalText(line) + "\n";
    }
    Print(text);
  }
  std::fflush(stdout);
  return written || rescue.outcome == RescueOutcome::kNeedsNone ? kExitSuccess : kExitFound;
}

}  // namespace railfmt::inspect
