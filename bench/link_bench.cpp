// The link's receive path: input reports through frame reassembly and the decoder (pause 0),
// as the read thread hands them over. One million reports per run; the resident memory before
// and after shows that nothing grows with the number of reports.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <vector>

#include "lcd/FrameDecoder.h"
#include "lcd/LcdModel.h"
#include "link/FrameAssembler.h"
#include "link/SimBridge.h"

namespace {

long residentKb() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * 4;
}

// The demo scenario as the bridge chips deliver it: one serial byte per report, an idle report
// after each frame.
std::vector<std::array<std::uint8_t, 8>> scenarioReports() {
  std::vector<std::array<std::uint8_t, 8>> reports;
  std::vector<std::uint8_t> bytes;
  for (const std::string& frame : kx::link::demoScenarioFrames()) {
    kx::link::hexToBytes(frame, bytes);
    for (std::uint8_t b : bytes) reports.push_back({0xF1, b, 0, 0, 0, 0, 0, 0});
    reports.push_back({0xF0, 0, 0, 0, 0, 0, 0, 0});
  }
  return reports;
}

void BM_MillionReports(benchmark::State& st) {
  const auto reports = scenarioReports();
  kx::AppState state;
  kx::lcd::LcdModel model;
  kx::lcd::FrameDecoder decoder(model, state);
  decoder.setPauseMs(0);
  long frames = 0;
  decoder.setRestartWatchdog([] {});
  decoder.setRecordStep([] {});
  constexpr long kReports = 1000000;
  long rssBefore = 0, rssAfter = 0;
  for (auto _ : st) {
    rssBefore = residentKb();
    for (long i = 0; i < kReports; ++i) {
      const auto& r = reports[i % reports.size()];
      kx::link::takeReport(state, 0, r.data(), 8, [&](const std::string& frame) {
        frames += decoder.ShowDataTarn(frame).accepted;
        model.takeChanges();
      });
    }
    rssAfter = residentKb();
  }
  st.SetItemsProcessed(st.iterations() * kReports);
  st.counters["frames"] = static_cast<double>(frames) / static_cast<double>(st.iterations());
  st.counters["rss_before_kB"] = static_cast<double>(rssBefore);
  st.counters["rss_after_kB"] = static_cast<double>(rssAfter);
}
BENCHMARK(BM_MillionReports)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
