// The content of a recognised file as JSON: the object its reader filled,
// every field under its name in the library (counts next to their lists,
// tags, flags), floats and texts spelled as json_values.h says. null for a
// file that was not recognised.
#pragma once

#include "tools/railinspect/inspection.h"
#include "tools/railinspect/json_values.h"

namespace railfmt::inspect {

Json ContentJson(const FileReport& report);

}  // namespace railfmt::inspect
