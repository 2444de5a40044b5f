#include "inspect/fault_words.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <variant>

#include "archive/archive_format.h"
#include "inspect/json_values.h"
#include "layout/layout_format.h"

namespace railfmt::inspect {
namespace {

bool Is(const char* a, std::string_view b) { return a != nullptr && b == a; }

// Fields whose values are class tags, best read in hexadecimal.
bool HoldsTag(const char* field) {
  return Is(field, "class tag") || Is(field, "list tag") || Is(field, "separator") || Is(field, "new-class tag");
}

std::string Tag(double value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(static_cast<std::int64_t>(value)) & 0xFFFFu);
  return text;
}

// A value of a field as a person reads it: whole numbers as the language
// writes them, fractions as they are, tags in hexadecimal.
std::string Value(double value, const char* field, const Words& words) {
  if (HoldsTag(field)) return Tag(value);
  if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 9.0e15) {
    return words.Number(static_cast<std::int64_t>(value));
  }
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// The name a copy must repeat: the name of the layout entry the fault
// stands in, as its reader took it.
const std::string* OriginalName(const FieldFault& fault, const RecognisedFile::Object* object) {
  const auto* layout = object != nullptr ? std::get_if<CAnlage>(object) : nullptr;
  if (layout == nullptr) return nullptr;
  const auto at = [](const auto& entries, const FieldPlace* place) -> const std::string* {
    if (place == nullptr || place->index < 0 || static_cast<std::size_t>(place->index) >= entries.size()) {
      return nullptr;
    }
    return &entries[static_cast<std::size_t>(place->index)].Name;
  };
  if (const std::string* name = at(layout->Tracks, fault.Within("track"))) return name;
  if (const std::string* name = at(layout->Models, fault.Within("placed model"))) return name;
  return at(layout->RollingStock, fault.Within("vehicle"));
}

// The class a section of an archive introduces.
std::string_view ClassOfSection(const FieldFault& fault) {
  struct Section {
    const char* name;
    std::string_view class_name;
  };
  static constexpr Section kSections[] = {
      {"list of parts", archive::kArrayClass},  {"point lists", archive::kPointClass},
      {"point list", archive::kPointClass},     {"primitive lists", archive::kIndexClass},
      {"primitive list", archive::kIndexClass}, {"format lists", archive::kFormatClass},
      {"format list", archive::kFormatClass},   {"dashed lines", archive::kDashedLineClass},
      {"plain lines", archive::kLineClass},     {"dimension lines", archive::kDimensionLineClass},
  };
  for (const Section& section : kSections) {
    if (fault.Within(section.name) != nullptr) return section.class_name;
  }
  return {};
}

std::string Mismatch(const FieldFault& fault, std::span<const std::uint8_t> bytes, const RecognisedFile::Object* object,
                     const Words& words) {
  if (Is(fault.field, "name copy") || Is(fault.field, "class name")) {
    const std::string* name = OriginalName(fault, object);
    const std::string expected = name != nullptr ? *name : std::string(ClassOfSection(fault));
    // A wrong length stops the check at the length; otherwise the
    // characters were read and differ.
    if (fault.has_values) {
      return words.Say("found a length of {found}, must repeat {expected} ({length} characters)",
                       {{"found", Value(fault.found, fault.field, words)},
                        {"expected", Quoted(expected, words)},
                        {"length", words.Number(static_cast<std::int64_t>(expected.size()))}});
    }
    const std::size_t length_size = Is(fault.field, "class name") ? 2 : 1;
    std::string_view found;
    if (fault.end > fault.begin + length_size && fault.end <= bytes.size()) {
      found = {reinterpret_cast<const char*>(bytes.data()) + fault.begin + length_size,
               fault.end - fault.begin - length_size};
    }
    if (name == nullptr && expected.empty()) {
      return words.Say("found {found}, which differs from the text it must repeat", {{"found", Quoted(found, words)}});
    }
    return words.Say("found {found}, must repeat {expected}",
                     {{"found", Quoted(found, words)}, {"expected", Quoted(expected, words)}});
  }
  if (!fault.has_values) return words.Say("does not hold what it must");
  return words.Say("found {found}, must be {expected}", {{"found", Value(fault.found, fault.field, words)},
                                                         {"expected", Value(fault.expected, fault.field, words)}});
}

// A value no file may hold, by the field's rule.
std::string Invalid(const FieldFault& fault, std::span<const std::uint8_t> bytes, const Words& words) {
  const std::string found = Value(fault.found, fault.field, words);
  const std::string limit = Value(fault.expected, fault.field, words);
  struct Rule {
    const char* field;
    const char* sentence;
  };
  static constexpr Rule kRules[] = {
      {"type", ForPeople("{found} is no track type (1 to 4, 6 to 9 and 11 are)")},
      {"extra end count", ForPeople("gives {found} ends; a track has at most {limit}")},
      {"vertex index", ForPeople("uses point {found}, but its part has {limit} points")},
      {"points marker", ForPeople("the marker (0,1) that opens the single points is missing")},
      {"lines marker", ForPeople("the marker (1,1) that opens the lines is missing")},
      {"triangles marker", ForPeople("the marker (4,1) that opens the triangles is missing")},
      {"quads marker", ForPeople("the marker (7,1) that opens the quads is missing")},
      {"polygon marker", ForPeople("the marker (9,1) after the quads or after a polygon is missing")},
      {"end marker", ForPeople("the second marker (9,1) that ends the list is missing")},
      {"line vertices", ForPeople("the lines have corners that are not a multiple of 2")},
      {"triangle vertices", ForPeople("the triangles have corners that are not a multiple of 3")},
      {"quad vertices", ForPeople("the quads have corners that are not a multiple of 4")},
  };
  for (const Rule& rule : kRules) {
    if (Is(fault.field, rule.field)) return words.Say(rule.sentence, {{"found", found}, {"limit", limit}});
  }
  if (Is(fault.field, "bytes after the end")) {
    return words.SayN("{n} more byte follows the end of the layout", "{n} more bytes follow the end of the layout",
                      static_cast<std::int64_t>(bytes.size() - std::min(fault.begin, bytes.size())));
  }
  if (fault.has_values && fault.found < 0) {
    return words.Say("is negative ({found}); a list has 0 or more entries", {{"found", found}});
  }
  return words.Say("holds a value no file may hold");
}

}  // namespace

