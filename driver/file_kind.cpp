#include "driver/file_kind.h"

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

}  // namespace railfmt
