// The two record file forms on bytes in memory: exact bytes written, what reading accepts and
// rejects, and what a round trip keeps.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/RecordFiles.h"

namespace kx {
namespace {

using namespace std::string_literals;

const TimeText kPlain("%H:%M:%S");
constexpr int32_t ms(int h, int m, int s, int milli = 0) {
  return ((h * 60 + m) * 60 + s) * 1000 + milli;
}
const std::string kOhm = "\xA6\xB8";

struct Row {
  Record record;
  bool logged = true;
};

Record rec(std::optional<int32_t> no, std::optional<int32_t> time,
           std::array<std::optional<std::string>, 4> texts) {
  Record r;
  r.no = no;
  r.timeMs = time;
  r.texts = std::move(texts);
  return r;
}

void fill(RecordTable& t, const std::vector<Row>& rows) {
  for (const auto& r : rows) t.append(r.record, r.logged);
}

std::vector<Record> records(const RecordTable& t) {
  std::vector<Record> out;
  for (size_t i = 0; i < t.count(); ++i) out.push_back(t.record(i));
  return out;
}

SaveOptions plainSave() {
  SaveOptions o;
  o.timeText = kPlain;
  return o;
}

const std::string kHeader = "Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n";

TEST(RecordFileForm, ChosenByTheLastExtensionIgnoringCase) {
  const struct {
    const char* path;
    RecordFileForm form;
  } cases[] = {
      {"/data/run1.xls", RecordFileForm::Text},
      {"/data/RUN1.XML", RecordFileForm::XmlPacket},
      {"/data/run1.Xml", RecordFileForm::XmlPacket},
      {"/data/run1.xml.txt", RecordFileForm::Text},
      {"/data/run1", RecordFileForm::Text},
      {"/data.xml/run1", RecordFileForm::Text},  // a folder's extension does not count
      {"run1.xmlx", RecordFileForm::Text},
      {"run1.txt.xml", RecordFileForm::XmlPacket},
  };
  for (const auto& c : cases) EXPECT_EQ(recordFileForm(c.path), c.form) << c.path;
}

TEST(TextFile, WritesHeaderAndTrimmedColumnsInFieldOrder) {
  RecordTable t;
  fill(t, {
              {rec(1, ms(14, 5, 9, 123), {" 1.234", "M" + kOhm, "IR:1000V 40G" + kOhm, "PI"})},
              {rec(2, ms(9, 3, 0), {"", "\t \r", std::nullopt, "COMP:GOOD "})},
              {rec(std::nullopt, std::nullopt, {"-0.5", "V", "DCV  600V", "Continuous"})},
              {rec(-7, 0,
                   {"x\ty",
                    "\x01"
                    "a",
                    "\xFF", "b\x02"})},
          });
  const std::string expected = kHeader +
                               "1\t14:05:09\t1.234\tM\xA6\xB8\tIR:1000V 40G\xA6\xB8\tPI\r\n"
                               "2\t09:03:00\tNULL\tNULL\tNULL\tCOMP:GOOD\r\n"
                               "\tNULL\t-0.5\tV\tDCV  600V\tContinuous\r\n"
                               "-7\t00:00:00\tx\ty\ta\t\xFF\tb\r\n";
  EXPECT_EQ(textFileBytes(t, plainSave()), expected);
}

TEST(TextFile, HeaderFollowsTheGridOrderWhileLinesKeepFieldOrder) {
  RecordTable t;
  fill(t, {{rec(3, ms(1, 2, 3), {"a", "b", "c", "d"})}});
  SaveOptions o = plainSave();
  o.headerOrder = {Field::No,      Field::Value,   Field::Unit,
                   Field::V_Range, Field::I_Range, Field::Time};
  EXPECT_EQ(textFileBytes(t, o),
            "Measurement No.\tValue\tUnit\tFunction\tRemark\tTime\r\n3\t01:02:03\ta\tb\tc\td\r\n");
}

TEST(TextFile, EmptyTableIsTheHeaderLineOnly) {
  RecordTable t;
  EXPECT_EQ(textFileBytes(t, plainSave()), kHeader);
}

TEST(TextFile, TimesInTheLocaleFormat) {
  RecordTable t;
  fill(t, {{rec(1, ms(13, 0, 5, 999), {"1", "V", "f", "r"})}});
  SaveOptions o;
  o.timeText = TimeText("%I:%M:%S %p");
  const std::string bytes = textFileBytes(t, o);
  EXPECT_EQ(bytes, kHeader + "1\t01:00:05 PM\t1\tV\tf\tr\r\n");
  RecordTable back;
  ASSERT_TRUE(loadTextBytes(back, bytes, TimeText("%I:%M:%S %p")));
  EXPECT_EQ(back.timeMs(0), ms(13, 0, 5));
  RecordTable other;
  EXPECT_FALSE(loadTextBytes(other, bytes, kPlain)) << "a 12-hour time is no 24-hour time";
}

struct TextLoadCase {
  const char* what;
  std::string bytes;
  bool ok;
  std::vector<Record> added;  // records the load adds, the failing line's excluded
};

TEST(TextFile, LoadCases) {
  const std::string h = "anything\r\n";
  const std::vector<TextLoadCase> cases = {
      {"empty file", "", false, {}},
      {"header only", "Measurement No.\tTime\r\n", true, {}},
      {"header without line break", "Measurement No.", true, {}},
      {"six parts",
       h + "5\t14:05:09\t1.2\tV\tDCV\tPI\r\n",
       true,
       {rec(5, ms(14, 5, 9), {"1.2", "V", "DCV", "PI"})}},
      {"three parts leave the rest without a value",
       h + "5\t14:05:09\t1.2\r\n",
       true,
       {rec(5, ms(14, 5, 9), {"1.2", std::nullopt, std::nullopt, std::nullopt})}},
      {"one part",
       h + "-12\r\n",
       true,
       {rec(-12, std::nullopt, {std::nullopt, std::nullopt, std::nullopt, std::nullopt})}},
      {"NULL and empty texts come back as they stand",
       h + "1\t00:00:01\tNULL\t\t\tx\r\n",
       true,
       {rec(1, ms(0, 0, 1), {"NULL", "", "", "x"})}},
      {"lone CR, lone LF and CR LF all end lines",
       h + "1\r2\n3\r\n4",
       true,
       {rec(1, {}, {}), rec(2, {}, {}), rec(3, {}, {}), rec(4, {}, {})}},
      {"a zero byte ends the text",
       h + "1\r\n2\0\r\nrubbish\r\n"s,
       true,
       {rec(1, {}, {}), rec(2, {}, {})}},
      {"a zero byte in the header leaves no line", "\0head\r\n1\r\n"s, false, {}},
      {"a zero byte after a line break",
       h + "1\r\n\0"
           "2\r\n"s,
       true,
       {rec(1, {}, {})}},
      {"a zero byte ends the header", "head\0\r\n1\r\n"s, true, {}},
      {"texts are cut to 20 bytes",
       h + "1\t00:00:00\t123456789012345678901234\r\n",
       true,
       {rec(1, 0, {"12345678901234567890", {}, {}, {}})}},
      {"bytes above 127 unchanged",
       h + "1\t00:00:00\t\xA6\xB8\xFF\x80\r\n",
       true,
       {rec(1, 0, {"\xA6\xB8\xFF\x80", {}, {}, {}})}},
      {"blank line fails there, earlier lines stay", h + "1\r\n\r\n2\r\n", false, {rec(1, {}, {})}},
      {"seven parts fail", h + "1\r\n2\t00:00:00\ta\tb\tc\td\t\r\n", false, {rec(1, {}, {})}},
      {"NULL in No", h + "NULL\t00:00:00\r\n", false, {}},
      {"NULL in Time", h + "1\tNULL\r\n", false, {}},
      {"empty Time", h + "1\t\r\n", false, {}},
      {"No with a fraction", h + "1.5\r\n", false, {}},
      {"No with a plus sign", h + "+1\r\n", false, {}},
      {"No with a blank", h + " 1\r\n", false, {}},
      {"No beyond 32 bits", h + "2147483648\r\n", false, {}},
      {"largest No", h + "2147483647\r\n", true, {rec(2147483647, {}, {})}},
      {"time without leading zero", h + "1\t9:03:00\r\n", false, {}},
      {"time with milliseconds", h + "1\t09:03:00.123\r\n", false, {}},
      {"hour 24", h + "1\t24:00:00\r\n", false, {}},
      {"binary garbage", h + "\x01\x02\xFF\xFE\t\x80\r\n", false, {}},
  };
  for (const auto& c : cases) {
    RecordTable t;
    t.append(rec(99, 0, {"before", {}, {}, {}}));
    EXPECT_EQ(loadTextBytes(t, c.bytes, kPlain), c.ok) << c.what;
    std::vector<Record> expected = {rec(99, 0, {"before", {}, {}, {}})};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(records(t), expected) << c.what;
    for (size_t i = 1; i < t.count(); ++i) EXPECT_TRUE(t.isLogged(i)) << c.what;
  }
}

TEST(TextFile, RoundTripKeepsRecordsUpToTheDocumentedChanges) {
  RecordTable t;
  fill(t, {
              {rec(1, ms(14, 5, 9, 123), {" 1.234", "M" + kOhm, "IR:1000V 40G" + kOhm, "PI"})},
              {rec(2, ms(23, 59, 59, 999), {"", "V", std::nullopt, "a b"})},
          });
  const std::string bytes = textFileBytes(t, plainSave());
  RecordTable back;
  ASSERT_TRUE(loadTextBytes(back, bytes, kPlain));
  ASSERT_TRUE(loadTextBytes(back, bytes, kPlain));  // loading twice adds them twice
  const std::vector<Record> once = {
      rec(1, ms(14, 5, 9), {"1.234", "M" + kOhm, "IR:1000V 40G" + kOhm, "PI"}),
      rec(2, ms(23, 59, 59), {"NULL", "V", "NULL", "a b"}),
  };
  std::vector<Record> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(records(back), twice);
}

const std::string kPacketHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Time\" fieldtype=\"time\"/>"
    "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"V_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"I_Range\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS>";

TEST(XmlPacket, EmptyTable) {
  RecordTable t;
  EXPECT_EQ(xmlPacketBytes(t),
            kPacketHead + "<PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
}

TEST(XmlPacket, WritesRowsWithStateEscapesAndAbsentFields) {
  RecordTable t;
  fill(t, {
              {rec(1, ms(14, 5, 9, 123), {"1.234", "M" + kOhm, "<&>'\"", "\r\n\t\\"}), true},
              {rec(-20, ms(9, 3, 0), {"", std::nullopt, "\x01\xFF", " a "}), false},
              {rec(std::nullopt, std::nullopt,
                   {std::nullopt, std::nullopt, std::nullopt, std::nullopt}),
               true},
          });
  const std::string expected =
      kPacketHead +
      "<PARAMS CHANGE_LOG=\"1 0 4 3 0 4\"/></METADATA><ROWDATA>"
      "<ROW RowState=\"4\" No=\"1\" Time=\"14:05:09123\" Value=\"1.234\" Unit=\"M\xA6\xB8\" "
      "V_Range=\"&lt;&amp;&gt;&apos;&quot;\" I_Range=\"&#013;&#010;&#009;&#092;\"/>"
      "<ROW No=\"-20\" Time=\"09:03:00000\" Value=\"\" V_Range=\"\x01\xFF\" I_Range=\" a \"/>"
      "<ROW RowState=\"4\"/>"
      "</ROWDATA></DATAPACKET>";
  EXPECT_EQ(xmlPacketBytes(t), expected);
}

TEST(XmlPacket, RoundTripKeepsEverything) {
  RecordTable t;
  const std::vector<Row> rows = {
      {rec(1, ms(14, 5, 9, 123), {"1.234", "M" + kOhm, "<&>'\"", "\r\n\t\\"}), true},
      {rec(-20, ms(23, 59, 59, 999), {"", std::nullopt, "\x01\x1F\xFF\x80", " a "}), false},
      {rec(std::nullopt, std::nullopt, {std::nullopt, std::nullopt, std::nullopt, ""}), true},
      {rec(2147483647, 0, {"12345678901234567890", "", "", ""}), false},
  };
  fill(t, rows);
  RecordTable back;
  ASSERT_TRUE(loadXmlBytes(back, xmlPacketBytes(t)));
  ASSERT_EQ(back.count(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(back.record(i), rows[i].record) << i;
    EXPECT_EQ(back.isLogged(i), rows[i].logged) << i;
  }
}

std::string packet(const std::string& fields, const std::string& params, const std::string& rows) {
  return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>"
         "<FIELDS>" +
         fields + "</FIELDS>" + params + "</METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

std::string sixFields(const std::string& noType = "i4", const std::string& timeType = "time",
                      const std::string& extra = "") {
  return "<FIELD attrname=\"No\" fieldtype=\"" + noType + "\"/>" +
         "<FIELD attrname=\"Time\" fieldtype=\"" + timeType + "\"/>" +
         "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
         "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"10\"/>"
         "<FIELD attrname=\"V_Range\" fieldtype=\"string\" WIDTH=\"20\" SUBTYPE=\"x\"/>"
         "<FIELD attrname=\"I_Range\" fieldtype=\"string\" WIDTH=\"20\" required=\"true\"/>" +
         extra;
}

struct XmlLoadCase {
  const char* what;
  std::string bytes;
  bool ok;
  std::vector<Record> loaded;  // when ok
};

TEST(XmlPacket, LoadCases) {
  const std::string row = "<ROW No=\"7\" Time=\"01:02:03004\" Value=\"v\" Unit=\"u\"/>";
  const Record r7 = rec(7, ms(1, 2, 3, 4), {"v", "u", std::nullopt, std::nullopt});
  const std::string good = packet(sixFields(), "<PARAMS/>", row);
  const std::vector<XmlLoadCase> cases = {
      {"plain packet", good, true, {r7}},
      {"no RowState or CHANGE_LOG, extra attributes on PARAMS and FIELD",
       packet(sixFields("i2", "time", "<FIELD attrname=\"Extra\" fieldtype=\"r8\"/>"),
              "<PARAMS LCID=\"2052\" DEFAULT_ORDER=\"1\"/>",
              "<ROW No=\"7\" Time=\"01:02:03004\" Value=\"v\" Unit=\"u\" Extra=\"1.5\"/>"),
       true,
       {r7}},
      {"with RowState and CHANGE_LOG",
       packet(sixFields(), "<PARAMS CHANGE_LOG=\"1 0 4\"/>",
              "<ROW RowState=\"4\" No=\"7\" Time=\"01:02:03004\" Value=\"v\" Unit=\"u\"/>"),
       true,
       {r7}},
      {"single quotes, blanks and line breaks",
       "<?xml version='1.0'?>\n<DATAPACKET Version='2.0'>\n <METADATA><FIELDS>" + sixFields() +
           "</FIELDS><PARAMS/></METADATA>\n<ROWDATA>\n<ROW No='7' Time='01:02:03004' "
           "Value='v' Unit='u' />\n</ROWDATA></DATAPACKET>\n",
       true,
       {r7}},
      {"declared encoding is overridden: bytes stay bytes",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET><METADATA><FIELDS>" + sixFields() +
           "</FIELDS></METADATA><ROWDATA><ROW No=\"1\" Unit=\"\xA6\xB8\"/></ROWDATA>"
           "</DATAPACKET>",
       true,
       {rec(1, {}, {std::nullopt, "\xA6\xB8", std::nullopt, std::nullopt})}},
      {"character references within one byte",
       packet(sixFields(), "", "<ROW No=\"1\" Value=\"&#169;&#x41;&#013;\"/>"),
       true,
       {rec(1, {},
            {"\xA9"
             "A\r",
             std::nullopt, std::nullopt, std::nullopt})}},
      {"empty rows", packet(sixFields(), "<PARAMS/>", ""), true, {}},
      {"texts longer than 20 bytes are cut",
       packet(sixFields(), "", "<ROW Value=\"123456789012345678901234\"/>"),
       true,
       {rec({}, {}, {"12345678901234567890", {}, {}, {}})}},
      {"empty file", "", false, {}},
      {"not XML", "\x01\x02garbage\xFF", false, {}},
      {"other root element", "<ROWDATA><ROW No=\"1\"/></ROWDATA>", false, {}},
      {"truncated", good.substr(0, good.size() - 20), false, {}},
      {"no ROWDATA",
       "<DATAPACKET><METADATA><FIELDS>" + sixFields() + "</FIELDS></METADATA></DATAPACKET>",
       false,
       {}},
      {"a field missing",
       packet("<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Time\" "
              "fieldtype=\"time\"/><FIELD attrname=\"Value\" fieldtype=\"string\"/>",
              "", row),
       false,
       {}},
      {"No of a text type", packet(sixFields("string"), "", row), false, {}},
      {"Time of a date-time type", packet(sixFields("i4", "datetime"), "", row), false, {}},
      {"a field twice",
       packet(sixFields("i4", "time", "<FIELD attrname=\"No\" fieldtype=\"i4\"/>"), "", row),
       false,
       {}},
      {"rows before fields",
       "<DATAPACKET><ROWDATA>" + row + "</ROWDATA><METADATA><FIELDS>" + sixFields() +
           "</FIELDS></METADATA></DATAPACKET>",
       false,
       {}},
      {"No not an integer", packet(sixFields(), "", "<ROW No=\"1.5\"/>"), false, {}},
      {"No beyond 32 bits", packet(sixFields("i8"), "", "<ROW No=\"4294967296\"/>"), false, {}},
      {"Time in another form", packet(sixFields(), "", "<ROW Time=\"01:02:03.004\"/>"), false, {}},
      {"Time of 60 seconds", packet(sixFields(), "", "<ROW Time=\"01:02:60000\"/>"), false, {}},
      {"a character no byte stands for",
       packet(sixFields(), "", "<ROW Value=\"&#8486;\"/>"),
       false,
       {}},
      {"document type with entities",
       "<?xml version=\"1.0\"?><!DOCTYPE DATAPACKET [<!ENTITY a \"aaaaaaaaaa\">"
       "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><DATAPACKET><METADATA><FIELDS>" +
           sixFields() +
           "</FIELDS></METADATA><ROWDATA><ROW Value=\"&b;\"/></ROWDATA>"
           "</DATAPACKET>",
       false,
       {}},
      {"undefined entity", packet(sixFields(), "", "<ROW Value=\"&nbsp;\"/>"), false, {}},
  };
  for (const auto& c : cases) {
    RecordTable t;
    EXPECT_EQ(loadXmlBytes(t, c.bytes), c.ok) << c.what;
    if (c.ok) {
      EXPECT_EQ(records(t), c.loaded) << c.what;
    }
  }
}

TEST(XmlPacket, HugeAttributeIsRefusedWithoutHoldingIt) {
  // 20 MB in one attribute: more than any packet's tag.
  std::string bytes = packet(sixFields(), "", "<ROW Value=\"");
  bytes.resize(bytes.size() - std::string("</ROWDATA></DATAPACKET>").size());
  bytes.append(20u << 20, 'x');
  bytes += "\"/></ROWDATA></DATAPACKET>";
  RecordTable t;
  EXPECT_FALSE(loadXmlBytes(t, bytes));
  EXPECT_EQ(t.count(), 0u);
}

TEST(XmlPacket, LongChangeLogIsSkippedAcrossReadPieces) {
  // A change log of several read pieces, as a large logged table writes it.
  RecordTable t;
  for (int i = 0; i < 300000; ++i) t.append(rec(i, 0, {"v", {}, {}, {}}), true);
  const std::string bytes = xmlPacketBytes(t);
  ASSERT_GT(bytes.find("<ROWDATA>"), size_t{2} << 20);
  RecordTable back;
  ASSERT_TRUE(loadXmlBytes(back, bytes));
  ASSERT_EQ(back.count(), t.count());
  EXPECT_EQ(back.no(299999), 299999);
  EXPECT_TRUE(back.isLogged(299999));
}

}  // namespace
}  // namespace kx
