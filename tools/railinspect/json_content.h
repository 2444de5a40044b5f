// The content of a recognised file as JSON: the object its reader filled,
// every field under its name in the library (counts next to their lists,
// tags, flags), floats and texts spelled as json_values.h says.
#pragma once

#include "tools/railinspect/json_values.h"

#include "driver/file_kind.h"

namespace railfmt::inspect {

Json ContentJson(const RecognisedFile& file);

}  // namespace railfmt::inspect
