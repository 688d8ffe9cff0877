#include "ListTable.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "DrawDate.h"
#include "DrawFileNames.h"
#include "ListReader.h"

namespace numira {
namespace {

// Directory part of a path, separator included ("" when the path has no directory).
std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The six paths in dir ("" or ending in "/").
ListPaths PathsIn(const std::string& dir) {
  ListPaths paths;
  for (std::size_t i = 0; i < kListFiles.size(); ++i) {
    std::string p = dir + kListFiles[i].fileName;
    if (p.size() <= kMaxText) paths[i] = std::move(p);
  }
  return paths;
}

// Whether this process may create and rename files in dir ("" is the working directory).
bool MayWriteIn(const std::string& dir) {
  return ::faccessat(AT_FDCWD, dir.empty() ? "." : dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// $XDG_DATA_HOME/numira, or ~/.local/share/numira when the variable is empty or relative
// (relative values are invalid and ignored); "" when neither names a folder.
std::string UserListFolder(const ListFolderEnv& env) {
  std::string base = env.xdgDataHome;
  if (base.empty() || base.front() != '/') {
    if (env.home.empty() || env.home.front() != '/') return {};
    base = env.home + "/.local/share";
  }
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + "/numira";
}

// Creates dir ("/a/b", absolute) and its missing parents, private to the user as data
// folders are; true when dir is a folder afterwards.
bool MakeFolders(const std::string& dir) {
  for (std::size_t pos = dir.find('/', 1);; pos = dir.find('/', pos + 1)) {
    const std::string part = dir.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (pos == std::string::npos) break;
  }
  struct stat st;
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The user's copy is missing, or it reads and covers an older draw date than the
// shipped list. A copy that is there but cannot be read is left alone.
bool ShippedIsNewer(const std::string& shipped, const std::string& user, ListKind kind) {
  struct stat st;
  if (::stat(user.c_str(), &st) != 0) return errno == ENOENT;
  const std::optional<ListContents> mine = ReadListFile(user, kind);
  if (!mine) return false;
  const std::optional<ListContents> theirs = ReadListFile(shipped, kind);
  if (!theirs) return false;
  // A copy without a real date counts as older than any dated one.
  const std::optional<Date> mineDate = ParseHeaderDate(mine->latestDrawDate);
  const std::optional<Date> theirDate = ParseHeaderDate(theirs->latestDrawDate);
  return theirDate && (!mineDate || *mineDate < *theirDate);
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

// The date of a draw file's last draw ("2026-08-21": ISO dates compare as text); "" when
// its last line holds no such date; nullopt when it cannot be opened (or is no regular file).
std::optional<std::string> LastDrawDate(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  // The last line lies in the last few bytes.
  const off_t from = st.st_size > 256 ? st.st_size - 256 : 0;
  std::string tail(static_cast<std::size_t>(st.st_size - from), '\0');
  const ssize_t n = ::pread(fd, tail.data(), tail.size(), from);
  ::close(fd);
  tail.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.pop_back();
  const auto lf = tail.rfind('\n');
  const std::string line = tail.substr(lf == std::string::npos ? 0 : lf + 1);
  const auto comma = line.find(',');
  if (comma == std::string::npos || line.size() < comma + 11 || line[comma + 5] != '-' || line[comma + 8] != '-') return "";
  return line.substr(comma + 1, 10);
}

// The shipped draw files (draws/ beside the executable) copied into the user's draws
// folder like the lists: when the user's copy is missing or ends with an older draw (no
// date counts as oldest); a copy that is there but cannot be read is left alone.
void SeedDraws(const std::string& shippedDir, const std::string& userFolder) {
  const std::string from = shippedDir + kDrawsFolder + "/";
  const std::string to = userFolder + "/" + kDrawsFolder;
  bool copied = false;
  for (const HistoryGame& g : kHistoryGames) {
    const std::string name = HistoryFileName(g.game);
    const std::optional<std::string> theirs = LastDrawDate(from + name);
    if (!theirs || theirs->empty() || (to + "/" + name).size() > kMaxText) continue;
    if (!MakeFolders(to)) return;
    struct stat st;
    const bool missing = ::stat((to + "/" + name).c_str(), &st) != 0 && errno == ENOENT;
    const std::optional<std::string> mine = missing ? std::nullopt : LastDrawDate(to + "/" + name);
    if (missing || (mine && *mine < *theirs)) copied = CopyInto(from + name, to + "/" + name) || copied;
  }
  if (copied) SyncFolder(to);
}

}  // namespace

int ListRow(Game game, ListKind kind) {
  for (std::size_t i = 0; i < kListFiles.size(); ++i)
    if (kListFiles[i].game == game && kListFiles[i].kind == kind) return static_cast<int>(i);
  return -1;
}

ListPaths BuildListPaths(const std::string& executablePath, const ListFolderEnv& env) {
  const ListPaths shipped = PathsIn(DirectoryOf(executablePath));
  if (env.executableFolderWritable) return shipped;
  const std::string folder = UserListFolder(env);
  if (folder.empty() || !MakeFolders(folder) || !MayWriteIn(folder)) return shipped;

  const ListPaths paths = PathsIn(folder + "/");
  bool copied = false;
  for (std::size_t i = 0; i < kListFiles.size(); ++i)
    if (!shipped[i].empty() && !paths[i].empty() && ShippedIsNewer(shipped[i], paths[i], kListFiles[i].kind))
      copied = CopyInto(shipped[i], paths[i]) || copied;
  if (copied) SyncFolder(folder);
  SeedDraws(DirectoryOf(executablePath), folder);
  return paths;
}

ListPaths BuildListPaths(const std::string& executablePath) {
  ListFolderEnv env;
  env.executableFolderWritable = MayWriteIn(DirectoryOf(executablePath));
  if (const char* v = std::getenv("XDG_DATA_HOME")) env.xdgDataHome = v;
  if (const char* v = std::getenv("HOME"); v && *v)
    env.home = v;
  else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
    env.home = pw->pw_dir;
  return BuildListPaths(executablePath, env);
}

bool ListFileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

}  // namespace numira
