// The link under faults, with real read threads: the simulated bridge unplugged mid-frame,
// device changes in a row, read errors, garbage, a rejected set-up report, no read/write
// access, and Disconnect while a report is being handed over. Also run under ThreadSanitizer.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <set>

#include "FakeHid.h"
#include "link/FrameAssembler.h"
#include "link/ReadChannel.h"
#include "link/SimBridge.h"
#include "tests/support/FakePrompts.h"

namespace kx::link {
namespace {

using namespace std::chrono_literals;
using test::FakeController;
using test::FakeSpec;
using test::ManualWatchdog;

// Runs the event loop until `done` holds; false if it does not within a generous limit.
template <typename P>
bool waitFor(P done, int limitMs = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

// Keeps the event loop going for a while (the links's threads keep running meanwhile).
void spin(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
}

const std::vector<std::string> kFrames = {
    "00000001000000000000E3A7DFB510000000000F0D0A",
    "F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0A",
};

struct SimLink {
  SimBridge* sim;  // owned by hid
  std::unique_ptr<SimBridge> hid;
  ManualWatchdog timer2;
  kx::test::FakePrompts prompts;
  AppState state;
  std::vector<std::string> frames;  // as handed to the decoder
  LinkController ctl{*hid, timer2, prompts,
                     [this](HidDevice&, std::uint8_t id, const std::uint8_t* d, std::uint16_t n) {
                       takeReport(state, id, d, n, [this](const std::string& f) {
                         timer2.restart();
                         frames.push_back(f);
                       });
                       return 0ms;
                     }};

  SimLink() : hid(std::make_unique<SimBridge>(std::make_unique<FrameList>(kFrames))) {
    sim = hid.get();
    sim->setFramePeriod(120ms);
    timer2.attach(&ctl);
    hid->setDeviceChangeHandler([this] { ctl.HidCtlDeviceChange(); });
  }
  ~SimLink() { ctl.shutDown(); }
  void tick() { timer2.advanceTo(timer2.now() + 1000); }
  // Every frame handed on is one the meter sent (its first 44 characters).
  bool allFramesGood() const {
    const std::set<std::string> sent(kFrames.begin(), kFrames.end());
    for (const auto& f : frames)
      if (!sent.count(f.substr(0, 44))) return false;
    return true;
  }
  bool framesArrive(std::size_t more = 3) {
    const std::size_t n = frames.size();
    return waitFor([&] { return frames.size() >= n + more; });
  }
  // The watchdog brings the link back within two ticks once frames return.
  bool recoversWithinTwoTicks() {
    for (int i = 0; i <= 2; ++i) {
      const auto& m = ctl.model();
      HidDevice* d = m.ItemIndex >= 0 ? m.DevListBox[m.ItemIndex].device : nullptr;
      if (m.USBCon && d && d->hasDataHandler()) return framesArrive();
      if (i < 2) tick();
    }
    return false;
  }
};

TEST(LinkFaults, FramesFlowAfterConnect) {
  SimLink link;
  link.ctl.Panel2Click();
  ASSERT_TRUE(link.framesArrive(5));
  EXPECT_TRUE(link.allFramesGood());
  EXPECT_TRUE(link.timer2.enabled());
  ASSERT_FALSE(link.sim->featureReports().empty());
  EXPECT_EQ(link.sim->featureReports()[0].size(), 10u);
}

TEST(LinkFaults, UnplugMidFrameThenReplugRecovers) {
  SimLink link;
  link.ctl.Panel2Click();
  ASSERT_TRUE(link.framesArrive());
  ASSERT_TRUE(waitFor([&] { return link.state.FrameInProgress; }));
  link.sim->unplug();
  EXPECT_EQ(link.ctl.model().ItemIndex, -1);
  spin(50);
  link.sim->plug();
  EXPECT_EQ(link.ctl.model().ItemIndex, 0);
  EXPECT_TRUE(link.recoversWithinTwoTicks());
  EXPECT_TRUE(link.allFramesGood());
}

TEST(LinkFaults, AThousandDeviceChangesWhileConnected) {
  SimLink link;
  link.ctl.Panel2Click();
  ASSERT_TRUE(link.framesArrive());
  for (int i = 0; i < 1000; ++i) {
    link.sim->plugOther(i % 2 == 0);
    if (i % 50 == 0) QCoreApplication::processEvents();
  }
  EXPECT_EQ(link.ctl.model().DevListBox.size(), 1u);
  EXPECT_TRUE(link.ctl.model().USBCon);
  EXPECT_TRUE(link.recoversWithinTwoTicks());
  EXPECT_TRUE(link.allFramesGood());
}

TEST(LinkFaults, ReadErrorsAreSilentAndTheLinkRecovers) {
  SimLink link;
  link.ctl.Panel2Click();
  ASSERT_TRUE(link.framesArrive());
  link.sim->setReadErrors(true);
  spin(50);
  const std::size_t during = link.frames.size();
  spin(200);
  EXPECT_EQ(link.frames.size(), during);
  link.tick();
  link.tick();
  link.sim->setReadErrors(false);
  EXPECT_TRUE(link.recoversWithinTwoTicks());
  EXPECT_TRUE(link.prompts.shown.empty());
}

TEST(LinkFaults, GarbageStormThenRegularFrames) {
  SimLink link;
  link.ctl.Panel2Click();
  ASSERT_TRUE(link.framesArrive());
  link.sim->setFault(SimLine::Fault::Garbage);
  spin(300);
  link.sim->setFault(SimLine::Fault::None);
  link.tick();
  EXPECT_TRUE(link.recoversWithinTwoTicks());
  EXPECT_LE(link.state.FrameBuffer.size(), kFrameBufferLimit);
}

TEST(LinkFaults, BrokenFramesAreDropped) {
  SimLink link;
  link.sim->setFault(SimLine::Fault::Broken);
  link.ctl.Panel2Click();
  spin(400);
  EXPECT_TRUE(link.allFramesGood()) << "a cut or damaged frame was handed on";
  link.sim->setFault(SimLine::Fault::None);
  link.ctl.Panel2Click();
  link.ctl.Panel2Click();
  EXPECT_TRUE(link.framesArrive());
}

TEST(LinkFaults, RejectedSetUpReportLeavesTheLinkAttachedButSilent) {
  SimLink link;
  link.sim->setFeatureAnswer(SimBridge::FeatureAnswer::Reject);
  link.ctl.Panel2Click();
  EXPECT_EQ(link.ctl.model().Panel2Caption, "Disconnect");
  const auto reports = link.sim->featureReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].size(), 10u);
  EXPECT_EQ(reports[1].size(), 6u);
  spin(200);
  EXPECT_TRUE(link.frames.empty());
  // A chip that takes only the short form starts sending after the retry.
  link.sim->setFeatureAnswer(SimBridge::FeatureAnswer::AcceptShortOnly);
  link.ctl.Panel2Click();
  link.ctl.Panel2Click();
  EXPECT_TRUE(link.framesArrive());
}

TEST(LinkFaults, NoReadWriteAccessKeepsTheLinkDown) {
  SimLink link;
  link.sim->setReadWriteAccess(false);
  link.sim->unplug();
  link.sim->plug();
  link.ctl.Panel2Click();
  EXPECT_EQ(link.ctl.model().Panel2Caption, "Connect");
  EXPECT_FALSE(link.ctl.model().USBCon);
  EXPECT_TRUE(link.prompts.shown.empty());
  ASSERT_NE(link.ctl.SelectedDevice(), nullptr);
  EXPECT_FALSE(link.ctl.SelectedDevice()->readThreadRunning());
}

TEST(LinkFaults, DisconnectAndReconnectManyTimesWhileReportsFlow) {
  SimLink link;
  for (int i = 0; i < 50; ++i) {
    link.ctl.Panel2Click();
    spin(i % 5);
    link.ctl.Panel2Click();
    ASSERT_EQ(link.ctl.model().Panel2Caption, "Connect");
    ASSERT_FALSE(link.timer2.enabled());
  }
  const std::size_t n = link.frames.size();
  spin(200);
  EXPECT_EQ(link.frames.size(), n) << "a report arrived after Disconnect";
}

// A source that hands out one regular frame as single-byte reports, then holds the closing
// report back until the test lets it go.
class GatedSource : public ReportSource {
 public:
  explicit GatedSource(std::atomic<bool>& gate) : gate_(gate) {}
  Result read(InputReport& out, std::chrono::milliseconds timeout) override {
    out.reportId = 0;
    if (sent_ < 22) {
      const std::uint8_t b = sent_ == 20 ? 0x0D : sent_ == 21 ? 0x0A : 0x00;
      out.data = {0xF1, b, 0, 0, 0, 0, 0, 0};
      ++sent_;
      return Result::Report;
    }
    if (sent_ == 22 && gate_.load()) {
      out.data = {0xF0, 0, 0, 0, 0, 0, 0, 0};
      ++sent_;
      return Result::Report;
    }
    std::this_thread::sleep_for(std::min(timeout, std::chrono::milliseconds(5)));
    return Result::Timeout;
  }

