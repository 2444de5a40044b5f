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
#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "tests/support/kind_samples.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/store_faults.h"

namespace railfmt {
namespace {
using testing::KindSample;
using testing::ScratchDir;

class OutputFaultsTest : public ::testing::Test {
 protected:
  // A directory: entry name -> content. Runs the batch over it with the
  // armed fault and returns the directory afterwards and the messages.
  std::pair<std::map<std::string, std::vector<std::uint8_t>>, std::vector<std::string>> RunOver(
      const std::map<std::string, std::vector<std::uint8_t>>& files) {
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) std::filesystem::remove_all(entry);
    for (const auto& [name, bytes] : files) dir_.Write(name, bytes);
    DiagnosticCapture captured;
    faults_.Reset();
    if (armed_) arm_(faults_);
    RunBatch(*OpenDirectory(".", faults_.Hook()));
    return {dir_.Snapshot(), captured.messages()};
  }

  ScratchDir dir_;
  testing::StoreFaults faults_;
  bool armed_ = false;
  std::function<void(testing::StoreFaults&)> arm_;
};

// The input of a kind as a file that its rewrite changes, where the kind
// accepts one: one byte after the last field (models, rolling stock and
// construction drawings drop it); else the sample itself.
std::vector<std::uint8_t> InputChangedByRewrite(const KindSample& s) {
  std::vector<std::uint8_t> bytes = s.sample.bytes;
  bytes.push_back(0);
  DiagnosticCapture quiet;
  if (testing::Rewrite(s.kind, bytes)) return bytes;
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
      faults_.chunk = std::max<std::size_t>(1, s.sample.bytes.size() / 40);
      armed_ = false;
      const auto [written, clean_messages] = RunOver(files);
      const std::string& output = how == "in place" ? s.output_name : beside_output;
      DiagnosticCapture quiet;
      const auto rewritten = testing::Rewrite(s.kind, input);
      ASSERT_TRUE(rewritten.has_value());
      ASSERT_EQ(written.at(output), *rewritten) << "the run did not write the output to begin with";
      // The writes of the first output; later outputs may follow in the run.
      const int writes = static_cast<int>((rewritten->size() + faults_.chunk - 1) / faults_.chunk);

      std::vector<std::pair<std::string, std::function<void(testing::StoreFaults&)>>> faults;
      for (int n = 0; n < writes; ++n) {
        faults.emplace_back("write " + std::to_string(n), [n](auto& f) { f.FailAt(StoreStep::kWrite, n); });
      }
      faults.emplace_back("close", [](auto& f) { f.FailAt(StoreStep::kClose, 0); });
      faults.emplace_back("rename", [](auto& f) { f.FailAt(StoreStep::kRename, 0); });
      faults.emplace_back("open", [](auto& f) { f.FailAt(StoreStep::kOpen, 0); });
      for (const auto& [what, arm] : faults) {
        SCOPED_TRACE(what);
        armed_ = true;
        arm_ = arm;
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
