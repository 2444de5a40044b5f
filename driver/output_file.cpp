#include "driver/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

int SysOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t SysWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int SysClose(int fd) { return ::close(fd); }
// Moves the finished temporary over the output. An existing output is
// exchanged with the temporary and the temporary, which then holds the old
// content, is removed: the name stands for the old or the new content at
// every moment, as with a plain rename. The exchange matters for speed:
// some file systems (ext4 among them) start writing a file's data out at
// once when it is renamed over an existing name, which costs the batch a
// device round trip per file; an exchange leaves the data to the ordinary
// write-back, as the creation of a new file does.
int SysRename(const char* from, const char* to) {
#ifdef RENAME_EXCHANGE
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE) == 0) {
    if (::unlink(from) == 0) return 0;
    // What was exchanged in is no file we may remove (a directory that took
    // the output's place meanwhile): put both back and fail.
    const int error = errno;
    ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_EXCHANGE);
    errno = error;
    return -1;
  }
  // No output to exchange with, or a file system without exchanges.
  if (errno != ENOENT && errno != EINVAL && errno != ENOSYS) return -1;
#endif
  return ::rename(from, to);
}

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

enum class Overwrite { kContentDiffers, kStored, kFailed };

// An existing output that already holds exactly these bytes (a file the
// batch rewrites in place unchanged) is written over where it stands:
// whatever part of the write lands, the file holds the same bytes, so it is
// never half-written, and the file system neither allocates nor frees
// anything. Replacing it through a temporary would free the old file's
// blocks, which on some file systems costs more than all the rest of the
// entry's work.
bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

// What the batch last loaded (NoteLoadedFile).
struct LoadedFile {
  bool noted = false;
  std::string path;
  std::span<const std::uint8_t> bytes;
  struct stat status {};
};
LoadedFile g_loaded;

// No change since the load: the same file, its size, and both times, the
// change time included, which every write and metadata change sets.
bool UnchangedSince(const struct stat& now, const struct stat& then) {
  return now.st_dev == then.st_dev && now.st_ino == then.st_ino && now.st_size == then.st_size &&
         now.st_mtim.tv_sec == then.st_mtim.tv_sec && now.st_mtim.tv_nsec == then.st_mtim.tv_nsec &&
         now.st_ctim.tv_sec == then.st_ctim.tv_sec && now.st_ctim.tv_nsec == then.st_ctim.tv_nsec;
}

// Reads the open file's content (reading from its start) and compares.
bool HoldsBytes(int fd, std::span<const std::uint8_t> bytes) {
  // One byte more than expected: a file that grew shows as different. The
  // buffer only ever grows, so it is zero-filled once per size reached.
  static std::vector<std::uint8_t> current;
  const std::size_t wanted = bytes.size() + 1;
  if (current.size() < wanted) current.resize(wanted);
  std::size_t filled = 0;
  while (filled < wanted) {
    const ssize_t n = ::read(fd, current.data() + filled, wanted - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
    if (filled == bytes.size()) break;  // asked for more, got the size: the end
  }
  return SameBytes({current.data(), filled}, bytes);
}

Overwrite OverwriteSameContent(const std::string& target, const std::string& path,
                               std::span<const std::uint8_t> bytes) {
  // Compare before opening anything for writing. The file the batch has just
  // loaded, unchanged since, has its content in memory already; any other
  // file is read back.
  struct stat compared {};
  bool same = false;
  if (g_loaded.noted && g_loaded.path == target && ::stat(target.c_str(), &compared) == 0 &&
      UnchangedSince(compared, g_loaded.status)) {
    same = SameBytes(g_loaded.bytes, bytes);
  } else {
    const int rfd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (rfd < 0) return Overwrite::kContentDiffers;  // the replacing path reports
    same = ::fstat(rfd, &compared) == 0 && HoldsBytes(rfd, bytes);
    ::close(rfd);
  }
  if (!same) return Overwrite::kContentDiffers;

  const int fd = g_ops->open(target.c_str(), O_WRONLY | O_CLOEXEC, 0);
  if (fd < 0) {
    ReportOpenFailure(path);
    return Overwrite::kFailed;
  }
  // The file compared must be the file opened, unchanged in between.
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !UnchangedSince(opened, compared)) {
    g_ops->close(fd);
    return Overwrite::kContentDiffers;
  }
  bool ok = WriteAll(fd, bytes);
  if (g_ops->close(fd) != 0) ok = false;
  if (!ok) {
    ReportWriteFailure(path);
    return Overwrite::kFailed;
  }
  return Overwrite::kStored;
}

}  // namespace

const OutputFileOps& SystemOutputFileOps() { return kSystemOps; }

void NoteLoadedFile(const std::string& path, std::span<const std::uint8_t> bytes, const struct stat& status) {
  g_loaded.noted = true;
  g_loaded.path = path;
  g_loaded.bytes = bytes;
  g_loaded.status = status;
}

void ForgetLoadedFile() {
  g_loaded.noted = false;
  g_loaded.bytes = {};
}

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
    if (static_cast<std::uint64_t>(st.st_size) == bytes.size()) {
      const Overwrite done = OverwriteSameContent(target, path, bytes);
      if (done != Overwrite::kContentDiffers) return done == Overwrite::kStored;
    }
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
    // permission bits of the file it replaces. The new file usually has
    // them already; it is changed only where it differs.
    struct stat created {};
    const bool known = ::fstat(fd, &created) == 0;
    bool chowned = false;
    if (!known || created.st_uid != owner || created.st_gid != group) {
      [[maybe_unused]] const int chown_result = ::fchown(fd, owner, group);
      chowned = true;
    }
    // A change of owner may clear the set-user-ID and set-group-ID bits.
    if (!known || chowned || (created.st_mode & 07777) != mode) ::fchmod(fd, mode);
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
