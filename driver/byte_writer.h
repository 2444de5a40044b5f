// ByteWriter: the growing output buffer every writer appends to. Writers
// never touch the file system; the output layer stores the finished buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "driver/byte_order.h"

namespace railfmt {

class ByteWriter {
 public:
  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v) { StoreLE16(Grow(2), v); }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) { StoreLE32(Grow(4), v); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void U64(std::uint64_t v) { StoreLE64(Grow(8), v); }
  void Float(float v) { StoreLEFloat(Grow(4), v); }
  void Double(double v) { StoreLEDouble(Grow(8), v); }
  void Bytes(std::span<const std::uint8_t> b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
  void Chars(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }

  void Reserve(std::size_t n) { bytes_.reserve(n); }
  std::size_t size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::uint8_t* Grow(std::size_t n) {
    bytes_.resize(bytes_.size() + n);
    return bytes_.data() + bytes_.size() - n;
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace railfmt
