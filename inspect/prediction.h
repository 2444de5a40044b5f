// What railfmt would do, found by running it: the real batch (BatchRun)
// over a directory that loads from the real one and records, instead of
// writing, what it would store (DryRunDirectory). The entries, their order,
// what each one reads at its turn (an output written over it earlier in the
// run included) and every create, replace, unchanged or refuse decision are
// the batch's own.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/directory.h"
#include "driver/dry_run_directory.h"
#include "inspect/report.h"
#include "inspect/words.h"

namespace railfmt::inspect {

class RunReplay {
 public:
  // Takes the snapshot of the directory's names. The directory is only
  // listed, loaded from and asked what a store would do; nothing is written.
  RunReplay(Directory& directory, const Words& words);

  // The entries railfmt visits, in its order.
  const std::vector<std::string>& entries() const { return run_.entries(); }
  // The position of name among the entries; npos when railfmt does not
  // visit it.
  std::size_t Position(std::string_view name) const;
  // The position of the next entry the run reaches.
  std::size_t next() const { return run_.next(); }

  // Runs the batch up to the entry at position (not before next(), below
  // entries().size()) and reports on it: its verdict and what railfmt does
  // at its turn, and with details every kind tried on the bytes it reads
  // there. The readers' lines go nowhere.
  Report Visit(std::size_t position, bool details = true);
  // The bytes the entry visited last held at its turn.
  std::span<const std::uint8_t> bytes() const { return run_.loaded().bytes(); }

 private:
  DryRunDirectory dry_run_;
  BatchRun run_;
  Words words_;
  std::unordered_map<std::string, std::size_t> positions_;
};

// A report of one visit of the batch, without details: the attempts with
// their faults in words, the ranking, the prediction and the verdict.
// written_by: the entry whose output the run wrote over this one before its
// turn, if any.
Report ReportOfVisit(const EntryVisit& visit, std::span<const std::uint8_t> bytes, const std::string& written_by,
                     const Words& words);

// A detailed report of bytes the readers take as they stand, without a run:
// what railfmt would do is unknown.
Report ReportOfBytes(std::string_view entry_name, std::span<const std::uint8_t> bytes, const Words& words);

}  // namespace railfmt::inspect
