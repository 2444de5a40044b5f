// The properties every kind keeps, over the bundled samples and a seeded
// generated corpus: whatever a reader accepts is rewritten to a file the
// same reader accepts and rewrites to the same bytes; a file cut short is
// never accepted by its own kind; and damage at any byte never breaks
// either (the sanitizer build watches for reads out of bounds meanwhile).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/path_names.h"
#include "driver/recognition_cascade.h"
#include "tests/support/kind_samples.h"
#include "tests/support/rewrite_property.h"
#include "tools/make_corpus/corpus.h"
#include "tools/samples/sample_files.h"

namespace railfmt {
namespace {

namespace fs = std::filesystem;

void ExpectStable(EntryKind kind, const std::vector<std::uint8_t>& bytes, const std::string& what, bool must_accept) {
  bool accepted = false;
  EXPECT_EQ(testing::CheckRewriteIsStable(kind, bytes, &accepted), "") << what;
  EXPECT_TRUE(accepted || !must_accept) << what;
}

// The corpus is a function of the seed alone, whatever the compiler: a
// digest of a seed's first files, the same in every build (g++ and clang
// once drew a model's and a drawing's sizes in opposite orders).
TEST(Properties, TheCorpusIsTheSeedsAlone) {
  std::uint64_t digest = 14695981039346656037u;  // FNV-1a, 64 bits
  const auto add = [&](std::uint8_t byte) { digest = (digest ^ byte) * 1099511628211u; };
  for (std::size_t i = 0; i < 300; ++i) {
    const CorpusFile file = MakeCorpusFile(1, i);
    for (const char c : file.name) add(static_cast<std::uint8_t>(c));
    for (const std::uint8_t b : file.bytes) add(b);
  }
  EXPECT_EQ(digest, 0xba938c12ad6e1c5fu);
}

TEST(Properties, SamplesAndGeneratedFilesRewriteToAFixedPoint) {
  DiagnosticCapture quiet;
  // The bundled samples are what make_samples builds today, each some kind's file.
  const fs::path bundled = fs::path(RAILFMT_SOURCE_DIR) / "samples";
  EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(bundled), fs::directory_iterator())),
            MakeSampleFiles().size());
  for (const SampleFile& built : MakeSampleFiles()) {
    std::ifstream in(bundled / built.name, std::ios::binary);
    EXPECT_TRUE(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}) == built.bytes)
        << built.name << " is stale; run make_samples samples";
  }
  const std::vector<testing::KindSample> samples = testing::RecognisedSamples();
  EXPECT_EQ(samples.size(), MakeSampleFiles().size()) << "a sample is no kind's file";
  for (const testing::KindSample& s : samples) ExpectStable(s.kind, s.sample.bytes, s.sample.name, true);
  // The corpus generator says which kind each file is; the cascade agrees.
  for (std::size_t i = 0; i < 400; ++i) {
    const CorpusFile file = MakeCorpusFile(3, i);
    const auto recognised = RecogniseEntry(file.name, file.bytes);
    if (IsSkippedName(file.name)) continue;
    EXPECT_EQ(recognised ? recognised->kind() : EntryKind::kNone, file.kind) << file.name;
    if (recognised) {
      ExpectStable(file.kind, file.bytes, file.name, true);
    }
    quiet.Clear();
  }
}

TEST(Properties, NoCutIsAcceptedAndNoDamageBreaksARewrite) {
  DiagnosticCapture quiet;
  for (const auto& [sample, kind, output_name] : testing::RecognisedSamples()) {
    SCOPED_TRACE(sample.name);
    for (std::size_t length = 0; length < sample.bytes.size(); ++length) {
      const std::vector<std::uint8_t> cut(sample.bytes.begin(), sample.bytes.begin() + static_cast<long>(length));
      EXPECT_FALSE(TryKind(kind, cut, sample.name).has_value()) << "cut at " << length;
    }
    for (std::size_t offset = 0; offset < sample.bytes.size(); ++offset) {
      std::vector<std::uint8_t> damaged = sample.bytes;
      damaged[offset] ^= 0xFF;
      for (EntryKind reader : kCascadeOrder)
        ExpectStable(reader, damaged, "inverted at " + std::to_string(offset), false);
      quiet.Clear();
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace railfmt
