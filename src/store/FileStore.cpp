#include "FileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace numira {
namespace {

constexpr std::string_view kStageSuffix = ".part";

// The folder of a path ("." for a bare name) and the name in it.
std::pair<std::string, std::string> Split(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Writes bytes into a freshly opened fd, flushes and closes it; 0 or the errno of the
// step that failed (the fd is closed either way).
int FillAndClose(int fd, std::string_view bytes, std::optional<mode_t> mode) {
  int error = 0;
  if (mode && ::fchmod(fd, *mode) != 0) error = errno;
  if (error == 0 && !WriteAll(fd, bytes)) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

// The process id in digits (no sign, no leading zero, at most 9 digits); 0 otherwise.
long PidOf(std::string_view digits) {
  if (digits.empty() || digits.size() > 9 || digits[0] == '0') return 0;
  long pid = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

// The writer of a stage of name: its pid (0 when file is no stage of name) and whether
// the name is the older "<name>.<pid>.part" rather than ".<name>.<pid>.part".
struct StageName {
  long pid = 0;
  bool older = false;
};

StageName StageOwner(std::string_view file, std::string_view name) {
  if (!file.ends_with(kStageSuffix)) return {};
  file.remove_suffix(kStageSuffix.size());
  if (file.starts_with('.') && file.substr(1).starts_with(name) && file.size() > name.size() + 1 &&
      file[name.size() + 1] == '.')
    if (const long pid = PidOf(file.substr(name.size() + 2)); pid != 0) return {pid, false};
  if (file.starts_with(name) && file.size() > name.size() && file[name.size()] == '.')
    return {PidOf(file.substr(name.size() + 1)), true};
  return {};
}

// The publisher's older stage of name: "." + name + "." + six letters or digits (mkstemp).
bool IsOlderPublisherStage(std::string_view file, std::string_view name) {
  if (file.size() != name.size() + 8 || file[0] != '.' || file.substr(1, name.size()) != name ||
      file[name.size() + 1] != '.')
    return false;
  for (char c : file.substr(name.size() + 2))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  return true;
}

bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

bool SameFolder(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

// ---- Reading ---------------------------------------------------------------------------------

RegularFile::RegularFile(const std::string& path, std::uint64_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error_ = errno;
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0)
    error_ = errno;
  else if (!S_ISREG(st.st_mode))
    error_ = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  else if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
    error_ = EFBIG;
  else if (::fcntl(fd, F_SETFL, 0) != 0)  // reads of a regular file wait as usual
    error_ = errno;
  if (error_ != 0) {
    ::close(fd);
    return;
  }
  fd_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(other.error_), size_(other.size_) {}

int RegularFile::Release() { return std::exchange(fd_, -1); }

std::optional<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes, int* error) {
  int ignored = 0;
  int& err = error ? *error : ignored;
  err = 0;
  RegularFile file(path, maxBytes);
  if (!file.IsOpen()) {
    err = file.Error();
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(file.Size()));
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(file.Fd(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      err = errno;
      return std::nullopt;
    }
    if (n == 0) return bytes;
    if (static_cast<std::uint64_t>(n) > maxBytes - bytes.size()) {
      err = EFBIG;
      return std::nullopt;
    }
    bytes.append(buf, static_cast<std::size_t>(n));
  }
}

std::string ReadErrorText(int error, std::uint64_t maxBytes) {
  if (error == EISDIR || error == EINVAL) return "not a regular file";
  if (error == EFBIG) return "larger than " + std::to_string(maxBytes) + " bytes";
  return std::strerror(error);
}

// ---- Replacing -------------------------------------------------------------------------------

std::string StagePathOf(const std::string& target) {
  const auto [folder, name] = Split(target);
  const std::string stage = "." + name + "." + std::to_string(static_cast<long>(::getpid())) + std::string(kStageSuffix);
  const auto slash = target.rfind('/');
  return slash == std::string::npos ? stage : target.substr(0, slash + 1) + stage;
}

StagedFile::StagedFile(std::string target) : target_(std::move(target)) {
  folder_ = Split(target_).first;
  path_ = StagePathOf(target_);
}

StagedFile::~StagedFile() {
  if (!committed_) ::unlink(path_.c_str());
}

int StagedFile::Write(std::string_view bytes, NewFileMode mode) {
  // A link planted in the stage's place is not followed.
  const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  std::optional<mode_t> bits;
  if (mode == NewFileMode::Published) {
    struct stat st {};
    bits = ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  }
  const int error = FillAndClose(fd, bytes, bits);
  if (error != 0) ::unlink(path_.c_str());
  return error;
}

int StagedFile::Commit(Sync sync) {
  if (const int error = RenameFile(path_, target_); error != 0) return error;
  committed_ = true;
  if (sync == Sync::Now) SyncFolder(folder_);
  return 0;
}

int WriteNewFile(const std::string& path, std::string_view bytes, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return errno;
  const int error = FillAndClose(fd, bytes, mode);
  if (error != 0) ::unlink(path.c_str());
  return error;
}

int RenameFile(const std::string& from, const std::string& to, unsigned flags) {
  return ::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags) == 0 ? 0 : errno;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// ---- Folders and links -----------------------------------------------------------------------

int MakeFolder(const std::string& path, mode_t mode) {
  if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return errno;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  return ::chmod(path.c_str(), mode) == 0 ? 0 : errno;
}

StagedFolder::StagedFolder(std::string target) : target_(std::move(target)) {
  folder_ = Split(target_).first;
  path_ = StagePathOf(target_);
}

StagedFolder::~StagedFolder() {
  std::error_code ignored;
  if (!committed_) std::filesystem::remove_all(path_, ignored);
}

int StagedFolder::Create(mode_t mode) {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
  if (ec) return ec.value();
  return MakeFolder(path_, mode);
}

int StagedFolder::Commit(StagedFile::Sync sync) {
  if (const int error = RenameFile(path_, target_); error != 0) return error;
  committed_ = true;
  if (sync == StagedFile::Sync::Now) SyncFolder(folder_);
  return 0;
}

LinkSwitch::LinkSwitch(std::string link, std::string destination)
    : link_(std::move(link)), destination_(std::move(destination)) {
  folder_ = Split(link_).first;
  path_ = StagePathOf(link_);
}

LinkSwitch::~LinkSwitch() {
  struct stat st {};
  if (!done_ && ::lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(path_.c_str());
}

int LinkSwitch::Create() {
  if (::unlink(path_.c_str()) != 0 && errno != ENOENT) return errno;
  return ::symlink(destination_.c_str(), path_.c_str()) == 0 ? 0 : errno;
}

int LinkSwitch::Commit() {
  if (const int error = RenameFile(path_, link_); error != 0) return error;
  done_ = true;
  SyncFolder(folder_);
  return 0;
}

int LinkSwitch::Exchange() {
  if (const int error = RenameFile(path_, link_, RENAME_EXCHANGE); error != 0) return error;
  done_ = true;
  SyncFolder(folder_);
  return 0;
}

// ---- Leftovers -------------------------------------------------------------------------------

FolderLock::FolderLock(const std::string& folder, Wait wait) : folder_(folder) {
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = errno;
    return;
  }
  while (::flock(fd_, wait == Wait::Yes ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    error_ = errno;
    ::close(fd_);
    fd_ = -1;
    return;
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::vector<std::string> FindLeftovers(std::span<const std::string> targets, const FolderLock* held) {
  // The targets' names by folder, so that each folder is read once.
  std::map<std::string, std::set<std::string>> folders;
  for (const std::string& target : targets) {
    if (target.empty()) continue;
    auto [folder, name] = Split(target);
    if (!name.empty()) folders[folder].insert(std::move(name));
  }
  const long self = static_cast<long>(::getpid());
  std::vector<std::string> found;
  for (const auto& [folder, names] : folders) {
    // Only while no writer holds the folder's lock: the caller's own, or one taken here
    // without waiting for the look.
    const bool writerLock = held && held->Held() && SameFolder(held->Folder(), folder);
    std::optional<FolderLock> taken;
    if (!writerLock) {
      taken.emplace(folder, FolderLock::Wait::No);
      if (!taken->Held()) continue;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) continue;
    std::vector<std::string> files;
    while (const dirent* e = ::readdir(dir.get())) files.emplace_back(e->d_name);
    for (const std::string& file : files) {
      const std::string path = folder + "/" + file;
      struct stat st {};
      if (::lstat(path.c_str(), &st) != 0) continue;
      for (const std::string& name : names) {
        const StageName stage = StageOwner(file, name);
        const bool kind = S_ISREG(st.st_mode) || (!stage.older && (S_ISLNK(st.st_mode) || S_ISDIR(st.st_mode)));
        const bool leftover = stage.pid != 0 && stage.pid != self && kind && (writerLock || ProcessGone(stage.pid));
        if (leftover || (writerLock && S_ISREG(st.st_mode) && IsOlderPublisherStage(file, name))) {
          found.push_back(path);
          break;
        }
      }
    }
  }
  return found;
}

int SweepLeftovers(std::span<const std::string> targets, const FolderLock* held) {
  int removed = 0;
  for (const std::string& path : FindLeftovers(targets, held)) {
    std::error_code ec;
    if (std::filesystem::remove_all(path, ec) > 0 && !ec) ++removed;
  }
  return removed;
}

OwnStages::OwnStages(std::span<const std::string> targets) {
  for (const std::string& target : targets)
    if (!target.empty()) paths_.push_back(StagePathOf(target));
}

void OwnStages::RemoveAll() const noexcept {
  for (const std::string& path : paths_) ::unlink(path.c_str());
}

}  // namespace numira
