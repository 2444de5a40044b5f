#include "driver/platform_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace railfmt {

std::vector<std::string> ListDirectoryNames(const std::string& directory) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

bool LoadRegularFile(const std::string& path, std::vector<std::uint8_t>& out) {
  out.clear();
  // Only a regular file is opened at all: opening a FIFO releases a writer
  // waiting for a reader, and opening a device may act on the device.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // The entry may change between the look and the open: O_NONBLOCK keeps a
  // FIFO put in its place from blocking, and the second look rejects it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  // One read for the size the file has; the loop only runs on when the file
  // grew meanwhile or the system delivered less.
  std::size_t capacity = static_cast<std::size_t>(st.st_size) + 1;
  out.resize(capacity);
  std::size_t filled = 0;
  bool ok = true;
  for (;;) {
    if (filled == capacity) {
      capacity *= 2;
      out.resize(capacity);
    }
    const ssize_t n = ::read(fd, out.data() + filled, capacity - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
  out.resize(ok ? filled : 0);
  return ok;
}

}  // namespace railfmt
