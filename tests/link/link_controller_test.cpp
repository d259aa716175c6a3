// Device discovery, the connection states and the link watchdog over time, on fake devices and
// a test clock.

#include <gtest/gtest.h>

#include "FakeHid.h"
#include "link/FrameAssembler.h"
#include "tests/support/FakePrompts.h"

namespace kx::link {
namespace {

using namespace std::chrono_literals;
using test::FakeController;
using test::FakeDevice;
using test::FakeSpec;
using test::ManualWatchdog;
using Bytes = std::vector<std::uint8_t>;

// The window's link in miniature: the reassembly as data handler, and the decoder's watchdog
// restart for every frame handed on.
struct Link {
  FakeController hid;
  ManualWatchdog timer2;
  kx::test::FakePrompts prompts;
  AppState state;
  int frames = 0;
  LinkController ctl{hid, timer2, prompts,
                     [this](HidDevice&, std::uint8_t id, const std::uint8_t* d, std::uint16_t n) {
                       takeReport(state, id, d, n, [this](const std::string&) {
                         timer2.restart();
                         ++frames;
                       });
                       return 0ms;
                     }};

  explicit Link(const std::vector<FakeSpec>& specs) {
    hid.setDevices(specs);
    timer2.attach(&ctl);
    hid.setDeviceChangeHandler([this] { ctl.HidCtlDeviceChange(); });
  }
  FakeDevice* selected() const {
    const auto& m = ctl.model();
    if (m.ItemIndex < 0) return nullptr;
    return static_cast<FakeDevice*>(m.DevListBox[m.ItemIndex].device);
  }
  // One regular frame from the meter, as single-byte reports and a closing report.
  bool sendFrame() {
    FakeDevice* d = selected();
    if (!d) return false;
    bool ok = true;
    for (int i = 0; i < 22; ++i) {
      const std::uint8_t b = i == 20 ? 0x0D : i == 21 ? 0x0A : 0x00;
      ok = d->deliver({0xF1, b, 0, 0, 0, 0, 0, 0}) && ok;
    }
    return d->deliver({0xF0, 0, 0, 0, 0, 0, 0, 0}) && ok;
  }
  bool attached() const { return selected() && selected()->hasDataHandler(); }
  std::size_t sent() const { return selected() ? selected()->features.size() : 0; }
};

FakeSpec bridge() {
  return {};
}
FakeSpec named(std::wstring product, std::wstring serial = L"") {
  FakeSpec s;
  s.product = std::move(product);
  s.serial = std::move(serial);
  return s;
}

// --- discovery ---

struct DiscoveryCase {
  const char* description;
  std::vector<FakeSpec> devices;
  std::vector<std::string> texts;
  int selected;
};

class Discovery : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(Discovery, ListsAndChoosesTheBridge) {
  const DiscoveryCase& c = GetParam();
  SCOPED_TRACE(c.description);
  Link link(c.devices);
  std::vector<std::string> texts;
  for (const auto& e : link.ctl.model().DevListBox) texts.push_back(e.text);
  EXPECT_EQ(texts, c.texts);
  EXPECT_EQ(link.ctl.model().ItemIndex, c.selected);
}

FakeSpec noName() {
  FakeSpec s;
  s.product = L"";
  s.vid = 0x0001;
  s.pid = 0x00A2;
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Discovery,
    ::testing::Values(DiscoveryCase{"no device", {}, {}, -1},
                      DiscoveryCase{"the bridge alone", {bridge()}, {"USB to Serial"}, 0},
                      DiscoveryCase{"two bridges: the later one",
                                    {bridge(), named(L"Mouse"), bridge()},
                                    {"USB to Serial", "Mouse", "USB to Serial"},
                                    2},
                      DiscoveryCase{
                          "no product string", {noName()}, {"Device VID=0001 PID=00A2"}, -1},
                      DiscoveryCase{"a serial number keeps it from being chosen",
                                    {named(L"USB to Serial", L"A1B2")},
                                    {"USB to Serial (Serial=A1B2)"},
                                    -1},
                      DiscoveryCase{"letter case and a trailing blank count",
                                    {named(L"USB to serial"), named(L"USB to Serial ")},
                                    {"USB to serial", "USB to Serial "},
                                    -1}),
    [](const ::testing::TestParamInfo<DiscoveryCase>& p) {
      return "case" + std::to_string(p.index);
    });

// --- connecting ---

struct ConnectCase {
  const char* description;
  std::vector<FakeSpec> devices;
  std::string caption;
  bool linkUp;
  bool attached;
  std::size_t messages;
  std::vector<std::size_t> featureLengths;  // on the selected device
};

class Connect : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(Connect, ReachesItsState) {
  const ConnectCase& c = GetParam();
  SCOPED_TRACE(c.description);
  Link link(c.devices);
  link.ctl.Panel2Click();
  EXPECT_EQ(link.ctl.model().Panel2Caption, c.caption);
  EXPECT_EQ(link.ctl.model().USBCon, c.linkUp);
  EXPECT_EQ(link.attached(), c.attached);
  EXPECT_FALSE(link.timer2.enabled()) << "the watchdog waits for the first frame";
  ASSERT_EQ(link.prompts.shown.size(), c.messages);
  for (const auto& m : link.prompts.shown) {
    EXPECT_EQ(m.kind, "information");
    EXPECT_EQ(m.caption, "Information");
    EXPECT_EQ(m.text, kNotConnectedMessage);
  }
  std::vector<std::size_t> lengths;
  if (link.selected())
    for (const auto& f : link.selected()->features) lengths.push_back(f.size());
  EXPECT_EQ(lengths, c.featureLengths);
  if (!lengths.empty()) {
    EXPECT_EQ(link.selected()->features[0], Bytes(kSetUpReport, kSetUpReport + 10));
  }
}

FakeSpec noAccess() {
  FakeSpec s;
  s.access = false;
  return s;
}
FakeSpec shortOnly() {
  FakeSpec s;
  s.acceptLong = false;
  return s;
}
FakeSpec rejecting() {
  FakeSpec s;
  s.acceptLong = s.acceptShort = false;
  return s;
}
FakeSpec unclaimable() {
  FakeSpec s;
  s.claimable = false;
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Connect,
    ::testing::Values(
        ConnectCase{"bridge present: waiting", {bridge()}, "Disconnect", true, true, 0, {10}},
        ConnectCase{"no HID device: one message", {}, "Connect", false, false, 1, {}},
        ConnectCase{
            "only other devices: one message", {named(L"Mouse")}, "Connect", false, false, 1, {}},
        ConnectCase{"bridge without read/write access: silently down",
                    {noAccess()},
                    "Connect",
                    false,
                    false,
                    0,
                    {10}},
        ConnectCase{"long set-up refused: the short form once more, link up",
                    {shortOnly()},
                    "Disconnect",
                    true,
                    true,
                    0,
                    {10, 6}},
        ConnectCase{"set-up rejected outright: still attached",
                    {rejecting()},
                    "Disconnect",
                    true,
                    true,
                    0,
                    {10, 6}},
        ConnectCase{
            "claim failed: counts as no device", {unclaimable()}, "Connect", false, false, 1, {}}),
    [](const ::testing::TestParamInfo<ConnectCase>& p) {
      return "case" + std::to_string(p.index);
    });

TEST(Connect, ClaimFailedBridgeGetsNothingSent) {
  Link link({unclaimable()});
  link.ctl.Panel2Click();
  bool sentAny = false;
  link.hid.enumerate([&](HidDevice& d, int) {
    sentAny = sentAny || !static_cast<FakeDevice&>(d).features.empty();
    return true;
  });
  EXPECT_FALSE(sentAny);
}

// --- the watchdog over time ---

TEST(Watchdog, TogglesOnceASecondAfterTheLastFrameAndRecoversOnTheFirstNew) {
  Link link({bridge()});
  link.ctl.Panel2Click();  // t = 0: waiting
  link.timer2.advanceTo(5000);
  EXPECT_EQ(link.timer2.ticks, 0) << "no tick before the first frame";

  ASSERT_TRUE(link.sendFrame());  // t = 5000: connected
  EXPECT_TRUE(link.timer2.enabled());
  const std::size_t sentAtFrame = link.sent();

  struct Step {
    long t;
    bool up;
    bool attached;
    std::size_t sentSinceFrame;
  };
  const Step steps[] = {
      {5999, true, true, 0}, {6000, false, false, 1}, {6999, false, false, 1},
      {7000, true, true, 2}, {8000, false, false, 3}, {9000, true, true, 4},
  };
  for (const Step& s : steps) {
    link.timer2.advanceTo(s.t);
    SCOPED_TRACE(s.t);
    EXPECT_EQ(link.ctl.model().USBCon, s.up);
    EXPECT_EQ(link.attached(), s.attached);
    EXPECT_EQ(link.sent() - sentAtFrame, s.sentSinceFrame);
    EXPECT_EQ(link.ctl.model().Panel2Caption, "Disconnect");
  }
  // A frame during an up second restarts the count from that frame.
  link.timer2.advanceTo(9400);
  ASSERT_TRUE(link.sendFrame());
  link.timer2.advanceTo(10399);
  EXPECT_TRUE(link.ctl.model().USBCon);
  link.timer2.advanceTo(10400);
  EXPECT_FALSE(link.ctl.model().USBCon);
  EXPECT_TRUE(link.prompts.shown.empty());
  EXPECT_EQ(link.frames, 2);
}

TEST(Watchdog, FramesDuringADownSecondAreLostUntilTheNextUpTick) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  link.timer2.advanceTo(1000);  // down
  EXPECT_FALSE(link.sendFrame()) << "no handler while the link is down";
  link.timer2.advanceTo(2000);  // up again
  EXPECT_TRUE(link.sendFrame());
  EXPECT_EQ(link.frames, 2);
}

TEST(Watchdog, TicksWithNoDeviceOnlyInvertTheLinkState) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  link.hid.setDevices({});  // unplugged while connected
  EXPECT_EQ(link.ctl.model().ItemIndex, -1);
  EXPECT_TRUE(link.ctl.model().USBCon);
  link.timer2.advanceTo(1000);
  EXPECT_FALSE(link.ctl.model().USBCon);
  link.timer2.advanceTo(2000);
  EXPECT_TRUE(link.ctl.model().USBCon);
  EXPECT_TRUE(link.prompts.shown.empty()) << "no message from a tick";

