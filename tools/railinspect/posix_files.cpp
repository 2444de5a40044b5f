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

namespace {

// The system's reason, in the user's language where railinspect has a
// sentence for it.
std::string SystemReason(int error, const Words& words) {
  switch (error) {
    case ENOENT: return words.Say("No such file or directory");
    case EACCES:
    case EPERM: return words.Say("Permission denied");
    case EISDIR: return words.Say("Is a directory");
    case ENOTDIR: return words.Say("A part of the path is not a directory");
    case ELOOP: return words.Say("Too many levels of symbolic links");
    case ENAMETOOLONG: return words.Say("File name too long");
    default: return std::strerror(error);
  }
}

}  // namespace

std::string ReasonNotReadable(const std::string& path, const std::string& fallback, const Words& words) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return SystemReason(errno, words);
  if (S_ISDIR(st.st_mode)) return SystemReason(EISDIR, words);
  if (S_ISFIFO(st.st_mode)) return words.Say("is a FIFO (not read)");
  if (S_ISSOCK(st.st_mode)) return words.Say("is a socket (not read)");
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return words.Say("is a device (not read)");
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return SystemReason(errno, words);
  ::close(fd);
  return fallback;
}

StandardInput ReadStandardInput(std::size_t limit) {
  return ReadBounded(
      [](std::uint8_t* into, std::size_t room, std::string& reason) -> long long {
        for (;;) {
          const ssize_t n = ::read(STDIN_FILENO, into, room);
          if (n >= 0) return n;
          if (errno == EINTR) continue;
          reason = std::strerror(errno);
          return -1;
        }
      },
      limit);
}

bool ColourTerminal() {
  const char* no_colour = std::getenv("NO_COLOR");
  return (no_colour == nullptr || *no_colour == '\0') && ::isatty(STDOUT_FILENO) == 1;
}

Language UserLanguage() {
  return LanguageOfEnvironment(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                               std::getenv("LANG"));
}

void WriteOut(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

// A terminal outlives the program that prints to it: nothing to wait for.
ConsoleSession::ConsoleSession() = default;
void ConsoleSession::WaitForEnter(const std::string&) const {}

}  // namespace railfmt::inspect
