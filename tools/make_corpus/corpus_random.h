// CorpusRandom: the pseudo-random numbers the corpus generator draws from.
//
// A corpus must come out the same on every machine and with every standard
// library, so the generator uses its own splitmix64 sequence and its own
// range reductions instead of the library's distributions, whose results
// are left to each implementation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace railfmt {

class CorpusRandom {
 public:
  explicit CorpusRandom(std::uint64_t seed) : state_(seed) {}

  // The sequence of one stream: seed and stream number mixed, so that the
  // streams of neighbouring numbers share nothing.
  static CorpusRandom ForStream(std::uint64_t seed, std::uint64_t stream) {
    CorpusRandom mix(seed ^ (stream * 0xD1B54A32D192ED03ull));
    return CorpusRandom(mix.Next());
  }

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A number in [0, n); n must not be 0. The slight bias of the modulo
  // does not matter for test data.
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }

  // An integer in [lo, hi], both included.
  std::int64_t Between(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(hi - lo) + 1));
  }

  // True with the given chance in percent.
  bool Percent(unsigned percent) { return Below(100) < percent; }

  // A float in [lo, hi) with 24 random bits.
  float Real(float lo, float hi) {
    const float unit = static_cast<float>(Next() >> 40) / static_cast<float>(1u << 24);
    return lo + (hi - lo) * unit;
  }

 private:
  std::uint64_t state_;
};

}  // namespace railfmt
