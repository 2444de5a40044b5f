// JSON of the object-archive files: model parts with their point, primitive
// and format records, models, construction drawings with their line
// records, and rolling stock with its info block. Every field under its
// library name.
#pragma once

#include "archive/model.h"
#include "archive/model_part.h"
#include "construction/construction_drawing.h"
#include "rollingstock/rolling_stock.h"
#include "tools/railinspect/json_values.h"

namespace railfmt::inspect {

Json PointJson(const CPunkt& point);
Json FormatJson(const CFormat& format);
Json PrimitiveJson(const CPrimitiv& primitive);
Json PartJson(const CModellTeil& part);
Json ModelJson(const CModell& model);
Json LineJson(const CLinie& line);
Json ConstructionJson(const CKonstruktion& drawing);
Json RollInfoJson(const CRollInfo& info);
Json RollingStockJson(const CRollmaterial& rolling_stock);

}  // namespace railfmt::inspect
