// The report of one file as JSON:
//
//   {"path", "entry_name", "readable", "error" (when not readable), "size",
//    "recognised", "kind" and "output_name" (recognised files),
//    "verdict": {"name", "text", "next_step", "warnings": [...]},
//    "railfmt": {"action", "text", "output_name", "input_size", "output_size",
//                "changes": [...], "change_details": [...],
//                "change_list": [{"change": id, fields...}],
//                "replaced_before_by", "reason"}   (what railfmt would do),
//    "most_likely": kind, "likely_why", "ranking": [kinds]  (rejected files),
//    "attempts": [{"kind", "accepted", "stop_offset", "reason",
//                  "field": {"name", "places": [{"record", "index",
//                            "number"}], "cause", "begin", "end", "found",
//                            "expected"},
//                  "messages": [...], "mismatches": [...],
//                  "said": [{"text", "mismatch"}, ...]}],
//    "hex_window": {"begin", "stop", "mark", "bytes"}   (rejected files),
//    "content": {...}}                          (recognised files)
//
// Kinds are identifiers: rolling_stock, model, construction_drawing,
// layout. "said" holds every line a reader produced in order, as it
// produced it; "messages" and "mismatches" the same lines by channel. The
// texts (verdict, reasons, changes) are in the report's language.
// "content" is the object the accepting reader filled (json_content.h).
//
// A run prints either one such document per line (JSON Lines), or one
// document {"tool", "version", "files": [...], "summary": {...}} whose files
// are written out as each is done. Neither ever holds more than one file's
// document, nor more of a content than one record.
#pragma once

#include <string>

#include "inspect/json_stream.h"
#include "inspect/json_values.h"
#include "inspect/report.h"
#include "inspect/words.h"

namespace railfmt::inspect {

struct JsonOptions {
  bool content = true;  // include "content"
};

// The document without "content": a small tree.
Json ReportJson(const Report& report, const Words& words);

// A kind as an identifier: "rolling_stock", "model", ...
std::string KindIdentifier(EntryKind kind);

// The field a reader stopped at: {"name", "places": [{"record", "index",
// "number"}], "cause", "begin", "end", "found", "expected"}.
Json FieldJson(const FieldFault& fault);

// The whole document written through sink, the content record by record;
// indent and depth as JsonStream takes them.
void WriteFileDocument(const Report& report, const JsonOptions& options, const Words& words,
                       const JsonStream::Sink& sink, int indent = -1, int depth = 0);

// The text of a document: indent as nlohmann's dump takes it (-1: one
// line); a string that is not UTF-8 is shown with U+FFFD, never an error.
std::string JsonText(const Json& document, int indent);

// The run's document in pieces: its head up to the opening of "files"; one
// file's document as an element of "files", pretty-printed (first: no
// comma before it); the tail with the summary.
std::string RunDocumentHead();
void WriteRunDocumentFile(const Report& report, const JsonOptions& options, const Words& words, bool first,
                          const JsonStream::Sink& sink);
// The run's summary: how many files, how many of each verdict, warnings.
struct RunSummary {
  std::size_t files = 0;
  std::size_t recognised = 0;
  std::size_t would_write = 0;
  std::size_t warnings = 0;
  std::size_t by_verdict[6] = {};

  void Add(const Report& report);
};
std::string RunDocumentTail(const RunSummary& summary);

}  // namespace railfmt::inspect
