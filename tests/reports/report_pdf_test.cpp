// The report as a PDF file, read back with poppler-utils: page counts, where every item
// stands, the header's date, the footer's page total and the records on each page.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "reports/ReportExport.h"
#include "tests/reports/ReportTestSupport.h"

namespace kx {
namespace {

using test::PdfWord;

constexpr double kToleranceMm = 0.5;

class ReportPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::havePoppler()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) not installed";
    ASSERT_TRUE(dir_.isValid());
  }
  QString write(DataReport& report, const char* name = "report.pdf") {
    const QString path = dir_.filePath(QString::fromLatin1(name));
    const auto error = saveReport(report, ReportFormat::Pdf, path);
    EXPECT_FALSE(error.has_value()) << error->toStdString();
    return path;
  }
  // Where an item's text begins on paper, in millimetres, as the report's design places it
  // (design pixels at 96 per inch from the band's top-left corner; the margins are 10 mm; the
  // bands are 40, 40, 25 and 40 pixels high, the footer at the bottom of the printable area).
  static std::pair<double, double> itemAt(const char* name, int detailLine = 0) {
    struct Placed {
      const char* name;
      double bandTopPx;
      int left, top;
    };
    const double footer = 277 / kMmPerPx - 40;
    const double detail = 80 + 25.0 * detailLine;
    const Placed placed[] = {
        {"QRLabel1", 0, 211, 8},        {"QRLabel9", 0, 600, 20},
        {"QRSysData1", 0, 648, 20},     {"QRLabel2", 40, 32, 16},
        {"QRLabel3", 40, 128, 16},      {"QRLabel4", 40, 243, 16},
        {"QRLabel5", 40, 376, 16},      {"QRLabel6", 40, 468, 16},
        {"QRLabel7", 40, 616, 16},      {"QRDBText1", detail, 32, 8},
        {"QRDBText2", detail, 128, 8},  {"QRDBText3", detail, 248, 8},
        {"QRDBText4", detail, 376, 8},  {"QRDBText5", detail, 468, 6},
        {"QRDBText6", detail, 620, 8},  {"QRLabel8", footer, 32, 16},
        {"QRSysData2", footer, 92, 16}, {"QRLabel10", footer, 120, 16},
        {"Allpage", footer, 140, 16},
    };
    for (const auto& p : placed)
      if (std::string_view(p.name) == name)
        return {kMarginMm + p.left * kMmPerPx, kMarginMm + (p.bandTopPx + p.top) * kMmPerPx};
    ADD_FAILURE() << "no item " << name;
    return {0, 0};
  }
  static void expectAt(const std::vector<PdfWord>& words, int page, const QString& text,
                       const char* item, int detailLine = 0, double dxMm = 0) {
    SCOPED_TRACE(std::string(item) + " \"" + text.toStdString() + "\" on page " +
                 std::to_string(page));
    const auto [left, top] = itemAt(item, detailLine);
    const auto w = test::findWord(words, page, text, left + dxMm, top);
    ASSERT_TRUE(w.has_value());
    EXPECT_NEAR(w->left, left + dxMm, kToleranceMm);
    EXPECT_NEAR(w->top, top, kToleranceMm);
  }

  QTemporaryDir dir_;
};

TEST_F(ReportPdfTest, PageCountFollowsTheRecordCount) {
  struct Case {
    size_t records;
    int pages;
  };
  for (const Case c :
       {Case{0, 1}, Case{1, 1}, Case{37, 1}, Case{38, 2}, Case{74, 2}, Case{75, 3}}) {
    SCOPED_TRACE(c.records);
    RecordTable table;
    test::fillTable(table, c.records);
    auto report = test::reportOf(table);
    const QString path = write(*report);
    EXPECT_EQ(test::pdfPageCount(path), c.pages);
    // The footer's total agrees with the pages produced.
    const auto words = test::pdfWords(path);
    expectAt(words, c.pages, QString::number(c.pages), "Allpage");
    expectAt(words, c.pages, QString::number(c.pages), "QRSysData2");
  }
}

