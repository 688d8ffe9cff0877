#pragma once
// Calendar time for the random seed and the refresh's time stamp, and the monotonic
// clock the roll's ticks are aimed at; injectable for tests.
#include <chrono>
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
  // A clock that only goes forward, for spacing the roll's ticks.
  virtual std::chrono::steady_clock::time_point Monotonic() const { return std::chrono::steady_clock::now(); }
};

class SystemClock final : public Clock {
 public:
  std::uint32_t Seconds() const override;
  LocalTime Local() const override;
};

}  // namespace numira
