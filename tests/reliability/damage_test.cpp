// Every row of the damage tables (tests/data/damage/*.tsv, written by
// make_damage_tables): a sample with a byte changed, or cut short, read by
// one kind, must give the verdict, the stop offset, the field to blame, the
// messages and the mismatch lines the row names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/damage_table.h"
#include "tests/support/data_table.h"
#include "tests/support/kind_samples.h"

namespace railfmt {
namespace {

TEST(DamageTables, EveryKindReportsEachDamagedFieldAsTheTableSays) {
  for (const testing::DamageTable& table : testing::DamageTables()) {
    SCOPED_TRACE(table.file);
    for (const std::vector<std::string>& fields : testing::DataRows(table.file)) {
      const testing::DamageRow expected = testing::RowOf(fields);
      const std::vector<std::uint8_t> bytes = testing::Sample(expected.sample);
      ASSERT_LE(expected.offset, bytes.size()) << expected.sample;
      const testing::DamageRow got =
          testing::ReadDamaged(table.kind, expected.sample, bytes, expected.offset, expected.bytes);
      // The line names the damage (sample, offset, bytes) before the report.
      EXPECT_EQ(testing::RowLine(got), testing::RowLine(expected));
      // A rejected read always names the field to blame, within the data.
      EXPECT_EQ(got.field.empty(), got.accepted);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace railfmt
