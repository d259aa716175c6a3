// kx3816-cli report: loads a record file of either form and writes the report; a bad file
// ends it with status 1 and the load message.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "files/RecordFiles.h"
#include "tests/reports/ReportTestSupport.h"

namespace kx {
namespace {

struct CliRun {
  int status;
  QString err;
};

CliRun cli(const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the command chooses offscreen itself
  env.remove(QStringLiteral("DISPLAY"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(KX_CLI_PATH), QStringList{QStringLiteral("report")} + args);
  if (!p.waitForFinished(120000)) return {-1, QStringLiteral("timed out")};
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
}

class ReportCliTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir_;
};

TEST_F(ReportCliTest, WritesEveryFormatFromEitherFileForm) {
  if (!test::havePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  RecordTable table;
  test::fillTable(table, 75);
  for (const char* in : {"in.xml", "in.txt"}) {
    SCOPED_TRACE(in);
    const auto saved =
        saveRecordFile(table, path(in).toStdString(), {.timeText = TimeText::fromLocale()});
    ASSERT_FALSE(saved.has_value()) << *saved;
    const CliRun r = cli({path(in), "--pdf", path("out.pdf"), "--csv", path("out.csv"), "--html",
                          path("out.htm"), "--txt", path("out.txt")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(test::pdfPageCount(path("out.pdf")), 3);
    QFile csv(path("out.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count("\r\n"), 76);
    for (const char* out : {"out.htm", "out.txt"}) EXPECT_GT(QFile(path(out)).size(), 1000);
    // The footer's total is the page count of the loaded records.
    const auto words = test::pdfWords(path("out.pdf"));
    EXPECT_TRUE(test::findWord(words, 3, "3", 10 + 140 * kMmPerPx, 277).has_value());
  }
}

TEST_F(ReportCliTest, RefusesBadInputAndBadArguments) {
  {
    QFile bad(path("bad.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<not a data packet");
  }
  struct Case {
    const char* what;
    QStringList args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"broken data packet", {path("bad.xml"), "--pdf", path("o.pdf")}, 1, "Failed to Load File!"},
      {"missing file", {path("none.txt"), "--pdf", path("o.pdf")}, 1, "Failed to Load File!"},
      {"no output", {path("bad.xml")}, 2, "usage"},
      {"output without a name", {path("bad.xml"), "--pdf"}, 2, "needs a file name"},
      {"unknown option", {path("bad.xml"), "--doc", path("o.doc")}, 2, "unknown option"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("o.pdf")));
  }
}

}  // namespace
}  // namespace kx
