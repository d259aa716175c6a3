#pragma once
// The LCD replica Panel4: a white panel whose child widgets copy every segment, digit and sign
// of the meter's LCD, each named as the replica's design names it. It mirrors an LcdModel and
// decides nothing itself; mirror() touches only the elements that changed.

#include <QFrame>
#include <array>

#include "lcd/LcdModel.h"

namespace kx::lcd {

class LcdPanel : public QFrame {
  Q_OBJECT
 public:
  explicit LcdPanel(QWidget* parent = nullptr);

  // Shows the model: every element when `all`, otherwise only those in `changes`.
  void mirror(const LcdModel& model, const LcdModel::ElementSet& changes);
  void mirrorAll(const LcdModel& model);

  QWidget* element(Element e) const { return elements_[index(e)]; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::array<QWidget*, kElementCount> elements_{};
};

}  // namespace kx::lcd
