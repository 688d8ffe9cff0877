#pragma once
// What the desktop notices say: the results of the recorded tickets in the draws a refresh
// brought, and the wins whose claim deadline is near. Texts only; who shows them is the
// caller's business.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AutoCheck.h"
#include "Results.h"

namespace numira {

struct Notice {
  std::string summary;  // the notice's title
  std::string body;     // one line per win (LF between lines)
  bool operator==(const Notice&) const = default;
};

inline constexpr const char* kResultsSummary = "購入記録";
inline constexpr const char* kDeadlineSummary = "受け取り期限が近い当せんがあります";

// Each game's latest draw number in the data (0: none), in Game order.
std::array<std::uint32_t, 6> LatestDrawNumbers(const AllGames& data);
// Each game's latest draw date in the data.
LatestDrawDates LatestDates(const AllGames& data);

// The results in the draws after `before` of the purchases covering them, one line per
// game, draw and tier with its 口 summed over the purchases: "ロト６ 第2131回：3等
// 252,100円（1口）" (an amount not published yet: "3等（金額未発表）（1口）"), and with
// more than one line a last line "合計 504,200円". With no win: "当せんなし（3枚）" (the
// purchases covering the new draws) when losses are noticed too, else no notice. No
// notice either when no purchase covers a new draw.
std::optional<Notice> ResultsNotice(const std::vector<Purchase>& purchases, const AllGames& data,
                                    const std::array<std::uint32_t, 6>& before, bool notifyLosses);

// The wins not yet received whose claim deadline is 30 days or fewer away (today in
// Japan): "ロト６ 第2037回：3等 252,100円 2026年9月25日まで（あと5日）", soonest first.
// No notice when there is none.
std::optional<Notice> DeadlineNotice(const std::vector<Purchase>& purchases, const AllGames& data, Date today);

// The small file of the notices' own state ("deadline-noticed=2026-12-08"), beside the
// player's database: a deadline notice goes once a day.
inline constexpr const char* kNoticeStateFile = "notice-state";
inline constexpr const char* kDeadlineNoticedKey = "deadline-noticed";
// Whether the deadline notice was given on `today` already, by the state file at path.
bool DeadlineNoticedOn(const std::string& statePath, Date today);
// Records that it was given today; 0 or the errno of the write.
int RecordDeadlineNotice(const std::string& statePath, Date today);

// When an automatic refresh (the window's or the timer's) last asked the list server
// ("last-refresh=<seconds since 1970 UTC>"): the other one does not ask again within ten
// minutes, so that an open window and the timer together ask no more often than one.
inline constexpr const char* kLastRefreshKey = "last-refresh";
inline constexpr std::int64_t kRecentRefreshSeconds = 10 * 60;
bool RefreshedRecently(const std::string& statePath, std::int64_t nowUtc);
int RecordRefresh(const std::string& statePath, std::int64_t nowUtc);

}  // namespace numira
