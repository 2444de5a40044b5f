// railinspect's side of the file system: paths, standard input, the
// system's reasons, terminals. The inspection library never sees any of it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/words.h"

namespace railfmt::inspect {

// Paths given by the user are UTF-8 on Windows, where '\\' separates as
// '/' does and a drive ("C:") is a directory; bytes as they are elsewhere.
#ifdef _WIN32
inline constexpr bool kWindowsPaths = true;
#else
inline constexpr bool kWindowsPaths = false;
#endif

// The last component of a path ("a/b/c.mod" gives "c.mod").
std::string LastPathComponent(const std::string& path, bool windows = kWindowsPaths);
// The directory part of a path, "." for a plain name.
std::string DirectoryPart(const std::string& path, bool windows = kWindowsPaths);
// The entry name the batch knows the file at path by: the last component,
// on Windows in Windows-1252.
std::string EntryNameAt(const std::string& path);
// The path of an entry of the directory at folder, as the user writes it.
std::string PathInFolder(const std::string& folder, const std::string& entry_name);

// Whether path names a directory (symbolic links followed).
bool IsDirectory(const std::string& path);
// Whether both paths name one existing file (symbolic links followed).
bool IsSameFile(const std::string& a, const std::string& b);
// Whether the user may write the existing file at path.
bool IsWritable(const std::string& path);

// Why the file at path cannot be read, in the user's language: "No such
// file or directory", "Permission denied", "Is a directory", "is a FIFO
// (not read)", ...; the system's own words for a fault railinspect has no
// sentence for; fallback when the system sees no fault.
std::string ReasonNotReadable(const std::string& path, const std::string& fallback, const Words& words);

// Standard input, read once up to a limit.
struct StandardInput {
  enum class Status { kRead, kTooLarge, kNoMemory, kFailed };
  Status status = Status::kRead;
  std::vector<std::uint8_t> bytes;  // kRead: all of it
  std::string reason;               // kFailed: the system's words
};
// No planning file comes near this size; a stream past it (/dev/zero) is
// refused rather than read until memory runs out.
inline constexpr std::size_t kStandardInputLimit = std::size_t{256} << 20;
StandardInput ReadStandardInput(std::size_t limit = kStandardInputLimit);
// Why standard input was not read, in words; empty when it was.
std::string StandardInputProblem(const StandardInput& input, const Words& words);
// The loop behind it, over read(into, room) (bytes read, 0 at the end,
// negative on failure with reason set): more than limit bytes is kTooLarge,
// memory that cannot be had kNoMemory.
StandardInput ReadBounded(const std::function<long long(std::uint8_t* into, std::size_t room, std::string& reason)>& read,
                          std::size_t limit);

// Whether standard output is a terminal that takes colours: a terminal,
// and NO_COLOR unset or empty.
bool ColourTerminal();

// The language of the user: the first of LANGUAGE, LC_ALL, LC_MESSAGES and
// LANG that is set, as gettext chooses; on Windows, when none is set, the
// language of the user's Windows.
Language UserLanguage();

// Writes text (UTF-8) to standard output or standard error. A Windows
// console shows the bytes a program writes in its own code page (850 in a
// German Windows), which garbles every character beyond ASCII: there the
// text goes to the console as UTF-16, line ends as CR LF. Everywhere else,
// and when the stream is a file or a pipe, the bytes go out as they are.
void WriteOut(std::FILE* stream, std::string_view text);

// The console railinspect runs in. A console that railinspect has to
// itself (the program was double-clicked, or a file was dropped on it)
// closes with the program, before anyone could read it: the session knows,
// and the front asks for Enter before the end. Only on Windows.
class ConsoleSession {
 public:
  ConsoleSession();

  // Whether the program has its console to itself, with standard input
  // and output on it.
  bool alone() const { return alone_; }
  // When alone: shows prompt on a line of its own after an empty one and
  // waits until Enter is pressed (or the input ends).
  void WaitForEnter(const std::string& prompt) const;

 private:
  bool alone_ = false;
};

}  // namespace railfmt::inspect
