#include "reports/ReportSnapshot.h"

#include <string_view>
#include <unordered_map>

#include "app/core/Cp936.h"

namespace kx {

ReportSnapshot::ReportSnapshot(const RecordTable& table, TimeText timeText)
    : timeText_(std::move(timeText)) {
  const size_t n = table.count();
  rows_.resize(n);
  noNull_.resize(n);
  texts_.emplace_back();  // id 0: no value
  // The table's texts stay valid while this runs: the copy is made in one go, on the thread
  // that owns the table.
  std::unordered_map<std::string_view, uint32_t> ids;
  for (size_t r = 0; r < n; ++r) {
    Row& row = rows_[r];
    const auto no = table.no(r);
    row.no = no.value_or(0);
    noNull_[r] = !no;
    row.timeMs = table.timeMs(r).value_or(kNull);
    for (int i = 0; i < 4; ++i) {
      const auto t = table.text(r, static_cast<Field>(i + 2));
      if (!t) {
        row.text[i] = 0;
        continue;
      }
      auto [it, added] = ids.try_emplace(*t, static_cast<uint32_t>(texts_.size()));
      if (added) texts_.push_back(QString::fromStdString(cp936ToUtf8(*t)));
      row.text[i] = it->second;
    }
  }
}

QString ReportSnapshot::text(size_t r, Field f) const {
  const Row& row = rows_[r];
  switch (f) {
    case Field::No:
      return noNull_[r] ? QString() : QString::number(row.no);
    case Field::Time:
      return row.timeMs == kNull ? QString() : QString::fromStdString(timeText_.text(row.timeMs));
    default:
      return texts_[row.text[static_cast<int>(f) - 2]];
  }
}

}  // namespace kx
