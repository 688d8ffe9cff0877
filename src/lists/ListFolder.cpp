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
#include "ListReader.h"
#include "ListValidation.h"

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

// $XDG_DATA_HOME/numira/, or ~/.local/share/numira/ when the variable is empty or relative
// (relative values are invalid and ignored); "" when neither names a folder.
std::string UserListFolder(const ListFolderEnv& env) {
  std::string base = env.xdgDataHome;
  if (base.empty() || base.front() != '/') {
    if (env.home.empty() || env.home.front() != '/') return {};
    base = env.home + "/.local/share";
  }
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + "/numira/";
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

// Copies from over to through a temporary file beside it: to is replaced only by a
// complete, flushed copy and stays as it was on any failure.
bool CopyInto(const std::string& from, const std::string& to) {
  // Only a regular file is copied: a FIFO or a device beside the executable could block
  // the start or fill the user's disk.
  const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(in, F_SETFL, 0) != 0) {
    ::close(in);
    return false;
  }
  // Named like a refresh's part file, so that one left by a killed start is swept away
  // with those.
  const std::string temp = to + "." + std::to_string(static_cast<long>(::getpid())) + ".part";
  const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  bool ok = out >= 0;
  std::vector<char> buf(1 << 16);
  while (ok) {
    const ssize_t n = ::read(in, buf.data(), buf.size());
    if (n == 0) break;
    if (n < 0) {
      ok = errno == EINTR;
      continue;
    }
    for (ssize_t done = 0; ok && done < n;) {
      const ssize_t w = ::write(out, buf.data() + done, static_cast<std::size_t>(n - done));
      if (w > 0)
        done += w;
      else
        ok = w < 0 && errno == EINTR;
    }
  }
  ::close(in);
  if (out < 0) return false;
  ok = ::fsync(out) == 0 && ok;
  ok = ::close(out) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), to.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

void SyncFolder(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

ListFolderChoice ChooseListFolder(const std::string& executablePath, const ListFolderEnv& env) {
  ListFolderChoice choice;
  choice.shippedFolder = DirectoryOf(executablePath);
  choice.folder = choice.shippedFolder;
  if (!env.installed) return choice;
  // An installed copy's own folder is the package's: it reads the shipped lists there
  // but never stores anything in it.
  choice.writable = false;
  const std::string user = UserListFolder(env);
  if (user.empty()) return choice;
  if (user.size() + LongestListName() > kMaxText) {
    choice.userFolderTooLong = true;
    return choice;
  }
  choice.folder = user;
  choice.seed = true;
  choice.writable = true;
  return choice;
}

bool IsInstalledCopy(const std::string& executablePath) {
  struct stat st;
  const std::string marker = DirectoryOf(executablePath) + kInstallMarker;
  return ::stat(marker.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

ListFolderEnv ProcessListFolderEnv(const std::string& executablePath) {
  ListFolderEnv env;
  env.installed = IsInstalledCopy(executablePath);
  if (const char* v = std::getenv("XDG_DATA_HOME")) env.xdgDataHome = v;
  if (const char* v = std::getenv("HOME"); v && *v)
    env.home = v;
  else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
    env.home = pw->pw_dir;
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
  if (!choice.seed) return choice;
  if (choice.folder.empty() || choice.folder.front() != '/' || !MakeFolders(choice.folder) ||
      !MayWriteIn(choice.folder)) {
    choice.folder = choice.shippedFolder;
    choice.seed = false;
    choice.writable = false;
    return choice;
  }
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
