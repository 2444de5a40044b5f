// Test support: a fresh temporary directory, removed with everything in it
// afterwards; made the working directory while the object lives unless it
// is asked not to be (fuzz targets keep their own working directory).
//
// Names and paths are UTF-8 on Windows (the system's names are UTF-16) and
// bytes as they are elsewhere.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace railfmt::testing {

class ScratchDir {
 public:
  explicit ScratchDir(bool enter = true);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  std::vector<std::uint8_t> Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // Every entry name (hidden ones included) with its content; directories
  // and other non-regular entries map to an empty vector.
  std::map<std::string, std::vector<std::uint8_t>> Snapshot() const;
  // Removes every entry.
  void Clear() const;

 private:
  std::filesystem::path Entry(const std::string& name) const;

  std::filesystem::path root_;
  std::string path_;
  std::filesystem::path previous_cwd_;
};

// A path as a string in the convention above.
std::string NameOf(const std::filesystem::path& path);

// The batch on the working directory: the names it visits and a whole run.
std::vector<std::string> EntriesHere();
void RunBatchHere();

}  // namespace railfmt::testing
