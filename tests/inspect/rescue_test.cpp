// The rescue over every case of the rescue table's sources (every sample
// cut at every offset and with every byte inverted, corpus files cut at
// every offset or damaged as the corpus made them): each rescue is a file
// railfmt leaves as it is, holding the original's records field by field,
// or says why there is none; and the table of kept records holds.
#include "inspect/rescue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "driver/diagnostics.h"
#include "inspect/json_archive.h"
#include "inspect/json_layout.h"
#include "tests/support/damage_table.h"
#include "tests/support/data_table.h"
#include "tests/support/rescue_table.h"

namespace railfmt {
namespace {

using inspect::Json;
using inspect::RescueOutcome;

// A list of a file's records as JSON texts, and what a new, empty file
// holds in place of one that was lost (empty: such records are only left
// out, never blanked).
struct RecordList {
  std::vector<std::string> records;
  std::string blank;
  const char* counted_by = nullptr;  // the list of the rescue that counts them
};

template <typename Range, typename Convert>
RecordList ListOf(const char* counted_by, const Range& range, Convert convert, const Json& blank = Json()) {
  RecordList list{{}, blank.is_null() ? "" : blank.dump(), counted_by};
  for (const auto& record : range) list.records.push_back(convert(record).dump());
  return list;
}

Json ModelJson(const CModell& model) {
  std::string text;
  inspect::JsonStream out([&](std::string_view piece) { text += piece; });
  inspect::WriteModel(model, out);
  out.Flush();
  return Json::parse(text);
}

Json Without(Json record, std::initializer_list<const char*> fields) {
  for (const char* field : fields) record.erase(field);
  return record;
}

Json Trailer(const CAnlagenRollmaterial& v) { return {v.TrailerValue, v.TrailerByte, v.TrailerWord}; }

Json Properties(const CEigenschaften& p) { return {p.FirstTriplet, p.SecondTriplet, p.Bytes20, p.FinalValue}; }

// Every stored field of every record, by list. A vehicle's trailer, a
// rolling stock's info block (but its name) and a model part's primitives
// and formats are lists of their own, as they are lost apart from their
// record.
std::map<std::string, RecordList> ListsOf(const RecognisedFile::Object& object) {
  const auto points = [](const CModellTeil& p) { return inspect::List(p.Points, inspect::PointJson); };
  const auto primitives = [](const CModellTeil& p) { return inspect::List(p.Primitives, inspect::PrimitiveJson); };
  const auto formats = [](const CModellTeil& p) { return inspect::List(p.Formats, inspect::FormatJson); };
  if (const auto* model = std::get_if<CModell>(&object)) {
    return {{"model format", ListOf(nullptr, std::vector{model->Format}, inspect::FormatJson)},
            {"points", ListOf("parts", model->Elements, points)},
            {"primitives", ListOf("parts", model->Elements, primitives, Json::array())},
            {"formats", ListOf("parts", model->Elements, formats, Json::array())}};
  }
  if (const auto* stock = std::get_if<CRollmaterial>(&object)) {
    const auto info = [](const CRollInfo& i) { return Without(inspect::RollInfoJson(i), {"Name"}); };
    // What a new, empty rolling stock holds in place of a lost info block.
    const CRollInfo new_info{0, 0, 0, std::nullopt, 0, 0, 0, 0, 0, 0};
    // The class tags and the flag are the reader's, not the model's.
    const auto model = [](const CModell& m) { return Without(ModelJson(m), {"IndexTag", "FormatTag", "ReadOk"}); };
    return {{"models", ListOf("models", stock->Models, model, model(CModell()))},
            {"info", ListOf(nullptr, std::vector{stock->Info}, info, info(new_info))}};
  }
  if (const auto* d = std::get_if<CKonstruktion>(&object)) {
    return {{"points", ListOf("points", d->Points, inspect::PointJson)},
            {"primitives", ListOf("primitives", d->Primitives, inspect::PrimitiveJson)},
            {"formats", ListOf("formats", d->Formats, inspect::FormatJson)},
            {"dashed lines", ListOf("dashed_lines", d->DashedLines, inspect::LineJson)},
            {"plain lines", ListOf("plain_lines", d->Lines, inspect::LineJson)},
            {"dimension lines", ListOf("dimension_lines", d->DimensionLines, inspect::LineJson)}};
  }
  const CAnlage& layout = std::get<CAnlage>(object);
  const auto track = [](const CGleis& t) { return Without(inspect::TrackJson(t), {"LinkedModel"}); };
  const auto vehicle = [](const CAnlagenRollmaterial& v) {
    return Without(inspect::VehicleJson(v), {"TrailerValue", "TrailerByte", "TrailerWord"});
  };
  const auto block = [](const CAnlagenBlock& b) { return Json(b.Values); };
  // What a new, empty layout holds in place of lost properties.
  const CEigenschaften new_properties{{0, 0, 0}, {0, 0, 0}, {}, 0};
  return {{"tracks", ListOf("tracks", layout.Tracks, track)},
          {"placed models", ListOf("placed_models", layout.Models, inspect::PlacedModelJson)},
          {"vehicles", ListOf("vehicles", layout.RollingStock, vehicle)},
          {"trailers", ListOf("vehicles", layout.RollingStock, Trailer, Trailer({}))},
          {"value blocks", ListOf(nullptr, layout.Blocks, block, block({}))},
          {"properties", ListOf(nullptr, std::vector{layout.Properties}, Properties, Properties(new_properties))}};
}

// The object of bytes a kind's reader accepts.
RecognisedFile::Object Read(EntryKind kind, std::span<const std::uint8_t> bytes) {
  KindRead read = ReadKind(kind, bytes, "x");
  EXPECT_TRUE(read.result.accepted) << testing::FaultText(read.result.fault);
  return std::move(read.object);
}

// The bytes railfmt settles on for a file it reads as kind: written again
// and again until they stay as they are (a layout may take more than one
// run, when a duplicate held a bridge's track).
std::vector<std::uint8_t> Settled(EntryKind kind, std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> now(bytes.begin(), bytes.end());
  for (int run = 0; run < 4; ++run) {
    RecognisedFile file(Read(kind, now), "x");
    file.Normalise();
    std::vector<std::uint8_t> next = file.Encode();
    if (next == now) break;
    now = std::move(next);
  }
  return now;
}

// Each list of the rescued file holds the original's records, field for
// field; a record a new file holds may stand for one that was lost. Where
// a byte was inverted, the reader may take records past it as they stand
// (when only a field without a check or copy changed, or a count): only
// the records the file cut there keeps (before_damage) must be exact, and
// the others that differ are counted.
std::size_t ExpectOriginalRecords(const inspect::Rescue& rescue, const std::map<std::string, RecordList>& original,
                                  const std::map<std::string, std::int64_t>* before_damage) {
  const std::optional<RecognisedFile> file = RecogniseEntry(rescue.rescued_name, rescue.bytes);
  EXPECT_TRUE(file.has_value() && file->kind() == rescue.kind);
  EXPECT_EQ(Settled(rescue.kind, rescue.bytes), rescue.bytes);
  std::size_t differing = 0;
  for (const auto& [id, list] : ListsOf(Read(rescue.kind, rescue.bytes))) {
    const RecordList& was = original.at(id);
    std::size_t exact = list.records.size();
    if (before_damage != nullptr) {
      exact = list.counted_by == nullptr ? 0 : static_cast<std::size_t>(before_damage->at(list.counted_by));
    }
    for (std::size_t i = 0; i < list.records.size(); ++i) {
      const std::string& got = list.records[i];
      if ((i < was.records.size() && got == was.records[i]) || (!was.blank.empty() && got == was.blank)) continue;
      ++differing;
      EXPECT_GE(i, exact) << id << " " << i << ": " << got
                          << "\n  original: " << (i < was.records.size() ? was.records[i] : "none");
    }
  }
  return differing;
}

std::map<std::string, std::int64_t> KeptOf(const inspect::Rescue& rescue) {
  std::map<std::string, std::int64_t> kept;
  for (const inspect::KeptRecords& list : rescue.kept) kept[list.id] = list.kept;
  return kept;
}

// Every list keeps at least as many records as in least.
void ExpectKeepsAtLeast(const std::map<std::string, std::int64_t>& kept,
                        const std::map<std::string, std::int64_t>& least) {
  for (const auto& [id, n] : least) {
    EXPECT_GE(kept.contains(id) ? kept.at(id) : 0, n) << id;
  }
}

TEST(Rescue, EveryCutAndEveryInvertedByteGivesBackTheRecordsBeforeTheDamageOrSaysWhyNot) {
  const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
  std::map<std::string, std::size_t> outcomes;
  std::size_t read_past = 0;  // rescues of an inverted byte that kept records read past it
  for (const testing::RescueSource& source : testing::RescueSources()) {
    const std::map<std::string, RecordList> original =
        source.cut ? ListsOf(Read(source.kind, Settled(source.kind, source.bytes)))
                   : std::map<std::string, RecordList>();
    // What each cut kept: a longer file keeps no less, an inverted byte no
    // less than the file cut there.
    std::map<std::size_t, std::map<std::string, std::int64_t>> kept_by_cut;
    // Rescued files already compared in full: most cuts within a record
    // rescue the same bytes.
    std::set<std::vector<std::uint8_t>> compared;
    for (const testing::RescueCase& c : testing::RescueCases(source)) {
      SCOPED_TRACE(source.name + " at " + std::to_string(c.offset) + " " + c.damage);
      const inspect::Rescue rescue = testing::RescueOf(source, testing::RescueInput(source, c));
      ++outcomes[inspect::RescueOutcomeName(rescue.outcome)];
      ASSERT_NE(rescue.outcome, RescueOutcome::kNotProven) << rescue.reason;
      EXPECT_EQ(rescue.bytes.empty(), rescue.outcome != RescueOutcome::kRescued);
      EXPECT_EQ(rescue.reason.empty(), rescue.outcome == RescueOutcome::kRescued);
      if (rescue.outcome == RescueOutcome::kNeedsNone) continue;
      const std::map<std::string, std::int64_t> kept = KeptOf(rescue);
      if (c.damage == "cut") {
        if (c.offset > 0) ExpectKeepsAtLeast(kept, kept_by_cut.at(c.offset - 1));
        kept_by_cut[c.offset] = kept;
      } else if (c.damage != "as made") {
        ExpectKeepsAtLeast(kept, kept_by_cut.at(c.offset));
      }
      if (rescue.outcome == RescueOutcome::kRescued && !original.empty() && !compared.contains(rescue.bytes)) {
        const bool cut = c.damage == "cut";
        read_past += ExpectOriginalRecords(rescue, original, cut ? nullptr : &kept_by_cut.at(c.offset)) > 0;
        if (cut) compared.insert(rescue.bytes);
      }
      if (HasFatalFailure()) return;
    }
  }
  std::printf(
      "rescue cases: %zu rescued (%zu with records read past an inverted byte), %zu nothing to rescue, %zu "
      "need none\n",
      outcomes["rescued"], read_past, outcomes["nothing"], outcomes["needs_none"]);
}

// tests/data/rescue/kept.tsv, written by make_rescue_tables: every row's
// rescue as it stands there, and a row for every source.
TEST(Rescue, TheTableOfKeptRecordsHolds) {
  const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
  std::set<std::string> sources;
  for (const std::vector<std::string>& fields : testing::DataRows("rescue/kept.tsv")) {
    const testing::RescueRow row = testing::RescueRowOf(fields);
    const testing::RescueSource& source = testing::RescueSourceNamed(row.source);
    const inspect::Rescue rescue = testing::RescueOf(source, testing::RescueInput(source, row.damage));
    EXPECT_EQ(testing::RescueRowLine(testing::RowOfRescue(source, row.damage, rescue)), testing::RescueRowLine(row));
    sources.insert(row.source);
  }
  EXPECT_EQ(sources.size(), testing::RescueSources().size());
}

}  // namespace
}  // namespace railfmt
