#include "construction/construction_kind.h"

#include "driver/path_names.h"

namespace railfmt {

ReadResult ConstructionKind::Read(std::span<const std::uint8_t> bytes, std::string_view entry_name,
                                  CKonstruktion& drawing) {
  return ReadConstructionDrawing(drawing, bytes, entry_name);
}

std::string ConstructionKind::OutputName(const CKonstruktion& /*drawing*/, std::string_view entry_name) {
  return BaseName(entry_name) + "." + kExtension;
}

Normalisation ConstructionKind::Normalise(CKonstruktion& drawing) {
  Normalisation changes;
  if (!drawing.PrimitivesInCanonicalOrder()) changes.Add(kPrimitivesReordered, {});
  return changes;
}

void ConstructionKind::Encode(const CKonstruktion& drawing, ByteWriter& out) {
  EncodeConstructionDrawing(drawing, out);
}

}  // namespace railfmt
