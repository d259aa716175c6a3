// The frame encoder: known frames from what the meter shows, and encode/decode round trips.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "lcd/FrameEncoder.h"
#include "lcd/LcdTables.h"
#include "tests/lcd/LcdTestSupport.h"

namespace kx::lcd {
namespace {

using M = MeterDisplay;

TEST(FrameEncoder, DcReadingGivesTheMetersFrame) {
  M d;
  d.mode = M::Mode::DcVolts;
  d.main = "2305";
  d.point = 3;
  d.unit = M::Unit::V;
  EXPECT_EQ(encodeFrame(d), "00000001000000000000E3A7DFB510000000000F0D0A");
}

TEST(FrameEncoder, TimedInsulationTestGivesTheMetersFrame) {
  M d;
  d.main = "1234";
  d.point = 1;
  d.unit = M::Unit::GOhm;
  d.secondRow = irSecondRow(1000);
  d.secondRowV = true;
  d.timer = "0130";
  d.timerColon = true;
  d.timed = true;
  d.bar = 9;
  EXPECT_EQ(encodeFrame(d), "F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0A");
}

// What the decoder makes of an encoded display.
struct ScenarioCase {
  const char* what;
  M display;
  const char* reading;
  std::string function;
  const char* remark;
  std::string unit;
  std::vector<Element> shown;
  std::vector<Element> hidden;
};

M make(auto&& edit) {
  M d;
  edit(d);
  return d;
}

const std::string kOhmText = kOhm;

TEST(FrameEncoder, ScenariosDecodeToWhatTheMeterShows) {
  const std::vector<ScenarioCase> cases = {
      {"negative AC reading with L in the last digit",
       make([](M& d) {
         d.mode = M::Mode::AcVolts;
         d.main = " 12L";
         d.point = 3;
         d.negative = true;
         d.unit = M::Unit::V;
       }),
       "-12.L",
       "ACV  600V",
       "Continuous",
       "V",
       {Element::labac, Element::labt, Element::LabelF, Element::Point3},
       {Element::LabelA, Element::KD, Element::labdc}},
      {"500 V test reads its range from a blank-led second row",
       make([](M& d) {
         d.main = " 050";
         d.point = 2;
         d.unit = M::Unit::MOhm;
         d.secondRow = irSecondRow(500);
         d.highVoltage = false;
         d.bar = 31;
       }),
       "0.50",
       "IR:500V 20G" + kOhmText,
       "Continuous",
       "M" + kOhmText,
       {Element::KD, Element::Bar0, Element::bar30, Element::Labmo1},
       {Element::Label3}},
      {"5000 V test with the TΩ sign: the fourth digit adds no separator",
       make([](M& d) {
         d.main = "1234";
         d.teraOhm = true;
         d.secondRow = irSecondRow(5000);
         d.highVoltage = true;
       }),
       "1234",
       "IR:5000V 1000G" + kOhmText,
       "Continuous",
       "",
       {Element::Labto, Element::danger},
       {Element::Point1, Element::Point3}},
      {"comparator GOOD wins over NG and over PI",
       make([](M& d) {
         d.main = "9999";
         d.secondRow = "2500";
         d.comparator = M::Comparator::Good;
         d.timer = "0000";
         d.pi = true;
       }),
       "9999",
       "IR:2500 100G" + kOhmText,
       "COMP:GOOD",
       "",
       {Element::Labgood, Element::labCOMP, Element::labp1},
       {Element::Labng}},
      {"comparator NG",
       make([](M& d) {
         d.main = "0001";
         d.secondRow = "1000";
         d.comparator = M::Comparator::NoGood;
         d.timer = "1000";
       }),
       "0001",
       "IR:1000V 40G" + kOhmText,
       "COMP:NG",
       "",
       {Element::Labng, Element::labCOMP},
       {Element::Labgood}},
      {"memory, signs and battery without bars",
       make([](M& d) {
         d.main = "----";
         d.memory = '7';
         d.memorySign = true;
         d.memoryFull = true;
         d.battery = 0;
         d.s1 = d.s2 = d.s3 = d.save = d.load = d.time1 = d.time2 = true;
         d.microphone = d.powerOff = true;
       }),
       "",
       "IR:500V 20G" + kOhmText,
       "Continuous",
       "",
       {Element::stor2, Element::stor1, Element::LabFUL, Element::IGPower, Element::labs1,
        Element::labs2, Element::labs3, Element::labsave, Element::labLoad, Element::labTIME1,
        Element::labtime2, Element::IMmike, Element::IMoff},
       {Element::powerV1, Element::powerv2, Element::powerv3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::DecoderFixture fx;
    const DecodeResult r = fx.decoder.ShowDataTarn(encodeFrame(c.display));
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(fx.state.ReadingText, c.reading);
    EXPECT_EQ(fx.state.FunctionText, c.function);
    EXPECT_EQ(fx.state.RemarkText, c.remark);
    EXPECT_EQ(fx.state.UnitText, c.unit);
    for (Element e : c.shown) EXPECT_TRUE(fx.shows(e)) << elementName(e);
    for (Element e : c.hidden) EXPECT_FALSE(fx.shows(e)) << elementName(e);
  }
}

TEST(FrameEncoder, BarLevelLightsThatManySegmentsFromTheLeft) {
  const Element order[] = {Element::Bar0,  Element::BAR1,  Element::bar2, Element::bar3,
                           Element::bar15, Element::bar29, Element::bar30};
  const int positionOf[] = {0, 1, 2, 3, 15, 29, 30};
  for (int level : {0, 1, 3, 16, 30, 31}) {
    M d;
    d.main = "0000";
    d.bar = level;
    test::DecoderFixture fx;
    fx.decoder.ShowDataTarn(encodeFrame(d));
    for (size_t i = 0; i < std::size(order); ++i)
      EXPECT_EQ(fx.shows(order[i]), positionOf[i] < level)
          << "level " << level << ", " << elementName(order[i]);
  }
}

TEST(FrameEncoder, RefusesWhatNoFrameCanShow) {
  const std::vector<std::pair<const char*, M>> cases = {
      {"point on a blank digit", make([](M& d) { d.point = 1; })},
      {"point out of range", make([](M& d) {
         d.main = "1234";
         d.point = 4;
       })},
      {"minus in the second row", make([](M& d) { d.secondRow = "-000"; })},
      {"letter the digits have no code for", make([](M& d) { d.main = "12A4"; })},
      {"three main digits", make([](M& d) { d.main = "123"; })},
      {"GOOD without a second-row digit", make([](M& d) {
         d.timer = "0000";
         d.comparator = M::Comparator::Good;
       })},
      {"bar graph beyond 31", make([](M& d) { d.bar = 32; })},
      {"battery above 3", make([](M& d) { d.battery = 4; })},
  };
  for (const auto& [what, d] : cases) EXPECT_THROW(encodeFrame(d), std::invalid_argument) << what;
}

// A random frame whose thirteen digit codes are all recognised codes of their tables.
std::string randomRecognisedFrame(std::mt19937& rng) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string f(40, '0');
  for (char& c : f) c = kHex[rng() % 16];
  f += "0D0A";
  for (const DigitInfo& d : kDigits) {
    const SegmentEntry& e = d.kind == DigitKind::SecondRow
                                ? kSubSegTable[rng() % kSubSegTable.size()]
                                : kMainSegTable[rng() % kMainSegTable.size()];
    f[d.firstChar - 1] = kHex[e.code >> 4];
    f[d.secondChar - 1] = kHex[e.code & 0x0F];
  }
  return f;
}

TEST(FrameEncoder, EncodingADecodedDisplayDecodesToTheSameDisplay) {
  std::mt19937 rng(3816);
  const std::string blankFrame = test::frameWith({});
  for (int round = 0; round < 500; ++round) {
    const std::string frame = randomRecognisedFrame(rng);
    test::DecoderFixture first;
    first.decoder.ShowDataTarn(blankFrame);
    first.decoder.ShowDataTarn(frame);

    const std::string encoded = encodeModel(first.model);
    test::DecoderFixture second;
    second.decoder.ShowDataTarn(blankFrame);
    second.decoder.ShowDataTarn(encoded);

    SCOPED_TRACE(frame + " -> " + encoded);
    for (int i = 0; i < kElementCount; ++i) {
      const auto e = static_cast<Element>(i);
      ASSERT_EQ(first.shows(e), second.shows(e)) << elementName(e);
    }
    for (int k = 0; k < kDigitCount; ++k) {
      if (first.shows(kDigits[k].label)) {
        ASSERT_EQ(first.model.caption(k), second.model.caption(k)) << k;
      }
    }
    EXPECT_EQ(first.state.ReadingText, second.state.ReadingText);
    EXPECT_EQ(first.state.FunctionText, second.state.FunctionText);
    EXPECT_EQ(first.state.RemarkText, second.state.RemarkText);
    EXPECT_EQ(first.state.UnitText, second.state.UnitText);
    EXPECT_EQ(encodeModel(second.model), encoded);
  }
}

}  // namespace
}  // namespace kx::lcd
