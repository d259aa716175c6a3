#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "records/RecordTableModel.h"

namespace kx {
namespace {

TEST(RecordTableModel, ColumnsTitlesAndCentring) {
  RecordTable t;
  RecordTableModel m(t);
  ASSERT_EQ(m.columnCount(), 6);
  const char* titles[] = {"Measurement No.", "Time", "Value", "Unit", "Function", "Remark"};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(m.headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(titles[c]));
    EXPECT_EQ(m.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
  }
  const int widths[] = {106, 92, 72, 78, 109, 132};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(kGridColumns[c].width, widths[c]);
}

TEST(RecordTableModel, AppendsAndResetsPassTheModelTester) {
  RecordTable t;
  RecordTableModel m(t);
  QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy current(&m, &RecordTableModel::currentRowChanged);
  t.append(1, 3723000, "1.234", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "Continuous");
  t.append(2, 0, "0.5", "V", "DCV  600V", "");
  EXPECT_EQ(m.rowCount(), 2);
  ASSERT_EQ(current.count(), 2);
  EXPECT_EQ(current.last().at(0).toInt(), 1);
  t.disableControls();
  for (int i = 0; i < 10; ++i) t.append(i, 0, "x", "", "", "");
  EXPECT_EQ(m.rowCount(), 2);  // the grid does not follow while suspended
  t.enableControls();
  EXPECT_EQ(m.rowCount(), 12);
  t.clear();
  EXPECT_EQ(m.rowCount(), 0);
}

TEST(RecordTableModel, DisplayTexts) {
  setlocale(LC_TIME, "C");
  RecordTable t;
  RecordTableModel m(t);
  t.append(-42, 14 * 3600000 + 5 * 60000 + 9123, "1.234", "M\xA6\xB8", "IR:500V 20G\xA6\xB8", "");
  Record nulls;
  t.append(nulls);
  EXPECT_EQ(m.data(m.index(0, 0)).toString(), "-42");
  EXPECT_EQ(m.data(m.index(0, 1)).toString(), "14:05:09");  // no milliseconds
  EXPECT_EQ(m.data(m.index(0, 3)).toString(), QString::fromUtf8("M\u03A9"));
  EXPECT_EQ(m.data(m.index(0, 4)).toString(), QString::fromUtf8("IR:500V 20G\u03A9"));
  for (int c = 0; c < 6; ++c) EXPECT_EQ(m.data(m.index(1, c)).toString(), QString()) << c;
  // The stored bytes are untouched by showing them.
  EXPECT_EQ(*t.text(0, Field::Unit), "M\xA6\xB8");
  EXPECT_FALSE(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);
}

}  // namespace
}  // namespace kx
