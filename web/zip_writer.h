// A zip archive of stored (uncompressed) files, for the page's download of
// what a run would write: the outputs are small and mostly numbers, so
// storing keeps the writer a few dozen lines and the archive readable by
// every unzip.
//
// Each file is a local header, its name and its bytes; the central
// directory repeats the headers with their offsets; the end record counts
// them. Names are UTF-8 with the flag that says so (bit 11): a name that is
// not UTF-8 is an entry name of the planning program's, Windows-1252, and is
// decoded. Each file carries its modification time twice: as the DOS date
// and time of the writer's local clock that every unzip reads, and as the
// Unix time of the extended-timestamp field (0x5455) that most also read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/byte_writer.h"

namespace railfmt::web {

// The CRC-32 of zip (and of PNG and gzip): reflected polynomial 0xEDB88320.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// A moment: seconds since 1970 (UTC), and the minutes the local clock is
// ahead of UTC then.
struct ZipTime {
  std::int64_t unix_seconds = 0;
  std::int32_t utc_offset_minutes = 0;
};

// The DOS date (high 16 bits) and time (low 16 bits) of the local clock at
// that moment, clamped to the years 1980 to 2107 the format can hold;
// seconds are counted in twos, rounded down.
std::uint32_t DosDateTime(const ZipTime& time);

// The name as a zip stores it: the bytes when they are UTF-8, else the
// Windows-1252 characters of the bytes in UTF-8.
std::string ZipName(std::string_view name);

class ZipWriter {
 public:
  // Adds a file; false when the archive cannot hold it (a name or file
  // too long for the format's 16- and 32-bit fields, or 65535 files).
  bool Add(std::string_view name, std::span<const std::uint8_t> bytes, const ZipTime& modified);
  // The archive: the files added, then the central directory and end record.
  std::vector<std::uint8_t> Finish();

 private:
  ByteWriter out_;
  ByteWriter directory_;
  std::uint16_t files_ = 0;
};

}  // namespace railfmt::web
