// The library's C interface for the web page (railview). JavaScript copies
// bytes into memory from rv_alloc and reads each result back from rv_data /
// rv_size (the last result made, kept until the next call that makes one).
// Languages are numbered: 0 English, 1 German.
//
// A run is one folder, treated as railfmt treats a directory: its files and
// subfolders go into a PageDirectory (rv_run_add_file, rv_run_add_folder;
// names in UTF-8), the files' bytes as they come (rv_run_fill, in the order
// rv_run_read_order gives). rv_run_start takes the snapshot; rv_run_ready
// runs the real batch over the folder one entry at a time, as far as the
// bytes that came allow, and rv_run_row(k) gives row k (the files railfmt
// visits, in its order, then the files it skips) with the library's verdict
// on it and what railfmt did at its turn. Once every row is given, what the
// run left different (rv_run_change*) is exactly what railfmt writes there.
// One run gives the rows and the files. A row's details, picture and rescue
// are made when asked for, from the bytes the file had at its turn.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/path_names.h"
#include "inspect/inspect.h"
#include "inspect/rescue.h"
#include "inspect/words.h"
#include "web/page_directory.h"
#include "web/zip_writer.h"

#define RV_API extern "C" __attribute__((used, visibility("default")))

namespace {

using railfmt::inspect::Json;
using railfmt::inspect::Language;
using railfmt::inspect::Report;
using railfmt::inspect::Words;
using railfmt::web::ShownName;

// The readers' messages go nowhere while the page works (railinspect does
// the same); the batch's mismatch lines are taken in where railfmt prints them.
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

// One row: the report of the entry's visit, without details.
struct Row {
  Report report;
  // The bytes the entry held at its turn, when an earlier entry's output
  // had been written over it; otherwise they are the bytes it was added with.
  std::optional<std::vector<std::uint8_t>> written_over;
};

struct Run {
  railfmt::web::PageDirectory directory;
  std::vector<std::string> file_names;  // by the number rv_run_add_file gave
  std::size_t rolling_stock_to_come = 0;  // files named *.rol whose bytes are still to come
  Words words;
  std::optional<railfmt::BatchRun> batch;
  std::size_t files = 0;             // entries of the run that are files, not subfolders
  std::vector<std::string> skipped;  // files railfmt passes over, in the order added
  std::vector<Row> rows;             // as far as the run got
  bool finished = false;             // the batch is done and its directory finished
  std::vector<railfmt::web::PageDirectory::Change> changes;
  std::string mismatches;  // what railfmt prints
  // The report of the row last asked about in detail.
  std::optional<std::size_t> detailed;
  Report report;
  // The bytes of the last rescue that gave any.
  std::vector<std::uint8_t> rescued;
};

// The last result handed to JavaScript.
std::vector<std::uint8_t> result;

std::size_t HandBytes(std::span<const std::uint8_t> bytes) {
  result.assign(bytes.begin(), bytes.end());
  return result.size();
}
std::size_t HandText(std::string_view text) {
  return HandBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}
std::size_t HandJson(const Json& json) { return HandText(railfmt::inspect::JsonText(json, -1)); }

std::string_view Text(const char* data, std::size_t size) { return {data, size}; }
Language LanguageOf(int code) { return code == 1 ? Language::kGerman : Language::kEnglish; }

// What the table shows of a row: names as people read them, the verdict in
// its line, whether it needs a look, what railfmt writes.
Json RowJson(const Report& report, const Words& words) {
  Json out = Json::object();
  out["name"] = ShownName(report.entry_name);
  out["verdict"] = railfmt::inspect::VerdictName(report.verdict);
  out["text"] = report.verdict_text;
  if (!report.next_step.empty()) out["next"] = report.next_step;
  out["attention"] = report.NeedsAttention();
  out["warnings"] = report.warnings;
  if (report.recognised()) out["kind"] = railfmt::inspect::KindIdentifier(report.kind);
  if (const railfmt::inspect::KindAttempt* likely = report.MostLikely()) {
    out["likely"] = railfmt::inspect::KindIdentifier(likely->kind);
  }
  const railfmt::inspect::Prediction& p = report.prediction;
  out["action"] = railfmt::inspect::ActionName(p.action);
  if (!p.output_name.empty()) out["output"] = ShownName(p.output_name);
  out["changes"] = railfmt::inspect::ChangesCounted(p.changes, words);
  return out;
}

// The bytes row k held at its turn.
std::span<const std::uint8_t> BytesAtTurn(const Run& run, std::size_t k) {
  const Row& row = run.rows[k];
  if (row.written_over) return *row.written_over;
  const std::vector<std::uint8_t>* bytes = run.directory.Original(row.report.entry_name);
  return bytes != nullptr ? std::span<const std::uint8_t>(*bytes) : std::span<const std::uint8_t>();
}

void Detail(Report& report, std::span<const std::uint8_t> bytes, const Words& words) {
  railfmt::inspect::AddDetails(report, bytes, words);
  railfmt::inspect::JudgeReport(report, bytes, words);
}

bool IsRollingStockName(std::string_view name) {
  const std::string extension = std::string(".") + railfmt::RollingStockKind::kExtension;
  return name.ends_with(extension);
}

// The names a visit of the entry may write or compare with: the output
// names its own name gives (the kinds other than rolling stock name it so).
std::vector<std::string> SiblingOutputs(const std::string& entry) {
  std::vector<std::string> names;
  for (const char* extension : railfmt::Kinds::kExtensions) {
    if (std::string_view(extension) != railfmt::RollingStockKind::kExtension) {
      names.push_back(railfmt::BaseName(entry) + "." + extension);
    }
  }
  return names;
}

// Whether the next row can be made with the bytes that came: the entry's
// own, those of the outputs its name gives, and those of every file a
// rolling stock could be written over (any *.rol: the stock names itself).
bool NextRowReady(const Run& run) {
  if (run.batch->done()) {
    const std::size_t skipped = run.rows.size() - run.files;
    return skipped < run.skipped.size() && !run.directory.IsPending(run.skipped[skipped]);
  }
  const std::string& entry = run.batch->entries()[run.batch->next()];
  if (run.directory.IsFolder(entry)) return true;
  if (run.directory.IsPending(entry) || run.rolling_stock_to_come > 0) return false;
  const std::vector<std::string> outputs = SiblingOutputs(entry);
  return std::none_of(outputs.begin(), outputs.end(), [&](const std::string& n) { return run.directory.IsPending(n); });
}

// The next row of the run: the batch's next visit of a file, or, once the
// batch is done, the next file it skips.
void NextRow(Run& run) {
  const QuietReaders quiet(&run.mismatches);
  while (!run.batch->done()) {
    if (!NextRowReady(run)) return;
    const railfmt::EntryVisit& visit = run.batch->Step();
    if (run.directory.IsFolder(visit.name)) continue;
    const std::span<const std::uint8_t> bytes = run.batch->loaded().bytes();
    const std::string& written_by = run.directory.LastLoadWrittenBy();
    Row& row = run.rows.emplace_back();
    row.report = railfmt::inspect::ReportOfVisit(visit, bytes, written_by, run.words);
    // A file that needs a look is judged with every detail at once: its
    // faults are then worded from the object as read, as in its details.
    if (row.report.readable() && row.report.NeedsAttention()) Detail(row.report, bytes, run.words);
    if (!written_by.empty()) row.written_over.emplace(bytes.begin(), bytes.end());
    return;
  }
  if (!run.finished) {
    run.batch->Finish();
    run.finished = true;
  }
  if (!NextRowReady(run)) return;
  Row& row = run.rows.emplace_back();
  row.report.path = row.report.entry_name = run.skipped[run.rows.size() - 1 - run.files];
  row.report.prediction.action = railfmt::inspect::Action::kSkip;
  railfmt::inspect::JudgeReport(row.report, BytesAtTurn(run, run.rows.size() - 1), run.words);
}

// The report of row k with every detail, made again from its bytes.
const Report& DetailedReport(Run& run, std::size_t k) {
  if (run.detailed != k) {
    const QuietReaders quiet;
    run.report = run.rows[k].report;
    if (run.report.readable() && !run.report.detailed) Detail(run.report, BytesAtTurn(run, k), run.words);
    run.detailed = k;
  }
  return run.report;
}

Json LegendJson(const railfmt::inspect::Legend& legend) {
  Json items = Json::array();
  for (const railfmt::inspect::LegendItem& item : legend.items) {
    items.push_back({{"symbol", railfmt::inspect::LegendSymbolDocument(item.symbol)}, {"text", item.text}});
  }
  Json carried = Json::array();
  for (const railfmt::inspect::CarriedList& list : legend.carried) {
    carried.push_back({{"heading", list.heading}, {"columns", list.columns}, {"rows", list.rows}});
  }
  return {{"heading", legend.heading}, {"items", std::move(items)}, {"carried", std::move(carried)}};
}

}  // namespace

