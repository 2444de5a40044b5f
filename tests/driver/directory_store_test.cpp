#include "driver/directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "tests/driver/directory_store_fixture.h"

namespace railfmt {
namespace {

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
