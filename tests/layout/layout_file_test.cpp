#include "layout/layout_kind.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>

#include "driver/byte_order.h"
#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "tests/layout/layout_builders.h"
#include "tools/samples/layout_samples.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {
using testing::MakeModel;
using testing::MakeTrack;
using testing::MakeVehicle;
using testing::ScratchDir;
using testing::SetCounts;
using Bytes = std::vector<std::uint8_t>;

CAnlage Read(const Bytes& bytes, std::size_t* stop = nullptr) {
  CAnlage a;
  const std::size_t at = ReadLayout(a, bytes).stop_offset;
  if (stop != nullptr) *stop = at;
  return a;
}

// A small layout with every section filled.
CAnlage Base() {
  CAnlage a;
  a.Tracks.push_back(MakeTrack(1, "eins", 1, {0, 0, 0}, {1, 0, 0}, {1000, 0, 0}));
  a.Tracks.push_back(MakeTrack(2, "zwei", 2, {1000, 0, 0}, {1, 0, 0}, {2000, 0, 0}));
  a.Models.push_back(MakeModel(4, "Haus", {1, 2, 3}, {0, 1, 0}));
  a.Models.push_back(MakeModel(5, "..\\Bruecken\\b.mod", {500, 0, 0}, {1, 0, 0}));
  a.RollingStock.push_back(MakeVehicle(7, "Lok.rol"));
  a.RollingStock.push_back(MakeVehicle(3, "Wagen.rol"));
  a.Properties.FirstTriplet = {1, 2, 3};
  a.Properties.FinalValue = 99;
  SetCounts(a);
  return a;
}

// Where each part of a layout encoded as stored begins.
struct Offsets {
  std::vector<std::size_t> tracks, models, vehicles;  // record starts, then the next count
  std::size_t blocks = 0, properties = 0, trailers = 0, end = 0;
};

Offsets OffsetsOf(const CAnlage& a) {
  Offsets o;
  std::size_t at = 2;
  for (const CGleis& t : a.Tracks) {
    o.tracks.push_back(at);
    at += testing::TrackBytes(t).size();
  }
  o.tracks.push_back(at);
  at += 2;
  for (const CAnlagenModell& m : a.Models) {
    o.models.push_back(at);
    at += 36 + 2 * m.Name.size();
  }
  o.models.push_back(at);
  at += 2;
  for (const CAnlagenRollmaterial& r : a.RollingStock) {
    o.vehicles.push_back(at);
    at += 61 + 2 * r.Name.size() + r.SecondName.size();
  }
  o.vehicles.push_back(at);
  o.blocks = at;
  o.properties = o.blocks + 160;
  o.trailers = o.properties + 32;
  o.end = o.trailers + 7 * TrailerOrder(a).size();
  return o;
}

TEST(LayoutFile, TrailersFollowTheVehicleNumbers) {
  CAnlage a;
  a.Tracks.push_back(MakeTrack(1, "g", 1, {0, 0, 0}, {1, 0, 0}, {10, 0, 0}));
  for (int n : {7, 3, 5, 5, 0, 30000, -2, 29999})
    a.RollingStock.push_back(MakeVehicle(static_cast<std::int16_t>(n), "w.rol"));
  a.RollingStock[3].TrailerWord = 0x1111;  // the second vehicle numbered 5
  SetCounts(a);
  const Bytes bytes = EncodeLayoutAsStored(a);
  const std::vector<int> order = {1, 2, 0, 7};  // numbers 3, 5, 7, 29999
  ASSERT_EQ(TrailerOrder(a), order);
  const std::size_t trailers = OffsetsOf(a).trailers;
  ASSERT_EQ(bytes.size(), trailers + 7 * order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(LoadLE32(&bytes[trailers + 7 * i]), a.RollingStock[static_cast<std::size_t>(order[i])].TrailerValue);
  }
  CAnlage read = Read(bytes);
  ASSERT_EQ(read.ReadOk, 1);
  EXPECT_EQ(read.RollingStock[2].TrailerWord, 0xBEEF);
  EXPECT_EQ(read.RollingStock[3].TrailerWord, 0) << "only the first vehicle of a number has a trailer";
  EXPECT_EQ(read.RollingStock[5].TrailerValue, 0u);
  const Bytes written = testing::NormaliseAndEncode<LayoutKind>(read);
  CAnlage again = Read(written);
  ASSERT_EQ(again.ReadOk, 1);
  EXPECT_EQ(again.RollingStockCount, 7) << "the vehicle numbered 0 is dropped";
  EXPECT_EQ(written.size(), bytes.size() - (61 + 2 * 5 + 7));
  EXPECT_EQ(Bytes(written.end() - 28, written.end()), Bytes(bytes.end() - 28, bytes.end()));
}

