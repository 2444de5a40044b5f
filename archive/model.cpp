#include "archive/model.h"

#include <cmath>
#include <utility>

#include "archive/archive_format.h"
#include "archive/primitive_block.h"

namespace railfmt {

using archive::kArrayTag;
using archive::kPointTag;
using archive::TagAfterList;
using archive::WriteClassIntroduction;

std::uint16_t IndexTagOf(const std::vector<CModellTeil>& parts) {
  std::uint16_t tag = archive::kIndexTagBase;
  for (const CModellTeil& part : parts) tag = TagAfterList(tag, part.PointCount);
  return tag;
}

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

ModelTags CModell::ComputeModelTags() const {
  ModelTags tags{IndexTagOf(Elements), 0};
  tags.format = archive::TagPlus(tags.index, 1);
  for (const CModellTeil& part : Elements) tags.format = TagAfterList(tags.format, part.PrimitiveObjectCount());
  return tags;
}

ModelTags CModell::WriteModelFirst(ByteWriter& out) const {
  const ModelTags tags = ElementCount == 0 ? ModelTags{} : ComputeModelTags();
  WriteModel(out, nullptr, tags);
  return tags;
}

void CModell::WriteModelLater(ByteWriter& out, ModelTags carried) const { WriteModel(out, &carried, carried); }

void CModell::WriteModel(ByteWriter& out, const ModelTags* carried, ModelTags tags) const {
  // The first form introduces a class where the later form names its tag.
  const auto class_marker = [&](std::string_view class_name, std::uint16_t tag) {
    if (carried == nullptr) {
      WriteClassIntroduction(out, class_name);
    } else {
      out.U16(tag);
    }
  };
  // Between two parts' lists: the array tag, the next part's count and
  // the list's class tag.
  const auto between_parts = [&](int next_count, std::uint16_t tag) {
    out.U16(kArrayTag);
    out.I16(static_cast<std::int16_t>(next_count));
    out.U16(tag);
  };

  out.I16(ElementCount);
  out.U16(0);
  for (double value : Format.Doubles) out.Double(value);
  for (std::uint32_t value : Format.Values) out.U32(value);
  out.I16(ElementCount);
  if (ElementCount == 0) {
    out.U16(0);
    out.U16(0);
    return;
  }

  class_marker(archive::kArrayClass, kArrayTag);
  out.I16(Elements.front().PointCount);
  class_marker(archive::kPointClass, kPointTag);
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    Elements[i].WritePoints(out, kPointTag);
    if (i + 1 < Elements.size()) between_parts(Elements[i + 1].PointCount, kPointTag);
  }

  out.I16(ElementCount);
  out.U16(kArrayTag);
  out.U16(Elements.front().PrimitiveObjectCount());
  class_marker(archive::kIndexClass, tags.index);
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    WritePrimitives(Elements[i], out, tags.index);
    if (i + 1 < Elements.size()) between_parts(Elements[i + 1].PrimitiveObjectCount(), tags.index);
  }

  out.I16(ElementCount);
  out.U16(kArrayTag);
  out.I16(Elements.front().FormatCount);
  class_marker(archive::kFormatClass, tags.format);
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    Elements[i].WriteFormats(out, tags.format);
    if (i + 1 < Elements.size()) between_parts(Elements[i + 1].FormatCount, tags.format);
  }
}

}  // namespace railfmt
