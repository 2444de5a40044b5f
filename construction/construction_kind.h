// Construction drawings (.kon) as files: the drawing kind's face
// (driver/file_kind.h) over CKonstruktion.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "construction/construction_drawing.h"
#include "driver/byte_writer.h"
#include "driver/file_kind.h"

namespace railfmt {

struct ConstructionKind {
  using Object = CKonstruktion;
  static constexpr EntryKind kKind = EntryKind::kConstruction;
  static constexpr const char* kName = ForPeople("construction drawing");
  static constexpr const char* kExtension = "kon";

  // ReadConstructionDrawing over the bytes; entry_name names the file in
  // "EOF not found: %s!\n".
  static ReadResult Read(std::span<const std::uint8_t> bytes, std::string_view entry_name, CKonstruktion& drawing);
  // "%s.kon" with the entry's BaseName.
  static std::string OutputName(const CKonstruktion& drawing, std::string_view entry_name);
  // Nothing to change in the object: the encoder writes the index block
  // canonically. Tells when it reorders the primitives.
  static Normalisation Normalise(CKonstruktion& drawing);

  static constexpr ChangeWords kPrimitivesReordered = ChangeSentences(
      "primitives_reordered",
      ForPeopleN("{n} primitive list put in canonical order", "{n} primitive lists put in canonical order"),
      ForPeople("primitives of up to four corners that stood among the polygons are written with their own "
                "kind"));
  static void Encode(const CKonstruktion& drawing, ByteWriter& out);
};

}  // namespace railfmt
