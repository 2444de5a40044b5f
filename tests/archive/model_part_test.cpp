#include "archive/model_part.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "driver/byte_order.h"
#include "driver/diagnostics.h"

namespace railfmt {
namespace {

CPunkt DistinctPoint(std::int32_t seed) {
  CPunkt p;
  p.X = seed;
  p.Y = -seed;
  p.Z = seed * 7;
  p.Aux = 0xA0A0A0A0u;
  p.Quad = {1u, 2u, 0xFFFFFFFFu, 4u};
  p.ByteA = 0x11;
  p.ByteB = 0x22;
  p.ByteC = 0x33;
  p.ByteD = 0x44;
  p.CodeValue = 5.7f;
  p.Aux2 = 0xB0B0B0B0u;
  p.Code = 99;
  return p;
}

CFormat DistinctFormat(std::uint32_t seed) {
  CFormat f;
  f.Values = {seed, seed + 1, seed + 2};
  f.Doubles = {0.5, -2.25, 1e300};
  f.Factors = {0.0f, -1.5f, 3.0f};
  return f;
}

TEST(ModelPart, PointRecordFieldsStandAtTheirOffsets) {
  ByteWriter out;
  WritePoint(DistinctPoint(1000), out);
  const std::vector<std::uint8_t>& b = out.bytes();
  ASSERT_EQ(b.size(), 48u);
  EXPECT_EQ(static_cast<std::int32_t>(LoadLE32(&b[0])), 1000);
  EXPECT_EQ(static_cast<std::int32_t>(LoadLE32(&b[4])), -1000);
  EXPECT_EQ(static_cast<std::int32_t>(LoadLE32(&b[8])), 7000);
  EXPECT_EQ(LoadLE32(&b[12]), 0xA0A0A0A0u);
  EXPECT_EQ(LoadLE32(&b[24]), 0xFFFFFFFFu);
  EXPECT_EQ(b[32], 0x11);
  EXPECT_EQ(b[33], 0x22);
  EXPECT_EQ(b[34], 0x33);
  EXPECT_EQ(b[35], 0x44);
  EXPECT_EQ(LoadLEFloat(&b[36]), 5.7f);
  EXPECT_EQ(LoadLE32(&b[40]), 0xB0B0B0B0u);
  EXPECT_EQ(static_cast<std::int32_t>(LoadLE32(&b[44])), 99);
}

TEST(ModelPart, FormatRecordFieldsStandAtTheirOffsets) {
  ByteWriter out;
  WriteFormat(DistinctFormat(7), out);
  const std::vector<std::uint8_t>& b = out.bytes();
  ASSERT_EQ(b.size(), 48u);
  EXPECT_EQ(LoadLE32(&b[8]), 9u);
  EXPECT_EQ(LoadLEDouble(&b[12]), 0.5);
  EXPECT_EQ(LoadLEDouble(&b[28]), 1e300);
  EXPECT_EQ(LoadLEFloat(&b[40]), -1.5f);
  EXPECT_EQ(LoadLEFloat(&b[44]), 3.0f);
}

TEST(ModelPart, RecordsComeBackBitForBitNanPatternsIncluded) {
  CPunkt point = DistinctPoint(-5);
  point.CodeValue = std::bit_cast<float>(0x7FC12345u);
  CFormat format = DistinctFormat(1);
  format.Doubles[1] = std::bit_cast<double>(0x7FF8000000ABCDEFull);
  format.Factors[2] = std::bit_cast<float>(0xFFC00001u);
  ByteWriter out;
  WritePoint(point, out);
  WriteFormat(format, out);
  ReadCursor in(out.bytes());
  CPunkt point_back;
  CFormat format_back;
  ASSERT_TRUE(ReadPoint(point_back, in));
  ASSERT_TRUE(ReadFormat(format_back, in));
  ByteWriter again;
  WritePoint(point_back, again);
  WriteFormat(format_back, again);
  EXPECT_EQ(again.bytes(), out.bytes());
  EXPECT_EQ(format_back.Factors[0], 0.0f);  // the stored 0.0 replaces the default 1.0
  EXPECT_TRUE(in.at_end());
}

TEST(ModelPart, ListsCarryTheSeparatorBetweenRecordsOnly) {
  struct Case {
    std::size_t points, formats, point_bytes, format_bytes;
  };
  for (const Case& c : {Case{0, 0, 0, 0}, Case{1, 1, 48, 48}, Case{3, 3, 148, 148}, Case{2, 0, 98, 0}}) {
    SCOPED_TRACE(c.points);
    CModellTeil part;
    part.SetPoints(std::vector<CPunkt>(c.points, DistinctPoint(3)));
    part.SetFormats(std::vector<CFormat>(c.formats, DistinctFormat(3)));
    ByteWriter points;
    part.WritePoints(points, 0x8003);
    ByteWriter formats;
    part.WriteFormats(formats, 0x801E);
    ASSERT_EQ(points.size(), c.point_bytes);
    ASSERT_EQ(formats.size(), c.format_bytes);
    for (std::size_t i = 1; i < c.points; ++i) EXPECT_EQ(LoadLE16(&points.bytes()[i * 50 - 2]), 0x8003);
    for (std::size_t i = 1; i < c.formats; ++i) EXPECT_EQ(LoadLE16(&formats.bytes()[i * 50 - 2]), 0x801E);

    CModellTeil back;
    back.PointCount = part.PointCount;
    ReadCursor point_in(points.bytes());
    ASSERT_EQ(back.ReadPoints(point_in, 0x8003), 1);
    ReadCursor format_in(formats.bytes());
    ASSERT_EQ(back.ReadFormats(format_in, part.FormatCount, 0x801E), 1);
    EXPECT_TRUE(point_in.at_end());
    EXPECT_TRUE(format_in.at_end());
    EXPECT_EQ(back, part);
  }
}

TEST(ModelPart, CountsOfZeroOrLessReadNothing) {
  const std::vector<std::uint8_t> bytes(48, 0);
  for (std::int16_t count : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{-32768}}) {
    DiagnosticCapture captured;
    CModellTeil part;
    part.PointCount = count;
    ReadCursor in(bytes);
    EXPECT_EQ(part.ReadPoints(in, 0x8003), 1);
    EXPECT_EQ(part.ReadFormats(in, count, 0x801E), 1);
    EXPECT_EQ(part.FormatCount, count);
    EXPECT_EQ(in.offset(), 0u);
    EXPECT_TRUE(captured.messages().empty());
  }
}

TEST(ModelPart, WrongSeparatorsReportTheirListsMessages) {
  CModellTeil part;
  part.SetPoints({DistinctPoint(1), DistinctPoint(2), DistinctPoint(3)});
  part.SetFormats({DistinctFormat(1), DistinctFormat(2)});
  ByteWriter points;
  part.WritePoints(points, 0x8001);  // a construction drawing's point tag, not a model's
  ByteWriter formats;
  part.WriteFormats(formats, 0x801F);

  DiagnosticCapture captured;
  CModellTeil back;
  back.PointCount = 3;
  ReadCursor point_in(points.bytes());
  EXPECT_EQ(back.ReadPoints(point_in, 0x8003), 0);
  EXPECT_EQ(captured.mismatches(), "I: -32767 S: -32765\n");
  EXPECT_EQ(captured.messages(), std::vector<std::string>{"Formatfehler 12!\n"});
  ASSERT_EQ(back.Points.size(), 1u);  // what was read before the fault stays
  EXPECT_EQ(back.Points[0], part.Points[0]);

  captured.Clear();
  ReadCursor format_in(formats.bytes());
  EXPECT_EQ(back.ReadFormats(format_in, 2, 0x801E), 0);
  EXPECT_EQ(captured.mismatches(), "I: -32737 S: -32738\n");
  EXPECT_EQ(captured.messages(), std::vector<std::string>{"Falscher Trenner2: ffff801e!\n"});
}

TEST(ModelPart, TruncatedListsAreNeverAccepted) {
  CModellTeil part;
  part.SetPoints({DistinctPoint(1), DistinctPoint(2)});
  part.SetFormats({DistinctFormat(1), DistinctFormat(2)});
  ByteWriter points;
  part.WritePoints(points, 0x8003);
  ByteWriter formats;
  part.WriteFormats(formats, 0x8010);
  for (std::size_t length = 0; length < points.size(); ++length) {
    SCOPED_TRACE(length);
    const bool in_separator = length == 48 || length == 49;
    DiagnosticCapture captured;
    CModellTeil back;
    back.PointCount = 2;
    std::span<const std::uint8_t> cut(points.bytes().data(), length);
    ReadCursor point_in(cut);
    EXPECT_EQ(back.ReadPoints(point_in, 0x8003), 0);
    EXPECT_EQ(captured.messages(), std::vector<std::string>{in_separator ? "Formatfehler 12!\n" : "Formatfehler!\n"});
    EXPECT_EQ(captured.mismatches(), "");

    captured.Clear();
    std::span<const std::uint8_t> cut_formats(formats.bytes().data(), length);
    ReadCursor format_in(cut_formats);
    EXPECT_EQ(back.ReadFormats(format_in, 2, 0x8010), 0);
    EXPECT_EQ(captured.messages(),
              std::vector<std::string>{in_separator ? "Falscher Trenner2: ffff8010!\n" : "Formatfehler!\n"});
  }
}

TEST(ModelPart, PrimitiveObjectCountCountsMarkersVerticesAndPolygonEnds) {
  CModellTeil part;
  EXPECT_EQ(part.PrimitiveObjectCount(), 6);
  part.SetPrimitives({MakePrimitive({0}), MakePrimitive({0, 1}), MakePrimitive({0, 1, 2}), MakePrimitive({0, 1, 2, 3}),
                      MakePrimitive({0, 1, 2, 3, 4, 5})});
  EXPECT_EQ(part.PrimitiveObjectCount(), 23);
  std::vector<CPrimitiv> many(13107, MakePrimitive({0, 1, 2, 3, 4}));  // 6 objects each
  part.SetPrimitives(std::move(many));
  EXPECT_EQ(part.PrimitiveObjectCount(), static_cast<std::uint16_t>((6 + 13107 * 6) % 65536));
}

}  // namespace
}  // namespace railfmt
