#pragma once
// The records a report lists, copied when its production begins. The recording step may
// append to the table, and Delete Data or a file load may empty or replace it, while a
// report is produced or previewed; the report goes on from its own copy.
//
// A copied record costs 24 bytes; each distinct text is kept once, already converted from
// code page 936 for showing.

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "records/RecordTable.h"
#include "records/TimeText.h"

namespace kx {

class ReportSnapshot {
 public:
  ReportSnapshot() = default;
  // Copies every record of `table` present now. `timeText` writes the Time field.
  ReportSnapshot(const RecordTable& table, TimeText timeText);

  size_t count() const { return rows_.size(); }
  // The display text of one field of one record, as the grid shows it; empty for no value.
  QString text(size_t row, Field f) const;

 private:
  struct Row {
    int32_t no;
    int32_t timeMs;
    uint32_t text[4];  // index into texts_; 0 is "no value"
  };
  static constexpr int32_t kNull = -1;  // no and timeMs without a value
  // No carries its own null flag: every 32-bit number is a possible record number.
  std::vector<Row> rows_;
  std::vector<bool> noNull_;
  std::vector<QString> texts_;
  TimeText timeText_{"%H:%M:%S"};
};

}  // namespace kx
