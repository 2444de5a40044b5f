// Test support: builds library objects back from the "content" railinspect
// prints, written independently of the tool's serialisers. A test compares
// such an object with the one the library reads from the same file; a
// missing member throws, which fails the test.
#pragma once

#include <nlohmann/json.hpp>

#include "archive/model.h"
#include "construction/construction_drawing.h"
#include "layout/layout.h"
#include "rollingstock/rolling_stock.h"

namespace railfmt::testing {

CModell ModelFromJson(const nlohmann::json& json);
CKonstruktion ConstructionFromJson(const nlohmann::json& json);
CRollmaterial RollingStockFromJson(const nlohmann::json& json);
CAnlage LayoutFromJson(const nlohmann::json& json);

}  // namespace railfmt::testing
