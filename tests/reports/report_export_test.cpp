// Saving the report as HTML, plain text and CSV: the same records as the printed report, in
// the same order, with the texts shown as the report shows them.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "reports/ReportExport.h"
#include "tests/reports/ReportTestSupport.h"

namespace kx {
namespace {

using Rows = std::vector<QStringList>;

QString readUtf8(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

// A small CSV reader: quoted fields with doubled quotes, CRLF line ends.
Rows parseCsv(const QString& text) {
  Rows rows;
  QStringList row;
  QString cell;
  bool quoted = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row << cell;
      cell.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      row << cell;
      rows.push_back(row);
      row.clear();
      cell.clear();
      ++i;
    } else {
      cell += c;
    }
  }
  return rows;
}

Rows parseHtml(const QString& text) {
  Rows rows;
  static const QRegularExpression tr(QStringLiteral("<tr>(.*?)</tr>"));
  static const QRegularExpression cell(QStringLiteral("<t[hd]>(.*?)</t[hd]>"));
  for (auto r = tr.globalMatch(text); r.hasNext();) {
    QStringList row;
    const QString inner = r.next().captured(1);
    for (auto c = cell.globalMatch(inner); c.hasNext();) {
      QString t = c.next().captured(1);
      t.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
      row << t;
    }
    rows.push_back(row);
  }
  return rows;
}

// Plain text columns start where the report prints them (8 design pixels a character).
Rows parseText(const QString& text) {
  const int starts[] = {32 / 8, 128 / 8, 243 / 8, 376 / 8, 468 / 8, 616 / 8};
  Rows rows;
  const QStringList lines = text.split('\n');
  // Title, print date and a blank line come before the column captions.
  for (qsizetype l = 3; l < lines.size(); ++l) {
    if (lines[l].isEmpty()) continue;
    QStringList row;
    for (int c = 0; c < 6; ++c) {
      const int end = c + 1 < 6 ? starts[c + 1] : static_cast<int>(lines[l].size());
      row << lines[l].mid(starts[c], end - starts[c]).trimmed();
    }
    rows.push_back(row);
  }
  return rows;
}

class ReportExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    test::fillTable(table_, 75);
    // Texts that the formats must quote or escape.
    table_.append(76, 0, "1,5\"<b>", "V", "ACV  600V", "a&b");
    report_ = test::reportOf(table_);
  }
  Rows expected() const {
    Rows rows{{"No", "Time", "Value", "Unit", "Function", "Remark"}};
    const ReportSnapshot& s = report_->rows();
    for (size_t r = 0; r < s.count(); ++r) {
      QStringList row;
      for (Field f :
           {Field::No, Field::Time, Field::Value, Field::Unit, Field::V_Range, Field::I_Range})
        row << s.text(r, f);
      rows.push_back(row);
    }
    return rows;
  }
  QString save(ReportFormat format, const char* name) {
    const QString path = dir_.filePath(QString::fromLatin1(name));
    const auto error = saveReport(*report_, format, path);
    EXPECT_FALSE(error.has_value()) << error->toStdString();
    return path;
  }

  QTemporaryDir dir_;
  RecordTable table_;
  std::shared_ptr<DataReport> report_;
};

TEST_F(ReportExportTest, EveryFormatHoldsTheReportsRows) {
  const Rows want = expected();
  ASSERT_EQ(want.size(), 77u);
  EXPECT_EQ(want[1][3], QString::fromUtf8("M\u03a9"));
  struct Case {
    const char* what;
    ReportFormat format;
    const char* file;
    Rows (*parse)(const QString&);
  };
  const Case cases[] = {
      {"CSV", ReportFormat::Csv, "r.csv", parseCsv},
      {"HTML", ReportFormat::Html, "r.htm", parseHtml},
      {"plain text", ReportFormat::Text, "r.txt", parseText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Rows got = c.parse(readUtf8(save(c.format, c.file)));
    ASSERT_EQ(got.size(), want.size());
    for (size_t r = 0; r < want.size(); ++r) {
      SCOPED_TRACE(r);
      EXPECT_EQ(got[r], want[r]);
    }
  }
}

TEST_F(ReportExportTest, CsvQuotesOnlyWhatNeedsIt) {
  const QString text = readUtf8(save(ReportFormat::Csv, "q.csv"));
  EXPECT_TRUE(text.startsWith("No,Time,Value,Unit,Function,Remark\r\n"));
  EXPECT_TRUE(
      text.contains(QString::fromUtf8("1,08:00:00,0.000,M\u03a9,IR:500V 20G\u03a9,Timed\r\n")));
  EXPECT_TRUE(text.endsWith("76,00:00:00,\"1,5\"\"<b>\",V,ACV  600V,a&b\r\n"));
}

TEST_F(ReportExportTest, PdfHoldsTheSameRecordNumbersInOrder) {
  if (!test::havePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  const auto words = test::pdfWords(save(ReportFormat::Pdf, "r.pdf"));
  const double noLeft = kMarginMm + 32 * kMmPerPx;
  const double detailTop = kMarginMm + bandTopPx(Band::Detail) * kMmPerPx;
  const double footerTop = kMarginMm + bandTopPx(Band::PageFooter) * kMmPerPx;
  QStringList numbers;
  for (const auto& w : words)
    if (std::abs(w.left - noLeft) < 0.5 && w.top > detailTop && w.top < footerTop)
      numbers << w.text;
  QStringList want;
  for (int i = 1; i <= 76; ++i) want << QString::number(i);
  EXPECT_EQ(numbers, want);
}

TEST_F(ReportExportTest, FormatFollowsTheExtension) {
  struct Case {
    const char* path;
    std::optional<ReportFormat> format;
  };
  const Case cases[] = {
      {"a.pdf", ReportFormat::Pdf},   {"A.PDF", ReportFormat::Pdf},  {"a.htm", ReportFormat::Html},
      {"a.html", ReportFormat::Html}, {"a.txt", ReportFormat::Text}, {"a.csv", ReportFormat::Csv},
      {"a.xls", std::nullopt},        {"pdf", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(reportFormatForPath(QString::fromLatin1(c.path)), c.format);
  }
}

TEST_F(ReportExportTest, UnwritablePlaceGivesAMessageAndNoFile) {
  const QString path = dir_.filePath("missing/r.csv");
  const auto error = saveReport(*report_, ReportFormat::Csv, path);
  ASSERT_TRUE(error.has_value());
  EXPECT_TRUE(error->startsWith("Cannot write")) << error->toStdString();
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ReportExportTest, ExistingFileIsKeptWhenSavingIsCancelled) {
  const QString path = dir_.filePath("keep.csv");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
  }
  const auto error =
      saveReport(*report_, ReportFormat::Csv, path, [](size_t, size_t) { return false; });
  EXPECT_EQ(error, QString("Cancelled"));
  EXPECT_EQ(readUtf8(path), "old");
}

}  // namespace
}  // namespace kx
