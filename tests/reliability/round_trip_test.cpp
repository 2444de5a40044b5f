// Round-trip properties of every kind's reader and writer, over the sample
// files, zero-filled files of every length, and many deterministic
// mutations of the samples: whatever a reader accepts, its writer's output
// is accepted by the same reader and writing that again gives the same
// bytes; inputs already in normal form come out unchanged.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "layout/layout_kind.h"
#include "tests/layout/layout_builders.h"
#include "tests/support/mutator.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/sample_files.h"

namespace railfmt {
namespace {
using testing::Mutator;

constexpr int kMutationsPerSample = 2000;

struct Tally {
  int accepted = 0;
  int rejected = 0;
};

// Checks the property on one input; returns whether the reader accepted it.
bool CheckRoundTrip(EntryKind kind, const std::vector<std::uint8_t>& input, const std::string& what) {
  bool accepted = false;
  EXPECT_EQ(testing::CheckRewriteIsStable(kind, input, &accepted), "") << what;
  return accepted;
}

TEST(RoundTrip, EveryKindHasARewriterAndSamples) {
  for (EntryKind kind : kCascadeOrder) {
    SCOPED_TRACE(EntryKindName(kind));
    bool has_sample = false;
    for (const SampleFile& sample : MakeSampleFiles()) {
      DiagnosticCapture quiet;
      const auto file = RecogniseEntry(sample.name, sample.bytes);
      has_sample = has_sample || (file && file->kind() == kind);
    }
    EXPECT_TRUE(has_sample) << "no sample of this kind";
  }
}

TEST(RoundTrip, SamplesRewriteToAFixedPoint) {
  // Some samples are in normal form and come out unchanged; the others (a
  // reordered primitive list, misplaced bridges, duplicate models) change
  // once and then stay.
  DiagnosticCapture quiet;
  int unchanged = 0;
  int normalised = 0;
  for (const SampleFile& sample : MakeSampleFiles()) {
    SCOPED_TRACE(sample.name);
    const auto file = RecogniseEntry(sample.name, sample.bytes);
    ASSERT_TRUE(file.has_value()) << "a sample that no kind reads";
    const EntryKind kind = file->kind();
    const auto output = testing::Rewrite(kind, sample.bytes);
    ASSERT_TRUE(output.has_value());
    ++(*output == sample.bytes ? unchanged : normalised);
    CheckRoundTrip(kind, *output, sample.name + " rewritten");
  }
  EXPECT_GT(unchanged, 0);
  EXPECT_GT(normalised, 0);
}

TEST(RoundTrip, ZeroFilledFilesOfEveryLength) {
  DiagnosticCapture quiet;
  for (EntryKind kind : kCascadeOrder) {
    for (std::size_t length = 0; length <= 400; ++length) {
      CheckRoundTrip(kind, std::vector<std::uint8_t>(length, 0),
                     std::string(EntryKindName(kind)) + ", " + std::to_string(length) + " zero bytes");
      quiet.Clear();
    }
  }
}

TEST(RoundTrip, MutatedSamplesRewriteIdempotently) {
  const std::vector<SampleFile> samples = MakeSampleFiles();
  ASSERT_FALSE(samples.empty());
  DiagnosticCapture quiet;
  for (EntryKind kind : kCascadeOrder) {
    Tally tally;
    for (std::size_t s = 0; s < samples.size(); ++s) {
      // One seed per kind and sample, so that a failure names its input.
      Mutator mutator(0x5EED0000u + 64u * static_cast<unsigned>(kind) + s);
      const std::vector<std::uint8_t>& partner = samples[(s + 1) % samples.size()].bytes;
      for (int i = 0; i < kMutationsPerSample; ++i) {
        const std::vector<std::uint8_t> input = mutator.Mutate(samples[s].bytes, partner);
        const bool accepted = CheckRoundTrip(
            kind, input, std::string(EntryKindName(kind)) + ", " + samples[s].name + ", mutation " + std::to_string(i));
        ++(accepted ? tally.accepted : tally.rejected);
        quiet.Clear();
        if (::testing::Test::HasFailure()) return;
      }
    }
    // Both verdicts must occur, or the property says nothing about the kind.
    EXPECT_GT(tally.accepted, 0) << EntryKindName(kind);
    EXPECT_GT(tally.rejected, 0) << EntryKindName(kind);
    std::printf("round trip %-20s accepted %5d, rejected %5d mutated samples\n", EntryKindName(kind), tally.accepted,
                tally.rejected);
  }
}

TEST(RoundTrip, ALayoutWhoseBridgeTookANanDirectionSettlesOnTheSecondRewrite) {
  // Two tracks with the midpoint (500, 0); the second's direction holds a
  // NaN, so only it matches the bridge's direction (1, 0, 0). Placed from
  // it, the bridge takes the NaN, and on the next read it matches the first
  // track, from which it is placed again. Found by fuzz_layout; the link
  // rule (a NaN equals anything) is the format's, so the property allows
  // exactly this one more step.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  CAnlage layout;
  layout.Tracks.push_back(testing::MakeTrack(1, "A", 1, {0, 0, 100}, {1.0f, 0.5f, 0.0f}, {1000, 0, 200}));
  layout.Tracks.push_back(testing::MakeTrack(2, "B", 1, {0, -2000, 10}, {1.0f, nan, 0.0f}, {1000, 2000, 30}));
  layout.Models.push_back(testing::MakeModel(1, "..\\Bruecken\\Holz.mod", {500, 0, 0}, {1.0f, 0.0f, 0.0f}));
  testing::SetCounts(layout);
  const std::vector<std::uint8_t> input = testing::NormaliseAndEncode<LayoutKind>(layout);

  DiagnosticCapture quiet;
  const EntryKind kind = EntryKind::kLayout;
  const auto first = testing::Rewrite(kind, input);
  ASSERT_TRUE(first.has_value());
  const auto second = testing::Rewrite(kind, *first);
  ASSERT_TRUE(second.has_value());
  EXPECT_NE(*second, *first);
  EXPECT_TRUE(testing::MaySettleLater(kind, input, *first));
  EXPECT_EQ(testing::Rewrite(kind, *second), second);
  EXPECT_FALSE(testing::MaySettleLater(kind, *first, *second)) << "placed from the first track, the bridge has no NaN";
  bool accepted = false;
  EXPECT_EQ(testing::CheckRewriteIsStable(kind, input, &accepted), "");
  EXPECT_TRUE(accepted);

  CAnlage read;
  ReadLayout(read, *first);
  ASSERT_EQ(read.Models.size(), 1u);
  EXPECT_EQ(read.Models[0].Position, (std::array<std::int32_t, 3>{500, 0, 20})) << "placed at track B's height";
  ReadLayout(read = CAnlage{}, *second);
  EXPECT_EQ(read.Models[0].Position, (std::array<std::int32_t, 3>{500, 0, 150})) << "placed at track A's height";
}

TEST(RoundTrip, ALayoutWhoseModelNumbered0TookALinkSettlesOnTheSecondRewrite) {
  // Found by fuzz_layout. Models take part in linking whatever their
  // number, and a later model replaces an earlier one's link: the bridge
  // numbered 0 takes the track from bridge 5, is placed, and is dropped on
  // writing. Bridge 5 keeps its height 0 in the first output and is placed
  // at the track's mean height 50 by the next rewrite.
  CAnlage layout;
  layout.Tracks.push_back(testing::MakeTrack(1, "A", 1, {0, 0, 0}, {1.0f, 0.0f, 0.0f}, {1000, 0, 100}));
  layout.Models.push_back(testing::MakeModel(5, "..\\Bruecken\\Holz.mod", {500, 0, 0}, {1.0f, 0.0f, 0.0f}));
  layout.Models.push_back(testing::MakeModel(0, "..\\Bruecken\\Stahl.mod", {500, 0, 0}, {1.0f, 0.0f, 0.0f}));
  // The writer drops entries numbered 0: write the records whatever their number.
  ByteWriter out;
  out.I16(1);
  WriteTrackRecord(out, layout.Tracks[0]);
  out.I16(2);
  for (const CAnlagenModell& m : layout.Models) WritePlacedModelRecord(out, m);
  out.I16(0);
  for (const CAnlagenBlock& b : layout.Blocks) WriteBlock(out, b);
  WriteProperties(out, layout.Properties);
  const std::vector<std::uint8_t> input = out.Take();

  DiagnosticCapture quiet;
  const EntryKind kind = EntryKind::kLayout;
  const auto first = testing::Rewrite(kind, input);
  ASSERT_TRUE(first.has_value());
  const auto second = testing::Rewrite(kind, *first);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(testing::Rewrite(kind, *second), second);
  EXPECT_TRUE(testing::MaySettleLater(kind, input, *first));
  EXPECT_EQ(testing::CheckRewriteIsStable(kind, input, nullptr), "");

  CAnlage read;
  ReadLayout(read, *first);
  ASSERT_EQ(read.Models.size(), 1u);
  EXPECT_EQ(read.Models[0].Position[2], 0);
  ReadLayout(read = CAnlage{}, *second);
  ASSERT_EQ(read.Models.size(), 1u);
  EXPECT_EQ(read.Models[0].Position[2], 50);
}

}  // namespace
}  // namespace railfmt
