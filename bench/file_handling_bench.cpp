// The driver's per-entry file handling: loading an entry's bytes and storing
// an output, alone and as the pair the batch tool runs for every file it
// rewrites in place. Files live in a scratch directory under the system's
// temporary directory; throughput counts the file's bytes once per pass.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "driver/directory.h"
#include "tools/make_corpus/corpus_makers.h"
#include "tools/make_corpus/corpus_random.h"

namespace railfmt {
namespace {

// A scratch directory and the Directory over it.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string templ = (std::filesystem::temp_directory_path() / "railfmt-bench-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) std::abort();
    path_ = templ;
    directory_ = OpenDirectory(path_);
  }
  ~ScratchDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  bool Store(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source = nullptr) {
    const StoreOutcome outcome = directory_->Store(name, bytes, source);
    return outcome != StoreOutcome::kRefused && outcome != StoreOutcome::kFailed;
  }
  bool Load(const std::string& name, LoadedEntry& entry) {
    return directory_->Load(name, entry) == LoadStatus::kLoaded;
  }

 private:
  std::string path_;
  std::unique_ptr<Directory> directory_;
};

std::vector<std::uint8_t> Content(std::size_t size) {
  CorpusRandom random(size);
  return MakeNoiseFile(random, size);
}

void BM_Load(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = "entry.mod";
  if (!dir.Store(path, Content(size))) std::abort();
  LoadedEntry entry;
  for (auto _ : state) {
    if (!dir.Load(path, entry)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(entry.bytes().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Load)->RangeMultiplier(16)->Range(256, 16 << 20);

// Stores the bytes an existing output already holds, as an unchanged file
// rewritten in place is: written over where it stands.
void BM_StoreReplacing(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = "entry.mod";
  const std::vector<std::uint8_t> content = Content(size);
  if (!dir.Store(path, content)) std::abort();
  for (auto _ : state) {
    if (!dir.Store(path, content)) state.SkipWithError("store failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_StoreReplacing)->RangeMultiplier(16)->Range(256, 16 << 20);

// Replaces an existing output with other bytes of the same size, as a file
// normalised in place is: through a temporary that takes its place.
void BM_StoreChanging(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = "entry.anl";
  const std::vector<std::uint8_t> contents[2] = {Content(size), Content(size + 1)};
  if (!dir.Store(path, contents[1])) std::abort();
  std::size_t turn = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t>& bytes = contents[turn++ % 2];
    if (!dir.Store(path, std::span<const std::uint8_t>(bytes.data(), size))) state.SkipWithError("store failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_StoreChanging)->RangeMultiplier(16)->Range(256, 1 << 20);

// Creates an output where none was, as a file written beside its input is.
void BM_StoreCreating(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = "entry.mod";
  const std::vector<std::uint8_t> content = Content(size);
  for (auto _ : state) {
    if (!dir.Store(path, content)) state.SkipWithError("store failed");
    state.PauseTiming();
    ::unlink(dir.File(path).c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_StoreCreating)->RangeMultiplier(16)->Range(256, 1 << 20);

// One entry of the batch: load the bytes, store them back under the same name.
void BM_LoadAndStoreInPlace(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  ScratchDirectory dir;
  const std::string path = "entry.mod";
  if (!dir.Store(path, Content(size))) std::abort();
  LoadedEntry entry;
  for (auto _ : state) {
    if (!dir.Load(path, entry) || !dir.Store(path, entry.bytes(), &entry)) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LoadAndStoreInPlace)->RangeMultiplier(16)->Range(256, 16 << 20);

}  // namespace
}  // namespace railfmt
