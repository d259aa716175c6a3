#include "lcd/LcdTables.h"

namespace kx::lcd {
namespace {

using E = Element;

constexpr BitEffect none() {
  return {{}, 0, Effect::None};
}
constexpr BitEffect show(E a, Effect effect = Effect::None) {
  return {{a}, 1, effect};
}
constexpr BitEffect show2(E a, E b, Effect effect = Effect::None) {
  return {{a, b}, 2, effect};
}

}  // namespace

const std::array<AnnunciatorChar, 15> kAnnunciatorMap = {{
    {1, {show(E::bar6), show(E::bar5), show(E::bar4), show(E::bar3)}},
    {2, {show(E::bar7), show(E::bar8), show(E::bar9), show(E::bar10)}},
    {3, {show(E::bar14), show(E::bar13), show(E::bar12), show(E::bar11)}},
    {4, {show(E::bar15), show(E::bar16), show(E::bar17), show(E::bar18)}},
    {5, {show(E::bar22), show(E::bar21), show(E::bar20), show(E::bar19)}},
    {6, {show(E::bar23), show(E::bar24), show(E::bar25), show(E::bar26)}},
    {7, {show(E::bar30), show(E::bar29), show(E::bar28), show(E::bar27)}},
    {8,
     {BitEffect{{E::labdc, E::Shape1, E::Shape2, E::Shape3, E::Shape4}, 5, Effect::Dc},
      show2(E::labt, E::labac, Effect::Ac), show(E::LabelF, Effect::Minus), show(E::labmo)}},
    {9, {none(), none(), none(), show(E::Labgo)}},
    {39, {show(E::IMoff), show(E::Bar0), show(E::BAR1), show(E::bar2)}},
    {40, {show(E::IGPower), show(E::powerv3), show(E::powerv2), show(E::powerV1)}},
    {29,
     {show(E::Labv, Effect::UnitV), show(E::Labo, Effect::UnitOhm),
      show(E::Labmo1, Effect::UnitMOhm), show(E::Labgo1, Effect::UnitGOhm)}},
    {20, {show(E::labLoad), show(E::labsave), show(E::labtime2), show(E::labTIME1)}},
    {19, {show(E::power, Effect::Timed), show(E::labs1), show(E::labs2), show(E::labs3)}},
    {38, {show(E::IMmike), none(), show(E::labp1, Effect::Pi), show(E::stor1)}},
}};

const std::array<SegmentEntry, 24> kMainSegTable = {{
    {{'0', 'N'}, 0x7D}, {{'1', 'N'}, 0x60}, {{'2', 'N'}, 0x3E}, {{'3', 'N'}, 0x7A},
    {{'4', 'N'}, 0x63}, {{'5', 'N'}, 0x5B}, {{'6', 'N'}, 0x5F}, {{'7', 'N'}, 0x70},
    {{'8', 'N'}, 0x7F}, {{'9', 'N'}, 0x7B}, {{'@', 'N'}, 0x0D}, {{'H', 'N'}, 0x00},
    {{'0', 'P'}, 0xFD}, {{'1', 'P'}, 0xE0}, {{'2', 'P'}, 0xBE}, {{'3', 'P'}, 0xFA},
    {{'4', 'P'}, 0xE3}, {{'5', 'P'}, 0xDB}, {{'6', 'P'}, 0xDF}, {{'7', 'P'}, 0xF0},
    {{'8', 'P'}, 0xFF}, {{'9', 'P'}, 0xFB}, {{'@', 'P'}, 0x8D}, {{'-', '-'}, 0x02},
}};

// "4P" is recognised both as 7C (the "4N" code with the extra segment, as every other "P"
// code of this table is built) and as F8; the encoder writes 7C.
const std::array<SegmentEntry, 25> kSubSegTable = {{
    {{'0', 'N'}, 0xD7}, {{'1', 'N'}, 0x50}, {{'2', 'N'}, 0xE3}, {{'3', 'N'}, 0xF1},
    {{'4', 'N'}, 0x74}, {{'5', 'N'}, 0xB5}, {{'6', 'N'}, 0xB7}, {{'7', 'N'}, 0xD0},
    {{'8', 'N'}, 0xF7}, {{'9', 'N'}, 0xF5}, {{'@', 'N'}, 0x07}, {{'H', 'N'}, 0x00},
    {{'H', 'N'}, 0x08}, {{'0', 'P'}, 0xDF}, {{'1', 'P'}, 0x58}, {{'2', 'P'}, 0xEB},
    {{'3', 'P'}, 0xF9}, {{'4', 'P'}, 0x7C}, {{'4', 'P'}, 0xF8}, {{'5', 'P'}, 0xBD},
    {{'6', 'P'}, 0xBF}, {{'7', 'P'}, 0xD8}, {{'8', 'P'}, 0xFF}, {{'9', 'P'}, 0xFD},
    {{'@', 'P'}, 0x0F},
}};

namespace {

template <size_t N>
std::array<Glyph, 256> byCode(const std::array<SegmentEntry, N>& table) {
  std::array<Glyph, 256> out;
  out.fill(kUnrecognised);
  for (const auto& e : table) out[e.code] = e.glyph;
  return out;
}

const std::array<Glyph, 256>& mainByCode() {
  static const auto table = byCode(kMainSegTable);
  return table;
}

const std::array<Glyph, 256>& subByCode() {
  static const auto table = byCode(kSubSegTable);
  return table;
}

int codeOf(std::string_view code) {
  if (code.size() < 2) return -1;
  const int hi = HexNibble(code[0]);
  const int lo = HexNibble(code[1]);
  if (hi < 0 || lo < 0) return -1;
  return hi * 16 + lo;
}

}  // namespace

Glyph decodeMainCode(uint8_t code) {
  return mainByCode()[code];
}
Glyph decodeSubCode(uint8_t code) {
  return subByCode()[code];
}

std::string DecodeMainSeg(std::string_view code) {
  const int c = codeOf(code);
  const Glyph g = c < 0 ? kUnrecognised : decodeMainCode(static_cast<uint8_t>(c));
  return {g.shown, g.extra};
}

std::string DecodeSubSeg(std::string_view code) {
  const int c = codeOf(code);
  const Glyph g = c < 0 ? kUnrecognised : decodeSubCode(static_cast<uint8_t>(c));
  return {g.shown, g.extra};
}

}  // namespace kx::lcd
