// Save Data and Open Data in the main window, on Qt's offscreen platform, with the file
// dialogs answered by the test.

#include <QFileDialog>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <iterator>

#include "app/TFrmTest.h"
#include "files/RecordFiles.h"
#include "tests/support/FakePrompts.h"

using kx::test::FakePrompts;

namespace {

// Answers each dialog with the next queued path (none: cancel) and notes what it showed.
class ScriptedDialogs : public kx::TFrmTest::FileDialogRunner {
 public:
  std::vector<std::optional<std::string>> answers;
  struct Seen {
    QString objectName;
    QStringList filters;
    QString selectedFilter;
    QString defaultSuffix;
    QFileDialog::AcceptMode mode;
    bool confirmsOverwrite;
    QStringList offered;  // the names the dialog starts with
  };
  std::vector<Seen> seen;

  std::optional<std::string> run(QFileDialog& d) override {
    seen.push_back({d.objectName(), d.nameFilters(), d.selectedNameFilter(), d.defaultSuffix(),
                    d.acceptMode(), !d.testOption(QFileDialog::DontConfirmOverwrite),
                    d.selectedFiles()});
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
};

class CountingObserver : public kx::RecordTableObserver {
 public:
  int appends = 0, resets = 0;
  void appended(size_t, size_t) override { ++appends; }
  void reset() override { ++resets; }
};

std::string readFile(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

class FilesWindowTest : public QObject {
  Q_OBJECT

  struct Window {
    kx::AppState state;
    FakePrompts prompts;
    ScriptedDialogs dialogs;
    kx::TFrmTest w{state, &prompts};
    Window() { w.setFileDialogRunner(&dialogs); }
    void click(const char* button) {
      w.findChild<QToolButton*>(QString::fromLatin1(button))->click();
    }
  };

 private slots:
  void saveDialogSettingsAndMessage() {
    QTemporaryDir dir;
    Window win;
    win.w.cds1().append(1, 1000, "1.234", "V", "DCV  600V", "Continuous");
    const std::string path = dir.filePath("run1.xls").toStdString();
    win.dialogs.answers = {path};
    win.w.saveDialog2()->selectFile("left over");
    win.click("SpeedButton1");
    QCOMPARE(win.dialogs.seen.size(), size_t{1});
    const auto& s = win.dialogs.seen[0];
    QCOMPARE(s.objectName, QString("SaveDialog2"));
    QCOMPARE(s.filters, QStringList({"Excel File(*.xls)", "XML(*.xml)", "Txt File(*.txt)"}));
    QCOMPARE(s.selectedFilter, QString("Excel File(*.xls)"));
    QCOMPARE(s.defaultSuffix, QString("xls"));
    QCOMPARE(s.mode, QFileDialog::AcceptSave);
    QVERIFY(s.confirmsOverwrite);
    for (const QString& f : s.offered) QVERIFY2(!f.endsWith("left over"), qPrintable(f));
    QCOMPARE(win.prompts.shown.size(), size_t{1});
    QCOMPARE(win.prompts.shown[0].kind, std::string("notice"));
    QCOMPARE(win.prompts.shown[0].text, "Save table to specified file: " + path + " Scuss!");
    QVERIFY(
        readFile(path).starts_with("Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n1\t"));
  }

  void headerFollowsMovedColumns() {
    QTemporaryDir dir;
    Window win;
    auto* grid = win.w.findChild<QTableView*>("DBGrid1");
    grid->horizontalHeader()->moveSection(1, 5);  // "Time" dragged to the end
    const std::string path = dir.filePath("moved.txt").toStdString();
    win.dialogs.answers = {path};
    win.click("SpeedButton1");
    QCOMPARE(readFile(path),
             std::string("Measurement No.\tValue\tUnit\tFunction\tRemark\tTime\r\n"));
  }

  void cancelledDialogsDoNothing() {
    Window win;
    win.dialogs.answers = {std::nullopt, std::nullopt};
    win.click("SpeedButton1");
    win.click("SpeedButton3");
    QCOMPARE(win.dialogs.seen.size(), size_t{2});
    QVERIFY(win.prompts.shown.empty());
  }

  void failedSavesShowTheirMessages() {
    QTemporaryDir dir;
    Window win;
    const std::string text = dir.filePath("none/a.xls").toStdString();
    const std::string xml = dir.filePath("none/a.xml").toStdString();
    win.dialogs.answers = {text, xml};
    win.click("SpeedButton1");
    win.click("SpeedButton1");
    QCOMPARE(win.prompts.shown.size(), size_t{2});
    QCOMPARE(win.prompts.shown[0].kind, std::string("notice"));
    QCOMPARE(win.prompts.shown[0].text, "Could not save table to specified file: " + text);
    QCOMPARE(win.prompts.shown[1].kind, std::string("error"));
    QVERIFY(win.prompts.shown[1].text.find(xml) != std::string::npos);
  }

  void openLoadsWithOneGridRefreshAndRemembersTheName() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("in.xml").toStdString();
    {
      kx::RecordTable t;
      for (int i = 1; i <= 50; ++i) t.append(i, i * 1000, "v", "V", "f", "r");
      QCOMPARE(kx::saveRecordFile(t, path), std::optional<std::string>());
    }
    Window win;
    win.state.RecordNo = 7;
    win.w.cds1().append(1, 0, "earlier", "", "", "");
    CountingObserver counter;
    win.w.cds1().addObserver(&counter);
    win.dialogs.answers = {path, std::nullopt};
    win.click("SpeedButton3");
    win.click("SpeedButton3");
    win.w.cds1().removeObserver(&counter);
    QCOMPARE(win.w.cds1().count(), size_t{50});
    QCOMPARE(counter.appends, 0);
    QCOMPARE(counter.resets, 1);
    QCOMPARE(win.state.RecordNo, 7);
    QVERIFY(win.prompts.shown.empty());
    QCOMPARE(win.dialogs.seen[0].objectName, QString("OpenDialog1"));
    QCOMPARE(win.dialogs.seen[0].filters,
             QStringList({"Excel File(*.xls)", "XML (*.xml)", "Txt File(*.txt)"}));
    QCOMPARE(win.dialogs.seen[0].mode, QFileDialog::AcceptOpen);
    QCOMPARE(win.dialogs.seen[1].offered, QStringList({QString::fromStdString(path)}));
    auto* grid = win.w.findChild<QTableView*>("DBGrid1");
    QCOMPARE(grid->model()->rowCount(), 50);
  }

  void failedLoadShowsTheErrorBoxAndKeepsTheTable() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("bad.xml").toStdString();
    std::ofstream(path) << "<DATAPACKET><METADATA>";
    Window win;
    win.w.cds1().append(1, 0, "earlier", "", "", "");
    win.dialogs.answers = {path};
    win.click("SpeedButton3");
    QCOMPARE(win.prompts.shown.size(), size_t{1});
    QCOMPARE(win.prompts.shown[0].kind, std::string("failure"));
    QCOMPARE(win.prompts.shown[0].caption, std::string("Error"));
    QCOMPARE(win.prompts.shown[0].text, std::string("Failed to Load File!"));
    QCOMPARE(win.w.cds1().count(), size_t{1});
    QCOMPARE(win.w.cds1().controlsDisabled(), false);
  }
};

QTEST_MAIN(FilesWindowTest)
#include "files_window_test.moc"
