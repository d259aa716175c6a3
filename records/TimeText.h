#pragma once
// The time of day as the user's locale writes it (LC_TIME, the locale's time format),
// without milliseconds: the display text of the Time field, also in text files.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx {

class TimeText {
 public:
  // The format of the process's LC_TIME locale at the moment of the call.
  static TimeText fromLocale();
  explicit TimeText(std::string strftimeFormat) : format_(std::move(strftimeFormat)) {}

  const std::string& format() const { return format_; }
  // Milliseconds since midnight to text; the milliseconds are not shown.
  std::string text(int32_t ms) const;
  // Text back to milliseconds since midnight; only the whole text in this format counts.
  std::optional<int32_t> parse(std::string_view text) const;

 private:
  std::string format_;
};

// The current local time of day in milliseconds since midnight.
int32_t localTimeOfDayMs();

}  // namespace kx
