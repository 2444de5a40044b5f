// The layout in memory, its counts, its trailer order, its fixed records,
// and the reader and encoder of a whole layout file.
//
// File: track count (16) and track records, model count (16) and placed-model
// records, vehicle count (16) and vehicle records, five blocks of eight
// 32-bit values, the 32-byte properties record (FirstTriplet, a zero byte,
// SecondTriplet, a zero byte, Bytes20, FinalValue), then one 7-byte trailer
// per vehicle numbered 1 to 29999 in increasing order of number (the first
// vehicle of each number). A count of 0 or less is an empty section.
//
// Reading is strict and never accepts short data. Messages:
//   a track fails         "Gleis Nr. %d fehlerhaft!\n", after "%s: Unbekannter Typ %d!\n"
//                         for a type that is not accepted
//   a placed model fails  "Modell Nr. %d fehlerhaft!\n"
//   a vehicle fails       "Dll-Modell \"%s\" kann nicht benutzt werden!\n" when its name
//                         ends in ".dll" in any letter case, else "Rollmaterial Nr. %d fehlerhaft!\n"
//   a zero byte of the properties is not 0: its mismatch line only
//   the 20-byte properties block is short: "Feher in Eigenschaften!\n"
//   the data ends inside a count, a block, a triplet, the final value or a
//   trailer: "Formatfehler!\n"
//   bytes follow the last trailer: "Datei zu lang!\n"
// The number in a record's message is its Number as far as it was read (0
// when not even that was). A failed read leaves what it read in the layout:
// each array holds the records read, the one that failed last.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"
#include "driver/file_kind.h"
#include "layout/layout_format.h"
#include "layout/placed_records.h"
#include "layout/track.h"

namespace railfmt {

// Eight values carried unchanged.
struct CAnlagenBlock {
  std::array<std::uint32_t, layout_format::kBlockValues> Values{};
};

struct CEigenschaften {
  std::array<std::uint8_t, 3> FirstTriplet{};
  std::array<std::uint8_t, 3> SecondTriplet{};
  std::array<std::uint8_t, layout_format::kPropertiesBytes20> Bytes20{};
  std::uint32_t FinalValue = 0;
};

struct CAnlage {
  std::int16_t TrackCount = 0;  // as read; Tracks holds the records
  std::vector<CGleis> Tracks;
  std::int16_t ModelCount = 0;
  std::vector<CAnlagenModell> Models;
  std::int16_t RollingStockCount = 0;
  std::vector<CAnlagenRollmaterial> RollingStock;
  std::array<CAnlagenBlock, layout_format::kBlockCount> Blocks{};
  CEigenschaften Properties;
  std::int32_t ReadOk = 0;
};

// Reads a layout from the bytes of a whole file into an empty layout. ReadOk
// becomes 1 on success, and the models are then linked to their tracks. The
// stop offset is the end of what the reader consumed (one byte past the end
// for "Datei zu lang!\n"), or the start of the field the data could not
// supply in full.
ReadResult ReadLayout(CAnlage& layout, std::span<const std::uint8_t> bytes);

// Appends the layout in file form as it stands: entries numbered 0 are left
// out (the counts written are those of the numbered entries), every record
// with its Type as it stands.
void EncodeLayout(const CAnlage& layout, ByteWriter& out);

// Releases everything: counts 0, arrays empty, ReadOk 0.
void ClearLayout(CAnlage& layout);

// Entries whose Number is not 0: the counts the writer writes.
int CountTracks(const CAnlage& layout);
int CountModels(const CAnlage& layout);
int CountRollingStock(const CAnlage& layout);

// The vehicle with the smallest number above previous and below 30000 (the
// first in array order among equals), or -1; previous becomes that number,
// or 30000 when there is none.
int NextRollmaterialByNumber(const CAnlage& layout, int& previous);

// The vehicles that have a trailer, in trailer order: what repeated calls of
// NextRollmaterialByNumber from 0 give, in n log n.
std::vector<int> TrailerOrder(const CAnlage& layout);

// The properties record: 1 when read. Data that ends inside a triplet or the
// final value reports "Formatfehler!\n", a short 20-byte block "Feher in
// Eigenschaften!\n"; a zero byte that is not 0 prints only its mismatch line.
int ReadProperties(ReadCursor& in, CEigenschaften& properties);
void WriteProperties(ByteWriter& out, const CEigenschaften& properties);
// A block fails only when the data runs out.
int ReadBlock(ReadCursor& in, CAnlagenBlock& block);
void WriteBlock(ByteWriter& out, const CAnlagenBlock& block);

}  // namespace railfmt
