#include "driver/diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

TEST(Diagnostics, MessagesOfAnyLengthReachTheSinkWholeOrEmptyWhenTheyCannotBeFormatted) {
  // A wide character without a narrow form fails the conversion: the
  // message must not carry the previous one or half of itself.
  DiagnosticCapture captured;
  Report("before\n");
  Report("%ls", L"\xdfff");
  Report("Can't open %s!\n", std::string(5000, 'n').c_str());
  ASSERT_EQ(captured.messages().size(), 3u);
  EXPECT_EQ(captured.messages()[1], "");
  EXPECT_EQ(captured.messages()[2], "Can't open " + std::string(5000, 'n') + "!\n");
  {
    const DiagnosticCapture silence(DiagnosticCapture::kDiscard);
    Report("gone\n");
    PrintMismatch("I: %d S: %d\n", 1, 2);
  }
  Report("after\n");
  EXPECT_EQ(captured.last_message(), "after\n");
  EXPECT_EQ(captured.entries().size(), 4u);
}

TEST(Diagnostics, AMismatchLineLongerThanItsBufferIsCutNotOverrun) {
  DiagnosticCapture captured;
  PrintMismatch("%s", std::string(300, 'x').c_str());
  EXPECT_EQ(captured.mismatches(), std::string(255, 'x'));
}

}  // namespace
}  // namespace railfmt
