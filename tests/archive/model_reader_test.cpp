// The model reader's checks, reached by changing one field of a valid
// stream at a time.
#include <gtest/gtest.h>

#include <map>

#include "archive/model.h"
#include "driver/byte_order.h"
#include "driver/diagnostics.h"
#include "tests/archive/model_test_models.h"

namespace railfmt {
namespace {
using testing::TwoPartModel;

// Field offsets of TwoPartModel() written as a first model.
enum FirstOffset : std::size_t {
  kPartCount = 0,
  kReserved = 2,
  kPartCountCopy = 40,
  kArrayIntro = 42,
  kArraySchema = 44,
  kArrayName = 48,
  kPointCount0 = 56,
  kPointIntro = 58,
  kPointName = 64,
  kPointSeparator = 120,
  kPointListTag = 170,
  kPointCount1 = 172,
  kPointTag1 = 174,
  kPrimitiveListCount = 224,
  kPrimitiveArrayTag = 226,
  kObjectCount0 = 228,
  kIndexIntro = 230,
  kIndexName = 236,
  kBlock0 = 244,
  kPrimitiveListTag = 332,
  kObjectCount1 = 334,
  kIndexTag1 = 336,
  kFormatListCount = 396,
  kFormatArrayTag = 398,
  kFormatCount0 = 400,
  kFormatIntro = 402,
  kFormatName = 408,
  kFormatSeparator = 465,
  kFormatListTag = 515,
  kFormatCount1 = 517,
  kFormatTag1 = 519,
  kFirstSize = 569,
};

// Field offsets of TwoPartModel() written as a later model.
enum LaterOffset : std::size_t {
  kLaterArrayTag = 42,
  kLaterPointTag = 46,
  kLaterPrimitiveListCount = 200,
  kLaterPrimitiveArrayTag = 202,
  kLaterIndexTag = 206,
  kLaterFormatListCount = 360,
  kLaterFormatArrayTag = 362,
  kLaterFormatTag = 366,
  kLaterSize = 520,
};

struct Outcome {
  std::uint16_t read_ok = 0;
  std::vector<std::string> messages;
  std::string mismatches;
  std::size_t stop = 0;
};

// A model stream with verbs that damage it.
class Stream {
 public:
  explicit Stream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  static Stream First() {
    CModell model = TwoPartModel();
    ByteWriter out;
    model.WriteModelFirst(out);
    return Stream(out.Take());
  }
  static Stream Later() {
    CModell model = TwoPartModel();
    ByteWriter out;
    model.WriteModelLater(out, model.ComputeModelTags());
    return Stream(out.Take());
  }
  Stream& SetWord(std::size_t offset, std::uint16_t value) {
    StoreLE16(&bytes_.at(offset + 1) - 1, value);
    return *this;
  }
  Stream& SetByte(std::size_t offset, std::uint8_t value) {
    bytes_.at(offset) = value;
    return *this;
  }
  Stream& Truncate(std::size_t length) {
    bytes_.resize(length);
    return *this;
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  Outcome ReadFirst() const {
    CModell model;
    return Read(model, false);
  }
  Outcome ReadLater() const {
    CModell model;
    return Read(model, true);
  }

 private:
  Outcome Read(CModell& model, bool later) const {
    DiagnosticCapture captured;
    ReadCursor in(bytes_);
    if (later) {
      model.ReadModelLater(in, {0x8009, 0x801B});
    } else {
      model.ReadModelFirst(in);
    }
    return {model.ReadOk, captured.messages(), captured.mismatches(), in.offset()};
  }

  std::vector<std::uint8_t> bytes_;
};

struct Damage {
  const char* what;
  std::size_t offset;
  int word;  // a 16-bit value to store, or -1 to change one letter of a name
  const char* mismatch;
  const char* message;
};

void ExpectFailures(const Stream& original, const std::vector<Damage>& cases, bool later) {
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.what);
    Stream stream = original;
    if (c.word >= 0) {
      stream.SetWord(c.offset, static_cast<std::uint16_t>(c.word));
    } else {
      stream.SetByte(c.offset + 3, 'x');
    }
    const Outcome read = later ? stream.ReadLater() : stream.ReadFirst();
    EXPECT_EQ(read.read_ok, 0);
    EXPECT_EQ(read.mismatches, c.mismatch);
    EXPECT_EQ(read.messages, std::vector<std::string>{c.message});
  }
}

TEST(ModelReader, FirstModelReportsEveryCheckWithItsMismatchLine) {
  ExpectFailures(
      Stream::First(),
      {
          {"reserved word", kReserved, 5, "I: 5 S: 0\n", "Formatfehler 1 in (null)!\n"},
          {"repeated part count", kPartCountCopy, 3, "I: 3 S: 2\n", "Formatfehler 3 in (null)!\n"},
          {"CObArray new-class tag", kArrayIntro, 0x8001, "I: -32767 S: -1\n", "Formatfehler 4 in (null)!\n"},
          {"CObArray schema", kArraySchema, 1, "I: 1 S: 0\n", "Formatfehler 4 in (null)!\n"},
          {"CObArray name", kArrayName, -1, "", "Formatfehler 6 in (null)!\n"},
          {"CObPunkt new-class tag", kPointIntro, 0x8003, "I: -32765 S: -1\n", "Formatfehler 7 in (null)!\n"},
          {"CObPunkt name", kPointName, -1, "", "Formatfehler 8 in (null)!\n"},
          {"point separator", kPointSeparator, 0x8001, "I: -32767 S: -32765\n", "Formatfehler 12!\n"},
          {"list tag between point lists", kPointListTag, 0x8003, "I: -32765 S: -32767\n",
           "Formatfehler 9a in (null)!\n"},
          {"point tag after the next count", kPointTag1, 0x8001, "I: -32767 S: -32765\n",
           "Formatfehler 9b in (null)!\n"},
          {"count of primitive lists", kPrimitiveListCount, 3, "I: 3 S: 2\n", "Formatfehler 9c in (null)!\n"},
          {"list tag before the primitives", kPrimitiveArrayTag, 0x8003, "I: -32765 S: -32767\n",
           "Formatfehler 10 in (null)!\n"},
          {"CObIndex new-class tag", kIndexIntro, 0x8001, "I: -32767 S: -1\n", "Formatfehler 13 in (null)!\n"},
          {"CObIndex name", kIndexName, -1, "", "Formatfehler 14 in (null)!\n"},
          {"index separator", kBlock0 + 8, 0x8008, "I: -32760 S: -32759\n", "Falscher Trenner1: ffff8009!\n"},
          {"list tag between primitive lists", kPrimitiveListTag, 0, "I: 0 S: -32767\n",
           "Formatfehler 15a in (null)!\n"},
          {"index tag after the next count", kIndexTag1, 0x800A, "I: -32758 S: -32759\n",
           "Formatfehler 15b in (null)!\n"},
          // A count one too large runs into the count of format lists as a separator.
          {"object count too large", kObjectCount1, 7, "I: 2 S: -32759\n", "Falscher Trenner1: ffff8009!\n"},
          {"count of format lists", kFormatListCount, 1, "I: 1 S: 2\n", "Formatfehler 16 in (null)!\n"},
          {"list tag before the formats", kFormatArrayTag, 0, "I: 0 S: -32767\n", "Formatfehler 10 in (null)!\n"},
          {"CObFormat new-class tag", kFormatIntro, 0, "I: 0 S: -1\n", "Formatfehler 13 in (null)!\n"},
          {"CObFormat name", kFormatName, -1, "", "Formatfehler 14 in (null)!\n"},
          {"format separator", kFormatSeparator, 0x801C, "I: -32740 S: -32741\n", "Falscher Trenner2: ffff801b!\n"},
          {"list tag between format lists", kFormatListTag, 0x8003, "I: -32765 S: -32767\n",
           "Formatfehler 17a in (null)!\n"},
          {"format tag after the next count", kFormatTag1, 0x801A, "I: -32742 S: -32741\n",
           "Formatfehler 17b in (null) 0!\n"},
      },
      false);
}

TEST(ModelReader, LaterModelChecksTheClassTagsItWasGiven) {
  ExpectFailures(
      Stream::Later(),
      {
          {"list tag before part 0's points", kLaterArrayTag, 0xFFFF, "I: -1 S: -32767\n",
           "Formatfehler 6 in (null)!\n"},
          {"point tag before part 0's points", kLaterPointTag, 0xFFFF, "I: -1 S: -32765\n",
           "Formatfehler 6 in (null)!\n"},
          {"count of primitive lists", kLaterPrimitiveListCount, 0, "I: 0 S: 2\n", "Formatfehler 9c in (null)!\n"},
          {"list tag before the primitives", kLaterPrimitiveArrayTag, 0x8009, "I: -32759 S: -32767\n",
           "Formatfehler 10 in (null)!\n"},
          {"index tag before part 0's primitives", kLaterIndexTag, 0xFFFF, "I: -1 S: -32759\n",
           "Formatfehler 11 in (null)!\n"},
          {"count of format lists", kLaterFormatListCount, 0x8001, "I: -32767 S: 2\n", "Formatfehler 16 in (null)!\n"},
          {"list tag before the formats", kLaterFormatArrayTag, 0x801B, "I: -32741 S: -32767\n",
           "Formatfehler 12 in (null)!\n"},
          {"format tag before part 0's formats", kLaterFormatTag, 0xFFFF, "I: -1 S: -32741\n",
           "Formatfehler 13 in (null)!\n"},
      },
      true);
}

TEST(ModelReader, EmptyModelChecksItsTwoZeroCounts) {
  CModell empty;
  ByteWriter out;
  empty.WriteModelFirst(out);
  ASSERT_EQ(out.size(), 46u);
  for (std::size_t offset : {std::size_t{42}, std::size_t{44}}) {
    Stream stream(out.bytes());
    stream.SetWord(offset, 1);
    for (const Outcome& read : {stream.ReadFirst(), stream.ReadLater()}) {
      EXPECT_EQ(read.read_ok, 0);
      EXPECT_EQ(read.mismatches, "I: 1 S: 0\n");
      EXPECT_EQ(read.messages, std::vector<std::string>{"Formatfehler 3 in (null)!\n"});
    }
  }
}

TEST(ModelReader, UnusableCountsFailWhereTheyStand) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::size_t, std::uint16_t>> words;
    const char* message;
    std::size_t stop;
  };
  const std::vector<Case> cases = {
      {"negative part count, checked after the header",
       {{kPartCount, 0xFFFE}, {kPartCountCopy, 0xFFFE}},
       "Formatfehler 3 in (null)!\n",
       kArrayIntro},
      {"negative point count of part 0", {{kPointCount0, 0xFFFF}}, "Formatfehler!\n", kPointIntro},
      {"negative point count of part 1", {{kPointCount1, 0x8000}}, "Formatfehler!\n", kPointTag1},
      {"negative format count of part 0", {{kFormatCount0, 0xFFFF}}, "Formatfehler!\n", kFormatIntro},
      {"negative format count of part 1", {{kFormatCount1, 0x8000}}, "Formatfehler!\n", kFormatTag1},
      {"object count 0", {{kObjectCount0, 0}}, "Vert(0,1) nicht gefunden!\n", kBlock0},
      {"negative object count", {{kObjectCount0, 0x8000}}, "Vert(0,1) nicht gefunden!\n", kBlock0},
      {"object count one short", {{kObjectCount0, 8}}, "Ende-Vert(9,1) nicht gefunden!\n", kPrimitiveListTag - 10},
      {"vertex beyond the points", {{kBlock0 + 4 * 10, 2}}, "Falscher Punkt: 2, 2!\n", kPrimitiveListTag},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Stream stream = Stream::First();
    for (const auto& [offset, word] : c.words) stream.SetWord(offset, word);
    const Outcome read = stream.ReadFirst();
    EXPECT_EQ(read.read_ok, 0);
    EXPECT_EQ(read.mismatches, "");
    EXPECT_EQ(read.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(read.stop, c.stop);
  }
}