RV_API void* rv_alloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }
RV_API void rv_free(void* p) { std::free(p); }
RV_API const std::uint8_t* rv_data() { return result.data(); }
RV_API std::size_t rv_size() { return result.size(); }

// The catalogue of a language as JSON: [{"id", "plural", "forms": [...]}],
// the page's words and the library's alike.
RV_API std::size_t rv_catalogue(int language) {
  Json entries = Json::array();
  for (const railfmt::inspect::CatalogueEntry& e : railfmt::inspect::CatalogueOf(LanguageOf(language))) {
    if (!e.context.empty()) continue;
    entries.push_back({{"id", e.id}, {"plural", e.id_plural}, {"forms", e.forms}});
  }
  return HandJson(entries);
}

RV_API Run* rv_run_new() { return new (std::nothrow) Run; }
RV_API void rv_run_free(Run* run) { delete run; }

// A file whose bytes come later; returns its number.
RV_API std::size_t rv_run_add_file(Run* run, const char* name, std::size_t name_size) {
  std::string listed = railfmt::web::ListedName(Text(name, name_size));
  if (!run->directory.IsPending(listed) && run->directory.Find(listed) == nullptr && IsRollingStockName(listed)) {
    ++run->rolling_stock_to_come;
  }
  run->directory.AddPendingFile(listed);
  run->file_names.push_back(std::move(listed));
  return run->file_names.size() - 1;
}
RV_API void rv_run_fill(Run* run, std::size_t file, const std::uint8_t* data, std::size_t size) {
  const std::string& name = run->file_names[file];
  if (!run->directory.IsPending(name)) return;
  run->directory.Fill(name, {data, size});
  if (IsRollingStockName(name)) --run->rolling_stock_to_come;
}
RV_API void rv_run_add_folder(Run* run, const char* name, std::size_t name_size) {
  run->directory.AddFolder(railfmt::web::ListedName(Text(name, name_size)));
}

