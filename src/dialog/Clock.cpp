#include "Clock.h"

#include <ctime>

namespace numira {

std::uint32_t SystemClock::Seconds() const { return static_cast<std::uint32_t>(std::time(nullptr)); }

LocalTime SystemClock::Local() const {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace numira
