#include "inspect/json_values.h"

#include <bit>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace railfmt::inspect {
namespace {

constexpr std::uint32_t kFloatQuietNaN = 0x7fc00000u;
constexpr std::uint64_t kDoubleQuietNaN = 0x7ff8000000000000u;

template <typename T>
Json NonFinite(T value, const std::string& nan_text) {
  if (std::isnan(value)) return nan_text;
  return value > 0 ? "Infinity" : "-Infinity";
}

// Reads "NaN" or "NaN(0x...)" into bits; false for anything else.
bool ParseNaN(const std::string& text, std::uint64_t default_bits, std::uint64_t& bits) {
  if (text == "NaN") {
    bits = default_bits;
    return true;
  }
  if (text.size() < 8 || text.rfind("NaN(0x", 0) != 0 || text.back() != ')') return false;
  const char* first = text.data() + 6;
  const char* last = text.data() + text.size() - 1;
  const auto [end, ec] = std::from_chars(first, last, bits, 16);
  return ec == std::errc() && end == last;
}

}  // namespace

Json FloatValue(float value) {
  if (!std::isfinite(value)) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    char text[32];
    std::snprintf(text, sizeof text, "NaN(0x%08" PRIx32 ")", bits);
    return NonFinite(value, bits == kFloatQuietNaN ? std::string("NaN") : std::string(text));
  }
  // The shortest decimal that identifies the float, held as the double
  // nearest to it: that double prints as the same short decimal, and
  // rounding it to float gives the float back (a double carries more than
  // twice a float's precision, so the two roundings agree).
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::strtod(std::string(text, result.ptr).c_str(), nullptr);
}

Json DoubleValue(double value) {
  if (!std::isfinite(value)) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    char text[40];
    std::snprintf(text, sizeof text, "NaN(0x%016" PRIx64 ")", bits);
    return NonFinite(value, bits == kDoubleQuietNaN ? std::string("NaN") : std::string(text));
  }
  return value;  // the JSON library prints the shortest round-trip form
}

bool ParseFloatValue(const Json& value, float& out) {
  if (value.is_number()) {
    out = static_cast<float>(value.get<double>());
    return true;
  }
  if (!value.is_string()) return false;
  const std::string text = value.get<std::string>();
  if (text == "Infinity" || text == "-Infinity") {
    out = text[0] == '-' ? -HUGE_VALF : HUGE_VALF;
    return true;
  }
  std::uint64_t bits = 0;
  if (!ParseNaN(text, kFloatQuietNaN, bits) || bits > 0xffffffffu) return false;
  const float nan = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
  if (!std::isnan(nan)) return false;
  out = nan;
  return true;
}

bool ParseDoubleValue(const Json& value, double& out) {
  if (value.is_number()) {
    out = value.get<double>();
    return true;
  }
  if (!value.is_string()) return false;
  const std::string text = value.get<std::string>();
  if (text == "Infinity" || text == "-Infinity") {
    out = text[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    return true;
  }
  std::uint64_t bits = 0;
  if (!ParseNaN(text, kDoubleQuietNaN, bits)) return false;
  const double nan = std::bit_cast<double>(bits);
  if (!std::isnan(nan)) return false;
  out = nan;
  return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text.push_back(c);
    } else {
      text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return text;
}

bool Utf8ToLatin1(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      continue;
    }
    if ((lead != 0xC2 && lead != 0xC3) || i + 1 == text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[++i]);
    if ((trail & 0xC0) != 0x80) return false;
    out.push_back(static_cast<char>(((lead & 0x03) << 6) | (trail & 0x3F)));
  }
  return true;
}

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07u;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(text[i + k]);
      if ((trail & 0xC0) != 0x80) return false;
      code = (code << 6) | (trail & 0x3Fu);
    }
    const std::uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::string DisplayText(std::string_view text) { return IsUtf8(text) ? std::string(text) : Latin1ToUtf8(text); }

std::string TerminalText(std::string_view text) {
  const std::string display = DisplayText(text);
  std::string out;
  out.reserve(display.size());
  for (std::size_t i = 0; i < display.size(); ++i) {
    const auto byte = static_cast<unsigned char>(display[i]);
    unsigned control = 0x100;  // none
    if (byte < 0x20 || byte == 0x7F) {
      control = byte;
    } else if (byte == 0xC2 && i + 1 < display.size() && static_cast<unsigned char>(display[i + 1]) < 0xA0) {
      control = static_cast<unsigned char>(display[++i]);  // U+0080 to U+009F
    }
    if (control == 0x100) {
      out += display[i];
      continue;
    }
    constexpr std::string_view kLetters = "abtnvfr";  // \a (7) to \r (13)
    if (control >= 7 && control <= 13) {
      out += '\\';
      out += kLetters[control - 7];
    } else {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", control);
      out += octal;
    }
  }
  return out;
}

Json TextValue(std::string_view bytes) { return Latin1ToUtf8(bytes); }

Json OptionalTextValue(const std::optional<std::string>& text) {
  if (!text) return nullptr;
  return Latin1ToUtf8(*text);
}

}  // namespace railfmt::inspect
