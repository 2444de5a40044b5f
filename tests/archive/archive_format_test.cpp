#include "archive/archive_format.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/byte_writer.h"
#include "driver/diagnostics.h"

namespace railfmt::archive {
namespace {

using railfmt::DiagnosticCapture;

std::vector<std::uint8_t> Introduction(std::uint16_t tag, std::uint16_t schema, const std::string& name) {
  ByteWriter out;
  out.U16(tag);
  out.U16(schema);
  out.U16(static_cast<std::uint16_t>(name.size()));
  out.Chars(name);
  return out.Take();
}

TEST(ArchiveFormat, ClassIntroductionIsTagSchemaAndLengthPrefixedName) {
  ByteWriter out;
  WriteClassIntroduction(out, kArrayClass);
  EXPECT_EQ(out.bytes(), Introduction(0xFFFF, 0, "CObArray"));
  EXPECT_EQ(out.size(), 4u + 2u + 8u);
  ByteWriter format;
  WriteClassIntroduction(format, kFormatClass);
  EXPECT_EQ(format.size(), 4u + 2u + 9u);
}

TEST(ArchiveFormat, ReadClassIntroductionNamesTheFailedCheck) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    IntroductionCheck result;
    const char* mismatch;
    std::size_t consumed;
  };
  const std::vector<Case> cases = {
      {"exact", Introduction(0xFFFF, 0, "CObPunkt"), IntroductionCheck::kOk, "", 14},
      {"class tag instead of introduction", Introduction(0x8001, 0, "CObPunkt"),
       IntroductionCheck::kMissingIntroduction, "I: -32767 S: -1\n", 2},
      {"schema 1", Introduction(0xFFFF, 1, "CObPunkt"), IntroductionCheck::kMissingIntroduction, "I: 1 S: 0\n", 4},
      {"one letter differs", Introduction(0xFFFF, 0, "CObPunkx"), IntroductionCheck::kWrongName, "", 14},
      {"case of one letter", Introduction(0xFFFF, 0, "CObpunkt"), IntroductionCheck::kWrongName, "", 14},
      {"longer name", Introduction(0xFFFF, 0, "CObPunkte"), IntroductionCheck::kWrongName, "", 6},
      {"other class", Introduction(0xFFFF, 0, "CObIndex"), IntroductionCheck::kWrongName, "", 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DiagnosticCapture captured;
    ReadCursor in(c.bytes);
    EXPECT_EQ(ReadClassIntroduction(in, kPointClass), c.result);
    EXPECT_EQ(captured.mismatches(), c.mismatch);
    EXPECT_EQ(in.offset(), c.consumed);
    EXPECT_TRUE(captured.messages().empty());
  }
}

}  // namespace
}  // namespace railfmt::archive
