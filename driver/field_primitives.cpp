#include "driver/field_primitives.h"

#include <cmath>
#include <cstring>

#include "driver/diagnostics.h"

namespace railfmt {

int ExpectShort(ReadCursor& in, int expected) {
  std::uint16_t found = 0;
  if (!in.ReadU16(found)) return 0;
  const auto want = static_cast<std::uint16_t>(expected);
  if (found == want) return 1;
  const int f = static_cast<std::int16_t>(found);
  const int e = static_cast<std::int16_t>(want);
  PrintMismatch("I: %d S: %d\n", f, e);
  in.Mismatch(f, e);
  return 0;
}

int ExpectLong(ReadCursor& in, std::int32_t expected) {
  std::int32_t found = 0;
  if (!in.ReadI32(found)) return 0;
  if (found == expected) return 1;
  PrintMismatch("I: %d S: %d\n", found, expected);
  in.Mismatch(found, expected);
  return 0;
}

bool FloatsMatch(float a, float b) { return std::isnan(a) || std::isnan(b) || a == b; }

int ExpectFloat(ReadCursor& in, float expected) {
  float found = 0.0f;
  if (!in.ReadFloat(found)) return 0;
  if (FloatsMatch(found, expected)) return 1;
  const double f = found;
  const double e = expected;
  PrintMismatch("I: %f S: %f Diff: %e\n", f, e, f - e);
  in.Mismatch(f, e);
  return 0;
}

int ExpectByte(ReadCursor& in, int expected) {
  std::uint8_t found = 0;
  if (!in.ReadU8(found)) return 0;
  const auto want = static_cast<std::uint8_t>(expected);
  if (found == want) return 1;
  PrintMismatch("I: %d S: %d\n", static_cast<int>(found), static_cast<int>(want));
  in.Mismatch(found, want);
  return 0;
}

namespace {

int CompareStringBytes(ReadCursor& in, std::size_t length, std::string_view text) {
  const std::span<const std::uint8_t> bytes = in.ReadView(length);
  if (bytes.size() != length || in.is_short()) return 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (bytes[i] == 0 || i >= text.size() || static_cast<char>(bytes[i]) != text[i]) return in.Mismatch();
  }
  return 1;
}

}  // namespace

int ExpectString16(ReadCursor& in, std::string_view text) {
  std::uint16_t length = 0;
  if (!in.ReadU16(length)) return 0;
  if (length != static_cast<std::uint16_t>(text.size())) return in.Mismatch(length, static_cast<double>(text.size()));
  return CompareStringBytes(in, length, text);
}

int ExpectString8(ReadCursor& in, std::string_view text) {
  std::uint8_t length = 0;
  if (!in.ReadU8(length)) return 0;
  if (length != static_cast<std::uint8_t>(text.size())) return in.Mismatch(length, static_cast<double>(text.size()));
  return CompareStringBytes(in, length, text);
}

bool ReadString8(ReadCursor& in, std::string& out) {
  std::uint8_t length = 0;
  if (!in.ReadU8(length)) return false;
  const std::span<const std::uint8_t> bytes = in.ReadView(length);
  if (in.is_short()) return false;
  if (length == 0) {
    out.clear();
    return true;
  }
  const void* zero = std::memchr(bytes.data(), 0, length);
  const std::size_t kept =
      zero == nullptr ? length : static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes.data());
  out.assign(reinterpret_cast<const char*>(bytes.data()), kept);
  return true;
}

void WriteString16(ByteWriter& out, std::string_view text) {
  out.U16(static_cast<std::uint16_t>(text.size()));
  out.Chars(text);
}

void WriteString8(ByteWriter& out, std::string_view text) {
  const auto length = static_cast<std::uint8_t>(text.size() % 256);
  out.U8(length);
  out.Chars(text.substr(0, length));
}

}  // namespace railfmt
