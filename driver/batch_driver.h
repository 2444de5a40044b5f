// The batch driver: visits every entry of a directory once and writes each
// recognised file back out, normalised, under its kind's name.
//
// The names are taken as a snapshot and visited in directory order (see
// DirectoryOrderLess), so the same directory gives the same output on every
// run. Files the run creates are visited only when their name was already in
// the snapshot, with the content they have when their turn comes. Each
// entry's bytes are loaded once; every reader parses that copy, and the
// output is encoded into memory and handed to the directory to store.
#pragma once

#include <string>
#include <vector>

#include "driver/directory.h"
#include "driver/recognition_cascade.h"

namespace railfmt {

// The snapshot of names the driver visits, in visiting order, skipped names
// left out.
std::vector<std::string> EntriesToVisit(Directory& directory);

// Runs the batch over the directory.
void RunBatch(Directory& directory);

// Writes one recognised file as the batch does: refuses an output its
// content names unsafely, else normalises, encodes and stores it. source is
// the entry it was read from. Returns what storing did.
StoreOutcome WriteRecognised(Directory& directory, RecognisedFile& file, const LoadedEntry* source);

}  // namespace railfmt
