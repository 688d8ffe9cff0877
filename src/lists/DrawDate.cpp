#include "DrawDate.h"

#include <chrono>
#include <cstdio>

namespace numira {

bool IsRealDate(Date date) {
  if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) return false;
  const std::chrono::year_month_day ymd{std::chrono::year{date.year}, std::chrono::month{static_cast<unsigned>(date.month)},
                                        std::chrono::day{static_cast<unsigned>(date.day)}};
  return ymd.ok();
}

std::optional<Date> ParseHeaderDate(std::string_view text) {
  struct Part {
    std::string_view unit;
    std::size_t minDigits, maxDigits;
  };
  int values[3] = {0, 0, 0};
  int i = 0;
  for (const Part part : {Part{"年", 4, 4}, Part{"月", 1, 2}, Part{"日", 1, 2}}) {
    const auto at = text.find(part.unit);
    if (at == std::string_view::npos || at < part.minDigits || at > part.maxDigits) return std::nullopt;
    for (const char c : text.substr(0, at)) {
      if (c < '0' || c > '9') return std::nullopt;
      values[i] = values[i] * 10 + (c - '0');
    }
    text.remove_prefix(at + part.unit.size());
    ++i;
  }
  const Date date{values[0], values[1], values[2]};
  if (!text.empty() || !IsRealDate(date)) return std::nullopt;
  return date;
}

}  // namespace numira

namespace numira {

std::string JapaneseDate(Date date) {
  return std::to_string(date.year) + "年" + std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
}

std::optional<Date> ParseIsoDate(std::string_view text) {
  const auto digits = [&](std::size_t at, std::size_t n, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      value = value * 10 + (text[i] - '0');
    }
    return true;
  };
  Date d;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(0, 4, d.year) || !digits(5, 2, d.month) ||
      !digits(8, 2, d.day) || !IsRealDate(d))
    return std::nullopt;
  return d;
}

std::string IsoDate(Date date) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buf;
}

Date JapanDateOf(std::int64_t utcSeconds) {
  using namespace std::chrono;
  const year_month_day day{floor<days>(sys_seconds{seconds{utcSeconds + kJapanOffsetSeconds}})};
  return {static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
          static_cast<int>(static_cast<unsigned>(day.day()))};
}

Date JapanToday() {
  using namespace std::chrono;
  return JapanDateOf(duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
}

Date NextDay(Date date) {
  using namespace std::chrono;
  const year_month_day next{sys_days{year{date.year} / month{static_cast<unsigned>(date.month)} /
                                     day{static_cast<unsigned>(date.day)}} + days{1}};
  return {static_cast<int>(next.year()), static_cast<int>(static_cast<unsigned>(next.month())),
          static_cast<int>(static_cast<unsigned>(next.day()))};
}

}  // namespace numira
