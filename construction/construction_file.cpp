#include "construction/construction_file.h"

#include <memory>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/output_file.h"
#include "driver/path_names.h"
#include "driver/platform_files.h"

namespace railfmt {
namespace {

class RecognisedDrawing final : public RecognisedFile {
 public:
  explicit RecognisedDrawing(std::string_view entry_name) : entry_name_(entry_name) {}

  EntryKind kind() const override { return EntryKind::kConstruction; }
  std::string OutputName() const override { return BaseName(entry_name_) + ".kon"; }
  void WriteOutput() override { WriteConstructionFile(drawing, OutputName()); }

  CKonstruktion drawing;

 private:
  std::string entry_name_;
};

std::unique_ptr<RecognisedFile> TryConstruction(std::string_view entry_name, std::span<const std::uint8_t> bytes,
                                                std::size_t* stop_offset) {
  auto file = std::make_unique<RecognisedDrawing>(entry_name);
  ReadConstructionBytes(file->drawing, bytes, entry_name, stop_offset);
  if (file->drawing.ReadOk == 0) return nullptr;
  return file;
}

}  // namespace

void ReadConstructionFile(CKonstruktion& drawing, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!LoadRegularFile(path, bytes)) {
    ReportOpenFailure(path);
    return;
  }
  ReadConstructionBytes(drawing, bytes, path);
}

void WriteConstructionFile(const CKonstruktion& drawing, const std::string& path) {
  ByteWriter out;
  EncodeConstructionFile(drawing, out);
  StoreOutputFile(path, out.bytes());
}

const FileKind kConstructionKind = {EntryKind::kConstruction, &TryConstruction};

}  // namespace railfmt
