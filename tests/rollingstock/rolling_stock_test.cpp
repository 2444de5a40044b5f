// Rolling stock: three models in one archive stream, where the first model
// with parts introduces the classes and every later one carries its tags.
#include "rollingstock/rolling_stock.h"

#include <gtest/gtest.h>

#include "driver/diagnostics.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tests/support/model_builders.h"

namespace railfmt {
namespace {
using namespace testing;  // NOLINT: the model builders

// Models whose own tags all differ: A (0x8009, 0x801B), B (0x8006, 0x800F)
// and C (two parts, the second empty).
const CModell A = TwoPartModel();
const CModell B = ModelOf({PartOf({SamplePoint(7, 7, 7)}, {MakePrimitive({0})}, {})});
const CModell C = ModelOf({PartOf({SamplePoint(1, 0, 0), SamplePoint(0, 1, 0), SamplePoint(0, 0, 1)},
                                  {MakePrimitive({0, 1, 2})}, {FormatOf(9)}),
                           PartOf({}, {}, {})});
const CModell E = ModelOf({});
// NaN patterns travel as they are.
CRollInfo Info() { return {0x7FC00000u, 0, 0x7F800001u, "BR 218", 0, 0, 0, 0xFFC00001u, 0, 0xDEADBEEFu}; }
// A stream of pieces: a model written as the first of a stream, or as a
// later one carrying the tags of tags_from.
struct Piece {
  const CModell* model;
  const CModell* tags_from = nullptr;
};
Bytes Stream(std::initializer_list<Piece> pieces) {
  ByteWriter out;
  for (const Piece& p : pieces) {
    if (p.tags_from) p.model->WriteModelLater(out, p.tags_from->ComputeModelTags());
    else p.model->WriteModelFirst(out);
  }
  WriteRollInfo(Info(), out);
  return out.Take();
}
Piece First(const CModell& m) { return {&m}; }
Piece Later(const CModell& m, const CModell& tags_from) { return {&m, &tags_from}; }
Bytes Encode(const CRollmaterial& record) {
  return Written([&](ByteWriter& out) { EncodeRollingStock(record, out); });
}

TEST(RollingStock, FirstModelWithPartsIntroducesTheClassesForTheOthers) {
  ASSERT_EQ(A.ComputeModelTags(), (ModelTags{0x8009, 0x801B}));
  ASSERT_EQ(B.ComputeModelTags(), (ModelTags{0x8006, 0x800F}));
  using Models = std::array<const CModell*, 3>;
  struct Case {
    Models models;
    Bytes file;
    Models tags_from;  // whose tags each model is read with (none: nullptr)
  };
  const Case cases[] = {
      {{&A, &B, &C}, Stream({First(A), Later(B, A), Later(C, A)}), {&A, &A, &A}},
      {{&E, &B, &C}, Stream({First(E), First(B), Later(C, B)}), {nullptr, &B, &B}},
      {{&E, &E, &A}, Stream({First(E), First(E), First(A)}), {nullptr, nullptr, &A}},
      {{&B, &E, &A}, Stream({First(B), Later(E, B), Later(A, B)}), {&B, &B, &B}},  // an empty model after B
      {{&E, &E, &E}, Stream({First(E), First(E), First(E)}), {nullptr, nullptr, nullptr}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Encode({{*c.models[0], *c.models[1], *c.models[2]}, 0, Info()}), c.file);
    DiagnosticCapture captured;
    CRollmaterial record;
    EXPECT_EQ(ReadRollingStock(record, c.file, "zug.rol").stop_offset, c.file.size());
    ASSERT_EQ(record.Complete, 1) << captured.last_message();
    EXPECT_TRUE(captured.messages().empty() && captured.mismatches().empty());
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(record.Models[i].ReadOk, 1);
      ExpectSameContent(record.Models[i], *c.models[i]);
      const ModelTags want = c.tags_from[i] ? c.tags_from[i]->ComputeModelTags() : ModelTags{};
      EXPECT_EQ(record.Models[i].IndexTag, want.index) << i;
      EXPECT_EQ(record.Models[i].FormatTag, want.format) << i;
    }
    EXPECT_EQ(record.Info, Info());
    EXPECT_EQ(Encode(record), c.file);
  }
  // A model after the first with parts must not introduce the classes again,
  // and must carry the first one's tags, not its own.
  const std::string again = "Formatfehler 6 in (null)!\n";
  const std::string own = "Formatfehler 11 in (null)!\n";
  struct Rejected {
    const char* what;
    Bytes file;
    std::string message;
  };
  const Rejected rejected[] = {
      {"the classes introduced again", Stream({First(A), First(B), Later(C, A)}), again},
      {"a later model with its own tags", Stream({First(A), Later(B, A), Later(B, B)}), own},
      {"its own tags after an empty model", Stream({First(E), First(A), Later(B, B)}), own},
  };
  for (const Rejected& r : rejected) {
    SCOPED_TRACE(r.what);
    DiagnosticCapture captured;
    CRollmaterial record;
    ReadRollingStock(record, r.file, "zug.rol");
    EXPECT_EQ(record.Complete, 0);
    EXPECT_EQ(captured.messages().at(0), r.message);
  }
}

// The writer carries the tags of its own output: a model 0 whose primitive
// list held objects behind its end is written canonically, and the later
// models follow its new "CObFormat" tag.
TEST(RollingStock, WriterCarriesTheTagsOfItsOwnOutput) {
  const CModell irregular = ModelOf({PartOf({SamplePoint(0, 0, 0), SamplePoint(1, 1, 1)}, {}, {FormatOf(4)})});
  std::vector<IndexObjectValues> block = EmptyBlock();
  block.insert(block.end(), {V(1), V(0)});
  ByteWriter in;
  in.Bytes(EncodeModelWithBlocks(irregular, {block}));
  const ModelTags read_tags{0x8007, 0x8011};  // 0x8007 + 1 + (8 + 1)
  B.WriteModelLater(in, read_tags);
  C.WriteModelLater(in, read_tags);
  WriteRollInfo(Info(), in);
  DiagnosticCapture captured;
  CRollmaterial record;
  ReadRollingStock(record, in.bytes(), "in.rol");
  ASSERT_EQ(record.Complete, 1) << captured.last_message();
  EXPECT_EQ(record.Models[1].FormatTag, 0x8011);
  ASSERT_EQ(irregular.ComputeModelTags(), (ModelTags{0x8007, 0x800F}));
  EXPECT_EQ(Encode(record), Stream({First(irregular), Later(B, irregular), Later(C, irregular)}));
}

// Every part whose primitives the writer reorders is told by its model and part.
TEST(RollingStock, NormalisingTellsTheModelAndPartOfEachReorderedPrimitiveList) {
  const CModellTeil disordered = PartOf({}, {MakePrimitive({0, 1}), MakePrimitive({0})}, {});
  CRollmaterial record{{ModelOf({disordered}), B, ModelOf({PartOf({}, {}, {}), disordered})}, 0, Info()};
  EXPECT_EQ(ChangedNumbers(RollingStockKind::Normalise(record)),
            (std::vector<std::vector<std::int64_t>>{{1, 1}, {3, 2}}));
}

// A name that would lead to another file, or to none, is refused.
TEST(RollingStock, OutputNamesThatAreNoPlainFileNameAreRefused) {
  struct Name {
    std::optional<std::string> name;
    bool refused;
  };
  const Name names[] = {
      {"BR 218", false}, {"a b\x80\xFF", false}, {std::nullopt, true}, {"", true},     {"a\x1F", true},
      {"a\x7F", true},   {"a/b", true},          {"a\\b", true},       {".lok", true}, {"Lok.v2", false},
  };
  for (const Name& n : names) {
    CRollmaterial record;
    record.Info.Name = n.name;
    EXPECT_EQ(RollingStockKind::RefusedName(record).has_value(), n.refused) << n.name.value_or("(none)");
  }
}

}  // namespace
}  // namespace railfmt
