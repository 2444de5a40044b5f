#include "tools/samples/layout_samples.h"

#include <string>
#include <utility>

#include "layout/track_geometry.h"

namespace railfmt {
namespace {

using Point = std::array<std::int32_t, 3>;
using Direction = std::array<float, 3>;

CGleis Track(std::int16_t number, std::string name, std::int32_t type, Point start, Direction direction, Point end) {
  CGleis t;
  t.Number = number;
  t.Name = std::move(name);
  t.Type = type;
  EndCountFromType(t);
  t.StartPoint = start;
  t.StartDirection = direction;
  t.EndPoint = end;
  for (int i = 0; i < t.EndCount && i < 2; ++i) {
    t.Ends[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(number + 100 + i), static_cast<std::int16_t>(i)};
  }
  return t;
}

CAnlagenModell Model(std::int16_t number, std::string name, Point position, Direction direction) {
  CAnlagenModell m;
  m.Number = number;
  m.Name = std::move(name);
  m.Position = position;
  m.Direction = direction;
  m.ValueA = 0x11110000u + static_cast<std::uint32_t>(number);
  m.ValueB = 0x2222u;
  return m;
}

CAnlagenRollmaterial Vehicle(std::int16_t number, std::string name) {
  CAnlagenRollmaterial r;
  r.Number = number;
  r.Name = std::move(name);
  r.SecondName = "Zug " + std::to_string(number);
  for (std::size_t i = 0; i < r.Values.size(); ++i)
    r.Values[i] = static_cast<std::uint32_t>(number * 1000) + static_cast<std::uint32_t>(i);
  r.Byte1 = 1;
  r.Byte2 = 2;
  r.Word1 = 0x0304;
  r.Byte3 = 5;
  r.Word2 = 0x0607;
  r.Byte4 = 8;
  r.TrailerValue = 0xA0000000u + static_cast<std::uint32_t>(number);
  r.TrailerByte = 0xB1;
  r.TrailerWord = 0xC2C3;
  return r;
}

void Finish(CAnlage& a) {
  a.TrackCount = static_cast<std::int16_t>(a.Tracks.size());
  a.ModelCount = static_cast<std::int16_t>(a.Models.size());
  a.RollingStockCount = static_cast<std::int16_t>(a.RollingStock.size());
  for (std::size_t b = 0; b < a.Blocks.size(); ++b) {
    for (std::size_t v = 0; v < a.Blocks[b].Values.size(); ++v)
      a.Blocks[b].Values[v] = static_cast<std::uint32_t>(b * 16 + v);
  }
  a.Properties.FirstTriplet = {10, 20, 30};
  a.Properties.SecondTriplet = {200, 150, 100};
  for (std::size_t i = 0; i < a.Properties.Bytes20.size(); ++i)
    a.Properties.Bytes20[i] = static_cast<std::uint8_t>(i * 7);
  a.Properties.FinalValue = 0xDEADBEEFu;
}

// One track of every type; curves and straights; types 7, 8 and 9 also
// without a variant, which the writer turns into types 1, 3 and 4.
CAnlage EveryTrackType() {
  CAnlage a;
  a.Tracks.push_back(Track(1, "Gerade 1000", 1, {0, 0, 0}, {1, 0, 0}, {1000, 0, 0}));
  a.Tracks.push_back(Track(2, "Bogen R1000", 1, {1000, 0, 0}, {1, 0, 0}, {2000, 1000, 0}));
  a.Tracks.push_back(Track(3, "Stumpfgleis", 2, {2000, 1000, 0}, {0, 1, 0}, {2000, 2000, 0}));
  CGleis w = Track(4, "Weiche links", 3, {0, 0, 0}, {-1, 0, 0}, {-940, 342, 0});
  w.Ends[2] = {9, 1};
  w.EndValue2 = 0x1234;
  a.Tracks.push_back(w);
  CGleis k = Track(5, "Kreuzung", 4, {0, 500, 0}, {1, 1, 0}, {700, 1200, 0});
  k.Ends[2] = {11, 0};
  k.Ends[3] = {12, 1};
  k.EndValue2 = 2;
  k.EndValue3 = 3;
  a.Tracks.push_back(k);
  CGleis d = Track(6, "Drehscheibe", 6, {3000, 0, 0}, {0, -1, 0}, {3000, -800, 0});
  d.Variant = 4;
  d.SecondName = "Buehne";
  a.Tracks.push_back(d);
  CGleis f = Track(7, "Flexgleis", 7, {0, -1000, 0}, {1, 0, 0}, {1000, 0, 0});
  f.Variant = 3;
  a.Tracks.push_back(f);
  CGleis dw = Track(8, "Dreiwegweiche", 8, {0, -2000, 10}, {1, 0, 0}, {1500, -2000, 10});
  dw.Variant = 5;
  dw.Ends[2] = {13, 2};
  dw.EndValue2 = 77;
  a.Tracks.push_back(dw);
  CGleis dk = Track(9, "Doppelkreuzweiche", 9, {0, -3000, 0}, {0.5f, 0.25f, 0}, {800, -2600, 0});
  dk.Variant = 2;
  dk.Ends[2] = {14, 0};
  dk.Ends[3] = {15, 1};
  dk.EndValue2 = 8;
  dk.EndValue3 = 9;
  a.Tracks.push_back(dk);
  CGleis s = Track(10, "Segment", 11, {5000, 0, 0}, {0, 1, 0}, {5000, 3000, 40});
  s.EndCount = 5;
  s.Ends[2] = {16, 0};  // joined
  s.Ends[4] = {17, 1};  // joined; end 3 stays open
  s.EndValue2 = 21;
  s.EndValue3 = 22;
  s.ExtraA = {1, 2, 3};
  s.ExtraB = {4, 5, 6};
  s.ExtraC = {-7, 8, -9};
  s.ExtraD = 1.5f;
  a.Tracks.push_back(s);
  CGleis f0 = Track(11, "Flexgleis ohne Variante", 7, {0, -5000, 0}, {1, 0, 0}, {500, -5000, 0});
  a.Tracks.push_back(f0);
  CGleis dw0 = Track(12, "Dreiwegweiche ohne Variante", 8, {0, -6000, 0}, {1, 0, 0}, {500, -6000, 0});
  dw0.Ends[2] = {18, 0};
  a.Tracks.push_back(dw0);
  CGleis dk0 = Track(13, "Kreuzweiche ohne Variante", 9, {0, -7000, 0}, {1, 0, 0}, {500, -7000, 0});
  dk0.Ends[2] = {19, 0};
  dk0.Ends[3] = {20, 0};
  a.Tracks.push_back(dk0);
  a.RollingStock.push_back(Vehicle(2, "..\\Rollmaterial\\Lok.rol"));
  a.RollingStock.push_back(Vehicle(1, "..\\Rollmaterial\\Wagen.rol"));
  Finish(a);
  return a;
}

// Bridges and buffer stops: some sit where their track puts them, some are
// stored off their place (the writer moves them), some never link.
CAnlage BridgesAndBufferStops() {
  CAnlage a;
  a.Tracks.push_back(Track(1, "Rampe", 1, {0, 0, 100}, {1, 0, 0}, {1000, 0, 201}));
  a.Tracks.push_back(Track(2, "Stumpf gerade", 2, {0, 2000, 50}, {1, 0, 0}, {1000, 2000, 50}));
  a.Tracks.push_back(Track(3, "Stumpf Bogen", 2, {0, 4000, 0}, {1, 0, 0}, {1000, 5000, 0}));
  a.Tracks.push_back(Track(4, "Zweiseitig", 1, {0, 6000, 0}, {1, 0, 0}, {1000, 6000, 0}));
  a.Tracks.push_back(Track(5, "Diagonale", 1, {0, 8000, 30}, {1, 1, 0}, {1000, 9000, 70}));
  a.Models.push_back(Model(1, "..\\Bruecken\\Stahlbruecke.mod", {500, 0, 0}, {1, 0, 0}));
  a.Models.push_back(Model(2, "..\\Prellbock\\Prellbock.mod", {700, 2000, 0}, {1, 0, 0}));
  CGleis& curve = a.Tracks[2];
  const Point stop = BufferStopPosition(curve);
  a.Models.push_back(Model(3, "..\\Prellbock\\Prellbock.mod", {stop[0], stop[1], 999}, EndDirection(curve)));
  // Never linked: only single-ended tracks take buffer stops.
  a.Models.push_back(Model(4, "..\\Prellbock\\Prellbock.mod", {700, 6000, 5}, {1, 0, 0}));
  // Never linked: one unit off the midpoint.
  a.Models.push_back(Model(5, "..\\Bruecken\\Holzbruecke.mod", {501, 8500, 7}, {1, 1, 0}));
  // Never linked: the prefix is case sensitive.
  a.Models.push_back(Model(6, "..\\bruecken\\Holzbruecke.mod", {500, 6000, 9}, {1, 0, 0}));
  // Linked: the midpoint of the diagonal, stored at a wrong height.
  a.Models.push_back(Model(7, "..\\Bruecken\\Holzbruecke.mod", {500, 8500, 0}, {1, 1, 0}));
  a.RollingStock.push_back(Vehicle(4, "..\\Rollmaterial\\Triebwagen.rol"));
  Finish(a);
  return a;
}

// Duplicates and entries numbered 0; vehicles whose numbers order the
// trailers, share a number, or have no trailer.
CAnlage DuplicatesAndUnnumbered() {
  CAnlage a;
  a.Tracks.push_back(Track(1, "Gerade", 1, {0, 0, 0}, {1, 0, 0}, {1000, 0, 0}));
  a.Tracks.push_back(Track(0, "Geloescht", 2, {0, 0, 0}, {1, 0, 0}, {500, 0, 0}));
  a.Models.push_back(Model(3, "..\\Baeume\\Eiche.mod", {100, 100, 0}, {1, 0, 0}));
  a.Models.push_back(Model(8, "..\\Baeume\\Eiche.mod", {100, 100, 0}, {1, 0, 0}));  // duplicate of 3
  a.Models.push_back(Model(5, "..\\Haeuser\\Bahnhof.mod", {0, 300, 0}, {0, 1, 0}));
  a.Models.push_back(Model(6, "..\\Haeuser\\Kirche.mod", {900, 300, 0}, {0, 0.0f, 1}));
  // Shares number 5 with the station, but duplicates the church: only it goes.
  a.Models.push_back(Model(5, "..\\Haeuser\\Kirche.mod", {900, 300, 0}, {0, -0.0f, 1}));
  a.Models.push_back(Model(0, "..\\Haeuser\\Schuppen.mod", {0, 0, 0}, {1, 0, 0}));
  a.RollingStock.push_back(Vehicle(7, "..\\Rollmaterial\\Lok 7.rol"));
  a.RollingStock.push_back(Vehicle(3, "..\\Rollmaterial\\Wagen 3.rol"));
  a.RollingStock.push_back(Vehicle(5, "..\\Rollmaterial\\Wagen 5a.rol"));
  a.RollingStock.push_back(Vehicle(5, "..\\Rollmaterial\\Wagen 5b.rol"));
  a.RollingStock.push_back(Vehicle(0, "..\\Rollmaterial\\Geloescht.rol"));
  a.RollingStock.push_back(Vehicle(30000, "..\\Rollmaterial\\Ohne Anhang.rol"));
  a.RollingStock.push_back(Vehicle(-2, "..\\Rollmaterial\\Negativ.rol"));
  Finish(a);
  return a;
}

CAnlage SmallLayout() {
  CAnlage a;
  a.Tracks.push_back(Track(1, "Bruecke", 1, {0, 0, 0}, {0, 1, 0}, {0, 2000, 300}));
  a.Models.push_back(Model(1, "..\\Bruecken\\Steinbruecke.mod", {0, 1000, 0}, {0, 1, 0}));
  Finish(a);
  return a;
}

}  // namespace

std::vector<std::uint8_t> EncodeLayoutAsStored(const CAnlage& layout) {
  ByteWriter out;
  out.I16(layout.TrackCount);
  for (const CGleis& t : layout.Tracks) WriteTrackRecord(out, t);
  out.I16(layout.ModelCount);
  for (const CAnlagenModell& m : layout.Models) WritePlacedModelRecord(out, m);
  out.I16(layout.RollingStockCount);
  for (const CAnlagenRollmaterial& r : layout.RollingStock) WriteRollmaterialRecord(out, r);
  for (const CAnlagenBlock& b : layout.Blocks) WriteBlock(out, b);
  WriteProperties(out, layout.Properties);
  for (int i : TrailerOrder(layout)) WriteRollmaterialTrailer(out, layout.RollingStock[static_cast<std::size_t>(i)]);
  return out.Take();
}

std::vector<SampleFile> MakeLayoutSamples() {
  return {
      {"anlage_gleistypen.anl", EncodeLayoutAsStored(EveryTrackType())},
      {"anlage_bruecken.anl", EncodeLayoutAsStored(BridgesAndBufferStops())},
      {"anlage_doppelt.anl", EncodeLayoutAsStored(DuplicatesAndUnnumbered())},
      {"y.bak", EncodeLayoutAsStored(SmallLayout())},
  };
}

}  // namespace railfmt
