#include "records/Recorder.h"

#include <charconv>

namespace kx {

const std::array<LimitChoice, 6> kLimitChoices = {{
    {LimitItem::set1k, "set1k", "1000", 1000},
    {LimitItem::set5k, "set5k", "5000", 5000},
    {LimitItem::set10k, "set10k", "10000", 10000},
    {LimitItem::set50k, "set50k", "50000", 50000},
    {LimitItem::set100k, "set100k", "100000", 100000},
    {LimitItem::setlimit, "setlimit", "Limitless", 10000000},
}};

std::optional<int32_t> intervalFromText(const std::string& text) {
  if (text.empty() || text == "-" || text == "+") return 0;
  const char* first = text.data();
  const char* last = first + text.size();
  // One optional sign, then decimal digits only; from_chars takes '-' itself but not '+'.
  if (*first == '+') ++first;
  const char* digits = first + (first != last && *first == '-' && first == text.data());
  if (digits == last || *digits < '0' || *digits > '9') return std::nullopt;
  int32_t value = 0;
  auto [ptr, ec] = std::from_chars(first, last, value, 10);
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return value;
}

std::string notAValidInteger(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

Recorder::Recorder(AppState& state, RecordTable& table, RecordControls& controls, Clock clock)
    : state_(state), table_(table), controls_(controls), clock_(std::move(clock)) {}

RecordOutcome Recorder::INDataToTable(int mode) {
  if (mode != 1) return RecordOutcome::Ignored;
  if (state_.RecordLimit < state_.RecordNo) return RecordOutcome::LimitReached;
  if (controls_.recordSI && state_.IntervalCountdown != 0) return RecordOutcome::IntervalRunning;
  if (!controls_.repeatSet && state_.ReadingText == state_.LastRecordedText)
    return RecordOutcome::Repeated;
  const auto interval = intervalFromText(controls_.recordSITime);
  if (!interval) return RecordOutcome::BadInterval;
  state_.IntervalCountdown = *interval;
  table_.append(state_.RecordNo, clock_(), state_.ReadingText, state_.UnitText, state_.FunctionText,
                state_.RemarkText);
  // RecordNo cannot pass the highest limit (ten million), so this never overflows.
  ++state_.RecordNo;
  state_.LastRecordedText = state_.ReadingText;
  return RecordOutcome::Recorded;
}

std::optional<std::string> Recorder::RecordSITimeChange() {
  const auto interval = intervalFromText(controls_.recordSITime);
  if (!interval) return notAValidInteger(controls_.recordSITime);
  state_.IntervalCountdown = *interval;
  return std::nullopt;
}

bool Recorder::RecordSITimeKeyPress(char key) {
  return (key >= '0' && key <= '9') || key == 8;
}

void Recorder::SampInterTimeTimer() {
  if (controls_.recordSI && state_.IntervalCountdown > 0) --state_.IntervalCountdown;
}

void Recorder::setLimit(LimitItem item) {
  for (const auto& c : kLimitChoices)
    if (c.item == item) state_.RecordLimit = c.limit;
  checked_ = item;
}

void Recorder::clearRecords() {
  if (!table_.empty()) table_.clear();
  state_.RecordNo = 1;
}

}  // namespace kx
