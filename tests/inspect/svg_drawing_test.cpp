// The pictures of the bundled samples: what they draw, what they list
// instead of drawing, where the legend goes, and in which language.
#include "inspect/svg_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inspect/inspect.h"
#include "tools/samples/sample_files.h"

namespace railfmt::inspect {
namespace {

const SampleFile& Sample(const std::string& name) {
  static const std::vector<SampleFile> samples = MakeSampleFiles();
  for (const SampleFile& s : samples) {
    if (s.name == name) return s;
  }
  throw std::logic_error("no sample " + name);
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SvgDrawing, DrawingLinesAreListedAsStoredNeverDrawnAsCoordinates) {
  // drawing_full.kon holds 2 dashed, 3 plain and 2 dimension lines whose
  // fourth value is 0x3F800000, the bits of the float 1.0: read as a
  // coordinate it stretched the picture to a billion units.
  const Report report = Inspect("drawing_full.kon", Sample("drawing_full.kon").bytes, Words());
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
  EXPECT_EQ(Occurrences(picture.svg, "<line class=\"drawing-line"), 0u);
  // The scale bar speaks of the element's size (300 units across), not of the lines' values.
  EXPECT_NE(picture.svg.find(">50 units<"), std::string::npos);
}

TEST(SvgDrawing, TheLegendIsABandInsideOrLeftToTheCallerAndSpeaksTheChosenLanguage) {
  struct Case {
    const char* what;
    const char* sample;
    PictureOptions options;
    bool band;          // a legend group in the SVG
    bool carried_band;  // the line values listed in the SVG
    const char* heading_starts;
    const char* in_svg;  // a word of the picture itself
  };
  const Case cases[] = {
      {"railinspect's picture", "drawing_full.kon", {}, true, true, "Construction drawing drawing_full.kon", "units"},
      {"the page's picture", "drawing_full.kon", {.legend_inside = false}, false, false, "Construction drawing",
       "units"},
      {"in German", "anlage_bruecken.anl", {.language = Language::kGerman, .legend_inside = false}, false, false,
       "Anlage anlage_bruecken.anl: 5 Gleise", "Einheiten"},
      {"an element without points", "drawing_dimensions.kon", {.language = Language::kGerman}, true, true,
       "Konstruktion", "Nichts zu zeichnen"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Picture picture = DrawPicture(Inspect(c.sample, Sample(c.sample).bytes, Words()), c.options);
    EXPECT_EQ(Occurrences(picture.svg, "<g class=\"legend\">"), c.band ? 1u : 0u);
    EXPECT_EQ(Occurrences(picture.svg, "<g class=\"carried\">"), c.carried_band ? 1u : 0u);
    EXPECT_TRUE(picture.legend.heading.starts_with(c.heading_starts)) << picture.legend.heading;
    EXPECT_NE(picture.svg.find(c.in_svg), std::string::npos);
  }
}

TEST(SvgDrawing, APictureTakesTheSizeAskedForWithinBounds) {
  const Report report = Inspect("station.mod", Sample("station.mod").bytes, Words());
  struct Case {
    double width, height;
    const char* root;
  } const cases[] = {{640, 360, "width=\"640\" height=\"360\""},
                     {10, 1e9, "width=\"200\" height=\"4000\""},
                     {1000, 800, "width=\"1000\" height=\"800\""}};
  for (const Case& c : cases) {
    const Picture picture = DrawPicture(report, {.width = c.width, .height = c.height, .legend_inside = false});
    EXPECT_NE(picture.svg.find(c.root), std::string::npos) << c.root;
  }
}

}  // namespace
}  // namespace railfmt::inspect