  link.hid.setDevices({bridge()});  // plugged back in during an up second
  EXPECT_FALSE(link.attached()) << "a new device object has no handler yet";
  link.timer2.advanceTo(3000);  // down
  link.timer2.advanceTo(4000);  // up: attached to the new object
  EXPECT_TRUE(link.attached());
  EXPECT_TRUE(link.sendFrame());
}

TEST(Watchdog, ATickWithoutReadWriteAccessLeavesTheLinkDown) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  link.hid.setDevices({noAccess()});
  link.timer2.advanceTo(1000);  // up -> down
  link.timer2.advanceTo(2000);  // would come up; no access
  EXPECT_FALSE(link.ctl.model().USBCon);
  EXPECT_TRUE(link.timer2.enabled());
  link.timer2.advanceTo(3000);  // and ticking goes on: inverts to up, then down again
  EXPECT_FALSE(link.ctl.model().USBCon);
  EXPECT_EQ(link.timer2.ticks, 3);
}

// --- disconnecting and device changes ---

TEST(Disconnect, WhileFramesArriveSendsTheSetUpOnceMoreAndStopsTheWatchdog) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  const std::size_t before = link.sent();
  link.ctl.Panel2Click();
  EXPECT_EQ(link.ctl.model().Panel2Caption, "Connect");
  EXPECT_FALSE(link.ctl.model().USBCon);
  EXPECT_FALSE(link.attached());
  EXPECT_FALSE(link.timer2.enabled());
  EXPECT_EQ(link.sent(), before + 1);
  link.timer2.advanceTo(10000);
  EXPECT_EQ(link.timer2.ticks, 0);
}

