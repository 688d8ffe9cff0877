#pragma once
// The six games and their rules, in the order every loop follows: each game's names,
// the form of its entries and how many there are, its bonus numbers and prize tiers.
// Every other layer asks here; a window decides which of the games it shows.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace numira {

enum class Game { Num3, Num4, Mini, Lot6, Lot7, Bingo5 };
inline constexpr std::array<Game, 6> kGames{Game::Num3, Game::Num4, Game::Mini, Game::Lot6, Game::Lot7, Game::Bingo5};
inline constexpr std::size_t GameIndex(Game g) { return static_cast<std::size_t>(g); }

// How a game's entries are written.
enum class EntryForm {
  Digits,    // Numbers 3 / 4: `count` decimal digits ("084")
  Distinct,  // Loto: `count` distinct numbers from 1 to `largest`, ascending, joined by "."
             // ("3.12.17.25.31")
  Squares,   // ビンゴ５: `count` numbers joined by ".", the i-th (from 1) from its own square
             // of largest / count numbers: 1-5, 6-10, ... 36-40; ascending by construction
};

// A game's rules.
struct GameRules {
  Game game;
  const char* shownName;    // as the window shows it (UTF-8): "ナンバーズ３"
  const char* id;           // the publisher's GAME argument and the draw file's name: "numbers3"
  const char* messageName;  // as English messages name it: "Numbers 3"
  EntryForm form;
  int count;                // digits (Numbers) or numbers (the others) of an entry
  int largest;              // the largest digit (9) or number
  const char* example;      // an entry of the game, for messages that show the form
  int bonusCount;           // bonus numbers drawn besides the entry (0: none)
  int prizeTiers;           // tiers of its published prize table (0: none recorded yet)
  bool carryover;           // its prize table carries a carry-over to the next draw
  bool lastTierNeedsBonus;  // Loto: the lowest tier is paid only with a bonus number among the matches
  int drawDays;             // the weekdays it is drawn on: bit 0 Sunday ... bit 6 Saturday
  int price;                // yen per 口 (a Numbers set ticket included)
};

// The weekday bits of GameRules::drawDays.
inline constexpr int kSun = 1, kMon = 2, kTue = 4, kWed = 8, kThu = 16, kFri = 32, kSat = 64;

inline constexpr std::array<GameRules, 6> kGameRules{{
    {Game::Num3, "ナンバーズ３", "numbers3", "Numbers 3", EntryForm::Digits, 3, 9, "084", 0, 0, false, false, kMon | kTue | kWed | kThu | kFri, 200},
    {Game::Num4, "ナンバーズ４", "numbers4", "Numbers 4", EntryForm::Digits, 4, 9, "0841", 0, 0, false, false, kMon | kTue | kWed | kThu | kFri, 200},
    {Game::Mini, "ミニロト", "miniloto", "Mini Loto", EntryForm::Distinct, 5, 31, "2.5.9.17.31", 1, 4, false, false, kTue, 200},
    {Game::Lot6, "ロト６", "loto6", "Loto 6", EntryForm::Distinct, 6, 43, "1.8.19.27.33.42", 1, 5, true, false, kMon | kThu, 200},
    {Game::Lot7, "ロト７", "loto7", "Loto 7", EntryForm::Distinct, 7, 37, "2.8.15.17.25.28.34", 2, 6, true, true, kFri, 300},
    {Game::Bingo5, "ビンゴ５", "bingo5", "BINGO5", EntryForm::Squares, 8, 40, "1.10.13.19.23.28.35.37", 0, 0, false, false, kWed, 200},
}};

inline constexpr const GameRules& RulesOf(Game g) { return kGameRules[GameIndex(g)]; }

// Numbers 3 / 4: entries of digits, a never-won list beside the won one.
inline constexpr bool IsNumbers(Game g) { return RulesOf(g).form == EntryForm::Digits; }
// The Loto games: distinct numbers out of one range.
inline constexpr bool IsLoto(Game g) { return RulesOf(g).form == EntryForm::Distinct; }
// The numbers one square of a ビンゴ５ card holds (count numbers in all).
inline constexpr int SquareSize(Game g) { return RulesOf(g).largest / RulesOf(g).count; }

// The names of a game (see GameRules).
inline constexpr const char* ShownName(Game g) { return RulesOf(g).shownName; }
inline constexpr const char* GameId(Game g) { return RulesOf(g).id; }
inline constexpr const char* GameName(Game g) { return RulesOf(g).messageName; }

// The game of an id ("numbers3"); nullopt for any other text.
inline constexpr std::optional<Game> GameById(std::string_view id) {
  for (const GameRules& r : kGameRules)
    if (id == r.id) return r.game;
  return std::nullopt;
}

// The most numbers an entry of any game holds.
inline constexpr int kMaxEntryCount = 8;
// The most bonus numbers a draw of any game has.
inline constexpr int kMaxBonusCount = 2;

// How many different entries a game has: 10^count numbers, the combinations of count
// numbers out of largest, or one number of each square. A list with more entries lists one twice.
inline constexpr std::size_t MaxEntries(Game g) {
  const GameRules& r = RulesOf(g);
  std::size_t n = 1;
  if (r.form != EntryForm::Distinct) {
    const auto choices = static_cast<std::size_t>(r.form == EntryForm::Digits ? r.largest + 1 : SquareSize(g));
    for (int k = 0; k < r.count; ++k) n *= choices;
    return n;
  }
  for (int k = 1; k <= r.count; ++k) n = n * static_cast<std::size_t>(r.largest - r.count + k) / static_cast<std::size_t>(k);
  return n;
}

namespace rules_check {
constexpr bool TableInGameOrder() {
  for (std::size_t i = 0; i < kGames.size(); ++i)
    if (kGameRules[i].game != kGames[i] || kGameRules[i].count > kMaxEntryCount ||
        kGameRules[i].bonusCount > kMaxBonusCount || (kGameRules[i].carryover && kGameRules[i].prizeTiers == 0) ||
        (kGameRules[i].form == EntryForm::Squares && kGameRules[i].largest % kGameRules[i].count != 0))
      return false;
  return true;
}
}  // namespace rules_check
// No game is drawn from 31 December to 3 January.
inline constexpr bool IsDrawBreak(int month, int day) { return (month == 12 && day == 31) || (month == 1 && day <= 3); }
static_assert(rules_check::TableInGameOrder(), "one row per game, in Game order");
static_assert(MaxEntries(Game::Num3) == 1000 && MaxEntries(Game::Num4) == 10000 && MaxEntries(Game::Mini) == 169911 &&
              MaxEntries(Game::Lot6) == 6096454 && MaxEntries(Game::Lot7) == 10295472 &&
              MaxEntries(Game::Bingo5) == 390625);

// Correct: the won list (entry and how often); NoCorrect: the never-won list (Numbers games only).
enum class ListKind { Correct, NoCorrect };

}  // namespace numira
