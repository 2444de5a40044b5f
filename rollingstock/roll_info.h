// CRollInfo: the info block that ends a rolling-stock file. It names the
// rolling stock (and so the output file) and carries nine 32-bit values the
// system does not interpret; they go back out bit for bit, floating-point
// patterns such as NaNs included.
//
// Stream form: Value1 Value2 Value3, the name as an 8-bit length and that
// many bytes, Value4 ... Value9; all little-endian, nothing checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {

struct CRollInfo {
  std::uint32_t Value1 = 0;
  std::uint32_t Value2 = 0;
  std::uint32_t Value3 = 0;
  // At most 255 characters; absent until a reader sets it. The reader cuts
  // the stored bytes at the first zero byte, so a name never holds one.
  std::optional<std::string> Name;
  std::uint32_t Value4 = 0;
  std::uint32_t Value5 = 0;
  std::uint32_t Value6 = 0;
  std::uint32_t Value7 = 0;
  std::uint32_t Value8 = 0;
  std::uint32_t Value9 = 0;
  bool operator==(const CRollInfo&) const = default;
};

// Reads the info block field by field. Returns false at the first field the
// data cannot supply in full; the fields read before it keep their new
// values, the others (Name included) keep what they held.
bool ReadRollInfo(CRollInfo& info, ReadCursor& in);

// Writes the info block; an absent Name is written as an empty one, a name
// of 256 or more characters as its first (length modulo 256) characters.
void WriteRollInfo(const CRollInfo& info, ByteWriter& out);

}  // namespace railfmt
