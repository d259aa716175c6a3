#include <gtest/gtest.h>

#include "records/Recorder.h"

namespace kx {
namespace {

// A record table with its recorder, controls at their start state (Repeat ticked).
struct Rig {
  AppState state;
  RecordTable table;
  RecordControls controls{.repeatSet = true};
  int32_t now = 12 * 3600 * 1000;
  Recorder rec{state, table, controls, [this] { return now; }};

  RecordOutcome reading(const std::string& text) {
    state.ReadingText = text;
    return rec.INDataToTable(1);
  }
  std::vector<std::string> values() const {
    std::vector<std::string> v;
    for (size_t i = 0; i < table.count(); ++i) v.emplace_back(*table.text(i, Field::Value));
    return v;
  }
};

TEST(Recorder, RecordTakesTheFourTextsTimeAndNumber) {
  Rig r;
  r.state.FunctionText = "IR:1000V 40G\xA6\xB8";
  r.state.RemarkText = "Timed";
  r.state.UnitText = "M\xA6\xB8";
  EXPECT_EQ(r.reading("1.234"), RecordOutcome::Recorded);
  ASSERT_EQ(r.table.count(), 1u);
  const Record rec = r.table.record(0);
  EXPECT_EQ(rec.no, 1);
  EXPECT_EQ(rec.timeMs, r.now);
  EXPECT_EQ(rec.text(Field::Value), "1.234");
  EXPECT_EQ(rec.text(Field::Unit), "M\xA6\xB8");
  EXPECT_EQ(rec.text(Field::V_Range), "IR:1000V 40G\xA6\xB8");
  EXPECT_EQ(rec.text(Field::I_Range), "Timed");
  EXPECT_EQ(r.state.RecordNo, 2);
  EXPECT_EQ(r.state.LastRecordedText, "1.234");
  EXPECT_EQ(r.state.IntervalCountdown, 10);  // reloaded from the box on every record
}

TEST(Recorder, ModeOtherThanOneDoesNothing) {
  Rig r;
  for (int mode : {0, 2, -1}) EXPECT_EQ(r.rec.INDataToTable(mode), RecordOutcome::Ignored);
  EXPECT_TRUE(r.table.empty());
  EXPECT_EQ(r.state.RecordNo, 1);
}

// The rules as sequences of readings: each row starts from the start state, applies its setup
// and then feeds the readings in turn, with `ticks` timer ticks before each reading.
struct RuleCase {
  const char* description;
  bool repeat;
  bool interval;
  std::string box;
  int32_t limit;
  int32_t recordNo;
  std::vector<std::string> readings;
  int ticksBetween;
  std::vector<std::string> recorded;
};

class RecorderRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RecorderRules, Sequence) {
  const RuleCase& c = GetParam();
  Rig r;
  r.controls.repeatSet = c.repeat;
  r.controls.recordSI = c.interval;
  r.controls.recordSITime = c.box;
  r.state.RecordLimit = c.limit;
  r.state.RecordNo = c.recordNo;
  for (const auto& reading : c.readings) {
    r.reading(reading);
    for (int t = 0; t < c.ticksBetween; ++t) r.rec.SampInterTimeTimer();
  }
  EXPECT_EQ(r.values(), c.recorded) << c.description;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecorderRules,
    ::testing::Values(
        RuleCase{"repeat ticked records every reading",
                 true,
                 false,
                 "10",
                 10000,
                 1,
                 {"1.234", "1.234", "1.234"},
                 0,
                 {"1.234", "1.234", "1.234"}},
        RuleCase{"repeat unticked: first, third and fourth",
                 false,
                 false,
                 "10",
                 10000,
                 1,
                 {"1.234", "1.234", "1.235", "1.234"},
                 0,
                 {"1.234", "1.235", "1.234"}},
        RuleCase{"repeat compares bytes, case-sensitive",
                 false,
                 false,
                 "10",
                 10000,
                 1,
                 {"OL", "ol", "OL"},
                 0,
                 {"OL", "ol", "OL"}},
        RuleCase{"limit equal to RecordNo still records",
                 true,
                 false,
                 "10",
                 1000,
                 1000,
                 {"1", "2", "3"},
                 0,
                 {"1"}},
        RuleCase{
            "limit below RecordNo records nothing", true, false, "10", 1000, 3001, {"1"}, 0, {}},
        RuleCase{"interval 10 right after start: first at once, next after ten ticks",
                 true,
                 true,
                 "10",
                 10000,
                 1,
                 {"a", "b", "c"},
                 5,
                 {"a", "c"}},
        RuleCase{"interval 0 records every reading",
                 true,
                 true,
                 "0",
                 10000,
                 1,
                 {"a", "b", "c"},
                 0,
                 {"a", "b", "c"}},
        RuleCase{"empty box is interval 0", true, true, "", 10000, 1, {"a", "b"}, 0, {"a", "b"}},
        RuleCase{"'-' alone is interval 0", true, true, "-", 10000, 1, {"a", "b"}, 0, {"a", "b"}},
        RuleCase{"'+' alone is interval 0", true, true, "+", 10000, 1, {"a", "b"}, 0, {"a", "b"}},
        RuleCase{"invalid box records nothing", true, true, "1x", 10000, 1, {"a", "b"}, 0, {}},
        RuleCase{
            "too large box records nothing", true, false, "2147483648", 10000, 1, {"a"}, 0, {}},
        RuleCase{"interval unticked ignores the countdown",
                 true,
                 false,
                 "10",
                 10000,
                 1,
                 {"a", "b"},
                 0,
                 {"a", "b"}}));

TEST(Recorder, LimitStopsAndHigherLimitResumes) {
  Rig r;
  r.rec.setLimit(LimitItem::set1k);
  r.state.RecordNo = 1000;
  EXPECT_EQ(r.reading("1"), RecordOutcome::Recorded);
  EXPECT_EQ(*r.table.no(0), 1000);
  EXPECT_EQ(r.state.RecordNo, 1001);
  EXPECT_EQ(r.reading("2"), RecordOutcome::LimitReached);
  r.rec.setLimit(LimitItem::set5k);
  EXPECT_EQ(r.state.RecordLimit, 5000);
  EXPECT_EQ(r.reading("3"), RecordOutcome::Recorded);
  EXPECT_EQ(r.table.count(), 2u);
}

TEST(Recorder, LimitlessIsTenMillionAndItsLastRecordIsNumberTenMillion) {
  Rig r;
  r.rec.setLimit(LimitItem::setlimit);
  EXPECT_EQ(r.state.RecordLimit, 10000000);
  EXPECT_EQ(r.rec.checkedLimit(), LimitItem::setlimit);
  r.state.RecordNo = 10000000;
  EXPECT_EQ(r.reading("1"), RecordOutcome::Recorded);
  EXPECT_EQ(*r.table.no(0), 10000000);
  EXPECT_EQ(r.reading("2"), RecordOutcome::LimitReached);
}

TEST(Recorder, EachLimitItemSetsItsValue) {
  Rig r;
  const std::pair<LimitItem, int32_t> expected[] = {
      {LimitItem::set1k, 1000},   {LimitItem::set5k, 5000},     {LimitItem::set10k, 10000},
      {LimitItem::set50k, 50000}, {LimitItem::set100k, 100000}, {LimitItem::setlimit, 10000000}};
  r.state.RecordNo = 77;
  for (auto [item, value] : expected) {
    r.rec.setLimit(item);
    EXPECT_EQ(r.state.RecordLimit, value);
    EXPECT_EQ(r.rec.checkedLimit(), item);
    EXPECT_EQ(r.state.RecordNo, 77);
  }
}

TEST(Recorder, BoxChangedWhileUntickedLoadsTheCountdown) {
  Rig r;
  r.controls.recordSITime = "5";
  EXPECT_FALSE(r.rec.RecordSITimeChange());
  EXPECT_EQ(r.state.IntervalCountdown, 5);
  r.rec.SampInterTimeTimer();  // unticked: no counting
  EXPECT_EQ(r.state.IntervalCountdown, 5);
  r.controls.recordSI = true;
  for (int t = 0; t < 4; ++t) {
    r.rec.SampInterTimeTimer();
    EXPECT_EQ(r.reading("x"), RecordOutcome::IntervalRunning);
  }
  r.rec.SampInterTimeTimer();
  EXPECT_EQ(r.reading("x"), RecordOutcome::Recorded);
}

TEST(Recorder, CountdownNeverGoesBelowZero) {
  Rig r;
  r.controls.recordSI = true;
  r.state.IntervalCountdown = 1;
  r.rec.SampInterTimeTimer();
  r.rec.SampInterTimeTimer();
  EXPECT_EQ(r.state.IntervalCountdown, 0);
}

TEST(Recorder, InvalidBoxKeepsTheCountdownAndNamesTheText) {
  Rig r;
  r.state.IntervalCountdown = 7;
  for (const char* text : {"abc", "1.5", "2147483648", "-2147483649", " 5", "5 ", "--1", "+-1"}) {
    r.controls.recordSITime = text;
    const auto error = r.rec.RecordSITimeChange();
    ASSERT_TRUE(error) << text;
    EXPECT_EQ(*error, std::string("'") + text + "' is not a valid integer value");
    EXPECT_EQ(r.state.IntervalCountdown, 7);
  }
}

TEST(Recorder, IntervalTextRule) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {{"", 0},
                                                                  {"-", 0},
                                                                  {"+", 0},
                                                                  {"10", 10},
                                                                  {"007", 7},
                                                                  {"+5", 5},
                                                                  {"-5", -5},
                                                                  {"2147483647", 2147483647},
                                                                  {"-2147483648", INT32_MIN},
                                                                  {"2147483648", {}},
                                                                  {"1e3", {}},
                                                                  {"0x10", {}},
                                                                  {"++1", {}},
                                                                  {"\xEF\xBC\x91", {}}};
  for (auto [text, expected] : cases) EXPECT_EQ(intervalFromText(text), expected) << text;
}

