// ByteWriter: the growing output buffer every writer appends to. Writers
// never touch the file system; the output layer stores the finished buffer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "driver/byte_order.h"

namespace railfmt {

class ByteWriter {
 public:
  void U8(std::uint8_t v) { *Grow(1) = v; }
  void U16(std::uint16_t v) { StoreLE16(Grow(2), v); }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) { StoreLE32(Grow(4), v); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Float(float v) { StoreLEFloat(Grow(4), v); }
  void Double(double v) { StoreLEDouble(Grow(8), v); }
  void Bytes(std::span<const std::uint8_t> b) {
    if (!b.empty()) std::memcpy(Grow(b.size()), b.data(), b.size());
  }
  void Chars(std::string_view s) {
    if (!s.empty()) std::memcpy(Grow(s.size()), s.data(), s.size());
  }

  std::size_t size() const { return size_; }
  // The bytes written so far.
  const std::vector<std::uint8_t>& bytes() const {
    buffer_.resize(size_);
    return buffer_;
  }
  // Hands over the bytes written and starts empty.
  std::vector<std::uint8_t> Take() {
    buffer_.resize(size_);
    std::vector<std::uint8_t> out = std::move(buffer_);
    buffer_.clear();
    size_ = 0;
    return out;
  }

 private:
  // Fields are stored straight into room made ahead, doubling it when full:
  // one comparison per field, and no per-field growth of the vector.
  std::uint8_t* Grow(std::size_t n) {
    if (buffer_.size() - size_ < n) buffer_.resize(std::max({2 * buffer_.size(), size_ + n, std::size_t{256}}));
    std::uint8_t* p = buffer_.data() + size_;
    size_ += n;
    return p;
  }

  // Its first size_ bytes are the output; the rest is room.
  mutable std::vector<std::uint8_t> buffer_;
  std::size_t size_ = 0;
};

}  // namespace railfmt
