// railinspect's --json content against the library: the real executable on
// every sample file and on files full of awkward values (NaN payloads,
// negative zeros, denormals, texts with bytes above 127).
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "archive/model_kind.h"
#include "construction/construction_kind.h"
#include "driver/byte_writer.h"
#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "layout/layout_format.h"
#include "layout/layout_kind.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tools/samples/layout_samples.h"
#include "tools/samples/sample_files.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/content_decoder.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/railinspect/core/json_values.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::RunInspect;
using testing::ScratchDir;

float FloatOfBits(std::uint32_t bits) { return std::bit_cast<float>(bits); }
double DoubleOfBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

template <typename Array>
std::vector<std::uint32_t> FloatBits(const Array& floats) {
  std::vector<std::uint32_t> bits;
  for (float f : floats) bits.push_back(std::bit_cast<std::uint32_t>(f));
  return bits;
}

// Files whose floats and texts a careless dump would lose.
std::vector<SampleFile> AwkwardFiles() {
  std::vector<SampleFile> files;

  CModellTeil part;
  std::vector<CPunkt> points(3);
  points[0].X = -7;
  points[0].CodeValue = FloatOfBits(0x7FA00001u);  // signalling NaN with payload
  points[1].Y = std::numeric_limits<std::int32_t>::min();
  points[1].CodeValue = -0.0f;
  points[1].Aux = 0xFFFFFFFFu;
  points[2].Z = 16777217;
  points[2].CodeValue = FloatOfBits(0x00000001u);  // denormal
  points[2].Code = 99;
  part.SetPoints(points);
  // A negative vertex index passes the reader; it names no point.
  part.SetPrimitives(
      {MakePrimitive({0}), MakePrimitive({-1, 2}), MakePrimitive({0, 1, 2}), MakePrimitive({2, 1, 0, 1, 2, 0})});
  CFormat format;
  format.Doubles = {DoubleOfBits(0x7FF0000000000001u), -0.0, 0.1};
  format.Factors = {FloatOfBits(0xFFC00000u), -std::numeric_limits<float>::infinity(), 0.1f};
  format.Values = {0xFFFFFFFFu, 0, 0x80000000u};
  part.SetFormats({format, CFormat()});
  CModell model;
  model.Format.Doubles = {std::numeric_limits<double>::infinity(), DoubleOfBits(0x7FF8000000000000u), 1e-310};
  model.SetElements({part});
  files.push_back({"awkward.mod", EncodeToBytes<ModelKind>(model)});

  CRollmaterial stock;
  for (CModell& m : stock.Models) m = model;
  stock.Info.Name = std::string("Lok \xC4<&>");
  stock.Info.Value1 = 0x7FC00001u;
  stock.Info.Value9 = 0xFFFFFFFFu;
  ByteWriter stock_bytes;
  EncodeRollingStock(stock, stock_bytes);
  files.push_back({"awkward.rol", stock_bytes.Take()});

  CAnlage layout;
  CGleis track;
  track.Number = 4;
  track.Name =
      "Br\xFC"
      "cke \"&<\"";
  track.Type = 1;
  track.EndCount = 2;
  track.StartDirection = {1.0f, -0.0f, FloatOfBits(0x7FA00002u)};
  track.EndPoint = {1000, -3, 12};
  track.Ends[0] = {5, 1};
  layout.Tracks.push_back(track);
  // Geometry a picture must survive: no length, no direction, the whole
  // 32-bit range, and an arc so flat its radius is astronomical.
  const struct {
    std::array<std::int32_t, 3> start, end;
    std::array<float, 3> direction;
  } shapes[] = {
      {{100, 100, 0}, {100, 100, 5}, {1, 0, 0}},
      {{0, 0, 0}, {10, 10, 0}, {std::nanf(""), std::nanf(""), 0}},
      {{std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min(), 0},
       {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(), 0},
       {1, 0, 0}},
      {{0, 0, 0}, {100000, 0, 0}, {1, 1e-7f, 0}},
  };
  for (const auto& shape : shapes) {
    CGleis t = track;
    t.Number = static_cast<std::int16_t>(layout.Tracks.size() + 10);
    t.StartPoint = shape.start;
    t.EndPoint = shape.end;
    t.StartDirection = shape.direction;
    layout.Tracks.push_back(t);
  }
  CAnlagenModell placed;
  placed.Number = 9;
  placed.Name = std::string(layout_format::kBridgePrefix) + "\\Holz\xE9.mod";
  placed.Position = {500, -2, 0};
  placed.Direction = {1.0f, -0.0f, FloatOfBits(0xFFC00003u)};
  layout.Models.push_back(placed);
  CAnlagenRollmaterial vehicle;
  vehicle.Number = 3;
  vehicle.Name = "Wagen.rol";
  vehicle.Values[10] = 0xFFFFFFFFu;
  layout.RollingStock.push_back(vehicle);
  layout.TrackCount = static_cast<std::int16_t>(layout.Tracks.size());
  layout.ModelCount = 1;
  layout.RollingStockCount = 1;
  layout.Properties.Bytes20[19] = 0xFF;
  files.push_back({"awkward.anl", EncodeLayoutAsStored(layout)});
  return files;
}

