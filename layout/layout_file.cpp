#include "layout/layout_file.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "driver/diagnostics.h"
#include "driver/output_file.h"
#include "driver/path_names.h"
#include "driver/platform_files.h"
#include "layout/model_placement.h"

namespace railfmt {
namespace {

bool ReadCount(ReadCursor& in, std::int16_t& count) {
  if (in.ReadI16(count)) return true;
  Report("Formatfehler!\n");
  return false;
}

// Room for the records a count announces, but never more than the bytes
// left could hold.
template <typename Record>
void ReserveRecords(std::vector<Record>& records, std::int16_t count, const ReadCursor& in, std::size_t min_size) {
  if (count > 0) records.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), in.remaining() / min_size + 1));
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

bool ReadTracks(ReadCursor& in, CAnlage& layout) {
  if (!ReadCount(in, layout.TrackCount)) return false;
  ReserveRecords(layout.Tracks, layout.TrackCount, in, layout_format::kMinTrackRecordSize);
  for (int i = 0; i < layout.TrackCount; ++i) {
    CGleis& track = layout.Tracks.emplace_back();
    if (ReadTrack(in, track) != 1) {
      Report("Gleis Nr. %d fehlerhaft!\n", track.Number);
      return false;
    }
  }
  return true;
}

bool ReadModels(ReadCursor& in, CAnlage& layout) {
  if (!ReadCount(in, layout.ModelCount)) return false;
  ReserveRecords(layout.Models, layout.ModelCount, in, layout_format::kModelRecordBaseSize);
  for (int i = 0; i < layout.ModelCount; ++i) {
    CAnlagenModell& model = layout.Models.emplace_back();
    if (ReadPlacedModel(in, model) != 1) {
      Report("Modell Nr. %d fehlerhaft!\n", model.Number);
      return false;
    }
  }
  return true;
}

bool ReadVehicles(ReadCursor& in, CAnlage& layout) {
  if (!ReadCount(in, layout.RollingStockCount)) return false;
  ReserveRecords(layout.RollingStock, layout.RollingStockCount, in, layout_format::kVehicleRecordBaseSize);
  for (int i = 0; i < layout.RollingStockCount; ++i) {
    CAnlagenRollmaterial& vehicle = layout.RollingStock.emplace_back();
    if (ReadRollmaterialEntry(in, vehicle) != 1) {
      if (NamesDll(vehicle.Name)) {
        Report("Dll-Modell \"%s\" kann nicht benutzt werden!\n", vehicle.Name.c_str());
      } else {
        Report("Rollmaterial Nr. %d fehlerhaft!\n", vehicle.Number);
      }
      return false;
    }
  }
  return true;
}

bool ReadLayoutSections(ReadCursor& in, CAnlage& layout) {
  if (!ReadTracks(in, layout) || !ReadModels(in, layout) || !ReadVehicles(in, layout)) return false;
  for (CAnlagenBlock& block : layout.Blocks) {
    if (ReadBlock(in, block) != 1) {
      Report("Formatfehler!\n");
      return false;
    }
  }
  if (ReadProperties(in, layout.Properties) != 1) return false;
  for (int i : TrailerOrder(layout)) {
    if (ReadRollmaterialTrailer(in, layout.RollingStock[static_cast<std::size_t>(i)]) != 1) {
      Report("Formatfehler!\n");
      return false;
    }
  }
  std::uint8_t extra = 0;
  if (in.ReadU8(extra)) {
    Report("Datei zu lang!\n");
    return false;
  }
  return true;
}

class LayoutFile final : public RecognisedFile {
 public:
  LayoutFile(CAnlage layout, std::string output_name)
      : layout_(std::move(layout)), output_name_(std::move(output_name)) {}
  EntryKind kind() const override { return EntryKind::kLayout; }
  std::string OutputName() const override { return output_name_; }
  void WriteOutput() override { WriteLayoutFile(layout_, output_name_); }

 private:
  CAnlage layout_;
  std::string output_name_;
};

std::unique_ptr<RecognisedFile> TryReadLayout(std::string_view entry_name, std::span<const std::uint8_t> bytes,
                                              std::size_t* stop_offset) {
  CAnlage layout;
  ReadLayoutBytes(layout, bytes, entry_name, stop_offset);
  if (layout.ReadOk != 1) return nullptr;
  return std::make_unique<LayoutFile>(std::move(layout), BaseName(entry_name) + ".anl");
}

}  // namespace

void ReadLayoutBytes(CAnlage& layout, std::span<const std::uint8_t> bytes, std::string_view /*path*/,
                     std::size_t* stop_offset) {
  ReadCursor in(bytes);
  const bool ok = ReadLayoutSections(in, layout);
  if (stop_offset != nullptr) *stop_offset = in.offset();
  if (!ok) return;
  layout.ReadOk = 1;
  LinkModelsToTracks(layout);
}

std::vector<std::uint8_t> EncodeLayoutSections(CAnlage& layout) {
  ByteWriter out;
  out.U16(static_cast<std::uint16_t>(CountTracks(layout)));
  for (CGleis& track : layout.Tracks) WriteTrack(out, track);
  out.U16(static_cast<std::uint16_t>(CountModels(layout)));
  for (const CAnlagenModell& model : layout.Models) WritePlacedModel(out, model);
  out.U16(static_cast<std::uint16_t>(CountRollingStock(layout)));
  for (const CAnlagenRollmaterial& vehicle : layout.RollingStock) WriteRollmaterialEntry(out, vehicle);
  for (const CAnlagenBlock& block : layout.Blocks) WriteBlock(out, block);
  WriteProperties(out, layout.Properties);
  for (int i : TrailerOrder(layout)) WriteRollmaterialTrailer(out, layout.RollingStock[static_cast<std::size_t>(i)]);
  return out.Take();
}

std::vector<std::uint8_t> EncodeLayoutFile(CAnlage& layout) {
  PlaceLinkedModels(layout);
  RemoveDuplicateModels(layout);
  return EncodeLayoutSections(layout);
}

void ReadLayoutFile(CAnlage& layout, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!LoadRegularFile(path, bytes)) {
    ReportOpenFailure(path);
    return;
  }
  ReadLayoutBytes(layout, bytes, path);
}

void WriteLayoutFile(CAnlage& layout, const std::string& path) {
  const std::vector<std::uint8_t> bytes = EncodeLayoutFile(layout);
  StoreOutputFile(path, bytes);
}

const FileKind kLayoutKind = {EntryKind::kLayout, &TryReadLayout};

}  // namespace railfmt
