// The Windows side's decisions, over a directory in memory whose letter
// case does not count, as on Windows; windows_files_test.cpp runs the
// real one under Windows.
#include "driver/windows_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/windows_names.h"
#include "tests/support/store_faults.h"

namespace railfmt {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct MemoryEntry {
  Bytes bytes;
  FileFacts::Type type = FileFacts::Type::kFile;
  bool read_only = false;
  bool writable = true;  // false: an access control list allows deleting but not writing
  std::string security;  // stands for the access control list, owner and streams
  std::size_t lost = 0;  // bytes the size still counts that another program cut off
  std::uint32_t attributes = 0;
  std::uint64_t id = 0;
  std::int64_t modified = 0;
  int busy = 0;  // answers kBusy to this many opens and moves
  bool operator==(const MemoryEntry&) const = default;
};

// Entries keyed by their spelling, found in any letter case.
class MemoryFiles final : public WindowsFiles {
 public:
  using Entries = std::map<std::u16string, MemoryEntry>;
  Entries entries;
  unsigned paused_ms = 0;

  MemoryEntry& Add(const std::u16string& name, Bytes bytes) {
    MemoryEntry& e = entries[name] = MemoryEntry{};
    e.bytes = std::move(bytes);
    e.modified = ++clock_;
    e.id = static_cast<std::uint64_t>(clock_);
    return e;
  }
  void Touch(MemoryEntry& e) { e.modified = ++clock_; }
  std::map<std::u16string, Bytes> Contents() const {
    std::map<std::u16string, Bytes> out;
    for (const auto& [name, e] : entries) out[name] = e.bytes;
    return out;
  }
  Entries::iterator Find(const std::u16string& name) {
    return std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
      return WindowsNamesEqual(ListedWindows1252Name(e.first), ListedWindows1252Name(name));
    });
  }
  static FileFacts FactsOf(const MemoryEntry& e) {
    return {e.type, e.read_only, e.attributes, {1, e.id, e.bytes.size() + e.lost, e.modified, e.modified}};
  }

  std::optional<std::vector<std::u16string>> List() override {
    std::vector<std::u16string> names;
    for (const auto& [name, e] : entries) names.push_back(name);
    return names;
  }
  FileError Look(const std::u16string& name, FileFacts& facts, std::u16string& spelling) override {
    const auto it = Find(name);
    if (it == entries.end()) return FileError::kMissing;
    facts = FactsOf(it->second);
    spelling = it->first;
    return FileError::kNone;
  }
  FileError Open(const std::u16string& name, OpenMode mode, std::uint32_t attributes,
                 std::unique_ptr<WindowsFile>& file) override;
  FileError Move(const std::u16string& from, const std::u16string& to) override {
    if (Find(to) != entries.end()) return FileError::kExists;
    entries[to] = Find(from)->second;
    entries.erase(Find(from));
    return FileError::kNone;
  }
  FileError Replace(const std::u16string& replacement, const std::u16string& replaced) override {
    const auto target = Find(replaced);
    if (target == entries.end()) return FileError::kMissing;
    if (target->second.busy > 0 && target->second.busy--) return FileError::kBusy;
    MemoryEntry moved = Find(replacement)->second;
    moved.security = target->second.security;
    moved.attributes = target->second.attributes;
    target->second = moved;
    entries.erase(Find(replacement));
    return FileError::kNone;
  }
  FileError Remove(const std::u16string& name) override {
    return entries.erase(name) == 1 ? FileError::kNone : FileError::kMissing;
  }
  void Pause(unsigned milliseconds) override { paused_ms += milliseconds; }
  unsigned long ProcessId() override { return 7; }

 private:
  std::int64_t clock_ = 0;
};

