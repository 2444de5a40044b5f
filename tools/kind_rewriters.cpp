#include "tools/kind_rewriters.h"

#include "archive/model_file.h"
#include "layout/layout_file.h"

namespace railfmt {
namespace {

// The name the readers' messages carry for bytes that come from no file.
constexpr std::string_view kPath = "memory";

std::optional<std::vector<std::uint8_t>> RewriteModel(std::span<const std::uint8_t> bytes) {
  CModell model;
  ReadModelBytes(model, bytes, kPath);
  if (model.ReadOk != 1) return std::nullopt;
  return EncodeModelFile(model);
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
      {EntryKind::kModel, &RewriteModel},
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
