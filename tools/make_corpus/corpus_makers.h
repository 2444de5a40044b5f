// The makers behind MakeCorpusFile. Each draws everything it needs from the
// random stream it is given; the benchmarks call them directly for large
// inputs. Objects come out as a successful read would leave them, so the
// library's writers turn them into valid files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/model.h"
#include "construction/construction_drawing.h"
#include "layout/layout.h"
#include "rollingstock/rolling_stock.h"
#include "tools/make_corpus/corpus_random.h"

namespace railfmt {

// Bytes that no kind accepts: noise, or lines of text.
std::vector<std::uint8_t> MakeNoiseFile(CorpusRandom& random, std::size_t size);
std::vector<std::uint8_t> MakeTextFile(CorpusRandom& random, std::size_t size);

// A model of `parts` parts of `points_per_part` points each (at most 19000,
// which keeps a part's primitive list within its 16-bit count), with
// single points, lines, triangles, quads and polygons over them and one to
// three format records per part.
CModell MakeCorpusModel(CorpusRandom& random, int parts, int points_per_part);
// Three models, the first of them now and then without parts, and an info
// block naming the vehicle.
CRollmaterial MakeCorpusRollingStock(CorpusRandom& random, const std::string& name, int points_per_part);
// A drawing of `points` points with primitives over them, and `lines` line
// records spread over its three line lists.
CKonstruktion MakeCorpusDrawing(CorpusRandom& random, int points, int lines);

// A layout of chained straights and curves of every track type, with
// `models` placed models (at most 32767): bridges at the middle of their
// tracks, buffer stops at the end of single-ended tracks, some stored at the
// wrong height, other models scattered, and every `duplicate_every`-th
// model (0: none) an exact copy of an earlier one under a new number; and
// `vehicles` vehicles with their trailers.
CAnlage MakeCorpusLayout(CorpusRandom& random, int tracks, int models, int vehicles, int duplicate_every);

}  // namespace railfmt
