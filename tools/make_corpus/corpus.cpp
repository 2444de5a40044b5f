#include "tools/make_corpus/corpus.h"

#include <cstdio>
#include <iterator>

#include "archive/model_kind.h"
#include "construction/construction_kind.h"
#include "layout/layout_kind.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tools/make_corpus/corpus_makers.h"
#include "tools/make_corpus/corpus_random.h"

namespace railfmt {
namespace {

std::string NumberedName(const char* prefix, std::size_t index, const char* extension) {
  char name[64];
  std::snprintf(name, sizeof name, "%s%06zu%s", prefix, index, extension);
  return name;
}

// Point counts as planning data has them: mostly small parts, some of a
// few hundred points, now and then a detailed one.
int PointsPerPart(CorpusRandom& random) {
  const auto tier = random.Below(100);
  if (tier < 60) return static_cast<int>(random.Between(8, 60));
  if (tier < 95) return static_cast<int>(random.Between(60, 300));
  return static_cast<int>(random.Between(300, 1500));
}

// The values are drawn one statement each: the arguments of one call are
// evaluated in an order each compiler chooses, and the corpus must be the
// seed's alone. The order is the one the corpora made so far were drawn in.
std::vector<std::uint8_t> ModelBytes(CorpusRandom& random) {
  const int points_per_part = PointsPerPart(random);
  const auto parts = static_cast<int>(random.Between(1, 4));
  CModell model = MakeCorpusModel(random, parts, points_per_part);
  return EncodeToBytes<ModelKind>(model);
}

std::vector<std::uint8_t> DrawingBytes(CorpusRandom& random) {
  const auto lines = static_cast<int>(random.Between(0, 150));
  const auto points = static_cast<int>(random.Between(0, 300));
  const CKonstruktion drawing = MakeCorpusDrawing(random, points, lines);
  return EncodeToBytes<ConstructionKind>(drawing);
}

std::vector<std::uint8_t> LayoutBytes(CorpusRandom& random) {
  const auto tier = random.Below(100);
  const auto tracks = static_cast<int>(tier < 80   ? random.Between(20, 300)
                                       : tier < 98 ? random.Between(300, 2000)
                                                   : random.Between(2000, 6000));
  const bool normalised = random.Percent(75);
  CAnlage layout =
      MakeCorpusLayout(random, tracks, tracks / 3, static_cast<int>(random.Between(0, 60)), normalised ? 0 : 25);
  // Most layouts are stored as the planning program writes them, already
  // normal; a quarter carry duplicates and misplaced heights for the batch
  // tool to normalise. Both store every track under the type its ends give.
  if (normalised) {
    LayoutKind::Normalise(layout);
  } else {
    for (CGleis& track : layout.Tracks) TypeFromEndCount(track);
  }
  return EncodeToBytes<LayoutKind>(layout);
}

CorpusFile MakeModelEntry(CorpusRandom& random, std::size_t index) {
  // Some models are stored under another extension and written beside.
  const bool beside = random.Percent(10);
  return {NumberedName("m", index, beside ? ".bak" : ".mod"), EntryKind::kModel, ModelBytes(random)};
}

CorpusFile MakeRollingStockEntry(CorpusRandom& random, std::size_t index) {
  const std::string name = NumberedName("r", index, "");
  CRollmaterial record = MakeCorpusRollingStock(random, name, static_cast<int>(random.Between(8, 150)));
  return {name + ".rol", EntryKind::kRollingStock, EncodeToBytes<RollingStockKind>(record)};
}

CorpusFile MakeDrawingEntry(CorpusRandom& random, std::size_t index) {
  return {NumberedName("k", index, ".kon"), EntryKind::kConstruction, DrawingBytes(random)};
}

CorpusFile MakeLayoutEntry(CorpusRandom& random, std::size_t index) {
  return {NumberedName("a", index, ".anl"), EntryKind::kLayout, LayoutBytes(random)};
}

CorpusFile MakeUnrecognised(CorpusRandom& random, std::size_t index) {
  CorpusFile file;
  file.kind = EntryKind::kNone;
  const auto pick = random.Below(100);
  if (pick < 40) {
    file.name = NumberedName("noise", index, random.Percent(50) ? ".mod" : ".dat");
    file.bytes = MakeNoiseFile(random, static_cast<std::size_t>(random.Between(1, 40000)));
  } else if (pick < 70) {
    file.name = NumberedName("notes", index, ".txt");
    file.bytes = MakeTextFile(random, static_cast<std::size_t>(random.Between(0, 8000)));
  } else {
    // A valid file cut short: no kind accepts short data. (Rolling stock
    // cut after its first model would still read as a model.)
    const auto kind = random.Below(3);
    file.name = NumberedName("cut", index, kind == 0 ? ".mod" : kind == 1 ? ".kon" : ".anl");
    file.bytes = kind == 0 ? ModelBytes(random) : kind == 1 ? DrawingBytes(random) : LayoutBytes(random);
    file.bytes.resize(static_cast<std::size_t>(random.Below(file.bytes.size())));
  }
  return file;
}

// Names the batch tool passes over, content and all.
CorpusFile MakeSkipped(CorpusRandom& random, std::size_t index) {
  CorpusFile file;
  file.kind = EntryKind::kNone;
  const bool upper_case = random.Percent(50);
  const bool tool = random.Percent(50);
  file.name = NumberedName(tool ? "Tool" : ".hidden", index, upper_case ? ".EXE" : ".exe");
  file.bytes = MakeNoiseFile(random, static_cast<std::size_t>(random.Between(1, 4000)));
  return file;
}

struct Share {
  unsigned percent;
  CorpusFile (*make)(CorpusRandom& random, std::size_t index);
};

// The shares add up to 100.
constexpr Share kShares[] = {
    {35, &MakeModelEntry},  {15, &MakeRollingStockEntry}, {15, &MakeDrawingEntry},
    {15, &MakeLayoutEntry}, {19, &MakeUnrecognised},      {1, &MakeSkipped},
};

}  // namespace

CorpusFile MakeCorpusFile(std::uint64_t seed, std::size_t index) {
  CorpusRandom random = CorpusRandom::ForStream(seed, index);
  auto pick = static_cast<unsigned>(random.Below(100));
  for (const Share& share : kShares) {
    if (pick < share.percent) return share.make(random, index);
    pick -= share.percent;
  }
  return MakeUnrecognised(random, index);
}

}  // namespace railfmt
