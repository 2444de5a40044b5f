#include "tools/railinspect/svg_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace railfmt::inspect {
namespace {

TEST(SvgCanvas, ContentIsFittedCentredAndTurnedYUp) {
  Box box;
  box.Add(0, 0);
  box.Add(100, 50);
  box.Add(std::numeric_limits<double>::quiet_NaN(), 1e9);  // ignored
  const Viewport view(box, 10, 20, 200, 200);
  EXPECT_DOUBLE_EQ(view.scale(), 2.0);
  const PixelPoint low = view.Map(0, 0);
  const PixelPoint high = view.Map(100, 50);
  EXPECT_DOUBLE_EQ(low.x, 10);
  EXPECT_DOUBLE_EQ(high.x, 210);
  EXPECT_DOUBLE_EQ(low.y, 170);  // y up: the lower point is further down
  EXPECT_DOUBLE_EQ(high.y, 70);
}

TEST(SvgCanvas, EmptyAndFlatContentStaysInsideTheRectangle) {
  Box single;
  single.Add(-5, 7);
  Box flat;
  flat.Add(0, 3);
  flat.Add(400, 3);
  for (const Box& box : {Box{}, single, flat}) {
    const Viewport view(box, 0, 0, 100, 80);
    ASSERT_TRUE(std::isfinite(view.scale()));
    const double x = box.empty ? 0 : box.min_x;
    const double y = box.empty ? 0 : box.min_y;
    const PixelPoint p = view.Map(x, y);
    EXPECT_GE(p.x, 0);
    EXPECT_LE(p.x, 100);
    EXPECT_GE(p.y, 0);
    EXPECT_LE(p.y, 80);
  }
}

TEST(SvgCanvas, NumbersNeverReadNan) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{3, "3"},
               {12.5, "12.5"},
               {-0.001, "0"},
               {2.345678, "2.35"},
               {-7.1, "-7.1"},
               {1e300, "1000000000"},
               {std::numeric_limits<double>::quiet_NaN(), "0"},
               {-std::numeric_limits<double>::infinity(), "0"}};
  for (const auto& c : cases) EXPECT_EQ(Num(c.value), c.text) << c.value;
}

TEST(SvgCanvas, FileTextsBecomeSafeXml) {
  EXPECT_EQ(XmlText("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&apos;");
  EXPECT_EQ(XmlText("..\\Br\xFC"
                    "cke"),
            "..\\Br\xC3\xBC"
            "cke");  // not UTF-8: byte by byte
  EXPECT_EQ(XmlText("Br\xC3\xBC"
                    "cke"),
            "Br\xC3\xBC"
            "cke");  // UTF-8 stays
  EXPECT_EQ(XmlText(std::string("x\0y\x1b", 4)), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

}  // namespace
}  // namespace railfmt::inspect
