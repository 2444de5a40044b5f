// Placed-model and vehicle records of a layout file, and the vehicle trailer.
//
// Placed model (36 + 2L bytes, L the name length):
//   Number (16), Name (8-bit length + bytes), Position X Y Z (3 x 32),
//   Direction (3 floats; the second is stored with its sign inverted),
//   Name again, ValueA (32), ValueB (32).
// Vehicle (61 + 2 L1 + L2 bytes):
//   Number (16), Name, Number again (16), SecondName, Values (11 x 32),
//   Byte1, Byte2, a zero byte, Name again, Byte2 again, Word1 (16), Byte3,
//   Word2 (16), Byte4.
// Trailer (7 bytes): TrailerValue (32), TrailerByte, TrailerWord (16).
//
// The readers check the repeated fields and the zero byte as they read them
// and return 0 at the first failed check or at data that runs out, leaving
// what was read in the record; the layout reader reports. Names are cut at a
// zero byte, so a name holding one never matches its repeated copy.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {

struct CAnlagenModell {
  std::int16_t Number = 0;  // 0: absent, not written
  std::string Name;         // model file name, e.g. "..\Bruecken..."
  std::array<std::int32_t, 3> Position{};
  // In memory the second component has the opposite sign of the file's, so
  // model and track directions share one convention.
  std::array<float, 3> Direction{};
  std::uint32_t ValueA = 0;
  std::uint32_t ValueB = 0;
};

struct CAnlagenRollmaterial {
  std::int16_t Number = 0;  // 0: absent, not written; orders the trailers
  std::string Name;         // vehicle file name
  std::string SecondName;
  std::array<std::uint32_t, 11> Values{};
  std::uint8_t Byte1 = 0;
  std::uint8_t Byte2 = 0;  // stored twice
  std::uint16_t Word1 = 0;
  std::uint8_t Byte3 = 0;
  std::uint16_t Word2 = 0;
  std::uint8_t Byte4 = 0;
  std::uint32_t TrailerValue = 0;
  std::uint8_t TrailerByte = 0;
  std::uint16_t TrailerWord = 0;
};

int ReadPlacedModel(ReadCursor& in, CAnlagenModell& model);
// Nothing for Number 0.
void WritePlacedModel(ByteWriter& out, const CAnlagenModell& model);
// The record whatever its Number.
void WritePlacedModelRecord(ByteWriter& out, const CAnlagenModell& model);

int ReadRollmaterialEntry(ReadCursor& in, CAnlagenRollmaterial& vehicle);
// Nothing for Number 0.
void WriteRollmaterialEntry(ByteWriter& out, const CAnlagenRollmaterial& vehicle);
// The record whatever its Number.
void WriteRollmaterialRecord(ByteWriter& out, const CAnlagenRollmaterial& vehicle);

// The trailer is read raw; it fails only when the data runs out.
int ReadRollmaterialTrailer(ReadCursor& in, CAnlagenRollmaterial& vehicle);
void WriteRollmaterialTrailer(ByteWriter& out, const CAnlagenRollmaterial& vehicle);

}  // namespace railfmt
