// The page-total rule, the pagination and the snapshot the report is produced from.

#include <gtest/gtest.h>

#include "records/TimeText.h"
#include "reports/DataReport.h"
#include "tests/reports/ReportTestSupport.h"

namespace kx {
namespace {

TEST(ReportPageTotal, CountsWhole37LinePagesAndNeverLessThanOne) {
  struct Case {
    const char* what;
    size_t records;
    int32_t pages;
  };
  const Case cases[] = {
      {"empty table", 0, 1},
      {"one record", 1, 1},
      {"one short of a page", 36, 1},
      {"a full page", 37, 1},
      {"one over a page", 38, 2},
      {"two full pages", 74, 2},
      {"one over two pages", 75, 3},
      {"ten thousand", 10000, 271},
      {"a hundred thousand", 100000, 2703},
      {"the largest table", 10'000'000, 270271},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(reportPageTotal(c.records), c.pages);
  }
}

TEST(ReportLayout, BandsLeaveRoomForExactlyTheRowsPerPage) {
  // A change of paper, margins or band heights must come with a matching ReportRowsPerPage.
  EXPECT_EQ(detailLinesPerPage(), ReportRowsPerPage);
  const double lastLineBottom =
      bandTopPx(Band::Detail, ReportRowsPerPage - 1) + bandHeightPx(Band::Detail);
  EXPECT_LE(lastLineBottom, bandTopPx(Band::PageFooter));
  EXPECT_GT(lastLineBottom + bandHeightPx(Band::Detail), bandTopPx(Band::PageFooter));
}

TEST(ReportLayout, PagesSplitTheRecordsInOrder) {
  RecordTable table;
  test::fillTable(table, 75);
  auto report = test::reportOf(table);
  ASSERT_EQ(report->pageCount(), 3);
  struct Case {
    int page;
    size_t first, last;
  };
  for (const Case c : {Case{0, 0, 37}, Case{1, 37, 74}, Case{2, 74, 75}}) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(report->firstRow(c.page), c.first);
    EXPECT_EQ(report->lastRow(c.page), c.last);
  }
}

TEST(ReportSnapshot, ShowsEachFieldAsTheGridDoes) {
  RecordTable table;
  table.append(7, (14 * 3600 + 5 * 60 + 9) * 1000 + 678, "-1.234", "G\xA6\xB8", "DCV  600V",
               "COMP:NG");
  Record nulls;  // loaded from a file with no values at all
  table.append(nulls);
  table.append(-2147483647 - 1, 0, "", "", "", "");
  const ReportSnapshot s(table, TimeText("%H:%M:%S"));
  ASSERT_EQ(s.count(), 3u);
  EXPECT_EQ(s.text(0, Field::No), "7");
  EXPECT_EQ(s.text(0, Field::Time), "14:05:09");  // milliseconds are not shown
  EXPECT_EQ(s.text(0, Field::Value), "-1.234");
  EXPECT_EQ(s.text(0, Field::Unit), QString::fromUtf8("G\u03a9"));  // A6 B8 is the ohm sign
  EXPECT_EQ(s.text(0, Field::V_Range), "DCV  600V");
  EXPECT_EQ(s.text(0, Field::I_Range), "COMP:NG");
  for (int f = 0; f < kFieldCount; ++f) {
    SCOPED_TRACE(f);
    EXPECT_TRUE(s.text(1, static_cast<Field>(f)).isEmpty());
  }
  EXPECT_EQ(s.text(2, Field::No), "-2147483648");
  EXPECT_EQ(s.text(2, Field::Time), "00:00:00");
}

TEST(ReportSnapshot, KeepsTheRecordsPresentWhenTaken) {
  RecordTable table;
  test::fillTable(table, 40);
  const ReportSnapshot s(table, TimeText("%H:%M:%S"));
  // The recording step appends, then Delete Data empties the table and a file load
  // replaces it; the copy still holds the forty records it was given.
  test::fillTable(table, 10, 40);
  table.clear();
  RecordTable loaded;
  loaded.append(1, 0, "other", "V", "ACV", "x");
  table.replaceWith(loaded);
  ASSERT_EQ(s.count(), 40u);
  for (size_t r = 0; r < 40; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(s.text(r, Field::No), QString::number(r + 1));
    EXPECT_EQ(s.text(r, Field::Value).toStdString(), test::valueText(r));
  }
}

}  // namespace
}  // namespace kx
