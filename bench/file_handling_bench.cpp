// The driver's per-entry file handling: loading an entry's bytes and storing
// an output, alone and as the pair the batch tool runs for every file it
// rewrites in place. Files live in a scratch directory under the system's
// temporary directory; throughput counts the file's bytes once per pass.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "driver/output_file.h"
#include "driver/platform_files.h"
#include "tools/corpus_makers.h"
#include "tools/corpus_random.h"

namespace railfmt {
namespace {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string templ = (std::filesystem::temp_directory_path() / "railfmt-bench-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) std::abort();
    path_ = templ;
  }
  ~ScratchDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::vector<std::uint8_t> Content(std::size_t size) {
  CorpusRandom random(size);
  return MakeNoiseFile(random, size);
}

void BM_LoadRegularFile(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = dir.File("entry.mod");
  if (!StoreOutputFile(path, Content(size))) std::abort();
  std::vector<std::uint8_t> bytes;
  for (auto _ : state) {
    if (!LoadRegularFile(path, bytes)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LoadRegularFile)->RangeMultiplier(16)->Range(256, 16 << 20);

// Stores the bytes an existing output already holds, as an unchanged file
// rewritten in place is: written over where it stands.
void BM_StoreOutputFileReplacing(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = dir.File("entry.mod");
  const std::vector<std::uint8_t> content = Content(size);
  if (!StoreOutputFile(path, content)) std::abort();
  for (auto _ : state) {
    if (!StoreOutputFile(path, content)) state.SkipWithError("store failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_StoreOutputFileReplacing)->RangeMultiplier(16)->Range(256, 16 << 20);

// Replaces an existing output with other bytes of the same size, as a file
// normalised in place is: through a temporary that takes its place.
void BM_StoreOutputFileChanging(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = dir.File("entry.anl");
  const std::vector<std::uint8_t> contents[2] = {Content(size), Content(size + 1)};
  if (!StoreOutputFile(path, contents[1])) std::abort();
  std::size_t turn = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t>& bytes = contents[turn++ % 2];
    if (!StoreOutputFile(path, std::span<const std::uint8_t>(bytes.data(), size))) state.SkipWithError("store failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_StoreOutputFileChanging)->RangeMultiplier(16)->Range(256, 1 << 20);

// Creates an output where none was, as a file written beside its input is.
void BM_StoreOutputFileCreating(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = dir.File("entry.mod");
  const std::vector<std::uint8_t> content = Content(size);
  for (auto _ : state) {
    if (!StoreOutputFile(path, content)) state.SkipWithError("store failed");
    state.PauseTiming();
    ::unlink(path.c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_StoreOutputFileCreating)->RangeMultiplier(16)->Range(256, 1 << 20);

// One entry of the batch: load the bytes, store them back under the same name.
void BM_LoadAndStoreInPlace(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = dir.File("entry.mod");
  if (!StoreOutputFile(path, Content(size))) std::abort();
  std::vector<std::uint8_t> bytes;
  for (auto _ : state) {
    if (!LoadRegularFile(path, bytes) || !StoreOutputFile(path, bytes)) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LoadAndStoreInPlace)->RangeMultiplier(16)->Range(256, 16 << 20);

}  // namespace
}  // namespace railfmt
