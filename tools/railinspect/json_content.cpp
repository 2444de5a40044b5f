#include "tools/railinspect/json_content.h"

#include "tools/railinspect/content_objects.h"
#include "tools/railinspect/json_archive.h"
#include "tools/railinspect/json_layout.h"

namespace railfmt::inspect {

Json ContentJson(const FileReport& report) {
  if (!report.recognised()) return nullptr;
  switch (report.file->kind()) {
    case EntryKind::kRollingStock: {
      CRollmaterial rolling_stock;
      if (ReadContent(report, rolling_stock)) return RollingStockJson(rolling_stock);
      break;
    }
    case EntryKind::kModel: {
      CModell model;
      if (ReadContent(report, model)) return ModelJson(model);
      break;
    }
    case EntryKind::kConstruction: {
      CKonstruktion drawing;
      if (ReadContent(report, drawing)) return ConstructionJson(drawing);
      break;
    }
    case EntryKind::kLayout: {
      CAnlage layout;
      if (ReadContent(report, layout)) return LayoutJson(layout);
      break;
    }
    case EntryKind::kNone: break;
  }
  return nullptr;
}

}  // namespace railfmt::inspect
