#include "files/RecordFiles.h"

#include <expat.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "records/RecordTableModel.h"

namespace kx {
namespace {

constexpr size_t kIoChunk = size_t{1} << 20;

// ---------------------------------------------------------------------------------------------
// Output: bytes gathered in a buffer and handed to a file descriptor in large pieces (or kept
// whole when writing to memory).

class Out {
 public:
  explicit Out(int fd = -1) : fd_(fd), buf_(kIoChunk + 64 * 1024, '\0') {}
  void put(std::string_view s) {
    if (pos_ + s.size() > buf_.size()) makeRoom(s.size());
    std::memcpy(buf_.data() + pos_, s.data(), s.size());
    pos_ += s.size();
  }
  void put(char c) { put(std::string_view(&c, 1)); }
  void putInt(int64_t v) {
    char tmp[24];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    put(std::string_view(tmp, static_cast<size_t>(r.ptr - tmp)));
  }
  // Called between records: hands a full buffer to the file.
  void maybeFlush() {
    if (fd_ >= 0 && pos_ >= kIoChunk) flush();
  }
  bool flush() {
    if (fd_ < 0 || error_) return !error_;
    const char* p = buf_.data();
    size_t left = pos_;
    while (left > 0) {
      const ssize_t n = ::write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        return false;
      }
      p += n;
      left -= static_cast<size_t>(n);
    }
    pos_ = 0;
    return true;
  }
  int error() const { return error_; }
  // Everything written, when writing to memory.
  std::string& bytes() {
    buf_.resize(pos_);
    return buf_;
  }

 private:
  void makeRoom(size_t n) {
    if (fd_ >= 0) flush();  // after a write error the rest is dropped; flush() reports it
    if (fd_ >= 0 && error_) pos_ = 0;
    if (pos_ + n > buf_.size()) buf_.resize(std::max(buf_.size() * 2, pos_ + n));
  }

