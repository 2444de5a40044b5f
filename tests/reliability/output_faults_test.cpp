// Fault injection end to end: a whole batch run over a real sample of every
// kind, with the output layer's N-th write (for every N the sample's output
// takes), its close, its rename or its open failing. The existing output,
// the input itself when it is rewritten in place, must stay byte-identical,
// no temporary may be left, and the failure must reach the sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/output_file.h"
#include "tests/support/capture.h"
#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"
#include "tools/kind_rewriters.h"

namespace railfmt {
namespace {

using testing::CapturedOutput;
using testing::KindSample;
using testing::ScratchDir;

// Output operations that deliver a few bytes per write, so that an output
// takes dozens of writes, and fail exactly the armed call of the run's first
// output (a run may store more: an output that is also an entry of the
// directory is rewritten when its turn comes).
struct Faults {
  static inline std::size_t chunk = 1;
  static inline int fail_write_at = -1;
  static inline bool fail_open = false, fail_close = false, fail_rename = false;
  static inline int writes = 0;  // of the first output
  static inline int opens = 0;
  static inline int closes = 0;
  static inline int renames = 0;

  static void Arm(int write_at, bool open, bool close, bool rename) {
    fail_write_at = write_at;
    fail_open = open;
    fail_close = close;
    fail_rename = rename;
    writes = opens = closes = renames = 0;
  }
  static int Open(const char* p, int f, mode_t m) {
    if (opens++ == 0 && fail_open) {
      errno = EMFILE;
      return -1;
    }
    return SystemOutputFileOps().open(p, f, m);
  }
  static ssize_t Write(int fd, const void* d, std::size_t n) {
    if (opens == 1 && writes++ == fail_write_at) {
      errno = ENOSPC;
      return -1;
    }
    return SystemOutputFileOps().write(fd, d, n < chunk ? n : chunk);
  }
  static int Close(int fd) {
    const int r = SystemOutputFileOps().close(fd);
    if (closes++ == 0 && fail_close) {
      errno = EIO;
      return -1;
    }
    return r;
  }
  static int Rename(const char* a, const char* b) {
    if (renames++ == 0 && fail_rename) {
      errno = EXDEV;
      return -1;
    }
    return SystemOutputFileOps().rename(a, b);
  }
};

const OutputFileOps kFaultOps{&Faults::Open, &Faults::Write, &Faults::Close, &Faults::Rename};

class OutputFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = SetOutputFileOps(&kFaultOps); }
  void TearDown() override { SetOutputFileOps(previous_); }

  // A directory: entry name -> content. Runs the batch over it with the
  // armed fault and returns the directory afterwards and the messages.
  std::pair<std::map<std::string, std::vector<std::uint8_t>>, std::vector<std::string>> RunOver(
      const std::map<std::string, std::vector<std::uint8_t>>& files) {
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) std::filesystem::remove_all(entry);
    for (const auto& [name, bytes] : files) dir_.Write(name, bytes);
    CapturedOutput captured;
    RunBatch();
    return {dir_.Snapshot(), captured.messages()};
  }

  ScratchDir dir_;
  const OutputFileOps* previous_ = nullptr;
};

// The input of a kind as a file that its rewrite changes, where the kind
// accepts one: one byte after the last field (models, rolling stock and
// construction drawings drop it); else the sample itself.
std::vector<std::uint8_t> InputChangedByRewrite(const KindSample& s) {
  std::vector<std::uint8_t> bytes = s.sample.bytes;
  bytes.push_back(0);
  const KindRewriter* kind = FindKindRewriter(s.kind);
  CapturedOutput quiet;
  if (kind != nullptr && kind->rewrite(bytes)) return bytes;
  return s.sample.bytes;
}

TEST_F(OutputFaultsTest, EveryFailingCallLeavesTheExistingOutputAndNoTemporary) {
  const std::vector<KindSample> samples = testing::RecognisedSamples();
  ASSERT_FALSE(samples.empty());
  int scenarios = 0;
  for (const KindSample& s : samples) {
    // In place: the input is its own output. Beside: the input writes over
    // an existing file of another name.
    const std::vector<std::uint8_t> input = InputChangedByRewrite(s);
    const std::string beside_name = s.kind == EntryKind::kRollingStock ? "entry.bin" : "entry.bak";
    const std::string beside_output =
        s.kind == EntryKind::kRollingStock ? s.output_name : "entry" + s.output_name.substr(s.output_name.rfind('.'));
    const std::vector<std::pair<std::string, std::map<std::string, std::vector<std::uint8_t>>>> layouts = {
        {"in place", {{s.output_name, input}}},
        {"beside", {{beside_name, input}, {beside_output, {'o', 'l', 'd'}}}},
    };
    for (const auto& [how, files] : layouts) {
      SCOPED_TRACE(s.sample.name + ", " + how);
      // Without a fault the run replaces the output: the faults below
      // therefore stop a real replacement.
      Faults::chunk = std::max<std::size_t>(1, s.sample.bytes.size() / 40);
      Faults::Arm(-1, false, false, false);
      const auto [written, clean_messages] = RunOver(files);
      const int writes = Faults::writes;
      ASSERT_GT(writes, 0);
      const std::string& output = how == "in place" ? s.output_name : beside_output;
      CapturedOutput quiet;
      const auto rewritten = FindKindRewriter(s.kind)->rewrite(input);
      ASSERT_TRUE(rewritten.has_value());
      ASSERT_EQ(written.at(output), *rewritten) << "the run did not write the output to begin with";

      std::vector<std::pair<std::string, std::function<void()>>> faults;
      for (int n = 0; n < writes; ++n)
        faults.emplace_back("write " + std::to_string(n), [n] { Faults::Arm(n, false, false, false); });
      faults.emplace_back("close", [] { Faults::Arm(-1, false, true, false); });
      faults.emplace_back("rename", [] { Faults::Arm(-1, false, false, true); });
      faults.emplace_back("open", [] { Faults::Arm(-1, true, false, false); });
      for (const auto& [what, arm] : faults) {
        SCOPED_TRACE(what);
        arm();
        const auto [after, messages] = RunOver(files);
        EXPECT_EQ(after, files);
        const std::string expected = (what == "open" ? "Can't open " : "Can't write ") + output + "!\n";
        EXPECT_NE(std::find(messages.begin(), messages.end(), expected), messages.end()) << "no " << expected;
        ++scenarios;
        if (HasFailure()) return;
      }
    }
  }
  std::printf("output faults: %d failing calls injected over %zu samples\n", scenarios, samples.size());
}

}  // namespace
}  // namespace railfmt
