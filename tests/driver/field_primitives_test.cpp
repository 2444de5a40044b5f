#include "driver/field_primitives.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "driver/byte_writer.h"
#include "driver/diagnostics.h"

namespace railfmt {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

std::vector<std::uint8_t> FloatBytes(float f) {
  ByteWriter w;
  w.Float(f);
  return w.Take();
}

// Each primitive over a field, and over every cut of it: the whole field
// is consumed either way, and a mismatch line shows what was found, then
// what was expected; a field the data cannot supply in full is no match
// and prints nothing.
TEST(ExpectPrimitives, MismatchLinesShowFoundThenExpectedAndEveryCutIsNoMatch) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> field;
    int (*check)(ReadCursor&);
    int result;
    const char* line;
  };
  const Case cases[] = {
      {"short 0x8001 matches", Bytes({0x01, 0x80}), [](ReadCursor& in) { return ExpectShort(in, 0x8001); }, 1, ""},
      {"short 0x0001 against 0x8001", Bytes({0x01, 0x00}), [](ReadCursor& in) { return ExpectShort(in, 0x8001); }, 0,
       "I: 1 S: -32767\n"},
      {"short 0xFFFF against 0", Bytes({0xFF, 0xFF}), [](ReadCursor& in) { return ExpectShort(in, 0); }, 0,
       "I: -1 S: 0\n"},
      {"short compares the low 16 bits", Bytes({0x34, 0x12}), [](ReadCursor& in) { return ExpectShort(in, 0x51234); },
       1, ""},
      {"byte 9 matches", Bytes({9}), [](ReadCursor& in) { return ExpectByte(in, 9); }, 1, ""},
      {"byte 0xFF against 0", Bytes({0xFF}), [](ReadCursor& in) { return ExpectByte(in, 0); }, 0, "I: 255 S: 0\n"},
      {"long 7 matches", Bytes({7, 0, 0, 0}), [](ReadCursor& in) { return ExpectLong(in, 7); }, 1, ""},
      {"long -2 against 7", Bytes({0xFE, 0xFF, 0xFF, 0xFF}), [](ReadCursor& in) { return ExpectLong(in, 7); }, 0,
       "I: -2 S: 7\n"},
      {"float 1.5 matches", FloatBytes(1.5f), [](ReadCursor& in) { return ExpectFloat(in, 1.5f); }, 1, ""},
      {"float 1.5 against 1.0", FloatBytes(1.5f), [](ReadCursor& in) { return ExpectFloat(in, 1.0f); }, 0,
       "I: 1.500000 S: 1.000000 Diff: 5.000000e-01\n"},
      {"float -0.0 against 0.0", FloatBytes(-0.0f), [](ReadCursor& in) { return ExpectFloat(in, 0.0f); }, 1, ""},
      {"float NaN read", FloatBytes(std::numeric_limits<float>::quiet_NaN()),
       [](ReadCursor& in) { return ExpectFloat(in, 3.0f); }, 1, ""},
      {"float NaN expected", FloatBytes(3.0f),
       [](ReadCursor& in) { return ExpectFloat(in, std::numeric_limits<float>::quiet_NaN()); }, 1, ""},
      {"8-bit string matches", Bytes({2, 'a', 0x01}), [](ReadCursor& in) { return ExpectString8(in, "a\x01"); }, 1, ""},
      {"16-bit string matches", Bytes({3, 0, 'C', 'O', 'b'}), [](ReadCursor& in) { return ExpectString16(in, "COb"); },
       1, ""},
  };
  for (const Case& c : cases) {
    for (std::size_t length = 0; length <= c.field.size(); ++length) {
      SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(length) + " bytes");
      const bool whole = length == c.field.size();
      DiagnosticCapture captured;
      ReadCursor in(std::span(c.field).first(length));
      EXPECT_EQ(c.check(in), whole ? c.result : 0);
      EXPECT_EQ(captured.mismatches(), whole ? c.line : "");
      EXPECT_EQ(in.is_short(), !whole);
      EXPECT_EQ(in.at_end(), whole) << "the whole field is consumed either way";
      EXPECT_TRUE(captured.messages().empty());
    }
  }
}

TEST(StringPrimitives, AStringIsItsLengthThenItsBytes) {
  // Another length leaves the bytes unread; another byte is read and fails.
  const std::vector<std::uint8_t> two = Bytes({2, 'a', 'b'});
  const std::vector<std::uint8_t> b = Bytes({1, 'b'});
  ReadCursor longer(two);
  EXPECT_EQ(ExpectString8(longer, "a"), 0);
  EXPECT_EQ(longer.offset(), 1u);
  ReadCursor other(b);
  EXPECT_EQ(ExpectString8(other, "a"), 0);
  EXPECT_TRUE(other.at_end());
  // A read string is cut at a zero byte and replaces what out held; a
  // string the data ends inside leaves it.
  struct Read {
    std::vector<std::uint8_t> bytes;
    bool read;
    std::string out;
  };
  const Read reads[] = {
      {Bytes({3, 'a', 0, 'b'}), true, "a"},
      {Bytes({0}), true, ""},
      {Bytes({5, 'a', 'b'}), false, "old"},
  };
  for (const Read& r : reads) {
    std::string out = "old";
    ReadCursor in(r.bytes);
    EXPECT_EQ(ReadString8(in, out), r.read);
    EXPECT_EQ(out, r.out);
  }
  // The length is written modulo 256, and as many characters as it says.
  for (const std::size_t length : {255u, 256u, 257u}) {
    ByteWriter out;
    WriteString8(out, std::string(length, 'x'));
    EXPECT_EQ(out.size(), 1 + length % 256) << length;
    EXPECT_EQ(out.bytes().at(0), length % 256) << length;
  }
}

}  // namespace
}  // namespace railfmt
