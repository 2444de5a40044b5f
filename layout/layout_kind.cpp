#include "layout/layout_kind.h"

#include <array>
#include <bit>
#include <vector>

#include "driver/path_names.h"
#include "layout/layout_format.h"
#include "layout/model_placement.h"

namespace railfmt {
namespace {

// Where a model stands and faces, and whether it is numbered.
struct Placement {
  std::array<std::int32_t, 3> position;
  std::array<float, 3> direction;
  bool numbered;
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

}  // namespace

ReadResult LayoutKind::Read(std::span<const std::uint8_t> bytes, std::string_view /*entry_name*/, CAnlage& layout) {
  return ReadLayout(layout, bytes);
}

std::string LayoutKind::OutputName(const CAnlage& /*layout*/, std::string_view entry_name) {
  return BaseName(entry_name) + "." + kExtension;
}

Normalisation LayoutKind::Normalise(CAnlage& layout) {
  Normalisation changes;
  std::vector<Placement> before;
  before.reserve(layout.Models.size());
  for (const CAnlagenModell& m : layout.Models) before.push_back({m.Position, m.Direction, m.Number != 0});
  PlaceLinkedModels(layout);
  RemoveDuplicateModels(layout);
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    const CAnlagenModell& now = layout.Models[i];
    if (before[i].numbered && now.Number == 0) ++changes.duplicates_removed;
    if (now.Number == 0 || SamePlace(now, before[i])) continue;
    if (now.Name.starts_with(layout_format::kBufferStopPrefix)) {
      ++changes.buffer_stops_placed;
    } else {
      ++changes.bridges_placed;
    }
  }
  for (CGleis& track : layout.Tracks) {
    if (track.Number == 0) continue;
    const std::int32_t type = track.Type;
    TypeFromEndCount(track);
    if (track.Type != type) ++changes.track_types_corrected;
  }
  return changes;
}

void LayoutKind::Encode(const CAnlage& layout, ByteWriter& out) { EncodeLayout(layout, out); }

}  // namespace railfmt
