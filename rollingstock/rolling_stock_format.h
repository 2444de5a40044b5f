// Constants of the rolling stock format (".rol").
//
// A rolling-stock file is one object archive holding three model streams,
// followed by an info block without tags or checks:
//   Value1 Value2 Value3      32 bits each
//   name length L             8 bits, 0 to 255
//   name                      L bytes, no terminator
//   Value4 ... Value9         32 bits each
#pragma once

#include <cstddef>

namespace railfmt::rollingstock {

inline constexpr std::size_t kModelCount = 3;

inline constexpr std::size_t kValuesBeforeName = 3;
inline constexpr std::size_t kValuesAfterName = 6;
inline constexpr std::size_t kMaxNameLength = 255;
// The info block without its name bytes.
inline constexpr std::size_t kInfoFixedSize = (kValuesBeforeName + kValuesAfterName) * 4 + 1;
static_assert(kInfoFixedSize == 37);

}  // namespace railfmt::rollingstock
