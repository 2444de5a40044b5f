// The POSIX side of Directory: a directory of the file system, held open so
// that every load, store and rename acts on an entry of this directory and
// of no other, whatever the names and links around it do. Shared by
// posix_directory.cpp (listing and loading) and posix_store.cpp (storing).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "driver/directory.h"

namespace railfmt {

class PosixDirectory final : public Directory {
 public:
  // Takes over fd, a descriptor of the directory.
  PosixDirectory(int fd, StoreHook hook);
  ~PosixDirectory() override;
  PosixDirectory(const PosixDirectory&) = delete;
  PosixDirectory& operator=(const PosixDirectory&) = delete;

  std::vector<std::string> ListNames() override;
  LoadStatus Load(const std::string& name, LoadedEntry& entry) override;
  StoreOutcome Store(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source) override;
  StoreOutcome Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                       const LoadedEntry* source) override;
  void Finish() override;

 private:
  // What a store is to do, decided before anything changes: Store carries
  // it out, Preview reads its outcome alone.
  struct Plan {
    Plan() = default;
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;
    ~Plan();
    StoreOutcome outcome = StoreOutcome::kRefused;
    std::string target;  // the entry that takes the bytes: the name, or the entry its link names
    int old_fd = -1;     // the existing output, open, when there is one
    struct stat old {};
    mode_t mode = 0666;  // the permission bits of a new output
  };
  StoreOutcome Decide(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source,
                      Plan& plan);

  // The hook's verdict on a step; false when there is no hook.
  bool Fails(StoreStep step, const std::string& name, std::size_t& size) const;
  bool Fails(StoreStep step, const std::string& name) const;

  // Opens an existing output for writing without following a link or
  // opening anything but a regular file; -1 with errno set otherwise
  // (ELOOP for a symbolic link, ENOENT when there is none).
  int OpenExisting(const std::string& name);
  // The entry a symbolic link names, when that is a plain name of this
  // directory.
  std::optional<std::string> LinkedName(const std::string& name) const;
  // A new hidden temporary file with the permission bits given (the umask
  // applies); -1 when none could be made.
  int CreateTemporary(std::string& temp, mode_t mode);
  // Every write of bytes through the hook; false when one failed or the run
  // was interrupted.
  bool WriteAll(int fd, const std::string& name, std::span<const std::uint8_t> bytes, bool at_start);
  bool CloseFile(int fd, const std::string& name);
  bool HoldsBytes(int fd, std::span<const std::uint8_t> bytes);
  StoreOutcome Overwrite(Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes);
  StoreOutcome Create(const Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes);
  StoreOutcome Replace(Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes);
  // Exchanges the temporary with the target when the target is still the
  // expected file before and after; puts it back otherwise.
  bool Swap(const std::string& temp, const std::string& target, const FileIdentity& expected);
  // The identity of an entry now, without following a link.
  std::optional<FileIdentity> IdentityNow(const std::string& name) const;

  int fd_;
  StoreHook hook_;
  // What the listing said each entry is (d_type), to open regular files
  // without a look first.
  std::unordered_map<std::string, unsigned char> types_;
  std::string temporary_prefix_;  // ".railfmt-<pid>-"
  unsigned temporaries_ = 0;      // numbers the next temporary file
  mode_t umask_ = 022;
  uid_t user_ = 0;
  gid_t group_ = 0;
  bool renamed_ = false;               // the directory changed: sync it at the end
  std::vector<std::uint8_t> compare_;  // room to read an existing output back
};

// The identity of a file from what fstat or stat said of it.
FileIdentity IdentityOf(const struct stat& status);

}  // namespace railfmt
