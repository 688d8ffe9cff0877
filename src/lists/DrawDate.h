#pragma once
// The date of a draw: a day of the calendar, and its two written forms, a list header's
// ("2026年8月21日") and the draw histories' ("2026-08-21").
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace numira {

struct Date {
  int year = 0, month = 0, day = 0;
  auto operator<=>(const Date&) const = default;
};

// A day of the Gregorian calendar, years 1 to 9999.
bool IsRealDate(Date date);

// The date of a header as HeaderDate gives it: a four-digit year, "年", a month and "月",
// a day and "日" (one or two digits each, UTF-8), and a real date; nullopt otherwise.
std::optional<Date> ParseHeaderDate(std::string_view text);

// "2026年8月21日" (UTF-8, no zero padding): the form ParseHeaderDate reads.
std::string JapaneseDate(Date date);

// "YYYY-MM-DD", a real calendar date; nullopt otherwise.
std::optional<Date> ParseIsoDate(std::string_view text);

// "2026-08-21": the form ParseIsoDate reads.
std::string IsoDate(Date date);

// Japan's time: UTC+9, no summer time, whatever the computer's time zone.
inline constexpr std::int64_t kJapanOffsetSeconds = 9 * 3600;
// The date in Japan at a moment given in seconds since 1970 UTC.
Date JapanDateOf(std::int64_t utcSeconds);
// Today in Japan, from the system clock.
Date JapanToday();

// The day after date.
Date NextDay(Date date);

}  // namespace numira
