#include "inspect/rescue_records.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <variant>

#include "layout/layout.h"

namespace railfmt::inspect {
namespace {

bool Is(const char* a, const char* b) { return a != nullptr && std::strcmp(a, b) == 0; }

// The position of the record of that name the fault stands in; -1 when it
// stands in none.
std::int32_t IndexWithin(const FieldFault& fault, const char* record) {
  const FieldPlace* place = fault.Within(record);
  return place != nullptr ? place->index : -1;
}

std::int64_t Size(const auto& list) { return static_cast<std::int64_t>(list.size()); }

// A list that lies wholly before the damage: every record kept.
KeptRecords Whole(KeptRecords list, std::int64_t count) {
  list.kept = count;
  list.total = count;
  return list;
}

// The sections of a file in file order, by the place the fault names: the
// position of the first whose name the fault stands in, or `past` when it
// stands in none of them.
std::size_t SectionOf(const FieldFault& fault, std::initializer_list<const char*> sections, std::size_t past) {
  std::size_t position = 0;
  for (const char* section : sections) {
    if (fault.Within(section) != nullptr) return position;
    ++position;
  }
  return past;
}

constexpr KeptRecords kPartRecords{"parts", ForPeopleN("{kept} of {n} part", "{kept} of {n} parts"),
                                   ForPeople("the parts")};
constexpr KeptRecords kModelRecords{"models", ForPeopleN("{kept} of {n} model", "{kept} of {n} models"),
                                    ForPeople("the models")};
constexpr KeptRecords kPointRecords{"points", ForPeopleN("{kept} of {n} point", "{kept} of {n} points"),
                                    ForPeople("the points")};
constexpr KeptRecords kPrimitiveRecords{"primitives", ForPeopleN("{kept} of {n} primitive", "{kept} of {n} primitives"),
                                        ForPeople("the primitives")};
constexpr KeptRecords kFormatRecords{"formats", ForPeopleN("{kept} of {n} format", "{kept} of {n} formats"),
                                     ForPeople("the formats")};
constexpr KeptRecords kDashedLineRecords{"dashed_lines",
                                         ForPeopleN("{kept} of {n} dashed line", "{kept} of {n} dashed lines"),
                                         ForPeople("the dashed lines")};
constexpr KeptRecords kPlainLineRecords{
    "plain_lines", ForPeopleN("{kept} of {n} plain line", "{kept} of {n} plain lines"), ForPeople("the plain lines")};
constexpr KeptRecords kDimensionLineRecords{"dimension_lines",
                                            ForPeopleN("{kept} of {n} dimension line", "{kept} of {n} dimension lines"),
                                            ForPeople("the dimension lines")};
constexpr KeptRecords kTrackRecords{"tracks", ForPeopleN("{kept} of {n} track", "{kept} of {n} tracks"),
                                    ForPeople("the tracks")};
constexpr KeptRecords kPlacedModelRecords{"placed_models",
                                          ForPeopleN("{kept} of {n} placed model", "{kept} of {n} placed models"),
                                          ForPeople("the placed models")};
constexpr KeptRecords kVehicleRecords{"vehicles", ForPeopleN("{kept} of {n} vehicle", "{kept} of {n} vehicles"),
                                      ForPeople("the vehicles")};

constexpr LostPart kLostPrimitives{"primitives_of_parts",
                                   ForPeopleN("the primitives of {n} part", "the primitives of {n} parts")};
constexpr LostPart kLostFormats{"formats_of_parts", ForPeopleN("the formats of {n} part", "the formats of {n} parts")};
constexpr LostPart kLostInfo{"info_block", ForPeopleN("the info block with the name and nine values",
                                                      "the info block with the name and nine values")};
constexpr LostPart kLostBlocks{"value_blocks", ForPeopleN("{n} value block", "{n} value blocks")};
constexpr LostPart kLostProperties{"properties", ForPeopleN("the properties", "the properties")};
constexpr LostPart kLostTrailers{"trailers", ForPeopleN("the trailer of {n} vehicle", "the trailers of {n} vehicles")};

void Lose(KeptContent& content, LostPart part, std::int64_t count) {
  if (count <= 0) return;
  part.count = count;
  content.lost.push_back(part);
}

// A model's stream holds all point lists, then all primitive lists, then
// all format lists. Damage among the point lists keeps the parts before the
// damaged one; past them every part is kept, each with the primitive and
// format lists read before the damage.
KeptContent KeepModel(CModell& model, const FieldFault& fault) {
  enum Section { kHeader, kListOfParts, kPointLists, kPrimitiveLists, kFormatLists, kPast };
  const std::size_t section =
      SectionOf(fault, {"header", "list of parts", "point lists", "primitive lists", "format lists"}, kPast);
  const std::size_t damaged = static_cast<std::size_t>(std::max(IndexWithin(fault, "part"), 0));
  std::size_t keep = model.Elements.size();
  if (section < kPointLists) keep = 0;
  if (section == kPointLists) keep = std::min(damaged, keep);
  model.Elements.resize(keep);
  const std::size_t with_primitives = section < kPrimitiveLists ? 0 : section == kPrimitiveLists ? damaged : keep;
  const std::size_t with_formats = section < kFormatLists ? 0 : section == kFormatLists ? damaged : keep;
  for (std::size_t i = 0; i < keep; ++i) {
    if (i >= with_primitives) model.Elements[i].SetPrimitives({});
    if (i >= with_formats) model.Elements[i].SetFormats({});
  }
  KeptContent content;
  KeptRecords parts = kPartRecords;
  parts.kept = Size(model.Elements);
  // The header announces the parts; a damaged header is no count.
  if (section != kHeader && model.ElementCount >= 0) parts.total = model.ElementCount;
  content.records.push_back(parts);
  model.ElementCount = static_cast<std::int16_t>(keep);
  Lose(content, kLostPrimitives, static_cast<std::int64_t>(keep - std::min(with_primitives, keep)));
  Lose(content, kLostFormats, static_cast<std::int64_t>(keep - std::min(with_formats, keep)));
  return content;
}

KeptContent KeepRollingStock(CRollmaterial& stock, const FieldFault& fault, std::string_view new_name) {
  const std::int32_t damaged = IndexWithin(fault, "model");
  const std::size_t keep = damaged < 0 ? stock.Models.size() : static_cast<std::size_t>(damaged);
  for (std::size_t m = keep; m < stock.Models.size(); ++m) stock.Models[m] = CModell();
  stock.Info = CRollInfo();
  stock.Info.Name = std::string(new_name);
  KeptContent content;
  KeptRecords models = kModelRecords;
  models.kept = static_cast<std::int64_t>(keep);
  models.total = static_cast<std::int64_t>(stock.Models.size());
  content.records.push_back(models);
  Lose(content, kLostInfo, 1);
  return content;
}

// One list of records of an archive list whose reader keeps only records
// read whole: all of it before the damaged section, what was read in it, and
// nothing after it. Its count is known before the damaged section, or when
// the damage stands in one of its records.
template <typename Record>
KeptRecords KeepList(KeptRecords words, std::vector<Record>& records, std::int16_t& count, std::size_t section,
                     std::size_t damaged, const FieldFault& fault, const char* record_name) {
  const std::int64_t announced = count;
  if (section > damaged) records.clear();
  words.kept = Size(records);
  if (section < damaged || fault.Within(record_name) != nullptr) words.total = std::max<std::int64_t>(announced, 0);
  count = static_cast<std::int16_t>(records.size());
  return words;
}

KeptContent KeepDrawing(CKonstruktion& drawing, const FieldFault& fault) {
  enum Section { kHeader, kPoints, kPrimitives, kFormats, kDashed, kPlain, kReserved, kDimension };
  std::size_t damaged = SectionOf(
      fault, {"header", "point list", "primitive list", "format list", "dashed lines", "plain lines"}, kDimension);
  if (damaged == kDimension && Is(fault.field, "reserved count")) damaged = kReserved;
  KeptContent content;
  if (damaged == kHeader) return content;
  content.records.push_back(
      KeepList(kPointRecords, drawing.Points, drawing.PointCount, kPoints, damaged, fault, "point"));
  // The index block is read as a whole and checked after it: its primitives
  // stand only when it held.
  KeptRecords primitives = kPrimitiveRecords;
  if (damaged <= kPrimitives) drawing.SetPrimitives({});
  if (damaged > kPrimitives) primitives = Whole(primitives, Size(drawing.Primitives));
  content.records.push_back(primitives);
  content.records.push_back(
      KeepList(kFormatRecords, drawing.Formats, drawing.FormatCount, kFormats, damaged, fault, "format"));
  content.records.push_back(KeepList(kDashedLineRecords, drawing.DashedLines, drawing.DashedLineCount, kDashed, damaged,
                                     fault, "dashed line"));
  content.records.push_back(
      KeepList(kPlainLineRecords, drawing.Lines, drawing.LineCount, kPlain, damaged, fault, "plain line"));
  content.records.push_back(KeepList(kDimensionLineRecords, drawing.DimensionLines, drawing.DimensionLineCount,
                                     kDimension, damaged, fault, "dimension line"));
  return content;
}

// One list of layout records, whose reader leaves the failed record last.
template <typename Record>
KeptRecords KeepEntries(KeptRecords words, std::vector<Record>& records, std::int16_t& count, std::size_t section,
                        std::size_t damaged, const FieldFault& fault, const char* record_name) {
  const std::int64_t announced = std::max<std::int64_t>(count, 0);
  if (section > damaged) records.clear();
  if (section == damaged && !records.empty() && fault.Within(record_name) != nullptr) records.pop_back();
  words.kept = Size(records);
  if (section < damaged || fault.Within(record_name) != nullptr) words.total = announced;
  count = static_cast<std::int16_t>(records.size());
  return words;
}

KeptContent KeepLayout(CAnlage& layout, const FieldFault& fault) {
  enum Section { kTracks, kModels, kVehicles, kBlocks, kProperties, kTrailers, kEnd };
  // The trailers name the vehicle they belong to: they are looked for first.
  const std::size_t damaged =
      fault.Within("trailers") != nullptr
          ? static_cast<std::size_t>(kTrailers)
          : SectionOf(fault, {"tracks", "placed models", "vehicles", "value block", "properties"}, kEnd);
  KeptContent content;
  content.records.push_back(
      KeepEntries(kTrackRecords, layout.Tracks, layout.TrackCount, kTracks, damaged, fault, "track"));
  content.records.push_back(
      KeepEntries(kPlacedModelRecords, layout.Models, layout.ModelCount, kModels, damaged, fault, "placed model"));
  content.records.push_back(KeepEntries(kVehicleRecords, layout.RollingStock, layout.RollingStockCount, kVehicles,
                                        damaged, fault, "vehicle"));

  const std::size_t blocks_kept = damaged < kBlocks ? 0
                                  : damaged == kBlocks
                                      ? static_cast<std::size_t>(std::max(IndexWithin(fault, "value block"), 0))
                                      : layout.Blocks.size();
  std::fill(layout.Blocks.begin() + static_cast<std::ptrdiff_t>(blocks_kept), layout.Blocks.end(), CAnlagenBlock{});
  Lose(content, kLostBlocks, static_cast<std::int64_t>(layout.Blocks.size() - blocks_kept));
  if (damaged <= kProperties) {
    layout.Properties = CEigenschaften{};
    Lose(content, kLostProperties, 1);
  }

  // The trailers stand in the order of the vehicles' numbers; those read
  // before the damaged one are kept.
  const std::vector<int> order = TrailerOrder(layout);
  std::size_t trailers_kept = damaged < kTrailers ? 0 : order.size();
  if (damaged == kTrailers) {
    const auto at = std::find(order.begin(), order.end(), IndexWithin(fault, "vehicle"));
    trailers_kept = static_cast<std::size_t>(at - order.begin());
  }
  for (std::size_t i = trailers_kept; i < order.size(); ++i) {
    CAnlagenRollmaterial& vehicle = layout.RollingStock[static_cast<std::size_t>(order[i])];
    vehicle.TrailerValue = 0;
    vehicle.TrailerByte = 0;
    vehicle.TrailerWord = 0;
  }
  Lose(content, kLostTrailers, static_cast<std::int64_t>(order.size() - trailers_kept));
  return content;
}

}  // namespace

bool KeptContent::AnyRecord() const {
  return std::any_of(records.begin(), records.end(), [](const KeptRecords& r) { return r.kept > 0; });
}

KeptContent KeepBeforeDamage(RecognisedFile::Object& object, const FieldFault& fault, std::string_view new_name) {
  if (auto* model = std::get_if<CModell>(&object)) return KeepModel(*model, fault);
  if (auto* stock = std::get_if<CRollmaterial>(&object)) return KeepRollingStock(*stock, fault, new_name);
  if (auto* drawing = std::get_if<CKonstruktion>(&object)) return KeepDrawing(*drawing, fault);
  return KeepLayout(std::get<CAnlage>(object), fault);
}

}  // namespace railfmt::inspect
