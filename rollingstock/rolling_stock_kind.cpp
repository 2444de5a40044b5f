#include "rollingstock/rolling_stock_kind.h"

namespace railfmt {

ReadResult RollingStockKind::Read(std::span<const std::uint8_t> bytes, std::string_view entry_name,
                                  CRollmaterial& record) {
  return ReadRollingStock(record, bytes, entry_name);
}

std::string RollingStockKind::OutputName(const CRollmaterial& record, std::string_view /*entry_name*/) {
  return record.Info.Name.value_or(std::string()) + ".rol";
}

std::optional<std::string> RollingStockKind::RefusedName(const CRollmaterial& record) {
  const std::string name = record.Info.Name.value_or(std::string());
  if (name.find_first_of("/\\") != std::string::npos) return name;
  return std::nullopt;
}

Normalisation RollingStockKind::Normalise(CRollmaterial& /*record*/) { return {}; }

void RollingStockKind::Encode(const CRollmaterial& record, ByteWriter& out) { EncodeRollingStock(record, out); }

}  // namespace railfmt
