// kx3816-cli report: loads a record file and writes the data report as PDF, HTML, plain text
// or CSV, with the same layout code as the window's preview. Runs without a display.

#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.h"
#include "files/RecordFiles.h"
#include "records/RecordTable.h"
#include "records/TimeText.h"
#include "reports/DataReport.h"
#include "reports/ReportExport.h"

namespace kx::cli {
namespace {

constexpr char kUsage[] =
    "usage: kx3816-cli report IN [--pdf OUT.pdf] [--html OUT.htm] [--txt OUT.txt] "
    "[--csv OUT.csv]\n";

// Fonts and QPdfWriter need a GUI application; without a display it runs offscreen.
std::unique_ptr<QGuiApplication> guiApplication() {
  if (QCoreApplication::instance()) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kx3816-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int cmdReport(const Args& args) {
  std::string in;
  std::vector<std::pair<ReportFormat, std::string>> outputs;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const ReportFormat* format = nullptr;
    static constexpr ReportFormat kPdf = ReportFormat::Pdf, kHtml = ReportFormat::Html,
                                  kText = ReportFormat::Text, kCsv = ReportFormat::Csv;
    if (a == "--pdf")
      format = &kPdf;
    else if (a == "--html")
      format = &kHtml;
    else if (a == "--txt")
      format = &kText;
    else if (a == "--csv")
      format = &kCsv;
    if (format) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "kx3816-cli report: %s needs a file name\n%s", a.c_str(), kUsage);
        return 2;
      }
      outputs.emplace_back(*format, args[++i]);
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "kx3816-cli report: unknown option '%s'\n%s", a.c_str(), kUsage);
      return 2;
    } else if (in.empty()) {
      in = a;
    } else {
      std::fprintf(stderr, "kx3816-cli report: more than one input file\n%s", kUsage);
      return 2;
    }
  }
  if (in.empty() || outputs.empty()) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }

  const auto app = guiApplication();  // also takes the locale from the environment
  RecordTable table;
  if (auto error = loadRecordFile(table, in)) {
    std::fprintf(stderr, "%s\n", error->c_str());
    return 1;
  }
  const int32_t pages = reportPageTotal(table.count());
  DataReport report(std::make_shared<const ReportSnapshot>(table, TimeText::fromLocale()));
  report.beforePrint = [&report, pages](bool&) {
    report.setAllpageCaption(QString::number(pages));
  };
  for (const auto& [format, path] : outputs) {
    if (auto error = saveReport(report, format, QString::fromLocal8Bit(path))) {
      std::fprintf(stderr, "%s\n", error->toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}

}  // namespace kx::cli
