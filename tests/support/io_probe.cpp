// A library the tests preload into the real railfmt (LD_PRELOAD) to watch
// and steer its file operations at known points, without any hook in the
// program itself. Driven by the environment:
//   RAILFMT_PROBE_LOG=FILE    appends "fdatasync NAME", "fsync NAME",
//                             "link NAME" and "rename FROM TO FLAGS" lines,
//                             NAME the last component of the file's path
//                             ("#INODE (deleted)" for a file with none)
//   RAILFMT_PROBE_PAUSE=1     at the first write to a file other than
//                             standard output and error, logs "paused" and
//                             waits for a signal
//   RAILFMT_PROBE_PAUSE=link  the same right after the first link that
//                             names a temporary of railfmt
//   RAILFMT_PROBE_READ=NAME   logs "read SIZE" for every read of the entry
//                             NAME, SIZE what it asks for; at the first,
//                             logs "paused" first and waits for a signal
//   RAILFMT_PROBE_GROW=NAME   before the first read of the entry NAME,
//                             appends a mebibyte to it, as another program
//                             writing to the file while it is read would
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

std::string NameOf(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char path[4096];
  const ssize_t n = ::readlink(link, path, sizeof path - 1);
  if (n <= 0) return {};
  const std::string full(path, static_cast<std::size_t>(n));
  return full.substr(full.rfind('/') + 1);
}

void Log(const std::string& line) {
  const char* log = std::getenv("RAILFMT_PROBE_LOG");
  if (log == nullptr) return;
  static auto real_write = Next<ssize_t (*)(int, const void*, size_t)>("write");
  const int fd = ::open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string text = line + "\n";
  real_write(fd, text.data(), text.size());
  ::close(fd);
}

// The first time only: logs "paused" and waits for a signal.
void PauseOnce(bool& paused) {
  if (paused) return;
  paused = true;
  Log("paused");
  ::pause();
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
  static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  static bool paused = false;
  const char* pause = std::getenv("RAILFMT_PROBE_PAUSE");
  if (pause != nullptr && std::strcmp(pause, "1") == 0 && fd > 2) PauseOnce(paused);
  return real(fd, data, size);
}

extern "C" ssize_t read(int fd, void* data, size_t size) {
  static auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
  static bool grown = false;
  static bool paused = false;
  const char* watched = std::getenv("RAILFMT_PROBE_READ");
  if (watched != nullptr && NameOf(fd) == watched) {
    PauseOnce(paused);
    Log("read " + std::to_string(size));
  }
  const char* grow = std::getenv("RAILFMT_PROBE_GROW");
  if (!grown && grow != nullptr && NameOf(fd) == grow) {
    grown = true;
    const int out = ::open(grow, O_WRONLY | O_APPEND | O_CLOEXEC);
    const std::vector<char> more(1 << 20, 'x');
    if (out >= 0) {
      Next<ssize_t (*)(int, const void*, size_t)>("write")(out, more.data(), more.size());
      ::close(out);
    }
  }
  return real(fd, data, size);
}

extern "C" int fdatasync(int fd) {
  Log("fdatasync " + NameOf(fd));
  return Next<int (*)(int)>("fdatasync")(fd);
}

extern "C" int fsync(int fd) {
  Log("fsync " + NameOf(fd));
  return Next<int (*)(int)>("fsync")(fd);
}

extern "C" int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
  static bool paused = false;
  Log(std::string("link ") + to);
  const int result =
      Next<int (*)(int, const char*, int, const char*, int)>("linkat")(from_dir, from, to_dir, to, flags);
  const char* pause = std::getenv("RAILFMT_PROBE_PAUSE");
  if (result == 0 && pause != nullptr && std::strcmp(pause, "link") == 0 &&
      std::string_view(to).starts_with(".railfmt-")) {
    PauseOnce(paused);
  }
  return result;
}

extern "C" int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
  Log(std::string("rename ") + from + " " + to + " " + std::to_string(flags));
  return Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(from_dir, from, to_dir, to, flags);
}
