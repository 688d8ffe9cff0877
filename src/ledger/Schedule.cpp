#include "Schedule.h"

namespace numira {

// Days from civil dates and back (proleptic Gregorian calendar).
std::int64_t DayNumber(Date date) {
  const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (date.month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date DateOfDay(std::int64_t day) {
  day += 719468;
  const std::int64_t era = (day >= 0 ? day : day - 146096) / 146097;
  const std::int64_t doe = day - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return Date{static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

int Weekday(Date date) {
  const std::int64_t d = DayNumber(date);  // 1970-01-01 was a Thursday
  return static_cast<int>(((d % 7) + 7 + 4) % 7);
}

bool IsDrawDay(Game game, Date date) {
  return (RulesOf(game).drawDays & (1 << Weekday(date))) != 0 && !IsDrawBreak(date.month, date.day);
}

namespace {

// The draw day `steps` draw days after `from` (not counting `from` itself).
Date DrawDaysAfter(Game game, Date from, std::uint32_t steps) {
  std::int64_t day = DayNumber(from);
  while (steps > 0) {
    ++day;
    if (IsDrawDay(game, DateOfDay(day))) --steps;
  }
  return DateOfDay(day);
}

}  // namespace

std::optional<NextDraw> NextDrawOf(Game game, const std::vector<Draw>& draws, Date today) {
  if (draws.empty() || RulesOf(game).drawDays == 0) return std::nullopt;
  const Draw& latest = draws.back();
  NextDraw next;
  next.number = latest.number;
  std::int64_t day = DayNumber(latest.date);
  const std::int64_t from = DayNumber(today);
  for (;;) {
    ++day;
    if (!IsDrawDay(game, DateOfDay(day))) continue;
    ++next.number;
    if (day >= from) break;
  }
  next.date = DateOfDay(day);
  next.estimate = from - DayNumber(latest.date) > 7;
  return next;
}

std::optional<Date> DrawDateOf(Game game, const std::vector<Draw>& draws, std::uint32_t number) {
  if (draws.empty() || number == 0) return std::nullopt;
  const Draw& latest = draws.back();
  if (number <= latest.number) {
    // Histories are numbered from 1 without gaps.
    if (number <= draws.size() && draws[number - 1].number == number) return draws[number - 1].date;
    for (const Draw& d : draws)
      if (d.number == number) return d.date;
    return std::nullopt;
  }
  if (RulesOf(game).drawDays == 0 || number - latest.number > kMaxDrawsAhead) return std::nullopt;
  return DrawDaysAfter(game, latest.date, number - latest.number);
}

Date ClaimDeadline(Date drawDate) {
  const Date start = AddDays(drawDate, 1);
  const Date same{start.year + 1, start.month, start.day};
  if (IsRealDate(same)) return AddDays(same, -1);
  // 29 February in a common year: the period ends with February.
  return Date{start.year + 1, start.month, 28};
}

}  // namespace numira
