#include "archive/model_part.h"

#include <algorithm>
#include <utility>

#include "archive/archive_format.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {

bool ReadPoint(CPunkt& point, ReadCursor& in) {
  ReadCursor record;
  if (!in.ReadRecord(archive::kPointRecordSize, record)) return false;
  record.ReadI32(point.X);
  record.ReadI32(point.Y);
  record.ReadI32(point.Z);
  record.ReadU32(point.Aux);
  for (std::uint32_t& q : point.Quad) record.ReadU32(q);
  record.ReadU8(point.ByteA);
  record.ReadU8(point.ByteB);
  record.ReadU8(point.ByteC);
  record.ReadU8(point.ByteD);
  record.ReadFloat(point.CodeValue);
  record.ReadU32(point.Aux2);
  record.ReadI32(point.Code);
  return true;
}

void WritePoint(const CPunkt& point, ByteWriter& out) {
  out.I32(point.X);
  out.I32(point.Y);
  out.I32(point.Z);
  out.U32(point.Aux);
  for (std::uint32_t q : point.Quad) out.U32(q);
  out.U8(point.ByteA);
  out.U8(point.ByteB);
  out.U8(point.ByteC);
  out.U8(point.ByteD);
  out.Float(point.CodeValue);
  out.U32(point.Aux2);
  out.I32(point.Code);
}

bool ReadFormat(CFormat& format, ReadCursor& in) {
  ReadCursor record;
  if (!in.ReadRecord(archive::kFormatRecordSize, record)) return false;
  for (std::uint32_t& v : format.Values) record.ReadU32(v);
  for (double& d : format.Doubles) record.ReadDouble(d);
  for (float& f : format.Factors) record.ReadFloat(f);
  return true;
}

void WriteFormat(const CFormat& format, ByteWriter& out) {
  for (std::uint32_t v : format.Values) out.U32(v);
  for (double d : format.Doubles) out.Double(d);
  for (float f : format.Factors) out.Float(f);
}

int CModellTeil::ReadPoints(ReadCursor& in, std::uint16_t separator) {
  switch (archive::ReadSeparatedList(in, PointCount, separator, archive::kPointRecordSize, ForPeople("point"), Points,
                                     ReadPoint)) {
    case archive::ListRead::kShortRecord: Report("Formatfehler!\n"); return 0;
    case archive::ListRead::kWrongSeparator: Report("Formatfehler 12!\n"); return 0;
    case archive::ListRead::kOk: break;
  }
  return 1;
}

int CModellTeil::ReadFormats(ReadCursor& in, std::int16_t count, std::uint16_t separator) {
  FormatCount = count;
  switch (archive::ReadSeparatedList(in, count, separator, archive::kFormatRecordSize, ForPeople("format"), Formats,
                                     ReadFormat)) {
    case archive::ListRead::kShortRecord: Report("Formatfehler!\n"); return 0;
    case archive::ListRead::kWrongSeparator:
      Report("Falscher Trenner2: %x!\n", archive::SignExtendedTag(separator));
      return 0;
    case archive::ListRead::kOk: break;
  }
  return 1;
}

void CModellTeil::WritePoints(ByteWriter& out, std::uint16_t separator) const {
  archive::WriteSeparatedList(out, Points, separator, WritePoint);
}

void CModellTeil::WriteFormats(ByteWriter& out, std::uint16_t separator) const {
  archive::WriteSeparatedList(out, Formats, separator, WriteFormat);
}

bool CModellTeil::PrimitivesInCanonicalOrder() const {
  // The canonical order: points, lines, triangles, quads, then polygons.
  const auto rank = [](const CPrimitiv& p) { return std::min<std::int32_t>(p.VertexCount, 5); };
  return std::is_sorted(Primitives.begin(), Primitives.end(),
                        [&](const CPrimitiv& a, const CPrimitiv& b) { return rank(a) < rank(b); });
}

std::uint16_t CModellTeil::PrimitiveObjectCount() const {
  std::uint32_t count = 6;
  for (const CPrimitiv& primitive : Primitives) {
    count += static_cast<std::uint32_t>(primitive.VertexCount);
    if (primitive.VertexCount > 4) count += 1;
  }
  return static_cast<std::uint16_t>(count & 0xFFFFu);
}

void CModellTeil::SetPoints(std::vector<CPunkt> points) {
  Points = std::move(points);
  PointCount = static_cast<std::int16_t>(Points.size());
}

void CModellTeil::SetPrimitives(std::vector<CPrimitiv> primitives) {
  Primitives = std::move(primitives);
  PrimitiveCount = static_cast<std::int16_t>(Primitives.size());
}

void CModellTeil::SetFormats(std::vector<CFormat> formats) {
  Formats = std::move(formats);
  FormatCount = static_cast<std::int16_t>(Formats.size());
}

}  // namespace railfmt
