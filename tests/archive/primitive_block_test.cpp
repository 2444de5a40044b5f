#include "archive/primitive_block.h"

#include <gtest/gtest.h>

#include "archive/model_part.h"
#include "driver/diagnostics.h"
#include "tests/archive/index_block_builder.h"

namespace railfmt {
namespace {

using testing::BlockBytes;
using testing::EmptyBlock;
using testing::IndexObj;
using testing::M;
using testing::V;

constexpr std::uint16_t kSep = 0x8006;

CModellTeil PartWithPoints(std::int16_t points) {
  CModellTeil part;
  part.SetPoints(std::vector<CPunkt>(static_cast<std::size_t>(points)));
  return part;
}

struct ReadResult {
  int ok;
  CModellTeil part;
  std::vector<std::string> messages;
  std::string mismatches;
};

ReadResult ReadBlock(const std::vector<std::uint8_t>& bytes, std::int16_t count, std::int16_t points = 8,
                     std::uint16_t separator = kSep) {
  DiagnosticCapture captured;
  ReadResult r{0, PartWithPoints(points), {}, {}};
  ReadCursor in(bytes);
  r.ok = ReadPrimitives(r.part, in, count, separator);
  r.messages = captured.messages();
  r.mismatches = captured.mismatches();
  return r;
}

ReadResult ReadObjects(const std::vector<IndexObj>& objects, std::int16_t points = 8) {
  return ReadBlock(BlockBytes(objects, kSep), static_cast<std::int16_t>(objects.size()), points);
}

std::vector<std::uint8_t> Written(const CModellTeil& part, std::uint16_t separator = kSep) {
  ByteWriter out;
  WritePrimitives(part, out, separator);
  return out.Take();
}

TEST(PrimitiveBlock, EmptyBlockIsSixMarkers) {
  const ReadResult r = ReadObjects(EmptyBlock());
  ASSERT_EQ(r.ok, 1);
  EXPECT_EQ(r.part.PrimitiveCount, 0);
  EXPECT_TRUE(r.part.Primitives.empty());
  const CModellTeil empty;
  EXPECT_EQ(Written(empty), BlockBytes(EmptyBlock(), kSep));
  EXPECT_EQ(empty.PrimitiveObjectCount(), 6);
}

TEST(PrimitiveBlock, NineteenObjectExample) {
  CModellTeil part = PartWithPoints(5);
  part.SetPrimitives(
      {MakePrimitive({0}), MakePrimitive({1, 2}), MakePrimitive({0, 1, 2, 3}), MakePrimitive({0, 1, 2, 3, 4})});
  const std::vector<IndexObj> expected = {M(0), V(0), M(1), V(1), V(2), M(4), M(7), V(0), V(1), V(2),
                                          V(3), M(9), V(0), V(1), V(2), V(3), V(4), M(9), M(9)};
  ASSERT_EQ(expected.size(), 19u);
  const std::vector<std::uint8_t> bytes = Written(part);
  EXPECT_EQ(bytes, BlockBytes(expected, kSep));
  EXPECT_EQ(bytes.size(), 19u * 8u + 18u * 2u);
  EXPECT_EQ(part.PrimitiveObjectCount(), 19);

  const ReadResult r = ReadBlock(bytes, 19, 5);
  ASSERT_EQ(r.ok, 1) << ::testing::PrintToString(r.messages);
  EXPECT_EQ(r.part.Primitives, part.Primitives);
  EXPECT_EQ(r.part.PrimitiveCount, 4);
  EXPECT_EQ(r.part.Primitives[3].ExtraVertices, std::vector<std::int16_t>{4});
}

TEST(PrimitiveBlock, BuildOrderFollowsSectionsThenPolygonsInBlockOrder) {
  const ReadResult r = ReadObjects({M(0), V(7), V(6), M(1), V(5), V(4), M(4), V(0), V(1), V(2), M(7), M(9),
                                    V(1), V(2), V(3), V(4), V(5), V(6), M(9), V(3), V(2), M(9), M(9)});
  ASSERT_EQ(r.ok, 1) << ::testing::PrintToString(r.messages);
  const std::vector<CPrimitiv> expected = {MakePrimitive({7}),
                                           MakePrimitive({6}),
                                           MakePrimitive({5, 4}),
                                           MakePrimitive({0, 1, 2}),
                                           MakePrimitive({1, 2, 3, 4, 5, 6}),
                                           MakePrimitive({3, 2})};
  EXPECT_EQ(r.part.Primitives, expected);
  EXPECT_EQ(r.part.Primitives[4].VertexAt(5), 6);
  // Written canonically, the two-vertex polygon joins the lines, and read
  // again it comes before the triangles.
  const std::vector<std::uint8_t> canonical = Written(r.part);
  EXPECT_EQ(canonical, BlockBytes({M(0), V(7), V(6), M(1), V(5), V(4), V(3), V(2), M(4), V(0), V(1),
                                   V(2), M(7), M(9), V(1), V(2), V(3), V(4), V(5), V(6), M(9), M(9)},
                                  kSep));
  const ReadResult again = ReadBlock(canonical, 22);
  ASSERT_EQ(again.ok, 1);
  EXPECT_EQ(again.part.Primitives[3], MakePrimitive({3, 2}));
  EXPECT_EQ(Written(again.part), canonical);
}

TEST(PrimitiveBlock, VertexIndexIsTheLowSixteenBitsSigned) {
  const ReadResult r = ReadObjects({M(0), V(0x00010002), V(0x7FFF8000), M(1), M(4), M(7), M(9), M(9)}, 3);
  ASSERT_EQ(r.ok, 1) << ::testing::PrintToString(r.messages);
  EXPECT_EQ(r.part.Primitives, (std::vector<CPrimitiv>{MakePrimitive({2}), MakePrimitive({-32768})}));
  // Written back as the sign extension of the low 16 bits; a negative index passes.
  EXPECT_EQ(Written(r.part), BlockBytes({M(0), V(2), V(-32768), M(1), M(4), M(7), M(9), M(9)}, kSep));
}

TEST(PrimitiveBlock, VertexCheckRejectsIndicesFromPointCountOn) {
  struct Case {
    std::int16_t points;
    std::vector<IndexObj> objects;
    const char* message;
  };
  const std::vector<Case> cases = {
      {5, {M(0), V(4), M(1), V(0), V(5), M(4), M(7), M(9), M(9)}, "Falscher Punkt: 5, 5!\n"},
      {0, {M(0), V(0), M(1), M(4), M(7), M(9), M(9)}, "Falscher Punkt: 0, 0!\n"},
      {4, {M(0), M(1), M(4), M(7), M(9), V(0), V(1), V(2), V(3), V(9), M(9), M(9)}, "Falscher Punkt: 9, 4!\n"},
  };
  for (const Case& c : cases) {
    const ReadResult r = ReadObjects(c.objects, c.points);
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.messages, std::vector<std::string>{c.message});
  }
  EXPECT_EQ(ReadObjects({M(0), V(4), M(1), M(4), M(7), M(9), M(9)}, 5).ok, 1);
}

TEST(PrimitiveBlock, WrongSeparatorShowsTheTagSignExtended) {
  std::vector<std::uint8_t> bytes = BlockBytes(EmptyBlock(), 0x8001);
  bytes[8] = 0x01;
  bytes[9] = 0x00;  // the first separator now reads 0x0001
  const ReadResult r = ReadBlock(bytes, 6, 8, 0x8001);
  EXPECT_EQ(r.ok, 0);
  EXPECT_EQ(r.mismatches, "I: 1 S: -32767\n");
  EXPECT_EQ(r.messages, std::vector<std::string>{"Falscher Trenner1: ffff8001!\n"});
}

TEST(PrimitiveBlock, GrammarFaultsReportTheFirstFailedStep) {
  struct Case {
    const char* what;
    std::vector<IndexObj> objects;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"no objects", {}, "Vert(0,1) nicht gefunden!\n"},
      {"starts with a vertex", {V(0), M(0), M(1), M(4), M(7), M(9), M(9)}, "Vert(0,1) nicht gefunden!\n"},
      {"(4,1) where (1,1) belongs", {M(0), M(4), M(1), M(7), M(9), M(9)}, "Vert(1,1) nicht gefunden!\n"},
      {"marker 2 ends a run", {M(0), V(1), {1, 2}, M(1), M(4), M(7), M(9), M(9)}, "Vert(1,1) nicht gefunden!\n"},
      {"three line vertices", {M(0), M(1), V(0), V(1), V(2), M(7)}, "2-Vert nicht OK!\n"},
      {"three line vertices, nothing after", {M(0), M(1), V(0), V(1), V(2)}, "2-Vert nicht OK!\n"},
      {"(4,1) missing", {M(0), M(1), V(0), V(1), M(7), M(9), M(9)}, "Vert(4,1) nicht gefunden!\n"},
      {"four triangle vertices", {M(0), M(1), M(4), V(0), V(1), V(2), V(3), M(7), M(9), M(9)}, "3-Vert nicht OK!\n"},
      {"(7,1) missing", {M(0), M(1), M(4), M(9), M(9)}, "Vert(7,1) nicht gefunden!\n"},
      {"five quad vertices", {M(0), M(1), M(4), M(7), V(0), V(1), V(2), V(3), V(4), M(9), M(9)}, "4-Vert nicht OK!\n"},
      {"(9,1) missing", {M(0), M(1), M(4), M(7), M(1), M(9)}, "Vert(9,1) nicht gefunden!\n"},
      {"stops after the opening (9,1)", {M(0), M(1), M(4), M(7), M(9)}, "Ende-Vert(9,1) nicht gefunden!\n"},
      {"stops after a closed polygon",
       {M(0), M(1), M(4), M(7), M(9), V(0), V(1), M(9)},
       "Ende-Vert(9,1) nicht gefunden!\n"},
      {"stops inside a polygon", {M(0), M(1), M(4), M(7), M(9), V(0), V(1)}, "Vert(9,1) nicht gefunden!\n"},
      {"polygon closed by another marker",
       {M(0), M(1), M(4), M(7), M(9), V(0), V(1), M(7), M(9)},
       "Vert(9,1) nicht gefunden!\n"},
      {"block ended by a wrong marker", {M(0), M(1), M(4), M(7), M(9), M(0)}, "Ende-Vert(9,1) nicht gefunden!\n"},
      {"marker value matches, flag is 2", {M(0), M(1), M(4), M(7), M(9), {9, 2}}, "Ende-Vert(9,1) nicht gefunden!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ReadResult r = ReadObjects(c.objects);
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(r.mismatches, "");
    EXPECT_EQ(r.part.PrimitiveCount, 0);  // nothing installed before the build phase
  }
}

}  // namespace
}  // namespace railfmt
