#include "tools/make_corpus/corpus_makers.h"

#include <string_view>

namespace railfmt {

std::vector<std::uint8_t> MakeNoiseFile(CorpusRandom& random, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random.Next() >> 56);
  return bytes;
}

std::vector<std::uint8_t> MakeTextFile(CorpusRandom& random, std::size_t size) {
  static constexpr std::string_view kWords[] = {"Gleis",  "Weiche", "Bahnhof", "Bruecke", "Prellbock", "Signal",
                                                "Lok",    "Wagen",  "Strecke", "Kurve",   "Radius",    "Hoehe",
                                                "Anlage", "Modell", "Plan",    "Steigung"};
  std::vector<std::uint8_t> bytes;
  bytes.reserve(size);
  std::size_t column = 0;
  while (bytes.size() < size) {
    const std::string_view word = kWords[random.Below(std::size(kWords))];
    bytes.insert(bytes.end(), word.begin(), word.end());
    column += word.size() + 1;
    const bool line_end = column > 60 || random.Percent(5);
    bytes.push_back(line_end ? '\n' : ' ');
    if (line_end) column = 0;
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace railfmt
