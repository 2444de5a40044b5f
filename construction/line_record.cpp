#include "construction/line_record.h"

namespace railfmt {

bool ReadLineRecord(CLinie& line, ReadCursor& in) {
  ReadCursor record;
  if (!in.ReadRecord(construction::kLineRecordSize, record)) return false;
  for (std::uint32_t& value : line.Values) record.ReadU32(value);
  record.ReadBytes(line.Extra);
  return true;
}

void WriteLineRecord(const CLinie& line, ByteWriter& out) {
  for (std::uint32_t value : line.Values) out.U32(value);
  out.Bytes(line.Extra);
}

}  // namespace railfmt
