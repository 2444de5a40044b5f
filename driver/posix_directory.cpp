// Listing and loading on a POSIX file system, through a descriptor of the
// directory.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "driver/posix_directory.h"

namespace railfmt {

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size),
          static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
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
      user_(::geteuid()),
      group_(::getegid()) {
  ::umask(umask_);
}

PosixDirectory::~PosixDirectory() { ::close(fd_); }

bool PosixDirectory::Fails(StoreStep step, const std::string& name, std::size_t& size) const {
  return hook_ && hook_(step, name, size);
}

bool PosixDirectory::Fails(StoreStep step, const std::string& name) const {
  std::size_t size = 0;
  return Fails(step, name, size);
}

std::vector<std::string> PosixDirectory::ListNames() {
  std::vector<std::string> names;
  types_.clear();
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
  }
  ::closedir(dir);
  return names;
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

LoadStatus PosixDirectory::Load(const std::string& name, LoadedEntry& entry) {
  entry.Begin(name);
  // Only a regular file is opened at all: opening a FIFO releases a writer
  // waiting for a reader, and opening a device may act on the device. What
  // the listing called a regular file needs no second look; the entry may
  // still change before the open, so O_NONBLOCK keeps a FIFO put in its
  // place from blocking, and the look at the open file rejects it.
  struct stat st {};
  const auto listed = types_.find(name);
  if (listed == types_.end() || listed->second != DT_REG) {
    if (::fstatat(fd_, name.c_str(), &st, 0) != 0) return StatusOfError(errno);
    if (const LoadStatus type = StatusOfType(st.st_mode); type != LoadStatus::kLoaded) return type;
  }
  const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return StatusOfError(errno);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? LoadStatus::kDirectory : LoadStatus::kSpecial;
  }
  // The file is read as far as the size it had when it was opened: what is
  // appended meanwhile is not part of this load (and the store then sees
  // that the file changed since).
  const auto size = static_cast<std::size_t>(st.st_size);
  std::uint8_t* data = nullptr;
  try {
    data = entry.Room(size, 0);
  } catch (const std::bad_alloc&) {
    ::close(fd);
    return LoadStatus::kTooLarge;
  }
  std::size_t filled = 0;
  bool failed = false;
  while (filled < size && !failed) {
    std::size_t wanted = size - filled;
    failed = Fails(StoreStep::kRead, name, wanted);
    const ssize_t n = failed ? -1 : ::read(fd, data + filled, wanted);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // An end before the size: the file shrank meanwhile and ends where
      // its data did.
      failed = failed || n < 0;
      break;
    }
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (failed) return LoadStatus::kFailed;
  entry.Finish(filled, IdentityOf(st), static_cast<std::uint32_t>(st.st_mode & 0777));
  return LoadStatus::kLoaded;
}

}  // namespace railfmt
