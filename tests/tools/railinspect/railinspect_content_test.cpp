// railinspect's JSON content, explanations and pictures against the
// library: the real executable on every sample file, on files full of
// awkward values (NaN payloads, negative zeros, denormals, texts with bytes
// above 127, degenerate geometry, names XML does not allow) and on the
// damaged files of tests/data/inspect/explain.tsv.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "archive/model_kind.h"
#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "inspect/json_report.h"
#include "inspect/json_values.h"
#include "layout/layout_format.h"
#include "tests/support/data_table.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/samples/layout_samples.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::RunInspect;

// Files whose floats, texts and shapes a careless dump or drawing would lose.
std::vector<SampleFile> AwkwardFiles() {
  const float nan = std::bit_cast<float>(0x7FA00001u), tiny = std::bit_cast<float>(1u);  // NaN payload, denormal
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min(), kMax = std::numeric_limits<std::int32_t>::max();
  CModellTeil part;
  part.SetPoints(
      {{.Y = kMin, .Aux = 0xFFFFFFFFu, .CodeValue = nan}, {.Z = 16777217, .CodeValue = -0.0f}, {.CodeValue = tiny}});
  // A negative vertex index passes the reader; it names no point.
  part.SetPrimitives({MakePrimitive({0}), MakePrimitive({-1, 2}), MakePrimitive({2, 1, 0, 1, 2, 0})});
  CModell model;
  model.Format.Doubles = {std::bit_cast<double>(0x7FF0000000000001u), -0.0, 1e-310};
  model.Format.Factors = {-nan, -std::numeric_limits<float>::infinity(), 0.1f};
  part.SetFormats({model.Format, CFormat()});
  model.SetElements({part});
  // No length, no direction, the whole 32-bit range, an arc so flat its radius is astronomical.
  CAnlage layout;
  const std::array<std::array<std::int32_t, 3>, 2> ends[] = {{{{100, 100, 0}, {100, 100, 5}}},
                                                             {{{0, 0, 0}, {10, 10, 0}}},
                                                             {{{kMin, kMin, 0}, {kMax, kMax, 0}}},
                                                             {{{0, 0, 0}, {100000, 0, 0}}}};
  const std::array<float, 3> directions[] = {
      {1, -0.0f, nan}, {std::nanf(""), std::nanf(""), 0}, {1, 0, 0}, {1, 1e-7f, 0}};
  for (std::size_t i = 0; i < 4; ++i) {
    CGleis& t = layout.Tracks.emplace_back();
    t.Number = static_cast<std::int16_t>(i + 10);
    t.Name = std::string("Br\xFC") + "cke \"&<\"";
    t.Type = 1;
    t.EndCount = 2;
    t.Ends[0] = {5, 1};
    t.StartPoint = ends[i][0];
    t.EndPoint = ends[i][1];
    t.StartDirection = directions[i];
  }
  for (const std::string& name : {std::string(layout_format::kBridgePrefix) + "\\Holz\xE9.mod", std::string("Haus")}) {
    layout.Models.push_back({.Number = static_cast<std::int16_t>(layout.Models.size() + 1),
                             .Name = name,
                             .Position = {500, -2, 0},
                             .Direction = {1.0f, -0.0f, -nan}});
  }
  layout.RollingStock.resize(1);
  layout.RollingStock[0].Number = 3;
  layout.RollingStock[0].Name = "Wagen.rol";
  layout.RollingStock[0].Values[10] = 0xFFFFFFFFu;
  layout.TrackCount = 4;
  layout.ModelCount = 2;
  layout.RollingStockCount = 1;
  return {{"awkward.mod", EncodeToBytes<ModelKind>(model)}, {"awkward.anl", EncodeLayoutAsStored(layout)}};
}

std::vector<SampleFile> AllFiles() {
  std::vector<SampleFile> files = MakeSampleFiles();
  for (SampleFile& f : AwkwardFiles()) files.push_back(std::move(f));
  return files;
}

