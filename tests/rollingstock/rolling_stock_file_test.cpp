#include "rollingstock/rolling_stock_kind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <map>
#include <string>
#include <vector>

#include "archive/model_kind.h"
#include "construction/construction_kind.h"
#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "layout/layout_kind.h"
#include "tests/archive/model_test_models.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {
using testing::ScratchDir;

CRollmaterial RecordNamed(const std::string& name) {
  CRollmaterial record;
  record.Models = {testing::TwoPartModel(), CModell(), testing::TwoPartModel()};
  record.Info.Name = name;
  record.Info.Value5 = 0x7FC00123u;
  return record;
}

std::vector<std::uint8_t> Encode(CRollmaterial record) {
  ByteWriter out;
  EncodeRollingStock(record, out);
  return out.Take();
}

// The output is named from the info block and stays in the working
// directory; the entry's own name plays no part.
TEST(RollingStockFile, KindNamesTheOutputFromTheInfoBlock) {
  const struct {
    std::string stored_name;  // as the info block holds it
    const char* output;       // nullptr: nothing may be written
    const char* message;
  } cases[] = {
      {"V 100", "V 100.rol", nullptr},
      {"", nullptr, "Can't open !\n"},
      {"..", nullptr, "Can't open ..!\n"},
      {".V 100", nullptr, "Can't open .V 100!\n"},
      {"V\n100", nullptr, "Can't open V\n100!\n"},
      {"V\x7f", nullptr, "Can't open V\x7f!\n"},
      {std::string("Lok\0/x", 6), "Lok.rol", nullptr},  // cut at the zero byte
      {"../V 100", nullptr, "Can't open ../V 100!\n"},
      {"sub/V 100", nullptr, "Can't open sub/V 100!\n"},
      {"C:\\V 100", nullptr, "Can't open C:\\V 100!\n"},
      {"\\", nullptr, "Can't open \\!\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored_name);
    ScratchDir dir;
    std::filesystem::create_directory("sub");
    DiagnosticCapture captured;
    const std::vector<std::uint8_t> bytes = Encode(RecordNamed(c.stored_name));
    auto file = testing::TryKindStop(EntryKind::kRollingStock, bytes, "eingang.bin", nullptr);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->kind(), EntryKind::kRollingStock);
    testing::WriteHere(*file);
    std::map<std::string, std::vector<std::uint8_t>> expected = {{"sub", {}}};
    if (c.output != nullptr) {
      expected[c.output] = Encode(RecordNamed(c.stored_name.substr(0, c.stored_name.find('\0'))));
      EXPECT_TRUE(captured.messages().empty());
    } else {
      EXPECT_EQ(captured.messages(), std::vector<std::string>{c.message});
    }
    EXPECT_EQ(dir.Snapshot(), expected);
  }
}

TEST(RollingStockFile, CascadeRecognisesEachKindAfterTheFailedAttempts) {
  CModell model = testing::TwoPartModel();
  const std::vector<std::uint8_t> model_bytes = EncodeToBytes<ModelKind>(model);
  CKonstruktion drawing;
  CPunkt point;
  point.Quad[0] = 5;  // stands at offset 40, where a model header repeats its part count
  drawing.SetPoints({point});
  ByteWriter drawing_out;
  EncodeConstructionDrawing(drawing, drawing_out);

  DiagnosticCapture captured;
  auto rolling = RecogniseEntry("r.bin", Encode(RecordNamed("r")));
  ASSERT_TRUE(rolling.has_value());
  EXPECT_EQ(rolling->kind(), EntryKind::kRollingStock);
  EXPECT_EQ(captured.mismatches(), "");
  EXPECT_TRUE(captured.messages().empty());

  auto as_model = RecogniseEntry("m.mod", model_bytes);
  ASSERT_TRUE(as_model.has_value());
  EXPECT_EQ(as_model->kind(), EntryKind::kModel);
  EXPECT_EQ(captured.mismatches(), "");  // model 1 of the rolling stock attempt ran out of data
  EXPECT_EQ(captured.messages(), std::vector<std::string>{"Formatfehler!\n"});

  captured.Clear();
  auto as_drawing = RecogniseEntry("d.kon", drawing_out.bytes());
  ASSERT_TRUE(as_drawing.has_value());
  EXPECT_EQ(as_drawing->kind(), EntryKind::kConstruction);
  // The drawing's first word, 2880, passes as a part count; the repeated
  // count does not, once for the rolling stock and once for the model.
  EXPECT_EQ(captured.mismatches(), "I: 5 S: 2880\nI: 5 S: 2880\n");
  EXPECT_EQ(captured.messages(), (std::vector<std::string>{"Formatfehler 3 in (null)!\n", "EOF not found: d.kon!\n",
                                                           "Formatfehler 3 in (null)!\n", "EOF not found: d.kon!\n"}));
}

// A drawing that fails after its identification words is not claimed: the
// cascade goes on to the kinds after it.
TEST(RollingStockFile, FailedDrawingIsLeftToTheKindsAfterIt) {
  CKonstruktion drawing;
  drawing.SetPoints({CPunkt()});
  ByteWriter out;
  EncodeConstructionDrawing(drawing, out);
  std::vector<std::uint8_t> bytes = out.Take();
  bytes[bytes.size() - 4] = 1;  // the reserved count
  DiagnosticCapture captured;
  auto file = RecogniseEntry("d.kon", bytes);
  EXPECT_TRUE(!file || file->kind() == EntryKind::kLayout);
  const std::vector<std::string>& messages = captured.messages();
  const auto juhu = std::find(messages.begin(), messages.end(), "Formatfehler Juhu in (null)!\n");
  ASSERT_NE(juhu, messages.end());
  EXPECT_EQ(juhu - messages.begin(), 4);  // after two failed rolling stock and model messages each
  EXPECT_TRUE(captured.mismatches().starts_with("I: 0 S: 2880\nI: 0 S: 2880\nI: 1 S: 0\n"));
}

}  // namespace
}  // namespace railfmt
