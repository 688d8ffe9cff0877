#include "SetPublisher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

#include "Gzip.h"
#include "History.h"
#include "SetIndex.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

// Far beyond any file of a set; a bigger one is not read back.
constexpr std::size_t kMaxSetFileBytes = 64u << 20;

constexpr const char* kSetsSuffix = ".sets";  // DIR.sets: the sets beside the link DIR
constexpr mode_t kFolderMode = 0755;           // readable by the web server whatever the umask

std::string Reason(int err) { return std::strerror(err); }

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A link this publisher made: "DIR.sets/000042".
bool IsSetLink(const fs::path& target, const std::string& name) {
  const std::string t = target.string();
  const std::string prefix = name + kSetsSuffix + "/";
  return t.starts_with(prefix) && AllDigits(std::string_view(t).substr(prefix.size()));
}

std::string SetName(unsigned long long number) { return SetNumberText(static_cast<unsigned>(number)); }

// The highest number among the sets in folder (0: none).
unsigned long long LastSetNumber(const std::string& folder) {
  unsigned long long last = 0;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    const std::string n = e.path().filename().string();
    if (AllDigits(n)) last = std::max(last, std::stoull(n));
  }
  return last;
}

void MakeFolderOrThrow(const std::string& path) {
  if (const int err = MakeFolder(path, kFolderMode); err != 0)
    throw PublishError(At(path, 0, "cannot create the folder: " + Reason(err)));
}

void CheckName(const std::string& name) {
  if (!IsSetFilePath(name) || name == kSetIndexName)
    throw PublishError("\"" + name + "\" cannot be the name of a file of a set");
}

// The marker of a sets folder this publisher made: DIR.sets/.numira-lists.
constexpr const char* kSetsMarker = ".numira-lists";

// The end of every refusal of --out: nothing was touched.
std::string Refused(const std::string& what) {
  return what + "; build publishes only into a folder it made, an empty folder or a new path; nothing published";
}

}  // namespace

void AddCompressedCopies(FileSet& files) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : files)
    if (!name.ends_with(".gz")) names.push_back(name);
  for (const std::string& name : names) files[name + ".gz"] = Gzip(files[name]);
}

std::string ResolveServedFolder(const std::string& dir) {
  fs::path p(dir);
  if (!p.has_filename() && p.has_parent_path() && p != p.root_path()) p = p.parent_path();
  const std::string folder = FollowLinks(p.string());
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw PublishError(At(dir, 0, "not a folder"));
  return folder;
}

SetPublisher::SetPublisher(const std::string& out) {
  fs::path p = fs::absolute(out).lexically_normal();
  if (!p.has_filename() && p.has_parent_path() && p != p.root_path()) p = p.parent_path();
  if (p.filename().empty() || p.filename() == "." || p.filename() == "..")
    throw PublishError(At(out, 0, "--out must name a folder, not " + p.string()));
  out_ = p.string();
  parent_ = p.parent_path().string();
  name_ = p.filename().string();
  sets_ = out_ + kSetsSuffix;

  std::error_code ec;
  fs::create_directories(parent_, ec);
  if (ec) throw PublishError(At(parent_, 0, "cannot create the folder: " + ec.message()));
  lock_.emplace(parent_);
  ThrowUnlessLocked(*lock_);
  parentFd_ = ::open(parent_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd_ < 0) throw PublishError(At(parent_, 0, "cannot open the folder: " + Reason(errno)));
  // Looked at under the lock: another build may have switched the link meanwhile.
  Inspect();
}

SetPublisher::~SetPublisher() {
  if (parentFd_ >= 0) ::close(parentFd_);
}

