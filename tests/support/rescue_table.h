// The rescue table (tests/data/rescue/kept.tsv): what the rescue keeps of
// the samples and of corpus files, damaged at every offset.
//
// Every sample is cut short at every offset and has each of its bytes
// inverted; the smallest valid corpus file of each kind is cut at every
// offset; the corpus's own damaged files are rescued as made. Of the cases
// of a source that give the same rescue (outcome, records kept of each
// list with the count the file announced, fixed parts lost, and the
// records the reader stopped in), the table holds the first: the row
// guards that rescue. make_rescue_tables writes it; rescue_test reads every
// row back and runs every case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "driver/file_kind.h"
#include "inspect/rescue.h"

namespace railfmt::testing {

// A sample, or a file of the corpus maker ("corpus/SEED/INDEX/NAME").
struct RescueSource {
  std::string name;
  EntryKind kind = EntryKind::kNone;
  std::vector<std::uint8_t> bytes;
  bool cut = true;     // cut at every offset
  bool invert = true;  // each byte inverted; neither: rescued as made
};
const std::vector<RescueSource>& RescueSources();
const RescueSource& RescueSourceNamed(const std::string& name);

// One case: the damage ("cut": the data ends at offset; a byte in hex
// written at offset; "as made") and its rescue as the source's kind.
struct RescueCase {
  std::size_t offset = 0;
  std::string damage;
};
std::vector<RescueCase> RescueCases(const RescueSource& source);
std::vector<std::uint8_t> RescueInput(const RescueSource& source, const RescueCase& c);
inspect::Rescue RescueOf(const RescueSource& source, std::span<const std::uint8_t> damaged);

struct RescueRow {
  std::string source;
  RescueCase damage;
  std::string outcome;  // RescueOutcomeName
  std::string kept;     // "tracks 3/5 placed_models 0/-": kept/announced, "-" unknown
  std::string lost;     // "value_blocks 5 properties 1"
  std::string guards;   // "cut short at tracks/track/name copy", "accepted"
};
RescueRow RowOfRescue(const RescueSource& source, const RescueCase& c, const inspect::Rescue& rescue);
std::vector<RescueRow> RescueRows(const RescueSource& source);
std::string RescueRowLine(const RescueRow& row);
RescueRow RescueRowOf(const std::vector<std::string>& fields);

}  // namespace railfmt::testing
