#include <gtest/gtest.h>

#include "records/RecordTable.h"

namespace kx {
namespace {

struct CountingObserver : RecordTableObserver {
  std::vector<std::pair<size_t, size_t>> appends;
  int resets = 0;
  void appended(size_t first, size_t last) override { appends.emplace_back(first, last); }
  void reset() override { ++resets; }
};

TEST(RecordTable, AppendKeepsOrderFieldsAndBytes) {
  RecordTable t;
  t.append(1, 1000, "1.234", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Continuous");
  t.append(2, 2000, "1.234", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Timed");
  ASSERT_EQ(t.count(), 2u);
  EXPECT_EQ(*t.no(0), 1);
  EXPECT_EQ(*t.timeMs(1), 2000);
  EXPECT_EQ(*t.text(0, Field::Unit), "M\xA6\xB8");
  EXPECT_EQ(*t.text(0, Field::V_Range), "IR:500V 20G\xA6\xB8");
  EXPECT_EQ(*t.text(1, Field::I_Range), "Timed");
  EXPECT_EQ(t.current(), 1u);
}

TEST(RecordTable, TextsAreCutToTwentyBytes) {
  RecordTable t;
  const std::string longText = "0123456789ABCDEFGHIJKLMNO";  // 25 bytes
  t.append(1, 0, longText, "", "", "");
  EXPECT_EQ(*t.text(0, Field::Value), "0123456789ABCDEFGHIJ");
  // A two-byte character across the cut is cut as bytes, as the field stores bytes.
  t.append(2, 0, std::string(19, 'x') + "\xA6\xB8", "", "", "");
  EXPECT_EQ(t.text(1, Field::Value)->size(), 20u);
}

TEST(RecordTable, NullAndEmptyStayDistinct) {
  RecordTable t;
  Record r;
  r.text(Field::Value) = "";
  r.text(Field::Unit) = std::nullopt;
  t.append(r);
  EXPECT_TRUE(t.isNull(0, Field::No));
  EXPECT_TRUE(t.isNull(0, Field::Time));
  EXPECT_FALSE(t.isNull(0, Field::Value));
  EXPECT_EQ(*t.text(0, Field::Value), "");
  EXPECT_TRUE(t.isNull(0, Field::Unit));
  EXPECT_FALSE(t.no(0).has_value());
  EXPECT_EQ(t.record(0), r);
}

TEST(RecordTable, ExtremeValuesRoundTrip) {
  RecordTable t;
  Record r{INT32_MIN, kMsPerDay - 1, {"a", "b", "c", "d"}};
  t.append(r, false);
  EXPECT_EQ(t.record(0), r);
  EXPECT_FALSE(t.isLogged(0));
  EXPECT_THROW(t.append(1, kMsPerDay, "", "", "", ""), std::out_of_range);
  EXPECT_THROW(t.append(1, -1, "", "", "", ""), std::out_of_range);
  EXPECT_EQ(t.count(), 1u);
}

TEST(RecordTable, ManyRecordsAcrossChunks) {
  RecordTable t;
  const size_t n = 200'000;  // several storage chunks
  for (size_t i = 0; i < n; ++i)
    t.append(static_cast<int32_t>(i), static_cast<int32_t>(i % kMsPerDay), std::to_string(i % 97),
             "V", "DCV  600V", "");
  ASSERT_EQ(t.count(), n);
  for (size_t i : {size_t{0}, size_t{65535}, size_t{65536}, n - 1}) {
    EXPECT_EQ(*t.no(i), static_cast<int32_t>(i));
    EXPECT_EQ(*t.text(i, Field::Value), std::to_string(i % 97));
  }
}

TEST(RecordTable, ClearAndReplaceNotifyOnce) {
  RecordTable t;
  CountingObserver o;
  t.addObserver(&o);
  t.append(1, 0, "a", "", "", "");
  EXPECT_EQ(o.appends.size(), 1u);
  t.clear();
  EXPECT_EQ(o.resets, 1);
  EXPECT_TRUE(t.empty());
  EXPECT_FALSE(t.current());

  RecordTable other;
  other.append(7, 0, "x", "", "", "");
  other.append(8, 0, "y", "", "", "");
  t.replaceWith(other);
  EXPECT_EQ(o.resets, 2);
  EXPECT_EQ(t.count(), 2u);
  EXPECT_EQ(*t.text(1, Field::Value), "y");
  EXPECT_TRUE(other.empty());
  t.removeObserver(&o);
}

TEST(RecordTable, SuspendedUpdatesGiveOneResetOnResume) {
  RecordTable t;
  CountingObserver o;
  t.addObserver(&o);
  t.disableControls();
  t.disableControls();
  for (int i = 0; i < 5; ++i) t.append(i, 0, "a", "", "", "");
  t.enableControls();
  EXPECT_EQ(o.resets, 0);  // still suspended once
  t.enableControls();
  EXPECT_EQ(o.resets, 1);
  EXPECT_TRUE(o.appends.empty());
  // Resume without a change in between: nothing to tell.
  t.disableControls();
  t.enableControls();
  EXPECT_EQ(o.resets, 1);
  t.removeObserver(&o);
}

TEST(RecordTable, RepeatedTextsStayRightAcrossClearAndReplace) {
  // Neighbouring records share texts; each must still read back as it was given.
  RecordTable t, other;
  const char* values[] = {"a", "a", "b", "", "a", "abc"};
  for (const char* v : values) t.append(1, 0, v, v, "", "");
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(t.text(i, Field::Value), values[i]) << i;
    EXPECT_EQ(t.text(i, Field::Unit), values[i]) << i;
  }
  t.clear();
  t.append(1, 0, "abc", "", "", "");
  t.append(2, 0, "b", "", "", "");
  EXPECT_EQ(t.text(0, Field::Value), "abc");
  other.append(3, 0, "b", "", "", "");
  t.replaceWith(other);
  t.append(4, 0, "abc", "", "", "");
  other.append(5, 0, "b", "", "", "");
  EXPECT_EQ(t.text(0, Field::Value), "b");
  EXPECT_EQ(t.text(1, Field::Value), "abc");
  EXPECT_EQ(other.text(0, Field::Value), "b");
}

TEST(RecordTable, FieldsAtOnceMatchFieldByField) {
  RecordTable t;
  t.append(Record{5, 1234, {"a", std::nullopt, "", "d"}}, false);
  t.append(Record{std::nullopt, std::nullopt, {std::nullopt, "u", std::nullopt, std::nullopt}});
  for (size_t r = 0; r < t.count(); ++r) {
    const auto f = t.fields(r);
    EXPECT_EQ(f.no, t.no(r)) << r;
    EXPECT_EQ(f.timeMs, t.timeMs(r)) << r;
    EXPECT_EQ(f.logged, t.isLogged(r)) << r;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.texts[i], t.text(r, static_cast<Field>(i + 2))) << r;
  }
  EXPECT_FALSE(t.fields(0).logged);
  EXPECT_TRUE(t.fields(1).logged);
}

}  // namespace
}  // namespace kx
