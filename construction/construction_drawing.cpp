#include "construction/construction_drawing.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "archive/archive_format.h"
#include "archive/primitive_block.h"
#include "construction/construction_format.h"
#include "driver/diagnostics.h"
#include "driver/field_primitives.h"

namespace railfmt {
namespace {

using archive::IntroductionCheck;

// One read of a drawing: the cursor, the running class tag and the name the
// messages carry.
class DrawingReader {
 public:
  DrawingReader(CKonstruktion& drawing, ReadCursor& in) : drawing_(drawing), in_(in) {}

  bool Read() {
    {
      const auto header = in_.Within("header");
      for (std::size_t i = 0; i < construction::kIdentificationWords.size(); ++i) {
        if (!ExpectShort(in_.Field(kWordFields[i]), construction::kIdentificationWords[i])) {
          return Fail("Formatfehler 1 in %s!\n");
        }
      }
    }
    return ReadPointList() && ReadIndexBlock() && ReadFormatList() &&
           ReadLineList(archive::kDashedLineClass, ForPeople("dashed lines"), ForPeople("dashed line"),
                        drawing_.DashedLines, drawing_.DashedLineCount) &&
           ReadLineList(archive::kLineClass, ForPeople("plain lines"), ForPeople("plain line"), drawing_.Lines,
                        drawing_.LineCount) &&
           ReadReservedCount() &&
           ReadLineList(archive::kDimensionLineClass, ForPeople("dimension lines"), ForPeople("dimension line"),
                        drawing_.DimensionLines, drawing_.DimensionLineCount);
  }

 private:
  static constexpr const char* kWordFields[] = {ForPeople("identification word 1"), ForPeople("identification word 2"),
                                                ForPeople("identification word 3"), ForPeople("identification word 4")};
  static_assert(std::size(kWordFields) == construction::kIdentificationWords.size());

  bool ReadPointList() {
    const auto section = in_.Within("point list");
    std::int16_t count = 0;
    if (!ReadListCount(ForPeople("point count"), count)) return false;
    drawing_.PointCount = count;
    if (count == 0) return true;
    if (!ReadIntroduction(archive::kPointClass, "Formatfehler 7 in %s!\n", "Formatfehler 8 in %s!\n")) return false;
    if (!drawing_.ReadPoints(in_, tag_)) return false;
    Advance(count);
    return true;
  }

  // C is not a list count of the drawing's own: 0 or less leaves the
  // judgement to the index block, which finds no (0,1) in it.
  bool ReadIndexBlock() {
    const auto section = in_.Within("primitive list");
    std::int16_t count = 0;
    if (!in_.Field("primitive object count").ReadI16(count)) return Fail("Formatfehler!\n");
    if (count == 0) return true;
    if (!ReadIntroduction(archive::kIndexClass, "Formatfehler 13 in %s!\n", "Formatfehler 14 in %s!\n")) return false;
    if (!ReadPrimitives(drawing_, in_, count, tag_)) return false;
    Advance(drawing_.PrimitiveObjectCount());
    return true;
  }

  bool ReadFormatList() {
    const auto section = in_.Within("format list");
    std::int16_t count = 0;
    if (!ReadListCount(ForPeople("format count"), count)) return false;
    if (count == 0) return true;
    if (!ReadIntroduction(archive::kFormatClass, "Formatfehler 17 in %s!\n", "Formatfehler 18 in %s!\n")) {
      return false;
    }
    if (!drawing_.ReadFormats(in_, count, tag_)) return false;
    Advance(count);
    return true;
  }

  bool ReadLineList(std::string_view class_name, const char* section_name, const char* record_name,
                    std::vector<CLinie>& lines, std::int16_t& count) {
    const auto section = in_.Within(section_name);
    if (!ReadListCount(ForPeople("line count"), count)) return false;
    if (count == 0) return true;
    if (!ReadIntroduction(class_name, "Formatfehler 17 in %s!\n", "Formatfehler 18 in %s!\n")) return false;
    switch (archive::ReadSeparatedList(in_, count, tag_, construction::kLineRecordSize, record_name, lines,
                                       ReadLineRecord)) {
      case archive::ListRead::kShortRecord: return Fail("Formatfehler!\n");
      case archive::ListRead::kWrongSeparator: return Fail("Formatfehler 20 in %s!\n");
      case archive::ListRead::kOk: break;
    }
    Advance(count);
    return true;
  }