// Short data prints no value found and fails with one message: that of the
// check whose field ran out, or "Formatfehler!" for a raw field.
TEST(ModelReader, TruncationAtEveryLengthIsNeverAccepted) {
  const std::map<std::size_t, const char*> first_messages = {
      {1, "Formatfehler!\n"},
      {kReserved + 1, "Formatfehler 1 in (null)!\n"},
      {kPartCountCopy - 1, "Formatfehler!\n"},
      {kPartCountCopy, "Formatfehler 3 in (null)!\n"},
      {kArrayName + 2, "Formatfehler 6 in (null)!\n"},
      {kPointSeparator + 1, "Formatfehler 12!\n"},
      {kPointSeparator + 30, "Formatfehler!\n"},
      {kPointCount1 + 1, "Formatfehler!\n"},
      {kBlock0 + 20, "Falscher Trenner1: ffff8009!\n"},
      {kPrimitiveListTag - 1, "Ende-Vert(9,1) nicht gefunden!\n"},
      {kFormatSeparator + 1, "Falscher Trenner2: ffff801b!\n"},
      {kFormatTag1 + 1, "Formatfehler 17b in (null) 0!\n"},
      {kFirstSize - 1, "Formatfehler!\n"},
  };
  for (bool later : {false, true}) {
    const Stream whole = later ? Stream::Later() : Stream::First();
    ASSERT_EQ(whole.bytes().size(), later ? std::size_t{kLaterSize} : std::size_t{kFirstSize});
    for (std::size_t length = 0; length < whole.bytes().size(); ++length) {
      SCOPED_TRACE(::testing::Message() << (later ? "later " : "first ") << length);
      Stream cut = whole;
      cut.Truncate(length);
      const Outcome read = later ? cut.ReadLater() : cut.ReadFirst();
      EXPECT_EQ(read.read_ok, 0);
      EXPECT_EQ(read.mismatches, "");
      ASSERT_EQ(read.messages.size(), 1u);
      const auto expected = first_messages.find(length);
      if (!later && expected != first_messages.end()) {
        EXPECT_EQ(read.messages[0], expected->second);
      }
    }
  }
}

}  // namespace
}  // namespace railfmt
