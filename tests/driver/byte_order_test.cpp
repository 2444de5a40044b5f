#include "driver/byte_order.h"

#include <gtest/gtest.h>

#include "driver/byte_cursor.h"

namespace railfmt {
namespace {

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

}  // namespace
}  // namespace railfmt
