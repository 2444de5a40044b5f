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
  static constexpr const char* kName = ForPeople("layout");
  static constexpr const char* kExtension = "anl";

  // ReadLayout over the bytes; no layout message names the file.
  static ReadResult Read(std::span<const std::uint8_t> bytes, std::string_view entry_name, CAnlage& layout);
  // "%s.anl" with the entry's BaseName.
  static std::string OutputName(const CAnlage& layout, std::string_view entry_name);
  // PlaceLinkedModels, RemoveDuplicateModels, then TypeFromEndCount for
  // every numbered track. A model counts as placed when its position or
  // direction changed; a track type as corrected when it changed; entries
  // numbered 0 (which the encoder leaves out) are told too.
  static Normalisation Normalise(CAnlage& layout);

  static constexpr ChangeWords kBridgePlaced =
      ChangeSentences("bridge_placed", ForPeopleN("{n} bridge placed", "{n} bridges placed"),
                      ForPeople("bridge {name} placed on track {track} at ({x}, {y}, {z})"));
  static constexpr ChangeWords kBufferStopPlaced =
      ChangeSentences("buffer_stop_placed", ForPeopleN("{n} buffer stop placed", "{n} buffer stops placed"),
                      ForPeople("buffer stop {name} placed at the end of track {track} at ({x}, {y}, {z})"));
  static constexpr ChangeWords kDuplicateRemoved =
      ChangeSentences("duplicate_removed", ForPeopleN("{n} duplicate model removed", "{n} duplicate models removed"),
                      ForPeople("model {number} {name} at ({x}, {y}, {z}) removed: the same as model {kept}"));
  static constexpr ChangeWords kTrackTypeCorrected =
      ChangeSentences("track_type_corrected", ForPeopleN("{n} track type corrected", "{n} track types corrected"),
                      ForPeople("track {number} {name}: type {from} written as {to}"));
  static constexpr ChangeWords kTrackLeftOut =
      ChangeSentences("track_left_out", ForPeopleN("{n} track numbered 0 left out", "{n} tracks numbered 0 left out"),
                      ForPeople("track {name} (record {record}) has the number 0 and is left out"));
  static constexpr ChangeWords kModelLeftOut =
      ChangeSentences("placed_model_left_out",
                      ForPeopleN("{n} placed model numbered 0 left out", "{n} placed models numbered 0 left out"),
                      ForPeople("placed model {name} (record {record}) has the number 0 and is left out"));
  static constexpr ChangeWords kVehicleLeftOut = ChangeSentences(
      "vehicle_left_out", ForPeopleN("{n} vehicle numbered 0 left out", "{n} vehicles numbered 0 left out"),
      ForPeople("vehicle {name} (record {record}) has the number 0 and is left out"));
  static void Encode(const CAnlage& layout, ByteWriter& out);
};

}  // namespace railfmt
