// How railinspect spells the values of a file in JSON.
//
// Floating-point fields become numbers that parse back to the very same
// value: a float is printed with the fewest digits that identify it as a
// float (0.1f as 0.1), a double with the fewest that identify it as a
// double; -0 keeps its sign. Values JSON has no number for become strings:
// "Infinity", "-Infinity", "NaN" for the default quiet NaN of the width, and
// "NaN(0x7fa00001)" (the whole bit pattern in hexadecimal, 8 or 16 digits)
// for every other NaN, so that no bit of a file is lost.
//
// Texts of the files are bytes without a declared character set. Each byte
// is shown as the character of the same number (ISO 8859-1), which keeps
// every byte and lets a reader map the text back exactly. Paths and the
// readers' messages (which quote paths) are the system's own texts: they
// are shown as they are when they are UTF-8, and byte by byte otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace railfmt::inspect {

// Objects keep their members in the order they were added: the order of the
// fields in the library.
using Json = nlohmann::ordered_json;

Json FloatValue(float value);
Json DoubleValue(double value);
// The inverses: false when the JSON value is not one of the spellings above.
bool ParseFloatValue(const Json& value, float& out);
bool ParseDoubleValue(const Json& value, double& out);

std::string Latin1ToUtf8(std::string_view bytes);
// The inverse; false when text holds a character above U+00FF or is not
// well-formed UTF-8.
bool Utf8ToLatin1(std::string_view text, std::string& out);

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text);
// A path or message for display: itself when UTF-8, else Latin1ToUtf8.
std::string DisplayText(std::string_view text);
// DisplayText for a terminal or a log, where control characters would act
// (move the cursor, set the window title, write to the clipboard) or forge
// lines: each is shown escaped, as `ls -b` and git show names: \a \b \t \n
// \v \f \r, others as three octal digits of the character (\033, \177, and
// \233 for the C1 control U+009B). A backslash stays as it is, so that
// Windows paths keep theirs.
std::string TerminalText(std::string_view text);

Json TextValue(std::string_view bytes);
// An absent text is null.
Json OptionalTextValue(const std::optional<std::string>& text);

// A JSON array of convert(item) for every item of range, and of the numbers
// of a range of integers.
template <typename Range, typename Convert>
Json List(const Range& range, Convert convert) {
  Json list = Json::array();
  for (const auto& item : range) list.push_back(convert(item));
  return list;
}

template <typename Range>
Json Numbers(const Range& range) {
  return List(range, [](auto value) { return Json(value); });
}

}  // namespace railfmt::inspect
