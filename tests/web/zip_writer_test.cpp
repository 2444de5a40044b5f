// The page's zip: names every unzip reads alike, the dates of the local
// clock, and an archive an independent reader accepts byte for byte.
#include "web/zip_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"

namespace railfmt::web {
namespace {

TEST(ZipWriter, NamesAreUtf8AndWindows1252NamesAreDecoded) {
  struct Case {
    const char* what;
    std::string name;
    std::string stored;
  } const cases[] = {
      {"ASCII", "x.mod", "x.mod"},
      {"UTF-8 stays", "M\xC3\xBCller.rol", "M\xC3\xBCller.rol"},
      {"a stored name in Windows-1252", "M\xFCller.rol", "M\xC3\xBCller.rol"},
      {"the euro sign of 0x80", "\x80.anl", "\xE2\x82\xAC.anl"},
      {"a cut UTF-8 sequence is Windows-1252", "a\xC3.mod", "a\xC3\x83.mod"},
  };
  for (const Case& c : cases) EXPECT_EQ(ZipName(c.name), c.stored) << c.what;
}

TEST(ZipWriter, DatesAreTheLocalClockInDosFormWithinItsYears) {
  struct Case {
    const char* what;
    ZipTime time;
    unsigned year, month, day, hour, minute, second;
  } const cases[] = {
      {"UTC", {1733600000, 0}, 2024, 12, 7, 19, 33, 20},
      {"an hour ahead crosses midnight", {1733612400, 60}, 2024, 12, 8, 0, 0, 0},
      {"behind UTC, a leap day", {1709251199, -300}, 2024, 2, 29, 18, 59, 58},
      {"before 1980: the first day", {0, 0}, 1980, 1, 1, 0, 0, 0},
      {"after 2107: the last second", {5000000000000, 0}, 2107, 12, 31, 23, 59, 58},
  };
  for (const Case& c : cases) {
    const std::uint32_t dos = DosDateTime(c.time);
    EXPECT_EQ(dos >> 25, c.year - 1980) << c.what;
    EXPECT_EQ((dos >> 21) & 0xF, c.month) << c.what;
    EXPECT_EQ((dos >> 16) & 0x1F, c.day) << c.what;
    EXPECT_EQ((dos >> 11) & 0x1F, c.hour) << c.what;
    EXPECT_EQ((dos >> 5) & 0x3F, c.minute) << c.what;
    EXPECT_EQ((dos & 0x1F) * 2, c.second) << c.what;
  }
}

#ifndef _WIN32
TEST(ZipWriter, PythonsZipfileReadsBackEveryNameDateAndByte) {
  testing::ScratchDir dir;
  ZipWriter zip;
  const std::vector<std::uint8_t> one = {1, 2, 3};
  const std::vector<std::uint8_t> none;
  ASSERT_TRUE(zip.Add("M\xFCller.rol", one, {1733600000, 60}));
  ASSERT_TRUE(zip.Add("sub/empty.mod", none, {1733600000, 60}));
  dir.Write("out.zip", zip.Finish());
  const std::string listing = testing::RunCommand(
      "python3 -c \"import zipfile; z = zipfile.ZipFile('out.zip'); assert z.testzip() is None; "
      "print([(i.filename, i.date_time, i.flag_bits & 0x800, z.read(i).hex()) for i in z.infolist()])\"");
  EXPECT_EQ(listing,
            "[('M\xC3\xBCller.rol', (2024, 12, 7, 20, 33, 20), 2048, '010203'), "
            "('sub/empty.mod', (2024, 12, 7, 20, 33, 20), 2048, '')]\n");
}
#endif

}  // namespace
}  // namespace railfmt::web
