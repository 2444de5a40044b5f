// Test support: a StoreHook that counts the steps of stores, delivers at
// most chunk bytes a write (so that an output takes many writes), and makes
// one chosen call of one step fail.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <string>

#include "driver/directory.h"

namespace railfmt::testing {

class StoreFaults {
 public:
  std::size_t chunk = std::numeric_limits<std::size_t>::max();
  // Every open of this name fails, as for a file the user may not write.
  std::string denied;

  // Counts back to 0 and nothing armed.
  void Reset() {
    calls_ = {};
    fail_step_ = -1;
  }
  // The call number n (from 0, counted since the last Reset) of step fails.
  void FailAt(StoreStep step, int n) {
    fail_step_ = static_cast<int>(step);
    fail_at_ = n;
  }
  int Count(StoreStep step) const { return calls_[static_cast<std::size_t>(step)]; }

  // A hook that refers to this object, which must outlive it.
  StoreHook Hook() {
    return [this](StoreStep step, std::string_view name, std::size_t& size) {
      if (step == StoreStep::kWrite && size > chunk) size = chunk;
      const int n = calls_[static_cast<std::size_t>(step)]++;
      if (step == StoreStep::kOpen && !denied.empty() && name == denied) return true;
      return static_cast<int>(step) == fail_step_ && n == fail_at_;
    };
  }

 private:
  std::array<int, 6> calls_{};
  int fail_step_ = -1;
  int fail_at_ = 0;
};

}  // namespace railfmt::testing
