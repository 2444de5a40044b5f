#include "layout/layout.h"

#include <algorithm>

#include "driver/diagnostics.h"
#include "driver/field_primitives.h"
#include "layout/model_placement.h"

namespace railfmt {
namespace {

template <typename Entries>
int CountNumbered(const Entries& entries) {
  return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.Number != 0; }));
}

bool ReadCount(ReadCursor& in, std::int16_t& count) {
  if (in.Field("count").ReadI16(count)) return true;
  Report("Formatfehler!\n");
  return false;
}

// The vehicle file name ends in ".dll", any letter case: such vehicles are
// program modules that cannot be placed on a layout.
bool NamesDll(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.size() - dot != 4) return false;
  const std::string_view dll = ".dll";
  return std::equal(dll.begin(), dll.end(), name.begin() + static_cast<std::ptrdiff_t>(dot),
                    [](char want, char c) { return want == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
}

// One of the three sections of numbered records: a count, then the records,
// each read by read_record(in, record); when one fails, report(record) says
// so and the section ends. The records read stay, the failing one last.
template <typename Record, typename ReadRecord, typename ReportFault>
bool ReadSection(ReadCursor& in, const char* section, const char* record_name, std::size_t min_record_size,
                 std::int16_t& count, std::vector<Record>& records, ReadRecord read_record, ReportFault report) {
  const auto place = in.Within(section);
  if (!ReadCount(in, count)) return false;
  ReserveAnnounced(records, count, in, min_record_size);
  for (int i = 0; i < count; ++i) {
    const auto entry = in.Within(record_name, i);
    Record& record = records.emplace_back();
    if (read_record(in, record) != 1) {
      report(record);
      return false;
    }
  }
  return true;
}

void ReportTrack(const CGleis& track) { Report("Gleis Nr. %d fehlerhaft!\n", track.Number); }

void ReportPlacedModel(const CAnlagenModell& model) { Report("Modell Nr. %d fehlerhaft!\n", model.Number); }

void ReportVehicle(const CAnlagenRollmaterial& vehicle) {
  if (NamesDll(vehicle.Name)) {
    Report("Dll-Modell \"%s\" kann nicht benutzt werden!\n", vehicle.Name.c_str());
  } else {
    Report("Rollmaterial Nr. %d fehlerhaft!\n", vehicle.Number);
  }
}

bool ReadLayoutSections(ReadCursor& in, CAnlage& layout) {
  if (!ReadSection(in, ForPeople("tracks"), ForPeople("track"), layout_format::kMinTrackRecordSize, layout.TrackCount,
                   layout.Tracks, ReadTrack, ReportTrack) ||
      !ReadSection(in, ForPeople("placed models"), ForPeople("placed model"), layout_format::kModelRecordBaseSize,
                   layout.ModelCount, layout.Models, ReadPlacedModel, ReportPlacedModel) ||
      !ReadSection(in, ForPeople("vehicles"), ForPeople("vehicle"), layout_format::kVehicleRecordBaseSize,
                   layout.RollingStockCount, layout.RollingStock, ReadRollmaterialEntry, ReportVehicle)) {
    return false;
  }
  for (std::size_t b = 0; b < layout.Blocks.size(); ++b) {
    const auto place = in.Within("value block", static_cast<std::int32_t>(b));
    if (ReadBlock(in, layout.Blocks[b]) != 1) {
      Report("Formatfehler!\n");
      return false;
    }
  }
  if (ReadProperties(in, layout.Properties) != 1) return false;
  {
    const auto trailers = in.Within("trailers");
    for (int i : TrailerOrder(layout)) {
      CAnlagenRollmaterial& vehicle = layout.RollingStock[static_cast<std::size_t>(i)];
      const auto place = in.Within("vehicle", i);
      in.Number(vehicle.Number);
      if (ReadRollmaterialTrailer(in, vehicle) != 1) {
        Report("Formatfehler!\n");
        return false;
      }
    }
  }
  const std::size_t end = in.offset();
  std::uint8_t extra = 0;
  if (in.ReadU8(extra)) {
    in.Reject(end, in.size(), "bytes after the end");
    Report("Datei zu lang!\n");
    return false;
  }
  return true;
}

}  // namespace

