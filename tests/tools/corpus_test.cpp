#include "tools/make_corpus/corpus.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "driver/diagnostics.h"
#include "driver/path_names.h"
#include "driver/recognition_cascade.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {
using testing::ScratchDir;

constexpr std::size_t kFiles = 300;

TEST(Corpus, EveryFileIsRecognisedAsTheKindItWasMadeAs) {
  DiagnosticCapture quiet;  // the failed attempts print mismatch lines
  std::map<EntryKind, int> seen;
  for (std::uint64_t seed : {1u, 977u}) {
    for (std::size_t i = 0; i < kFiles; ++i) {
      const CorpusFile file = MakeCorpusFile(seed, i);
      SCOPED_TRACE(file.name);
      ++seen[file.kind];
      if (IsSkippedName(file.name)) {
        EXPECT_EQ(file.kind, EntryKind::kNone);
        continue;
      }
      const auto recognised = RecogniseEntry(file.name, file.bytes);
      EXPECT_EQ(recognised ? recognised->kind() : EntryKind::kNone, file.kind);
    }
  }
  for (EntryKind kind :
       {EntryKind::kNone, EntryKind::kRollingStock, EntryKind::kModel, EntryKind::kConstruction, EntryKind::kLayout}) {
    EXPECT_GT(seen[kind], 20) << EntryKindName(kind);
  }
}

TEST(Corpus, ValidFilesAreWrittenUnderTheirOwnNameAndArchivesUnchanged) {
  // The makers build archives as a read leaves them, so each model, rolling
  // stock and drawing is what the batch tool writes for it, byte for byte,
  // in place or beside it. Layouts are stored with duplicates and
  // misplaced models, which the rewrite normalises into another layout.
  ScratchDir dir;
  DiagnosticCapture quiet;
  for (std::size_t i = 0; i < kFiles; ++i) {
    const CorpusFile file = MakeCorpusFile(5, i);
    if (file.kind == EntryKind::kNone) continue;
    SCOPED_TRACE(file.name);
    auto recognised = RecogniseEntry(file.name, file.bytes);
    ASSERT_TRUE(recognised.has_value());
    const std::string output = recognised->OutputName();
    EXPECT_EQ(BaseName(output), BaseName(file.name));
    testing::WriteHere(*recognised);
    const std::vector<std::uint8_t> written = dir.Read(output);
    if (file.kind == EntryKind::kLayout) {
      const auto again = RecogniseEntry(output, written);
      EXPECT_TRUE(again && again->kind() == EntryKind::kLayout);
    } else {
      EXPECT_EQ(written, file.bytes);
    }
  }
}

TEST(Corpus, AFileDependsOnTheSeedAndItsIndexAlone) {
  std::set<std::string> names;
  for (std::size_t i : {0u, 1u, 17u, 250u}) {
    const CorpusFile a = MakeCorpusFile(42, i);
    const CorpusFile b = MakeCorpusFile(42, i);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.bytes, b.bytes);
    EXPECT_NE(MakeCorpusFile(43, i).bytes, a.bytes);
    names.insert(a.name);
  }
  EXPECT_EQ(names.size(), 4u) << "names carry the index";
}

}  // namespace
}  // namespace railfmt
