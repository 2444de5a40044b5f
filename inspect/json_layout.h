// JSON of a layout: its tracks with their ends, placed models, vehicles,
// value blocks and properties. Every field under its library name.
#pragma once

#include "layout/layout.h"
#include "inspect/json_stream.h"
#include "inspect/json_values.h"

namespace railfmt::inspect {

Json TrackJson(const CGleis& track);
Json PlacedModelJson(const CAnlagenModell& model);
Json VehicleJson(const CAnlagenRollmaterial& vehicle);
// The layout, record by record.
void WriteLayout(const CAnlage& layout, JsonStream& out);

}  // namespace railfmt::inspect
