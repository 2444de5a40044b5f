// Storing on a POSIX file system, through the descriptor of the directory:
// no store ever opens, creates or renames anything outside it.
//
// What a store does is decided first (Decide), from what is there:
// - An output that already holds exactly the bytes is not written at all:
//   nothing could be gained, and a write could only race with another
//   program's save. Its time stamps stay.
// - An existing output that is not a regular file, or that the user may not
//   write, is left alone ("Can't open"). One that is a symbolic link is
//   written through only to a regular file of this directory, and only when
//   the link is the user's or its file's owner's.
// - Over the entry the bytes were made from, that entry must still be the
//   file loaded, unchanged; one gone since is not written back ("Can't
//   write").
// Then it is carried out: a changed or new output is written to a new file
// (posix_new_file.cpp) that takes the output's name only after every write,
// the sync of replaced content, and the close succeeded; on any failure the
// new file goes and an existing output stays exactly as it was.
//
// Safety of what is there:
// - The file being replaced must still be the one loaded (or, for another
//   output, the one found when the store began), checked just before the
//   exchange and again after it. When another program saved in between, its
//   save is put back, as long as the name still holds the run's own file; a
//   file the run did not write is never removed.
// - Replaced content is synced before the swap; the directory is synced
//   once at the end of the run (Finish). New files need no sync: nothing
//   old can be lost.
// - A replacement keeps the owner (where the user may set it), the group,
//   the permission bits and the extended attributes (access control lists
//   among them) of the file it replaces; a new output takes the read and
//   write bits of the input it was made from, and the umask. Where the
//   group cannot be kept, the new file gives its group no access at all.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "driver/diagnostics.h"
#include "driver/interruption.h"
#include "driver/posix_directory.h"

