#pragma once
// Days and draws: counting days of the calendar, the next draw of a game along its draw
// days (GameRules::drawDays, never from 31 December to 3 January) and the last day a win
// can be claimed.
#include <cstdint>
#include <optional>
#include <vector>

#include "DrawHistory.h"

namespace numira {

// Days since 1970-01-01 (negative before); the date of such a day.
std::int64_t DayNumber(Date date);
Date DateOfDay(std::int64_t day);
inline Date AddDays(Date date, std::int64_t days) { return DateOfDay(DayNumber(date) + days); }
// 0 Sunday ... 6 Saturday.
int Weekday(Date date);
// Whether the game draws on that day.
bool IsDrawDay(Game game, Date date);

// A draw not in the data yet, counted along the draw days.
struct NextDraw {
  std::uint32_t number = 0;
  Date date;
  bool estimate = false;  // the data is more than a week behind today: a refresh may correct it
};

// The first draw from `today` on (today in Japan): the latest draw in the data plus the
// draw days after it up to the first draw day not before today and after that draw.
// nullopt for a history without draws.
std::optional<NextDraw> NextDrawOf(Game game, const std::vector<Draw>& draws, Date today);

// How far past the latest draw a date is still counted (some eight years of Numbers).
inline constexpr std::uint32_t kMaxDrawsAhead = 2000;

// The date of a draw: as recorded, or for a draw not in the data yet counted along the draw
// days from the latest one. nullopt for draw 0, a history without draws or a draw more than
// kMaxDrawsAhead after the latest.
std::optional<Date> DrawDateOf(Game game, const std::vector<Draw>& draws, std::uint32_t number);

// The last day a win of a draw on `drawDate` is paid: the claim period starts the day after
// the draw and lasts one year, ending on the day before the same date a year later (when
// that month has no such day, on the month's last day). A draw on 2025-09-25 is paid up to
// 2026-09-25; one on 2023-02-28 up to 2024-02-29; one on 2024-02-28 or -29 up to 2025-02-28.
Date ClaimDeadline(Date drawDate);

}  // namespace numira