// What a file does not store, or stores in an order its writer makes
// canonical, in words: names, flags, tags, links, attributes, primitives
// in the order read, float factors bit for bit.
std::string Unstored(const CModellTeil& part) {
  std::string out = " attribute " + std::to_string(part.Attribute) + " primitives";
  for (const CPrimitiv& p : part.Primitives) {
    for (std::int32_t k = 0; k < p.VertexCount; ++k) out += " " + std::to_string(p.VertexAt(k));
    out += ";";
  }
  return out;
}

std::string Unstored(const CModell& m) {
  std::string out = m.Name.value_or("(none)") + " ok " + std::to_string(m.ReadOk) + " tags " +
                    std::to_string(m.IndexTag) + "/" + std::to_string(m.FormatTag);
  for (const std::uint32_t bits : FloatBits(m.Format.Factors)) out += " " + std::to_string(bits);
  for (const CModellTeil& part : m.Elements) out += Unstored(part);
  return out;
}

// Compares what railinspect printed with the object the library reads from
// the same bytes: through the library's writers for every field a file
// stores (bit for bit, floats included), in words for the rest.
void ExpectSameContent(const std::string& kind, const json& content, const std::string& name,
                       const std::vector<std::uint8_t>& bytes) {
  DiagnosticCapture quiet;
  const auto read = [&](EntryKind k) { return ReadKind(k, bytes, name).object; };
  if (kind == "model") {
    const CModell decoded = testing::ModelFromJson(content), library = std::get<CModell>(read(EntryKind::kModel));
    EXPECT_EQ(Unstored(decoded), Unstored(library));
    EXPECT_EQ(EncodeToBytes<ModelKind>(decoded), EncodeToBytes<ModelKind>(library));
  } else if (kind == "rolling stock") {
    const CRollmaterial decoded = testing::RollingStockFromJson(content);
    const CRollmaterial library = std::get<CRollmaterial>(read(EntryKind::kRollingStock));
    EXPECT_EQ(decoded.Complete, library.Complete);
    EXPECT_EQ(decoded.Info.Name, library.Info.Name);
    for (std::size_t i = 0; i < library.Models.size(); ++i) {
      EXPECT_EQ(Unstored(decoded.Models[i]), Unstored(library.Models[i]));
    }
    EXPECT_EQ(EncodeToBytes<RollingStockKind>(decoded), EncodeToBytes<RollingStockKind>(library));
  } else if (kind == "construction drawing") {
    const CKonstruktion decoded = testing::ConstructionFromJson(content);
    const CKonstruktion library = std::get<CKonstruktion>(read(EntryKind::kConstruction));
    EXPECT_EQ(decoded.Name.has_value(), library.Name.has_value());
    EXPECT_EQ(decoded.ReadOk, library.ReadOk);
    EXPECT_EQ(Unstored(decoded), Unstored(library));
    EXPECT_EQ(EncodeToBytes<ConstructionKind>(decoded), EncodeToBytes<ConstructionKind>(library));
  } else if (kind == "layout") {
    const CAnlage decoded = testing::LayoutFromJson(content), library = std::get<CAnlage>(read(EntryKind::kLayout));
    EXPECT_EQ(decoded.ReadOk, library.ReadOk);
    ASSERT_EQ(decoded.Tracks.size(), library.Tracks.size());
    for (std::size_t i = 0; i < library.Tracks.size(); ++i) {
      EXPECT_EQ(decoded.Tracks[i].LinkedModel, library.Tracks[i].LinkedModel);
    }
    EXPECT_EQ(EncodeLayoutAsStored(decoded), EncodeLayoutAsStored(library));
  } else {
    ADD_FAILURE() << name << ": unexpected kind " << kind;
  }
}

// Every file's JSON content equals the library's object, its kind and output
// name the cascade's; railinspect itself writes nothing.
TEST(RailinspectContent, JsonHoldsTheLibrarysObjectsAndRailfmtsKindsAndNames) {
  ScratchDir dir;
  std::vector<SampleFile> files = MakeSampleFiles();
  for (SampleFile& f : AwkwardFiles()) files.push_back(std::move(f));
  for (const SampleFile& f : files) dir.Write(f.name, f.bytes);
  const auto before = dir.Snapshot();
  const testing::InspectRun run = RunInspect("--json .");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(dir.Snapshot(), before);
  const json doc = run.Json();
  ASSERT_TRUE(doc.is_object()) << run.out.substr(0, 2000);
  ASSERT_EQ(doc["files"].size(), files.size());

  for (const json& file : doc["files"]) {
    const std::string name = file["entry_name"];
    SCOPED_TRACE(name);
    ASSERT_TRUE(file["recognised"].get<bool>());
    ExpectSameContent(file["kind"], file["content"], name, before.at(name));
    DiagnosticCapture quiet;
    const auto recognised = RecogniseEntry(name, before.at(name));
    ASSERT_TRUE(recognised.has_value());
    EXPECT_EQ(file["kind"].get<std::string>(), EntryKindName(recognised->kind()));
    EXPECT_EQ(file["output_name"].get<std::string>(), inspect::DisplayText(recognised->OutputName()));
  }
}

