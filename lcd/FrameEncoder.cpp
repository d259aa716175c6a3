#include "lcd/FrameEncoder.h"

#include <stdexcept>

#include "lcd/LcdTables.h"

namespace kx::lcd {
namespace {

struct BitPlace {
  uint8_t position = 0;  // 0: the element has no bit of its own
  uint8_t bit = 0;
};

// Where each element sits in the annunciator map.
const std::array<BitPlace, kElementCount>& bitPlaces() {
  static const auto places = [] {
    std::array<BitPlace, kElementCount> p{};
    for (const AnnunciatorChar& ch : kAnnunciatorMap)
      for (uint8_t bit = 0; bit < 4; ++bit)
        for (int i = 0; i < ch.bits[bit].count; ++i)
          p[index(ch.bits[bit].shows[i])] = {ch.position, bit};
    return p;
  }();
  return places;
}

class FrameBuilder {
 public:
  void show(Element e) {
    const BitPlace p = bitPlaces()[index(e)];
    if (p.position == 0)
      throw std::logic_error("element " + std::string(elementName(e)) + " has no frame bit");
    nibbles_[p.position - 1] |= static_cast<uint8_t>(1u << p.bit);
  }

  // Writes digit k showing `shown` ('0'-'9', '@', '-', ' ') with its extra segment.
  void digit(int k, char shown, bool extra) {
    const DigitInfo& d = kDigits[k];
    const std::string name(elementName(d.label));
    if (shown == 'L') shown = '@';
    uint8_t code = 0;
    if (shown == ' ') {
      if (extra)
        throw std::invalid_argument("the sign beside " + name + " needs the digit to show");
    } else {
      const Glyph wanted = shown == '-' ? Glyph{'-', '-'} : Glyph{shown, extra ? 'P' : 'N'};
      if (shown == '-' && extra)
        throw std::invalid_argument(name + " cannot show '-' with its extra segment");
      if (!findCode(d.kind == DigitKind::SecondRow, wanted, code))
        throw std::invalid_argument(name + " cannot show '" + std::string(1, shown) + "'");
    }
    nibbles_[d.firstChar - 1] |= static_cast<uint8_t>(code >> 4);
    nibbles_[d.secondChar - 1] |= static_cast<uint8_t>(code & 0x0F);
  }

  std::string text() const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out(44, '0');
    for (int i = 0; i < 40; ++i) out[i] = kHex[nibbles_[i]];
    out.replace(40, 4, "0D0A");
    return out;
  }

 private:
  static bool findCode(bool secondRow, Glyph wanted, uint8_t& code) {
    auto search = [&](const auto& table) {
      for (const SegmentEntry& e : table)
        if (e.glyph == wanted) {
          code = e.code;
          return true;
        }
      return false;
    };
    return secondRow ? search(kSubSegTable) : search(kMainSegTable);
  }

  std::array<uint8_t, 40> nibbles_{};
};

void requireFour(const std::string& digits, const char* what) {
  if (digits.size() != 4)
    throw std::invalid_argument(std::string(what) + " must be four characters, not \"" + digits +
                                "\"");
}

constexpr Element kBarOrder[31] = {
    Element::Bar0,  Element::BAR1,  Element::bar2,  Element::bar3,  Element::bar4,  Element::bar5,
    Element::bar6,  Element::bar7,  Element::bar8,  Element::bar9,  Element::bar10, Element::bar11,
    Element::bar12, Element::bar13, Element::bar14, Element::bar15, Element::bar16, Element::bar17,
    Element::bar18, Element::bar19, Element::bar20, Element::bar21, Element::bar22, Element::bar23,
    Element::bar24, Element::bar25, Element::bar26, Element::bar27, Element::bar28, Element::bar29,
    Element::bar30};

}  // namespace

std::string irSecondRow(int testVolts) {
  switch (testVolts) {
    case 500:
      return " 500";
    case 1000:
      return "1000";
    case 2500:
      return "2500";
    case 5000:
      return "5000";
    default:
      return "    ";
  }
}

std::string encodeFrame(const MeterDisplay& d) {
  using M = MeterDisplay;
  requireFour(d.main, "the main digits");
  requireFour(d.secondRow, "the second row");
  requireFour(d.timer, "the timer");
  if (d.point < 0 || d.point > 3) throw std::invalid_argument("the point must be 0 to 3");
  if (d.bar < 0 || d.bar > 31) throw std::invalid_argument("the bar graph has 0 to 31 segments");
  if (d.battery < -1 || d.battery > 3) throw std::invalid_argument("the battery level is -1 to 3");

  FrameBuilder f;
  for (int k = 0; k < 4; ++k) f.digit(k, d.main[k], k < 3 ? d.point == k + 1 : d.teraOhm);
  const bool secondRowExtras[4] = {d.highVoltage, d.comparator == M::Comparator::NoGood,
                                   d.comparator == M::Comparator::Good, d.secondRowV};
  for (int k = 0; k < 4; ++k) f.digit(4 + k, d.secondRow[k], secondRowExtras[k]);
  const bool timerExtras[4] = {d.clear, d.timerColon, d.comparator != M::Comparator::Off,
                               d.smallUnit == M::SmallUnit::GOhm};
  for (int k = 0; k < 4; ++k) f.digit(8 + k, d.timer[k], timerExtras[k]);
  f.digit(12, d.memory, d.memoryFull);

  if (d.mode == M::Mode::DcVolts) f.show(Element::labdc);
  if (d.mode == M::Mode::AcVolts) f.show(Element::labt);
  if (d.negative) f.show(Element::LabelF);
  if (d.smallUnit == M::SmallUnit::MOhm) f.show(Element::labmo);
  for (int i = 0; i < d.bar; ++i) f.show(kBarOrder[i]);
  if (d.battery >= 0) f.show(Element::IGPower);
  if (d.battery >= 1) f.show(Element::powerV1);
  if (d.battery >= 2) f.show(Element::powerv2);
  if (d.battery >= 3) f.show(Element::powerv3);
  switch (d.unit) {
    case M::Unit::None:
      break;
    case M::Unit::V:
      f.show(Element::Labv);
      break;
    case M::Unit::Ohm:
      f.show(Element::Labo);
      break;
    case M::Unit::MOhm:
      f.show(Element::Labmo1);
      break;
    case M::Unit::GOhm:
      f.show(Element::Labgo1);
      break;
  }
  const std::pair<bool, Element> signs[] = {
      {d.timed, Element::power},       {d.pi, Element::labp1},       {d.s1, Element::labs1},
      {d.s2, Element::labs2},          {d.s3, Element::labs3},       {d.time1, Element::labTIME1},
      {d.time2, Element::labtime2},    {d.save, Element::labsave},   {d.load, Element::labLoad},
      {d.microphone, Element::IMmike}, {d.powerOff, Element::IMoff}, {d.memorySign, Element::stor1},
  };
  for (const auto& [on, e] : signs)
    if (on) f.show(e);
  return f.text();
}

std::string encodeModel(const LcdModel& m) {
  FrameBuilder f;
  for (int k = 0; k < kDigitCount; ++k) {
    const DigitInfo& d = kDigits[k];
    if (!m.visible(d.label)) continue;  // blank: code 00
    const char shown = m.caption(k);
    f.digit(k, shown, shown != '-' && m.visible(d.paired));
  }
  for (const AnnunciatorChar& ch : kAnnunciatorMap)
    for (const BitEffect& b : ch.bits)
      if (b.count > 0 && m.visible(b.shows[0])) f.show(b.shows[0]);
  return f.text();
}

}  // namespace kx::lcd
