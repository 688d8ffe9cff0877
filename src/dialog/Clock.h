#pragma once
// Calendar time for the random seed and the refresh's time stamp; injectable for tests.
#include <cstdint>

namespace numira {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since 1970-01-01 00:00 UTC, truncated to 32 bits.
  virtual std::uint32_t Seconds() const = 0;
  virtual LocalTime Local() const = 0;
};

class SystemClock final : public Clock {
 public:
  std::uint32_t Seconds() const override;
  LocalTime Local() const override;
};

}  // namespace numira
