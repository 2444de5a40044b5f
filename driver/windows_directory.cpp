#include "driver/windows_directory.h"

#include <cstring>
#include <new>

#include "driver/diagnostics.h"
#include "driver/windows_names.h"

namespace railfmt {
namespace {

void ReportWriteFailure(const std::string& name) { Report("Can't write %s!\n", name.c_str()); }

}  // namespace

template <typename Operation>
FileError WindowsDirectory::Retrying(Operation operation) {
  unsigned pause = kFirstPauseMs;
  FileError error = operation();
  for (int attempt = 1; attempt < kAttempts && error == FileError::kBusy; ++attempt, pause *= 2) {
    files_->Pause(pause);
    error = operation();
  }
  return error;
}

bool WindowsDirectory::Fails(StoreStep step, const std::string& name, std::size_t& size) const {
  return hook_ && hook_(step, name, size);
}

bool WindowsDirectory::Fails(StoreStep step, const std::string& name) const {
  std::size_t size = 0;
  return Fails(step, name, size);
}

std::vector<std::string> WindowsDirectory::ListNames() {
  std::vector<std::string> names;
  for (const std::u16string& name : files_->List().value_or(std::vector<std::u16string>{})) {
    names.push_back(ListedWindows1252Name(name));
  }
  return names;
}

LoadStatus WindowsDirectory::Load(const std::string& name, LoadedEntry& entry) {
  entry.Begin(name);
  switch (ClassifyWindowsName(name)) {
    case WindowsName::kDevice: return LoadStatus::kSpecial;
    case WindowsName::kInvalid: return LoadStatus::kMissing;
    case WindowsName::kOrdinary: break;
  }
  std::unique_ptr<WindowsFile> file;
  switch (Retrying([&] { return files_->Open(Windows1252ToUtf16(name), OpenMode::kRead, 0, file); })) {
    case FileError::kNone: break;
    case FileError::kMissing: return LoadStatus::kMissing;
    case FileError::kDenied: return LoadStatus::kDenied;
    default: return LoadStatus::kFailed;
  }
  const std::optional<FileFacts> facts = file->Facts();
  if (!facts) return LoadStatus::kFailed;
  if (facts->type != FileFacts::Type::kFile) {
    return facts->type == FileFacts::Type::kDirectory ? LoadStatus::kDirectory : LoadStatus::kSpecial;
  }
  // The file as it was when opened: what another program appends meanwhile
  // is not part of it.
  if (facts->identity.size > SIZE_MAX) return LoadStatus::kTooLarge;
  const auto size = static_cast<std::size_t>(facts->identity.size);
  std::size_t filled = 0;
  try {
    std::uint8_t* data = entry.Room(size, 0);
    while (filled < size) {
      std::size_t wanted = size - filled;
      if (Fails(StoreStep::kRead, name, wanted)) return LoadStatus::kFailed;
      const std::optional<std::size_t> n = file->Read(data + filled, wanted);
      if (!n) return LoadStatus::kFailed;
      if (*n == 0) break;
      filled += *n;
    }
  } catch (const std::bad_alloc&) {
    return LoadStatus::kTooLarge;
  }
  FileIdentity identity = facts->identity;
  identity.size = filled;
  // Windows knows one permission: read-only or not.
  entry.Finish(filled, identity, facts->read_only ? 0444 : 0666);
  return LoadStatus::kLoaded;
}

bool WindowsDirectory::WriteAll(WindowsFile& file, const std::string& name, std::span<const std::uint8_t> bytes) const {
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t size = bytes.size() - done;
    if (Fails(StoreStep::kWrite, name, size)) return false;
    const std::optional<std::size_t> n = file.Write(bytes.data() + done, size);
    if (!n || *n == 0) return false;
    done += *n;
  }
  return true;
}

bool WindowsDirectory::HoldsBytes(const std::u16string& target, std::span<const std::uint8_t> bytes) {
  std::unique_ptr<WindowsFile> file;
  if (Retrying([&] { return files_->Open(target, OpenMode::kRead, 0, file); }) != FileError::kNone) return false;
  // One byte more than expected: a file that grew shows as different.
  const std::size_t wanted = bytes.size() + 1;
  if (compare_.size() < wanted) compare_.resize(wanted);
  std::size_t filled = 0;
  while (filled < wanted) {
    const std::optional<std::size_t> n = file->Read(compare_.data() + filled, wanted - filled);
    if (!n) return false;
    if (*n == 0) break;
    filled += *n;
  }
  return SameBytes({compare_.data(), filled}, bytes);
}

bool WindowsDirectory::StillTheSame(const std::u16string& target, const FileIdentity& identity) {
  FileFacts now;
  std::u16string spelling;
  return files_->Look(target, now, spelling) == FileError::kNone && now.identity == identity;
}

