#include "construction/construction_kind.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "tests/construction/drawing_bytes.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {
using testing::ScratchDir;

CKonstruktion SmallDrawing() {
  CKonstruktion drawing;
  drawing.SetPoints({testing::TestPoint(0), testing::TestPoint(1)});
  drawing.SetPrimitives({MakePrimitive({1, 0})});
  drawing.SetDimensionLines({testing::TestLine(3), testing::TestLine(4)});
  return drawing;
}

std::vector<std::uint8_t> Encode(const CKonstruktion& drawing) {
  ByteWriter out;
  EncodeConstructionDrawing(drawing, out);
  return out.Take();
}

TEST(ConstructionFile, KindWritesUnderTheEntrysBaseName) {
  ScratchDir dir;
  DiagnosticCapture captured;
  const std::vector<std::uint8_t> bytes = Encode(SmallDrawing());
  std::size_t stop = 0;
  auto file = testing::TryKindStop(EntryKind::kConstruction, bytes, "a.b.c", &stop);
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->kind(), EntryKind::kConstruction);
  EXPECT_EQ(stop, bytes.size());
  EXPECT_EQ(file->OutputName(), "a.b.kon");
  testing::WriteHere(*file);
  EXPECT_EQ(dir.Read("a.b.kon"), bytes);
}

TEST(ConstructionFile, KindDeclinesAFailedDrawingAndReportsWithTheEntryName) {
  DiagnosticCapture captured;
  std::vector<std::uint8_t> bytes = Encode(SmallDrawing());
  bytes.push_back(0);
  EXPECT_TRUE(testing::TryKindStop(EntryKind::kConstruction, bytes, "mehr.kon", nullptr));
  EXPECT_EQ(captured.messages(), std::vector<std::string>{"EOF not found: mehr.kon!\n"});
  bytes.resize(bytes.size() - 2);
  std::size_t stop = 0;
  EXPECT_FALSE(testing::TryKindStop(EntryKind::kConstruction, bytes, "kurz.kon", &stop));
  EXPECT_EQ(captured.last_message(), "Formatfehler!\n");
  EXPECT_EQ(stop, bytes.size() + 1 - construction::kLineRecordSize);
}

}  // namespace
}  // namespace railfmt
