#include "archive/model.h"

#include <cmath>
#include <utility>

#include "archive/archive_format.h"
#include "archive/primitive_block.h"

namespace railfmt {

using archive::kArrayTag;
using archive::kPointTag;
using archive::TagPlus;
using archive::WriteClassIntroduction;

std::array<float, 3> CModell::PointPosition(int part, int point) const {
  const CPunkt& p = Elements[static_cast<std::size_t>(part)].Points[static_cast<std::size_t>(point)];
  return {static_cast<float>(p.X), static_cast<float>(p.Y), static_cast<float>(p.Z)};
}

void CModell::CopyPointRecord(int part, int point, CPunkt& destination) const {
  destination = Elements[static_cast<std::size_t>(part)].Points[static_cast<std::size_t>(point)];
}

std::uint16_t CModell::PointAttribute(int part, int point, std::uint16_t mask) const {
  const CModellTeil& element = Elements[static_cast<std::size_t>(part)];
  const CPunkt& p = element.Points[static_cast<std::size_t>(point)];
  std::uint16_t value = element.Attribute;
  if (p.Code == 99 && p.CodeValue > 0.0f) {
    // Truncation is defined only below 2^31; beyond it the conversion
    // instruction yields 0x80000000, whose low 16 bits are 0.
    const float truncated = std::trunc(p.CodeValue);
    const std::uint32_t whole =
        truncated < 2147483648.0f ? static_cast<std::uint32_t>(static_cast<std::int32_t>(truncated)) : 0x80000000u;
    value = static_cast<std::uint16_t>(value ^ (whole & 0xFFFFu));
  }
  return static_cast<std::uint16_t>(value & mask);
}

void CModell::SetElements(std::vector<CModellTeil> parts) {
  Elements = std::move(parts);
  ElementCount = static_cast<std::int16_t>(Elements.size());
}

void CModell::ComputeModelTags() {
  IndexTag = archive::kIndexTagBase;
  for (const CModellTeil& part : Elements) IndexTag = TagPlus(IndexTag, part.PointCount + 1);
  FormatTag = TagPlus(IndexTag, 1);
  for (const CModellTeil& part : Elements) FormatTag = TagPlus(FormatTag, part.PrimitiveObjectCount() + 1);
}

void CModell::WriteHeader(ByteWriter& out) const {
  out.I16(ElementCount);
  out.U16(0);
  for (double value : Format.Doubles) out.Double(value);
  for (std::uint32_t value : Format.Values) out.U32(value);
  out.I16(ElementCount);
  if (ElementCount == 0) {
    out.U16(0);
    out.U16(0);
  }
}

void CModell::WriteModelFirst(ByteWriter& out) {
  WriteHeader(out);
  if (ElementCount == 0) return;
  ComputeModelTags();
  WriteClassIntroduction(out, archive::kArrayClass);
  out.I16(Elements.front().PointCount);
  WriteClassIntroduction(out, archive::kPointClass);
  WritePointLists(out);
  out.I16(ElementCount);
  out.U16(kArrayTag);
  out.U16(Elements.front().PrimitiveObjectCount());
  WriteClassIntroduction(out, archive::kIndexClass);
  WritePrimitiveLists(out);
  out.I16(ElementCount);
  out.U16(kArrayTag);
  out.I16(Elements.front().FormatCount);
  WriteClassIntroduction(out, archive::kFormatClass);
  WriteFormatLists(out);
}

void CModell::WriteModelLater(ByteWriter& out) const {
  WriteHeader(out);
  if (ElementCount == 0) return;
  out.U16(kArrayTag);
  out.I16(Elements.front().PointCount);
  out.U16(kPointTag);
  WritePointLists(out);
  out.I16(ElementCount);
  out.U16(kArrayTag);
  out.U16(Elements.front().PrimitiveObjectCount());
  out.U16(IndexTag);
  WritePrimitiveLists(out);
  out.I16(ElementCount);
  out.U16(kArrayTag);
  out.I16(Elements.front().FormatCount);
  out.U16(FormatTag);
  WriteFormatLists(out);
}

void CModell::WritePointLists(ByteWriter& out) const {
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    Elements[i].WritePoints(out, kPointTag);
    if (i + 1 < Elements.size()) {
      out.U16(kArrayTag);
      out.I16(Elements[i + 1].PointCount);
      out.U16(kPointTag);
    }
  }
}

void CModell::WritePrimitiveLists(ByteWriter& out) const {
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    WritePrimitives(Elements[i], out, IndexTag);
    if (i + 1 < Elements.size()) {
      out.U16(kArrayTag);
      out.U16(Elements[i + 1].PrimitiveObjectCount());
      out.U16(IndexTag);
    }
  }
}

void CModell::WriteFormatLists(ByteWriter& out) const {
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    Elements[i].WriteFormats(out, FormatTag);
    if (i + 1 < Elements.size()) {
      out.U16(kArrayTag);
      out.I16(Elements[i + 1].FormatCount);
      out.U16(FormatTag);
    }
  }
}

}  // namespace railfmt
