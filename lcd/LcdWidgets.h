#pragma once
// The element widgets of the LCD replica: labels drawn in the replica's display faces,
// filled shapes and drawn pictures. Black on white, transparent where the design says so.

#include <QString>
#include <QWidget>

class QPainter;

namespace kx::lcd {

// How a label's caption is drawn.
enum class Face {
  Arial,  // bold sans serif at the given pixel height
  Lcd,    // seven-segment digits, '-', '.', ':', '@' as L, '*' as the ohm sign, M G T
  Unit,   // the "V" unit sign
  Bar,    // '!' one bar-graph segment, '|' and '{' the end marks
};

class LcdLabel : public QWidget {
  Q_OBJECT
 public:
  LcdLabel(Face face, int size, bool bold, Qt::Alignment align, const QString& caption,
           QWidget* parent);
  QString caption() const { return caption_; }
  void setCaption(const QString& caption);
  Face face() const { return face_; }
  int fontSize() const { return size_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Face face_;
  int size_;
  bool bold_;
  Qt::Alignment align_;
  QString caption_;
};

// A filled black rectangle.
class LcdShape : public QWidget {
  Q_OBJECT
 public:
  explicit LcdShape(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
};

enum class Picture {
  None,
  Battery,
  PowerOff,
  Microphone,
  LinkLit,
  LinkDark,
  HighVoltage,
  Stopwatch
};

// A drawn picture, stretched to the element's size.
class LcdPicture : public QWidget {
  Q_OBJECT
 public:
  LcdPicture(Picture picture, QWidget* parent);
  Picture picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Picture picture_;
};

// A seven-segment glyph ('0'-'9', '-', '@' for L, blank otherwise) in `box`.
void drawSevenSegment(QPainter& p, const QRectF& box, QChar c);

}  // namespace kx::lcd
