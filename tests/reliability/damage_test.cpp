// Every row of the damage tables (tests/data/damage/*.tsv): a sample with a
// few bytes changed, or cut short, read by one kind, must give the verdict,
// the stop offset, the messages and the mismatch lines the row names. Bytes
// written at the file's end are appended.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"

namespace railfmt {
namespace {

std::vector<std::uint8_t> Sample(const std::string& name) {
  std::ifstream in(std::string(RAILFMT_SOURCE_DIR) + "/samples/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The table's spelling of a list of texts: joined by "|", without newlines,
// unprintable bytes, "|" and "\" as \xHH.
std::string Spelled(const std::vector<std::string>& texts) {
  std::string out;
  for (std::string text : texts) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    if (!out.empty()) out += '|';
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 0x20 && byte < 0x7F && c != '|' && c != '\\') {
        out += c;
        continue;
      }
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    }
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void CheckTable(const std::string& file, EntryKind kind) {
  std::ifstream table(std::string(RAILFMT_SOURCE_DIR) + "/tests/data/damage/" + file);
  ASSERT_TRUE(table) << file;
  int rows = 0;
  int number = 0;
  for (std::string line; std::getline(table, line);) {
    ++number;
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string> column;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) column.push_back(field);
    column.resize(7);
    SCOPED_TRACE(file + ":" + std::to_string(number) + ": " + line);
    std::vector<std::uint8_t> bytes = Sample(column[0]);
    const std::size_t offset = std::stoul(column[1]);
    ASSERT_LE(offset, bytes.size());
    if (column[2] == "cut") {
      bytes.resize(offset);
    } else {
      for (std::size_t i = 0; i + 1 < column[2].size(); i += 2) {
        if (offset + i / 2 == bytes.size()) bytes.push_back(0);  // written past the end: appended
        bytes.at(offset + i / 2) = static_cast<std::uint8_t>(std::stoul(column[2].substr(i, 2), nullptr, 16));
      }
    }
    DiagnosticCapture captured;
    ReadResult result;
    const bool accepted = TryKind(kind, bytes, column[0], &result).has_value();
    EXPECT_EQ(accepted, column[3] == "1");
    EXPECT_EQ(result.stop_offset, std::stoul(column[4]));
    EXPECT_EQ(Spelled(captured.messages()), column[5]);
    EXPECT_EQ(Spelled(Lines(captured.mismatches())), column[6]);
    ++rows;
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(rows, 0);
}

TEST(DamageTables, EveryKindReportsEachDamagedFieldAsTheTableSays) {
  CheckTable("rolling_stock.tsv", EntryKind::kRollingStock);
  CheckTable("model.tsv", EntryKind::kModel);
  CheckTable("construction.tsv", EntryKind::kConstruction);
  CheckTable("layout.tsv", EntryKind::kLayout);
}

}  // namespace
}  // namespace railfmt
