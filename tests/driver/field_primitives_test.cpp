#include "driver/field_primitives.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/byte_writer.h"
#include "driver/diagnostics.h"
#include "tests/support/data_table.h"

namespace railfmt {
namespace {

// The primitive named by tests/data/driver/expect_primitives.tsv, checking
// for the value the table spells.
int Expect(const std::string& primitive, ReadCursor& in, const std::string& expected) {
  if (primitive == "short") return ExpectShort(in, std::stoi(expected, nullptr, 0));
  if (primitive == "byte") return ExpectByte(in, std::stoi(expected));
  if (primitive == "long") return ExpectLong(in, std::stoi(expected));
  if (primitive == "float") return ExpectFloat(in, std::strtof(expected.c_str(), nullptr));
  if (primitive == "string8") return ExpectString8(in, expected);
  if (primitive == "string16") return ExpectString16(in, expected);
  throw std::invalid_argument("no primitive " + primitive);
}

// Each primitive over a field, and over every cut of it: the whole field
// is consumed either way, and a field the data cannot supply in full is no
// match and prints nothing.
TEST(ExpectPrimitives, MismatchLinesShowFoundThenExpectedAndEveryCutIsNoMatch) {
  for (const std::vector<std::string>& row : testing::DataRows("driver/expect_primitives.tsv")) {
    std::vector<std::uint8_t> field;
    for (std::size_t i = 0; i + 1 < row.at(1).size(); i += 2) {
      field.push_back(static_cast<std::uint8_t>(std::stoul(row[1].substr(i, 2), nullptr, 16)));
    }
    for (std::size_t length = 0; length <= field.size(); ++length) {
      SCOPED_TRACE(row.at(5) + ", " + std::to_string(length) + " bytes");
      const bool whole = length == field.size();
      DiagnosticCapture captured;
      const std::span<const std::uint8_t> cut = std::span(field).first(length);
      ReadCursor in(cut);
      EXPECT_EQ(Expect(row.at(0), in, row.at(2)), whole ? std::stoi(row.at(3)) : 0);
      EXPECT_EQ(captured.mismatches(), whole ? row.at(4) : "");
      EXPECT_EQ(in.is_short(), !whole);
      EXPECT_EQ(in.at_end(), whole) << "the whole field is consumed either way";
      EXPECT_TRUE(captured.messages().empty());
    }
  }
}

TEST(StringPrimitives, AStringIsItsLengthThenItsBytes) {
  // Another length leaves the bytes unread; another byte is read and fails.
  const std::vector<std::uint8_t> two = {2, 'a', 'b'};
  const std::vector<std::uint8_t> b = {1, 'b'};
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
      {{3, 'a', 0, 'b'}, true, "a"},
      {{0}, true, ""},
      {{5, 'a', 'b'}, false, "old"},
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
