#pragma once
// The draw histories' files: per game its CSV file in the draws folder beside the six lists.
#include <string>

#include "Game.h"

namespace numira {

// "numbers3.csv": the game's id (Game.h) and ".csv".
inline std::string HistoryFileName(Game game) { return std::string(GameId(game)) + ".csv"; }

// The folder of the draw files beside the six lists (and in the list server's /Data/).
inline constexpr const char* kDrawsFolder = "draws";

}  // namespace numira
