#include "rollingstock/rolling_stock_file.h"

#include <memory>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/output_file.h"
#include "driver/platform_files.h"

namespace railfmt {
namespace {

class RecognisedRollingStock final : public RecognisedFile {
 public:
  EntryKind kind() const override { return EntryKind::kRollingStock; }
  std::string OutputName() const override { return record.Info.Name.value_or(std::string()) + ".rol"; }

  // The name comes from the file's content; one that reaches into another
  // directory is refused rather than followed.
  void WriteOutput() override {
    const std::string name = record.Info.Name.value_or(std::string());
    if (name.find_first_of("/\\") != std::string::npos) {
      ReportOpenFailure(name);
      return;
    }
    WriteRollingStockFile(record, OutputName());
  }

  CRollmaterial record;
};

std::unique_ptr<RecognisedFile> TryRollingStock(std::string_view entry_name, std::span<const std::uint8_t> bytes,
                                                std::size_t* stop_offset) {
  auto file = std::make_unique<RecognisedRollingStock>();
  ReadRollingStockBytes(file->record, bytes, entry_name, stop_offset);
  if (file->record.Complete == 0) return nullptr;
  return file;
}

}  // namespace

void ReadRollingStockFile(CRollmaterial& record, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!LoadRegularFile(path, bytes)) {
    ReportOpenFailure(path);
    return;
  }
  ReadRollingStockBytes(record, bytes, path);
}

void WriteRollingStockFile(CRollmaterial& record, const std::string& path) {
  ByteWriter out;
  EncodeRollingStockFile(record, out);
  StoreOutputFile(path, out.bytes());
}

const FileKind kRollingStockKind = {EntryKind::kRollingStock, &TryRollingStock};

}  // namespace railfmt
