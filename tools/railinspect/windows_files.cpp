// railinspect's file system on Windows: paths are UTF-8 and go to the wide
// API as UTF-16.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
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

// The system's reason, in the user's language: railinspect's sentence for
// the common ones, else Windows' own text in that language when Windows
// has it, in its default language otherwise.
std::string SystemText(DWORD error, const Words& words) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return words.Say("No such file or directory");
    case ERROR_ACCESS_DENIED: return words.Say("Permission denied");
    case ERROR_FILENAME_EXCED_RANGE: return words.Say("File name too long");
    default: break;
  }
  const DWORD language = words.language() == Language::kGerman ? LANG_GERMAN : LANG_ENGLISH;
  wchar_t* text = nullptr;
  DWORD n = 0;
  for (const DWORD id : {DWORD{MAKELANGID(language, SUBLANG_DEFAULT)}, DWORD{MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)}}) {
    n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, id, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (n != 0) break;
  }
  std::u16string message(text, text + n);
  ::LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u'.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error) : Utf16ToUtf8(message);
}

bool IsConsole(DWORD which) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
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

std::string ReasonNotReadable(const std::string& path, const std::string& fallback, const Words& words) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return SystemText(::GetLastError(), words);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return words.Say("Is a directory");
  const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SystemText(::GetLastError(), words);
  ::CloseHandle(file);
  return fallback;
}

StandardInput ReadStandardInput(std::size_t limit) {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  return ReadBounded(
      [](std::uint8_t* into, std::size_t room, std::string& reason) -> long long {
        const std::size_t n = std::fread(into, 1, room, stdin);
        if (n == 0 && std::ferror(stdin)) {
          reason.clear();  // the C runtime keeps no reason to give
          return -1;
        }
        return static_cast<long long>(n);
      },
      limit);
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

Language UserLanguage() {
  const Language chosen = LanguageOfEnvironment(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                                std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return chosen;
  }
  return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN ? Language::kGerman : Language::kEnglish;
}

void WriteOut(std::FILE* stream, std::string_view text) {
  const DWORD which = stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  if (!IsConsole(which)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  std::fflush(stream);
  std::u16string wide;
  for (const char16_t c : Utf8ToUtf16(text).value_or(Windows1252ToUtf16(text))) {
    if (c == u'\n') wide += u'\r';
    wide += c;
  }
  const HANDLE console = ::GetStdHandle(which);
  for (std::size_t at = 0; at < wide.size();) {
    DWORD written = 0;
    const auto count = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
    if (!::WriteConsoleW(console, reinterpret_cast<const wchar_t*>(wide.data() + at), count, &written, nullptr) ||
        written == 0)
      return;
    at += written;
  }
}

ConsoleSession::ConsoleSession() {
  // The processes attached to the console: railinspect alone when Explorer
  // made the console for it; a shell it was started from is there too.
  DWORD processes[2] = {};
  alone_ = IsConsole(STD_OUTPUT_HANDLE) && IsConsole(STD_INPUT_HANDLE) && ::GetConsoleProcessList(processes, 2) == 1;
}

void ConsoleSession::WaitForEnter(const std::string& prompt) const {
  if (!alone_) return;
  WriteOut(stdout, std::string("\n") + prompt);
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  ::FlushConsoleInputBuffer(input);
  // The console's line input returns once Enter is pressed.
  wchar_t line[256];
  DWORD read = 0;
  ::ReadConsoleW(input, line, 256, &read, nullptr);
}

}  // namespace railfmt::inspect
