#include "layout/track_geometry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "tests/layout/layout_builders.h"

namespace railfmt {
namespace {

using testing::MakeTrack;

std::array<std::uint32_t, 3> Bits(const std::array<float, 3>& v) {
  return std::bit_cast<std::array<std::uint32_t, 3>>(v);
}

TEST(TrackGeometry, RoundHalfAwayFromZero) {
  const struct {
    double v;
    std::int32_t r;
  } cases[] = {{2.5, 3},
               {-2.5, -3},
               {0.4, 0},
               {-0.4, 0},
               {0.0, 0},
               {0.5, 1},
               {-0.5, -1},
               {1.4999, 1},
               {150.5, 151},
               {-699.99999, -700},
               {std::nan(""), 0},
               {1e300, 2147483647},
               {-1e300, -2147483647 - 1},
               {2147483646.6, 2147483647},
               // Just below one half: v + 0.5 is not a double, and rounding
               // it to one would round the value up.
               {0.49999999999999994, 0},
               {-0.49999999999999994, 0},
               {2.4999999999999996, 2},
               {-1.5, -2},
               {1e15 + 0.5, 2147483647},
               {HUGE_VAL, 2147483647},
               {-HUGE_VAL, -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfAway(c.v), c.r) << c.v;
}

TEST(TrackGeometry, StraightsEndInOneOfEightDirections) {
  const struct {
    std::array<std::int32_t, 3> start;
    std::array<float, 3> direction;
    std::array<std::int32_t, 3> end;
    std::array<float, 3> end_direction;
    std::array<std::int32_t, 3> buffer_stop;
  } cases[] = {
      {{0, 0, 50}, {1, 0, 0}, {1000, 0, 50}, {1, 0, 0}, {700, 0, 50}},
      {{0, 0, 0}, {940, 342, 0}, {940, 342, 0}, {1, 0, 0}, {640, 342, 0}},
      {{0, 0, 0}, {1, 1, 0}, {1000, 1000, 0}, {1, 1, 0}, {700, 700, 0}},
      {{500, 500, 7}, {-1, 0, 0}, {-500, 500, 9}, {-1, 0, 0}, {-200, 500, 9}},
      // Chord against the start direction: still straight.
      {{0, 0, 0}, {0, 1, 0}, {0, -1000, 0}, {0, -1, 0}, {0, -700, 0}},
  };
  for (const auto& c : cases) {
    const CGleis t = MakeTrack(1, "g", 2, c.start, c.direction, c.end);
    const ArcResult arc = ArcGeometry(t);
    EXPECT_EQ(arc.turning_angle, 0.0);
    EXPECT_FALSE(arc.radius.has_value());
    EXPECT_DOUBLE_EQ(arc.arc_length, std::hypot(c.end[0] - c.start[0], c.end[1] - c.start[1]));
    EXPECT_EQ(EndDirection(t), c.end_direction);
    EXPECT_EQ(BufferStopPosition(t), c.buffer_stop);
  }
}

TEST(TrackGeometry, QuarterCircle) {
  const CGleis t = MakeTrack(1, "b", 2, {0, 0, 0}, {1, 0, 0}, {1000, 1000, 0});
  const ArcResult arc = ArcGeometry(t);
  EXPECT_NEAR(arc.arc_length, 1570.796, 0.0005);
  EXPECT_NEAR(arc.turning_angle, 3.141592653589793 / 2, 1e-12);
  ASSERT_TRUE(arc.radius.has_value());
  EXPECT_NEAR(*arc.radius, 1000.0, 1e-9);
  EXPECT_NEAR(arc.end_direction[0], 0.0, 1e-15);
  EXPECT_EQ(arc.end_direction[1], 1.0f);
  EXPECT_EQ(arc.end_direction[2], 0.0f);
  EXPECT_EQ(BufferStopPosition(t), (std::array<std::int32_t, 3>{1000, 700, 0}));

  const CGleis right = MakeTrack(1, "b", 2, {0, 0, 0}, {1, 0, 0}, {1000, -1000, 0});
  EXPECT_LT(*ArcGeometry(right).radius, 0.0) << "the radius has the sign of the turn";
  EXPECT_EQ(BufferStopPosition(right), (std::array<std::int32_t, 3>{1000, -700, 0}));
}

TEST(TrackGeometry, StartAngleIsComputedInExtendedPrecisionAndKeptAsDouble) {
  // For this start direction the double-precision atan2 is one unit in the
  // last place off the extended-precision angle rounded to double; near a
  // quarter turn that unit shows in the end direction's x component.
  const std::array<float, 3> direction = {-0x1.416fbp-1f, -0x1.3780fp-3f, 0.0f};
  const struct {
    std::int32_t end_y;
    float end_x_direction;
  } cases[] = {{-786655253, 0x1.35afdp-31f}, {-786655252, -0x1.71842p-31f}, {-786655254, 0x1.ee71ep-30f}};
  for (const auto& c : cases) {
    const CGleis t = MakeTrack(1, "k", 2, {0, 0, 0}, direction, {1000000000, c.end_y, 0});
    EXPECT_EQ(EndDirection(t), (std::array<float, 3>{c.end_x_direction, 1.0f, 0.0f})) << c.end_y;
  }
}

TEST(TrackGeometry, AwkwardAnglesGiveTheExtendedComputationsBits) {
  // As x87 extended precision gives them: quarter and half turns, turns past +-pi,
  // directions ulps off the axes, tiny and huge radii, 0, infinite and NaN directions.
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    std::array<float, 2> direction;
    std::array<std::int32_t, 2> start, end;
    std::array<float, 2> end_direction;
    std::array<std::int32_t, 2> buffer_stop;
  } cases[] = {
      {{1, 0}, {0, 0}, {1000, 1000}, {-0x1.d9ccecp-66f, 1}, {1000, 700}},
      {{1, 0}, {0, 0}, {1000, -1000}, {-0x1.d9ccecp-66f, -1}, {1000, -700}},
      {{-1, 0}, {0, 0}, {-1000, 1000}, {-0x1.1acecep-53f, 1}, {-1000, 700}},
      {{0, -1}, {0, 0}, {1000, -1000}, {1, -0x1.1a8p-54f}, {700, -1000}},
      {{1, 0}, {0, 0}, {0, 2000}, {-1, -0x1.d9ccecp-65f}, {300, 2000}},
      {{1, 0}, {0, 0}, {0, -2000}, {-1, 0x1.d9ccecp-65f}, {300, -2000}},
      {{-1, -1}, {0, 0}, {-1000, 1000}, {0x1.6a09e6p-1f, 0x1.6a09e6p-1f}, {-1212, 788}},
      {{-1, 0x1.99999ap-4f}, {0, 0}, {-1000, -500}, {-0x1.08eb3p-1f, -0x1.b6228p-1f}, {-845, -243}},
      {{1, 0}, {0, 0}, {-1000, 1}, {0x1.ffffbcp-1f, -0x1.0624ccp-9f}, {-1300, 2}},
      {{1, 0}, {0, 0}, {1, 1}, {-0x1.d9ccecp-66f, 1}, {1, -299}},
      {{1, 0}, {-1000000000, 0}, {1000000000, 3}, {1, 0x1.9c511ep-29f}, {999999700, 3}},
      {{1, 0}, {2147483547, 0}, {-2147483548, -40000}, {-0x1.fff962p-1f, -0x1.494f62p-7f}, {-2147483248, -39997}},
      {{0x1.000002p+0f, 0x1p-149f}, {0, 0}, {1000000000, 1000000000}, {-0x1.d9ccecp-66f, 1}, {1000000000, 999999700}},
      {{-0x1.fffffep-1f, -0x1p-149f},
       {0, 0},
       {-1000000000, 999999999},
       {-0x1.12e0bcp-30f, 1},
       {-1000000000, 999999699}},
      {{0x1p-149f, 0x1.fffffep-1f}, {0, 0}, {-7, 123456789}, {-0x1.e70c9ep-24f, 1}, {-7, 123456489}},
      {{-0.0f, 0x1.4484cp-100f}, {5, 5}, {1005, 6}, {0x1.0624ccp-9f, -0x1.ffffbcp-1f}, {1004, 306}},
      {{-0.0f, -0.0f}, {0, 0}, {1000, 1000}, {-0x1.1a9394p-53f, -1}, {1000, 1300}},
      {{kInf, -kInf}, {0, 0}, {10, 10}, {-0x1.6a09e6p-1f, 0x1.6a09e6p-1f}, {222, -202}},
      {{kNan, 1}, {0, 0}, {-1000, 0}, {-1, 0}, {-700, 0}},
      {{0, 1}, {5, 5}, {5, 5}, {0x1.1a6264p-54f, -1}, {5, 305}},
  };
  for (const auto& c : cases) {
    const CGleis t =
        MakeTrack(1, "a", 2, {c.start[0], c.start[1], 0}, {c.direction[0], c.direction[1], 0}, {c.end[0], c.end[1], 0});
    EXPECT_EQ(Bits(EndDirection(t)), Bits({c.end_direction[0], c.end_direction[1], 0.0f}))
        << c.end[0] << " " << c.end[1];
    EXPECT_EQ(BufferStopPosition(t), (std::array<std::int32_t, 3>{c.buffer_stop[0], c.buffer_stop[1], 0}));
    EXPECT_LE(std::fabs(ArcGeometry(t).turning_angle), 2 * 3.141592653589793) << "d lies in [-pi, pi]";
  }
}

TEST(TrackGeometry, DegenerateTracksDoNotFail) {
  const struct {
    std::array<float, 3> direction;
  } cases[] = {{{1, 0, 0}}, {{0, 1, 0}}, {{std::nanf(""), 0, 0}}, {{0, 0, 0}}};
  for (const auto& c : cases) {
    const CGleis t = MakeTrack(1, "p", 2, {5, 5, 5}, c.direction, {5, 5, 9});
    const ArcResult arc = ArcGeometry(t);
    EXPECT_EQ(arc.arc_length, 0.0);
    for (float v : arc.end_direction) EXPECT_FALSE(std::isnan(v));
    EXPECT_FALSE(std::isnan(arc.turning_angle));
    // A radius of 0 still has the sign of the turn.
    if (arc.radius) {
      EXPECT_EQ(std::signbit(*arc.radius), arc.turning_angle < 0);
    }
  }
  const CGleis straight = MakeTrack(1, "p", 2, {5, 5, 5}, {1, 0, 0}, {5, 5, 9});
  EXPECT_EQ(EndDirection(straight), (std::array<float, 3>{0, 0, 0}));
  EXPECT_EQ(BufferStopPosition(straight), (std::array<std::int32_t, 3>{5, 5, 9}));
}

}  // namespace
}  // namespace railfmt
