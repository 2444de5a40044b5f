// Storing on a POSIX file system.
//
// An output is stored whole or not at all. The bytes go to a hidden
// temporary file in the output's directory (its name begins with '.', so a
// scan passes over it), which takes the output's place only after every
// write and the close succeeded. On any failure the temporary is removed and
// an existing output, possibly the input itself, stays exactly as it was.
// An existing output that already holds exactly the bytes (an unchanged
// file rewritten in place) is written over where it stands instead: no part
// of that write can change what the file holds, and the file keeps its
// identity, as a file the user rewrites in an editor does.
//
// An existing output the user may not write to is left alone, as opening it
// for writing would have failed. An existing output that is a symbolic link
// is replaced at the file the link names. The replaced file's owner (where
// the user may set it) and permission bits carry over to the new one.
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
#include "driver/posix_directory.h"

namespace railfmt {
namespace {

// Moves the finished temporary over the output. An existing output is
// exchanged with the temporary and the temporary, which then holds the old
// content, is removed: the name stands for the old or the new content at
// every moment, as with a plain rename. The exchange matters for speed:
// some file systems (ext4 among them) start writing a file's data out at
// once when it is renamed over an existing name, which costs the batch a
// device round trip per file; an exchange leaves the data to the ordinary
// write-back, as the creation of a new file does.
int ReplaceWith(const char* from, const char* to) {
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

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

void ReportWriteFailure(const std::string& name) { Report("Can't write %s!\n", name.c_str()); }

// Reads the open file's content (reading from its start) into room and
// compares.
bool HoldsBytes(int fd, std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& room) {
  // One byte more than expected: a file that grew shows as different. The
  // room only ever grows, so it is zero-filled once per size reached.
  const std::size_t wanted = bytes.size() + 1;
  if (room.size() < wanted) room.resize(wanted);
  std::size_t filled = 0;
  while (filled < wanted) {
    const ssize_t n = ::read(fd, room.data() + filled, wanted - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
    if (filled == bytes.size()) break;  // asked for more, got the size: the end
  }
  return SameBytes({room.data(), filled}, bytes);
}

}  // namespace

StoreOutcome PosixDirectory::Store(const std::string& name, std::span<const std::uint8_t> bytes,
                                   const LoadedEntry* source) {
  // Every write of the bytes, through the hook; false when one failed.
  const auto write_all = [&](int fd) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      std::size_t size = bytes.size() - done;
      if (Fails(StoreStep::kWrite, name, size)) return false;
      const ssize_t n = ::write(fd, bytes.data() + done, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (n == 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  };
  const auto close_file = [&](int fd) {
    const int result = ::close(fd);
    return !Fails(StoreStep::kClose, name) && result == 0;
  };

  const std::string path = PathOf(name);
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
        ReportOpenFailure(name);
        return StoreOutcome::kRefused;
      }
      target = resolved.get();
    }
    if (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0) {
      ReportOpenFailure(name);
      return StoreOutcome::kRefused;
    }
    mode = st.st_mode & 07777;
    owner = st.st_uid;
    group = st.st_gid;
    replacing = true;
    if (static_cast<std::uint64_t>(st.st_size) == bytes.size()) {
      // Compare before opening anything for writing. The file the batch has
      // just loaded, unchanged since, has its content in memory already; any
      // other file is read back.
      struct stat compared {};
      bool same = false;
      if (source != nullptr && source->name() == name && target == path && ::stat(target.c_str(), &compared) == 0 &&
          IdentityOf(compared) == source->identity()) {
        same = SameBytes(source->bytes(), bytes);
      } else if (const int rfd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); rfd >= 0) {
        same = ::fstat(rfd, &compared) == 0 && HoldsBytes(rfd, bytes, compare_);
        ::close(rfd);
      }
      if (same) {
        const int fd = Fails(StoreStep::kOpen, name) ? -1 : ::open(target.c_str(), O_WRONLY | O_CLOEXEC, 0);
        if (fd < 0) {
          ReportOpenFailure(name);
          return StoreOutcome::kRefused;
        }
        // The file compared must be the file opened, unchanged in between.
        struct stat opened {};
        if (::fstat(fd, &opened) == 0 && IdentityOf(opened) == IdentityOf(compared)) {
          const bool written = write_all(fd);
          if (close_file(fd) && written) return StoreOutcome::kUnchanged;
          ReportWriteFailure(name);
          return StoreOutcome::kFailed;
        }
        ::close(fd);
      }
    }
  } else if (errno != ENOENT) {
    // The name itself cannot be used (too long, a directory part that is not
    // a directory or cannot be searched): the output cannot be created.
    ReportOpenFailure(name);
    return StoreOutcome::kRefused;
  }

  const std::string dir = DirectoryOf(target);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "/.railfmt-%ld-%u.tmp", static_cast<long>(::getpid()), temporaries_++);
    temp = dir + suffix;
    if (Fails(StoreStep::kOpen, name)) {
      errno = EMFILE;
      break;
    }
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? mode : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    ReportOpenFailure(name);
    return StoreOutcome::kRefused;
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

  bool ok = write_all(fd);
  if (!close_file(fd)) ok = false;
  if (ok && (Fails(StoreStep::kRename, name) || ReplaceWith(temp.c_str(), target.c_str()) != 0)) ok = false;
  if (!ok) {
    ::unlink(temp.c_str());
    ReportWriteFailure(name);
    return StoreOutcome::kFailed;
  }
  return replacing ? StoreOutcome::kReplaced : StoreOutcome::kCreated;
}

}  // namespace railfmt
