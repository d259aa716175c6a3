#pragma once
// The decoder of the meter's frames (ShowDataTarn): one frame text in, the display model and
// the four reading texts of AppState out. It never sleeps and never touches a widget; the
// caller supplies the two actions that reach outside: restarting the link watchdog and the
// recording step.

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "app/core/AppState.h"
#include "lcd/LcdModel.h"

namespace kx::lcd {

struct DecodeResult {
  bool rejected = false;  // a character outside "0"-"9", "A"-"F" in positions 1 to 44: no
                          // step ran, nothing changed
  bool accepted = false;  // the frame passed the terminator check ("0D0A" at 41 to 44)
  bool handoff = false;   // the recording step was called
  int pauseMs = 0;        // how long the reader holds back the next report (0 unless accepted)
  std::string error;      // why a frame was rejected
};

// The message for a frame text with a character outside "0"-"9", "A"-"F" in its first 44
// characters, or empty when there is none.
std::string frameCharacterError(std::string_view frame);

class FrameDecoder {
 public:
  static constexpr int kDefaultPauseMs = 500;

  FrameDecoder(LcdModel& model, AppState& state) : model_(model), state_(state) {}

  // The system decimal symbol that follows a main digit whose point is on.
  void setDecimalSeparator(std::string separator) { separator_ = std::move(separator); }
  const std::string& decimalSeparator() const { return separator_; }

  // Called first for every frame handed in (rejected frames excepted).
  void setRestartWatchdog(std::function<void()> f) { restartWatchdog_ = std::move(f); }
  // Called last when a main digit is showing (INDataToTable(1)).
  void setRecordStep(std::function<void()> f) { recordStep_ = std::move(f); }

  // The hold-back after every accepted frame: the link's read side waits this long before it
  // reads the next report, so at most two frames a second are decoded. Any thread may read it.
  int pauseMs() const { return pauseMs_.load(std::memory_order_relaxed); }
  void setPauseMs(int ms) { pauseMs_.store(ms < 0 ? 0 : ms, std::memory_order_relaxed); }

  // Decodes one frame text: 44 characters, the characters after the 44th are ignored.
  DecodeResult ShowDataTarn(std::string_view frame);

  // Sets the visibility of every element of the blanking set.
  void DispInit(bool visible);

  LcdModel& model() { return model_; }

 private:
  LcdModel& model_;
  AppState& state_;
  std::string separator_ = ".";
  std::function<void()> restartWatchdog_;
  std::function<void()> recordStep_;
  std::atomic<int> pauseMs_{kDefaultPauseMs};
};

}  // namespace kx::lcd
