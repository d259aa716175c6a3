#include "lcd/LcdWidgets.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

namespace kx::lcd {
namespace {

// Segments a to g of the seven-segment glyphs, bit 0 = a ... bit 6 = g.
uint8_t segmentsOf(QChar c) {
  switch (c.unicode()) {
    case '0':
      return 0x3F;
    case '1':
      return 0x06;
    case '2':
      return 0x5B;
    case '3':
      return 0x4F;
    case '4':
      return 0x66;
    case '5':
      return 0x6D;
    case '6':
      return 0x7D;
    case '7':
      return 0x07;
    case '8':
      return 0x7F;
    case '9':
      return 0x6F;
    case '-':
      return 0x40;
    case '@':  // the letter L
      return 0x38;
    default:
      return 0;
  }
}

constexpr qreal kSlant = 0.07;  // the italic lean of the digits, as on the meter

// A point of a glyph box, leaning right towards the top.
QPointF lean(const QRectF& box, qreal x, qreal y) {
  return {box.left() + x + (box.height() - y) * kSlant, box.top() + y};
}

QPolygonF horizontal(const QRectF& box, qreal w, qreal t, qreal yc, qreal gap) {
  const qreal x0 = gap, x1 = w - gap, h = t / 2;
  return QPolygonF({lean(box, x0, yc), lean(box, x0 + h, yc - h), lean(box, x1 - h, yc - h),
                    lean(box, x1, yc), lean(box, x1 - h, yc + h), lean(box, x0 + h, yc + h)});
}

QPolygonF vertical(const QRectF& box, qreal t, qreal xc, qreal y0, qreal y1) {
  const qreal h = t / 2;
  return QPolygonF({lean(box, xc, y0), lean(box, xc + h, y0 + h), lean(box, xc + h, y1 - h),
                    lean(box, xc, y1), lean(box, xc - h, y1 - h), lean(box, xc - h, y0 + h)});
}

QFont sansFont(int pixels, bool bold) {
  QFont f(QStringLiteral("Arial"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(std::max(1, pixels));
  f.setBold(bold);
  return f;
}

// The glyph box of the seven-segment face inside a label of the given size.
QRectF glyphBox(const QWidget* w, int size) {
  const qreal height = size * 0.72;
  const qreal top = w->height() * 0.14;
  const qreal width = std::min<qreal>(w->width() * 0.86, height * 0.5);
  const qreal left = (w->width() - width - height * kSlant) / 2;
  return {left, top, width, height};
}

}  // namespace

void drawSevenSegment(QPainter& p, const QRectF& box, QChar c) {
  const uint8_t on = segmentsOf(c);
  if (!on) return;
  const qreal w = box.width(), h = box.height();
  const qreal t = std::max<qreal>(2.5, std::min(w * 0.22, h * 0.12));
  const qreal gap = t * 0.15;
  const qreal top = t / 2, mid = h / 2, bottom = h - t / 2;
  const QPolygonF seg[7] = {
      horizontal(box, w, t, top, gap),                       // a
      vertical(box, t, w - t / 2, top + gap, mid - gap),     // b
      vertical(box, t, w - t / 2, mid + gap, bottom - gap),  // c
      horizontal(box, w, t, bottom, gap),                    // d
      vertical(box, t, t / 2, mid + gap, bottom - gap),      // e
      vertical(box, t, t / 2, top + gap, mid - gap),         // f
      horizontal(box, w, t, mid, gap),                       // g
  };
  for (int i = 0; i < 7; ++i)
    if (on & (1 << i)) p.drawPolygon(seg[i]);
}

LcdLabel::LcdLabel(Face face, int size, bool bold, Qt::Alignment align, const QString& caption,
                   QWidget* parent)
    : QWidget(parent), face_(face), size_(size), bold_(bold), align_(align), caption_(caption) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void LcdLabel::setCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  update();
}

void LcdLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  const QRectF r = rect();

  if (face_ == Face::Bar) {
    const QChar c = caption_.isEmpty() ? QChar() : caption_.at(0);
    if (c == u'!') {
      const qreal bw = std::max<qreal>(4, std::min<qreal>(r.width() - 4, 10));
      p.drawRect(QRectF((r.width() - bw) / 2, 1, bw, r.height() * 0.8));
    } else if (c == u'|') {
      // The left end mark: a taller segment reaching above the scale line.
      p.drawRect(QRectF(r.width() - 15, r.height() * 0.2, 10, r.height() * 0.68));
    } else if (c == u'{') {
      // The right end mark: a segment and an arrow pointing past the scale.
      p.drawRect(QRectF(2, r.height() * 0.2, 8, r.height() * 0.68));
      const qreal y = r.height() * 0.2 + r.height() * 0.34;
      p.drawPolygon(
          QPolygonF({QPointF(14, y - 11), QPointF(r.width() - 3, y), QPointF(14, y + 11)}));
    }
    return;
  }

