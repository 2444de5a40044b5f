#include "driver/diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace railfmt {
namespace {

TEST(Diagnostics, MessagesOfAnyLengthReachTheSinkWholeOrEmptyWhenTheyCannotBeFormatted) {
  // A wide character without a narrow form fails the conversion: the
  // message must not carry the previous one or half of itself.
  DiagnosticCapture captured;
  Report("before\n");
  Report("%ls", L"\xdfff");
  ASSERT_EQ(captured.messages().size(), 2u);
  EXPECT_EQ(captured.messages()[1], "");
  // Around the length where a message no longer fits the first buffer.
  for (const std::size_t length : {255u, 256u, 257u, 5000u}) {
    const std::string text = "Can't open " + std::string(length - 13, 'n') + "!\n";
    Report("%s", text.c_str());
    EXPECT_EQ(captured.last_message(), text) << length;
  }
  {
    const DiagnosticCapture silence(DiagnosticCapture::kDiscard);
    Report("gone\n");
    PrintMismatch("I: %d S: %d\n", 1, 2);
  }
  Report("after\n");
  EXPECT_EQ(captured.last_message(), "after\n");
  EXPECT_EQ(captured.entries().size(), 7u);
}

TEST(Diagnostics, ACaptureKeepsBothChannelsInOrderUntilClearedAndMismatchLinesAreCutNotOverrun) {
  DiagnosticCapture captured;
  Report("first\n");
  PrintMismatch("I: %d S: %d\n", 1, 2);
  PrintMismatch("%s", std::string(300, 'x').c_str());
  Report("second\n");
  ASSERT_EQ(captured.entries().size(), 4u);
  EXPECT_TRUE(captured.entries()[1].is_mismatch && captured.entries()[1].text == "I: 1 S: 2\n");
  EXPECT_FALSE(captured.entries()[3].is_mismatch);
  EXPECT_EQ(captured.mismatches(), "I: 1 S: 2\n" + std::string(255, 'x'));
  captured.Clear();
  EXPECT_TRUE(captured.entries().empty() && captured.messages().empty() && captured.mismatches().empty());
}

}  // namespace
}  // namespace railfmt
