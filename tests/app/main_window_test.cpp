// The main window at start and its recording controls, on Qt's offscreen platform.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>
#include <QTest>

#include "app/KxApplication.h"
#include "app/TFrmTest.h"
#include "app/widgets/RecordIndicatorHeader.h"
#include "tests/support/FakePrompts.h"

using kx::test::FakePrompts;

class MainWindowTest : public QObject {
  Q_OBJECT

  template <typename T>
  static T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no child %s", name);
    return c;
  }

 private slots:
  void startState() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    QCOMPARE(w.windowTitle(), QString("KX-3816 V1.00"));
    QCOMPARE(state.FunctionText, std::string("IR:500V 20G\xA6\xB8"));
    QCOMPARE(state.UnitText, std::string());
    QCOMPARE(state.ReadingText, std::string("0000"));
    QCOMPARE(state.RemarkText, std::string("40.0A"));
    QCOMPARE(state.RecordNo, 1);
    QCOMPARE(state.RecordLimit, 10000);
    QCOMPARE(state.IntervalCountdown, 0);
    QCOMPARE(state.DataReportPages, 1);
    QVERIFY(!state.AppDir.empty() && state.AppDir.back() == '/');
    QVERIFY(child<QCheckBox>(&w, "RepeatSet")->isChecked());
    QVERIFY(!child<QCheckBox>(&w, "RecordSI")->isChecked());
    QCOMPARE(child<QLineEdit>(&w, "RecordSITime")->text(), QString("10"));
    QVERIFY(w.recordControls().repeatSet);
    QVERIFY(w.cds1().empty());
    int ticked = 0;
    for (auto* a : w.findChildren<QAction*>()) {
      if (a->isChecked()) {
        ++ticked;
        QCOMPARE(a->objectName(), QString("set10k"));
      }
    }
    QCOMPARE(ticked, 1);
    QVERIFY(prompts.shown.empty());
  }

  void decimalSeparatorFollowsTheEnvironment() {
    // The symbol comes from LC_NUMERIC as the environment names it.
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "C");
    QCOMPARE(kx::TFrmTest::GetSystemDecimalSeparator(), std::string("."));
    qputenv("LC_ALL", "de_DE.UTF-8");
    const std::string de = kx::TFrmTest::GetSystemDecimalSeparator();
    if (!saved.isNull())
      qputenv("LC_ALL", saved);
    else
      qunsetenv("LC_ALL");
    if (de.empty()) QSKIP("de_DE.UTF-8 is not generated on this machine");
    QCOMPARE(de, std::string(","));
  }

  void menuChoosesTheLimitWithOneTick() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    auto* menu = w.menuBar();
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QString("Record"));
    auto* set1k = w.findChild<QAction*>("set1k");
    set1k->trigger();
    QCOMPARE(state.RecordLimit, 1000);
    QVERIFY(set1k->isChecked());
    QVERIFY(!w.findChild<QAction*>("set10k")->isChecked());
    w.findChild<QAction*>("setlimit")->trigger();
    QCOMPARE(state.RecordLimit, 10000000);
  }

  void recordsAppearInTheGridAndBecomeCurrent() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    auto* grid = child<QTableView>(&w, "DBGrid1");
    for (const char* v : {"1.000", "2.000", "3.000"}) {
      state.ReadingText = v;
      QCOMPARE(w.INDataToTable(1), kx::RecordOutcome::Recorded);
    }
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(grid->currentIndex().row(), 2);
    auto* indicator = grid->findChild<kx::RecordIndicatorHeader*>("RecordIndicator");
    QVERIFY(indicator);
    QCOMPARE(indicator->currentRow(), 2);
    grid->selectRow(0);  // a click moves the indicator with the current record
    QCOMPARE(indicator->currentRow(), 0);
    // The mark is drawn in the current row's header section and nowhere else.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QImage header = indicator->grab().toImage();
    auto darkIn = [&](int row) {
      const int top = indicator->sectionViewportPosition(row);
      int dark = 0;
      for (int y = top; y < top + indicator->sectionSize(row); ++y)
        for (int x = 0; x < header.width(); ++x) dark += qGray(header.pixel(x, y)) < 64;
      return dark;
    };
    QVERIFY(darkIn(0) > 0);
    QCOMPARE(darkIn(1), 0);
    QCOMPARE(grid->model()->data(grid->model()->index(2, 2)).toString(), QString("3.000"));
  }

  void intervalBoxFiltersKeysAndReportsPastedGarbage() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    auto* box = child<QLineEdit>(&w, "RecordSITime");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "a-5+\r");
    QCOMPARE(box->text(), QString("5"));
    QCOMPARE(state.IntervalCountdown, 5);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QString());
    QCOMPARE(state.IntervalCountdown, 0);
    QVERIFY(prompts.shown.empty());
    // Pasting is the only way to bring anything else in.
    box->insert("12x");
    QCOMPARE(prompts.shown.size(), size_t(1));
    QCOMPARE(prompts.shown[0].kind, std::string("error"));
    QCOMPARE(prompts.shown[0].text, std::string("'12x' is not a valid integer value"));
    QCOMPARE(state.IntervalCountdown, 0);
    // And the recording step then drops the reading without a dialog.
    QCOMPARE(w.INDataToTable(1), kx::RecordOutcome::BadInterval);
    QCOMPARE(prompts.shown.size(), size_t(1));
    QVERIFY(w.cds1().empty());
  }

  void deleteDataAsksFirst() {
    kx::AppState state;
    FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    w.INDataToTable(1);
    prompts.answers = {false};
    w.ClearRClick();
    QCOMPARE(w.cds1().count(), size_t(1));
    QCOMPARE(state.RecordNo, 2);
    QCOMPARE(prompts.shown.back().caption, std::string("Confirm"));
    QCOMPARE(prompts.shown.back().text,
             std::string("Do you want to remove the current data and create a new data?"));
    prompts.answers = {true};
    w.ClearRClick();
    QVERIFY(w.cds1().empty());
    QCOMPARE(state.RecordNo, 1);
  }

  void unhandledErrorsAreReportedAndTheLoopGoesOn() {
    FakePrompts prompts;
    auto* app = static_cast<kx::KxApplication*>(QCoreApplication::instance());
    app->setErrorPrompts(&prompts);
    QObject target;
    bool ran = false;
    QMetaObject::invokeMethod(
        &target, [] { throw std::runtime_error("disk on fire"); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &target, [&] { ran = true; }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    app->setErrorPrompts(nullptr);
    QVERIFY(ran);
    QCOMPARE(prompts.shown.size(), size_t(1));
    QCOMPARE(prompts.shown[0].kind, std::string("error"));
    QCOMPARE(prompts.shown[0].text, std::string("disk on fire"));
  }
};

int main(int argc, char** argv) {
  kx::KxApplication app(argc, argv);
  MainWindowTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "main_window_test.moc"
