#include "tests/support/scratch_dir.h"

#include "driver/batch_driver.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace railfmt::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir(bool enter) {
  std::string templ = (fs::temp_directory_path() / "railfmt-test-XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
  if (!enter) return;
  previous_cwd_ = fs::current_path().string();
  fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (!previous_cwd_.empty()) fs::current_path(previous_cwd_, ec);
  // Give back permissions a test took away, so that everything can go.
  RunCommand("chmod -R u+rwx '" + path_ + "' 2>/dev/null");
  fs::remove_all(path_, ec);
}

void ScratchDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  std::ofstream out(path_ + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ScratchDir::Read(const std::string& name) const {
  std::ifstream in(path_ + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ScratchDir::Exists(const std::string& name) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path_ + "/" + name, ec));
}

std::map<std::string, std::vector<std::uint8_t>> ScratchDir::Snapshot() const {
  std::map<std::string, std::vector<std::uint8_t>> result;
  for (const auto& entry : fs::directory_iterator(path_)) {
    const std::string name = entry.path().filename().string();
    std::error_code ec;
    result[name] = entry.is_regular_file(ec) && !entry.is_symlink(ec) ? Read(name) : std::vector<std::uint8_t>{};
  }
  return result;
}

void ScratchDir::Clear() const {
  for (const auto& entry : fs::directory_iterator(path_)) {
    std::error_code ec;
    fs::remove_all(entry.path(), ec);
  }
}

std::vector<std::string> EntriesHere() { return EntriesToVisit(*OpenDirectory(".")); }

void RunBatchHere() { RunBatch(*OpenDirectory(".")); }

void WriteHere(RecognisedFile& file) { WriteRecognised(*OpenDirectory("."), file, nullptr); }

std::string RunCommand(const std::string& command, int* exit_status) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> chunk{};
  std::size_t n = 0;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) output.append(chunk.data(), n);
  const int status = ::pclose(pipe);
  if (exit_status != nullptr) *exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

}  // namespace railfmt::testing
