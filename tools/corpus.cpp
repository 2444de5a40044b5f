#include "tools/corpus.h"

#include <cstdio>
#include <iterator>

#include "tools/corpus_makers.h"
#include "tools/corpus_random.h"

namespace railfmt {
namespace {

std::string NumberedName(const char* prefix, std::size_t index, const char* extension) {
  char name[64];
  std::snprintf(name, sizeof name, "%s%06zu%s", prefix, index, extension);
  return name;
}

CorpusFile MakeUnrecognised(CorpusRandom& random, std::size_t index) {
  CorpusFile file;
  file.kind = EntryKind::kNone;
  if (random.Percent(50)) {
    file.name = NumberedName("noise", index, random.Percent(50) ? ".mod" : ".dat");
    file.bytes = MakeNoiseFile(random, static_cast<std::size_t>(random.Between(1, 40000)));
  } else {
    file.name = NumberedName("notes", index, ".txt");
    file.bytes = MakeTextFile(random, static_cast<std::size_t>(random.Between(0, 8000)));
  }
  return file;
}

// Names the batch tool passes over, content and all.
CorpusFile MakeSkipped(CorpusRandom& random, std::size_t index) {
  CorpusFile file;
  file.kind = EntryKind::kNone;
  file.name = NumberedName(random.Percent(50) ? "Tool" : ".hidden", index, random.Percent(50) ? ".EXE" : ".exe");
  file.bytes = MakeNoiseFile(random, static_cast<std::size_t>(random.Between(1, 4000)));
  return file;
}

struct Share {
  unsigned percent;
  CorpusFile (*make)(CorpusRandom& random, std::size_t index);
};

// The shares add up to 100.
constexpr Share kShares[] = {
    {99, &MakeUnrecognised},
    {1, &MakeSkipped},
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
