// The makers behind MakeCorpusFile, one per kind of corpus file. Each draws
// everything it needs from the random stream it is given and returns the
// file's bytes; the benchmarks call them directly for large inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/corpus_random.h"

namespace railfmt {

// Bytes that no kind accepts: noise, or lines of text.
std::vector<std::uint8_t> MakeNoiseFile(CorpusRandom& random, std::size_t size);
std::vector<std::uint8_t> MakeTextFile(CorpusRandom& random, std::size_t size);

}  // namespace railfmt
