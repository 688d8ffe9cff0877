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

constexpr const char* kSetsSuffix = ".sets";   // DIR.sets: the sets beside the link DIR
constexpr const char* kStagingPrefix = ".new-";  // a set being written
constexpr const char* kLinkInfix = ".link-";     // .DIR.link-PID: the new link before its rename

std::string Reason(int err) { return std::strerror(err); }

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A link this publisher made: "DIR.sets/000042".
bool IsSetLink(const fs::path& target, const std::string& name) {
  const std::string t = target.string();
  const std::string prefix = name + kSetsSuffix + "/";
  return StartsWith(t, prefix) && AllDigits(std::string_view(t).substr(prefix.size()));
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

void MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
    throw PublishError(At(path, 0, "cannot create the folder: " + Reason(errno)));
  // Readable by the web server whatever the umask.
  ::chmod(path.c_str(), 0755);
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

// Removes a folder being written unless it was handed on.
struct StagingGuard {
  std::string path;
  ~StagingGuard() {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
  }
};

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
  // A link made by hand is followed to the folder it names, one step at a time.
  for (int hops = 0;; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
    const fs::path target = fs::read_symlink(p, ec);
    if (ec) throw PublishError(At(out, 0, "cannot read the link: " + ec.message()));
    if (IsSetLink(target, p.filename().string())) break;
    const fs::path next = (target.is_absolute() ? target : p.parent_path() / target).lexically_normal();
    if (!fs::exists(next, ec))
      throw PublishError(At(out, 0, "a link to " + target.string() +
                                        ", which does not exist (a dangling link): make that folder, or remove the "
                                        "link and build again to publish here"));
    if (hops == 40) throw PublishError(At(out, 0, "too many levels of symbolic links"));
    p = next;
    if (!p.has_filename()) p = p.parent_path();
  }
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

void SetPublisher::RemoveLeftovers() const {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(sets_, ec))
    if (StartsWith(e.path().filename().string(), kStagingPrefix)) fs::remove_all(e.path(), ec);
  // A new link that was never renamed; or, after a switch from a plain folder, that
  // folder, not yet moved among the sets: it becomes one of them.
  const std::string linkPrefix = "." + name_ + kLinkInfix;
  for (const auto& e : fs::directory_iterator(parent_, ec)) {
    if (!StartsWith(e.path().filename().string(), linkPrefix)) continue;
    std::error_code ec2;
    if (fs::is_symlink(e.symlink_status(ec2)) || fs::is_empty(e.path(), ec2)) {
      fs::remove(e.path(), ec2);
    } else if (e.is_directory(ec2)) {
      MakeFolder(sets_);
      RenameOrThrow(e.path().string(), (fs::path(sets_) / SetName(LastSetNumber(sets_) + 1)).string());
    }
  }
}

