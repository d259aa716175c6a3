#include "records/TimeText.h"

#include <langinfo.h>

#include <chrono>
#include <cstring>
#include <ctime>

#include "records/RecordTable.h"

namespace kx {

TimeText TimeText::fromLocale() {
  const char* fmt = nl_langinfo(T_FMT);
  return TimeText(fmt && *fmt ? fmt : "%H:%M:%S");
}

std::string TimeText::text(int32_t ms) const {
  std::tm tm{};
  const int32_t s = ms / 1000;
  tm.tm_hour = s / 3600;
  tm.tm_min = s / 60 % 60;
  tm.tm_sec = s % 60;
  tm.tm_mday = 1;
  tm.tm_year = 100;
  char buf[64];
  const size_t n = std::strftime(buf, sizeof buf, format_.c_str(), &tm);
  return std::string(buf, n);
}

std::optional<int32_t> TimeText::parse(std::string_view text) const {
  if (text.empty() || text.size() > 63) return std::nullopt;
  char buf[64];
  std::memcpy(buf, text.data(), text.size());
  buf[text.size()] = '\0';
  std::tm tm{};
  tm.tm_hour = tm.tm_min = tm.tm_sec = -1;
  const char* end = strptime(buf, format_.c_str(), &tm);
  if (!end || *end != '\0') return std::nullopt;
  if (tm.tm_hour < 0 || tm.tm_hour > 23 || tm.tm_min < 0 || tm.tm_min > 59 || tm.tm_sec < 0 ||
      tm.tm_sec > 59)
    return std::nullopt;
  return ((tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec) * 1000;
}

int32_t localTimeOfDayMs() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return static_cast<int32_t>(((tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec) * 1000 + ms) %
         kMsPerDay;
}

}  // namespace kx
