#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "driver/posix_directory.h"

namespace railfmt {

FileIdentity IdentityOf(const struct stat& st) {
  const auto ns = [](const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + static_cast<std::int64_t>(t.tv_nsec);
  };
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

std::unique_ptr<Directory> OpenDirectory(const std::string& path, StoreHook hook) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  return std::make_unique<PosixDirectory>(path, std::move(hook));
}

std::string PosixDirectory::PathOf(const std::string& name) const {
  if (path_ == ".") return name;
  return path_.ends_with('/') ? path_ + name : path_ + "/" + name;
}

bool PosixDirectory::Fails(StoreStep step, const std::string& name, std::size_t& size) const {
  return hook_ && hook_(step, name, size);
}

bool PosixDirectory::Fails(StoreStep step, const std::string& name) const {
  std::size_t size = 0;
  return Fails(step, name, size);
}

std::vector<std::string> PosixDirectory::ListNames() {
  std::vector<std::string> names;
  DIR* dir = ::opendir(path_.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

namespace {

LoadStatus StatusOfError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP: return LoadStatus::kMissing;
    case EACCES:
    case EPERM: return LoadStatus::kDenied;
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
  const std::string path = PathOf(name);
  // Only a regular file is opened at all: opening a FIFO releases a writer
  // waiting for a reader, and opening a device may act on the device.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return StatusOfError(errno);
  if (const LoadStatus type = StatusOfType(st.st_mode); type != LoadStatus::kLoaded) return type;
  // The entry may change between the look and the open: O_NONBLOCK keeps a
  // FIFO put in its place from blocking, and the second look rejects it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return StatusOfError(errno);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return LoadStatus::kSpecial;
  }
  // One read, asking for one byte more than the file's size: when it
  // delivers exactly the size, the file ended there and no second read is
  // needed to see the end. The loop only runs on when the file grew
  // meanwhile or the system delivered less.
  const auto expected = static_cast<std::size_t>(st.st_size);
  std::size_t capacity = expected + 1;
  std::size_t filled = 0;
  LoadStatus status = LoadStatus::kLoaded;
  try {
    std::uint8_t* data = entry.Room(capacity, 0);
    for (;;) {
      if (filled == capacity) {
        capacity *= 2;
        data = entry.Room(capacity, filled);
      }
      const std::size_t wanted = capacity - filled;
      const ssize_t n = ::read(fd, data + filled, wanted);
      if (n < 0) {
        if (errno == EINTR) continue;
        status = LoadStatus::kFailed;
        break;
      }
      if (n == 0) break;
      filled += static_cast<std::size_t>(n);
      if (filled == expected && static_cast<std::size_t>(n) < wanted) break;
    }
  } catch (const std::bad_alloc&) {
    status = LoadStatus::kTooLarge;
  }
  ::close(fd);
  if (status == LoadStatus::kLoaded) entry.Finish(filled, IdentityOf(st));
  return status;
}

}  // namespace railfmt
