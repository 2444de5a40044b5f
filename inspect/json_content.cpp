#include "inspect/json_content.h"

#include "inspect/json_archive.h"
#include "inspect/json_layout.h"

namespace railfmt::inspect {

void WriteContent(const RecognisedFile& file, JsonStream& out) {
  if (const auto* rolling_stock = file.As<CRollmaterial>()) {
    WriteRollingStock(*rolling_stock, out);
  } else if (const auto* model = file.As<CModell>()) {
    WriteModel(*model, out);
  } else if (const auto* drawing = file.As<CKonstruktion>()) {
    WriteConstruction(*drawing, out);
  } else if (const auto* layout = file.As<CAnlage>()) {
    WriteLayout(*layout, out);
  }
}

}  // namespace railfmt::inspect
