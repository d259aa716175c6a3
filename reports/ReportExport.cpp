#include "reports/ReportExport.h"

#include <QPdfWriter>
#include <QSaveFile>

namespace kx {
namespace {

// The detail items in print order, with their column captions.
struct Column {
  Field field;
  const char* caption;
  int leftPx;
};
constexpr Column kColumns[] = {
    {Field::No, "No", 32},      {Field::Time, "Time", 128},        {Field::Value, "Value", 243},
    {Field::Unit, "Unit", 376}, {Field::V_Range, "Function", 468}, {Field::I_Range, "Remark", 616},
};
constexpr size_t kRowsPerWrite = 4096;

QString csvField(const QString& text) {
  if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
      !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
    return text;
  QString quoted = text;
  quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Plain text: each column starts where the report prints it, at 8 design pixels a character,
// and at least one blank follows every text.
QString textLine(const std::array<QString, std::size(kColumns)>& cells) {
  QString line;
  for (size_t c = 0; c < std::size(kColumns); ++c) {
    const int at = kColumns[c].leftPx / 8;
    if (line.size() < at)
      line.append(QString(at - line.size(), QLatin1Char(' ')));
    else if (!line.isEmpty())
      line.append(QLatin1Char(' '));
    line.append(cells[c]);
  }
  while (line.endsWith(QLatin1Char(' '))) line.chop(1);
  return line;
}

class Writer {
 public:
  Writer(QSaveFile& file, const ReportProgress& progress) : file_(file), progress_(progress) {}
  void add(const QString& text) { buffer_.append(text.toUtf8()); }
  bool flush() {
    if (file_.write(buffer_) != buffer_.size()) return false;
    buffer_.clear();
    return true;
  }
  bool tick(size_t done, size_t total) { return !progress_ || progress_(done, total); }

 private:
  QSaveFile& file_;
  const ReportProgress& progress_;
  QByteArray buffer_;
};

enum class Outcome { Done, Failed, Cancelled };

Outcome writeRows(Writer& w, const ReportSnapshot& rows,
                  const std::function<void(Writer&, size_t)>& line) {
  const size_t n = rows.count();
  for (size_t r = 0; r < n; ++r) {
    line(w, r);
    if ((r + 1) % kRowsPerWrite == 0 || r + 1 == n) {
      if (!w.flush()) return Outcome::Failed;
      if (!w.tick(r + 1, n)) return Outcome::Cancelled;
    }
  }
  return w.flush() ? Outcome::Done : Outcome::Failed;
}

Outcome writeHtml(Writer& w, DataReport& report) {
  const ReportSnapshot& rows = report.rows();
  w.add(QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title> TEST DATA REPORT</title>\n</head>\n<body>\n"
                       "<h1> TEST DATA REPORT</h1>\n<p>Print Date: %1</p>\n"
                       "<table border=\"1\">\n<thead>\n<tr>")
            .arg(report.printDateText().toHtmlEscaped()));
  for (const auto& c : kColumns) w.add(QStringLiteral("<th>%1</th>").arg(c.caption));
  w.add(QStringLiteral("</tr>\n</thead>\n<tbody>\n"));
  const Outcome o = writeRows(w, rows, [&rows](Writer& out, size_t r) {
    QString line = QStringLiteral("<tr>");
    for (const auto& c : kColumns)
      line +=
          QStringLiteral("<td>") + rows.text(r, c.field).toHtmlEscaped() + QStringLiteral("</td>");
    out.add(line + QStringLiteral("</tr>\n"));
  });
  if (o != Outcome::Done) return o;
  w.add(QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n"));
  return w.flush() ? Outcome::Done : Outcome::Failed;
}

Outcome writeText(Writer& w, DataReport& report) {
  const ReportSnapshot& rows = report.rows();
  w.add(QStringLiteral(" TEST DATA REPORT\nPrint Date: %1\n\n").arg(report.printDateText()));
  std::array<QString, std::size(kColumns)> cells;
  for (size_t c = 0; c < cells.size(); ++c) cells[c] = QString::fromLatin1(kColumns[c].caption);
  w.add(textLine(cells) + QLatin1Char('\n'));
  return writeRows(w, rows, [&rows](Writer& out, size_t r) {
    std::array<QString, std::size(kColumns)> line;
    for (size_t c = 0; c < line.size(); ++c) line[c] = rows.text(r, kColumns[c].field);
    out.add(textLine(line) + QLatin1Char('\n'));
  });
}

Outcome writeCsv(Writer& w, DataReport& report) {
  const ReportSnapshot& rows = report.rows();
  w.add(reportCsvHeader() + QStringLiteral("\r\n"));
  return writeRows(w, rows, [&rows](Writer& out, size_t r) {
    out.add(reportCsvLine(rows, r) + QStringLiteral("\r\n"));
  });
}

}  // namespace

QString reportCsvHeader() {
  QStringList captions;
  for (const auto& c : kColumns) captions << QString::fromLatin1(c.caption);
  return captions.join(QLatin1Char(','));
}

QString reportCsvLine(const ReportSnapshot& rows, size_t row) {
  QString line;
  for (size_t c = 0; c < std::size(kColumns); ++c) {
    if (c > 0) line.append(QLatin1Char(','));
    line.append(csvField(rows.text(row, kColumns[c].field)));
  }
  return line;
}

std::optional<ReportFormat> reportFormatForPath(const QString& path) {
  const QString lower = path.toLower();
  if (lower.endsWith(QLatin1String(".pdf"))) return ReportFormat::Pdf;
  if (lower.endsWith(QLatin1String(".html")) || lower.endsWith(QLatin1String(".htm")))
    return ReportFormat::Html;
  if (lower.endsWith(QLatin1String(".txt"))) return ReportFormat::Text;
  if (lower.endsWith(QLatin1String(".csv"))) return ReportFormat::Csv;
  return std::nullopt;
}

std::optional<QString> saveReport(DataReport& report, ReportFormat format, const QString& path,
                                  const ReportProgress& progress) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
  Outcome outcome = Outcome::Done;
  if (format == ReportFormat::Pdf) {
    QPdfWriter pdf(&file);
    pdf.setResolution(1200);
    pdf.setCreator(QStringLiteral("KX-3816"));
    pdf.setTitle(QStringLiteral(" TEST DATA REPORT"));
    bool cancelled = false;
    const bool ok = report.print(pdf, [&](size_t done, size_t total) {
      cancelled = progress && !progress(done, total);
      return !cancelled;
    });
    outcome = ok ? Outcome::Done : cancelled ? Outcome::Cancelled : Outcome::Failed;
  } else {
    if (!report.begin()) {
      file.cancelWriting();
      return QStringLiteral("Cancelled");
    }
    Writer w(file, progress);
    switch (format) {
      case ReportFormat::Html:
        outcome = writeHtml(w, report);
        break;
      case ReportFormat::Text:
        outcome = writeText(w, report);
        break;
      default:
        outcome = writeCsv(w, report);
        break;
    }
  }
  if (outcome == Outcome::Cancelled) {
    file.cancelWriting();
    return QStringLiteral("Cancelled");
  }
  if (outcome == Outcome::Failed || !file.commit())
    return QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
  return std::nullopt;
}

}  // namespace kx
