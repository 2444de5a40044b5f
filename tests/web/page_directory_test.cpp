// The page's folder in memory: names as Windows has them, what it refuses
// to load or make, and which outputs a run leaves different from what was
// read.
#include "web/page_directory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "tests/support/kind_samples.h"

namespace railfmt::web {
namespace {

// The characters themselves are the Windows names' tests; here, the browser's UTF-8 to a listed name and back.
TEST(PageDirectory, NamesBecomeWindows1252AsWindowsListsThem) {
  struct Case {
    std::string utf8, listed;
  } const cases[] = {{"M\xC3\xBCller.rol", "M\xFCller.rol"},
                     {"\xE6\x97\xA5.mod", "?.mod"},  // a character Windows-1252 lacks
                     {"bad\xC3.mod", "????????"}};   // not UTF-8: nothing to go by
  for (const Case& c : cases) {
    EXPECT_EQ(ListedName(c.utf8), c.listed) << c.utf8;
    if (c.listed.find('?') == std::string::npos) {
      EXPECT_EQ(ShownName(c.listed), c.utf8);
    }
  }
}

TEST(PageDirectory, FoldersAndNamesWindowsCannotHoldAreNeverLoadedOrMade) {
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  PageDirectory dir;
  dir.AddFile("a.mod", bytes);
  dir.AddFolder("sub.mod");
  dir.AddFile("?.mod", bytes);
  dir.AddFile("?.mod", bytes);  // a second name that lists alike
  dir.AddFile("con.mod", bytes);
  EXPECT_EQ(dir.ListNames(), (std::vector<std::string>{"a.mod", "sub.mod", "?.mod", "?.mod", "con.mod"}));
  struct Case {
    const char* name;
    LoadStatus load;
    StoreOutcome store;
  } const cases[] = {{"a.mod", LoadStatus::kLoaded, StoreOutcome::kReplaced},
                     {"sub.mod", LoadStatus::kDirectory, StoreOutcome::kRefused},
                     {"?.mod", LoadStatus::kMissing, StoreOutcome::kRefused},
                     {"con.mod", LoadStatus::kSpecial, StoreOutcome::kRefused},
                     {"new.mod", LoadStatus::kMissing, StoreOutcome::kCreated}};
  const DiagnosticCapture said;
  for (const Case& c : cases) {
    LoadedEntry entry;
    EXPECT_EQ(dir.Load(c.name, entry), c.load) << c.name;
    EXPECT_EQ(dir.Store(c.name, std::vector<std::uint8_t>{9}, nullptr), c.store) << c.name;
  }
  EXPECT_EQ(said.messages(),
            (std::vector<std::string>{"Can't open sub.mod!\n", "Can't open ?.mod!\n", "Can't open con.mod!\n"}));
}

TEST(PageDirectory, AFileStillToComeIsNotedWhenARunReachesIt) {
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  PageDirectory dir;
  dir.AddPendingFile("later.mod");
  dir.AddFile("now.mod", bytes);
  LoadedEntry entry;
  EXPECT_EQ(dir.Load("now.mod", entry), LoadStatus::kLoaded);
  EXPECT_FALSE(dir.ReachedPending());
  // A look at the name to store there reaches it as much as a load does.
  EXPECT_EQ(dir.Preview("later.mod", bytes, nullptr), StoreOutcome::kRefused);
  EXPECT_TRUE(dir.ReachedPending());
  dir.Fill("later.mod", bytes);
  dir.Restore();
  EXPECT_FALSE(dir.ReachedPending());
  EXPECT_EQ(dir.Load("later.mod", entry), LoadStatus::kLoaded);
  EXPECT_EQ(std::vector<std::uint8_t>(entry.bytes().begin(), entry.bytes().end()), bytes);
}

TEST(PageDirectory, ARunLeavesNewFilesAndFilesWhoseBytesChangeNothingElse) {
  // A model in normal form, the same model with a byte too many, a layout
  // named .bak (railfmt writes it as .anl beside it), and a file no kind reads.
  const std::vector<std::uint8_t> model = testing::SampleOf(EntryKind::kModel);
  const std::vector<std::uint8_t> layout = testing::SampleOf(EntryKind::kLayout);
  PageDirectory dir;
  dir.AddFile("normal.mod", model);
  dir.AddFile("long.mod", testing::ModelWithTrailingByte());
  dir.AddFile("plan.bak", layout);
  dir.AddFile("notes.txt", std::vector<std::uint8_t>{'h', 'i'});
  const DiagnosticCapture quiet(DiagnosticCapture::kDiscard);
  RunBatch(dir);
  const std::vector<PageDirectory::Change> changes = dir.Changes();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].name, "long.mod");
  EXPECT_FALSE(changes[0].created);
  EXPECT_EQ(changes[1].name, "plan.anl");
  EXPECT_TRUE(changes[1].created);
  EXPECT_EQ(*dir.Original("long.mod"), testing::ModelWithTrailingByte());
  EXPECT_EQ(*dir.Find("long.mod"), model);
  EXPECT_EQ(*dir.Original("normal.mod"), model);
  EXPECT_EQ(dir.Original("plan.anl"), nullptr);
  // Put back as read, the folder gives the same run again.
  dir.Restore();
  EXPECT_EQ(dir.Find("plan.anl"), nullptr);
  EXPECT_EQ(*dir.Find("long.mod"), testing::ModelWithTrailingByte());
  RunBatch(dir);
  EXPECT_EQ(dir.Changes().size(), 2u);
}

}  // namespace
}  // namespace railfmt::web
