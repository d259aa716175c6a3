#pragma once
// The record table: an in-memory table of six typed fields in fixed order, records kept in
// the order they were appended. No Qt; the grid reaches it through RecordTableModel.
//
// A record costs 24 bytes: the number, the time of day with two null flags, and four ids
// of interned texts. Records live in fixed-size chunks, so the table never moves what it
// already holds and a lookup costs the same at row 10,000,000 as at row 0.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/TextPool.h"

namespace kx {

enum class Field { No = 0, Time, Value, Unit, V_Range, I_Range };
inline constexpr int kFieldCount = 6;
inline constexpr size_t kTextFieldSize = 20;  // bytes kept of a text field
inline constexpr int32_t kMsPerDay = 86'400'000;

// Field names as the data packet and the recording step know them.
const char* fieldName(Field f);

// One record as handed in or read out. An empty optional is a field without a value.
struct Record {
  std::optional<int32_t> no;
  std::optional<int32_t> timeMs;                    // milliseconds since midnight, 0 .. kMsPerDay-1
  std::array<std::optional<std::string>, 4> texts;  // Value, Unit, V_Range, I_Range

  std::optional<std::string>& text(Field f) { return texts[static_cast<int>(f) - 2]; }
  const std::optional<std::string>& text(Field f) const { return texts[static_cast<int>(f) - 2]; }
  bool operator==(const Record&) const = default;
};

// Notified of changes while the table's updates are not suspended.
class RecordTableObserver {
 public:
  virtual ~RecordTableObserver() = default;
  // Rows first..last are stored and readable.
  virtual void appended(size_t first, size_t last) = 0;
  virtual void aboutToReset() {}
  virtual void reset() = 0;
};

class RecordTable {
 public:
  RecordTable();
  ~RecordTable();
  RecordTable(const RecordTable&) = delete;
  RecordTable& operator=(const RecordTable&) = delete;

  size_t count() const { return count_; }
  bool empty() const { return count_ == 0; }

  // Appends at the end; texts are cut to their first 20 bytes. The new record becomes the
  // current one. `logged` marks it as appended since the table was emptied (data packet).
  void append(const Record& r, bool logged = true);
  void append(std::optional<int32_t> no, std::optional<int32_t> timeMs, std::string_view value,
              std::string_view unit, std::string_view vRange, std::string_view iRange,
              bool logged = true);

  // The same with each text given or absent (no value), without copying the texts.
  void append(std::optional<int32_t> no, std::optional<int32_t> timeMs,
              const std::array<std::optional<std::string_view>, 4>& texts, bool logged = true) {
    store(no, timeMs, texts, logged);
  }

  // Removes every record; the fields stay.
  void clear();
  // Replaces the whole content with `other`'s, which is left empty.
  void replaceWith(RecordTable& other);

  // Reading one field of one record; the views stay valid until the table is cleared.
  bool isNull(size_t row, Field f) const;
  std::optional<int32_t> no(size_t row) const;
  std::optional<int32_t> timeMs(size_t row) const;
  std::optional<std::string_view> text(size_t row, Field f) const;
  bool isLogged(size_t row) const;
  Record record(size_t row) const;

  // All fields of one record at once, without copying its texts: for walking the whole table.
  struct Fields {
    std::optional<int32_t> no;
    std::optional<int32_t> timeMs;
    std::array<std::optional<std::string_view>, 4> texts;  // Value, Unit, V_Range, I_Range
    bool logged;
  };
  Fields fields(size_t r) const {
    const Row& x = row(r);
    Fields f;
    if (!(x.timeAndFlags & kNoNull)) f.no = x.no;
    if (!(x.timeAndFlags & kTimeNull)) f.timeMs = static_cast<int32_t>(x.timeAndFlags & kTimeMask);
    for (int i = 0; i < 4; ++i)
      if (x.text[i] != TextPool::kNull) f.texts[i] = pool_.text(x.text[i]);
    f.logged = x.timeAndFlags & kLogged;
    return f;
  }

  // The current record, as the grid shows it selected; none while the table is empty.
  std::optional<size_t> current() const { return current_; }

  // Suspend and resume the updating of observers (nestable). When the last suspension
  // ends after a change, observers get one reset.
  void disableControls();
  void enableControls();
  bool controlsDisabled() const { return suspended_ > 0; }

  void addObserver(RecordTableObserver* o);
  void removeObserver(RecordTableObserver* o);

  // Resident bytes of records and texts, for the benchmarks.
  size_t memoryBytes() const;

 private:
  struct Row {
    int32_t no;
    uint32_t timeAndFlags;  // bits 0-26 time, 28 logged, 29 no null, 30 time null
    std::array<uint32_t, 4> text;
  };
  static_assert(sizeof(Row) == 24);
  static constexpr size_t kChunkBits = 16;
  static constexpr size_t kChunkRows = size_t{1} << kChunkBits;
  static constexpr uint32_t kLogged = 1u << 28, kNoNull = 1u << 29, kTimeNull = 1u << 30;
  static constexpr uint32_t kTimeMask = (1u << 27) - 1;

  const Row& row(size_t i) const { return chunks_[i >> kChunkBits][i & (kChunkRows - 1)]; }
  Row& newRow();
  void notifyAppended(size_t row);
  void store(std::optional<int32_t> no, std::optional<int32_t> timeMs,
             const std::array<std::optional<std::string_view>, 4>& texts, bool logged);
  void notifyAboutToReset();
  void notifyReset();

  std::vector<std::unique_ptr<Row[]>> chunks_;
  size_t count_ = 0;
  TextPool pool_;
  // The text and id each text field got last: readings mostly repeat their neighbour's unit,
  // function and remark, and a comparison is cheaper than a lookup.
  std::array<std::pair<uint32_t, std::string_view>, 4> lastText_{};
  std::optional<size_t> current_;
  int suspended_ = 0;
  bool changedWhileSuspended_ = false;
  std::vector<RecordTableObserver*> observers_;
};

}  // namespace kx
