#include "tools/railinspect/inspection.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "driver/recognition_cascade.h"
#include "driver/windows_names.h"
#include "tools/railinspect/json_values.h"

namespace railfmt::inspect {
namespace {

std::string WithoutNewline(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return std::string(text);
}

// The file's identity: (volume, file) when it is a regular file that can be
// read.
std::optional<std::pair<std::uint64_t, std::uint64_t>> IdentityAt(const std::string& path) {
  const FileToInspect file = FileAt(path);
  const auto directory = OpenDirectory(file.directory);
  LoadedEntry entry;
  if (directory == nullptr || directory->Load(file.entry_name, entry) != LoadStatus::kLoaded) return std::nullopt;
  return std::pair(entry.identity().volume, entry.identity().file);
}

}  // namespace

std::vector<std::string> KindAttempt::Messages() const {
  std::vector<std::string> out;
  for (const Diagnostic& d : diagnostics) {
    if (!d.is_mismatch) out.push_back(d.text);
  }
  return out;
}

std::vector<std::string> KindAttempt::MismatchLines() const {
  std::vector<std::string> out;
  for (const Diagnostic& d : diagnostics) {
    if (d.is_mismatch) out.push_back(d.text);
  }
  return out;
}

FileToInspect FileAt(const std::string& path, bool windows) {
  const auto separator = [windows](char c) { return c == '/' || (windows && c == '\\'); };
  // "C:" and "C:\" are directories; so is "/".
  const auto is_root = [&](std::string_view p) {
    return (p.size() == 1 && separator(p[0])) ||
           (windows && p.size() <= 3 && p.size() >= 2 && p[1] == ':' && (p.size() == 2 || separator(p[2])));
  };
  std::string_view view = path;
  while (view.size() > 1 && separator(view.back()) && !is_root(view)) view.remove_suffix(1);
  std::size_t cut = view.size();
  while (cut > 0 && !separator(view[cut - 1]) && !(windows && cut == 2 && view[1] == ':')) --cut;
  std::string_view directory = view.substr(0, cut);
  std::string_view last = view.substr(cut);
  if (last.empty()) last = view;
  while (directory.size() > 1 && separator(directory.back()) && !is_root(directory)) directory.remove_suffix(1);
  FileToInspect file{path, directory.empty() ? "." : std::string(directory), std::string(last)};
  if (windows) {
    // Any path from the command line is UTF-8 here; other bytes pass as
    // they are.
    file.entry_name = ListedWindows1252Name(Utf8ToUtf16(file.entry_name).value_or(Windows1252ToUtf16(file.entry_name)));
  }
  return file;
}

FileReport InspectFile(const FileToInspect& file) {
  FileReport report;
  report.path = file.path;
  report.entry_name = file.entry_name;
  const auto directory = OpenDirectory(file.directory);
  LoadedEntry entry;
  report.load_status = directory == nullptr ? LoadStatus::kMissing : directory->Load(file.entry_name, entry);
  report.readable = report.load_status == LoadStatus::kLoaded;
  if (!report.readable) return report;
  report.size = entry.bytes().size();
  for (EntryKind kind : kCascadeOrder) {
    KindAttempt& attempt = report.attempts.emplace_back();
    attempt.kind = kind;
    ReadResult result;
    {
      DiagnosticCapture capture;
      report.file = TryKind(kind, entry.bytes(), file.entry_name, &result, MessageNames::kEntryName);
      for (const Diagnostic& d : capture.entries())
        attempt.diagnostics.push_back({d.is_mismatch, WithoutNewline(d.text)});
    }
    attempt.stop_offset = result.stop_offset;
    if (report.file) {
      attempt.accepted = true;
      break;
    }
  }
  return report;
}

bool IsDirectory(const std::string& path) { return OpenDirectory(path) != nullptr; }

bool IsSameFile(const std::string& a, const std::string& b) {
  const auto identity = IdentityAt(a);
  return identity.has_value() && identity == IdentityAt(b);
}

std::string DisplayName(std::string_view name, bool windows) {
  return windows ? Utf16ToUtf8(Windows1252ToUtf16(name)) : DisplayText(name);
}

std::vector<FileToInspect> ExpandPaths(const std::vector<std::string>& paths) {
  std::vector<FileToInspect> files;
  for (const std::string& path : paths) {
    const auto directory = OpenDirectory(path);
    if (directory == nullptr) {
      files.push_back(FileAt(path));
      continue;
    }
    const char separator = kWindowsPaths && path.find('\\') != std::string::npos ? '\\' : '/';
    const std::string prefix = path.ends_with('/') || path.ends_with(separator) ? path : path + separator;
    for (const std::string& name : EntriesToVisit(*directory)) {
      files.push_back({prefix + (kWindowsPaths ? DisplayName(name) : name), path, name});
    }
  }
  return files;
}

}  // namespace railfmt::inspect
