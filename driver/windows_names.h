// File names on Windows, decided without the Windows API so that every rule
// holds the same on any build machine.
//
// The data files store names as 8-bit text, and the batch works on 8-bit
// entry names. On Windows those bytes are Windows-1252, converted to and
// from the UTF-16 names of the system with the fixed table here, never with
// the code page the machine happens to use. Paths given on a command line
// travel as UTF-8 within the program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace railfmt {

// Every byte has a character: the five bytes Windows-1252 leaves undefined
// (81 8D 8F 90 9D) stand for the C1 controls of the same number, as in
// Windows' own table.
std::u16string Windows1252ToUtf16(std::string_view bytes);
// Nothing when a character has no Windows-1252 byte.
std::optional<std::string> Utf16ToWindows1252(std::u16string_view text);
// The entry name a listed UTF-16 name is known by: each character without a
// Windows-1252 byte (a surrogate pair is one character) becomes '?', which
// no Windows name holds, so such an entry can never be opened and is
// reported as one that cannot be.
std::string ListedWindows1252Name(std::u16string_view text);

// Nothing for bytes that are not UTF-8 (overlong forms and surrogates
// included).
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// What Windows makes of an entry name (Windows-1252 bytes).
enum class WindowsName {
  kOrdinary,
  // A device: NUL, CON, PRN, AUX, COM1-COM9, LPT1-LPT9 (also with the
  // superscript digits ¹ ² ³), in any letter case, with any extension and
  // with spaces before the extension ("nul .txt").
  kDevice,
  // Not a name of a file in the directory: empty, "." or "..", longer than
  // kMaxWindowsName, with a control byte, one of / \ : * ? " < > |, or a
  // trailing dot or space (which Windows strips, so the name would reach
  // another file).
  kInvalid,
};
WindowsName ClassifyWindowsName(std::string_view name);
// The longest name a Windows file system holds, in UTF-16 units (one per
// Windows-1252 byte).
inline constexpr std::size_t kMaxWindowsName = 255;

// Whether two entry names name the same file on Windows: letters compared
// without case, as the file system compares them (Windows-1252 letters
// beyond ASCII included: "Müller" and "MÜLLER").
bool WindowsNamesEqual(std::string_view a, std::string_view b);

// The path the file functions take for a full path, with the prefix that
// lifts the length limit and every rewriting of names (\\?\C:\dir,
// \\?\UNC\server\share). A path that has the prefix already stays.
std::u16string ExtendedLengthPath(std::u16string_view full_path);

}  // namespace railfmt
