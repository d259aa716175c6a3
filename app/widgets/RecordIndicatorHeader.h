#pragma once
// The grid's record-indicator column: a narrow row header that marks the current record with a
// small black triangle.

#include <QHeaderView>

namespace kx {

class RecordIndicatorHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit RecordIndicatorHeader(QWidget* parent = nullptr);
  void setCurrentRow(int row);
  int currentRow() const { return current_; }

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

 private:
  int current_ = -1;
};

}  // namespace kx
