// The POSIX side of Directory: a directory of the file system. Shared by
// directory_posix.cpp (listing and loading) and output_posix.cpp (storing).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "driver/directory.h"

namespace railfmt {

class PosixDirectory final : public Directory {
 public:
  PosixDirectory(std::string path, StoreHook hook) : path_(std::move(path)), hook_(std::move(hook)) {}

  std::vector<std::string> ListNames() override;
  LoadStatus Load(const std::string& name, LoadedEntry& entry) override;
  StoreOutcome Store(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source) override;

 private:
  // The path of an entry for the system calls.
  std::string PathOf(const std::string& name) const;
  // The hook's verdict on a step; false when there is no hook.
  bool Fails(StoreStep step, const std::string& name, std::size_t& size) const;
  bool Fails(StoreStep step, const std::string& name) const;

  std::string path_;
  StoreHook hook_;
  unsigned temporaries_ = 0;           // names the next temporary file
  std::vector<std::uint8_t> compare_;  // room to read an existing output back
};

// The identity of a file from what fstat or stat said of it.
FileIdentity IdentityOf(const struct stat& status);

}  // namespace railfmt
