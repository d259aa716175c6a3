// The data report at scale: the snapshot of the table, the PDF of 10,000 and 100,000 records,
// the CSV export, and the preview window producing its pages.
//
// Peak memory of the 100,000-record PDF: run `kx3816-cli report` under /usr/bin/time -v.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPrintPreviewWidget>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/core/Prompts.h"
#include "records/RecordTable.h"
#include "records/TimeText.h"
#include "reports/DataReport.h"
#include "reports/ReportExport.h"
#include "reports/ReportPreview.h"

namespace {

long peakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Readings as the meter gives them: four digits with a decimal point, a few functions.
void fill(kx::RecordTable& t, size_t n) {
  static const char* functions[] = {"IR:500V 20G\xA6\xB8", "IR:1000V 40G\xA6\xB8", "DCV  600V",
                                    "ACV  600V"};
  char value[16];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(value, sizeof value, "%zu.%03zu", i % 10, i % 1000);
    t.append(static_cast<int32_t>(i + 1), static_cast<int32_t>(i % 86400) * 1000, value,
             "M\xA6\xB8", functions[i % 4], i % 3 ? "Continuous" : "Timed");
  }
}

std::shared_ptr<kx::DataReport> reportOf(const kx::RecordTable& t) {
  auto r = std::make_shared<kx::DataReport>(
      std::make_shared<const kx::ReportSnapshot>(t, kx::TimeText("%H:%M:%S")));
  r->setAllpageCaption(QString::number(kx::reportPageTotal(t.count())));
  return r;
}

const QString out = QDir::temp().filePath(QStringLiteral("kx_reports_bench.out"));

void BM_Snapshot(benchmark::State& state) {
  kx::RecordTable t;
  fill(t, static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    kx::ReportSnapshot s(t, kx::TimeText("%H:%M:%S"));
    benchmark::DoNotOptimize(s.count());
  }
}
BENCHMARK(BM_Snapshot)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_Pdf(benchmark::State& state) {
  kx::RecordTable t;
  fill(t, static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    auto report = reportOf(t);  // production starts from the table
    if (kx::saveReport(*report, kx::ReportFormat::Pdf, out)) state.SkipWithError("not written");
  }
  state.counters["pages"] = kx::reportPageTotal(t.count());
  state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024;
}
BENCHMARK(BM_Pdf)->Arg(10'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pdf)->Arg(100'000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Csv(benchmark::State& state) {
  kx::RecordTable t;
  fill(t, static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    auto report = reportOf(t);
    if (kx::saveReport(*report, kx::ReportFormat::Csv, out)) state.SkipWithError("not written");
  }
}
BENCHMARK(BM_Csv)->Arg(100'000)->Unit(benchmark::kMillisecond);

class NoPrompts : public kx::Prompts {
 public:
  bool confirm(const std::string&, const std::string&) override { return false; }
  void information(const std::string&, const std::string&) override {}
  void notice(const std::string&) override {}
  void error(const std::string&) override {}
};

// Opening the preview: the snapshot, then every page produced into the preview widget.
void BM_PreviewOpen(benchmark::State& state) {
  kx::RecordTable t;
  fill(t, static_cast<size_t>(state.range(0)));
  NoPrompts prompts;
  for (auto _ : state) {
    auto* preview = new kx::ReportPreview(reportOf(t), prompts);
    preview->show();
    if (preview->view()->pageCount() != kx::reportPageTotal(t.count()))
      state.SkipWithError("pages missing");
    state.PauseTiming();
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024;
}
BENCHMARK(BM_PreviewOpen)->Arg(10'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOpen)->Arg(100'000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  QFile::remove(out);
  return 0;
}
