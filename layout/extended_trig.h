// Angles as the x87 80-bit extended format computes them, with the same bits
// on every platform and compiler.
//
// Extended holds a number of that format: a sign, a 64-bit significand and a
// binary exponent, or NaN. Its sums round to nearest, ties to even, like the
// x87 unit with its precision set to 64 bits (as Linux on x86-64 runs it).
// The exponent is not limited: the values of track geometry stay far inside
// the format's range, and a conversion to double or float must land in the
// normal range of that type.
//
// Atan2 and SinCos give the exact results rounded to 64 bits. They compute
// them in double-double arithmetic (a value held as the unevaluated sum of two
// doubles, about 106 bits) to within 2^-100, relative, and round that; the
// rounding is correct unless an exact result lies that close to a halfway
// point between two extended numbers.
//
// Everything is integer arithmetic and IEEE double addition, multiplication,
// division and square root, whose results IEEE fixes bit for bit: no platform
// maths library. That needs doubles without excess precision (checked at
// compile time) and no contraction of a * b + c into a fused multiply-add
// (the library is built with -ffp-contract=off, for every compiler).
#pragma once

#include <compare>
#include <cstdint>

namespace railfmt {

// hi + lo, with hi the sum rounded to double.
struct DoubleDouble {
  double hi = 0.0;
  double lo = 0.0;
};

DoubleDouble operator+(const DoubleDouble& a, const DoubleDouble& b);
DoubleDouble operator*(const DoubleDouble& a, const DoubleDouble& b);
DoubleDouble operator/(const DoubleDouble& a, const DoubleDouble& b);

// atan2(y, x) in (-pi, pi], within 2^-100 relative. Signed zeros and
// infinities give what IEEE atan2 gives (atan2(+-0, -0) = +-pi); a NaN gives
// NaN.
DoubleDouble Atan2DoubleDouble(double y, double x);

struct SinCosPair {
  DoubleDouble sin;
  DoubleDouble cos;
};
// sin x and cos x within 2^-100 relative, for finite x with |x| <= 16.
SinCosPair SinCosDoubleDouble(const DoubleDouble& x);

class Extended {
 public:
  // Exactly; v is zero, normal or NaN.
  Extended(double v);
  // hi + lo rounded to 64 bits.
  static Extended Round(const DoubleDouble& v);

  bool IsNan() const { return nan_; }
  // Rounded to nearest, ties to even.
  double ToDouble() const;
  float ToFloat() const;
  // Exactly, hi being the value rounded to double.
  DoubleDouble ToDoubleDouble() const;

  Extended operator-() const;
  friend Extended operator+(const Extended& a, const Extended& b);
  friend Extended operator-(const Extended& a, const Extended& b) { return a + -b; }
  // Unordered when either is NaN, as for floating-point numbers.
  friend std::partial_ordering operator<=>(const Extended& a, const Extended& b);
  friend Extended Abs(Extended v) {
    v.negative_ = false;
    return v;
  }

 private:
  Extended() = default;
  Extended(bool negative, int exponent, std::uint64_t significand)
      : negative_(negative), exponent_(exponent), significand_(significand) {}

  // The value is (-1)^negative_ * significand_ * 2^exponent_; significand_
  // has its top bit set, or is 0 for a zero.
  bool nan_ = false;
  bool negative_ = false;
  int exponent_ = 0;
  std::uint64_t significand_ = 0;
};

// The extended results of atan2, sin and cos (NaN for NaN).
Extended Atan2(double y, double x);
struct ExtendedSinCos {
  Extended sin;
  Extended cos;
};
ExtendedSinCos SinCos(const Extended& x);

}  // namespace railfmt
