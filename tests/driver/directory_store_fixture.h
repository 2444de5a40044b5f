// The fixture of the output tests: a scratch directory opened through a
// StoreFaults hook that delivers 3 bytes a write, an old and a new content.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "driver/directory.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/store_faults.h"

namespace railfmt {

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override { faults_.chunk = 3; }
  // Stores through the faults' hook; true when the bytes were stored.
  bool Store(const std::string& name, const std::vector<std::uint8_t>& bytes, const LoadedEntry* source = nullptr) {
    const StoreOutcome outcome = directory_->Store(name, bytes, source);
    return outcome != StoreOutcome::kRefused && outcome != StoreOutcome::kFailed;
  }

  testing::ScratchDir dir_;
  testing::StoreFaults faults_;
  std::unique_ptr<Directory> directory_ = OpenDirectory(".", faults_.Hook());
  const std::vector<std::uint8_t> old_ = {'o', 'l', 'd'};
  const std::vector<std::uint8_t> new_ = std::vector<std::uint8_t>(20, 'n');
};

}  // namespace railfmt
