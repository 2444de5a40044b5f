// The operating-system layer: the only code that enumerates directories or
// reads files. Everything above it works on names and bytes in memory.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace railfmt {

// The names of every entry of a directory, "." and ".." included, in the
// order the system delivers them. Empty when the directory cannot be read.
std::vector<std::string> ListDirectoryNames(const std::string& directory);

// Reads a whole regular file (symbolic links followed) into out with as few
// system calls as its size allows. Anything that is not a regular file
// (directories, FIFOs, sockets, devices) is never opened and fails, as does a
// file that cannot be opened or read; a FIFO never blocks the call.
bool LoadRegularFile(const std::string& path, std::vector<std::uint8_t>& out);

// The buffer the batch loads every entry into. It keeps the room of its
// largest file and never zero-fills it, so a load costs the system's copy
// alone; the bytes stay valid until the next load.
class EntryBuffer {
 public:
  std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }
  // What fstat said of the file last loaded.
  const struct stat& status() const { return status_; }
  void Opened(const struct stat& status) { status_ = status; }

  // At least total bytes of room, the first kept of them preserved.
  std::uint8_t* Room(std::size_t total, std::size_t kept);

 private:
  friend bool LoadRegularFile(const std::string& path, EntryBuffer& out);
  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  struct stat status_ {};
};

// LoadRegularFile into the batch's buffer: the same rules; on failure the
// buffer holds no bytes.
bool LoadRegularFile(const std::string& path, EntryBuffer& out);

}  // namespace railfmt
