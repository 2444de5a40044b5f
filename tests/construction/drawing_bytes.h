// Test support: construction drawings built field by field, with every tag
// written out by the test itself, and named marks on the offsets of fields
// that tests change.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "archive/model_part.h"
#include "construction/line_record.h"
#include "driver/byte_order.h"
#include "driver/byte_writer.h"
#include "tests/archive/index_block_builder.h"

namespace railfmt::testing {

// Distinct records, so that a record read into the wrong place shows.
CPunkt TestPoint(int i);
CFormat TestFormat(int i);
CLinie TestLine(int i);

class DrawingBytes {
 public:
  // Starts with the identification words (mark "id").
  DrawingBytes();

  DrawingBytes& Word(std::uint16_t word, const std::string& mark = "");
  // 0xFFFF, 0, the name with its 16-bit length (mark: at the 0xFFFF).
  DrawingBytes& Intro(std::string_view class_name, const std::string& mark);
  // Records first..first+n-1 with separator between them; the first
  // separator's offset is marked mark + ".sep".
  DrawingBytes& Points(int n, std::uint16_t separator, const std::string& mark);
  DrawingBytes& Formats(int n, std::uint16_t separator, const std::string& mark);
  DrawingBytes& Lines(int first, int n, std::uint16_t separator, const std::string& mark);
  DrawingBytes& Objects(const std::vector<IndexObj>& objects, std::uint16_t separator, const std::string& mark);

  std::size_t at(const std::string& mark) const { return marks_.at(mark); }
  std::vector<std::uint8_t> bytes() const { return out_.bytes(); }

 private:
  template <typename WriteOne>
  void Records(int n, std::uint16_t separator, const std::string& mark, WriteOne write_one);
  void Mark(const std::string& mark) {
    if (!mark.empty()) marks_[mark] = out_.size();
  }
  ByteWriter out_;
  std::map<std::string, std::size_t> marks_;
};

// Verbs on a file's bytes.
inline void SetWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t word) {
  StoreLE16(bytes.data() + at, word);
}

}  // namespace railfmt::testing