// The pictures' element counts by class, read back with an XML parser.
json SvgCounts(const std::vector<std::string>& svgs) {
  const json counts = json::parse(testing::SvgClassCountsJson(svgs), nullptr, false);
  EXPECT_TRUE(counts.is_object());
  return counts;
}

int Count(const json& counts, const char* cls) { return counts.value(cls, 0); }

TEST(RailinspectContent, PicturesAreXmlWithOneTitledElementPerTrackOrPrimitive) {
  ScratchDir dir;
  std::vector<SampleFile> files = MakeSampleFiles();
  for (SampleFile& f : AwkwardFiles()) files.push_back(std::move(f));
  std::vector<std::string> svgs;
  for (const SampleFile& f : files) {
    dir.Write(f.name, f.bytes);
    svgs.push_back(".picture." + f.name + ".svg");
    const testing::InspectRun run = RunInspect("--svg '" + svgs.back() + "' '" + f.name + "'");
    ASSERT_EQ(run.status, 0) << f.name << ": " << run.err;
  }
  const json all_counts = SvgCounts(svgs);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const SampleFile& f = files[i];
    SCOPED_TRACE(f.name);
    const json& counts = all_counts[svgs[i]];
    EXPECT_FALSE(counts.contains("")) << "not well-formed XML";
    const std::vector<std::uint8_t> svg = dir.Read(svgs[i]);
    // No coordinate may read "nan" or "inf" (the style sheet before may);
    // nothing is clipped away.
    std::string text(svg.begin(), svg.end());
    text.erase(0, text.find("</style>"));
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    EXPECT_EQ(text.find("clip"), std::string::npos);
    DiagnosticCapture quiet;
    CModell model;
    ModelKind::Read(f.bytes, f.name, model);
    CRollmaterial stock;
    ReadRollingStock(stock, f.bytes, f.name);
    CKonstruktion drawing;
    ReadConstructionDrawing(drawing, f.bytes, f.name);
    CAnlage layout;
    ReadLayout(layout, f.bytes);
    int primitives = 0, points = 0;
    const auto add_part = [&](const CModellTeil& part) {
      primitives += static_cast<int>(part.Primitives.size());
      points += static_cast<int>(part.Points.size());
    };
    if (stock.Complete == 1) {
      for (const CModell& m : stock.Models) {
        for (const CModellTeil& part : m.Elements) add_part(part);
      }
    } else if (model.ReadOk == 1) {
      for (const CModellTeil& part : model.Elements) add_part(part);
    } else if (drawing.ReadOk == 1) {
      add_part(drawing);
      EXPECT_EQ(Count(counts, "dashed"), static_cast<int>(drawing.DashedLines.size()));
      EXPECT_EQ(Count(counts, "plain"), static_cast<int>(drawing.Lines.size()));
      EXPECT_EQ(Count(counts, "dimension"), static_cast<int>(drawing.DimensionLines.size()));
    } else {
      ASSERT_EQ(layout.ReadOk, 1);
      int tracks = 0, bridges = 0, stops = 0, others = 0;
      for (const CGleis& t : layout.Tracks) tracks += t.Number != 0;
      for (const CAnlagenModell& m : layout.Models) {
        if (m.Number == 0) continue;
        if (m.Name.starts_with(layout_format::kBridgePrefix)) {
          ++bridges;
        } else if (m.Name.starts_with(layout_format::kBufferStopPrefix)) {
          ++stops;
        } else {
          ++others;
        }
      }
      EXPECT_EQ(Count(counts, "track"), tracks);
      EXPECT_EQ(Count(counts, "track titled"), tracks);
      EXPECT_LE(Count(counts, "track-number"), tracks);  // only numbers with room
      EXPECT_EQ(Count(counts, "bridge") + Count(counts, "bridge-mark"), bridges);
      EXPECT_EQ(Count(counts, "buffer-stop") + Count(counts, "buffer-stop-mark"), stops);
      EXPECT_EQ(Count(counts, "placed-model"), others);
      EXPECT_EQ(Count(counts, "placed-model titled"), others);
    }
    EXPECT_EQ(Count(counts, "primitive"), primitives);
    EXPECT_EQ(Count(counts, "primitive titled"), primitives);
    EXPECT_EQ(Count(counts, "point"), points);
    EXPECT_EQ(Count(counts, "point titled"), points);
    EXPECT_EQ(Count(counts, "panel-frame"), stock.Complete == 1 ? 3 : 0);
  }
}

}  // namespace
}  // namespace railfmt
