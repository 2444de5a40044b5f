// Object-archive framing shared by model streams, rolling stock and
// construction drawings.
//
// A class is introduced once per stream by the new-class tag 0xFFFF, the
// schema number 0 and its name (16-bit length, no terminator); afterwards it
// is referred to by its class tag, 0x8000 OR its class index. One running
// class index per stream starts at 1; every introduction and every object
// takes the next index. Tag arithmetic is 16-bit and wraps.
#pragma once

#include <cstdint>
#include <string_view>

namespace railfmt::archive {

inline constexpr std::uint16_t kNewClassTag = 0xFFFF;
inline constexpr std::uint16_t kSchemaNumber = 0;
inline constexpr std::uint16_t kClassTagBit = 0x8000;

inline constexpr std::string_view kArrayClass = "CObArray";
inline constexpr std::string_view kPointClass = "CObPunkt";
inline constexpr std::string_view kIndexClass = "CObIndex";
inline constexpr std::string_view kFormatClass = "CObFormat";
inline constexpr std::string_view kLineClass = "CObLinie";
inline constexpr std::string_view kDashedLineClass = "CObStrichLinie";
inline constexpr std::string_view kDimensionLineClass = "CObMassLinie";

// Class tags in a model stream: "CObArray" has class index 1, "CObPunkt" 3.
inline constexpr std::uint16_t kArrayTag = 0x8001;
inline constexpr std::uint16_t kPointTag = 0x8003;

inline constexpr std::size_t kPointRecordSize = 48;
inline constexpr std::size_t kFormatRecordSize = 48;
inline constexpr std::size_t kIndexObjectSize = 8;

}  // namespace railfmt::archive
