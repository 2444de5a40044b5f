// make_damage_tables SOURCE_DIR: writes the damage tables
// (SOURCE_DIR/tests/data/damage/*.tsv) from the samples, as damage_test reads
// them, and the readers as they are. After a change of the readers, run it and
// review the diff of the rows.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/damage_table.h"
#include "tests/support/kind_samples.h"

namespace {

constexpr const char* kHeader =
    "# What the %s reader makes of damaged samples: one row a case, written by\n"
    "# make_damage_tables (tests/support/damage_table.h says how rows are chosen).\n"
    "# Columns, tab-separated: the sample in samples/; the byte offset; the byte\n"
    "# written there, in hex (the sample's byte inverted; at the end, appended),\n"
    "# or \"cut\" (the file ends at the offset); accepted (1) or not (0); the\n"
    "# offset at which the reader stopped; the field the reader blames (the\n"
    "# records it stands in, the field, the cause, its bytes); the messages and\n"
    "# the mismatch lines it produced, each list joined by \"|\" without newlines.\n"
    "# \"\\xHH\" stands for a byte that is not printable ASCII or is \"\\\".\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_damage_tables SOURCE_DIR\n");
    return 2;
  }
  const std::string root = argv[1];
  for (const railfmt::testing::DamageTable& table : railfmt::testing::DamageTables()) {
    std::string text(1024, '\0');
    text.resize(static_cast<std::size_t>(std::snprintf(text.data(), text.size(), kHeader, table.kind_name)));
    for (const char* sample : table.samples) {
      const std::vector<std::uint8_t> bytes = railfmt::testing::Sample(sample);
      for (const railfmt::testing::DamageRow& row : railfmt::testing::DamageRows(table.kind, sample, bytes)) {
        text += railfmt::testing::RowLine(row) + "\n";
      }
    }
    std::ofstream out(root + "/tests/data/" + table.file, std::ios::binary);
    out << text;
    if (!out) {
      std::fprintf(stderr, "make_damage_tables: cannot write tests/data/%s\n", table.file);
      return 1;
    }
  }
  return 0;
}
