// The replica in the main window: ShowDataTarn decodes with the window's decimal symbol,
// restarts the watchdog through the link's hook, records readings and redraws Panel4.

#include <QtTest/QtTest>

#include "app/TFrmTest.h"
#include "lcd/LcdPanel.h"
#include "lcd/LcdWidgets.h"
#include "tests/support/FakePrompts.h"

using kx::lcd::Element;

class LcdWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void panel4IsTheReplicaInItsDesignState() {
    kx::AppState state;
    kx::test::FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    auto* panel = w.findChild<kx::lcd::LcdPanel*>(QStringLiteral("Panel4"));
    QVERIFY(panel);
    QCOMPARE(panel->geometry(), QRect(2, 30, 615, 289));
    QCOMPARE(w.lcdPanel(), panel);
    w.show();
    QVERIFY(panel->element(Element::LabelA)->isVisible());
    QVERIFY(panel->element(Element::CONokN)->isVisible());
    QVERIFY(!panel->element(Element::CONok)->isVisible());
    QCOMPARE(w.framePauseMs(), 500);
  }

  void framesReachTheReplicaTheHooksAndTheRecords() {
    kx::AppState state;
    kx::test::FakePrompts prompts;
    kx::TFrmTest w(state, &prompts);
    w.setFramePauseMs(0);
    int restarts = 0;
    w.Timer2Restart = [&restarts] { ++restarts; };
    w.show();
    const size_t before = w.cds1().count();

    auto r = w.ShowDataTarn("00000001000000000000E3A7DFB510000000000F0D0A");
    QVERIFY(r.accepted);
    QVERIFY(r.handoff);
    QCOMPARE(r.pauseMs, 0);
    QCOMPARE(restarts, 1);
    QCOMPARE(w.cds1().count(), before + 1);
    const std::string expected = "230" + w.SystemDecimalSeparator() + "5";
    QCOMPARE(state.ReadingText, expected);
    auto* panel = w.lcdPanel();
    QVERIFY(!panel->element(Element::KD)->isVisible());
    QVERIFY(panel->element(Element::labdc)->isVisible());
    QCOMPARE(static_cast<kx::lcd::LcdLabel*>(panel->element(Element::LabelA))->caption(),
             QStringLiteral("2"));

    // A broken terminator: the watchdog restarts, nothing is recorded.
    r = w.ShowDataTarn("00000001000000000000E3A7DFB510000000000F0D0B");
    QVERIFY(!r.accepted);
    QCOMPARE(restarts, 2);
    QCOMPARE(w.cds1().count(), before + 1);
    QVERIFY(panel->element(Element::labdc)->isVisible());

    // A text with a foreign character changes nothing at all.
    r = w.ShowDataTarn("zz");
    QVERIFY(r.rejected);
    QCOMPARE(restarts, 2);

    w.DispInit(false);
    QVERIFY(!panel->element(Element::labdc)->isVisible());
    QVERIFY(!w.lcdModel().visible(Element::labdc));
  }
};

QTEST_MAIN(LcdWindowTest)
#include "lcd_window_test.moc"
