#include "driver/windows_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace railfmt {
namespace {

TEST(WindowsNames, Windows1252MapsEveryByteAndBackWithoutTheCodePage) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string text = Windows1252ToUtf16(all);
  ASSERT_EQ(text.size(), 256u);
  // 0x80..0x9F: € ‚ ƒ „ … † ‡ ˆ ‰ Š ‹ Œ Ž ‘ ’ “ ” • – — ˜ ™ š › œ ž Ÿ, the five
  // undefined bytes as the C1 controls of the same number, as Windows has them.
  EXPECT_EQ(text.substr(0x80, 32),
            u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
            u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
  EXPECT_EQ(text[0xFC], u'\u00FC');  // ü
  EXPECT_EQ(Utf16ToWindows1252(text), all);
  // The characters beside the ranges that have a byte of their own number
  // (the round trip above holds the edges of those ranges) have none.
  for (const char16_t character : {u'\u0080', u'\u009F', u'\u0100', u'\u03A9'}) {  // Ω
    EXPECT_EQ(Utf16ToWindows1252(std::u16string(1, character)), std::nullopt) << std::hex << int{character};
  }
  // A pair of surrogates is one character wherever it stands.
  EXPECT_EQ(ListedWindows1252Name(u"M\u00FCller \u03A9\U0001F600\u20AC.bak"), "M\xFCller ??\x80.bak");
  EXPECT_EQ(ListedWindows1252Name(u"\U0001F600.mod"), "?.mod");
  EXPECT_EQ(ListedWindows1252Name(u"Lok \U0001F600"), "Lok ?");
  EXPECT_EQ(ListedWindows1252Name(std::u16string(1, char16_t{0xD800}) + u"x"), "?x");  // unpaired surrogate
  // A high surrogate that ends the name is not paired with what lies after it.
  const char16_t lone[] = {0xD800};
  EXPECT_EQ(ListedWindows1252Name(std::u16string_view(lone, 1)), "?");
}

// Each character at the edge of a UTF-8 length or lead byte range, and on
// either side of the surrogates and of the last code point.
TEST(WindowsNames, Utf8AndUtf16ConvertBothWaysAtEveryBoundary) {
  struct Same {
    std::string_view utf8;
    std::u16string utf16;
  };
  const Same same[] = {
      {"M\xC3\xBCller \xCE\xA9\xF0\x9F\x98\x80\xE0\xA4\x85\xE2\x82\xAC", u"M\u00FCller \u03A9\U0001F600\u0905\u20AC"},
      {"\x7F", u"\u007F"},                         // the last single byte
      {"\xC2\x80", u"\u0080"},                     // the lowest two-byte lead, continuation 0x80
      {"\xC2\xBF", u"\u00BF"},                     // the last continuation byte
      {"\xDF\xBF", u"\u07FF"},                     // the highest two-byte lead
      {"\xE0\xA0\x80", u"\u0800"},                 // the lowest three-byte lead, its least value
      {"\xED\x9F\xBF", u"\uD7FF"},                 // below the surrogates
      {"\xEE\x80\x80", u"\uE000"},                 // above the surrogates
      {"\xEF\xBF\xBD", u"\uFFFD"},                 // the highest three-byte lead
      {"\xEF\xBF\xBF", u"\uFFFF"},                 // the last three-byte value
      {"\xF0\x90\x80\x80", u"\U00010000"},         // the lowest four-byte lead, its least value
      {"\xF4\x8F\xB0\x80", u"\U0010FC00"},         // the last high surrogate with the first low one
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},         // the highest lead, the last code point
      {std::string_view("\0", 1), {char16_t{0}}},  // a zero byte is a character
  };
  for (const Same& s : same) {
    EXPECT_EQ(Utf8ToUtf16(s.utf8), s.utf16) << s.utf8;
    EXPECT_EQ(Utf16ToUtf8(s.utf16), s.utf8) << s.utf8;
  }
  struct NotUtf8 {
    std::string_view bytes;
    const char* why;
  };
  const NotUtf8 not_utf8[] = {
      {"\x80", "a continuation byte leads"},
      {"\xC1\xBF", "an overlong two-byte form"},
      {"\xC2\x7F", "the byte before the continuation bytes follows a lead"},
      {"\xC2\xC0", "the byte after the continuation bytes follows a lead"},
      {"\xE0\x9F\xBF", "an overlong three-byte form"},
      {"\xED\xA0\x80", "the first surrogate"},
      {"\xED\xBF\xBF", "the last surrogate"},
      {"\xF0\x8F\xBF\xBF", "an overlong four-byte form"},
      {"\xF4\x90\x80\x80", "beyond the last code point"},
      {"\xF5\x80\x80\x80", "the lead after the highest"},
      {"\xFF", "no lead"},
      // Cut short inside a buffer that goes on.
      {std::string_view("\xC2\x80", 1), "cut short inside a two-byte form"},
      {std::string_view("x\xE2\x82\xAC", 3), "cut short inside a three-byte form"},
      {std::string_view("xy\xF0\x9F\x98\x80", 5), "cut short inside a four-byte form"},
  };
  for (const NotUtf8& n : not_utf8) EXPECT_EQ(Utf8ToUtf16(n.bytes), std::nullopt) << n.why;
  struct Unpaired {
    std::u16string utf16;
    std::string utf8;
  };
  const char* const kReplacement = "\xEF\xBF\xBD";
  const Unpaired unpaired[] = {
      {{char16_t{0xD800}}, kReplacement},
      {{char16_t{0xDBFF}, u'x'}, std::string(kReplacement) + "x"},
      {{char16_t{0xDC00}}, kReplacement},
      {{char16_t{0xDFFF}, char16_t{0xD800}}, std::string(kReplacement) + kReplacement},
      {{char16_t{0xDC00}, char16_t{0xDC00}}, std::string(kReplacement) + kReplacement},
  };
  for (const Unpaired& u : unpaired) EXPECT_EQ(Utf16ToUtf8(u.utf16), u.utf8) << u.utf8;
  const char16_t pair[] = {0xD800, 0xDC00};
  EXPECT_EQ(Utf16ToUtf8(std::u16string_view(pair, 1)), kReplacement) << "a text ends where its view ends";
}