TEST(Recorder, KeyFilterLetsDigitsAndBackspaceThrough) {
  for (char c = '0'; c <= '9'; ++c) EXPECT_TRUE(Recorder::RecordSITimeKeyPress(c));
  EXPECT_TRUE(Recorder::RecordSITimeKeyPress(8));
  for (char c : {'a', '-', '+', '\r', '\x03', '\x16', '\x18', ' ', '.'})
    EXPECT_FALSE(Recorder::RecordSITimeKeyPress(c)) << int(c);
}

TEST(Recorder, DeleteDataResetsNumberButKeepsLastTextAndCountdown) {
  Rig r;
  r.controls.repeatSet = false;
  r.reading("1.234");
  r.state.IntervalCountdown = 4;
  r.rec.clearRecords();
  EXPECT_TRUE(r.table.empty());
  EXPECT_EQ(r.state.RecordNo, 1);
  EXPECT_EQ(r.state.LastRecordedText, "1.234");
  EXPECT_EQ(r.state.IntervalCountdown, 4);
  // The same reading as before the deletion is still a repeat.
  EXPECT_EQ(r.reading("1.234"), RecordOutcome::Repeated);
  // On an empty table the number goes back to 1 all the same.
  r.state.RecordNo = 9;
  r.rec.clearRecords();
  EXPECT_EQ(r.state.RecordNo, 1);
}

}  // namespace
}  // namespace kx
