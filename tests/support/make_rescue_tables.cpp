// make_rescue_tables SOURCE_DIR: writes the rescue table
// (SOURCE_DIR/tests/data/rescue/kept.tsv) from the samples, the corpus maker
// and the rescue as they are. After a change of the rescue or the readers,
// run it and review the diff of the rows.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "driver/diagnostics.h"
#include "tests/support/rescue_table.h"

namespace {

constexpr const char* kHeader =
    "# What the rescue keeps of damaged files, written by make_rescue_tables;\n"
    "# tests/data/README.md says what each column holds.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_rescue_tables SOURCE_DIR\n");
    return 2;
  }
  const railfmt::DiagnosticCapture quiet(railfmt::DiagnosticCapture::kDiscard);
  std::string text = kHeader;
  for (const railfmt::testing::RescueSource& source : railfmt::testing::RescueSources()) {
    for (const railfmt::testing::RescueRow& row : railfmt::testing::RescueRows(source)) {
      text += railfmt::testing::RescueRowLine(row) + "\n";
    }
  }
  const std::string folder = std::string(argv[1]) + "/tests/data/rescue";
  std::filesystem::create_directories(folder);
  std::ofstream out(folder + "/kept.tsv", std::ios::binary);
  out << text;
  if (!out) {
    std::fprintf(stderr, "make_rescue_tables: cannot write tests/data/rescue/kept.tsv\n");
    return 1;
  }
  return 0;
}
