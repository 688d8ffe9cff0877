#pragma once
// The four games and their rules, in the order every loop follows: each game's names,
// the form of its entries and how many there are. Every other layer asks here.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace numira {

enum class Game { Num3, Num4, Mini, Lot6 };
inline constexpr std::array<Game, 4> kGames{Game::Num3, Game::Num4, Game::Mini, Game::Lot6};
inline constexpr std::size_t GameIndex(Game g) { return static_cast<std::size_t>(g); }
inline constexpr bool IsLoto(Game g) { return g == Game::Mini || g == Game::Lot6; }

// A game's rules. Its entries: Numbers 3 / 4 are `count` digits ("084"); Mini Loto /
// Loto 6 are `count` distinct numbers from 1 to `largest`, ascending, joined by "."
// ("3.12.17.25.31").
struct GameRules {
  Game game;
  const char* shownName;    // as the window shows it (UTF-8): "ナンバーズ３"
  const char* id;           // the publisher's GAME argument and the draw file's name: "numbers3"
  const char* messageName;  // as English messages name it: "Numbers 3"
  int count;                // digits (Numbers) or numbers (Loto) of an entry
  int largest;              // the largest digit (9) or number
  const char* example;      // an entry of the game, for messages that show the form
};

inline constexpr std::array<GameRules, 4> kGameRules{{
    {Game::Num3, "ナンバーズ３", "numbers3", "Numbers 3", 3, 9, "084"},
    {Game::Num4, "ナンバーズ４", "numbers4", "Numbers 4", 4, 9, "0841"},
    {Game::Mini, "ミニロト", "miniloto", "Mini Loto", 5, 31, "2.5.9.17.31"},
    {Game::Lot6, "ロト６", "loto6", "Loto 6", 6, 43, "1.8.19.27.33.42"},
}};

inline constexpr const GameRules& RulesOf(Game g) { return kGameRules[GameIndex(g)]; }

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
inline constexpr int kMaxEntryCount = 6;

// How many different entries a game has: 10^count numbers, or the combinations of
// count numbers out of largest. A list with more entries lists one twice.
inline constexpr std::size_t MaxEntries(Game g) {
  const GameRules& r = RulesOf(g);
  std::size_t n = 1;
  if (!IsLoto(g)) {
    for (int k = 0; k < r.count; ++k) n *= static_cast<std::size_t>(r.largest + 1);
    return n;
  }
  for (int k = 1; k <= r.count; ++k) n = n * static_cast<std::size_t>(r.largest - r.count + k) / static_cast<std::size_t>(k);
  return n;
}

namespace rules_check {
constexpr bool TableInGameOrder() {
  for (std::size_t i = 0; i < kGames.size(); ++i)
    if (kGameRules[i].game != kGames[i] || kGameRules[i].count > kMaxEntryCount) return false;
  return true;
}
}  // namespace rules_check
static_assert(rules_check::TableInGameOrder(), "one row per game, in Game order");
static_assert(MaxEntries(Game::Num3) == 1000 && MaxEntries(Game::Num4) == 10000 && MaxEntries(Game::Mini) == 169911 &&
              MaxEntries(Game::Lot6) == 6096454);

// Correct: the won list (entry and how often); NoCorrect: the never-won list (Numbers games only).
enum class ListKind { Correct, NoCorrect };

}  // namespace numira
