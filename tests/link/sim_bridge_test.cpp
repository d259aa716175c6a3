// The simulated bridge and meter: the report layout and pacing of the bridge chips, the queue
// that drops the oldest, the set-up gating, frame files, the demo scenario against the decoder;
// and the hidapi backend's pure parts (report-ID translation, descriptor scan).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>

#include "lcd/FrameDecoder.h"
#include "lcd/LcdModel.h"
#include "link/FrameAssembler.h"
#include "link/HidapiBackend.h"
#include "link/SimBridge.h"

namespace kx::link {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kFrameA = "00000001000000000000E3A7DFB510000000000F0D0A";

std::vector<SimLine::Report> drain(SimLine& line) {
  std::vector<SimLine::Report> out;
  while (line.hasReport()) out.push_back(line.takeReport());
  return out;
}

TEST(SimLine, SendsNothingBeforeTheSetUpReport) {
  FrameList frames({kFrameA});
  SimLine line(&frames);
  line.advanceTo(Clock::now() + 5s);
  EXPECT_FALSE(line.hasReport());
}

TEST(SimLine, ReportsCarryTheFrameAsTheChipsDo) {
  FrameList frames({kFrameA});
  SimLine line(&frames);
  const auto t0 = Clock::time_point{} + 1h;
  line.start(t0);
  line.setFramePeriod(1000ms);
  line.advanceTo(t0 + 300ms);
  const auto reports = drain(line);
  AppState state;
  std::vector<std::string> handed;
  std::size_t serialBytes = 0, idle = 0;
  for (const auto& r : reports) {
    ASSERT_EQ(r[0] & 0xF0, 0xF0) << "high digit of byte 0 is F";
    const int n = r[0] & 0x0F;
    ASSERT_LE(n, 7);
    serialBytes += n;
    if (n == 0) ++idle;
    for (int i = 1 + n; i < 8; ++i) EXPECT_EQ(r[i], 0) << "unused bytes are zero";
    takeReport(state, 0, r.data(), 8, [&](const std::string& f) { handed.push_back(f); });
  }
  EXPECT_EQ(serialBytes, 22u);
  EXPECT_EQ(handed, std::vector<std::string>{kFrameA});
  // 22 bytes at 2400 baud take about 92 ms; the rest of the 300 ms are idle reports about
  // every 12 ms.
  EXPECT_GE(idle, 15u);
  EXPECT_LE(idle, 20u);
}

TEST(SimLine, BytesArriveNoFasterThanTheLine) {
  FrameList frames({kFrameA});
  SimLine line(&frames);
  const auto t0 = Clock::time_point{} + 1h;
  line.start(t0);
  // The meter starts after a gap; 50 ms on, about 12 byte times have passed.
  line.advanceTo(t0 + SimLine::kIdleEvery + 2 * SimLine::kPoll + 50ms);
  std::size_t bytes = 0;
  for (const auto& r : drain(line)) bytes += r[0] & 0x0F;
  EXPECT_GE(bytes, 10u);
  EXPECT_LE(bytes, 12u);
}

TEST(SimLine, AReaderFallingBehindFindsTheLast64Reports) {
  FrameList frames({kFrameA});
  SimLine line(&frames);
  const auto t0 = Clock::time_point{} + 1h;
  line.start(t0);
  line.advanceTo(t0 + 1500ms);
  EXPECT_EQ(drain(line).size(), SimLine::kQueueLimit);
  EXPECT_GT(line.dropped(), 0u);
  // After a long absence the catch-up still leaves a full, current queue.
  line.advanceTo(t0 + 1h);
  EXPECT_EQ(drain(line).size(), SimLine::kQueueLimit);
}

TEST(SimLine, SilentMeterGivesOnlyIdleReports) {
  FrameList frames({kFrameA});
  SimLine line(&frames);
  const auto t0 = Clock::time_point{} + 1h;
  line.setSilent(true);
  line.start(t0);
  line.advanceTo(t0 + 500ms);
  const auto reports = drain(line);
  ASSERT_FALSE(reports.empty());
  for (const auto& r : reports) EXPECT_EQ(r[0], 0xF0);
}

TEST(SimBridge, ItsDeviceIsTheBridgeWithoutSerialNumber) {
  SimBridge sim(std::make_unique<FrameList>(std::vector<std::string>{kFrameA}));
  ASSERT_EQ(sim.deviceCount(), 1);
  sim.enumerate([](HidDevice& d, int) {
    EXPECT_EQ(d.productName(), L"USB to Serial");
    EXPECT_TRUE(d.serialNumber().empty());
    EXPECT_TRUE(d.hasReadWriteAccess());
    return true;
  });
  sim.plugOther(true);
  EXPECT_EQ(sim.deviceCount(), 2);
  sim.unplug();
  EXPECT_EQ(sim.deviceCount(), 1);
}

TEST(SimBridge, NeedsTheSetUpReportAgainAfterEachPlugIn) {
  SimBridge sim(std::make_unique<FrameList>(std::vector<std::string>{kFrameA}));
  const std::uint8_t setUp[10] = {0x00, 0x60, 0x09, 0x00, 0x00, 0x03, 0, 0, 0, 0};
  HidDevice* d = sim.claim(0);
  ASSERT_TRUE(d->sendFeatureReport(setUp, 10));
  EXPECT_TRUE(sim.sending());
  sim.release(d);
  sim.unplug();
  sim.plug();
  EXPECT_FALSE(sim.sending());
  HidDevice* fresh = sim.claim(0);
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->sendFeatureReport(setUp, 10));
  EXPECT_TRUE(sim.sending());
  sim.release(fresh);
}

