// The record table at scale: append rate, resident memory of ten million records, and the
// grid model's cost at the first and the last row.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <fstream>
#include <string>

#include "records/RecordTable.h"
#include "records/RecordTableModel.h"

namespace {

long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Readings as the meter gives them: four digits with a decimal point, a handful of functions.
void fill(kx::RecordTable& t, size_t n) {
  static const char* functions[] = {"IR:500V 20G\xA6\xB8", "IR:1000V 40G\xA6\xB8", "DCV  600V",
                                    "ACV  600V", "IR:2500V 100G\xA6\xB8"};
  char value[16];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(value, sizeof value, "%zu.%03zu", i % 10, i % 1000);
    t.append(static_cast<int32_t>(i + 1), static_cast<int32_t>(i % kx::kMsPerDay), value,
             "M\xA6\xB8", functions[i % 5], "Continuous");
  }
}

void BM_Append(benchmark::State& state) {
  const auto n = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    kx::RecordTable t;
    fill(t, n);
    benchmark::DoNotOptimize(t.count());
  }
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Append)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_TenMillionResident(benchmark::State& state) {
  for (auto _ : state) {
    const long before = residentKiB();
    auto t = std::make_unique<kx::RecordTable>();
    fill(*t, 10'000'000);
    const long after = residentKiB();
    state.counters["bytes/record"] = static_cast<double>(after - before) * 1024.0 / 1e7;
  }
}
BENCHMARK(BM_TenMillionResident)->Iterations(1)->Unit(benchmark::kMillisecond);

// The model call a view makes for one cell, at row 1 and at row 10,000,000.
void BM_ModelCell(benchmark::State& state) {
  static kx::RecordTable* table = [] {
    auto* t = new kx::RecordTable;
    fill(*t, 10'000'000);
    return t;
  }();
  static kx::RecordTableModel model(*table);
  const int row = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int c = 0; c < kx::kFieldCount; ++c)
      benchmark::DoNotOptimize(model.data(model.index(row, c)));
  }
}
BENCHMARK(BM_ModelCell)->Arg(0)->Arg(9'999'999);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
