#include "driver/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

int SysOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t SysWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int SysClose(int fd) { return ::close(fd); }
int SysRename(const char* from, const char* to) { return ::rename(from, to); }

const OutputFileOps kSystemOps{&SysOpen, &SysWrite, &SysClose, &SysRename};
const OutputFileOps* g_ops = &kSystemOps;

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = g_ops->write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void ReportWriteFailure(const std::string& path) { Report("Can't write %s!\n", path.c_str()); }

}  // namespace

const OutputFileOps& SystemOutputFileOps() { return kSystemOps; }

const OutputFileOps* SetOutputFileOps(const OutputFileOps* ops) {
  const OutputFileOps* previous = g_ops;
  g_ops = ops != nullptr ? ops : &kSystemOps;
  return previous;
}

bool StoreOutputFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string target = path;
  mode_t mode = 0666;
  uid_t owner = 0;
  gid_t group = 0;
  bool replacing = false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
      if (resolved == nullptr || ::stat(resolved.get(), &st) != 0) {
        ReportOpenFailure(path);
        return false;
      }
      target = resolved.get();
    }
    if (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0) {
      ReportOpenFailure(path);
      return false;
    }
    mode = st.st_mode & 07777;
    owner = st.st_uid;
    group = st.st_gid;
    replacing = true;
  } else if (errno != ENOENT) {
    // The name itself cannot be used (too long, a directory part that is not
    // a directory or cannot be searched): the output cannot be created.
    ReportOpenFailure(path);
    return false;
  }

  static unsigned counter = 0;
  const std::string dir = DirectoryOf(target);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "/.railfmt-%ld-%u.tmp", static_cast<long>(::getpid()), counter++);
    temp = dir + suffix;
    fd = g_ops->open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? mode : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    ReportOpenFailure(path);
    return false;
  }
  if (replacing) {
    // The replacement keeps the owner (where the user may set it) and the
    // permission bits of the file it replaces.
    [[maybe_unused]] const int chown_result = ::fchown(fd, owner, group);
    ::fchmod(fd, mode);
  }

  bool ok = WriteAll(fd, bytes);
  if (g_ops->close(fd) != 0) ok = false;
  if (ok && g_ops->rename(temp.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(temp.c_str());
    ReportWriteFailure(path);
  }
  return ok;
}

}  // namespace railfmt
