// Constants of the construction drawing format (".kon").
//
// A drawing is an object archive without outer list objects:
//   identification words 2880, 0, 2025, 0
//   point count P          [P != 0: "CObPunkt" introduction, P points]
//   index object count C   [C != 0: "CObIndex" introduction, the index block]
//   format count F         [F != 0: "CObFormat" introduction, F formats]
//   dashed line count      ["CObStrichLinie" introduction, 24-byte records]
//   plain line count       ["CObLinie" introduction, 24-byte records]
//   reserved count 0
//   dimension line count   ["CObMassLinie" introduction, 24-byte records]
// The members of each list are separated by the running class tag T, which
// starts at 0x8001 and follows from the counts alone (see CKonstruktion).
// The class names are those of the archive framing (archive_format.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace railfmt::construction {

inline constexpr std::array<std::uint16_t, 4> kIdentificationWords = {2880, 0, 2025, 0};

// "CObPunkt" is the first class of a drawing: class index 1.
inline constexpr std::uint16_t kFirstClassTag = 0x8001;

// The word between the plain lines and the dimension lines; always 0.
inline constexpr std::uint16_t kReservedCount = 0;

// A line record: four 32-bit values and one 8-byte block.
inline constexpr std::size_t kLineRecordSize = 24;
inline constexpr std::size_t kLineExtraSize = 8;
static_assert(kLineRecordSize == 4 * 4 + kLineExtraSize);

}  // namespace railfmt::construction
