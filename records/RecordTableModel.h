#pragma once
// Read-only item model over the record table for the grid. It asks the table for every cell
// it shows and keeps nothing per row, so row 10,000,000 costs what row 1 costs.

#include <QAbstractTableModel>

#include "records/RecordTable.h"
#include "records/TimeText.h"

namespace kx {

struct GridColumn {
  Field field;
  const char* title;
  int width;  // pixels
};
// The grid's columns in their design order.
inline constexpr GridColumn kGridColumns[kFieldCount] = {
    {Field::No, "Measurement No.", 106}, {Field::Time, "Time", 92},
    {Field::Value, "Value", 72},         {Field::Unit, "Unit", 78},
    {Field::V_Range, "Function", 109},   {Field::I_Range, "Remark", 132},
};

class RecordTableModel : public QAbstractTableModel, private RecordTableObserver {
  Q_OBJECT
 public:
  explicit RecordTableModel(RecordTable& table, QObject* parent = nullptr);
  ~RecordTableModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The display text of one field of one record, as the grid shows it (UTF-8).
  QString displayText(size_t row, Field f) const;

 signals:
  // The table's current record changed to `row` (after an append or a reload).
  void currentRowChanged(int row);

 private:
  void appended(size_t first, size_t last) override;
  void aboutToReset() override;
  void reset() override;

  RecordTable& table_;
  TimeText timeText_;
  int rows_ = 0;  // rows announced to views so far
};

}  // namespace kx