  int fd_;
  int error_ = 0;
  std::string buf_;
  size_t pos_ = 0;
};

bool isTrimmed(unsigned char c) {
  return c <= 32;
}

std::string_view trimmed(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && isTrimmed(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && isTrimmed(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

// The display text of every second of the day, made once per second that occurs.
class TimeTexts {
 public:
  explicit TimeTexts(const TimeText& tt) : tt_(tt), at_(86400, kNone) {}
  // Trimmed; "NULL" when nothing is left.
  std::string_view forMs(int32_t ms) {
    const int32_t s = ms / 1000;
    if (at_[s] == kNone) {
      const std::string text = tt_.text(s * 1000);
      std::string_view t = trimmed(text);
      if (t.empty()) t = "NULL";
      at_[s] = (arena_.size() << 8) | t.size();
      arena_.append(t);
    }
    return std::string_view(arena_).substr(at_[s] >> 8, at_[s] & 0xFF);
  }

 private:
  static constexpr uint64_t kNone = ~uint64_t{0};
  const TimeText& tt_;
  std::vector<uint64_t> at_;  // offset in arena_ << 8 | length
  std::string arena_;
};

// Each saved time text back to its second of the day; only the texts saving writes count.
class TimeParser {
 public:
  explicit TimeParser(const TimeText& tt) : tt_(tt) {
    const std::string& f = tt.format();
    plain_ = f == "%H:%M:%S" || f == "%T";
  }
  std::optional<int32_t> parse(std::string_view s) {
    if (plain_) return parsePlain(s);
    const auto& byText = texts();
    auto it = byText.find(std::string(s));
    if (it == byText.end()) return std::nullopt;
    return it->second;
  }

 private:
  static std::optional<int32_t> parsePlain(std::string_view s) {
    if (s.size() != 8 || s[2] != ':' || s[5] != ':') return std::nullopt;
    int v[3];
    for (int i = 0; i < 3; ++i) {
      const char a = s[i * 3], b = s[i * 3 + 1];
      if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
      v[i] = (a - '0') * 10 + (b - '0');
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59) return std::nullopt;
    return ((v[0] * 60 + v[1]) * 60 + v[2]) * 1000;
  }

  // Every text of the format with its time, made once per format and thread.
  const std::unordered_map<std::string, int32_t>& texts() const {
    thread_local std::string format;
    thread_local std::unordered_map<std::string, int32_t> byText;
    if (byText.empty() || format != tt_.format()) {
      byText.clear();
      format = tt_.format();
      // Earlier seconds win where the format cannot tell two seconds apart.
      for (int32_t sec = 86399; sec >= 0; --sec) {
        std::string t(trimmed(tt_.text(sec * 1000)));
        if (!t.empty()) byText[t] = sec * 1000;
      }
    }
    return byText;
  }

  const TimeText& tt_;
  bool plain_ = false;
};

// A whole decimal integer: an optional "-" and digits, within 32 bits.
std::optional<int32_t> parseInt(std::string_view s) {
  if (s.empty() || s[0] == '+') return std::nullopt;
  int32_t v = 0;
  const char* end = s.data() + s.size();
  auto r = std::from_chars(s.data(), end, v, 10);
  if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
  return v;
}

// ---------------------------------------------------------------------------------------------
// Table text file

void writeText(const RecordTable& table, const SaveOptions& options, Out& out) {
  for (int i = 0; i < kFieldCount; ++i) {
    if (i) out.put('\t');
    out.put(kGridColumns[static_cast<int>(options.headerOrder[i])].title);
  }
  out.put("\r\n");
  const TimeText tt = options.timeText ? *options.timeText : TimeText::fromLocale();
  TimeTexts times(tt);
  const size_t n = table.count();
  for (size_t r = 0; r < n; ++r) {
    const RecordTable::Fields f = table.fields(r);
    if (f.no) out.putInt(*f.no);
    out.put('\t');
    out.put(f.timeMs ? times.forMs(*f.timeMs) : std::string_view("NULL"));
    for (const auto& t : f.texts) {
      out.put('\t');
      const std::string_view s = t ? trimmed(*t) : std::string_view();
      out.put(s.empty() ? std::string_view("NULL") : s);
    }
    out.put("\r\n");
    out.maybeFlush();
  }
}

// The parts of one line of a table text file into a record; false if they do not convert.
bool appendParts(RecordTable& table, const std::array<std::string_view, kFieldCount>& parts,
                 size_t count, TimeParser& times) {
  if (count > kFieldCount) return false;  // a seventh part
  const auto no = parseInt(parts[0]);
  if (!no) return false;
  std::optional<int32_t> time;
  if (count > 1) {
    time = times.parse(parts[1]);
    if (!time) return false;
  }
  std::array<std::optional<std::string_view>, 4> texts;
  for (size_t i = 2; i < count; ++i) texts[i - 2] = parts[i];
  table.append(no, time, texts, true);
  return true;
}

// Bytes that end a part: TAB, CR, LF, and the zero byte that ends the text.
struct PartEnds {
  std::array<bool, 256> at{};
  PartEnds() { at['\t'] = at['\r'] = at['\n'] = at['\0'] = true; }
};
const PartEnds kPartEnds;

// ---------------------------------------------------------------------------------------------
// XML data packet

constexpr char kPacketHead[] =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"No\" fieldtype=\"i4\"/><FIELD attrname=\"Time\" fieldtype=\"time\"/>"
    "<FIELD attrname=\"Value\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"Unit\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"V_Range\" fieldtype=\"string\" WIDTH=\"20\"/>"
    "<FIELD attrname=\"I_Range\" fieldtype=\"string\" WIDTH=\"20\"/></FIELDS>";

struct EscapeTable {
  std::array<const char*, 256> with{};
  EscapeTable() {
    with['<'] = "&lt;";
    with['>'] = "&gt;";
    with['&'] = "&amp;";
    with['\''] = "&apos;";
    with['"'] = "&quot;";
    with['\r'] = "&#013;";
    with['\n'] = "&#010;";
    with['\t'] = "&#009;";
    with['\\'] = "&#092;";
  }
};
const EscapeTable kEscapes;

void putEscaped(Out& out, std::string_view s) {
  size_t from = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char* e = kEscapes.with[static_cast<unsigned char>(s[i])];
    if (!e) continue;
    out.put(s.substr(from, i - from));
    out.put(e);
    from = i + 1;
  }
  out.put(s.substr(from));
}

void putPacketTime(Out& out, int32_t ms) {
  const int32_t h = ms / 3'600'000, m = ms / 60'000 % 60, sms = ms % 60'000;
  char t[11] = {static_cast<char>('0' + h / 10),
                static_cast<char>('0' + h % 10),
                ':',
                static_cast<char>('0' + m / 10),
                static_cast<char>('0' + m % 10),
                ':',
                static_cast<char>('0' + sms / 10000),
                static_cast<char>('0' + sms / 1000 % 10),
                static_cast<char>('0' + sms / 100 % 10),
                static_cast<char>('0' + sms / 10 % 10),
                static_cast<char>('0' + sms % 10)};
  out.put(std::string_view(t, sizeof t));
}

void writePacket(const RecordTable& table, Out& out) {
  out.put(kPacketHead);
  const size_t n = table.count();
  bool anyLogged = false;
  for (size_t r = 0; r < n && !anyLogged; ++r) anyLogged = table.isLogged(r);
  if (anyLogged) {
    // Three numbers per appended record: its position, 0 (no earlier version), 4 (appended).
    out.put("<PARAMS CHANGE_LOG=\"");
    bool first = true;
    for (size_t r = 0; r < n; ++r) {
      if (!table.isLogged(r)) continue;
      if (!first) out.put(' ');
      first = false;
      out.putInt(static_cast<int64_t>(r + 1));
      out.put(" 0 4");
      out.maybeFlush();
    }
    out.put("\"/>");
  } else {
    out.put("<PARAMS/>");
  }
  out.put("</METADATA><ROWDATA>");
  static constexpr const char* kTextAttrs[] = {" Value=\"", " Unit=\"", " V_Range=\"",
                                               " I_Range=\""};
  for (size_t r = 0; r < n; ++r) {
    const RecordTable::Fields f = table.fields(r);
    out.put("<ROW");
    if (f.logged) out.put(" RowState=\"4\"");
    if (f.no) {
      out.put(" No=\"");
      out.putInt(*f.no);
      out.put('"');
    }
    if (f.timeMs) {
      out.put(" Time=\"");
      putPacketTime(out, *f.timeMs);
      out.put('"');
    }
    for (int i = 0; i < 4; ++i) {
      if (!f.texts[i]) continue;
      out.put(kTextAttrs[i]);
      putEscaped(out, *f.texts[i]);
      out.put('"');
    }
    out.put("/>");
    out.maybeFlush();
  }
  out.put("</ROWDATA></DATAPACKET>");
}

// The packet's bytes reach expat through an encoding of our own: ISO-8859-1, except that the
// control bytes XML forbids come through as private-use characters. So every byte the table
// can hold reads back unchanged, whatever the document declares.
constexpr char kByteEncoding[] = "x-kx3816-bytes";
constexpr int kControlBase = 0xE000;

bool isXmlControl(int b) {
  return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
}

int XMLCALL byteEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  if (std::strcmp(name, kByteEncoding) != 0) return XML_STATUS_ERROR;
  for (int b = 0; b < 256; ++b) info->map[b] = isXmlControl(b) ? kControlBase + b : b;
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return XML_STATUS_OK;
}

// Expat's UTF-8 back to the file's bytes; false for a character no byte stands for.
bool toBytes(const char* s, std::string& out) {
  out.clear();
  for (const auto* p = reinterpret_cast<const unsigned char*>(s); *p;) {
    if (*p < 0x80) {
      out.push_back(static_cast<char>(*p++));
    } else if ((*p & 0xE0) == 0xC0) {
      if ((p[1] & 0xC0) != 0x80) return false;
      const int c = ((p[0] & 0x1F) << 6) | (p[1] & 0x3F);
      if (c > 0xFF) return false;
      out.push_back(static_cast<char>(c));
      p += 2;
    } else if ((*p & 0xF0) == 0xE0) {
      if ((p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return false;
      const int c = ((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
      if (c < kControlBase || c >= kControlBase + 0x20) return false;
      out.push_back(static_cast<char>(c - kControlBase));
      p += 3;
    } else {
      return false;
    }
  }
  return true;
}

// The packet's time form: hh:mm:sssss (seconds and milliseconds as one five-digit number).
std::optional<int32_t> parsePacketTime(std::string_view s) {
  if (s.size() != 11 || s[2] != ':' || s[5] != ':') return std::nullopt;
  auto digits = [&](size_t from, size_t n) -> int32_t {
    int32_t v = 0;
    for (size_t i = from; i < from + n; ++i) {
      if (s[i] < '0' || s[i] > '9') return -1;
      v = v * 10 + (s[i] - '0');
    }
    return v;
  };
  const int32_t h = digits(0, 2), m = digits(3, 2), sms = digits(6, 5);
  if (h < 0 || h > 23 || m < 0 || m > 59 || sms < 0 || sms > 59'999) return std::nullopt;
  return (h * 60 + m) * 60'000 + sms;
}

// Removes the value of the CHANGE_LOG attribute from the bytes before they reach the parser.
// The value is ignored on reading, and for a large table it is one huge attribute that the
// parser would otherwise hold in memory whole. Only the part before ROWDATA is looked at.
class ChangeLogFilter {
 public:
  // Filters buf[0..n) in place; returns the new length.
  size_t filter(char* buf, size_t n) {
    if (done_) return n;
    size_t w = 0;
    for (size_t i = 0; i < n; ++i) {
      const char c = buf[i];
      if (inValue_) {
        if (c != '"') continue;
        inValue_ = false;
      } else {
        matchLog_ = step(kLog, matchLog_, c, prev_);
        if (matchLog_ == sizeof kLog - 1) {
          matchLog_ = 0;
          inValue_ = true;
        }
        matchRows_ = step(kRows, matchRows_, c, 0);
        if (matchRows_ == sizeof kRows - 1) {
          buf[w++] = c;
          for (++i; i < n; ++i) buf[w++] = buf[i];
          done_ = true;
          return w;
        }
      }
      buf[w++] = c;
      prev_ = c;
    }
    return w;
  }

 private:
  static constexpr char kLog[] = "CHANGE_LOG=\"";
  static constexpr char kRows[] = "<ROWDATA";
  // Neither pattern repeats its own first letter, so a mismatch restarts the match.
  static size_t step(const char* pattern, size_t matched, char c, char before) {
    if (c == pattern[matched]) {
      // The attribute name must stand alone, after a blank.
      if (matched == 0 && before != 0 && before != ' ' && before != '\t' && before != '\n' &&
          before != '\r')
        return 0;
      return matched + 1;
    }
    return matched == 0 ? 0 : step(pattern, 0, c, before);
  }

  bool done_ = false;
  bool inValue_ = false;
  size_t matchLog_ = 0, matchRows_ = 0;
  char prev_ = ' ';
};

class PacketReader {
 public:
  // Plain ISO-8859-1 is expat's fastest way through; it stops at the control bytes XML
  // forbids, which `exactBytes` reads as well (needsExactBytes() tells when to).
  PacketReader(RecordTable& out, bool exactBytes) : out_(out), exact_(exactBytes) {
    parser_ = XML_ParserCreate(exact_ ? kByteEncoding : "ISO-8859-1");
    if (!parser_) return;
    if (exact_) XML_SetUnknownEncodingHandler(parser_, byteEncoding, nullptr);
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &PacketReader::onStart, &PacketReader::onEnd);
    // A data packet has no document type; one would only bring entities to expand.
    XML_SetStartDoctypeDeclHandler(parser_, &PacketReader::onDoctype);
    XML_SetEntityDeclHandler(parser_, &PacketReader::onEntity);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
  }
  ~PacketReader() {
    if (parser_) XML_ParserFree(parser_);
  }
  PacketReader(const PacketReader&) = delete;
  PacketReader& operator=(const PacketReader&) = delete;

  // Room for the next piece of input, at most `n` bytes.
  char* buffer(size_t n) {
    if (!parser_ || failed_) return nullptr;
    buffer_ = static_cast<char*>(XML_GetBuffer(parser_, static_cast<int>(n)));
    return buffer_;
  }
  // Parses the `n` bytes just put into buffer(); `last` for the end of input.
  bool parse(size_t n, bool last) {
    if (!parser_ || failed_) return false;
    if (!buffer_) return false;
    n = filter_.filter(buffer_, n);
    buffer_ = nullptr;
    fed_ += n;
    if (XML_ParseBuffer(parser_, static_cast<int>(n), last) != XML_STATUS_OK) {
      failed_ = true;
      invalidToken_ = XML_GetErrorCode(parser_) == XML_ERROR_INVALID_TOKEN;
    }
    // A single tag this long is no data packet; stop before it takes the memory.
    if (fed_ - lastTag_ > kMaxTag) failed_ = true;
    if (last && !failed_ && !(sawRows_ && depth_ == 0)) failed_ = true;
    return !failed_;
  }
  bool needsExactBytes() const { return failed_ && invalidToken_ && !exact_; }

 private:
  static constexpr uint64_t kMaxTag = uint64_t{16} << 20;

  enum class Where { Outside, Packet, Metadata, Fields, Rows, Ignored };

  static void XMLCALL onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*,
                                int) {
    static_cast<PacketReader*>(self)->fail();
  }
  static void XMLCALL onEntity(void* self, const XML_Char*, int, const XML_Char*, int,
                               const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<PacketReader*>(self)->fail();
  }
  static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char** atts) {
    static_cast<PacketReader*>(self)->start(name, atts);
  }
  static void XMLCALL onEnd(void* self, const XML_Char*) {
    auto* r = static_cast<PacketReader*>(self);
    r->lastTag_ = r->position();
    if (--r->depth_ < static_cast<int>(r->path_.size())) r->path_.pop_back();
  }

  uint64_t position() const {
    const XML_Index i = XML_GetCurrentByteIndex(parser_);
    return i < 0 ? fed_ : static_cast<uint64_t>(i);
  }

  void fail() {
    if (failed_) return;
    failed_ = true;
    XML_StopParser(parser_, XML_FALSE);
  }

  void start(const char* name, const char** atts) {
    lastTag_ = position();
    const Where at = path_.empty() ? Where::Outside : path_.back();
    const int depth = depth_++;
    // path_ follows the elements that matter; anything else is skipped with its content.
    if (depth != static_cast<int>(path_.size())) return;
    Where next = Where::Ignored;
    switch (at) {
      case Where::Outside:
        if (std::strcmp(name, "DATAPACKET") != 0) return fail();
        next = Where::Packet;
        break;
      case Where::Packet:
        if (!std::strcmp(name, "METADATA")) {
          next = Where::Metadata;
        } else if (!std::strcmp(name, "ROWDATA")) {
          if (sawRows_ || !fieldsFit()) return fail();
          sawRows_ = true;
          next = Where::Rows;
        }
        break;
      case Where::Metadata:
        if (!std::strcmp(name, "FIELDS")) next = Where::Fields;
        break;
      case Where::Fields:
        if (!std::strcmp(name, "FIELD")) field(atts);
        break;
      case Where::Rows:
        if (!std::strcmp(name, "ROW")) row(atts);
        break;
      case Where::Ignored:
        break;
    }
    if (next != Where::Ignored) path_.push_back(next);
  }

  static const char* attr(const char** atts, const char* name) {
    for (; *atts; atts += 2)
      if (!std::strcmp(atts[0], name)) return atts[1];
    return nullptr;
  }

  void field(const char** atts) {
    const char* name = attr(atts, "attrname");
    const char* type = attr(atts, "fieldtype");
    if (!name) return;
    for (int f = 0; f < kFieldCount; ++f) {
      if (std::strcmp(name, fieldName(static_cast<Field>(f))) != 0) continue;
      if (types_[f]) return fail();  // the same field twice
      types_[f] = type ? type : "";
    }
  }

  bool fieldsFit() const {
    static constexpr const char* kIntegers[] = {"i1", "i2", "i4", "i8", "ui1", "ui2", "ui4", "ui8"};
    for (int f = 0; f < kFieldCount; ++f) {
      if (!types_[f]) return false;
      const std::string& t = *types_[f];
      bool fits = false;
      if (f == static_cast<int>(Field::No)) {
        for (const char* i : kIntegers) fits = fits || t == i;
      } else if (f == static_cast<int>(Field::Time)) {
        fits = t == "time";
      } else {
        fits = t == "string";
      }
      if (!fits) return false;
    }
    return true;
  }

  // Which of a ROW's attributes `name` is: a field, RowState (-2) or another one (-1).
  static int rowAttribute(const char* n) {
    auto is = [n](const char* name, size_t len) { return !std::memcmp(n, name, len + 1); };
    switch (n[0]) {
      case 'N':
        return is("No", 2) ? static_cast<int>(Field::No) : -1;
      case 'T':
        return is("Time", 4) ? static_cast<int>(Field::Time) : -1;
      case 'V':
        if (is("Value", 5)) return static_cast<int>(Field::Value);
        return is("V_Range", 7) ? static_cast<int>(Field::V_Range) : -1;
      case 'U':
        return is("Unit", 4) ? static_cast<int>(Field::Unit) : -1;
      case 'I':
        return is("I_Range", 7) ? static_cast<int>(Field::I_Range) : -1;
      case 'R':
        return is("RowState", 8) ? -2 : -1;
      default:
        return -1;
    }
  }

  void row(const char** atts) {
    std::optional<int32_t> no, time;
    std::array<std::optional<std::string_view>, 4> texts;
    bool logged = false;
    for (; *atts; atts += 2) {
      const char* v = atts[1];
      switch (const int a = rowAttribute(atts[0])) {
        case -1:
          break;
        case -2: {
          const auto state = parseInt(v);
          logged = state && (*state & 4);
          break;
        }
        case static_cast<int>(Field::No):
          no = parseInt(v);
          if (!no) return fail();
          break;
        case static_cast<int>(Field::Time):
          time = parsePacketTime(v);
          if (!time) return fail();
          break;
        default: {
          // Plain ASCII is taken where it stands; anything else goes back to bytes.
          size_t len = 0;
          unsigned char high = 0;
          for (; v[len]; ++len) high |= static_cast<unsigned char>(v[len]);
          std::string& bytes = scratch_[a - 2];
          if (high < 0x80) {
            texts[a - 2] = std::string_view(v, len);
          } else {
            if (!toBytes(v, bytes)) return fail();
            texts[a - 2] = bytes;
          }
        }
      }
    }
    out_.append(no, time, texts, logged);
  }

  RecordTable& out_;
  const bool exact_;
  bool invalidToken_ = false;
  XML_Parser parser_ = nullptr;
  ChangeLogFilter filter_;
  char* buffer_ = nullptr;
  bool failed_ = false;
  bool sawRows_ = false;
  int depth_ = 0;
  std::vector<Where> path_;
  std::array<std::optional<std::string>, kFieldCount> types_;
  std::array<std::string, 4> scratch_;
  uint64_t fed_ = 0, lastTag_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Files

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// A file read whole: mapped when it is a regular file, read otherwise.
class FileBytes {
 public:
  static constexpr size_t kMaxStreamed = size_t{2} << 30;

  bool open(const std::string& path) {
    f_.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (f_.fd < 0) return false;
    struct stat st {};
    if (::fstat(f_.fd, &st) != 0 || S_ISDIR(st.st_mode)) return false;
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
      // Mapped whole and at once: one fault per file instead of one per page.
      const int populate = st.st_size <= (off_t{1} << 30) ? MAP_POPULATE : 0;
      void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE | populate,
                       f_.fd, 0);
      if (p != MAP_FAILED) {
        map_ = p;
        size_ = static_cast<size_t>(st.st_size);
        ::madvise(map_, size_, MADV_SEQUENTIAL);
        return true;
      }
    }
    for (;;) {
      const size_t have = read_.size();
      read_.resize(have + kIoChunk);
      const ssize_t n = ::read(f_.fd, read_.data() + have, kIoChunk);
      if (n < 0 && errno == EINTR) {
        read_.resize(have);
        continue;
      }
      if (n < 0) return false;
      read_.resize(have + static_cast<size_t>(n));
      if (n == 0) return true;
      // A zero byte ends the text, so an endless device stops there; a stream without one
      // stops at a size no table text reaches.
      if (std::memchr(read_.data() + have, '\0', static_cast<size_t>(n))) return true;
      if (read_.size() > kMaxStreamed) return false;
    }
  }
  ~FileBytes() {
    if (map_) ::munmap(map_, size_);
  }
  std::string_view view() const {
    return map_ ? std::string_view(static_cast<const char*>(map_), size_) : read_;
  }

 private:
  Fd f_;
  void* map_ = nullptr;
  size_t size_ = 0;
  std::string read_;
};

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Writes a file through a temporary file in the same folder that replaces the target only
// once all of it is on disk. A target that exists and is no regular file (a device, a pipe)
// is written directly.
class SafeWriter {
 public:
  explicit SafeWriter(const std::string& path) : target_(path) {}
  ~SafeWriter() {
    if (!temp_.empty()) ::unlink(temp_.c_str());
  }

  // The descriptor to write to, or -1 with error() set.
  int open() {
    struct stat st {};
    if (::lstat(target_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      // Save through a link into the file it names, keeping the link.
      std::unique_ptr<char, decltype(&std::free)> real(::realpath(target_.c_str(), nullptr),
                                                       &std::free);
      if (real) target_ = real.get();
    }
    mode_t mode;
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
      f_.fd = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      if (f_.fd < 0) error_ = errno;
      return f_.fd;
    }
    if (exists && S_ISREG(st.st_mode)) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    std::string base =
        target_.substr(target_.rfind('/') == std::string::npos ? 0 : target_.rfind('/') + 1);
    std::string name = directoryOf(target_) + "/." + base + ".XXXXXX";
    f_.fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (f_.fd < 0) {
      error_ = errno;
      return -1;
    }
    temp_ = name;
    ::fchmod(f_.fd, mode);
    return f_.fd;
  }

  // Flushes to disk and puts the file in place; false with error() set.
  bool commit() {
    if (f_.fd < 0) return false;
    if (::fsync(f_.fd) != 0 && errno != EINVAL && errno != EROFS) return keep(errno);
    const int fd = f_.fd;
    f_.fd = -1;
    if (::close(fd) != 0) return keep(errno);
    if (temp_.empty()) return true;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return keep(errno);
    temp_.clear();
    Fd dir;
    dir.fd = ::open(directoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd >= 0) ::fsync(dir.fd);
    return true;
  }

  int error() const { return error_; }
  bool keep(int e) {
    error_ = e;
    return false;
  }

 private:
  std::string target_;
  std::string temp_;
  Fd f_;
  int error_ = 0;
};

std::string lowerExtension(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

// Reads a packet from `read(buffer, max)` (bytes read, 0 at the end, -1 on error); reads it
// again from `rewind()` with exact bytes when plain ISO-8859-1 met a control byte.
template <typename Read, typename Rewind>
bool readPacket(RecordTable& out, Read read, Rewind rewind) {
  for (const bool exact : {false, true}) {
    PacketReader reader(out, exact);
    for (;;) {
      char* buf = reader.buffer(kIoChunk);
      if (!buf) return false;
      const ssize_t n = read(buf, kIoChunk);
      if (n < 0) return false;
      if (reader.parse(static_cast<size_t>(n), n == 0)) {
        if (n == 0) return true;
        continue;
      }
      if (!reader.needsExactBytes() || !rewind()) return false;
      out.clear();
      break;
    }
  }
  return false;
}

bool loadXmlFile(RecordTable& out, const std::string& path) {
  Fd f;
  f.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (f.fd < 0) return false;
  struct stat st {};
  if (::fstat(f.fd, &st) != 0 || S_ISDIR(st.st_mode)) return false;
  ::posix_fadvise(f.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return readPacket(
      out,
      [&](char* buf, size_t max) {
        for (;;) {
          const ssize_t n = ::read(f.fd, buf, max);
          if (n >= 0 || errno != EINTR) return n;
        }
      },
      [&] { return ::lseek(f.fd, 0, SEEK_SET) == 0; });
}

}  // namespace

RecordFileForm recordFileForm(const std::string& path) {
  return lowerExtension(path) == ".xml" ? RecordFileForm::XmlPacket : RecordFileForm::Text;
}

std::string textFileBytes(const RecordTable& table, const SaveOptions& options) {
  Out out;
  writeText(table, options, out);
  return std::move(out.bytes());
}

std::string xmlPacketBytes(const RecordTable& table) {
  Out out;
  writePacket(table, out);
  return std::move(out.bytes());
}

bool loadTextBytes(RecordTable& table, std::string_view bytes, const TimeText& timeText) {
  if (bytes.empty()) return false;
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  // The first line is the header, or whatever stands there. A zero byte ends the text, here
  // or wherever the lines below meet one.
  const auto* lf = static_cast<const char*>(std::memchr(p, '\n', bytes.size()));
  const auto* cr = static_cast<const char*>(std::memchr(p, '\r', (lf ? lf : end) - p));
  const char* headerEnd = cr ? cr : lf ? lf : end;
  if (const auto* zero = static_cast<const char*>(std::memchr(p, '\0', headerEnd - p))) {
    end = zero;
    headerEnd = zero;
  }
  if (end == p) return false;  // not even a header line
  p = headerEnd;
  if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;

  TimeParser times(timeText);
  std::array<std::string_view, kFieldCount> parts;
  while (p < end && *p != '\0') {  // a zero byte after a line break ends the text there
    size_t count = 0;
    for (;;) {
      const char* start = p;
      while (p < end && !kPartEnds.at[static_cast<unsigned char>(*p)]) ++p;
      if (p < end && *p == '\0') end = p;
      if (count < kFieldCount)
        parts[count] = std::string_view(start, static_cast<size_t>(p - start));
      ++count;
      if (p < end && *p == '\t') {
        ++p;
        continue;
      }
      break;
    }
    if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    if (!appendParts(table, parts, count, times)) return false;
  }
  return true;
}

bool loadXmlBytes(RecordTable& out, std::string_view bytes) {
  std::string_view rest = bytes;
  return readPacket(
      out,
      [&](char* buf, size_t max) {
        const size_t n = std::min(rest.size(), max);
        std::memcpy(buf, rest.data(), n);
        rest.remove_prefix(n);
        return static_cast<ssize_t>(n);
      },
      [&] {
        rest = bytes;
        return true;
      });
}

std::optional<std::string> saveRecordFile(const RecordTable& table, const std::string& path,
                                          const SaveOptions& options) {
  const RecordFileForm form = recordFileForm(path);
  SafeWriter writer(path);
  int error = 0;
  const int fd = writer.open();
  if (fd < 0) {
    error = writer.error();
  } else {
    Out out(fd);
    if (form == RecordFileForm::XmlPacket)
      writePacket(table, out);
    else
      writeText(table, options, out);
    if (!out.flush())
      error = out.error();
    else if (!writer.commit())
      error = writer.error();
  }
  if (!error) return std::nullopt;
  if (form == RecordFileForm::Text) return std::string(kSaveFailedPrefix) + path;
  return "Cannot create file \"" + path + "\". " + std::strerror(error);
}

std::optional<std::string> loadRecordFile(RecordTable& table, const std::string& path,
                                          const LoadOptions& options) {
  bool ok = false;
  if (recordFileForm(path) == RecordFileForm::XmlPacket) {
    RecordTable loaded;
    ok = loadXmlFile(loaded, path);
    if (ok) table.replaceWith(loaded);
  } else {
    FileBytes file;
    if (file.open(path)) {
      const TimeText tt = options.timeText ? *options.timeText : TimeText::fromLocale();
      ok = loadTextBytes(table, file.view(), tt);
    }
  }
  if (ok) return std::nullopt;
  return std::string(kLoadFailedText);
}

}  // namespace kx
