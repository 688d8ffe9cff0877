#pragma once
// The four draw files beside the lists: which copy is newer, and the files that start-up
// copies into the user's folder.
#include <optional>
#include <string>
#include <vector>

#include "DrawHistory.h"
#include "ListFolder.h"

namespace numira {

// The last draw of a file that is a sound history of the game; nullopt when the file
// cannot be read or is no such history.
std::optional<Draw> LastDrawOfFile(const std::string& path, Game game);

// draws/numbers3.csv … draws/loto6.csv of the shipped folder, for the user's draws/
// folder: a shipped file replaces the user's copy when it is a sound history
// (ValidateDrawFile) and the user's copy is missing, is no sound history, or ends with an
// older draw. A newer or equally new copy, say one a refresh brought, is kept; so is one
// that is there but cannot be read.
std::vector<SeedFile> DrawSeedFiles(const ListFolderChoice& choice);

}  // namespace numira
