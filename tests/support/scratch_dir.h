// Test support: a fresh temporary directory, made the working directory
// while the object lives, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace railfmt::testing {

class ScratchDir {
 public:
  ScratchDir();
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

 private:
  std::string path_;
  std::string previous_cwd_;
};

// Runs a command with /bin/sh and returns its standard output.
std::string RunCommand(const std::string& command, int* exit_status = nullptr);

}  // namespace railfmt::testing
