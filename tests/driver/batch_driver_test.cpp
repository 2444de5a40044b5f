#include "driver/batch_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "tests/support/run_program.h"
#include "tests/support/sample_files.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {
using testing::RunProgram;
using testing::ScratchDir;

TEST(BatchDriver, VisitsASortedSnapshotWithoutSkippedNames) {
  ScratchDir dir;
  for (const char* name : {"b.mod", "Foo.EXE", "foo.exe", ".hidden", "A.rol", "a.kon", "foo.exe.bak", "exe"}) {
    dir.Write(name, {1});
  }
  const std::vector<std::string> expected = {"a.kon", "A.rol", "b.mod", "exe", "foo.exe.bak"};
  EXPECT_EQ(testing::EntriesHere(), expected);
}

// A run visits the names it found when it started, each with the content it
// has when its turn comes: a.bak (a model) is visited before a.mod and
// replaces it, so a.mod is then read with the model's bytes and rewritten in
// place; b.mod, which the run creates, was not there at the start and is
// never visited, so its writing prints no second round of mismatch lines.
TEST(BatchDriver, VisitsTheSnapshotWithTheContentEachNameHasAtItsTurn) {
  std::vector<std::uint8_t> model;
  for (const SampleFile& sample : MakeSampleFiles()) {
    if (sample.name == "reordered.bak") model = sample.bytes;
  }
  ASSERT_FALSE(model.empty());
  std::string one_attempt;
  {
    DiagnosticCapture captured;
    ASSERT_TRUE(RecogniseEntry("x", model).has_value());
    one_attempt = captured.mismatches();
  }
  ScratchDir dir;
  dir.Write("a.bak", model);
  dir.Write("a.mod", {'j', 'u', 'n', 'k'});
  dir.Write("b.bak", model);
  const testing::ProgramRun run = RunProgram({RAILFMT_BINARY});
  EXPECT_EQ(run.status, 0);
  const std::string out = testing::WithUnixLineEnds(run.out);
  // a.bak, a.mod (now the canonical model) and b.bak each take one attempt
  // at rolling stock before they read as models.
  std::string canonical_attempt;
  {
    DiagnosticCapture captured;
    ASSERT_TRUE(RecogniseEntry("a.mod", dir.Read("a.mod")).has_value());
    canonical_attempt = captured.mismatches();
  }
  EXPECT_EQ(out, one_attempt + canonical_attempt + one_attempt);
  EXPECT_EQ(dir.Read("a.bak"), model);
  EXPECT_EQ(dir.Read("b.mod"), dir.Read("a.mod"));
  EXPECT_NE(dir.Read("a.mod"), model) << "the sample is not canonical";
}

TEST(BatchDriver, TheToolPrintsNothingForAnEmptyDirectoryAndExitsZero) {
  ScratchDir dir;
  const testing::ProgramRun run = RunProgram({RAILFMT_BINARY, "ignored", "arguments", "--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(dir.Snapshot().empty());
}

}  // namespace
}  // namespace railfmt
