#include "lcd/LcdPanel.h"

#include <QFontMetrics>
#include <QPainter>
#include <map>
#include <string>
#include <vector>

#include "lcd/LcdWidgets.h"

namespace kx::lcd {
namespace {

enum class Kind { Label, Shape, Picture, Panel };

struct Part {
  const char* name;
  const char* parent;  // "" for Panel4 itself
  Kind kind;
  int x, y, w, h;  // w, h 0: sized to the caption
  const char* caption = "";
  Face face = Face::Arial;
  int size = 0;
  bool bold = true;
  Qt::Alignment align = Qt::AlignLeft;
  Picture picture = Picture::None;
};

constexpr auto L = Kind::Label;
constexpr auto S = Kind::Shape;
constexpr auto P = Kind::Picture;
constexpr auto N = Kind::Panel;
constexpr auto R = Qt::AlignRight;

Part label(const char* name, const char* parent, int x, int y, int w, int h, const char* caption,
           Face face, int size, bool bold = true, Qt::Alignment align = Qt::AlignLeft) {
  return {name, parent, L, x, y, w, h, caption, face, size, bold, align};
}

Part shape(const char* name, const char* parent, int x, int y, int w, int h) {
  return {name, parent, S, x, y, w, h};
}

Part picture(const char* name, const char* parent, int x, int y, int w, int h, Picture pic) {
  return {name, parent, P, x, y, w, h, "", Face::Arial, 0, true, Qt::AlignLeft, pic};
}

Part panel(const char* name, int x, int y, int w, int h) {
  return {name, "", N, x, y, w, h};
}

// Parents come before their children.
std::vector<Part> replicaParts() {
  using F = Face;
  std::vector<Part> v = {
      // Top row.
      picture("IGPower", "", 12, 9, 51, 25, Picture::Battery),
      shape("powerV1", "", 16, 13, 9, 17),
      shape("powerv2", "", 30, 13, 9, 17),
      shape("powerv3", "", 44, 13, 9, 17),
      picture("IMoff", "", 86, 6, 33, 29, Picture::PowerOff),
      label("rsUSB", "", 452, 11, 43, 24, "USB", F::Arial, 21),
      picture("IMmike", "", 504, 10, 41, 25, Picture::Microphone),
      picture("CONokN", "", 549, 5, 32, 32, Picture::LinkDark),
      picture("CONok", "", 549, 5, 32, 32, Picture::LinkLit),
      // Bar graph.
      panel("KD", 10, 40, 575, 63),
      picture("KD1", "KD", 0, 0, 575, 63, Picture::None),
      shape("Shape5", "KD", 18, 26, 533, 5),
      shape("Shape14", "KD", 17, 18, 6, 11),
      shape("Shape6", "KD", 48, 20, 5, 9),
      shape("Shape7", "KD", 109, 20, 6, 9),
      shape("Shape8", "KD", 173, 20, 6, 11),
      shape("Shape9", "KD", 239, 18, 6, 9),
      shape("Shape10", "KD", 301, 16, 6, 13),
      shape("Shape11", "KD", 368, 18, 6, 11),
      shape("Shape12", "KD", 429, 18, 6, 11),
      shape("Shape13", "KD", 497, 14, 6, 13),
      shape("Shape15", "KD", 550, 18, 5, 13),
      label("Label1", "KD", 14, 2, 0, 0, "0", F::Arial, 14),
      label("Label2", "KD", 40, 2, 0, 0, "100K", F::Arial, 14),
      label("Label8", "KD", 101, -1, 0, 0, "1M", F::Arial, 16),
      label("Label11", "KD", 161, -1, 0, 0, "10M", F::Arial, 16),
      label("Label12", "KD", 225, -1, 0, 0, "100M", F::Arial, 16),
      label("Label13", "KD", 293, -1, 0, 0, "1G", F::Arial, 16),
      label("Label14", "KD", 353, -1, 0, 0, "10G", F::Arial, 16),
      label("Label15", "KD", 411, -1, 0, 0, "100G", F::Arial, 16),
      label("Label16", "KD", 489, -1, 0, 0, "1T", F::Arial, 16),
      label("Label17", "KD", 545, -6, 0, 0, "\xE2\x88\x9E", F::Arial, 24),
      label("Bar0", "KD", 6, 14, 32, 49, "|", F::Bar, 64),
      // Memory.
      panel("Panel5", 6, 116, 103, 47),
      label("stor1", "Panel5", 8, 0, 18, 53, "1", F::Lcd, 48),
      label("stor2", "Panel5", 32, 0, 18, 53, "8", F::Lcd, 48),
      label("LabFUL", "Panel5", 68, 8, 32, 19, "FUL", F::Arial, 16),
      label("Labclr", "Panel5", 66, 26, 34, 19, "CLR", F::Arial, 16),
      // Signs on the left and in the middle.
      label("Labng", "", 112, 109, 30, 24, "NG", F::Arial, 21),
      label("labdc", "", 126, 158, 34, 29, "DC", F::Arial, 24),
      shape("Shape1", "", 124, 148, 37, 5),
      shape("Shape2", "", 124, 156, 9, 5),
      shape("Shape3", "", 138, 156, 9, 5),
      shape("Shape4", "", 150, 156, 9, 5),
      label("labt", "", 172, 130, 17, 34, "~", F::Arial, 29),
      label("labac", "", 164, 158, 34, 29, "AC", F::Arial, 24),
      picture("danger", "", 198, 108, 27, 37, Picture::HighVoltage),
      // Second row.
      panel("Panel8", 230, 104, 189, 49),
      label("Label3", "Panel8", 18, 0, 18, 53, "0", F::Lcd, 48),
      label("Label7", "Panel8", 53, 0, 18, 53, "0", F::Lcd, 48),
      label("Label10", "Panel8", 82, 0, 18, 53, "0", F::Lcd, 48),
      label("Label9", "Panel8", 116, 0, 18, 53, "0", F::Lcd, 48),
      label("Label4", "Panel8", 151, 16, 13, 24, "V", F::Unit, 21, true, R),
      label("Labgood", "", 452, 110, 63, 24, "GOOD", F::Arial, 21),
      // Main digits.
      panel("MainDigitPanel", 202, 156, 311, 101),
      label("LabelF", "MainDigitPanel", 30, 6, 28, 107, "-", F::Lcd, 96),
      label("LabelA", "MainDigitPanel", 60, -4, 40, 120, "8", F::Lcd, 107),
      label("Point1", "MainDigitPanel", 104, 32, 12, 72, ".", F::Lcd, 64),
      label("LabelB", "MainDigitPanel", 120, -4, 40, 120, "8", F::Lcd, 107),
      label("Point2", "MainDigitPanel", 166, 30, 12, 72, ".", F::Lcd, 64),
      label("LabelC", "MainDigitPanel", 184, -6, 40, 120, "8", F::Lcd, 107),
      label("Point3", "MainDigitPanel", 222, 28, 12, 72, ".", F::Lcd, 64),
      label("LabelD", "MainDigitPanel", 240, -6, 40, 120, "8", F::Lcd, 107),
      // Unit signs.
      label("Labv", "", 535, 156, 16, 29, "V", F::Unit, 24, true, R),
      label("Labo", "", 554, 154, 17, 27, "*", F::Lcd, 24, true, R),
      label("Labmo1", "", 537, 178, 38, 27, "M*", F::Lcd, 24),
      label("Labgo1", "", 529, 204, 45, 27, " G*", F::Lcd, 24),
      label("Labto", "", 541, 230, 33, 27, "T*", F::Lcd, 24),
      // Timer.
      panel("Panel6", 4, 182, 187, 71),
      label("H_Time1", "Panel6", 26, -6, 21, 63, "8", F::Lcd, 56),
      label("H_Time2", "Panel6", 51, -6, 21, 63, "8", F::Lcd, 56),
      label("T_dPoint1", "Panel6", 71, 0, 13, 53, ":", F::Lcd, 48),
      label("M_Time1", "Panel6", 86, -6, 21, 63, "8", F::Lcd, 56),
      label("M_Time2", "Panel6", 112, -6, 21, 63, "8", F::Lcd, 56),
      label("Labtime", "Panel6", 35, 48, 89, 22, " min : sec", F::Arial, 19),
      label("labmo", "Panel6", 153, 8, 31, 21, "M*", F::Lcd, 19, true, R),
      label("Labgo", "Panel6", 152, 30, 30, 21, "G*", F::Lcd, 19, true, R),
      // Bottom row.
      picture("power", "", 6, 254, 27, 29, Picture::Stopwatch),
      label("labs1", "", 36, 260, 30, 24, "S1 ", F::Arial, 20),
      label("labs2", "", 61, 260, 24, 24, "S2", F::Arial, 20, true, R),
      label("labs3", "", 90, 260, 24, 24, "S3", F::Arial, 20, true, R),
      label("labCOMP", "", 124, 258, 72, 29, "COMP", F::Arial, 24),
      label("labTIME1", "", 206, 258, 69, 29, "Time1", F::Arial, 24),
      label("labtime2", "", 282, 259, 69, 29, "Time2", F::Arial, 24),
      label("labsave", "", 364, 259, 63, 29, "SAVE", F::Arial, 24),
      label("labLoad", "", 444, 259, 67, 29, "LOAD", F::Arial, 24),
      label("labp1", "", 530, 259, 23, 29, "PI", F::Arial, 24),
  };
  // The bar segments: BAR1 and bar2 to bar28 at 26 + 16 n, the narrow ones from bar23 on.
  static const std::vector<std::string> segNames = [] {
    std::vector<std::string> n = {"BAR1"};
    for (int i = 2; i <= 29; ++i) n.push_back("bar" + std::to_string(i));
    return n;
  }();
  for (int n = 1; n <= 28; ++n)
    v.push_back(label(segNames[n - 1].c_str(), "KD", 26 + 16 * n, 26, n >= 23 ? 8 : 14, 32, "!",
                      Face::Bar, 27));
  v.push_back(label("bar29", "KD", 492, 26, 8, 32, "!", Face::Bar, 27));
  v.push_back(label("bar30", "KD", 514, 14, 39, 47, "{", Face::Bar, 64));
  return v;
}

}  // namespace

LcdPanel::LcdPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Panel4"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);

