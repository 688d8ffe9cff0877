#pragma once
// The four draw files among the files that start-up copies into the user's folder.
#include <vector>

#include "ListFolder.h"

namespace numira {

// draws/numbers3.csv … draws/loto6.csv of the shipped folder, for the user's draws/
// folder: a shipped file replaces the user's copy when it is a sound history
// (ValidateDrawFile) and the user's copy is missing, is no sound history, or ends with an
// older draw. A newer or equally new copy, say one a refresh brought, is kept; so is one
// that is there but cannot be read.
std::vector<SeedFile> DrawSeedFiles(const ListFolderChoice& choice);

}  // namespace numira
