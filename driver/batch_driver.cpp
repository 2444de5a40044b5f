#include "driver/batch_driver.h"

#include <algorithm>
#include <new>

#include "driver/diagnostics.h"
#include "driver/interruption.h"
#include "driver/path_names.h"

namespace railfmt {

std::vector<std::string> EntriesToVisit(Directory& directory) {
  std::vector<std::string> names = directory.ListNames();
  std::erase_if(names, [](const std::string& name) { return IsSkippedName(name); });
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return DirectoryOrderLess(a, b); });
  return names;
}

StoreOutcome WriteRecognised(Directory& directory, RecognisedFile& file, const LoadedEntry* source) {
  if (const std::optional<std::string> refused = file.RefusedName()) {
    ReportOpenFailure(*refused);
    return StoreOutcome::kRefused;
  }
  file.Normalise();
  return directory.Store(file.OutputName(), file.Encode(), source);
}

namespace {

void VisitEntry(Directory& directory, const std::string& name, LoadedEntry& entry) {
  if (directory.Load(name, entry) != LoadStatus::kLoaded) {
    ReportUnreadableEntry(name);
    return;
  }
  if (std::optional<RecognisedFile> file = RecogniseEntry(name, entry.bytes())) {
    WriteRecognised(directory, *file, &entry);
  }
}

}  // namespace

void RunBatch(Directory& directory) {
  LoadedEntry entry;
  for (const std::string& name : EntriesToVisit(directory)) {
    // An entry whose objects need more memory than the process may have is
    // left alone, as one that cannot be read; the run goes on.
#if defined(__cpp_exceptions)
    try {
      VisitEntry(directory, name, entry);
    } catch (const std::bad_alloc&) {
      entry = LoadedEntry();
    }
#else
    VisitEntry(directory, name, entry);
#endif
    if (Interrupted()) break;
  }
  directory.Finish();
  if (Interrupted()) EndForInterruption();
  FlushMismatchOutput();
}

}  // namespace railfmt
