// railinspect's file system on Windows: paths are UTF-8 and go to the wide
// API as UTF-16.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/windows_names.h"
#include "tools/railinspect/files.h"

namespace railfmt::inspect {
namespace {

std::wstring Wide(const std::string& path) {
  const std::u16string text = Utf8ToUtf16(path).value_or(Windows1252ToUtf16(path));
  return std::wstring(text.begin(), text.end());
}

DWORD Attributes(const std::string& path) { return ::GetFileAttributesW(Wide(path).c_str()); }

// The open file at path for reading its facts; INVALID_HANDLE_VALUE when it
// cannot be opened.
HANDLE OpenForFacts(const std::string& path) {
  return ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message(text, text + n);
  ::LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u'.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error) : Utf16ToUtf8(message);
}

}  // namespace

bool IsDirectory(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION info[2] = {};
  const std::string* paths[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    const HANDLE file = OpenForFacts(*paths[i]);
    if (file == INVALID_HANDLE_VALUE) return false;
    const BOOL ok = ::GetFileInformationByHandle(file, &info[i]);
    ::CloseHandle(file);
    if (!ok) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool IsWritable(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

std::string ReasonNotReadable(const std::string& path, const std::string& fallback) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return SystemText(::GetLastError());
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "Is a directory";
  const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SystemText(::GetLastError());
  ::CloseHandle(file);
  return fallback;
}

std::optional<std::vector<std::uint8_t>> ReadStandardInput() {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[1 << 16];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  if (std::ferror(stdin)) {
    std::fprintf(stderr, "railinspect: -: cannot read standard input\n");
    return std::nullopt;
  }
  return bytes;
}

// Windows consoles show colours only when asked to process escape
// sequences; a console that refuses stays plain.
bool ColourTerminal() {
  const char* no_colour = std::getenv("NO_COLOR");
  if ((no_colour != nullptr && *no_colour != '\0') || ::_isatty(::_fileno(stdout)) == 0) return false;
  const HANDLE console = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return ::GetConsoleMode(console, &mode) != 0 &&
         ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace railfmt::inspect
