// The spellings of values in JSON, pictures and on a terminal, and the
// picture's geometry and labels.
#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>
#include <vector>

#include "inspect/json_values.h"
#include "inspect/svg_canvas.h"
#include "inspect/svg_labels.h"
#include "tests/support/data_table.h"

namespace railfmt::inspect {
namespace {

// The rows of tests/data/inspect/spellings.tsv, and texts that keep every
// byte through JSON.
TEST(Spellings, JsonPicturesAndTerminalsSpellValuesAsTheTableSays) {
  for (const std::vector<std::string>& row : testing::DataRows("inspect/spellings.tsv")) {
    const std::string& spelling = row.at(0);
    const std::string& value = row.at(1);
    const std::string& spelled = row.at(2);
    SCOPED_TRACE(spelling + " " + value + ": " + row.at(3));
    float back = 0;
    if (spelling == "float") {
      const auto bits = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
      const std::string text = FloatValue(std::bit_cast<float>(bits)).dump();
      EXPECT_TRUE(ParseFloatValue(nlohmann::json::parse(text), back) && std::bit_cast<std::uint32_t>(back) == bits);
      EXPECT_TRUE(spelled.empty() || text == spelled) << text;
    } else if (spelling == "no float") {
      EXPECT_FALSE(ParseFloatValue(nlohmann::json::parse(value), back));
    } else if (spelling == "units") {
      EXPECT_EQ(Units(std::stod(value)), spelled);
    } else if (spelling == "grid step") {
      EXPECT_DOUBLE_EQ(GridStep(std::stod(value)), std::stod(spelled));
    } else if (spelling == "xml") {
      EXPECT_EQ(XmlText(value), spelled);
    } else {
      ASSERT_EQ(spelling, "terminal");
      EXPECT_EQ(TerminalText(value), spelled);
    }
  }
  std::string all, back;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  ASSERT_TRUE(Utf8ToLatin1(nlohmann::json::parse(TextValue(all).dump()).get<std::string>(), back));
  EXPECT_EQ(back, all);
}

TEST(SvgCanvas, ContentIsFittedCentredAndTurnedYUp) {
  Box box;
  box.Add(0, 0);
  box.Add(100, 50);
  box.Add(std::numeric_limits<double>::quiet_NaN(), 1e9);  // ignored
  const Viewport fitted(box, Panel{10, 20, 200, 200});
  const Viewport half(box, Panel{10, 20, 200, 200}, 1.0);
  struct Mapped {
    const Viewport* view;
    double x, y;
    double pixel_x, pixel_y;
  };
  const Mapped points[] = {
      {&fitted, 0, 0, 10, 170},
      {&fitted, 100, 50, 210, 70},
      {&half, 0, 0, 60, 145},
      {&half, 100, 50, 160, 95},
  };
  for (const Mapped& p : points) {
    EXPECT_DOUBLE_EQ(p.view->Map(p.x, p.y).x, p.pixel_x);
    EXPECT_DOUBLE_EQ(p.view->Map(p.x, p.y).y, p.pixel_y);
    EXPECT_DOUBLE_EQ(p.view->ContentX(p.pixel_x), p.x);
    EXPECT_DOUBLE_EQ(p.view->ContentY(p.pixel_y), p.y);
  }
}

TEST(SvgLabels, ALabelGoesToTheFirstPlaceWhereItOverlapsNothingInsideTheArea) {
  LabelSpace space(Panel{0, 0, 200, 100});
  space.Take({50, 50, 20, 10});
  const struct {
    Rect candidates[2];
    double chosen_x;                                           // -1: none fits
  } cases[] = {{{{55, 45, 10, 10}, {100, 10, 20, 10}}, 100},   // the first overlaps the taken symbol
               {{{105, 15, 10, 10}, {150, 80, 20, 10}}, 150},  // the first overlaps the label just placed
               {{{190, 50, 20, 10}, {-5, 0, 10, 10}}, -1},     // outside the area
               {{{70, 50, 20, 10}, {0, 0, 1, 1}}, 70}};        // touching is no overlap
  for (const auto& c : cases) EXPECT_EQ(space.TakeFirstFree(c.candidates).value_or(Rect{-1, 0, 0, 0}).x, c.chosen_x);
}

}  // namespace
}  // namespace railfmt::inspect
