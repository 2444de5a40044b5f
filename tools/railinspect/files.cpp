// The parts of railinspect's paths that are the same on every system.
#include "tools/railinspect/files.h"

#include <algorithm>
#include <new>
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

StandardInput ReadBounded(const std::function<long long(std::uint8_t* into, std::size_t room, std::string& reason)>& read,
                          std::size_t limit) {
  StandardInput input;
  try {
    std::vector<std::uint8_t> chunk(std::size_t{1} << 16);
    for (;;) {
      // One byte past the limit tells a stream that goes on from one that
      // ends right there.
      const std::size_t room = std::min(chunk.size(), limit - input.bytes.size() + 1);
      const long long n = read(chunk.data(), room, input.reason);
      if (n <= 0) {
        if (n < 0) input.status = StandardInput::Status::kFailed;
        break;
      }
      input.bytes.insert(input.bytes.end(), chunk.begin(), chunk.begin() + n);
      if (input.bytes.size() > limit) {
        input.status = StandardInput::Status::kTooLarge;
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    input.status = StandardInput::Status::kNoMemory;
  }
  if (input.status != StandardInput::Status::kRead) std::vector<std::uint8_t>().swap(input.bytes);
  return input;
}

std::string StandardInputProblem(const StandardInput& input, const Words& words) {
  switch (input.status) {
    case StandardInput::Status::kRead: break;
    case StandardInput::Status::kTooLarge:
      return words.Say("standard input holds more than {limit} bytes, more than any planning file; railinspect "
                       "reads no further",
                       {{"limit", words.Number(static_cast<std::int64_t>(kStandardInputLimit))}});
    case StandardInput::Status::kNoMemory: return words.Say("not enough memory to read standard input");
    case StandardInput::Status::kFailed:
      return input.reason.empty() ? words.Say("cannot read standard input")
                                  : words.Say("cannot read standard input: {reason}", {{"reason", input.reason}});
  }
  return "";
}

std::string PathInFolder(const std::string& folder, const std::string& entry_name) {
  const bool ends = !folder.empty() && IsSeparator(folder.back(), kWindowsPaths);
  const std::string name = kWindowsPaths ? Utf16ToUtf8(Windows1252ToUtf16(entry_name)) : entry_name;
  return ends ? folder + name : folder + (kWindowsPaths && folder.find('\\') != std::string::npos ? "\\" : "/") + name;
}

}  // namespace railfmt::inspect
