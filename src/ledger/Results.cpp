#include "Results.h"

#include <map>

#include "Entry.h"
#include "Schedule.h"

namespace numira {

std::string ResultText(const LineResult& r) {
  if (!r.drawn) return "未抽せん";
  if (r.prize == Prize::None) return "はずれ";
  return std::string(PrizeName(r.prize)) + (r.amount ? " " + Yen(*r.amount) : std::string(kAmountUnpublished));
}

std::uint64_t PricePerDraw(const Purchase& p) {
  return static_cast<std::uint64_t>(RulesOf(p.game).price) * static_cast<std::uint64_t>(p.units) * p.lines.size();
}

std::vector<LineResult> ResultsOf(const Purchase& p, const GameData& data, Date today) {
  std::vector<LineResult> out;
  std::vector<Ticket> tickets;
  for (const PurchaseLine& l : p.lines) tickets.push_back(TicketOf(p.game, l));
  const std::uint32_t latest = data.draws.empty() ? 0 : data.draws.back().number;
  for (std::uint32_t n = p.firstDraw; n <= p.LastDraw(); ++n) {
    const bool drawn = n <= latest && n <= data.draws.size() && data.draws[n - 1].number == n;
    const std::optional<Date> date = drawn ? std::optional<Date>(data.draws[n - 1].date) : DrawDateOf(p.game, data.draws, n);
    const DrawPrizes* prizes = drawn ? PrizesOfDraw(data.prizes, n) : nullptr;
    const std::vector<int> numbers = drawn ? EntryNumberList(data.draws[n - 1].numbers, p.game) : std::vector<int>();
    for (std::size_t i = 0; i < tickets.size(); ++i) {
      LineResult r;
      r.line = static_cast<int>(i);
      r.draw = n;
      r.date = date;
      r.drawn = drawn;
      if (drawn) {
        r.prize = PrizeOf(tickets[i], data.draws[n - 1], numbers);
        const int tier = TierNumber(r.prize);
        if (prizes && tier >= 1 && static_cast<std::size_t>(tier) <= prizes->tiers.size() &&
            prizes->tiers[static_cast<std::size_t>(tier - 1)].amount > 0)
          r.amount = prizes->tiers[static_cast<std::size_t>(tier - 1)].amount * static_cast<std::uint64_t>(p.units);
      }
      if (r.prize != Prize::None) {
        r.deadline = ClaimDeadline(*date);
        r.claimed = p.IsClaimed(r.line, n);
        const std::int64_t left = DayNumber(*r.deadline) - DayNumber(today);
        r.state = r.claimed ? Deadline::None
                  : left < 0 ? Deadline::Expired
                  : left <= kDeadlineWarningDays ? Deadline::Soon
                                                 : Deadline::Open;
      }
      out.push_back(r);
    }
  }
  return out;
}

std::optional<double> Totals::Recovery() const {
  if (spent == 0) return std::nullopt;
  return 100.0 * static_cast<double>(won) / static_cast<double>(spent);
}

std::vector<Totals> TotalsOf(const std::vector<Purchase>& purchases, const AllGames& data, Date today) {
  std::map<std::pair<std::size_t, int>, Totals> sums;
  for (const Purchase& p : purchases) {
    const GameData& d = data[GameIndex(p.game)];
    const std::vector<LineResult> results = ResultsOf(p, d, today);
    for (std::size_t k = 0; k < results.size(); ++k) {
      const LineResult& r = results[k];
      const int year = r.date ? r.date->year : 0;
      Totals& t = sums[{GameIndex(p.game), year}];
      t.game = p.game;
      t.year = year;
      if (r.line == 0) t.spent += PricePerDraw(p);
      if (r.amount) t.won += *r.amount;
    }
  }
  std::vector<Totals> out;
  for (auto& [key, t] : sums) out.push_back(t);
  return out;
}

std::vector<NewDrawResults> ResultsInNewDraws(const std::vector<Purchase>& purchases, const AllGames& data,
                                              const std::array<std::uint32_t, 6>& before) {
  std::vector<NewDrawResults> out;
  for (const Purchase& p : purchases) {
    const GameData& d = data[GameIndex(p.game)];
    const std::uint32_t latest = d.draws.empty() ? 0 : d.draws.back().number;
    const std::uint32_t from = before[GameIndex(p.game)] + 1;
    if (from > latest || p.LastDraw() < from || p.firstDraw > latest) continue;
    NewDrawResults& covering = out.emplace_back();
    covering.purchase = &p;
    for (const LineResult& r : ResultsOf(p, d, Date{}))
      if (r.draw >= from && r.drawn) covering.results.push_back(r);
  }
  return out;
}

std::string NewDrawsSummary(const std::vector<Purchase>& purchases, const AllGames& data,
                            const std::array<std::uint32_t, 6>& before) {
  const std::vector<NewDrawResults> covering = ResultsInNewDraws(purchases, data, before);
  std::string wins;
  for (const NewDrawResults& c : covering) {
    const Purchase& p = *c.purchase;
    for (const LineResult& r : c.results) {
      if (r.prize == Prize::None) continue;
      wins += (wins.empty() ? "" : "、") + std::string(ShownName(p.game)) + " 第" + std::to_string(r.draw) + "回 " +
              PrizeName(r.prize) + " " + std::to_string(p.units) + "口" +
              (r.amount ? " " + Yen(*r.amount) : std::string(kAmountUnpublished));
    }
  }
  if (covering.empty()) return {};
  if (wins.empty()) return "購入記録：当せんなし（" + std::to_string(covering.size()) + "枚）";
  return "購入記録：" + wins;
}

}  // namespace numira
