#include "web/zip_writer.h"

#include <algorithm>
#include <array>
#include <limits>

#include "driver/windows_names.h"

namespace railfmt::web {
namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndRecord = 0x06054b50;
constexpr std::uint16_t kVersion = 20;  // 2.0: stored files, plain headers
constexpr std::uint16_t kUtf8Names = 0x0800;
constexpr std::uint16_t kExtendedTimestamp = 0x5455;
constexpr std::uint16_t kTimestampSize = 5;  // flags, then the modification time
constexpr std::uint8_t kHasModificationTime = 1;
constexpr std::size_t kLocalHeaderSize = 30;

constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}();

// The civil date of a day counted from 1970-01-01 (proleptic Gregorian).
struct CivilDate {
  std::int64_t year;
  unsigned month, day;
};
CivilDate DateOfDay(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto day_of_era = static_cast<unsigned>(days - era * 146097);
  const unsigned year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const unsigned day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const unsigned shifted_month = (5 * day_of_year + 2) / 153;
  const unsigned day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
  const unsigned month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  return {static_cast<std::int64_t>(year_of_era) + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// The fields a local header and a central directory entry share.
void CommonFields(ByteWriter& w, std::uint32_t crc, std::uint32_t size, std::uint16_t name_size,
                  std::uint32_t dos_time) {
  w.U16(kVersion);
  w.U16(kUtf8Names);
  w.U16(0);  // stored
  w.U32(dos_time);
  w.U32(crc);
  w.U32(size);  // compressed size
  w.U32(size);
  w.U16(name_size);
  w.U16(4 + kTimestampSize);  // the extra field
}

void TimestampField(ByteWriter& w, const ZipTime& time) {
  w.U16(kExtendedTimestamp);
  w.U16(kTimestampSize);
  w.U8(kHasModificationTime);
  w.U32(static_cast<std::uint32_t>(std::clamp<std::int64_t>(time.unix_seconds, 0, 0xFFFFFFFF)));
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (const std::uint8_t b : bytes) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t DosDateTime(const ZipTime& time) {
  constexpr std::int64_t kDay = 86400;
  const std::int64_t local = time.unix_seconds + std::int64_t{time.utc_offset_minutes} * 60;
  const std::int64_t days = (local >= 0 ? local : local - (kDay - 1)) / kDay;
  const std::int64_t seconds = local - days * kDay;
  const CivilDate date = DateOfDay(days);
  if (date.year < 1980) return (1u << 21) | (1u << 16);  // 1 January 1980, 00:00
  if (date.year > 2107) return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
  const auto year = static_cast<std::uint32_t>(date.year - 1980);
  const auto hour = static_cast<std::uint32_t>(seconds / 3600);
  const auto minute = static_cast<std::uint32_t>(seconds / 60 % 60);
  const auto second = static_cast<std::uint32_t>(seconds % 60);
  return (year << 25) | (date.month << 21) | (date.day << 16) | (hour << 11) | (minute << 5) | (second / 2);
}

std::string ZipName(std::string_view name) {
  if (Utf8ToUtf16(name)) return std::string(name);
  return Utf16ToUtf8(Windows1252ToUtf16(name));
}

bool ZipWriter::Add(std::string_view entry_name, std::span<const std::uint8_t> bytes, const ZipTime& modified) {
  constexpr std::size_t kMax32 = std::numeric_limits<std::uint32_t>::max();
  const std::string name = ZipName(entry_name);
  const std::size_t header = kLocalHeaderSize + name.size() + 4 + kTimestampSize;
  if (files_ == std::numeric_limits<std::uint16_t>::max() || name.size() > std::numeric_limits<std::uint16_t>::max() ||
      bytes.size() > kMax32 || out_.size() > kMax32 - bytes.size() - header) {
    return false;
  }
  const std::uint32_t crc = Crc32(bytes);
  const auto size = static_cast<std::uint32_t>(bytes.size());
  const auto name_size = static_cast<std::uint16_t>(name.size());
  const auto offset = static_cast<std::uint32_t>(out_.size());
  const std::uint32_t dos_time = DosDateTime(modified);

  out_.U32(kLocalHeader);
  CommonFields(out_, crc, size, name_size, dos_time);
  out_.Chars(name);
  TimestampField(out_, modified);
  out_.Bytes(bytes);

  directory_.U32(kCentralHeader);
  directory_.U16(kVersion);  // made by
  CommonFields(directory_, crc, size, name_size, dos_time);
  directory_.U16(0);  // no comment
  directory_.U16(0);  // disk 0
  directory_.U16(0);  // internal attributes
  directory_.U32(0);  // external attributes
  directory_.U32(offset);
  directory_.Chars(name);
  TimestampField(directory_, modified);
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
