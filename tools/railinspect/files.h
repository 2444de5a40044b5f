// railinspect's side of the file system: paths, standard input, the
// system's reasons, terminals. The inspection library never sees any of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Why the file at path cannot be read, in the system's words: "No such file
// or directory", "Permission denied", "Is a directory", "is a FIFO (not
// read)", ...; fallback when the system sees no fault.
std::string ReasonNotReadable(const std::string& path, const std::string& fallback);

// All of standard input; nothing after telling why on standard error.
std::optional<std::vector<std::uint8_t>> ReadStandardInput();

// Whether standard output is a terminal that takes colours: a terminal,
// and NO_COLOR unset or empty.
bool ColourTerminal();

}  // namespace railfmt::inspect
