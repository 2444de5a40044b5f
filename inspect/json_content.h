// The content of a recognised file as JSON: the object its reader filled,
// every field under its name in the library (counts next to their lists,
// tags, flags), floats and texts spelled as json_values.h says, written
// record by record.
#pragma once

#include "driver/recognition_cascade.h"
#include "inspect/json_stream.h"

namespace railfmt::inspect {

void WriteContent(const RecognisedFile& file, JsonStream& out);

}  // namespace railfmt::inspect
