// Hostile directories that only root can set up, end to end with the real
// executable: links and files of other users, groups and set-group-ID
// directories, a container's memory limit. Run as another user, each case
// says why it cannot run.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/reliability/hostile_runs_posix.h"
#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

namespace fs = std::filesystem;
using testing::RunTool;
using testing::ScratchDir;
using testing::Unprivileged;

constexpr uid_t kOther = 65534;    // another user: nobody
constexpr gid_t kNoGroup = 65534;  // nobody's group
constexpr gid_t kStranger = 4242;  // a group nobody is no member of

class HostileUsersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make files of other users and groups";
  }
  struct stat StatOf(const std::string& name) const {
    struct stat st {};
    ::lstat((dir_.path() + "/" + name).c_str(), &st);
    return st;
  }

  ScratchDir dir_;
  const std::vector<std::uint8_t> stale_ = testing::ModelWithTrailingByte();  // rewritten when read
  const std::vector<std::uint8_t> model_ = testing::SampleOf(EntryKind::kModel);
};

// A shared folder, sticky and writable by all like /tmp: another user
// plants links there, and the folder's user runs the tool. A link is
// followed only when it is the running user's or its file's owner's.
TEST_F(HostileUsersTest, LinksOfAnotherUserAreLeftAlone) {
  ASSERT_EQ(::mkdir("shared", 01777), 0);
  ASSERT_EQ(::chmod("shared", 01777), 0);
  ASSERT_EQ(::mkdir("vault", 0700), 0);  // the running user's private folder
  dir_.Write("vault/plan.mod", model_);
  const std::vector<std::uint8_t> notes = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's'};
  dir_.Write("shared/notes.txt", notes);  // the running user's
  struct Link {
    const char* name;
    const char* target;
    uid_t owner;
  };
  dir_.Write("shared/e.bak", model_);  // its output e.mod is the other user's link to notes.txt
  dir_.Write("shared/their.bak", model_);
  dir_.Write("shared/mine.bak", model_);
  ::chown("shared/e.bak", kOther, kNoGroup);
  ::chown("shared/their.bak", kOther, kNoGroup);
  const Link links[] = {
      {"e.mod", "notes.txt", kOther},          // output through another's link: left alone
      {"x.bak", "../vault/plan.mod", kOther},  // input through another's link: not read
      {"y.bak", "their.bak", kOther},          // another's link to that user's file: followed
      {"z.bak", "mine.bak", 0},                // the running user's link: followed
  };
  for (const Link& link : links) {
    const std::string name = "shared/" + std::string(link.name);
    ASSERT_EQ(::symlink(link.target, name.c_str()), 0);
    ASSERT_EQ(::lchown(name.c_str(), link.owner, kNoGroup), 0);
  }
  EXPECT_EQ(RunTool(dir_.path() + "/shared"), 0);
  EXPECT_EQ(dir_.Read("shared/notes.txt"), notes);
  EXPECT_TRUE(S_ISLNK(StatOf("shared/e.mod").st_mode));
  EXPECT_FALSE(dir_.Exists("shared/x.mod")) << "a private model made public";
  EXPECT_EQ(dir_.Read("shared/y.mod"), model_);
  EXPECT_EQ(dir_.Read("shared/z.mod"), model_);
}

