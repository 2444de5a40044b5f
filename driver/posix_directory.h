// The POSIX side of Directory: a directory of the file system, held open so
// that every load, store and rename acts on an entry of this directory and
// of no other, whatever the names and links around it do. Shared by
// posix_directory.cpp (listing and loading), posix_store.cpp (deciding and
// storing) and posix_new_file.cpp (the files that become outputs).
//
// A symbolic link, input or output, is followed only when it belongs to the
// running user or to the owner of the file it names, the rule the kernel
// keeps in sticky directories such as /tmp: a link another user planted is
// left alone ("Can't open %s!\n"), so the run never reads or writes on that
// user's behalf what only the running user may reach.
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

  // The most a read or write asks for at once: between pieces the run sees
  // a signal that asks it to end.
  static constexpr std::size_t kPiece = std::size_t{4} << 20;

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
    mode_t mode = 0666;          // the permission bits of the new file
    std::optional<gid_t> group;  // the group it must have; its bits are dropped when it cannot
    std::optional<uid_t> owner;  // the owner it keeps, where the user may give it away
  };
  StoreOutcome Decide(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source,
                      Plan& plan);

  // A file the bytes go to before they take the output's name: unnamed
  // (O_TMPFILE) where the file system allows it, else a hidden temporary.
  struct NewFile {
    int fd = -1;
    std::string temp;       // its name; empty while it has none
    FileIdentity identity;  // what it is when written and closed: the run's own file
  };

  // The hook's verdict on a step; false when there is no hook. On true,
  // errno says why, as after a failed system call.
  bool Fails(StoreStep step, const std::string& name, std::size_t& size) const;
  bool Fails(StoreStep step, const std::string& name) const;

  // Opens an existing output without following a link or opening anything
  // but a regular file: for reading and writing, or for what the user may;
  // -1 with errno set otherwise (ELOOP for a symbolic link, ENOENT when
  // there is none). writable says whether it is open for writing.
  int OpenExisting(const std::string& name, bool& writable);
  // The entry a symbolic link names, when that is a plain name of this
  // directory.
  std::optional<std::string> LinkedName(const std::string& name) const;
  // Whether the link under name, as looked at before, may be followed to a
  // file of target_owner: it is the user's or that owner's, and the name
  // still holds that very link.
  bool MayFollow(const std::string& name, const struct stat& link, uid_t target_owner) const;
  // Reads size bytes from offset into data, in pieces; false when a read
  // failed or the run was interrupted. filled: what arrived (less at an end).
  bool ReadAll(int fd, const std::string& name, std::uint8_t* data, std::size_t size, std::size_t& filled);
  // Every write of bytes, in pieces, through the hook; false when one
  // failed or the run was interrupted.
  bool WriteAll(int fd, const std::string& name, std::span<const std::uint8_t> bytes);
  bool HoldsBytes(int fd, const std::string& name, std::span<const std::uint8_t> bytes);
  StoreOutcome Create(const Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes);
  StoreOutcome Replace(Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes);
  // Exchanges the new file with the target when the target is still the
  // expected file before and after; otherwise puts back what another
  // program saved, as long as the name still holds the run's own file.
  bool Swap(const NewFile& file, const std::string& target, const FileIdentity& expected);
  // The identity of an entry now, without following a link.
  std::optional<FileIdentity> IdentityNow(const std::string& name) const;

  // posix_new_file.cpp: the new file of an output.
  bool OpenNewFile(const Plan& plan, const std::string& name, NewFile& file);
  // Gives the written new file the plan's owner, group, mode and extended
  // attributes, and notes what it is.
  void SetOwnership(const Plan& plan, NewFile& file);
  int CreateTemporary(std::string& temp, mode_t mode);
  std::string NextTemporaryName();
  // Gives the unnamed new file the name, never replacing an entry; false
  // with errno set when it cannot (EEXIST: the name is taken).
  bool LinkNewFile(const NewFile& file, const std::string& name);
  // Closes the new file; false when closing failed.
  bool CloseNewFile(NewFile& file, const std::string& name);
  // Closes the new file and removes it, if its name still holds it.
  void RemoveNewFile(NewFile& file);
  // Whether no live run holds the lock of the process that wrote a
  // temporary of the name: its writer is gone.
  bool WriterGone(const std::string& temp) const;

  int fd_;
  StoreHook hook_;
  // What the listing said each entry is (d_type), to open regular files
  // without a look first.
  std::unordered_map<std::string, unsigned char> types_;
  // Temporaries the listing found, of this run's process number or another:
  // removed at the end when their writer is gone.
  std::vector<std::string> leftovers_;
  std::string temporary_prefix_;  // ".railfmt-<pid>-"
  unsigned temporaries_ = 0;      // numbers the next temporary file
  mode_t umask_ = 022;
  uid_t user_ = 0;
  bool unnamed_files_ = true;          // O_TMPFILE works here, as far as seen
  bool link_empty_path_ = true;        // linkat takes a descriptor alone, as far as seen
  bool renamed_ = false;               // the directory changed: sync it at the end
  std::vector<std::uint8_t> compare_;  // room to read an existing output back
};

// The identity of a file from what fstat or stat said of it.
FileIdentity IdentityOf(const struct stat& status);

// Whether name is one of the hidden temporaries runs write (".railfmt-" PID
// "-" N ".tmp"), and the process number of the run that wrote it.
std::optional<long> TemporaryWriter(std::string_view name);

}  // namespace railfmt
