#include "construction/line_record.h"

namespace railfmt {

bool ReadLineRecord(CLinie& line, ReadCursor& in) {
  if (in.remaining() < construction::kLineRecordSize) {
    in.MarkShort();
    return false;
  }
  for (std::uint32_t& value : line.Values) in.ReadU32(value);
  in.ReadBytes(line.Extra);
  return true;
}

void WriteLineRecord(const CLinie& line, ByteWriter& out) {
  for (std::uint32_t value : line.Values) out.U32(value);
  out.Bytes(line.Extra);
}

}  // namespace railfmt
