// CKonstruktion: a construction drawing, one model part (its geometry) plus
// three lists of lines, and its reader and writer over memory.
//
// File layout: see construction_format.h. The running class tag T, in
// 16-bit arithmetic, is the separator between the members of each list:
//   T starts at 0x8001 (points);
//   after P points (P != 0):          T += P + 1   (index block separator)
//   after the index block (C != 0):   T += K + 1, K = PrimitiveObjectCount()
//                                     of the primitives read, not C
//   after F formats (F != 0):         T += F + 1
//   after the dashed and the plain lines, each when not empty: T += n + 1
// The dimension lines use the T reached after the plain lines.
//
// Reading is strict: the four identification words, every class
// introduction and every separator tag are checked as they are read, and the
// first failed check ends the read with its message (the "%s" is Name, which
// nothing assigns, so "(null)"):
//   identification word differs          "Formatfehler 1 in %s!\n"
//   point list introduction: tags/name   "Formatfehler 7 ..." / "Formatfehler 8 ..."
//   index block introduction: tags/name  "Formatfehler 13 ..." / "Formatfehler 14 ..."
//   format or line list introduction     "Formatfehler 17 ..." / "Formatfehler 18 ..."
//   separator between two line records   "Formatfehler 20 in %s!\n"
//   reserved count not 0                 "Formatfehler Juhu in %s!\n"
// The point, index and format lists report their own faults (model_part.h,
// primitive_block.h). A failed ExpectShort has printed its mismatch line
// before the message. A point, format or line count that is negative as a
// signed 16-bit number is no list at all and fails as soon as it is read,
// with "Formatfehler!\n", the message for a field that cannot be taken.
//
// Short data: a drawing that ends before its last field, inside the last
// line record included, is never accepted. A checked field the data cannot
// supply fails its check (without a mismatch line) and raises that check's
// message; a count or record that runs out raises "Formatfehler!\n".
// Bytes after the last field: "EOF not found: %s!\n" with the path; the
// drawing is still accepted, and writing drops them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/model_part.h"
#include "construction/line_record.h"
#include "driver/byte_writer.h"
#include "driver/file_kind.h"

namespace railfmt {

class CKonstruktion : public CModellTeil {
 public:
  std::optional<std::string> Name;  // the "%s" of the reader's messages
  std::vector<CLinie> DashedLines;
  std::int16_t DashedLineCount = 0;
  std::vector<CLinie> Lines;
  std::int16_t LineCount = 0;
  std::vector<CLinie> DimensionLines;
  std::int16_t DimensionLineCount = 0;
  std::uint16_t ReadOk = 0;  // 1 once every section has been read

  // Builders: replace a line list and set its count.
  void SetDashedLines(std::vector<CLinie> lines);
  void SetLines(std::vector<CLinie> lines);
  void SetDimensionLines(std::vector<CLinie> lines);

  bool operator==(const CKonstruktion&) const = default;
};

// Reads a drawing from a file's bytes into a freshly constructed drawing
// and sets ReadOk when every section was read; path names the file in
// "EOF not found: %s!\n". After a failure the drawing keeps what was read.
// The stop offset is behind the last field read (a field that failed its
// check included), or at the first field the data could not supply in full.
ReadResult ReadConstructionDrawing(CKonstruktion& drawing, std::span<const std::uint8_t> bytes, std::string_view path);

// Appends the drawing in file form. The index block is always present (its
// primitives in canonical order, at least six objects); the other lists are
// introduced only when not empty. The counts are expected to match the lists.
void EncodeConstructionDrawing(const CKonstruktion& drawing, ByteWriter& out);

}  // namespace railfmt
