#include "tools/railinspect/content_objects.h"

#include <string_view>

#include "archive/model_file.h"
#include "driver/diagnostics.h"
#include "layout/layout_file.h"

namespace railfmt::inspect {
namespace {

// Discards every report while alive: the attempt that recognised the file
// has already collected them.
class Silence {
 public:
  Silence() : sink_(SetDiagnosticSink([](std::string_view) {})), writer_(SetMismatchWriter([](std::string_view) {})) {}
  ~Silence() {
    SetDiagnosticSink(std::move(sink_));
    SetMismatchWriter(std::move(writer_));
  }
  Silence(const Silence&) = delete;
  Silence& operator=(const Silence&) = delete;

 private:
  DiagnosticSink sink_;
  MismatchWriter writer_;
};

bool IsKind(const FileReport& report, EntryKind kind) { return report.file != nullptr && report.file->kind() == kind; }

}  // namespace

bool ReadContent(const FileReport& report, CRollmaterial& rolling_stock) {
  if (!IsKind(report, EntryKind::kRollingStock)) return false;
  Silence silence;
  ReadRollingStockBytes(rolling_stock, report.bytes, report.entry_name);
  return rolling_stock.Complete == 1;
}

bool ReadContent(const FileReport& report, CModell& model) {
  if (!IsKind(report, EntryKind::kModel)) return false;
  Silence silence;
  ReadModelBytes(model, report.bytes, report.entry_name);
  return model.ReadOk == 1;
}

bool ReadContent(const FileReport& report, CKonstruktion& drawing) {
  if (!IsKind(report, EntryKind::kConstruction)) return false;
  Silence silence;
  ReadConstructionBytes(drawing, report.bytes, report.entry_name);
  return drawing.ReadOk == 1;
}

bool ReadContent(const FileReport& report, CAnlage& layout) {
  if (!IsKind(report, EntryKind::kLayout)) return false;
  Silence silence;
  ReadLayoutBytes(layout, report.bytes, report.entry_name);
  return layout.ReadOk == 1;
}

}  // namespace railfmt::inspect
