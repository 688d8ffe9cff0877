#pragma once
// Every game's draws and published prizes from the frozen fixtures (tests/data), as the
// purchases' results are counted against them.
#include <filesystem>

#include "Results.h"
#include "TestData.h"

namespace numira::testing {

inline GameData FrozenGame(Game game) {
  namespace fs = std::filesystem;
  GameData d;
  d.draws = ParseHistory(ReadBytes(fs::path(NUMIRA_DRAWS_DIR) / HistoryFileName(game)), game, GameId(game));
  if (HasPrizes(game)) d.prizes = ParsePrizes(ReadBytes(fs::path(NUMIRA_PRIZES_DIR) / PrizeFileName(game)), game, "prizes");
  return d;
}

inline const AllGames& FrozenGames() {
  static const AllGames all = [] {
    AllGames a;
    for (Game g : kGames) a[GameIndex(g)] = FrozenGame(g);
    return a;
  }();
  return all;
}

}  // namespace numira::testing
