// Little-endian loading and storing: the only place in railfmt that turns
// bytes into numbers and back. Every file kind stores its integers and IEEE
// floats least significant byte first, whatever the host's byte order.
#pragma once

#include <bit>
#include <cstdint>

namespace railfmt {

inline std::uint16_t LoadLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t LoadLE64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(LoadLE32(p)) | (static_cast<std::uint64_t>(LoadLE32(p + 4)) << 32);
}

inline float LoadLEFloat(const std::uint8_t* p) { return std::bit_cast<float>(LoadLE32(p)); }
inline double LoadLEDouble(const std::uint8_t* p) { return std::bit_cast<double>(LoadLE64(p)); }

inline void StoreLE16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void StoreLE64(std::uint8_t* p, std::uint64_t v) {
  StoreLE32(p, static_cast<std::uint32_t>(v));
  StoreLE32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

inline void StoreLEFloat(std::uint8_t* p, float v) { StoreLE32(p, std::bit_cast<std::uint32_t>(v)); }
inline void StoreLEDouble(std::uint8_t* p, double v) { StoreLE64(p, std::bit_cast<std::uint64_t>(v)); }

}  // namespace railfmt
