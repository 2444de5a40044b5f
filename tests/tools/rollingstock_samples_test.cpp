#include "tests/support/rollingstock_samples.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

// Every rolling-stock sample reads without a message, is rewritten byte for
// byte, and is stored under the name its info block gives the output.
TEST(RollingStockSamples, ReadCleanlyAndRewriteInPlace) {
  int files = 0;
  bool empty_first = false;
  bool no_parts = false;
  for (const SampleFile& sample : MakeSampleFiles()) {
    if (!sample.name.ends_with(".rol")) continue;
    SCOPED_TRACE(sample.name);
    ++files;
    DiagnosticCapture captured;
    CRollmaterial record;
    ReadRollingStock(record, sample.bytes, sample.name);
    ASSERT_EQ(record.Complete, 1) << captured.last_message();
    EXPECT_TRUE(captured.messages().empty());
    EXPECT_EQ(record.Info.Name.value_or("") + ".rol", sample.name);
    const int with_parts =
        (record.Models[0].ElementCount > 0) + (record.Models[1].ElementCount > 0) + (record.Models[2].ElementCount > 0);
    empty_first = empty_first || (record.Models[0].ElementCount == 0 && with_parts > 0);
    no_parts = no_parts || with_parts == 0;
    ByteWriter out;
    EncodeRollingStock(record, out);
    EXPECT_EQ(out.bytes(), sample.bytes);
  }
  EXPECT_GE(files, 3);
  EXPECT_TRUE(empty_first);
  EXPECT_TRUE(no_parts);
}

}  // namespace
}  // namespace railfmt
