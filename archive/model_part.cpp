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
  if (in.remaining() < archive::kPointRecordSize) {
    in.MarkShort();
    return false;
  }
  in.ReadI32(point.X);
  in.ReadI32(point.Y);
  in.ReadI32(point.Z);
  in.ReadU32(point.Aux);
  for (std::uint32_t& q : point.Quad) in.ReadU32(q);
  in.ReadU8(point.ByteA);
  in.ReadU8(point.ByteB);
  in.ReadU8(point.ByteC);
  in.ReadU8(point.ByteD);
  in.ReadFloat(point.CodeValue);
  in.ReadU32(point.Aux2);
  in.ReadI32(point.Code);
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
