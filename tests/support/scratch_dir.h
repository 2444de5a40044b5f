// Test support: a fresh temporary directory, removed with everything in it
// afterwards; made the working directory while the object lives unless it
// is asked not to be (fuzz targets keep their own working directory).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "driver/recognition_cascade.h"

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
  std::string path_;
  std::string previous_cwd_;
};

// The batch on the working directory: the names it visits, a whole run, and
// the writing of one recognised file as the batch writes it.
std::vector<std::string> EntriesHere();
void RunBatchHere();
void WriteHere(RecognisedFile& file);

// Runs a command with /bin/sh and returns its standard output.
std::string RunCommand(const std::string& command, int* exit_status = nullptr);

}  // namespace railfmt::testing
