#include "driver/diagnostics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

TEST(Diagnostics, AMessageThatCannotBeFormattedLeavesAnEmptyBuffer) {
  // A wide character without a narrow form fails the conversion: the
  // buffer must not keep the previous message or half of this one.
  DiagnosticCapture captured;
  FormatMessage("before\n");
  FormatMessage("%ls", L"\xdfff");
  EXPECT_EQ(MessageBuffer(), "");
}

TEST(Diagnostics, AMismatchLineLongerThanItsBufferIsCutNotOverrun) {
  DiagnosticCapture captured;
  PrintMismatch("%s", std::string(300, 'x').c_str());
  EXPECT_EQ(captured.mismatches(), std::string(255, 'x'));
}

TEST(Diagnostics, AMismatchLineEndsInTheLineEndOfStandardOutput) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  WriteLine(out, "I: 1 S: 0\n", "\r\n");
  WriteLine(out, "I: 2 S: 0\n", "\n");
  WriteLine(out, "cut off", "\r\n");  // a line cut short has no end to change
  std::rewind(out);
  char text[64] = {};
  EXPECT_EQ(std::fread(text, 1, sizeof text, out), 28u);
  EXPECT_STREQ(text, "I: 1 S: 0\r\nI: 2 S: 0\ncut off");
  std::fclose(out);
}

}  // namespace
}  // namespace railfmt
