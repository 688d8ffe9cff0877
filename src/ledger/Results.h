#pragma once
// What the purchases came to: the result of each line in each draw it covers, the claim
// deadline of a win, totals per game and year, and the one line after new draws.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Prizes.h"
#include "Purchase.h"

namespace numira {

// Each game's draws and published prizes, in Game order.
struct GameData {
  std::vector<Draw> draws;
  std::vector<DrawPrizes> prizes;
};
using AllGames = std::array<GameData, 6>;

enum class Deadline {
  None,     // nothing to claim (pending, lost, or received)
  Open,     // more than 30 days left
  Soon,     // 30 days or fewer left, the deadline day included
  Expired,  // past the deadline, never received
};
inline constexpr int kDeadlineWarningDays = 30;

struct LineResult {
  int line = 0;                 // 0 = A
  std::uint32_t draw = 0;
  std::optional<Date> date;     // recorded, or counted along the draw days for a draw to come
  bool drawn = false;           // false: 未抽せん
  Prize prize = Prize::None;
  std::optional<std::uint64_t> amount;  // the amount paid per 口 × 口数, where published
  std::optional<Date> deadline;         // wins only
  bool claimed = false;
  Deadline state = Deadline::None;
};

// Every draw the purchase covers, line by line (draw order, then line order).
std::vector<LineResult> ResultsOf(const Purchase& purchase, const GameData& data, Date today);

// "未抽せん", "はずれ", "3等 252,100円", "3等（金額未発表）", "ストレート（金額未発表）".
std::string ResultText(const LineResult& result);

// The price of a purchase: price per 口 × 口数 × lines, per draw.
std::uint64_t PricePerDraw(const Purchase& purchase);

struct Totals {
  Game game = Game::Lot6;
  int year = 0;             // of the draws
  std::uint64_t spent = 0;  // 購入金額
  std::uint64_t won = 0;    // 当せん金額 (published amounts only)
  // 回収率 in percent (won / spent); nullopt when nothing was spent.
  std::optional<double> Recovery() const;
};
// Per game and year of the draws (a draw to come counts in the year of its counted date),
// in Game order then by year.
std::vector<Totals> TotalsOf(const std::vector<Purchase>& purchases, const AllGames& data, Date today);

// The purchases covering the draws after `before` (each game's latest draw number before a
// refresh), each with its results in those draws (drawn ones only).
struct NewDrawResults {
  const Purchase* purchase = nullptr;
  std::vector<LineResult> results;
};
std::vector<NewDrawResults> ResultsInNewDraws(const std::vector<Purchase>& purchases, const AllGames& data,
                                              const std::array<std::uint32_t, 6>& before);

// The one line after a refresh: the results in the draws after `before` (each game's
// latest draw number before the refresh) of every purchase covering them —
// "購入記録：ロト６ 第2131回 3等 1口 252,100円" (wins joined by "、") or
// "購入記録：当せんなし（3枚）"; empty when no purchase covers a new draw.
std::string NewDrawsSummary(const std::vector<Purchase>& purchases, const AllGames& data,
                            const std::array<std::uint32_t, 6>& before);

}  // namespace numira
