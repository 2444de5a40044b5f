// Test support: a StoreHook that counts the steps of stores, delivers at
// most chunk bytes a write (so that an output takes many writes), and makes
// chosen calls of chosen steps fail, with the errno the system would give.
#pragma once

#include <array>
#include <cerrno>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

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
    faults_.clear();
  }
  // The call number n (from 0, counted since the last Reset) of step fails
  // with error (EIO when 0). Several may be armed.
  void FailAt(StoreStep step, int n, int error = 0) { faults_.push_back({step, n, error}); }
  int Count(StoreStep step) const { return calls_[static_cast<std::size_t>(step)]; }

  // A hook that refers to this object, which must outlive it.
  StoreHook Hook() {
    return [this](StoreStep step, std::string_view name, std::size_t& size) {
      if (step == StoreStep::kWrite && size > chunk) size = chunk;
      const int n = calls_[static_cast<std::size_t>(step)]++;
      if (step == StoreStep::kOpen && !denied.empty() && name == denied) return true;
      for (const Fault& fault : faults_) {
        if (fault.step == step && fault.n == n) {
          errno = fault.error;
          return true;
        }
      }
      return false;
    };
  }

 private:
  struct Fault {
    StoreStep step;
    int n;
    int error;
  };
  std::array<int, 6> calls_{};
  std::vector<Fault> faults_;
};

}  // namespace railfmt::testing
