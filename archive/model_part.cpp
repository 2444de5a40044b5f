#include "archive/model_part.h"

#include <algorithm>
#include <utility>

#include "archive/archive_format.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {
namespace {

// The separator printed as the C runtime prints a 16-bit tag widened to int.
unsigned SignExtended(std::uint16_t tag) {
  return static_cast<unsigned>(static_cast<int>(static_cast<std::int16_t>(tag)));
}

// A count from a file sizes nothing beyond what the remaining bytes could hold.
std::size_t BoundedReserve(std::int16_t count, const ReadCursor& in, std::size_t record_size) {
  if (count <= 0) return 0;
  return std::min(static_cast<std::size_t>(count), in.remaining() / record_size + 1);
}

}  // namespace

bool ReadPoint(CPunkt& point, ReadCursor& in) {
  // One bounds check for the whole record: points are most of a model's
  // bytes, and the reader spends its time here.
  const std::span<const std::uint8_t> record = in.ReadView(archive::kPointRecordSize);
  if (record.size() != archive::kPointRecordSize) return false;  // the cursor is short now
  const std::uint8_t* p = record.data();
  point.X = static_cast<std::int32_t>(LoadLE32(p + 0));
  point.Y = static_cast<std::int32_t>(LoadLE32(p + 4));
  point.Z = static_cast<std::int32_t>(LoadLE32(p + 8));
  point.Aux = LoadLE32(p + 12);
  for (std::size_t i = 0; i < point.Quad.size(); ++i) point.Quad[i] = LoadLE32(p + 16 + 4 * i);
  point.ByteA = p[32];
  point.ByteB = p[33];
  point.ByteC = p[34];
  point.ByteD = p[35];
  point.CodeValue = LoadLEFloat(p + 36);
  point.Aux2 = LoadLE32(p + 40);
  point.Code = static_cast<std::int32_t>(LoadLE32(p + 44));
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
  if (in.remaining() < archive::kFormatRecordSize) {
    in.MarkShort();
    return false;
  }
  for (std::uint32_t& v : format.Values) in.ReadU32(v);
  for (double& d : format.Doubles) in.ReadDouble(d);
  for (float& f : format.Factors) in.ReadFloat(f);
  return true;
}

void WriteFormat(const CFormat& format, ByteWriter& out) {
  for (std::uint32_t v : format.Values) out.U32(v);
  for (double d : format.Doubles) out.Double(d);
  for (float f : format.Factors) out.Float(f);
}

int CModellTeil::ReadPoints(ReadCursor& in, std::uint16_t separator) {
  Points.clear();
  Points.reserve(BoundedReserve(PointCount, in, archive::kPointRecordSize));
  for (int i = 0; i < PointCount; ++i) {
    CPunkt& point = Points.emplace_back();
    if (!ReadPoint(point, in)) {
      Points.pop_back();
      Report("Formatfehler!\n");
      return 0;
    }
    if (i + 1 < PointCount && !ExpectShort(in, separator)) {
      Report("Formatfehler 12!\n");
      return 0;
    }
  }
  return 1;
}

int CModellTeil::ReadFormats(ReadCursor& in, std::int16_t count, std::uint16_t separator) {
  FormatCount = count;
  Formats.clear();
  Formats.reserve(BoundedReserve(count, in, archive::kFormatRecordSize));
  for (int i = 0; i < count; ++i) {
    CFormat& format = Formats.emplace_back();
    if (!ReadFormat(format, in)) {
      Formats.pop_back();
      Report("Formatfehler!\n");
      return 0;
    }
    if (i + 1 < count && !ExpectShort(in, separator)) {
      Report("Falscher Trenner2: %x!\n", SignExtended(separator));
      return 0;
    }
  }
  return 1;
}

void CModellTeil::WritePoints(ByteWriter& out, std::uint16_t separator) const {
  for (std::size_t i = 0; i < Points.size(); ++i) {
    if (i > 0) out.U16(separator);
    WritePoint(Points[i], out);
  }
}

void CModellTeil::WriteFormats(ByteWriter& out, std::uint16_t separator) const {
  for (std::size_t i = 0; i < Formats.size(); ++i) {
    if (i > 0) out.U16(separator);
    WriteFormat(Formats[i], out);
  }
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
