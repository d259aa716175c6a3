#pragma once
// The recording step and its rules: record limit, sampling interval and repeat. The state of
// the record toolbar's controls lives in RecordControls; the window mirrors it.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/core/AppState.h"
#include "records/RecordTable.h"

namespace kx {

// What the record toolbar shows: "Repeat", "Sampling Interval" and the interval box.
struct RecordControls {
  bool repeatSet = false;  // ticked by FormCreate
  bool recordSI = false;
  std::string recordSITime = "10";
};

// The six entries of Record > RecordSet, in menu order.
enum class LimitItem { set1k, set5k, set10k, set50k, set100k, setlimit };
struct LimitChoice {
  LimitItem item;
  const char* name;     // the menu item's objectName
  const char* caption;  // the menu text
  int32_t limit;
};
extern const std::array<LimitChoice, 6> kLimitChoices;

// The interval text rule: "", "-" and "+" are 0; otherwise a decimal integer that fits in
// 32 bits; nothing else converts.
std::optional<int32_t> intervalFromText(const std::string& text);
// The message for a text that does not convert.
std::string notAValidInteger(const std::string& text);

enum class RecordOutcome {
  Recorded,
  Ignored,  // mode other than 1
  LimitReached,
  IntervalRunning,
  Repeated,
  BadInterval,  // the interval box does not hold a valid integer
};

class Recorder {
 public:
  using Clock = std::function<int32_t()>;  // local time of day in ms

  Recorder(AppState& state, RecordTable& table, RecordControls& controls, Clock clock);

  // The recording step. Reads the four reading texts from the state.
  RecordOutcome INDataToTable(int mode);
  // Reloads the countdown from the interval box. Returns the error text when the box does
  // not hold a valid integer; the countdown then keeps its value.
  std::optional<std::string> RecordSITimeChange();
  // Whether the key filter lets a typed character through to the interval box.
  static bool RecordSITimeKeyPress(char key);
  // One tick of the one-second timer.
  void SampInterTimeTimer();
  // Chooses a record limit; exactly one item carries the tick.
  void setLimit(LimitItem item);
  LimitItem checkedLimit() const { return checked_; }
  // Delete Data after the user answered Yes.
  void clearRecords();

 private:
  AppState& state_;
  RecordTable& table_;
  RecordControls& controls_;
  Clock clock_;
  LimitItem checked_ = LimitItem::set10k;
};

}  // namespace kx
