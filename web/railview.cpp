// The library's C interface for the web page (railview). JavaScript copies
// bytes into memory from rv_alloc and reads results back from rv_data /
// rv_size; nothing here allocates on JavaScript's behalf otherwise.
//
// A run is one folder of the dropped set, treated as railfmt treats a
// directory: its files go into a MemoryDirectory (rv_run_add), rv_run_start
// takes the snapshot, rv_run_visit(k) reports on row k as railinspect does
// (the entries railfmt visits, in its order, with what it does at each
// turn; then the names it skips), and rv_run_finish runs the batch itself
// over the directory, so that what it wrote (rv_run_written_*) is exactly
// what railfmt writes. The JSON document and picture of a row are
// made when asked for, from the report kept of it.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/memory_directory.h"
#include "driver/path_names.h"
#include "inspect/inspect.h"
#include "web/zip_writer.h"

#define RV_API extern "C" __attribute__((used, visibility("default")))

namespace {

using railfmt::inspect::Report;

// Lines a reader says while the page works go nowhere (railinspect does the
// same); the batch's mismatch lines are taken in where railfmt prints them.
class QuietReaders {
 public:
  explicit QuietReaders(std::string* mismatches = nullptr)
      : sink_(railfmt::SetDiagnosticSink([](std::string_view) {})),
        writer_(railfmt::SetMismatchWriter([mismatches](std::string_view line) {
          if (mismatches != nullptr) mismatches->append(line);
        })) {}
  ~QuietReaders() {
    railfmt::SetDiagnosticSink(sink_);
    railfmt::SetMismatchWriter(writer_);
  }
  QuietReaders(const QuietReaders&) = delete;
  QuietReaders& operator=(const QuietReaders&) = delete;

 private:
  railfmt::DiagnosticSink sink_;
  railfmt::MismatchWriter writer_;
};

struct Run {
  railfmt::inspect::Words words;
  railfmt::MemoryDirectory directory;
  std::optional<railfmt::inspect::RunReplay> replay;
  std::vector<std::string> skipped;   // names railfmt passes over, in the order added
  std::vector<Report> reports;        // by row, as far as visited
  std::string mismatches;             // what railfmt prints
  std::string text;                   // the last text made for JavaScript
  std::span<const std::uint8_t> out;  // the last result handed to JavaScript
};

std::string_view Text(const char* data, std::size_t size) { return {data, size}; }

std::size_t Hand(Run& run, std::span<const std::uint8_t> bytes) {
  run.out = bytes;
  return bytes.size();
}
std::size_t Hand(Run& run, std::string text) {
  run.text = std::move(text);
  return Hand(run, {reinterpret_cast<const std::uint8_t*>(run.text.data()), run.text.size()});
}

}  // namespace

RV_API void* rv_alloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }
RV_API void rv_free(void* p) { std::free(p); }

RV_API Run* rv_run_new() { return new (std::nothrow) Run; }
RV_API void rv_run_free(Run* run) { delete run; }
RV_API const std::uint8_t* rv_data(const Run* run) { return run->out.data(); }
RV_API std::size_t rv_size(const Run* run) { return run->out.size(); }

RV_API void rv_run_add(Run* run, const char* name, std::size_t name_size, const std::uint8_t* data, std::size_t size) {
  run->directory.Add(std::string(Text(name, name_size)), {data, size});
}

// The number of rows: the entries railfmt visits, then the names it skips.
RV_API std::size_t rv_run_start(Run* run) {
  run->replay.emplace(run->directory, run->words);
  for (const std::string& name : run->directory.ListNames()) {
    if (railfmt::IsSkippedName(name)) run->skipped.push_back(name);
  }
  return run->replay->entries().size() + run->skipped.size();
}

// Row k's report as one line of JSON (railinspect's document without the
// content); rows are visited in order.
RV_API std::size_t rv_run_visit(Run* run, std::size_t k) {
  const QuietReaders quiet;
  const std::size_t visited = run->replay->entries().size();
  if (k < visited) {
    run->reports.push_back(run->replay->Visit(k));
  } else {
    const std::string& name = run->skipped[k - visited];
    run->reports.push_back(railfmt::inspect::Inspect(name, *run->directory.Find(name), run->words));
  }
  return Hand(*run, railfmt::inspect::JsonText(railfmt::inspect::ReportJson(run->reports.back(), run->words), -1));
}

// Runs railfmt over the set; returns how many files it wrote.
RV_API std::size_t rv_run_finish(Run* run) {
  run->replay.reset();
  const QuietReaders quiet(&run->mismatches);
  railfmt::RunBatch(run->directory);
  return run->directory.written().size();
}

RV_API std::size_t rv_run_written_name(Run* run, std::size_t i) {
  return Hand(*run, std::string(run->directory.written()[i]));
}
RV_API std::size_t rv_run_written_bytes(Run* run, std::size_t i) {
  return Hand(*run, *run->directory.Find(run->directory.written()[i]));
}
RV_API std::size_t rv_run_mismatches(Run* run) { return Hand(*run, run->mismatches); }

// Row k in full: its JSON document with the content, pretty-printed.
RV_API std::size_t rv_run_document(Run* run, std::size_t k) {
  std::string text;
  railfmt::inspect::WriteFileDocument(
      run->reports[k], {}, run->words, [&text](std::string_view piece) { text.append(piece); }, 2);
  return Hand(*run, std::move(text));
}
RV_API std::size_t rv_run_picture(Run* run, std::size_t k) {
  return Hand(*run, run->reports[k].file ? railfmt::inspect::DrawFile(run->reports[k]) : std::string());
}

// "Download all": a stored zip of the files given, made in run's result.
RV_API railfmt::web::ZipWriter* rv_zip_new() { return new (std::nothrow) railfmt::web::ZipWriter; }
RV_API int rv_zip_add(railfmt::web::ZipWriter* zip, const char* name, std::size_t name_size, const std::uint8_t* data,
                      std::size_t size) {
  return zip->Add(Text(name, name_size), {data, size}) ? 1 : 0;
}
RV_API std::size_t rv_zip_finish(railfmt::web::ZipWriter* zip, Run* result) {
  const std::vector<std::uint8_t> bytes = zip->Finish();
  delete zip;
  return Hand(*result, std::string(bytes.begin(), bytes.end()));
}
