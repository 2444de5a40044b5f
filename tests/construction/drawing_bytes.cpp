#include "tests/construction/drawing_bytes.h"

#include "construction/construction_format.h"
#include "driver/field_primitives.h"

namespace railfmt::testing {

CPunkt TestPoint(int i) {
  CPunkt p;
  p.X = 1000 + i;
  p.Y = -2000 - i;
  p.Z = 30 * i;
  p.Aux = 0xA0000000u + static_cast<std::uint32_t>(i);
  p.Quad = {1u, 2u, 3u, static_cast<std::uint32_t>(i)};
  p.ByteA = 0x11;
  p.ByteB = 0x22;
  p.ByteC = 0x33;
  p.ByteD = static_cast<std::uint8_t>(i);
  p.CodeValue = 0.5f * static_cast<float>(i);
  p.Aux2 = 0xBEEF0000u;
  p.Code = 99;
  return p;
}

CFormat TestFormat(int i) {
  CFormat f;
  f.Values = {static_cast<std::uint32_t>(i), 7u, 8u};
  f.Doubles = {1.5 * i, -2.0, 1e10};
  f.Factors = {0.0f, 2.0f, static_cast<float>(i)};
  return f;
}

CLinie TestLine(int i) {
  CLinie line;
  line.Values = {static_cast<std::uint32_t>(i), 0x7FC00000u, 0xFFFFFFFFu, 0x40490FDBu};
  for (std::size_t k = 0; k < line.Extra.size(); ++k)
    line.Extra[k] = static_cast<std::uint8_t>(i * 16 + static_cast<int>(k));
  return line;
}

DrawingBytes::DrawingBytes() {
  Mark("id");
  for (std::uint16_t word : construction::kIdentificationWords) out_.U16(word);
}

DrawingBytes& DrawingBytes::Word(std::uint16_t word, const std::string& mark) {
  Mark(mark);
  out_.U16(word);
  return *this;
}

DrawingBytes& DrawingBytes::Intro(std::string_view class_name, const std::string& mark) {
  Mark(mark);
  out_.U16(0xFFFF);
  out_.U16(0);
  WriteString16(out_, class_name);
  return *this;
}

template <typename WriteOne>
void DrawingBytes::Records(int n, std::uint16_t separator, const std::string& mark, WriteOne write_one) {
  for (int i = 0; i < n; ++i) {
    if (i == 1) Mark(mark + ".sep");
    if (i > 0) out_.U16(separator);
    write_one(i);
  }
}

DrawingBytes& DrawingBytes::Points(int n, std::uint16_t separator, const std::string& mark) {
  Records(n, separator, mark, [this](int i) { WritePoint(TestPoint(i), out_); });
  return *this;
}

DrawingBytes& DrawingBytes::Formats(int n, std::uint16_t separator, const std::string& mark) {
  Records(n, separator, mark, [this](int i) { WriteFormat(TestFormat(i), out_); });
  return *this;
}

DrawingBytes& DrawingBytes::Lines(int first, int n, std::uint16_t separator, const std::string& mark) {
  Records(n, separator, mark, [this, first](int i) { WriteLineRecord(TestLine(first + i), out_); });
  return *this;
}

DrawingBytes& DrawingBytes::Objects(const std::vector<IndexObj>& objects, std::uint16_t separator,
                                    const std::string& mark) {
  Records(static_cast<int>(objects.size()), separator, mark, [&](int i) {
    out_.I32(objects[static_cast<std::size_t>(i)].value);
    out_.I32(objects[static_cast<std::size_t>(i)].marker);
  });
  return *this;
}

}  // namespace railfmt::testing
