#include "driver/windows_names.h"

#include <array>
#include <cstdint>

namespace railfmt {
namespace {

// The characters of 0x80..0x9F; every other byte is the character of the
// same number (ISO 8859-1).
constexpr std::array<char16_t, 32> kHighCharacters = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> ByteOf(char16_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<char>(ch);
  for (std::size_t k = 0; k < kHighCharacters.size(); ++k) {
    if (kHighCharacters[k] == ch) return static_cast<char>(0x80 + k);
  }
  return std::nullopt;
}

bool IsHighSurrogate(char32_t ch) { return ch >= 0xD800 && ch <= 0xDBFF; }
bool IsLowSurrogate(char32_t ch) { return ch >= 0xDC00 && ch <= 0xDFFF; }

// The upper-case letter of a Windows-1252 byte; any other byte stays.
unsigned char Upper(unsigned char b) {
  if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 0x20);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<unsigned char>(b - 0x20);  // à..þ, not ÷
  switch (b) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return b;
  }
}

bool IsDeviceStem(std::string_view stem) {
  std::string upper;
  for (char c : stem) upper.push_back(static_cast<char>(Upper(static_cast<unsigned char>(c))));
  if (upper == "NUL" || upper == "CON" || upper == "PRN" || upper == "AUX") return true;
  if (upper.size() != 4 || (!upper.starts_with("COM") && !upper.starts_with("LPT"))) return false;
  const auto digit = static_cast<unsigned char>(upper[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;  // ¹ ² ³
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::u16string Windows1252ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out.push_back(b >= 0x80 && b <= 0x9F ? kHighCharacters[b - 0x80u] : static_cast<char16_t>(b));
  }
  return out;
}

std::optional<std::string> Utf16ToWindows1252(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t ch : text) {
    const std::optional<char> b = ByteOf(ch);
    if (!b) return std::nullopt;
    out.push_back(*b);
  }
  return out;
}

std::string ListedWindows1252Name(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    out.push_back(ByteOf(text[i]).value_or('?'));
  }
  return out;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t extra = 0;
    char32_t cp = lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, cp = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, cp = lead & 0x07u;
    } else if (lead >= 0x80) {
      return std::nullopt;
    }
    if (utf8.size() - i - 1 < extra) return std::nullopt;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0u) != 0x80u) return std::nullopt;
      cp = (cp << 6) | (next & 0x3Fu);
    }
    const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || IsHighSurrogate(cp) || IsLowSurrogate(cp)) return std::nullopt;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FFu)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += extra + 1;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (IsHighSurrogate(cp) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00u);
    } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

WindowsName ClassifyWindowsName(std::string_view name) {
  if (name.empty() || name.size() > kMaxWindowsName || name == "." || name == ".." || name.back() == '.' ||
      name.back() == ' ') {
    return WindowsName::kInvalid;
  }
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view(R"(/\:*?"<>|)").find(c) != std::string_view::npos) {
      return WindowsName::kInvalid;
    }
  }
  // The device is named by what precedes the first dot, spaces before it
  // not counted.
  std::string_view stem = name.substr(0, name.find('.'));
  while (stem.ends_with(' ')) stem.remove_suffix(1);
  return IsDeviceStem(stem) ? WindowsName::kDevice : WindowsName::kOrdinary;
}

bool WindowsNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(static_cast<unsigned char>(a[i])) != Upper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::u16string ExtendedLengthPath(std::u16string_view full_path) {
  if (full_path.starts_with(u"\\\\?\\")) return std::u16string(full_path);
  if (full_path.starts_with(u"\\\\")) return u"\\\\?\\UNC\\" + std::u16string(full_path.substr(2));
  return u"\\\\?\\" + std::u16string(full_path);
}

}  // namespace railfmt
