// The Windows API under WindowsDirectory (driver/windows_directory.h): wide
// functions only, files opened in binary, full paths with the \\?\ prefix so
// that no name is rewritten on the way (no device lookup, no stripped dots,
// no length limit). Every decision is WindowsDirectory's.
#include <windows.h>

#include <algorithm>
#include <limits>

#include "driver/windows_directory.h"
#include "driver/windows_names.h"

namespace railfmt {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }

std::u16string Utf16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

FileError ErrorOf(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return FileError::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return FileError::kMissing;
    case ERROR_ACCESS_DENIED: return FileError::kDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FileError::kBusy;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return FileError::kExists;
    default: return FileError::kOther;
  }
}

// Nanoseconds since 1970 of a time in 100-nanosecond ticks since 1601.
std::int64_t Nanoseconds(LARGE_INTEGER ticks) { return (ticks.QuadPart - 116444736000000000LL) * 100; }

class Win32File final : public WindowsFile {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override { Close(); }

  std::optional<FileFacts> Facts() override {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!GetFileInformationByHandle(handle_, &info) ||
        !GetFileInformationByHandleEx(handle_, FileBasicInfo, &times, sizeof times)) {
      return std::nullopt;
    }
    FileFacts facts;
    const DWORD attributes = info.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT || GetFileType(handle_) != FILE_TYPE_DISK) {
      facts.type = FileFacts::Type::kOther;
    } else {
      facts.type = attributes & FILE_ATTRIBUTE_DIRECTORY ? FileFacts::Type::kDirectory : FileFacts::Type::kFile;
    }
    facts.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.attributes = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    facts.identity = {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                      (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow, Nanoseconds(times.LastWriteTime),
                      Nanoseconds(times.ChangeTime)};
    return facts;
  }

  std::optional<std::size_t> Read(std::uint8_t* data, std::size_t size) override {
    DWORD done = 0;
    if (!ReadFile(handle_, data, Chunk(size), &done, nullptr)) return std::nullopt;
    return done;
  }

  std::optional<std::size_t> Write(const std::uint8_t* data, std::size_t size) override {
    DWORD done = 0;
    if (!WriteFile(handle_, data, Chunk(size), &done, nullptr)) return std::nullopt;
    return done;
  }

  bool Flush() override { return FlushFileBuffers(handle_) != 0; }

  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  static DWORD Chunk(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max() / 2));
  }

  HANDLE handle_;
};

class Win32Files final : public WindowsFiles {
 public:
  // prefix: the directory's extended-length path ending in a backslash.
  explicit Win32Files(std::wstring prefix) : prefix_(std::move(prefix)) {}

  std::optional<std::vector<std::u16string>> List() override {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW((prefix_ + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<std::u16string> names;
    do {
      const std::u16string name = Utf16(data.cFileName);
      if (name != u"." && name != u"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    if (!complete) return std::nullopt;
    return names;
  }

  FileError Look(const std::u16string& name, FileFacts& facts, std::u16string& spelling) override {
    const std::wstring path = prefix_ + Wide(name);
    const HANDLE handle =
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return ErrorOf(GetLastError());
    const std::optional<FileFacts> found = Win32File(handle).Facts();
    if (!found) return FileError::kOther;
    facts = *found;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    spelling = find == INVALID_HANDLE_VALUE ? name : Utf16(data.cFileName);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return FileError::kNone;
  }

  FileError Open(const std::u16string& name, OpenMode mode, std::uint32_t attributes,
                 std::unique_ptr<WindowsFile>& file) override {
    const std::wstring path = prefix_ + Wide(name);
    HANDLE handle = INVALID_HANDLE_VALUE;
    switch (mode) {
      case OpenMode::kRead:
        handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        break;
      case OpenMode::kWrite:
        handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        break;
      case OpenMode::kCreateNew:
        handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    }
    if (handle == INVALID_HANDLE_VALUE) return ErrorOf(GetLastError());
    file = std::make_unique<Win32File>(handle);
    return FileError::kNone;
  }

  FileError Move(const std::u16string& from, const std::u16string& to) override {
    if (MoveFileExW((prefix_ + Wide(from)).c_str(), (prefix_ + Wide(to)).c_str(), MOVEFILE_WRITE_THROUGH)) {
      return FileError::kNone;
    }
    return ErrorOf(GetLastError());
  }

  FileError Replace(const std::u16string& replacement, const std::u16string& replaced) override {
    const std::wstring from = prefix_ + Wide(replacement);
    const std::wstring to = prefix_ + Wide(replaced);
    // The replaced file goes to a backup name beside the replacement's,
    // removed once the replacement is in: without one, the call may leave
    // a temporary file of its own in the folder when it fails.
    const std::wstring backup = from.substr(0, from.rfind(L'.')) + L".old";
    if (ReplaceFileW(to.c_str(), from.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      DeleteFileW(backup.c_str());
      return FileError::kNone;
    }
    switch (const DWORD error = GetLastError()) {
      // The replaced file went to the backup name but the replacement could
      // not follow: the replaced file comes back.
      case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: MoveFileExW(backup.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH); break;
      // A file another program holds open cannot be replaced; it says so
      // as a denial, or as a file it could not remove or move.
      case ERROR_ACCESS_DENIED:
      case ERROR_UNABLE_TO_REMOVE_REPLACED:
      case ERROR_UNABLE_TO_MOVE_REPLACEMENT: return FileError::kBusy;
      default: return ErrorOf(error);
    }
    return FileError::kOther;
  }

  FileError Remove(const std::u16string& name) override {
    return DeleteFileW((prefix_ + Wide(name)).c_str()) ? FileError::kNone : ErrorOf(GetLastError());
  }

  void Pause(unsigned milliseconds) override { Sleep(milliseconds); }

  unsigned long ProcessId() override { return GetCurrentProcessId(); }

 private:
  std::wstring prefix_;
};

}  // namespace

std::unique_ptr<Directory> OpenDirectory(const std::string& path, StoreHook hook) {
  const std::optional<std::u16string> wide = Utf8ToUtf16(path);
  if (!wide || wide->empty()) return nullptr;
  const std::wstring given = Wide(*wide);
  const DWORD length = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (length == 0) return nullptr;
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(given.c_str(), length, full.data(), nullptr));
  std::wstring prefix = Wide(ExtendedLengthPath(Utf16(full.c_str())));
  const DWORD attributes = GetFileAttributesW(prefix.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
  if (!prefix.ends_with(L'\\')) prefix += L'\\';
  return std::make_unique<WindowsDirectory>(std::make_unique<Win32Files>(std::move(prefix)), std::move(hook));
}

}  // namespace railfmt
