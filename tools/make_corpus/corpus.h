// The benchmark corpus: a directory's worth of files of mixed kinds, each
// one a function of the seed and its index alone, so that any file of a
// corpus can be made again without the others and the same seed always
// gives the same bytes.
//
// The mix: valid models, rolling stock, construction drawings and layouts
// of the sizes real planning data has, built from values with the library's
// own writers, and a share of files that no kind accepts (noise, text, and
// valid files cut short). Archives and most layouts are stored normalised,
// as the planning program writes them; a quarter of the layouts carry
// duplicates and misplaced models for the rewrite to normalise. A few names
// are of the kinds the batch tool passes over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/file_kind.h"

namespace railfmt {

struct CorpusFile {
  std::string name;
  // The kind the batch tool recognises the file as; kNone for a file that
  // no kind accepts and for names the tool passes over.
  EntryKind kind = EntryKind::kNone;
  std::vector<std::uint8_t> bytes;
};

// File number index of the corpus made from seed.
CorpusFile MakeCorpusFile(std::uint64_t seed, std::size_t index);

}  // namespace railfmt
