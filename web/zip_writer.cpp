#include "web/zip_writer.h"

#include <array>
#include <limits>

namespace railfmt::web {
namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndRecord = 0x06054b50;
constexpr std::uint16_t kVersion = 20;  // 2.0: stored files, plain headers
constexpr std::uint16_t kUtf8Names = 0x0800;
constexpr std::uint16_t kDate1980 = (1 << 5) | 1;  // 1 January 1980, in the DOS date format

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}();

// The fields a local header and a central directory entry share.
void CommonFields(ByteWriter& w, std::uint32_t crc, std::uint32_t size, std::uint16_t name_size) {
  w.U16(kVersion);
  w.U16(kUtf8Names);
  w.U16(0);  // stored
  w.U16(0);  // time 00:00
  w.U16(kDate1980);
  w.U32(crc);
  w.U32(size);  // compressed size
  w.U32(size);
  w.U16(name_size);
  w.U16(0);  // no extra field
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (const std::uint8_t b : bytes) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

bool ZipWriter::Add(std::string_view name, std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kMax32 = std::numeric_limits<std::uint32_t>::max();
  if (files_ == std::numeric_limits<std::uint16_t>::max() || name.size() > std::numeric_limits<std::uint16_t>::max() ||
      bytes.size() > kMax32 || out_.size() > kMax32 - bytes.size() - 30 - name.size()) {
    return false;
  }
  const std::uint32_t crc = Crc32(bytes);
  const auto size = static_cast<std::uint32_t>(bytes.size());
  const auto name_size = static_cast<std::uint16_t>(name.size());
  const auto offset = static_cast<std::uint32_t>(out_.size());

  out_.U32(kLocalHeader);
  CommonFields(out_, crc, size, name_size);
  out_.Chars(name);
  out_.Bytes(bytes);

  directory_.U32(kCentralHeader);
  directory_.U16(kVersion);  // made by
  CommonFields(directory_, crc, size, name_size);
  directory_.U16(0);  // no comment
  directory_.U16(0);  // disk 0
  directory_.U16(0);  // internal attributes
  directory_.U32(0);  // external attributes
  directory_.U32(offset);
  directory_.Chars(name);
  ++files_;
  return true;
}

std::vector<std::uint8_t> ZipWriter::Finish() {
  const auto offset = static_cast<std::uint32_t>(out_.size());
  const auto size = static_cast<std::uint32_t>(directory_.size());
  out_.Bytes(directory_.bytes());
  out_.U32(kEndRecord);
  out_.U16(0);  // this disk
  out_.U16(0);  // the directory's disk
  out_.U16(files_);
  out_.U16(files_);
  out_.U32(size);
  out_.U32(offset);
  out_.U16(0);  // no comment
  return out_.Take();
}

}  // namespace railfmt::web
