#include "app/widgets/RecordIndicatorHeader.h"

#include <QPainter>
#include <QPolygon>

namespace kx {

RecordIndicatorHeader::RecordIndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

void RecordIndicatorHeader::setCurrentRow(int row) {
  if (row == current_) return;
  const int old = current_;
  current_ = row;
  for (int r : {old, row})
    if (r >= 0) updateSection(r);
}

void RecordIndicatorHeader::paintSection(QPainter* painter, const QRect& rect,
                                         int logicalIndex) const {
  QHeaderView::paintSection(painter, rect, logicalIndex);
  if (logicalIndex != current_) return;
  const QPoint c = rect.center();
  const QPolygon triangle(
      {QPoint(c.x() - 2, c.y() - 4), QPoint(c.x() + 2, c.y()), QPoint(c.x() - 2, c.y() + 4)});
  painter->save();
  // The style may leave the clip empty after drawing the section; the mark owns its section.
  painter->setClipRect(rect);
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(Qt::NoPen);
  painter->setBrush(Qt::black);
  painter->drawPolygon(triangle);
  painter->restore();
}

}  // namespace kx
