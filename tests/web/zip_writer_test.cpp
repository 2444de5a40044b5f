// The page's zip as an independent reader, Python's zipfile, reads it back:
// names every unzip reads alike, the dates of the local clock, every byte.
#include "web/zip_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"

namespace railfmt::web {
namespace {

#ifndef _WIN32
// Each name is UTF-8 and flagged so (a name that is not UTF-8 is the
// planning program's Windows-1252, and is decoded); each date is the local
// clock's (ahead of UTC, behind it), within the years 1980 to 2107 the DOS
// date holds, its seconds rounded down to an even number; every CRC checks.
TEST(ZipWriter, PythonsZipfileReadsBackEveryNameDateAndByte) {
  struct Entry {
    const char* what;
    std::string name;
    ZipTime time;
    std::vector<std::uint8_t> bytes;
    std::string read;  // name, local date and time, and bytes as zipfile gives them
  } const entries[] = {
      {"ASCII; UTC", "x.mod", {1733600000, 0}, {1, 2, 3}, "x.mod 2024-12-07 19:33:20 010203"},
      {"UTF-8; ahead, midnight", "Gr\xC3\xBCn.kon", {1733612400, 60}, {1}, "Gr\xC3\xBCn.kon 2024-12-08 00:00:00 01"},
      {"Windows-1252; leap day", "M\xFCller.rol", {1709251199, -300}, {2}, "M\xC3\xBCller.rol 2024-02-29 18:59:58 02"},
      {"the euro sign; before 1980", "\x80.anl", {0, 0}, {3}, "\xE2\x82\xAC.anl 1980-01-01 00:00:00 03"},
      {"cut UTF-8; after 2107", "a\xC3.mod", {5000000000000, 0}, {4}, "a\xC3\x83.mod 2107-12-31 23:59:58 04"},
      {"empty, in a folder", "sub/empty.mod", {1733600000, 60}, {}, "sub/empty.mod 2024-12-07 20:33:20 "},
  };
  testing::ScratchDir dir;
  ZipWriter zip;
  for (const Entry& e : entries) ASSERT_TRUE(zip.Add(e.name, e.bytes, e.time)) << e.what;
  dir.Write("out.zip", zip.Finish());
  const char* const list =
      "import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "for i in z.infolist():\n"
      "    assert i.flag_bits & 0x800, i.filename\n"
      "    print(i.filename, '%04d-%02d-%02d %02d:%02d:%02d' % i.date_time, z.read(i).hex())\n";
  const testing::ProgramRun run = testing::RunProgram({"python3", "-c", list, "out.zip"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream listing(run.out);
  for (const Entry& e : entries) {
    std::string line;
    std::getline(listing, line);
    EXPECT_EQ(line, e.read) << e.what;
  }
}
#endif

}  // namespace
}  // namespace railfmt::web
