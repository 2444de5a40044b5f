// Fault injection end to end: a whole batch run over a real sample of every
// kind, with the output layer's N-th write (for every N the sample's output
// takes), its close, its rename or its open failing. The existing output,
// the input itself when it is rewritten in place, must stay byte-identical,
// no temporary may be left, and the failure must reach the sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
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

// A directory: entry name -> content.
using Files = std::map<std::string, std::vector<std::uint8_t>>;

class OutputFaultsTest : public ::testing::Test {
 protected:
  struct Run {
    Files after;
    std::vector<std::string> messages;
  };
  // Runs the batch over a directory of these files with the fault arm sets.
  Run RunOver(const Files& files, const std::function<void(testing::StoreFaults&)>& arm = nullptr) {
    dir_.Clear();
    for (const auto& [name, bytes] : files) dir_.Write(name, bytes);
    DiagnosticCapture captured;
    faults_.Reset();
    if (arm) arm(faults_);
    RunBatch(*OpenDirectory(".", faults_.Hook()));
    return {dir_.Snapshot(), captured.messages()};
  }

  ScratchDir dir_;
  testing::StoreFaults faults_;
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
    struct Layout {
      const char* how;
      Files files;
      std::string output;
    };
    const Layout layouts[] = {
        {"in place", {{s.output_name, input}}, s.output_name},
        {"beside", {{beside_name, input}, {beside_output, {'o', 'l', 'd'}}}, beside_output},
    };
    for (const Layout& layout : layouts) {
      SCOPED_TRACE(s.sample.name + ", " + layout.how);
      // Without a fault the run replaces the output: the faults below
      // therefore stop a real replacement.
      faults_.chunk = std::max<std::size_t>(1, s.sample.bytes.size() / 40);
      const Run clean = RunOver(layout.files);
      DiagnosticCapture quiet;
      const auto rewritten = testing::Rewrite(s.kind, input);
      ASSERT_TRUE(rewritten.has_value());
      ASSERT_EQ(clean.after.at(layout.output), *rewritten) << "the run did not write the output to begin with";
      // The writes of the first output; later outputs may follow in the run.
      const int writes = static_cast<int>((rewritten->size() + faults_.chunk - 1) / faults_.chunk);

      struct Fault {
        std::string step;
        std::function<void(testing::StoreFaults&)> arm;
      };
      std::vector<Fault> faults;
      for (int n = 0; n < writes; ++n) {
        faults.push_back({"write " + std::to_string(n), [n](auto& f) { f.FailAt(StoreStep::kWrite, n); }});
      }
      faults.push_back({"close", [](auto& f) { f.FailAt(StoreStep::kClose, 0); }});
      faults.push_back({"rename", [](auto& f) { f.FailAt(StoreStep::kRename, 0); }});
      faults.push_back({"open", [](auto& f) { f.FailAt(StoreStep::kOpen, 0); }});
      for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.step);
        const Run run = RunOver(layout.files, fault.arm);
        EXPECT_EQ(run.after, layout.files);
        const std::string expected = (fault.step == "open" ? "Can't open " : "Can't write ") + layout.output + "!\n";
        EXPECT_NE(std::find(run.messages.begin(), run.messages.end(), expected), run.messages.end())
            << "no " << expected;
        ++scenarios;
        if (HasFailure()) return;
      }
    }
  }
  std::printf("output faults: %d failing calls injected over %zu samples\n", scenarios, samples.size());
}

}  // namespace
}  // namespace railfmt
