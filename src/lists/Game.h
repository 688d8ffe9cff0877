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

// Correct: the won list (entry and how often); NoCorrect: the never-won list (Numbers games only).
enum class ListKind { Correct, NoCorrect };

}  // namespace numira
