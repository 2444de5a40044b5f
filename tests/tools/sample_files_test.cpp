#include "tests/support/sample_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "driver/diagnostics.h"
#include "driver/path_names.h"
#include "driver/recognition_cascade.h"

namespace railfmt {
namespace {

// The demo runs on the files in samples/; they must be what make_samples
// writes today, or the demo shows stale behaviour.
TEST(SampleFiles, BundledSamplesAreUpToDate) {
  std::set<std::string> names;
  for (const SampleFile& sample : MakeSampleFiles()) {
    SCOPED_TRACE(sample.name);
    EXPECT_TRUE(names.insert(sample.name).second) << "two samples share a name";
    std::ifstream in(std::string(RAILFMT_SOURCE_DIR) + "/samples/" + sample.name, std::ios::binary);
    const std::vector<std::uint8_t> bundled{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(bundled == sample.bytes) << "stale; run: build/default/tools/make_samples samples";
  }
}

// Every sample is recognised, and as the kind its extension names (the
// .bak samples show a rewrite under another name).
TEST(SampleFiles, EverySampleIsRecognisedAsItsKind) {
  DiagnosticCapture quiet;
  for (const SampleFile& sample : MakeSampleFiles()) {
    SCOPED_TRACE(sample.name);
    auto file = RecogniseEntry(sample.name, sample.bytes);
    ASSERT_TRUE(file.has_value());
    const std::string ext = Extension(sample.name);
    if (ext == "bak") continue;
    EXPECT_EQ(Extension(file->OutputName()), ext);
  }
}

}  // namespace
}  // namespace railfmt
