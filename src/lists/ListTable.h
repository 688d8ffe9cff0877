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

// What the choice of the list folder needs to know of the user and the machine.
struct ListFolderEnv {
  bool executableFolderWritable = false;  // the user may create and rename files beside the executable
  std::string xdgDataHome;                // $XDG_DATA_HOME; empty when unset
  std::string home;                       // the user's home folder
};

// The six list paths, and the user's copies of the shipped lists made ready.
//  - When the user may write beside the executable (a portable copy, a build tree), the
//    lists lie there.
//  - Otherwise (an installed copy) they lie in the user's own folder, $XDG_DATA_HOME/numira
//    (~/.local/share/numira when the variable is empty or not an absolute path), which is
//    created when missing. Each list beside the executable is first copied there when the
//    user's copy is missing or its header carries an older draw date (no date counts as
//    oldest); a newer or equally new copy is kept. A copy is written to a temporary file
//    and renamed into place, so a failure leaves the user's copy as it was.
//    The draw histories of the draws folder beside the executable are copied into the
//    user's draws folder the same way: when missing or ending with an older draw.
//  - When the user's folder cannot be made or written, the lists are read from beside
//    the executable (where a refresh cannot store them).
// A path that would not fit in kMaxText bytes is left empty: no list is read from or
// written to it.
ListPaths BuildListPaths(const std::string& executablePath, const ListFolderEnv& env);

// The same for the running process: the executable's folder is probed with the process's
// own permissions and the rest is taken from its environment.
ListPaths BuildListPaths(const std::string& executablePath);

// Whether something exists at the path (existence only, no permission test; "" never).
bool ListFileExists(const std::string& path);

}  // namespace numira
