#include "layout/extended_trig.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <limits>

namespace railfmt {

static_assert(FLT_EVAL_METHOD == 0, "double-double arithmetic needs every double operation rounded to double");

namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;

// pi/2 in double-double, and pi as its exact double.
constexpr DoubleDouble kHalfPi{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr DoubleDouble kPi{2 * kHalfPi.hi, 2 * kHalfPi.lo};

// pi/2 in four parts for the reduction of sine and cosine arguments: the
// first has 32 bits, so that its product with a small integer is exact.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a626331p-34;
constexpr double kHalfPi3 = 0x1.1701b839a2520p-88;
constexpr double kHalfPi4 = 0x1.27044533e63a0p-142;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// atan(j/16), j = 0 to 16.
constexpr DoubleDouble kAtanOfSixteenths[] = {
    {0.0, 0.0},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};

// The rounded sum and its exact error.
constexpr DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double b_part = s - a;
  return {s, (a - (s - b_part)) + (b - b_part)};
}

// The same when |a| >= |b| or a is 0.
constexpr DoubleDouble FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// Dekker's exact product: each factor is split into halves of at most 26
// bits, whose products are exact.
constexpr DoubleDouble TwoProduct(double a, double b) {
  const double ca = 134217729.0 * a;  // 2^27 + 1
  const double a_hi = ca - (ca - a);
  const double a_lo = a - a_hi;
  const double cb = 134217729.0 * b;
  const double b_hi = cb - (cb - b);
  const double b_lo = b - b_hi;
  const double p = a * b;
  return {p, ((a_hi * b_hi - p) + a_hi * b_lo + a_lo * b_hi) + a_lo * b_lo};
}

constexpr DoubleDouble Negate(const DoubleDouble& a) { return {-a.hi, -a.lo}; }

constexpr DoubleDouble Add(const DoubleDouble& a, const DoubleDouble& b) {
  const DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  const DoubleDouble u = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(u.hi, u.lo + t.lo);
}

constexpr DoubleDouble Multiply(const DoubleDouble& a, const DoubleDouble& b) {
  const DoubleDouble p = TwoProduct(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr DoubleDouble Divide(const DoubleDouble& a, const DoubleDouble& b) {
  // A quotient digit, and a second one from the remainder the first leaves.
  const double q = a.hi / b.hi;
  const DoubleDouble p = TwoProduct(q, b.hi);
  const double remainder = (((a.hi - p.hi) - p.lo) + a.lo) - q * b.lo;
  return FastTwoSum(q, remainder / b.hi);
}

// The series of atan u / u - 1 in s = u^2: -1/3, 1/5, -1/7, ...
template <std::size_t N>
constexpr std::array<DoubleDouble, N> AtanSeries() {
  std::array<DoubleDouble, N> c{};
  for (std::size_t k = 1; k <= N; ++k) {
    c[k - 1] = Divide(DoubleDouble{k % 2 != 0 ? -1.0 : 1.0, 0.0}, DoubleDouble{static_cast<double>(2 * k + 1), 0.0});
  }
  return c;
}

// The series of sin r / r - 1 in s = r^2: -1/3!, 1/5!, -1/7!, ...
template <std::size_t N>
constexpr std::array<DoubleDouble, N> SineSeries() {
  std::array<DoubleDouble, N> c{};
  DoubleDouble term{1.0, 0.0};
  for (std::size_t k = 1; k <= N; ++k) {
    term = Divide(term, DoubleDouble{-static_cast<double>(2 * k * (2 * k + 1)), 0.0});
    c[k - 1] = term;
  }
  return c;
}

// For |u| <= 1/32 and |r| <= pi/4 the terms these leave out stay below
// 2^-102 of the sum.
constexpr auto kAtanSeries = AtanSeries<9>();
constexpr auto kSineSeries = SineSeries<12>();

DoubleDouble Sqrt(const DoubleDouble& a) {
  const double s = std::sqrt(a.hi);
  const DoubleDouble p = TwoProduct(s, s);
  return FastTwoSum(s, ((a.hi - p.hi) - p.lo + a.lo) / (2 * s));
}

// c[0] + c[1] s + c[2] s^2 + ...; the terms from c[Head] on, below 2^-53
// of the sum, in double.
template <std::size_t Head, std::size_t N>
DoubleDouble Series(const DoubleDouble& s, const std::array<DoubleDouble, N>& c) {
  double tail = 0.0;
  for (std::size_t i = N; i-- > Head;) tail = c[i].hi + s.hi * tail;
  DoubleDouble p{tail, 0.0};
  for (std::size_t i = Head; i-- > 0;) p = Add(c[i], Multiply(s, p));
  return p;
}

// atan(num / den) for 0 <= num <= den, den finite and not 0: atan c of the
// nearest sixteenth c from the table, plus atan u with
// u = (num - c den) / (den + c num), |u| <= 1/32, from its series.
DoubleDouble AtanOfRatio(double num, double den) {
  const int j = static_cast<int>(16.0 * (num / den) + 0.5);
  const double c = j / 16.0;
  const DoubleDouble u =
      Divide(Add(DoubleDouble{num, 0.0}, Negate(TwoProduct(c, den))), Add(DoubleDouble{den, 0.0}, TwoProduct(c, num)));
  const DoubleDouble s = Multiply(u, u);
  return Add(kAtanOfSixteenths[j], Add(u, Multiply(Multiply(u, s), Series<4>(s, kAtanSeries))));
}

// 2^k for a normal result.
double TwoTo(int k) { return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52); }

// v >> n, with the lowest bit set when a set bit was shifted out.
Uint128 ShiftRightJam(Uint128 v, int n) {
  n = std::min(n, 127);
  return (v >> n) | static_cast<Uint128>((v & ((Uint128{1} << n) - 1)) != 0);
}

struct Parts {
  std::uint64_t significand;
  int exponent;
};

// m * 2^exponent (m not 0) rounded to a 64-bit significand, ties to even.
Parts RoundTo64(Uint128 m, int exponent) {
  const auto high = static_cast<std::uint64_t>(m >> 64);
  const int lead = high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<std::uint64_t>(m));
  m <<= lead;
  Parts r{static_cast<std::uint64_t>(m >> 64), exponent + 64 - lead};
  const auto rest = static_cast<std::uint64_t>(m);
  if (rest > kTopBit || (rest == kTopBit && (r.significand & 1) != 0)) {
    ++r.significand;
    if (r.significand == 0) r = {kTopBit, r.exponent + 1};
  }
  return r;
}

// The significand rounded to its top 64 - drop bits, ties to even, with the
// sign and exponent: a double exactly.
double Compose(bool negative, std::uint64_t significand, int drop, int exponent) {
  const std::uint64_t half = std::uint64_t{1} << (drop - 1);
  const std::uint64_t rest = significand & (2 * half - 1);
  std::uint64_t q = significand >> drop;
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  const double v = static_cast<double>(q) * TwoTo(exponent + drop);
  return negative ? -v : v;
}

}  // namespace