  std::map<std::string, QWidget*> parents = {{"", this}};
  for (const Part& part : replicaParts()) {
    QWidget* parentWidget = parents.at(part.parent);
    QWidget* w = nullptr;
    switch (part.kind) {
      case Kind::Label:
        w = new LcdLabel(part.face, part.size, part.bold, part.align,
                         QString::fromUtf8(part.caption), parentWidget);
        break;
      case Kind::Shape:
        w = new LcdShape(parentWidget);
        break;
      case Kind::Picture:
        w = new LcdPicture(part.picture, parentWidget);
        break;
      case Kind::Panel:
        w = new QWidget(parentWidget);
        w->setAutoFillBackground(true);
        w->setPalette(pal);
        parents[part.name] = w;
        break;
    }
    w->setObjectName(QString::fromLatin1(part.name));
    int width = part.w, height = part.h;
    if (width == 0) {
      QFont f(QStringLiteral("Arial"));
      f.setPixelSize(part.size);
      f.setBold(part.bold);
      const QFontMetrics fm(f);
      width = fm.horizontalAdvance(QString::fromUtf8(part.caption)) + 1;
      height = fm.height();
    }
    w->setGeometry(part.x, part.y, width, height);
    if (auto e = elementByName(part.name)) elements_[index(*e)] = w;
  }
  // Later siblings are drawn above earlier ones; the link pictures share a place.
  mirrorAll(LcdModel());
}