TEST(LayoutFile, TrailerOrderIsWhatNextRollmaterialByNumberVisits) {
  std::mt19937 rng(7);
  for (int round = 0; round < 500; ++round) {
    CAnlage a;
    const int count = static_cast<int>(rng() % 20);
    const std::int16_t numbers[] = {-32768, -1, 0, 1, 2, 3, 17, 29999, 30000, 32767};
    for (int i = 0; i < count; ++i) a.RollingStock.push_back(MakeVehicle(numbers[rng() % 10], "w"));
    std::vector<int> visited;
    int previous = 0;
    for (int i = NextRollmaterialByNumber(a, previous); i >= 0; i = NextRollmaterialByNumber(a, previous)) {
      visited.push_back(i);
    }
    EXPECT_EQ(previous, 30000);
    ASSERT_EQ(TrailerOrder(a), visited);
  }
}

TEST(LayoutFile, FailingVehicleMessageDependsOnADllName) {
  const struct {
    const char* name;
    const char* message;
  } cases[] = {
      {"Lok.DLL", "Dll-Modell \"Lok.DLL\" kann nicht benutzt werden!\n"},
      {"a.b.Dll", "Dll-Modell \"a.b.Dll\" kann nicht benutzt werden!\n"},
      {".dll", "Dll-Modell \".dll\" kann nicht benutzt werden!\n"},
      {"lok.dll.bak", "Rollmaterial Nr. 7 fehlerhaft!\n"},
      {"lokdll", "Rollmaterial Nr. 7 fehlerhaft!\n"},
      {"lok.dl", "Rollmaterial Nr. 7 fehlerhaft!\n"},
  };
  for (const auto& c : cases) {
    CAnlage a = Base();
    a.RollingStock[0].Name = c.name;
    Bytes bytes = EncodeLayoutAsStored(a);
    const std::size_t zero = OffsetsOf(a).vehicles[0] + 2 + 1 + a.RollingStock[0].Name.size() + 2 + 8 + 44 + 2;
    bytes[zero] = 1;
    DiagnosticCapture captured;
    EXPECT_EQ(Read(bytes).ReadOk, 0);
    EXPECT_EQ(captured.mismatches(), "I: 1 S: 0\n");
    EXPECT_EQ(captured.messages(), std::vector<std::string>{c.message});
  }
}

TEST(LayoutFile, CountsBeyondTheDataReserveLittle) {
  Bytes bytes(198, 0);
  StoreLE16(bytes.data(), 32767);
  DiagnosticCapture captured;
  CAnlage a = Read(bytes);
  EXPECT_EQ(a.ReadOk, 0);
  EXPECT_LE(a.Tracks.capacity(), 196u / 56 + 1);
  EXPECT_EQ(a.Tracks.size(), 1u);
  EXPECT_EQ(captured.messages(), (std::vector<std::string>{": Unbekannter Typ 0!\n", "Gleis Nr. 0 fehlerhaft!\n"}));
}

TEST(LayoutFile, ClearLayoutReleasesAPartialRead) {
  Bytes bytes = EncodeLayoutAsStored(Base());
  bytes.resize(OffsetsOf(Base()).models[1] + 3);
  CAnlage a = Read(bytes);
  ASSERT_EQ(a.ReadOk, 0);
  ASSERT_EQ(a.Models.size(), 2u);
  ClearLayout(a);
  EXPECT_EQ(a.TrackCount, 0);
  EXPECT_TRUE(a.Tracks.empty() && a.Models.empty() && a.RollingStock.empty());
  EXPECT_EQ(a.ReadOk, 0);
}

}  // namespace
}  // namespace railfmt
