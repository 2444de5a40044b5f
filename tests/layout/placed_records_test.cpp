#include "layout/placed_records.h"

#include <gtest/gtest.h>

#include <bit>

#include "driver/byte_order.h"
#include "driver/diagnostics.h"
#include "tests/layout/layout_builders.h"

namespace railfmt {
namespace {
using testing::MakeModel;
using testing::MakeVehicle;

std::vector<std::uint8_t> ModelBytes(const CAnlagenModell& m) {
  ByteWriter out;
  WritePlacedModel(out, m);
  return out.Take();
}

std::vector<std::uint8_t> VehicleBytes(const CAnlagenRollmaterial& r) {
  ByteWriter out;
  WriteRollmaterialEntry(out, r);
  return out.Take();
}

TEST(PlacedModel, RecordIs36PlusTwiceTheNameAndRoundTrips) {
  for (std::size_t length : {0u, 1u, 30u, 255u}) {
    CAnlagenModell m = MakeModel(-5, std::string(length, 'm'), {1, -2, 3}, {0.5f, -0.25f, 4.0f});
    m.ValueA = 0xCAFEBABEu;
    m.ValueB = 7;
    const std::vector<std::uint8_t> bytes = ModelBytes(m);
    EXPECT_EQ(bytes.size(), 36 + 2 * length);
    ReadCursor in(bytes);
    CAnlagenModell read;
    ASSERT_EQ(ReadPlacedModel(in, read), 1);
    EXPECT_TRUE(in.at_end());
    EXPECT_EQ(read.Number, -5);
    EXPECT_EQ(read.Name, m.Name);
    EXPECT_EQ(read.Position, m.Position);
    EXPECT_EQ(read.Direction, m.Direction);
    EXPECT_EQ(read.ValueA, 0xCAFEBABEu);
    EXPECT_EQ(read.ValueB, 7u);
  }
}

TEST(PlacedModel, SecondDirectionComponentIsStoredNegated) {
  constexpr std::size_t kSecondComponent = 2 + 2 + 12 + 4;  // name "x"
  const struct {
    std::uint32_t file_bits;
    float in_memory;
  } cases[] = {{std::bit_cast<std::uint32_t>(0.25f), -0.25f},
               {0x00000000u, -0.0f},
               {0x80000000u, 0.0f},
               {0x7FC01234u, std::bit_cast<float>(0xFFC01234u)}};
  for (const auto& c : cases) {
    std::vector<std::uint8_t> bytes = ModelBytes(MakeModel(1, "x", {}, {}));
    StoreLE32(&bytes[kSecondComponent], c.file_bits);
    ReadCursor in(bytes);
    CAnlagenModell read;
    ASSERT_EQ(ReadPlacedModel(in, read), 1);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(read.Direction[1]), std::bit_cast<std::uint32_t>(c.in_memory));
    EXPECT_EQ(ModelBytes(read), bytes) << "written back with the file's bits";
  }
}

TEST(PlacedModel, RepeatedNameMustMatch) {
  const struct {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
  } cases[] = {
      {"length differs", 2 + 4 + 24, 2}, {"a byte differs", 2 + 4 + 24 + 2, 'Y'}, {"zero byte in both copies", 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = ModelBytes(MakeModel(9, "abc", {}, {}));
    if (c.offset != 0) {
      bytes[c.offset] = c.value;
    } else {
      bytes[4] = 0;
      bytes[2 + 4 + 24 + 2] = 0;
    }
    DiagnosticCapture captured;
    ReadCursor in(bytes);
    CAnlagenModell read;
    EXPECT_EQ(ReadPlacedModel(in, read), 0);
    EXPECT_EQ(read.Number, 9);
    EXPECT_EQ(captured.mismatches(), "");
  }
}

TEST(Vehicle, RecordIs61PlusTwiceTheNamePlusTheSecondNameAndRoundTrips) {
  CAnlagenRollmaterial r = MakeVehicle(7, "Lok.rol");
  r.SecondName = "Baureihe 01";
  for (std::size_t i = 0; i < r.Values.size(); ++i) r.Values[i] = static_cast<std::uint32_t>(i * 0x01010101u);
  r.Byte1 = 0x11;
  r.Byte2 = 0x22;
  r.Word1 = 0x3344;
  r.Byte3 = 0x55;
  r.Word2 = 0x6677;
  r.Byte4 = 0x88;
  const std::vector<std::uint8_t> bytes = VehicleBytes(r);
  EXPECT_EQ(bytes.size(), 61u + 2 * 7 + 11);
  ReadCursor in(bytes);
  CAnlagenRollmaterial read;
  ASSERT_EQ(ReadRollmaterialEntry(in, read), 1);
  EXPECT_TRUE(in.at_end());
  EXPECT_EQ(VehicleBytes(read), bytes);
  EXPECT_EQ(read.SecondName, "Baureihe 01");
  EXPECT_EQ(read.Values, r.Values);
  EXPECT_EQ(read.Word2, 0x6677);
}

TEST(Vehicle, RepeatedFieldsAndZeroByteAreChecked) {
  // Name "ab" (L1 2), second name "zweiter" (L2 7).
  constexpr std::size_t kRepeatedNumber = 2 + 3;
  constexpr std::size_t kByte2 = kRepeatedNumber + 2 + 8 + 44 + 1;
  constexpr std::size_t kZero = kByte2 + 1;
  constexpr std::size_t kRepeatedName = kZero + 1;
  constexpr std::size_t kRepeatedByte2 = kRepeatedName + 3;
  const struct {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
    const char* mismatch;
  } cases[] = {
      {"repeated number 8 for 7", kRepeatedNumber, 8, "I: 8 S: 7\n"},
      {"zero byte 1", kZero, 1, "I: 1 S: 0\n"},
      {"repeated name of another length", kRepeatedName, 1, ""},
      {"repeated name with another byte", kRepeatedName + 2, 'c', ""},
      {"repeated Byte2", kRepeatedByte2, 9, "I: 9 S: 2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = VehicleBytes(MakeVehicle(7, "ab"));
    bytes[c.offset] = c.value;
    DiagnosticCapture captured;
    ReadCursor in(bytes);
    CAnlagenRollmaterial read;
    EXPECT_EQ(ReadRollmaterialEntry(in, read), 0);
    EXPECT_EQ(captured.mismatches(), c.mismatch);
    EXPECT_TRUE(captured.messages().empty());
  }
}

}  // namespace
}  // namespace railfmt
