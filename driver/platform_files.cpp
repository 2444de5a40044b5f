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
  // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    out.clear();
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    out.clear();
    return false;
  }
  // One read, asking for one byte more than the file's size: when it
  // delivers exactly the size, the file ended there and no second read is
  // needed to see the end. The loop only runs on when the file grew
  // meanwhile or the system delivered less.
  // The buffer is not cleared first: the bytes it holds are overwritten,
  // and only room it never had is zero-filled.
  const auto expected = static_cast<std::size_t>(st.st_size);
  std::size_t capacity = expected + 1;
  out.resize(capacity);
  std::size_t filled = 0;
  bool ok = true;
  for (;;) {
    if (filled == capacity) {
      capacity *= 2;
      out.resize(capacity);
    }
    const std::size_t wanted = capacity - filled;
    const ssize_t n = ::read(fd, out.data() + filled, wanted);
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
  out.resize(ok ? filled : 0);
  return ok;
}

}  // namespace railfmt
