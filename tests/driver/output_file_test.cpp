#include "driver/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/capture.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

using testing::CapturedOutput;
using testing::ScratchDir;

// Makes the N-th call of one system call fail; counts the calls made.
struct FailingOps {
  static inline int fail_write_at = -1;
  static inline int fail_close = 0;
  static inline int fail_rename = 0;
  static inline int fail_open = 0;
  static inline int writes = 0;

  static void Reset() {
    fail_write_at = -1;
    fail_close = fail_rename = fail_open = 0;
    writes = 0;
  }
  static int Open(const char* p, int f, mode_t m) {
    if (fail_open) {
      errno = EACCES;
      return -1;
    }
    return SystemOutputFileOps().open(p, f, m);
  }
  static ssize_t Write(int fd, const void* d, std::size_t n) {
    if (writes++ == fail_write_at) {
      errno = ENOSPC;
      return -1;
    }
    // Deliver at most 3 bytes a call so that a file takes many writes.
    return SystemOutputFileOps().write(fd, d, n < 3 ? n : 3);
  }
  static int Close(int fd) {
    const int r = SystemOutputFileOps().close(fd);
    if (fail_close) {
      errno = EIO;
      return -1;
    }
    return r;
  }
  static int Rename(const char* a, const char* b) {
    if (fail_rename) {
      errno = EXDEV;
      return -1;
    }
    return SystemOutputFileOps().rename(a, b);
  }
};

const OutputFileOps kFailingOps{&FailingOps::Open, &FailingOps::Write, &FailingOps::Close, &FailingOps::Rename};

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FailingOps::Reset();
    previous_ = SetOutputFileOps(&kFailingOps);
  }
  void TearDown() override { SetOutputFileOps(previous_); }

  const OutputFileOps* previous_ = nullptr;
  ScratchDir dir_;
  const std::vector<std::uint8_t> old_ = {'o', 'l', 'd'};
  const std::vector<std::uint8_t> new_ = std::vector<std::uint8_t>(20, 'n');
};

TEST_F(OutputFileTest, WritesAndReplacesWhole) {
  CapturedOutput captured;
  ASSERT_TRUE(StoreOutputFile("fresh.mod", new_));
  EXPECT_EQ(dir_.Read("fresh.mod"), new_);
  dir_.Write("old.mod", old_);
  ASSERT_TRUE(StoreOutputFile("old.mod", new_));
  EXPECT_EQ(dir_.Read("old.mod"), new_);
  EXPECT_EQ(dir_.Snapshot().size(), 2u) << "no temporary left";
  EXPECT_TRUE(captured.messages().empty());
}

TEST_F(OutputFileTest, EveryFailureLeavesTheExistingOutputAndNoTemporary) {
  // Count the writes a successful store takes, then fail each one in turn.
  dir_.Write("probe.mod", old_);
  ASSERT_TRUE(StoreOutputFile("probe.mod", new_));
  const int writes = FailingOps::writes;
  ASSERT_GT(writes, 3);
  std::filesystem::remove(dir_.path() + "/probe.mod");

  std::vector<std::pair<std::string, std::function<void()>>> failures;
  for (int n = 0; n < writes; ++n) {
    failures.emplace_back("write " + std::to_string(n), [n] { FailingOps::fail_write_at = n; });
  }
  failures.emplace_back("close", [] { FailingOps::fail_close = 1; });
  failures.emplace_back("rename", [] { FailingOps::fail_rename = 1; });
  failures.emplace_back("open", [] { FailingOps::fail_open = 1; });

  for (const auto& [what, arm] : failures) {
    SCOPED_TRACE(what);
    dir_.Write("x.mod", old_);
    FailingOps::Reset();
    arm();
    CapturedOutput captured;
    EXPECT_FALSE(StoreOutputFile("x.mod", new_));
    EXPECT_EQ(dir_.Read("x.mod"), old_);
    const auto entries = dir_.Snapshot();
    EXPECT_EQ(entries.size(), 1u) << "a temporary was left behind";
    ASSERT_EQ(captured.messages().size(), 1u);
    EXPECT_EQ(captured.messages()[0], what == "open" ? "Can't open x.mod!\n" : "Can't write x.mod!\n");
  }
}

TEST_F(OutputFileTest, ADirectoryInThePlaceOfTheOutputIsLeftAlone) {
  CapturedOutput captured;
  ASSERT_EQ(::mkdir("out.mod", 0755), 0);
  EXPECT_FALSE(StoreOutputFile("out.mod", new_));
  EXPECT_EQ(captured.last_message(), "Can't open out.mod!\n");
  EXPECT_TRUE(std::filesystem::is_directory(dir_.path() + "/out.mod"));
}

// A name the file system cannot hold (a rolling-stock name of 255
// characters gives 259 with ".rol") cannot be created: nothing is written.
TEST_F(OutputFileTest, AnOutputNameTooLongForTheFileSystemIsNotCreated) {
  CapturedOutput captured;
  const std::string name = std::string(255, 'n') + ".rol";
  EXPECT_FALSE(StoreOutputFile(name, new_));
  EXPECT_EQ(captured.messages(), std::vector<std::string>{"Can't open " + name + "!\n"});
  EXPECT_TRUE(dir_.Snapshot().empty()) << "a temporary was left behind";
}

TEST_F(OutputFileTest, KeepsPermissionsAndWritesThroughSymbolicLinks) {
  dir_.Write("target.mod", old_);
  ASSERT_EQ(::chmod("target.mod", 0640), 0);
  ASSERT_EQ(::symlink("target.mod", "link.mod"), 0);
  ASSERT_TRUE(StoreOutputFile("link.mod", new_));
  EXPECT_EQ(dir_.Read("target.mod"), new_);
  struct stat st {};
  ASSERT_EQ(::lstat("link.mod", &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link itself stays";
  ASSERT_EQ(::stat("target.mod", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  CapturedOutput captured;
  ASSERT_EQ(::symlink("loop.mod", "loop.mod"), 0);
  EXPECT_FALSE(StoreOutputFile("loop.mod", new_));
  EXPECT_EQ(captured.last_message(), "Can't open loop.mod!\n");
}

TEST_F(OutputFileTest, AnOutputTheUserMayNotWriteIsLeftAlone) {
  if (::geteuid() == 0) GTEST_SKIP() << "runs as root: permissions do not bite (the hostile-directory test covers it)";
  dir_.Write("ro.mod", old_);
  ASSERT_EQ(::chmod("ro.mod", 0444), 0);
  CapturedOutput captured;
  EXPECT_FALSE(StoreOutputFile("ro.mod", new_));
  EXPECT_EQ(dir_.Read("ro.mod"), old_);
  EXPECT_EQ(captured.last_message(), "Can't open ro.mod!\n");
}

}  // namespace
}  // namespace railfmt
