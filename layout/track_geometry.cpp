#include "layout/track_geometry.h"

#include <cmath>
#include <limits>

#include "layout/extended_trig.h"
#include "layout/layout_format.h"

namespace railfmt {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
// A double constant, compared with the extended |sin d|.
constexpr double kStraightness = 1e-10;

}  // namespace

std::int32_t RoundHalfAway(double v) {
  if (std::isnan(v)) return 0;
  // The fraction v - trunc(v) is exact in double precision, so a value
  // just below a half is never rounded up, as v + 0.5 itself could be; and
  // no extended-precision arithmetic is needed in this hot path.
  double r = std::trunc(v);
  const double fraction = v - r;
  if (fraction >= 0.5) r += 1.0;
  else if (fraction <= -0.5) r -= 1.0;
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t WrappingSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

ArcResult ArcGeometry(const CGleis& t) {
  const double dx = WrappingSub(t.EndPoint[0], t.StartPoint[0]);
  const double dy = WrappingSub(t.EndPoint[1], t.StartPoint[1]);
  const double length = std::sqrt(dx * dx + dy * dy);
  // The angle steps are those of the x87 extended format, each rounded to
  // 64 bits; the start angle is then kept as a double (the double-precision
  // atan2 can be one unit in the last place off that), and each end-direction
  // component is rounded to float once from the extended cosine or sine.
  const double a0 = Atan2(t.StartDirection[1], t.StartDirection[0]).ToDouble();
  const Extended ac = Atan2(dy, dx);
  const Extended turn = ac - a0;
  Extended delta = turn > kPi ? turn - kTwoPi : turn;
  if (delta < -kPi) delta = delta + kTwoPi;
  const Extended sin_delta = SinCos(delta).sin;

  ArcResult r;
  if (Abs(sin_delta) >= kStraightness) {
    // delta * length / sin d and the radius length / (2 sin d), each rounded
    // once from double-double; the radius has the sign of sin d even when
    // the length is 0.
    const DoubleDouble d = delta.ToDoubleDouble();
    const DoubleDouble sin_d = sin_delta.ToDoubleDouble();
    const DoubleDouble chord_over_sin = DoubleDouble{length, 0.0} / sin_d;
    r.arc_length = (d * chord_over_sin).hi;
    r.turning_angle = 2 * d.hi;
    r.radius = std::copysign(chord_over_sin.hi, sin_d.hi) / 2;
    const ExtendedSinCos end = SinCos(ac + turn);
    r.end_direction = {end.cos.ToFloat(), end.sin.ToFloat(), 0.0f};
  } else {
    r.arc_length = length;
    r.end_direction = {static_cast<float>(RoundHalfAway(dx / length)), static_cast<float>(RoundHalfAway(dy / length)),
                       0.0f};
  }
  return r;
}

std::array<float, 3> EndDirection(const CGleis& track) { return ArcGeometry(track).end_direction; }

std::array<std::int32_t, 3> BufferStopPosition(const CGleis& track) {
  return BufferStopPosition(track, EndDirection(track));
}

std::array<std::int32_t, 3> BufferStopPosition(const CGleis& track, const std::array<float, 3>& d) {
  std::array<std::int32_t, 3> p{};
  for (std::size_t i = 0; i < 3; ++i) {
    p[i] = WrappingAdd(track.EndPoint[i], RoundHalfAway(-layout_format::kBufferStopSetBack * d[i]));
  }
  return p;
}

std::array<std::int32_t, 3> TrackMidpoint(const CGleis& track) {
  std::array<std::int32_t, 3> m{};
  for (std::size_t i = 0; i < 3; ++i) {
    m[i] = RoundHalfAway(static_cast<double>(WrappingAdd(track.StartPoint[i], track.EndPoint[i])) * 0.5);
  }
  return m;
}

}  // namespace railfmt
