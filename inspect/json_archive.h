// JSON of the object-archive files: model parts with their point, primitive
// and format records, models, construction drawings with their line
// records, and rolling stock with its info block. Every field under its
// library name. Records are small trees; the objects that hold lists of
// them are written record by record into a stream.
#pragma once

#include "archive/model.h"
#include "archive/model_part.h"
#include "construction/construction_drawing.h"
#include "rollingstock/rolling_stock.h"
#include "inspect/json_stream.h"
#include "inspect/json_values.h"

namespace railfmt::inspect {

Json PointJson(const CPunkt& point);
Json FormatJson(const CFormat& format);
Json PrimitiveJson(const CPrimitiv& primitive);
Json LineJson(const CLinie& line);
Json RollInfoJson(const CRollInfo& info);

// The members of a part, into the object open in out.
void WritePartMembers(const CModellTeil& part, JsonStream& out);
void WriteModel(const CModell& model, JsonStream& out);
void WriteConstruction(const CKonstruktion& drawing, JsonStream& out);
void WriteRollingStock(const CRollmaterial& rolling_stock, JsonStream& out);

}  // namespace railfmt::inspect
