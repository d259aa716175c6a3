#include "lcd/FrameDecoder.h"

#include <cstdio>

#include "lcd/LcdTables.h"

namespace kx::lcd {
namespace {

constexpr std::string_view kRemarkContinuous = "Continuous";
constexpr std::string_view kRemarkTimed = "Timed";
constexpr std::string_view kRemarkPi = "PI";
constexpr std::string_view kRemarkNg = "COMP:NG";
constexpr std::string_view kRemarkGood = "COMP:GOOD";

const std::string kUnitV = "V";
const std::string kUnitOhm = kOhm;
const std::string kUnitMOhm = std::string("M") + kOhm;
const std::string kUnitGOhm = std::string("G") + kOhm;
const std::string kRange500 = std::string("IR:500V 20G") + kOhm;
const std::string kRange1000 = std::string("IR:1000V 40G") + kOhm;
const std::string kRange2500 = std::string("IR:2500 100G") + kOhm;
const std::string kRange5000 = std::string("IR:5000V 1000G") + kOhm;

// The segment code of a digit from two frame characters (already checked to be hex).
uint8_t codeAt(std::string_view frame, const DigitInfo& d) {
  return static_cast<uint8_t>(HexNibble(frame[d.firstChar - 1]) * 16 +
                              HexNibble(frame[d.secondChar - 1]));
}

}  // namespace

std::string frameCharacterError(std::string_view frame) {
  const size_t n = frame.size() < 44 ? frame.size() : 44;
  for (size_t i = 0; i < n; ++i) {
    if (HexNibble(frame[i]) >= 0) continue;
    const auto byte = static_cast<unsigned char>(frame[i]);
    char what[16];
    if (byte >= 0x20 && byte < 0x7F)
      std::snprintf(what, sizeof what, "'%c'", frame[i]);
    else
      std::snprintf(what, sizeof what, "byte %02X", byte);
    return "character " + std::to_string(i + 1) + " of the frame is " + what +
           ", not an upper-case hexadecimal digit";
  }
  return {};
}

void FrameDecoder::DispInit(bool visible) {
  for (int i = 0; i < kBlankingCount; ++i) model_.setVisible(static_cast<Element>(i), visible);
}

DecodeResult FrameDecoder::ShowDataTarn(std::string_view frame) {
  DecodeResult result;
  if (std::string error = frameCharacterError(frame); !error.empty()) {
    result.rejected = true;
    result.error = std::move(error);
    return result;
  }

  // 1. Restart the link watchdog.
  if (restartWatchdog_) restartWatchdog_();
  // 2, 3. Per-frame resets.
  state_.ReadingText.clear();
  bool dcSeen = false, acSeen = false, minusSeen = false;
  state_.RemarkText = kRemarkContinuous;
  // 4. The two link pictures alternate with every frame.
  model_.setVisible(Element::CONok, !model_.visible(Element::CONok));
  model_.setVisible(Element::CONokN, !model_.visible(Element::CONokN));
  // 5.
  model_.setVisible(Element::rsUSB, true);
  // 6. Terminator check.
  if (frame.size() < 44 || frame.substr(40, 4) != "0D0A") return result;
  result.accepted = true;
  // 7, 8.
  DispInit(false);
  model_.setVisible(Element::KD, true);
  // 9. The pause is the reader's: it holds back the next report.
  result.pauseMs = pauseMs();

  // 10. Annunciator map: only shows, never hides.
  for (const AnnunciatorChar& ch : kAnnunciatorMap) {
    const int value = HexNibble(frame[ch.position - 1]);
    for (int bit = 0; bit < 4; ++bit) {
      if (!(value & (1 << bit))) continue;
      const BitEffect& b = ch.bits[bit];
      for (int i = 0; i < b.count; ++i) model_.setVisible(b.shows[i], true);
      switch (b.effect) {
        case Effect::None:
          break;
        case Effect::Dc:
          dcSeen = true;
          state_.FunctionText = kDcFunction;
          model_.setVisible(Element::KD, false);
          break;
        case Effect::Ac:
          acSeen = true;
          state_.FunctionText = kAcFunction;
          model_.setVisible(Element::KD, false);
          break;
        case Effect::Minus:
          minusSeen = true;
          break;
        case Effect::UnitV:
          state_.UnitText = kUnitV;
          break;
        case Effect::UnitOhm:
          state_.UnitText = kUnitOhm;
          break;
        case Effect::UnitMOhm:
          state_.UnitText = kUnitMOhm;
          break;
        case Effect::UnitGOhm:
          state_.UnitText = kUnitGOhm;
          break;
        case Effect::Timed:
          state_.RemarkText = kRemarkTimed;
          break;
        case Effect::Pi:
          state_.RemarkText = kRemarkPi;
          break;
      }
    }
  }

  // 11, 12. The thirteen digits.
  for (int k = 0; k < kDigitCount; ++k) {
    const DigitInfo& d = kDigits[k];
    const uint8_t code = codeAt(frame, d);
    const Glyph g = d.kind == DigitKind::SecondRow ? decodeSubCode(code) : decodeMainCode(code);
    if (g == kUnrecognised) continue;  // the digit keeps what an earlier frame showed
    if (g == kBlank) {
      model_.setVisible(d.label, false);
      continue;
    }
    model_.setVisible(d.label, true);
    model_.setCaption(k, g.shown);
    if (d.kind == DigitKind::Main) {
      const char c = g.shown == '@' ? 'L' : g.shown;
      if (g.extra == 'N') {
        state_.ReadingText += c;
        model_.setVisible(d.paired, false);
      } else if (g.extra == 'P') {
        state_.ReadingText += c;
        // The fourth digit's extra segment is the TΩ sign, not a decimal point.
        if (k < 3) state_.ReadingText += separator_;
        model_.setVisible(d.paired, true);
      }
      continue;
    }
    // Second-row, timer and memory digits: the extra segment drives the paired element(s);
    // the glyph "--" has it off.
    const bool on = g.extra == 'P';
    model_.setVisible(d.paired, on);
    model_.setVisible(d.paired2, on);
    if (on && d.label == Element::Label7) state_.RemarkText = kRemarkNg;
    if (on && d.label == Element::Label10) state_.RemarkText = kRemarkGood;
  }

  // 13. Range text of an insulation test, read from the second row.
  if (!acSeen && !dcSeen) {
    const bool firstShown = model_.visible(Element::Label3);
    const char first = model_.caption(Element::Label3);
    const char second = model_.caption(Element::Label7);
    if (second == '5' && !firstShown) state_.FunctionText = kRange500;
    if (firstShown) {
      if (first == '1' && second == '0') state_.FunctionText = kRange1000;
      if (first == '2' && second == '5') state_.FunctionText = kRange2500;
      if (first == '5' && second == '0') state_.FunctionText = kRange5000;
    }
  }

  // 14. Sign.
  if (minusSeen) state_.ReadingText.insert(0, 1, '-');

  // 15. Hand-off to the recording step when a main digit is showing.
  if (model_.visible(Element::LabelA) || model_.visible(Element::LabelB) ||
      model_.visible(Element::LabelC) || model_.visible(Element::LabelD)) {
    result.handoff = true;
    if (recordStep_) recordStep_();
  }
  return result;
}

}  // namespace kx::lcd
