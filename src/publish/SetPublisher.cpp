#include "SetPublisher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "Gzip.h"
#include "History.h"

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

std::string SetName(unsigned long long number) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%06llu", number);
  return buf;
}

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
  bool ok = !name.empty() && name.front() != '/';
  std::string_view rest = name;
  while (ok && !rest.empty()) {
    const auto slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    ok = !part.empty() && part.front() != '.';
    rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
    if (slash != std::string_view::npos && rest.empty()) ok = false;
  }
  if (!ok) throw PublishError("\"" + name + "\" cannot be the name of a file of a set");
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
  // A link made by hand is followed to the folder it names; the link made here is not.
  const auto isSetLink = [](const std::string& link, const std::string& target) {
    return IsSetLink(target, fs::path(link).filename().string());
  };
  try {
    p = FollowLinks(p.string(), isSetLink);
  } catch (const PublishError& e) {
    const std::string what = e.what();
    if (!what.ends_with("(a dangling link)")) throw;
    throw PublishError(what + ": make that folder, or remove the link and build again to publish here");
  }
  if (!p.has_filename()) p = p.parent_path();
  out_ = p.string();
  parent_ = p.parent_path().string();
  name_ = p.filename().string();
  sets_ = out_ + kSetsSuffix;

  std::error_code ec;
  fs::create_directories(parent_, ec);
  if (ec) throw PublishError(At(parent_, 0, "cannot create the folder: " + ec.message()));
  lock_.emplace(parent_);
  ThrowUnlessLocked(*lock_);

  // Looked at under the lock: another build may have switched the link meanwhile.
  const fs::file_status st = fs::symlink_status(p, ec);
  if (fs::is_symlink(st)) {
    const fs::path set = fs::path(parent_) / fs::read_symlink(p, ec);
    if (!ec && fs::is_directory(set, ec)) current_ = set.string();  // else a set removed by hand: none served
  } else if (fs::is_directory(st)) {
    plainFolder_ = true;
    current_ = out_;
  } else if (fs::exists(st)) {
    throw PublishError(At(out, 0, "not a folder"));
  }
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

void SetPublisher::Recover() const {
  // The folder served before, swapped out of the link's place by a build killed before
  // it moved the folder on: it becomes the newest set, so nothing of it is lost.
  const std::string link[] = {out_};
  for (const std::string& left : FindLeftovers(link, &*lock_)) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(left, ec)) && !fs::is_empty(left, ec)) {
      MakeFolderOrThrow(sets_);
      RenameOrThrow(left, SetPath(LastSetNumber(sets_) + 1));
    }
  }
  // Then the rest: new links never renamed, sets being staged (each under the number it
  // was to get: one of the sets there, the next one, or the one after it when a plain
  // folder was to take the next).
  const unsigned long long last = LastSetNumber(sets_);
  std::vector<std::string> targets{out_, SetPath(last + 1), SetPath(last + 2)};
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(sets_, ec))
    if (AllDigits(e.path().filename().string())) targets.push_back(e.path().string());
  SweepLeftovers(targets, &*lock_);
}

bool SetPublisher::Serves(const FileSet& files) const {
  if (current_.empty()) return false;
  std::size_t regular = 0;
  bool same = true;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(current_, ec); same && !ec && it != fs::end(it); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) continue;
    const std::string name = fs::relative(it->path(), current_).string();
    const auto f = files.find(name);
    same = !it->is_symlink(ec) && it->is_regular_file(ec) && f != files.end() && Served(name) == f->second;
    ++regular;
  }
  return same && !ec && regular == files.size();
}

bool SetPublisher::HoldsLinks(const FileSet& files) const {
  for (const auto& [name, bytes] : files) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(fs::path(current_) / name, ec))) return true;
  }
  return false;
}

PublishOutcome SetPublisher::WriteThrough(const FileSet& files) const {
  PublishOutcome outcome;
  for (const auto& [name, bytes] : files) {
    if (Served(name) == bytes) continue;
    const fs::path path = fs::path(current_) / name;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    ReplaceFile(path.string(), bytes);
    outcome.written.push_back(name);
  }
  outcome.changed = !outcome.written.empty();
  outcome.set = current_;
  return outcome;
}

void SetPublisher::Stage(const FileSet& files, StagedFolder& stage, std::vector<std::string>& written) const {
  MakeFolderOrThrow(sets_);
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
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) SyncFolder(*it);
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

PublishOutcome SetPublisher::Publish(const FileSet& files) {
  for (const auto& [name, bytes] : files) CheckName(name);
  Recover();
  PublishOutcome outcome;
  // Unchanged: the set served holds exactly these files, byte for byte.
  if (Serves(files)) {
    outcome.set = current_.empty() || plainFolder_ ? current_ : SetLink(fs::path(current_).filename().string());
    return outcome;
  }
  // A plain folder whose files are symbolic links is a layout made by hand (say, links
  // into a folder some other server serves): it stays, and each file is written
  // through to its target, atomically in the target's folder, as the owner chose.
  if (plainFolder_ && HoldsLinks(files)) return WriteThrough(files);

  // The numbers: the next set's, and, for a plain folder served before, the one it takes
  // as the set before.
  unsigned long long last = LastSetNumber(sets_);
  std::error_code ec;
  const bool emptyBefore = plainFolder_ && fs::is_empty(current_, ec);
  const std::string migrated = plainFolder_ ? SetName(emptyBefore ? last + 2 : ++last) : std::string();
  const std::string next = SetName(++last);

  StagedFolder stage(SetPath(last));
  Stage(files, stage, outcome.written);
  if (const int err = stage.Commit(); err != 0)
    throw PublishError(At(stage.Target(), 0, "cannot replace: " + Reason(err)));
  outcome.previous = Switch(next, migrated, emptyBefore);
  outcome.changed = true;
  outcome.set = SetLink(next);
  Prune(next, outcome.previous);
  return outcome;
}

}  // namespace numira
