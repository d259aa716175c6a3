// Frame reassembly: the payload/closing rule, the terminator check and the mended size limit.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/FrameAssembler.h"
#include "link/SimBridge.h"

namespace kx::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 22 frame bytes: 20 of segment memory, then the terminator.
Bytes frameBytes(std::uint8_t last1 = 0x0D, std::uint8_t last2 = 0x0A, std::size_t n = 22) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(0x10 + i);
  if (n >= 22) {
    b[20] = last1;
    b[21] = last2;
  }
  return b;
}

// The bytes split into payload reports of `per` bytes each: data byte 0 = F0 | count.
std::vector<Bytes> payloadReports(const Bytes& bytes, std::size_t per = 7) {
  std::vector<Bytes> out;
  for (std::size_t i = 0; i < bytes.size(); i += per) {
    const std::size_t n = std::min(per, bytes.size() - i);
    Bytes r{static_cast<std::uint8_t>(0xF0 | n)};
    r.insert(r.end(), bytes.begin() + i, bytes.begin() + i + n);
    out.push_back(r);
  }
  return out;
}

std::string hex(const Bytes& b) {
  static const char* d = "0123456789ABCDEF";
  std::string s;
  for (auto v : b) {
    s += d[v >> 4];
    s += d[v & 15];
  }
  return s;
}

const Bytes kClose{0xF0, 0, 0, 0, 0, 0, 0, 0};

struct Case {
  const char* description;
  std::vector<Bytes> reports;
  std::vector<std::string> handedOn;
  std::string bufferAfter;
  bool inProgressAfter;
};

