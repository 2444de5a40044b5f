// Layouts: the reader and writer on a large layout, the three placement
// steps at growing sizes (their cost must grow linearly), and the price of
// placement and duplicate removal against a plain read and write of the
// same file (at most twice the plain pass).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "driver/byte_cursor.h"
#include "layout/layout_kind.h"
#include "layout/model_placement.h"
#include "layout/placed_records.h"
#include "layout/track.h"
#include "tests/support/rewrite_property.h"
#include "tools/make_corpus/corpus_makers.h"

namespace railfmt {
namespace {

// N tracks and N placed models (bridges, buffer stops, other models, every
// tenth an exact duplicate), 1000 vehicles; stored as they stand, so the
// rewrite has every model to link, place and compare.
std::vector<std::uint8_t> LayoutFile(int n) {
  CorpusRandom random(17);
  CAnlage layout = MakeCorpusLayout(random, n, n, 1000, 10);
  return EncodeToBytes<LayoutKind>(layout);
}

CAnlage ReadLayout(const std::vector<std::uint8_t>& bytes) {
  CAnlage layout;
  ReadLayout(layout, bytes);
  return layout;
}

// The reader without linking: the same record readers, section by section.
bool PlainReadLayout(std::span<const std::uint8_t> bytes, CAnlage& layout) {
  ReadCursor in(bytes);
  if (!in.ReadI16(layout.TrackCount)) return false;
  layout.Tracks.resize(static_cast<std::size_t>(std::max<int>(layout.TrackCount, 0)));
  for (CGleis& t : layout.Tracks) {
    if (ReadTrack(in, t) != 1) return false;
  }
  if (!in.ReadI16(layout.ModelCount)) return false;
  layout.Models.resize(static_cast<std::size_t>(std::max<int>(layout.ModelCount, 0)));
  for (CAnlagenModell& m : layout.Models) {
    if (ReadPlacedModel(in, m) != 1) return false;
  }
  if (!in.ReadI16(layout.RollingStockCount)) return false;
  layout.RollingStock.resize(static_cast<std::size_t>(std::max<int>(layout.RollingStockCount, 0)));
  for (CAnlagenRollmaterial& r : layout.RollingStock) {
    if (ReadRollmaterialEntry(in, r) != 1) return false;
  }
  for (CAnlagenBlock& block : layout.Blocks) {
    if (ReadBlock(in, block) != 1) return false;
  }
  if (ReadProperties(in, layout.Properties) != 1) return false;
  for (int i : TrailerOrder(layout)) {
    if (ReadRollmaterialTrailer(in, layout.RollingStock[static_cast<std::size_t>(i)]) != 1) return false;
  }
  return in.at_end();
}

void CountBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

void BM_ReadLayout(benchmark::State& state) {
  const auto bytes = LayoutFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CAnlage layout = ReadLayout(bytes);
    if (layout.ReadOk != 1) state.SkipWithError("not read");
    benchmark::DoNotOptimize(layout.Tracks.data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_ReadLayout)->Arg(300)->Arg(30000);

// The writer places and removes duplicates in the layout it writes, so each
// pass starts from a fresh copy of the layout as read.
void BM_WriteLayout(benchmark::State& state) {
  const auto bytes = LayoutFile(static_cast<int>(state.range(0)));
  const CAnlage read = ReadLayout(bytes);
  for (auto _ : state) {
    state.PauseTiming();
    CAnlage layout = read;
    state.ResumeTiming();
    std::vector<std::uint8_t> out = testing::NormaliseAndEncode<LayoutKind>(layout);
    benchmark::DoNotOptimize(out.data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_WriteLayout)->Arg(300)->Arg(30000);

// Placement steps at N tracks and N models; Complexity fits the growth.
void BM_LinkModelsToTracks(benchmark::State& state) {
  CAnlage layout = ReadLayout(LayoutFile(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    LinkModelsToTracks(layout);
    benchmark::DoNotOptimize(layout.Tracks.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LinkModelsToTracks)->RangeMultiplier(2)->Range(3750, 30000)->Complexity();

void BM_PlaceLinkedModels(benchmark::State& state) {
  CAnlage layout = ReadLayout(LayoutFile(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    PlaceLinkedModels(layout);
    benchmark::DoNotOptimize(layout.Models.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PlaceLinkedModels)->RangeMultiplier(2)->Range(3750, 30000)->Complexity();

void BM_RemoveDuplicateModels(benchmark::State& state) {
  CAnlage read = ReadLayout(LayoutFile(static_cast<int>(state.range(0))));
  PlaceLinkedModels(read);
  for (auto _ : state) {
    state.PauseTiming();
    CAnlage layout = read;
    state.ResumeTiming();
    RemoveDuplicateModels(layout);
    benchmark::DoNotOptimize(layout.Models.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RemoveDuplicateModels)->RangeMultiplier(2)->Range(3750, 30000)->Complexity();

// One full pass (read, link, place, remove duplicates, write) against one
// plain pass (the record readers and writers alone) over the same file,
// interleaved; the counter "ratio" is full time over plain time.
void BM_PlacementAgainstPlainPass(benchmark::State& state) {
  const auto bytes = LayoutFile(static_cast<int>(state.range(0)));
  using Clock = std::chrono::steady_clock;
  Clock::duration full{};
  Clock::duration plain{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    {
      CAnlage layout;
      if (!PlainReadLayout(bytes, layout)) state.SkipWithError("plain read failed");
      std::vector<std::uint8_t> out = EncodeToBytes<LayoutKind>(layout);
      benchmark::DoNotOptimize(out.data());
    }
    const auto t1 = Clock::now();
    {
      CAnlage layout = ReadLayout(bytes);
      std::vector<std::uint8_t> out = testing::NormaliseAndEncode<LayoutKind>(layout);
      benchmark::DoNotOptimize(out.data());
    }
    const auto t2 = Clock::now();
    plain += t1 - t0;
    full += t2 - t1;
  }
  const auto ms = [&](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
  };
  state.counters["plain_ms"] = ms(plain);
  state.counters["full_ms"] = ms(full);
  state.counters["ratio"] = ms(full) / ms(plain);
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_PlacementAgainstPlainPass)->Arg(30000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace railfmt