  if (face_ == Face::Lcd && caption_.size() == 1 && segmentsOf(caption_.at(0))) {
    drawSevenSegment(p, glyphBox(this, size_), caption_.at(0));
    return;
  }
  if (face_ == Face::Lcd && (caption_ == u"." || caption_ == u":")) {
    const QRectF box = glyphBox(this, size_);
    const qreal d = std::max<qreal>(4, size_ * 0.11);
    const qreal x = (r.width() - d) / 2;
    if (caption_ == u".") {
      p.drawRect(QRectF(x, box.bottom() - d, d, d));
    } else {
      p.drawRect(QRectF(x, box.top() + box.height() * 0.3 - d / 2, d, d));
      p.drawRect(
          QRectF(x - box.height() * 0.4 * kSlant, box.top() + box.height() * 0.7 - d / 2, d, d));
    }
    return;
  }

  // Letters: the unit signs draw '*' as the ohm sign.
  QString text = caption_;
  if (face_ != Face::Arial) text.replace(u'*', QChar(0x03A9));
  const int pixels = face_ == Face::Arial ? size_ : static_cast<int>(size_ * 0.95);
  p.setFont(sansFont(pixels, bold_ || face_ != Face::Arial));
  p.setPen(Qt::black);
  p.drawText(r, static_cast<int>(align_) | Qt::AlignTop | Qt::TextDontClip, text);
}

LcdShape::LcdShape(QWidget* parent) : QWidget(parent) {}

void LcdShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
}

LcdPicture::LcdPicture(Picture picture, QWidget* parent) : QWidget(parent), picture_(picture) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void LcdPicture::paintEvent(QPaintEvent*) {
  if (picture_ == Picture::None) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = width(), h = height();
  QPen pen(Qt::black, 2.0);
  pen.setJoinStyle(Qt::MiterJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);

  switch (picture_) {
    case Picture::None:
      break;
    case Picture::Battery:
      // Outline with the terminal on the right; the level bars are shapes of their own.
      p.drawRect(QRectF(1.5, 1.5, w - 8, h - 3));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawRect(QRectF(w - 6.5, h * 0.3, 5, h * 0.4));
      break;
    case Picture::PowerOff: {
      const qreal r = std::min(w, h) * 0.38;
      const QPointF c(w - r - 3, h / 2);
      p.drawEllipse(c, r, r);
      p.drawLine(QPointF(1, h / 2), QPointF(c.x() - r, h / 2));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawEllipse(c, 3.5, 3.5);
      break;
    }
    case Picture::Microphone: {
      const QPointF c(w * 0.18, h / 2);
      for (int i = 1; i <= 3; ++i) {
        const qreal r = 7.0 * i;
        p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
      }
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawEllipse(c, 4, 4);
      break;
    }
    case Picture::LinkLit:
    case Picture::LinkDark: {
      const QColor screen =
          picture_ == Picture::LinkLit ? QColor(90, 200, 255) : QColor(70, 70, 70);
      p.setPen(QPen(Qt::black, 1.5));
      auto computer = [&](qreal x, qreal y) {
        p.setBrush(screen);
        p.drawRect(QRectF(x, y, 14, 10));
        p.setBrush(Qt::black);
        p.drawRect(QRectF(x + 5, y + 10, 4, 2));
        p.drawRect(QRectF(x + 2, y + 12, 10, 1.5));
      };
      computer(1.5, 1.5);
      computer(w - 15.5, h - 15.5);
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(
          QPolygonF({QPointF(8.5, 15.5), QPointF(8.5, h - 9), QPointF(w - 15.5, h - 9)}));
      break;
    }
    case Picture::HighVoltage: {
      // A lightning arrow.
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawPolygon(QPolygonF(
          {QPointF(w * 0.62, 0), QPointF(w * 0.18, h * 0.56), QPointF(w * 0.46, h * 0.56),
           QPointF(w * 0.30, h * 0.86), QPointF(w * 0.16, h * 0.80), QPointF(w * 0.26, h),
           QPointF(w * 0.62, h * 0.74), QPointF(w * 0.44, h * 0.76), QPointF(w * 0.84, h * 0.44),
           QPointF(w * 0.54, h * 0.44), QPointF(w * 0.80, 0)}));
      break;
    }
    case Picture::Stopwatch: {
      const qreal r = std::min(w, h - 6) * 0.45;
      const QPointF c(w / 2, h - r - 2);
      p.drawEllipse(c, r, r);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawRect(QRectF(w / 2 - 3, c.y() - r - 5, 6, 3));  // the crown
      p.drawRect(QRectF(w / 2 - 1, c.y() - r - 3, 2, 3));
      p.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(c, QPointF(c.x() + r * 0.5, c.y() - r * 0.6));
      p.drawLine(c, QPointF(c.x(), c.y() - r * 0.75));
      break;
    }
  }
}

}  // namespace kx::lcd
