// The library's object of a recognised file. The cascade keeps the object
// it filled behind RecognisedFile, whose interface only names and writes
// it; railinspect reads the bytes the cascade accepted again with the
// kind's own span reader, with every report discarded, and so holds the
// very object the batch tool would write.
#pragma once

#include "archive/model.h"
#include "construction/construction_drawing.h"
#include "layout/layout.h"
#include "rollingstock/rolling_stock.h"
#include "tools/railinspect/inspection.h"

namespace railfmt::inspect {

// Each fills an empty object and returns true when the report's file is of
// that kind and the reader accepts its bytes again.
bool ReadContent(const FileReport& report, CRollmaterial& rolling_stock);
bool ReadContent(const FileReport& report, CModell& model);
bool ReadContent(const FileReport& report, CKonstruktion& drawing);
bool ReadContent(const FileReport& report, CAnlage& layout);

}  // namespace railfmt::inspect
