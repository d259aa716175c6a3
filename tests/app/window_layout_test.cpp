// The main window's layout, hints, keyboard order and the F1 help key.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/KxApplication.h"
#include "app/TFrmTest.h"
#include "tests/support/FakePrompts.h"

using kx::test::FakePrompts;

// A help file in a temporary folder that stands in for the program's directory.
struct HelpFolder {
  QTemporaryDir dir;
  explicit HelpFolder(const char* html) {
    QFile help(dir.filePath("mirel.hlp"));
    if (!help.open(QIODevice::WriteOnly)) qFatal("cannot write the help file");
    help.write(html);
  }
  std::string appDir() const { return QDir(dir.path()).absolutePath().toStdString() + "/"; }
};

// A shown main window whose program directory holds the given help file.
struct WindowWithHelp {
  HelpFolder folder;
  kx::AppState state;
  FakePrompts prompts;
  kx::TFrmTest w{state, &prompts};
  explicit WindowWithHelp(const char* html) : folder(html) {
    state.AppDir = folder.appDir();
    w.show();
  }
};

class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsStandWhereTheDesignPutsThem() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    const struct {
      const char* name;
      const char* parent;
      QRect geometry;
    } rows[] = {
        {"Panel2", "ClientArea", {414, 2, 119, 27}},  {"Panel3", "ClientArea", {536, 2, 81, 27}},
        {"Panel4", "ClientArea", {2, 30, 615, 289}},  {"Panel7", "ClientArea", {2, 320, 615, 33}},
        {"RepeatSet", "Panel7", {5, 5, 54, 20}},      {"RecordSI", "Panel7", {60, 4, 167, 19}},
        {"RecordSITime", "Panel7", {166, 0, 29, 22}}, {"SpeedButton2", "Panel7", {501, 4, 25, 21}},
        {"SpeedButton1", "Panel7", {528, 4, 25, 21}}, {"SpeedButton3", "Panel7", {555, 4, 25, 21}},
        {"MajPrint", "Panel7", {582, 4, 29, 21}},     {"DBGrid1", "ClientArea", {0, 348, 617, 177}},
    };
    for (const auto& r : rows) {
      auto* c = w.findChild<QWidget*>(r.name);
      QVERIFY2(c, r.name);
      QCOMPARE(c->parentWidget()->objectName(), QString(r.parent));
      QCOMPARE(c->geometry(), r.geometry);
    }
    auto* client = w.findChild<QWidget*>("ClientArea");
    QCOMPARE(client->size(), QSize(619, 526));
    QCOMPARE(w.windowTitle(), QString("KX-3816 V1.00"));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.minimumSize(), w.maximumSize());  // fixed size
  }

  void hintsOnTheFourImageButtonsOnly() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    const std::pair<const char*, const char*> hints[] = {{"SpeedButton2", "Delete Data"},
                                                         {"SpeedButton1", "Save Data"},
                                                         {"SpeedButton3", "Open Data"},
                                                         {"MajPrint", "Print Data"}};
    QSet<QString> hinted;
    for (auto [name, hint] : hints) {
      auto* b = w.findChild<QAbstractButton*>(name);
      QCOMPARE(b->toolTip(), QString(hint));
      QCOMPARE(b->focusPolicy(), Qt::NoFocus);
      QVERIFY(!b->icon().isNull());
      hinted.insert(name);
    }
    for (auto* c : w.findChildren<QWidget*>())
      if (!hinted.contains(c->objectName()))
        QVERIFY2(c->toolTip().isEmpty(), qPrintable(c->objectName()));
    QVERIFY(!w.windowIcon().isNull());
  }

  void menuHasOneEntryWithSixLimits() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    const auto top = w.menuBar()->actions();
    QCOMPARE(top.size(), 1);
    QCOMPARE(top[0]->text(), QString("Record"));
    const auto entries = top[0]->menu()->actions();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0]->text(), QString(" RecordSet"));
    QStringList captions;
    for (auto* a : entries[0]->menu()->actions()) captions << a->text();
    QCOMPARE(captions, QStringList({"1000", "5000", "10000", "50000", "100000", "Limitless"}));
  }

  void tabGoesThroughTheFourControlsInOrder() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("RecordSITime"));
    QStringList order;
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"RecordSI", "RepeatSet", "DBGrid1", "RecordSITime"}));
    // Typing into the grid changes nothing.
    state.ReadingText = "1.000";
    w.INDataToTable(1);
    auto* grid = w.findChild<QTableView*>("DBGrid1");
    grid->setFocus();
    QTest::keyClicks(grid, "99");
    QCOMPARE(grid->model()->data(grid->model()->index(0, 2)).toString(), QString("1.000"));
    QVERIFY(!grid->tabKeyNavigation());
    QVERIFY(grid->horizontalHeader()->sectionsMovable());
  }

  void f1OpensTheHelpFromAnyControl() {
    WindowWithHelp rig("<h2><a name=\"contents\">Contents</a></h2><p>Connecting the meter</p>");
    kx::TFrmTest& w = rig.w;
    FakePrompts& prompts = rig.prompts;
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    for (auto mod : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
      QTest::keyClick(w.findChild<QWidget*>("RecordSITime"), Qt::Key_F1, mod);
      QVERIFY(!w.helpWindow());
    }
    for (const char* focus : {"RecordSITime", "DBGrid1"}) {
      QTest::keyClick(w.findChild<QWidget*>(focus), Qt::Key_F1);
      QVERIFY2(w.helpWindow() && w.helpWindow()->isVisible(), focus);
      w.helpWindow()->close();
      QTRY_VERIFY(!w.helpWindow());
    }
    QVERIFY(prompts.shown.empty());
  }

  void f1DoesNothingWhileAMessageBoxIsOpen() {
    WindowWithHelp rig("<p>help</p>");
    kx::TFrmTest& w = rig.w;
    bool sawBox = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      sawBox = true;
      QTest::keyClick(box, Qt::Key_F1);
      box->done(QMessageBox::Ok);
    });
    QMessageBox box(QMessageBox::Information, " ", "modal", QMessageBox::Ok, &w);
    box.exec();
    QVERIFY(sawBox);
    QVERIFY(!w.helpWindow());
  }

  void f1InTheReportPreviewOpensTheHelp() {
    WindowWithHelp rig("<p>help</p>");
    kx::TFrmTest& w = rig.w;
    w.MajPrintClick();
    QWidget* preview = w.reportPreview();
    QVERIFY(preview);
    QTRY_VERIFY(preview->isVisible());
    QTest::keyClick(preview, Qt::Key_F1);
    QVERIFY(w.helpWindow() && w.helpWindow()->isVisible());
    preview->close();
  }

  void missingHelpFileIsReportedWithItsPath() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    state.AppDir = "/nonexistent/kx3816/";
    w.HELP1Click();
    QCOMPARE(prompts.shown.size(), size_t(1));
    QVERIFY(prompts.shown[0].text.find("/nonexistent/kx3816/mirel.hlp") != std::string::npos);
    QVERIFY(!w.helpWindow());
  }
};

int main(int argc, char** argv) {
  kx::KxApplication app(argc, argv);
  WindowLayoutTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "window_layout_test.moc"
