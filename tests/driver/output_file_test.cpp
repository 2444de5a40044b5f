#include "driver/directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/store_faults.h"

namespace railfmt {
namespace {
using testing::ScratchDir;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override { faults_.chunk = 3; }
  // Stores through the faults' hook; true when the bytes were stored.
  bool Store(const std::string& name, const std::vector<std::uint8_t>& bytes, const LoadedEntry* source = nullptr) {
    const StoreOutcome outcome = directory_->Store(name, bytes, source);
    return outcome != StoreOutcome::kRefused && outcome != StoreOutcome::kFailed;
  }

  ScratchDir dir_;
  testing::StoreFaults faults_;
  std::unique_ptr<Directory> directory_ = OpenDirectory(".", faults_.Hook());
  const std::vector<std::uint8_t> old_ = {'o', 'l', 'd'};
  const std::vector<std::uint8_t> new_ = std::vector<std::uint8_t>(20, 'n');
};

TEST_F(OutputFileTest, AFailedWriteOverTheSameBytesLeavesThemAndIsReported) {
  dir_.Write("same.mod", new_);
  faults_.Reset();
  ASSERT_TRUE(Store("same.mod", new_));
  const int writes = faults_.Count(StoreStep::kWrite);
  ASSERT_GT(writes, 1);
  for (int n = 0; n < writes; ++n) {
    SCOPED_TRACE(n);
    faults_.Reset();
    faults_.FailAt(StoreStep::kWrite, n);
    DiagnosticCapture captured;
    EXPECT_FALSE(Store("same.mod", new_));
    EXPECT_EQ(dir_.Read("same.mod"), new_);
    EXPECT_EQ(dir_.Snapshot().size(), 1u);
    EXPECT_EQ(captured.messages(), std::vector<std::string>{"Can't write same.mod!\n"});
  }
  faults_.Reset();
  faults_.FailAt(StoreStep::kClose, 0);
  DiagnosticCapture captured;
  EXPECT_FALSE(Store("same.mod", new_));
  EXPECT_EQ(dir_.Read("same.mod"), new_);
  EXPECT_EQ(captured.last_message(), "Can't write same.mod!\n");
}

}  // namespace
}  // namespace railfmt
