// Layout files (.anl): the layout kind's face (driver/file_kind.h) over
// CAnlage. The reader and encoder of the whole file are in layout.h.
//
// Normalising a layout places bridge and buffer-stop models again from
// their tracks, removes exact duplicate models, and writes types 7, 8, 9
// without a variant as 1, 3, 4; the encoder then leaves out entries
// numbered 0.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "driver/byte_writer.h"
#include "driver/file_kind.h"
#include "layout/layout.h"

namespace railfmt {

struct LayoutKind {
  using Object = CAnlage;
  static constexpr EntryKind kKind = EntryKind::kLayout;
  static constexpr const char* kName = "layout";
  static constexpr const char* kExtension = "anl";

  // ReadLayout over the bytes; no layout message names the file.
  static ReadResult Read(std::span<const std::uint8_t> bytes, std::string_view entry_name, CAnlage& layout);
  // "%s.anl" with the entry's BaseName.
  static std::string OutputName(const CAnlage& layout, std::string_view entry_name);
  // PlaceLinkedModels, RemoveDuplicateModels, then TypeFromEndCount for
  // every numbered track. A model counts as placed when its position or
  // direction changed; a track type as corrected when it changed.
  static Normalisation Normalise(CAnlage& layout);
  static void Encode(const CAnlage& layout, ByteWriter& out);
};

}  // namespace railfmt
