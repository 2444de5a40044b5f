#include "rollingstock/roll_info.h"

#include "driver/field_primitives.h"

namespace railfmt {

bool ReadRollInfo(CRollInfo& info, ReadCursor& in) {
  const auto place = in.Within("info block");
  if (!in.Field("values before the name").ReadU32(info.Value1) || !in.ReadU32(info.Value2) ||
      !in.ReadU32(info.Value3)) {
    return false;
  }
  std::string name;
  if (!ReadString8(in.Field("name"), name)) return false;
  info.Name = std::move(name);
  return in.Field("values after the name").ReadU32(info.Value4) && in.ReadU32(info.Value5) &&
         in.ReadU32(info.Value6) && in.ReadU32(info.Value7) && in.ReadU32(info.Value8) && in.ReadU32(info.Value9);
}

void WriteRollInfo(const CRollInfo& info, ByteWriter& out) {
  out.U32(info.Value1);
  out.U32(info.Value2);
  out.U32(info.Value3);
  WriteString8(out, info.Name.value_or(std::string()));
  out.U32(info.Value4);
  out.U32(info.Value5);
  out.U32(info.Value6);
  out.U32(info.Value7);
  out.U32(info.Value8);
  out.U32(info.Value9);
}

}  // namespace railfmt
