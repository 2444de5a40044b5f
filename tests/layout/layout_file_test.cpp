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
#include "tests/support/layout_samples.h"
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

// 198 zero bytes are the empty layout; a track count of -3 reads as no
// tracks. Both are written as the 198 zero bytes.
TEST(LayoutFile, EmptyLayoutsAreWrittenAs198ZeroBytes) {
  for (const std::int16_t count : {std::int16_t{0}, std::int16_t{-3}}) {
    Bytes bytes(198, 0);
    StoreLE16(bytes.data(), static_cast<std::uint16_t>(count));
    DiagnosticCapture captured;
    CAnlage a = Read(bytes);
    ASSERT_EQ(a.ReadOk, 1);
    EXPECT_TRUE(captured.messages().empty());
    EXPECT_EQ(a.TrackCount, count);
    EXPECT_TRUE(a.Tracks.empty());
    EXPECT_EQ(testing::NormaliseAndEncode<LayoutKind>(a), Bytes(198, 0));
  }
}

TEST(LayoutFile, BaseLayoutRoundTrips) {
  CAnlage base = Base();
  const Bytes bytes = EncodeLayoutAsStored(base);
  ASSERT_EQ(bytes.size(), OffsetsOf(base).end);
  CAnlage a = Read(bytes);
  ASSERT_EQ(a.ReadOk, 1);
  EXPECT_EQ(a.Tracks[0].LinkedModel, 1) << "linked after a successful read";
  EXPECT_EQ(testing::NormaliseAndEncode<LayoutKind>(a), bytes);
}

TEST(LayoutFile, ExtraByteAndCutBlocksAreRejected) {
  const Bytes bytes = EncodeLayoutAsStored(Base());
  const Offsets o = OffsetsOf(Base());
  const struct {
    const char* what;
    Bytes input;
    const char* message;
    std::size_t stop;
  } cases[] = {
      {"one byte more",
       [&] {
         Bytes b = bytes;
         b.push_back(0);
         return b;
       }(),
       "Datei zu lang!\n", bytes.size() + 1},
      {"cut inside the blocks", Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(o.blocks + 81)),
       "Formatfehler!\n", o.blocks + 80},
      {"cut inside a trailer", Bytes(bytes.begin(), bytes.end() - 1), "Formatfehler!\n", o.trailers + 7 + 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DiagnosticCapture captured;
    std::size_t stop = 0;
    EXPECT_EQ(Read(c.input, &stop).ReadOk, 0);
    EXPECT_EQ(captured.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(captured.mismatches(), "");
    EXPECT_EQ(stop, c.stop);
  }
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

TEST(LayoutFile, EachRejectedFileFailsAtItsCheck) {
  const CAnlage base = Base();
  const Offsets o = OffsetsOf(base);
  const struct {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
    const char* mismatch;
    std::vector<std::string> messages;
  } cases[] = {
      {"unknown type 5", o.tracks[1] + 2 + 5, 5, "", {"zwei: Unbekannter Typ 5!\n", "Gleis Nr. 2 fehlerhaft!\n"}},
      {"repeated track number", o.tracks[0] + 2 + 5 + 4 + 36, 9, "I: 9 S: 1\n", {"Gleis Nr. 1 fehlerhaft!\n"}},
      {"repeated model name", o.models[0] + 2 + 5 + 24 + 1, 'h', "", {"Modell Nr. 4 fehlerhaft!\n"}},
      {"repeated vehicle number", o.vehicles[0] + 2 + 8, 8, "I: 8 S: 7\n", {"Rollmaterial Nr. 7 fehlerhaft!\n"}},
      {"first properties zero", o.properties + 3, 1, "I: 1 S: 0\n", {}},
      {"second properties zero", o.properties + 7, 0xFF, "I: 255 S: 0\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = EncodeLayoutAsStored(base);
    bytes[c.offset] = c.value;
    DiagnosticCapture captured;
    EXPECT_EQ(Read(bytes).ReadOk, 0);
    EXPECT_EQ(captured.mismatches(), c.mismatch);
    EXPECT_EQ(captured.messages(), c.messages);
  }
}

// The message a layout cut after n bytes must fail with: the check whose
// field holds offset n.
std::vector<std::string> MessageForCut(const CAnlage& a, const Offsets& o, std::size_t n) {
  const auto in_record = [&](const std::vector<std::size_t>& starts, auto&& records,
                             const char* format) -> std::optional<std::vector<std::string>> {
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
      if (n >= starts[i] && n < starts[i + 1]) {
        const int number = n >= starts[i] + 2 ? records[i].Number : 0;
        char text[64];
        std::snprintf(text, sizeof text, format, number);
        return std::vector<std::string>{text};
      }
    }
    return std::nullopt;
  };
  if (auto m = in_record(o.tracks, a.Tracks, "Gleis Nr. %d fehlerhaft!\n")) return *m;
  if (auto m = in_record(o.models, a.Models, "Modell Nr. %d fehlerhaft!\n")) return *m;
  if (auto m = in_record(o.vehicles, a.RollingStock, "Rollmaterial Nr. %d fehlerhaft!\n")) return *m;
  if (n >= o.properties && n < o.trailers) {
    const std::size_t p = n - o.properties;
    if (p == 3 || p == 7) return {};
    if (p >= 8 && p < 28) return {"Feher in Eigenschaften!\n"};
  }
  return {"Formatfehler!\n"};
}

TEST(LayoutFile, NoTruncationIsAcceptedAndWholeFilesRewriteToAFixedPoint) {
  std::vector<std::pair<std::string, Bytes>> files = {{"base", EncodeLayoutAsStored(Base())}};
  for (SampleFile& s : MakeLayoutSamples()) files.emplace_back(s.name, std::move(s.bytes));
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    CAnlage whole = Read(bytes);
    ASSERT_EQ(whole.ReadOk, 1);
    const Offsets o = OffsetsOf(whole);
    ASSERT_EQ(o.end, bytes.size());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      DiagnosticCapture captured;
      std::size_t stop = 0;
      const CAnlage cut = Read(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)), &stop);
      ASSERT_EQ(cut.ReadOk, 0) << n;
      ASSERT_EQ(captured.messages(), MessageForCut(whole, o, n)) << n;
      ASSERT_EQ(captured.mismatches(), "") << n;
      ASSERT_LE(stop, n);
    }
    // Whole, it is rewritten to a fixed point.
    const Bytes once = testing::NormaliseAndEncode<LayoutKind>(whole);
    CAnlage again = Read(once);
    ASSERT_EQ(again.ReadOk, 1);
    EXPECT_EQ(testing::NormaliseAndEncode<LayoutKind>(again), once);
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