void ClearLayout(CAnlage& layout) { layout = CAnlage{}; }

int CountTracks(const CAnlage& layout) { return CountNumbered(layout.Tracks); }
int CountModels(const CAnlage& layout) { return CountNumbered(layout.Models); }
int CountRollingStock(const CAnlage& layout) { return CountNumbered(layout.RollingStock); }

int NextRollmaterialByNumber(const CAnlage& layout, int& previous) {
  int best = layout_format::kTrailerLimit;
  int result = -1;
  for (std::size_t i = 0; i < layout.RollingStock.size(); ++i) {
    const int n = layout.RollingStock[i].Number;
    if (n > previous && n < best) {
      best = n;
      result = static_cast<int>(i);
    }
  }
  previous = best;
  return result;
}

std::vector<int> TrailerOrder(const CAnlage& layout) {
  std::vector<int> order;
  for (std::size_t i = 0; i < layout.RollingStock.size(); ++i) {
    const int n = layout.RollingStock[i].Number;
    if (n > 0 && n < layout_format::kTrailerLimit) order.push_back(static_cast<int>(i));
  }
  const auto number = [&](int i) { return layout.RollingStock[static_cast<std::size_t>(i)].Number; };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return number(a) < number(b); });
  order.erase(std::unique(order.begin(), order.end(), [&](int a, int b) { return number(a) == number(b); }),
              order.end());
  return order;
}

int ReadBlock(ReadCursor& in, CAnlagenBlock& block) {
  in.Field("values");
  for (std::uint32_t& v : block.Values) {
    if (!in.ReadU32(v)) return 0;
  }
  return 1;
}

void WriteBlock(ByteWriter& out, const CAnlagenBlock& block) {
  for (std::uint32_t v : block.Values) out.U32(v);
}

int ReadProperties(ReadCursor& in, CEigenschaften& p) {
  const auto place = in.Within("properties");
  if (!in.Field("first triplet").ReadBytes(p.FirstTriplet)) {
    Report("Formatfehler!\n");
    return 0;
  }
  if (ExpectByte(in.Field("zero byte"), 0) != 1) return 0;
  if (!in.Field("second triplet").ReadBytes(p.SecondTriplet)) {
    Report("Formatfehler!\n");
    return 0;
  }
  if (ExpectByte(in.Field("zero byte"), 0) != 1) return 0;
  if (!in.Field("20-byte block").ReadBytes(p.Bytes20)) {
    Report("Feher in Eigenschaften!\n");
    return 0;
  }
  if (!in.Field("final value").ReadU32(p.FinalValue)) {
    Report("Formatfehler!\n");
    return 0;
  }
  return 1;
}

void WriteProperties(ByteWriter& out, const CEigenschaften& p) {
  out.Bytes(p.FirstTriplet);
  out.U8(0);
  out.Bytes(p.SecondTriplet);
  out.U8(0);
  out.Bytes(p.Bytes20);
  out.U32(p.FinalValue);
}

ReadResult ReadLayout(CAnlage& layout, std::span<const std::uint8_t> bytes) {
  ReadCursor in(bytes);
  const bool ok = ReadLayoutSections(in, layout);
  if (ok) {
    layout.ReadOk = 1;
    LinkModelsToTracks(layout);
  }
  return {ok, in.offset(), in.fault()};
}

void EncodeLayout(const CAnlage& layout, ByteWriter& out) {
  out.U16(static_cast<std::uint16_t>(CountTracks(layout)));
  for (const CGleis& track : layout.Tracks) WriteTrack(out, track);
  out.U16(static_cast<std::uint16_t>(CountModels(layout)));
  for (const CAnlagenModell& model : layout.Models) WritePlacedModel(out, model);
  out.U16(static_cast<std::uint16_t>(CountRollingStock(layout)));
  for (const CAnlagenRollmaterial& vehicle : layout.RollingStock) WriteRollmaterialEntry(out, vehicle);
  for (const CAnlagenBlock& block : layout.Blocks) WriteBlock(out, block);
  WriteProperties(out, layout.Properties);
  for (int i : TrailerOrder(layout)) WriteRollmaterialTrailer(out, layout.RollingStock[static_cast<std::size_t>(i)]);
}

}  // namespace railfmt
