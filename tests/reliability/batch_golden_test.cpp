// Whole runs of the real railfmt over the cases of tests/data/batch: each
// case's input (samples/ for the case "samples") is copied into a scratch
// directory, the tool runs there, and the directory afterwards and the
// standard output must be exactly the case's expected/ and stdout.txt, on
// every platform: the bytes written do not depend on it; and the same for
// the batch over a directory in memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/memory_directory.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::vector<std::uint8_t>>;

std::vector<std::uint8_t> Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Files Folder(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[testing::NameOf(entry.path().filename())] = Contents(entry);
  return files;
}

TEST(BatchGolden, RunsOverTheCasesGiveTheExpectedDirectoriesAndOutput) {
  const fs::path cases = fs::path(RAILFMT_SOURCE_DIR) / "tests/data/batch";
  for (const std::string name : {"samples", "names", "damaged"}) {
    SCOPED_TRACE(name);
    const fs::path input = name == "samples" ? fs::path(RAILFMT_SOURCE_DIR) / "samples" : cases / name / "input";
    testing::ScratchDir dir;
    for (const auto& [file, bytes] : Folder(input)) dir.Write(file, bytes);
    // Standard output follows the platform's text convention.
    const std::string out = testing::WithUnixLineEnds(testing::RunProgram({RAILFMT_BINARY}, dir.path()).out);
    const std::vector<std::uint8_t> expected_out = Contents(cases / name / "stdout.txt");
    EXPECT_EQ(out, std::string(expected_out.begin(), expected_out.end()));
    EXPECT_EQ(dir.Snapshot(), Folder(cases / name / "expected"));
    // The same run over a directory in memory, as the web page makes it.
    MemoryDirectory memory;
    for (const auto& [file, bytes] : Folder(input)) memory.Add(file, bytes);
    DiagnosticCapture captured;
    RunBatch(memory);
    Files held;
    for (const std::string& file : memory.ListNames()) held[file] = *memory.Find(file);
    EXPECT_EQ(held, Folder(cases / name / "expected"));
    EXPECT_EQ(captured.mismatches(), std::string(expected_out.begin(), expected_out.end()));
  }
}

}  // namespace
}  // namespace railfmt
