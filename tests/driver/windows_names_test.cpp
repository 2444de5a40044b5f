#include "driver/windows_names.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/data_table.h"

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

// A text as tests/data/driver/utf8.tsv spells it: its UTF-8 bytes, how
// many of them are read, and its UTF-16 (none: the bytes are no UTF-8).
struct Utf8Text {
  std::string bytes;
  std::size_t length;
  std::optional<std::u16string> utf16;
  std::string what;
};
// UTF-16 code units as the tables spell them: in hex, spaces between.
std::u16string Units(const std::string& hex) {
  std::u16string text;
  std::istringstream units(hex);
  for (unsigned unit = 0; units >> std::hex >> unit;) text.push_back(static_cast<char16_t>(unit));
  return text;
}
Utf8Text Utf8TextOf(const std::vector<std::string>& row) {
  Utf8Text text{row.at(0), row.at(0).size(), std::nullopt, row.at(3)};
  if (row.at(1) != "-") text.length = std::stoul(row[1]);
  if (row.at(2) != "-") text.utf16 = Units(row[2]);
  return text;
}

TEST(WindowsNames, Utf8AndUtf16ConvertBothWaysAtEveryBoundary) {
  for (const std::vector<std::string>& row : testing::DataRows("driver/utf8.tsv")) {
    const Utf8Text text = Utf8TextOf(row);
    const std::string_view utf8 = std::string_view(text.bytes).substr(0, text.length);  // the rest goes on
    EXPECT_EQ(Utf8ToUtf16(utf8), text.utf16) << text.what;
    if (text.utf16) {
      EXPECT_EQ(Utf16ToUtf8(*text.utf16), utf8) << text.what;
    }
  }
  for (const std::vector<std::string>& row : testing::DataRows("driver/unpaired_utf16.tsv")) {
    EXPECT_EQ(Utf16ToUtf8(Units(row.at(0))), row.at(1)) << row.at(2);
  }
  const char16_t pair[] = {0xD800, 0xDC00};
  EXPECT_EQ(Utf16ToUtf8(std::u16string_view(pair, 1)), "\xEF\xBF\xBD") << "a text ends where its view ends";
}

TEST(WindowsNames, DevicesAndNamesWindowsRewritesAreTold) {
  const std::map<std::string, WindowsName> kinds = {
      {"device", WindowsName::kDevice}, {"ordinary", WindowsName::kOrdinary}, {"invalid", WindowsName::kInvalid}};
  for (const std::vector<std::string>& row : testing::DataRows("driver/windows_name_kinds.tsv")) {
    EXPECT_EQ(ClassifyWindowsName(row.at(0)), kinds.at(row.at(1))) << row.at(2);
  }
  EXPECT_EQ(ClassifyWindowsName(std::string(255, 'n')), WindowsName::kOrdinary);
  EXPECT_EQ(ClassifyWindowsName(std::string(256, 'n')), WindowsName::kInvalid);
}

// Two names as tests/data/driver/letter_case.tsv spells them, and whether
// they name the same file.
struct NamePair {
  std::string a;
  std::string b;
  bool same_file;
  std::string what;
};
NamePair NamePairOf(const std::vector<std::string>& row) {
  return {row.at(0), row.at(1), row.at(2) == "same", row.at(3)};
}

TEST(WindowsNames, LettersAreComparedWithoutCase) {
  for (const std::vector<std::string>& row : testing::DataRows("driver/letter_case.tsv")) {
    const NamePair pair = NamePairOf(row);
    EXPECT_EQ(WindowsNamesEqual(pair.a, pair.b), pair.same_file) << pair.what;
    EXPECT_EQ(WindowsNamesEqual(pair.b, pair.a), pair.same_file) << pair.what;
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
