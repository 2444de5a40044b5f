#include "layout/placed_records.h"

#include "driver/field_primitives.h"

namespace railfmt {

int ReadPlacedModel(ReadCursor& in, CAnlagenModell& m) {
  if (!in.Field("number").ReadI16(m.Number)) return 0;
  in.Number(m.Number);
  if (!ReadString8(in.Field("name"), m.Name)) return 0;
  in.Field("position");
  for (std::int32_t& v : m.Position) {
    if (!in.ReadI32(v)) return 0;
  }
  in.Field("direction");
  for (float& v : m.Direction) {
    if (!in.ReadFloat(v)) return 0;
  }
  m.Direction[1] = -m.Direction[1];
  if (ExpectString8(in.Field("name copy"), m.Name) != 1) return 0;
  return in.Field("values").ReadU32(m.ValueA) && in.ReadU32(m.ValueB) ? 1 : 0;
}

void WritePlacedModelRecord(ByteWriter& out, const CAnlagenModell& m) {
  out.I16(m.Number);
  WriteString8(out, m.Name);
  for (std::int32_t v : m.Position) out.I32(v);
  out.Float(m.Direction[0]);
  out.Float(-m.Direction[1]);
  out.Float(m.Direction[2]);
  WriteString8(out, m.Name);
  out.U32(m.ValueA);
  out.U32(m.ValueB);
}

void WritePlacedModel(ByteWriter& out, const CAnlagenModell& m) {
  if (m.Number != 0) WritePlacedModelRecord(out, m);
}

int ReadRollmaterialEntry(ReadCursor& in, CAnlagenRollmaterial& r) {
  if (!in.Field("number").ReadI16(r.Number)) return 0;
  in.Number(r.Number);
  if (!ReadString8(in.Field("name"), r.Name)) return 0;
  if (ExpectShort(in.Field("number copy"), r.Number) != 1) return 0;
  if (!ReadString8(in.Field("second name"), r.SecondName)) return 0;
  in.Field("values");
  for (std::uint32_t& v : r.Values) {
    if (!in.ReadU32(v)) return 0;
  }
  if (!in.Field("bytes").ReadU8(r.Byte1) || !in.ReadU8(r.Byte2)) return 0;
  if (ExpectByte(in.Field("zero byte"), 0) != 1 || ExpectString8(in.Field("name copy"), r.Name) != 1 ||
      ExpectByte(in.Field("byte copy"), r.Byte2) != 1) {
    return 0;
  }
  return in.Field("closing values").ReadU16(r.Word1) && in.ReadU8(r.Byte3) && in.ReadU16(r.Word2) &&
                 in.ReadU8(r.Byte4)
             ? 1
             : 0;
}

void WriteRollmaterialRecord(ByteWriter& out, const CAnlagenRollmaterial& r) {
  out.I16(r.Number);
  WriteString8(out, r.Name);
  out.I16(r.Number);
  WriteString8(out, r.SecondName);
  for (std::uint32_t v : r.Values) out.U32(v);
  out.U8(r.Byte1);
  out.U8(r.Byte2);
  out.U8(0);
  WriteString8(out, r.Name);
  out.U8(r.Byte2);
  out.U16(r.Word1);
  out.U8(r.Byte3);
  out.U16(r.Word2);
  out.U8(r.Byte4);
}

void WriteRollmaterialEntry(ByteWriter& out, const CAnlagenRollmaterial& r) {
  if (r.Number != 0) WriteRollmaterialRecord(out, r);
}

int ReadRollmaterialTrailer(ReadCursor& in, CAnlagenRollmaterial& r) {
  return in.Field("trailer").ReadU32(r.TrailerValue) && in.ReadU8(r.TrailerByte) && in.ReadU16(r.TrailerWord) ? 1 : 0;
}

void WriteRollmaterialTrailer(ByteWriter& out, const CAnlagenRollmaterial& r) {
  out.U32(r.TrailerValue);
  out.U8(r.TrailerByte);
  out.U16(r.TrailerWord);
}

}  // namespace railfmt
