// railinspect --rescue as a user meets it: the real executable over the
// runs of tests/data/inspect/rescue_runs.tsv, each in a fresh directory
// holding the files of rescue_files.tsv.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "inspect/inspect.h"
#include "tests/support/data_table.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"

namespace railfmt {
namespace {

using testing::Has;

TEST(RailinspectRescue, WritesBesideOrToOutNeverOverTheFileAndSaysWhatCameBack) {
  const std::vector<std::vector<std::string>> files = testing::DataRows("inspect/rescue_files.tsv");
  for (const std::vector<std::string>& row : testing::DataRows("inspect/rescue_runs.tsv")) {
    const std::string& args = row.at(0);
    testing::ScratchDir dir;
    for (const std::vector<std::string>& file : files) testing::WriteRowFile(file, dir);
    ASSERT_EQ(::mkdir("sub", 0755), 0);
    const auto before = dir.Snapshot();
    const testing::InspectRun run = testing::RunInspect(args, row.at(1));
    EXPECT_EQ(run.status, std::stoi(row.at(2))) << args << ": " << run.err;
    EXPECT_TRUE(Has(run.err, row.at(3))) << args << ": " << run.err;
    std::vector<std::string> written;
    std::istringstream names(row.at(4) == "-" ? "" : row.at(4));
    for (std::string name; names >> name;) written.push_back(name);
    auto after = dir.Snapshot();
    for (const std::string& name : written) {
      ASSERT_TRUE(dir.Exists(name)) << args << ": " << name;
      const inspect::Report report =
          inspect::Inspect(name.substr(name.rfind('/') + 1), dir.Read(name), inspect::Words());
      EXPECT_EQ(report.verdict, inspect::Verdict::kInOrder) << args << ": " << report.verdict_text;
      after.erase(name);
    }
    auto unchanged = before;
    for (const std::string& name : written) unchanged.erase(name);
    EXPECT_EQ(after, unchanged) << args << ": only the rescued file is written";
    for (std::size_t i = 5; i < row.size(); ++i)
      EXPECT_TRUE(Has(run.out, row[i])) << args << " lacks " << row[i] << "\n" << run.out;
  }
}

}  // namespace
}  // namespace railfmt
