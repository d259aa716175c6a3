#include "app/widgets/PanelButton.h"

#include <QMouseEvent>

namespace kx {

PanelButton::PanelButton(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

void PanelButton::mousePressEvent(QMouseEvent* e) {
  pressed_ = e->button() == Qt::LeftButton;
  e->accept();
}

void PanelButton::mouseReleaseEvent(QMouseEvent* e) {
  const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->pos());
  pressed_ = false;
  e->accept();
  if (click) emit clicked();
}

}  // namespace kx
