// The Windows side of Directory. Every decision is made here, against the
// few file operations it needs (WindowsFiles); windows_files.cpp carries
// them out with the Windows API and does nothing else. This file builds on
// every system, so its rules are tested everywhere over files in memory.
//
// Entry names are Windows-1252 (driver/windows_names.h). A listed name with
// no Windows-1252 form carries '?' in its place and cannot be loaded. Names
// Windows treats specially are never opened: a device name loads as a
// device, an invalid name as a missing entry, and neither is made as an
// output ("Can't open %s!\n").
//
// A store works as on POSIX: the bytes go to a hidden temporary file beside
// the output (".railfmt-PID-N.tmp", which the batch passes over), which
// takes the output's place only after every write, and for a replacement
// the flush to the device, succeeded, and only while the output is still
// the file it was (the file loaded, when the output is its own input): a
// file changed, replaced or removed meanwhile by another program is left as
// it is and the store fails ("Can't write %s!\n"). A replacement keeps the
// replaced file's access control list, owner, attributes and streams. An
// existing output that already holds exactly the bytes is not written at
// all. An output that exists only in another letter case is that file: it
// is rewritten under its own spelling. An output the user may not write (as
// opening it for writing shows: the read-only attribute, or an access
// control list that allows deleting but not writing), a directory and
// anything else that is not a plain file are left alone ("Can't open").
// Opening, replacing and removing are tried again for a short while when
// another program holds the file (virus scanners and indexers do).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/directory.h"

namespace railfmt {

// Why a file operation failed.
enum class FileError {
  kNone,
  kMissing,  // no such entry
  kDenied,   // the user may not
  kBusy,     // another program holds the file: worth trying again
  kExists,   // the name is taken
  kOther,
};

// What the system says of an entry.
struct FileFacts {
  enum class Type { kFile, kDirectory, kOther };  // kOther: a device, a link, ...
  Type type = Type::kOther;
  bool read_only = false;
  // The system's attribute bits, given to a file that replaces this one
  // (hidden, archive, not indexed, ...).
  std::uint32_t attributes = 0;
  FileIdentity identity;
};

// An open file.
class WindowsFile {
 public:
  virtual ~WindowsFile() = default;
  virtual std::optional<FileFacts> Facts() = 0;
  // The number of bytes read (0 at the end) or written; nothing on failure.
  virtual std::optional<std::size_t> Read(std::uint8_t* data, std::size_t size) = 0;
  virtual std::optional<std::size_t> Write(const std::uint8_t* data, std::size_t size) = 0;
  // Makes what was written durable on the device.
  virtual bool Flush() = 0;
  // Closes the file; a file not closed is closed when destroyed.
  virtual bool Close() = 0;
};

enum class OpenMode {
  kRead,       // an existing entry, directories included, for reading
  kWrite,      // an existing file, for writing, not truncated: whether the user may
  kCreateNew,  // a new file; kExists when the name is taken
};

// The operations on one directory; names are UTF-16 entry names.
class WindowsFiles {
 public:
  virtual ~WindowsFiles() = default;
  // Every entry but "." and ".."; nothing when the directory cannot be read.
  virtual std::optional<std::vector<std::u16string>> List() = 0;
  // The facts of an entry, without following a link, and its name as the
  // directory spells it.
  virtual FileError Look(const std::u16string& name, FileFacts& facts, std::u16string& spelling) = 0;
  // attributes: for kCreateNew, the attribute bits of the new file.
  virtual FileError Open(const std::u16string& name, OpenMode mode, std::uint32_t attributes,
                         std::unique_ptr<WindowsFile>& file) = 0;
  // Renames from to to, never over an existing entry.
  virtual FileError Move(const std::u16string& from, const std::u16string& to) = 0;
  // Puts the file replacement in the place of the file replaced, which
  // keeps its access control list, owner, attributes and streams; the name
  // replacement is gone after. On failure both stay as they were.
  virtual FileError Replace(const std::u16string& replacement, const std::u16string& replaced) = 0;
  virtual FileError Remove(const std::u16string& name) = 0;
  virtual void Pause(unsigned milliseconds) = 0;
  // Names this process's temporary files.
  virtual unsigned long ProcessId() = 0;
};

class WindowsDirectory final : public Directory {
 public:
  WindowsDirectory(std::unique_ptr<WindowsFiles> files, StoreHook hook)
      : files_(std::move(files)), hook_(std::move(hook)) {}

  std::vector<std::string> ListNames() override;
  LoadStatus Load(const std::string& name, LoadedEntry& entry) override;
  StoreOutcome Store(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source) override;
  StoreOutcome Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                       const LoadedEntry* source) override;

  // How often and how long an operation is tried while the file is held.
  static constexpr int kAttempts = 7;
  static constexpr unsigned kFirstPauseMs = 10;  // doubled after each attempt: 630 ms in all

 private:
  // What a store is to do, decided before anything changes: Store carries
  // it out, Preview reads its outcome alone.
  struct Plan {
    StoreOutcome outcome = StoreOutcome::kRefused;
    std::u16string target;  // the output as the directory spells it
    FileFacts looked;       // what the existing output was when looked at
    bool replacing = false;
  };
  Plan Decide(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source);
  StoreOutcome CarryOut(const Plan& plan, const std::string& name, std::span<const std::uint8_t> bytes);

  template <typename Operation>
  FileError Retrying(Operation operation);
  bool Fails(StoreStep step, const std::string& name, std::size_t& size) const;
  bool Fails(StoreStep step, const std::string& name) const;
  bool WriteAll(WindowsFile& file, const std::string& name, std::span<const std::uint8_t> bytes) const;
  bool HoldsBytes(const std::u16string& target, std::span<const std::uint8_t> bytes);
  // Whether target is still the file of that identity, unchanged: another
  // program may have changed or replaced it meanwhile.
  bool StillTheSame(const std::u16string& target, const FileIdentity& identity);
  // Whether the user may write target, as opening it for writing shows
  // (the read-only attribute alone does not tell).
  bool MayWrite(const std::u16string& target);

  std::unique_ptr<WindowsFiles> files_;
  StoreHook hook_;
  unsigned temporaries_ = 0;
  std::vector<std::uint8_t> compare_;
};

}  // namespace railfmt
