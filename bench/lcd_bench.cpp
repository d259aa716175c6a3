// Decoding cost of one frame into the display model (target: at most 10 us), and the cost of
// decoding and mirroring the changes onto the replica's widgets (showing, hiding, new
// captions; the painting itself happens later in the event loop and is not counted).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "app/core/AppState.h"
#include "lcd/FrameDecoder.h"
#include "lcd/LcdPanel.h"

namespace {

const std::string kFrames[] = {
    "00000001000000000000E3A7DFB510000000000F0D0A",  // DC 230.5 V
    "F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0A",  // insulation test, timed
    "000000050000000000000006EBB510000000000F0D0A",  // DC -12.5 V
};

void DecodeFrame(benchmark::State& st) {
  kx::AppState state;
  kx::lcd::LcdModel model;
  kx::lcd::FrameDecoder decoder(model, state);
  decoder.setPauseMs(0);
  int records = 0;
  decoder.setRestartWatchdog([] {});
  decoder.setRecordStep([&records] { ++records; });
  size_t i = 0;
  for (auto _ : st) {
    benchmark::DoNotOptimize(decoder.ShowDataTarn(kFrames[i++ % 3]));
    benchmark::DoNotOptimize(state.ReadingText.data());
  }
  st.counters["records"] = records;
}
BENCHMARK(DecodeFrame);

void DecodeAndMirror(benchmark::State& st) {
  kx::AppState state;
  kx::lcd::LcdModel model;
  kx::lcd::FrameDecoder decoder(model, state);
  decoder.setPauseMs(0);
  kx::lcd::LcdPanel panel;
  panel.show();
  panel.mirror(model, model.takeChanges());
  size_t i = 0;
  for (auto _ : st) {
    decoder.ShowDataTarn(kFrames[i++ % 3]);
    panel.mirror(model, model.takeChanges());
  }
}
BENCHMARK(DecodeAndMirror);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