 private:
  std::atomic<bool>& gate_;
  int sent_ = 0;
};

TEST(LinkFaults, DisconnectWhileALastFrameIsHandedOverStaysDisconnected) {
  std::atomic<bool> gate{false};
  FakeController hid;
  ManualWatchdog timer2;
  kx::test::FakePrompts prompts;
  AppState state;
  int frames = 0;
  LinkController ctl(hid, timer2, prompts,
                     [&](HidDevice&, std::uint8_t id, const std::uint8_t* d, std::uint16_t n) {
                       takeReport(state, id, d, n, [&](const std::string&) {
                         timer2.restart();
                         ++frames;
                       });
                       return 0ms;
                     });
  FakeSpec spec;
  spec.source = [&gate] { return std::make_unique<GatedSource>(gate); };
  hid.setDevices({spec});
  hid.setDeviceChangeHandler([&] { ctl.HidCtlDeviceChange(); });

  ctl.Panel2Click();
  ASSERT_TRUE(waitFor([&] { return state.FrameBuffer.size() == 44; }));
  HidDevice* dev = ctl.SelectedDevice();
  ASSERT_NE(dev, nullptr);
  // Let the closing report go and wait, without running the event loop, until the thread has
  // handed it over.
  gate = true;
  QElapsedTimer t;
  t.start();
  while (!dev->handOverPending() && t.elapsed() < 10000) QThread::msleep(1);
  ASSERT_TRUE(dev->handOverPending());

  ctl.Panel2Click();  // Disconnect: the pending report completes the frame inside this call
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(ctl.model().Panel2Caption, "Connect");
  EXPECT_FALSE(ctl.model().USBCon);
  EXPECT_FALSE(timer2.enabled()) << "the last frame's restart undid the Disconnect";
  EXPECT_FALSE(dev->readThreadRunning());
  timer2.advanceTo(5000);
  EXPECT_EQ(timer2.ticks, 0);
  ctl.shutDown();
}

TEST(LinkFaults, ClearingTheHandlerFromInsideItsOwnHandOverDoesNotDeadlock) {
  // The handler runs a nested event loop (as a message box does) in which the link is taken
  // down; the thread must end once that hand-over returns, and nothing arrives afterwards.
  std::atomic<bool> gate{true};
  FakeController hid;
  FakeSpec spec;
  spec.source = [&gate] { return std::make_unique<GatedSource>(gate); };
  hid.setDevices({spec});
  HidDevice* dev = hid.claim(0);
  ASSERT_NE(dev, nullptr);
  int calls = 0;
  int afterClear = 0;
  bool cleared = false;
  dev->setDataHandler([&](HidDevice& d, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    ++calls;
    if (cleared) ++afterClear;
    if (calls == 3) {
      d.clearDataHandler();
      cleared = true;
    }
    return 0ms;
  });
  ASSERT_TRUE(waitFor([&] { return calls >= 3; }));
  spin(100);
  EXPECT_EQ(afterClear, 0);
  EXPECT_FALSE(dev->readThreadRunning());
  hid.release(dev);
}

TEST(LinkFaults, ThePauseAfterAFrameEndsAtOnceOnAStop) {
  // A handler that asks for a very long pause after every report; clearing it must not wait.
  std::atomic<bool> gate{true};
  FakeController hid;
  FakeSpec spec;
  spec.source = [&gate] { return std::make_unique<GatedSource>(gate); };
  hid.setDevices({spec});
  HidDevice* dev = hid.claim(0);
  int calls = 0;
  dev->setDataHandler([&](HidDevice&, std::uint8_t, const std::uint8_t*, std::uint16_t) {
    ++calls;
    return std::chrono::milliseconds(std::chrono::hours(1));
  });
  ASSERT_TRUE(waitFor([&] { return calls == 1; }));
  spin(50);
  EXPECT_EQ(calls, 1) << "the next report was read during the pause";
  dev->clearDataHandler();  // would hang for an hour if the stop did not end the pause
  EXPECT_FALSE(dev->readThreadRunning());
  hid.release(dev);
}

}  // namespace
}  // namespace kx::link

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
