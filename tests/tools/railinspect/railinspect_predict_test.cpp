// What railinspect says railfmt would do, against what a following run of
// railfmt does.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "layout/layout_format.h"
#include "layout/layout_kind.h"
#include "tests/support/data_table.h"
#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/make_corpus/corpus.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::ReadQuietly;
using testing::RunInspect;
using testing::Sample;

// The bundled samples, a generated corpus (RAILFMT_CORPUS_FILES files, 300
// unless the environment says otherwise: 20000 for a release check), and
// the directory effects of a run: an earlier output replacing a later
// entry, an output replacing another file, one refused for its name, one
// refused for what stands there. railinspect reports the entries railfmt
// visits, in its order; a folder and a FIFO among them are not readable.
TEST(RailinspectPredict, PredictionsAgreeWithWhatRailfmtThenDoes) {
  testing::ScratchDir dir;
  for (const SampleFile& f : MakeSampleFiles()) dir.Write(f.name, f.bytes);
  const char* files = std::getenv("RAILFMT_CORPUS_FILES");
  const std::size_t corpus = files != nullptr ? std::stoul(files) : 300;
  for (std::size_t i = 0; i < corpus; ++i) dir.Write(MakeCorpusFile(11, i).name, MakeCorpusFile(11, i).bytes);
  std::vector<std::uint8_t> broken = Sample("one_point.mod");
  broken[2] = 1;
  dir.Write("a.bak", testing::ModelWithTrailingByte());
  dir.Write("a.mod", broken);
  dir.Write("trunc.rol", Sample("station.mod"));
  dir.Write("trunc.mod", Sample("one_point.mod"));
  dir.Write("unsafe.rol", testing::RollingStockNamed("../outside"));
  dir.Write("d.bak", Sample("station.mod"));
  for (const char* name : {"b.bin", "A.bin", "noext"}) dir.Write(name, {9, 9});
  ASSERT_EQ(::mkdir("d.mod", 0755), 0);
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  const auto before = dir.Snapshot();

  const testing::InspectRun run = RunInspect("--jsonl --no-content .");
  ASSERT_EQ(run.status, 1) << run.err;  // the corpus holds files no kind reads
  EXPECT_TRUE(testing::Has(run.err, "railinspect: ./d.mod: Is a directory\n")) << run.err;
  std::vector<std::string> listed;
  std::map<std::string, json> by_name;
  std::map<std::string, std::size_t> final_size;  // what the last write leaves under each name
  for (const json& file : run.Lines()) {
    listed.push_back(file["entry_name"]);
    by_name[listed.back()] = file;
    EXPECT_EQ(file["path"], "./" + listed.back());
    EXPECT_EQ(file.contains("error"), !file["readable"].get<bool>()) << listed.back();
    if (!file.contains("railfmt")) continue;
    const json& p = file["railfmt"];
    EXPECT_FALSE(p["action"] == "create" &&
                 (before.contains(p["output_name"]) || final_size.contains(p["output_name"])));
    if (p["action"] == "change" || p["action"] == "create" || p["action"] == "replace")
      final_size[p["output_name"]] = p["output_size"];
  }
  EXPECT_EQ(listed, testing::EntriesHere());
  for (const char* name : {"d.mod", "pipe"}) EXPECT_FALSE(by_name[name]["readable"].get<bool>()) << name;
  ASSERT_EQ(testing::RunProgram({RAILFMT_BINARY}).status, 0);
  const auto after = dir.Snapshot();
  std::set<std::string> changed, predicted;
  for (const auto& [name, bytes] : after) {
    if (!before.contains(name) || before.at(name) != bytes) changed.insert(name);
  }
  for (const auto& [name, size] : final_size) {
    ASSERT_TRUE(after.contains(name)) << name;
    EXPECT_EQ(after.at(name).size(), size) << name;
    if (!before.contains(name) || before.at(name) != after.at(name)) predicted.insert(name);
  }
  EXPECT_EQ(changed, predicted);
  EXPECT_GT(changed.size(), 10u);

  for (const std::vector<std::string>& row : testing::DataRows("inspect/predict.tsv")) {
    ASSERT_TRUE(by_name.contains(row.at(0))) << row[0];
    const json& p = by_name[row[0]]["railfmt"];
    EXPECT_EQ(p["action"], row.at(1)) << row[0];
    EXPECT_TRUE(p["text"].get<std::string>().starts_with(row.at(2))) << row[0] << ": " << p["text"];
  }
}

