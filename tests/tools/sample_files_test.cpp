#include "tests/support/sample_files.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "driver/diagnostics.h"
#include "driver/path_names.h"
#include "driver/recognition_cascade.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

// Bridges and buffer stops are placed along directions computed with the C
// library's sinl and cosl, which MinGW's runtime rounds differently from
// glibc near right angles: in anlage_bruecken.anl a buffer stop stands at
// x = 1000 on Linux and at 999 on Windows, both in the sample make_samples
// builds and in what railfmt writes. Until the track geometry computes these
// values itself, correctly rounded, that file is not compared on Windows;
// the tests below say so on every run. Empty this list when it does.
#ifdef _WIN32
const std::set<std::string> kAwaitingExactTrigonometry = {"anlage_bruecken.anl"};
#else
const std::set<std::string> kAwaitingExactTrigonometry;
#endif

bool SkippedForTrigonometry(const std::string& name) {
  if (!kAwaitingExactTrigonometry.contains(name)) return false;
  std::printf("NOT COMPARED on this platform until the trigonometry is exact: %s\n", name.c_str());
  return true;
}

// The demo runs on the files in samples/; they must be what make_samples
// writes today, or the demo shows stale behaviour.
TEST(SampleFiles, BundledSamplesAreUpToDate) {
  std::set<std::string> names;
  for (const SampleFile& sample : MakeSampleFiles()) {
    SCOPED_TRACE(sample.name);
    EXPECT_TRUE(names.insert(sample.name).second) << "two samples share a name";
    if (SkippedForTrigonometry(sample.name)) continue;
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

// The lines of tests/data/samples_run.txt for what a run leaves: per file,
// and for standard output with "\n" line ends, a 64-bit FNV-1a digest, the
// size and the name.
std::string RunDigests(const std::map<std::string, std::vector<std::uint8_t>>& files) {
  std::string lines;
  for (const auto& [name, bytes] : files) {
    if (SkippedForTrigonometry(name)) continue;
    std::uint64_t digest = 0xcbf29ce484222325;
    for (std::uint8_t b : bytes) digest = (digest ^ b) * 0x100000001b3;
    char line[64];
    std::snprintf(line, sizeof line, "%016" PRIx64 " %6zu ", digest, bytes.size());
    lines += line + name + "\n";
  }
  return lines;
}

// A whole run of the tool over the bundled samples writes, on every
// platform, the very bytes the Linux build writes: their digests, from a run
// of the Linux build, are in tests/data/samples_run.txt.
TEST(SampleFiles, ARunOverTheBundledSamplesWritesTheBytesOfTheLinuxBuild) {
  testing::ScratchDir dir;
  std::filesystem::copy(testing::PathOf(std::string(RAILFMT_SOURCE_DIR) + "/samples"), testing::PathOf(dir.path()));
  const testing::ProgramRun run = testing::RunProgram({RAILFMT_BINARY});
  ASSERT_EQ(run.status, 0);
  auto files = dir.Snapshot();
  const std::string out = testing::WithUnixLineEnds(run.out);
  files["(standard output)"] = std::vector<std::uint8_t>(out.begin(), out.end());
  std::ifstream in(testing::PathOf(std::string(RAILFMT_SOURCE_DIR) + "/tests/data/samples_run.txt"));
  std::string expected;  // lines "DIGEST SIZE NAME", the name from column 24
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with('#') && !kAwaitingExactTrigonometry.contains(line.substr(24))) {
      expected += line + "\n";
    }
  }
  const std::string actual = RunDigests(files);
  EXPECT_EQ(actual, expected) << "after a change of the samples or the writers, on Linux only, these are the "
                                 "new lines of tests/data/samples_run.txt:\n"
                              << actual;
}

}  // namespace
}  // namespace railfmt
