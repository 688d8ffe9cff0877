#pragma once
// The draw and prize files beside the lists: reading them whole, which copy is newer, and
// the files that start-up copies into the user's folder.
#include <optional>
#include <string>
#include <vector>

#include "DrawHistory.h"
#include "ListFolder.h"
#include "Prizes.h"

namespace numira {

// The draws of a file that is a sound history of the game; nullopt when the file cannot
// be read or is no such history.
std::optional<std::vector<Draw>> DrawsOfFile(const std::string& path, Game game);
// Its last draw; nullopt as for DrawsOfFile.
std::optional<Draw> LastDrawOfFile(const std::string& path, Game game);

// The rows of a file that is a sound prize file of the game; nullopt when the file cannot
// be read (missing: the prizes are not known) or is no such file.
std::optional<std::vector<DrawPrizes>> PrizesOfFile(const std::string& path, Game game);

// draws/numbers3.csv … draws/bingo5.csv of the shipped folder, for the user's draws/
// folder: a shipped file replaces the user's copy when it is a sound history
// (ValidateDrawFile) and the user's copy is missing, is no sound history, or ends with an
// older draw. A newer or equally new copy, say one a refresh brought, is kept; so is one
// that is there but cannot be read. A shipped file that is missing copies nothing.
std::vector<SeedFile> DrawSeedFiles(const ListFolderChoice& choice);

// prizes/<game>.csv of the games with a prize table, the same way: a sound shipped prize
// file replaces the user's copy when that is missing, unsound, or ends with an earlier draw.
std::vector<SeedFile> PrizeSeedFiles(const ListFolderChoice& choice);

// Everything the user's folder is seeded with: the lists, the draw files, the prize files.
std::vector<SeedFile> UserFolderSeedFiles(const ListFolderChoice& choice);

}  // namespace numira
