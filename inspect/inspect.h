// The inspection library: what railinspect and the web page know about a
// file, computed from bytes in memory and from a run of the real batch. It
// uses the library's in-memory parts only (the batch over a directory that
// records instead of writing, the cascade, the kinds' faces, the readers'
// fault records, DiagnosticCapture), includes no operating-system header,
// touches no file system and throws nothing of its own; the fronts load the
// bytes and write the results.
//
//   RunReplay(directory, words).Visit(i)  entry i of a directory: its
//                                         verdict, what railfmt does at its
//                                         turn, and (details) every kind
//                                         tried, explained (prediction.h)
//   Inspect(name, bytes, words)           the same for bytes from no
//                                         directory, as if alone in one
//   TextReport(report, style)             the report for a terminal (text_report.h)
//   FileDocument(report, options)         the report as one JSON document (json_report.h)
//   DrawFile(report)                      the SVG picture of a recognised file (svg_drawing.h)
//   RescueFile(name, bytes, words)        what a damaged file still holds, as a
//                                         proven file of its kind (rescue.h)
//
// All words come from the catalogue in the language of the Words given.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "inspect/json_report.h"
#include "inspect/prediction.h"
#include "inspect/report.h"
#include "inspect/rescue.h"
#include "inspect/svg_drawing.h"
#include "inspect/text_report.h"
#include "inspect/verdict.h"
#include "inspect/words.h"

namespace railfmt::inspect {

// A detailed report of bytes, as railfmt would treat them alone in a
// directory under entry_name. Without predict, the prediction's action is
// kUnknown (the bytes come from no directory; the verdict still tells what
// normalising would change).
Report Inspect(std::string_view entry_name, std::span<const std::uint8_t> bytes, const Words& words,
               bool predict = true);

// Fills the details of a report made from a run's visit: every kind's
// reader runs again on the bytes, with its lines and the object as read;
// the reasons, the ranking and the hex window follow.
void AddDetails(Report& report, std::span<const std::uint8_t> bytes, const Words& words);

}  // namespace railfmt::inspect
