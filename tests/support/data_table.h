// Test data tables under tests/data/: one row a case, fields separated by
// tabs, lines that begin with '#' and empty lines skipped.
#pragma once

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace railfmt::testing {

// The rows of tests/data/name, "\n" in a field standing for a newline,
// "\xHH" for the byte HH and "\\" for a backslash. Throws for a missing or
// empty table, so that a test reading none fails.
inline std::vector<std::vector<std::string>> DataRows(const std::string& name) {
  std::ifstream in(std::string(RAILFMT_SOURCE_DIR) + "/tests/data/" + name);
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string>& row = rows.emplace_back(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\t') {
        row.emplace_back();
      } else if (line[i] != '\\' || i + 1 == line.size()) {
        row.back() += line[i];
      } else if (line[++i] == 'x') {
        row.back() += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        row.back() += line[i] == 'n' ? '\n' : line[i];
      }
    }
  }
  if (rows.empty()) throw std::runtime_error("no rows in tests/data/" + name);
  return rows;
}

}  // namespace railfmt::testing
