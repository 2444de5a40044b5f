// The POSIX side of storing outputs: permissions, links, inodes.
#include "driver/directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "tests/driver/directory_store_fixture.h"

namespace railfmt {
namespace {

class OutputFilePosixTest : public OutputFileTest {};

TEST_F(OutputFilePosixTest, KeepsPermissionsAndWritesThroughSymbolicLinks) {
  dir_.Write("target.mod", old_);
  ASSERT_EQ(::chmod("target.mod", 0640), 0);
  ASSERT_EQ(::symlink("target.mod", "link.mod"), 0);
  ASSERT_TRUE(Store("link.mod", new_));
  EXPECT_EQ(dir_.Read("target.mod"), new_);
  struct stat st {};
  ASSERT_EQ(::lstat("link.mod", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link itself stays";
  ASSERT_EQ(::stat("target.mod", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// Every entry as a write, a rename or a new link would change it: its
// content, inode, times and mode.
std::map<std::string, std::string> StateHere() {
  std::map<std::string, std::string> state;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    struct stat st {};
    ::lstat(name.c_str(), &st);
    std::string& text = state[name];
    text = std::to_string(st.st_ino) + " " + std::to_string(st.st_mode) + " " + std::to_string(st.st_mtim.tv_nsec) +
           " " + std::to_string(st.st_ctim.tv_nsec) + " ";
    if (S_ISREG(st.st_mode)) {
      std::ifstream in(name, std::ios::binary);
      text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  return state;
}

// A preview decides as the store does and changes nothing: in every case
// a store decides, Preview gives the outcome of the Store that follows.
TEST_F(OutputFilePosixTest, APreviewForeseesTheStoreThatFollowsAndChangesNothing) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    const char* name;                 // the output stored
    bool from_loaded;                 // its bytes are made from the entry name, loaded first
    std::function<void()> meanwhile;  // after the load
    StoreOutcome outcome;
  };
  const auto write = [this](const char* name, const std::vector<std::uint8_t>& bytes) {
    return [this, name, bytes] { dir_.Write(name, bytes); };
  };
  std::vector<std::uint8_t> same_size = new_;
  same_size[5] = 'x';
  const std::vector<Case> cases = {
      {"a new output", [] {}, "o.mod", false, nullptr, StoreOutcome::kCreated},
      {"an output holding the bytes", write("o.mod", new_), "o.mod", false, nullptr, StoreOutcome::kUnchanged},
      {"an input holding the bytes", write("o.mod", new_), "o.mod", true, nullptr, StoreOutcome::kUnchanged},
      {"other bytes", write("o.mod", old_), "o.mod", false, nullptr, StoreOutcome::kReplaced},
      {"other bytes of the same size", write("o.mod", same_size), "o.mod", true, nullptr, StoreOutcome::kReplaced},
      {"a directory", [] { ::mkdir("o.mod", 0755); }, "o.mod", false, nullptr, StoreOutcome::kRefused},
      {"a FIFO", [] { ::mkfifo("o.mod", 0644); }, "o.mod", false, nullptr, StoreOutcome::kRefused},
      {"an output the user may not write",
       [this] {
         dir_.Write("o.mod", old_);
         faults_.denied = "o.mod";
       },
       "o.mod", false, nullptr, StoreOutcome::kRefused},
      {"a link to a file beside",
       [this] {
         dir_.Write("t.mod", old_);
         ::symlink("t.mod", "o.mod");
       },
       "o.mod", false, nullptr, StoreOutcome::kReplaced},
      {"a link out of the directory", [] { ::symlink("../o.mod", "o.mod"); }, "o.mod", false, nullptr,
       StoreOutcome::kRefused},
      {"a dangling link", [] { ::symlink("none.mod", "o.mod"); }, "o.mod", false, nullptr, StoreOutcome::kRefused},
      {"an input changed since its load", write("o.mod", old_), "o.mod", true,
       [] {
         ::usleep(20000);  // a clock tick later
         const int fd = ::open("o.mod", O_WRONLY | O_APPEND);
         ASSERT_EQ(::write(fd, "+", 1), 1);
         ::close(fd);
       },
       StoreOutcome::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Clear();
    faults_.denied.clear();
    c.arrange();
    LoadedEntry loaded;
    if (c.from_loaded) {
      ASSERT_EQ(directory_->Load(c.name, loaded), LoadStatus::kLoaded);
    }
    if (c.meanwhile) c.meanwhile();
    const LoadedEntry* source = c.from_loaded ? &loaded : nullptr;
    const std::map<std::string, std::string> before = StateHere();
    faults_.Reset();
    DiagnosticCapture captured;
    EXPECT_EQ(directory_->Preview(c.name, new_, source), c.outcome);
    EXPECT_EQ(StateHere(), before);
    EXPECT_TRUE(captured.messages().empty());
    EXPECT_EQ(faults_.Count(StoreStep::kWrite) + faults_.Count(StoreStep::kRename), 0);
    EXPECT_EQ(directory_->Store(c.name, new_, source), c.outcome);
  }
}

ino_t InodeOf(const char* name) {
  struct stat st {};
  return ::stat(name, &st) == 0 ? st.st_ino : 0;
}

TEST_F(OutputFilePosixTest, AnOutputThatAlreadyHoldsTheBytesIsWrittenOverWhereItStands) {
  // Same content: written in place (same file, new modification time, one
  // real write); any other content, the same size included, replaces the
  // file through a temporary.
  struct Case {
    const char* what;
    std::vector<std::uint8_t> existing;
    bool same_file;
  };
  std::vector<std::uint8_t> other = new_, longer = new_;
  other[7] = 'x';
  longer.push_back('n');
  const Case cases[] = {{"same bytes", new_, true},
                        {"same size, one byte differs", other, false},
                        {"one byte longer", longer, false},
                        {"one byte shorter", std::vector<std::uint8_t>(new_.begin(), new_.end() - 1), false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Write("s.mod", c.existing);
    const struct timespec old_times[2] = {{946684800, 0}, {946684800, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, "s.mod", old_times, 0), 0);
    const ino_t before = InodeOf("s.mod");
    faults_.Reset();
    DiagnosticCapture captured;
    ASSERT_TRUE(Store("s.mod", new_));
    EXPECT_EQ(dir_.Read("s.mod"), new_);
    EXPECT_EQ(InodeOf("s.mod") == before, c.same_file);
    EXPECT_GT(faults_.Count(StoreStep::kWrite), 0);
    struct stat st {};
    ASSERT_EQ(::stat("s.mod", &st), 0);
    EXPECT_GT(st.st_mtim.tv_sec, 946684800);
    EXPECT_EQ(dir_.Snapshot().size(), 1u);
    EXPECT_TRUE(captured.messages().empty());
  }
}

TEST_F(OutputFilePosixTest, ALoadIsTrustedOnlyWhileTheFileIsUnchanged) {
  // Unchanged since the load, the file is rewritten in place from the loaded
  // bytes; changed since (same size, other bytes), it is a newer save that
  // what was made of the old may not replace.
  struct Case {
    const char* what;
    bool changed_after_load;
    bool same_file;
  };
  const Case cases[] = {{"unchanged since the load", false, true}, {"rewritten after the load", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Write("n.mod", new_);
    LoadedEntry loaded;
    ASSERT_EQ(directory_->Load("n.mod", loaded), LoadStatus::kLoaded);
    if (c.changed_after_load) {
      // Another program rewrites the file in place after the load, a
      // clock tick later (file times may be kept at tick granularity).
      ::usleep(20000);
      std::vector<std::uint8_t> other = new_;
      other[3] = 'x';
      const int fd = ::open("n.mod", O_WRONLY);
      ASSERT_GE(fd, 0);
      ASSERT_EQ(::write(fd, other.data(), other.size()), static_cast<ssize_t>(other.size()));
      ::close(fd);
    }
    const ino_t before = InodeOf("n.mod");
    const std::vector<std::uint8_t> kept = dir_.Read("n.mod");
    faults_.Reset();
    EXPECT_EQ(Store("n.mod", new_, &loaded), !c.changed_after_load);
    EXPECT_EQ(dir_.Read("n.mod"), kept);
    EXPECT_EQ(InodeOf("n.mod") == before, c.same_file);
    EXPECT_EQ(dir_.Snapshot().size(), 1u);
  }
}

}  // namespace
}  // namespace railfmt
