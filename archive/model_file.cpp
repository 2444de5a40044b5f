#include "archive/model_file.h"

#include <memory>
#include <utility>

#include "driver/diagnostics.h"
#include "driver/output_file.h"
#include "driver/path_names.h"
#include "driver/platform_files.h"

namespace railfmt {
namespace {

class RecognisedModel final : public RecognisedFile {
 public:
  RecognisedModel(CModell model, std::string output_name)
      : model_(std::move(model)), output_name_(std::move(output_name)) {}
  EntryKind kind() const override { return EntryKind::kModel; }
  std::string OutputName() const override { return output_name_; }
  void WriteOutput() override { WriteModelFile(model_, output_name_); }

 private:
  CModell model_;
  std::string output_name_;
};

std::unique_ptr<RecognisedFile> TryReadModel(std::string_view entry_name, std::span<const std::uint8_t> bytes,
                                             std::size_t* stop_offset) {
  CModell model;
  ReadModelBytes(model, bytes, entry_name, stop_offset);
  if (model.ReadOk != 1) return nullptr;
  return std::make_unique<RecognisedModel>(std::move(model), BaseName(entry_name) + ".mod");
}

}  // namespace

void ReadModelFile(CModell& model, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!LoadRegularFile(path, bytes)) {
    ReportOpenFailure(path);
    return;
  }
  ReadModelBytes(model, bytes, path);
}

void ReadModelBytes(CModell& model, std::span<const std::uint8_t> bytes, std::string_view path,
                    std::size_t* stop_offset) {
  ReadCursor in(bytes);
  model.ReadModelFirst(in);
  if (stop_offset != nullptr) *stop_offset = in.offset();
  CheckEndOfData(in, path);
}

std::vector<std::uint8_t> EncodeModelFile(CModell& model) {
  ByteWriter out;
  model.WriteModelFirst(out);
  return out.Take();
}

void WriteModelFile(CModell& model, const std::string& path) {
  const std::vector<std::uint8_t> bytes = EncodeModelFile(model);
  StoreOutputFile(path, bytes);
}

const FileKind kModelKind = {EntryKind::kModel, &TryReadModel};

}  // namespace railfmt