bool WindowsDirectory::MayWrite(const std::u16string& target) {
  std::unique_ptr<WindowsFile> file;
  return Retrying([&] { return files_->Open(target, OpenMode::kWrite, 0, file); }) == FileError::kNone;
}

WindowsDirectory::Plan WindowsDirectory::Decide(const std::string& name, std::span<const std::uint8_t> bytes,
                                                const LoadedEntry* source) {
  Plan plan;
  // The loaded entry speaks for the output when it is the same file,
  // unchanged since: its bytes are in memory and must still be what the
  // output holds when it is replaced. Nothing can be gained by writing what
  // the file held when it was loaded.
  const bool same_name = source != nullptr && WindowsNamesEqual(source->name(), name);
  if (same_name && SameBytes(source->bytes(), bytes)) {
    plan.outcome = StoreOutcome::kUnchanged;
    return plan;
  }
  if (ClassifyWindowsName(name) != WindowsName::kOrdinary) return plan;
  plan.target = Windows1252ToUtf16(name);
  std::u16string spelling;
  const FileError look = Retrying([&] { return files_->Look(plan.target, plan.looked, spelling); });
  plan.replacing = look == FileError::kNone;
  if (plan.replacing) {
    if (plan.looked.type != FileFacts::Type::kFile) return plan;
    plan.target = spelling;
  } else if (look != FileError::kMissing) {
    return plan;
  }
  if (same_name && (!plan.replacing || source->identity() != plan.looked.identity)) {
    // Changed or gone since it was loaded: its new content is not what was
    // rewritten, and what is gone is not written back.
    plan.outcome = StoreOutcome::kFailed;
  } else if (!plan.replacing) {
    plan.outcome = StoreOutcome::kCreated;
  } else if (!same_name && plan.looked.identity.size == bytes.size() && HoldsBytes(plan.target, bytes)) {
    plan.outcome = StoreOutcome::kUnchanged;
  } else if (!plan.looked.read_only && MayWrite(plan.target)) {
    plan.outcome = StoreOutcome::kReplaced;
  }
  return plan;
}

StoreOutcome WindowsDirectory::Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                                       const LoadedEntry* source) {
  return Decide(name, bytes, source).outcome;
}

StoreOutcome WindowsDirectory::Store(const std::string& name, std::span<const std::uint8_t> bytes,
                                     const LoadedEntry* source) {
  const Plan plan = Decide(name, bytes, source);
  switch (plan.outcome) {
    case StoreOutcome::kRefused: ReportOpenFailure(name); return plan.outcome;
    case StoreOutcome::kFailed: ReportWriteFailure(name); return plan.outcome;
    case StoreOutcome::kUnchanged: return plan.outcome;
    case StoreOutcome::kCreated:
    case StoreOutcome::kReplaced: break;
  }
  return CarryOut(plan, name, bytes);
}

StoreOutcome WindowsDirectory::CarryOut(const Plan& plan, const std::string& name,
                                        std::span<const std::uint8_t> bytes) {
  std::u16string temp;
  std::unique_ptr<WindowsFile> file;
  FileError created = FileError::kExists;
  for (int attempt = 0; attempt < 100 && created == FileError::kExists; ++attempt) {
    temp = Windows1252ToUtf16(".railfmt-" + std::to_string(files_->ProcessId()) + "-" + std::to_string(temporaries_++) +
                              ".tmp");
    if (Fails(StoreStep::kOpen, name)) break;
    created = Retrying([&] { return files_->Open(temp, OpenMode::kCreateNew, plan.looked.attributes, file); });
  }
  if (created != FileError::kNone) {
    ReportOpenFailure(name);
    return StoreOutcome::kRefused;
  }
  const bool replacing = plan.replacing;
  bool ok = WriteAll(*file, name, bytes);
  // Replaced content reaches the device before the name moves to it.
  if (ok && replacing) ok = !Fails(StoreStep::kSync, name) && file->Flush();
  const bool failed_close = Fails(StoreStep::kClose, name);
  if (!file->Close() || failed_close) ok = false;
  if (ok) ok = !Fails(StoreStep::kRename, name) && (!replacing || StillTheSame(plan.target, plan.looked.identity));
  if (ok) {
    ok = Retrying([&] { return replacing ? files_->Replace(temp, plan.target) : files_->Move(temp, plan.target); }) ==
         FileError::kNone;
  }
  if (!ok) {
    Retrying([&] { return files_->Remove(temp); });
    ReportWriteFailure(name);
    return StoreOutcome::kFailed;
  }
  return replacing ? StoreOutcome::kReplaced : StoreOutcome::kCreated;
}

}  // namespace railfmt
