#include "rollingstock/rolling_stock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "tests/archive/model_test_models.h"

namespace railfmt {
namespace {
using testing::FormatOf;
using testing::ModelOf;
using testing::PartOf;

// Three models whose own tags all differ: A (IndexTag 0x8009, FormatTag
// 0x801B), B (0x8006, 0x800F) and C (two parts, the second empty).
CModell ModelA() { return testing::TwoPartModel(); }
CModell ModelB() { return ModelOf({PartOf({SamplePoint(7, 7, 7)}, {MakePrimitive({0})}, {})}); }
CModell ModelC() {
  return ModelOf({PartOf({SamplePoint(1, 0, 0), SamplePoint(0, 1, 0), SamplePoint(0, 0, 1)}, {MakePrimitive({0, 1, 2})},
                         {FormatOf(9)}),
                  PartOf({}, {}, {})});
}
CModell EmptyModel() { return ModelOf({}); }

CRollInfo Info(const std::string& name) {
  CRollInfo info;
  info.Value1 = 0x7FC00000u;  // NaN patterns travel as they are
  info.Value2 = 0xFFFFFFFFu;
  info.Value3 = 0x7F800001u;
  info.Name = name;
  info.Value4 = 0x80000000u;
  info.Value5 = 1;
  info.Value6 = 0x3F800000u;
  info.Value7 = 0xFFC00001u;
  info.Value8 = 0;
  info.Value9 = 0xDEADBEEFu;
  return info;
}

// Stream pieces built with the model writers; the tests decide which form
// each model takes and which tags a later model carries.
std::vector<std::uint8_t> First(CModell model) {
  ByteWriter out;
  model.WriteModelFirst(out);
  return out.Take();
}
std::vector<std::uint8_t> Later(const CModell& model, const CModell& tags_from) {
  ByteWriter out;
  model.WriteModelLater(out, {tags_from.IndexTag, tags_from.FormatTag});
  return out.Take();
}
CModell WithComputedTags(CModell model) {
  const ModelTags tags = model.ComputeModelTags();
  model.IndexTag = tags.index;
  model.FormatTag = tags.format;
  return model;
}
std::vector<std::uint8_t> InfoBytes(const CRollInfo& info) {
  ByteWriter out;
  WriteRollInfo(info, out);
  return out.Take();
}
std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> pieces) {
  std::vector<std::uint8_t> all;
  for (const auto& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

CRollmaterial Record(CModell m0, CModell m1, CModell m2, const std::string& name) {
  CRollmaterial record;
  record.Models = {std::move(m0), std::move(m1), std::move(m2)};
  record.Info = Info(name);
  return record;
}

std::vector<std::uint8_t> Encode(CRollmaterial record) {
  ByteWriter out;
  EncodeRollingStock(record, out);
  return out.Take();
}

// The parts and headers of two models, without the tags and flags.
void ExpectSameContent(const CModell& read, const CModell& expected) {
  EXPECT_EQ(read.ElementCount, expected.ElementCount);
  EXPECT_EQ(read.Elements, expected.Elements);
  EXPECT_EQ(read.Format.Values, expected.Format.Values);
  EXPECT_EQ(read.Format.Doubles, expected.Format.Doubles);
}

struct FormCase {
  const char* what;
  CModell models[3];
  std::vector<std::uint8_t> file;
  std::uint16_t index_tags[3];
  std::uint16_t format_tags[3];
};

// The first model with parts introduces the classes; every later model
// refers to them with that model's tags.
TEST(RollingStock, FirstModelWithPartsIntroducesTheClassesForTheOthers) {
  const CModell a = WithComputedTags(ModelA());
  const CModell b = WithComputedTags(ModelB());
  ASSERT_EQ(a.IndexTag, 0x8009);
  ASSERT_EQ(b.IndexTag, 0x8006);
  ASSERT_EQ(b.FormatTag, 0x800F);
  const CRollInfo info = Info("BR 218");
  const FormCase cases[] = {
      {"parts in all three models",
       {ModelA(), ModelB(), ModelC()},
       Join({First(ModelA()), Later(ModelB(), a), Later(ModelC(), a), InfoBytes(info)}),
       {0x8009, 0x8009, 0x8009},
       {0x801B, 0x801B, 0x801B}},
      {"model 0 without parts",
       {EmptyModel(), ModelB(), ModelC()},
       Join({First(EmptyModel()), First(ModelB()), Later(ModelC(), b), InfoBytes(info)}),
       {0, 0x8006, 0x8006},
       {0, 0x800F, 0x800F}},
      {"only model 2 with parts",
       {EmptyModel(), EmptyModel(), ModelA()},
       Join({First(EmptyModel()), First(EmptyModel()), First(ModelA()), InfoBytes(info)}),
       {0, 0, 0x8009},
       {0, 0, 0x801B}},
      {"an empty model after the first with parts",
       {ModelB(), EmptyModel(), ModelA()},
       Join({First(ModelB()), Later(EmptyModel(), b), Later(ModelA(), b), InfoBytes(info)}),
       {0x8006, 0x8006, 0x8006},
       {0x800F, 0x800F, 0x800F}},
      {"no parts anywhere",
       {EmptyModel(), EmptyModel(), EmptyModel()},
       Join({First(EmptyModel()), First(EmptyModel()), First(EmptyModel()), InfoBytes(info)}),
       {0, 0, 0},
       {0, 0, 0}},
  };
  for (const FormCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Encode(Record(c.models[0], c.models[1], c.models[2], "BR 218")), c.file);

    DiagnosticCapture captured;
    CRollmaterial record;
    std::size_t stop = 0;
    stop = ReadRollingStock(record, c.file, "zug.rol").stop_offset;
    ASSERT_EQ(record.Complete, 1) << captured.last_message();
    EXPECT_TRUE(captured.messages().empty());
    EXPECT_TRUE(captured.mismatches().empty());
    EXPECT_EQ(stop, c.file.size());
    for (std::size_t i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(record.Models[i].ReadOk, 1);
      ExpectSameContent(record.Models[i], c.models[i]);
      EXPECT_EQ(record.Models[i].IndexTag, c.index_tags[i]);
      EXPECT_EQ(record.Models[i].FormatTag, c.format_tags[i]);
    }
    EXPECT_EQ(record.Info, info);
    EXPECT_EQ(Encode(record), c.file);
  }
  EXPECT_EQ(cases[4].file.size(), 3 * 46 + rollingstock::kInfoFixedSize + 6);
}

// A model after the first with parts must not introduce the classes again,
// and must carry the first one's tags, not its own.
TEST(RollingStock, LaterModelsAreHeldToTheFirstModelsTags) {
  const CModell a = WithComputedTags(ModelA());
  const CModell b = WithComputedTags(ModelB());
  const struct {
    const char* what;
    std::vector<std::uint8_t> file;
    const char* mismatch;
    const char* message;
  } cases[] = {
      {"model 1 introduces the classes again",
       Join({First(ModelA()), First(ModelB()), Later(ModelC(), a), InfoBytes(Info("x"))}), "I: -1 S: -32767\n",
       "Formatfehler 6 in (null)!\n"},
      {"model 2 carries its own index tag",
       Join({First(ModelA()), Later(ModelB(), a), Later(ModelB(), b), InfoBytes(Info("x"))}), "I: -32762 S: -32759\n",
       "Formatfehler 11 in (null)!\n"},
      {"model 2 carries model 1's tags, model 0 having none",
       Join({First(EmptyModel()), First(ModelA()), Later(ModelB(), b), InfoBytes(Info("x"))}), "I: -32762 S: -32759\n",
       "Formatfehler 11 in (null)!\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DiagnosticCapture captured;
    CRollmaterial record;
    ReadRollingStock(record, c.file, "zug.rol");
    EXPECT_EQ(record.Complete, 0);
    EXPECT_EQ(captured.mismatches(), c.mismatch);
    ASSERT_FALSE(captured.messages().empty());
    EXPECT_EQ(captured.messages().front(), c.message);
  }
}

// The writer carries the tags it computes for its output: a model 0 whose
// primitive list held objects behind its end is written canonically, and
// the later models follow its new "CObFormat" tag.
TEST(RollingStock, WriterCarriesTheTagsOfItsOwnOutput) {
  CModell irregular = ModelOf({PartOf({SamplePoint(0, 0, 0), SamplePoint(1, 1, 1)}, {}, {FormatOf(4)})});
  const std::vector<std::vector<IndexObjectValues>> block = {{ModeMarker(0), ModeMarker(1), ModeMarker(4),
                                                              ModeMarker(7), ModeMarker(9), ModeMarker(9),
                                                              VertexObject(1), VertexObject(0)}};
  CModell read_tags;
  read_tags.IndexTag = 0x8007;
  read_tags.FormatTag = 0x8011;  // 0x8007 + 1 + (8 + 1)
  const std::vector<std::uint8_t> file = Join({EncodeModelWithBlocks(irregular, block), Later(ModelB(), read_tags),
                                               Later(ModelC(), read_tags), InfoBytes(Info("Ae 6/6"))});
  DiagnosticCapture captured;
  CRollmaterial record;
  ReadRollingStock(record, file, "in.rol");
  ASSERT_EQ(record.Complete, 1) << captured.last_message();
  EXPECT_EQ(record.Models[1].FormatTag, 0x8011);

  const std::vector<std::uint8_t> written = Encode(record);
  EXPECT_EQ(written, Join({First(irregular), Later(ModelB(), WithComputedTags(irregular)),
                           Later(ModelC(), WithComputedTags(irregular)), InfoBytes(Info("Ae 6/6"))}));
  CRollmaterial again;
  ReadRollingStock(again, written, "out.rol");
  ASSERT_EQ(again.Complete, 1) << captured.last_message();
  EXPECT_EQ(again.Models[2].FormatTag, 0x800F);
}

}  // namespace
}  // namespace railfmt
