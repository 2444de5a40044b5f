// Test support: deterministic damage to valid files.
//
// Each call of Mutate applies one to three edits of the kinds a file meets
// in the wild and a fuzzer would try: flipped bits, bytes and 16/32-bit
// words set to edge values, truncation, insertion, deletion, duplication of
// a range, and splicing with another file. The sequence depends on the seed
// only (the engine's raw output is used, no library distribution), so every
// run and every compiler sees the same inputs.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace railfmt::testing {

class Mutator {
 public:
  explicit Mutator(std::uint64_t seed) : engine_(seed) {}

  std::vector<std::uint8_t> Mutate(const std::vector<std::uint8_t>& input,
                                   const std::vector<std::uint8_t>& splice_partner);

  // A number in [0, bound); bound must not be 0.
  std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(engine_() % bound); }

 private:
  void EditOnce(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& partner);

  std::mt19937_64 engine_;
};

}  // namespace railfmt::testing
