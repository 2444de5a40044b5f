// The model reader: the stream layout of CModell checked row by row.
#include <algorithm>

#include "archive/archive_format.h"
#include "archive/model.h"
#include "archive/primitive_block.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {

using archive::IntroductionCheck;
using archive::kArrayTag;
using archive::kPointTag;
using archive::ReadClassIntroduction;

int CModell::Fail(const char* format) const {
  Report(format, NameOrNull(Name));
  return 0;
}

int CModell::Truncated() {
  Report("Formatfehler!\n");
  return 0;
}

int CModell::ReadCount(ReadCursor& in, std::int16_t& count, bool allow_negative) {
  if (!in.ReadI16(count) || (!allow_negative && count < 0)) return Truncated();
  return 1;
}

int CModell::ReadModelHeader(ReadCursor& in) {
  if (!in.ReadI16(ElementCount)) return Truncated();
  if (!ExpectShort(in, 0)) return Fail("Formatfehler 1 in %s!\n");
  for (double& value : Format.Doubles) {
    if (!in.ReadDouble(value)) return Truncated();
  }
  for (std::uint32_t& value : Format.Values) {
    if (!in.ReadU32(value)) return Truncated();
  }
  if (!ExpectShort(in, ElementCount)) return Fail("Formatfehler 3 in %s!\n");
  if (ElementCount < 0) return Fail("Formatfehler 3 in %s!\n");
  if (ElementCount == 0 && (!ExpectShort(in, 0) || !ExpectShort(in, 0))) {
    return Fail("Formatfehler 3 in %s!\n");
  }
  return 1;
}

void CModell::ReadModelFirst(ReadCursor& in) {
  IndexTag = 0;
  FormatTag = 0;
  if (!ReadModelHeader(in)) return;
  if (ElementCount == 0) {
    ReadOk = 1;
    return;
  }
  std::int16_t count = 0;
  switch (ReadClassIntroduction(in, archive::kArrayClass)) {
    case IntroductionCheck::kMissingIntroduction: Fail("Formatfehler 4 in %s!\n"); return;
    case IntroductionCheck::kWrongName: Fail("Formatfehler 6 in %s!\n"); return;
    case IntroductionCheck::kOk: break;
  }
  if (!ReadCount(in, count, false)) return;
  switch (ReadClassIntroduction(in, archive::kPointClass)) {
    case IntroductionCheck::kMissingIntroduction: Fail("Formatfehler 7 in %s!\n"); return;
    case IntroductionCheck::kWrongName: Fail("Formatfehler 8 in %s!\n"); return;
    case IntroductionCheck::kOk: break;
  }
  if (!ReadPointLists(in, count)) return;

  if (!ExpectShort(in, ElementCount)) {
    Fail("Formatfehler 9c in %s!\n");
    return;
  }
  if (!ExpectShort(in, kArrayTag)) {
    Fail("Formatfehler 10 in %s!\n");
    return;
  }
  if (!ReadCount(in, count, true)) return;
  switch (ReadClassIntroduction(in, archive::kIndexClass)) {
    case IntroductionCheck::kMissingIntroduction: Fail("Formatfehler 13 in %s!\n"); return;
    case IntroductionCheck::kWrongName: Fail("Formatfehler 14 in %s!\n"); return;
    case IntroductionCheck::kOk: break;
  }
  if (!ReadPrimitiveLists(in, count)) return;

  if (!ExpectShort(in, ElementCount)) {
    Fail("Formatfehler 16 in %s!\n");
    return;
  }
  if (!ExpectShort(in, kArrayTag)) {
    Fail("Formatfehler 10 in %s!\n");
    return;
  }
  if (!ReadCount(in, count, false)) return;
  switch (ReadClassIntroduction(in, archive::kFormatClass)) {
    case IntroductionCheck::kMissingIntroduction: Fail("Formatfehler 13 in %s!\n"); return;
    case IntroductionCheck::kWrongName: Fail("Formatfehler 14 in %s!\n"); return;
    case IntroductionCheck::kOk: break;
  }
  if (ReadFormatLists(in, count)) ReadOk = 1;
}