void SetPublisher::Inspect() {
  struct stat st {};
  if (::fstatat(parentFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != ENOENT) throw PublishError(At(out_, 0, "cannot look at it: " + Reason(errno)));
    InspectSets();  // a new path; a DIR.sets beside it must still be this publisher's
    return;
  }
  if (S_ISLNK(st.st_mode)) {
    // Only a link this user made, holding "DIR.sets/NNNNNN", is this publisher's: one
    // planted by another user (in a shared folder, say) is never followed nor replaced.
    if (st.st_uid != ::geteuid())
      throw PublishError(At(out_, 0, Refused("a link owned by another user (uid " + std::to_string(st.st_uid) + ")")));
    char target[4096];
    const ssize_t n = ::readlinkat(parentFd_, name_.c_str(), target, sizeof target - 1);
    if (n < 0) throw PublishError(At(out_, 0, "cannot read the link: " + Reason(errno)));
    const std::string held(target, static_cast<std::size_t>(n));
    if (!IsSetLink(held, name_)) throw PublishError(At(out_, 0, Refused("a link build did not make (to " + held + ")")));
    InspectSets();
    struct stat set {};
    const std::string path = (fs::path(parent_) / held).string();
    if (::lstat(path.c_str(), &set) == 0 && S_ISDIR(set.st_mode)) current_ = path;  // else removed by hand: none served
    return;
  }
  if (!S_ISDIR(st.st_mode)) throw PublishError(At(out_, 0, Refused("not a folder")));
  if (st.st_uid != ::geteuid())
    throw PublishError(At(out_, 0, Refused("a folder owned by another user (uid " + std::to_string(st.st_uid) + ")")));
  InspectSets();
  plainFolder_ = true;
  current_ = out_;
}

void SetPublisher::InspectSets() const {
  const std::string name = name_ + kSetsSuffix;
  const int fd = ::openat(parentFd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return;
    throw PublishError(At(sets_, 0, Refused("not a folder build made (a link or a file)")));
  }
  struct stat st {}, marker {};
  const bool own = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid();
  const bool marked = ::fstatat(fd, kSetsMarker, &marker, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(marker.st_mode) &&
                      marker.st_uid == ::geteuid();
  ::close(fd);
  if (!own) throw PublishError(At(sets_, 0, Refused("a folder owned by another user")));
  if (marked) return;
  // An earlier numira-lists made no marker: a folder of nothing but sets (and what killed
  // builds left) is taken as its, and marked now.
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(sets_, ec)) {
    const std::string n = e.path().filename().string();
    const bool set = AllDigits(n) && fs::is_directory(e.symlink_status(ec));
    if (!set && !(n.starts_with(".") && n.ends_with(".part")))
      throw PublishError(At(sets_, 0, Refused("a folder of other files (" + n + ")")));
  }
  MakeSets();
}

void SetPublisher::MakeSets() const {
  const std::string name = name_ + kSetsSuffix;
  if (::mkdirat(parentFd_, name.c_str(), kFolderMode) != 0 && errno != EEXIST)
    throw PublishError(At(sets_, 0, "cannot create the folder: " + Reason(errno)));
  // Opened without following a link, and this user's: one made meanwhile by another (in a
  // shared folder) is refused, not filled.
  const int fd = ::openat(parentFd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) throw PublishError(At(sets_, 0, Refused("not a folder build made (a link or a file)")));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
    ::close(fd);
    throw PublishError(At(sets_, 0, Refused("a folder owned by another user")));
  }
  int err = ::fchmod(fd, kFolderMode) == 0 ? 0 : errno;
  if (err == 0) {
    const int marker = ::openat(fd, kSetsMarker, O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (marker < 0) err = errno;
    else ::close(marker);
  }
  if (err == 0) ::fsync(fd);
  ::close(fd);
  if (err != 0) throw PublishError(At(sets_, 0, "cannot mark the folder as build's: " + Reason(err)));
}

void SetPublisher::CheckAdoptable(const FileSet& files) const {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(out_, ec); !ec && it != fs::end(it); it.increment(ec)) {
    const fs::file_status st = it->symlink_status(ec);
    const std::string name = it->path().lexically_relative(out_).generic_string();
    bool fits = false;
    if (fs::is_directory(st)) {
      const auto below = files.lower_bound(name + "/");
      fits = below != files.end() && below->first.starts_with(name + "/");
    } else if (fs::is_regular_file(st)) {
      fits = files.count(name) > 0 || name == kSetIndexName;
    }
    if (!fits)
      throw PublishError(At(out_, 0, Refused("a folder holding " + std::string(fs::is_symlink(st) ? "a link, " : "") +
                                             name + ", which is no file of the set")));
  }
  if (ec) throw PublishError(At(out_, 0, "cannot read the folder: " + ec.message()));
}

std::optional<std::string> SetPublisher::Served(const std::string& name) const {
  if (current_.empty()) return std::nullopt;
  try {
    return ReadWholeFile((fs::path(current_) / name).string(), kMaxSetFileBytes);
  } catch (const PublishError&) {
    return std::nullopt;
  }
}

