#pragma once
// A raised panel with a centred caption that acts as a button: it reacts to the mouse only
// and never takes the keyboard focus.

#include <QLabel>

namespace kx {

class PanelButton : public QLabel {
  Q_OBJECT
 public:
  explicit PanelButton(const QString& caption, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool pressed_ = false;
};

}  // namespace kx
