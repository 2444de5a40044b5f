#include "web/page_directory.h"

#include <algorithm>
#include <cstring>

#include "driver/diagnostics.h"
#include "driver/windows_names.h"

namespace railfmt::web {

std::string ListedName(std::string_view utf8) {
  const std::optional<std::u16string> text = Utf8ToUtf16(utf8);
  return text ? ListedWindows1252Name(*text) : std::string(utf8.size(), '?');
}

std::string ShownName(std::string_view entry_name) { return Utf16ToUtf8(Windows1252ToUtf16(entry_name)); }

void PageDirectory::AddFile(const std::string& name, std::span<const std::uint8_t> bytes) {
  AddPendingFile(name);
  Fill(name, bytes);
}

void PageDirectory::AddPendingFile(const std::string& name) {
  names_.push_back(name);
  // Two names the browser gives may list alike ('?' for what Windows-1252
  // lacks); such a name is never loaded, so which bytes it keeps does not matter.
  auto [it, added] = entries_.try_emplace(name);
  if (!added) return;
  it->second.added = true;
  it->second.pending = true;
  it->second.number = ++numbers_;
}

void PageDirectory::Fill(const std::string& name, std::span<const std::uint8_t> bytes) {
  const auto it = entries_.find(name);
  if (it == entries_.end() || !it->second.pending) return;
  it->second.bytes.assign(bytes.begin(), bytes.end());
  it->second.pending = false;
}

bool PageDirectory::IsPending(const std::string& name) const {
  const auto it = entries_.find(name);
  return it != entries_.end() && it->second.pending;
}

bool PageDirectory::Reaches(const std::string& name) {
  if (!IsPending(name)) return false;
  reached_pending_ = true;
  return true;
}

void PageDirectory::AddFolder(const std::string& name) {
  names_.push_back(name);
  auto [it, added] = entries_.try_emplace(name);
  if (added) it->second.folder = true;
}

bool PageDirectory::IsFolder(const std::string& name) const {
  const auto it = entries_.find(name);
  return it != entries_.end() && it->second.folder;
}

const std::vector<std::uint8_t>* PageDirectory::Find(const std::string& name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() || it->second.folder ? nullptr : &it->second.bytes;
}

const std::vector<std::uint8_t>* PageDirectory::Original(const std::string& name) const {
  const auto it = entries_.find(name);
  if (it == entries_.end() || !it->second.added) return nullptr;
  return it->second.replaced ? &it->second.original : &it->second.bytes;
}

std::vector<PageDirectory::Change> PageDirectory::Changes() const {
  std::vector<Change> changes;
  for (const std::string& name : written_) {
    const Entry& entry = entries_.at(name);
    if (!entry.added) {
      changes.push_back({name, true});
    } else if (entry.replaced && entry.original != entry.bytes) {
      changes.push_back({name, false});
    }
  }
  return changes;
}

void PageDirectory::Restore() {
  for (auto it = entries_.begin(); it != entries_.end();) {
    Entry& entry = it->second;
    if (!entry.folder && !entry.added) {
      it = entries_.erase(it);
      continue;
    }
    if (entry.replaced) entry.bytes.swap(entry.original);
    entry.original.clear();
    entry.replaced = false;
    entry.written_by.clear();
    entry.written = false;
    ++it;
  }
  written_.clear();
  last_load_by_.clear();
  reached_pending_ = false;
}

LoadStatus PageDirectory::Load(const std::string& name, LoadedEntry& loaded) {
  last_load_by_.clear();
  switch (ClassifyWindowsName(name)) {
    case WindowsName::kDevice: return LoadStatus::kSpecial;
    case WindowsName::kInvalid: return LoadStatus::kMissing;
    case WindowsName::kOrdinary: break;
  }
  if (Reaches(name)) return LoadStatus::kFailed;
  const auto it = entries_.find(name);
  if (it == entries_.end()) return LoadStatus::kMissing;
  const Entry& entry = it->second;
  if (entry.folder) return LoadStatus::kDirectory;
  loaded.Begin(name);
  if (!entry.bytes.empty()) std::memcpy(loaded.Room(entry.bytes.size(), 0), entry.bytes.data(), entry.bytes.size());
  loaded.Finish(entry.bytes.size(), FileIdentity{0, entry.number, entry.bytes.size(), entry.generation}, 0666);
  last_load_by_ = entry.written_by;
  return LoadStatus::kLoaded;
}

StoreOutcome PageDirectory::Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                                    const LoadedEntry*) {
  if (ClassifyWindowsName(name) != WindowsName::kOrdinary || Reaches(name)) return StoreOutcome::kRefused;
  const auto it = entries_.find(name);
  if (it == entries_.end()) return StoreOutcome::kCreated;
  if (it->second.folder) return StoreOutcome::kRefused;
  return std::ranges::equal(it->second.bytes, bytes) ? StoreOutcome::kUnchanged : StoreOutcome::kReplaced;
}

StoreOutcome PageDirectory::Store(const std::string& name, std::span<const std::uint8_t> bytes,
                                  const LoadedEntry* source) {
  const StoreOutcome outcome = Preview(name, bytes, source);
  if (outcome == StoreOutcome::kRefused) {
    ReportOpenFailure(name);
    return outcome;
  }
  auto [it, created] = entries_.try_emplace(name);
  Entry& entry = it->second;
  if (created) entry.number = ++numbers_;
  // The bytes read are kept the first time a store changes them.
  if (entry.added && !entry.replaced && outcome == StoreOutcome::kReplaced) {
    entry.original = std::move(entry.bytes);
    entry.replaced = true;
  }
  // Bytes equal to those there are not copied again.
  if (outcome != StoreOutcome::kUnchanged) entry.bytes.assign(bytes.begin(), bytes.end());
  ++entry.generation;
  entry.written_by = source != nullptr ? source->name() : std::string();
  if (!entry.written) written_.push_back(name);
  entry.written = true;
  return outcome;
}

}  // namespace railfmt::web
