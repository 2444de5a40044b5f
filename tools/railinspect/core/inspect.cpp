#include "tools/railinspect/inspection.h"

#include <sys/stat.h>

#include <cstdint>
#include <string_view>
#include <utility>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "driver/recognition_cascade.h"

namespace railfmt::inspect {
namespace {

std::string WithoutNewline(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return std::string(text);
}

// The directory part of a path, "." for a plain name.
std::string DirectoryPart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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

FileReport InspectFile(const std::string& path, const std::string& entry_name) {
  FileReport report;
  report.path = path;
  report.entry_name = entry_name;
  const auto directory = OpenDirectory(DirectoryPart(path));
  LoadedEntry entry;
  report.load_status = directory == nullptr ? LoadStatus::kMissing : directory->Load(LastPathComponent(path), entry);
  report.readable = report.load_status == LoadStatus::kLoaded;
  if (!report.readable) return report;
  report.size = entry.bytes().size();
  for (EntryKind kind : kCascadeOrder) {
    KindAttempt& attempt = report.attempts.emplace_back();
    attempt.kind = kind;
    ReadResult result;
    {
      DiagnosticCapture capture;
      report.file = TryKind(kind, entry.bytes(), entry_name, &result, MessageNames::kEntryName);
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

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string LastPathComponent(const std::string& path) {
  std::string_view view = path;
  while (view.size() > 1 && view.back() == '/') view.remove_suffix(1);
  const std::size_t slash = view.rfind('/');
  return std::string(slash == std::string_view::npos || view.size() == 1 ? view : view.substr(slash + 1));
}

std::vector<FileToInspect> ExpandPaths(const std::vector<std::string>& paths) {
  std::vector<FileToInspect> files;
  for (const std::string& path : paths) {
    if (!IsDirectory(path)) {
      files.push_back({path, LastPathComponent(path)});
      continue;
    }
    const std::string prefix = path.ends_with('/') ? path : path + "/";
    const auto directory = OpenDirectory(path);
    if (directory == nullptr) continue;
    for (const std::string& name : EntriesToVisit(*directory)) files.push_back({prefix + name, name});
  }
  return files;
}

}  // namespace railfmt::inspect
