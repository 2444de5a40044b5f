// The model reader: the stream layout of CModell checked row by row. The
// first and the later form of a model are one sequence; they differ only in
// how each class is named (an introduction or a tag) and in the messages
// that raises.
#include "archive/archive_format.h"
#include "archive/model.h"
#include "archive/primitive_block.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {
namespace {

using archive::IntroductionCheck;
using archive::kArrayTag;
using archive::kPointTag;

// How a model names one of its four classes, the section of the stream
// the class begins, and the message of each fault.
struct ClassSlot {
  std::string_view class_name;
  const char* section;
  const char* missing_introduction;  // first form: no 0xFFFF 0
  const char* wrong_name;            // first form: another class name
  const char* wrong_tag;             // later form: another tag
};

enum Slot { kArraySlot, kPointSlot, kIndexSlot, kFormatSlot };

constexpr ClassSlot kSlots[] = {
    {archive::kArrayClass, ForPeople("list of parts"), "Formatfehler 4 in %s!\n", "Formatfehler 6 in %s!\n",
     "Formatfehler 6 in %s!\n"},
    {archive::kPointClass, ForPeople("point lists"), "Formatfehler 7 in %s!\n", "Formatfehler 8 in %s!\n",
     "Formatfehler 6 in %s!\n"},
    {archive::kIndexClass, ForPeople("primitive lists"), "Formatfehler 13 in %s!\n", "Formatfehler 14 in %s!\n",
     "Formatfehler 11 in %s!\n"},
    {archive::kFormatClass, ForPeople("format lists"), "Formatfehler 13 in %s!\n", "Formatfehler 14 in %s!\n",
     "Formatfehler 13 in %s!\n"},
};

}  // namespace

int CModell::Fail(const char* format) const {
  Report(format, NameOrNull(Name));
  return 0;
}

int CModell::Truncated() {
  Report("Formatfehler!\n");
  return 0;
}

int CModell::ReadCount(ReadCursor& in, std::int16_t& count, bool allow_negative) {
  if (!in.ReadI16(count)) return Truncated();
  if (!allow_negative && count < 0) {
    in.Reject(count);
    return Truncated();
  }
  return 1;
}

int CModell::ReadModelHeader(ReadCursor& in) {
  const auto header = in.Within("header");
  const std::size_t count_at = in.offset();
  if (!in.Field("part count").ReadI16(ElementCount)) return Truncated();
  if (!ExpectShort(in.Field("reserved word"), 0)) return Fail("Formatfehler 1 in %s!\n");
  in.Field("model format");
  for (double& value : Format.Doubles) {
    if (!in.ReadDouble(value)) return Truncated();
  }
  for (std::uint32_t& value : Format.Values) {
    if (!in.ReadU32(value)) return Truncated();
  }
  if (!ExpectShort(in.Field("part count copy"), ElementCount)) return Fail("Formatfehler 3 in %s!\n");
  if (ElementCount < 0) {
    in.Reject(count_at, count_at + 2, "part count", ElementCount);
    return Fail("Formatfehler 3 in %s!\n");
  }
  if (ElementCount == 0 &&
      (!ExpectShort(in.Field("primitive list count"), 0) || !ExpectShort(in.Field("format list count"), 0))) {
    return Fail("Formatfehler 3 in %s!\n");
  }
  return 1;
}

int CModell::ReadClassMarker(ReadCursor& in, int slot, const ModelTags* carried) {
  const ClassSlot& s = kSlots[slot];
  if (carried != nullptr) {
    const std::uint16_t tags[] = {kArrayTag, kPointTag, carried->index, carried->format};
    return ExpectShort(in.Field("class tag"), tags[slot]) ? 1 : Fail(s.wrong_tag);
  }
  switch (archive::ReadClassIntroduction(in, s.class_name)) {
    case IntroductionCheck::kMissingIntroduction: return Fail(s.missing_introduction);
    case IntroductionCheck::kWrongName: return Fail(s.wrong_name);
    case IntroductionCheck::kOk: break;
  }
  return 1;
}

void CModell::ReadModelFirst(ReadCursor& in) { ReadModel(in, nullptr); }

void CModell::ReadModelLater(ReadCursor& in, ModelTags carried) { ReadModel(in, &carried); }

