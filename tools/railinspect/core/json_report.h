// The JSON document railinspect prints with --json: one object per run,
//
//   {"tool": "railinspect", "version": "...",
//    "files": [ {...}, ... ],
//    "summary": {"files": n, "recognised": r, "not_recognised": n - r}}
//
// and per file
//
//   {"path", "entry_name", "readable", "size", "recognised",
//    "kind", "output_name",              (recognised files only)
//    "attempts": [{"kind", "accepted", "stop_offset",
//                  "messages": [...], "mismatches": [...]}, ...],
//    "content": {...}}                   (recognised files only)
//
// "content" is the object the accepting reader filled, every field under
// its name in the library (see json_content.h).
#pragma once

#include <vector>

#include "tools/railinspect/inspection.h"
#include "tools/railinspect/json_values.h"

namespace railfmt::inspect {

Json FileReportJson(const FileReport& report);

// The run's document around the files' reports.
Json RunJson(std::vector<Json> files, int recognised);

}  // namespace railfmt::inspect
