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
#include "tests/support/rewrite_property.h"
#include "tools/samples/sample_files.h"
#include "tools/make_corpus/corpus.h"

namespace railfmt {
namespace {

namespace fs = std::filesystem;

struct Input {
  std::string name;
  std::vector<std::uint8_t> bytes;
  EntryKind kind;
};

// The samples, each with the kind that reads it.
std::vector<Input> Samples() {
  DiagnosticCapture quiet;
  std::vector<Input> inputs;
  for (const auto& entry : fs::directory_iterator(fs::path(RAILFMT_SOURCE_DIR) / "samples")) {
    std::ifstream in(entry.path(), std::ios::binary);
    Input input{entry.path().filename().string(), {std::istreambuf_iterator<char>(in), {}}, EntryKind::kNone};
    const auto file = RecogniseEntry(input.name, input.bytes);
    input.kind = file ? file->kind() : EntryKind::kNone;
    inputs.push_back(std::move(input));
  }
  return inputs;
}

void ExpectStable(EntryKind kind, const std::vector<std::uint8_t>& bytes, const std::string& what,
                  bool must_accept) {
  bool accepted = false;
  EXPECT_EQ(testing::CheckRewriteIsStable(kind, bytes, &accepted), "") << what;
  if (must_accept) {
    EXPECT_TRUE(accepted) << what;
  }
}

TEST(Properties, SamplesAndGeneratedFilesRewriteToAFixedPoint) {
  DiagnosticCapture quiet;
  // The bundled samples are what make_samples builds today.
  std::size_t bundled = 0;
  for (const Input& sample : Samples()) {
    for (const SampleFile& built : MakeSampleFiles()) {
      if (built.name != sample.name) continue;
      EXPECT_TRUE(built.bytes == sample.bytes) << sample.name << " is stale; run make_samples samples";
      ++bundled;
    }
  }
  EXPECT_EQ(bundled, MakeSampleFiles().size());
  for (const Input& sample : Samples()) {
    ASSERT_NE(sample.kind, EntryKind::kNone) << sample.name << " is no kind's file";
    ExpectStable(sample.kind, sample.bytes, sample.name, true);
  }
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
  for (const Input& sample : Samples()) {
    SCOPED_TRACE(sample.name);
    for (std::size_t length = 0; length < sample.bytes.size(); ++length) {
      const std::vector<std::uint8_t> cut(sample.bytes.begin(), sample.bytes.begin() + static_cast<long>(length));
      EXPECT_FALSE(TryKind(sample.kind, cut, sample.name).has_value()) << "cut at " << length;
    }
    for (std::size_t offset = 0; offset < sample.bytes.size(); ++offset) {
      std::vector<std::uint8_t> damaged = sample.bytes;
      damaged[offset] ^= 0xFF;
      for (EntryKind kind : kCascadeOrder) ExpectStable(kind, damaged, "inverted at " + std::to_string(offset), false);
      quiet.Clear();
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace railfmt
