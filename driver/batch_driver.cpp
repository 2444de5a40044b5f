#include "driver/batch_driver.h"

#include <algorithm>
#include <cstdint>

#include "driver/diagnostics.h"
#include "driver/output_file.h"
#include "driver/path_names.h"
#include "driver/platform_files.h"
#include "driver/recognition_cascade.h"

namespace railfmt {

std::vector<std::string> EntriesToVisit(const std::string& directory) {
  std::vector<std::string> names = ListDirectoryNames(directory);
  std::erase_if(names, [](const std::string& name) { return IsSkippedName(name); });
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return DirectoryOrderLess(a, b); });
  return names;
}

void RunBatch() {
  EntryBuffer buffer;
  for (const std::string& name : EntriesToVisit(".")) {
    if (!LoadRegularFile(name, buffer)) {
      ReportUnreadableEntry(name);
      continue;
    }
    // An entry rewritten unchanged in place is compared with these bytes
    // rather than read a second time.
    NoteLoadedFile(name, buffer.bytes(), buffer.status());
    if (auto file = RecogniseEntry(name, buffer.bytes())) file->WriteOutput();
    ForgetLoadedFile();
  }
  FlushMismatchOutput();
}

}  // namespace railfmt
