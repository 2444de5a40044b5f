// The extended-precision arithmetic under the track geometry, against
// golden values as extended (x87) precision and exact arithmetic give them.
#include "layout/extended_trig.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/data_table.h"

namespace railfmt {
namespace {
constexpr double kNan = std::numeric_limits<double>::quiet_NaN(), kPi = 0x1.921fb54442d18p+1;

std::array<std::uint64_t, 2> Bits(const Extended& v) {
  return std::bit_cast<std::array<std::uint64_t, 2>>(v.ToDoubleDouble());
}
double RelativeError(const DoubleDouble& got, const DoubleDouble& want) {
  return std::fabs((got.hi - want.hi) + (got.lo - want.lo)) / std::fabs(want.hi);
}

TEST(ExtendedTrig, SumsAndConversionsRoundOnceTiesToEven) {
  // a + b, and the sum to double and to float (tests/data/layout/extended_sums.tsv).
  for (const std::vector<std::string>& row : testing::DataRows("layout/extended_sums.tsv")) {
    double c[8] = {};
    for (std::size_t i = 0; i < 8; ++i) c[i] = std::stod(row.at(i));
    const Extended sum = Extended::Round({c[0], c[1]}) + Extended::Round({c[2], c[3]});
    EXPECT_EQ(Bits(sum), Bits(Extended::Round({c[4], c[5]}))) << c[0] << " " << c[2];
    EXPECT_EQ(std::bit_cast<std::uint64_t>(sum.ToDouble()), std::bit_cast<std::uint64_t>(c[6])) << c[0] << " " << c[2];
    EXPECT_EQ(sum.ToFloat(), static_cast<float>(c[7])) << c[0] << " " << c[2];
  }
  EXPECT_TRUE((Extended(kNan) + 1.0).IsNan() && (Extended(1.0) - kNan).IsNan() && std::isnan(Extended(kNan).ToFloat()));
  const Extended above_one = Extended::Round({1, 0x1p-63});
  EXPECT_TRUE(Extended(1.0) < above_one && above_one > 1.0 && Abs(Extended(-2.0)) <= 2.0 &&
              !(Extended(kNan) < 1.0 || Extended(kNan) >= 1.0 || Abs(Extended(-2.0)) < 2.0));
  const DoubleDouble d = DoubleDouble{1, 0x1p-54} + DoubleDouble{-1, 0x1p-108};
  EXPECT_TRUE(d.hi == 0x1p-54 && d.lo == 0x1p-108);
}

TEST(ExtendedTrig, SineCosineAndTheirInverse) {
  // Exact values (300-bit arithmetic): reduced arguments tiny or near pi/4.
  const struct {
    DoubleDouble x, sin, cos;
  } cases[] = {
      {{0x1.921fb54442d18p+0, 0x1.1a6p-54}, {1, 0}, {0x1.3198a2e037073p-69, 0x1.129024e088a68p-123}},
      {{-0x1.2d97c7f3321d2p+3, 0}, {-0x1.a79394c9e8a0ap-52, -0x1.456737b06ea17p-106}, {-1, 0x1.5e6c8563ba8f1p-104}},
      {{2.35, 0}, {0x1.6c463c3c6c9e8p-1, 0x1.95d1471066c3ep-56}, {-0x1.67ca02266d8b1p-1, 0x1.a99d0638a47a2p-55}}};
  for (const auto& c : cases) {
    const SinCosPair p = SinCosDoubleDouble(c.x);
    EXPECT_LT(RelativeError(p.sin, c.sin), 0x1p-100) << c.x.hi;
    EXPECT_LT(RelativeError(p.cos, c.cos), 0x1p-100) << c.x.hi;
  }
  EXPECT_TRUE(SinCos(Extended(kNan)).sin.IsNan());
  // Through every octant and every sixteenth of each, x sin a - y cos a = 0.
  for (int i = -400; i <= 400; ++i) {
    const double y = std::sin(i * 0.00787) * 1e5, x = std::cos(i * 0.00787) * 1e5;
    const SinCosPair p = SinCosDoubleDouble(Atan2DoubleDouble(y, x));
    const DoubleDouble residual = p.sin * DoubleDouble{x, 0} + p.cos * DoubleDouble{-y, 0};
    EXPECT_LT(std::fabs(residual.hi), 0x1p-101 * 1e5) << y << " " << x;
  }
  // Equal parts, zeros and infinities as IEEE atan2 gives them.
  const double angles[][3] = {
      {3, 3, kPi / 4},    {0.0, -0.0, kPi},        {-0.0, 0.0, -0.0},        {-0.0, -1, -kPi},
      {2, -0.0, kPi / 2}, {1e300, -INFINITY, kPi}, {-INFINITY, 5, -kPi / 2}, {INFINITY, -INFINITY, 3 * kPi / 4}};
  for (const auto& c : angles)
    EXPECT_EQ(std::bit_cast<std::uint64_t>(Atan2DoubleDouble(c[0], c[1]).hi), std::bit_cast<std::uint64_t>(c[2]))
        << c[0];
  EXPECT_TRUE(Atan2(1, kNan).IsNan());
}

}  // namespace
}  // namespace railfmt
