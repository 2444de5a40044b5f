// railinspect's file system on POSIX.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/railinspect/files.h"

namespace railfmt::inspect {

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsWritable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

std::string ReasonNotReadable(const std::string& path, const std::string& fallback) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::strerror(errno);
  if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
  if (S_ISFIFO(st.st_mode)) return "is a FIFO (not read)";
  if (S_ISSOCK(st.st_mode)) return "is a socket (not read)";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "is a device (not read)";
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return fallback;
}

std::optional<std::vector<std::uint8_t>> ReadStandardInput() {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      std::fprintf(stderr, "railinspect: -: %s\n", std::strerror(errno));
      return std::nullopt;
    }
    if (n == 0) return bytes;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
}

bool ColourTerminal() {
  const char* no_colour = std::getenv("NO_COLOR");
  return (no_colour == nullptr || *no_colour == '\0') && ::isatty(STDOUT_FILENO) == 1;
}

}  // namespace railfmt::inspect
