// The demonstration meter's scenario: DC and AC volts, insulation tests at 500, 1000, 2500 and
// 5000 V with the bar graph moving, a timed test with its timer counting, PI, the comparator
// with GOOD and NG, the memory, the battery levels and the remaining signs.

#include <cstdio>
#include <string>
#include <vector>

#include "lcd/FrameEncoder.h"
#include "link/SimBridge.h"

namespace kx::link {

namespace {

using lcd::MeterDisplay;

std::string four(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04d", v % 10000);
  return buf;
}

std::string minutesSeconds(int seconds) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d%02d", (seconds / 60) % 100, seconds % 60);
  return buf;
}

// The meter blanks leading zeros of its main digits, up to the digit that carries the point.
void blankLeadingZeros(MeterDisplay& d) {
  const int keep = d.point > 0 ? d.point - 1 : 3;
  for (int i = 0; i < keep && d.main[i] == '0'; ++i) d.main[i] = ' ';
}

}  // namespace

std::vector<std::string> demoScenarioFrames() {
  std::vector<std::string> frames;
  auto add = [&frames](MeterDisplay d) {
    blankLeadingZeros(d);
    frames.push_back(lcd::encodeFrame(d));
  };

  // DC volts, then AC volts, the reading drifting.
  for (int i = 0; i < 8; ++i) {
    MeterDisplay d;
    d.mode = MeterDisplay::Mode::DcVolts;
    d.main = four(2300 + i * 3);
    d.point = 3;
    d.unit = MeterDisplay::Unit::V;
    d.negative = i >= 6;
    add(d);
  }
  for (int i = 0; i < 8; ++i) {
    MeterDisplay d;
    d.mode = MeterDisplay::Mode::AcVolts;
    d.main = four(2298 - i * 2);
    d.point = 3;
    d.unit = MeterDisplay::Unit::V;
    d.battery = 2;
    add(d);
  }

  // Insulation tests at each voltage: the resistance rises and the bar graph with it.
  const int volts[] = {500, 1000, 2500, 5000};
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 16; ++i) {
      MeterDisplay d;
      d.mode = MeterDisplay::Mode::InsulationTest;
      d.secondRow = lcd::irSecondRow(volts[t]);
      d.secondRowV = true;
      d.highVoltage = volts[t] >= 1000;  // the sign is the extra segment of the first digit
      d.battery = 3 - t;
      d.bar = (i * 31) / 15;
      if (i < 10) {
        d.main = four(100 + i * 85);  // MΩ, one decimal
        d.point = 3;
        d.unit = MeterDisplay::Unit::MOhm;
      } else {
        d.main = four(1000 + (i - 10) * 250 + t * 111);  // GΩ, three decimals
        d.point = 1;
        d.unit = MeterDisplay::Unit::GOhm;
      }
      add(d);
    }
  }

  // A timed test at 1000 V: the timer counts up, the stopwatch sign is on.
  for (int s = 0; s < 16; ++s) {
    MeterDisplay d;
    d.secondRow = lcd::irSecondRow(1000);
    d.secondRowV = true;
    d.highVoltage = true;
    d.main = four(1200 + s * 7);
    d.point = 1;
    d.unit = MeterDisplay::Unit::GOhm;
    d.timer = minutesSeconds(55 + s);
    d.timerColon = true;
    d.timed = true;
    d.time1 = s % 2 == 0;
    d.time2 = s % 2 == 1;
    d.bar = 20 + s % 12;
    add(d);
  }

  // The polarisation index.
  for (int i = 0; i < 6; ++i) {
    MeterDisplay d;
    d.secondRow = lcd::irSecondRow(2500);
    d.secondRowV = true;
    d.main = four(1850 + i * 10);
    d.point = 1;
    d.pi = true;
    d.timer = minutesSeconds(600);
    d.timerColon = true;
    add(d);
  }

  // The comparator: a limit of 1000 MΩ on the second row, GOOD above it, NG below.
  for (int i = 0; i < 12; ++i) {
    MeterDisplay d;
    const bool good = i < 6;
    d.secondRow = "1000";
    d.main = good ? four(2000 + i * 50) : four(500 + i * 10);
    d.point = good ? 1 : 3;
    d.unit = good ? MeterDisplay::Unit::GOhm : MeterDisplay::Unit::MOhm;
    d.comparator = good ? MeterDisplay::Comparator::Good : MeterDisplay::Comparator::NoGood;
    d.timer = "0030";
    d.timerColon = true;
    add(d);
  }

  // Storing readings in memory, then recalling them; the memory runs full.
  for (int m = 1; m <= 9; ++m) {
    MeterDisplay d;
    d.secondRow = lcd::irSecondRow(500);
    d.secondRowV = true;
    d.main = four(3000 + m * 11);
    d.point = 3;
    d.unit = MeterDisplay::Unit::MOhm;
    d.memory = static_cast<char>('0' + m);
    d.memorySign = true;
    d.save = m < 9;
    d.load = m == 9;
    d.memoryFull = m == 9;
    d.timer = "0100";
    d.clear = m == 9;
    add(d);
  }

  // Resistance in Ω and TΩ, the small unit signs, the settings marks, the microphone, the
  // power-off warning, a low battery and an over-range reading.
  for (int i = 0; i < 8; ++i) {
    MeterDisplay d;
    d.main = i < 4 ? four(1234 + i) : std::string("  @ ");
    d.point = i < 4 ? 2 : 0;
    d.unit = i < 2 ? MeterDisplay::Unit::Ohm : MeterDisplay::Unit::GOhm;
    d.teraOhm = i >= 2 && i < 4;
    d.timer = "1234";
    d.smallUnit = i % 2 ? MeterDisplay::SmallUnit::GOhm : MeterDisplay::SmallUnit::MOhm;
    d.s1 = i % 3 == 0;
    d.s2 = i % 3 == 1;
    d.s3 = i % 3 == 2;
    d.microphone = i % 2 == 0;
    d.powerOff = i >= 6;
    d.battery = i >= 6 ? 0 : (i >= 4 ? -1 : 1);
    add(d);
  }
  return frames;
}

std::unique_ptr<FrameSource> makeDemoScenario() {
  return std::make_unique<FrameList>(demoScenarioFrames());
}

}  // namespace kx::link
