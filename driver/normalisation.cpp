#include "driver/normalisation.h"

#include <algorithm>

namespace railfmt {

std::size_t Normalisation::Count(const ChangeWords& words) const {
  return static_cast<std::size_t>(
      std::count_if(changes_.begin(), changes_.end(), [&](const Change& c) { return c.words == &words; }));
}

std::vector<std::pair<const ChangeWords*, std::size_t>> Normalisation::Counts() const {
  std::vector<std::pair<const ChangeWords*, std::size_t>> counts;
  for (const Change& change : changes_) {
    const auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == change.words; });
    if (it == counts.end()) {
      counts.emplace_back(change.words, 1);
    } else {
      ++it->second;
    }
  }
  return counts;
}

}  // namespace railfmt
