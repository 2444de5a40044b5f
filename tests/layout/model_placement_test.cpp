#include "layout/model_placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "driver/field_primitives.h"
#include "layout/track_geometry.h"
#include "tests/layout/layout_builders.h"

namespace railfmt {
namespace {

using testing::MakeModel;
using testing::MakeTrack;

const std::string kBridge = "..\\Bruecken\\Stahl.mod";
const std::string kStop = "..\\Prellbock\\Prellbock.mod";

bool DirectionsMatch(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return FloatsMatch(a[0], b[0]) && FloatsMatch(a[1], b[1]) && FloatsMatch(a[2], b[2]);
}

// The array-order loops: every model against every track, every model
// against every later one.
void PlainLinkModelsToTracks(CAnlage& a) {
  for (CGleis& t : a.Tracks) t.LinkedModel = -1;
  for (std::size_t i = 0; i < a.Models.size(); ++i) {
    const CAnlagenModell& m = a.Models[i];
    const bool bridge = m.Name.starts_with("..\\Bruecken");
    const bool stop = !bridge && m.Name.starts_with("..\\Prellbock");
    for (CGleis& t : a.Tracks) {
      bool match = false;
      if (bridge) {
        const auto mid = TrackMidpoint(t);
        match = mid[0] == m.Position[0] && mid[1] == m.Position[1] && DirectionsMatch(t.StartDirection, m.Direction);
      } else if (stop) {
        const auto p = BufferStopPosition(t);
        match = t.EndCount == 1 && p[0] == m.Position[0] && p[1] == m.Position[1] &&
                DirectionsMatch(EndDirection(t), m.Direction);
      }
      if (match) {
        t.LinkedModel = static_cast<int>(i);
        break;
      }
    }
  }
}

void PlainRemoveDuplicateModels(CAnlage& a) {
  for (std::size_t o = 0; o + 1 < a.Models.size(); ++o) {
    if (a.Models[o].Number == 0) continue;
    for (std::size_t j = o + 1; j < a.Models.size(); ++j) {
      if (a.Models[j].Number != 0 && ModelsEqual(a.Models[o], a.Models[j])) RemoveModel(a, static_cast<int>(j));
    }
  }
}

std::vector<int> Links(const CAnlage& a) {
  std::vector<int> links;
  for (const CGleis& t : a.Tracks) links.push_back(t.LinkedModel);
  return links;
}

std::vector<int> Numbers(const CAnlage& a) {
  std::vector<int> numbers;
  for (const CAnlagenModell& m : a.Models) numbers.push_back(m.Number);
  return numbers;
}

TEST(ModelPlacement, BridgesAndBufferStopsLinkOnlyWhereTheyBelong) {
  CAnlage a;
  a.Tracks.push_back(MakeTrack(1, "rampe", 1, {0, 0, 100}, {1, 0, 0}, {1000, 0, 201}));
  a.Tracks.push_back(MakeTrack(2, "zweiseitig", 1, {0, 500, 0}, {1, 0, 0}, {1000, 500, 0}));
  a.Tracks.push_back(MakeTrack(3, "stumpf", 2, {0, 900, 40}, {1, 0, 0}, {1000, 900, 40}));
  a.Models.push_back(MakeModel(1, kBridge, {500, 0, 0}, {1, 0, 0}));                    // linked: height 151
  a.Models.push_back(MakeModel(2, kStop, {700, 500, 3}, {1, 0, 0}));                    // two-ended track: no
  a.Models.push_back(MakeModel(3, kBridge, {501, 0, 4}, {1, 0, 0}));                    // one unit off: no
  a.Models.push_back(MakeModel(4, "..\\bruecken\\Stahl.mod", {500, 0, 5}, {1, 0, 0}));  // lower case: no
  a.Models.push_back(MakeModel(5, kStop, {700, 900, 0}, {1, -0.0f, 0}));                // linked: height 40
  a.Models.push_back(MakeModel(6, "..\\Bruecke", {500, 500, 6}, {1, 0, 0}));            // prefix too short: no
  LinkModelsToTracks(a);
  EXPECT_EQ(Links(a), (std::vector<int>{0, -1, 4}));
  const CAnlage before = a;
  PlaceLinkedModels(a);
  EXPECT_EQ(a.Models[0].Position, (std::array<std::int32_t, 3>{500, 0, 151}));
  EXPECT_EQ(a.Models[4].Position, (std::array<std::int32_t, 3>{700, 900, 40}));
  for (std::size_t i : {1u, 2u, 3u, 5u}) {
    EXPECT_EQ(a.Models[i].Position, before.Models[i].Position) << i;
    EXPECT_EQ(a.Models[i].Direction, before.Models[i].Direction) << i;
  }
}

TEST(ModelPlacement, LaterModelTakesOverALinkedTrack) {
  CAnlage a;
  a.Tracks.push_back(MakeTrack(1, "a", 1, {0, 0, 0}, {0, 1, 0}, {0, 1000, 0}));
  a.Tracks.push_back(MakeTrack(2, "b", 1, {0, 0, 0}, {0, 1, 0}, {0, 1000, 0}));
  a.Models.push_back(MakeModel(1, kBridge, {0, 500, 0}, {0, 1, 0}));
  a.Models.push_back(MakeModel(2, kBridge, {0, 500, 9}, {std::nanf(""), 1, 0}));
  LinkModelsToTracks(a);
  EXPECT_EQ(Links(a), (std::vector<int>{1, -1})) << "the first matching track only, the later model wins";
}

TEST(ModelPlacement, ModelsEqualComparesPositionDirectionAndName) {
  const CAnlagenModell base = MakeModel(3, "Haus", {1, 2, 3}, {0.0f, 1.0f, -1.0f});
  const float nan = std::nanf("");
  const struct {
    const char* what;
    CAnlagenModell other;
    bool equal;
  } cases[] = {
      {"numbers and carried values differ",
       [&] {
         auto m = base;
         m.Number = 8;
         m.ValueA = 1;
         m.ValueB = 2;
         return m;
       }(),
       true},
      {"-0.0 against 0.0", MakeModel(3, "Haus", {1, 2, 3}, {-0.0f, 1.0f, -1.0f}), true},
      {"NaN on one side", MakeModel(3, "Haus", {1, 2, 3}, {0.0f, nan, -1.0f}), true},
      {"z differs", MakeModel(3, "Haus", {1, 2, 4}, {0.0f, 1.0f, -1.0f}), false},
      {"direction differs", MakeModel(3, "Haus", {1, 2, 3}, {0.0f, 1.0f, 1.0f}), false},
      {"letter case of the name", MakeModel(3, "haus", {1, 2, 3}, {0.0f, 1.0f, -1.0f}), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModelsEqual(base, c.other), c.equal) << c.what;
    EXPECT_EQ(ModelsEqual(c.other, base), c.equal) << c.what;
  }
}

TEST(ModelPlacement, LaterDuplicateIsRemovedAndUnlinked) {
  CAnlage a;
  a.Tracks.push_back(MakeTrack(1, "g", 1, {0, 0, 0}, {1, 0, 0}, {1000, 0, 0}));
  a.Models.push_back(MakeModel(3, kBridge, {500, 0, 0}, {1, 0, 0}));
  a.Models.push_back(MakeModel(8, kBridge, {500, 0, 0}, {1, 0, 0}));
  LinkModelsToTracks(a);
  ASSERT_EQ(Links(a), (std::vector<int>{1}));
  RemoveDuplicateModels(a);
  EXPECT_EQ(Numbers(a), (std::vector<int>{3, 0}));
  EXPECT_EQ(Links(a), (std::vector<int>{-1}));
  EXPECT_EQ(CountModels(a), 1);
}

TEST(ModelPlacement, OnlyTheTrueDuplicateGoesWhenNumbersAreShared) {
  CAnlage a;
  a.Models.push_back(MakeModel(5, "Bahnhof", {0, 0, 0}, {1, 0, 0}));
  a.Models.push_back(MakeModel(6, "Kirche", {9, 9, 0}, {1, 0, 0}));
  a.Models.push_back(MakeModel(5, "Kirche", {9, 9, 0}, {1, 0, 0}));
  a.Models.push_back(MakeModel(0, "Kirche", {9, 9, 0}, {1, 0, 0}));
  a.Models.push_back(MakeModel(7, "Kirche", {9, 9, 0}, {1, 0, 0}));
  RemoveDuplicateModels(a);
  EXPECT_EQ(Numbers(a), (std::vector<int>{5, 6, 0, 0, 0}));
  EXPECT_EQ(a.Models[0].Name, "Bahnhof");
}

TEST(ModelPlacement, RemovalFollowsTheKeptModelsNotTheirEquals) {
  // NaN makes equality intransitive: B equals A and C, A does not equal C.
  // B goes (it equals A); C stays, since the only kept model it equals
  // would have been B.
  const float nan = std::nanf("");
  CAnlage a;
  a.Models.push_back(MakeModel(1, "x", {0, 0, 0}, {1, 0, 0}));
  a.Models.push_back(MakeModel(2, "x", {0, 0, 0}, {nan, 0, 0}));
  a.Models.push_back(MakeModel(3, "x", {0, 0, 0}, {2, 0, 0}));
  CAnlage plain = a;
  RemoveDuplicateModels(a);
  PlainRemoveDuplicateModels(plain);
  EXPECT_EQ(Numbers(a), (std::vector<int>{1, 0, 3}));
  EXPECT_EQ(Numbers(plain), Numbers(a));
}

// Random layouts with many collisions: small coordinates, directions from a
// few values with NaN and both zeros, models placed on tracks or beside
// them, copies of earlier models, shared numbers.
CAnlage RandomLayout(std::mt19937& rng) {
  const float nan = std::nanf("");
  const float values[] = {1.0f, 0.0f, -0.0f, -1.0f, nan, 0.5f};
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto direction = [&] {
    return std::array<float, 3>{values[pick(6)], values[pick(6)], pick(4) == 0 ? values[pick(6)] : 0.0f};
  };
  auto coordinate = [&] { return pick(5) * 500 - 1000; };
  CAnlage a;
  const int tracks = pick(30);
  for (int i = 0; i < tracks; ++i) {
    a.Tracks.push_back(MakeTrack(static_cast<std::int16_t>(i + 1), "t", pick(2) == 0 ? 2 : 1,
                                 {coordinate(), coordinate(), pick(3)}, direction(),
                                 {coordinate(), coordinate(), pick(3)}));
  }
  const std::string names[] = {kBridge, kBridge + "x", kStop, "..\\bruecken\\Stahl.mod", "Baum"};
  const int models = pick(40);
  for (int i = 0; i < models; ++i) {
    CAnlagenModell m;
    if (!a.Models.empty() && pick(4) == 0) {
      m = a.Models[static_cast<std::size_t>(pick(static_cast<int>(a.Models.size())))];
      const std::size_t c = static_cast<std::size_t>(pick(3));
      if (pick(2) == 0) m.Direction[c] = pick(2) == 0 ? nan : -m.Direction[c];
    } else {
      m.Name = names[pick(5)];
      m.Position = {coordinate(), coordinate(), pick(3)};
      m.Direction = direction();
      if (!a.Tracks.empty() && pick(2) == 0) {
        const CGleis& t = a.Tracks[static_cast<std::size_t>(pick(static_cast<int>(a.Tracks.size())))];
        const bool stop = m.Name == kStop;
        const auto p = stop ? BufferStopPosition(t) : TrackMidpoint(t);
        m.Position = {p[0], p[1], pick(3)};
        m.Direction = stop ? EndDirection(t) : t.StartDirection;
        if (pick(3) == 0) m.Direction[static_cast<std::size_t>(pick(3))] = nan;
      }
    }
    m.Number = static_cast<std::int16_t>(pick(5));
    a.Models.push_back(m);
  }
  return a;
}

TEST(ModelPlacement, HashedLinkingAndRemovalGiveTheArrayOrderResults) {
  std::mt19937 rng(20261207);
  int links = 0;
  int taken_over = 0;
  int removed = 0;
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    CAnlage fast = RandomLayout(rng);
    CAnlage plain = fast;
    LinkModelsToTracks(fast);
    PlainLinkModelsToTracks(plain);
    ASSERT_EQ(Links(fast), Links(plain));
    std::vector<int> linked_models;
    for (int link : Links(fast)) {
      if (link >= 0) linked_models.push_back(link);
    }
    links += static_cast<int>(linked_models.size());
    CAnlage once = plain;
    for (CGleis& t : once.Tracks) t.LinkedModel = -1;
    const int before = CountModels(fast);
    PlaceLinkedModels(fast);
    PlaceLinkedModels(plain);
    RemoveDuplicateModels(fast);
    PlainRemoveDuplicateModels(plain);
    ASSERT_EQ(Numbers(fast), Numbers(plain));
    ASSERT_EQ(Links(fast), Links(plain));
    removed += before - CountModels(fast);
    taken_over += static_cast<int>(std::count_if(linked_models.begin(), linked_models.end(), [&](int m) {
      return m > 0 &&
             ModelsEqual(once.Models[static_cast<std::size_t>(m)], once.Models[static_cast<std::size_t>(m - 1)]);
    }));
  }
  // The random layouts do reach links, removals and links of copied models.
  EXPECT_GT(links, 3000);
  EXPECT_GT(removed, 3000);
  EXPECT_GT(taken_over, 10);
}

}  // namespace
}  // namespace railfmt
