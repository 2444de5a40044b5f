// A private scratch directory for a fuzz target process.
//
// The directory is created once per process under $TMPDIR (or /tmp) and
// removed with everything in it when the process exits normally; a crashing
// process leaves it behind for inspection. The process enters it only for
// the duration of one input, so that libFuzzer's own relative paths (corpus,
// dictionary, artifacts) keep meaning what they meant at start.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace railfmt::fuzz {

// While alive, the scratch directory (created on first use) is the working
// directory; the previous one is restored afterwards.
class InScratchDirectory {
 public:
  InScratchDirectory();
  ~InScratchDirectory();
  InScratchDirectory(const InScratchDirectory&) = delete;
  InScratchDirectory& operator=(const InScratchDirectory&) = delete;

 private:
  int previous_ = -1;
};

// Writes bytes under name in the working directory; aborts on failure.
void WriteEntry(const std::string& name, std::span<const std::uint8_t> bytes);

// Every entry of the working directory except "." and "..", with its
// content (empty for anything that is not a regular file).
std::map<std::string, std::vector<std::uint8_t>> SnapshotEntries();

// Removes every entry of the working directory.
void ClearScratchDirectory();

// Prints the message to standard error and aborts: libFuzzer then keeps the
// input as a crash reproducer.
[[noreturn]] void Fail(const char* what, const std::string& detail);

}  // namespace railfmt::fuzz