std::vector<Bytes> concat(std::vector<std::vector<Bytes>> parts) {
  std::vector<Bytes> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class Reassembly : public ::testing::TestWithParam<Case> {};

TEST_P(Reassembly, FollowsTheRule) {
  const Case& c = GetParam();
  SCOPED_TRACE(c.description);
  AppState state;
  std::vector<std::string> handed;
  for (const Bytes& r : c.reports)
    takeReport(state, 0x00, r.data(), static_cast<std::uint16_t>(r.size()),
               [&](const std::string& f) { handed.push_back(f); });
  EXPECT_EQ(handed, c.handedOn);
  EXPECT_EQ(state.FrameBuffer, c.bufferAfter);
  EXPECT_EQ(state.FrameInProgress, c.inProgressAfter);
}

const Bytes kFrame = frameBytes();
const Bytes kTwoFrames = [] {
  Bytes b = frameBytes();
  Bytes b2 = frameBytes();
  b.insert(b.end(), b2.begin(), b2.end());
  return b;
}();
const Bytes k24 = [] {
  Bytes b = frameBytes();
  b.push_back(0x55);
  b.push_back(0x66);
  return b;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, Reassembly,
    ::testing::Values(Case{"03 41 42 43 appends three bytes and opens a frame",
                           {{0x03, 0x41, 0x42, 0x43}},
                           {},
                           "414243",
                           true},
                      Case{"F5 counts five like 05: the high digit is ignored",
                           {{0xF5, 1, 2, 3, 4, 5, 6, 7}},
                           {},
                           "0102030405",
                           true},
                      Case{"a count larger than the bytes present appends only those (09, size 7)",
                           {{0x09, 1, 2, 3, 4, 5, 6}},
                           {},
                           "010203040506",
                           true},
                      Case{"count 0 with nothing in progress changes nothing",
                           {kClose, kClose, kClose},
                           {},
                           "",
                           false},
                      Case{"a report of size 0 closes a frame in progress",
                           {{0x02, 0xAB, 0xCD}, {}},
                           {},
                           "",
                           false},
                      Case{"count 0A closes instead of appending",
                           {{0x01, 0x77}, {0x0A, 1, 2, 3, 4, 5, 6, 7}},
                           {},
                           "",
                           false},
                      Case{"count 0F closes instead of appending",
                           {{0x01, 0x77}, {0xFF, 1, 2, 3, 4, 5, 6, 7}},
                           {},
                           "",
                           false},
                      Case{"22 bytes ending 0D 0A then a closing report hand on 44 characters",
                           concat({payloadReports(kFrame), {kClose}}),
                           {hex(kFrame)},
                           "",
                           false},
                      Case{"single-byte reports, as the chips mostly send them",
                           concat({payloadReports(kFrame, 1), {kClose}}),
                           {hex(kFrame)},
                           "",
                           false},
                      Case{"21 bytes then a closing report: dropped",
                           concat({payloadReports(frameBytes(0x0D, 0x0A, 21)), {kClose}}),
                           {},
                           "",
                           false},
                      Case{"22 bytes ending 0D 0B: dropped",
                           concat({payloadReports(frameBytes(0x0D, 0x0B)), {kClose}}),
                           {},
                           "",
                           false},
                      Case{"24 bytes with 0D 0A at 21 and 22: handed on whole",
                           concat({payloadReports(k24), {kClose}}),
                           {hex(k24)},
                           "",
                           false},
                      Case{"two frames without a closing report between them: one text of 88",
                           concat({payloadReports(kTwoFrames), {kClose}}),
                           {hex(kTwoFrames)},
                           "",
                           false},
                      Case{"0D 0A inside the payload does not close the frame",
                           payloadReports(kFrame),
                           {},
                           hex(kFrame),
                           true},
                      Case{"the report after the closing one starts afresh",
                           concat({payloadReports(frameBytes(0x0D, 0x0A, 10)),
                                   {kClose},
                                   payloadReports(kFrame),
                                   {kClose}}),
                           {hex(kFrame)},
                           "",
                           false}),
    [](const ::testing::TestParamInfo<Case>& p) { return "case" + std::to_string(p.index); });

TEST(Reassembly, ReportIdIsIgnored) {
  for (int id : {0x00, 0x01, 0x7F, 0xFF}) {
    AppState state;
    const Bytes r{0x02, 0x12, 0x34};
    takeReport(state, static_cast<std::uint8_t>(id), r.data(), 3, nullptr);
    EXPECT_EQ(state.FrameBuffer, "1234") << "report ID " << id;
  }
}

TEST(Reassembly, DetachedMidFrameJoinsTheNextConnectionsBytesAndRecovers) {
  // Ten bytes, then the link goes away; the next connection's frame joins them and is dropped,
  // the frame after it is collected afresh.
  AppState state;
  int handed = 0;
  auto feed = [&](const std::vector<Bytes>& reports) {
    for (const Bytes& r : reports)
      takeReport(state, 0, r.data(), static_cast<std::uint16_t>(r.size()),
                 [&](const std::string& f) {
                   EXPECT_EQ(f.size(), 44u);
                   ++handed;
                 });
  };
  feed(payloadReports(Bytes(kFrame.begin(), kFrame.begin() + 10)));
  feed(concat({payloadReports(kFrame), {kClose}}));
  EXPECT_EQ(handed, 0);
  feed(concat({payloadReports(kFrame), {kClose}}));
  EXPECT_EQ(handed, 1);
}

TEST(Reassembly, ANeverClosingStreamIsDroppedPastTheLimitAndCollectingStartsAgain) {
  AppState state;
  const Bytes seven{0xF7, 1, 2, 3, 4, 5, 6, 7};
  std::size_t maxSize = 0;
  int overflows = 0;
  for (int i = 0; i < 20000; ++i) {
    if (takeReport(state, 0, seven.data(), 8, nullptr) == ReportEffect::Overflowed) ++overflows;
    maxSize = std::max(maxSize, state.FrameBuffer.size());
  }
  EXPECT_LE(maxSize, kFrameBufferLimit);
  EXPECT_GE(overflows, 3);
  // After an overflow nothing is in progress; a closing report hands nothing on, and the next
  // regular frame is collected and handed on.
  while (takeReport(state, 0, seven.data(), 8, nullptr) != ReportEffect::Overflowed) {
  }
  EXPECT_FALSE(state.FrameInProgress);
  EXPECT_EQ(takeReport(state, 0, kClose.data(), 8, nullptr), ReportEffect::Ignored);
  int handed = 0;
  for (const Bytes& r : concat({payloadReports(kFrame), {kClose}}))
    takeReport(state, 0, r.data(), static_cast<std::uint16_t>(r.size()),
               [&](const std::string&) { ++handed; });
  EXPECT_EQ(handed, 1);
}

}  // namespace
}  // namespace kx::link
