// The batch driver: visits every entry of the working directory once and
// writes each recognised file back out, normalised, under its kind's name.
//
// The names are taken as a snapshot and visited in directory order (see
// DirectoryOrderLess), so the same directory gives the same output on every
// run. Files the run creates are visited only when their name was already in
// the snapshot, with the content they have when their turn comes. Each
// entry's bytes are read from disk once; every reader parses that copy.
#pragma once

#include <string>
#include <vector>

namespace railfmt {

// The snapshot of names the driver visits, in visiting order, skipped names
// left out.
std::vector<std::string> EntriesToVisit(const std::string& directory);

// Runs the batch over the working directory.
void RunBatch();

}  // namespace railfmt
