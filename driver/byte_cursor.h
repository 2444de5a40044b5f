// ReadCursor: a bounds-checked view over the bytes of one file.
//
// Every read checks the bytes left before it touches them. A read that the
// data cannot satisfy in full consumes nothing, leaves its destination
// unchanged and makes the cursor short; shortness is sticky, so every later
// read fails too. A reader can therefore be written straight down its record
// table and still stop at the first field the file cannot supply.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "driver/byte_order.h"
#include "driver/field_fault.h"

namespace railfmt {

class ReadCursor {
 public:
  ReadCursor() = default;
  explicit ReadCursor(std::span<const std::uint8_t> data) : data_(data) {}

  // The records entered, while a Place lives.
  class Place {
   public:
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;
    ~Place() { cursor_.depth_ = depth_; }

   private:
    friend class ReadCursor;
    Place(ReadCursor& cursor, std::size_t depth) : cursor_(cursor), depth_(depth) {}
    ReadCursor& cursor_;
    std::size_t depth_;
  };

  // Starts the field name at the current offset; the reads up to the next
  // Field belong to it.
  ReadCursor& Field(const char* name) {
    field_ = name;
    field_begin_ = offset_;
    return *this;
  }
  // Enters a record (index: its position in its list) or a section (index
  // -1) until the Place ends. Deeper than FieldFault::kMaxPlaces, the
  // innermost records are not kept.
  [[nodiscard]] Place Within(const char* record, std::int32_t index = -1) {
    if (depth_ < places_.size()) places_[depth_] = {record, index, FieldPlace::kNoNumber};
    ++depth_;
    return Place(*this, depth_ - 1);
  }
  // Gives the innermost record the number it calls itself by.
  void Number(std::int32_t number) {
    if (depth_ > 0 && depth_ <= places_.size()) places_[depth_ - 1].number = number;
  }
  // The field read last holds another value than it must (found, not
  // expected). Returns false.
  bool Mismatch() { return Fail(FaultCause::kMismatch, field_begin_, offset_, field_); }
  bool Mismatch(double found, double expected) { return Mismatch() || Values(found, expected); }
  // The field read last holds a value no file may hold. Returns false.
  bool Reject() { return Fail(FaultCause::kInvalid, field_begin_, offset_, field_); }
  bool Reject(double value, double limit = 0) { return Reject() || Values(value, limit); }
  // The bytes [begin, end), the field name, hold a value no file may hold.
  bool Reject(std::size_t begin, std::size_t end, const char* name) {
    return Fail(FaultCause::kInvalid, begin, end, name);
  }
  bool Reject(std::size_t begin, std::size_t end, const char* name, double value, double limit = 0) {
    return Reject(begin, end, name) || Values(value, limit);
  }
  // The first failure recorded; none while every read and check held.
  const FieldFault& fault() const { return fault_; }

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
      if (!short_) Fail(FaultCause::kShort, field_begin_, data_.size(), field_);
      short_ = true;
      return nullptr;
    }
    const std::uint8_t* p = data_.data() + offset_;
    offset_ += n;
    return p;
  }

  // Gives the fault just recorded its values; false.
  bool Values(double found, double expected) {
    if (fault_values_pending_) {
      fault_.has_values = true;
      fault_.found = found;
      fault_.expected = expected;
      fault_values_pending_ = false;
    }
    return false;
  }

  bool Fail(FaultCause cause, std::size_t begin, std::size_t end, const char* name) {
    fault_values_pending_ = false;
    if (fault_) return false;
    fault_values_pending_ = true;
    fault_.cause = cause;
    fault_.begin = begin < end ? begin : end;
    fault_.end = end;
    fault_.field = name != nullptr ? name : "data";
    for (std::size_t i = 0; i < places_.size(); ++i) fault_.places[i] = i < depth_ ? places_[i] : FieldPlace{};
    return false;
  }

  std::span<const std::uint8_t> data_;
  std::size_t offset_ = 0;
  bool short_ = false;
  const char* field_ = nullptr;
  std::size_t field_begin_ = 0;
  std::array<FieldPlace, FieldFault::kMaxPlaces> places_{};
  std::size_t depth_ = 0;
  FieldFault fault_;
  bool fault_values_pending_ = false;  // the fault was recorded by the last failure
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
