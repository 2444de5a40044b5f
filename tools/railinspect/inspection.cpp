#include "tools/railinspect/inspection.h"

#include <sys/stat.h>

#include <cstdint>
#include <string_view>
#include <utility>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/platform_files.h"
#include "driver/recognition_cascade.h"

namespace railfmt::inspect {
namespace {

std::string WithoutNewline(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  return std::string(text);
}

// The readers name an object whose Name is absent "(null)"; every such
// message says "... in (null)...". Only that place is replaced, so a
// track or vehicle name that happens to read "(null)" stays as it is.
std::string NameTheEntry(std::string message, const std::string& entry_name) {
  static constexpr std::string_view kAbsent = " in (null)";
  const std::size_t at = message.find(kAbsent);
  if (at != std::string::npos) message.replace(at + 4, kAbsent.size() - 4, entry_name);
  return message;
}

// Installs a collecting sink and mismatch writer for its lifetime.
class DiagnosticCollector {
 public:
  DiagnosticCollector(std::vector<Diagnostic>& out, const std::string& entry_name) {
    previous_sink_ = SetDiagnosticSink([&out, &entry_name](std::string_view message) {
      out.push_back({false, NameTheEntry(WithoutNewline(message), entry_name)});
    });
    previous_writer_ = SetMismatchWriter([&out](std::string_view line) {
      out.push_back({true, WithoutNewline(line)});
    });
  }
  ~DiagnosticCollector() {
    SetDiagnosticSink(std::move(previous_sink_));
    SetMismatchWriter(std::move(previous_writer_));
  }
  DiagnosticCollector(const DiagnosticCollector&) = delete;
  DiagnosticCollector& operator=(const DiagnosticCollector&) = delete;

 private:
  DiagnosticSink previous_sink_;
  MismatchWriter previous_writer_;
};

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
  std::vector<std::uint8_t> bytes;
  report.readable = LoadRegularFile(path, bytes);
  if (!report.readable) return report;
  report.size = bytes.size();
  for (const FileKind* kind : CascadeKinds()) {
    KindAttempt& attempt = report.attempts.emplace_back();
    attempt.kind = kind->kind;
    {
      DiagnosticCollector collector(attempt.diagnostics, entry_name);
      report.file = kind->try_read(entry_name, bytes, &attempt.stop_offset);
    }
    if (report.file != nullptr) {
      attempt.accepted = true;
      report.bytes = std::move(bytes);
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
    for (const std::string& name : EntriesToVisit(path)) files.push_back({prefix + name, name});
  }
  return files;
}

}  // namespace railfmt::inspect
