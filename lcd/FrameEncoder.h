#pragma once
// The inverse of the decoder: from what the meter's LCD shows to the 44-character frame text
// the meter sends (upper-case hex of 20 bytes of segment memory, then "0D0A"). A simulated
// meter builds its frames with it.
//
//   kx::lcd::MeterDisplay d;
//   d.mode = MeterDisplay::Mode::DcVolts;
//   d.main = "2305"; d.point = 3;  // 230.5
//   d.unit = MeterDisplay::Unit::V;
//   std::string frame = kx::lcd::encodeFrame(d);
//
// Digits are written with the codes the decoder recognises. A sign that is the extra segment
// of a digit (a point, TΩ, NG, GOOD, COMP, CLR, FUL, the timer colon, the second-row V, the
// high-voltage sign, the small GΩ) needs that digit to show a character: on a blank digit the
// meter has no code for it, and the encoder throws std::invalid_argument. So does any
// character a digit cannot show.

#include <string>

#include "lcd/LcdModel.h"

namespace kx::lcd {

struct MeterDisplay {
  enum class Mode { InsulationTest, DcVolts, AcVolts };
  enum class Unit { None, V, Ohm, MOhm, GOhm };
  enum class SmallUnit { None, MOhm, GOhm };  // the small signs beside the timer
  enum class Comparator { Off, Good, NoGood };

  Mode mode = Mode::InsulationTest;

  // Digits: four characters each, '0'-'9', 'L' (or '@'), '-' (main, timer, memory only) or
  // ' ' for a blank digit.
  std::string main = "    ";
  int point = 0;          // 0: none; 1 to 3: the point after main digit 1, 2 or 3
  bool negative = false;  // the minus sign before the main digits
  bool teraOhm = false;   // the TΩ sign (extra segment of the fourth main digit)
  Unit unit = Unit::None;

  // The second row: the test voltage of an insulation test (see irSecondRow) or a limit.
  std::string secondRow = "    ";
  bool secondRowV = false;   // the "V" after the second row (extra of its fourth digit)
  bool highVoltage = false;  // the lightning sign (extra of its first digit)
  Comparator comparator = Comparator::Off;  // NG: extra of the second, GOOD: of the third
                                            // second-row digit; COMP: of the third timer digit

  // Minutes and seconds "mmss" and the colon with " min : sec" (extra of the second digit).
  std::string timer = "    ";
  bool timerColon = false;
  bool clear = false;                     // "CLR" (extra of the first timer digit)
  SmallUnit smallUnit = SmallUnit::None;  // GΩ is the extra of the fourth timer digit

  char memory = ' ';        // the memory digit
  bool memorySign = false;  // the "1" before it
  bool memoryFull = false;  // "FUL" (extra of the memory digit)

  int bar = 0;  // bar-graph segments lit from the left, 0 to 31

  bool timed = false;  // stopwatch sign; the remark becomes "Timed"
  bool pi = false;     // "PI"; the remark becomes "PI"
  bool s1 = false, s2 = false, s3 = false;
  bool time1 = false, time2 = false, save = false, load = false;
  bool microphone = false;
  bool powerOff = false;  // the auto power-off sign
  int battery = 3;        // level bars 0 to 3; -1 hides the battery outline too
};

// The second row of an insulation test at 500, 1000, 2500 or 5000 V: " 500", "1000", "2500",
// "5000"; any other voltage gives a blank row.
std::string irSecondRow(int testVolts);

// The frame text the meter sends for `display`.
std::string encodeFrame(const MeterDisplay& display);

// The frame text that makes the decoder show the annunciators and digits of `model`
// (CONok, CONokN, rsUSB and KD follow from the decoding itself). A digit that shows a
// character is written with its code; a hidden digit as blank. Where one bit drives several
// elements, the first of them decides (labdc for the DC sign, labt for AC).
std::string encodeModel(const LcdModel& model);

}  // namespace kx::lcd
