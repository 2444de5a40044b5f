// Every row of the damage tables (tests/data/damage/*.tsv, written by
// make_damage_tables): a sample with a byte changed, or cut short, read by
// one kind, must give the verdict, the stop offset, the field to blame, the
// messages and the mismatch lines the row names.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/damage_table.h"
#include "tests/support/data_table.h"

namespace railfmt {
namespace {

std::vector<std::uint8_t> Sample(const std::string& name) {
  std::ifstream in(std::string(RAILFMT_SOURCE_DIR) + "/samples/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DamageTables, EveryKindReportsEachDamagedFieldAsTheTableSays) {
  for (const testing::DamageTable& table : testing::DamageTables()) {
    for (const std::vector<std::string>& fields : testing::DataRows(table.file)) {
      const testing::DamageRow expected = testing::RowOf(fields);
      SCOPED_TRACE(std::string(table.file) + ": " + expected.sample + " at " + std::to_string(expected.offset) +
                   ": " + expected.bytes);
      const std::vector<std::uint8_t> bytes = Sample(expected.sample);
      ASSERT_LE(expected.offset, bytes.size());
      const testing::DamageRow got =
          testing::ReadDamaged(table.kind, expected.sample, bytes, expected.offset, expected.bytes);
      EXPECT_EQ(got.accepted, expected.accepted);
      EXPECT_EQ(got.stop, expected.stop);
      EXPECT_EQ(got.field, expected.field);
      EXPECT_EQ(got.messages, expected.messages);
      EXPECT_EQ(got.mismatches, expected.mismatches);
      // A rejected read always names the field to blame, within the data.
      EXPECT_EQ(got.field.empty(), got.accepted);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace railfmt
