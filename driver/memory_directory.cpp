#include "driver/memory_directory.h"

#include <algorithm>
#include <cstring>

namespace railfmt {

void MemoryDirectory::Add(const std::string& name, std::span<const std::uint8_t> bytes) {
  auto [it, added] = entries_.try_emplace(name);
  if (added) {
    it->second.number = order_.size() + 1;
    order_.push_back(name);
  }
  it->second.bytes.assign(bytes.begin(), bytes.end());
}

const std::vector<std::uint8_t>* MemoryDirectory::Find(const std::string& name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : &it->second.bytes;
}

LoadStatus MemoryDirectory::Load(const std::string& name, LoadedEntry& entry) {
  const auto it = entries_.find(name);
  if (it == entries_.end()) return LoadStatus::kMissing;
  const std::vector<std::uint8_t>& bytes = it->second.bytes;
  entry.Begin(name);
  if (!bytes.empty()) std::memcpy(entry.Room(bytes.size(), 0), bytes.data(), bytes.size());
  entry.Finish(bytes.size(), FileIdentity{0, it->second.number, bytes.size(), it->second.generation}, 0666);
  return LoadStatus::kLoaded;
}

StoreOutcome MemoryDirectory::Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                                      const LoadedEntry*) {
  const auto it = entries_.find(name);
  if (it == entries_.end()) return StoreOutcome::kCreated;
  return std::ranges::equal(it->second.bytes, bytes) ? StoreOutcome::kUnchanged : StoreOutcome::kReplaced;
}

StoreOutcome MemoryDirectory::Store(const std::string& name, std::span<const std::uint8_t> bytes,
                                    const LoadedEntry* source) {
  const StoreOutcome outcome = Preview(name, bytes, source);
  auto [it, added] = entries_.try_emplace(name);
  Entry& entry = it->second;
  if (added) {
    entry.number = order_.size() + 1;
    order_.push_back(name);
  }
  entry.bytes.assign(bytes.begin(), bytes.end());
  ++entry.generation;
  if (!entry.written) written_.push_back(name);
  entry.written = true;
  return outcome;
}

}  // namespace railfmt
