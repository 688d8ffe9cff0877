#pragma once
// The names of the draw histories: per game its name ("numbers3": the publisher's GAME
// argument) and its CSV file in the draws folder beside the six lists.
#include <array>
#include <string>

#include "Game.h"

namespace numira {

struct HistoryGame {
  Game game;
  const char* name;  // "numbers3": the publisher's GAME argument and the file name without ".csv"
};
inline constexpr std::array<HistoryGame, 4> kHistoryGames{{
    {Game::Num3, "numbers3"}, {Game::Num4, "numbers4"}, {Game::Mini, "miniloto"}, {Game::Lot6, "loto6"}}};

inline const char* HistoryName(Game game) { return kHistoryGames[GameIndex(game)].name; }
inline std::string HistoryFileName(Game game) { return std::string(HistoryName(game)) + ".csv"; }

// The folder of the draw files beside the six lists (and in the list server's /Data/).
inline constexpr const char* kDrawsFolder = "draws";

}  // namespace numira
