#include "rollingstock/roll_info.h"

#include "rollingstock/rolling_stock_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace railfmt {
namespace {

// An info block with the given raw name bytes and values 1..9 replaced by
// the given bit patterns.
std::vector<std::uint8_t> InfoBytes(const std::string& raw_name, const std::uint32_t (&values)[9]) {
  ByteWriter out;
  for (int i = 0; i < 3; ++i) out.U32(values[i]);
  out.U8(static_cast<std::uint8_t>(raw_name.size()));
  out.Chars(raw_name);
  for (int i = 3; i < 9; ++i) out.U32(values[i]);
  return out.Take();
}

constexpr std::uint32_t kPatterns[9] = {0x7FC00000u,  // quiet NaN
                                        0x7F800001u,  // signalling NaN
                                        0xFFC12345u,  // negative NaN with a payload
                                        0x7F800000u,  // infinity
                                        0x80000000u,  // negative zero
                                        0x00000001u,  // smallest denormal
                                        0x3F800000u,  // 1.0
                                        0xFFFFFFFFu,  // NaN, all bits set
                                        0x12345678u};

// The nine values come back bit for bit; the name is cut at a zero byte and
// written back shorter; an empty name is present, and an absent one is
// written as an empty one.
TEST(RollInfo, ValuesBitForBitAndNamesCutAtAZeroByte) {
  const struct {
    std::string stored;
    const char* read;
  } cases[] = {{"V200", "V200"}, {std::string("Lok\0abc", 7), "Lok"}, {"", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.read);
    const std::vector<std::uint8_t> bytes = InfoBytes(c.stored, kPatterns);
    ReadCursor in(bytes);
    CRollInfo info;
    ASSERT_TRUE(ReadRollInfo(info, in));
    EXPECT_TRUE(in.at_end());
    const std::uint32_t values[9] = {info.Value1, info.Value2, info.Value3, info.Value4, info.Value5,
                                     info.Value6, info.Value7, info.Value8, info.Value9};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(values[i], kPatterns[i]) << "Value" << i + 1;
    EXPECT_EQ(info.Name, c.read);
    ByteWriter out;
    WriteRollInfo(info, out);
    EXPECT_EQ(out.bytes(), InfoBytes(c.read, kPatterns));
  }
  CRollInfo absent;
  ByteWriter out;
  WriteRollInfo(absent, out);
  EXPECT_EQ(out.size(), rollingstock::kInfoFixedSize);
}

// A block cut anywhere fails; the name is taken only once it is there in
// full.
TEST(RollInfo, ShortBlockFailsAndTakesTheNameOnlyInFull) {
  const std::vector<std::uint8_t> bytes = InfoBytes("Wagen", kPatterns);
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    ReadCursor in{std::span<const std::uint8_t>(bytes).first(length)};
    CRollInfo info;
    EXPECT_FALSE(ReadRollInfo(info, in)) << length;
    EXPECT_EQ(info.Name.has_value(), length >= 3 * 4 + 1 + 5) << length;
  }
}

}  // namespace
}  // namespace railfmt
