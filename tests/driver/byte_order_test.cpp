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

// The first fault is the one kept, with its field, bytes, values and the
// records it stood in; a later one does not replace it.
TEST(ReadCursor, TheFirstFaultIsKeptWithItsFieldBytesValuesAndRecords) {
  const std::uint8_t data[] = {1, 0, 7, 0};
  ReadCursor in(data);
  const auto section = in.Within("tracks");
  const auto record = in.Within("track", 2);
  in.Number(5);
  std::uint16_t value = 0;
  ASSERT_TRUE(in.Field("type").ReadU16(value));
  EXPECT_FALSE(in.Mismatch(value, 2));
  ASSERT_TRUE(in.Field("name length").ReadU16(value));
  EXPECT_FALSE(in.Reject(value));
  const FieldFault& fault = in.fault();
  EXPECT_EQ(fault.cause, FaultCause::kMismatch);
  EXPECT_STREQ(fault.field, "type");
  EXPECT_EQ(fault.begin, 0u);
  EXPECT_EQ(fault.end, 2u);
  EXPECT_TRUE(fault.has_values);
  EXPECT_EQ(fault.found, 1.0);
  EXPECT_EQ(fault.expected, 2.0);
  ASSERT_EQ(fault.depth(), 2u);
  EXPECT_STREQ(fault.places[0].record, "tracks");
  EXPECT_STREQ(fault.places[1].record, "track");
  EXPECT_EQ(fault.places[1].index, 2);
  EXPECT_EQ(fault.places[1].number, 5);
}

}  // namespace
}  // namespace railfmt