namespace railfmt {
namespace {

constexpr int kOutputFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

StoreOutcome Refused(const std::string& name) {
  ReportOpenFailure(name);
  return StoreOutcome::kRefused;
}

StoreOutcome Failed(const std::string& name) {
  Report("Can't write %s!\n", name.c_str());
  return StoreOutcome::kFailed;
}

// Errors of an open for writing after which an open for reading may work.
bool MayStillRead(int error) { return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY; }

}  // namespace

std::optional<FileIdentity> PosixDirectory::IdentityNow(const std::string& name) const {
  struct stat st {};
  if (::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return IdentityOf(st);
}

int PosixDirectory::OpenExisting(const std::string& name, bool& writable) {
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
  if (Fails(StoreStep::kOpen, name)) return -1;
  writable = true;
  int fd = ::openat(fd_, name.c_str(), O_RDWR | kOutputFlags);
  // A file the user may write but not read is still written; one the user
  // may only read is still compared with the bytes.
  if (fd < 0 && errno == EACCES) fd = ::openat(fd_, name.c_str(), O_WRONLY | kOutputFlags);
  if (fd < 0 && MayStillRead(errno)) {
    writable = false;
    fd = ::openat(fd_, name.c_str(), O_RDONLY | kOutputFlags);
  }
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

bool PosixDirectory::WriteAll(int fd, const std::string& name, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t size = std::min(bytes.size() - done, kPiece);
    const ssize_t n = Fails(StoreStep::kWrite, name, size) ? -1 : ::write(fd, bytes.data() + done, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || Interrupted()) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool PosixDirectory::HoldsBytes(int fd, const std::string& name, std::span<const std::uint8_t> bytes) {
  // One byte more than expected: a file that grew shows as different.
  const std::size_t wanted = bytes.size() + 1;
  if (compare_.size() < wanted) compare_.resize(wanted);
  std::size_t filled = 0;
  return ReadAll(fd, name, compare_.data(), wanted, filled) && SameBytes({compare_.data(), filled}, bytes);
}

PosixDirectory::Plan::~Plan() {
  if (old_fd >= 0) ::close(old_fd);
}

StoreOutcome PosixDirectory::Decide(const std::string& name, std::span<const std::uint8_t> bytes,
                                    const LoadedEntry* source, Plan& plan) {
  const bool from_here = source != nullptr && source->name() == name;
  if (from_here && SameBytes(source->bytes(), bytes)) return plan.outcome = StoreOutcome::kUnchanged;
  plan.target = name;
  bool writable = false;
  plan.old_fd = OpenExisting(name, writable);
  struct stat link_status {};  // the link under the name, when it is one
  if (plan.old_fd < 0 && errno == ELOOP) {
    const std::optional<std::string> linked =
        ::fstatat(fd_, name.c_str(), &link_status, AT_SYMLINK_NOFOLLOW) == 0 ? LinkedName(name) : std::nullopt;
    if (!linked) return plan.outcome = StoreOutcome::kRefused;
    plan.target = *linked;
    plan.old_fd = OpenExisting(plan.target, writable);
    // Dangling, a link again, or not a regular file.
    if (plan.old_fd < 0) return plan.outcome = StoreOutcome::kRefused;
  }
  if (plan.old_fd < 0) {
    if (errno != ENOENT) return plan.outcome = StoreOutcome::kRefused;
    // The entry the bytes were made from went away since its load.
    if (from_here) return plan.outcome = StoreOutcome::kFailed;
    if (::faccessat(fd_, ".", W_OK | X_OK, AT_EACCESS) != 0) return plan.outcome = StoreOutcome::kRefused;
    plan.mode = static_cast<mode_t>(source != nullptr ? source->permissions() & 0666 : 0666) & ~umask_;
    if (source != nullptr && source->group()) plan.group = static_cast<gid_t>(*source->group());
    return plan.outcome = StoreOutcome::kCreated;
  }
  if (::fstat(plan.old_fd, &plan.old) != 0 || !S_ISREG(plan.old.st_mode)) return plan.outcome = StoreOutcome::kRefused;
  if (S_ISLNK(link_status.st_mode) && !MayFollow(name, link_status, plan.old.st_uid)) {
    return plan.outcome = StoreOutcome::kRefused;
  }
  // Over the entry the bytes were made from, that entry must still be the
  // file loaded: a newer save is not replaced by what was made of the old.
  if (from_here && IdentityOf(plan.old) != source->identity()) return plan.outcome = StoreOutcome::kFailed;
  if (!from_here && static_cast<std::uint64_t>(plan.old.st_size) == bytes.size() &&
      HoldsBytes(plan.old_fd, plan.target, bytes)) {
    return plan.outcome = StoreOutcome::kUnchanged;
  }
  if (!writable || ::faccessat(fd_, ".", W_OK | X_OK, AT_EACCESS) != 0) return plan.outcome = StoreOutcome::kRefused;
  plan.mode = plan.old.st_mode & 07777;
  plan.owner = plan.old.st_uid;
  plan.group = plan.old.st_gid;
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
    case StoreOutcome::kUnchanged: return StoreOutcome::kUnchanged;
    case StoreOutcome::kFailed: return Failed(name);
    case StoreOutcome::kRefused: break;
  }
  return Refused(name);
}

StoreOutcome PosixDirectory::Create(const Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes) {
  NewFile file;
  if (!OpenNewFile(plan, name, file)) return Refused(name);
  bool ok = WriteAll(file.fd, name, bytes);
  if (ok) SetOwnership(plan, file);
  if (file.temp.empty()) {
    // An unnamed file takes the name while it is open (closing it would
    // free it); a file another program created under the name meanwhile
    // stays.
    ok = ok && !Fails(StoreStep::kClose, name) && !Interrupted() && LinkNewFile(file, name);
    if (::close(std::exchange(file.fd, -1)) != 0 && ok) {
      file.temp = name;
      ok = false;
    }
  } else {
    ok = CloseNewFile(file, name) && ok && !Interrupted();
    if (ok && (Fails(StoreStep::kRename, name) ||
               ::renameat2(fd_, file.temp.c_str(), fd_, name.c_str(), RENAME_NOREPLACE) != 0)) {
      // A file system without the flag: a new link cannot replace either.
      ok = (errno == EINVAL || errno == ENOSYS) && ::linkat(fd_, file.temp.c_str(), fd_, name.c_str(), 0) == 0;
      if (ok) ::unlinkat(fd_, file.temp.c_str(), 0);
    }
  }
  if (!ok) {
    RemoveNewFile(file);
    return Failed(name);
  }
  renamed_ = true;
  return StoreOutcome::kCreated;
}

StoreOutcome PosixDirectory::Replace(Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes) {
  const FileIdentity expected = IdentityOf(plan.old);
  NewFile file;
  if (!OpenNewFile(plan, name, file)) return Refused(name);
  bool ok = WriteAll(file.fd, name, bytes);
  if (ok) SetOwnership(plan, file);
  ::close(std::exchange(plan.old_fd, -1));
  ok = ok && !Fails(StoreStep::kSync, name) && ::fdatasync(file.fd) == 0;
  // The exchange needs a name for the new file.
  if (ok && file.temp.empty()) {
    for (int attempt = 0; attempt < 100 && file.temp.empty(); ++attempt) {
      const std::string temp = NextTemporaryName();
      if (LinkNewFile(file, temp)) file.temp = temp;
      if (file.temp.empty() && errno != EEXIST) break;
    }
    ok = !file.temp.empty();
  }
  ok = CloseNewFile(file, name) && ok && !Interrupted() && Swap(file, plan.target, expected);
  if (!ok) {
    RemoveNewFile(file);
    return Failed(name);
  }
  renamed_ = true;
  return StoreOutcome::kReplaced;
}

bool PosixDirectory::Swap(const NewFile& file, const std::string& target, const FileIdentity& expected) {
  if (IdentityNow(target) != expected) return false;
  if (Fails(StoreStep::kRename, target) ||
      ::renameat2(fd_, file.temp.c_str(), fd_, target.c_str(), RENAME_EXCHANGE) != 0) {
    // A file system without exchanges: a plain rename, checked before only.
    return (errno == EINVAL || errno == ENOSYS) && ::renameat(fd_, file.temp.c_str(), fd_, target.c_str()) == 0;
  }
  // The temporary's name now holds what was replaced; it must be the file
  // checked (the exchange itself moved its change time).
  const std::optional<FileIdentity> displaced = IdentityNow(file.temp);
  if (displaced && displaced->SameContent(expected)) {
    ::unlinkat(fd_, file.temp.c_str(), 0);
    return true;
  }
  // Another program saved between the check and the exchange: its save goes
  // back under the name, unless a later save holds the name by now. Either
  // way it stays: put back, or kept under a name no run removes.
  bool put_back = !Fails(StoreStep::kRename, target);
  const std::optional<FileIdentity> now = IdentityNow(target);
  put_back = put_back && now && now->SameContent(file.identity) &&
             ::renameat2(fd_, file.temp.c_str(), fd_, target.c_str(), RENAME_EXCHANGE) == 0;
  if (!put_back) {
    const std::string kept = file.temp.substr(0, file.temp.size() - 4) + ".kept";
    ::renameat2(fd_, file.temp.c_str(), fd_, kept.c_str(), RENAME_NOREPLACE);
  }
  return false;
}

}  // namespace railfmt
