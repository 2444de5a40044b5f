// Storing on a POSIX file system, through the descriptor of the directory:
// no store ever opens, creates or renames anything outside it.
//
// An output is stored whole or not at all. A changed or new output goes to a
// hidden temporary file of the directory (its name begins with '.', so a
// scan passes over it) and takes the output's name only after every write,
// the sync of replaced content, and the close succeeded; on any failure the
// temporary is removed and an existing output stays exactly as it was. An
// existing output that already holds exactly the bytes (an unchanged file
// rewritten in place) is written over where it stands: no part of that write
// can change what it holds, and it keeps its identity.
//
// Safety of what is there:
// - An existing output that is not a regular file, or that the user may not
//   write, is left alone ("Can't open"). One that is a symbolic link is
//   written through only to a regular file of this directory.
// - The file being replaced must still be the one loaded (or, for another
//   output, the one found when the store began), checked just before the
//   swap and again after it: a newer save by another program is put back
//   and the entry is left alone ("Can't write").
// - Replaced content is synced before the swap; the directory is synced
//   once at the end of the run (Finish). New files and unchanged rewrites
//   need no sync: nothing old can be lost.
// - A replacement keeps the owner (where the user may set it), the group,
//   the permission bits and the extended attributes (access control lists
//   among them) of the file it replaces; a new output takes the read and
//   write bits of the input it was made from, and the umask.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/interruption.h"
#include "driver/posix_directory.h"

namespace railfmt {
namespace {

constexpr int kOutputFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

StoreOutcome Refused(const std::string& name) {
  ReportOpenFailure(name);
  return StoreOutcome::kRefused;
}

StoreOutcome Failed(const std::string& name) {
  Report("Can't write %s!\n", name.c_str());
  return StoreOutcome::kFailed;
}

// Copies the extended attributes of one open file to another. Access
// control lists are among them; attributes the user may not set stay
// behind.
void CopyExtendedAttributes(int from, int to) {
  const ssize_t listed = ::flistxattr(from, nullptr, 0);
  if (listed <= 0) return;
  std::vector<char> names(static_cast<std::size_t>(listed));
  const ssize_t length = ::flistxattr(from, names.data(), names.size());
  std::vector<char> value;
  for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
    const char* name = names.data() + at;
    const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
    if (size < 0) continue;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
    if (got >= 0) ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0);
  }
}

}  // namespace

