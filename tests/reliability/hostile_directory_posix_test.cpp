// Hostile directories, end to end with the real executable: whatever the
// directory holds, the run finishes, exits 0 and changes nothing it should
// not. The permission cases run the tool as an unprivileged user, since
// permissions do not bite for root; a case that cannot run says so.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "driver/recognition_cascade.h"
#include "tests/support/kind_samples.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"
#include "tools/make_corpus/corpus_makers.h"

namespace railfmt {
namespace {

namespace fs = std::filesystem;
using testing::RollingStockNamed;
using testing::RunCommand;
using testing::ScratchDir;
using Files = std::map<std::string, std::vector<std::uint8_t>>;

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the tool in dir with the given command prefix; returns its exit
// status (124 when it had to be stopped after a minute: it hung).
int RunTool(const std::string& dir, const std::string& prefix = "", const std::string& binary = RAILFMT_BINARY) {
  int status = -1;
  RunCommand("cd " + Quoted(dir) + " && timeout 60 " + prefix + Quoted(binary) + " >/dev/null 2>&1", &status);
  return status;
}

// The same under a limit the shell sets first ("ulimit -f 2", "umask 022").
int RunToolUnder(const std::string& dir, const std::string& limit) {
  return RunTool(dir, "sh -c '" + limit + " && exec \"$0\"' ");
}

// Runs the tool as an unprivileged user: root switches to "nobody" with
// setpriv (util-linux) and runs a copy of the tool that user may execute, as
// the build tree may be closed to others; anyone else runs as themselves,
// for whom permissions already bite.
class Unprivileged {
 public:
  Unprivileged() {
    if (::geteuid() != 0) return;
    const passwd* pw = ::getpwnam("nobody");
    int status = -1;
    if (pw != nullptr) RunCommand("command -v setpriv >/dev/null", &status);
    if (status != 0) {
      why_not_ = "runs as root and cannot switch to 'nobody' with setpriv";
      return;
    }
    uid_ = pw->pw_uid;
    gid_ = pw->pw_gid;
    prefix_ = "setpriv --reuid=nobody --regid=" + std::to_string(gid_) + " --clear-groups ";
    tool_ = tool_dir_.path() + "/railfmt";
    std::error_code ec;
    fs::copy_file(RAILFMT_BINARY, tool_, ec);
    ::chmod(tool_dir_.path().c_str(), 0755);
    ::chmod(tool_.c_str(), 0755);
    if (ec) why_not_ = "cannot copy the tool: " + ec.message();
  }

  const std::string& why_not() const { return why_not_; }

  // Hands the directory and everything in it to the user.
  void GiveAway(const std::string& dir) const {
    if (::geteuid() != 0) return;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) ::lchown(entry.path().c_str(), uid_, gid_);
    ::lchown(dir.c_str(), uid_, gid_);
  }

  int Run(const std::string& dir) const { return RunTool(dir, prefix_, tool_); }

