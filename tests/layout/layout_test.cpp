// Layouts: track records and their type rules, track geometry against golden
// values as extended (x87) precision gives them, the trailer order, linking
// bridges and buffer stops to tracks and removing duplicate models.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <random>

#include "driver/byte_order.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"
#include "layout/layout_kind.h"
#include "layout/model_placement.h"
#include "layout/track.h"
#include "layout/track_geometry.h"
#include "tests/support/data_table.h"
#include "tests/support/rewrite_property.h"
#include "tools/samples/layout_samples.h"

namespace railfmt {
namespace {
using Bytes = std::vector<std::uint8_t>;
using Ints = std::vector<int>;
const float kNan = std::nanf("");
const double kPi = 0x1.921fb54442d18p+1;
using I3 = std::array<std::int32_t, 3>;
using F3 = std::array<float, 3>;

CGleis Track(std::int32_t type, I3 start, F3 direction, I3 end, std::string name = "G") {
  CGleis t;
  t.Number = 1;
  t.Name = std::move(name);
  t.Type = type;
  EndCountFromType(t);
  t.StartPoint = start;
  t.StartDirection = direction;
  t.EndPoint = end;
  return t;
}
using Mdl = CAnlagenModell;
CAnlagenRollmaterial Vehicle(int number) {
  CAnlagenRollmaterial r;
  r.Number = static_cast<std::int16_t>(number);
  r.Name = "w.rol";
  r.TrailerValue = static_cast<std::uint32_t>(number) * 3u;
  r.TrailerWord = 0xBEEF;
  return r;
}
// A layout of these, its counts those of the arrays.
CAnlage Layout(std::vector<CGleis> tracks, std::vector<Mdl> models, std::vector<CAnlagenRollmaterial> stock) {
  CAnlage a;
  a.TrackCount = static_cast<std::int16_t>(tracks.size());
  a.Tracks = std::move(tracks);
  a.ModelCount = static_cast<std::int16_t>(models.size());
  a.Models = std::move(models);
  a.RollingStockCount = static_cast<std::int16_t>(stock.size());
  a.RollingStock = std::move(stock);
  return a;
}

Bytes TrackBytes(const CGleis& t) {
  ByteWriter out;
  WriteTrackRecord(out, t);
  return out.Take();
}
// ReadTrack over all of bytes: 1 when it succeeds and takes every byte.
int ReadTrackBytes(const Bytes& bytes, CGleis& t) {
  ReadCursor in(bytes);
  return ReadTrack(in, t) && in.at_end();
}

// A track of the type with every carried field set; type 11: six ends, end 3 open.
CGleis FullTrack(std::int32_t type, std::string name = "Gleis") {
  CGleis t = Track(type, {10, -20, 30}, {0.5f, -0.25f, 0.0f}, {-4000, 5000, 60}, std::move(name));
  t.Number = 42;
  t.Variant = (type >= 6 && type <= 9) ? 9u : 0u;
  if (type == 6) t.SecondName = "Buehne";
  if (type == 11) {
    t.EndCount = 6;
    t.ExtraA = {1, 2, 3};
    t.ExtraC = {-7, 8, -9};
    t.ExtraD = 2.5f;
  }
  for (int i = 0; i < t.EndCount; ++i)
    if (i != 3)
      t.Ends[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(100 + i), static_cast<std::int16_t>(i)};
  if (t.EndCount > 2) t.EndValue2 = 0xA2;
  if (t.EndCount > 3 || type == 11) t.EndValue3 = 0xA3;
  return t;
}

// The identity of a record with a one-byte name (number, name, type), and
// where the direction copy and the count of extra ends stand in a type-11 record.
constexpr std::size_t kIdentity = 2 + 2 + 4;
constexpr std::size_t kCopyB = kIdentity + 8 + 36 + kIdentity + 12 + 4;
constexpr std::size_t kExtraCount = kCopyB + 36 + kIdentity + 12;

TEST(Track, WorkedExampleOfAType2Record) {
  const Bytes expected = {0x01, 0x00, 0x01, 0x41, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0xE8, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
                          0x00, 0x01, 0x41, 0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00};
  CGleis t = Track(2, {0, 0, 0}, {1.0f, 0.0f, 0.0f}, {1000, 0, 0}, "A");
  t.Ends[0] = {2, 1};
  EXPECT_EQ(TrackBytes(t), expected);
  CGleis read;
  ASSERT_EQ(ReadTrackBytes(expected, read), 1);
  EXPECT_EQ(TrackBytes(read), expected);
}

// A track's type, end count and variant as tests/data/layout/end_counts.tsv
// spells them, and what each gives the other.
struct Mapping {
  std::int32_t type;
  std::int16_t end_count;
  std::uint32_t variant;
  std::int32_t type_written;       // the type the end count and variant give
  std::int16_t end_count_of_type;  // the end count the type gives (11 keeps its own)
  std::string what;
};
Mapping MappingOf(const std::vector<std::string>& row) {
  return {static_cast<std::int32_t>(std::stol(row.at(0))),   static_cast<std::int16_t>(std::stoi(row.at(1))),
          static_cast<std::uint32_t>(std::stoul(row.at(2))), static_cast<std::int32_t>(std::stol(row.at(3))),
          static_cast<std::int16_t>(std::stoi(row.at(4))),   row.at(5)};
}

TEST(Track, EndCountAndTypeMapping) {
  for (const std::vector<std::string>& row : testing::DataRows("layout/end_counts.tsv")) {
    const Mapping m = MappingOf(row);
    SCOPED_TRACE(::testing::Message() << "type " << m.type << ", " << m.end_count << " ends, variant " << m.variant
                                      << ": " << m.what);
    CGleis t;
    t.Type = m.type;
    t.EndCount = m.end_count;
    t.Variant = m.variant;
    TypeFromEndCount(t);
    EXPECT_EQ(t.Type, m.type_written);
    t.Type = m.type;
    EndCountFromType(t);
    EXPECT_EQ(t.EndCount, m.end_count_of_type);
  }
  // Flagged types without a variant are written in the shape of their plain types.
  struct Flagged {
    std::int32_t type;
    std::uint32_t variant;
    std::int32_t type_written;
  };
  const Flagged flagged[] = {{7, 0, 1}, {8, 0, 3}, {9, 0, 4}, {7, 3, 7}, {9, 1, 9}};
  for (const auto& [type, variant, written] : flagged) {
    CGleis t = FullTrack(type);
    CGleis plain = FullTrack(written);
    CGleis read;
    t.Variant = variant;
    plain.Variant = variant;
    TypeFromEndCount(t);
    ByteWriter out;
    WriteTrack(out, t);
    EXPECT_EQ(out.bytes(), TrackBytes(plain)) << type << " " << variant;
    ASSERT_EQ(ReadTrackBytes(out.bytes(), read), 1);
    EXPECT_EQ(read.Type, written);
  }
}

TEST(Track, CopiesAndCountsInTheRecordAreChecked) {
  // Type 8 repeats the direction in copy B: -0.0 matches 0.0, NaN matches anything.
  CGleis eight = FullTrack(8, "G");
  CGleis read;
  eight.StartDirection = {0.0f, 5.0f, 1.0f};
  struct CopyB {
    std::size_t component;
    std::uint32_t bits;  // stored there instead of the direction's
    int read_ok;
  };
  const CopyB copies[] = {{0, 0x80000000u, 1}, {1, 0x7FC00001u, 1}, {2, 0x40000000u, 0}};
  for (const CopyB& c : copies) {
    Bytes b = TrackBytes(eight);
    StoreLE32(&b[kCopyB + 4 * c.component], c.bits);
    EXPECT_EQ(ReadTrackBytes(b, read), c.read_ok) << c.component;
  }
  // A name with a zero byte is cut there, and its copy then fails.
  Bytes named = TrackBytes(FullTrack(2, "AB"));
  named[4] = 0;
  named[kIdentity + 1 + 36 + 4] = 0;
  DiagnosticCapture captured;
  EXPECT_EQ(ReadTrackBytes(named, read), 0);
  EXPECT_EQ(read.Name, "A");
  EXPECT_EQ(captured.mismatches(), "") << "a name of another length prints no line";
  // Type 11 holds at most 18 more ends.
  CGleis t = FullTrack(11, "G");
  t.EndCount = 20;
  for (std::int16_t i = 2; i < 20; ++i) t.Ends[static_cast<std::size_t>(i)] = {i, 1};
  Bytes bytes = TrackBytes(t);
  ASSERT_EQ(LoadLE16(&bytes[kExtraCount]), 18);
  ASSERT_EQ(ReadTrackBytes(bytes, read), 1);
  EXPECT_EQ(read.Ends[19].Neighbour, 19);
  StoreLE16(&bytes[kExtraCount], 19);
  EXPECT_EQ(ReadTrackBytes(bytes, read), 0);
  t.Number = 0;  // an absent track writes nothing
  ByteWriter out;
  WriteTrack(out, t);
  EXPECT_EQ(out.size(), 0u);
}

TEST(LayoutFile, TrailersFollowTheVehicleNumbers) {
  CAnlage a = Layout({Track(1, {0, 0, 0}, {1, 0, 0}, {10, 0, 0})}, {}, {});
  for (int n : {7, 3, 5, 5, 0, 30000, -2, 29999}) a.RollingStock.push_back(Vehicle(n));
  a.RollingStock[3].TrailerWord = 0x1111;  // the second vehicle numbered 5
  a = Layout(a.Tracks, {}, a.RollingStock);
  const Bytes bytes = EncodeLayoutAsStored(a);
  const Ints order = {1, 2, 0, 7};  // numbers 3, 5, 7, 29999
  ASSERT_EQ(TrailerOrder(a), order);
  int previous = 0;  // the same, asked for one vehicle after the other
  for (int next : {1, 2, 0, 7, -1}) EXPECT_EQ(NextRollmaterialByNumber(a, previous), next);
  EXPECT_EQ(previous, 30000);
  const std::size_t trailers = bytes.size() - 7 * order.size();
  for (std::size_t i = 0; i < order.size(); ++i)
    EXPECT_EQ(LoadLE32(&bytes[trailers + 7 * i]), a.RollingStock[static_cast<std::size_t>(order[i])].TrailerValue);
  CAnlage read;
  ReadLayout(read, bytes);
  ASSERT_EQ(read.ReadOk, 1);
  EXPECT_EQ(read.RollingStock[2].TrailerWord, 0xBEEF);
  EXPECT_EQ(read.RollingStock[3].TrailerWord, 0) << "only the first vehicle of a number has a trailer";
  EXPECT_EQ(read.RollingStock[5].TrailerValue, 0u);
  const Bytes written = testing::NormaliseAndEncode<LayoutKind>(read);
  CAnlage again;
  ReadLayout(again, written);
  EXPECT_EQ(again.RollingStockCount, 7) << "the vehicle numbered 0 is dropped";
  EXPECT_EQ(Bytes(written.end() - 28, written.end()), Bytes(bytes.end() - 28, bytes.end()));
}

TEST(LayoutFile, ReadFaultsReserveLittleAndNameTheVehicle) {
  Bytes bytes(198, 0);
  StoreLE16(bytes.data(), 32767);
  CAnlage a;
  ReadLayout(a, bytes);
  EXPECT_EQ(a.ReadOk, 0);
  EXPECT_LE(a.Tracks.capacity(), 196u / 56 + 1);
  EXPECT_EQ(a.Tracks.size(), 1u);
  ClearLayout(a);
  EXPECT_EQ(a.TrackCount, 0);
  EXPECT_TRUE(a.Tracks.empty() && a.Models.empty() && a.RollingStock.empty());
  // A vehicle that fails names a DLL when its name ends so, in any case.
  const std::string names[] = {"Lok.DLL", "a.b.Dll", ".dll", "lok.dll.bak", "lokdll", "lok.dllx"};  // three DLLs
  for (std::size_t i = 0; i < std::size(names); ++i) {
    CAnlage layout = Layout({Track(1, {0, 0, 0}, {1, 0, 0}, {1000, 0, 0})}, {}, {Vehicle(7)});
    CAnlage read;
    layout.RollingStock[0].Name = names[i];
    Bytes file = EncodeLayoutAsStored(layout);
    // The zero byte after the name: the number, an empty second name, 44 value bytes and 2 bytes on.
    const auto name_at = std::search(file.begin(), file.end(), names[i].begin(), names[i].end()) - file.begin();
    file[static_cast<std::size_t>(name_at) + names[i].size() + 49] = 1;
    DiagnosticCapture captured;
    ReadLayout(read, file);
    EXPECT_EQ(captured.messages().at(0), i < 3 ? "Dll-Modell \"" + names[i] + "\" kann nicht benutzt werden!\n"
                                               : std::string("Rollmaterial Nr. 7 fehlerhaft!\n"));
  }
}

const std::string kBridge = "..\\Bruecken\\Stahl.mod";
const std::string kStop = "..\\Prellbock\\Prellbock.mod";

Ints Links(const CAnlage& a) {
  Ints links;
  for (const CGleis& t : a.Tracks) links.push_back(t.LinkedModel);
  return links;
}
Ints Numbers(const CAnlage& a) {
  Ints numbers;
  for (const CAnlagenModell& m : a.Models) numbers.push_back(m.Number);
  return numbers;
}

TEST(ModelPlacement, LinkingAndDuplicateRemoval) {
  const std::vector<CGleis> tracks = {
      Track(1, {0, 0, 100}, {1, 0, 0}, {1000, 0, 201}),
      Track(1, {0, 500, 0}, {1, 0, 0}, {1000, 500, 0}),
      Track(2, {0, 900, 40}, {1, 0, 0}, {1000, 900, 40}),
  };
  const std::vector<Mdl> models = {
      {1, kBridge, {500, 0, 0}, {1, 0, 0}},                    // linked: height 151
      {2, kStop, {700, 500, 3}, {1, 0, 0}},                    // two-ended track: no
      {3, kBridge, {501, 0, 4}, {1, 0, 0}},                    // one unit off: no
      {4, "..\\bruecken\\Stahl.mod", {500, 0, 5}, {1, 0, 0}},  // lower case: no
      {5, kStop, {700, 900, 0}, {1, -0.0f, 0}},                // linked: height 40
      {6, "..\\Bruecke", {500, 500, 6}, {1, 0, 0}},            // prefix too short: no
  };
  CAnlage a = Layout(tracks, models, {});
  LinkModelsToTracks(a);
  EXPECT_EQ(Links(a), (Ints{0, -1, 4}));
  const CAnlage before = a;
  PlaceLinkedModels(a);
  EXPECT_EQ(a.Models[0].Position, (std::array<std::int32_t, 3>{500, 0, 151}));
  EXPECT_EQ(a.Models[4].Position, (std::array<std::int32_t, 3>{700, 900, 40}));
  EXPECT_FALSE(std::signbit(a.Models[4].Direction[1])) << "the track's end direction replaces the stored -0.0";
  for (std::size_t i : {1u, 2u, 3u, 5u})
    EXPECT_TRUE(a.Models[i].Position == before.Models[i].Position &&
                a.Models[i].Direction == before.Models[i].Direction);

  // Of two bridges on two equal tracks the later takes the first track over.
  CAnlage two = Layout({Track(1, {0, 0, 0}, {0, 1, 0}, {0, 1000, 0}), Track(1, {0, 0, 0}, {0, 1, 0}, {0, 1000, 0})},
                       {Mdl{1, kBridge, {0, 500, 0}, {0, 1, 0}}, Mdl{2, kBridge, {0, 500, 9}, {kNan, 1, 0}}}, {});
  LinkModelsToTracks(two);
  EXPECT_EQ(Links(two), (Ints{1, -1}));
  // Its duplicate removed, the track is unlinked.
  PlaceLinkedModels(two);
  RemoveDuplicateModels(two);
  EXPECT_EQ(Numbers(two), (Ints{1, 0}));
  EXPECT_EQ(Links(two), (Ints{-1, -1}));
  EXPECT_EQ(CountModels(two), 1);
  // Duplicates are equal in position, direction and name.
  const Mdl base = {3, "Haus", {1, 2, 3}, {0.0f, 1.0f, -1.0f}};
  struct Equality {
    const char* what;
    Mdl other;
    bool equal;
  };
  const Equality equalities[] = {
      {"number and carried values differ", {8, "Haus", {1, 2, 3}, {0.0f, 1.0f, -1.0f}, 1, 2}, true},
      {"-0.0 matches 0.0", {3, "Haus", {1, 2, 3}, {-0.0f, 1.0f, -1.0f}}, true},
      {"NaN matches anything", {3, "Haus", {1, 2, 3}, {0.0f, kNan, -1.0f}}, true},
      {"position differs", {3, "Haus", {1, 2, 4}, {0.0f, 1.0f, -1.0f}}, false},
      {"direction differs", {3, "Haus", {1, 2, 3}, {0.0f, 1.0f, 1.0f}}, false},
      {"name differs in case", {3, "haus", {1, 2, 3}, {0.0f, 1.0f, -1.0f}}, false},
  };
  for (const Equality& e : equalities) {
    EXPECT_EQ(ModelsEqual(base, e.other), e.equal) << e.what;
    EXPECT_EQ(ModelsEqual(e.other, base), e.equal) << e.what;
  }
  struct Removal {
    const char* what;
    std::vector<Mdl> models;
    Ints numbers_after;  // 0: removed
  };
  const Removal removals[] = {
      {"shared numbers: only true duplicates go, number 0 is no model",
       {{5, "Bahnhof", {0, 0, 0}, {1, 0, 0}},
        {6, "Kirche", {9, 9, 0}, {1, 0, 0}},
        {5, "Kirche", {9, 9, 0}, {1, 0, 0}},
        {0, "Kirche", {9, 9, 0}, {1, 0, 0}},
        {7, "Kirche", {9, 9, 0}, {1, 0, 0}}},
       {5, 6, 0, 0, 0}},
      {"NaN makes equality intransitive: the second equals both others and goes; the third stays, the only kept "
       "model it equals being the second",
       {{1, "x", {0, 0, 0}, {1, 0, 0}}, {2, "x", {0, 0, 0}, {kNan, 0, 0}}, {3, "x", {0, 0, 0}, {2, 0, 0}}},
       {1, 0, 3}},
  };
  for (const Removal& r : removals) {
    CAnlage layout = Layout({}, r.models, {});
    RemoveDuplicateModels(layout);
    EXPECT_EQ(Numbers(layout), r.numbers_after) << r.what;
  }
}

// The array-order loops the hashed versions must agree with.
void PlainLinkAndRemove(CAnlage& a) {
  const auto same = [](const std::array<float, 3>& x, const std::array<float, 3>& y) {
    return FloatsMatch(x[0], y[0]) && FloatsMatch(x[1], y[1]) && FloatsMatch(x[2], y[2]);
  };
  for (CGleis& t : a.Tracks) t.LinkedModel = -1;
  for (std::size_t i = 0; i < a.Models.size(); ++i) {
    const CAnlagenModell& m = a.Models[i];
    const bool bridge = m.Name.starts_with("..\\Bruecken");
    const bool stop = !bridge && m.Name.starts_with("..\\Prellbock");
    for (CGleis& t : a.Tracks) {
      const auto p = bridge ? TrackMidpoint(t) : BufferStopPosition(t);
      if ((bridge && p[0] == m.Position[0] && p[1] == m.Position[1] && same(t.StartDirection, m.Direction)) ||
          (stop && t.EndCount == 1 && p[0] == m.Position[0] && p[1] == m.Position[1] &&
           same(EndDirection(t), m.Direction))) {
        t.LinkedModel = static_cast<int>(i);
        break;
      }
    }
  }
  PlaceLinkedModels(a);
  // A later model equal to a kept one goes: Number 0, its tracks unlinked.
  for (std::size_t o = 0; o + 1 < a.Models.size(); ++o) {
    for (std::size_t j = o + 1; a.Models[o].Number != 0 && j < a.Models.size(); ++j) {
      if (a.Models[j].Number == 0 || !ModelsEqual(a.Models[o], a.Models[j])) continue;
      a.Models[j].Number = 0;
      for (CGleis& t : a.Tracks) {
        if (t.LinkedModel == static_cast<int>(j)) t.LinkedModel = -1;
      }
    }
  }
}

// Random layouts with many collisions: few coordinates and directions (NaN, both zeros),
// models on tracks or beside them, copies of earlier models, shared numbers.
TEST(ModelPlacement, HashedLinkingAndRemovalGiveTheArrayOrderResults) {
  std::mt19937 rng(20261207);
  const auto pick = [&](auto n) { return static_cast<decltype(n)>(rng() % static_cast<unsigned>(n)); };
  const float values[] = {1.0f, 0.0f, -0.0f, -1.0f, kNan, 0.5f};
  const auto direction = [&] {
    return std::array<float, 3>{values[pick(6)], values[pick(6)], pick(4) == 0 ? values[pick(6)] : 0.0f};
  };
  const auto xy = [&] { return pick(5) * 500 - 1000; };
  const std::string names[] = {kBridge, kBridge + "x", kStop, "..\\bruecken\\Stahl.mod", "Baum"};
  for (int round = 0; round < 3000; ++round) {
    CAnlage fast;
    for (int i = pick(30); i > 0; --i)
      fast.Tracks.push_back(Track(pick(2) + 1, {xy(), xy(), pick(3)}, direction(), {xy(), xy(), pick(3)}));
    for (int i = pick(40); i > 0; --i) {
      CAnlagenModell m = Mdl{0, names[pick(5)], {xy(), xy(), pick(3)}, direction()};
      if (!fast.Models.empty() && pick(4) == 0) {
        m = fast.Models[pick(fast.Models.size())];
        if (pick(2) == 0) m.Direction[pick(std::size_t{3})] = kNan;
      } else if (!fast.Tracks.empty() && pick(2) == 0) {
        const CGleis& t = fast.Tracks[pick(fast.Tracks.size())];
        const auto p = m.Name == kStop ? BufferStopPosition(t) : TrackMidpoint(t);
        m.Position = {p[0], p[1], pick(3)};
        m.Direction = m.Name == kStop ? EndDirection(t) : t.StartDirection;
      }
      m.Number = static_cast<std::int16_t>(pick(5));
      fast.Models.push_back(m);
    }
    CAnlage plain = fast;
    LinkModelsToTracks(fast);
    PlaceLinkedModels(fast);
    RemoveDuplicateModels(fast);
    PlainLinkAndRemove(plain);
    ASSERT_EQ(Numbers(fast), Numbers(plain)) << round;
    ASSERT_EQ(Links(fast), Links(plain)) << round;
  }
}

TEST(TrackGeometry, ArcsAndStraights) {
  const ArcResult straight = ArcGeometry(Track(2, {0, 0, 0}, {0, 1, 0}, {0, -1000, 0}));  // chord against the start
  EXPECT_TRUE(straight.turning_angle == 0.0 && !straight.radius && straight.arc_length == 1000.0);
  EXPECT_DOUBLE_EQ(ArcGeometry(Track(2, {0, 0, 0}, {940, 342, 0}, {940, 342, 0})).arc_length, std::hypot(940, 342));
  const ArcResult quarter = ArcGeometry(Track(2, {0, 0, 0}, {1, 0, 0}, {1000, 1000, 0}));
  EXPECT_NEAR(quarter.arc_length, 1570.796, 0.0005);
  EXPECT_NEAR(quarter.turning_angle, kPi / 2, 1e-12);
  EXPECT_NEAR(quarter.radius.value_or(0), 1000.0, 1e-9);
  EXPECT_LT(*ArcGeometry(Track(2, {0, 0, 0}, {1, 0, 0}, {1000, -1000, 0})).radius, 0.0) << "signed as the turn";
  // A track of no length does not fail; a radius of 0 still has the sign of the turn.
  for (F3 direction : {F3{1, 0, 0}, F3{0, 1, 0}, F3{kNan, 0, 0}, F3{0, 0, 0}}) {
    const ArcResult arc = ArcGeometry(Track(2, {5, 5, 5}, direction, {5, 5, 9}));
    EXPECT_EQ(arc.arc_length, 0.0);
    EXPECT_FALSE(std::isnan(arc.turning_angle) || std::isnan(arc.end_direction[0] + arc.end_direction[1]));
    EXPECT_TRUE(!arc.radius || std::signbit(*arc.radius) == (arc.turning_angle < 0));
  }
  EXPECT_EQ(EndDirection(Track(2, {5, 5, 5}, {1, 0, 0}, {5, 5, 9})), (F3{0, 0, 0}));
  EXPECT_EQ(BufferStopPosition(Track(2, {500, 500, 7}, {-1, 0, 0}, {-500, 500, 9})), (I3{-200, 500, 9}));
}

// The rows of tests/data/layout/track_geometry.tsv: rounding, and end
// directions and buffer stops of straights, quarter and half turns, turns
// past +-pi, directions ulps off the axes, tiny and huge radii, 0, infinite
// and NaN directions.
TEST(TrackGeometry, RoundingEndDirectionsAndBufferStopsAtAwkwardAngles) {
  for (const std::vector<std::string>& row : testing::DataRows("layout/track_geometry.tsv")) {
    SCOPED_TRACE(::testing::PrintToString(row));
    const auto f = [&](std::size_t i) { return std::strtof(row.at(i).c_str(), nullptr); };
    const auto n = [&](std::size_t i) { return static_cast<std::int32_t>(std::stol(row.at(i))); };
    if (row[0] == "round") {
      EXPECT_EQ(RoundHalfAway(std::strtod(row.at(1).c_str(), nullptr)), n(2));
      continue;
    }
    const CGleis t = Track(2, {n(3), n(4), 0}, {f(1), f(2), 0}, {n(5), n(6), 0});
    const F3 got = EndDirection(t);
    const F3 want = {f(7), f(8), 0.0f};
    EXPECT_EQ(std::memcmp(got.data(), want.data(), sizeof got), 0) << got[0] << " " << got[1];
    if (row.size() > 9) {
      EXPECT_EQ(BufferStopPosition(t), (I3{n(9), n(10), 0}));
    }
    EXPECT_LE(std::fabs(ArcGeometry(t).turning_angle), 2 * kPi);
  }
}

}  // namespace
}  // namespace railfmt