TEST(Disconnect, DuringADownSecondRunsNoToggle) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  link.timer2.advanceTo(1000);  // down
  const std::size_t before = link.sent();
  link.ctl.Panel2Click();
  EXPECT_EQ(link.ctl.model().Panel2Caption, "Connect");
  EXPECT_FALSE(link.ctl.model().USBCon);
  EXPECT_EQ(link.sent(), before);
  link.timer2.advanceTo(10000);
  EXPECT_EQ(link.timer2.ticks, 1);
}

TEST(Disconnect, ThenConnectAgainComesUp) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.ctl.Panel2Click();
  link.ctl.Panel2Click();
  EXPECT_EQ(link.ctl.model().Panel2Caption, "Disconnect");
  EXPECT_TRUE(link.attached());
}

TEST(DeviceChange, WhileConnectedDetachesAndTheWatchdogReattachesWithinTwoTicks) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  link.hid.setDevices({named(L"Keyboard"), bridge()});
  EXPECT_EQ(link.ctl.model().ItemIndex, 1);
  EXPECT_TRUE(link.ctl.model().USBCon) << "the link state is not touched";
  EXPECT_FALSE(link.attached());
  link.timer2.advanceTo(2000);
  EXPECT_TRUE(link.attached());
  EXPECT_TRUE(link.sendFrame());
}