DoubleDouble operator+(const DoubleDouble& a, const DoubleDouble& b) { return Add(a, b); }
DoubleDouble operator*(const DoubleDouble& a, const DoubleDouble& b) { return Multiply(a, b); }
DoubleDouble operator/(const DoubleDouble& a, const DoubleDouble& b) { return Divide(a, b); }

DoubleDouble Atan2DoubleDouble(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return {std::numeric_limits<double>::quiet_NaN(), 0.0};
  // An infinite part weighs as 1 against a finite one as 0.
  if (std::isinf(x) || std::isinf(y)) {
    x = std::copysign(std::isinf(x) ? 1.0 : 0.0, x);
    y = std::copysign(std::isinf(y) ? 1.0 : 0.0, y);
  }
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  // The angle from the nearer axis, then the quadrant's.
  const bool steep = ay > ax;
  DoubleDouble a = steep ? AtanOfRatio(ax, ay) : AtanOfRatio(ay, ax == 0 ? 1.0 : ax);
  if (steep) a = Add(kHalfPi, Negate(a));
  if (std::signbit(x)) a = Add(kPi, Negate(a));
  return std::signbit(y) ? Negate(a) : a;
}

SinCosPair SinCosDoubleDouble(const DoubleDouble& x) {
  // r = x - k pi/2 for the nearest k. k times the first part of pi/2 and its
  // difference from x are exact; the last product's error is below 2^-190.
  const double k = std::round(x.hi * kTwoOverPi);
  DoubleDouble r = TwoSum(x.hi - k * kHalfPi1, x.lo);
  r = Add(r, Negate(TwoProduct(k, kHalfPi2)));
  r = Add(r, Negate(TwoProduct(k, kHalfPi3)));
  r = Add(r, DoubleDouble{-k * kHalfPi4, 0.0});
  const DoubleDouble s = Multiply(r, r);
  const DoubleDouble sin = Add(r, Multiply(Multiply(r, s), Series<7>(s, kSineSeries)));
  // cos r >= 1/sqrt(2): the square root loses nothing.
  const DoubleDouble cos = Sqrt(Add(DoubleDouble{1.0, 0.0}, Negate(Multiply(sin, sin))));
  const int quadrant = static_cast<int>(k) & 3;
  const SinCosPair p = (quadrant & 1) != 0 ? SinCosPair{cos, Negate(sin)} : SinCosPair{sin, cos};
  return (quadrant & 2) != 0 ? SinCosPair{Negate(p.sin), Negate(p.cos)} : p;
}

