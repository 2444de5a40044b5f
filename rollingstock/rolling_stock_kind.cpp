#include "rollingstock/rolling_stock_kind.h"

#include <algorithm>

namespace railfmt {

ReadResult RollingStockKind::Read(std::span<const std::uint8_t> bytes, std::string_view entry_name,
                                  CRollmaterial& record) {
  return ReadRollingStock(record, bytes, entry_name);
}

std::string RollingStockKind::OutputName(const CRollmaterial& record, std::string_view /*entry_name*/) {
  return record.Info.Name.value_or(std::string()) + "." + kExtension;
}

std::optional<std::string> RollingStockKind::RefusedName(const CRollmaterial& record) {
  const std::string name = record.Info.Name.value_or(std::string());
  const bool control = std::any_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
  if (name.empty() || name.front() == '.' || control || name.find_first_of("/\\") != std::string::npos) return name;
  return std::nullopt;
}

Normalisation RollingStockKind::Normalise(CRollmaterial& /*record*/) { return {}; }

void RollingStockKind::Encode(const CRollmaterial& record, ByteWriter& out) { EncodeRollingStock(record, out); }

}  // namespace railfmt
