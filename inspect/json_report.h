// The report of one file as JSON:
//
//   {"path", "entry_name", "readable", "error" (when not readable), "size",
//    "recognised", "kind" and "output_name" (recognised files),
//    "railfmt": {"action", "text", "output_name", "input_size", "output_size",
//                "replaced_size", "changes": [...], "replaced_before_by",
//                "reason"}                     (what railfmt would do),
//    "most_likely": kind                       (rejected files),
//    "attempts": [{"kind", "accepted", "stop_offset", "reason", "field",
//                  "messages": [...], "mismatches": [...],
//                  "said": [{"text", "mismatch", "explanation"}, ...]}],
//    "hex_window": {"begin", "stop", "mark", "bytes"}   (rejected files),
//    "content": {...}}                          (recognised files)
//
// "said" holds every line a reader produced in order, with its plain
// explanation; "messages" and "mismatches" the same lines by channel.
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

namespace railfmt::inspect {

struct JsonOptions {
  bool content = true;  // include "content"
};

// The document without "content": a small tree.
Json ReportJson(const Report& report);

// The whole document written through sink, the content record by record;
// indent and depth as JsonStream takes them.
void WriteFileDocument(const Report& report, const JsonOptions& options, const JsonStream::Sink& sink, int indent = -1,
                       int depth = 0);

// The text of a document: indent as nlohmann's dump takes it (-1: one
// line); a string that is not UTF-8 is shown with U+FFFD, never an error.
std::string JsonText(const Json& document, int indent);

// The run's document in pieces: its head up to the opening of "files"; one
// file's document as an element of "files", pretty-printed (first: no
// comma before it); the tail with the summary.
std::string RunDocumentHead();
void WriteRunDocumentFile(const Report& report, const JsonOptions& options, bool first, const JsonStream::Sink& sink);
std::string RunDocumentTail(std::size_t files, std::size_t recognised, std::size_t would_write);

}  // namespace railfmt::inspect
