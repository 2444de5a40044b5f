// The batch driver: visits every entry of a directory once and writes each
// recognised file back out, normalised, under its kind's name.
//
// The names are taken as a snapshot and visited in directory order (see
// DirectoryOrderLess), so the same directory gives the same output on every
// run. Files the run creates are visited only when their name was already in
// the snapshot, with the content they have when their turn comes. Each
// entry's bytes are loaded once; every reader parses that copy, and the
// output is encoded into memory and handed to the directory to store.
//
// A BatchRun visits one entry at a time and tells what it did with it: the
// tool runs it to the end (RunBatch), the inspector and the web page run it
// over a directory that records instead of writing (DryRunDirectory) or one
// in memory, and report each entry as it is done. No other code decides what
// a run creates, replaces, leaves unchanged or refuses.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "driver/directory.h"
#include "driver/recognition_cascade.h"

namespace railfmt {

// The snapshot of names the driver visits, in visiting order, skipped names
// left out.
std::vector<std::string> EntriesToVisit(Directory& directory);

// What the batch did with one entry.
struct EntryVisit {
  std::string name;
  LoadStatus load = LoadStatus::kLoaded;
  std::size_t input_size = 0;
  // Each kind tried, in cascade order, up to the one that accepted the bytes.
  std::vector<ReadResult> attempts;
  // The accepted file as it was written (normalised); none when no kind
  // accepted the bytes or they could not be loaded.
  std::optional<RecognisedFile> file;
  std::string output_name;
  // Why the file's own content names an output that must not be made
  // ("Can't open %s!\n" with that name; nothing stored); null otherwise.
  const char* refused_why = nullptr;
  Normalisation changes;
  std::size_t output_size = 0;
  // What storing the output did; none when nothing was stored.
  std::optional<StoreOutcome> stored;
};

// Changes of any kind's file that the batch itself tells.
inline constexpr ChangeWords kTrailingBytesDropped = ChangeSentences(
    "trailing_bytes_dropped", ForPeopleN("{n} byte after the end dropped", "{n} bytes after the end dropped"),
    ForPeople("{n} bytes after the end of the data dropped"));
inline constexpr ChangeWords kWrittenInNormalForm =
    ChangeSentences("written_in_normal_form", ForPeopleN("written in normal form", "written in normal form"),
                    ForPeople("the file is written in its normal form"));

class BatchRun {
 public:
  // Takes the snapshot of the directory's names.
  explicit BatchRun(Directory& directory);

  // The entries the run visits, in its order.
  const std::vector<std::string>& entries() const { return entries_; }
  // The position of the entry the next Step visits.
  std::size_t next() const { return next_; }
  bool done() const { return next_ >= entries_.size(); }

  // Visits the next entry (not when done()). The visit and the bytes loaded
  // stay valid until the next Step.
  const EntryVisit& Step();
  const EntryVisit& visit() const { return visit_; }
  // The bytes of the entry visited last, as loaded.
  const LoadedEntry& loaded() const { return entry_; }

  // Makes what the run changed durable (Directory::Finish).
  void Finish();

 private:
  void Visit();

  Directory& directory_;
  std::vector<std::string> entries_;
  std::size_t next_ = 0;
  LoadedEntry entry_;
  EntryVisit visit_;
};

// Runs the batch over the directory to its end, or to an interruption.
void RunBatch(Directory& directory);

}  // namespace railfmt