std::string Quoted(std::string_view bytes, const Words& words) {
  std::string shown;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || (b >= 0x80 && b < 0xA0)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return words.Say("‘{text}’", {{"text", Latin1ToUtf8(shown)}});
}

std::string FaultPlace(const FieldFault& fault, const Words& words) {
  std::string text;
  for (std::size_t i = 0; i < fault.depth(); ++i) {
    const FieldPlace& place = fault.places[i];
    // Sections a person does not need: the entry's number says enough.
    if (Is(place.record, "tracks") || Is(place.record, "placed models") || Is(place.record, "vehicles")) {
      continue;
    }
    if (!text.empty()) text += " › ";
    const std::string record(words.Word(place.record));
    if (place.has_number()) {
      text += words.Say("{record} no. {number}", {{"record", record}, {"number", words.Number(place.number)}});
    } else if (place.index >= 0) {
      text += words.Say("{record} {index}", {{"record", record}, {"index", words.Number(place.index + 1)}});
    } else {
      text += record;
    }
  }
  return text;
}

std::string FieldLabel(const char* field, const Words& words) { return std::string(words.Word(field)); }

std::string FaultWhat(const FieldFault& fault, std::span<const std::uint8_t> bytes,
                      const RecognisedFile::Object* object, const Words& words) {
  switch (fault.cause) {
    case FaultCause::kShort:
      if (fault.begin >= bytes.size()) {
        return words.Say("missing: the file ends at byte {end}",
                         {{"end", words.Number(static_cast<std::int64_t>(bytes.size()))}});
      }
      return words.Say("cut short: the file ends in the middle of it, at byte {end}",
                       {{"end", words.Number(static_cast<std::int64_t>(bytes.size()))}});
    case FaultCause::kMismatch: return Mismatch(fault, bytes, object, words);
    case FaultCause::kInvalid: return Invalid(fault, bytes, words);
    case FaultCause::kNone: break;
  }
  return {};
}

std::string FaultSentence(const FieldFault& fault, std::span<const std::uint8_t> bytes,
                          const RecognisedFile::Object* object, const Words& words) {
  if (!fault) return {};
  const std::string place = FaultPlace(fault, words);
  const std::string field = FieldLabel(fault.field, words);
  // A record read as one field ("point 5 › point") is named once.
  const std::size_t depth = fault.depth();
  const bool whole_record = depth > 0 && Is(fault.places[depth - 1].record, fault.field);
  std::string where = place;
  if (!whole_record) where = place.empty() ? field : place + " › " + field;
  return words.Say("{where}: {what}", {{"where", where},
                                       {"what", FaultWhat(fault, bytes, object, words)}});
}

bool InHeader(const FieldFault& fault) {
  if (fault.Within("header") == nullptr) return false;
  // In rolling stock, the header of the first model identifies the file.
  const FieldPlace* model = fault.Within("model");
  return model == nullptr || model->index == 0;
}

bool CutShort(const FieldFault& fault) { return fault.cause == FaultCause::kShort; }

}  // namespace railfmt::inspect
