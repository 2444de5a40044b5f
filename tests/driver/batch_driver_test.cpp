#include "driver/batch_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/memory_directory.h"
#include "tests/support/kind_samples.h"

namespace railfmt {

// A rolling stock whose stored name makes no plain file name is not
// written: the batch says so as of an output it cannot open, and keeps the
// reason for the inspector.
TEST(BatchRun, AnOutputNameTheFileMustNotMakeIsReportedAndNothingIsWritten) {
  for (const std::string stored : {"", "../out", ".versteckt"}) {
    SCOPED_TRACE(stored);
    MemoryDirectory directory;
    directory.Add("r.bin", testing::RollingStockNamed(stored));
    DiagnosticCapture captured;
    BatchRun run(directory);
    const EntryVisit& visit = run.Step();
    EXPECT_NE(visit.refused_why, nullptr);
    EXPECT_FALSE(visit.stored.has_value());
    EXPECT_EQ(captured.messages(), std::vector<std::string>{"Can't open " + stored + "!\n"});
    EXPECT_TRUE(directory.written().empty());
  }
}

}  // namespace railfmt