// Each file beside copies of it cut short and with one byte changed, for
// each byte. Recognition, kind and output name railinspect reports are the
// cascade's; every rejection has a reason and names a field inside the
// file; every file has a verdict; and whenever the library reads a copy as
// an object that differs in what the file stores, the JSON content differs
// too: no stored field is left out, printed from the wrong member or printed
// so that it loses bits.
TEST(RailinspectContent, JsonContentFollowsEveryStoredFieldAndEveryLineIsExplained) {
  testing::ScratchDir dir;
  std::size_t differing = 0, explained = 0;
  for (const SampleFile& f : AllFiles()) {
    SCOPED_TRACE(f.name);
    dir.Clear();
    std::map<std::string, std::vector<std::uint8_t>> files{{f.name, f.bytes}};
    for (std::size_t i = 0; i < f.bytes.size(); ++i) {
      (files["v" + std::to_string(i) + "." + f.name] = f.bytes)[i] ^= 1;
      if (i % (1 + f.bytes.size() / 25) == 0)
        files["t" + std::to_string(i) + "." + f.name].assign(f.bytes.begin(),
                                                             f.bytes.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (const auto& [name, bytes] : files) dir.Write(name, bytes);
    const testing::InspectRun run = RunInspect("--jsonl .");
    std::map<std::string, std::pair<std::vector<std::uint8_t>, json>> read;  // the object in file form, the content
    for (const json& file : run.Lines()) {
      const std::string name = file["entry_name"];
      EXPECT_FALSE(file["verdict"]["text"].get<std::string>().empty()) << name;
      for (const json& attempt : file["attempts"]) {
        if (attempt["accepted"].get<bool>()) continue;
        EXPECT_FALSE(attempt["reason"].get<std::string>().empty()) << name;
        EXPECT_LE(attempt["field"]["begin"], attempt["field"]["end"]) << name;
        EXPECT_LE(attempt["field"]["end"], file["size"]) << name;
        ++explained;
      }
      DiagnosticCapture quiet;
      const auto recognised = RecogniseEntry(name, files.at(name));
      ASSERT_EQ(file["recognised"].get<bool>(), recognised.has_value()) << name;
      if (!recognised) continue;
      EXPECT_EQ(file["kind"], inspect::KindIdentifier(recognised->kind())) << name;
      EXPECT_EQ(file["output_name"], inspect::DisplayText(recognised->OutputName())) << name;
      read[name] = {recognised->Encode(), file["content"]};
    }
    ASSERT_EQ(run.Lines().size(), files.size());
    ASSERT_TRUE(read.contains(f.name));
    for (const auto& [name, object] : read) {
      if (object.first == read[f.name].first) continue;
      EXPECT_NE(object.second, read[f.name].second) << name << " reads as another object with the same content";
      ++differing;
    }
  }
  EXPECT_GT(differing, 9000u);
  EXPECT_GT(explained, 10000u);
}

// An attempt as "KIND STOP [BEGIN,END) REASON".
std::string Summary(const json& a) {
  return a["kind"].get<std::string>() + " " + a["stop_offset"].dump() + " [" + a["field"]["begin"].dump() + "," +
         a["field"]["end"].dump() + ") " + a["reason"].get<std::string>();
}

TEST(RailinspectExplain, VerdictsAndReasonsNameTheFieldInBothLanguages) {
  testing::ScratchDir dir;
  for (const std::vector<std::string>& row : testing::DataRows("inspect/explain.tsv")) {
    SCOPED_TRACE(row[0]);
    ASSERT_GE(row.size(), 8u);
    testing::WriteRowFile(row, dir);
    const testing::InspectRun english = testing::RunInspect("--jsonl '" + row[0] + "'", "C");
    const testing::InspectRun german = testing::RunInspect("--jsonl '" + row[0] + "'", "de_DE.UTF-8");
    ASSERT_EQ(english.Lines().size(), 1u) << english.out;
    ASSERT_EQ(german.Lines().size(), 1u) << german.out;
    const json file = english.Lines()[0];
    EXPECT_EQ(file["verdict"]["name"], row[4]);
    EXPECT_EQ(file["verdict"]["text"], row[5]);
    EXPECT_EQ(german.Lines()[0]["verdict"]["text"], row[6]);
    const json& warnings = file["verdict"]["warnings"];
    EXPECT_EQ(warnings.empty() ? "-" : warnings[0].get<std::string>(), row[7]);
    EXPECT_EQ(english.status, file["recognised"].get<bool>() ? 0 : 1);
    std::vector<std::string> rejected;
    for (const json& a : file["attempts"]) {
      if (!a["accepted"].get<bool>()) rejected.push_back(Summary(a));
    }
    EXPECT_EQ(rejected, std::vector<std::string>(row.begin() + 8, row.end()));
  }
}

// Element counts of each picture by class, read back with python3's XML
// parser, and under "CLASS titled" how many have a <title> child; "" maps
// to -1 for a file that is not well-formed XML.
json SvgCounts(const std::vector<std::string>& paths) {
  std::ofstream(".svg_counts.py") << "import collections, json, sys, xml.etree.ElementTree as E\n"
                                     "def walk(e, counts):\n"
                                     "    names = e.get('class', '').split()\n"
                                     "    for name in names:\n"
                                     "        counts[name] += 1\n"
                                     "        counts[name + ' titled'] += any(c.tag.endswith('title') for c in e)\n"
                                     "    for child in ([] if 'legend' in names else e): walk(child, counts)\n"
                                     "    return counts\n"
                                     "def counts(path):\n"
                                     "    try: return walk(E.parse(path).getroot(), collections.Counter())\n"
                                     "    except E.ParseError: return {'': -1}\n"
                                     "print(json.dumps({path: counts(path) for path in sys.argv[1:]}))\n";
  std::string command = "python3 .svg_counts.py";
  for (const std::string& path : paths) command += " '" + path + "'";
  return json::parse(testing::RunCommand(command), nullptr, false);
}

// What a picture must show, by the names of the content's lists: a list's
// size under its name, tracks and placed models that are there (numbered)
// by their class.
void Tally(const json& content, std::map<std::string, std::size_t>& n) {
  if (content.is_object() && content.value("Number", 0) != 0 && content.contains("Position")) {
    const std::string name = content["Name"];
    ++n[name.starts_with(layout_format::kBridgePrefix)       ? "bridge"
        : name.starts_with(layout_format::kBufferStopPrefix) ? "buffer-stop"
                                                             : "placed-model"];
  }
  if (content.is_object()) n["track"] += content.value("Number", 0) != 0 && content.contains("EndPoint");
  for (const auto& [key, value] : content.items()) {
    if (value.is_array()) n[key] += value.size();
    if (value.is_structured()) Tally(value, n);
  }
}

// The files and names include what XML 1.0 does not allow: each picture is
// still well-formed, and each text is there, with a replacement character
// where a character could not stand.
TEST(RailinspectContent, PicturesAreXmlWithOneTitledElementPerTrackPrimitivePointAndPlacedModelAndListDrawingLines) {
  testing::ScratchDir dir;
  std::vector<SampleFile> files = AllFiles();
  files.push_back({"layout\xEF\xBF\xBE\x01.anl", testing::HostileLayout()});
  files.push_back({"hostile.rol", testing::RollingStockNamed("\xEF\xBF\xBF\x1b")});
  std::vector<std::string> svgs;
  for (const SampleFile& f : files) {
    dir.Write(f.name, f.bytes);
    svgs.push_back(".picture." + f.name + ".svg");
    const testing::InspectRun run = RunInspect("--svg '" + svgs.back() + "' '" + f.name + "'");
    ASSERT_EQ(run.status, 0) << f.name << ": " << run.err;
  }
  const json report = json::parse(RunInspect("--json .").out);
  const json& contents = report["files"];
  const json all_counts = SvgCounts(svgs);
  ASSERT_EQ(contents.size(), files.size());
  EXPECT_EQ(report["summary"]["files"], files.size());
  for (const json& file : contents) {
    const std::string svg = ".picture." + file["entry_name"].get<std::string>() + ".svg";
    SCOPED_TRACE(svg);
    const json& counts = all_counts[svg];
    std::map<std::string, std::size_t> n;
    Tally(file["content"], n);
    EXPECT_FALSE(counts.contains("")) << "not well-formed XML";
    EXPECT_EQ(counts.value("legend", 0), 1);
    EXPECT_EQ(counts.value("panel-frame", 0), file["kind"] == "rolling_stock" ? 3 : 0);
    EXPECT_LE(counts.value("track-number", 0u), n["track"]);  // only numbers with room
    // A drawing's line records carry values of no defined meaning: listed, never drawn.
    EXPECT_EQ(counts.value("drawing-line", 0), 0);
    EXPECT_EQ(counts.value("carried", 0), n["DashedLines"] + n["Lines"] + n["DimensionLines"] > 0 ? 1 : 0);
    for (const auto& [cls, expected] : std::map<std::string, std::size_t>{{"primitive", n["Primitives"]},
                                                                          {"point", n["Points"]},
                                                                          {"track", n["track"]},
                                                                          {"placed-model", n["placed-model"]}}) {
      EXPECT_EQ(counts.value(cls, 0u), expected) << cls;
      EXPECT_EQ(counts.value(cls + " titled", 0u), expected) << cls;
    }
    for (const std::string mark : {"bridge", "buffer-stop"}) {
      EXPECT_EQ(counts.value(mark, 0u) + counts.value(mark + "-mark", 0u), n[mark]) << mark;
    }
    // No coordinate may read "nan" or "inf" (the style sheet may); nothing is clipped away.
    const std::vector<std::uint8_t> bytes = dir.Read(svg);
    const std::string text(bytes.begin(), bytes.end());
    for (const char* bad : {"nan", "inf", "clip"}) EXPECT_FALSE(testing::Has(text.substr(text.find("</style>")), bad));
  }
  const std::vector<std::uint8_t> hostile = dir.Read(svgs[files.size() - 2]);
  EXPECT_TRUE(testing::Has(std::string(hostile.begin(), hostile.end()), "\xEF\xBF\xBD]0;owned\xEF\xBF\xBD"));
}

}  // namespace
}  // namespace railfmt
