// What railinspect learns about one file: which kind the recognition
// cascade accepts it as and under which name the batch tool would write it,
// or, for every kind that refused it, where its reader stopped and what it
// reported.
//
// The cascade runs exactly as in the batch tool, on the bytes loaded once,
// with a sink and a mismatch writer of our own installed for each attempt,
// so nothing a reader reports reaches standard output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "driver/file_kind.h"

namespace railfmt::inspect {

// One diagnostic in the order the reader produced it: a mismatch line of a
// field check, or a message handed to the diagnostic sink. The text has no
// trailing newline; in messages the "(null)" that stands for the reader's
// absent name is replaced by the entry's name.
struct Diagnostic {
  bool is_mismatch = false;
  std::string text;
};

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
  // The object the accepting reader filled; nullptr when no kind accepted.
  std::unique_ptr<RecognisedFile> file;
  // The file's bytes, kept for a recognised file only (content_objects.h).
  std::vector<std::uint8_t> bytes;

  bool recognised() const { return file != nullptr; }
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
