// Listing and loading on a POSIX file system, through a descriptor of the
// directory.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "driver/interruption.h"
#include "driver/posix_directory.h"
#include "driver/posix_memory.h"

namespace railfmt {
namespace {

std::int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + static_cast<std::int64_t>(time.tv_nsec);
}

// A file this small is loaded without asking how much memory is left.
constexpr std::size_t kSmallFile = std::size_t{1} << 20;
// What one entry takes in memory, by the size of its file: its bytes, the
// object read from them, the encoded output, and an existing output read
// back for comparison.
constexpr std::uint64_t kCopiesInMemory = 4;

}  // namespace

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size), Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
}

std::unique_ptr<Directory> OpenDirectory(const std::string& path, StoreHook hook) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixDirectory>(fd, std::move(hook));
}

PosixDirectory::PosixDirectory(int fd, StoreHook hook)
    : fd_(fd),
      hook_(std::move(hook)),
      temporary_prefix_(".railfmt-" + std::to_string(::getpid()) + "-"),
      umask_(::umask(0)),
      user_(::geteuid()) {
  ::umask(umask_);
  // The run holds a shared lock on the byte of the directory numbered by
  // its process while it lives; the kernel lets it go when the process
  // ends, however it ends. A temporary whose writer's byte nobody holds
  // was left by a run that is gone.
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = ::getpid();
  lock.l_len = 1;
  ::fcntl(fd_, F_OFD_SETLK, &lock);
}

PosixDirectory::~PosixDirectory() { ::close(fd_); }

bool PosixDirectory::Fails(StoreStep step, const std::string& name, std::size_t& size) const {
  if (!hook_) return false;
  errno = 0;
  if (!hook_(step, name, size)) return false;
  if (errno == 0) errno = EIO;
  return true;
}

bool PosixDirectory::Fails(StoreStep step, const std::string& name) const {
  std::size_t size = 0;
  return Fails(step, name, size);
}

std::optional<long> TemporaryWriter(std::string_view name) {
  constexpr std::string_view kStart = ".railfmt-";
  constexpr std::string_view kEnd = ".tmp";
  if (!name.starts_with(kStart) || !name.ends_with(kEnd)) return std::nullopt;
  name = name.substr(kStart.size(), name.size() - kStart.size() - kEnd.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size() || dash > 9) return std::nullopt;
  if (name.find_first_not_of("0123456789-") != std::string_view::npos || name.find('-', dash + 1) != name.npos) {
    return std::nullopt;
  }
  long pid = 0;
  for (const char c : name.substr(0, dash)) pid = pid * 10 + (c - '0');
  return pid;
}

std::vector<std::string> PosixDirectory::ListNames() {
  std::vector<std::string> names;
  types_.clear();
  leftovers_.clear();
  const int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
  if (dir == nullptr) {
    if (fd >= 0) ::close(fd);
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.emplace_back(name);
    types_[names.back()] = entry->d_type;
    if (TemporaryWriter(name)) leftovers_.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

bool PosixDirectory::MayFollow(const std::string& name, const struct stat& link, uid_t target_owner) const {
  // The file opened through the link is the one whose owner counts; the
  // link looked at must still be the one under the name.
  struct stat again {};
  return (link.st_uid == user_ || link.st_uid == target_owner) &&
         ::fstatat(fd_, name.c_str(), &again, AT_SYMLINK_NOFOLLOW) == 0 && again.st_ino == link.st_ino &&
         again.st_dev == link.st_dev;
}

namespace {

LoadStatus StatusOfError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG: return LoadStatus::kMissing;
    case EACCES:
    case EPERM: return LoadStatus::kDenied;
    case ENOMEM: return LoadStatus::kTooLarge;
    default: return LoadStatus::kFailed;
  }
}

LoadStatus StatusOfType(mode_t mode) {
  if (S_ISREG(mode)) return LoadStatus::kLoaded;
  return S_ISDIR(mode) ? LoadStatus::kDirectory : LoadStatus::kSpecial;
}

}  // namespace

bool PosixDirectory::ReadAll(int fd, const std::string& name, std::uint8_t* data, std::size_t size,
                             std::size_t& filled) {
  filled = 0;
  while (filled < size) {
    std::size_t wanted = std::min(size - filled, kPiece);
    const ssize_t n = Fails(StoreStep::kRead, name, wanted) ? -1 : ::read(fd, data + filled, wanted);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    // An end before the size: the file shrank meanwhile and ends where its
    // data did.
    if (n == 0) return true;
    filled += static_cast<std::size_t>(n);
    if (Interrupted()) return false;
  }
  return true;
}

LoadStatus PosixDirectory::Load(const std::string& name, LoadedEntry& entry) {
  entry.Begin(name);
  // Only a regular file is opened at all: opening a FIFO releases a writer
  // waiting for a reader, and opening a device may act on the device. What
  // the listing called a regular file is opened at once, never through a
  // link; anything else is looked at first. The entry may still change
  // before the open, so O_NONBLOCK keeps a FIFO put in its place from
  // blocking, and the look at the open file rejects it.
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  const auto listed = types_.find(name);
  int fd = listed != types_.end() && listed->second == DT_REG ? ::openat(fd_, name.c_str(), kFlags | O_NOFOLLOW) : -1;
  struct stat looked {};  // the entry itself, when it was looked at
  if (fd < 0 && (listed == types_.end() || listed->second != DT_REG || errno == ELOOP)) {
    struct stat st {};
    if (::fstatat(fd_, name.c_str(), &looked, AT_SYMLINK_NOFOLLOW) != 0) return StatusOfError(errno);
    if (S_ISLNK(looked.st_mode) && ::fstatat(fd_, name.c_str(), &st, 0) != 0) return StatusOfError(errno);
    if (!S_ISLNK(looked.st_mode)) st = looked;
    if (const LoadStatus type = StatusOfType(st.st_mode); type != LoadStatus::kLoaded) return type;
    fd = ::openat(fd_, name.c_str(), kFlags | (S_ISLNK(looked.st_mode) ? 0 : O_NOFOLLOW));
  }
  if (fd < 0) return StatusOfError(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? LoadStatus::kDirectory : LoadStatus::kSpecial;
  }
  if (S_ISLNK(looked.st_mode) && !MayFollow(name, looked, st.st_uid)) {
    ::close(fd);
    return LoadStatus::kDenied;
  }
  // The file is read as far as the size it had when it was opened: what is
  // appended meanwhile is not part of this load (and the store then sees
  // that the file changed since). A file too large for the memory a
  // container allows is refused before the kernel would end the run for it.
  const auto size = static_cast<std::size_t>(st.st_size);
  std::optional<std::uint64_t> left;
  if (size >= kSmallFile) left = ContainerMemoryLeft();
  std::uint8_t* data = nullptr;
  try {
    if (!left || size <= *left / kCopiesInMemory) data = entry.Room(size, 0);
  } catch (const std::bad_alloc&) {
    data = nullptr;
  }
  if (data == nullptr && size > 0) {
    ::close(fd);
    return LoadStatus::kTooLarge;
  }
  std::size_t filled = 0;
  const bool read = ReadAll(fd, name, data, size, filled);
  ::close(fd);
  if (!read) return LoadStatus::kFailed;
  entry.Finish(filled, IdentityOf(st), static_cast<std::uint32_t>(st.st_mode & 0777),
               static_cast<std::uint32_t>(st.st_gid));
  return LoadStatus::kLoaded;
}

}  // namespace railfmt
