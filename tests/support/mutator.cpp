#include "tests/support/mutator.h"

#include <array>

namespace railfmt::testing {
namespace {

// Values that counts, tags, markers and lengths meet at their edges.
constexpr std::array<std::uint16_t, 10> kEdgeWords = {0x0000, 0x0001, 0x0002, 0x7FFF, 0x8000,
                                                      0x8001, 0x8003, 0xFFFE, 0xFFFF, 0x0100};
constexpr std::array<std::uint8_t, 6> kEdgeBytes = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};

}  // namespace

std::vector<std::uint8_t> Mutator::Mutate(const std::vector<std::uint8_t>& input,
                                          const std::vector<std::uint8_t>& splice_partner) {
  std::vector<std::uint8_t> bytes = input;
  const std::size_t edits = 1 + Below(3);
  for (std::size_t i = 0; i < edits; ++i) EditOnce(bytes, splice_partner);
  return bytes;
}

void Mutator::EditOnce(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& partner) {
  const std::size_t size = bytes.size();
  const auto at = [&](std::size_t extra) { return Below(size + extra); };
  switch (Below(9)) {
    case 0:  // flip one bit
      if (size > 0) bytes[at(0)] ^= static_cast<std::uint8_t>(1u << Below(8));
      break;
    case 1:  // a byte set to an edge value
      if (size > 0) bytes[at(0)] = kEdgeBytes[Below(kEdgeBytes.size())];
      break;
    case 2:  // a 16-bit word set to an edge value, or a 32-bit word to its widening
      if (size >= 4) {
        const std::size_t pos = Below(size - 3);
        const std::uint16_t w = kEdgeWords[Below(kEdgeWords.size())];
        bytes[pos] = static_cast<std::uint8_t>(w & 0xFF);
        bytes[pos + 1] = static_cast<std::uint8_t>(w >> 8);
        if (Below(2) == 0) {
          const std::uint8_t fill = (w & 0x8000) != 0 ? 0xFF : 0x00;
          bytes[pos + 2] = fill;
          bytes[pos + 3] = fill;
        }
      }
      break;
    case 3:  // truncate
      if (size > 0) bytes.resize(at(0));
      break;
    case 4: {  // insert a few bytes
      const std::size_t pos = at(1);
      const std::size_t n = 1 + Below(4);
      for (std::size_t i = 0; i < n; ++i) {
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(pos), static_cast<std::uint8_t>(Below(256)));
      }
      break;
    }
    case 5:  // delete a range
      if (size > 0) {
        const std::size_t pos = at(0);
        const std::size_t n = 1 + Below(std::min<std::size_t>(size - pos, 8));
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                    bytes.begin() + static_cast<std::ptrdiff_t>(pos + n));
      }
      break;
    case 6:  // duplicate a range in place
      if (size > 0) {
        const std::size_t pos = at(0);
        const std::size_t n = 1 + Below(std::min<std::size_t>(size - pos, 48));
        const std::vector<std::uint8_t> copy(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                                             bytes.begin() + static_cast<std::ptrdiff_t>(pos + n));
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(pos), copy.begin(), copy.end());
      }
      break;
    case 7:  // splice: our head, the partner's tail
      if (!partner.empty()) {
        bytes.resize(at(1));
        const std::size_t from = Below(partner.size());
        bytes.insert(bytes.end(), partner.begin() + static_cast<std::ptrdiff_t>(from), partner.end());
      }
      break;
    default:  // append trailing bytes
      bytes.push_back(static_cast<std::uint8_t>(Below(256)));
      break;
  }
}

}  // namespace railfmt::testing
