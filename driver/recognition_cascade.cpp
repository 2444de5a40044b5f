#include "driver/recognition_cascade.h"

#include "archive/model_file.h"
#include "construction/construction_file.h"
#include "driver/diagnostics.h"
#include "layout/layout_file.h"
#include "rollingstock/rolling_stock_file.h"

namespace railfmt {

const char* EntryKindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::kRollingStock: return "rolling stock";
    case EntryKind::kModel: return "model";
    case EntryKind::kConstruction: return "construction drawing";
    case EntryKind::kLayout: return "layout";
    case EntryKind::kNone: break;
  }
  return "none";
}

const std::vector<const FileKind*>& CascadeKinds() {
  static const std::vector<const FileKind*> kinds = {&kRollingStockKind, &kModelKind, &kConstructionKind, &kLayoutKind};
  return kinds;
}

std::unique_ptr<RecognisedFile> RecogniseEntry(std::string_view entry_name, std::span<const std::uint8_t> bytes) {
  for (const FileKind* kind : CascadeKinds()) {
    if (auto file = kind->try_read(entry_name, bytes, nullptr)) return file;
  }
  return nullptr;
}

void ReportUnreadableEntry(std::string_view entry_name) {
  for (std::size_t i = 0; i < CascadeKinds().size(); ++i) ReportOpenFailure(entry_name);
}

}  // namespace railfmt
