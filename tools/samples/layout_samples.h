// Sample layouts, and the encoder that builds layout files from values.
#pragma once

#include <cstdint>
#include <vector>

#include "layout/layout.h"
#include "tools/samples/sample_files.h"

namespace railfmt {

// The layout exactly as it stands in memory: the stored counts, then every
// record of each array whatever its number and with its type as it is, the
// blocks, the properties and the trailers in trailer order. Nothing is
// placed, removed or recomputed, so tests can build files the normalising
// writer would never produce (entries numbered 0, duplicates, types 7 to 9
// without a variant, unlinked bridges).
std::vector<std::uint8_t> EncodeLayoutAsStored(const CAnlage& layout);

// Layouts holding every track type, curved and straight tracks, bridges and
// buffer stops that link and some that do not, duplicate models, entries
// numbered 0 and vehicles with trailers. One is stored as y.bak, so a run
// writes it as y.anl.
std::vector<SampleFile> MakeLayoutSamples();

}  // namespace railfmt