PublishOutcome SetPublisher::Publish(const FileSet& files) {
  for (const auto& [name, bytes] : files) CheckName(name);
  RemoveLeftovers();
  PublishOutcome outcome;
  const std::string currentName =
      current_.empty() || plainFolder_ ? std::string() : fs::path(current_).filename().string();
  const std::string currentLink = currentName.empty() ? current_ : name_ + kSetsSuffix + "/" + currentName;

  // Unchanged: the set served holds exactly these files, byte for byte.
  if (!current_.empty()) {
    std::size_t regular = 0;
    bool same = true;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(current_, ec); same && !ec && it != fs::end(it);
         it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) continue;
      const std::string name = fs::relative(it->path(), current_).string();
      const auto f = files.find(name);
      same = !it->is_symlink(ec) && it->is_regular_file(ec) && f != files.end() && Served(name) == f->second;
      ++regular;
    }
    if (same && !ec && regular == files.size()) {
      outcome.set = currentLink;
      return outcome;
    }
  }

  // A plain folder whose files are symbolic links is a layout made by hand (say, links
  // into a folder some other server serves): it stays, and each file is written
  // through to its target, atomically in the target's folder, as the owner chose.
  if (plainFolder_) {
    bool linked = false;
    for (const auto& [name, bytes] : files) {
      std::error_code ec;
      linked = linked || fs::is_symlink(fs::symlink_status(fs::path(current_) / name, ec));
    }
    if (linked) {
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
  }

  MakeFolder(sets_);
  StagingGuard staging{(fs::path(sets_) / (std::string(kStagingPrefix) + "XXXXXX")).string()};
  if (!::mkdtemp(staging.path.data())) {
    const int err = errno;
    staging.path.clear();
    throw PublishError(At(sets_, 0, "cannot create a folder: " + Reason(err)));
  }
  ::chmod(staging.path.c_str(), 0755);
  std::set<std::string> folders{staging.path};
  for (const auto& [name, bytes] : files) {
    const fs::path path = fs::path(staging.path) / name;
    fs::path made = staging.path;
    for (const auto& part : fs::path(name).parent_path())
      if (folders.insert((made /= part).string()).second) MakeFolder(made.string());
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
    outcome.written.push_back(name);
  }
  for (const std::string& name : outcome.written)
    if (name.ends_with(".gz") && files.count(name.substr(0, name.size() - 3)))
      CopyModificationTime((fs::path(staging.path) / name.substr(0, name.size() - 3)).string(),
                           (fs::path(staging.path) / name).string());
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) SyncFolder(*it);

  // The complete set gets its number; a plain folder served before becomes the set
  // before it.
  unsigned long long last = LastSetNumber(sets_);
  std::error_code emptyEc;
  const bool emptyBefore = plainFolder_ && fs::is_empty(current_, emptyEc);
  std::string migrated = plainFolder_ && !emptyBefore ? SetName(++last) : std::string();
  const std::string next = SetName(++last);
  const std::string nextPath = (fs::path(sets_) / next).string();
  RenameOrThrow(staging.path, nextPath);
  staging.path.clear();
  SyncFolder(sets_);

  // The switch: a new link renamed over the old one.
  const std::string link = name_ + kSetsSuffix + "/" + next;
  const std::string linkTemp = (fs::path(parent_) / ("." + name_ + kLinkInfix + std::to_string(::getpid()))).string();
  ::unlink(linkTemp.c_str());
  if (::symlink(link.c_str(), linkTemp.c_str()) != 0)
    throw PublishError(At(linkTemp, 0, "cannot create the link: " + Reason(errno)));
  if (plainFolder_) {
    if (migrated.empty()) migrated = SetName(LastSetNumber(sets_) + 1);  // should the empty folder have filled
    const std::string migratedPath = (fs::path(sets_) / migrated).string();
    const int swapped = RenameFile(linkTemp, out_, RENAME_EXCHANGE);
    if (swapped == 0) {
      // The old folder now lies where the new link was.
      if (::rmdir(linkTemp.c_str()) == 0) {
        outcome.previous.clear();
      } else {
        RenameOrThrow(linkTemp, migratedPath);
        outcome.previous = name_ + kSetsSuffix + "/" + migrated;
      }
    } else if (swapped == EINVAL || swapped == ENOSYS || swapped == EOPNOTSUPP) {
      // A file system that cannot swap: the folder moves first, so for a moment
      // nothing is served (never a mix).
      if (emptyBefore && ::rmdir(out_.c_str()) == 0) {
        outcome.previous.clear();
      } else {
        RenameOrThrow(out_, migratedPath);
        outcome.previous = name_ + kSetsSuffix + "/" + migrated;
      }
      RenameOrThrow(linkTemp, out_);
    } else {
      ::unlink(linkTemp.c_str());
      throw PublishError(At(out_, 0, "cannot replace the folder with a link: " + Reason(swapped)));
    }
  } else {
    try {
      RenameOrThrow(linkTemp, out_);
    } catch (const PublishError&) {
      ::unlink(linkTemp.c_str());
      throw;
    }
    outcome.previous = currentName.empty() ? std::string() : currentLink;
  }
  SyncFolder(parent_);
  outcome.changed = true;
  outcome.set = link;

  // Sets older than the one before are removed.
  const std::string keep = outcome.previous.empty() ? std::string() : fs::path(outcome.previous).filename().string();
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(sets_, ec)) {
    const std::string n = e.path().filename().string();
    if (n != next && n != keep && (AllDigits(n) || StartsWith(n, kStagingPrefix))) {
      std::error_code ec2;
      fs::remove_all(e.path(), ec2);
    }
  }
  SyncFolder(sets_);
  return outcome;
}

}  // namespace numira
