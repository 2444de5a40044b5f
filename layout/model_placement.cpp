#include "layout/model_placement.h"

#include <bit>
#include <vector>

#include "driver/field_primitives.h"
#include "layout/placement_index.h"
#include "layout/track_geometry.h"

namespace railfmt {
namespace {

bool HasLinkedModel(const CAnlage& layout, const CGleis& t) {
  return t.LinkedModel >= 0 && static_cast<std::size_t>(t.LinkedModel) < layout.Models.size();
}

bool IsBridge(const CAnlagenModell& m) { return m.Name.starts_with(layout_format::kBridgePrefix); }
bool IsBufferStop(const CAnlagenModell& m) { return m.Name.starts_with(layout_format::kBufferStopPrefix); }

// Position and direction only: what linking compares.
PlacementKey LinkKey(std::int32_t x, std::int32_t y, const std::array<float, 3>& direction) {
  return PlacementKey{{x, y, 0}, {}, direction};
}

// x and y as one key.
std::uint64_t Spot(std::int32_t x, std::int32_t y) {
  return (std::uint64_t{static_cast<std::uint32_t>(x)} << 32) | static_cast<std::uint32_t>(y);
}

// The spots models stand on: a flat open-addressed set, filled once and
// then only asked, without an allocation per spot.
class SpotSet {
 public:
  explicit SpotSet(std::size_t expected) : keys_(std::bit_ceil(2 * expected + 2)), used_(keys_.size(), 0) {}
  // True when the key was not in the set yet.
  bool Insert(std::uint64_t key) {
    const std::size_t i = Find(key);
    if (used_[i] != 0) return false;
    used_[i] = 1;
    keys_[i] = key;
    return true;
  }
  bool Contains(std::uint64_t key) const { return used_[Find(key)] != 0; }

 private:
  std::size_t Find(std::uint64_t key) const {
    const std::size_t mask = keys_.size() - 1;
    std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    while (used_[i] != 0 && keys_[i] != key) i = (i + 1) & mask;
    return i;
  }
  std::vector<std::uint64_t> keys_;
  std::vector<std::uint8_t> used_;
};

PlacementKey ModelKey(const CAnlagenModell& m) { return PlacementKey{m.Position, m.Name, m.Direction}; }

}  // namespace

void LinkModelsToTracks(CAnlage& layout) {
  for (CGleis& t : layout.Tracks) t.LinkedModel = -1;
  unsigned bridge_patterns = 0;
  unsigned stop_patterns = 0;
  std::size_t bridge_count = 0;
  std::size_t stop_count = 0;
  for (const CAnlagenModell& m : layout.Models) {
    if (IsBridge(m)) {
      bridge_patterns |= 1u << NanPattern(m.Direction);
      ++bridge_count;
    } else if (IsBufferStop(m)) {
      stop_patterns |= 1u << NanPattern(m.Direction);
      ++stop_count;
    }
  }
  // A track can only link a model that stands on its spot (its midpoint for
  // bridges, its buffer-stop position for buffer stops), so only tracks
  // whose spot holds such a model go into the indexes: most tracks carry
  // neither, and a set look-up is far cheaper than an index entry.
  SpotSet bridge_spots(bridge_count);
  SpotSet stop_spots(stop_count);
  for (const CAnlagenModell& m : layout.Models) {
    if (IsBridge(m)) bridge_spots.Insert(Spot(m.Position[0], m.Position[1]));
    else if (IsBufferStop(m)) stop_spots.Insert(Spot(m.Position[0], m.Position[1]));
  }
  PlacementIndex bridges(bridge_patterns, bridge_count);
  PlacementIndex stops(stop_patterns, stop_count);
  for (std::size_t i = 0; i < layout.Tracks.size(); ++i) {
    const CGleis& t = layout.Tracks[i];
    if (bridge_patterns != 0) {
      const std::array<std::int32_t, 3> mid = TrackMidpoint(t);
      if (bridge_spots.Contains(Spot(mid[0], mid[1]))) {
        bridges.Insert(LinkKey(mid[0], mid[1], t.StartDirection), static_cast<int>(i));
      }
    }
    if (stop_patterns != 0 && t.EndCount == 1) {
      const std::array<float, 3> d = EndDirection(t);
      const std::array<std::int32_t, 3> p = BufferStopPosition(t, d);
      if (stop_spots.Contains(Spot(p[0], p[1]))) stops.Insert(LinkKey(p[0], p[1], d), static_cast<int>(i));
    }
  }
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    const CAnlagenModell& m = layout.Models[i];
    int track = -1;
    if (IsBridge(m)) track = bridges.FindFirst(LinkKey(m.Position[0], m.Position[1], m.Direction));
    else if (IsBufferStop(m)) track = stops.FindFirst(LinkKey(m.Position[0], m.Position[1], m.Direction));
    if (track >= 0) layout.Tracks[static_cast<std::size_t>(track)].LinkedModel = static_cast<int>(i);
  }
}

void PlaceLinkedModels(CAnlage& layout) {
  for (const CGleis& t : layout.Tracks) {
    if (!HasLinkedModel(layout, t)) continue;
    CAnlagenModell& m = layout.Models[static_cast<std::size_t>(t.LinkedModel)];
    if (IsBufferStop(m)) {
      m.Direction = EndDirection(t);
      m.Position = BufferStopPosition(t, m.Direction);
    } else {
      m.Position = TrackMidpoint(t);
      m.Direction = t.StartDirection;
    }
  }
}

bool ModelsEqual(const CAnlagenModell& a, const CAnlagenModell& b) {
  for (std::size_t i = 0; i < 3; ++i) {
    if (a.Position[i] != b.Position[i] || !FloatsMatch(a.Direction[i], b.Direction[i])) return false;
  }
  return a.Name == b.Name;
}

std::vector<DuplicateModel> RemoveDuplicateModels(CAnlage& layout) {
  unsigned patterns = 0;
  for (const CAnlagenModell& m : layout.Models) {
    if (m.Number != 0) patterns |= 1u << NanPattern(m.Direction);
  }
  // Equal models stand on the same spot: a model alone on its spot equals
  // no other and stays out of the index.
  SpotSet seen(layout.Models.size());
  SpotSet shared(layout.Models.size());
  std::size_t candidates = 0;
  for (const CAnlagenModell& m : layout.Models) {
    if (m.Number == 0) continue;
    const std::uint64_t spot = Spot(m.Position[0], m.Position[1]);
    if (!seen.Insert(spot) && shared.Insert(spot)) ++candidates;
  }
  // A model is removed when it equals an earlier kept model; every other
  // numbered model is kept and joins the index.
  PlacementIndex kept(patterns, 2 * candidates);
  std::vector<DuplicateModel> duplicates;
  std::vector<char> removed(layout.Models.size(), 0);
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    const CAnlagenModell& m = layout.Models[i];
    if (m.Number == 0 || !shared.Contains(Spot(m.Position[0], m.Position[1]))) continue;
    if (const int original = kept.FindFirst(ModelKey(m)); original >= 0) {
      removed[i] = 1;
      duplicates.push_back({static_cast<int>(i), original});
    } else {
      kept.Insert(ModelKey(m), static_cast<int>(i));
    }
  }
  for (const DuplicateModel& d : duplicates) layout.Models[static_cast<std::size_t>(d.removed)].Number = 0;
  for (CGleis& t : layout.Tracks) {
    if (HasLinkedModel(layout, t) && removed[static_cast<std::size_t>(t.LinkedModel)] != 0) t.LinkedModel = -1;
  }
  return duplicates;
}

}  // namespace railfmt
