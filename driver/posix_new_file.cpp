// The files that become outputs on a POSIX file system.
//
// New content is written to an unnamed file of the directory (O_TMPFILE)
// where the file system allows it: a run that is killed while it writes
// leaves nothing behind. The file gets a name only to take the output's
// place, directly for a new output, under a hidden temporary name for the
// exchange with a replaced one. Elsewhere it is a hidden temporary from the
// start (".railfmt-PID-N.tmp", passed over by every scan).
//
// A temporary that stays because its run was killed is removed by the next
// run over the directory, and only when its writer is provably gone: every
// run holds a lock on the byte of the directory numbered by its process,
// which the kernel keeps exactly as long as the process lives.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "driver/posix_directory.h"

namespace railfmt {
namespace {

// The error O_TMPFILE gives where the file system has no unnamed files (an
// old kernel knows only O_DIRECTORY within it, and says EISDIR).
bool NoUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

// Copies the extended attributes of one open file to another. Access
// control lists are among them, unless the new file could not keep the old
// one's group (its entries would give the new group what the old one had);
// attributes the user may not set stay behind.
void CopyExtendedAttributes(int from, int to, bool group_kept) {
  const ssize_t listed = ::flistxattr(from, nullptr, 0);
  if (listed <= 0) return;
  std::vector<char> names(static_cast<std::size_t>(listed));
  const ssize_t length = ::flistxattr(from, names.data(), names.size());
  std::vector<char> value;
  for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
    const char* name = names.data() + at;
    if (!group_kept && std::strcmp(name, "system.posix_acl_access") == 0) continue;
    const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
    if (size < 0) continue;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
    if (got >= 0) ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0);
  }
}

}  // namespace

std::string PosixDirectory::NextTemporaryName() { return temporary_prefix_ + std::to_string(temporaries_++) + ".tmp"; }

int PosixDirectory::CreateTemporary(std::string& temp, mode_t mode) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = NextTemporaryName();
    if (Fails(StoreStep::kOpen, temp)) return -1;
    const int fd = ::openat(fd_, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool PosixDirectory::OpenNewFile(const Plan& plan, const std::string& name, NewFile& file) {
  if (unnamed_files_) {
    file.fd = Fails(StoreStep::kOpen, name) ? -1 : ::openat(fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, plan.mode);
    if (file.fd >= 0) return true;
    if (!NoUnnamedFiles(errno)) return false;
    unnamed_files_ = false;
  }
  // A named file is open to whoever may open it by name: it is the user's
  // alone until its owner, group and mode are set.
  file.fd = CreateTemporary(file.temp, plan.mode & 0600);
  if (file.fd < 0) file.temp.clear();
  return file.fd >= 0;
}

void PosixDirectory::SetOwnership(const Plan& plan, NewFile& file) {
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) return;
  file.identity = IdentityOf(st);
  mode_t mode = plan.mode;
  const uid_t owner = plan.owner.value_or(st.st_uid);
  const gid_t group = plan.group.value_or(st.st_gid);
  // The new file is the user's, in the user's group or the directory's
  // (set-group-ID directories); only what differs from the plan changes.
  // Where the user may not give the file away it stays the user's; where
  // the group cannot be kept, the file gives no group any access.
  bool chowned = false;
  if (owner != st.st_uid || group != st.st_gid) {
    chowned = ::fchown(file.fd, owner, group) == 0 ||
              (group != st.st_gid && ::fchown(file.fd, static_cast<uid_t>(-1), group) == 0);
  }
  const bool group_kept = group == st.st_gid || chowned;
  if (!group_kept) mode &= ~static_cast<mode_t>(070);
  // A change of owner may clear the set-user-ID and set-group-ID bits, so
  // the mode follows it.
  if (chowned || (st.st_mode & 07777) != mode) ::fchmod(file.fd, mode);
  if (plan.old_fd >= 0) CopyExtendedAttributes(plan.old_fd, file.fd, group_kept);
}

bool PosixDirectory::LinkNewFile(const NewFile& file, const std::string& name) {
  // Linking a descriptor alone needs a kernel that allows it to its
  // opener (Linux 6.10); before, the file's link under /proc does it.
  if (link_empty_path_) {
    if (!Fails(StoreStep::kRename, name) && ::linkat(file.fd, "", fd_, name.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM) return false;
    link_empty_path_ = false;
  } else if (Fails(StoreStep::kRename, name)) {
    return false;
  }
  char path[64];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", file.fd);
  return ::linkat(AT_FDCWD, path, fd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool PosixDirectory::CloseNewFile(NewFile& file, const std::string& name) {
  const bool failed = Fails(StoreStep::kClose, name);
  const bool closed = ::close(std::exchange(file.fd, -1)) == 0;
  return closed && !failed;
}

void PosixDirectory::RemoveNewFile(NewFile& file) {
  if (file.fd >= 0) ::close(std::exchange(file.fd, -1));
  if (file.temp.empty()) return;
  // Only the run's own file: what another program put under the name stays.
  const std::optional<FileIdentity> now = IdentityNow(file.temp);
  if (file.identity.file == 0 || (now && now->SameContent(file.identity))) ::unlinkat(fd_, file.temp.c_str(), 0);
}

bool PosixDirectory::WriterGone(const std::string& temp) const {
  const std::optional<long> writer = TemporaryWriter(temp);
  if (!writer) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(*writer);
  lock.l_len = 1;
  return ::fcntl(fd_, F_OFD_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
}

void PosixDirectory::Finish() {
  for (const std::string& temp : leftovers_) {
    if (WriterGone(temp) && ::unlinkat(fd_, temp.c_str(), 0) == 0) renamed_ = true;
  }
  leftovers_.clear();
  if (renamed_) ::fsync(fd_);
  renamed_ = false;
}

}  // namespace railfmt
