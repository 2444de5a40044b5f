#include "layout/track.h"

#include <gtest/gtest.h>

#include <cstring>

#include "driver/byte_order.h"
#include "driver/diagnostics.h"
#include "tests/layout/layout_builders.h"

namespace railfmt {
namespace {
using testing::MakeTrack;
using testing::TrackBytes;

// One track of every accepted type with every carried field set.
CGleis FullTrack(std::int32_t type, std::string name = "Gleis") {
  CGleis t = MakeTrack(42, std::move(name), type, {10, -20, 30}, {0.5f, -0.25f, 0.0f}, {-4000, 5000, 60});
  t.Variant = (type >= 6 && type <= 9) ? 9u : 0u;
  if (type == 6) t.SecondName = "Buehne";
  if (type == 11) t.EndCount = 6;
  for (int i = 0; i < t.EndCount; ++i) {
    // End 3 stays open: a type-11 record stores nothing more of it.
    if (i != 3)
      t.Ends[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(100 + i), static_cast<std::int16_t>(i)};
  }
  if (t.EndCount > 2) t.EndValue2 = 0xA2;
  if (t.EndCount > 3 || type == 11) t.EndValue3 = 0xA3;
  if (type == 11) {
    t.ExtraA = {1, 2, 3};
    t.ExtraB = {4, 5, 6};
    t.ExtraC = {-7, 8, -9};
    t.ExtraD = 2.5f;
  }
  return t;
}

// Every field a record holds, compared through the record's bytes.
void ExpectSameTrack(const CGleis& a, const CGleis& b) {
  EXPECT_EQ(a.EndCount, b.EndCount);
  EXPECT_EQ(TrackBytes(a), TrackBytes(b));
}

// ReadTrack over the whole of bytes; at_end: the record took every byte.
struct TrackRead {
  int ok;
  CGleis track;
  bool at_end;
};
TrackRead Read(const std::vector<std::uint8_t>& bytes) {
  ReadCursor in(bytes);
  TrackRead r{0, CGleis(), false};
  r.ok = ReadTrack(in, r.track);
  r.at_end = in.at_end();
  return r;
}

TEST(Track, WorkedExampleOfAType2Record) {
  const std::vector<std::uint8_t> expected = {
      0x01, 0x00, 0x01, 0x41, 0x02, 0x00, 0x00, 0x00,                          //
      0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0xE8, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
      0x01, 0x00, 0x01, 0x41, 0x02, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00};
  ASSERT_EQ(expected.size(), 58u);
  CGleis t = MakeTrack(1, "A", 2, {0, 0, 0}, {1.0f, 0.0f, 0.0f}, {1000, 0, 0});
  t.Ends[0] = {2, 1};
  EXPECT_EQ(TrackBytes(t), expected);
  const TrackRead r = Read(expected);
  ASSERT_EQ(r.ok, 1);
  EXPECT_TRUE(r.at_end);
  EXPECT_EQ(r.track.EndCount, 1);
  ExpectSameTrack(r.track, t);
}

TEST(Track, EndCountAndTypeMapping) {
  const struct {
    std::int32_t type;
    std::int16_t ends;
  } from_type[] = {{1, 2}, {2, 1}, {3, 3}, {4, 4}, {6, 2}, {7, 2}, {8, 3}, {9, 4}};
  for (const auto& c : from_type) {
    CGleis t;
    t.Type = c.type;
    EndCountFromType(t);
    EXPECT_EQ(t.EndCount, c.ends) << c.type;
  }
  CGleis eleven;
  eleven.Type = 11;
  eleven.EndCount = 7;
  EndCountFromType(eleven);
  EXPECT_EQ(eleven.EndCount, 7);

  const struct {
    std::int32_t type;
    std::int16_t ends;
    std::uint32_t variant;
    std::int32_t written;
  } to_type[] = {{2, 1, 0, 2}, {2, 1, 5, 2}, {7, 2, 0, 1},   {1, 2, 3, 7},   {8, 3, 0, 3}, {3, 3, 1, 8}, {9, 4, 0, 4},
                 {4, 4, 1, 9}, {6, 2, 0, 6}, {11, 3, 0, 11}, {11, 1, 0, 11}, {3, 5, 1, 3}, {3, 0, 1, 3}};
  for (const auto& c : to_type) {
    CGleis t;
    t.Type = c.type;
    t.EndCount = c.ends;
    t.Variant = c.variant;
    TypeFromEndCount(t);
    EXPECT_EQ(t.Type, c.written) << c.type << " " << c.ends << " " << c.variant;
  }
}

TEST(Track, FlaggedTypesWithoutVariantAreWrittenAsTheirPlainTypes) {
  const struct {
    std::int32_t type;
    std::uint32_t variant;
    std::int32_t written;
  } cases[] = {{7, 0, 1}, {8, 0, 3}, {9, 0, 4}, {7, 3, 7}, {8, 5, 8}, {9, 1, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type * 100 + static_cast<int>(c.variant));
    CGleis t = FullTrack(c.type);
    t.Variant = c.variant;
    TypeFromEndCount(t);
    EXPECT_EQ(t.Type, c.written);
    ByteWriter out;
    WriteTrack(out, t);
    CGleis plain = FullTrack(c.written);
    plain.Variant = c.variant;
    EXPECT_EQ(out.bytes(), TrackBytes(plain)) << "written in the shape of its type";
    const TrackRead r = Read(out.bytes());
    ASSERT_EQ(r.ok, 1);
    EXPECT_EQ(r.track.Type, c.written);
    EXPECT_EQ(r.track.Variant, c.variant);
  }
}

TEST(Track, UnknownTypesAreRejectedWithTheirOwnMessage) {
  for (std::int32_t type : {0, 5, 10, 12, -1, 0x7FFFFFFF}) {
    DiagnosticCapture captured;
    CGleis t = FullTrack(1, "Fremd");
    t.Type = type;
    EXPECT_EQ(Read(TrackBytes(t)).ok, 0);
    ASSERT_EQ(captured.messages().size(), 1u);
    EXPECT_EQ(captured.messages()[0], "Fremd: Unbekannter Typ " + std::to_string(type) + "!\n");
    EXPECT_EQ(captured.mismatches(), "");
  }
}

// Offsets inside a record with a one-byte name.
constexpr std::size_t kIdentity = 2 + 2 + 4;

struct Corruption {
  const char* what;
  std::int32_t type;
  std::size_t offset;  // of a 16-bit or 32-bit field
  int width;
  std::int32_t value;
  const char* mismatch;
};

TEST(Track, FloatCopiesCompareByValue) {
  // Type 8: copy B repeats the geometry; -0.0 there matches 0.0, NaN matches
  // anything, 2.0 against 1.0 fails.
  CGleis eight = FullTrack(8, "G");
  eight.StartDirection = {0.0f, 5.0f, 1.0f};
  const std::size_t copy_b = kIdentity + 8 + 36 + kIdentity + 12 + 4;
  const struct {
    std::size_t component;
    std::uint32_t bits;
    const char* mismatch;
    int result;
  } cases[] = {{0, 0x80000000u, "", 1},
               {1, 0x7FC00001u, "", 1},
               {2, 0x40000000u, "I: 2.000000 S: 1.000000 Diff: 1.000000e+00\n", 0}};
  for (const auto& c : cases) {
    std::vector<std::uint8_t> b = TrackBytes(eight);
    StoreLE32(&b[copy_b + 4 * c.component], c.bits);
    DiagnosticCapture captured;
    EXPECT_EQ(Read(b).ok, c.result) << c.component;
    EXPECT_EQ(captured.mismatches(), c.mismatch);
  }
}

TEST(Track, Type11ExtraEndCountIsBounded) {
  constexpr std::size_t kCount = kIdentity + 8 + 36 + kIdentity + 12 + 4 + 36 + kIdentity + 12;
  CGleis t = FullTrack(11, "G");
  t.EndCount = 20;
  for (int i = 2; i < 20; ++i) t.Ends[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(i), 1};
  std::vector<std::uint8_t> bytes = TrackBytes(t);
  ASSERT_EQ(LoadLE16(&bytes[kCount]), 18);
  const TrackRead eighteen = Read(bytes);
  ASSERT_EQ(eighteen.ok, 1);
  EXPECT_EQ(eighteen.track.EndCount, 20);
  EXPECT_EQ(eighteen.track.Ends[19].Neighbour, 19);
  StoreLE16(&bytes[kCount], 19);
  DiagnosticCapture captured;
  EXPECT_EQ(Read(bytes).ok, 0);
  EXPECT_TRUE(captured.messages().empty());
  EXPECT_EQ(captured.mismatches(), "");

  CGleis two = FullTrack(11, "G");
  two.EndCount = 2;
  const std::vector<std::uint8_t> plain = TrackBytes(two);
  EXPECT_EQ(plain.size(), kCount + 2 + 12 * 4 + 8 + 2) << "no flags and no extra connections";
}

TEST(Track, Type11EndFlagsUseTheirLow16Bits) {
  constexpr std::size_t kFlag = kIdentity + 8 + 36 + kIdentity + 12 + 4 + 36 + kIdentity + 12 + 2;
  CGleis t = FullTrack(11, "G");
  t.EndCount = 3;
  t.Ends[2] = {0, 0};  // open: flag 0, no connection
  std::vector<std::uint8_t> open = TrackBytes(t);
  ASSERT_EQ(LoadLE32(&open[kFlag]), 0u);
  StoreLE32(&open[kFlag], 65536u);
  const TrackRead r = Read(open);
  ASSERT_EQ(r.ok, 1) << "65536 has zero low bits: open, no connection follows";
  EXPECT_TRUE(r.at_end);
  EXPECT_EQ(r.track.Ends[2].Neighbour, 0);
  EXPECT_EQ(TrackBytes(r.track), TrackBytes(t));

  t.Ends[2] = {5, 1};
  std::vector<std::uint8_t> joined = TrackBytes(t);
  ASSERT_EQ(LoadLE32(&joined[kFlag]), 1u);
  StoreLE32(&joined[kFlag], 0x00030002u);
  const TrackRead r2 = Read(joined);
  ASSERT_EQ(r2.ok, 1);
  EXPECT_EQ(r2.track.Ends[2].Neighbour, 5) << "the connection overwrites what the flag stored";
  EXPECT_EQ(TrackBytes(r2.track), TrackBytes(t)) << "a flag other than 1 is written as 1";
}

TEST(Track, NameWithZeroByteIsCutAndFailsItsCopy) {
  CGleis t = FullTrack(2, "AB");
  std::vector<std::uint8_t> bytes = TrackBytes(t);
  bytes[4] = 0;                       // first name: "A\0"
  bytes[kIdentity + 1 + 36 + 4] = 0;  // repeated name: "A\0" too
  DiagnosticCapture captured;
  const TrackRead r = Read(bytes);
  EXPECT_EQ(r.ok, 0);
  EXPECT_EQ(r.track.Name, "A");
  EXPECT_EQ(captured.mismatches(), "") << "a name of another length prints no line";
}

TEST(Track, NumberZeroWritesNothing) {
  CGleis t = FullTrack(7);
  t.Number = 0;
  t.Variant = 0;
  ByteWriter out;
  WriteTrack(out, t);
  EXPECT_EQ(out.size(), 0u);
}

}  // namespace
}  // namespace railfmt
