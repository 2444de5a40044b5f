#include "driver/memory_directory.h"

#include <algorithm>
#include <cstring>

#include "driver/diagnostics.h"

namespace railfmt {

void MemoryDirectory::Add(const std::string& name, std::span<const std::uint8_t> bytes) {
  auto [it, added] = entries_.try_emplace(name);
  if (added) {
    it->second.number = order_.size() + 1;
    order_.push_back(name);
  } else {
    ++it->second.generation;  // a save of another program
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
  entry.Finish(bytes.size(), IdentityOf(it->second), 0666);
  return LoadStatus::kLoaded;
}

FileIdentity MemoryDirectory::IdentityOf(const Entry& entry) {
  return {0, entry.number, entry.bytes.size(), entry.generation, entry.generation};
}

StoreOutcome MemoryDirectory::Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                                      const LoadedEntry* source) {
  const auto it = entries_.find(name);
  const bool same_name = source != nullptr && source->name() == name;
  if (same_name && (it == entries_.end() || IdentityOf(it->second) != source->identity())) {
    return StoreOutcome::kFailed;
  }
  if (it == entries_.end()) return StoreOutcome::kCreated;
  return SameBytes(it->second.bytes, bytes) ? StoreOutcome::kUnchanged : StoreOutcome::kReplaced;
}

StoreOutcome MemoryDirectory::Store(const std::string& name, std::span<const std::uint8_t> bytes,
                                    const LoadedEntry* source) {
  const StoreOutcome outcome = Preview(name, bytes, source);
  if (outcome == StoreOutcome::kFailed) {
    Report("Can't write %s!\n", name.c_str());
    return outcome;
  }
  auto [it, added] = entries_.try_emplace(name);
  Entry& entry = it->second;
  if (added) {
    entry.number = order_.size() + 1;
    order_.push_back(name);
  }
  if (outcome != StoreOutcome::kUnchanged) {
    entry.bytes.assign(bytes.begin(), bytes.end());
    ++entry.generation;
  }
  if (!entry.written) written_.push_back(name);
  entry.written = true;
  return outcome;
}

}  // namespace railfmt
