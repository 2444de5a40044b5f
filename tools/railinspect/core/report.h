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

// Inspects the file at path; entry_name is the name the readers are given
// (the last component of path).
FileReport InspectFile(const std::string& path, const std::string& entry_name);

struct FileToInspect {
  std::string path;
  std::string entry_name;
};

// The files the paths stand for, in order: a directory stands for exactly
// the entries the batch tool would visit in it, in its order; anything else
// for itself.
std::vector<FileToInspect> ExpandPaths(const std::vector<std::string>& paths);

// Whether path names a directory (symbolic links followed).
bool IsDirectory(const std::string& path);

// Whether both paths name one existing file (symbolic links followed).
bool IsSameFile(const std::string& a, const std::string& b);

// The last component of a path ("a/b/c.mod" gives "c.mod").
std::string LastPathComponent(const std::string& path);

}  // namespace railfmt::inspect