// Starts the run in a language, the folder as it was read; returns the
// number of rows: the files railfmt visits, then the files it skips.
// Subfolders are entries railfmt visits too, but no rows: the page shows
// each folder's files as a run of its own. Started again (in another
// language), the run gives the same rows in other words.
RV_API std::size_t rv_run_start(Run* run, int language) {
  run->directory.Restore();
  run->words = Words(LanguageOf(language));
  run->batch.emplace(run->directory);
  run->rows.clear();
  run->changes.clear();
  run->mismatches.clear();
  run->skipped.clear();
  run->detailed.reset();
  run->finished = false;
  run->files = 0;
  for (const std::string& name : run->batch->entries()) run->files += run->directory.IsFolder(name) ? 0 : 1;
  for (const std::string& name : run->directory.ListNames()) {
    if (railfmt::IsSkippedName(name) && !run->directory.IsFolder(name)) run->skipped.push_back(name);
  }
  return run->files + run->skipped.size();
}

// The order in which the files' bytes let the run go on soonest, as JSON
// (their numbers): every *.rol first, then the entries as railfmt visits
// them, each followed by the outputs its name gives, then the files it skips.
RV_API std::size_t rv_run_read_order(Run* run) {
  std::unordered_map<std::string, std::size_t> numbers;
  for (std::size_t i = 0; i < run->file_names.size(); ++i) numbers.emplace(run->file_names[i], i);
  Json order = Json::array();
  std::unordered_set<std::size_t> placed;
  const auto place = [&](const std::string& name) {
    const auto it = numbers.find(name);
    if (it != numbers.end() && placed.insert(it->second).second) order.push_back(it->second);
  };
  for (const std::string& name : run->batch->entries()) {
    if (IsRollingStockName(name)) place(name);
  }
  for (const std::string& name : run->batch->entries()) {
    place(name);
    for (const std::string& output : SiblingOutputs(name)) place(output);
  }
  for (const std::string& name : run->file_names) place(name);
  return HandJson(order);
}

// Runs the batch as far as the bytes that came allow; returns how many rows
// there are now.
RV_API std::size_t rv_run_ready(Run* run) {
  const std::size_t total = run->files + run->skipped.size();
  while (run->rows.size() < total) {
    const std::size_t before = run->rows.size();
    NextRow(*run);
    if (run->rows.size() == before) break;
  }
  return run->rows.size();
}