TEST(DeviceChange, WhileWaitingNoDataUntilReconnect) {
  Link link({bridge()});
  link.ctl.Panel2Click();  // waiting: watchdog off
  link.hid.setDevices({named(L"Keyboard"), bridge()});
  link.timer2.advanceTo(10000);
  EXPECT_FALSE(link.attached());
  EXPECT_EQ(link.ctl.model().Panel2Caption, "Disconnect");
  link.ctl.Panel2Click();
  link.ctl.Panel2Click();
  EXPECT_TRUE(link.attached());
}

TEST(DeviceChange, AThousandInARowWhileConnectedLeaveOneWorkingLink) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  for (int i = 0; i < 1000; ++i)
    link.hid.setDevices(i % 2 ? std::vector<FakeSpec>{bridge()}
                              : std::vector<FakeSpec>{named(L"Keyboard"), bridge()});
  EXPECT_EQ(link.ctl.model().DevListBox.size(), 1u);
  link.timer2.advanceTo(2000);
  EXPECT_TRUE(link.attached());
  EXPECT_TRUE(link.sendFrame());
  EXPECT_EQ(link.frames, 2);
}

TEST(DeviceChange, UnplugMidFrameLeavesNoStrayFrame) {
  Link link({bridge()});
  link.ctl.Panel2Click();
  link.sendFrame();
  for (int i = 0; i < 10; ++i) link.selected()->deliver({0xF1, 0x11, 0, 0, 0, 0, 0, 0});
  link.hid.setDevices({});
  link.hid.setDevices({bridge()});
  link.timer2.advanceTo(2000);  // reattached
  ASSERT_TRUE(link.attached());
  // The ten old bytes join the first frame, which is dropped; the next is whole.
  link.sendFrame();
  EXPECT_EQ(link.frames, 1);
  link.sendFrame();
  EXPECT_EQ(link.frames, 2);
}

// --- the controller itself ---

TEST(Controller, RaisesADeviceChangeOnlyWhenTheSetOfDevicesChanged) {
  FakeController hid;
  int changes = 0;
  hid.setDeviceChangeHandler([&] { ++changes; });
  EXPECT_EQ(changes, 1) << "raised once when the handler is attached";
  hid.setDevices({bridge()}, {"a"});
  hid.setDevices({bridge()}, {"a"});
  EXPECT_EQ(changes, 2);
  hid.setDevices({bridge(), named(L"Mouse")}, {"a", "b"});
  hid.setDevices({named(L"Mouse")}, {"b"});
  EXPECT_EQ(changes, 4);
}

TEST(Controller, ClaimIsExclusiveAndAGoneDevicesObjectLivesUntilReleased) {
  FakeController hid;
  hid.setDevices({bridge()});
  HidDevice* d = hid.claim(0);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(hid.claim(0), nullptr) << "already claimed";
  EXPECT_EQ(hid.claim(1), nullptr) << "out of range";
  EXPECT_EQ(hid.claim(-1), nullptr);
  hid.setDevices({});  // unplugged while claimed
  EXPECT_EQ(d->productName(), L"USB to Serial");
  EXPECT_TRUE(static_cast<FakeDevice*>(d)->sendFeatureReport(kSetUpReport, 10));
  hid.release(d);
  EXPECT_EQ(hid.deviceCount(), 0);
}

}  // namespace
}  // namespace kx::link
