// A zip archive of stored (uncompressed) files, for the page's "download
// all": the outputs are small and mostly numbers, so storing keeps the
// writer a few dozen lines and the archive readable by every unzip.
//
// Each file is a local header, its name (UTF-8, flag bit 11) and its bytes;
// the central directory repeats the headers with their offsets; the end
// record counts them. Every date is 1 January 1980, so the same files give
// the same archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "driver/byte_writer.h"

namespace railfmt::web {

// The CRC-32 of zip (and of PNG and gzip): reflected polynomial 0xEDB88320.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

class ZipWriter {
 public:
  // Adds a file; false when the archive cannot hold it (a name or file
  // too long for the format's 16- and 32-bit fields, or 65535 files).
  bool Add(std::string_view name, std::span<const std::uint8_t> bytes);
  // The archive: the files added, then the central directory and end record.
  std::vector<std::uint8_t> Finish();

 private:
  ByteWriter out_;
  ByteWriter directory_;
  std::uint16_t files_ = 0;
};

}  // namespace railfmt::web
