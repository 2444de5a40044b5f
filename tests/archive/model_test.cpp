// CModell: queries, tags and the writer, checked against the sizes and tag
// values the format's worked examples give and by read-write round trips.
#include "archive/model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "archive/archive_format.h"
#include "driver/byte_order.h"
#include "driver/diagnostics.h"
#include "tests/archive/model_test_models.h"
#include "tools/samples/sample_files.h"

namespace railfmt {
namespace {
using testing::FormatOf;
using testing::ModelOf;
using testing::PartOf;
using testing::TwoPartModel;

// Writes a first model and notes the tags it was written with.
std::vector<std::uint8_t> WrittenFirst(CModell& model) {
  ByteWriter out;
  const ModelTags tags = model.WriteModelFirst(out);
  model.IndexTag = tags.index;
  model.FormatTag = tags.format;
  return out.Take();
}

// Reads bytes as a first model and expects a clean success.
CModell ReadBack(const std::vector<std::uint8_t>& bytes) {
  DiagnosticCapture captured;
  CModell model;
  ReadCursor in(bytes);
  model.ReadModelFirst(in);
  EXPECT_EQ(model.ReadOk, 1) << ::testing::PrintToString(captured.messages());
  EXPECT_TRUE(in.at_end());
  EXPECT_EQ(captured.mismatches(), "");
  return model;
}

void ExpectSameContent(const CModell& a, const CModell& b) {
  EXPECT_EQ(a.Format.Values, b.Format.Values);
  EXPECT_EQ(a.Format.Doubles, b.Format.Doubles);
  EXPECT_EQ(a.ElementCount, b.ElementCount);
  EXPECT_EQ(a.Elements, b.Elements);
}

TEST(Model, FortySixZeroBytesAreTheEmptyModel) {
  const std::vector<std::uint8_t> zeros(46, 0);
  const CModell model = ReadBack(zeros);
  EXPECT_EQ(model.ElementCount, 0);
  CModell again;
  EXPECT_EQ(WrittenFirst(again), zeros);

  CModell with_header;
  with_header.Format.Doubles = {1.5, 2.5, -3.5};
  with_header.Format.Values = {1, 2, 3};
  const std::vector<std::uint8_t> bytes = WrittenFirst(with_header);
  ASSERT_EQ(bytes.size(), 46u);
  EXPECT_EQ(LoadLEDouble(&bytes[4]), 1.5);
  EXPECT_EQ(LoadLEDouble(&bytes[20]), -3.5);
  EXPECT_EQ(LoadLE32(&bytes[36]), 3u);
  const CModell back = ReadBack(bytes);
  EXPECT_EQ(back.Format.Doubles, with_header.Format.Doubles);
  EXPECT_EQ(back.Format.Factors, (std::array<float, 3>{1.0f, 1.0f, 1.0f}));  // not stored
}

TEST(Model, OnePointOnePrimitiveModelIs229Bytes) {
  CModell model = ModelOf({PartOf({SamplePoint(1, 2, 3)}, {MakePrimitive({0})}, {})});
  const std::vector<std::uint8_t> bytes = WrittenFirst(model);
  EXPECT_EQ(bytes.size(), 229u);
  EXPECT_EQ(model.IndexTag, 0x8006);
  EXPECT_EQ(model.FormatTag, 0x800F);
  // Header 42, "CObArray" 14, count 2, "CObPunkt" 14, point 48, counts and tag 6.
  constexpr std::size_t kObjectCount = 42 + 14 + 2 + 14 + 48 + 4;
  EXPECT_EQ(LoadLE16(&bytes[kObjectCount]), 7);
  constexpr std::size_t kBlock = kObjectCount + 2 + 14;
  for (std::size_t i = 1; i < 7; ++i) EXPECT_EQ(LoadLE16(&bytes[kBlock + i * 10 - 2]), 0x8006);
  EXPECT_EQ(LoadLE16(&bytes[kBlock + 68 + 4]), 0);  // format count
  ExpectSameContent(ReadBack(bytes), model);
}

TEST(Model, TwoPartWorkedExampleStreamAndTags) {
  CModell model = ModelOf(
      {PartOf({SamplePoint(1, 0, 0), SamplePoint(2, 0, 0), SamplePoint(3, 0, 0)}, {MakePrimitive({2})}, {FormatOf(1)}),
       PartOf({SamplePoint(4, 0, 0), SamplePoint(5, 0, 0)}, {MakePrimitive({0, 1, 0})}, {FormatOf(2)})});
  const std::vector<std::uint8_t> bytes = WrittenFirst(model);
  EXPECT_EQ(model.IndexTag, 0x800B);
  EXPECT_EQ(model.FormatTag, 0x801E);
  EXPECT_EQ(model.Elements[0].PrimitiveObjectCount(), 7);
  EXPECT_EQ(model.Elements[1].PrimitiveObjectCount(), 9);

  // The block-level builder writes the example's objects as listed.
  const auto V = VertexObject;
  const auto M = ModeMarker;
  EXPECT_EQ(bytes, EncodeModelWithBlocks(model, {{M(0), V(2), M(1), M(4), M(7), M(9), M(9)},
                                                 {M(0), M(1), M(4), V(0), V(1), V(0), M(7), M(9), M(9)}}));
  // Its tags in the stream: 0x800B between index objects, 0x801E before
  // part 1's format.
  constexpr std::size_t kIndexSeparator = 42 + 14 + 2 + 14 + 3 * 48 + 2 * 2 + 6 + 2 * 48 + 2 + 6 + 14 + 8;
  EXPECT_EQ(LoadLE16(&bytes[kIndexSeparator]), 0x800B);
  EXPECT_EQ(LoadLE16(&bytes[bytes.size() - 48 - 2]), 0x801E);

  const CModell back = ReadBack(bytes);
  EXPECT_EQ(back.IndexTag, 0x800B);
  EXPECT_EQ(back.FormatTag, 0x801E);
}

TEST(Model, NonCanonicalModelComesOutCanonicalAndRereadsEqual) {
  const auto V = VertexObject;
  const auto M = ModeMarker;
  CModell source = TwoPartModel();
  // Part 0's point and line given as one-vertex and two-vertex polygons,
  // with objects after the final (9,1); part 1 canonical.
  const std::vector<std::uint8_t> input =
      EncodeModelWithBlocks(source, {{M(0), M(1), M(4), M(7), M(9), V(0), V(1), M(9), V(0), M(9), M(9), V(1), M(4)},
                                     {M(0), M(1), M(4), M(7), M(9), M(9)}});
  CModell first = ReadBack(input);
  EXPECT_EQ(first.FormatTag, 0x8009 + 1 + 14 + 7);
  ASSERT_EQ(first.Elements[0].Primitives.size(), 2u);
  EXPECT_EQ(first.Elements[0].Primitives[0].VertexCount, 2);  // polygons keep block order

  const std::vector<std::uint8_t> output = WrittenFirst(first);
  EXPECT_NE(output, input);
  EXPECT_EQ(first.FormatTag, 0x801B);
  CModell canonical = TwoPartModel();
  EXPECT_EQ(output, WrittenFirst(canonical));

  // The re-read model holds the same primitives, in the order of the
  // canonical sections (vertex counts 1, 2, 3, 4, more), and all else equal.
  CModell second = ReadBack(output);
  for (CModellTeil& part : first.Elements) {
    std::stable_sort(part.Primitives.begin(), part.Primitives.end(), [](const CPrimitiv& a, const CPrimitiv& b) {
      return std::min(a.VertexCount, 5) < std::min(b.VertexCount, 5);
    });
  }
  ExpectSameContent(second, first);
  ExpectSameContent(second, source);
  EXPECT_EQ(WrittenFirst(second), output);
}

TEST(Model, LaterModelsUseTheFirstNonEmptyModelsTags) {
  // A stream as rolling stock holds it: an empty model, one with parts, one after it.
  CModell empty;
  CModell first = TwoPartModel();
  CModell later = ModelOf({PartOf({SamplePoint(9, 9, 9)}, {MakePrimitive({0, 0, 0, 0, 0})}, {FormatOf(4)})});
  ByteWriter out;
  empty.WriteModelFirst(out);
  later.WriteModelLater(out, first.WriteModelFirst(out));

  DiagnosticCapture captured;
  ReadCursor in(out.bytes());
  CModell models[3];
  models[0].ReadModelFirst(in);
  models[1].ReadModelFirst(in);
  models[2].ReadModelLater(in, {models[1].IndexTag, models[1].FormatTag});
  EXPECT_TRUE(in.at_end());
  EXPECT_TRUE(captured.messages().empty());
  for (const CModell& m : models) EXPECT_EQ(m.ReadOk, 1);
  ExpectSameContent(models[1], first);
  ExpectSameContent(models[2], later);
  EXPECT_EQ(models[2].IndexTag, 0x8009);
}

TEST(Model, TagArithmeticWrapsAtSixteenBits) {
  // 32764 points: IndexTag = 0x8004 + 32765 wraps to 0x0001.
  CModell model = ModelOf({PartOf(std::vector<CPunkt>(32764, SamplePoint(1, 1, 1)), {MakePrimitive({32763})}, {})});
  const std::vector<std::uint8_t> bytes = WrittenFirst(model);
  EXPECT_EQ(model.IndexTag, 0x0001);
  EXPECT_EQ(model.FormatTag, 0x0001 + 1 + 8);
  const CModell back = ReadBack(bytes);
  EXPECT_EQ(back.IndexTag, 0x0001);
  EXPECT_EQ(back.Elements[0].Primitives, model.Elements[0].Primitives);
}

TEST(Model, PointQueries) {
  CPunkt far = SamplePoint(16777217, -3, 0);
  CPunkt coded = SamplePoint(0, 0, 0);
  coded.Code = 99;
  CModell model = ModelOf({PartOf({far, coded}, {}, {})});
  EXPECT_EQ(model.PointPosition(0, 0), (std::array<float, 3>{16777216.0f, -3.0f, 0.0f}));
  CPunkt copy;
  model.CopyPointRecord(0, 1, copy);
  EXPECT_EQ(copy, coded);

  struct Case {
    std::uint16_t attribute;
    std::int32_t code;
    float code_value;
    std::uint16_t mask;
    std::uint16_t result;
  };
  const std::vector<Case> cases = {
      {0, 99, 5.7f, 0xFFFF, 5},
      {0, 99, 70000.0f, 0xFFFF, 4464},
      {0x00F0, 99, -3.0f, 0x00FF, 0x00F0},
      {0x00F0, 98, 5.0f, 0xFFFF, 0x00F0},
      {0x00F0, 99, std::numeric_limits<float>::quiet_NaN(), 0xFFFF, 0x00F0},
      {0x0FF0, 99, 3.0f, 0x000F, 0x0003},
      {0x0001, 99, 0.5f, 0xFFFF, 0x0001},
      {0x0001, 99, 3e9f, 0xFFFF, 0x0001},  // beyond int32: contributes 0
      {0x0001, 99, std::numeric_limits<float>::infinity(), 0xFFFF, 0x0001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_value);
    model.Elements[0].Attribute = c.attribute;
    model.Elements[0].Points[1].Code = c.code;
    model.Elements[0].Points[1].CodeValue = c.code_value;
    EXPECT_EQ(model.PointAttribute(0, 1, c.mask), c.result);
  }
}

}  // namespace
}  // namespace railfmt
