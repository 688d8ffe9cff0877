#include "AutoCheck.h"

#include "Game.h"
#include "Schedule.h"

namespace numira {
namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

JapanTime JapanTimeOf(std::int64_t utcSeconds) {
  const std::int64_t local = utcSeconds + kJapanOffsetSeconds;
  const std::int64_t day = FloorDiv(local, 86400);
  return {DateOfDay(day), static_cast<int>((local - day * 86400) / 60)};
}

std::int64_t UtcSecondsOf(Date date, int minute) { return DayNumber(date) * 86400 + minute * 60 - kJapanOffsetSeconds; }

bool IsCheckDay(Date date) {
  for (Game g : kGames)
    if (IsDrawDay(g, date)) return true;
  return false;
}

bool DrawsIn(Date day, const LatestDrawDates& latest) {
  for (Game g : kGames)
    if (IsDrawDay(g, day) && (!latest[GameIndex(g)] || *latest[GameIndex(g)] < day)) return false;
  return true;
}

std::int64_t NextCheckAfter(std::int64_t nowUtc, const LatestDrawDates& latest) {
  const JapanTime now = JapanTimeOf(nowUtc);
  if (IsCheckDay(now.date) && !DrawsIn(now.date, latest)) {
    int minute = kFirstCheckMinute;
    while (minute <= now.minute) minute += kCheckStepMinutes;
    if (minute < kCheckEndMinute) return UtcSecondsOf(now.date, minute);
  }
  Date day = AddDays(now.date, 1);
  // A week and the year-end pause hold at most ten days without draws.
  for (int i = 0; i < 14 && !IsCheckDay(day); ++i) day = AddDays(day, 1);
  return UtcSecondsOf(day, kFirstCheckMinute);
}

bool RefreshDue(std::int64_t nowUtc, const LatestDrawDates& latest) {
  const JapanTime now = JapanTimeOf(nowUtc);
  Date day = now.minute >= kFirstCheckMinute ? now.date : AddDays(now.date, -1);
  for (int i = 0; i < 14 && !IsCheckDay(day); ++i) day = AddDays(day, -1);
  return IsCheckDay(day) && !DrawsIn(day, latest);
}

}  // namespace numira
