#pragma once
// The published prizes: one CSV file per game that has a prize table (RulesOf(game).
// prizeTiers), "draw_no,date,t1_winners,t1_amount,…,tN_winners,tN_amount[,carryover]",
// UTF-8, LF line ends. Per tier the winning tickets (口数) and the amount paid per ticket
// in whole yen (当せん金額); the carry-over to the next draw (キャリーオーバー) for the games
// that have one. A draw without a prize row is normal: its prizes are not known yet.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DrawHistory.h"

namespace numira {

// The folder of the prize files beside the lists (and in the list server's /Data/).
inline constexpr const char* kPrizesFolder = "prizes";

// The largest prize file the program reads (the largest real one is about 160 KB).
inline constexpr std::size_t kMaxPrizeFileBytes = 8u << 20;

// The most digits a count or an amount may have: up to a thousand trillion yen.
inline constexpr std::size_t kMaxPrizeDigits = 15;

// Whether the game has a prize table (a prize file).
inline bool HasPrizes(Game game) { return RulesOf(game).prizeTiers > 0; }

// "loto6.csv": the game's id and ".csv", in the prizes folder.
std::string PrizeFileName(Game game);

// The column line of the game's prize file (without its line end).
std::string PrizeColumns(Game game);

struct PrizeTier {
  std::uint64_t winners = 0;  // winning tickets (口数)
  std::uint64_t amount = 0;   // yen paid per winning ticket; 0 exactly when nobody won
  bool operator==(const PrizeTier&) const = default;
};

struct DrawPrizes {
  std::uint32_t number = 0;
  Date date;
  std::vector<PrizeTier> tiers;          // tier 1 (1等) first, RulesOf(game).prizeTiers of them
  std::optional<std::uint64_t> carryover;  // the games with a carry-over only
  bool operator==(const DrawPrizes&) const = default;
};

// A prize file's rows, in file order. Throws HistoryError naming file:line for the first
// fault: a game without a prize table, a byte-order mark, a wrong column line, a wrong
// field count, a draw number not above the one before (draws may be left out), a date
// that is not real or not later than the one before, a count or an amount that is not
// whole decimal digits without leading zeros (at most kMaxPrizeDigits), winners 0 with an
// amount or winners without one. A CR before a LF is allowed; an empty file is refused.
std::vector<DrawPrizes> ParsePrizes(std::string_view bytes, Game game, const std::string& file);

// The problems of a prize file's bytes for a game (at most one, with its line; none for a
// sound file): ParsePrizes' faults, a file larger than kMaxPrizeFileBytes.
std::vector<ListProblem> ValidatePrizeFile(std::string_view bytes, Game game);

// A prize file's bytes: the column line, then one line per draw; LF line ends.
// ParsePrizes reads it back unchanged.
std::string FormatPrizes(const std::vector<DrawPrizes>& prizes, Game game);
// One row without its line end: "2037,2025-09-25,0,0,3,19538100,…,195374667".
std::string FormatPrizeRow(const DrawPrizes& prizes);

// Whether the prizes belong to the history: each row's draw is one of the draws, on the
// same date. The first row that is not; nullopt when all are. (A history may go on past
// the last prizes: those draws' prizes are not known yet.)
std::optional<ListProblem> PrizesAgainstDraws(const std::vector<DrawPrizes>& prizes, const std::vector<Draw>& draws,
                                              Game game);

// The prizes of one draw; nullptr when they are not known.
const DrawPrizes* PrizesOfDraw(const std::vector<DrawPrizes>& prizes, std::uint32_t drawNumber);

}  // namespace numira
