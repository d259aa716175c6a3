#include "tests/reports/ReportTestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>
#include <cstdio>

#include "app/core/AppState.h"
#include "records/TimeText.h"

namespace kx::test {

std::string valueText(size_t i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%zu.%03zu", i / 1000, i % 1000);
  return buf;
}

void fillTable(RecordTable& table, size_t count, size_t firstIndex) {
  for (size_t i = firstIndex; i < firstIndex + count; ++i) {
    table.append(static_cast<int32_t>(i + 1), static_cast<int32_t>((8 * 3600 + i % 50000) * 1000),
                 valueText(i), std::string("M") + kOhm, std::string("IR:500V 20G") + kOhm,
                 i % 2 ? "Continuous" : "Timed");
  }
}

std::shared_ptr<DataReport> reportOf(const RecordTable& table) {
  auto report = std::make_shared<DataReport>(
      std::make_shared<const ReportSnapshot>(table, TimeText("%H:%M:%S")));
  report->setAllpageCaption(QString::number(reportPageTotal(table.count())));
  return report;
}

bool havePoppler() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
         !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

static QByteArray run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return p.readAllStandardOutput();
}

std::optional<int> pdfPageCount(const QString& path) {
  const QString out = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {path}));
  const auto m =
      QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
          .match(out);
  if (!m.hasMatch()) return std::nullopt;
  return m.captured(1).toInt();
}

std::vector<PdfWord> pdfWords(const QString& path) {
  const QString out = QString::fromUtf8(
      run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")}));
  std::vector<PdfWord> words;
  constexpr double kMmPerPt = 25.4 / 72.0;
  static const QRegularExpression token(
      QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                     "yMax=\"([\\d.]+)\">([^<]*)</word>"));
  int page = 0;
  for (auto it = token.globalMatch(out); it.hasNext();) {
    const auto m = it.next();
    if (m.captured(0) == QLatin1String("<page ")) {
      ++page;
      continue;
    }
    QString text = m.captured(5);
    text.replace(QLatin1String("&amp;"), QLatin1String("&"))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""));
    words.push_back({page, m.captured(1).toDouble() * kMmPerPt, m.captured(2).toDouble() * kMmPerPt,
                     m.captured(3).toDouble() * kMmPerPt, m.captured(4).toDouble() * kMmPerPt,
                     text});
  }
  return words;
}

std::optional<PdfWord> findWord(const std::vector<PdfWord>& words, int page, const QString& text,
                                double leftMm, double topMm) {
  std::optional<PdfWord> best;
  double bestDistance = 0;
  for (const auto& w : words) {
    if (w.page != page || w.text != text) continue;
    const double d = std::hypot(w.left - leftMm, w.top - topMm);
    if (!best || d < bestDistance) {
      best = w;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace kx::test
