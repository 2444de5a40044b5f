#include <algorithm>
#include <cstdio>
#include <utility>

#include "layout/model_placement.h"
#include "layout/placed_records.h"
#include "layout/track.h"
#include "layout/track_geometry.h"
#include "tools/make_corpus/corpus_makers.h"

namespace railfmt {
namespace {

using Point = std::array<std::int32_t, 3>;

std::uint32_t Bits(CorpusRandom& random) { return static_cast<std::uint32_t>(random.Next() >> 32); }

std::string Numbered(const char* format, long long number) {
  char text[96];
  std::snprintf(text, sizeof text, format, number);
  return text;
}

// Track types in the proportions of a real layout: mostly plain tracks,
// some buffer-stop tracks, switches and crossings, a few of the rest.
std::int32_t RandomTrackType(CorpusRandom& random) {
  const auto pick = random.Below(100);
  if (pick < 50) return 1;
  if (pick < 62) return 2;
  if (pick < 70) return 3;
  if (pick < 74) return 4;
  if (pick < 76) return 6;
  if (pick < 86) return 7;
  if (pick < 91) return 8;
  if (pick < 95) return 9;
  return 11;
}

std::int16_t Neighbour(CorpusRandom& random, int tracks) {
  return static_cast<std::int16_t>(random.Between(1, std::max(tracks, 1)));
}

CGleis MakeTrack(CorpusRandom& random, int index, int tracks, Point& at, std::array<int, 2>& heading) {
  CGleis t;
  t.Number = static_cast<std::int16_t>(index + 1);
  t.Type = RandomTrackType(random);
  t.Name = Numbered(t.Type == 1 || t.Type == 2 || t.Type == 7 ? "Gleis %lld" : "Weiche %lld", t.Number);
  EndCountFromType(t);
  if (t.Type == 6 || t.Type == 7 || t.Type == 8 || t.Type == 9) t.Variant = random.Percent(90) ? Bits(random) | 1u : 0u;
  if (t.Type == 6) t.SecondName = "Buehne";
  if (t.Type == 11) t.EndCount = static_cast<std::int16_t>(2 + random.Between(0, 4));
  if (random.Percent(15)) heading = {static_cast<int>(random.Between(-1, 1)), static_cast<int>(random.Between(-1, 1))};
  if (heading[0] == 0 && heading[1] == 0) heading = {1, 0};
  t.StartPoint = at;
  t.StartDirection = {static_cast<float>(heading[0]), static_cast<float>(heading[1]), 0.0f};
  const auto length = static_cast<std::int32_t>(random.Between(200, 2000));
  // A curve ends off the line of its start direction.
  const std::int32_t bend = random.Percent(40) ? static_cast<std::int32_t>(random.Between(-length / 2, length / 2)) : 0;
  t.EndPoint = {at[0] + length * heading[0] - bend * heading[1], at[1] + length * heading[1] + bend * heading[0],
                std::clamp(at[2] + static_cast<std::int32_t>(random.Between(-60, 60)), 0, 3000)};
  at = t.EndPoint;
  for (int e = 0; e < t.EndCount; ++e) {
    CGleisEnde& end = t.Ends[static_cast<std::size_t>(e)];
    if (e >= 2 || random.Percent(90)) end = {Neighbour(random, tracks), static_cast<std::int16_t>(random.Below(3))};
  }
  t.EndValue2 = static_cast<std::uint16_t>(Bits(random));
  t.EndValue3 = static_cast<std::uint16_t>(Bits(random));
  if (t.Type == 11) {
    for (std::uint32_t& v : t.ExtraA) v = Bits(random);
    for (std::uint32_t& v : t.ExtraB) v = Bits(random);
    for (std::int32_t& v : t.ExtraC) v = static_cast<std::int32_t>(Bits(random));
    t.ExtraD = random.Real(-10.0f, 10.0f);
  }
  return t;
}

CAnlagenModell MakeModel(CorpusRandom& random, const CAnlage& layout, std::int16_t number,
                         const std::vector<int>& single_ended) {
  CAnlagenModell m;
  m.Number = number;
  m.ValueA = Bits(random);
  m.ValueB = Bits(random);
  const auto pick = random.Below(100);
  if (pick < 30 && !layout.Tracks.empty()) {
    const CGleis& t = layout.Tracks[random.Below(layout.Tracks.size())];
    const Point middle = TrackMidpoint(t);
    m.Name = Numbered("..\\Bruecken\\Bruecke%lld.mod", random.Between(1, 9));
    // Often stored at another height than the track's: placement mends it.
    m.Position = {middle[0], middle[1], random.Percent(50) ? middle[2] : 0};
    m.Direction = t.StartDirection;
  } else if (pick < 55 && !single_ended.empty()) {
    const CGleis& t = layout.Tracks[static_cast<std::size_t>(single_ended[random.Below(single_ended.size())])];
    const std::array<float, 3> direction = EndDirection(t);
    m.Name = "..\\Prellbock\\Prellbock.mod";
    m.Position = BufferStopPosition(t, direction);
    m.Direction = direction;
  } else {
    m.Name = Numbered("..\\Haeuser\\Haus%lld.mod", random.Between(1, 40));
    m.Position = {static_cast<std::int32_t>(random.Between(-100000, 100000)),
                  static_cast<std::int32_t>(random.Between(-100000, 100000)), 0};
    m.Direction = {random.Real(-1.0f, 1.0f), random.Real(-1.0f, 1.0f), 0.0f};
  }
  return m;
}

CAnlagenRollmaterial MakeVehicle(CorpusRandom& random, std::int16_t number) {
  CAnlagenRollmaterial r;
  r.Number = number;
  r.Name = Numbered("..\\Rollmaterial\\Fahrzeug%lld.rol", random.Between(1, 500));
  r.SecondName = Numbered("Zug %lld", number);
  for (std::uint32_t& v : r.Values) v = Bits(random);
  r.Byte1 = static_cast<std::uint8_t>(Bits(random));
  r.Byte2 = static_cast<std::uint8_t>(Bits(random));
  r.Word1 = static_cast<std::uint16_t>(Bits(random));
  r.Byte3 = static_cast<std::uint8_t>(Bits(random));
  r.Word2 = static_cast<std::uint16_t>(Bits(random));
  r.Byte4 = static_cast<std::uint8_t>(Bits(random));
  r.TrailerValue = Bits(random);
  r.TrailerByte = static_cast<std::uint8_t>(Bits(random));
  r.TrailerWord = static_cast<std::uint16_t>(Bits(random));
  return r;
}

}  // namespace

CAnlage MakeCorpusLayout(CorpusRandom& random, int tracks, int models, int vehicles, int duplicate_every) {
  CAnlage layout;
  tracks = std::clamp(tracks, 0, 32767);
  models = std::clamp(models, 0, 32767);
  vehicles = std::clamp(vehicles, 0, 29999);
  Point at = {0, 0, 0};
  std::array<int, 2> heading = {1, 0};
  std::vector<int> single_ended;
  layout.Tracks.reserve(static_cast<std::size_t>(tracks));
  for (int i = 0; i < tracks; ++i) {
    layout.Tracks.push_back(MakeTrack(random, i, tracks, at, heading));
    if (layout.Tracks.back().EndCount == 1) single_ended.push_back(i);
  }
  layout.Models.reserve(static_cast<std::size_t>(models));
  for (int i = 0; i < models; ++i) {
    const auto number = static_cast<std::int16_t>(i + 1);
    if (duplicate_every > 0 && i > 0 && i % duplicate_every == 0) {
      CAnlagenModell copy = layout.Models[random.Below(static_cast<std::uint64_t>(i))];
      copy.Number = number;
      copy.ValueA = Bits(random);  // carried values do not count
      layout.Models.push_back(std::move(copy));
    } else {
      layout.Models.push_back(MakeModel(random, layout, number, single_ended));
    }
  }
  for (int i = 0; i < vehicles; ++i)
    layout.RollingStock.push_back(MakeVehicle(random, static_cast<std::int16_t>(i + 1)));
  // Stored in another order than their numbers: the trailers follow numbers.
  for (std::size_t i = layout.RollingStock.size(); i > 1; --i) {
    std::swap(layout.RollingStock[i - 1], layout.RollingStock[random.Below(i)]);
  }
  layout.TrackCount = static_cast<std::int16_t>(layout.Tracks.size());
  layout.ModelCount = static_cast<std::int16_t>(layout.Models.size());
  layout.RollingStockCount = static_cast<std::int16_t>(layout.RollingStock.size());
  for (CAnlagenBlock& block : layout.Blocks) {
    for (std::uint32_t& v : block.Values) v = Bits(random);
  }
  CEigenschaften& p = layout.Properties;
  for (std::uint8_t& b : p.FirstTriplet) b = static_cast<std::uint8_t>(Bits(random));
  for (std::uint8_t& b : p.SecondTriplet) b = static_cast<std::uint8_t>(Bits(random));
  for (std::uint8_t& b : p.Bytes20) b = static_cast<std::uint8_t>(Bits(random));
  p.FinalValue = Bits(random);
  // As a read leaves a layout: bridges and buffer stops linked.
  LinkModelsToTracks(layout);
  return layout;
}

}  // namespace railfmt
