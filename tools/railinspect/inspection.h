// What railinspect learns about one file: which kind the recognition
// cascade accepts it as and under which name the batch tool would write it,
// or, for every kind that refused it, where its reader stopped and what it
// reported.
//
// The cascade runs exactly as in the batch tool, on the bytes loaded once,
// with the diagnostics of each attempt taken in, so nothing a reader reports
// reaches standard output. The readers' messages name the entry where the
// format's own wording names the absent "(null)".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "driver/recognition_cascade.h"

namespace railfmt::inspect {

// One kind's reader tried on the file.
struct KindAttempt {
  EntryKind kind = EntryKind::kNone;
  bool accepted = false;
  // The byte offset at which the reader stopped: the end of what it
  // consumed, or the offset of the field it could not read in full.
  std::size_t stop_offset = 0;
  std::vector<Diagnostic> diagnostics;

  std::vector<std::string> Messages() const;
  std::vector<std::string> MismatchLines() const;
};

struct FileReport {
  std::string path;        // as given on the command line, or directory/entry
  std::string entry_name;  // the name the batch tool's readers would see
  bool readable = false;   // a regular file that could be read
  std::size_t size = 0;
  // Every kind tried, in cascade order, up to the one that accepted it.
  std::vector<KindAttempt> attempts;
  // Why the file could not be loaded, when it could not.
  LoadStatus load_status = LoadStatus::kLoaded;
  // The object the accepting reader filled; nothing when no kind accepted.
  std::optional<RecognisedFile> file;

  bool recognised() const { return file.has_value(); }
};

// Whether paths and entry names follow Windows' rules: '\\' separates
// directories as '/' does, a drive ("C:") is a directory, paths are UTF-8
// and entry names Windows-1252 (driver/windows_names.h).
#ifdef _WIN32
inline constexpr bool kWindowsPaths = true;
#else
inline constexpr bool kWindowsPaths = false;
#endif

// A file to inspect: the path as the user sees it, the directory holding
// it, and its name within that directory as the readers see it.
struct FileToInspect {
  std::string path;
  std::string directory;
  std::string entry_name;
};

// The file a path given by the user names.
FileToInspect FileAt(const std::string& path, bool windows = kWindowsPaths);

// Inspects the file; the report names it by file.path and file.entry_name.
FileReport InspectFile(const FileToInspect& file);

// The files the paths stand for, in order: a directory stands for exactly
// the entries the batch tool would visit in it, in its order; anything else
// for itself.
std::vector<FileToInspect> ExpandPaths(const std::vector<std::string>& paths);

// Whether path names a directory (symbolic links followed).
bool IsDirectory(const std::string& path);

// Whether both paths name one existing regular file (symbolic links
// followed).
bool IsSameFile(const std::string& a, const std::string& b);

// An entry name or a text quoting one, for display in UTF-8: on Windows the
// bytes are Windows-1252, elsewhere they are shown as DisplayText shows
// them.
std::string DisplayName(std::string_view name, bool windows = kWindowsPaths);

}  // namespace railfmt::inspect
