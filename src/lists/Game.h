#pragma once
// The four games and the two kinds of list file, in the order every loop follows.
#include <array>
#include <cstddef>

namespace numira {

enum class Game { Num3, Num4, Mini, Lot6 };
inline constexpr std::array<Game, 4> kGames{Game::Num3, Game::Num4, Game::Mini, Game::Lot6};
inline constexpr std::size_t GameIndex(Game g) { return static_cast<std::size_t>(g); }
inline constexpr bool IsLoto(Game g) { return g == Game::Mini || g == Game::Lot6; }

// How a game's entries are made: Numbers 3 / 4 are `count` digits; Mini Loto / Loto 6
// are `count` distinct numbers from 1 to `largest`.
struct EntryRules {
  int count;
  int largest;
};
inline constexpr EntryRules RulesOf(Game g) {
  switch (g) {
    case Game::Num3: return {3, 9};
    case Game::Num4: return {4, 9};
    case Game::Mini: return {5, 31};
    case Game::Lot6: return {6, 43};
  }
  return {0, 0};
}

// How many different entries a game has: 10^count numbers, or the combinations of
// count numbers out of largest. A list with more entries lists one twice.
inline constexpr std::size_t MaxEntries(Game g) {
  const EntryRules r = RulesOf(g);
  std::size_t n = 1;
  if (!IsLoto(g)) {
    for (int k = 0; k < r.count; ++k) n *= 10;
    return n;
  }
  for (int k = 1; k <= r.count; ++k) n = n * static_cast<std::size_t>(r.largest - r.count + k) / static_cast<std::size_t>(k);
  return n;
}
static_assert(MaxEntries(Game::Num4) == 10000 && MaxEntries(Game::Mini) == 169911 && MaxEntries(Game::Lot6) == 6096454);

// Correct: the won list (entry and how often); NoCorrect: the never-won list (Numbers games only).
enum class ListKind { Correct, NoCorrect };

}  // namespace numira
