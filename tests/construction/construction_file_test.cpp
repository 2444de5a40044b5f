#include "construction/construction_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/construction/drawing_bytes.h"
#include "tests/support/capture.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

using testing::CapturedOutput;
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
  EncodeConstructionFile(drawing, out);
  return out.Take();
}

TEST(ConstructionFile, WrittenFileReadsBackEqual) {
  ScratchDir dir;
  CapturedOutput captured;
  WriteConstructionFile(SmallDrawing(), "plan.kon");
  EXPECT_EQ(dir.Read("plan.kon"), Encode(SmallDrawing()));
  CKonstruktion read;
  ReadConstructionFile(read, "plan.kon");
  ASSERT_EQ(read.ReadOk, 1) << captured.last_message();
  read.ReadOk = 0;
  EXPECT_EQ(read, SmallDrawing());
  EXPECT_TRUE(captured.messages().empty());
}

TEST(ConstructionFile, UnopenableFilesAreReportedWithTheirPath) {
  ScratchDir dir;
  CapturedOutput captured;
  CKonstruktion drawing;
  ReadConstructionFile(drawing, "fehlt.kon");
  EXPECT_EQ(drawing.ReadOk, 0);
  WriteConstructionFile(SmallDrawing(), "kein/ordner.kon");
  EXPECT_EQ(captured.messages(),
            (std::vector<std::string>{"Can't open fehlt.kon!\n", "Can't open kein/ordner.kon!\n"}));
  EXPECT_FALSE(dir.Exists("kein"));
}

TEST(ConstructionFile, KindWritesUnderTheEntrysBaseName) {
  ScratchDir dir;
  CapturedOutput captured;
  const std::vector<std::uint8_t> bytes = Encode(SmallDrawing());
  std::size_t stop = 0;
  auto file = kConstructionKind.try_read("a.b.c", bytes, &stop);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(kConstructionKind.kind, EntryKind::kConstruction);
  EXPECT_EQ(file->kind(), EntryKind::kConstruction);
  EXPECT_EQ(stop, bytes.size());
  EXPECT_EQ(file->OutputName(), "a.b.kon");
  file->WriteOutput();
  EXPECT_EQ(dir.Read("a.b.kon"), bytes);
}

TEST(ConstructionFile, KindDeclinesAFailedDrawingAndReportsWithTheEntryName) {
  CapturedOutput captured;
  std::vector<std::uint8_t> bytes = Encode(SmallDrawing());
  bytes.push_back(0);
  EXPECT_NE(kConstructionKind.try_read("mehr.kon", bytes, nullptr), nullptr);
  EXPECT_EQ(captured.messages(), std::vector<std::string>{"EOF not found: mehr.kon!\n"});
  bytes.resize(bytes.size() - 2);
  std::size_t stop = 0;
  EXPECT_EQ(kConstructionKind.try_read("kurz.kon", bytes, &stop), nullptr);
  EXPECT_EQ(captured.last_message(), "Formatfehler!\n");
  EXPECT_EQ(stop, bytes.size() + 1 - construction::kLineRecordSize);
}

}  // namespace
}  // namespace railfmt
