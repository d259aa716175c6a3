// Record file speed: saving and loading the table text file and the XML data packet.
//
//   files_bench [benchmark flags]        Google Benchmark over 1,000,000 records (set
//                                        KX_BENCH_RECORDS for another count)
//   files_bench --make N DIR [unlogged]  writes DIR/records.xls and DIR/records.xml of N records
//                                        (unlogged: a packet without RowState and CHANGE_LOG)
//   files_bench --once OP FILE [N]       one operation, timed, for /usr/bin/time -v:
//                                        load-text, load-xml (FILE read into an empty table),
//                                        save-text, save-xml (N records written to FILE)

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "files/RecordFiles.h"

namespace {

using namespace kx;

// Readings as the meter gives them: a few thousand distinct values, a handful of ranges.
void fillTable(RecordTable& t, size_t n, bool logged = true) {
  static const char* kFunctions[] = {"IR:1000V 40G\xA6\xB8", "IR:500V 20G\xA6\xB8", "DCV  600V",
                                     "ACV  600V"};
  static const char* kRemarks[] = {"Continuous", "Timed", "PI", "COMP:GOOD"};
  static const char* kUnits[] = {"M\xA6\xB8", "G\xA6\xB8", "V", "V"};
  char value[16];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(value, sizeof value, "%d.%03d", static_cast<int>(i % 40),
                  static_cast<int>(i * 7 % 1000));
    const size_t k = i / 1000 % 4;
    t.append(static_cast<int32_t>(i + 1), static_cast<int32_t>(i * 500 % kMsPerDay), value,
             kUnits[k], kFunctions[k], kRemarks[k], logged);
  }
}

size_t benchRecords() {
  const char* env = std::getenv("KX_BENCH_RECORDS");
  return env ? std::strtoull(env, nullptr, 10) : 1'000'000;
}

const RecordTable& sharedTable() {
  static RecordTable* t = [] {
    auto* table = new RecordTable;
    fillTable(*table, benchRecords());
    return table;
  }();
  return *t;
}

std::string benchPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// Saving in the form the file name's extension selects.
void BM_Save(benchmark::State& state, const char* fileName) {
  const std::string path = benchPath(fileName);
  for (auto _ : state)
    if (saveRecordFile(sharedTable(), path)) state.SkipWithError("save failed");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * sharedTable().count()));
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

// Loading a file of the form the file name's extension selects into an empty table.
void BM_Load(benchmark::State& state, const char* fileName) {
  const std::string path = benchPath(fileName);
  if (saveRecordFile(sharedTable(), path)) state.SkipWithError("save failed");
  for (auto _ : state) {
    RecordTable t;
    if (loadRecordFile(t, path)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(t.count());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * sharedTable().count()));
}

BENCHMARK_CAPTURE(BM_Save, Text, "kx-files-bench.xls")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Load, Text, "kx-files-bench.xls")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Save, Xml, "kx-files-bench.xml")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Load, Xml, "kx-files-bench.xml")->Unit(benchmark::kMillisecond)->UseRealTime();

int once(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string op = argv[2], file = argv[3];
  const size_t n = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : benchRecords();
  RecordTable t;
  if (op == "save-text" || op == "save-xml") fillTable(t, n);
  const auto start = std::chrono::steady_clock::now();
  std::optional<std::string> failure;
  if (op == "load-text" || op == "load-xml")
    failure = loadRecordFile(t, file);
  else if (op == "save-text" || op == "save-xml")
    failure = saveRecordFile(t, file);
  else
    return 2;
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (failure) {
    std::fprintf(stderr, "%s\n", failure->c_str());
    return 1;
  }
  std::printf("%s %zu records %.3f s table %.1f MB\n", op.c_str(), t.count(), s,
              static_cast<double>(t.memoryBytes()) / 1e6);
  return 0;
}

int make(int argc, char** argv) {
  if (argc < 4) return 2;
  RecordTable t;
  // "unlogged": records as a packet without RowState and CHANGE_LOG gives them.
  fillTable(t, std::strtoull(argv[2], nullptr, 10),
            !(argc > 4 && !std::strcmp(argv[4], "unlogged")));
  const std::filesystem::path dir = argv[3];
  for (const char* name : {"records.xls", "records.xml"})
    if (auto failure = saveRecordFile(t, (dir / name).string())) {
      std::fprintf(stderr, "%s\n", failure->c_str());
      return 1;
    }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && !std::strcmp(argv[1], "--once")) return once(argc, argv);
  if (argc > 1 && !std::strcmp(argv[1], "--make")) return make(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