std::optional<FileIdentity> PosixDirectory::IdentityNow(const std::string& name) const {
  struct stat st {};
  if (::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return IdentityOf(st);
}

int PosixDirectory::OpenExisting(const std::string& name) {
  // A name the listing called a regular file is opened at once; any other is
  // looked at first, so that no FIFO or device is ever opened.
  const auto listed = types_.find(name);
  if (listed == types_.end() || listed->second != DT_REG) {
    struct stat st {};
    if (::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return -1;
    if (S_ISLNK(st.st_mode)) {
      errno = ELOOP;
      return -1;
    }
    if (!S_ISREG(st.st_mode)) {
      errno = EISDIR;
      return -1;
    }
  }
  if (Fails(StoreStep::kOpen, name)) {
    errno = EACCES;
    return -1;
  }
  int fd = ::openat(fd_, name.c_str(), O_RDWR | kOutputFlags);
  // A file the user may write but not read is still written.
  if (fd < 0 && errno == EACCES) fd = ::openat(fd_, name.c_str(), O_WRONLY | kOutputFlags);
  return fd;
}

std::optional<std::string> PosixDirectory::LinkedName(const std::string& name) const {
  char target[4096];
  const ssize_t n = ::readlinkat(fd_, name.c_str(), target, sizeof target);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) return std::nullopt;
  std::string linked(target, static_cast<std::size_t>(n));
  if (linked.find('/') != std::string::npos || linked == "." || linked == "..") return std::nullopt;
  return linked;
}

int PosixDirectory::CreateTemporary(std::string& temp, mode_t mode) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = temporary_prefix_ + std::to_string(temporaries_++) + ".tmp";
    if (Fails(StoreStep::kOpen, temp)) return -1;
    const int fd = ::openat(fd_, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | kOutputFlags, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool PosixDirectory::WriteAll(int fd, const std::string& name, std::span<const std::uint8_t> bytes, bool at_start) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t size = bytes.size() - done;
    if (Fails(StoreStep::kWrite, name, size)) return false;
    const ssize_t n = at_start ? ::pwrite(fd, bytes.data() + done, size, static_cast<off_t>(done))
                               : ::write(fd, bytes.data() + done, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || Interrupted()) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool PosixDirectory::CloseFile(int fd, const std::string& name) {
  const int result = ::close(fd);
  return !Fails(StoreStep::kClose, name) && result == 0;
}

bool PosixDirectory::HoldsBytes(int fd, std::span<const std::uint8_t> bytes) {
  // One byte more than expected: a file that grew shows as different.
  const std::size_t wanted = bytes.size() + 1;
  if (compare_.size() < wanted) compare_.resize(wanted);
  std::size_t filled = 0;
  while (filled < wanted) {
    const ssize_t n = ::pread(fd, compare_.data() + filled, wanted - filled, static_cast<off_t>(filled));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    filled += static_cast<std::size_t>(n);
  }
  return SameBytes({compare_.data(), filled}, bytes);
}

PosixDirectory::Plan::~Plan() {
  if (old_fd >= 0) ::close(old_fd);
}

StoreOutcome PosixDirectory::Decide(const std::string& name, std::span<const std::uint8_t> bytes,
                                    const LoadedEntry* source, Plan& plan) {
  const bool from_here = source != nullptr && source->name() == name;
  plan.target = name;
  plan.old_fd = OpenExisting(name);
  if (plan.old_fd < 0 && errno == ELOOP) {
    const std::optional<std::string> linked = LinkedName(name);
    if (!linked) return plan.outcome = StoreOutcome::kRefused;
    plan.target = *linked;
    plan.old_fd = OpenExisting(plan.target);
    // Dangling, a link again, or not a regular file.
    if (plan.old_fd < 0) return plan.outcome = StoreOutcome::kRefused;
  }
  if (plan.old_fd < 0) {
    if (errno != ENOENT) return plan.outcome = StoreOutcome::kRefused;
    plan.mode = static_cast<mode_t>(source != nullptr ? source->permissions() & 0666 : 0666);
    return plan.outcome = StoreOutcome::kCreated;
  }
  if (::fstat(plan.old_fd, &plan.old) != 0 || !S_ISREG(plan.old.st_mode)) return plan.outcome = StoreOutcome::kRefused;
  // Over the entry the bytes were made from, that entry must still be the
  // file loaded: a newer save is not replaced by what was made of the old.
  if (from_here && IdentityOf(plan.old) != source->identity()) return plan.outcome = StoreOutcome::kFailed;
  if (static_cast<std::uint64_t>(plan.old.st_size) == bytes.size() &&
      (from_here ? SameBytes(source->bytes(), bytes) : HoldsBytes(plan.old_fd, bytes))) {
    return plan.outcome = StoreOutcome::kUnchanged;
  }
  return plan.outcome = StoreOutcome::kReplaced;
}

StoreOutcome PosixDirectory::Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                                     const LoadedEntry* source) {
  Plan plan;
  return Decide(name, bytes, source, plan);
}

StoreOutcome PosixDirectory::Store(const std::string& name, std::span<const std::uint8_t> bytes,
                                   const LoadedEntry* source) {
  Plan plan;
  switch (Decide(name, bytes, source, plan)) {
    case StoreOutcome::kCreated: return Create(plan, name, bytes);
    case StoreOutcome::kReplaced: return Replace(plan, name, bytes);
    case StoreOutcome::kUnchanged: return Overwrite(plan, name, bytes);
    case StoreOutcome::kFailed: return Failed(name);
    case StoreOutcome::kRefused: break;
  }
  return Refused(name);
}

StoreOutcome PosixDirectory::Overwrite(Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes) {
  const bool written = WriteAll(plan.old_fd, name, bytes, true);
  const bool closed = CloseFile(std::exchange(plan.old_fd, -1), name);
  if (!closed || !written) return Failed(name);
  return StoreOutcome::kUnchanged;
}

StoreOutcome PosixDirectory::Create(const Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes) {
  std::string temp;
  const int fd = CreateTemporary(temp, plan.mode);
  if (fd < 0) return Refused(name);
  const bool written = WriteAll(fd, name, bytes, false);
  bool ok = CloseFile(fd, name) && written && !Interrupted() && !Fails(StoreStep::kRename, name);
  // A file another program created under the name meanwhile stays.
  if (ok && ::renameat2(fd_, temp.c_str(), fd_, name.c_str(), RENAME_NOREPLACE) != 0) {
    ok = (errno == EINVAL || errno == ENOSYS) && ::linkat(fd_, temp.c_str(), fd_, name.c_str(), 0) == 0;
    if (ok) ::unlinkat(fd_, temp.c_str(), 0);
  }
  if (!ok) {
    ::unlinkat(fd_, temp.c_str(), 0);
    return Failed(name);
  }
  renamed_ = true;
  return StoreOutcome::kCreated;
}

StoreOutcome PosixDirectory::Replace(Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes) {
  const struct stat& old = plan.old;
  const FileIdentity expected = IdentityOf(old);
  const mode_t mode = old.st_mode & 07777;
  std::string temp;
  const int fd = CreateTemporary(temp, mode);
  if (fd < 0) return Refused(name);
  // The new file has the user's owner and group and the mode less the
  // umask; only what differs from the old file is changed. A change of owner
  // may clear the set-user-ID and set-group-ID bits, so the mode follows it.
  const bool chowned = old.st_uid != user_ || old.st_gid != group_;
  // Where the user may not give the file away, it stays the user's.
  if (chowned && ::fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
  if (chowned || (mode & ~umask_) != mode) ::fchmod(fd, mode);
  CopyExtendedAttributes(plan.old_fd, fd);
  ::close(std::exchange(plan.old_fd, -1));

  const bool written = WriteAll(fd, name, bytes, false);
  const bool synced = written && !Fails(StoreStep::kSync, name) && ::fdatasync(fd) == 0;
  const bool ok = CloseFile(fd, name) && synced && !Interrupted() && Swap(temp, plan.target, expected);
  if (!ok) {
    ::unlinkat(fd_, temp.c_str(), 0);
    return Failed(name);
  }
  renamed_ = true;
  return StoreOutcome::kReplaced;
}

bool PosixDirectory::Swap(const std::string& temp, const std::string& target, const FileIdentity& expected) {
  if (IdentityNow(target) != expected || Fails(StoreStep::kRename, target)) return false;
  if (::renameat2(fd_, temp.c_str(), fd_, target.c_str(), RENAME_EXCHANGE) == 0) {
    // The temporary's name now holds what was replaced; it must be the
    // file checked, or another program saved in between: put that back.
    if (IdentityNow(temp) == expected) {
      ::unlinkat(fd_, temp.c_str(), 0);
      return true;
    }
    ::renameat2(fd_, temp.c_str(), fd_, target.c_str(), RENAME_EXCHANGE);
    return false;
  }
  // A file system without exchanges: a plain rename, checked before only.
  return (errno == EINVAL || errno == ENOSYS) && ::renameat(fd_, temp.c_str(), fd_, target.c_str()) == 0;
}

void PosixDirectory::Finish() {
  if (renamed_) ::fsync(fd_);
  renamed_ = false;
}

}  // namespace railfmt
