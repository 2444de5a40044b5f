// Object-archive framing shared by model streams, rolling-stock files and
// construction drawings.
//
// An archive is a sequence of objects, each preceded by a 16-bit tag. The
// first object of a class in a stream is preceded by a class introduction
//   0xFFFF (new-class tag), 0 (schema number), class name (16-bit length, bytes)
// which assigns the class the stream's running class index; every later
// object of that class is preceded by its class tag 0x8000 | class index.
// The running index starts at 1 and advances by one for every introduction
// and for every object (list objects and their members alike), so each tag
// of a stream follows from what came before it. Tag arithmetic is 16-bit and
// wraps; there is no wider form.
//
// Model streams introduce "CObArray" first (index 1, tag 0x8001) and
// "CObPunkt" after the first list object (index 3, tag 0x8003); the tags of
// "CObIndex" and "CObFormat" depend on the model's content (see CModell).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"
#include "driver/field_primitives.h"

namespace railfmt::archive {

inline constexpr std::uint16_t kNewClassTag = 0xFFFF;
inline constexpr std::uint16_t kSchemaNumber = 0;
inline constexpr std::uint16_t kClassTagBit = 0x8000;

inline constexpr std::string_view kArrayClass = "CObArray";
inline constexpr std::string_view kPointClass = "CObPunkt";
inline constexpr std::string_view kIndexClass = "CObIndex";
inline constexpr std::string_view kFormatClass = "CObFormat";
inline constexpr std::string_view kLineClass = "CObLinie";
inline constexpr std::string_view kDashedLineClass = "CObStrichLinie";
inline constexpr std::string_view kDimensionLineClass = "CObMassLinie";

// Fixed tags of a model stream: "CObArray" has class index 1, "CObPunkt" 3.
inline constexpr std::uint16_t kArrayTag = 0x8001;
inline constexpr std::uint16_t kPointTag = 0x8003;
// "CObIndex" is introduced at class index 4 + sum over parts of (points + 1).
inline constexpr std::uint16_t kIndexTagBase = 0x8004;

// Stream sizes of the fixed records.
inline constexpr std::size_t kPointRecordSize = 48;
inline constexpr std::size_t kFormatRecordSize = 48;
inline constexpr std::size_t kIndexObjectSize = 8;
// Point: X Y Z Aux, Quad[4], four bytes, CodeValue, Aux2, Code.
static_assert(kPointRecordSize == 4 * 4 + 4 * 4 + 4 * 1 + 4 + 4 + 4);
// Format: Values[3] (32-bit), Doubles[3] (64-bit), Factors[3] (32-bit float).
static_assert(kFormatRecordSize == 3 * 4 + 3 * 8 + 3 * 4);
// Index object: Value and Marker, 32 bits each.
static_assert(kIndexObjectSize == 4 + 4);

// Index-object markers: Marker 1 with the code of the primitive mode it opens.
inline constexpr std::int32_t kVertexObject = 0;
inline constexpr std::int32_t kModeMarker = 1;
inline constexpr std::int32_t kPointsMode = 0;
inline constexpr std::int32_t kLinesMode = 1;
inline constexpr std::int32_t kTrianglesMode = 4;
inline constexpr std::int32_t kQuadsMode = 7;
inline constexpr std::int32_t kPolygonMode = 9;

// Adds in the 16-bit arithmetic of the tags (wraps modulo 65536).
constexpr std::uint16_t TagPlus(std::uint16_t tag, int delta) {
  return static_cast<std::uint16_t>((static_cast<unsigned>(tag) + static_cast<unsigned>(delta)) & 0xFFFFu);
}

// The running class index after a list of object_count objects, which took
// one index for the list and one per object.
constexpr std::uint16_t TagAfterList(std::uint16_t tag, int object_count) { return TagPlus(tag, object_count + 1); }

// A tag as the C runtime prints a 16-bit value widened to int with "%x":
// 0x8003 shows as ffff8003.
constexpr unsigned SignExtendedTag(std::uint16_t tag) {
  return static_cast<unsigned>(static_cast<int>(static_cast<std::int16_t>(tag)));
}

// How reading a list of fixed-size records ended.
enum class ListRead { kOk, kShortRecord, kWrongSeparator };

// Reads count records (none for a count of 0 or less) with the separator
// tag between each two, read_record(record, in) reading one and failing
// when the data cannot supply it in full. Each record is read within the
// record record_name (its field has that name too), its separator with it.
// The list keeps the records read before a fault; a wrong or short
// separator has printed its mismatch line.
template <typename Record, typename ReadRecord>
ListRead ReadSeparatedList(ReadCursor& in, int count, std::uint16_t separator, std::size_t record_size,
                           const char* record_name, std::vector<Record>& list, ReadRecord read_record) {
  list.clear();
  ReserveAnnounced(list, count, in, record_size);
  for (int i = 0; i < count; ++i) {
    const auto place = in.Within(record_name, i);
    Record record{};
    if (!read_record(record, in.Field(record_name))) return ListRead::kShortRecord;
    list.push_back(record);
    if (i + 1 < count && !ExpectShort(in.Field("separator"), separator)) return ListRead::kWrongSeparator;
  }
  return ListRead::kOk;
}

// Writes the records with the separator tag between each two.
template <typename Record, typename WriteRecord>
void WriteSeparatedList(ByteWriter& out, const std::vector<Record>& list, std::uint16_t separator,
                        WriteRecord write_record) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i > 0) out.U16(separator);
    write_record(list[i], out);
  }
}

// Which check of a class introduction failed, if any.
enum class IntroductionCheck {
  kOk,
  kMissingIntroduction,  // the new-class tag or the schema number is not there
  kWrongName,            // the class name is not the expected one
};

// Reads a class introduction: ExpectShort 0xFFFF, ExpectShort 0 (stopping
// at the first that fails; each prints its mismatch line), then
// ExpectString16 with the expected name.
IntroductionCheck ReadClassIntroduction(ReadCursor& in, std::string_view class_name);

// Writes 0xFFFF, 0 and the class name with its 16-bit length.
void WriteClassIntroduction(ByteWriter& out, std::string_view class_name);

}  // namespace railfmt::archive
