#include "tools/railinspect/core/svg_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tools/railinspect/core/svg_labels.h"

namespace railfmt::inspect {
namespace {

TEST(SvgCanvas, ContentIsFittedCentredAndTurnedYUp) {
  Box box;
  box.Add(0, 0);
  box.Add(100, 50);
  box.Add(std::numeric_limits<double>::quiet_NaN(), 1e9);  // ignored
  const Viewport view(box, Panel{10, 20, 200, 200});
  EXPECT_DOUBLE_EQ(view.scale(), 2.0);
  const PixelPoint low = view.Map(0, 0);
  const PixelPoint high = view.Map(100, 50);
  EXPECT_DOUBLE_EQ(low.x, 10);
  EXPECT_DOUBLE_EQ(high.x, 210);
  EXPECT_DOUBLE_EQ(low.y, 170);  // y up: the lower point is further down
  EXPECT_DOUBLE_EQ(high.y, 70);
  EXPECT_DOUBLE_EQ(view.ContentX(high.x), 100);
  EXPECT_DOUBLE_EQ(view.ContentY(high.y), 50);
  // At a given scale, centred the same way.
  const Viewport half(box, Panel{10, 20, 200, 200}, 1.0);
  EXPECT_DOUBLE_EQ(half.Map(0, 0).x, 60);
  EXPECT_DOUBLE_EQ(half.Map(100, 50).y, 95);
}

TEST(SvgCanvas, GridStepsAreRoundNumbersOfAboutAHundredPixels) {
  const struct {
    double scale;  // pixels per unit
    double step;
  } cases[] = {{1, 100}, {0.9, 200}, {0.3, 500}, {0.01, 10000}, {3, 50}, {0.000000001, 1e11}, {0, 1}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(GridStep(c.scale), c.step) << c.scale;
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

TEST(SvgLabels, ALabelGoesToTheFirstPlaceWhereItOverlapsNothingInsideTheArea) {
  LabelSpace space(Panel{0, 0, 200, 100});
  space.Take({50, 50, 20, 10});
  const struct {
    Rect candidates[2];
    int chosen;  // index of the candidate taken, -1 for none
  } cases[] = {
      {{{55, 45, 10, 10}, {100, 10, 20, 10}}, 1},   // the first overlaps the taken symbol
      {{{105, 15, 10, 10}, {150, 80, 20, 10}}, 1},  // the first overlaps the label just placed
      {{{190, 50, 20, 10}, {-5, 0, 10, 10}}, -1},   // outside the area
      {{{70, 50, 20, 10}, {0, 0, 1, 1}}, 0},        // touching is no overlap
  };
  for (const auto& c : cases) {
    const std::optional<Rect> placed = space.TakeFirstFree(c.candidates);
    ASSERT_EQ(placed.has_value(), c.chosen >= 0);
    if (placed) {
      EXPECT_EQ(placed->x, c.candidates[c.chosen].x);
    }
  }
  // Many labels over one spot: exactly one fits.
  int placed = 0;
  for (int i = 0; i < 50; ++i) placed += space.TakeFirstFree(std::vector<Rect>{{10, 70, 30, 12}}).has_value();
  EXPECT_EQ(placed, 1);
}

}  // namespace
}  // namespace railfmt::inspect