void CModell::ReadModelLater(ReadCursor& in) {
  if (!ReadModelHeader(in)) return;
  if (ElementCount == 0) {
    ReadOk = 1;
    return;
  }
  std::int16_t count = 0;
  if (!ExpectShort(in, kArrayTag)) {
    Fail("Formatfehler 6 in %s!\n");
    return;
  }
  if (!ReadCount(in, count, false)) return;
  if (!ExpectShort(in, kPointTag)) {
    Fail("Formatfehler 6 in %s!\n");
    return;
  }
  if (!ReadPointLists(in, count)) return;

  if (!ExpectShort(in, ElementCount)) {
    Fail("Formatfehler 9c in %s!\n");
    return;
  }
  if (!ExpectShort(in, kArrayTag)) {
    Fail("Formatfehler 10 in %s!\n");
    return;
  }
  if (!ReadCount(in, count, true)) return;
  if (!ExpectShort(in, IndexTag)) {
    Fail("Formatfehler 11 in %s!\n");
    return;
  }
  if (!ReadPrimitiveLists(in, count)) return;

  if (!ExpectShort(in, ElementCount)) {
    Fail("Formatfehler 16 in %s!\n");
    return;
  }
  if (!ExpectShort(in, kArrayTag)) {
    Fail("Formatfehler 12 in %s!\n");
    return;
  }
  if (!ReadCount(in, count, false)) return;
  if (!ExpectShort(in, FormatTag)) {
    Fail("Formatfehler 13 in %s!\n");
    return;
  }
  if (ReadFormatLists(in, count)) ReadOk = 1;
}

int CModell::ReadPointLists(ReadCursor& in, std::int16_t first_count) {
  Elements.clear();
  if (ElementCount > 0) {
    // Every part after the first takes at least its tags and count (6 bytes).
    Elements.reserve(std::min(static_cast<std::size_t>(ElementCount), in.remaining() / 6 + 1));
  }
  std::int16_t count = first_count;
  for (int i = 0; i < ElementCount; ++i) {
    CModellTeil& part = Elements.emplace_back();
    part.PointCount = count;
    if (!part.ReadPoints(in, kPointTag)) return 0;
    if (i + 1 < ElementCount) {
      if (!ExpectShort(in, kArrayTag)) return Fail("Formatfehler 9a in %s!\n");
      if (!ReadCount(in, count, false)) return 0;
      if (!ExpectShort(in, kPointTag)) return Fail("Formatfehler 9b in %s!\n");
    }
  }
  if (IndexTag == 0) {
    IndexTag = archive::kIndexTagBase;
    for (const CModellTeil& part : Elements) IndexTag = archive::TagPlus(IndexTag, part.PointCount + 1);
  }
  return 1;
}

int CModell::ReadPrimitiveLists(ReadCursor& in, std::int16_t first_count) {
  const bool accumulate = FormatTag == 0;
  if (accumulate) FormatTag = archive::TagPlus(IndexTag, 1);
  std::int16_t count = first_count;
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    if (!ReadPrimitives(Elements[i], in, count, IndexTag)) return 0;
    if (accumulate) FormatTag = archive::TagPlus(FormatTag, count + 1);
    if (i + 1 < Elements.size()) {
      if (!ExpectShort(in, kArrayTag)) return Fail("Formatfehler 15a in %s!\n");
      if (!ReadCount(in, count, true)) return 0;
      if (!ExpectShort(in, IndexTag)) return Fail("Formatfehler 15b in %s!\n");
    }
  }
  return 1;
}

int CModell::ReadFormatLists(ReadCursor& in, std::int16_t first_count) {
  std::int16_t count = first_count;
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    if (!Elements[i].ReadFormats(in, count, FormatTag)) return 0;
    if (i + 1 < Elements.size()) {
      if (!ExpectShort(in, kArrayTag)) return Fail("Formatfehler 17a in %s!\n");
      if (!ReadCount(in, count, false)) return 0;
      if (!ExpectShort(in, FormatTag)) {
        Report("Formatfehler 17b in %s %d!\n", NameOrNull(Name), static_cast<int>(i));
        return 0;
      }
    }
  }
  return 1;
}

}  // namespace railfmt
