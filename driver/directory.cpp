#include "driver/directory.h"

#include <cstring>
#include <utility>

namespace railfmt {

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

const char* LoadStatusText(LoadStatus status) {
  switch (status) {
    case LoadStatus::kLoaded: return "loaded";
    case LoadStatus::kMissing: return "no such file";
    case LoadStatus::kDenied: return "permission denied";
    case LoadStatus::kDirectory: return "is a directory";
    case LoadStatus::kSpecial: return "not a regular file (a FIFO, socket or device)";
    case LoadStatus::kTooLarge: return "too large to hold in memory";
    case LoadStatus::kFailed: break;
  }
  return "read error";
}

void LoadedEntry::Begin(std::string name) {
  name_ = std::move(name);
  size_ = 0;
  identity_ = {};
  permissions_ = 0666;
  group_.reset();
}

std::uint8_t* LoadedEntry::Room(std::size_t total, std::size_t kept) {
  if (total > capacity_) {
    std::unique_ptr<std::uint8_t[]> bigger = std::make_unique_for_overwrite<std::uint8_t[]>(total);
    if (kept > 0) std::memcpy(bigger.get(), data_.get(), kept);
    data_ = std::move(bigger);
    capacity_ = total;
  }
  return data_.get();
}

void LoadedEntry::Finish(std::size_t size, const FileIdentity& identity, std::uint32_t permissions,
                         std::optional<std::uint32_t> group) {
  size_ = size;
  identity_ = identity;
  permissions_ = permissions;
  group_ = group;
}

}  // namespace railfmt
