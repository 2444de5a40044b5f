#include "layout/track_geometry.h"

#include <cmath>
#include <limits>

#include "layout/layout_format.h"

namespace railfmt {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
// A double constant, compared with |sin d| taken in extended precision.
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
  // The angle steps run in extended precision; the start angle is then kept
  // as a double (the double-precision atan2 can be one unit in the last
  // place off that), and each end-direction component is rounded to float
  // once.
  const double a0 = static_cast<double>(
      std::atan2(static_cast<long double>(t.StartDirection[1]), static_cast<long double>(t.StartDirection[0])));
  const long double ac = std::atan2(static_cast<long double>(dy), static_cast<long double>(dx));
  const long double turn = ac - a0;
  long double delta = turn > kPi ? turn - kTwoPi : turn;
  if (delta < -kPi) delta += kTwoPi;
  const long double sin_delta = std::sin(delta);

  ArcResult r;
  if (std::fabs(sin_delta) >= kStraightness) {
    const long double s = delta * length / sin_delta;
    r.arc_length = static_cast<double>(s);
    r.turning_angle = static_cast<double>(2 * delta);
    r.radius = static_cast<double>(s / (2 * delta));
    r.end_direction = {static_cast<float>(std::cos(ac + turn)), static_cast<float>(std::sin(ac + turn)), 0.0f};
  } else {
    r.arc_length = length;
    r.turning_angle = 0.0;
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
