#include "ListFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "DrawDate.h"
#include "FileStore.h"
#include "ListReader.h"
#include "ListValidation.h"
#include "FolderSet.h"

namespace numira {
namespace {

// Directory part of a path, separator included ("" when the path has no directory).
std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Whether this process may create and rename files in dir ("" is the working directory).
bool MayWriteIn(const std::string& dir) {
  return ::faccessat(AT_FDCWD, dir.empty() ? "." : dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The longest file name of the list-file table.
std::size_t LongestListName() {
  std::size_t n = 0;
  for (const ListFileRow& row : kListFiles) n = std::max(n, std::string(row.fileName).size());
  return n;
}

// Creates dir ("/a/b/", absolute) and its missing parents, private to the user as data
// folders are; true when dir is a folder afterwards.
bool MakeFolders(const std::string& dir) {
  for (std::size_t pos = dir.find('/', 1); pos != std::string::npos; pos = dir.find('/', pos + 1)) {
    const std::string part = dir.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether a shipped list should replace the user's copy: it is a valid list, and the
// user's copy is missing or reads and covers an older draw date. A copy that is there
// but cannot be read is left alone.
bool ShippedListReplaces(const ListFileRow& row, const std::string& shipped, const std::string& user) {
  struct stat st;
  std::optional<Date> mineDate;
  if (::stat(user.c_str(), &st) == 0) {
    const std::optional<ListContents> mine = ReadListFile(user, row.kind);
    if (!mine) return false;
    mineDate = ParseHeaderDate(mine->latestDrawDate);
  } else if (errno != ENOENT) {
    return false;
  }
  const std::optional<ListContents> theirs = ReadListFile(shipped, row.kind, MaxEntries(row.game));
  if (!theirs) return false;
  const std::optional<Date> theirDate = ParseHeaderDate(theirs->latestDrawDate);
  // A copy without a real date counts as older than any dated one.
  if (!theirDate || (mineDate && !(*mineDate < *theirDate))) return false;
  return IsValidList(*theirs, row.game, row.kind);
}

// Copies from over to through a stage beside it (the store): to is replaced only by a
// complete, flushed copy and stays as it was on any failure. Only a regular file of at
// most the size of a list is copied: a FIFO or a device beside the executable could block
// the start or fill the user's disk. The folder is made durable by the caller.
bool CopyInto(const std::string& from, const std::string& to) {
  const std::optional<std::string> bytes = ReadRegularFile(from, kListSizeLimit);
  if (!bytes) return false;
  StagedFile stage(to);
  return stage.Write(*bytes, NewFileMode::Umask) == 0 && stage.Commit(StagedFile::Sync::Later) == 0;
}

}  // namespace

ListFolderChoice ChooseListFolder(const std::string& executablePath, const ListFolderEnv& env) {
  ListFolderChoice choice;
  choice.shippedFolder = DirectoryOf(executablePath);
  choice.folder = choice.shippedFolder;
  if (!env.installed) {
    // A copy beside its executable in a user's home is that user's: root writes nothing there.
    if (env.rootInOthersHome) {
      choice.writable = false;
      choice.rootInOthersHome = true;
    }
    return choice;
  }
  // An installed copy's own folder is the package's: it reads the shipped lists there
  // but never stores anything in it.
  choice.writable = false;
  const std::string user = UserDataFolder(env, "numira");
  if (user.empty()) return choice;
  if (user.size() + LongestListName() > kMaxText) {
    choice.userFolderTooLong = true;
    return choice;
  }
  choice.folder = user;
  choice.seed = true;
  choice.writable = true;
  if (env.rootInOthersHome) {
    choice.seed = false;
    choice.writable = false;
    choice.rootInOthersHome = true;
  }
  return choice;
}

bool IsRootInOthersFolder(const std::string& path) {
  if (::geteuid() != 0 || path.empty() || path.front() != '/') return false;
  // The folder, or the nearest of its parents that exists: whose it is decides.
  std::string at = path;
  while (!at.empty()) {
    while (at.size() > 1 && at.back() == '/') at.pop_back();
    struct stat st;
    if (::stat(at.c_str(), &st) == 0) return st.st_uid != 0;
    const std::size_t slash = at.rfind('/');
    if (slash == std::string::npos) break;
    at.resize(slash == 0 ? 1 : slash);
  }
  return false;
}

bool IsInstalledCopy(const std::string& executablePath) {
  struct stat st;
  const std::string marker = DirectoryOf(executablePath) + kInstallMarker;
  return ::stat(marker.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string UserDataFolder(const ListFolderEnv& env, const std::string& name) {
  std::string base = env.xdgDataHome;
  if (base.empty() || base.front() != '/') {
    if (env.home.empty() || env.home.front() != '/') return {};
    base = env.home + "/.local/share";
  }
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + "/" + name + "/";
}

ListFolderEnv ProcessUserEnv() {
  ListFolderEnv env;
  if (const char* v = std::getenv("XDG_DATA_HOME")) env.xdgDataHome = v;
  if (const char* v = std::getenv("HOME"); v && *v)
    env.home = v;
  else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
    env.home = pw->pw_dir;
  env.rootInOthersHome = IsRootInOthersFolder(UserDataFolder(env, "numira"));
  return env;
}

ListFolderEnv ProcessListFolderEnv(const std::string& executablePath) {
  ListFolderEnv env = ProcessUserEnv();
  env.installed = IsInstalledCopy(executablePath);
  // A copy that is not installed keeps its files beside itself: whose that folder is decides.
  if (!env.installed) env.rootInOthersHome = IsRootInOthersFolder(DirectoryOf(executablePath));
  return env;
}

ListPaths ListPathsIn(const std::string& folder) {
  ListPaths paths;
  for (std::size_t i = 0; i < kListFiles.size(); ++i) {
    std::string p = folder + kListFiles[i].fileName;
    if (p.size() <= kMaxText) paths[i] = std::move(p);
  }
  return paths;
}

std::vector<SeedFile> ListSeedFiles(const ListFolderChoice& choice) {
  std::vector<SeedFile> files;
  const ListPaths shipped = ListPathsIn(choice.shippedFolder);
  const ListPaths user = ListPathsIn(choice.folder);
  for (std::size_t i = 0; i < kListFiles.size(); ++i) {
    if (shipped[i].empty() || user[i].empty()) continue;
    const ListFileRow row = kListFiles[i];
    files.push_back({shipped[i], user[i], [row](const std::string& from, const std::string& to) {
                       return ShippedListReplaces(row, from, to);
                     }});
  }
  return files;
}

ListFolderChoice SeedListFolder(ListFolderChoice choice, const std::vector<SeedFile>& files) {
  if (choice.rootInOthersHome) {
    // What the user's folder holds is read as it is; without one, the shipped lists.
    struct stat st;
    if (::stat(choice.folder.empty() ? "." : choice.folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      choice.folder = choice.shippedFolder;
    return choice;
  }
  if (!choice.seed) return choice;
  if (choice.folder.empty() || choice.folder.front() != '/' || !MakeFolders(choice.folder) ||
      !MayWriteIn(choice.folder)) {
    choice.folder = choice.shippedFolder;
    choice.seed = false;
    choice.writable = false;
    return choice;
  }
  // One writer at a time: a refresh writing here now is waited for (it ends within its
  // own time limit). A folder that cannot be locked is not seeded: its lists are used as
  // they are.
  const FolderLock lock(choice.folder);
  if (!lock.Held()) return choice;
  // What a start that was killed while seeding left behind goes first.
  std::vector<std::string> targets;
  for (const SeedFile& f : files) targets.push_back(f.user);
  SweepLeftovers(targets, &lock);
  // A folder that holds a server's set follows that server alone: the shipped lists are
  // no set of it, and putting them in would leave the folder neither set.
  if (LookAtFolderSet(choice.folder).hasIndex) return choice;
  // Folders whose entries changed, to be made durable once each.
  std::vector<std::string> changed;
  for (const SeedFile& f : files) {
    if (!f.shippedReplaces(f.shipped, f.user)) continue;
    // A file of a subfolder (draws/) gets its folder first.
    const std::string folder = f.user.substr(0, f.user.rfind('/') + 1);
    if (!MakeFolders(folder) || !CopyInto(f.shipped, f.user)) continue;
    if (std::find(changed.begin(), changed.end(), folder) == changed.end()) changed.push_back(folder);
  }
  for (const std::string& folder : changed) SyncFolder(folder);
  return choice;
}

}  // namespace numira
