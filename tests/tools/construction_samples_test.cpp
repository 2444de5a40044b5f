#include "tests/support/construction_samples.h"

#include <gtest/gtest.h>

#include <string>

#include "construction/construction_drawing.h"
#include "driver/diagnostics.h"

namespace railfmt {
namespace {

// Every drawing sample is a valid drawing in canonical form: it reads
// without a message and is rewritten byte for byte.
TEST(ConstructionSamples, ReadCleanlyAndRewriteUnchanged) {
  int drawings = 0;
  for (const SampleFile& sample : MakeSampleFiles()) {
    if (!sample.name.ends_with(".kon")) continue;
    SCOPED_TRACE(sample.name);
    ++drawings;
    DiagnosticCapture captured;
    CKonstruktion drawing;
    ReadConstructionDrawing(drawing, sample.bytes, sample.name);
    ASSERT_EQ(drawing.ReadOk, 1) << captured.last_message();
    EXPECT_TRUE(captured.messages().empty());
    ByteWriter out;
    EncodeConstructionDrawing(drawing, out);
    EXPECT_EQ(out.bytes(), sample.bytes);
  }
  EXPECT_GE(drawings, 7);
}

}  // namespace
}  // namespace railfmt
