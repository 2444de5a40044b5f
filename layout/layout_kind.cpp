#include "layout/layout_kind.h"

#include <array>
#include <bit>
#include <vector>

#include "driver/path_names.h"
#include "layout/layout_format.h"
#include "layout/model_placement.h"

namespace railfmt {
namespace {

// Where a model stands and faces, and its number, before normalising.
struct Placement {
  std::array<std::int32_t, 3> position;
  std::array<float, 3> direction;
  std::int16_t number;
};

// Bit for bit, so that a NaN that stays a NaN is no change.
bool SamePlace(const CAnlagenModell& model, const Placement& before) {
  for (std::size_t i = 0; i < 3; ++i) {
    if (model.Position[i] != before.position[i] ||
        std::bit_cast<std::uint32_t>(model.Direction[i]) != std::bit_cast<std::uint32_t>(before.direction[i])) {
      return false;
    }
  }
  return true;
}

template <typename Entries>
void TellUnnumbered(const Entries& entries, const ChangeWords& words, Normalisation& changes) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].Number == 0) {
      changes.Add(words, {{"name", entries[i].Name}, {"record", static_cast<std::int64_t>(i + 1)}});
    }
  }
}

}  // namespace

ReadResult LayoutKind::Read(std::span<const std::uint8_t> bytes, std::string_view /*entry_name*/, CAnlage& layout) {
  return ReadLayout(layout, bytes);
}

std::string LayoutKind::OutputName(const CAnlage& /*layout*/, std::string_view entry_name) {
  return BaseName(entry_name) + "." + kExtension;
}

Normalisation LayoutKind::Normalise(CAnlage& layout) {
  Normalisation changes;
  TellUnnumbered(layout.Tracks, kTrackLeftOut, changes);
  TellUnnumbered(layout.Models, kModelLeftOut, changes);
  TellUnnumbered(layout.RollingStock, kVehicleLeftOut, changes);

  std::vector<Placement> before;
  before.reserve(layout.Models.size());
  for (const CAnlagenModell& m : layout.Models) before.push_back({m.Position, m.Direction, m.Number});
  PlaceLinkedModels(layout);
  // The track each placed model belongs to, by number.
  std::vector<std::int16_t> track_of(layout.Models.size(), 0);
  for (const CGleis& t : layout.Tracks) {
    if (t.LinkedModel >= 0 && static_cast<std::size_t>(t.LinkedModel) < track_of.size()) {
      track_of[static_cast<std::size_t>(t.LinkedModel)] = t.Number;
    }
  }
  const std::vector<DuplicateModel> duplicates = RemoveDuplicateModels(layout);
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    const CAnlagenModell& now = layout.Models[i];
    if (now.Number == 0 || SamePlace(now, before[i])) continue;
    const bool stop = now.Name.starts_with(layout_format::kBufferStopPrefix);
    changes.Add(stop ? kBufferStopPlaced : kBridgePlaced, {{"name", now.Name},
                                                           {"track", track_of[i]},
                                                           {"x", now.Position[0]},
                                                           {"y", now.Position[1]},
                                                           {"z", now.Position[2]}});
  }
  for (const DuplicateModel& d : duplicates) {
    const CAnlagenModell& removed = layout.Models[static_cast<std::size_t>(d.removed)];
    changes.Add(kDuplicateRemoved, {{"number", std::int64_t{before[static_cast<std::size_t>(d.removed)].number}},
                                    {"name", removed.Name},
                                    {"x", removed.Position[0]},
                                    {"y", removed.Position[1]},
                                    {"z", removed.Position[2]},
                                    {"kept", layout.Models[static_cast<std::size_t>(d.kept)].Number}});
  }
  for (CGleis& track : layout.Tracks) {
    if (track.Number == 0) continue;
    const std::int32_t type = track.Type;
    TypeFromEndCount(track);
    if (track.Type != type) {
      changes.Add(kTrackTypeCorrected,
                  {{"number", track.Number}, {"name", track.Name}, {"from", type}, {"to", track.Type}});
    }
  }
  return changes;
}

void LayoutKind::Encode(const CAnlage& layout, ByteWriter& out) { EncodeLayout(layout, out); }

}  // namespace railfmt
