#include "tests/support/scratch_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "driver/batch_driver.h"

namespace railfmt::testing {

namespace fs = std::filesystem;

namespace {

// Gives back the permissions a test took away, so that everything can go.
void MakeRemovable(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (ec || fs::is_symlink(status)) return;
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
  if (!fs::is_directory(status)) return;
  for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) MakeRemovable(it->path());
}

fs::path PathOf(const std::string& name) {
#ifdef _WIN32
  return fs::path(std::u8string(name.begin(), name.end()));
#else
  return fs::path(name);
#endif
}

}  // namespace

std::string NameOf(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

ScratchDir::ScratchDir(bool enter) {
  static std::atomic<unsigned> made{0};
  const auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; root_.empty(); ++attempt) {
    if (attempt == 100) throw std::runtime_error("cannot make a scratch directory");
    const fs::path candidate = fs::temp_directory_path() /
                               ("railfmt-test-" + std::to_string(seed % 1000000007ULL) + "-" + std::to_string(made++));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) root_ = candidate;
  }
  path_ = NameOf(root_);
  if (!enter) return;
  previous_cwd_ = fs::current_path();
  fs::current_path(root_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (!previous_cwd_.empty()) fs::current_path(previous_cwd_, ec);
  MakeRemovable(root_);
  fs::remove_all(root_, ec);
}

fs::path ScratchDir::Entry(const std::string& name) const { return root_ / PathOf(name); }

void ScratchDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  std::ofstream out(Entry(name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ScratchDir::Read(const std::string& name) const {
  std::ifstream in(Entry(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ScratchDir::Exists(const std::string& name) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(Entry(name), ec));
}

std::map<std::string, std::vector<std::uint8_t>> ScratchDir::Snapshot() const {
  std::map<std::string, std::vector<std::uint8_t>> result;
  for (const auto& entry : fs::directory_iterator(root_)) {
    const std::string name = NameOf(entry.path().filename());
    std::error_code ec;
    result[name] = entry.is_regular_file(ec) && !entry.is_symlink(ec) ? Read(name) : std::vector<std::uint8_t>{};
  }
  return result;
}

void ScratchDir::Clear() const {
  for (const auto& entry : fs::directory_iterator(root_)) {
    std::error_code ec;
    fs::remove_all(entry.path(), ec);
  }
}

std::vector<std::string> EntriesHere() { return EntriesToVisit(*OpenDirectory(".")); }

void RunBatchHere() { RunBatch(*OpenDirectory(".")); }

}  // namespace railfmt::testing