void CModell::ReadModel(ReadCursor& in, const ModelTags* carried) {
  IndexTag = carried != nullptr ? carried->index : 0;
  FormatTag = carried != nullptr ? carried->format : 0;
  if (!ReadModelHeader(in)) return;
  if (ElementCount == 0) {
    ReadOk = 1;
    return;
  }
  std::int16_t count = 0;
  {
    const auto section = in.Within(kSlots[kArraySlot].section);
    if (!ReadClassMarker(in, kArraySlot, carried)) return;
  }
  {
    const auto section = in.Within(kSlots[kPointSlot].section);
    if (!ReadCount(in.Field("point count"), count, false) || !ReadClassMarker(in, kPointSlot, carried) ||
        !ReadPointLists(in, count)) {
      return;
    }
  }
  // The first form learns its tags from the lists it reads.
  if (carried == nullptr) IndexTag = IndexTagOf(Elements);

  {
    const auto section = in.Within(kSlots[kIndexSlot].section);
    if (!ExpectShort(in.Field("part count copy"), ElementCount)) {
      Fail("Formatfehler 9c in %s!\n");
      return;
    }
    if (!ExpectShort(in.Field("list tag"), kArrayTag)) {
      Fail("Formatfehler 10 in %s!\n");
      return;
    }
    if (!ReadCount(in.Field("primitive object count"), count, true) || !ReadClassMarker(in, kIndexSlot, carried) ||
        !ReadPrimitiveLists(in, count, carried == nullptr)) {
      return;
    }
  }

  const auto section = in.Within(kSlots[kFormatSlot].section);
  if (!ExpectShort(in.Field("part count copy"), ElementCount)) {
    Fail("Formatfehler 16 in %s!\n");
    return;
  }
  if (!ExpectShort(in.Field("list tag"), kArrayTag)) {
    Fail(carried == nullptr ? "Formatfehler 10 in %s!\n" : "Formatfehler 12 in %s!\n");
    return;
  }
  if (!ReadCount(in.Field("format count"), count, false) || !ReadClassMarker(in, kFormatSlot, carried)) return;
  if (ReadFormatLists(in, count)) ReadOk = 1;
}

int CModell::ReadPointLists(ReadCursor& in, std::int16_t first_count) {
  Elements.clear();
  // Every part after the first takes at least its tags and count (6 bytes).
  ReserveAnnounced(Elements, ElementCount, in, 6);
  std::int16_t count = first_count;
  for (int i = 0; i < ElementCount; ++i) {
    const auto part_place = in.Within("part", i);
    // Every list after the first begins with the list tag, its count and
    // the point class tag.
    if (i > 0) {
      if (!ExpectShort(in.Field("list tag"), kArrayTag)) return Fail("Formatfehler 9a in %s!\n");
      if (!ReadCount(in.Field("point count"), count, false)) return 0;
      if (!ExpectShort(in.Field("class tag"), kPointTag)) return Fail("Formatfehler 9b in %s!\n");
    }
    CModellTeil& part = Elements.emplace_back();
    part.PointCount = count;
    if (!part.ReadPoints(in, kPointTag)) return 0;
  }
  return 1;
}

int CModell::ReadPrimitiveLists(ReadCursor& in, std::int16_t first_count, bool count_format_tag) {
  // The format class follows the index class and every object of the lists
  // as they stand in the stream.
  if (count_format_tag) FormatTag = archive::TagPlus(IndexTag, 1);
  std::int16_t count = first_count;
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    const auto part = in.Within("part", static_cast<std::int32_t>(i));
    if (i > 0) {
      if (!ExpectShort(in.Field("list tag"), kArrayTag)) return Fail("Formatfehler 15a in %s!\n");
      if (!ReadCount(in.Field("primitive object count"), count, true)) return 0;
      if (!ExpectShort(in.Field("class tag"), IndexTag)) return Fail("Formatfehler 15b in %s!\n");
    }
    if (!ReadPrimitives(Elements[i], in, count, IndexTag)) return 0;
    if (count_format_tag) FormatTag = archive::TagAfterList(FormatTag, count);
  }
  return 1;
}

int CModell::ReadFormatLists(ReadCursor& in, std::int16_t first_count) {
  std::int16_t count = first_count;
  for (std::size_t i = 0; i < Elements.size(); ++i) {
    const auto part = in.Within("part", static_cast<std::int32_t>(i));
    if (i > 0) {
      if (!ExpectShort(in.Field("list tag"), kArrayTag)) return Fail("Formatfehler 17a in %s!\n");
      if (!ReadCount(in.Field("format count"), count, false)) return 0;
      if (!ExpectShort(in.Field("class tag"), FormatTag)) {
        Report("Formatfehler 17b in %s %d!\n", NameOrNull(Name), static_cast<int>(i - 1));
        return 0;
      }
    }
    if (!Elements[i].ReadFormats(in, count, FormatTag)) return 0;
  }
  return 1;
}

}  // namespace railfmt
