// The inspection library: what railinspect and the web page know about a file,
// computed from bytes in memory. It uses the library's in-memory parts only
// (the recognition cascade, the kinds' faces, DiagnosticCapture), includes
// no operating-system header, touches no file system and throws nothing of
// its own; the fronts load the bytes and write the results.
//
//   Report Inspect(name, bytes)         every kind tried, explained, ranked,
//                                       and what railfmt would do with the
//                                       file were it alone in its directory
//   RunReplay(directory).Visit(i)       the same for entry i of a directory,
//                                       with what railfmt does at its turn
//                                       in a run over the whole directory
//                                       (prediction.h)
//   TextReport(report, style)           the report for a terminal (text_report.h)
//   FileDocument(report, options)       the report as one JSON document (json_report.h)
//   DrawFile(report)                    the SVG picture of a recognised file (svg_drawing.h)
//
// A Report (report.h) holds the attempts in cascade order with every line
// each reader said and its explanation, the ranking of the kinds for a
// rejected file, the hex window around the most likely stop, the object the
// accepting reader filled, and the prediction.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "inspect/json_report.h"
#include "inspect/prediction.h"
#include "inspect/report.h"
#include "inspect/svg_drawing.h"
#include "inspect/text_report.h"

namespace railfmt::inspect {

// Runs the cascade on the bytes as railfmt does, entry_name standing for
// the file in the readers' messages and for its output name, and explains
// every attempt. With predict, the prediction is PredictAlone's; without,
// a recognised file's action is kUnknown (a rejected file's is kNone:
// railfmt leaves it alone wherever it stands).
Report Inspect(std::string_view entry_name, std::span<const std::uint8_t> bytes, bool predict = true);

// The kind a name's extension names (.rol, .mod, .kon, .anl, any letter
// case); kNone for any other.
EntryKind NamedKind(std::string_view entry_name);

}  // namespace railfmt::inspect
