#pragma once
// Where the six lists live, in two plain steps: choosing the folder (a pure function of the
// executable's path, the user's environment and whether this is an installed copy), then
// seeding the user's own folder with the shipped lists when the choice says so.
#include <functional>
#include <string>
#include <vector>

#include "ListTable.h"

namespace numira {

// The file the install lays down beside the executable (dist/CMakeLists.txt): its presence
// makes the copy an installed one, which never writes beside itself, whoever runs it.
inline constexpr const char* kInstallMarker = NUMIRA_INSTALL_MARKER;

// What the choice of the list folder needs to know of the machine and the user.
struct ListFolderEnv {
  bool installed = false;   // the install marker lies beside the executable
  std::string xdgDataHome;  // $XDG_DATA_HOME; empty when unset
  std::string home;         // the user's home folder
  // Root runs the program where its files would land in another user's folder (sudo
  // without -H: the user's data folder, or the folder of a copy that is not installed):
  // nothing may be made there, for it would be root's in the user's home.
  bool rootInOthersHome = false;
};

// The folders the lists come from. Folders are "" (the working directory) or end in "/".
struct ListFolderChoice {
  std::string shippedFolder;  // the executable's folder: the lists shipped with the program
  std::string folder;         // where the lists are read and a refresh stores them
  bool seed = false;          // folder is the user's own: make it and seed it before reading
  bool writable = true;       // a refresh may store lists in folder
  // The user's folder is too long for a list path (kMaxText): the shipped lists are read.
  bool userFolderTooLong = false;
  // Root with another user's home: the lists there (or the shipped ones when there are
  // none) are read, and nothing is written anywhere.
  bool rootInOthersHome = false;
};

// - A copy that is not installed (a build tree, a portable copy) keeps its lists beside
//   the executable.
// - An installed copy keeps them in the user's folder, $XDG_DATA_HOME/numira
//   (~/.local/share/numira when the variable is empty or not an absolute path), seeded
//   from the shipped lists. Without a home, or when that folder's list paths would not fit
//   in kMaxText bytes, the shipped lists are read, and no refresh stores anything.
ListFolderChoice ChooseListFolder(const std::string& executablePath, const ListFolderEnv& env);

// Whether this process runs as root (effective) and path lies in another user's folder:
// the folder, or the nearest of its parents that exists, belongs to someone else (root
// with a user's HOME, `sudo` without -H). Root makes nothing there.
bool IsRootInOthersFolder(const std::string& path);

// Whether the install marker lies beside the executable (a regular file).
bool IsInstalledCopy(const std::string& executablePath);

// The environment of the running process, and whether its executable is an installed copy.
ListFolderEnv ProcessListFolderEnv(const std::string& executablePath);
// The user's part of it alone (installed stays false).
ListFolderEnv ProcessUserEnv();

// A program's folder of the user's data: $XDG_DATA_HOME/<name>/, or
// ~/.local/share/<name>/ when the variable is empty or not an absolute path (such values
// are invalid and ignored); "" when neither names an absolute folder.
std::string UserDataFolder(const ListFolderEnv& env, const std::string& name);

// The six list paths in a folder; a path that would not fit in kMaxText bytes is left
// empty: no list is read from or written to it.
ListPaths ListPathsIn(const std::string& folder);

// One file the seeding may copy from the shipped folder into the user's.
struct SeedFile {
  std::string shipped;
  std::string user;
  // Whether the shipped copy should replace the user's (or take its place when missing).
  std::function<bool(const std::string& shipped, const std::string& user)> shippedReplaces;
};

// The six lists: a shipped list replaces the user's copy when it is a valid list
// (ValidateList) and the user's copy is missing or its header carries an older draw date
// (a copy without a real date counts as oldest). A newer or equally new copy, say one a
// refresh brought, is kept; so is one that is there but cannot be read.
std::vector<SeedFile> ListSeedFiles(const ListFolderChoice& choice);

// Root with another user's home never seeds: it reads the user's folder when there is one,
// else the shipped lists. When the choice says so: makes the user's folder (private to the user), removes what a
// start killed while seeding left beside the files (SweepLeftovers), and copies each file
// whose shipped copy should replace the user's (making its subfolder when missing) through
// the file store's stage renamed into place, so that a failure leaves the user's copy as it
// was. A folder that holds a set's index (a refresh from a server of numbered sets) is not
// seeded: it follows its server. When the folder cannot be made or written, the choice falls back to the shipped
// lists (read only). Returns the choice to read from.
ListFolderChoice SeedListFolder(ListFolderChoice choice, const std::vector<SeedFile>& files);

}  // namespace numira
