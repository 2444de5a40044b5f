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

std::optional<RefusedOutput> RollingStockKind::RefusedName(const CRollmaterial& record) {
  const std::string name = record.Info.Name.value_or(std::string());
  const bool control = std::any_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
  if (name.empty()) return RefusedOutput{name, ForPeople("the name stored in the file is empty")};
  if (control) return RefusedOutput{name, ForPeople("the name stored in the file holds a control character")};
  if (name.find_first_of("/\\") != std::string::npos) {
    return RefusedOutput{name, ForPeople("the name stored in the file holds / or \\, which leads into another folder")};
  }
  if (name.front() == '.') {
    return RefusedOutput{name, ForPeople("the name stored in the file begins with a dot, which makes a hidden file "
                                         "or leads out of the folder")};
  }
  return std::nullopt;
}

Normalisation RollingStockKind::Normalise(CRollmaterial& record) {
  Normalisation changes;
  for (std::size_t m = 0; m < record.Models.size(); ++m) {
    const std::vector<CModellTeil>& parts = record.Models[m].Elements;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (!parts[i].PrimitivesInCanonicalOrder()) {
        changes.Add(kPrimitivesReordered,
                    {{"model", static_cast<std::int64_t>(m + 1)}, {"part", static_cast<std::int64_t>(i + 1)}});
      }
    }
  }
  return changes;
}

void RollingStockKind::Encode(const CRollmaterial& record, ByteWriter& out) { EncodeRollingStock(record, out); }

}  // namespace railfmt
