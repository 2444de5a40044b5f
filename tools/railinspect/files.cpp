// The parts of railinspect's paths that are the same on every system.
#include "tools/railinspect/files.h"

#include <string_view>

#include "driver/windows_names.h"

namespace railfmt::inspect {
namespace {

bool IsSeparator(char c, bool windows) { return c == '/' || (windows && c == '\\'); }

// The path without separators at its end, a root ("/", "C:\") kept whole.
std::string_view Trimmed(std::string_view path, bool windows) {
  const std::size_t root = windows && path.size() >= 2 && path[1] == ':' ? 2 : 0;
  while (path.size() > root + 1 && IsSeparator(path.back(), windows)) path.remove_suffix(1);
  return path;
}

// Where the last component starts.
std::size_t LastStart(std::string_view path, bool windows) {
  std::size_t cut = path.size();
  while (cut > 0 && !IsSeparator(path[cut - 1], windows) && !(windows && cut == 2 && path[1] == ':')) --cut;
  return cut;
}

}  // namespace

std::string LastPathComponent(const std::string& path, bool windows) {
  const std::string_view view = Trimmed(path, windows);
  const std::size_t cut = LastStart(view, windows);
  return std::string(cut == view.size() ? view : view.substr(cut));
}

std::string DirectoryPart(const std::string& path, bool windows) {
  const std::string_view view = Trimmed(path, windows);
  const std::size_t cut = LastStart(view, windows);
  if (cut == 0 || cut == view.size()) return ".";
  std::string_view folder = view.substr(0, cut);
  // "a/b" gives "a"; "/b" gives "/" and "C:\b" "C:\".
  if (folder.size() > 1 && IsSeparator(folder.back(), windows) &&
      !(windows && folder.size() == 3 && folder[1] == ':'))
    folder.remove_suffix(1);
  return std::string(folder);
}

std::string EntryNameAt(const std::string& path) {
  const std::string last = LastPathComponent(path);
  if (!kWindowsPaths) return last;
  return ListedWindows1252Name(Utf8ToUtf16(last).value_or(Windows1252ToUtf16(last)));
}

std::string PathInFolder(const std::string& folder, const std::string& entry_name) {
  const bool ends = !folder.empty() && IsSeparator(folder.back(), kWindowsPaths);
  const std::string name = kWindowsPaths ? Utf16ToUtf8(Windows1252ToUtf16(entry_name)) : entry_name;
  return ends ? folder + name : folder + (kWindowsPaths && folder.find('\\') != std::string::npos ? "\\" : "/") + name;
}

}  // namespace railfmt::inspect
