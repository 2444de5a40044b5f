#include "tools/kind_rewriters.h"

#include <array>
#include <cmath>

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

bool HasNan(const std::array<float, 3>& direction) {
  return std::isnan(direction[0]) || std::isnan(direction[1]) || std::isnan(direction[2]);
}

bool LayoutMaySettleLater(std::span<const std::uint8_t> input, std::span<const std::uint8_t> output) {
  CAnlage in;
  ReadLayoutBytes(in, input, kPath);
  for (const CGleis& t : in.Tracks) {
    if (t.Number == 0) return true;
  }
  for (const CAnlagenModell& m : in.Models) {
    if (m.Number == 0) return true;
  }
  CAnlage out;
  ReadLayoutBytes(out, output, kPath);
  for (const CAnlagenModell& m : out.Models) {
    if (HasNan(m.Direction)) return true;
  }
  return false;
}

// The first offset at which two files differ, for messages.
std::string Difference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  std::size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  return "outputs of " + std::to_string(a.size()) + " and " + std::to_string(b.size()) + " bytes differ from offset " +
         std::to_string(at);
}

}  // namespace

std::string CheckRewriteIsStable(const KindRewriter& kind, std::span<const std::uint8_t> input, bool* accepted) {
  const auto first = kind.rewrite(input);
  if (accepted != nullptr) *accepted = first.has_value();
  if (!first) return {};
  const auto second = kind.rewrite(*first);
  if (!second) return "the reader rejects its own writer's output";
  if (*second == *first) return {};
  if (kind.may_settle_later == nullptr || !kind.may_settle_later(input, *first)) {
    return "rewriting the output changed it: " + Difference(*first, *second);
  }
  std::vector<std::uint8_t> previous = *second;
  for (int i = 0; i < kMaxSettlingRewrites; ++i) {
    auto next = kind.rewrite(previous);
    if (!next) return "the reader rejects its own writer's output (rewrite " + std::to_string(i + 3) + ")";
    if (*next == previous) return {};
    previous = std::move(*next);
  }
  return "the rewrite did not settle within " + std::to_string(kMaxSettlingRewrites + 2) + " rewrites";
}

const std::vector<KindRewriter>& KindRewriters() {
  static const std::vector<KindRewriter> rewriters = {
      {EntryKind::kRollingStock, &RewriteRollingStock, nullptr},
      {EntryKind::kModel, &RewriteModel, nullptr},
      {EntryKind::kConstruction, &RewriteConstruction, nullptr},
      {EntryKind::kLayout, &RewriteLayout, &LayoutMaySettleLater},
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
