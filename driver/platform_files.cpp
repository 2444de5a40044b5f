#include "driver/platform_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace railfmt {

std::vector<std::string> ListDirectoryNames(const std::string& directory) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

namespace {

// Reads the whole regular file at path into a buffer that offers
// Room(total, kept): at least total bytes of room whose first kept bytes
// survive. Returns the number of bytes read, or nothing on failure.
template <typename Buffer>
std::optional<std::size_t> ReadWholeFile(const std::string& path, Buffer& buffer) {
  // Only a regular file is opened at all: opening a FIFO releases a writer
  // waiting for a reader, and opening a device may act on the device.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  // The entry may change between the look and the open: O_NONBLOCK keeps a
  // FIFO put in its place from blocking, and the second look rejects it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  buffer.Opened(st);
  // One read, asking for one byte more than the file's size: when it
  // delivers exactly the size, the file ended there and no second read is
  // needed to see the end. The loop only runs on when the file grew
  // meanwhile or the system delivered less.
  const auto expected = static_cast<std::size_t>(st.st_size);
  std::size_t capacity = expected + 1;
  std::uint8_t* data = buffer.Room(capacity, 0);
  std::size_t filled = 0;
  bool ok = true;
  for (;;) {
    if (filled == capacity) {
      capacity *= 2;
      data = buffer.Room(capacity, filled);
    }
    const std::size_t wanted = capacity - filled;
    const ssize_t n = ::read(fd, data + filled, wanted);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
    if (filled == expected && static_cast<std::size_t>(n) < wanted) break;
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  return filled;
}

// The vector keeps the bytes it holds (they are overwritten); only room it
// never had is zero-filled.
struct VectorRoom {
  std::vector<std::uint8_t>& v;
  void Opened(const struct stat& /*status*/) {}
  std::uint8_t* Room(std::size_t total, std::size_t /*kept*/) {
    v.resize(total);
    return v.data();
  }
};

}  // namespace

bool LoadRegularFile(const std::string& path, std::vector<std::uint8_t>& out) {
  VectorRoom room{out};
  const std::optional<std::size_t> size = ReadWholeFile(path, room);
  out.resize(size.value_or(0));
  return size.has_value();
}

std::uint8_t* EntryBuffer::Room(std::size_t total, std::size_t kept) {
  if (total > capacity_) {
    std::unique_ptr<std::uint8_t[]> bigger = std::make_unique_for_overwrite<std::uint8_t[]>(total);
    if (kept > 0) std::memcpy(bigger.get(), data_.get(), kept);
    data_ = std::move(bigger);
    capacity_ = total;
  }
  return data_.get();
}

bool LoadRegularFile(const std::string& path, EntryBuffer& out) {
  const std::optional<std::size_t> size = ReadWholeFile(path, out);
  out.size_ = size.value_or(0);
  return size.has_value();
}

}  // namespace railfmt
