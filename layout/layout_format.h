// Constants of the layout format (.anl).
//
// A layout file is, in this order: a 16-bit track count and the track
// records, a 16-bit placed-model count and the placed-model records, a
// 16-bit vehicle count and the vehicle records, five value blocks of eight
// 32-bit values, a 32-byte properties record and one 7-byte trailer per
// vehicle numbered 1 to 29999. Nothing follows the last trailer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace railfmt::layout_format {

// Name prefixes of the placed models that belong to a track, compared byte
// for byte, letter case significant, over their own length.
inline constexpr std::string_view kBridgePrefix = "..\\Bruecken";
inline constexpr std::string_view kBufferStopPrefix = "..\\Prellbock";
static_assert(kBridgePrefix.size() == 11 && kBufferStopPrefix.size() == 12);

// A buffer stop stands this far back from the end of its track.
inline constexpr double kBufferStopSetBack = 300.0;

// Vehicles numbered 1 to kTrailerLimit - 1 have a trailer.
inline constexpr int kTrailerLimit = 30000;

// Tracks have at most this many ends.
inline constexpr int kMaxEnds = 20;

// Fixed parts of a layout file.
inline constexpr int kBlockCount = 5;
inline constexpr int kBlockValues = 8;
inline constexpr std::size_t kBlockSize = kBlockValues * 4;
inline constexpr std::size_t kPropertiesSize = 32;
inline constexpr std::size_t kPropertiesBytes20 = 20;
inline constexpr std::size_t kTrailerSize = 7;
static_assert(kBlockCount * kBlockSize == 160);
static_assert(3 + 1 + 3 + 1 + kPropertiesBytes20 + 4 == kPropertiesSize);
static_assert(4 + 1 + 2 == kTrailerSize);
// Three empty sections, the blocks and the properties: the smallest layout.
inline constexpr std::size_t kEmptyLayoutSize = 3 * 2 + kBlockCount * kBlockSize + kPropertiesSize;
static_assert(kEmptyLayoutSize == 198);

// Record pieces.
inline constexpr std::size_t kConnectionSize = 6;  // neighbour, its end, zero
inline constexpr std::size_t kGeometrySize = 36;   // 3 floats, 2 x 3 integers
static_assert(kGeometrySize == 3 * 4 + 2 * 3 * 4);

// The smallest record of each section (empty names): a type-2 track, a
// placed model, a vehicle. They bound what a count can make the reader
// reserve before the records themselves are read.
inline constexpr std::size_t kMinTrackRecordSize = 56;
static_assert(kMinTrackRecordSize == 2 + 1 + 4 + kGeometrySize + 2 + 1 + 4 + kConnectionSize);
inline constexpr std::size_t kModelRecordBaseSize = 36;    // plus twice the name
inline constexpr std::size_t kVehicleRecordBaseSize = 61;  // plus twice the name and the second name
static_assert(kModelRecordBaseSize == 2 + 1 + 12 + 12 + 1 + 4 + 4);
static_assert(kVehicleRecordBaseSize == 2 + 1 + 2 + 1 + 44 + 1 + 1 + 1 + 1 + 1 + 2 + 1 + 2 + 1);

}  // namespace railfmt::layout_format