class MemoryFile final : public WindowsFile {
 public:
  MemoryFile(MemoryFiles& files, std::u16string name) : files_(files), name_(std::move(name)) {}
  std::optional<FileFacts> Facts() override { return MemoryFiles::FactsOf(Entry()); }
  std::optional<std::size_t> Read(std::uint8_t* data, std::size_t size) override {
    MemoryEntry& e = Entry();
    const std::size_t n = std::min(size, e.bytes.size() - at_);
    std::copy_n(e.bytes.begin() + static_cast<std::ptrdiff_t>(at_), n, data);
    at_ += n;
    return n;
  }
  std::optional<std::size_t> Write(const std::uint8_t* data, std::size_t size) override {
    MemoryEntry& e = Entry();
    e.bytes.resize(std::max(e.bytes.size(), at_ + size));
    std::copy_n(data, size, e.bytes.begin() + static_cast<std::ptrdiff_t>(at_));
    at_ += size;
    files_.Touch(e);
    return size;
  }
  bool Flush() override { return true; }
  bool Close() override { return true; }

 private:
  MemoryEntry& Entry() { return files_.Find(name_)->second; }
  MemoryFiles& files_;
  std::u16string name_;
  std::size_t at_ = 0;
};

FileError MemoryFiles::Open(const std::u16string& name, OpenMode mode, std::uint32_t attributes,
                            std::unique_ptr<WindowsFile>& file) {
  const auto it = Find(name);
  if (mode == OpenMode::kCreateNew) {
    if (it != entries.end()) return FileError::kExists;
    Add(name, {}).attributes = attributes;
  } else if (it == entries.end()) {
    return FileError::kMissing;
  } else if (it->second.busy > 0) {
    --it->second.busy;
    return FileError::kBusy;
  } else if (mode == OpenMode::kWrite && (it->second.read_only || !it->second.writable)) {
    return FileError::kDenied;
  }
  file = std::make_unique<MemoryFile>(*this, name);
  return FileError::kNone;
}

class WindowsDirectoryTest : public ::testing::Test {
 protected:
  MemoryFiles& files_ = *new MemoryFiles;  // owned by directory_
  testing::StoreFaults faults_;
  std::function<void(StoreStep)> on_step_;  // another program at work
  WindowsDirectory directory_{std::unique_ptr<WindowsFiles>(&files_),
                              [this, hook = faults_.Hook()](StoreStep step, std::string_view name, std::size_t& size) {
                                if (on_step_) on_step_(step);
                                return hook(step, name, size);
                              }};
  DiagnosticCapture captured_;
  const Bytes old_ = {'o', 'l', 'd'};
  const Bytes new_ = Bytes(20, 'n');
};

