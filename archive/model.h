// CModell: one model, as a .mod file holds it and as rolling stock holds
// three of them in one archive stream.
//
// Stream layout (little-endian, tags and counts 16-bit, E = ElementCount):
//   E, reserved 0, Format.Doubles[3] (64-bit), Format.Values[3] (32-bit), E
//   E = 0: two more zero counts (primitive lists, format lists); done.
//   E > 0, first model of a stream:
//     0xFFFF 0 "CObArray", point count of part 0, 0xFFFF 0 "CObPunkt",
//     point lists (0x8001, count, 0x8003 between parts; 0x8003 between points),
//     E, 0x8001, object count of part 0, 0xFFFF 0 "CObIndex",
//     primitive lists (0x8001, count, IndexTag between parts),
//     E, 0x8001, format count of part 0, 0xFFFF 0 "CObFormat",
//     format lists (0x8001, count, FormatTag between parts).
//   A later model of the same stream writes the class tags 0x8001, 0x8003,
//   IndexTag and FormatTag where the first model introduces the classes.
// IndexTag = 0x8004 + sum over parts of (PointCount + 1);
// FormatTag = IndexTag + 1 + sum over parts of (primitive objects + 1),
// both in 16-bit arithmetic. Format.Factors are not stored.
//
// Reading is strict: every tag, count copy and reserved word is checked as
// it is read, and the first failed check ends the read with ReadOk 0 after
// its message went to the sink ("Formatfehler N in %s!\n" with Name, which
// the file does not store: "(null)" unless the caller named the model). Numeric checks print their
// mismatch line first. Further policy:
//   - a field the data cannot supply in full ends the read: a check reports
//     its own message (without a mismatch line), a raw field "Formatfehler!\n";
//   - a negative part count fails with "Formatfehler 3 in %s!\n" once the
//     header's five rows have been read and checked;
//   - a negative point or format count fails with "Formatfehler!\n" as soon
//     as it is read; a primitive object count of 0 or less is left to the
//     primitive block, whose grammar then fails;
//   - a failed read leaves in the model whatever was read before the fault.
// Writing checks nothing. It regenerates each primitive list in canonical
// order with PrimitiveObjectCount objects; every other stored field goes
// back exactly as read, so a canonical model is reproduced byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/model_part.h"
#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {

// The class tags a model stream gives "CObIndex" and "CObFormat".
struct ModelTags {
  std::uint16_t index = 0;
  std::uint16_t format = 0;
  bool operator==(const ModelTags&) const = default;
};

// IndexTag of a model with these parts: 0x8004 + sum of (PointCount + 1).
std::uint16_t IndexTagOf(const std::vector<CModellTeil>& parts);

class CModell {
 public:
  std::optional<std::string> Name;
  CFormat Format;
  std::int16_t ElementCount = 0;
  std::vector<CModellTeil> Elements;
  std::uint16_t IndexTag = 0;
  std::uint16_t FormatTag = 0;
  std::uint16_t ReadOk = 0;

  // Queries. The part index must be below ElementCount and the point index
  // below that part's PointCount; neither is checked.
  // X, Y and Z of the point, each rounded to the nearest float.
  std::array<float, 3> PointPosition(int part, int point) const;
  void CopyPointRecord(int part, int point, CPunkt& destination) const;
  // The part's Attribute, XORed with the low 16 bits of the point's
  // CodeValue truncated toward zero when its Code is 99 and CodeValue is
  // above 0 (not NaN), then ANDed with mask. A CodeValue of 2^31 or more
  // contributes 0, as the hardware's out-of-range conversion result does.
  std::uint16_t PointAttribute(int part, int point, std::uint16_t mask) const;

  // Reads a model that introduces the archive classes: every model of a
  // stream up to and including the first with parts. Sets ReadOk, and
  // IndexTag and FormatTag to the tags the stream gave.
  void ReadModelFirst(ReadCursor& in);
  // Reads a model after that one, which refers to the classes by the tags
  // the stream carries. Sets ReadOk; IndexTag and FormatTag are the
  // carried tags.
  void ReadModelLater(ReadCursor& in, ModelTags carried);

  // The tags the content gives: IndexTag as IndexTagOf, FormatTag =
  // IndexTag + 1 + sum over parts of (PrimitiveObjectCount() + 1).
  ModelTags ComputeModelTags() const;
  // Writes the model as the first of a stream, introducing the classes, and
  // returns the tags it wrote with (none for a model without parts); or as a
  // later one that refers to them by the carried tags. Neither uses nor
  // changes the object's own IndexTag and FormatTag.
  ModelTags WriteModelFirst(ByteWriter& out) const;
  void WriteModelLater(ByteWriter& out, ModelTags carried) const;

  // Builder: replaces the parts and sets ElementCount. The writers expect
  // Elements to hold ElementCount parts, as a successful read leaves it.
  void SetElements(std::vector<CModellTeil> parts);

  bool operator==(const CModell&) const = default;

 private:
  // Both forms are one sequence; carried is null for the first form.
  void ReadModel(ReadCursor& in, const ModelTags* carried);
  void WriteModel(ByteWriter& out, const ModelTags* carried, ModelTags tags) const;
  // The steps of the reader; each returns 1, or 0 after reporting.
  // ReadPointLists creates the ElementCount parts as it reaches their point
  // lists; the later steps fill the parts it created.
  int ReadModelHeader(ReadCursor& in);
  int ReadClassMarker(ReadCursor& in, int slot, const ModelTags* carried);
  int ReadPointLists(ReadCursor& in, std::int16_t first_count);
  int ReadPrimitiveLists(ReadCursor& in, std::int16_t first_count, bool count_format_tag);
  int ReadFormatLists(ReadCursor& in, std::int16_t first_count);
  // Reports a numbered message with Name; returns 0 for the caller to pass on.
  int Fail(const char* format) const;
  // Reports "Formatfehler!\n" (a raw field that cannot be used); returns 0.
  static int Truncated();
  // Reads a raw 16-bit count; 0 after "Formatfehler!\n" when it cannot,
  // or when it is negative and negatives are not allowed.
  static int ReadCount(ReadCursor& in, std::int16_t& count, bool allow_negative);
};

}  // namespace railfmt
