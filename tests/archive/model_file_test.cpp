#include "archive/model_kind.h"

#include <gtest/gtest.h>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "tests/archive/model_test_models.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/run_program.h"
#include "tests/support/sample_files.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {
using testing::ScratchDir;
using testing::TwoPartModel;

std::vector<std::uint8_t> Bytes(CModell model) { return EncodeToBytes<ModelKind>(model); }

std::vector<std::uint8_t> Sample(const std::string& name) {
  for (SampleFile& sample : MakeSampleFiles()) {
    if (sample.name == name) return sample.bytes;
  }
  ADD_FAILURE() << "no sample " << name;
  return {};
}

TEST(ModelFile, TrailingBytesAreReportedAcceptedAndDropped) {
  std::vector<std::uint8_t> bytes = Bytes(TwoPartModel());
  const std::size_t model_size = bytes.size();
  bytes.push_back(0);
  bytes.push_back(7);
  DiagnosticCapture captured;
  CModell model;
  std::size_t stop = 0;
  stop = ModelKind::Read(bytes, "x.mod", model).stop_offset;
  EXPECT_EQ(model.ReadOk, 1);
  EXPECT_EQ(stop, model_size);
  EXPECT_EQ(captured.messages(), std::vector<std::string>{"EOF not found: x.mod!\n"});
  EXPECT_EQ(EncodeToBytes<ModelKind>(model).size(), model_size);
}

TEST(ModelFile, EndOfDataIsCheckedAfterAFailedReadToo) {
  std::vector<std::uint8_t> bytes(46, 0);
  bytes[2] = 1;  // the reserved word
  DiagnosticCapture captured;
  CModell model;
  ModelKind::Read(bytes, "bad.mod", model);
  EXPECT_EQ(model.ReadOk, 0);
  EXPECT_EQ(captured.mismatches(), "I: 1 S: 0\n");
  EXPECT_EQ(captured.messages(),
            (std::vector<std::string>{"Formatfehler 1 in (null)!\n", "EOF not found: bad.mod!\n"}));
}

TEST(ModelFile, ATruncatedModelReportsOnlyTheReadersMessage) {
  const std::vector<std::uint8_t> whole = Bytes(TwoPartModel());
  for (const std::size_t cut : {std::size_t{1}, std::size_t{41}, whole.size() / 2, whole.size() - 1}) {
    SCOPED_TRACE(cut);
    const std::vector<std::uint8_t> bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    DiagnosticCapture captured;
    CModell model;
    ModelKind::Read(bytes, "cut.mod", model);
    EXPECT_EQ(model.ReadOk, 0);
    EXPECT_EQ(captured.messages().size(), 1u);
    for (const std::string& message : captured.messages()) EXPECT_NE(message, "EOF not found: cut.mod!\n");
  }
}

TEST(ModelFile, ModelKindNamesItsOutputAfterTheEntrysBaseName) {
  const std::vector<std::uint8_t> bytes = Bytes(TwoPartModel());
  const std::vector<std::pair<std::string, std::string>> names = {
      {"x.bak", "x.mod"}, {"x.mod", "x.mod"}, {"a.b.c", "a.b.mod"}, {"noext", "noext.mod"}, {"x.", "x.mod"}};
  for (const auto& [entry, output] : names) {
    std::size_t stop = 0;
    const auto file = testing::TryKindStop(EntryKind::kModel, bytes, entry, &stop);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->kind(), EntryKind::kModel);
    EXPECT_EQ(file->OutputName(), output);
    EXPECT_EQ(stop, bytes.size());
  }
  DiagnosticCapture captured;
  std::size_t stop = 0;
  EXPECT_FALSE(
      testing::TryKindStop(EntryKind::kModel, std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}, "junk.txt", &stop));
  EXPECT_EQ(stop, 4u);
  EXPECT_EQ(captured.messages().front(), "Formatfehler 1 in (null)!\n");
}

TEST(ModelFile, BatchToolWritesModelsBesideTheirEntriesAndInPlace) {
  ScratchDir dir;
  const std::vector<std::uint8_t> station = Sample("station.mod");
  std::vector<std::uint8_t> with_tail = Sample("every_kind.mod");
  const std::vector<std::uint8_t> every_kind = with_tail;
  with_tail.push_back(0xAB);
  const std::vector<std::uint8_t> reordered = Sample("reordered.bak");
  const std::vector<std::uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'd', 'e', 'l'};
  dir.Write("x.bak", station);
  dir.Write("tail.mod", with_tail);
  dir.Write("reordered.mod", reordered);
  dir.Write("junk.txt", junk);

  EXPECT_EQ(testing::RunProgram({RAILFMT_BINARY}).status, 0);

  CModell canonical;
  {
    DiagnosticCapture quiet;
    ModelKind::Read(reordered, "reordered.mod", canonical);
  }
  ASSERT_EQ(canonical.ReadOk, 1);
  const std::map<std::string, std::vector<std::uint8_t>> expected = {
      {"x.bak", station},       {"x.mod", station},
      {"tail.mod", every_kind}, {"reordered.mod", EncodeToBytes<ModelKind>(canonical)},
      {"junk.txt", junk},
  };
  EXPECT_EQ(dir.Snapshot(), expected);
  EXPECT_NE(expected.at("reordered.mod"), reordered);
}

}  // namespace
}  // namespace railfmt
