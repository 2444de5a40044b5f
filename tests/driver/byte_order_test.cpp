#include "driver/byte_order.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include <cmath>
#include <limits>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {
namespace {

TEST(ByteOrder, StoresLeastSignificantByteFirst) {
  std::uint8_t b[8] = {};
  StoreLE32(b, 0x04030201u);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[1], 2);
  EXPECT_EQ(b[2], 3);
  EXPECT_EQ(b[3], 4);
  EXPECT_EQ(LoadLE32(b), 0x04030201u);
  StoreLE16(b, 0x8001);
  EXPECT_EQ(b[0], 0x01);
  EXPECT_EQ(b[1], 0x80);
  StoreLE64(b, 0x0807060504030201ull);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(b[i], i + 1);
  EXPECT_EQ(LoadLE64(b), 0x0807060504030201ull);
}

TEST(ByteOrder, FloatsKeepTheirBitPatterns) {
  std::uint8_t b[8] = {};
  StoreLEFloat(b, 1.0f);
  EXPECT_EQ(b[3], 0x3F);
  EXPECT_EQ(b[2], 0x80);
  StoreLE32(b, 0x7FC12345u);  // a NaN with a payload
  const float nan = LoadLEFloat(b);
  EXPECT_TRUE(std::isnan(nan));
  std::uint8_t c[4] = {};
  StoreLEFloat(c, nan);
  EXPECT_EQ(LoadLE32(c), 0x7FC12345u);
  StoreLEDouble(b, -0.0);
  EXPECT_EQ(b[7], 0x80);
}

TEST(ReadCursor, ShortDataIsStickyAndConsumesNothing) {
  const std::uint8_t data[] = {1, 2, 3};
  ReadCursor in(data);
  std::uint16_t v = 0;
  ASSERT_TRUE(in.ReadU16(v));
  EXPECT_EQ(v, 0x0201);
  std::uint32_t w = 77;
  EXPECT_FALSE(in.ReadU32(w));
  EXPECT_EQ(w, 77u);
  EXPECT_EQ(in.offset(), 2u);
  EXPECT_TRUE(in.is_short());
  std::uint8_t byte = 0;
  EXPECT_FALSE(in.ReadU8(byte)) << "a byte remains, but shortness is sticky";
  EXPECT_FALSE(in.at_end());
}

TEST(ByteWriter, MirrorsTheCursor) {
  ByteWriter out;
  out.U8(0xAB);
  out.I16(-2);
  out.I32(-3);
  out.U64(0x1122334455667788ull);
  out.Float(2.5f);
  out.Double(-1.25);
  EXPECT_EQ(out.size(), 1u + 2 + 4 + 8 + 4 + 8);
  ReadCursor in(out.bytes());
  std::uint8_t a = 0;
  std::int16_t b = 0;
  std::int32_t c = 0;
  std::uint64_t d = 0;
  float e = 0;
  double f = 0;
  ASSERT_TRUE(in.ReadU8(a) && in.ReadI16(b) && in.ReadI32(c) && in.ReadU64(d) && in.ReadFloat(e) && in.ReadDouble(f));
  EXPECT_EQ(a, 0xAB);
  EXPECT_EQ(b, -2);
  EXPECT_EQ(c, -3);
  EXPECT_EQ(d, 0x1122334455667788ull);
  EXPECT_EQ(e, 2.5f);
  EXPECT_EQ(f, -1.25);
  EXPECT_TRUE(in.at_end());
}

TEST(ByteWriter, KeepsEveryByteAcrossGrowthLookingAndTaking) {
  // Fields of every width across many doublings of the buffer, with the
  // bytes looked at and taken in between; each step must show exactly the
  // bytes written since the last Take.
  std::vector<std::uint8_t> expected;
  ByteWriter out;
  const std::string_view text = "CObPunkt";
  for (std::uint32_t i = 0; i < 5000; ++i) {
    switch (i % 5) {
      case 0:
        out.U8(static_cast<std::uint8_t>(i));
        expected.push_back(static_cast<std::uint8_t>(i));
        break;
      case 1:
        out.U16(static_cast<std::uint16_t>(i));
        expected.insert(expected.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)});
        break;
      case 2:
        out.U32((i & 0xFFu) * 0x01010101u);
        for (int k = 0; k < 4; ++k) expected.push_back(static_cast<std::uint8_t>(i));
        break;
      case 3:
        out.Chars(text.substr(0, i % 9));
        expected.insert(expected.end(), text.begin(), text.begin() + i % 9);
        break;
      default:
        out.Bytes(std::vector<std::uint8_t>(i % 300, static_cast<std::uint8_t>(i)));
        expected.insert(expected.end(), i % 300, static_cast<std::uint8_t>(i));
    }
    if (i % 997 == 0) {
      ASSERT_EQ(out.bytes(), expected) << i;
    }
    if (i % 2003 == 2002) {
      ASSERT_EQ(out.Take(), expected) << i;
      expected.clear();
      EXPECT_EQ(out.size(), 0u);
    }
  }
  EXPECT_EQ(out.size(), expected.size());
  EXPECT_EQ(out.bytes(), expected);
  out.Reserve(1 << 16);
  EXPECT_EQ(out.bytes(), expected) << "room made ahead is not output";
}

}  // namespace
}  // namespace railfmt
