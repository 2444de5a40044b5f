// Models and their primitive blocks: the encoding's worked examples, the
// canonical rewriting of primitives and the tag rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <optional>
#include <sstream>

#include "archive/model.h"
#include "archive/model_kind.h"
#include "driver/byte_order.h"
#include "driver/diagnostics.h"
#include "tests/support/damage_table.h"
#include "tests/support/data_table.h"
#include "tests/support/model_builders.h"

namespace railfmt {
namespace {
using namespace testing;  // NOLINT: the builders read as the format's notation

// Writes a first model and notes the tags it was written with.
Bytes WrittenFirst(CModell& model) {
  ByteWriter out;
  const ModelTags tags = model.WriteModelFirst(out);
  model.IndexTag = tags.index;
  model.FormatTag = tags.format;
  return out.Take();
}

// Reads bytes as a first model and expects a clean success.
CModell ReadBack(const Bytes& bytes) {
  DiagnosticCapture captured;
  CModell model;
  ReadCursor in(bytes);
  model.ReadModelFirst(in);
  EXPECT_EQ(model.ReadOk, 1) << ::testing::PrintToString(captured.messages());
  EXPECT_TRUE(in.at_end());
  EXPECT_EQ(captured.mismatches(), "");
  return model;
}

// A part count of -1 with its copy -1 is blamed on the count, which the
// fault keeps.
TEST(Model, ANegativePartCountIsBlamedOnTheCount) {
  Bytes negative(46, 0);
  StoreLE16(&negative[0], 0xFFFF);
  StoreLE16(&negative[40], 0xFFFF);
  DiagnosticCapture captured;
  CModell model;
  ReadCursor in(negative);
  model.ReadModelFirst(in);
  EXPECT_EQ(model.ReadOk, 0);
  EXPECT_EQ(captured.last_message(), "Formatfehler 3 in (null)!\n");
  EXPECT_EQ(FaultText(in.fault()), "header/part count: invalid, bytes 0-2");
  EXPECT_TRUE(in.fault().has_values) << "the inspector tells the count it found";
  EXPECT_EQ(in.fault().found, -1.0);
}

TEST(Model, WorkedExamplesGiveTheirBytesAndTagsWrappingAtSixteenBits) {
  // One point and one primitive: 229 bytes. Header 42, "CObArray" 14,
  // count 2, "CObPunkt" 14, point 48, counts 4, then the object count.
  CModell one = ModelOf({PartOf({SamplePoint(1, 2, 3)}, {MakePrimitive({0})}, {})});
  const Bytes bytes = WrittenFirst(one);
  EXPECT_EQ(bytes.size(), 229u);
  EXPECT_EQ(one.IndexTag, 0x8006);
  EXPECT_EQ(one.FormatTag, 0x800F);
  constexpr std::size_t kObjectCount = 42 + 14 + 2 + 14 + 48 + 4;
  constexpr std::size_t kBlock = kObjectCount + 2 + 14;
  EXPECT_EQ(LoadLE16(&bytes[kObjectCount]), 7);
  for (std::size_t i = 1; i < 7; ++i) EXPECT_EQ(LoadLE16(&bytes[kBlock + i * 10 - 2]), 0x8006);
  EXPECT_EQ(LoadLE16(&bytes[kBlock + 68 + 4]), 0);  // format count
  // The header's doubles and values, in the order the model holds them.
  EXPECT_EQ(LoadLEDouble(&bytes[4]), one.Format.Doubles[0]);
  EXPECT_EQ(LoadLEDouble(&bytes[20]), one.Format.Doubles[2]);
  EXPECT_EQ(LoadLE32(&bytes[36]), one.Format.Values[2]);
  const CModell one_back = ReadBack(bytes);
  ExpectSameContent(one_back, one);
  EXPECT_EQ(one_back.Format.Factors, (std::array<float, 3>{1.0f, 1.0f, 1.0f}));  // not stored
  // Two parts: the blocks as listed, 0x800B between index objects of
  // part 1, 0x801E before part 1's format.
  CModell two = ModelOf(
      {PartOf({SamplePoint(1, 0, 0), SamplePoint(2, 0, 0), SamplePoint(3, 0, 0)}, {MakePrimitive({2})}, {FormatOf(1)}),
       PartOf({SamplePoint(4, 0, 0), SamplePoint(5, 0, 0)}, {MakePrimitive({0, 1, 0})}, {FormatOf(2)})});
  const Bytes stream = WrittenFirst(two);
  EXPECT_EQ(two.IndexTag, 0x800B);
  EXPECT_EQ(two.FormatTag, 0x801E);
  EXPECT_EQ(stream, EncodeModelWithBlocks(two, {{M(0), V(2), M(1), M(4), M(7), M(9), M(9)},
                                                {M(0), M(1), M(4), V(0), V(1), V(0), M(7), M(9), M(9)}}));
  EXPECT_EQ(LoadLE16(&stream[42 + 14 + 2 + 14 + 3 * 48 + 2 * 2 + 6 + 2 * 48 + 2 + 6 + 14 + 8]), 0x800B);
  EXPECT_EQ(LoadLE16(&stream[stream.size() - 48 - 2]), 0x801E);
  EXPECT_EQ(ReadBack(stream).FormatTag, 0x801E);
  // Read into a model that holds parts, the stream's parts replace them.
  CModell reused = ReadBack(bytes);
  ReadCursor again(stream);
  reused.ReadModelFirst(again);
  ExpectSameContent(reused, two);
  // 32764 points: IndexTag = 0x8004 + 32765 wraps to 0x0001.
  CModell model = ModelOf({PartOf(std::vector<CPunkt>(32764, SamplePoint(1, 1, 1)), {MakePrimitive({32763})}, {})});
  const CModell back = ReadBack(WrittenFirst(model));
  EXPECT_EQ(model.FormatTag, 0x0001 + 1 + 8);
  EXPECT_EQ(back.IndexTag, 0x0001);
  EXPECT_EQ(back.Elements[0].Primitives, model.Elements[0].Primitives);
}

// A part's attribute, a point's code and code value, a mask and the
// attribute they give, as tests/data/archive/point_attributes.tsv spells them.
struct Attribute {
  std::uint16_t part_attribute;
  std::int32_t code;
  float code_value;
  std::uint16_t mask;
  std::uint16_t result;
  std::string what;
};
Attribute AttributeOf(const std::vector<std::string>& row) {
  const auto word = [&](std::size_t i) { return static_cast<std::uint16_t>(std::stoul(row.at(i), nullptr, 0)); };
  return {word(0), std::stoi(row.at(1)), std::strtof(row.at(2).c_str(), nullptr), word(3), word(4), row.at(5)};
}

TEST(Model, PointQueries) {
  const CPunkt far = SamplePoint(16777217, -3, 0);
  CPunkt coded = SamplePoint(0, 0, 0);
  coded.Code = 99;
  CModell model = ModelOf({PartOf({far, coded}, {}, {})});
  EXPECT_EQ(model.PointPosition(0, 0), (std::array<float, 3>{16777216.0f, -3.0f, 0.0f}));
  CPunkt copy;
  model.CopyPointRecord(0, 1, copy);
  EXPECT_EQ(copy, coded);
  // No file stores a part's attribute: a part read from one has none.
  EXPECT_EQ(ReadBack(WrittenFirst(model)).PointAttribute(0, 0, 0xFFFF), 0);
  for (const std::vector<std::string>& row : DataRows("archive/point_attributes.tsv")) {
    const Attribute a = AttributeOf(row);
    model.Elements[0].Attribute = a.part_attribute;
    model.Elements[0].Points[1].Code = a.code;
    model.Elements[0].Points[1].CodeValue = a.code_value;
    EXPECT_EQ(model.PointAttribute(0, 1, a.mask), a.result) << a.what;
  }
}

// Points, lines, triangles, quads, then the polygons in the order they stand.
TEST(Model, NormalisingTellsEachPartWhosePrimitivesTheWriterReorders) {
  const CPrimitiv point = MakePrimitive({0});
  const CPrimitiv line = MakePrimitive({0, 1});
  const CPrimitiv quad = MakePrimitive({0, 1, 2, 3});
  const CPrimitiv pentagon = MakePrimitive({0, 1, 2, 3, 4});
  const CPrimitiv hexagon = MakePrimitive({0, 1, 2, 3, 4, 5});
  CModell model = ModelOf({
      PartOf({}, {line, point}, {}),                           // part 1: out of order
      PartOf({}, {point, line, quad, hexagon, pentagon}, {}),  // in order
      PartOf({}, {}, {}), PartOf({}, {hexagon, quad}, {}),     // part 4: out of order
  });
  EXPECT_EQ(ChangedNumbers(ModelKind::Normalise(model)), (std::vector<std::vector<std::int64_t>>{{1}, {4}}));
}

constexpr std::uint16_t kSep = 0x8006;

// The objects with the separator between each two, as a block stands in a stream.
Bytes BlockBytes(const std::vector<IndexObj>& objects) {
  ByteWriter out;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (i > 0) out.U16(kSep);
    out.I32(objects[i].value);
    out.I32(objects[i].marker);
  }
  return out.Take();
}

// The objects read as the block of a part with that many points: the part,
// or the message and the field blamed.
struct BlockRead {
  std::optional<CModellTeil> part;
  std::string message;
  std::string field;
};
BlockRead ReadObjects(const std::vector<IndexObj>& objects, std::int16_t points) {
  DiagnosticCapture captured;
  CModellTeil part = PartOf(std::vector<CPunkt>(static_cast<std::size_t>(points)), {}, {});
  const Bytes bytes = BlockBytes(objects);
  ReadCursor in(bytes);
  if (ReadPrimitives(part, in, static_cast<std::int16_t>(objects.size()), kSep) == 1) return {part, "", ""};
  return {std::nullopt, captured.last_message(), FaultText(in.fault())};
}

// Index objects as tests/data/archive/primitive_blocks.tsv spells them.
std::vector<IndexObj> Objects(const std::string& text) {
  std::vector<IndexObj> objects;
  std::istringstream in(text);
  for (std::string o; in >> o;) objects.push_back((o[0] == 'M' ? M : V)(std::stoi(o.substr(1), nullptr, 0)));
  return objects;
}

TEST(PrimitiveBlock, BlocksReadAndWriteAsTheTableShows) {
  for (std::vector<std::string> row : DataRows("archive/primitive_blocks.tsv")) {
    SCOPED_TRACE(::testing::PrintToString(row));
    row.resize(5);
    const BlockRead block = ReadObjects(Objects(row[1]), static_cast<std::int16_t>(std::stoi(row[0])));
    ASSERT_EQ(block.part.has_value(), row[2] != "-");
    if (!block.part) {
      EXPECT_EQ(block.message, row[3]);
      EXPECT_EQ(block.field, row[4]);
      continue;
    }
    const std::optional<CModellTeil>& read = block.part;
    std::vector<CPrimitiv> primitives;
    std::istringstream list(row[2]);
    for (std::string vertices; std::getline(list, vertices, ';');) {
      std::istringstream in(vertices);
      primitives.push_back(MakePrimitive(std::vector<std::int16_t>(std::istream_iterator<std::int16_t>(in), {})));
    }
    EXPECT_EQ(read->Primitives, primitives);
    EXPECT_EQ(read->PrimitiveCount, static_cast<std::int16_t>(primitives.size()));
    const std::vector<IndexObj> written = Objects(row[3] == "=" ? row[1] : row[3]);
    EXPECT_EQ(Written([&](ByteWriter& out) { WritePrimitives(*read, out, kSep); }), BlockBytes(written));
    EXPECT_EQ(read->PrimitiveObjectCount(), written.size());
  }
}

}  // namespace
}  // namespace railfmt