Extended::Extended(double v) : nan_(std::isnan(v)), negative_(std::signbit(v)) {
  if (nan_ || v == 0) return;
  const auto bits = std::bit_cast<std::uint64_t>(v);
  significand_ = (bits << 11) | kTopBit;
  exponent_ = static_cast<int>(bits >> 52 & 0x7FF) - 1086;
}

Extended Extended::Round(const DoubleDouble& v) { return Extended(v.hi) + Extended(v.lo); }

double Extended::ToDouble() const {
  return nan_ ? std::numeric_limits<double>::quiet_NaN() : Compose(negative_, significand_, 11, exponent_);
}

float Extended::ToFloat() const {
  return static_cast<float>(nan_ ? ToDouble() : Compose(negative_, significand_, 40, exponent_));
}

DoubleDouble Extended::ToDoubleDouble() const {
  const double scale = TwoTo(exponent_);
  const DoubleDouble v = FastTwoSum(static_cast<double>(significand_ & ~std::uint64_t{0x7FF}) * scale,
                                    static_cast<double>(significand_ & 0x7FF) * scale);
  return negative_ ? Negate(v) : v;
}

Extended Extended::operator-() const {
  Extended v = *this;
  v.negative_ = !negative_;
  return v;
}

Extended operator+(const Extended& a, const Extended& b) {
  if (a.nan_ || b.nan_) return Extended(std::numeric_limits<double>::quiet_NaN());
  if (b.significand_ == 0) return a.significand_ != 0 ? a : Extended(a.negative_ && b.negative_ ? -0.0 : 0.0);
  if (a.significand_ == 0) return b;
  if (a.exponent_ < b.exponent_) return b + a;
  const Uint128 x = Uint128{a.significand_} << 63;
  const Uint128 y = ShiftRightJam(Uint128{b.significand_} << 63, a.exponent_ - b.exponent_);
  Parts r{};
  bool negative = a.negative_;
  if (a.negative_ == b.negative_) {
    r = RoundTo64(x + y, a.exponent_ - 63);
  } else {
    // The difference of the magnitudes, with the sign of the larger; an
    // exact cancellation gives +0, as in IEEE arithmetic.
    Uint128 m = x - y;
    if (m >> 127 != 0) {
      m = y - x;
      negative = b.negative_;
    }
    if (m == 0) return Extended(0.0);
    r = RoundTo64(m, a.exponent_ - 63);
  }
  return Extended(negative, r.exponent, r.significand);
}

std::partial_ordering operator<=>(const Extended& a, const Extended& b) {
  if (a.nan_ || b.nan_) return std::partial_ordering::unordered;
  const Extended d = a - b;
  if (d.significand_ == 0) return std::partial_ordering::equivalent;
  return d.negative_ ? std::partial_ordering::less : std::partial_ordering::greater;
}

Extended Atan2(double y, double x) { return Extended::Round(Atan2DoubleDouble(y, x)); }

ExtendedSinCos SinCos(const Extended& x) {
  if (x.IsNan()) return {x, x};
  const SinCosPair p = SinCosDoubleDouble(x.ToDoubleDouble());
  return {Extended::Round(p.sin), Extended::Round(p.cos)};
}

}  // namespace railfmt
