#include "driver/diagnostics.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace railfmt
