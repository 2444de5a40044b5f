// A model part (CModellTeil): a point list, a primitive list and a format
// list. Models hold several parts; a construction drawing is one part.
//
// Point record "CObPunkt" (48 bytes, no tag inside):
//   0 X  4 Y  8 Z  (int32)   12 Aux   16 Quad[4]   32 ByteA 33 ByteB
//   34 ByteC 35 ByteD   36 CodeValue (float)   40 Aux2   44 Code (int32)
// Format record "CObFormat" (48 bytes, no tag inside):
//   0 Values[3] (32-bit)   12 Doubles[3] (64-bit float)   36 Factors[3] (float)
// Every field is carried unchanged, bit for bit (NaN patterns included).
//
// A list of records stands in a stream as the records with the caller's
// separator tag between each two; the list count and the tag in front of
// the first record belong to the caller.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "archive/primitive_block.h"
#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {

struct CPunkt {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Z = 0;
  std::uint32_t Aux = 0;
  std::array<std::uint32_t, 4> Quad{};
  std::uint8_t ByteA = 0;
  std::uint8_t ByteB = 0;
  std::uint8_t ByteC = 0;
  std::uint8_t ByteD = 0;
  float CodeValue = 0.0f;
  std::uint32_t Aux2 = 0;
  std::int32_t Code = 0;
  bool operator==(const CPunkt&) const = default;
};

struct CFormat {
  std::array<std::uint32_t, 3> Values{0, 0, 0};
  std::array<double, 3> Doubles{0.0, 0.0, 0.0};
  std::array<float, 3> Factors{1.0f, 1.0f, 1.0f};
  bool operator==(const CFormat&) const = default;
};

// One record's 48 bytes. When fewer than 48 bytes remain the readers
// consume nothing, leave the record unchanged, make the cursor short and
// return false.
bool ReadPoint(CPunkt& point, ReadCursor& in);
void WritePoint(const CPunkt& point, ByteWriter& out);
bool ReadFormat(CFormat& format, ReadCursor& in);
void WriteFormat(const CFormat& format, ByteWriter& out);

// Each count names the records its vector holds (none when the count is 0
// or less); the writers write the vectors and expect the counts to match.
class CModellTeil {
 public:
  std::int16_t PointCount = 0;
  std::vector<CPunkt> Points;
  std::int16_t PrimitiveCount = 0;
  std::vector<CPrimitiv> Primitives;
  std::int16_t FormatCount = 0;
  std::vector<CFormat> Formats;
  std::uint16_t Attribute = 0;  // never stored in a file

  // Reads PointCount points (set by the caller) with separator between
  // them. Returns 1, or 0 after reporting "Formatfehler 12!\n" for a wrong
  // or short separator or "Formatfehler!\n" for a record the data cannot
  // supply in full. The records read so far stay in the part.
  int ReadPoints(ReadCursor& in, std::uint16_t separator);
  // Sets FormatCount to count and reads that many formats with separator
  // between them. Returns 1, or 0 after reporting "Falscher Trenner2: %x!\n"
  // (the separator sign-extended, 0x801E shows as ffff801e) for a wrong or
  // short separator or "Formatfehler!\n" for a short record.
  int ReadFormats(ReadCursor& in, std::int16_t count, std::uint16_t separator);
  void WritePoints(ByteWriter& out, std::uint16_t separator) const;
  void WriteFormats(ByteWriter& out, std::uint16_t separator) const;

  // Whether WritePrimitives writes the primitives in the order they stand:
  // false when a primitive of four or fewer vertices stood among the
  // polygons, where a file may hold it and the canonical order does not.
  bool PrimitivesInCanonicalOrder() const;

  // The number of "CObIndex" objects WritePrimitives writes for this part,
  // modulo 65536: six section markers, one object per vertex, and one
  // closing (9,1) per primitive of more than four vertices.
  std::uint16_t PrimitiveObjectCount() const;

  // Builders: replace a list and set its count.
  void SetPoints(std::vector<CPunkt> points);
  void SetPrimitives(std::vector<CPrimitiv> primitives);
  void SetFormats(std::vector<CFormat> formats);

  bool operator==(const CModellTeil&) const = default;
};

}  // namespace railfmt
