// Geometry of a track in the x-y plane: a circular arc, or a straight, from
// StartPoint with initial direction StartDirection to EndPoint; z is not
// part of it.
//
// Integer arithmetic on coordinates (dx, dy, midpoint sums, the buffer-stop
// addition) wraps at 32 bits. Computed values turn into integers by
// RoundHalfAway. A track whose start and end coincide in x and y has no end
// direction of its own: a straight one gets (0, 0, 0) and its buffer stop
// stands at its end point.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "layout/track.h"

namespace railfmt {

// Rounds halves away from zero (2.5 -> 3, -2.5 -> -3, 0.4 -> 0). A NaN gives
// 0; values beyond the 32-bit range give the nearest 32-bit value.
std::int32_t RoundHalfAway(double v);

struct ArcResult {
  double arc_length = 0.0;
  double turning_angle = 0.0;    // twice the angle between start direction and chord
  std::optional<double> radius;  // curves only; has the sign of the turn
  std::array<float, 3> end_direction{};
};

// A curve when |sin d| >= 1e-10 (d the angle from the start direction to the
// chord, in (-pi, pi]): end direction (cos, sin, 0) of the chord angle plus
// d. A straight otherwise: end direction is the chord divided by its length
// with each component rounded to a whole number, one of the eight
// directions (+-1, 0), (0, +-1), (+-1, +-1).
ArcResult ArcGeometry(const CGleis& track);

std::array<float, 3> EndDirection(const CGleis& track);

// The end point moved 300 units back along the end direction.
std::array<std::int32_t, 3> BufferStopPosition(const CGleis& track);
// The same, with the track's end direction already at hand.
std::array<std::int32_t, 3> BufferStopPosition(const CGleis& track, const std::array<float, 3>& end_direction);

// The rounded midpoint of start and end point, each coordinate.
std::array<std::int32_t, 3> TrackMidpoint(const CGleis& track);

// 32-bit wrapping integer arithmetic.
std::int32_t WrappingAdd(std::int32_t a, std::int32_t b);
std::int32_t WrappingSub(std::int32_t a, std::int32_t b);

}  // namespace railfmt
