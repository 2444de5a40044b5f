// Track records of a layout file.
//
// A record is made of building blocks, all little-endian:
//   identity    Number (16), Name (8-bit length + bytes), Type (32)
//   connection  Neighbour (16), NeighbourEnd (16), zero (16)     6 bytes
//   geometry    StartDirection (3 floats), StartPoint, EndPoint  36 bytes
// Every record is: identity; the type's head (variant for 6 and 7; end 3
// connection and EndValue3 for 4 and 9; end 2 connection and EndValue2 for
// 3, 4, 8, 9; for 11 a zero long, a zero short and EndValue2); geometry;
// identity again; end 0 connection; end 1 connection (not type 2). Then, by
// type: 6 the second name; 9 copy A (end 2 connection, EndValue2, geometry,
// identity, ends 0 and 1); 8 and 9 copy B (variant, geometry, identity, ends
// 0 and 1); 11 a zero long, geometry, identity, ends 0 and 1, the extra-end
// count n, n end flags, ExtraA, ExtraC, ExtraB, ExtraC again, a connection
// per flagged end, ExtraD twice and EndValue3.
// Type 1 takes 62 + 2L bytes, type 2 56 + 2L, type 7 66 + 2L (L: name length).
//
// Reading is strict: every repeated field and zero is checked as it is read
// and the first failed check fails the record. A record that the data cannot
// supply in full fails too. Names are cut at a zero byte, so a name holding
// one never matches its repeated copy.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"
#include "layout/layout_format.h"

namespace railfmt {

struct CGleisEnde {
  std::int16_t Neighbour = 0;  // 0: the end is open
  std::int16_t NeighbourEnd = 0;
};

struct CGleis {
  std::string Name;
  std::string SecondName;  // type 6 only
  // The bridge or buffer-stop model that belongs to the track: an index into
  // the layout's Models, -1 for none. Set by LinkModelsToTracks, never stored.
  int LinkedModel = -1;
  std::int16_t Number = 0;  // 0: absent, not written
  std::int32_t Type = 0;
  std::uint32_t Variant = 0;  // in the record for types 6 to 9 only
  std::array<float, 3> StartDirection{};
  std::array<std::int32_t, 3> StartPoint{};
  std::array<std::int32_t, 3> EndPoint{};
  std::int16_t EndCount = 0;
  std::array<CGleisEnde, layout_format::kMaxEnds> Ends{};
  std::uint16_t EndValue2 = 0;
  std::uint16_t EndValue3 = 0;
  std::array<std::uint32_t, 3> ExtraA{};  // type 11 only, carried unchanged
  std::array<std::uint32_t, 3> ExtraB{};
  std::array<std::int32_t, 3> ExtraC{};  // stored twice
  float ExtraD = 0.0f;                   // stored twice
};

// True for the accepted type codes 1, 2, 3, 4, 6, 7, 8, 9 and 11.
bool IsTrackType(std::int32_t type);

// Sets EndCount from Type: 1 -> 2, 2 -> 1, 3 -> 3, 4 -> 4, 6 -> 2, 7 -> 2,
// 8 -> 3, 9 -> 4. Type 11 keeps its EndCount (its record sets it).
void EndCountFromType(CGleis& track);

// Recomputes Type from EndCount and Variant; types 6 and 11 stay. End
// counts 1, 2, 3, 4 give 2, 1, 3, 4 with variant 0 and 2, 7, 8, 9 with a
// variant; any other end count keeps the type.
void TypeFromEndCount(CGleis& track);

// Reads one record into a zero-filled track. On 0 the track holds what was
// read up to the failure. An unknown type reports "%s: Unbekannter Typ %d!\n"
// (name, type); every other failure is reported by the caller.
int ReadTrack(ReadCursor& in, CGleis& track);

// Nothing for Number 0; otherwise WriteTrackRecord.
void WriteTrack(ByteWriter& out, const CGleis& track);

// The record of the track's Type as it stands, whatever its Number. Flags
// of a type-11 record are written as 1 for a joined end and 0 for an open
// one, with a connection for each joined end.
void WriteTrackRecord(ByteWriter& out, const CGleis& track);

}  // namespace railfmt