  bool ReadReservedCount() {
    if (!ExpectShort(in_.Field("reserved count"), construction::kReservedCount)) {
      return Fail("Formatfehler Juhu in %s!\n");
    }
    return true;
  }

  // A list count: a negative one announces no list and fails at once.
  bool ReadListCount(const char* field, std::int16_t& count) {
    if (!in_.Field(field).ReadI16(count)) return Fail("Formatfehler!\n");
    if (count < 0) {
      in_.Reject(count);
      return Fail("Formatfehler!\n");
    }
    return true;
  }

  bool ReadIntroduction(std::string_view class_name, const char* missing_message, const char* name_message) {
    switch (archive::ReadClassIntroduction(in_, class_name)) {
      case IntroductionCheck::kOk: return true;
      case IntroductionCheck::kMissingIntroduction: return Fail(missing_message);
      case IntroductionCheck::kWrongName: return Fail(name_message);
    }
    return false;
  }

  void Advance(int object_count) { tag_ = archive::TagAfterList(tag_, object_count); }

  bool Fail(const char* message) {
    Report(message, NameOrNull(drawing_.Name));
    return false;
  }

  CKonstruktion& drawing_;
  ReadCursor& in_;
  std::uint16_t tag_ = construction::kFirstClassTag;
};

// The writer's running class tag follows the same rule as the reader's.
void WriteLineList(ByteWriter& out, std::string_view class_name, const std::vector<CLinie>& lines, std::int16_t count,
                   std::uint16_t& tag) {
  out.I16(count);
  if (count == 0) return;
  archive::WriteClassIntroduction(out, class_name);
  archive::WriteSeparatedList(out, lines, tag, WriteLineRecord);
  tag = archive::TagAfterList(tag, count);
}

}  // namespace

void CKonstruktion::SetDashedLines(std::vector<CLinie> lines) {
  DashedLines = std::move(lines);
  DashedLineCount = static_cast<std::int16_t>(DashedLines.size());
}

void CKonstruktion::SetLines(std::vector<CLinie> lines) {
  Lines = std::move(lines);
  LineCount = static_cast<std::int16_t>(Lines.size());
}

void CKonstruktion::SetDimensionLines(std::vector<CLinie> lines) {
  DimensionLines = std::move(lines);
  DimensionLineCount = static_cast<std::int16_t>(DimensionLines.size());
}

ReadResult ReadConstructionDrawing(CKonstruktion& drawing, std::span<const std::uint8_t> bytes, std::string_view path) {
  ReadCursor in(bytes);
  if (DrawingReader(drawing, in).Read()) {
    drawing.ReadOk = 1;
    CheckEndOfData(in, path);
  }
  return {drawing.ReadOk == 1, in.offset(), in.fault()};
}

void EncodeConstructionDrawing(const CKonstruktion& drawing, ByteWriter& out) {
  for (std::uint16_t word : construction::kIdentificationWords) out.U16(word);
  std::uint16_t tag = construction::kFirstClassTag;

  out.I16(drawing.PointCount);
  if (drawing.PointCount != 0) {
    archive::WriteClassIntroduction(out, archive::kPointClass);
    drawing.WritePoints(out, tag);
    tag = archive::TagAfterList(tag, drawing.PointCount);
  }

  const std::uint16_t index_objects = drawing.PrimitiveObjectCount();
  out.U16(index_objects);
  archive::WriteClassIntroduction(out, archive::kIndexClass);
  WritePrimitives(drawing, out, tag);
  tag = archive::TagAfterList(tag, index_objects);

  out.I16(drawing.FormatCount);
  if (drawing.FormatCount != 0) {
    archive::WriteClassIntroduction(out, archive::kFormatClass);
    drawing.WriteFormats(out, tag);
    tag = archive::TagAfterList(tag, drawing.FormatCount);
  }

  WriteLineList(out, archive::kDashedLineClass, drawing.DashedLines, drawing.DashedLineCount, tag);
  WriteLineList(out, archive::kLineClass, drawing.Lines, drawing.LineCount, tag);
  out.U16(construction::kReservedCount);
  WriteLineList(out, archive::kDimensionLineClass, drawing.DimensionLines, drawing.DimensionLineCount, tag);
}

}  // namespace railfmt
