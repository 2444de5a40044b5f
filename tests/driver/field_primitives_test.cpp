#include "driver/field_primitives.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
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

TEST(ExpectPrimitives, MismatchLinesShowFoundThenExpected) {
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
      {"byte 0xFF against 0", Bytes({0xFF}), [](ReadCursor& in) { return ExpectByte(in, 0); }, 0, "I: 255 S: 0\n"},
      {"long -2 against 7", Bytes({0xFE, 0xFF, 0xFF, 0xFF}), [](ReadCursor& in) { return ExpectLong(in, 7); }, 0,
       "I: -2 S: 7\n"},
      {"float 1.5 against 1.0", FloatBytes(1.5f), [](ReadCursor& in) { return ExpectFloat(in, 1.0f); }, 0,
       "I: 1.500000 S: 1.000000 Diff: 5.000000e-01\n"},
      {"float -0.0 against 0.0", FloatBytes(-0.0f), [](ReadCursor& in) { return ExpectFloat(in, 0.0f); }, 1, ""},
      {"float NaN read", FloatBytes(std::numeric_limits<float>::quiet_NaN()),
       [](ReadCursor& in) { return ExpectFloat(in, 3.0f); }, 1, ""},
      {"float NaN expected", FloatBytes(3.0f),
       [](ReadCursor& in) { return ExpectFloat(in, std::numeric_limits<float>::quiet_NaN()); }, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DiagnosticCapture captured;
    ReadCursor in(c.field);
    EXPECT_EQ(c.check(in), c.result);
    EXPECT_EQ(captured.mismatches(), c.line);
    EXPECT_TRUE(in.at_end()) << "the field is consumed either way";
    EXPECT_TRUE(captured.messages().empty());
  }
}

}  // namespace
}  // namespace railfmt
