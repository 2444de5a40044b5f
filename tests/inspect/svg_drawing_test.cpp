// The pictures of the bundled samples: what they draw, what they list
// instead of drawing, where the legend goes, and in which language.
#include "inspect/svg_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inspect/inspect.h"
#include "tests/support/data_table.h"
#include "tests/support/kind_samples.h"

namespace railfmt::inspect {
namespace {

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SvgDrawing, DrawingLinesAreListedAsStoredNeverDrawnAsCoordinates) {
  // drawing_full.kon holds 2 dashed, 3 plain and 2 dimension lines whose
  // fourth value is 0x3F800000, the bits of the float 1.0: read as a
  // coordinate it stretched the picture to a billion units.
  const Report report = Inspect("drawing_full.kon", testing::Sample("drawing_full.kon"), Words());
  const Picture picture = DrawPicture(report, {.legend_inside = false});
  ASSERT_EQ(picture.legend.carried.size(), 3u);
  const std::size_t rows[] = {2, 3, 2};
  for (std::size_t k = 0; k < 3; ++k) {
    const CarriedList& list = picture.legend.carried[k];
    EXPECT_EQ(list.rows.size(), rows[k]);
    EXPECT_EQ(list.columns.size(), 6u);
    for (const std::vector<std::string>& row : list.rows) {
      EXPECT_EQ(row.size(), list.columns.size());
      EXPECT_EQ(row[4], "3F800000");
    }
  }
  EXPECT_EQ(picture.legend.carried[1].rows[2][5], "01 02 03 04 02 00 00 80");
  // The scale bar speaks of the element's size (300 units across), not of the lines' values.
  EXPECT_NE(picture.svg.find(">50 units<"), std::string::npos);
}

// The rows of tests/data/inspect/pictures.tsv: the legend goes inside the
// picture (railinspect) or to the caller (the page), in the language
// chosen; the picture takes the size asked for, within bounds.
TEST(SvgDrawing, OptionsPlaceTheLegendChooseTheLanguageAndSizeThePicture) {
  for (const std::vector<std::string>& row : testing::DataRows("inspect/pictures.tsv")) {
    SCOPED_TRACE(row.at(0));
    PictureOptions options{.language = row.at(2) == "de" ? Language::kGerman : Language::kEnglish,
                           .legend_inside = row.at(3) == "inside"};
    if (row.at(4) != "-") {
      options.width = std::stod(row[4]);
      options.height = std::stod(row[4].substr(row[4].find('x') + 1));
    }
    const Picture picture = DrawPicture(Inspect(row[1], testing::Sample(row[1]), Words()), options);
    EXPECT_EQ(Occurrences(picture.svg, "<g class=\"legend\">"), std::stoul(row.at(5)));
    EXPECT_EQ(Occurrences(picture.svg, "<g class=\"carried\">"), std::stoul(row.at(6)));
    EXPECT_TRUE(picture.legend.heading.starts_with(row.at(7))) << picture.legend.heading;
    EXPECT_TRUE(picture.svg.find(row.at(8)) != std::string::npos) << row[8];
  }
}

}  // namespace
}  // namespace railfmt::inspect