// A preview decides as the store does and changes nothing: in every case
// a store decides, Preview gives the outcome of the Store that follows. An
// output that holds the bytes is not written at all.
TEST_F(WindowsDirectoryTest, APreviewForeseesTheStoreThatFollowsAndChangesNothing) {
  enum class Meanwhile { kNothing, kTouched, kSaved, kRemoved };  // after the load
  struct Case {
    const char* what;
    std::function<void()> arrange;
    StoreOutcome outcome;
    bool from_loaded = false;  // its bytes are made from the entry name, loaded first
    Meanwhile meanwhile = Meanwhile::kNothing;
    const char* name = "o.mod";  // the output stored
  };
  const auto add = [this](const char16_t* name, const Bytes& bytes) {
    return [this, name, bytes] { files_.Add(name, bytes).security = "owner, access control list, streams"; };
  };
  const std::vector<Case> cases = {
      {"a new output", [] {}, StoreOutcome::kCreated},
      {"an output holding the bytes", add(u"o.mod", new_), StoreOutcome::kUnchanged},
      {"an input holding the bytes", add(u"o.mod", new_), StoreOutcome::kUnchanged, true},
      {"other bytes", add(u"o.mod", old_), StoreOutcome::kReplaced},
      {"other bytes, spelt in other letters", add(u"O.MOD", old_), StoreOutcome::kReplaced},
      {"a directory", [this] { files_.Add(u"o.mod", {}).type = FileFacts::Type::kDirectory; }, StoreOutcome::kRefused},
      {"a read-only file", [this] { files_.Add(u"o.mod", old_).read_only = true; }, StoreOutcome::kRefused},
      {"a read-only file holding the bytes", [this] { files_.Add(u"o.mod", new_).read_only = true; },
       StoreOutcome::kUnchanged},
      {"a file the user may delete but not write", [this] { files_.Add(u"o.mod", old_).writable = false; },
       StoreOutcome::kRefused},
      {"a device name", [] {}, StoreOutcome::kRefused, false, Meanwhile::kNothing, "con.mod"},
      {"an input changed since its load", add(u"o.mod", old_), StoreOutcome::kFailed, true, Meanwhile::kTouched},
      {"an input holding the bytes, changed since its load", add(u"o.mod", new_), StoreOutcome::kUnchanged, true,
       Meanwhile::kTouched},
      {"an input holding the bytes, saved since its load", add(u"o.mod", new_), StoreOutcome::kUnchanged, true,
       Meanwhile::kSaved},
      {"an input gone since its load", add(u"o.mod", old_), StoreOutcome::kFailed, true, Meanwhile::kRemoved},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files_.entries.clear();
    c.arrange();
    LoadedEntry loaded;
    if (c.from_loaded) {
      ASSERT_EQ(directory_.Load(c.name, loaded), LoadStatus::kLoaded);
    }
    if (c.meanwhile == Meanwhile::kTouched) files_.Touch(files_.Find(u"o.mod")->second);
    if (c.meanwhile == Meanwhile::kSaved) files_.Add(u"o.mod", old_);
    if (c.meanwhile == Meanwhile::kRemoved) files_.entries.clear();
    const LoadedEntry* source = c.from_loaded ? &loaded : nullptr;
    const MemoryFiles::Entries before = files_.entries;
    faults_.Reset();
    captured_.Clear();
    EXPECT_EQ(directory_.Preview(c.name, new_, source), c.outcome);
    EXPECT_TRUE(files_.entries == before) << "the preview changed an entry";
    EXPECT_TRUE(captured_.messages().empty());
    EXPECT_EQ(faults_.Count(StoreStep::kWrite) + faults_.Count(StoreStep::kRename), 0);
    EXPECT_EQ(directory_.Store(c.name, new_, source), c.outcome);
    // A replacement keeps what the replaced file had.
    if (c.outcome == StoreOutcome::kReplaced) {
      EXPECT_EQ(files_.Find(u"o.mod")->second.security, "owner, access control list, streams");
    }
    if (c.outcome == StoreOutcome::kUnchanged) {
      EXPECT_TRUE(files_.entries == before) << "the store wrote an output that held the bytes";
    }
  }
}

// Another program saves between the look and the swap: its save stays.
// A step of a store that fails fails the store: the output stays as it
// was and no temporary is left.
TEST_F(WindowsDirectoryTest, AFailingStepLeavesTheOutputAsItWasAndNoTemporary) {
  for (const StoreStep step : {StoreStep::kWrite, StoreStep::kSync, StoreStep::kClose, StoreStep::kRename}) {
    SCOPED_TRACE(static_cast<int>(step));
    files_.entries.clear();
    files_.Add(u"x.mod", old_);
    faults_.Reset();
    faults_.FailAt(step, 0);
    EXPECT_EQ(directory_.Store("x.mod", new_, nullptr), StoreOutcome::kFailed);
    EXPECT_EQ(files_.Contents(), (std::map<std::u16string, Bytes>{{u"x.mod", old_}}));
  }
}

// A new output is a plain file; a replaced one keeps the attributes it had
// (hidden, archive, ...).
TEST_F(WindowsDirectoryTest, AttributesComeOnlyFromTheFileReplaced) {
  files_.Add(u"kept.mod", old_).attributes = 0x2;
  EXPECT_EQ(directory_.Store("new.mod", new_, nullptr), StoreOutcome::kCreated);
  EXPECT_EQ(directory_.Store("kept.mod", new_, nullptr), StoreOutcome::kReplaced);
  EXPECT_EQ(files_.entries.at(u"new.mod").attributes, 0u);
  EXPECT_EQ(files_.entries.at(u"kept.mod").attributes, 0x2u);
}

TEST_F(WindowsDirectoryTest, AFileChangedBeforeTheSwapIsNotReplaced) {
  files_.Add(u"x.mod", old_);
  LoadedEntry loaded;
  ASSERT_EQ(directory_.Load("x.mod", loaded), LoadStatus::kLoaded);
  on_step_ = [&](StoreStep step) {
    if (step == StoreStep::kRename) files_.Touch(files_.entries.at(u"x.mod"));
  };
  EXPECT_EQ(directory_.Store("x.mod", new_, &loaded), StoreOutcome::kFailed);
  EXPECT_EQ(files_.Contents(), (std::map<std::u16string, Bytes>{{u"x.mod", old_}})) << "no temporary left";
  EXPECT_EQ(captured_.last_message(), "Can't write x.mod!\n");
}

