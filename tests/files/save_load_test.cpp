// Saving and loading record files on disk: what a failed save or load leaves behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/RecordFiles.h"

namespace kx {
namespace {

namespace fs = std::filesystem;

const TimeText kPlain("%H:%M:%S");

class FilesOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "kx-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void write(const std::string& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  static void fill(RecordTable& t, int n, const std::string& value = "1.234") {
    for (int i = 1; i <= n; ++i) t.append(i, i * 1000, value, "M\xA6\xB8", "IR:500V", "PI");
  }
  size_t entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  static SaveOptions plain() {
    SaveOptions o;
    o.timeText = kPlain;
    return o;
  }
  static LoadOptions plainLoad() {
    LoadOptions o;
    o.timeText = kPlain;
    return o;
  }

  fs::path dir_;
};

TEST_F(FilesOnDisk, SavesEachFormByExtensionAndLoadsItBack) {
  RecordTable t;
  fill(t, 3);
  for (const char* name : {"run1.xls", "run1.txt", "RUN1.XML", "run1.xml.txt", "run1"}) {
    ASSERT_EQ(saveRecordFile(t, path(name), plain()), std::nullopt) << name;
    const bool xml = recordFileForm(name) == RecordFileForm::XmlPacket;
    EXPECT_EQ(read(path(name)), xml ? xmlPacketBytes(t) : textFileBytes(t, plain())) << name;
    RecordTable back;
    back.append(100, 0, "earlier", "", "", "");
    ASSERT_EQ(loadRecordFile(back, path(name), plainLoad()), std::nullopt) << name;
    // A packet replaces the content; text adds after it.
    EXPECT_EQ(back.count(), xml ? 3u : 4u) << name;
    EXPECT_EQ(back.no(back.count() - 1), 3) << name;
  }
  EXPECT_EQ(entries(), 5u) << "no temporary file left behind";
}

TEST_F(FilesOnDisk, OverwritingKeepsTheFilesPermissions) {
  write(path("a.xls"), "old");
  ASSERT_EQ(::chmod(path("a.xls").c_str(), 0640), 0);
  RecordTable t;
  fill(t, 1);
  ASSERT_EQ(saveRecordFile(t, path("a.xls"), plain()), std::nullopt);
  EXPECT_EQ(fs::status(path("a.xls")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(read(path("a.xls")), textFileBytes(t, plain()));
}

TEST_F(FilesOnDisk, SavingThroughALinkWritesTheFileItNames) {
  write(path("real.txt"), "old");
  fs::create_symlink(path("real.txt"), path("link.txt"));
  RecordTable t;
  fill(t, 2);
  ASSERT_EQ(saveRecordFile(t, path("link.txt"), plain()), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(path("link.txt")));
  EXPECT_EQ(read(path("real.txt")), textFileBytes(t, plain()));
}

TEST_F(FilesOnDisk, FailedSaveShowsTheFormsMessage) {
  fs::create_directory(path("folder.xls"));
  fs::create_directory(path("folder.xml"));
  RecordTable t;
  fill(t, 2);
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {path("missing/run1.xls"),
       "Could not save table to specified file: " + path("missing/run1.xls")},
      {path("folder.xls"), "Could not save table to specified file: " + path("folder.xls")},
      {path("missing/run1.xml"),
       "Cannot create file \"" + path("missing/run1.xml") + "\". No such file or directory"},
      {path("folder.xml"), "Cannot create file \"" + path("folder.xml") + "\". Is a directory"},
      {"/dev/full", "Could not save table to specified file: /dev/full"},
  };
  for (const auto& c : cases) EXPECT_EQ(saveRecordFile(t, c.path, plain()), c.message) << c.path;
  EXPECT_EQ(entries(), 2u) << "no temporary file left behind";
}

TEST_F(FilesOnDisk, SaveThatRunsOutOfSpaceKeepsTheOldFile) {
  // A file size limit stands in for a full disk: writing past it fails with EFBIG.
  for (const char* name : {"full.xls", "full.xml"}) {
    write(path(name), "the old content");
    RecordTable t;
    fill(t, 20000);
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    auto* previous = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = saveRecordFile(t, path(name), plain());
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, previous);
    ASSERT_TRUE(result.has_value()) << name;
    EXPECT_EQ(read(path(name)), "the old content") << name;
  }
  EXPECT_EQ(entries(), 2u) << "no temporary file left behind";
}

TEST_F(FilesOnDisk, FailedLoadsChangeWhatTheyMust) {
  write(path("broken.xml"), xmlPacketBytes(RecordTable()).substr(0, 60));
  write(path("empty.xls"), "");
  write(path("blank.txt"), "header\r\n5\t00:00:01\r\n\r\n6\t00:00:02\r\n");
  fs::create_directory(path("folder.txt"));
  const struct {
    std::string path;
    size_t countAfter;  // the table holds one record before
  } cases[] = {
      {path("broken.xml"), 1},   // unchanged, the earlier record included
      {path("missing.xml"), 1},  //
      {path("empty.xls"), 1},    //
      {path("missing.txt"), 1},  //
      {path("folder.txt"), 1},   //
      {"/dev/zero", 1},          // an endless device: its first byte ends the text
      {path("blank.txt"), 2},    // the line before the blank one stays
  };
  for (const auto& c : cases) {
    RecordTable t;
    t.append(1, 0, "kept", "", "", "");
    EXPECT_EQ(loadRecordFile(t, c.path, plainLoad()), "Failed to Load File!") << c.path;
    EXPECT_EQ(t.count(), c.countAfter) << c.path;
    EXPECT_EQ(t.text(0, Field::Value), "kept") << c.path;
  }
}

TEST_F(FilesOnDisk, OneGigabyteOneLineFileIsOnlyAHeader) {
  const std::string p = path("huge.txt");
  {
    std::FILE* f = std::fopen(p.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string block(1 << 20, 'A');
    for (int i = 0; i < 1024; ++i)
      ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), f), block.size());
    std::fclose(f);
  }
  RecordTable t;
  t.append(1, 0, "kept", "", "", "");
  EXPECT_EQ(loadRecordFile(t, p, plainLoad()), std::nullopt);
  EXPECT_EQ(t.count(), 1u);
  // The same line as a record line: its text is cut, its No does not convert.
  {
    std::FILE* f = std::fopen(p.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fputs("h\n", f);
    std::fclose(f);
  }
  EXPECT_EQ(loadRecordFile(t, p, plainLoad()), "Failed to Load File!");
  EXPECT_EQ(t.count(), 1u);
  fs::remove(p);
}

}  // namespace
}  // namespace kx