std::string SetPublisher::SetPath(unsigned long long number) const {
  return (fs::path(sets_) / SetName(number)).string();
}

std::string SetPublisher::SetLink(const std::string& set) const { return name_ + kSetsSuffix + "/" + set; }

void SetPublisher::Recover(const FolderLock& setsLock) const {
  // The folder served before, swapped out of the link's place by a build killed before
  // it moved the folder on: it becomes the newest set, so nothing of it is lost.
  const std::string link[] = {out_};
  for (const std::string& left : FindLeftovers(link, &*lock_)) {
    // Only a folder of this user's: one planted under that name by another is no set.
    struct stat st {};
    std::error_code ec;
    if (::lstat(left.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && !fs::is_empty(left, ec))
      RenameOrThrow(left, SetPath(LastSetNumber(sets_) + 1));
  }
  SweepLeftovers(link, &*lock_);
  // Then the sets being staged (each under the number it was to get: one of the sets
  // there, the next one, or the one after it when a plain folder was to take the next).
  const unsigned long long last = LastSetNumber(sets_);
  std::vector<std::string> targets{SetPath(last + 1), SetPath(last + 2)};
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(sets_, ec))
    if (AllDigits(e.path().filename().string())) targets.push_back(e.path().string());
  SweepLeftovers(targets, &setsLock);
}

bool SetPublisher::Serves(const FileSet& files) const {
  if (current_.empty()) return false;
  // A set without a sound index (from an earlier numira-lists) is published anew with one.
  const std::optional<std::string> indexBytes = Served(std::string(kSetIndexName));
  const std::optional<SetIndex> index = indexBytes ? ParseSetIndex(*indexBytes) : std::nullopt;
  if (!index || index->files.size() != files.size()) return false;
  auto listed = index->files.begin();
  for (const auto& [name, bytes] : files) {
    if (listed->path != name || !MatchesSetFile(*listed, bytes)) return false;
    ++listed;
  }
  return CompareSetFolder(*index, current_).empty();
}

void SetPublisher::Stage(const FileSet& files, unsigned number, StagedFolder& stage,
                         std::vector<std::string>& written) const {
  if (const int err = stage.Create(kFolderMode); err != 0)
    throw PublishError(At(stage.Path(), 0, "cannot create the folder: " + Reason(err)));
  std::set<std::string> folders{stage.Path()};
  for (const auto& [name, bytes] : files) {
    const fs::path path = fs::path(stage.Path()) / name;
    fs::path made = stage.Path();
    for (const auto& part : fs::path(name).parent_path())
      if (folders.insert((made /= part).string()).second) MakeFolderOrThrow(made.string());
    // A file the set before held with the same bytes is taken over (a hard link, or a
    // copy with its time): its Last-Modified and ETag stay.
    const std::string old = current_.empty() ? std::string() : (fs::path(current_) / name).string();
    struct stat st {};
    if (!old.empty() && ::lstat(old.c_str(), &st) == 0 && S_ISREG(st.st_mode) && Served(name) == bytes) {
      if (::link(old.c_str(), path.c_str()) != 0) {
        WriteNewFile(path.string(), bytes);
        CopyModificationTime(old, path.string());
      }
      continue;
    }
    WriteNewFile(path.string(), bytes);
    written.push_back(name);
  }
  for (const std::string& name : written)
    if (name.ends_with(".gz") && files.count(name.substr(0, name.size() - 3)))
      CopyModificationTime((fs::path(stage.Path()) / name.substr(0, name.size() - 3)).string(),
                           (fs::path(stage.Path()) / name).string());
  WriteIndex(files, number, stage.Path());
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) SyncFolder(*it);
}