// In a set-group-ID directory a new file takes the directory's group. A
// replaced file keeps its own; a new output gives no group access its input
// did not give; where the group cannot be had, the group gets no access.
TEST_F(HostileUsersTest, GroupsAreKeptInSetGroupIdDirectories) {
  struct Case {
    const char* what;
    const char* input;
    const char* output;
    gid_t group;  // of the input
    mode_t mode;  // of the input
    gid_t output_group;
    mode_t output_mode;
  };
  struct Run {
    bool unprivileged;
    gid_t directory_group;
    std::vector<Case> cases;
  };
  const Run runs[] = {
      {false,
       kNoGroup,
       {
           {"a replaced file keeps its group", "r.mod", "r.mod", 0, 0640, 0, 0640},
           {"a new output takes its input's group", "n.bak", "n.mod", 0, 0640, 0, 0640},
       }},
      {true,
       0,
       {
           {"a replaced file keeps the user's group", "r.mod", "r.mod", kNoGroup, 0664, kNoGroup, 0664},
           {"a replaced file of a group the user is not in", "q.mod", "q.mod", kStranger, 0664, 0, 0604},
           {"a new output takes its input's group", "n.bak", "n.mod", kNoGroup, 0640, kNoGroup, 0640},
           {"a new output from a group the user is not in", "m.bak", "m.mod", kStranger, 0640, 0, 0600},
       }},
  };
  Unprivileged user;
  for (const Run& run : runs) {
    SCOPED_TRACE(run.unprivileged ? "as nobody" : "as root");
    if (run.unprivileged && !user.why_not().empty()) GTEST_SKIP() << "unprivileged cases not run: " << user.why_not();
    dir_.Clear();
    for (const Case& c : run.cases) {
      dir_.Write(c.input, std::string(c.input) == c.output ? stale_ : model_);
    }
    if (run.unprivileged) user.GiveAway(dir_.path());
    for (const Case& c : run.cases) {
      const std::string path = dir_.path() + "/" + c.input;
      ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), c.group), 0);
      ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    }
    ASSERT_EQ(::chown(dir_.path().c_str(), static_cast<uid_t>(-1), run.directory_group), 0);
    ASSERT_EQ(::chmod(dir_.path().c_str(), 02777), 0);
    EXPECT_EQ(run.unprivileged ? user.Run(dir_.path()) : RunTool(dir_.path()), 0);
    for (const Case& c : run.cases) {
      SCOPED_TRACE(c.what);
      const struct stat st = StatOf(c.output);
      EXPECT_EQ(dir_.Read(c.output), model_);
      EXPECT_EQ(st.st_gid, c.output_group);
      EXPECT_EQ(st.st_mode & 07777, c.output_mode);
    }
  }
}

// The directory of this process's memory control group, and whether it is
// of cgroup v2; nothing when there is none to make a group under.
std::optional<std::pair<std::string, bool>> MemoryGroup() {
  std::ifstream in("/proc/self/cgroup");
  std::string v1;
  std::string v2;
  for (std::string line; std::getline(in, line);) {
    const std::size_t first = line.find(':');
    const std::size_t second = line.find(':', first + 1);
    const std::string controllers = line.substr(first + 1, second - first - 1);
    if (line.starts_with("0::")) v2 = line.substr(second + 1);
    if (("," + controllers + ",").find(",memory,") != std::string::npos) v1 = line.substr(second + 1);
  }
  std::ifstream controllers("/sys/fs/cgroup/cgroup.controllers");
  std::string available((std::istreambuf_iterator<char>(controllers)), std::istreambuf_iterator<char>());
  if (!v1.empty() && fs::is_directory("/sys/fs/cgroup/memory" + v1)) {
    return std::make_pair("/sys/fs/cgroup/memory" + v1, false);
  }
  if (!v2.empty() && available.find("memory") != std::string::npos) return std::make_pair("/sys/fs/cgroup" + v2, true);
  return std::nullopt;
}

// A container's memory limit is met by the kernel ending the process, not
// by a failed allocation: a file too large for it must be refused before
// it is read, and the run goes on.
TEST_F(HostileUsersTest, AContainersMemoryLimitEndsOnlyTheEntryThatMeetsIt) {
  const auto group = MemoryGroup();
  if (!group) GTEST_SKIP() << "no memory control group to make a limited one under";
  const std::string limited = group->first + "/railfmt-test-" + std::to_string(::getpid());
  if (!fs::create_directory(limited)) GTEST_SKIP() << "cannot make a control group under " << group->first;
  {
    std::ofstream limit(limited + (group->second ? "/memory.max" : "/memory.limit_in_bytes"));
    limit << (256 << 20) << std::flush;
    if (!limit) {
      ::rmdir(limited.c_str());
      GTEST_SKIP() << "cannot set a memory limit";
    }
  }
  dir_.Write("a.mod", {});
  ASSERT_EQ(::truncate("a.mod", off_t{768} << 20), 0);  // sparse: takes no room on disk
  dir_.Write("b.bak", model_);
  const int status =
      RunTool(dir_.path(), "sh -c 'echo $$ > " + testing::Quoted(limited + "/cgroup.procs") + " && exec \"$0\"' ");
  ::rmdir(limited.c_str());
  EXPECT_EQ(status, 0) << "the run was ended";
  EXPECT_EQ(dir_.Read("b.mod"), model_) << "the entry after it was not written";
}

}  // namespace
}  // namespace railfmt
