// The explanation table: one row for every message format the library can
// produce, for every kind that produces it. scripts/message_audit.sh fails
// when a format of the library has no row here.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <variant>

#include "layout/layout.h"
#include "layout/track.h"
#include "inspect/explain.h"
#include "inspect/explain_words.h"

namespace railfmt::inspect::explain {
namespace {

constexpr unsigned Bit(EntryKind kind) { return 1u << static_cast<unsigned>(kind); }
constexpr unsigned kModelBit = Bit(EntryKind::kModel);
constexpr unsigned kStockBit = Bit(EntryKind::kRollingStock);
constexpr unsigned kDrawingBit = Bit(EntryKind::kConstruction);
constexpr unsigned kLayoutBit = Bit(EntryKind::kLayout);
// Model streams: model files and the three models of rolling stock.
constexpr unsigned kStreamBits = kModelBit | kStockBit;
constexpr unsigned kArchiveBits = kStreamBits | kDrawingBit;
constexpr unsigned kAnyBits = kArchiveBits | kLayoutBit;

// ---- Model streams -------------------------------------------------------

// The model a message of a model stream is about: the model file's, or the
// first model of the rolling stock that failed; later is true when the
// model refers to the stream's classes by their tags (a model after the
// first one with parts).
struct StreamModel {
  const CModell* model = nullptr;
  int index = 0;
  bool later = false;
};

StreamModel FailingModel(const Context& c) {
  if (const auto* model = std::get_if<CModell>(c.object)) return {model, 0, false};
  StreamModel at;
  if (const auto* stock = std::get_if<CRollmaterial>(c.object)) {
    for (const CModell& model : stock->Models) {
      if (model.ReadOk == 0) {
        at.model = &model;
        return at;
      }
      if (model.ElementCount != 0) at.later = true;
      ++at.index;
    }
  }
  return at;
}

// "model 2 of the rolling stock: " for a message of rolling stock's models.
std::string Where(const Context& c) {
  if (c.kind != EntryKind::kRollingStock) return "";
  const StreamModel at = FailingModel(c);
  if (at.model == nullptr) return "the info block: ";
  return "model " + N(static_cast<std::size_t>(at.index) + 1) + " of the rolling stock: ";
}

Finding WithWhere(const Context& c, Finding finding) {
  finding.text = Where(c) + finding.text;
  return finding;
}

// The parts created so far: the part whose lists are being read.
std::size_t PartsRead(const Context& c) {
  const StreamModel at = FailingModel(c);
  return at.model == nullptr ? 0 : at.model->Elements.size();
}

// The first two words of a class introduction: the new-class tag 0xFFFF
// and the schema number 0.
Finding IntroductionStart(const Context& c, const std::string& list) {
  const std::size_t begin = c.stop >= 2 ? c.stop - 2 : 0;
  if (c.mismatch && c.mismatch->second == "-1") {
    return {"the class introduction of " + list + " at byte " + N(begin) +
                " must begin with the new-class tag 0xFFFF, found " + Tag(c.mismatch->first),
            begin, c.stop};
  }
  if (c.mismatch) {
    return {"the schema number of the class introduction of " + list + " at byte " + N(begin) + " must be 0, found " +
                c.mismatch->first,
            begin, c.stop};
  }
  return DataEnds(c, "the class introduction of " + list, 2);
}

// The class name of an introduction: a 16-bit length and the characters. A
// wrong length stops the check behind the length, a wrong name behind the
// name.
Finding ClassName(const Context& c, std::string_view expected, const std::string& list) {
  const std::size_t length = expected.size();
  const std::string field = "the class name of " + list;
  if (c.stop < 2) return DataEnds(c, field, 2);
  if (U16At(c, c.stop - 2) == length && c.ShortAt(length)) return DataEnds(c, field, length);
  if (c.stop >= 2 + length && U16At(c, c.stop - 2 - length) == length) {
    const std::string_view found(reinterpret_cast<const char*>(c.bytes.data()) + (c.stop - length), length);
    return {field + " at byte " + N(c.stop - 2 - length) + " must be " + Quote(expected) + ", found " + Quote(found),
            c.stop - 2 - length, c.stop};
  }
  return {field + " at byte " + N(c.stop - 2) + " must be " + Quote(expected) + " (" + N(length) +
              " characters), found a length of " + N(U16At(c, c.stop - 2)),
          c.stop - 2, c.stop};
}

// The index and format lists follow the point lists; in a first model the
// format class tag is counted from the moment the primitive lists begin.
bool InFormatLists(const Context& c) {
  const StreamModel at = FailingModel(c);
  return at.model != nullptr && !at.later && at.model->FormatTag != 0;
}

Finding ReservedWord(const Context& c) {
  return WithWhere(c, CheckedField(c, "the reserved word of the model header", 2));
}

Finding PartCountCopy(const Context& c) {
  const StreamModel at = FailingModel(c);
  const int parts = at.model == nullptr ? 0 : at.model->ElementCount;
  if (!c.mismatch && !c.ShortAt(2) && parts < 0) {
    // The header's five rows (42 bytes) were read before the count was judged.
    const std::size_t begin = c.stop >= 42 ? c.stop - 42 : 0;
    return WithWhere(c, {"the part count at byte " + N(begin) + " is negative (" + std::to_string(parts) +
                             "); a model has 0 or more parts",
                         begin, begin + 2});
  }
  // A model without parts stores its copy of the count and two list counts
  // as zeros; in a model at the start of the file the copy ends at byte 42.
  if (c.mismatch && parts == 0 && c.mismatch->second == "0" && (at.index > 0 || c.stop != 42)) {
    return WithWhere(c,
                     CheckedField(c,
                                  at.index > 0 ? "the copy of the part count or a list count of a model without parts"
                                               : "a list count of a model without parts",
                                  2));
  }
  return WithWhere(c, CheckedField(c, "the copy of the part count", 2, false,
                                   "repeat the part count (" + std::to_string(parts) + ")"));
}

Finding PartListIntroduction(const Context& c) {
  return WithWhere(c, IntroductionStart(c, "the list of parts (\"CObArray\")"));
}

Finding ArrayNameOrTag(const Context& c) {
  if (c.mismatch) {
    return WithWhere(c, CheckedField(c, "the class tag of the list of parts or of its points", 2, true));
  }
  return WithWhere(c, ClassName(c, "CObArray", "the list of parts"));
}

Finding PointListIntroduction(const Context& c) {
  return WithWhere(c, IntroductionStart(c, "the point list (\"CObPunkt\")"));
}

Finding PointClassName(const Context& c) { return WithWhere(c, ClassName(c, "CObPunkt", "the point list")); }

Finding PartListTag(const Context& c, const std::string& list) {
  return WithWhere(c, CheckedField(c, "the list tag before the " + list + " of part " + N(PartsRead(c) + 1), 2, true));
}
Finding PointListTag(const Context& c) { return PartListTag(c, "point list"); }

Finding PointTag(const Context& c) {
  return WithWhere(c, CheckedField(c, "the point class tag before the points of part " + N(PartsRead(c) + 1), 2, true));
}

Finding PartCountBeforePrimitives(const Context& c) {
  return WithWhere(c, CheckedField(c, "the copy of the part count before the primitive lists", 2));
}

Finding ListTagBeforeLists(const Context& c) {
  const char* lists = InFormatLists(c) ? "format lists" : "primitive lists";
  return WithWhere(c, CheckedField(c, std::string("the list tag before the ") + lists, 2, true));
}

Finding IndexClassTag(const Context& c) {
  return WithWhere(
      c, CheckedField(c, "the class tag of the primitive lists (as the first model with parts gave it)", 2, true));
}

Finding ListTagBeforeFormats(const Context& c) {
  return WithWhere(c, CheckedField(c, "the list tag before the format lists", 2, true));
}

Finding PointSeparator(const Context& c) {
  return WithWhere(c, CheckedField(c, "the separator tag between two points", 2, true));
}

Finding IndexOrFormatIntroduction(const Context& c) {
  const StreamModel at = FailingModel(c);
  if (at.later) return WithWhere(c, CheckedField(c, "the class tag of the format lists", 2, true));
  const bool formats = InFormatLists(c);
  return WithWhere(
      c, IntroductionStart(c, formats ? "the format lists (\"CObFormat\")" : "the primitive lists (\"CObIndex\")"));
}

Finding IndexOrFormatClassName(const Context& c) {
  const bool formats = InFormatLists(c);
  return WithWhere(
      c, ClassName(c, formats ? "CObFormat" : "CObIndex", formats ? "the format lists" : "the primitive lists"));
}

Finding PrimitiveListTag(const Context& c) { return PartListTag(c, "primitive list"); }

Finding IndexTagBetweenParts(const Context& c) {
  return WithWhere(c, CheckedField(c, "the class tag between two primitive lists", 2, true));
}

Finding PartCountBeforeFormats(const Context& c) {
  return WithWhere(c, CheckedField(c, "the copy of the part count before the format lists", 2));
}

Finding FormatListTag(const Context& c) { return PartListTag(c, "format list"); }

Finding FormatTagBetweenParts(const Context& c) {
  const std::size_t after = c.args.size() > 1 ? std::strtoul(c.args[1].c_str(), nullptr, 10) : 0;
  return WithWhere(c, CheckedField(c, "the format class tag before the format list of part " + N(after + 2), 2, true));
}

// A primitive index list: vertex objects and mode markers (c,1).
// The data ran out inside an index object or the separator after it.
Finding IndexObjectsEnd(const Context& c) {
  return WithWhere(c, DataEnds(c, "an object of a primitive index list (8 bytes) or the separator after it"));
}

Finding IndexSeparator(const Context& c) {
  if (!c.mismatch) return IndexObjectsEnd(c);
  const std::string tag =
      c.args.empty() ? "" : Tag(static_cast<unsigned>(std::strtoul(c.args[0].c_str(), nullptr, 16)));
  return WithWhere(c, CheckedField(c, "the separator between two objects of a primitive index list", 2, true,
                                   "be the class tag " + tag));
}

Finding FormatSeparator(const Context& c) {
  if (!c.mismatch) return WithWhere(c, DataEnds(c, "a format record (48 bytes) or the separator after it"));
  const std::string tag =
      c.args.empty() ? "" : Tag(static_cast<unsigned>(std::strtoul(c.args[0].c_str(), nullptr, 16)));
  return WithWhere(c, CheckedField(c, "the separator between two format records", 2, true, "be the class tag " + tag));
}

Finding Grammar(const Context& c, const std::string& rule) {
  std::string text = "the primitive index list that ends at byte " + N(c.stop) + " " + rule;
  if (c.ShortAt(8)) text += "; the data ends at byte " + N(c.size()) + ", inside the list";
  return WithWhere(c, {text, c.stop, c.stop < c.size() ? c.stop + 1 : c.stop});
}
Finding NoPointsMarker(const Context& c) { return Grammar(c, "must open with the marker (0,1) of the single points"); }
Finding NoLinesMarker(const Context& c) {
  return Grammar(c, "must have the marker (1,1) of the lines after the single points");
}
Finding NoTrianglesMarker(const Context& c) {
  return Grammar(c, "must have the marker (4,1) of the triangles after the lines");
}
Finding NoQuadsMarker(const Context& c) {
  return Grammar(c, "must have the marker (7,1) of the quads after the triangles");
}
Finding NoPolygonMarker(const Context& c) {
  return Grammar(c, "must have the marker (9,1) after the quads and after every polygon");
}
Finding NoEndMarker(const Context& c) { return Grammar(c, "must end with a second marker (9,1)"); }
Finding OddLines(const Context& c) { return Grammar(c, "holds lines whose vertices are not a multiple of 2"); }
Finding OddTriangles(const Context& c) { return Grammar(c, "holds triangles whose vertices are not a multiple of 3"); }
Finding OddQuads(const Context& c) { return Grammar(c, "holds quads whose vertices are not a multiple of 4"); }

Finding PointOutOfRange(const Context& c) {
  const std::string vertex = c.args.size() > 0 ? c.args[0] : "?";
  const std::string points = c.args.size() > 1 ? c.args[1] : "?";
  return WithWhere(c, {"a primitive of the index list that ends at byte " + N(c.stop) + " uses point " + vertex +
                           ", but its part has " + points + " points (0 to " +
                           std::to_string(std::strtol(points.c_str(), nullptr, 10) - 1) + ")",
                       0, 0});
}

// A raw field that cannot be used: the data ran out, or a list count is
// negative.
Finding RawField(const Context& c) {
  if (c.kind == EntryKind::kRollingStock && FailingModel(c).model == nullptr) {
    return DataEnds(c, "the info block (three values, the name and six values)");
  }
  if (c.kind != EntryKind::kLayout && c.stop >= 2 && !c.ShortAt(1)) {
    const auto count = static_cast<std::int16_t>(U16At(c, c.stop - 2));
    if (count < 0) {
      return WithWhere(c, {"the list count at byte " + N(c.stop - 2) + " is negative (" + std::to_string(count) +
                               "); a list has 0 or more entries",
                           c.stop - 2, c.stop});
    }
  }
  return WithWhere(c, DataEnds(c, "the next count or record"));
}

Finding TrailingBytes(const Context& c) {
  const std::size_t extra = c.size() - std::min(c.stop, c.size());
  if (c.accepted) {
    return {(extra == 1 ? std::string("1 byte follows") : N(extra) + " bytes follow") + " the end of the " +
                EntryKindName(c.kind) + " at byte " + N(c.stop) + "; railfmt drops " + (extra == 1 ? "it" : "them"),
            c.stop, c.size()};
  }
  return {"the reader did not reach the end of the data: it stopped at byte " + N(c.stop) + " of " + N(c.size()),
          c.stop, c.size()};
}

// ---- Construction drawings -----------------------------------------------

Finding IdentificationWord(const Context& c) {
  const std::size_t word = (c.stop >= 2 ? c.stop - 2 : c.stop) / 2 + 1;
  return CheckedField(c, "identification word " + N(word) + " of 4 (2880, 0, 2025, 0)", 2);
}

// The list of a drawing being read: the last whose count was read.
std::string DrawingList(const Context& c, std::string_view* class_name) {
  const auto* d = std::get_if<CKonstruktion>(c.object);
  std::string_view name = "CObFormat";
  std::string list = "the format list";
  if (d != nullptr && d->DimensionLineCount != 0) {
    name = "CObMassLinie";
    list = "the dimension lines";
  } else if (d != nullptr && d->LineCount != 0) {
    name = "CObLinie";
    list = "the plain lines";
  } else if (d != nullptr && d->DashedLineCount != 0) {
    name = "CObStrichLinie";
    list = "the dashed lines";
  }
  if (class_name != nullptr) *class_name = name;
  return list + " (\"" + std::string(name) + "\")";
}

Finding DrawingIndexIntroduction(const Context& c) {
  return IntroductionStart(c, "the primitive index list (\"CObIndex\")");
}
Finding DrawingIndexClassName(const Context& c) { return ClassName(c, "CObIndex", "the primitive index list"); }
Finding DrawingListIntroduction(const Context& c) { return IntroductionStart(c, DrawingList(c, nullptr)); }
Finding DrawingListClassName(const Context& c) {
  std::string_view name;
  const std::string list = DrawingList(c, &name);
  return ClassName(c, name, list);
}
Finding LineSeparator(const Context& c) {
  return CheckedField(c, "the separator tag between two records of " + DrawingList(c, nullptr), 2, true);
}
Finding ReservedCount(const Context& c) {
  return CheckedField(c, "the reserved count between the plain and the dimension lines", 2);
}

// ---- Layouts -------------------------------------------------------------

// The message of a track whose type no track has; the track's own failure
// follows it.
constexpr const char* kUnknownTrackType = "%s: Unbekannter Typ %d!\n";

// The copy of a record's name: an 8-bit length and the characters. Says
// what differs when the stop lies behind such a copy.
std::optional<Finding> NameCopy(const Context& c, const std::string& name) {
  const std::size_t length = name.size();
  if (c.stop >= 1 + length && c.bytes[c.stop - 1 - length] == length) {
    const std::string_view found(reinterpret_cast<const char*>(c.bytes.data()) + (c.stop - length), length);
    if (found != name) {
      return Finding{"the copy of its name at byte " + N(c.stop - 1 - length) + " must repeat " + Quote(name) +
                         ", found " + Quote(found),
                     c.stop - 1 - length, c.stop};
    }
  }
  if (c.stop >= 1 && c.bytes[c.stop - 1] != length && !c.ShortAt(1)) {
    return Finding{"the copy of its name at byte " + N(c.stop - 1) + " must repeat " + Quote(name) + " (" + N(length) +
                       " characters), found a length of " + N(c.bytes[c.stop - 1]),
                   c.stop - 1, c.stop};
  }
  return std::nullopt;
}

// Why a layout record failed: a check with its mismatch line, a copy of
// its name, or data that ran out.
Finding RecordFault(const Context& c, const std::string& record, const std::string& name) {
  if (c.mismatch) {
    return {record + ": the check that ends at byte " + N(c.stop) + " found " + c.mismatch->first + ", expected " +
                c.mismatch->second + " (a field the record repeats, or one that must be 0)",
            c.stop, c.stop < c.size() ? c.stop + 1 : c.stop};
  }
  if (c.ShortAt(4)) return DataEnds(c, record + "'s record");
  // A name, or its copy, whose characters the data cannot supply.
  if (c.stop >= 1 && c.bytes[c.stop - 1] > 0 && c.ShortAt(c.bytes[c.stop - 1])) {
    return DataEnds(c, "the " + N(c.bytes[c.stop - 1]) + " characters of a name of " + record);
  }
  if (std::optional<Finding> copy = NameCopy(c, name)) {
    copy->text = record + ": " + copy->text;
    return *copy;
  }
  return {record + ": a check of its record ending at byte " + N(c.stop) + " fails", c.stop,
          c.stop < c.size() ? c.stop + 1 : c.stop};
}

const CAnlage* Layout(const Context& c) { return std::get_if<CAnlage>(c.object); }

Finding UnknownTrackType(const Context& c) {
  const std::string name = c.args.empty() ? "" : c.args[0];
  const std::string type = c.args.size() > 1 ? c.args[1] : "?";
  const CAnlage* layout = Layout(c);
  const std::string number =
      layout != nullptr && !layout->Tracks.empty() ? " " + std::to_string(layout->Tracks.back().Number) : "";
  return {"track" + number + " " + Quote(name) + ": its type at byte " + N(c.stop >= 4 ? c.stop - 4 : 0) + " is " +
              type + ", which no track has (1 to 4, 6 to 9, 11)",
          c.stop >= 4 ? c.stop - 4 : 0, c.stop};
}

Finding TrackFault(const Context& c) {
  const CAnlage* layout = Layout(c);
  const std::string number = c.args.empty() ? "?" : c.args[0];
  if (layout == nullptr || layout->Tracks.empty()) return {"track " + number + " is damaged", 0, 0};
  const CGleis& track = layout->Tracks.back();
  const std::string record =
      "track " + number + " (record " + N(layout->Tracks.size()) + " of " + std::to_string(layout->TrackCount) + ")";
  std::vector<std::string> unused;
  if (MatchFormat(kUnknownTrackType, c.previous, unused)) {
    return {record + ": its type " + std::to_string(track.Type) + " is no track type", c.stop >= 4 ? c.stop - 4 : 0,
            c.stop};
  }
  if (track.Type == 11 && track.EndCount > layout_format::kMaxEnds) {
    return {record + ": its count of extra ends at byte " + N(c.stop - 2) + " gives " + std::to_string(track.EndCount) +
                " ends; a track has at most 20",
            c.stop - 2, c.stop};
  }
  return RecordFault(c, record, track.Name);
}

Finding PlacedModelFault(const Context& c) {
  const CAnlage* layout = Layout(c);
  const std::string number = c.args.empty() ? "?" : c.args[0];
  if (layout == nullptr || layout->Models.empty()) return {"placed model " + number + " is damaged", 0, 0};
  return RecordFault(c,
                     "placed model " + number + " (record " + N(layout->Models.size()) + " of " +
                         std::to_string(layout->ModelCount) + ")",
                     layout->Models.back().Name);
}

Finding VehicleFault(const Context& c) {
  const CAnlage* layout = Layout(c);
  const std::string number = c.args.empty() ? "?" : c.args[0];
  if (layout == nullptr || layout->RollingStock.empty()) return {"vehicle " + number + " is damaged", 0, 0};
  return RecordFault(c,
                     "vehicle " + number + " (record " + N(layout->RollingStock.size()) + " of " +
                         std::to_string(layout->RollingStockCount) + ")",
                     layout->RollingStock.back().Name);
}

Finding DllVehicle(const Context& c) {
  const std::string name = c.args.empty() ? "" : c.args[0];
  Finding finding = VehicleFault(c);
  finding.text =
      "vehicle " + Quote(name) + " names a program module (.dll), which a layout cannot use; " + finding.text;
  return finding;
}

Finding ShortProperties(const Context& c) { return DataEnds(c, "the 20-byte block of the layout's properties", 20); }

Finding TooLong(const Context& c) {
  const std::size_t end = c.stop >= 1 ? c.stop - 1 : 0;
  const std::size_t extra = c.size() - end;
  return {"the layout ends at byte " + N(end) + ", but " + N(extra) +
              (extra == 1 ? " more byte follows" : " more bytes follow") +
              "; nothing may follow the last vehicle trailer",
          end, c.size()};
}

Finding PropertiesZeroByte(const Context& c) {
  const std::string found = c.args.empty() ? "?" : c.args[0];
  const std::size_t at = c.stop >= 1 ? c.stop - 1 : 0;
  return {"the zero byte of the layout's properties at byte " + N(at) + " must be 0, found " + found, at, c.stop};
}

// ---- Messages of any kind ------------------------------------------------

Finding CannotOpen(const Context& c) {
  return {"railfmt cannot open or create " + Quote(c.args.empty() ? "" : c.args[0]), 0, 0};
}
Finding CannotWrite(const Context& c) {
  return {"railfmt could not write " + Quote(c.args.empty() ? "" : c.args[0]) + " in full; the file stays as it was", 0,
          0};
}
Finding Mismatch(const Context& c) {
  const std::string found = c.args.size() > 0 ? c.args[0] : "?";
  const std::string expected = c.args.size() > 1 ? c.args[1] : "?";
  std::string text = "found " + found + ", expected " + expected;
  if (c.args.size() > 2) text += " (a difference of " + c.args[2] + ")";
  return {text, 0, 0};
}

// Rows with the same format apply to different kinds; the first row that
// names the kind of the reader wins.
const Row kRows[] = {
    {kStreamBits, "Formatfehler 1 in %s!\n", ReservedWord},
    {kDrawingBit, "Formatfehler 1 in %s!\n", IdentificationWord},
    {kStreamBits, "Formatfehler 3 in %s!\n", PartCountCopy},
    {kStreamBits, "Formatfehler 4 in %s!\n", PartListIntroduction, true},
    {kStreamBits, "Formatfehler 6 in %s!\n", ArrayNameOrTag, true},
    {kArchiveBits, "Formatfehler 7 in %s!\n", PointListIntroduction, true},
    {kArchiveBits, "Formatfehler 8 in %s!\n", PointClassName},
    {kStreamBits, "Formatfehler 9a in %s!\n", PointListTag, true},
    {kStreamBits, "Formatfehler 9b in %s!\n", PointTag, true},
    {kStreamBits, "Formatfehler 9c in %s!\n", PartCountBeforePrimitives},
    {kStreamBits, "Formatfehler 10 in %s!\n", ListTagBeforeLists, true},
    {kStreamBits, "Formatfehler 11 in %s!\n", IndexClassTag, true},
    {kStreamBits, "Formatfehler 12 in %s!\n", ListTagBeforeFormats, true},
    {kArchiveBits, "Formatfehler 12!\n", PointSeparator, true},
    {kStreamBits, "Formatfehler 13 in %s!\n", IndexOrFormatIntroduction, true},
    {kDrawingBit, "Formatfehler 13 in %s!\n", DrawingIndexIntroduction, true},
    {kStreamBits, "Formatfehler 14 in %s!\n", IndexOrFormatClassName},
    {kDrawingBit, "Formatfehler 14 in %s!\n", DrawingIndexClassName},
    {kStreamBits, "Formatfehler 15a in %s!\n", PrimitiveListTag, true},
    {kStreamBits, "Formatfehler 15b in %s!\n", IndexTagBetweenParts, true},
    {kStreamBits, "Formatfehler 16 in %s!\n", PartCountBeforeFormats},
    {kDrawingBit, "Formatfehler 17 in %s!\n", DrawingListIntroduction, true},
    {kStreamBits, "Formatfehler 17a in %s!\n", FormatListTag, true},
    {kStreamBits, "Formatfehler 17b in %s %d!\n", FormatTagBetweenParts, true},
    {kDrawingBit, "Formatfehler 18 in %s!\n", DrawingListClassName},
    {kDrawingBit, "Formatfehler 20 in %s!\n", LineSeparator, true},
    {kDrawingBit, "Formatfehler Juhu in %s!\n", ReservedCount},
    {kAnyBits, "Formatfehler!\n", RawField},
    {kArchiveBits, "Falscher Trenner1: %x!\n", IndexSeparator, true},
    {kArchiveBits, "Falscher Trenner2: %x!\n", FormatSeparator, true},
    {kArchiveBits, "Falscher Punkt: %d, %d!\n", PointOutOfRange},
    {kArchiveBits, "Vert(0,1) nicht gefunden!\n", NoPointsMarker},
    {kArchiveBits, "Vert(1,1) nicht gefunden!\n", NoLinesMarker},
    {kArchiveBits, "Vert(4,1) nicht gefunden!\n", NoTrianglesMarker},
    {kArchiveBits, "Vert(7,1) nicht gefunden!\n", NoQuadsMarker},
    {kArchiveBits, "Vert(9,1) nicht gefunden!\n", NoPolygonMarker},
    {kArchiveBits, "Ende-Vert(9,1) nicht gefunden!\n", NoEndMarker},
    {kArchiveBits, "2-Vert nicht OK!\n", OddLines},
    {kArchiveBits, "3-Vert nicht OK!\n", OddTriangles},
    {kArchiveBits, "4-Vert nicht OK!\n", OddQuads},
    {kArchiveBits, "EOF not found: %.*s!\n", TrailingBytes, false, true},
    {kLayoutBit, kUnknownTrackType, UnknownTrackType},
    {kLayoutBit, "Gleis Nr. %d fehlerhaft!\n", TrackFault},
    {kLayoutBit, "Modell Nr. %d fehlerhaft!\n", PlacedModelFault},
    {kLayoutBit, "Rollmaterial Nr. %d fehlerhaft!\n", VehicleFault},
    {kLayoutBit, "Dll-Modell \"%s\" kann nicht benutzt werden!\n", DllVehicle},
    {kLayoutBit, "Feher in Eigenschaften!\n", ShortProperties},
    {kLayoutBit, "Datei zu lang!\n", TooLong},
    {kAnyBits, "Can't open %.*s!\n", CannotOpen},
    {kAnyBits, "Can't write %s!\n", CannotWrite},
    {kAnyBits, "I: %d S: %d\n", Mismatch},
    {kAnyBits, "I: %f S: %f Diff: %e\n", Mismatch},
};

// Mismatch lines that are the whole report of a failed check.
const Row kLoneMismatchRows[] = {
    {kLayoutBit, "I: %d S: %d\n", PropertiesZeroByte},
};

template <std::size_t N>
const Row* Find(const Row (&rows)[N], EntryKind kind, std::string_view text, std::vector<std::string>& args) {
  for (const Row& row : rows) {
    if ((row.kinds & Bit(kind)) != 0 && MatchFormat(row.format, text, args)) return &row;
  }
  return nullptr;
}

}  // namespace

const Row* FindRow(EntryKind kind, std::string_view text, std::vector<std::string>& args) {
  return Find(kRows, kind, text, args);
}

const Row* FindLoneMismatchRow(EntryKind kind, std::string_view text, std::vector<std::string>& args) {
  return Find(kLoneMismatchRows, kind, text, args);
}

}  // namespace railfmt::inspect::explain