TEST_F(ReportPdfTest, ItemsStandWhereTheLayoutPutsThem) {
  RecordTable table;
  test::fillTable(table, 75);
  auto report = test::reportOf(table);
  report->setLocale(QLocale(QLocale::German, QLocale::Germany));
  report->setPrintDate(QDate(2024, 3, 5));
  const auto words = test::pdfWords(write(*report));
  // The title begins with a blank: its first word stands one blank of 14 pt bold Arial
  // (0.278 em) right of its box.
  const double titleBlankMm = 0.278 * 14 * 25.4 / 72;
  for (int page = 1; page <= 3; ++page) {
    expectAt(words, page, "TEST", "QRLabel1", 0, titleBlankMm);
    expectAt(words, page, "Print", "QRLabel9");
    expectAt(words, page, "05.03.24", "QRSysData1");
    expectAt(words, page, "No", "QRLabel2");
    expectAt(words, page, "Time", "QRLabel3");
    expectAt(words, page, "Value", "QRLabel4");
    expectAt(words, page, "Unit", "QRLabel5");
    expectAt(words, page, "Function", "QRLabel6");
    expectAt(words, page, "Remark", "QRLabel7");
    expectAt(words, page, "The", "QRLabel8");
    expectAt(words, page, QString::number(page), "QRSysData2");
    expectAt(words, page, "Of", "QRLabel10");
    expectAt(words, page, "3", "Allpage");
  }
  // Record 38 is the first line of page 2; record 37 the last of page 1.
  struct Line {
    int page, line;
    size_t record;
  };
  for (const Line l : {Line{1, 0, 0}, Line{1, 36, 36}, Line{2, 0, 37}, Line{3, 0, 74}}) {
    expectAt(words, l.page, QString::number(l.record + 1), "QRDBText1", l.line);
    expectAt(words, l.page, QString::fromStdString(test::valueText(l.record)), "QRDBText3", l.line);
    expectAt(words, l.page, QString::fromUtf8("M\u03a9"), "QRDBText4", l.line);
    expectAt(words, l.page, "IR:500V", "QRDBText5", l.line);
    expectAt(words, l.page, l.record % 2 ? "Continuous" : "Timed", "QRDBText6", l.line);
  }
  expectAt(words, 1, "08:00:36", "QRDBText2", 36);
  // Nothing is printed below the last record of the last page but the footer.
  for (const auto& w : words) {
    if (w.page != 3) continue;
    SCOPED_TRACE(w.text.toStdString());
    EXPECT_TRUE(w.top < itemAt("QRDBText1", 1).second - 1 || w.top > itemAt("QRLabel8").second - 1);
  }
}

TEST_F(ReportPdfTest, HeaderShowsTodayInTheLocalesShortDateForm) {
  RecordTable table;
  test::fillTable(table, 1);
  auto report = test::reportOf(table);
  report->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
  const QDate before = QDate::currentDate();
  const auto words = test::pdfWords(write(*report));
  const QDate after = QDate::currentDate();
  const auto [left, top] = itemAt("QRSysData1");
  bool found = false;
  for (const QDate& d : {before, after}) {
    const QString us = QStringLiteral("%1/%2/%3")
                           .arg(d.month())
                           .arg(d.day())
                           .arg(d.year() % 100, 2, 10, QChar('0'));
    if (const auto w = test::findWord(words, 1, us, left, top)) {
      found = true;
      EXPECT_NEAR(w->left, left, kToleranceMm);
    }
  }
  EXPECT_TRUE(found) << "today's date in the M/d/yy form is not in the header";
}

TEST_F(ReportPdfTest, BeforePrintSetsThePageTotalOnEveryProduction) {
  RecordTable table;
  test::fillTable(table, 38);
  auto report = test::reportOf(table);
  int raised = 0;
  report->beforePrint = [&](bool& go) {
    ++raised;
    report->setAllpageCaption(QString::number(raised * 10));
    EXPECT_TRUE(go);
  };
  auto first = test::pdfWords(write(*report, "a.pdf"));
  auto second = test::pdfWords(write(*report, "b.pdf"));
  expectAt(first, 2, "10", "Allpage");
  expectAt(second, 2, "20", "Allpage");
  report->beforePrint = [](bool& go) { go = false; };
  EXPECT_TRUE(saveReport(*report, ReportFormat::Pdf, dir_.filePath("c.pdf")).has_value());
  EXPECT_FALSE(QFile::exists(dir_.filePath("c.pdf")));
}

TEST_F(ReportPdfTest, ListsTheRecordsPresentWhenProductionBegan) {
  RecordTable table;
  test::fillTable(table, 40);
  auto report = test::reportOf(table);
  // While pages are produced the recording step appends and Delete Data empties the table.
  const QString path = dir_.filePath("r.pdf");
  size_t next = 40;
  const auto error = saveReport(*report, ReportFormat::Pdf, path, [&](size_t done, size_t) {
    test::fillTable(table, 30, next);
    next += 30;
    if (done == 1) table.clear();
    return true;
  });
  ASSERT_FALSE(error.has_value());
  EXPECT_EQ(test::pdfPageCount(path), 2);
  const auto words = test::pdfWords(path);
  expectAt(words, 2, "40", "QRDBText1", 2);
  EXPECT_FALSE(test::findWord(words, 2, "41", 0, 0).has_value());
}

TEST_F(ReportPdfTest, CancelledProductionWritesNoFile) {
  RecordTable table;
  test::fillTable(table, 200);
  auto report = test::reportOf(table);
  const QString path = dir_.filePath("cancelled.pdf");
  const auto error =
      saveReport(*report, ReportFormat::Pdf, path, [](size_t done, size_t) { return done < 2; });
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(*error, "Cancelled");
  EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace kx
