// The frame decoder: the worked example of four frames in a row, the frame layout and the
// annunciator map, the digit decoding, the range rule, the sign and the hand-off.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "lcd/FrameDecoder.h"
#include "tests/lcd/LcdTestSupport.h"

namespace kx::lcd {
namespace {

using test::DecoderFixture;
using test::frameWith;
using E = Element;

const std::string kOhmText = kOhm;
const std::string kFrameA = "00000001000000000000E3A7DFB510000000000F0D0A";
const std::string kFrameB = "F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0A";
const std::string kFrameC = "F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0B";
const std::string kFrameD = "000000050000000000000006EBB510000000000F0D0A";

std::set<std::string> visibleNames(const LcdModel& m) {
  std::set<std::string> out;
  for (int i = 0; i < kElementCount; ++i)
    if (m.visible(static_cast<E>(i))) out.insert(std::string(kElementNames[i]));
  return out;
}

std::set<std::string> names(std::initializer_list<E> elements) {
  std::set<std::string> out;
  for (E e : elements) out.insert(std::string(elementName(e)));
  return out;
}

std::string captions(const LcdModel& m, std::initializer_list<E> labels) {
  std::string out;
  for (E e : labels) out += m.caption(e);
  return out;
}

TEST(ShowDataTarn, WorkedExampleFourFramesInARow) {
  DecoderFixture fx;

  // A: DC voltage 230.5 V.
  DecodeResult r = fx.decoder.ShowDataTarn(kFrameA);
  EXPECT_TRUE(r.accepted);
  EXPECT_TRUE(r.handoff);
  EXPECT_EQ(fx.state.ReadingText, "230.5");
  EXPECT_EQ(fx.state.FunctionText, "DCV  600V");
  EXPECT_EQ(fx.state.RemarkText, "Continuous");
  EXPECT_EQ(fx.state.UnitText, "V");
  EXPECT_EQ(visibleNames(fx.model),
            names({E::LabelA, E::LabelB, E::LabelC, E::LabelD, E::Point3, E::labdc, E::Shape1,
                   E::Shape2, E::Shape3, E::Shape4, E::Labv, E::IGPower, E::powerV1, E::powerv2,
                   E::powerv3, E::rsUSB, E::CONok}));
  EXPECT_EQ(captions(fx.model, {E::LabelA, E::LabelB, E::LabelC, E::LabelD}), "2305");
  EXPECT_EQ(fx.recordCalls, 1);

  // B: insulation test at 1000 V, timed.
  r = fx.decoder.ShowDataTarn(kFrameB);
  EXPECT_TRUE(r.handoff);
  EXPECT_EQ(fx.state.ReadingText, "1.234");
  EXPECT_EQ(fx.state.FunctionText, "IR:1000V 40G" + kOhmText);
  EXPECT_EQ(fx.state.RemarkText, "Timed");
  EXPECT_EQ(fx.state.UnitText, "G" + kOhmText);
  const auto afterB =
      names({E::KD,      E::Bar0,    E::BAR1,    E::bar2,      E::bar3,    E::bar4,   E::bar5,
             E::bar6,    E::bar7,    E::bar8,    E::LabelA,    E::LabelB,  E::LabelC, E::LabelD,
             E::Point1,  E::Label3,  E::Label7,  E::Label10,   E::Label9,  E::Label4, E::H_Time1,
             E::H_Time2, E::M_Time1, E::M_Time2, E::T_dPoint1, E::Labtime, E::Labgo1, E::power,
             E::IGPower, E::powerV1, E::powerv2, E::powerv3,   E::rsUSB,   E::CONokN});
  EXPECT_EQ(visibleNames(fx.model), afterB);
  EXPECT_EQ(captions(fx.model, {E::LabelA, E::LabelB, E::LabelC, E::LabelD}), "1234");
  EXPECT_EQ(captions(fx.model, {E::Label3, E::Label7, E::Label10, E::Label9}), "1000");
  EXPECT_EQ(captions(fx.model, {E::H_Time1, E::H_Time2, E::M_Time1, E::M_Time2}), "0130");
  EXPECT_EQ(fx.recordCalls, 2);

  // C: frame B with a broken terminator.
  r = fx.decoder.ShowDataTarn(kFrameC);
  EXPECT_FALSE(r.accepted);
  EXPECT_FALSE(r.handoff);
  EXPECT_EQ(r.pauseMs, 0);
  auto afterC = afterB;
  afterC.erase("CONokN");
  afterC.insert("CONok");
  EXPECT_EQ(visibleNames(fx.model), afterC);
  EXPECT_EQ(fx.state.ReadingText, "");
  EXPECT_EQ(fx.state.RemarkText, "Continuous");
  EXPECT_EQ(fx.state.FunctionText, "IR:1000V 40G" + kOhmText);
  EXPECT_EQ(fx.state.UnitText, "G" + kOhmText);
  EXPECT_EQ(fx.recordCalls, 2);

  // D: negative DC voltage.
  r = fx.decoder.ShowDataTarn(kFrameD);
  EXPECT_TRUE(r.handoff);
  EXPECT_EQ(fx.state.ReadingText, "-12.5");
  EXPECT_EQ(fx.state.FunctionText, "DCV  600V");
  EXPECT_EQ(fx.state.UnitText, "V");
  EXPECT_EQ(fx.state.RemarkText, "Continuous");
  EXPECT_EQ(visibleNames(fx.model),
            names({E::LabelF, E::LabelB, E::LabelC, E::LabelD, E::Point3, E::labdc, E::Shape1,
                   E::Shape2, E::Shape3, E::Shape4, E::Labv, E::IGPower, E::powerV1, E::powerv2,
                   E::powerv3, E::rsUSB, E::CONokN}));
  EXPECT_EQ(captions(fx.model, {E::LabelB, E::LabelC, E::LabelD}), "125");
  EXPECT_EQ(fx.recordCalls, 3);
  EXPECT_EQ(fx.watchdogRestarts, 4);
}

TEST(ShowDataTarn, DecimalSymbolIsTheSystemsOne) {
  const struct {
    const char* separator;
    const std::string& frame;
    const char* reading;
  } cases[] = {{",", kFrameA, "230,5"},
               {",", kFrameD, "-12,5"},
               {"\xC2\xB7", kFrameB,
                "1\xC2\xB7"
                "234"}};
  for (const auto& c : cases) {
    DecoderFixture fx(c.separator);
    fx.decoder.ShowDataTarn(c.frame);
    EXPECT_EQ(fx.state.ReadingText, c.reading) << c.separator;
  }
}

// Steps 1 to 10: which annunciators a frame lights (the blanking set and KD), and the texts.
struct AnnunciatorCase {
  const char* what;
  std::string frame;
  std::set<std::string> lit;  // visible elements of the blanking set, and KD
  std::string function;       // "start" when the frame leaves it
  std::string unit;           // "start" when the frame leaves it
  std::string remark;
};

TEST(ShowDataTarn, AnnunciatorMap) {
  const std::vector<AnnunciatorCase> cases = {
      {"all segments off", frameWith({}), names({E::KD}), "start", "start", "Continuous"},
      {"DC and AC bits both set: AC wins, the bar graph goes", frameWith({{8, '3'}}),
       names({E::labdc, E::Shape1, E::Shape2, E::Shape3, E::Shape4, E::labt, E::labac}),
       "ACV  600V", "start", "Continuous"},
      {"minus bit alone leaves the function", frameWith({{8, '4'}}), names({E::KD, E::LabelF}),
       "start", "start", "Continuous"},
      {"small M-ohm sign", frameWith({{8, '8'}}), names({E::KD, E::labmo}), "start", "start",
       "Continuous"},
      {"every unit bit: G-ohm wins", frameWith({{29, 'F'}}),
       names({E::KD, E::Labv, E::Labo, E::Labmo1, E::Labgo1}), "start", "G" + kOhmText,
       "Continuous"},
      {"ohm alone", frameWith({{29, '2'}}), names({E::KD, E::Labo}), "start", kOhmText,
       "Continuous"},
      {"M-ohm and V: M-ohm wins", frameWith({{29, '5'}}), names({E::KD, E::Labv, E::Labmo1}),
       "start", "M" + kOhmText, "Continuous"},
      {"bit 1 of character 38 has no effect", frameWith({{38, '2'}}), names({E::KD}), "start",
       "start", "Continuous"},
      {"timed and PI: PI wins", frameWith({{19, '1'}, {38, '4'}}),
       names({E::KD, E::power, E::labp1}), "start", "start", "PI"},
      {"S1 to S3 and the memory sign and microphone", frameWith({{19, 'E'}, {38, '9'}}),
       names({E::KD, E::labs1, E::labs2, E::labs3, E::stor1, E::IMmike}), "start", "start",
       "Continuous"},
      {"load, save, time 2, time 1", frameWith({{20, 'F'}}),
       names({E::KD, E::labLoad, E::labsave, E::labtime2, E::labTIME1}), "start", "start",
       "Continuous"},
      {"bit 3 of character 9 lights the small G-ohm sign", frameWith({{9, '8'}}),
       names({E::KD, E::Labgo}), "start", "start", "Continuous"},
      {"bits 0 to 2 of character 9 light no annunciator", frameWith({{9, '7'}}), names({E::KD}),
       "start", "start", "Continuous"},
      {"power-off sign and battery with its three bars", frameWith({{39, '1'}, {40, 'F'}}),
       names({E::KD, E::IMoff, E::IGPower, E::powerV1, E::powerv2, E::powerv3}), "start", "start",
       "Continuous"},
      {"a contiguous bar from the left end", frameWith({{39, 'E'}, {1, 'F'}, {2, '3'}}),
       names({E::KD, E::Bar0, E::BAR1, E::bar2, E::bar3, E::bar4, E::bar5, E::bar6, E::bar7,
              E::bar8}),
       "start", "start", "Continuous"},
      {"the right end of the bar", frameWith({{5, 'F'}, {6, 'F'}, {7, 'F'}}),
       names({E::KD, E::bar19, E::bar20, E::bar21, E::bar22, E::bar23, E::bar24, E::bar25, E::bar26,
              E::bar27, E::bar28, E::bar29, E::bar30}),
       "start", "start", "Continuous"},
      {"middle of the bar", frameWith({{3, 'F'}, {4, 'F'}}),
       names(
           {E::KD, E::bar11, E::bar12, E::bar13, E::bar14, E::bar15, E::bar16, E::bar17, E::bar18}),
       "start", "start", "Continuous"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DecoderFixture fx;
    fx.state.FunctionText = "start";
    fx.state.UnitText = "start";
    const DecodeResult r = fx.decoder.ShowDataTarn(c.frame);
    EXPECT_TRUE(r.accepted);
    std::set<std::string> lit;
    for (const auto& name : visibleNames(fx.model)) {
      const E e = *elementByName(name);
      if (inBlankingSet(e) || e == E::KD) lit.insert(name);
    }
    EXPECT_EQ(lit, c.lit);
    EXPECT_EQ(fx.state.FunctionText, c.function);
    EXPECT_EQ(fx.state.UnitText, c.unit);
    EXPECT_EQ(fx.state.RemarkText, c.remark);
  }
}

TEST(ShowDataTarn, AllSegmentsOffBlanksEveryDigitAndRecordsNothing) {
  DecoderFixture fx;
  const DecodeResult r = fx.decoder.ShowDataTarn(frameWith({}));
  EXPECT_TRUE(r.accepted);
  EXPECT_FALSE(r.handoff);
  EXPECT_EQ(fx.recordCalls, 0);
  for (const DigitInfo& d : kDigits) EXPECT_FALSE(fx.shows(d.label)) << elementName(d.label);
  EXPECT_EQ(fx.state.ReadingText, "");
}

TEST(ShowDataTarn, LinkPicturesAlternateWithEveryFrameValidOrNot) {
  DecoderFixture fx;
  EXPECT_FALSE(fx.shows(E::CONok));
  EXPECT_TRUE(fx.shows(E::CONokN));
  const std::string frames[] = {kFrameA, kFrameC, frameWith({}), "0D0A", kFrameC};
  for (int n = 1; n <= 5; ++n) {
    fx.decoder.ShowDataTarn(frames[n - 1]);
    EXPECT_EQ(fx.shows(E::CONok), n % 2 == 1) << n;
    EXPECT_EQ(fx.shows(E::CONokN), n % 2 == 0) << n;
  }
  EXPECT_EQ(fx.watchdogRestarts, 5);
}

TEST(ShowDataTarn, BrokenTerminatorChangesOnlyTheFirstSteps) {
  const struct {
    const char* what;
    std::string frame;
  } cases[] = {
      {"0D0B", kFrameC},
      {"0A0D", kFrameB.substr(0, 40) + "0A0D"},
      {"43 characters", kFrameB.substr(0, 43)},
      {"no terminator", kFrameB.substr(0, 40)},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DecoderFixture fx;
    fx.decoder.ShowDataTarn(kFrameB);
    fx.model.takeChanges();
    LcdModel expected = fx.model;
    expected.setVisible(E::CONok, !fx.shows(E::CONok));
    expected.setVisible(E::CONokN, !fx.shows(E::CONokN));
    const DecodeResult r = fx.decoder.ShowDataTarn(c.frame);
    EXPECT_FALSE(r.rejected);
    EXPECT_FALSE(r.accepted);
    EXPECT_FALSE(r.handoff);
    EXPECT_EQ(fx.watchdogRestarts, 2);
    EXPECT_EQ(fx.recordCalls, 1);
    EXPECT_EQ(fx.state.ReadingText, "");
    EXPECT_EQ(fx.state.RemarkText, "Continuous");
    EXPECT_EQ(fx.state.FunctionText, "IR:1000V 40G" + kOhmText);
    EXPECT_TRUE(fx.model.sameDisplay(expected));
    const auto changed = fx.model.takeChanges();
    EXPECT_EQ(changed, LcdModel::ElementSet().set(index(E::CONok)).set(index(E::CONokN)));
  }
}

TEST(ShowDataTarn, RejectsForeignCharactersBeforeAnyStep) {
  const struct {
    const char* what;
    std::string frame;
    bool rejected;
  } cases[] = {
      {"lower-case hex digit", "00000001000000000000e3A7DFB510000000000F0D0A", true},
      {"blank in the segment memory", "0000000 000000000000E3A7DFB510000000000F0D0A", true},
      {"lower-case terminator", "00000001000000000000E3A7DFB510000000000F0d0a", true},
      {"foreign byte in a short text", std::string("00\xA6"), true},
      {"anything after the 44th character is ignored", kFrameA + "xyz\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DecoderFixture fx;
    fx.state.FunctionText = "start";
    const DecodeResult r = fx.decoder.ShowDataTarn(c.frame);
    EXPECT_EQ(r.rejected, c.rejected);
    EXPECT_EQ(r.error.empty(), !c.rejected);
    if (c.rejected) {
      EXPECT_EQ(fx.watchdogRestarts, 0);
      EXPECT_TRUE(fx.model.sameDisplay(LcdModel()));
      EXPECT_EQ(fx.state.ReadingText, "0000");
      EXPECT_EQ(fx.state.FunctionText, "start");
    } else {
      EXPECT_TRUE(r.accepted);
      EXPECT_EQ(fx.state.ReadingText, "230.5");
    }
  }
}

TEST(ShowDataTarn, RejectionNamesTheCharacter) {
  EXPECT_EQ(frameCharacterError("0G"),
            "character 2 of the frame is 'G', not an upper-case hexadecimal digit");
  EXPECT_EQ(frameCharacterError(std::string("\xA6")),
            "character 1 of the frame is byte A6, not an upper-case hexadecimal digit");
  EXPECT_EQ(frameCharacterError(kFrameB), "");
}

TEST(ShowDataTarn, PauseIsReportedForAcceptedFramesOnly) {
  AppState state;
  LcdModel model;
  FrameDecoder decoder(model, state);
  EXPECT_EQ(decoder.pauseMs(), 500);
  EXPECT_EQ(decoder.ShowDataTarn(kFrameA).pauseMs, 500);
  EXPECT_EQ(decoder.ShowDataTarn(kFrameC).pauseMs, 0);
  decoder.setPauseMs(0);
  EXPECT_EQ(decoder.ShowDataTarn(kFrameA).pauseMs, 0);
}

// Steps 11 and 12: digit codes, applied from the design state (digits "8", visible).
struct DigitCase {
  const char* what;
  std::vector<std::pair<E, const char*>> codes;  // digit label and its segment code
  const char* reading;
  std::string shownCaptions;  // visible digit labels and captions, e.g. "LabelA=@ LabelB=8"
  std::vector<E> shown;
  std::vector<E> hidden;
  const char* remark = "Continuous";
};

std::string frameWithCodes(const std::vector<std::pair<E, const char*>>& codes,
                           const std::string& base) {
  std::string f = base;
  for (const auto& [label, code] : codes) {
    const DigitInfo& d = kDigits[digitIndex(label)];
    test::putCode(f, d.firstChar, d.secondChar, code);
  }
  return f;
}

std::string visibleDigits(const LcdModel& m) {
  std::string out;
  for (const DigitInfo& d : kDigits) {
    if (!m.visible(d.label)) continue;
    if (!out.empty()) out += ' ';
    out += std::string(elementName(d.label)) + "=" + m.caption(d.label);
  }
  return out;
}

TEST(ShowDataTarn, DigitDecoding) {
  // Main digits blank unless a case sets them; the other digits left unrecognised (code 80
  // in the main table, 01 in the second-row table), so they keep their design "8" and "0".
  std::string base = frameWith({});
  for (const DigitInfo& d : kDigits)
    test::putCode(base, d.firstChar, d.secondChar,
                  d.kind == DigitKind::Main && d.label <= E::LabelD ? "00"
                  : d.kind == DigitKind::SecondRow                  ? "01"
                                                                    : "80");
  const std::string others =
      "Label3=0 Label7=0 Label10=0 Label9=0 H_Time1=8 H_Time2=8 M_Time1=8 M_Time2=8 stor2=8";
  const std::vector<DigitCase> cases = {
      {"L without and with its point",
       {{E::LabelA, "0D"}, {E::LabelB, "8D"}},
       "LL.",
       "LabelA=@ LabelB=@ " + others,
       {E::Point2},
       {E::Point1, E::LabelC}},
      {"minus glyph adds nothing, its point stays off",
       {{E::LabelA, "60"}, {E::LabelB, "02"}, {E::LabelC, "7F"}},
       "18",
       "LabelA=1 LabelB=- LabelC=8 " + others,
       {},
       {E::Point2}},
      {"only the extra segment: not recognised, the digit keeps its design 8",
       {{E::LabelA, "80"}, {E::LabelB, "7B"}},
       "9",
       "LabelA=8 LabelB=9 " + others,
       {},
       {E::Point1}},
      {"leading blank, point after the third digit",
       {{E::LabelB, "60"}, {E::LabelC, "BE"}, {E::LabelD, "5B"}},
       "12.5",
       "LabelB=1 LabelC=2 LabelD=5 " + others,
       {E::Point3},
       {E::LabelA}},
      {"fourth digit's extra is the T-ohm sign, no separator after it",
       {{E::LabelA, "E0"}, {E::LabelB, "3E"}, {E::LabelC, "7A"}, {E::LabelD, "E3"}},
       "1.234",
       "LabelA=1 LabelB=2 LabelC=3 LabelD=4 " + others,
       {E::Point1, E::Labto},
       {E::Point3}},
      {"every main glyph with its point",
       {{E::LabelA, "FD"}, {E::LabelB, "BE"}, {E::LabelC, "DB"}, {E::LabelD, "7F"}},
       "0.2.5.8",
       "LabelA=0 LabelB=2 LabelC=5 LabelD=8 " + others,
       {E::Point1, E::Point2, E::Point3},
       {E::Labto}},
      {"second-row blank by 08 keeps its sign off",
       {{E::Label7, "08"}},
       "",
       "Label3=0 Label10=0 Label9=0 H_Time1=8 H_Time2=8 M_Time1=8 M_Time2=8 stor2=8",
       {},
       {E::Label7, E::Labng}},
      {"both comparator signs: GOOD wins",
       {{E::Label7, "DF"}, {E::Label10, "DF"}},
       "",
       others,
       {E::Labng, E::Labgood},
       {},
       "COMP:GOOD"},
      {"NG alone",
       {{E::Label7, "58"}},
       "",
       "Label3=0 Label7=1 Label10=0 Label9=0 H_Time1=8 H_Time2=8 M_Time1=8 M_Time2=8 stor2=8",
       {E::Labng},
       {E::Labgood},
       "COMP:NG"},
      {"second-row 4 with its sign, either code",
       {{E::Label3, "F8"}, {E::Label9, "7C"}, {E::Label7, "74"}},
       "",
       "Label3=4 Label7=4 Label10=0 Label9=4 H_Time1=8 H_Time2=8 M_Time1=8 M_Time2=8 stor2=8",
       {E::danger, E::Label4},
       {E::Labng}},
      {"small G-ohm follows the fourth timer digit's extra",
       {{E::M_Time2, "8D"}},
       "",
       "Label3=0 Label7=0 Label10=0 Label9=0 H_Time1=8 H_Time2=8 M_Time1=8 M_Time2=@ stor2=8",
       {E::Labgo},
       {}},
      {"L without extra hides small G-ohm",
       {{E::M_Time2, "0D"}},
       "",
       "Label3=0 Label7=0 Label10=0 Label9=0 H_Time1=8 H_Time2=8 M_Time1=8 M_Time2=@ stor2=8",
       {},
       {E::Labgo}},
      {"timer minus glyphs keep their signs off",
       {{E::H_Time1, "02"}, {E::H_Time2, "02"}, {E::M_Time1, "02"}, {E::stor2, "02"}},
       "",
       "Label3=0 Label7=0 Label10=0 Label9=0 H_Time1=- H_Time2=- M_Time1=- M_Time2=8 stor2=-",
       {},
       {E::Labclr, E::Labtime, E::T_dPoint1, E::labCOMP, E::LabFUL}},
      {"timer and memory extras",
       {{E::H_Time1, "E0"}, {E::H_Time2, "FD"}, {E::M_Time1, "FA"}, {E::stor2, "FB"}},
       "",
       "Label3=0 Label7=0 Label10=0 Label9=0 H_Time1=1 H_Time2=0 M_Time1=3 M_Time2=8 stor2=9",
       {E::Labclr, E::Labtime, E::T_dPoint1, E::labCOMP, E::LabFUL},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DecoderFixture fx;
    const DecodeResult r = fx.decoder.ShowDataTarn(frameWithCodes(c.codes, base));
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(fx.state.ReadingText, c.reading);
    EXPECT_EQ(visibleDigits(fx.model), c.shownCaptions);
    for (E e : c.shown) EXPECT_TRUE(fx.shows(e)) << elementName(e);
    for (E e : c.hidden) EXPECT_FALSE(fx.shows(e)) << elementName(e);
    EXPECT_EQ(fx.state.RemarkText, c.remark);
  }
}

TEST(ShowDataTarn, UnrecognisedMainDigitsKeepTheLastReadingButStillRecord) {
  DecoderFixture fx;
  fx.decoder.ShowDataTarn(kFrameB);
  std::string f = kFrameB;
  for (E label : {E::LabelA, E::LabelB, E::LabelC, E::LabelD}) {
    const DigitInfo& d = kDigits[digitIndex(label)];
    test::putCode(f, d.firstChar, d.secondChar, "80");
  }
  f[7] = '4';  // the minus sign
  const DecodeResult r = fx.decoder.ShowDataTarn(f);
  EXPECT_TRUE(r.handoff);
  EXPECT_EQ(fx.recordCalls, 2);
  EXPECT_EQ(fx.state.ReadingText, "-");
  EXPECT_EQ(captions(fx.model, {E::LabelA, E::LabelB, E::LabelC, E::LabelD}), "1234");
  EXPECT_FALSE(fx.shows(E::Point1));
}

TEST(ShowDataTarn, MinusWithBlankMainDigitsIsNotRecorded) {
  DecoderFixture fx;
  const DecodeResult r = fx.decoder.ShowDataTarn(frameWith({{8, '4'}}));
  EXPECT_FALSE(r.handoff);
  EXPECT_EQ(fx.recordCalls, 0);
  EXPECT_EQ(fx.state.ReadingText, "-");
  EXPECT_TRUE(fx.shows(E::LabelF));
}

// Step 13: the range text of an insulation test from the second row.
struct RangeCase {
  const char* what;
  const char* before;  // second-row codes of an earlier frame, "" for none
  const char* row;     // second-row codes, 4 codes of 2 characters
  char modeChar;       // character 8
  std::string function;
};

std::string frameWithSecondRow(const char* codes, char modeChar) {
  std::string f = frameWith({{8, modeChar}});
  // A main reading so that the frame is a reading.
  test::putCode(f, 22, 21, "7D");
  const E labels[] = {E::Label3, E::Label7, E::Label10, E::Label9};
  for (int i = 0; i < 4; ++i) {
    const DigitInfo& d = kDigits[digitIndex(labels[i])];
    const char code[2] = {codes[2 * i], codes[2 * i + 1]};
    test::putCode(f, d.firstChar, d.secondChar, code);
  }
  return f;
}

TEST(ShowDataTarn, RangeRule) {
  // Second-row codes: 0 D7, 1 50, 2 E3, 5 B5, blank 00.
  const std::vector<RangeCase> cases = {
      {"blank 5 0 0", "", "00B5D7D7", '0', "IR:500V 20G" + kOhmText},
      {"1 0 0 0", "", "50D7D7D7", '0', "IR:1000V 40G" + kOhmText},
      {"2 5 0 0 has no V after 2500", "", "E3B5D7D7", '0', "IR:2500 100G" + kOhmText},
      {"5 0 0 0", "", "B5D7D7D7", '0', "IR:5000V 1000G" + kOhmText},
      {"0 2 5 0 matches nothing", "", "D7E3B5D7", '0', "start"},
      {"DC bit skips the rule", "", "50D7D7D7", '1', "DCV  600V"},
      {"AC bit skips the rule", "", "50D7D7D7", '2', "ACV  600V"},
      {"a hidden first digit keeps its caption but is not compared", "E3B5D7D7", "00B5D7D7", '0',
       "IR:500V 20G" + kOhmText},
      {"hidden first digit with an old 1 and a 0", "50D7D7D7", "00D7D7D7", '0', "start"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DecoderFixture fx;
    if (*c.before) fx.decoder.ShowDataTarn(frameWithSecondRow(c.before, '0'));
    fx.state.FunctionText = "start";
    fx.decoder.ShowDataTarn(frameWithSecondRow(c.row, c.modeChar));
    EXPECT_EQ(fx.state.FunctionText, c.function);
  }
}

TEST(ShowDataTarn, RangeTextAfterADcFrameStaysWhenNoRuleMatches) {
  DecoderFixture fx;
  fx.decoder.ShowDataTarn(kFrameD);
  fx.decoder.ShowDataTarn(frameWithSecondRow("D7E3B5D7", '0'));
  EXPECT_EQ(fx.state.FunctionText, "DCV  600V");
}

}  // namespace
}  // namespace kx::lcd
