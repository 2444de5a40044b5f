// The output layer: the only code that writes files.
//
// An output is stored whole or not at all. The bytes go to a hidden
// temporary file in the output's directory (its name begins with '.', so a
// scan passes over it), which takes the output's place only after every
// write and the close succeeded. On any failure the temporary is removed and
// an existing output, possibly the input itself, stays exactly as it was.
// An existing output that already holds exactly the bytes (an unchanged
// file rewritten in place) is written over where it stands instead: no part
// of that write can change what the file holds, and the file keeps its
// identity, as a file the user rewrites in an editor does.
//
// An existing output the user may not write to is left alone, as opening it
// for writing would have failed. An existing output that is a symbolic link
// is replaced at the file the link names. The replaced file's owner (where
// the user may set it) and permission bits carry over to the new one.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace railfmt {

// Stores bytes under path. On failure the sink gets "Can't open %s!\n" when
// the output could not be created and "Can't write %s!\n" when writing,
// closing or renaming failed; the result is then false.
bool StoreOutputFile(const std::string& path, std::span<const std::uint8_t> bytes);

// The batch notes the file it has just loaded: its path as StoreOutputFile
// will be given it, its bytes and the status fstat gave at the load. While
// that file keeps its identity, size, modification and change time, a store
// to the same path compares with these bytes instead of reading the file
// back. The bytes must stay valid until ForgetLoadedFile.
void NoteLoadedFile(const std::string& path, std::span<const std::uint8_t> bytes, const struct stat& status);
void ForgetLoadedFile();

// The system calls the output layer makes, replaceable so that tests can
// make any one of them fail.
struct OutputFileOps {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
};

// Installs ops (nullptr restores the real system calls); returns the ops in
// force before.
const OutputFileOps* SetOutputFileOps(const OutputFileOps* ops);
// The real system calls.
const OutputFileOps& SystemOutputFileOps();

}  // namespace railfmt
