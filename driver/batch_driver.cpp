#include "driver/batch_driver.h"

#include <algorithm>

#include "driver/diagnostics.h"
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

void RunBatch(Directory& directory) {
  LoadedEntry entry;
  for (const std::string& name : EntriesToVisit(directory)) {
    if (directory.Load(name, entry) != LoadStatus::kLoaded) {
      ReportUnreadableEntry(name);
      continue;
    }
    if (std::optional<RecognisedFile> file = RecogniseEntry(name, entry.bytes())) {
      WriteRecognised(directory, *file, &entry);
    }
  }
  directory.Finish();
  FlushMismatchOutput();
}

}  // namespace railfmt
