#include "archive/model_kind.h"

#include "driver/diagnostics.h"
#include "driver/path_names.h"

namespace railfmt {

ReadResult ModelKind::Read(std::span<const std::uint8_t> bytes, std::string_view entry_name, CModell& model) {
  ReadCursor in(bytes);
  model.ReadModelFirst(in);
  const std::size_t stop = in.offset();
  CheckEndOfData(in, entry_name);
  return {model.ReadOk == 1, stop, in.fault()};
}

std::string ModelKind::OutputName(const CModell& /*model*/, std::string_view entry_name) {
  return BaseName(entry_name) + "." + kExtension;
}

Normalisation ModelKind::Normalise(CModell& model) {
  Normalisation changes;
  for (std::size_t i = 0; i < model.Elements.size(); ++i) {
    if (!model.Elements[i].PrimitivesInCanonicalOrder()) {
      changes.Add(kPrimitivesReordered, {{"part", static_cast<std::int64_t>(i + 1)}});
    }
  }
  return changes;
}

void ModelKind::Encode(const CModell& model, ByteWriter& out) { model.WriteModelFirst(out); }

}  // namespace railfmt
