#pragma once
// The list files, in the one order used for paths, start-up reading and the refresh: the
// six every list server and every copy has had from the start, then the lists of the
// games added since, which an older server or copy lacks.
#include <array>
#include <string>

#include "Game.h"

namespace numira {

struct ListFileRow {
  Game game;
  ListKind kind;
  const char* fileName;
  // Published since the first six: a server or a copy without it is not at fault, and
  // its refresh never changes the outcome of the six.
  bool added;
};

inline constexpr std::array<ListFileRow, 8> kListFiles{{
    {Game::Num3, ListKind::NoCorrect, "Num3NoCorrect.txt", false},
    {Game::Num4, ListKind::NoCorrect, "Num4NoCorrect.txt", false},
    {Game::Num3, ListKind::Correct, "Num3Correct.txt", false},
    {Game::Num4, ListKind::Correct, "Num4Correct.txt", false},
    {Game::Mini, ListKind::Correct, "MiniCorrect.txt", false},
    {Game::Lot6, ListKind::Correct, "Lot6Correct.txt", false},
    {Game::Lot7, ListKind::Correct, "Lot7Correct.txt", true},
    {Game::Bingo5, ListKind::Correct, "Bingo5Correct.txt", true},
}};

// The first six lists, which every server publishes: the refresh's outcome is theirs.
inline constexpr std::size_t kFirstLists = 6;

namespace list_table_check {
constexpr bool EveryGameOnceWonFirstSixFirst() {
  for (std::size_t i = 0; i < kListFiles.size(); ++i) {
    const ListFileRow& r = kListFiles[i];
    if (r.added != (i >= kFirstLists)) return false;
    for (std::size_t j = 0; j < i; ++j)
      if (kListFiles[j].game == r.game && kListFiles[j].kind == r.kind) return false;
  }
  for (Game g : kGames) {
    int won = 0, neverWon = 0;
    for (const ListFileRow& r : kListFiles)
      if (r.game == g) ++(r.kind == ListKind::Correct ? won : neverWon);
    if (won != 1 || neverWon != (IsNumbers(g) ? 1 : 0)) return false;
  }
  return true;
}
}  // namespace list_table_check
static_assert(list_table_check::EveryGameOnceWonFirstSixFirst(),
              "one won list per game, a never-won list per Numbers game; the first six lists first");

// Row of the table for a game and kind; -1 for a pair that has no file (never-won lists
// of the games other than Numbers).
int ListRow(Game game, ListKind kind);

// Paths and captions are kept within the historical fixed texts: 511 bytes and a terminator.
inline constexpr std::size_t kMaxText = 511;

using ListPaths = std::array<std::string, kListFiles.size()>;

// Whether something exists at the path (existence only, no permission test; "" never).
bool ListFileExists(const std::string& path);

}  // namespace numira
