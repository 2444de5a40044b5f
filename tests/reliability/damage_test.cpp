// Every row of the damage tables (tests/data/damage/*.tsv): a sample with a
// few bytes changed, or cut short, read by one kind, must give the verdict,
// the stop offset, the messages and the mismatch lines the row names. Bytes
// written at the file's end are appended.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "tests/support/data_table.h"

namespace railfmt {
namespace {

std::vector<std::uint8_t> Sample(const std::string& name) {
  std::ifstream in(std::string(RAILFMT_SOURCE_DIR) + "/samples/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The table's form of a list of texts: each without its newline, joined by "|".
std::string Joined(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts)
    out += (out.empty() ? "" : "|") + text.substr(0, text.find_last_not_of('\n') + 1);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(DamageTables, EveryKindReportsEachDamagedFieldAsTheTableSays) {
  const std::pair<const char*, EntryKind> tables[] = {{"damage/rolling_stock.tsv", EntryKind::kRollingStock},
                                                      {"damage/model.tsv", EntryKind::kModel},
                                                      {"damage/construction.tsv", EntryKind::kConstruction},
                                                      {"damage/layout.tsv", EntryKind::kLayout}};
  for (const auto& [table, kind] : tables) {
    for (std::vector<std::string> row : testing::DataRows(table)) {
      row.resize(7);
      SCOPED_TRACE(std::string(table) + ": " + row[0] + " at " + row[1] + ": " + row[2]);
      std::vector<std::uint8_t> bytes = Sample(row[0]);
      const std::size_t offset = std::stoul(row[1]);
      ASSERT_LE(offset, bytes.size());
      if (row[2] == "cut") bytes.resize(offset);
      for (std::size_t i = 0; row[2] != "cut" && i + 1 < row[2].size(); i += 2) {
        if (offset + i / 2 == bytes.size()) bytes.push_back(0);  // written past the end: appended
        bytes.at(offset + i / 2) = static_cast<std::uint8_t>(std::stoul(row[2].substr(i, 2), nullptr, 16));
      }
      DiagnosticCapture captured;
      ReadResult result;
      EXPECT_EQ(TryKind(kind, bytes, row[0], &result).has_value(), row[3] == "1");
      EXPECT_EQ(result.stop_offset, std::stoul(row[4]));
      EXPECT_EQ(Joined(captured.messages()), row[5]);
      EXPECT_EQ(Joined(Lines(captured.mismatches())), row[6]);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace railfmt
