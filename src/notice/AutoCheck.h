#pragma once
// When the lists are refreshed by themselves (自動更新), in Japan's time whatever the
// computer's own zone: on each day some game is drawn (the rules table's draw days, never
// from 31 December to 3 January) from 20:30, once the list server has taken the evening's
// draws, then every 15 minutes until the day's draws are in the data, the last check at
// 22:45. At most ten checks a day.
#include <array>
#include <cstdint>
#include <optional>

#include "DrawDate.h"

namespace numira {

inline constexpr int kFirstCheckMinute = 20 * 60 + 30;        // 20:30
inline constexpr int kCheckStepMinutes = 15;
inline constexpr int kCheckEndMinute = 23 * 60;  // no check from 23:00 on
inline constexpr int kChecksPerDay = (kCheckEndMinute - kFirstCheckMinute + kCheckStepMinutes - 1) / kCheckStepMinutes;

// A moment in Japan: the day and the minute of the day (0..1439).
struct JapanTime {
  Date date;
  int minute = 0;
};
JapanTime JapanTimeOf(std::int64_t utcSeconds);
// The moment a Japanese day's minute begins, in seconds since 1970-01-01 00:00 UTC.
std::int64_t UtcSecondsOf(Date date, int minute);

// Whether some game is drawn that day.
bool IsCheckDay(Date date);

// The date of each game's latest draw in the data (nullopt: no draws), in Game order.
using LatestDrawDates = std::array<std::optional<Date>, 6>;

// Whether the data holds the draws of `day` of every game drawn that day (true for a day
// without draws).
bool DrawsIn(Date day, const LatestDrawDates& latest);

// The first check after now (seconds since 1970 UTC): the next 15-minute step of today's
// evening while today's draws are not all in, else 20:30 of the next day with draws.
std::int64_t NextCheckAfter(std::int64_t nowUtc, const LatestDrawDates& latest);

// Whether a check now should ask the list server: the latest evening that has begun
// (today's from 20:30, else the last day with draws before) lacks some of its draws.
// A computer that slept through the evening catches up when it wakes.
bool RefreshDue(std::int64_t nowUtc, const LatestDrawDates& latest);

}  // namespace numira
