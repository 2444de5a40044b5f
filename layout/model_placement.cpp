#include "layout/model_placement.h"

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

PlacementKey ModelKey(const CAnlagenModell& m) { return PlacementKey{m.Position, m.Name, m.Direction}; }

}  // namespace

void LinkModelsToTracks(CAnlage& layout) {
  for (CGleis& t : layout.Tracks) t.LinkedModel = -1;
  unsigned bridge_patterns = 0;
  unsigned stop_patterns = 0;
  for (const CAnlagenModell& m : layout.Models) {
    if (IsBridge(m)) bridge_patterns |= 1u << NanPattern(m.Direction);
    else if (IsBufferStop(m)) stop_patterns |= 1u << NanPattern(m.Direction);
  }
  PlacementIndex bridges(bridge_patterns, layout.Tracks.size());
  PlacementIndex stops(stop_patterns, layout.Tracks.size());
  for (std::size_t i = 0; i < layout.Tracks.size(); ++i) {
    const CGleis& t = layout.Tracks[i];
    if (bridge_patterns != 0) {
      const std::array<std::int32_t, 3> mid = TrackMidpoint(t);
      bridges.Insert(LinkKey(mid[0], mid[1], t.StartDirection), static_cast<int>(i));
    }
    if (stop_patterns != 0 && t.EndCount == 1) {
      const std::array<float, 3> d = EndDirection(t);
      const std::array<std::int32_t, 3> p = BufferStopPosition(t, d);
      stops.Insert(LinkKey(p[0], p[1], d), static_cast<int>(i));
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

void RemoveDuplicateModels(CAnlage& layout) {
  unsigned patterns = 0;
  for (const CAnlagenModell& m : layout.Models) {
    if (m.Number != 0) patterns |= 1u << NanPattern(m.Direction);
  }
  // A model is removed when it equals an earlier kept model; every other
  // numbered model is kept and joins the index.
  PlacementIndex kept(patterns, layout.Models.size());
  std::vector<char> removed(layout.Models.size(), 0);
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    const CAnlagenModell& m = layout.Models[i];
    if (m.Number == 0) continue;
    if (kept.FindFirst(ModelKey(m)) >= 0) {
      removed[i] = 1;
    } else {
      kept.Insert(ModelKey(m), static_cast<int>(i));
    }
  }
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    if (removed[i] != 0) layout.Models[i].Number = 0;
  }
  for (CGleis& t : layout.Tracks) {
    if (HasLinkedModel(layout, t) && removed[static_cast<std::size_t>(t.LinkedModel)] != 0) t.LinkedModel = -1;
  }
}

void RemoveModel(CAnlage& layout, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= layout.Models.size()) return;
  layout.Models[static_cast<std::size_t>(index)].Number = 0;
  for (CGleis& t : layout.Tracks) {
    if (t.LinkedModel == index) t.LinkedModel = -1;
  }
}

}  // namespace railfmt
