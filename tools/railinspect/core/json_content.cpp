#include "tools/railinspect/json_content.h"

#include "tools/railinspect/json_archive.h"
#include "tools/railinspect/json_layout.h"

namespace railfmt::inspect {

Json ContentJson(const FileReport& report) {
  if (!report.recognised()) return nullptr;
  const RecognisedFile& file = *report.file;
  if (const auto* rolling_stock = file.As<CRollmaterial>()) return RollingStockJson(*rolling_stock);
  if (const auto* model = file.As<CModell>()) return ModelJson(*model);
  if (const auto* drawing = file.As<CKonstruktion>()) return ConstructionJson(*drawing);
  if (const auto* layout = file.As<CAnlage>()) return LayoutJson(*layout);
  return nullptr;
}

}  // namespace railfmt::inspect