// Temporary names that other runs left are passed over, a hundred of them
// at the most; then the store gives up.
TEST_F(WindowsDirectoryTest, TemporaryNamesInUseArePassedOverAHundredAtMost) {
  const auto take = [&](int first, int last) {
    for (int n = first; n <= last; ++n)
      files_.Add(Windows1252ToUtf16(".railfmt-7-" + std::to_string(n) + ".tmp"), old_);
  };
  take(0, 98);
  EXPECT_EQ(directory_.Store("a.mod", new_, nullptr), StoreOutcome::kCreated);
  EXPECT_EQ(files_.entries.size(), 100u) << "the 99 names left as they were";
  take(100, 199);
  EXPECT_EQ(directory_.Store("b.mod", new_, nullptr), StoreOutcome::kRefused);
  EXPECT_EQ(captured_.last_message(), "Can't open b.mod!\n");
}

// Only files are loaded; what else stands under a name is told as what it
// is. Device names and names Windows cannot hold are never opened at all.
TEST_F(WindowsDirectoryTest, OnlyFilesAreLoadedAndWhatElseStandsThereIsTold) {
  files_.Add(u"Ordner", {}).type = FileFacts::Type::kDirectory;
  files_.Add(u"Verweis.mod", {}).type = FileFacts::Type::kOther;
  files_.Add(u"Gleisplan.mod", old_);
  struct Case {
    const char* name;
    LoadStatus status;
  };
  const Case cases[] = {
      {"ordner", LoadStatus::kDirectory},     {"verweis.mod", LoadStatus::kSpecial},
      {"gleisplan.mod", LoadStatus::kLoaded}, {"fehlt.mod", LoadStatus::kMissing},
      {"CON", LoadStatus::kSpecial},          {"a?b.mod", LoadStatus::kMissing},
  };
  for (const Case& c : cases) {
    LoadedEntry entry;
    EXPECT_EQ(directory_.Load(c.name, entry), c.status) << c.name;
  }
}

TEST_F(WindowsDirectoryTest, AFileHeldByAnotherProgramIsTriedAgainForAShortWhile) {
  // Held for three attempts: loaded after pauses of 10, 20 and 40 ms. Held
  // for good: given up after kAttempts.
  files_.Add(u"held.mod", old_).busy = 3;
  LoadedEntry entry;
  ASSERT_EQ(directory_.Load("held.mod", entry), LoadStatus::kLoaded);
  EXPECT_EQ(files_.paused_ms, 70u);
  files_.entries.at(u"held.mod").busy = 1000;
  files_.paused_ms = 0;
  EXPECT_EQ(directory_.Load("held.mod", entry), LoadStatus::kFailed);
  EXPECT_EQ(files_.paused_ms, 630u);
  EXPECT_EQ(files_.entries.at(u"held.mod").busy, 1000 - WindowsDirectory::kAttempts);
  // A replacement waits for the output too.
  files_.entries.at(u"held.mod").busy = 2;
  EXPECT_EQ(directory_.Store("held.mod", new_, nullptr), StoreOutcome::kReplaced);
  EXPECT_EQ(files_.Contents(), (std::map<std::u16string, Bytes>{{u"held.mod", new_}}));
  // A file cut short after its size was taken loads as far as it goes.
  files_.Add(u"cut.mod", old_).lost = 5;
  ASSERT_EQ(directory_.Load("cut.mod", entry), LoadStatus::kLoaded);
  EXPECT_EQ(Bytes(entry.bytes().begin(), entry.bytes().end()), old_);
  // What was loaded is what the file holds from then on: it is replaced.
  files_.entries.at(u"cut.mod").lost = 0;
  EXPECT_EQ(directory_.Store("cut.mod", new_, &entry), StoreOutcome::kReplaced);
}

}  // namespace
}  // namespace railfmt
