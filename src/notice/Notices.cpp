#include "Notices.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "ListServerChoice.h"
#include "Schedule.h"

namespace numira {

std::array<std::uint32_t, 6> LatestDrawNumbers(const AllGames& data) {
  std::array<std::uint32_t, 6> out{};
  for (Game g : kGames) {
    const std::vector<Draw>& draws = data[GameIndex(g)].draws;
    out[GameIndex(g)] = draws.empty() ? 0 : draws.back().number;
  }
  return out;
}

LatestDrawDates LatestDates(const AllGames& data) {
  LatestDrawDates out{};
  for (Game g : kGames) {
    const std::vector<Draw>& draws = data[GameIndex(g)].draws;
    if (!draws.empty()) out[GameIndex(g)] = draws.back().date;
  }
  return out;
}

namespace {

std::string DrawName(Game game, std::uint32_t draw) {
  return std::string(ShownName(game)) + " 第" + std::to_string(draw) + "回";
}

std::string AmountText(const std::optional<std::uint64_t>& amount) {
  return amount ? " " + Yen(*amount) : std::string(kAmountUnpublished);
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += (out.empty() ? "" : "\n") + l;
  return out;
}

}  // namespace

std::optional<Notice> ResultsNotice(const std::vector<Purchase>& purchases, const AllGames& data,
                                    const std::array<std::uint32_t, 6>& before, bool notifyLosses) {
  struct Win {
    std::uint64_t units = 0;
    std::optional<std::uint64_t> amount = 0;  // nullopt once any part is not published
  };
  // By game, draw and tier: the order the lines are shown in.
  std::map<std::tuple<std::size_t, std::uint32_t, int>, Win> wins;
  const std::vector<NewDrawResults> covering = ResultsInNewDraws(purchases, data, before);
  for (const NewDrawResults& c : covering) {
    const Purchase& p = *c.purchase;
    for (const LineResult& r : c.results) {
      if (r.prize == Prize::None) continue;
      Win& w = wins[{GameIndex(p.game), r.draw, static_cast<int>(r.prize)}];
      w.units += static_cast<std::uint64_t>(p.units);
      w.amount = (w.amount && r.amount) ? std::optional<std::uint64_t>(*w.amount + *r.amount) : std::nullopt;
    }
  }
  if (covering.empty()) return std::nullopt;
  if (wins.empty()) {
    if (!notifyLosses) return std::nullopt;
    return Notice{kResultsSummary, "当せんなし（" + std::to_string(covering.size()) + "枚）"};
  }
  std::vector<std::string> lines;
  std::uint64_t total = 0;
  bool unpublished = false;
  for (const auto& [key, w] : wins) {
    const Game game = kGames[std::get<0>(key)];
    lines.push_back(DrawName(game, std::get<1>(key)) + "：" + PrizeName(static_cast<Prize>(std::get<2>(key))) +
                    AmountText(w.amount) + "（" + std::to_string(w.units) + "口）");
    if (w.amount) total += *w.amount;
    else unpublished = true;
  }
  if (lines.size() > 1) lines.push_back("合計 " + Yen(total) + (unpublished ? "（金額未発表の分を除く）" : ""));
  return Notice{kResultsSummary, Join(lines)};
}

std::optional<Notice> DeadlineNotice(const std::vector<Purchase>& purchases, const AllGames& data, Date today) {
  struct Soon {
    Date deadline;
    std::string line;
  };
  std::vector<Soon> soon;
  for (const Purchase& p : purchases) {
    for (const LineResult& r : ResultsOf(p, data[GameIndex(p.game)], today)) {
      if (r.state != Deadline::Soon || !r.deadline) continue;
      const std::int64_t left = DayNumber(*r.deadline) - DayNumber(today);
      soon.push_back({*r.deadline, DrawName(p.game, r.draw) + "：" + PrizeName(r.prize) + AmountText(r.amount) + " " +
                                       JapaneseDate(*r.deadline) + "まで" +
                                       (left == 0 ? std::string("（今日まで）") : "（あと" + std::to_string(left) + "日）")});
    }
  }
  if (soon.empty()) return std::nullopt;
  std::stable_sort(soon.begin(), soon.end(), [](const Soon& a, const Soon& b) { return a.deadline < b.deadline; });
  std::vector<std::string> lines;
  for (const Soon& s : soon) lines.push_back(s.line);
  return Notice{kDeadlineSummary, Join(lines)};
}

bool DeadlineNoticedOn(const std::string& statePath, Date today) {
  const ConfigSetting s = ReadConfigSetting(statePath, kDeadlineNoticedKey);
  return s.value && *s.value == IsoDate(today);
}

int RecordDeadlineNotice(const std::string& statePath, Date today) {
  return WriteConfigSetting(statePath, kDeadlineNoticedKey, IsoDate(today));
}

bool RefreshedRecently(const std::string& statePath, std::int64_t nowUtc) {
  const ConfigSetting s = ReadConfigSetting(statePath, kLastRefreshKey);
  if (!s.value || s.value->empty() || s.value->size() > 18 ||
      s.value->find_first_not_of("0123456789") != std::string::npos)
    return false;
  const std::int64_t last = std::stoll(*s.value);
  // A time ahead of now (the clock was set back) counts as long ago.
  return last <= nowUtc && nowUtc - last < kRecentRefreshSeconds;
}

int RecordRefresh(const std::string& statePath, std::int64_t nowUtc) {
  return WriteConfigSetting(statePath, kLastRefreshKey, std::to_string(nowUtc));
}

}  // namespace numira