TEST(WindowsNames, DevicesAndNamesWindowsRewritesAreTold) {
  struct Verdict {
    WindowsName kind;
    std::vector<std::string> names;
  };
  const Verdict verdicts[] = {
      {WindowsName::kDevice,
       {"NUL", "con.rol", "Aux.tar.gz", "prn .txt", "COM1.mod", "lpt9", "COM\xB9.rol", "COM\xB2", "LPT\xB3"}},  // ¹ ² ³
      {WindowsName::kOrdinary,
       {"COM0.rol", "LPT\xB1", "COM\xB4", "LPT\xB8", "COM\xBA",  // ± ´ ¸ º: no digits
        "COM10.rol", "CONSOLE.rol", " nul", "x.con", "M\xFCller.mod", ".rol",
        "a b.mod",  // the space is the first byte that is no control
        std::string(255, 'n')}},
      {WindowsName::kInvalid, {"pic.", "pic ", "", ".", "..", "a\x01.mod", "a\x1F.mod", std::string(256, 'n')}},
  };
  for (const Verdict& v : verdicts) {
    for (const std::string& name : v.names) EXPECT_EQ(ClassifyWindowsName(name), v.kind) << name;
  }
  for (char c : std::string(R"(/\:*?"<>|)")) {
    EXPECT_EQ(ClassifyWindowsName(std::string("a") + c + "b.mod"), WindowsName::kInvalid) << c;
  }
}

TEST(WindowsNames, LettersAreComparedWithoutCase) {
  // The letters at the edges of the letter ranges fold; the bytes beside
  // them do not (a name that differs names another file in one byte only).
  struct Pair {
    const char* a;
    const char* b;
    bool same_file;
  };
  const Pair pairs[] = {
      {"AZ.MOD", "az.mod", true},
      {"M\xFCller \x9A\x9C\x9E\xFF", "M\xDCLLER \x8A\x8C\x8E\x9F", true},  // š œ ž ÿ
      {"\xE0\xFE", "\xC0\xDE", true},                                      // à þ
      {"@", "`", false},                                                   // before A and a
      {"[", "{", false},                                                   // after Z and z
      {"\xBF", "\xDF", false},                                             // ¿ ß
      {"\xD7", "\xF7", false},                                             // × ÷
      {"\x8B", "\x9B", false},                                             // ‹ ›
      {"a.mod", "a.mo", false},
  };
  for (const Pair& p : pairs) {
    EXPECT_EQ(WindowsNamesEqual(p.a, p.b), p.same_file) << p.a;
    EXPECT_EQ(WindowsNamesEqual(p.b, p.a), p.same_file) << p.a;
  }
  EXPECT_TRUE(WindowsNamesEqual(std::string_view("ab", 1), std::string_view("ac", 1))) << "names end where views end";
}

TEST(WindowsNames, FullPathsGetTheExtendedLengthPrefix) {
  EXPECT_EQ(ExtendedLengthPath(u"C:\\data"), u"\\\\?\\C:\\data");
  EXPECT_EQ(ExtendedLengthPath(u"\\\\server\\share\\x"), u"\\\\?\\UNC\\server\\share\\x");
  EXPECT_EQ(ExtendedLengthPath(u"\\\\?\\C:\\data"), u"\\\\?\\C:\\data");
}

}  // namespace
}  // namespace railfmt