// A change a run made to a layout, as a comparable text: what and to which
// record, in the fields railinspect lists it with
// ({"change":"track_type_corrected","from":7,"number":12,"to":6}).
using ChangeSet = std::multiset<std::string>;

// The changes between a layout as read and the file a run wrote, record by
// record: tracks by number, placed models in order (a model missing from
// the output was removed; one that stands elsewhere was placed), entries
// numbered 0 left out.
ChangeSet ChangesMade(const CAnlage& before, const CAnlage& after) {
  ChangeSet made;
  const auto add = [&made](const char* change, json fields) {
    fields["change"] = change;
    made.insert(fields.dump());
  };
  std::map<int, std::int32_t> types_after;
  for (const CGleis& t : after.Tracks) types_after[t.Number] = t.Type;
  for (std::size_t i = 0; i < before.Tracks.size(); ++i) {
    const CGleis& t = before.Tracks[i];
    if (t.Number == 0) {
      add("track_left_out", {{"record", i + 1}});
    } else if (types_after.at(t.Number) != t.Type) {
      add("track_type_corrected", {{"number", t.Number}, {"from", t.Type}, {"to", types_after.at(t.Number)}});
    }
  }
  std::size_t j = 0;
  for (std::size_t i = 0; i < before.Models.size(); ++i) {
    const CAnlagenModell& m = before.Models[i];
    if (m.Number == 0) {
      add("placed_model_left_out", {{"record", i + 1}});
      continue;
    }
    if (j == after.Models.size() || after.Models[j].Number != m.Number || after.Models[j].Name != m.Name) {
      add("duplicate_removed",
          {{"number", m.Number}, {"x", m.Position[0]}, {"y", m.Position[1]}, {"z", m.Position[2]}});
      continue;
    }
    const CAnlagenModell& now = after.Models[j++];
    if (now.Position != m.Position || std::memcmp(&now.Direction, &m.Direction, sizeof m.Direction) != 0) {
      const bool stop = m.Name.starts_with(layout_format::kBufferStopPrefix);
      add(stop ? "buffer_stop_placed" : "bridge_placed",
          {{"x", now.Position[0]}, {"y", now.Position[1]}, {"z", now.Position[2]}});
    }
  }
  for (std::size_t i = 0; i < before.RollingStock.size(); ++i) {
    if (before.RollingStock[i].Number == 0) add("vehicle_left_out", {{"record", i + 1}});
  }
  return made;
}

// What railinspect lists, in the same form: each change with those of its
// fields that the comparison above can tell.
ChangeSet ChangesListed(const json& list) {
  ChangeSet listed;
  for (const json& change : list) {
    json fields = json::object();
    for (const char* name : {"change", "number", "from", "to", "record", "x", "y", "z"}) {
      if (change.contains(name)) fields[name] = change[name];
    }
    listed.insert(fields.dump());
  }
  return listed;
}

// railinspect --changes lists what a run of railfmt then changes in each
// layout, record by record: the bundled layouts and generated ones.
TEST(RailinspectPredict, ChangesListedAreTheChangesARunMakes) {
  std::vector<SampleFile> layouts;
  for (const SampleFile& f : MakeSampleFiles()) {
    if (f.name.ends_with(".anl") || f.name == "y.bak") layouts.push_back(f);
  }
  for (std::size_t i = 0; layouts.size() < 60; ++i) {
    CorpusFile f = MakeCorpusFile(5, i);
    if (f.name.ends_with(".anl")) layouts.push_back({f.name, f.bytes});
  }
  std::size_t changes = 0;
  for (const SampleFile& f : layouts) {
    SCOPED_TRACE(f.name);
    testing::ScratchDir dir;
    dir.Write(f.name, f.bytes);
    const testing::InspectRun run = RunInspect("--jsonl --no-content '" + f.name + "'", "C");
    ASSERT_EQ(run.Lines().size(), 1u) << run.err;
    const json report = run.Lines()[0];
    if (!report["recognised"].get<bool>()) continue;
    ASSERT_EQ(testing::RunProgram({RAILFMT_BINARY}).status, 0);
    const std::string output = report["railfmt"]["output_name"];
    const ChangeSet made = ChangesMade(ReadQuietly<LayoutKind>(f.bytes), ReadQuietly<LayoutKind>(dir.Read(output)));
    EXPECT_EQ(ChangesListed(report["railfmt"]["change_list"]), made);
    EXPECT_EQ(report["railfmt"]["change_details"].size(), made.size());
    changes += made.size();
  }
  EXPECT_GT(changes, 20u) << changes;
}

}  // namespace
}  // namespace railfmt
