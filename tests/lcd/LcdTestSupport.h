#pragma once
// A decoder on a fresh window state, with the two hooks counted, for the LCD tests.

#include <initializer_list>
#include <string>
#include <utility>

#include "app/core/AppState.h"
#include "lcd/FrameDecoder.h"
#include "lcd/LcdModel.h"

namespace kx::lcd::test {

// A valid frame, all segments off, with the given (1-based position, character) changes.
inline std::string frameWith(std::initializer_list<std::pair<int, char>> changes) {
  std::string f(40, '0');
  f += "0D0A";
  for (const auto& [pos, c] : changes) f[pos - 1] = c;
  return f;
}

// Writes a two-character segment code into a frame at (first, second) character positions.
inline void putCode(std::string& frame, int first, int second, const char* code) {
  frame[first - 1] = code[0];
  frame[second - 1] = code[1];
}

struct DecoderFixture {
  AppState state;
  LcdModel model;
  FrameDecoder decoder{model, state};
  int watchdogRestarts = 0;
  int recordCalls = 0;

  explicit DecoderFixture(std::string separator = ".") {
    decoder.setDecimalSeparator(std::move(separator));
    decoder.setPauseMs(0);
    decoder.setRestartWatchdog([this] { ++watchdogRestarts; });
    decoder.setRecordStep([this] { ++recordCalls; });
  }

  bool shows(Element e) const { return model.visible(e); }
};

}  // namespace kx::lcd::test