// Whether the run reached a file before its bytes came: it must then be
// started again once they all have.
RV_API int rv_run_stale(Run* run) { return run->directory.ReachedPending() ? 1 : 0; }

// Row k as one line of JSON: {"name", "verdict", "text", "next",
// "attention", "warnings", "kind" or "likely", "action", "output",
// "changes"}; null past the rows there are.
RV_API std::size_t rv_run_row(Run* run, std::size_t k) {
  if (k >= run->rows.size()) return HandText("null");
  return HandJson(RowJson(run->rows[k].report, run->words));
}

// Once every row is given: how many files the run left different from
// what was read (new ones and changed ones).
RV_API std::size_t rv_run_finish(Run* run) {
  run->changes = run->directory.Changes();
  return run->changes.size();
}

// Change i: {"name" (UTF-8), "created"}; its bytes.
RV_API std::size_t rv_run_change(Run* run, std::size_t i) {
  const railfmt::web::PageDirectory::Change& change = run->changes[i];
  return HandJson(Json{{"name", ShownName(change.name)}, {"created", change.created}});
}
RV_API std::size_t rv_run_change_bytes(Run* run, std::size_t i) {
  return HandBytes(*run->directory.Find(run->changes[i].name));
}
RV_API std::size_t rv_run_mismatches(Run* run) { return HandText(run->mismatches); }

// Row k in full: railinspect's JSON document of it, with the content.
RV_API std::size_t rv_run_document(Run* run, std::size_t k) {
  std::string text;
  railfmt::inspect::WriteFileDocument(
      DetailedReport(*run, k), {}, run->words, [&text](std::string_view piece) { text.append(piece); }, 2);
  return HandText(text);
}

// Row k's picture, width by height pixels, with its legend left out:
// {"svg", "legend": {"heading", "items": [{"symbol" (an SVG document),
// "text"}], "carried": [{"heading", "columns", "rows"}]}}; null for a file
// no kind accepts.
RV_API std::size_t rv_run_picture(Run* run, std::size_t k, double width, double height) {
  const Report& report = DetailedReport(*run, k);
  if (!report.file) return HandText("null");
  const railfmt::inspect::Picture picture = railfmt::inspect::DrawPicture(
      report, {.language = run->words.language(), .width = width, .height = height, .legend_inside = false});
  return HandJson(Json{{"svg", picture.svg}, {"legend", LegendJson(picture.legend)}});
}

// Row k rescued, as railinspect --rescue rescues the file: its JSON
// (inspect/rescue.h), names as people read them; the rescued bytes, when
// there are any, from rv_run_rescued_bytes until the next rescue; null past
// the rows there are.
RV_API std::size_t rv_run_rescue(Run* run, std::size_t k) {
  if (k >= run->rows.size()) return HandText("null");
  const QuietReaders quiet;
  const std::string& entry_name = run->rows[k].report.entry_name;
  railfmt::inspect::Rescue rescue = railfmt::inspect::RescueFile(entry_name, BytesAtTurn(*run, k), run->words);
  Json out = railfmt::inspect::RescueJson(rescue, ShownName(entry_name), run->words);
  if (out.contains("rescued_name")) out["rescued_name"] = ShownName(rescue.rescued_name);
  run->rescued = std::move(rescue.bytes);
  return HandJson(out);
}
RV_API std::size_t rv_run_rescued_bytes(Run* run) { return HandBytes(run->rescued); }

// A stored zip of the files given, their names in UTF-8 (or Windows-1252)
// and their modification time.
RV_API railfmt::web::ZipWriter* rv_zip_new() { return new (std::nothrow) railfmt::web::ZipWriter; }
RV_API int rv_zip_add(railfmt::web::ZipWriter* zip, const char* name, std::size_t name_size, const std::uint8_t* data,
                      std::size_t size, double unix_seconds, int utc_offset_minutes) {
  const railfmt::web::ZipTime time{std::isfinite(unix_seconds) ? static_cast<std::int64_t>(unix_seconds) : 0,
                                   utc_offset_minutes};
  return zip->Add(Text(name, name_size), {data, size}, time) ? 1 : 0;
}
RV_API std::size_t rv_zip_finish(railfmt::web::ZipWriter* zip) {
  const std::vector<std::uint8_t> bytes = zip->Finish();
  delete zip;
  return HandBytes(bytes);
}
