// What railinspect says railfmt would do, against what a following run of
// railfmt does.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tests/support/data_table.h"
#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/make_corpus/corpus.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::RunInspect;
using testing::Sample;

// The bundled samples, a generated corpus (RAILFMT_CORPUS_FILES files, 300
// unless the environment says otherwise: 20000 for a release check), and
// the directory effects of a run: an earlier output replacing a later
// entry, an output replacing another file, one refused for its name, one
// refused for what stands there.
TEST(RailinspectPredict, PredictionsAgreeWithWhatRailfmtThenDoes) {
  testing::ScratchDir dir;
  for (const SampleFile& f : MakeSampleFiles()) dir.Write(f.name, f.bytes);
  const char* files = std::getenv("RAILFMT_CORPUS_FILES");
  const std::size_t corpus = files != nullptr ? std::stoul(files) : 300;
  for (std::size_t i = 0; i < corpus; ++i) dir.Write(MakeCorpusFile(11, i).name, MakeCorpusFile(11, i).bytes);
  std::vector<std::uint8_t> broken = Sample("one_point.mod");
  broken[2] = 1;
  CRollmaterial stock;
  {
    DiagnosticCapture quiet;
    RollingStockKind::Read(Sample("stock_all_parts.rol"), "s.rol", stock);
  }
  stock.Info.Name = "../outside";
  dir.Write("a.bak", testing::ModelWithTrailingByte());
  dir.Write("a.mod", broken);
  dir.Write("trunc.rol", Sample("station.mod"));
  dir.Write("trunc.mod", Sample("one_point.mod"));
  dir.Write("unsafe.rol", EncodeToBytes<RollingStockKind>(stock));
  dir.Write("d.bak", Sample("station.mod"));
  ASSERT_EQ(::mkdir("d.mod", 0755), 0);
  const auto before = dir.Snapshot();

  const testing::InspectRun run = RunInspect("--jsonl --no-content .");
  ASSERT_EQ(run.status, 1) << run.err;  // the corpus holds files no kind reads
  std::map<std::string, json> by_name;
  std::map<std::string, std::size_t> final_size;  // what the last write leaves under each name
  for (const json& file : run.Lines()) {
    by_name[file["entry_name"]] = file;
    if (!file.contains("railfmt")) continue;
    const json& p = file["railfmt"];
    EXPECT_FALSE(p["action"] == "create" &&
                 (before.contains(p["output_name"]) || final_size.contains(p["output_name"])));
    if (p["action"] == "change" || p["action"] == "create" || p["action"] == "replace")
      final_size[p["output_name"]] = p["output_size"];
  }
  int status = -1;
  testing::RunCommand(std::string("'") + RAILFMT_BINARY + "' > /dev/null", &status);
  ASSERT_EQ(status, 0);
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

}  // namespace
}  // namespace railfmt
