// Model files (.mod): one model stream per file (model.h), and the model
// kind's face (driver/file_kind.h).
//
// A model followed by extra bytes still counts as read: the reader reports
// "EOF not found: %s!\n" with the entry's name and the encoder drops the
// extra bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "archive/model.h"
#include "driver/byte_writer.h"
#include "driver/file_kind.h"

namespace railfmt {

struct ModelKind {
  using Object = CModell;
  static constexpr EntryKind kKind = EntryKind::kModel;
  static constexpr const char* kName = ForPeople("model");
  static constexpr const char* kExtension = "mod";

  // ReadModelFirst over the bytes, then the end-of-data check, whether or
  // not the read succeeded.
  static ReadResult Read(std::span<const std::uint8_t> bytes, std::string_view entry_name, CModell& model);
  // "%s.mod" with the entry's BaseName.
  static std::string OutputName(const CModell& model, std::string_view entry_name);
  // Nothing to change in the object: the encoder writes the primitive lists
  // canonically. Tells each part whose primitives it reorders.
  static Normalisation Normalise(CModell& model);

  static constexpr ChangeWords kPrimitivesReordered = ChangeSentences(
      "primitives_reordered",
      ForPeopleN("{n} primitive list put in canonical order", "{n} primitive lists put in canonical order"),
      ForPeople("part {part}: primitives of up to four corners that stood among the polygons are written "
                "with their own kind"));
  // The model as the first model of a new stream.
  static void Encode(const CModell& model, ByteWriter& out);
};

}  // namespace railfmt
