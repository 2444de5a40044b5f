#include "driver/dry_run_directory.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

#include "driver/path_names.h"

namespace railfmt {
namespace {

std::uint64_t Fingerprint(std::span<const std::uint8_t> bytes) {
  return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

std::vector<std::string> DryRunDirectory::ListNames() {
  std::vector<std::string> names = real_.ListNames();
  for (const std::string& name : names) {
    if (!IsSkippedName(name)) pending_.insert(name);
  }
  return names;
}

LoadStatus DryRunDirectory::Load(const std::string& name, LoadedEntry& entry) {
  pending_.erase(name);
  last_load_by_.clear();
  const auto it = stored_.find(name);
  if (it == stored_.end() || !it->second.kept) return real_.Load(name, entry);
  Stored& stored = it->second;
  last_load_by_ = stored.by;
  entry.Begin(name);
  if (!stored.bytes.empty()) std::memcpy(entry.Room(stored.bytes.size(), 0), stored.bytes.data(), stored.bytes.size());
  entry.Finish(stored.bytes.size(), FileIdentity{0, stored.number, stored.bytes.size(), 0}, 0666);
  // Visited: nothing of the run reads these bytes again.
  stored.bytes.clear();
  stored.bytes.shrink_to_fit();
  stored.kept = false;
  return LoadStatus::kLoaded;
}

StoreOutcome DryRunDirectory::Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                                      const LoadedEntry* source) {
  const auto it = stored_.find(name);
  if (it == stored_.end()) return real_.Preview(name, bytes, source);
  const Stored& stored = it->second;
  const bool same = stored.kept ? SameBytes(stored.bytes, bytes)
                                : stored.size == bytes.size() && stored.fingerprint == Fingerprint(bytes);
  return same ? StoreOutcome::kUnchanged : StoreOutcome::kReplaced;
}

StoreOutcome DryRunDirectory::Store(const std::string& name, std::span<const std::uint8_t> bytes,
                                    const LoadedEntry* source) {
  const StoreOutcome outcome = Preview(name, bytes, source);
  if (outcome != StoreOutcome::kCreated && outcome != StoreOutcome::kReplaced) return outcome;
  Stored& stored = stored_[name];
  stored.size = bytes.size();
  stored.fingerprint = Fingerprint(bytes);
  stored.by = source != nullptr ? source->name() : std::string();
  stored.number = ++stores_;
  stored.kept = pending_.contains(name);
  stored.bytes.assign(bytes.begin(), stored.kept ? bytes.end() : bytes.begin());
  return outcome;
}

}  // namespace railfmt
