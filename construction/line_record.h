// CLinie: one line of a construction drawing, a 24-byte record used alike by
// the dashed ("CObStrichLinie"), plain ("CObLinie") and dimension
// ("CObMassLinie") line lists:
//   0 Values[0]  4 Values[1]  8 Values[2]  12 Values[3]  (32 bits each)
//   16 Extra (one 8-byte block)
// No field is checked or interpreted; every bit is carried unchanged.
#pragma once

#include <array>
#include <cstdint>

#include "construction/construction_format.h"
#include "driver/byte_cursor.h"
#include "driver/byte_writer.h"

namespace railfmt {

struct CLinie {
  std::array<std::uint32_t, 4> Values{};
  std::array<std::uint8_t, construction::kLineExtraSize> Extra{};
  bool operator==(const CLinie&) const = default;
};

// Reads the record's 24 bytes. Returns false, consuming nothing and leaving
// the record unchanged, when fewer than 24 bytes remain.
bool ReadLineRecord(CLinie& line, ReadCursor& in);
void WriteLineRecord(const CLinie& line, ByteWriter& out);

}  // namespace railfmt
