// ReadCursor: a bounds-checked view over the bytes of one file.
//
// Every read checks the bytes left before it touches them. A read that the
// data cannot satisfy in full consumes nothing, leaves its destination
// unchanged and makes the cursor short; shortness is sticky, so every later
// read fails too. A reader can therefore be written straight down its record
// table and still stop at the first field the file cannot supply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "driver/byte_order.h"

namespace railfmt {

class ReadCursor {
 public:
  ReadCursor() = default;
  explicit ReadCursor(std::span<const std::uint8_t> data) : data_(data) {}

  std::size_t offset() const { return offset_; }
  std::size_t size() const { return data_.size(); }
  std::size_t remaining() const { return data_.size() - offset_; }
  // True once a read ran past the end of the data.
  bool is_short() const { return short_; }
  // True when every byte has been consumed and no read ran short.
  bool at_end() const { return !short_ && offset_ == data_.size(); }

  bool ReadU8(std::uint8_t& out) {
    const std::uint8_t* p = Take(1);
    if (p == nullptr) return false;
    out = p[0];
    return true;
  }
  bool ReadU16(std::uint16_t& out) {
    const std::uint8_t* p = Take(2);
    if (p == nullptr) return false;
    out = LoadLE16(p);
    return true;
  }
  bool ReadI16(std::int16_t& out) {
    std::uint16_t v = 0;
    if (!ReadU16(v)) return false;
    out = static_cast<std::int16_t>(v);
    return true;
  }
  bool ReadU32(std::uint32_t& out) {
    const std::uint8_t* p = Take(4);
    if (p == nullptr) return false;
    out = LoadLE32(p);
    return true;
  }
  bool ReadI32(std::int32_t& out) {
    std::uint32_t v = 0;
    if (!ReadU32(v)) return false;
    out = static_cast<std::int32_t>(v);
    return true;
  }
  bool ReadU64(std::uint64_t& out) {
    const std::uint8_t* p = Take(8);
    if (p == nullptr) return false;
    out = LoadLE64(p);
    return true;
  }
  bool ReadFloat(float& out) {
    const std::uint8_t* p = Take(4);
    if (p == nullptr) return false;
    out = LoadLEFloat(p);
    return true;
  }
  bool ReadDouble(double& out) {
    const std::uint8_t* p = Take(8);
    if (p == nullptr) return false;
    out = LoadLEDouble(p);
    return true;
  }
  // Copies exactly out.size() bytes, or nothing.
  bool ReadBytes(std::span<std::uint8_t> out) {
    const std::uint8_t* p = Take(out.size());
    if (p == nullptr) return false;
    if (!out.empty()) std::memcpy(out.data(), p, out.size());
    return true;
  }
  // Returns a view of the next n bytes and consumes them, or an empty span
  // (and a short cursor) when fewer remain.
  std::span<const std::uint8_t> ReadView(std::size_t n) {
    const std::uint8_t* p = Take(n);
    if (p == nullptr) return {};
    return {p, n};
  }
  // Takes the next n bytes as a cursor of their own, for a fixed-size record
  // read field by field with one bounds check for the whole record. When
  // fewer than n bytes remain, nothing is consumed, record is left as it
  // was, this cursor becomes short and the result is false.
  bool ReadRecord(std::size_t n, ReadCursor& record) {
    const std::uint8_t* p = Take(n);
    if (p == nullptr) return false;
    record = ReadCursor({p, n});
    return true;
  }

 private:
  const std::uint8_t* Take(std::size_t n) {
    if (short_ || remaining() < n) {
      short_ = true;
      return nullptr;
    }
    const std::uint8_t* p = data_.data() + offset_;
    offset_ += n;
    return p;
  }

  std::span<const std::uint8_t> data_;
  std::size_t offset_ = 0;
  bool short_ = false;
};

// Reserves room in records for the count a file announces, but never for
// more records of at least min_record_size bytes than the cursor's remaining
// bytes could hold (plus the one the data may fail to complete): a hostile
// count sizes nothing. A count of 0 or less reserves nothing.
template <typename Record>
void ReserveAnnounced(std::vector<Record>& records, std::int64_t count, const ReadCursor& in,
                      std::size_t min_record_size) {
  if (count <= 0) return;
  const std::size_t possible = in.remaining() / min_record_size + 1;
  records.reserve(static_cast<std::size_t>(count) < possible ? static_cast<std::size_t>(count) : possible);
}

}  // namespace railfmt
