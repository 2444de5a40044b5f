#include "layout/placed_records.h"

#include "driver/field_primitives.h"

namespace railfmt {

int ReadPlacedModel(ReadCursor& in, CAnlagenModell& m) {
  if (!in.ReadI16(m.Number) || !ReadString8(in, m.Name)) return 0;
  for (std::int32_t& v : m.Position) {
    if (!in.ReadI32(v)) return 0;
  }
  for (float& v : m.Direction) {
    if (!in.ReadFloat(v)) return 0;
  }
  m.Direction[1] = -m.Direction[1];
  if (ExpectString8(in, m.Name) != 1) return 0;
  return in.ReadU32(m.ValueA) && in.ReadU32(m.ValueB) ? 1 : 0;
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
  if (!in.ReadI16(r.Number) || !ReadString8(in, r.Name)) return 0;
  if (ExpectShort(in, r.Number) != 1) return 0;
  if (!ReadString8(in, r.SecondName)) return 0;
  for (std::uint32_t& v : r.Values) {
    if (!in.ReadU32(v)) return 0;
  }
  if (!in.ReadU8(r.Byte1) || !in.ReadU8(r.Byte2)) return 0;
  if (ExpectByte(in, 0) != 1 || ExpectString8(in, r.Name) != 1 || ExpectByte(in, r.Byte2) != 1) return 0;
  return in.ReadU16(r.Word1) && in.ReadU8(r.Byte3) && in.ReadU16(r.Word2) && in.ReadU8(r.Byte4) ? 1 : 0;
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
  return in.ReadU32(r.TrailerValue) && in.ReadU8(r.TrailerByte) && in.ReadU16(r.TrailerWord) ? 1 : 0;
}

void WriteRollmaterialTrailer(ByteWriter& out, const CAnlagenRollmaterial& r) {
  out.U32(r.TrailerValue);
  out.U8(r.TrailerByte);
  out.U16(r.TrailerWord);
}

}  // namespace railfmt
