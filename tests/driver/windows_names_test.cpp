#include "driver/windows_names.h"

#include <gtest/gtest.h>

#include <string>

namespace railfmt {
namespace {

TEST(WindowsNames, Windows1252MapsEveryByteAndBackWithoutTheCodePage) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string text = Windows1252ToUtf16(all);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(text[0x80], u'\u20AC');  // €
  EXPECT_EQ(text[0x81], u'\u0081');  // undefined: the C1 control, as Windows has it
  EXPECT_EQ(text[0x9F], u'\u0178');  // Ÿ
  EXPECT_EQ(text[0xFC], u'\u00FC');  // ü
  EXPECT_EQ(Utf16ToWindows1252(text), all);
  EXPECT_EQ(Utf16ToWindows1252(u"\u03A9.bak"), std::nullopt);  // Ω
  EXPECT_EQ(ListedWindows1252Name(u"M\u00FCller \u03A9\U0001F600\u20AC.bak"), "M\xFCller ??\x80.bak");
  EXPECT_EQ(ListedWindows1252Name(std::u16string(1, char16_t{0xD800}) + u"x"), "?x");  // unpaired surrogate
}

TEST(WindowsNames, Utf8AndUtf16ConvertBothWays) {
  // One to four bytes a character, three-byte forms with the lowest lead too.
  const std::u16string text = u"M\u00FCller \u03A9\U0001F600\u0905\u20AC";
  const char* utf8 = "M\xC3\xBCller \xCE\xA9\xF0\x9F\x98\x80\xE0\xA4\x85\xE2\x82\xAC";
  EXPECT_EQ(Utf8ToUtf16(utf8), text);
  EXPECT_EQ(Utf16ToUtf8(text), utf8);
  for (const char* bad : {"\xFC", "\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF4\x90\x80\x80"}) {
    EXPECT_EQ(Utf8ToUtf16(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(u"\u007F\u0080\u07FF\u0800"), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80");  // where lengths change
}

TEST(WindowsNames, DevicesAndNamesWindowsRewritesAreTold) {
  const std::pair<std::string, WindowsName> cases[] = {
      {"NUL", WindowsName::kDevice},
      {"con.rol", WindowsName::kDevice},
      {"Aux.tar.gz", WindowsName::kDevice},
      {"prn .txt", WindowsName::kDevice},
      {"COM1.mod", WindowsName::kDevice},
      {"lpt9", WindowsName::kDevice},
      {"COM\xB9.rol", WindowsName::kDevice},
      {"LPT\xB3", WindowsName::kDevice},
      {"COM0.rol", WindowsName::kOrdinary},
      {"COM10.rol", WindowsName::kOrdinary},
      {"CONSOLE.rol", WindowsName::kOrdinary},
      {"x.con", WindowsName::kOrdinary},
      {"M\xFCller.mod", WindowsName::kOrdinary},
      {".rol", WindowsName::kOrdinary},
      {"pic.", WindowsName::kInvalid},
      {"pic ", WindowsName::kInvalid},
      {"", WindowsName::kInvalid},
      {"..", WindowsName::kInvalid},
      {"a\x01.mod", WindowsName::kInvalid},
      {std::string(256, 'n'), WindowsName::kInvalid},
  };
  for (const auto& [name, expected] : cases) EXPECT_EQ(ClassifyWindowsName(name), expected) << name;
  for (char c : std::string(R"(/\:*?"<>|)")) {
    EXPECT_EQ(ClassifyWindowsName(std::string("a") + c + "b.mod"), WindowsName::kInvalid) << c;
  }
  EXPECT_EQ(ClassifyWindowsName(std::string(255, 'n')), WindowsName::kOrdinary);
}

TEST(WindowsNames, LettersAreComparedWithoutCase) {
  EXPECT_TRUE(WindowsNamesEqual("AZ.MOD", "az.mod"));  // the whole alphabet, its ends included
  EXPECT_TRUE(WindowsNamesEqual("M\xFCller \x9A\x9C\x9E\xFF", "M\xDCLLER \x8A\x8C\x8E\x9F"));
  EXPECT_FALSE(WindowsNamesEqual("\xF7", "\xD7"));  // ÷ and × are no letters
  EXPECT_FALSE(WindowsNamesEqual("a.mod", "a.mo"));
  EXPECT_FALSE(WindowsNamesEqual("a[", "A{"));
}

TEST(WindowsNames, FullPathsGetTheExtendedLengthPrefix) {
  EXPECT_EQ(ExtendedLengthPath(u"C:\\data"), u"\\\\?\\C:\\data");
  EXPECT_EQ(ExtendedLengthPath(u"\\\\server\\share\\x"), u"\\\\?\\UNC\\server\\share\\x");
  EXPECT_EQ(ExtendedLengthPath(u"\\\\?\\C:\\data"), u"\\\\?\\C:\\data");
}

}  // namespace
}  // namespace railfmt