TEST(LayoutFile, SamplesHoldWhatTheyAreFor) {
  std::map<std::string, CAnlage> read;
  for (SampleFile& s : MakeLayoutSamples()) read[s.name] = Read(s.bytes);
  std::set<std::int32_t> types;
  for (const CGleis& t : read["anlage_gleistypen.anl"].Tracks) types.insert(t.Type);
  EXPECT_EQ(types, (std::set<std::int32_t>{1, 2, 3, 4, 6, 7, 8, 9, 11}));
  std::vector<int> links;
  for (const CGleis& t : read["anlage_bruecken.anl"].Tracks) links.push_back(t.LinkedModel);
  EXPECT_EQ(links, (std::vector<int>{0, 1, 2, -1, 6})) << "models 4 to 6 never link";
  CAnlage& doubled = read["anlage_doppelt.anl"];
  const CAnlage written = Read(testing::NormaliseAndEncode<LayoutKind>(doubled));
  std::vector<int> numbers;
  for (const CAnlagenModell& m : doubled.Models) numbers.push_back(m.Number);
  EXPECT_EQ(numbers, (std::vector<int>{3, 0, 5, 6, 0, 0}));
  EXPECT_EQ(written.TrackCount, 1) << "the track numbered 0 is dropped";
  EXPECT_EQ(written.ModelCount, 3);
  EXPECT_EQ(written.RollingStockCount, 6);
}

TEST(LayoutKind, WritesTheBaseNameAsAnl) {
  const Bytes bytes = EncodeLayoutAsStored(Base());
  const struct {
    const char* entry;
    const char* output;
  } cases[] = {{"x.anl", "x.anl"}, {"y.bak", "y.anl"}, {"a.b.c", "a.b.anl"}, {"noext", "noext.anl"}};
  for (const auto& c : cases) {
    std::size_t stop = 0;
    auto file = testing::TryKindStop(EntryKind::kLayout, bytes, c.entry, &stop);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->kind(), EntryKind::kLayout);
    EXPECT_EQ(file->OutputName(), c.output);
    EXPECT_EQ(stop, bytes.size());
  }
  std::size_t stop = 0;
  EXPECT_FALSE(testing::TryKindStop(EntryKind::kLayout, Bytes(bytes.begin(), bytes.end() - 1), "x.anl", &stop));
}

TEST(LayoutKind, RailfmtRewritesLayoutsInPlaceAndBesideThemselves) {
  std::map<std::string, Bytes> samples;
  for (SampleFile& s : MakeLayoutSamples()) samples[s.name] = std::move(s.bytes);
  const Bytes x = samples.at("anlage_doppelt.anl");
  const Bytes y = samples.at("y.bak");
  auto expected = [](const Bytes& in) {
    CAnlage a;
    ReadLayout(a, in);
    return testing::NormaliseAndEncode<LayoutKind>(a);
  };
  ScratchDir dir;
  dir.Write("x.anl", x);
  dir.Write("y.bak", y);
  dir.Write("kein.txt", {1, 2, 3});
  EXPECT_EQ(testing::RunProgram({RAILFMT_BINARY}).status, 0);
  EXPECT_EQ(dir.Read("x.anl"), expected(x));
  EXPECT_NE(dir.Read("x.anl"), x) << "duplicates and entries numbered 0 are gone";
  EXPECT_EQ(dir.Read("y.anl"), expected(y));
  EXPECT_EQ(dir.Read("y.bak"), y);
  EXPECT_EQ(dir.Snapshot().size(), 4u) << "nothing else written";
}

}  // namespace
}  // namespace railfmt
