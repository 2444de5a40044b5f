// Rolling-stock files (.rol): the rolling-stock kind's face
// (driver/file_kind.h) over CRollmaterial.
//
// A recognised file is written as "%s.rol" with the name stored in its own
// info block, always as a file of its own in the working directory. A name
// that makes no such file is refused: nothing is written and "Can't open
// %s!\n" carries the stored name, while the entry still counts as rolling
// stock. Refused are an empty name, a name that begins with '.' (a hidden
// file no later run visits, or a way out of the directory), a name that
// holds '/' or '\\', and a name that holds a control byte (0x01-0x1F, 0x7F).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "driver/byte_writer.h"
#include "driver/file_kind.h"
#include "rollingstock/rolling_stock.h"

namespace railfmt {

struct RollingStockKind {
  using Object = CRollmaterial;
  static constexpr EntryKind kKind = EntryKind::kRollingStock;
  static constexpr const char* kName = ForPeople("rolling stock");
  static constexpr const char* kExtension = "rol";

  static ReadResult Read(std::span<const std::uint8_t> bytes, std::string_view entry_name, CRollmaterial& record);
  static std::string OutputName(const CRollmaterial& record, std::string_view entry_name);
  // The stored name when it makes no file of its own, and why; nothing
  // otherwise.
  static std::optional<RefusedOutput> RefusedName(const CRollmaterial& record);
  // Nothing to change in the object; tells each part of a model whose
  // primitives the encoder reorders.
  static Normalisation Normalise(CRollmaterial& record);

  static constexpr ChangeWords kPrimitivesReordered = ChangeSentences(
      "primitives_reordered",
      ForPeopleN("{n} primitive list put in canonical order", "{n} primitive lists put in canonical order"),
      ForPeople("model {model}, part {part}: primitives of up to four corners that stood among the polygons "
                "are written with their own kind"));
  static void Encode(const CRollmaterial& record, ByteWriter& out);
};

}  // namespace railfmt
