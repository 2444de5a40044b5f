// Construction drawings: the worked examples with their running separator
// tag, and the canonical rewriting of the index block.
#include <gtest/gtest.h>

#include "construction/construction_drawing.h"
#include "construction/construction_format.h"
#include "construction/construction_kind.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"
#include "tests/support/model_builders.h"

namespace railfmt {
namespace {
using namespace testing;  // NOLINT: the index block builders

// A drawing written out field by field, every count and tag by the test;
// the records distinct, so that one read into the wrong place shows.
struct Drawing {
  ByteWriter out;
  Drawing() {
    for (std::uint16_t word : construction::kIdentificationWords) out.U16(word);
  }
  Drawing& W(std::uint16_t word) {
    out.U16(word);
    return *this;
  }
  Drawing& Zeros(int n) { return n > 0 ? W(0).Zeros(n - 1) : *this; }
  // The list's count and, unless empty, the class introduction, the records with separator between each two.
  template <typename One>
  Drawing& List(const char* name, int n, std::uint16_t separator, One one) {
    W(static_cast<std::uint16_t>(n));
    if (n == 0) return *this;
    W(0xFFFF).W(0);
    WriteString16(out, name);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out.U16(separator);
      one(static_cast<std::size_t>(i));
    }
    return *this;
  }
  Drawing& Points(int n, std::uint16_t sep) {
    return List("CObPunkt", n, sep, [&](std::size_t i) { WritePoint(PointOf(i), out); });
  }
  Drawing& Index(const std::vector<IndexObj>& objects, std::uint16_t sep) {
    return List("CObIndex", static_cast<int>(objects.size()), sep, [&](std::size_t i) {
      out.I32(objects[i].value);
      out.I32(objects[i].marker);
    });
  }
  Drawing& Formats(int n, std::uint16_t sep) {
    return List("CObFormat", n, sep, [&](std::size_t i) { WriteFormat(FormatOf(unsigned(i)), out); });
  }
  Drawing& Lines(const char* name, std::size_t first, int n, std::uint16_t sep) {
    return List(name, n, sep, [&](std::size_t i) { WriteLineRecord(LineOf(first + i), out); });
  }
  Bytes bytes() const { return out.bytes(); }
  static CPunkt PointOf(std::size_t i) { return SamplePoint(int(i), -int(i), 3 * int(i)); }
  static CLinie LineOf(std::size_t i) {
    const auto b = static_cast<std::uint8_t>(i);
    return {{b, 0x7FC00000u, 0xFFFFFFFFu, 0x40490FDBu}, {b, 1, 2, 3, 4, 5, 6, 7}};
  }
};
Bytes Encode(const CKonstruktion& drawing) {
  return Written([&](ByteWriter& out) { EncodeConstructionDrawing(drawing, out); });
}

TEST(ConstructionDrawing, WorkedExamplesUseTheRunningSeparatorTags) {
  DiagnosticCapture captured;
  CKonstruktion drawing;
  // Three points, two formats, dashed and dimension lines.
  drawing.SetPoints({Drawing::PointOf(0), Drawing::PointOf(1), Drawing::PointOf(2)});
  drawing.SetFormats({FormatOf(0), FormatOf(1)});
  drawing.SetDashedLines({Drawing::LineOf(0), Drawing::LineOf(1)});
  drawing.SetDimensionLines({Drawing::LineOf(5), Drawing::LineOf(6)});
  // No plain lines: no introduction and the tag unchanged; then the reserved word.
  Drawing file;
  file.Points(3, 0x8001).Index(EmptyBlock(), 0x8005).Formats(2, 0x800C).Lines("CObStrichLinie", 0, 2, 0x800F);
  const Bytes expected = file.Zeros(2).Lines("CObMassLinie", 5, 2, 0x8012).bytes();
  EXPECT_EQ(Encode(drawing), expected);
  CKonstruktion read;
  ReadConstructionDrawing(read, expected, "x.kon");
  ASSERT_EQ(read.ReadOk, 1) << captured.last_message();
  read.ReadOk = 0;
  EXPECT_EQ(read, drawing);
  // Primitives out of their canonical order are reordered, and said to be.
  EXPECT_TRUE(ConstructionKind::Normalise(drawing).empty());
  drawing.SetPrimitives({MakePrimitive({0, 1}), MakePrimitive({0})});
  EXPECT_EQ(ConstructionKind::Normalise(drawing).changes().size(), 1u);
}

// The tag after the index block follows the primitives read, not the count
// in the file; without a block (C = 0) it stays. The writer always writes
// the block canonically, its formats with the tag that gives.
TEST(ConstructionDrawing, IndexBlockIsRewrittenCanonicallyAndMovesTheTag) {
  std::vector<IndexObj> trailing = EmptyBlock();
  trailing.insert(trailing.end(), {V(0), V(0)});
  // Points, the index block and two formats, with the tags given; no lines.
  const auto file = [](int points, const std::vector<IndexObj>& block, std::uint16_t index_tag, std::uint16_t tag) {
    return Drawing().Points(points, 0x8001).Index(block, index_tag).Formats(2, tag).Zeros(4).bytes();
  };
  const std::vector<IndexObj> triangle = {M(0), M(1), M(4), V(2), V(1), V(0), M(7), M(9), M(9)};
  const struct {
    const char* what;
    Bytes input, output;  // no output: rejected
  } cases[] = {
      {"a polygon of three vertices",
       file(3, {M(0), M(1), M(4), M(7), M(9), V(2), V(1), V(0), M(9), M(9)}, 0x8005, 0x8005 + 9 + 1),
       file(3, triangle, 0x8005, 0x800F)},
      {"objects behind the block, tag after the count", file(0, trailing, 0x8001, 0x8001 + 8 + 1), {}},
      {"objects behind the block, tag after the primitives", file(0, trailing, 0x8001, 0x8001 + 6 + 1),
       file(0, EmptyBlock(), 0x8001, 0x8008)},
      {"no index block", file(0, {}, 0, 0x8001), file(0, EmptyBlock(), 0x8001, 0x8008)},
      // P = 0, the empty index block with 0x8001 between its objects, five zero words.
      {"the empty drawing", Drawing().Zeros(7).bytes(), Drawing().W(0).Index(EmptyBlock(), 0x8001).Zeros(5).bytes()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DiagnosticCapture captured;
    CKonstruktion drawing;
    ReadConstructionDrawing(drawing, c.input, "c.kon");
    ASSERT_EQ(drawing.ReadOk, c.output.empty() ? 0 : 1) << captured.last_message();
    EXPECT_EQ(captured.messages().empty() && captured.mismatches().empty(), !c.output.empty());
    EXPECT_EQ(c.output.empty() ? c.output : Encode(drawing), c.output);
  }
}

}  // namespace
}  // namespace railfmt
