#include "tools/railinspect/core/json_values.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

namespace railfmt::inspect {
namespace {

// Prints the value as the tool does, parses the text back as any JSON
// reader would and returns the bits it gets.
std::uint32_t FloatBitsThroughText(float value, std::string* text = nullptr) {
  const std::string printed = FloatValue(value).dump();
  if (text != nullptr) *text = printed;
  float back = 0;
  EXPECT_TRUE(ParseFloatValue(nlohmann::json::parse(printed), back)) << printed;
  return std::bit_cast<std::uint32_t>(back);
}

TEST(JsonValues, FloatsParseBackToTheSameBitsAndPrintShort) {
  const struct {
    std::uint32_t bits;
    const char* text;  // nullptr: only the round trip is checked
  } cases[] = {
      {0x3DCCCCCDu, "0.1"},                  // 0.1f, not 0.10000000149011612
      {0x3F800000u, "1.0"},                  //
      {0x80000000u, "-0.0"},                 // the sign of zero survives
      {0x00000001u, nullptr},                // smallest denormal
      {0x00800000u, nullptr},                // smallest normal
      {0x7F7FFFFFu, nullptr},                // largest finite
      {0x4B800001u, "16777218.0"},           // 2^24 + 2, a float above 2^24
      {0xC2F6E979u, nullptr},                // -123.456f
      {0x7F800000u, "\"Infinity\""},         //
      {0xFF800000u, "\"-Infinity\""},        //
      {0x7FC00000u, "\"NaN\""},              // the default quiet NaN
      {0x7FA00001u, "\"NaN(0x7fa00001)\""},  // a signalling NaN with payload
      {0xFFC00000u, "\"NaN(0xffc00000)\""},  // a negative NaN
  };
  for (const auto& c : cases) {
    std::string text;
    EXPECT_EQ(FloatBitsThroughText(std::bit_cast<float>(c.bits), &text), c.bits) << text;
    if (c.text != nullptr) {
      EXPECT_EQ(text, c.text);
    }
  }
}

TEST(JsonValues, OnlyTheDocumentedSpellingsParse) {
  float f = 0;
  double d = 0;
  for (const char* text : {"\"nan\"", "\"NaN(0x3f800000)\"", "\"NaN(0x7fc00000\"", "\"NaN(0x)\"", "\"inf\"",
                           "\"NaN(0x1ffc00000)\"", "null", "[1]"}) {
    EXPECT_FALSE(ParseFloatValue(nlohmann::json::parse(text), f)) << text;
  }
  EXPECT_FALSE(ParseDoubleValue(nlohmann::json::parse("\"NaN(0x3ff0000000000000)\""), d));
  EXPECT_FALSE(ParseDoubleValue(nlohmann::json::parse("\"Inf\""), d));
}

TEST(JsonValues, TextsKeepEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string printed = TextValue(all).dump();  // throws on ill-formed UTF-8
  std::string back;
  ASSERT_TRUE(Utf8ToLatin1(nlohmann::json::parse(printed).get<std::string>(), back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(TextValue(std::string("Br\xFC"
                                  "cke"))
                .get<std::string>(),
            "Br\xC3\xBC"
            "cke");
  EXPECT_TRUE(OptionalTextValue(std::nullopt).is_null());
}

}  // namespace
}  // namespace railfmt::inspect