void SetPublisher::WriteIndex(const FileSet& files, unsigned number, const std::string& folder) const {
  SetIndex index;
  index.number = number;
  index.built = UtcTimeText(std::time(nullptr));
  for (const auto& [name, bytes] : files) index.files.push_back(DescribeSetFile(name, bytes));
  const std::string path = (fs::path(folder) / kSetIndexName).string();
  WriteNewFile(path, FormatSetIndex(index));
  // Its Last-Modified is later than the one it replaces, by a whole second at least, so a
  // copy asking "modified since?" never misses it: not when the clock was set back, not
  // for two builds within one second.
  struct stat before {}, now {};
  const std::string old = current_.empty() ? std::string() : (fs::path(current_) / kSetIndexName).string();
  if (old.empty() || ::stat(old.c_str(), &before) != 0) return;
  if (::stat(path.c_str(), &now) != 0) throw PublishError(At(path, 0, "cannot read its time: " + Reason(errno)));
  if (now.st_mtim.tv_sec > before.st_mtim.tv_sec) return;
  const struct timespec times[2] = {{0, UTIME_OMIT}, {before.st_mtim.tv_sec + 1, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
    throw PublishError(At(path, 0, "cannot set its time: " + Reason(errno)));
}

std::string SetPublisher::Switch(const std::string& next, const std::string& migrated, bool emptyBefore) const {
  LinkSwitch link(out_, SetLink(next));
  if (const int err = link.Create(); err != 0)
    throw PublishError(At(link.Path(), 0, "cannot create the link: " + Reason(err)));
  if (!plainFolder_) {
    if (const int err = link.Commit(); err != 0) throw PublishError(At(out_, 0, "cannot replace: " + Reason(err)));
    return current_.empty() ? std::string() : SetLink(fs::path(current_).filename().string());
  }
  // A plain folder served before becomes the set before (an empty one just goes).
  const std::string migratedPath = (fs::path(sets_) / migrated).string();
  const int swapped = link.Exchange();
  if (swapped == 0) {
    // The old folder now lies where the new link was.
    if (::rmdir(link.Path().c_str()) == 0) return {};
    RenameOrThrow(link.Path(), migratedPath);
    return SetLink(migrated);
  }
  if (swapped != EINVAL && swapped != ENOSYS && swapped != EOPNOTSUPP)
    throw PublishError(At(out_, 0, "cannot replace the folder with a link: " + Reason(swapped)));
  // A file system that cannot swap: the folder moves first, so for a moment nothing is
  // served (never a mix).
  std::string previous;
  if (!emptyBefore || ::rmdir(out_.c_str()) != 0) {
    RenameOrThrow(out_, migratedPath);
    previous = SetLink(migrated);
  }
  if (const int err = link.Commit(); err != 0) throw PublishError(At(out_, 0, "cannot replace: " + Reason(err)));
  return previous;
}

void SetPublisher::Prune(const std::string& next, const std::string& previous) const {
  const std::string keep = previous.empty() ? std::string() : fs::path(previous).filename().string();
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(sets_, ec)) {
    const std::string n = e.path().filename().string();
    if (n != next && n != keep && AllDigits(n)) {
      std::error_code ec2;
      fs::remove_all(e.path(), ec2);
    }
  }
  SyncFolder(sets_);
}

PublishOutcome SetPublisher::Publish(const FileSet& files, bool newSet) {
  for (const auto& [name, bytes] : files) CheckName(name);
  std::error_code ec;
  const bool emptyBefore = plainFolder_ && fs::is_empty(current_, ec);
  // A plain folder is taken over only when it holds the set's own files: a folder of
  // anything else is refused before anything is moved.
  if (plainFolder_ && !emptyBefore) CheckAdoptable(files);
  MakeSets();
  const FolderLock setsLock(sets_);
  ThrowUnlessLocked(setsLock);
  Recover(setsLock);
  PublishOutcome outcome;
  // Unchanged: the set served holds exactly these files, byte for byte, and its index.
  if (!newSet && Serves(files)) {
    outcome.set = current_.empty() || plainFolder_ ? current_ : SetLink(fs::path(current_).filename().string());
    return outcome;
  }

  // The numbers: the next set's, and, for a plain folder served before, the one it takes
  // as the set before. A set's number is its version: always one above the last.
  unsigned long long last = LastSetNumber(sets_);
  if (last + (plainFolder_ ? 2 : 1) > kMaxSetNumber)
    throw PublishError(At(sets_, 0, "no set number is left after " + SetName(last)));
  const std::string migrated = plainFolder_ ? SetName(emptyBefore ? last + 2 : ++last) : std::string();
  const std::string next = SetName(++last);

  StagedFolder stage(SetPath(last));
  Stage(files, static_cast<unsigned>(last), stage, outcome.written);
  if (const int err = stage.Commit(); err != 0)
    throw PublishError(At(stage.Target(), 0, "cannot replace: " + Reason(err)));
  outcome.previous = Switch(next, migrated, emptyBefore);
  outcome.changed = true;
  outcome.set = SetLink(next);
  Prune(next, outcome.previous);
  return outcome;
}

}  // namespace numira
