#include "tools/kind_rewriters.h"

#include "archive/model_file.h"
#include "construction/construction_drawing.h"
#include "driver/byte_writer.h"
#include "layout/layout_file.h"
#include "rollingstock/rolling_stock.h"

namespace railfmt {
namespace {

// The name the readers' messages carry for bytes that come from no file.
constexpr std::string_view kPath = "memory";

std::optional<std::vector<std::uint8_t>> RewriteRollingStock(std::span<const std::uint8_t> bytes) {
  CRollmaterial record;
  ReadRollingStockBytes(record, bytes, kPath);
  if (record.Complete != 1) return std::nullopt;
  ByteWriter out;
  EncodeRollingStockFile(record, out);
  return out.Take();
}

std::optional<std::vector<std::uint8_t>> RewriteModel(std::span<const std::uint8_t> bytes) {
  CModell model;
  ReadModelBytes(model, bytes, kPath);
  if (model.ReadOk != 1) return std::nullopt;
  return EncodeModelFile(model);
}

std::optional<std::vector<std::uint8_t>> RewriteConstruction(std::span<const std::uint8_t> bytes) {
  CKonstruktion drawing;
  ReadConstructionBytes(drawing, bytes, kPath);
  if (drawing.ReadOk != 1) return std::nullopt;
  ByteWriter out;
  EncodeConstructionFile(drawing, out);
  return out.Take();
}

std::optional<std::vector<std::uint8_t>> RewriteLayout(std::span<const std::uint8_t> bytes) {
  CAnlage layout;
  ReadLayoutBytes(layout, bytes, kPath);
  if (layout.ReadOk != 1) return std::nullopt;
  return EncodeLayoutFile(layout);
}

}  // namespace

const std::vector<KindRewriter>& KindRewriters() {
  static const std::vector<KindRewriter> rewriters = {
      {EntryKind::kRollingStock, &RewriteRollingStock},
      {EntryKind::kModel, &RewriteModel},
      {EntryKind::kConstruction, &RewriteConstruction},
      {EntryKind::kLayout, &RewriteLayout},
  };
  return rewriters;
}

const KindRewriter* FindKindRewriter(EntryKind kind) {
  for (const KindRewriter& r : KindRewriters()) {
    if (r.kind == kind) return &r;
  }
  return nullptr;
}

}  // namespace railfmt
