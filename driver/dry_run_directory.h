// A dry run: a directory that loads through to a real one and records,
// instead of writing, what a batch would store there. The batch runs over
// it exactly as over the real directory, so what it records is what a run
// would do: the inspector's predictions and checks come from it.
//
// A recorded store is decided by the real directory's Preview, unless the
// run stored the name before: then the name holds what the run stored (the
// real file would have been replaced by then). Later loads of a name the run
// stored see the stored bytes, as a real run's would; the bytes are kept
// only while the name is still to be visited (a listed name the batch has
// not loaded yet), and for other names only their size and a fingerprint,
// to tell an unchanged store from a replacement. Memory stays bounded by
// the largest files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "driver/directory.h"

namespace railfmt {

class DryRunDirectory final : public Directory {
 public:
  explicit DryRunDirectory(Directory& real) : real_(real) {}

  // The entry whose output the last Load read, when the run stored it
  // there before that entry's turn; empty when the load read the real
  // directory's file.
  const std::string& LastLoadWrittenBy() const { return last_load_by_; }

  std::vector<std::string> ListNames() override;
  LoadStatus Load(const std::string& name, LoadedEntry& entry) override;
  StoreOutcome Store(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source) override;
  StoreOutcome Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                       const LoadedEntry* source) override;

 private:
  struct Stored {
    std::size_t size = 0;
    std::uint64_t fingerprint = 0;
    std::string by;                   // the entry it was made from
    std::vector<std::uint8_t> bytes;  // kept while the name is still to be visited
    bool kept = false;
    std::uint64_t number = 0;  // stands for the identity of the file the run made
  };

  Directory& real_;
  std::unordered_set<std::string> pending_;  // listed names not loaded yet
  std::unordered_map<std::string, Stored> stored_;
  std::uint64_t stores_ = 0;
  std::string last_load_by_;
};

}  // namespace railfmt
