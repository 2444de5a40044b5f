// Readers and writers of the archive kinds on large in-memory inputs:
// models, rolling stock and construction drawings. Throughput counts the
// file's bytes once per read or write; the inputs come from the corpus
// makers and are valid files the readers accept.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/model_kind.h"
#include "construction/construction_drawing.h"
#include "rollingstock/rolling_stock.h"
#include "tools/make_corpus/corpus_makers.h"

namespace railfmt {
namespace {

void CountBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

// Parts x points per part: up to 4 x 19000 = 76000 points.
std::vector<std::uint8_t> ModelFile(int parts, int points) {
  CorpusRandom random(7);
  CModell model = MakeCorpusModel(random, parts, points);
  return EncodeToBytes<ModelKind>(model);
}

void BM_ReadModel(benchmark::State& state) {
  const auto bytes = ModelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    CModell model;
    ModelKind::Read(bytes, "bench.mod", model);
    if (model.ReadOk != 1) state.SkipWithError("not read");
    benchmark::DoNotOptimize(model.Elements.data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_ReadModel)->Args({1, 1000})->Args({4, 8000})->Args({4, 19000});

void BM_WriteModel(benchmark::State& state) {
  const auto bytes = ModelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  CModell model;
  ModelKind::Read(bytes, "bench.mod", model);
  for (auto _ : state) {
    std::vector<std::uint8_t> out = EncodeToBytes<ModelKind>(model);
    if (out.size() != bytes.size()) state.SkipWithError("size differs");
    benchmark::DoNotOptimize(out.data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_WriteModel)->Args({1, 1000})->Args({4, 8000})->Args({4, 19000});

std::vector<std::uint8_t> RollingStockFile(int points) {
  CorpusRandom random(11);
  CRollmaterial record = MakeCorpusRollingStock(random, "Lok", points);
  ByteWriter out;
  EncodeRollingStock(record, out);
  return out.Take();
}

void BM_ReadRollingStock(benchmark::State& state) {
  const auto bytes = RollingStockFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CRollmaterial record;
    ReadRollingStock(record, bytes, "bench.rol");
    if (record.Complete != 1) state.SkipWithError("not read");
    benchmark::DoNotOptimize(record.Models.data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_ReadRollingStock)->Arg(300)->Arg(5000);

void BM_WriteRollingStock(benchmark::State& state) {
  const auto bytes = RollingStockFile(static_cast<int>(state.range(0)));
  CRollmaterial record;
  ReadRollingStock(record, bytes, "bench.rol");
  for (auto _ : state) {
    ByteWriter out;
    EncodeRollingStock(record, out);
    if (out.size() != bytes.size()) state.SkipWithError("size differs");
    benchmark::DoNotOptimize(out.bytes().data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_WriteRollingStock)->Arg(300)->Arg(5000);

std::vector<std::uint8_t> DrawingFile(int points, int lines) {
  CorpusRandom random(13);
  const CKonstruktion drawing = MakeCorpusDrawing(random, points, lines);
  ByteWriter out;
  EncodeConstructionDrawing(drawing, out);
  return out.Take();
}

void BM_ReadConstruction(benchmark::State& state) {
  const auto bytes = DrawingFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    CKonstruktion drawing;
    ReadConstructionDrawing(drawing, bytes, "bench.kon");
    if (drawing.ReadOk != 1) state.SkipWithError("not read");
    benchmark::DoNotOptimize(drawing.Points.data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_ReadConstruction)->Args({300, 150})->Args({19000, 30000});

void BM_WriteConstruction(benchmark::State& state) {
  const auto bytes = DrawingFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  CKonstruktion drawing;
  ReadConstructionDrawing(drawing, bytes, "bench.kon");
  for (auto _ : state) {
    ByteWriter out;
    EncodeConstructionDrawing(drawing, out);
    if (out.size() != bytes.size()) state.SkipWithError("size differs");
    benchmark::DoNotOptimize(out.bytes().data());
  }
  CountBytes(state, bytes.size());
}
BENCHMARK(BM_WriteConstruction)->Args({300, 150})->Args({19000, 30000});

}  // namespace
}  // namespace railfmt
