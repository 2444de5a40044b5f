// The POSIX side of storing outputs: its decisions, and the system calls
// it makes on file systems that lack a feature.
#include "driver/directory.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/store_faults.h"

namespace railfmt {
namespace {

// A scratch directory opened through a StoreFaults hook that delivers 3
// bytes a write, an old and a new content.
class OutputFilePosixTest : public ::testing::Test {
 protected:
  void SetUp() override { faults_.chunk = 3; }

  testing::ScratchDir dir_;
  testing::StoreFaults faults_;
  std::unique_ptr<Directory> directory_ = OpenDirectory(".", faults_.Hook());
  const std::vector<std::uint8_t> old_ = {'o', 'l', 'd'};
  const std::vector<std::uint8_t> new_ = std::vector<std::uint8_t>(20, 'n');
};

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
// a store decides, Preview gives the outcome of the Store that follows. An
// output that holds the bytes is not written at all, so that no write can
// race another program's save; over the entry the bytes were made from,
// even the look at the file is spared.
TEST_F(OutputFilePosixTest, APreviewForeseesTheStoreThatFollowsAndChangesNothing) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    bool from_loaded;                 // the bytes stored as o.mod are made from it, loaded first
    std::function<void()> meanwhile;  // after the load
    StoreOutcome outcome;
  };
  const auto holding = [this](const std::vector<std::uint8_t>& bytes) {
    return [this, bytes] { dir_.Write("o.mod", bytes); };
  };
  std::vector<std::uint8_t> same_size = new_;
  same_size[5] = 'x';
  const std::vector<Case> cases = {
      {"a new output", [] {}, false, nullptr, StoreOutcome::kCreated},
      {"an output holding the bytes", holding(new_), false, nullptr, StoreOutcome::kUnchanged},
      {"an input holding the bytes", holding(new_), true, nullptr, StoreOutcome::kUnchanged},
      {"other bytes", holding(old_), false, nullptr, StoreOutcome::kReplaced},
      {"other bytes of the same size", holding(same_size), true, nullptr, StoreOutcome::kReplaced},
      {"a directory", [] { ::mkdir("o.mod", 0755); }, false, nullptr, StoreOutcome::kRefused},
      {"a FIFO", [] { ::mkfifo("o.mod", 0644); }, false, nullptr, StoreOutcome::kRefused},
      {"an output the user may not write",
       [this] {
         dir_.Write("o.mod", old_);
         faults_.denied = "o.mod";
       },
       false, nullptr, StoreOutcome::kRefused},
      {"a link to a file beside",
       [this] {
         dir_.Write("t.mod", old_);
         ::symlink("t.mod", "o.mod");
       },
       false, nullptr, StoreOutcome::kReplaced},
      {"a link out of the directory", [] { ::symlink("../o.mod", "o.mod"); }, false, nullptr, StoreOutcome::kRefused},
      {"a dangling link", [] { ::symlink("none.mod", "o.mod"); }, false, nullptr, StoreOutcome::kRefused},
      {"an input changed since its load", holding(old_), true,
       [] {
         ::usleep(20000);  // a clock tick later
         const int fd = ::open("o.mod", O_WRONLY | O_APPEND);
         ASSERT_EQ(::write(fd, "+", 1), 1);
         ::close(fd);
       },
       StoreOutcome::kFailed},
      {"an input gone since its load", holding(old_), true, [] { ::unlink("o.mod"); }, StoreOutcome::kFailed},
      {"an input holding the bytes, changed since its load", holding(new_), true, [] { ::chmod("o.mod", 0600); },
       StoreOutcome::kUnchanged},
      {"an input holding the bytes, saved since its load", holding(new_), true, holding(old_),
       StoreOutcome::kUnchanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Clear();
    faults_.denied.clear();
    c.arrange();
    LoadedEntry loaded;
    if (c.from_loaded) {
      ASSERT_EQ(directory_->Load("o.mod", loaded), LoadStatus::kLoaded);
    }
    if (c.meanwhile) c.meanwhile();
    const LoadedEntry* source = c.from_loaded ? &loaded : nullptr;
    const std::map<std::string, std::string> before = StateHere();
    faults_.Reset();
    DiagnosticCapture captured;
    EXPECT_EQ(directory_->Preview("o.mod", new_, source), c.outcome);
    EXPECT_EQ(StateHere(), before);
    EXPECT_TRUE(captured.messages().empty());
    EXPECT_EQ(faults_.Count(StoreStep::kWrite) + faults_.Count(StoreStep::kRename), 0);
    faults_.Reset();
    EXPECT_EQ(directory_->Store("o.mod", new_, source), c.outcome);
    if (c.outcome != StoreOutcome::kUnchanged) continue;
    EXPECT_EQ(StateHere(), before);
    EXPECT_TRUE(captured.messages().empty());
    for (const StoreStep step : {StoreStep::kWrite, StoreStep::kSync, StoreStep::kClose, StoreStep::kRename}) {
      EXPECT_EQ(faults_.Count(step), 0) << static_cast<int>(step);
    }
    if (c.from_loaded) {
      EXPECT_EQ(faults_.Count(StoreStep::kOpen), 0);
    }
  }
}

// A system call that fails in a way worth another try, or with the error
// of a file system that lacks a feature: the store goes on and stores the
// bytes whole; an error that is a real failure fails the store and leaves
// no trace.
TEST_F(OutputFilePosixTest, SystemCallsInterruptedOrMissingAFeature) {
  struct Fault {
    StoreStep step;
    int call;
    int error;
  };
  struct Case {
    const char* what;
    std::vector<std::uint8_t> existing;  // o.mod before; none when empty
    std::vector<Fault> faults;
    StoreOutcome outcome;
  };
  const std::vector<std::uint8_t> other(new_.size(), 'o');
  const std::vector<Case> cases = {
      {"a write interrupted by a signal", other, {{StoreStep::kWrite, 2, EINTR}}, StoreOutcome::kReplaced},
      {"a read of the output interrupted", new_, {{StoreStep::kRead, 0, EINTR}}, StoreOutcome::kUnchanged},
      {"no unnamed files (O_TMPFILE)", {}, {{StoreStep::kOpen, 0, EOPNOTSUPP}}, StoreOutcome::kCreated},
      {"no unnamed files, replacing", other, {{StoreStep::kOpen, 1, EOPNOTSUPP}}, StoreOutcome::kReplaced},
      {"no linking of a bare descriptor", {}, {{StoreStep::kRename, 0, ENOENT}}, StoreOutcome::kCreated},
      {"no exchange of two names", other, {{StoreStep::kRename, 1, EINVAL}}, StoreOutcome::kReplaced},
      {"no rename that keeps from replacing",
       {},
       {{StoreStep::kOpen, 0, EOPNOTSUPP}, {StoreStep::kRename, 0, EINVAL}},
       StoreOutcome::kCreated},
      {"no room for a new file", {}, {{StoreStep::kOpen, 0, ENOSPC}}, StoreOutcome::kRefused},
      {"a device error", {}, {{StoreStep::kWrite, 0, EIO}}, StoreOutcome::kFailed},
      {"the name taken meanwhile", {}, {{StoreStep::kRename, 0, EEXIST}}, StoreOutcome::kFailed},
      {"the name taken meanwhile, named temporary",
       {},
       {{StoreStep::kOpen, 0, EOPNOTSUPP}, {StoreStep::kRename, 0, EEXIST}},
       StoreOutcome::kFailed},
      {"a rename refused, named temporary: no link tried instead",
       {},
       {{StoreStep::kOpen, 0, EOPNOTSUPP}, {StoreStep::kRename, 0, EACCES}},
       StoreOutcome::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Clear();
    if (!c.existing.empty()) dir_.Write("o.mod", c.existing);
    directory_ = OpenDirectory(".", faults_.Hook());  // a fresh run: nothing learnt of the file system
    faults_.Reset();
    for (const Fault& f : c.faults) faults_.FailAt(f.step, f.call, f.error);
    DiagnosticCapture captured;
    EXPECT_EQ(directory_->Store("o.mod", new_, nullptr), c.outcome);
    const bool stored = c.outcome != StoreOutcome::kFailed && c.outcome != StoreOutcome::kRefused;
    const std::size_t entries = stored || !c.existing.empty() ? 1 : 0;
    EXPECT_EQ(dir_.Snapshot().size(), entries) << "no temporary left";
    if (stored) {
      EXPECT_EQ(dir_.Read("o.mod"), new_);
    }
  }
}

// A run that found the kernel cannot link a bare descriptor links through
// /proc from then on; a link that fails there fails the store too.
TEST_F(OutputFilePosixTest, ALinkFailingThroughProcFailsTheStore) {
  faults_.Reset();
  faults_.FailAt(StoreStep::kRename, 0, ENOENT);
  EXPECT_EQ(directory_->Store("a.mod", new_, nullptr), StoreOutcome::kCreated);
  faults_.Reset();
  faults_.FailAt(StoreStep::kRename, 0, EIO);
  EXPECT_EQ(directory_->Store("b.mod", new_, nullptr), StoreOutcome::kFailed);
  EXPECT_EQ(dir_.Snapshot().size(), 1u) << "only a.mod: no b.mod, no temporary";
}

// Temporary names that other runs left are passed over, a hundred of them
// at the most; then the store gives up and leaves the output as it was.
TEST_F(OutputFilePosixTest, TemporaryNamesInUseArePassedOverAHundredAtMost) {
  const auto take = [&](int first, int last) {
    for (int n = first; n <= last; ++n) {
      dir_.Write(".railfmt-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp", old_);
    }
  };
  dir_.Write("o.mod", old_);
  take(0, 98);
  EXPECT_EQ(directory_->Store("o.mod", new_, nullptr), StoreOutcome::kReplaced);
  EXPECT_EQ(dir_.Snapshot().size(), 100u) << "the 99 names left as they were";
  take(100, 199);
  EXPECT_EQ(directory_->Store("o.mod", old_, nullptr), StoreOutcome::kFailed);
  EXPECT_EQ(dir_.Read("o.mod"), new_);
  EXPECT_EQ(dir_.Snapshot().size(), 200u) << "no temporary of its own left";
}

// The access control list of a file as the kernel stores it: a version
// word, then entries (tag, permissions, id) in the order of their tags.
std::vector<std::uint8_t> AccessList(std::uint32_t user) {
  struct Entry {
    std::uint16_t tag;
    std::uint16_t permissions;
    std::uint32_t id;
  };
  const Entry entries[] = {
      {0x01, 6, ~0u},   // the owner
      {0x02, 4, user},  // one more user, who may read
      {0x04, 4, ~0u},   // the group
      {0x10, 4, ~0u},   // the mask
      {0x20, 4, ~0u},   // the others
  };
  std::vector<std::uint8_t> list = {2, 0, 0, 0};
  for (const Entry& e : entries) {
    for (const std::uint32_t value : {std::uint32_t{e.tag} | std::uint32_t{e.permissions} << 16, e.id}) {
      for (int shift = 0; shift < 32; shift += 8) list.push_back(static_cast<std::uint8_t>(value >> shift));
    }
  }
  return list;
}

// A replaced file keeps its extended attributes, an empty one among them
// (a tag whose presence is its meaning), and its access control list where
// the new file keeps the group it is written for.
TEST_F(OutputFilePosixTest, AReplacedFileKeepsItsExtendedAttributes) {
  dir_.Write("o.mod", old_);
  if (::setxattr("o.mod", "user.tag", "", 0, 0) != 0) {
    GTEST_SKIP() << "no user attributes on this file system: " << std::strerror(errno);
  }
  ASSERT_EQ(::setxattr("o.mod", "user.note", "Gleisplan", 9, 0), 0);
  const std::vector<std::uint8_t> access = AccessList(4242);
  const bool lists = ::setxattr("o.mod", "system.posix_acl_access", access.data(), access.size(), 0) == 0;
  const int why_not = lists ? 0 : errno;
  EXPECT_EQ(directory_->Store("o.mod", new_, nullptr), StoreOutcome::kReplaced);
  EXPECT_EQ(dir_.Read("o.mod"), new_);
  EXPECT_EQ(::getxattr("o.mod", "user.tag", nullptr, 0), 0);
  char note[16] = {};
  EXPECT_EQ(::getxattr("o.mod", "user.note", note, sizeof note), 9);
  EXPECT_STREQ(note, "Gleisplan");
  if (!lists) GTEST_SKIP() << "no access control lists on this file system: " << std::strerror(why_not);
  std::vector<std::uint8_t> kept(access.size() + 8);
  kept.resize(static_cast<std::size_t>(
      std::max<ssize_t>(0, ::getxattr("o.mod", "system.posix_acl_access", kept.data(), kept.size()))));
  EXPECT_EQ(kept, access);
}

// A program running from the output's file cannot be opened for writing
// (ETXTBSY): the file is still read and compared, and holding the bytes it
// is left alone.
TEST_F(OutputFilePosixTest, AnOutputThatIsARunningProgramIsStillCompared) {
  std::ifstream in("/bin/sleep", std::ios::binary);
  const std::vector<std::uint8_t> program{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(program.empty());
  dir_.Write("o.mod", program);
  ASSERT_EQ(::chmod("o.mod", 0755), 0);
  const pid_t running = ::fork();
  if (running == 0) {
    ::execl("./o.mod", "o.mod", "60", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool busy = false;  // once the program runs
  for (int i = 0; i < 1000 && !busy; ++i) {
    const int fd = ::open("o.mod", O_RDWR);
    busy = fd < 0 && errno == ETXTBSY;
    if (fd >= 0) ::close(fd);
    ::usleep(1000);
  }
  const StoreOutcome outcome = directory_->Store("o.mod", program, nullptr);
  ::kill(running, SIGKILL);
  ::waitpid(running, nullptr, 0);
  if (!busy) GTEST_SKIP() << "this system lets a running program's file be opened for writing";
  EXPECT_EQ(outcome, StoreOutcome::kUnchanged);
}

// An immutable output (chattr +i) cannot be opened for writing even by
// root (EPERM): it is still read and compared, and holding the bytes it is
// left alone; other bytes cannot replace it.
TEST_F(OutputFilePosixTest, AnImmutableOutputIsStillCompared) {
  dir_.Write("o.mod", new_);
  const int fd = ::open("o.mod", O_RDONLY);
  int flags = 0;
  bool immutable = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags |= FS_IMMUTABLE_FL;
  immutable = immutable && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  const int why = errno;
  const StoreOutcome same = directory_->Store("o.mod", new_, nullptr);
  const StoreOutcome other = directory_->Store("o.mod", old_, nullptr);
  flags &= ~FS_IMMUTABLE_FL;
  ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
  ::close(fd);
  if (!immutable) GTEST_SKIP() << "cannot make a file immutable here: " << std::strerror(why);
  EXPECT_EQ(same, StoreOutcome::kUnchanged);
  EXPECT_EQ(other, StoreOutcome::kRefused);
  EXPECT_EQ(dir_.Read("o.mod"), new_);
}

// On a file system mounted read-only (EROFS) an output holding the bytes is
// still read, compared and left alone; other bytes cannot replace it. The
// mount is made in a child with a mount namespace of its own, so that this
// process's view of the file system stays as it was.
TEST_F(OutputFilePosixTest, AnOutputOnAReadOnlyFileSystemIsStillCompared) {
  constexpr int kCannotMount = 100;
  ASSERT_EQ(::mkdir("ro", 0755), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("railfmt", "ro", "tmpfs", 0, nullptr) != 0) {
      ::_exit(kCannotMount);
    }
    std::ofstream("ro/same.mod", std::ios::binary)
        .write(reinterpret_cast<const char*>(new_.data()), static_cast<std::streamsize>(new_.size()));
    std::ofstream("ro/other.mod", std::ios::binary).write("old", 3);
    if (::mount(nullptr, "ro", nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) ::_exit(kCannotMount);
    const auto directory = OpenDirectory("ro");
    const auto same = static_cast<int>(directory->Store("same.mod", new_, nullptr));
    const auto other = static_cast<int>(directory->Store("other.mod", new_, nullptr));
    ::_exit(same * 10 + other);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotMount) GTEST_SKIP() << "cannot mount a file system of its own here";
  EXPECT_EQ(WEXITSTATUS(status),
            static_cast<int>(StoreOutcome::kUnchanged) * 10 + static_cast<int>(StoreOutcome::kRefused));
}

// Root replacing another user's file gives it back to that user, with the
// set-user-ID bit that the change of owner clears set again.
TEST_F(OutputFilePosixTest, AFileRootReplacesKeepsItsOwnerAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to replace a file of another user";
  dir_.Write("o.mod", old_);
  ASSERT_EQ(::chown("o.mod", 65534, 0), 0);
  ASSERT_EQ(::chmod("o.mod", 04755), 0);
  EXPECT_EQ(directory_->Store("o.mod", new_, nullptr), StoreOutcome::kReplaced);
  struct stat st {};
  ASSERT_EQ(::stat("o.mod", &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_mode & 07777, 04755u);
}

}  // namespace
}  // namespace railfmt
