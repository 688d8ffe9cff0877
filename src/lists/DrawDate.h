#pragma once
// The date of a draw: a day of the calendar, and its reading from a list's header
// ("2026年8月21日"). The draw histories' form ("2026-08-21") is read by the publisher.
#include <compare>
#include <optional>
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

}  // namespace numira
