// The report's preview window and Print Data in the main window, on Qt's offscreen platform.

#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/TFrmTest.h"
#include "reports/ReportPreview.h"
#include "tests/reports/ReportTestSupport.h"
#include "tests/support/FakePrompts.h"

using kx::test::FakePrompts;

class ReportPreviewTest : public QObject {
  Q_OBJECT

  static int gridRows(kx::TFrmTest& w) {
    return w.findChild<QTableView*>("DBGrid1")->model()->rowCount();
  }
  static QPrintPreviewWidget* pagesOf(QWidget* preview) {
    return preview->findChild<QPrintPreviewWidget*>();
  }

 private slots:
  void previewShowsEveryPageAndPrintsAndSaves() {
    kx::RecordTable table;
    kx::test::fillTable(table, 75);
    FakePrompts prompts;
    auto* preview = new kx::ReportPreview(kx::test::reportOf(table), prompts);
    preview->show();
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    QCOMPARE(preview->view()->pageCount(), 3);
    QVERIFY(preview->complete());

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("printed.pdf"));
    QVERIFY(preview->printOn(printer));
    if (kx::test::havePoppler()) QCOMPARE(kx::test::pdfPageCount(dir.filePath("printed.pdf")), 3);

    QVERIFY(preview->saveAs(dir.filePath("saved.csv")));
    QVERIFY(QFile::exists(dir.filePath("saved.csv")));
    QVERIFY(!preview->saveAs(dir.filePath("saved.doc")));
    QCOMPARE(prompts.shown.size(), size_t{1});
    QCOMPARE(prompts.shown[0].kind, std::string("error"));

    QSignalSpy closed(preview, &kx::ReportPreview::closed);
    preview->close();
    QCOMPARE(closed.count(), 1);
  }

  void printDataSuspendsTheGridUntilThePreviewCloses() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    kx::test::fillTable(w.cds1(), 38);
    QCOMPARE(gridRows(w), 38);
    w.show();

    w.MajPrintClick();
    QWidget* preview = w.reportPreview();
    QVERIFY(preview);
    QCOMPARE(preview->objectName(), QString("ReportPreview"));
    QVERIFY(preview->isVisible());
    QVERIFY(!preview->isModal());
    QCOMPARE(state.DataReportPages, 2);
    QCOMPARE(pagesOf(preview)->pageCount(), 2);
    QVERIFY(w.cds1().controlsDisabled());

    // Recording goes on while the preview is open; the grid catches up when it closes.
    kx::test::fillTable(w.cds1(), 40, 38);
    QCOMPARE(gridRows(w), 38);
    // A second Print Data brings the open preview to the front instead of another one.
    w.MajPrintClick();
    QCOMPARE(w.reportPreview(), preview);
    QCOMPARE(state.DataReportPages, 2);
    QCOMPARE(w.findChildren<kx::ReportPreview*>().size(), 1);

    preview->close();
    QTRY_VERIFY(!w.reportPreview());
    QVERIFY(!w.cds1().controlsDisabled());
    QCOMPARE(gridRows(w), 78);
    QVERIFY(prompts.shown.empty());

    // The next Print Data counts the records present then.
    w.MajPrintClick();
    QCOMPARE(state.DataReportPages, 3);
    QCOMPARE(pagesOf(w.reportPreview())->pageCount(), 3);
    w.reportPreview()->close();
  }

  void previewSurvivesDeleteDataAndALoad() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    kx::test::fillTable(w.cds1(), 74);
    w.MajPrintClick();
    auto* preview = qobject_cast<kx::ReportPreview*>(w.reportPreview());
    QVERIFY(preview);
    w.cds1().clear();
    kx::RecordTable loaded;
    kx::test::fillTable(loaded, 3, 500);
    w.cds1().replaceWith(loaded);
    // Page set-up changes make the preview produce its pages again, from its own copy.
    preview->view()->updatePreview();
    QCOMPARE(preview->view()->pageCount(), 2);
    QTemporaryDir dir;
    QVERIFY(preview->saveAs(dir.filePath("r.csv")));
    QFile csv(dir.filePath("r.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 76);  // header, 74 records, nothing after the last line end
    QVERIFY(lines[74].startsWith("74,"));
    preview->close();
    QTRY_VERIFY(!w.reportPreview());
    QCOMPARE(gridRows(w), 3);
  }

  void cancellingALargeReportClosesThePreview() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    kx::test::fillTable(w.cds1(), 37 * (kx::ReportPreview::kProgressFromPages + 10));
    bool sawProgress = false;
    // The progress dialog keeps events flowing while pages are produced; cancel it then.
    QTimer::singleShot(0, &w, [&] {
      for (auto* p : w.findChildren<QProgressDialog*>("ReportProgress")) {
        sawProgress = true;
        p->cancel();
      }
    });
    w.MajPrintClick();
    QVERIFY(sawProgress);
    QTRY_VERIFY(!w.reportPreview());
    QVERIFY(!w.cds1().controlsDisabled());
    QVERIFY(prompts.shown.empty());
  }

  void emptyTableGivesOnePage() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    state.DataReportPages = 9;
    w.MajPrintClick();
    QCOMPARE(state.DataReportPages, 1);
    QCOMPARE(pagesOf(w.reportPreview())->pageCount(), 1);
    w.reportPreview()->close();
  }
};

QTEST_MAIN(ReportPreviewTest)
#include "report_preview_test.moc"
