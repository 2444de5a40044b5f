#include "tools/railinspect/json_content.h"

namespace railfmt::inspect {

Json ContentJson(const RecognisedFile& file) {
  switch (file.kind()) {
    case EntryKind::kRollingStock:
    case EntryKind::kModel:
    case EntryKind::kConstruction:
    case EntryKind::kLayout:
    case EntryKind::kNone:
      break;
  }
  return nullptr;
}

}  // namespace railfmt::inspect
