// What railfmt would do, found without writing anything: its run over a
// directory replayed in memory, entry by entry, with the library's own
// steps (the cascade, RecognisedFile::Normalise and Encode) and the
// directory effects of a run:
//   - the entries are the snapshot EntriesToVisit gives, in its order;
//   - an output written earlier in the run replaces a later entry before
//     its turn, which then reads the bytes written (a.bak, written as a.mod,
//     replaces the a.mod visited after it);
//   - rolling stock is named by its content, and a name RefusedName refuses
//     writes nothing;
//   - an output that already holds the bytes is unchanged; any other
//     existing output is replaced, a missing one created; an output that is
//     not a regular file, or that the user may not write, is refused.
//
// Memory stays bounded by the largest file: the replay holds the entry it
// reports on, the output it encodes and the existing output it compares
// with, and keeps across entries only the outputs whose names are entries
// still to be visited (their bytes) and the size and a 64-bit fingerprint
// of every other output the run has written (to tell "unchanged" from
// "replace" when a later entry writes the same name again).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "driver/directory.h"
#include "inspect/report.h"

namespace railfmt::inspect {

// Whether railfmt may write over the existing entry name; null: always.
using WritableCheck = std::function<bool(const std::string& name)>;

class RunReplay {
 public:
  // Takes the snapshot of directory's names. The directory is only listed
  // and loaded from, never stored to.
  explicit RunReplay(Directory& directory, WritableCheck writable = nullptr);

  // The entries railfmt visits, in its order.
  const std::vector<std::string>& entries() const { return entries_; }
  // The position of name among the entries; npos when railfmt does not
  // visit it.
  std::size_t Position(std::string_view name) const;
  // The position of the next entry the run reaches.
  std::size_t next() const { return next_; }

  // Runs the replay up to the entry at position (not before next(), below
  // entries().size()) and reports on it: the readers on its bytes as they
  // stand, and what railfmt does at its turn.
  Report Visit(std::size_t position);

 private:
  struct Written {
    std::size_t size = 0;
    std::uint64_t fingerprint = 0;
    std::string by;                   // the entry it was written from
    std::vector<std::uint8_t> bytes;  // kept while the name is still to be visited
  };

  // Replays the entry at next_ and advances; the report when asked for.
  void Step(Report* report);
  Prediction PredictWrite(RecognisedFile file, const std::string& entry_name, std::span<const std::uint8_t> input,
                          std::size_t position);

  Directory& directory_;
  WritableCheck writable_;
  std::vector<std::string> entries_;
  std::unordered_map<std::string, std::size_t> positions_;
  std::unordered_set<std::string> names_;  // every name of the snapshot, skipped ones included
  std::unordered_map<std::string, Written> written_;
  std::size_t next_ = 0;
  LoadedEntry entry_;
  LoadedEntry other_;
};

// What railfmt would do with a recognised file whose directory holds
// nothing else: rewrite it in place when its output name is its own name,
// else write the output as a new file.
Prediction PredictAlone(const RecognisedFile& file, std::span<const std::uint8_t> bytes);

// What normalising did to a file, in words ("primitives reordered", "2
// duplicate models removed"); input is what was read, output what is
// written.
std::vector<std::string> DescribeChanges(const RecognisedFile& as_read, const Normalisation& normalisation,
                                         std::span<const std::uint8_t> input, std::span<const std::uint8_t> output);

}  // namespace railfmt::inspect
