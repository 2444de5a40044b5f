#include "fuzz/scratch_directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "driver/platform_files.h"

namespace railfmt::fuzz {
namespace {

std::string g_directory;

void RemoveScratchDirectory() {
  if (g_directory.empty() || ::chdir(g_directory.c_str()) != 0) return;
  ClearScratchDirectory();
  if (::chdir("/") == 0) ::rmdir(g_directory.c_str());
}

const std::string& ScratchDirectory() {
  if (g_directory.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/railfmt-fuzz-XXXXXX";
    if (::mkdtemp(templ.data()) == nullptr) Fail("no scratch directory", templ);
    g_directory = templ;
    std::atexit(&RemoveScratchDirectory);
  }
  return g_directory;
}

}  // namespace

void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "railfmt fuzz: %s: %s\n", what, detail.c_str());
  std::abort();
}

InScratchDirectory::InScratchDirectory() {
  const std::string& dir = ScratchDirectory();
  previous_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (previous_ < 0 || ::chdir(dir.c_str()) != 0) Fail("cannot enter the scratch directory", dir);
}

InScratchDirectory::~InScratchDirectory() {
  if (::fchdir(previous_) != 0) Fail("cannot leave the scratch directory", g_directory);
  ::close(previous_);
}

void WriteEntry(const std::string& name, std::span<const std::uint8_t> bytes) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot create entry", name);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) Fail("cannot write entry", name);
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

std::map<std::string, std::vector<std::uint8_t>> SnapshotEntries() {
  std::map<std::string, std::vector<std::uint8_t>> entries;
  for (const std::string& name : ListDirectoryNames(".")) {
    if (name == "." || name == "..") continue;
    std::vector<std::uint8_t> bytes;
    LoadRegularFile(name, bytes);
    entries.emplace(name, std::move(bytes));
  }
  return entries;
}

void ClearScratchDirectory() {
  for (const std::string& name : ListDirectoryNames(".")) {
    if (name == "." || name == "..") continue;
    if (::unlink(name.c_str()) != 0) ::rmdir(name.c_str());
  }
}

}  // namespace railfmt::fuzz
