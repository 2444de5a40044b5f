#include "tools/railinspect/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace railfmt::inspect {

std::string LastPathComponent(const std::string& path) {
  std::string_view view = path;
  while (view.size() > 1 && view.back() == '/') view.remove_suffix(1);
  const std::size_t slash = view.rfind('/');
  return std::string(slash == std::string_view::npos || view.size() == 1 ? view : view.substr(slash + 1));
}

std::string DirectoryPart(const std::string& path) {
  std::string_view view = path;
  while (view.size() > 1 && view.back() == '/') view.remove_suffix(1);
  const std::size_t slash = view.rfind('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? "/" : std::string(view.substr(0, slash));
}

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
