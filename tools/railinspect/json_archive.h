// JSON of the archive objects: model parts with their point, primitive and
// format records, and whole models. Every field under its library name.
#pragma once

#include "archive/model.h"
#include "archive/model_part.h"
#include "tools/railinspect/json_values.h"

namespace railfmt::inspect {

Json PointJson(const CPunkt& point);
Json FormatJson(const CFormat& format);
Json PrimitiveJson(const CPrimitiv& primitive);
Json PartJson(const CModellTeil& part);
Json ModelJson(const CModell& model);

}  // namespace railfmt::inspect
