#include "construction/line_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace railfmt {
namespace {

CLinie SampleLine() {
  CLinie line;
  line.Values = {0x04030201u, 0x7FC00001u, 0xFFFFFFFFu, 0x80000000u};
  line.Extra = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7};
  return line;
}

TEST(LineRecord, FourValuesThenTheEightByteBlockReadBackEveryBit) {
  ByteWriter out;
  WriteLineRecord(SampleLine(), out);
  const std::vector<std::uint8_t> expected = {0x01, 0x02, 0x03, 0x04, 0x01, 0x00, 0xC0, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0x00, 0x00, 0x00, 0x80, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7};
  ASSERT_EQ(out.size(), construction::kLineRecordSize);
  EXPECT_EQ(out.bytes(), expected);
  out.U8(0x55);
  ReadCursor in(out.bytes());
  CLinie line;
  ASSERT_TRUE(ReadLineRecord(line, in));
  EXPECT_EQ(line, SampleLine());
  EXPECT_EQ(in.offset(), construction::kLineRecordSize);
}

TEST(LineRecord, ShortRecordConsumesNothingAndKeepsTheRecord) {
  ByteWriter out;
  WriteLineRecord(SampleLine(), out);
  for (std::size_t length = 0; length < construction::kLineRecordSize; ++length) {
    SCOPED_TRACE(length);
    ReadCursor in(std::span(out.bytes()).first(length));
    CLinie line;
    EXPECT_FALSE(ReadLineRecord(line, in));
    EXPECT_EQ(line, CLinie());
    EXPECT_EQ(in.offset(), 0u);
    EXPECT_TRUE(in.is_short());
  }
}

}  // namespace
}  // namespace railfmt
