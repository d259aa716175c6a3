// The window with the simulated bridge: Connect, frames flow, the replica follows, records
// appear; Disconnect stops it; unplug and replug recover by themselves.

#include <QLabel>
#include <QTest>

#include "app/TFrmTest.h"
#include "app/widgets/PanelButton.h"
#include "link/SimBridge.h"
#include "tests/support/FakePrompts.h"

using namespace kx;

class LinkWindowTest : public QObject {
  Q_OBJECT

  struct Window {
    AppState state;
    test::FakePrompts prompts;
    link::SimBridge* sim = nullptr;
    std::unique_ptr<TFrmTest> w;
    explicit Window(std::unique_ptr<link::SimBridge> bridge = nullptr) {
      if (!bridge) bridge = std::make_unique<link::SimBridge>(link::makeDemoScenario());
      sim = bridge.get();
      sim->setFramePeriod(std::chrono::milliseconds(150));
      w = std::make_unique<TFrmTest>(state, &prompts, nullptr, std::move(bridge));
      w->setFramePauseMs(0);
    }
    PanelButton* panel2() const { return w->findChild<PanelButton*>("Panel2"); }
    void clickPanel2() { QTest::mouseClick(panel2(), Qt::LeftButton); }
  };

 private slots:
  void startsDisconnectedWithTheBridgeSelected() {
    Window win;
    QCOMPARE(win.panel2()->text(), QString("Connect"));
    QVERIFY(!win.w->timer2().isActive());
    QCOMPARE(win.w->linkControl().model().ItemIndex, 0);
    QCOMPARE(win.w->linkControl().model().DevListBox.at(0).text, std::string("USB to Serial"));
    QVERIFY(!win.sim->sending());
  }

  void connectMakesFramesFlowAndRecordsAppear() {
    Window win;
    win.clickPanel2();
    QCOMPARE(win.panel2()->text(), QString("Disconnect"));
    QVERIFY(win.sim->sending());
    QTRY_VERIFY_WITH_TIMEOUT(win.w->cds1().count() >= 3, 30000);
    QVERIFY(win.w->timer2().isActive());
    QVERIFY(win.prompts.shown.empty());
    // The first demo frames are DC volts: the replica shows the DC sign and the unit V.
    QCOMPARE(win.state.UnitText, std::string("V"));
    const auto no0 = win.w->cds1().no(0);
    QVERIFY(no0.has_value());
    QCOMPARE(*no0, 1);

    win.clickPanel2();  // Disconnect
    QCOMPARE(win.panel2()->text(), QString("Connect"));
    QVERIFY(!win.w->timer2().isActive());
    QVERIFY(!win.w->linkControl().model().USBCon);
    const std::size_t rows = win.w->cds1().count();
    QTest::qWait(400);
    QCOMPARE(win.w->cds1().count(), rows);
  }

  void unplugAndReplugRecoverWithoutAClick() {
    Window win;
    win.clickPanel2();
    QTRY_VERIFY_WITH_TIMEOUT(win.w->cds1().count() >= 1, 30000);
    win.sim->unplug();
    QCOMPARE(win.w->linkControl().model().ItemIndex, -1);
    QTest::qWait(300);
    win.sim->plug();
    const std::size_t rows = win.w->cds1().count();
    // The watchdog brings the link up again on the new device object within two ticks.
    QTRY_VERIFY_WITH_TIMEOUT(win.w->cds1().count() > rows + 2, 30000);
    QCOMPARE(win.panel2()->text(), QString("Disconnect"));
    QVERIFY(win.prompts.shown.empty());
  }

  void connectWithoutABridgeSaysSo() {
    Window win;
    win.sim->unplug();
    win.clickPanel2();
    QCOMPARE(win.prompts.shown.size(), std::size_t(1));
    QCOMPARE(win.prompts.shown[0].caption, std::string("Information"));
    QCOMPARE(win.prompts.shown[0].text, std::string(link::kNotConnectedMessage));
    QCOMPARE(win.panel2()->text(), QString("Connect"));
  }

  void closingWhileConnectedEndsTheReadThread() {
    // The window goes while reports are flowing: the read thread must be gone first.
    auto win = std::make_unique<Window>();
    win->clickPanel2();
    QTRY_VERIFY_WITH_TIMEOUT(win->w->cds1().count() >= 1, 30000);
    win->w.reset();
    QTest::qWait(50);
    QVERIFY(win->state.FrameBuffer.size() <= 65536);
  }
};

QTEST_MAIN(LinkWindowTest)
#include "link_window_test.moc"