void LcdPanel::mirror(const LcdModel& model, const LcdModel::ElementSet& changes) {
  for (int i = 0; i < kElementCount; ++i) {
    if (!changes.test(i)) continue;
    QWidget* w = elements_[i];
    if (!w) continue;
    const auto e = static_cast<Element>(i);
    if (i >= kFirstDigit && i < kFirstDigit + kDigitCount)
      static_cast<LcdLabel*>(w)->setCaption(QString(QChar::fromLatin1(model.caption(e))));
    w->setVisible(model.visible(e));
  }
}

void LcdPanel::mirrorAll(const LcdModel& model) {
  mirror(model, LcdModel::ElementSet().set());
}

void LcdPanel::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  // A raised outer and a lowered inner bevel with a one-pixel border between them.
  QPainter p(this);
  const QRect r = rect();
  const QColor light = palette().color(QPalette::Light);
  const QColor dark = palette().color(QPalette::Dark);
  auto bevel = [&](const QRect& b, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(b.topLeft(), b.topRight());
    p.drawLine(b.topLeft(), b.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(b.bottomLeft(), b.bottomRight());
    p.drawLine(b.topRight(), b.bottomRight());
  };
  bevel(r, light, dark);
  p.setPen(palette().color(QPalette::Button));
  p.drawRect(r.adjusted(1, 1, -2, -2));
  bevel(r.adjusted(2, 2, -2, -2), dark, light);
}

}  // namespace kx::lcd
