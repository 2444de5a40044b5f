// The JSON spellings of file values and the picture's geometry and labels.
#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>
#include <vector>

#include "inspect/json_values.h"
#include "inspect/svg_canvas.h"
#include "inspect/svg_labels.h"

namespace railfmt::inspect {
namespace {

TEST(JsonValues, FloatsPrintShortAndParseBackToTheSameBitsAndTextsKeepEveryByte) {
  struct Spelling {
    std::uint32_t bits;
    std::string json;  // empty: only the round trip is checked
  };
  const Spelling spellings[] = {
      {0x3DCCCCCDu, "0.1"},
      {0x80000000u, "-0.0"},
      {1u, ""},           // the smallest denormal
      {0x7F7FFFFFu, ""},  // the largest finite
      {0xC2F6E979u, ""},  // -123.456f
      {0x4B800001u, "16777218.0"},
      {0xFF800000u, "\"-Infinity\""},
      {0x7FC00000u, "\"NaN\""},
      {0x7FA00001u, "\"NaN(0x7fa00001)\""},
      {0xFFC00000u, "\"NaN(0xffc00000)\""},
  };
  for (const Spelling& s : spellings) {
    const std::string text = FloatValue(std::bit_cast<float>(s.bits)).dump();
    float back = 0;
    EXPECT_TRUE(ParseFloatValue(nlohmann::json::parse(text), back) && std::bit_cast<std::uint32_t>(back) == s.bits);
    EXPECT_TRUE(s.json.empty() || text == s.json) << text;
  }
  float f = 0;
  for (const char* text : {"\"nan\"", "\"NaN(0x3f800000)\"", "\"NaN(0x7fc00000\"", "\"NaN(0x1ffc00000)\"", "[1]"}) {
    EXPECT_FALSE(ParseFloatValue(nlohmann::json::parse(text), f)) << text;
  }
  std::string all, back;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  ASSERT_TRUE(Utf8ToLatin1(nlohmann::json::parse(TextValue(all).dump()).get<std::string>(), back));
  EXPECT_EQ(back, all);
}

TEST(SvgCanvas, ContentIsFittedCentredAndTurnedYUpOnARoundGridAndTextsBecomeSafeXml) {
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
  for (const auto& [scale, step] : {std::pair{1.0, 100.0}, {0.9, 200}, {0.3, 500}, {3, 50}, {1e-9, 1e11}, {0, 1}}) {
    EXPECT_DOUBLE_EQ(GridStep(scale), step) << scale;
  }
  // Scale-bar numbers: thousands set apart from 10 000 on.
  for (const auto& [value, text] : {std::pair<double, std::string>{0, "0"},
                                    {9999, "9999"},
                                    {10000, "10 000"},
                                    {-123456, "-123 456"},
                                    {1065353216, "1 065 353 216"},
                                    {0.25, "0.25"},
                                    {std::numeric_limits<double>::infinity(), "?"}}) {
    EXPECT_EQ(Units(value), text) << value;
  }
  for (const auto& [text, xml] : {std::pair<std::string, std::string>{"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c&apos;"},
                                  {"\\Br\xFC", "\\Br\xC3\xBC"},  // not UTF-8: byte by byte
                                  {"Br\xC3\xBC", "Br\xC3\xBC"},
                                  {{"x\0y\x1b", 4}, "x\xEF\xBF\xBDy\xEF\xBF\xBD"},
                                  {"a\tb\nc\r", "a&#9;b&#10;c&#13;"},
                                  // U+FFFE and U+FFFF are not XML characters; U+FFFD is
                                  {"\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
                                  {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"}}) {  // a lone surrogate
    EXPECT_EQ(XmlText(text), xml);
  }
}

// What a terminal shows of a name: no control character reaches it raw.
TEST(JsonValues, TerminalTextEscapesEveryControlCharacterAsLsDoes) {
  struct Row {
    std::string text;
    std::string shown;
  };
  for (const Row& row : std::vector<Row>{
           {"Gr\xC3\xBC\xC3\x9F" "e \u2192 C:\\Anlagen", "Gr\xC3\xBC\xC3\x9F" "e \u2192 C:\\Anlagen"},
           {"\x1b]0;title\x07", "\\033]0;title\\a"},
           {"a\nb\tc\rd\be\vf\fg", "a\\nb\\tc\\rd\\be\\vf\\fg"},
           {{"nul\0del\x7f", 8}, "nul\\000del\\177"},
           {"\xC2\x9B" "2J\xC2\xA0", "\\2332J\xC2\xA0"},  // the C1 control CSI; a no-break space stays
           {"M\xFCller\x9B", "M\xC3\xBCller\\233"},         // not UTF-8: byte by byte
       }) {
    EXPECT_EQ(TerminalText(row.text), row.shown) << row.text;
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
