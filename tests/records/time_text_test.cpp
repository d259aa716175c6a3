#include <gtest/gtest.h>

#include "records/TimeText.h"

namespace kx {
namespace {

TEST(TimeText, FormatsAndParsesInTheGivenFormat) {
  const struct {
    const char* format;
    int32_t ms;
    const char* text;
  } cases[] = {
      {"%H:%M:%S", 14 * 3600000 + 5 * 60000 + 9123, "14:05:09"},
      {"%H:%M:%S", 0, "00:00:00"},
      {"%H:%M:%S", 86399999, "23:59:59"},
      {"%I:%M:%S %p", 13 * 3600000, "01:00:00 PM"},
      {"%I:%M:%S %p", 0, "12:00:00 AM"},
      {"%T", 3723000, "01:02:03"},
  };
  for (const auto& c : cases) {
    TimeText tt(c.format);
    EXPECT_EQ(tt.text(c.ms), c.text) << c.format;
    EXPECT_EQ(tt.parse(c.text), c.ms / 1000 * 1000) << c.format;
  }
}

TEST(TimeText, RejectsWhatSavingNeverWrites) {
  TimeText tt("%H:%M:%S");
  for (const char* bad : {"", "NULL", "14:05", "14:05:09x", "25:00:00", "14:05:09.123", "abc"})
    EXPECT_FALSE(tt.parse(bad)) << bad;
}

TEST(TimeText, LocalTimeOfDayIsInRange) {
  const int32_t ms = localTimeOfDayMs();
  EXPECT_GE(ms, 0);
  EXPECT_LT(ms, 86400000);
}

}  // namespace
}  // namespace kx