 private:
  std::string why_not_;
  std::string prefix_;
  ScratchDir tool_dir_{false};
  std::string tool_ = RAILFMT_BINARY;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

// The tool with the probe library preloaded (tests/support/io_probe.cpp),
// driven by the environment given as "NAME=value ...".
std::string Probed(const std::string& environment) {
  return "env LD_PRELOAD=" + Quoted(RAILFMT_IO_PROBE) + " " + environment + " ";
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// The number of a process that ended, as a run killed before has.
std::string AProcessThatEnded() {
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  return std::to_string(ended);
}

class HostileDirectoryTest : public ::testing::Test {
 protected:
  ScratchDir dir_;
  const std::vector<std::uint8_t> stale_ = testing::ModelWithTrailingByte();  // rewritten when read
  const std::vector<std::uint8_t> model_ = testing::SampleOf(EntryKind::kModel);
};

// What the user may not do is left undone, and nothing else: a read-only
// directory (the same one writable afterwards shows the writes were real),
// a file without read permission (the scan goes on past it), outputs the
// user may not write (in a writable directory, where a rename would do).
TEST_F(HostileDirectoryTest, WhatTheUserMayNotDoIsLeftUndone) {
  Unprivileged user;
  if (!user.why_not().empty()) GTEST_SKIP() << "permission cases not run: " << user.why_not();
  const std::string d = dir_.path();
  dir_.Write("m.mod", stale_);
  dir_.Write("n.bak", model_);
  user.GiveAway(d);
  Files before = dir_.Snapshot();
  ASSERT_EQ(::chmod(d.c_str(), 0555), 0);
  EXPECT_EQ(user.Run(d), 0);
  ASSERT_EQ(::chmod(d.c_str(), 0755), 0);
  EXPECT_EQ(dir_.Snapshot(), before);
  EXPECT_EQ(user.Run(d), 0);
  EXPECT_EQ(dir_.Read("m.mod"), model_);
  EXPECT_EQ(dir_.Read("n.mod"), model_);

  dir_.Clear();
  dir_.Write("a.bak", model_);
  dir_.Write("secret.mod", stale_);
  dir_.Write("x.bak", model_);
  dir_.Write("x.mod", {'o', 'l', 'd'});
  dir_.Write("y.mod", stale_);
  dir_.Write("z.bak", model_);
  dir_.Write("w.bak", model_);
  dir_.Write("w.mod", {'o', 'l', 'd'});
  user.GiveAway(d);
  ASSERT_EQ(::chmod((d + "/secret.mod").c_str(), 0200), 0);
  ASSERT_EQ(::chmod((d + "/w.mod").c_str(), 0200), 0);
  ASSERT_EQ(::chmod((d + "/x.mod").c_str(), 0444), 0);
  ASSERT_EQ(::chmod((d + "/y.mod").c_str(), 0444), 0);
  Files expected = dir_.Snapshot();
  EXPECT_EQ(user.Run(d), 0);
  ASSERT_EQ(::chmod((d + "/secret.mod").c_str(), 0600), 0);
  expected["a.mod"] = model_;
  expected["z.mod"] = model_;  // the scan went on past the unreadable file
  expected["secret.mod"] = stale_;
  expected["w.mod"] = model_;  // written, though the user may not read it
  EXPECT_EQ(dir_.Snapshot(), expected);
  struct stat st {};
  ASSERT_EQ(::stat((d + "/y.mod").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(HostileDirectoryTest, EntriesThatAreNoRegularFiles) {
  // An output name that is a directory, FIFOs as input and as output name,
  // symbolic link loops as input and as output name, a dangling link, links
  // to an endless device, to a directory and to files of /proc: none blocks,
  // none is replaced.
  dir_.Write("d.bak", model_);
  ASSERT_EQ(::mkdir("d.mod", 0755), 0);
  dir_.Write("d.mod/inside.mod", stale_);
  ASSERT_EQ(::mkfifo("p.mod", 0644), 0);
  dir_.Write("q.bak", model_);
  ASSERT_EQ(::mkfifo("q.mod", 0644), 0);
  ASSERT_EQ(::symlink("loop.mod", "loop.mod"), 0);
  ASSERT_EQ(::symlink("ping.mod", "pong.mod"), 0);
  ASSERT_EQ(::symlink("pong.mod", "ping.mod"), 0);
  dir_.Write("l.bak", model_);
  ASSERT_EQ(::symlink("l.mod", "l.mod"), 0);
  dir_.Write("g.bak", model_);
  ASSERT_EQ(::symlink("nowhere/g.mod", "g.mod"), 0);
  ASSERT_EQ(::symlink("/dev/zero", "zero.mod"), 0);
  ASSERT_EQ(::symlink("/", "root.mod"), 0);
  // Regular files whose size lies: one longer than reported, one unreadable.
  ASSERT_EQ(::symlink("/proc/self/status", "status.mod"), 0);
  ASSERT_EQ(::symlink("/proc/self/mem", "mem.mod"), 0);
  dir_.Write("zz.mod", stale_);  // the last entry: the scan reached the end
  Files expected = dir_.Snapshot();

  EXPECT_EQ(RunTool(dir_.path()), 0);
  expected["zz.mod"] = model_;
  EXPECT_EQ(dir_.Snapshot(), expected);
  EXPECT_EQ(dir_.Read("d.mod/inside.mod"), stale_) << "the scan went into a subdirectory";
  for (const char* link :
       {"loop.mod", "pong.mod", "ping.mod", "l.mod", "g.mod", "zero.mod", "root.mod", "status.mod", "mem.mod"}) {
    EXPECT_TRUE(fs::is_symlink(dir_.path() + "/" + link)) << link;
  }
  EXPECT_EQ(fs::read_symlink(dir_.path() + "/g.mod"), "nowhere/g.mod");
  for (const char* fifo : {"p.mod", "q.mod"}) {
    EXPECT_TRUE(fs::is_fifo(dir_.path() + "/" + fifo)) << fifo;
  }
}

TEST_F(HostileDirectoryTest, LongAndStrangeNames) {
  // name -> what the directory holds afterwards under each name.
  struct Case {
    std::string name;
    std::string output;  // "" when nothing may be written
  };
  const std::string m251(251, 'm');
  const std::string n255(255, 'n');
  const std::string k250(250, 'k');
  const std::vector<Case> cases = {
      {m251 + ".mod", m251 + ".mod"},    // 255 bytes, rewritten in place
      {k250 + ".bak", k250 + ".mod"},    // 255 bytes in, 254 out
      {n255, ""},                        // the output name would need 259 bytes
      {"dir\\sub.bak", "sub.mod"},       // a backslash separates directories
      {"a.b\\noext", "noext.mod"},       // a dot in the directory part only
      {"\xff\xfe.mod", "\xff\xfe.mod"},  // bytes that are not UTF-8
      {"caf\xe9 \x01\x7f.bak", "caf\xe9 \x01\x7f.mod"},
      {"new\nline.mod", "new\nline.mod"},
      {"-rf.mod", "-rf.mod"},
      {"*.*", "*.mod"},
      {"k\\", ""},      // the base name after the backslash is empty: ".mod", a hidden output
      {"k\\.bak", ""},  // likewise
  };
  for (const Case& c : cases) dir_.Write(c.name, c.name == c.output ? stale_ : model_);
  ASSERT_EQ(dir_.Snapshot().size(), cases.size()) << "the file system refused a name";

  EXPECT_EQ(RunTool(dir_.path()), 0);
  Files expected;
  for (const Case& c : cases) {
    expected[c.name] = c.name == c.output ? stale_ : model_;
    if (!c.output.empty()) expected[c.output] = model_;
  }
  EXPECT_EQ(dir_.Snapshot(), expected);
}

// The tool runs in work/: rolling stock named out of it and outputs linked
// out of it write nothing beside it.
TEST_F(HostileDirectoryTest, NothingIsWrittenOutsideTheDirectory) {
  ASSERT_EQ(::mkdir("work", 0755), 0);
  const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
  const std::string abs = dir_.path() + "/absolute";
  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> entries = {
      {"a.rol", RollingStockNamed("../escaped")}, {"b.rol", RollingStockNamed(abs)},
      {"c.rol", RollingStockNamed("..\\back")},   {"d.rol", RollingStockNamed("sub/inner")},
      {"f.rol", RollingStockNamed("")},           {"g.rol", RollingStockNamed("..")},
      {"h.rol", RollingStockNamed("a\nb")},       {"i.rol", RollingStockNamed(".hidden")},
      {"e.rol", RollingStockNamed("fine")},  // the one that may be written
  };
  for (const auto& [name, bytes] : entries) dir_.Write("work/" + name, bytes);
  ASSERT_EQ(::mkdir("work/sub", 0755), 0);
  // x.mod links out of work/; y.mod to a file in it, and is written through.
  for (const char* name : {"work/x.bak", "work/y.bak"}) dir_.Write(name, model_);
  for (const char* name : {"work/target.mod", "outside.mod"}) dir_.Write(name, old);
  ASSERT_EQ(::symlink("../outside.mod", "work/x.mod"), 0);
  ASSERT_EQ(::symlink("target.mod", "work/y.mod"), 0);

  EXPECT_EQ(RunTool(dir_.path() + "/work"), 0);
  EXPECT_EQ(dir_.Snapshot(), (Files{{"outside.mod", old}, {"work", {}}})) << "something was written beside work/";
  EXPECT_TRUE(fs::is_symlink(dir_.path() + "/work/x.mod"));
  Files expected = {{"work/x.bak", model_}, {"work/y.bak", model_}, {"work/target.mod", model_}};
  for (const auto& [name, bytes] : entries) expected["work/" + name] = bytes;
  expected["work/fine.rol"] = RollingStockNamed("fine");
  Files inside;
  for (const auto& entry : fs::recursive_directory_iterator(dir_.path() + "/work")) {
    const std::string name = fs::relative(entry.path(), dir_.path()).string();
    if (entry.is_regular_file() && !entry.is_symlink()) inside[name] = dir_.Read(name);
  }
  EXPECT_EQ(inside, expected);
}

// A file removed, and another replaced, while the scan runs: the output
// layer's rename of the first output removes and replaces entries that the
// scan's snapshot holds but has not visited yet.
TEST_F(HostileDirectoryTest, FilesRemovedOrReplacedWhileTheScanRuns) {
  dir_.Write("a.bak", model_);
  dir_.Write("b.mod", stale_);
  dir_.Write("c.mod", stale_);
  dir_.Write("e.mod", {'o', 'l', 'd'});
  dir_.Write("f.bak", stale_);
  bool done = false;
  DiagnosticCapture captured;
  RunBatch(*OpenDirectory(".", [&](StoreStep step, std::string_view, std::size_t&) {
    if (step != StoreStep::kRename || done) return false;
    done = true;
    ::unlink("b.mod");
    ::unlink("c.mod");
    dir_.Write("c.mod", {'j', 'u', 'n', 'k'});
    ::unlink("e.mod");
    ::rename("f.bak", "e.mod");  // a name of the snapshot gets a model
    return false;
  }));

  ASSERT_TRUE(done);
  const Files expected = {{"a.bak", model_}, {"a.mod", model_}, {"c.mod", {'j', 'u', 'n', 'k'}}, {"e.mod", model_}};
  EXPECT_EQ(dir_.Snapshot(), expected);
  const std::vector<std::string>& m = captured.messages();
  EXPECT_EQ(static_cast<std::size_t>(std::count(m.begin(), m.end(), "Can't open b.mod!\n")), kCascadeOrder.size())
      << "each kind reports the vanished file";
}

TEST_F(HostileDirectoryTest, APrivateInputMakesAPrivateOutput) {
  dir_.Write("secret.bak", model_);
  ASSERT_EQ(::chmod("secret.bak", 0600), 0);
  ASSERT_EQ(RunToolUnder(dir_.path(), "umask 022"), 0);
  struct stat st {};
  ASSERT_EQ(::stat("secret.mod", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// Started with standard input closed, as some schedulers start programs,
// the run may get descriptor 0 for its directory: it goes on as usual.
TEST_F(HostileDirectoryTest, AClosedStandardInputIsNoObstacle) {
  dir_.Write("a.mod", stale_);
  EXPECT_EQ(RunToolUnder(dir_.path(), "exec 0<&-"), 0);
  EXPECT_EQ(dir_.Read("a.mod"), model_);
}

TEST_F(HostileDirectoryTest, AFileSizeLimitEndsOnlyTheEntryThatMeetsIt) {
  // The big model's rewrite cannot be written under the limit; the small
  // model after it is written all the same, and no temporary stays.
  CorpusRandom random(7);
  std::vector<std::uint8_t> big = EncodeToBytes<ModelKind>(MakeCorpusModel(random, 2, 100));
  ASSERT_GT(big.size(), 2048u);
  big.push_back(0);  // a trailing byte: rewritten through a temporary
  dir_.Write("a.mod", big);
  dir_.Write("b.bak", model_);
  EXPECT_EQ(RunToolUnder(dir_.path(), "ulimit -f 2"), 0) << "the run ends normally";
  EXPECT_EQ(dir_.Read("b.mod"), model_);
  EXPECT_EQ(dir_.Read("a.mod"), big) << "the file is left as it was";
  EXPECT_EQ(dir_.Snapshot().size(), 3u) << "no temporary left";
}

TEST_F(HostileDirectoryTest, AFileLargerThanTheMemoryEndsOnlyItsEntry) {
  if (testing::kAddressSanitizer) GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
  dir_.Write("b.bak", model_);
  dir_.Write("a.mod", {});
  ASSERT_EQ(::truncate("a.mod", 768 << 20), 0);  // sparse: takes no room on disk
  EXPECT_EQ(RunToolUnder(dir_.path(), "ulimit -v 400000"), 0);
  EXPECT_EQ(dir_.Read("b.mod"), model_) << "the entry after it was written";
}

// c.mod grows while it is read, as when another program writes to it: it
// is read as it was, which it holds already.
TEST_F(HostileDirectoryTest, ReplacedContentIsSyncedAndUnchangedContentIsNotTouched) {
  if (testing::kAddressSanitizer) GTEST_SKIP() << "the probe library cannot be preloaded before the sanitizer runtime";
  dir_.Write("a.mod", stale_);  // replaced: its content changes
  dir_.Write("b.bak", model_);  // b.mod is new
  dir_.Write("c.mod", model_);  // unchanged: not written at all
  EXPECT_EQ(RunTool(dir_.path(), Probed("RAILFMT_PROBE_GROW=c.mod RAILFMT_PROBE_LOG=.log")), 0);
  const std::vector<std::uint8_t> grown = dir_.Read("c.mod");
  ASSERT_EQ(grown.size(), model_.size() + (1u << 20)) << "what the other program wrote is kept";
  EXPECT_TRUE(std::equal(model_.begin(), model_.end(), grown.begin()));
  std::vector<std::string> lines;
  std::istringstream log(Text(dir_.Read(".log")));
  for (std::string line; std::getline(log, line);) lines.push_back(line.substr(0, line.find(' ', line.find(' ') + 1)));
  // a.mod's new content is written to an unnamed file, synced, named only
  // to be exchanged with a.mod; b.mod's is linked into place; the
  // directory is synced last; nothing at all happens to c.mod (that its
  // file, mode and times stay is in posix_store_test.cpp).
  ASSERT_EQ(lines.size(), 5u) << Text(dir_.Read(".log"));
  EXPECT_TRUE(lines[0].starts_with("fdatasync #")) << lines[0];
  EXPECT_TRUE(lines[1].starts_with("link .railfmt-")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with("rename .railfmt-")) << lines[2];
  EXPECT_EQ(lines[3], "link b.mod");
  EXPECT_EQ(lines[4], "fsync " + fs::path(dir_.path()).filename().string());
  // A run that only adds a file syncs the directory as well (c.mod, grown,
  // would be rewritten).
  dir_.Write("d.bak", model_);
  fs::remove(fs::path(dir_.path()) / "c.mod");
  fs::remove(fs::path(dir_.path()) / ".log");
  EXPECT_EQ(RunTool(dir_.path(), Probed("RAILFMT_PROBE_LOG=.log")), 0);
  const std::string added = Text(dir_.Read(".log"));
  EXPECT_NE(added.find("fsync " + fs::path(dir_.path()).filename().string()), std::string::npos) << added;
  // So does one that only removes a gone run's temporary.
  const std::string temporary = ".railfmt-" + AProcessThatEnded() + "-0.tmp";
  dir_.Write(temporary, {'x'});
  fs::remove(fs::path(dir_.path()) / ".log");
  EXPECT_EQ(RunTool(dir_.path(), Probed("RAILFMT_PROBE_LOG=.log")), 0);
  EXPECT_FALSE(dir_.Exists(temporary));
  EXPECT_EQ(Text(dir_.Read(".log")), "fsync " + fs::path(dir_.path()).filename().string() + "\n");
}

// The tool run in the background with the probe, until the probe says
// "paused"; waits at most a minute for each (a loaded machine may take
// seconds to start the run).
class PausedRun {
 public:
  PausedRun(const ScratchDir& dir, const std::string& environment) : dir_(dir) {
    RunCommand("(cd " + Quoted(dir.path()) + " && " + Probed(environment + " RAILFMT_PROBE_LOG=.log") +
               Quoted(RAILFMT_BINARY) + " > .out 2>/dev/null & echo $! > .pid; wait $!; echo $? > .status)" +
               " </dev/null >/dev/null 2>&1 &");
    for (int i = 0; i < 6000 && !(Paused() && Text(dir.Read(".pid")).ends_with('\n')); ++i) ::usleep(10000);
  }
  bool Paused() const { return Text(dir_.Read(".log")).find("paused") != std::string::npos; }
  // Sends the signal; gives the run's exit status as the shell tells it.
  std::string EndBy(int signal) const {
    ::kill(std::stoi(Text(dir_.Read(".pid"))), signal);
    for (int i = 0; i < 6000 && !Text(dir_.Read(".status")).ends_with('\n'); ++i) ::usleep(10000);
    return Text(dir_.Read(".status"));
  }

 private:
  const ScratchDir& dir_;
};

TEST_F(HostileDirectoryTest, ASignalDuringAWriteEndsTheRunByTheSignalAndLeavesNothing) {
  if (testing::kAddressSanitizer) GTEST_SKIP() << "the probe library cannot be preloaded before the sanitizer runtime";
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
    SCOPED_TRACE(signal);
    dir_.Clear();
    const std::vector<std::uint8_t> junk = {0, 5, 0, 0, 0, 0};
    dir_.Write("a.kon", junk);    // no kind's file: prints its mismatch lines first
    dir_.Write("b.mod", stale_);  // rewritten: the run waits in its first write
    std::string lines;
    {
      DiagnosticCapture captured;
      RecogniseEntry("a.kon", junk);
      lines = captured.mismatches();
    }
    ASSERT_FALSE(lines.empty());
    const PausedRun run(dir_, "RAILFMT_PROBE_PAUSE=1");
    ASSERT_TRUE(run.Paused()) << "the run did not reach its write";
    EXPECT_EQ(run.EndBy(signal), std::to_string(128 + signal) + "\n");
    EXPECT_EQ(dir_.Read("b.mod"), stale_);
    if (signal != SIGKILL) {
      EXPECT_EQ(Text(dir_.Read(".out")), lines) << "the lines produced are flushed";
    }
    for (const auto& [name, bytes] : dir_.Snapshot()) EXPECT_FALSE(name.starts_with(".railfmt-")) << name;
  }
}

TEST_F(HostileDirectoryTest, ASignalDuringTheReadOfALargeFileEndsTheRunPromptly) {
  if (testing::kAddressSanitizer) GTEST_SKIP() << "the probe library cannot be preloaded before the sanitizer runtime";
  constexpr std::uint64_t kSize = std::uint64_t{256} << 20;
  dir_.Write("a.mod", {});
  ASSERT_EQ(::truncate("a.mod", static_cast<off_t>(kSize)), 0);  // sparse: takes no room on disk
  dir_.Write("b.bak", model_);
  const PausedRun run(dir_, "RAILFMT_PROBE_READ=a.mod");
  ASSERT_TRUE(run.Paused()) << "the run did not reach its read";
  EXPECT_EQ(run.EndBy(SIGINT), std::to_string(128 + SIGINT) + "\n");
  // What the run still asked for after the signal came.
  std::uint64_t asked = 0;
  std::istringstream log(Text(dir_.Read(".log")));
  for (std::string line; std::getline(log, line);) {
    if (line.starts_with("read ")) asked += std::stoull(line.substr(5));
  }
  EXPECT_GT(asked, 0u);
  EXPECT_LT(asked, kSize / 8) << "the file was read to its end first";
  EXPECT_FALSE(dir_.Exists("b.mod")) << "the run went on";
}

TEST_F(HostileDirectoryTest, TemporariesOfKilledRunsAreRemovedByTheNextRun) {
  if (testing::kAddressSanitizer) GTEST_SKIP() << "the probe library cannot be preloaded before the sanitizer runtime";
  // A run killed while its new content has a name, just before the swap.
  dir_.Write("a.mod", stale_);
  const PausedRun run(dir_, "RAILFMT_PROBE_PAUSE=link");
  ASSERT_TRUE(run.Paused()) << "the run did not name its new file";
  EXPECT_EQ(run.EndBy(SIGKILL), std::to_string(128 + SIGKILL) + "\n");
  // Temporaries of a run still at work are never its: this process holds
  // the lock a run holds. A process that ended holds none.
  const auto alive = OpenDirectory(dir_.path());
  const std::string ended = AProcessThatEnded();
  const std::string live = ".railfmt-" + std::to_string(::getpid()) + "-3.tmp";
  dir_.Write(".railfmt-" + ended + "-0.tmp", {'x'});
  Files expected = {{live, {'k'}}, {".railfmt-" + ended + "-1.kept", {'k'}}, {".railfmt-x.tmp", {'k'}}};
  for (const auto& [name, bytes] : expected) dir_.Write(name, bytes);
  Files before = dir_.Snapshot();
  std::erase_if(before, [](const auto& entry) { return !entry.first.starts_with(".railfmt-"); });
  EXPECT_EQ(before.size(), expected.size() + 2) << "the killed run left no temporary";
  for (const char* name : {".log", ".out", ".pid", ".status"}) ::unlink(name);
  EXPECT_EQ(RunTool(dir_.path()), 0);
  expected["a.mod"] = model_;
  EXPECT_EQ(dir_.Snapshot(), expected);
}

// Another program at work on an entry while a run stores it: it saves (a
// new file under the name, as editors do), or saves in place keeping the
// times (cp -p, rsync -t --inplace, touch -r), or removes it, or puts a
// FIFO in its place. Whatever comes when, every save stays, nothing gone is
// written back, nothing blocks, and the entry is reported.
TEST_F(HostileDirectoryTest, NoSaveIsLostInAnyOrderOfEvents) {
  enum class Act { kSave, kSaveInPlaceKeepingTimes, kRemove, kReplaceByFifo };
  struct Event {
    StoreStep step;
    int call;  // counted over the steps on a.mod
    Act act;
  };
  struct Case {
    const char* what;
    std::vector<Event> events;
    Files expected;  // a kept save under ".kept"
    const char* message = "Can't write a.mod!\n";
  };
  const auto save = [this](int n) {
    std::vector<std::uint8_t> bytes(stale_.size(), 's');  // the size of what it replaces
    bytes[0] = static_cast<std::uint8_t>('0' + n);
    return bytes;
  };
  const std::vector<Case> cases = {
      {"saved after the load", {{StoreStep::kOpen, 0, Act::kSave}}, {{"a.mod", save(1)}}},
      {"saved in place after the load, times kept",
       {{StoreStep::kOpen, 0, Act::kSaveInPlaceKeepingTimes}},
       {{"a.mod", save(1)}}},
      {"removed after the load", {{StoreStep::kOpen, 0, Act::kRemove}}, {}},
      {"saved before the sync", {{StoreStep::kSync, 0, Act::kSave}}, {{"a.mod", save(1)}}},
      {"saved between the check and the exchange", {{StoreStep::kRename, 0, Act::kSave}}, {{"a.mod", save(1)}}},
      {"saved before the exchange and again before the put-back",
       {{StoreStep::kRename, 0, Act::kSave}, {StoreStep::kRename, 1, Act::kSave}},
       {{"a.mod", save(2)}, {".kept", save(1)}}},
      {"replaced by a FIFO after the load",
       {{StoreStep::kOpen, 0, Act::kReplaceByFifo}},
       {{"a.mod", {}}},
       "Can't open a.mod!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Clear();
    dir_.Write("a.mod", stale_);  // in place, changed
    std::map<StoreStep, int> calls;
    int saves = 0;
    const auto act = [&](Act what) {
      ::usleep(20000);  // a clock tick later: file times may be kept at tick granularity
      struct stat st {};
      ::stat("a.mod", &st);
      const struct timespec times[2] = {st.st_atim, st.st_mtim};
      dir_.Write(what == Act::kSave ? ".saving" : "a.mod", save(++saves));
      if (what == Act::kSave) ::rename(".saving", "a.mod");
      if (what == Act::kSaveInPlaceKeepingTimes) ::utimensat(AT_FDCWD, "a.mod", times, 0);
      if (what == Act::kRemove || what == Act::kReplaceByFifo) ::unlink("a.mod");
      if (what == Act::kReplaceByFifo) ::mkfifo("a.mod", 0644);
    };
    DiagnosticCapture captured;
    ::alarm(20);  // a run that blocks ends the test
    RunBatch(*OpenDirectory(".", [&](StoreStep step, std::string_view name, std::size_t&) {
      if (name != "a.mod") return false;
      const int n = calls[step]++;
      for (const Event& e : c.events) {
        if (e.step == step && e.call == n) act(e.act);
      }
      return false;
    }));
    ::alarm(0);
    Files after;
    for (const auto& [name, bytes] : dir_.Snapshot()) {
      after[name.starts_with(".railfmt-") && name.ends_with(".kept") ? ".kept" : name] = bytes;
    }
    EXPECT_EQ(after, c.expected);
    const std::vector<std::string>& m = captured.messages();
    EXPECT_EQ(std::count(m.begin(), m.end(), c.message), 1);
  }
}

// railfmt | head, or a pager left early: standard output fails, and the run
// goes on over every entry without it, and ends as usual.
TEST_F(HostileDirectoryTest, AReaderThatLeavesEndsThePrintingNotTheRun) {
  // Each junk entry prints mismatch lines: far more than one buffer of
  // standard output before the last entry.
  for (int i = 0; i < 2000; ++i) dir_.Write("j" + std::to_string(10000 + i) + ".kon", {0, 5, 0, 0, 0, 0});
  dir_.Write("zz.mod", stale_);
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  ::close(pipe_ends[0]);  // the reader is gone before the first line
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    ::dup2(pipe_ends[1], STDOUT_FILENO);
    ::execl(RAILFMT_BINARY, RAILFMT_BINARY, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipe_ends[1]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(dir_.Read("zz.mod"), model_) << "the run stopped before the last entry";
}

// Cases only root can set up: files, links and groups of other users, and
// control groups.
constexpr uid_t kOther = 65534;    // another user: nobody
constexpr gid_t kNoGroup = 65534;  // nobody's group
constexpr gid_t kStranger = 4242;  // a group nobody is no member of

// A shared folder, sticky and writable by all like /tmp: another user
// plants links there, and the folder's user runs the tool. A link is
// followed only when it is the running user's or its file's owner's.
TEST_F(HostileDirectoryTest, LinksOfAnotherUserAreLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make links of another user";
  ASSERT_EQ(::mkdir("shared", 0), 0);
  ASSERT_EQ(::chmod("shared", 01777), 0);
  ASSERT_EQ(::mkdir("vault", 0700), 0);  // the running user's private folder
  dir_.Write("vault/plan.mod", model_);
  const std::vector<std::uint8_t> notes = {'n', 'o', 't', 'e', 's'};
  dir_.Write("shared/notes.txt", notes);  // the running user's
  for (const char* name : {"shared/e.bak", "shared/their.bak", "shared/mine.bak"}) dir_.Write(name, model_);
  ASSERT_EQ(::chown("shared/their.bak", kOther, kNoGroup), 0);
  struct Link {
    const char* name;
    const char* target;
    uid_t owner;
  };
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
  EXPECT_TRUE(fs::is_symlink("shared/e.mod"));
  EXPECT_FALSE(dir_.Exists("shared/x.mod")) << "a private model made public";
  EXPECT_EQ(dir_.Read("shared/y.mod"), model_);
  EXPECT_EQ(dir_.Read("shared/z.mod"), model_);
}

// In a set-group-ID directory a new file takes the directory's group. A
// replaced file keeps its own; a new output gives no group access its input
// did not give; where the group cannot be had, the group gets no access.
TEST_F(HostileDirectoryTest, GroupsAreKeptInSetGroupIdDirectories) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make files of other groups";
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
      struct stat st {};
      ASSERT_EQ(::stat(c.output, &st), 0);
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
TEST_F(HostileDirectoryTest, AContainersMemoryLimitEndsOnlyTheEntryThatMeetsIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a memory control group";
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
      RunTool(dir_.path(), "sh -c 'echo $$ > " + Quoted(limited + "/cgroup.procs") + " && exec \"$0\"' ");
  ::rmdir(limited.c_str());
  EXPECT_EQ(status, 0) << "the run was ended";
  EXPECT_EQ(dir_.Read("b.mod"), model_) << "the entry after it was not written";
}

}  // namespace
}  // namespace railfmt
