#include "construction/construction_drawing.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "construction/construction_format.h"
#include "driver/diagnostics.h"
#include "tests/construction/drawing_bytes.h"

namespace railfmt {
namespace {
using testing::DrawingBytes;
using testing::M;
using testing::SetWord;
using testing::TestFormat;
using testing::TestLine;
using testing::TestPoint;
using testing::V;

std::vector<CPunkt> PointsOf(int n) {
  std::vector<CPunkt> points;
  for (int i = 0; i < n; ++i) points.push_back(TestPoint(i));
  return points;
}
std::vector<CFormat> FormatsOf(int n) {
  std::vector<CFormat> formats;
  for (int i = 0; i < n; ++i) formats.push_back(TestFormat(i));
  return formats;
}
std::vector<CLinie> LinesOf(int first, int n) {
  std::vector<CLinie> lines;
  for (int i = 0; i < n; ++i) lines.push_back(TestLine(first + i));
  return lines;
}

std::vector<std::uint8_t> Encode(const CKonstruktion& drawing) {
  ByteWriter out;
  EncodeConstructionDrawing(drawing, out);
  return out.Take();
}

TEST(ConstructionDrawing, EmptyDrawingOf22BytesIsWrittenBackAs94) {
  const std::vector<std::uint8_t> empty =
      DrawingBytes().Word(0).Word(0).Word(0).Word(0).Word(0).Word(0).Word(0).bytes();
  ASSERT_EQ(empty.size(), construction::kEmptyDrawingSize);
  DiagnosticCapture captured;
  CKonstruktion drawing;
  ReadConstructionDrawing(drawing, empty, "leer.kon");
  EXPECT_EQ(drawing.ReadOk, 1);
  EXPECT_TRUE(captured.messages().empty());
  EXPECT_TRUE(captured.mismatches().empty());
  EXPECT_EQ(drawing.PointCount, 0);
  EXPECT_EQ(drawing.PrimitiveCount, 0);
  EXPECT_EQ(drawing.FormatCount, 0);

  // Identification words, P = 0, C = 6, the "CObIndex" introduction, the
  // six objects with 0x8001 between them, five zero words.
  const std::vector<std::uint8_t> expected = DrawingBytes()
                                                 .Word(0)
                                                 .Word(6)
                                                 .Intro("CObIndex", "")
                                                 .Objects(testing::EmptyBlock(), 0x8001, "")
                                                 .Word(0)
                                                 .Word(0)
                                                 .Word(0)
                                                 .Word(0)
                                                 .Word(0)
                                                 .bytes();
  ASSERT_EQ(expected.size(), 94u);
  EXPECT_EQ(Encode(drawing), expected);
}

TEST(ConstructionDrawing, ThreePointExampleUsesTheRunningSeparatorTags) {
  CKonstruktion drawing;
  drawing.SetPoints(PointsOf(3));
  drawing.SetFormats(FormatsOf(2));
  drawing.SetDashedLines(LinesOf(0, 2));
  drawing.SetDimensionLines(LinesOf(5, 2));

  DrawingBytes expected;
  expected.Word(3).Intro("CObPunkt", "").Points(3, 0x8001, "");
  expected.Word(6).Intro("CObIndex", "").Objects(testing::EmptyBlock(), 0x8005, "");
  expected.Word(2).Intro("CObFormat", "").Formats(2, 0x800C, "");
  expected.Word(2).Intro("CObStrichLinie", "").Lines(0, 2, 0x800F, "");
  expected.Word(0);  // no plain lines: no introduction, T unchanged
  expected.Word(0);  // reserved
  expected.Word(2).Intro("CObMassLinie", "").Lines(5, 2, 0x8012, "");
  EXPECT_EQ(Encode(drawing), expected.bytes());

  DiagnosticCapture captured;
  CKonstruktion read;
  ReadConstructionDrawing(read, expected.bytes(), "x.kon");
  ASSERT_EQ(read.ReadOk, 1) << captured.last_message();
  read.ReadOk = 0;
  EXPECT_EQ(read, drawing);
}

// A non-canonical block (a polygon of three vertices) comes out canonical.
TEST(ConstructionDrawing, PrimitivesAreRewrittenInCanonicalOrder) {
  DrawingBytes file;
  file.Word(3).Intro("CObPunkt", "").Points(3, 0x8001, "");
  file.Word(10).Intro("CObIndex", "").Objects({M(0), M(1), M(4), M(7), M(9), V(2), V(1), V(0), M(9), M(9)}, 0x8005, "");
  // T after the index block follows the 9 objects the primitives take now.
  file.Word(2).Intro("CObFormat", "").Formats(2, 0x8005 + 9 + 1, "");
  file.Word(0).Word(0).Word(0).Word(0);
  DiagnosticCapture captured;
  CKonstruktion drawing;
  ReadConstructionDrawing(drawing, file.bytes(), "poly.kon");
  ASSERT_EQ(drawing.ReadOk, 1) << captured.last_message();
  ASSERT_EQ(drawing.PrimitiveCount, 1);
  EXPECT_EQ(drawing.Primitives[0], MakePrimitive({2, 1, 0}));

  DrawingBytes canonical;
  canonical.Word(3).Intro("CObPunkt", "").Points(3, 0x8001, "");
  canonical.Word(9).Intro("CObIndex", "").Objects({M(0), M(1), M(4), V(2), V(1), V(0), M(7), M(9), M(9)}, 0x8005, "");
  canonical.Word(2).Intro("CObFormat", "").Formats(2, 0x800F, "");
  canonical.Word(0).Word(0).Word(0).Word(0);
  EXPECT_EQ(Encode(drawing), canonical.bytes());
}

// The running tag follows the primitives read, not the count in the file:
// objects behind the final (9,1) are accepted by the block but shift every
// later separator.
TEST(ConstructionDrawing, TagAfterIndexBlockFollowsThePrimitivesNotTheCount) {
  std::vector<testing::IndexObj> block = testing::EmptyBlock();
  block.push_back(V(0));
  block.push_back(V(0));
  const auto file_with_separator = [&](std::uint16_t format_separator) {
    DrawingBytes file;
    file.Word(0).Word(8).Intro("CObIndex", "").Objects(block, 0x8001, "");
    file.Word(2).Intro("CObFormat", "").Formats(2, format_separator, "");
    file.Word(0).Word(0).Word(0).Word(0);
    return file.bytes();
  };
  {
    DiagnosticCapture captured;
    CKonstruktion drawing;
    ReadConstructionDrawing(drawing, file_with_separator(0x8001 + 8 + 1), "c.kon");
    EXPECT_EQ(drawing.ReadOk, 0);
    EXPECT_EQ(captured.mismatches(), "I: -32758 S: -32760\n");
    EXPECT_EQ(captured.messages(), std::vector<std::string>{"Falscher Trenner2: ffff8008!\n"});
  }
  DiagnosticCapture captured;
  CKonstruktion drawing;
  ReadConstructionDrawing(drawing, file_with_separator(0x8001 + 6 + 1), "k.kon");
  ASSERT_EQ(drawing.ReadOk, 1) << captured.last_message();
  EXPECT_EQ(drawing.PrimitiveObjectCount(), 6);
}

// Without an index block (C = 0) the tag stays where it was; the writer
// always writes the block, so the rewritten formats take a later tag.
TEST(ConstructionDrawing, MissingIndexBlockLeavesTheTagAndIsWrittenBack) {
  DrawingBytes file;
  file.Word(0).Word(0).Word(2).Intro("CObFormat", "").Formats(2, 0x8001, "");
  file.Word(0).Word(0).Word(0).Word(0);
  DiagnosticCapture captured;
  CKonstruktion drawing;
  ReadConstructionDrawing(drawing, file.bytes(), "ohne.kon");
  ASSERT_EQ(drawing.ReadOk, 1) << captured.last_message();
  DrawingBytes written;
  written.Word(0).Word(6).Intro("CObIndex", "").Objects(testing::EmptyBlock(), 0x8001, "");
  written.Word(2).Intro("CObFormat", "").Formats(2, 0x8008, "");
  written.Word(0).Word(0).Word(0).Word(0);
  EXPECT_EQ(Encode(drawing), written.bytes());
}

struct FaultCase {
  const char* what;
  const char* mark;
  std::size_t offset;  // from the mark
  bool byte;           // set one byte rather than a word
  std::uint16_t value;
  const char* mismatch;
  const char* message;
};

// Every check of the reader, each changed in a valid file.
const FaultCase kFaults[] = {
    {"identification word 1", "id", 0, false, 2881, "I: 2881 S: 2880\n", "Formatfehler 1 in (null)!\n"},
    {"identification word 2", "id", 2, false, 1, "I: 1 S: 0\n", "Formatfehler 1 in (null)!\n"},
    {"identification word 3", "id", 4, false, 2024, "I: 2024 S: 2025\n", "Formatfehler 1 in (null)!\n"},
    {"identification word 4", "id", 6, false, 0xFFFF, "I: -1 S: 0\n", "Formatfehler 1 in (null)!\n"},
    {"point new-class tag", "points.intro", 0, false, 0xFFFE, "I: -2 S: -1\n", "Formatfehler 7 in (null)!\n"},
    {"point schema", "points.intro", 2, false, 1, "I: 1 S: 0\n", "Formatfehler 7 in (null)!\n"},
    {"point class name", "points.intro", 7, true, 'p', "", "Formatfehler 8 in (null)!\n"},
    {"point class name length", "points.intro", 4, false, 9, "", "Formatfehler 8 in (null)!\n"},
    {"point separator", "points.sep", 0, false, 0x8002, "I: -32766 S: -32767\n", "Formatfehler 12!\n"},
    {"index new-class tag", "index.intro", 0, false, 0, "I: 0 S: -1\n", "Formatfehler 13 in (null)!\n"},
    {"index schema", "index.intro", 2, false, 0xFFFF, "I: -1 S: 0\n", "Formatfehler 13 in (null)!\n"},
    {"index class name", "index.intro", 6, true, 'o', "", "Formatfehler 14 in (null)!\n"},
    {"index separator", "index.sep", 0, false, 0x8001, "I: -32767 S: -32763\n", "Falscher Trenner1: ffff8005!\n"},
    {"format new-class tag", "formats.intro", 0, false, 0x8001, "I: -32767 S: -1\n", "Formatfehler 17 in (null)!\n"},
    {"format schema", "formats.intro", 2, false, 2, "I: 2 S: 0\n", "Formatfehler 17 in (null)!\n"},
    {"format class name", "formats.intro", 12, true, 'T', "", "Formatfehler 18 in (null)!\n"},
    {"format separator", "formats.sep", 0, false, 0x8001, "I: -32767 S: -32751\n", "Falscher Trenner2: ffff8011!\n"},
    {"dashed new-class tag", "dashed.intro", 0, false, 0x8014, "I: -32748 S: -1\n", "Formatfehler 17 in (null)!\n"},
    {"dashed class name", "dashed.intro", 4, false, 8, "", "Formatfehler 18 in (null)!\n"},
    {"dashed separator", "dashed.sep", 0, false, 0x8001, "I: -32767 S: -32748\n", "Formatfehler 20 in (null)!\n"},
    {"plain schema", "plain.intro", 2, false, 0x8000, "I: -32768 S: 0\n", "Formatfehler 17 in (null)!\n"},
    {"plain class name", "plain.intro", 6, true, 'c', "", "Formatfehler 18 in (null)!\n"},
    {"plain separator", "plain.sep", 0, false, 0x8014, "I: -32748 S: -32745\n", "Formatfehler 20 in (null)!\n"},
    {"reserved count", "reserved", 0, false, 1, "I: 1 S: 0\n", "Formatfehler Juhu in (null)!\n"},
    {"dimension new-class tag", "dimension.intro", 0, false, 0xFFFD, "I: -3 S: -1\n", "Formatfehler 17 in (null)!\n"},
    {"dimension class name", "dimension.intro", 17, true, 'E', "", "Formatfehler 18 in (null)!\n"},
    {"dimension separator", "dimension.sep", 0, false, 0x8017, "I: -32745 S: -32742\n", "Formatfehler 20 in (null)!\n"},
    {"negative point count", "points.count", 0, false, 0xFFFF, "", "Formatfehler!\n"},
    {"negative format count", "formats.count", 0, false, 0x8000, "", "Formatfehler!\n"},
    {"negative dashed count", "dashed.count", 0, false, 0xFFFE, "", "Formatfehler!\n"},
    {"negative plain count", "plain.count", 0, false, 0x8000, "", "Formatfehler!\n"},
    {"negative dimension count", "dimension.count", 0, false, 0xFFFF, "", "Formatfehler!\n"},
    {"negative index count", "index.count", 0, false, 0xFFFF, "", "Vert(0,1) nicht gefunden!\n"},
};

}  // namespace
}  // namespace railfmt
