// The directory a batch runs in, behind an interface of our own: the batch,
// railinspect and the web page list, load and store entries through it, and
// only its implementations talk to an operating system (posix_directory.cpp,
// windows_files.cpp) or to memory (memory_directory.h).
//
// Names are entry names within the directory, never paths: nothing is ever
// loaded from or stored to another directory through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace railfmt {

// Which file an entry was and the state it was in when it was loaded: the
// same file, size, modification time and change time mean it was not
// written since. Programs may set the modification time back (cp -p,
// touch -r); the change time, which also moves with renames and new
// permissions, no user program can set.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_ns = 0;
  bool operator==(const FileIdentity&) const = default;
  // The same file with the same content, whatever its change time says: a
  // rename moves the change time of the file it renames.
  bool SameContent(const FileIdentity& other) const {
    return volume == other.volume && file == other.file && size == other.size && modified_ns == other.modified_ns;
  }
};

enum class LoadStatus {
  kLoaded,
  kMissing,    // no such entry
  kDenied,     // the user may not read it
  kDirectory,  // a directory
  kSpecial,    // a FIFO, socket or device: never opened
  kTooLarge,   // more than the process may hold in memory
  kFailed,     // the system failed to read it
};

// Whether two runs of bytes are the same: what every store compares before
// it decides that an output is unchanged.
bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// "no such file", "permission denied", "is a directory", ...
const char* LoadStatusText(LoadStatus status);

// The bytes of the entry last loaded and what the system said of it. The
// buffer keeps the room of the largest file loaded and is never zero-filled,
// so a load costs the system's copy alone.
class LoadedEntry {
 public:
  const std::string& name() const { return name_; }
  std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }
  const FileIdentity& identity() const { return identity_; }
  // Its permission bits (POSIX rwx bits; 0444 for a read-only file
  // elsewhere): an output made from it is never more open than it.
  std::uint32_t permissions() const { return permissions_; }
  // The group that owns it, where the system has groups: a new output made
  // from it gives no group access that it did not give.
  std::optional<std::uint32_t> group() const { return group_; }

  // For implementations of Directory: starts a load of name, then gives at
  // least total bytes of room whose first kept bytes survive (throws
  // std::bad_alloc when it cannot), then sets the size and identity.
  void Begin(std::string name);
  std::uint8_t* Room(std::size_t total, std::size_t kept);
  void Finish(std::size_t size, const FileIdentity& identity, std::uint32_t permissions,
              std::optional<std::uint32_t> group = std::nullopt);

 private:
  std::string name_;
  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  FileIdentity identity_;
  std::uint32_t permissions_ = 0666;
  std::optional<std::uint32_t> group_;
};

// What a store did.
enum class StoreOutcome {
  kCreated,    // a new file
  kReplaced,   // an existing file now holds the new bytes
  kUnchanged,  // the output already held these bytes: nothing was written
  kRefused,    // "Can't open %s!\n": the output could not be opened or created
  kFailed,     // "Can't write %s!\n": writing, syncing or swapping failed
};

class Directory {
 public:
  virtual ~Directory() = default;
  // The names of every entry, in the order the system delivers them ("."
  // and ".." left out). Empty when the directory cannot be read.
  virtual std::vector<std::string> ListNames() = 0;
  // Loads the regular file name into entry, as far as the size it had when
  // it was opened: a file that grows meanwhile is read as it was. Anything
  // but a regular file is never opened.
  virtual LoadStatus Load(const std::string& name, LoadedEntry& entry) = 0;
  // Stores bytes as the entry name, whole or not at all; a failure goes to
  // the diagnostic sink. An output that already holds the bytes is not
  // written at all. source is the entry the bytes were made from, when it is
  // still the one loaded last: a store over it compares with the loaded
  // bytes instead of reading the file back, and leaves it alone when it
  // changed or went away since it was loaded; a new output takes no more
  // permissions than source had.
  virtual StoreOutcome Store(const std::string& name, std::span<const std::uint8_t> bytes,
                             const LoadedEntry* source) = 0;
  // What Store would do with these bytes now: the same decision Store makes,
  // from the same code, but nothing is changed, created, written or
  // reported. What only carrying it out can show (a full disk, a failing
  // device, another program at work meanwhile) is not foreseen.
  virtual StoreOutcome Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                               const LoadedEntry* source) = 0;
  // Makes what the run renamed in the directory durable and removes what
  // runs that were killed left behind; called once at the end of a batch.
  virtual void Finish() {}
};

// The steps a directory on an operating system takes: kRead while loading,
// the others while storing, in the order they are made.
enum class StoreStep { kOpen, kWrite, kSync, kClose, kRename, kRead };

// Called before each step with the entry name it acts on (a named
// temporary's for the steps on it, the output's for those on a file not
// yet named); returning true makes that step fail as the system would
// with the errno the hook leaves (EIO when it leaves none). Before a
// write or read, size is what the call asks for, and a hook may lower it
// (not to 0) to make it deliver less. Tests make any step fail with it,
// or change the directory at a known point.
using StoreHook = std::function<bool(StoreStep step, std::string_view name, std::size_t& size)>;

// The directory at path through the operating system; null when it cannot
// be opened.
std::unique_ptr<Directory> OpenDirectory(const std::string& path, StoreHook hook = nullptr);

}  // namespace railfmt