// --- frame files ---

struct FileCase {
  const char* description;
  std::string content;
  bool ok;
};

class FrameFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(FrameFile, LoadsOrSaysWhy) {
  const FileCase& c = GetParam();
  SCOPED_TRACE(c.description);
  const std::string path = ::testing::TempDir() + "/frames.txt";
  std::ofstream(path, std::ios::binary) << c.content;
  std::string error;
  auto src = loadFrameFile(path, error);
  EXPECT_EQ(src != nullptr, c.ok) << error;
  if (c.ok) {
    EXPECT_EQ(src->nextFrame(), kFrameA);
  } else {
    EXPECT_FALSE(error.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameFile,
    ::testing::Values(FileCase{"one frame", kFrameA + "\n", true},
                      FileCase{"lower case, CRLF, blank lines",
                               "\r\n  00000001000000000000e3a7dfb510000000000f0d0a\r\n\r\n", true},
                      FileCase{"odd number of digits", "ABC\n", false},
                      FileCase{"not hex", kFrameA + "\nhello\n", false},
                      FileCase{"empty file", "", false},
                      FileCase{"an overlong line", std::string(600, 'A') + "\n", false}),
    [](const ::testing::TestParamInfo<FileCase>& p) { return "case" + std::to_string(p.index); });

TEST(FrameFile, MissingFileSaysSo) {
  std::string error;
  EXPECT_EQ(loadFrameFile("/nonexistent/frames.txt", error), nullptr);
  EXPECT_NE(error.find("/nonexistent/frames.txt"), std::string::npos);
}

// --- the demo scenario ---

TEST(DemoScenario, EveryFrameDecodesAndTheScenarioLightsEveryPartOfTheReplica) {
  const auto frames = demoScenarioFrames();
  ASSERT_FALSE(frames.empty());
  lcd::LcdModel model;
  AppState state;
  lcd::FrameDecoder decoder(model, state);
  decoder.setPauseMs(0);
  int records = 0;
  decoder.setRecordStep([&] { ++records; });
  std::vector<bool> seen(lcd::kElementCount, false);
  std::set<std::string> functions, remarks, units;
  for (const auto& f : frames) {
    ASSERT_EQ(f.size(), 44u);
    const lcd::DecodeResult r = decoder.ShowDataTarn(f);
    ASSERT_TRUE(r.accepted) << f;
    for (int e = 0; e < lcd::kElementCount; ++e)
      if (model.visible(static_cast<lcd::Element>(e))) seen[e] = true;
    functions.insert(state.FunctionText);
    remarks.insert(state.RemarkText);
    units.insert(state.UnitText);
  }
  for (int e = 0; e < lcd::kElementCount; ++e)
    EXPECT_TRUE(seen[e]) << lcd::elementName(static_cast<lcd::Element>(e)) << " never lit";
  EXPECT_GT(records, 0);
  for (const char* remark : {"Continuous", "Timed", "PI", "COMP:GOOD", "COMP:NG"})
    EXPECT_TRUE(remarks.count(remark)) << remark;
  for (const char* fn : {"DCV  600V", "ACV  600V"}) EXPECT_TRUE(functions.count(fn)) << fn;
  EXPECT_TRUE(units.count("V"));
  EXPECT_TRUE(units.count(std::string("M") + kOhm));
  EXPECT_TRUE(units.count(std::string("G") + kOhm));
}

// --- hidapi backend, pure parts ---

struct DeliveredCase {
  const char* description;
  bool numbered;
  std::vector<std::uint8_t> read;
  std::uint8_t reportId;
  std::vector<std::uint8_t> data;
};

class Delivered : public ::testing::TestWithParam<DeliveredCase> {};

TEST_P(Delivered, PutsTheReportIdFirst) {
  const DeliveredCase& c = GetParam();
  SCOPED_TRACE(c.description);
  const InputReport r = deliveredReport(c.numbered, c.read.data(), c.read.size());
  EXPECT_EQ(r.reportId, c.reportId);
  EXPECT_EQ(r.data, c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Delivered,
    ::testing::Values(
        DeliveredCase{"bridge report without report-ID byte: ID 0, all 8 bytes data",
                      false,
                      {0xF3, 0x41, 0x42, 0x43, 0, 0, 0, 0},
                      0x00,
                      {0xF3, 0x41, 0x42, 0x43, 0, 0, 0, 0}},
        DeliveredCase{"numbered reports: the first byte is the ID",
                      true,
                      {0x02, 0xF1, 0x0D, 0, 0, 0, 0, 0, 0},
                      0x02,
                      {0xF1, 0x0D, 0, 0, 0, 0, 0, 0}},
        DeliveredCase{
            "idle report", false, {0xF0, 0, 0, 0, 0, 0, 0, 0}, 0x00, {0xF0, 0, 0, 0, 0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<DeliveredCase>& p) {
      return "case" + std::to_string(p.index);
    });

TEST(Delivered, TheBridgeLayoutReachesTheReassemblyIntact) {
  // The count is data byte 0: without the translation the reassembly would read the count
  // from the second serial byte.
  const std::uint8_t read[8] = {0xF2, 0x0D, 0x0A, 0, 0, 0, 0, 0};
  const InputReport r = deliveredReport(false, read, 8);
  AppState state;
  takeReport(state, r.reportId, r.data.data(), static_cast<std::uint16_t>(r.data.size()), nullptr);
  EXPECT_EQ(state.FrameBuffer, "0D0A");
}

struct DescriptorCase {
  const char* description;
  std::vector<std::uint8_t> descriptor;
  bool numbered;
};

class Descriptor : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(Descriptor, FindsReportIds) {
  const DescriptorCase& c = GetParam();
  SCOPED_TRACE(c.description);
  EXPECT_EQ(descriptorUsesReportIds(c.descriptor.data(), c.descriptor.size()), c.numbered);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Descriptor,
    ::testing::Values(
        // Vendor page, 8-byte input and output reports, a feature report; no Report ID item.
        DescriptorCase{"a bridge chip of this kind",
                       {0x06, 0xA0, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x01, 0x15, 0x00,
                        0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02, 0x09, 0x02,
                        0x91, 0x02, 0x09, 0x03, 0x95, 0x05, 0xB1, 0x02, 0xC0},
                       false},
        DescriptorCase{"a keyboard with report ID 1",
                       {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01, 0x05, 0x07, 0x75, 0x01,
                        0x95, 0x08, 0x81, 0x02, 0xC0},
                       true},
        DescriptorCase{"0x85 inside a 4-byte item's data is not an item",
                       {0x27, 0x85, 0x85, 0x85, 0x85, 0xC0},
                       false},
        DescriptorCase{
            "a long item is skipped whole", {0xFE, 0x02, 0x10, 0x85, 0x01, 0x85, 0x03}, true},
        DescriptorCase{"truncated descriptor", {0x06, 0xA0}, false},
        DescriptorCase{"empty", {}, false}),
    [](const ::testing::TestParamInfo<DescriptorCase>& p) {
      return "case" + std::to_string(p.index);
    });

TEST(HidapiController, EnumeratesWhateverThisMachineHas) {
  // There is no USB here; the scan must still work and list no bridge it cannot open.
  HidapiController hid;
  int listed = 0;
  hid.enumerate([&](HidDevice& d, int) {
    ++listed;
    EXPECT_FALSE(d.path().empty());
    return true;
  });
  EXPECT_EQ(listed, hid.deviceCount());
}

}  // namespace
}  // namespace kx::link

namespace kx::link {
namespace {

// The udev rule: each known bridge gets the logged-in user's access, nothing world-writable.
TEST(UdevRule, GivesTheSeatUserAccessToBothBridgesAndNothingMore) {
  const char* src = std::getenv("KX_SOURCE_DIR");
  ASSERT_NE(src, nullptr);
  std::ifstream in(std::string(src) + "/packaging/udev/70-kx3816.rules");
  ASSERT_TRUE(in) << "rule file missing";
  std::set<std::string> ids;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    EXPECT_NE(line.find("SUBSYSTEM==\"hidraw\""), std::string::npos) << line;
    EXPECT_NE(line.find("TAG+=\"uaccess\""), std::string::npos) << line;
    EXPECT_EQ(line.find("MODE"), std::string::npos) << "no mode: " << line;
    const auto v = line.find("ATTRS{idVendor}==\"");
    const auto p = line.find("ATTRS{idProduct}==\"");
    ASSERT_NE(v, std::string::npos);
    ASSERT_NE(p, std::string::npos);
    ids.insert(line.substr(v + 18, 4) + ":" + line.substr(p + 19, 4));
  }
  EXPECT_EQ(ids, (std::set<std::string>{"1a86:e008", "04fa:2490"}));
}

}  // namespace
}  // namespace kx::link
