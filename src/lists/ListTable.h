#pragma once
// The six list files, in the one order used for paths, start-up reading and the refresh.
#include <array>
#include <string>

#include "Game.h"

namespace numira {

struct ListFileRow {
  Game game;
  ListKind kind;
  const char* fileName;
};

inline constexpr std::array<ListFileRow, 6> kListFiles{{
    {Game::Num3, ListKind::NoCorrect, "Num3NoCorrect.txt"},
    {Game::Num4, ListKind::NoCorrect, "Num4NoCorrect.txt"},
    {Game::Num3, ListKind::Correct, "Num3Correct.txt"},
    {Game::Num4, ListKind::Correct, "Num4Correct.txt"},
    {Game::Mini, ListKind::Correct, "MiniCorrect.txt"},
    {Game::Lot6, ListKind::Correct, "Lot6Correct.txt"},
}};

// Row of the table for a game and kind; -1 for a pair that has no file (Mini/Lot6 never-won).
int ListRow(Game game, ListKind kind);

// Paths and captions are kept within the historical fixed texts: 511 bytes and a terminator.
inline constexpr std::size_t kMaxText = 511;

using ListPaths = std::array<std::string, 6>;

// Whether something exists at the path (existence only, no permission test; "" never).
bool ListFileExists(const std::string& path);

}  // namespace numira
