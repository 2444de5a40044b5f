#include "driver/batch_driver.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "driver/diagnostics.h"
#include "driver/interruption.h"
#include "driver/path_names.h"

namespace railfmt {
namespace {

// The changes the bytes show beyond those the kind told: bytes after the
// end of the data it read, or (when the kind told nothing) a rewrite into
// normal form.
void TellRewrite(std::span<const std::uint8_t> input, std::span<const std::uint8_t> output, Normalisation& changes) {
  const bool prefix =
      output.size() <= input.size() && (output.empty() || std::memcmp(input.data(), output.data(), output.size()) == 0);
  if (prefix && input.size() > output.size()) {
    changes.Add(kTrailingBytesDropped, {{"n", static_cast<std::int64_t>(input.size() - output.size())}});
  } else if (!prefix && changes.empty()) {
    changes.Add(kWrittenInNormalForm, {});
  }
}

}  // namespace

std::vector<std::string> EntriesToVisit(Directory& directory) {
  std::vector<std::string> names = directory.ListNames();
  std::erase_if(names, [](const std::string& name) { return IsSkippedName(name); });
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return DirectoryOrderLess(a, b); });
  return names;
}

BatchRun::BatchRun(Directory& directory) : directory_(directory), entries_(EntriesToVisit(directory)) {}

const EntryVisit& BatchRun::Step() {
  visit_ = EntryVisit();
  visit_.name = entries_[next_++];
  // An entry whose objects need more memory than the process may have is
  // left alone, as one that cannot be read; the run goes on.
#if defined(__cpp_exceptions)
  try {
    Visit();
  } catch (const std::bad_alloc&) {
    entry_ = LoadedEntry();
    visit_.file.reset();
    visit_.stored.reset();
  }
#else
  Visit();
#endif
  return visit_;
}

void BatchRun::Visit() {
  visit_.load = directory_.Load(visit_.name, entry_);
  if (visit_.load != LoadStatus::kLoaded) {
    ReportUnreadableEntry(visit_.name);
    return;
  }
  visit_.input_size = entry_.bytes().size();
  visit_.file = RecogniseEntry(visit_.name, entry_.bytes(), &visit_.attempts);
  if (!visit_.file) return;
  RecognisedFile& file = *visit_.file;
  visit_.output_name = file.OutputName();
  if (const std::optional<RefusedOutput> refused = file.RefusedName()) {
    visit_.refused_why = refused->why;
    ReportOpenFailure(refused->name);
    return;
  }
  visit_.changes = file.Normalise();
  const std::vector<std::uint8_t> output = file.Encode();
  visit_.output_size = output.size();
  TellRewrite(entry_.bytes(), output, visit_.changes);
  visit_.stored = directory_.Store(visit_.output_name, output, &entry_);
}

void BatchRun::Finish() { directory_.Finish(); }

void RunBatch(Directory& directory) {
  BatchRun run(directory);
  while (!run.done()) {
    run.Step();
    if (Interrupted()) break;
  }
  run.Finish();
  if (Interrupted()) EndForInterruption();
  FlushMismatchOutput();
}

}  // namespace railfmt
