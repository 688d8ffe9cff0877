#include "FileIo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "History.h"

namespace numira {
namespace {

std::string Reason(int err) { return std::strerror(err); }

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw PublishError(At(path, 0, "cannot read: " + Reason(errno)));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw PublishError(At(path, 0, "cannot read: not a regular file"));
  }
  if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
    ::close(fd);
    throw PublishError(At(path, 0, "cannot read: larger than " + std::to_string(maxBytes) + " bytes"));
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      throw PublishError(At(path, 0, "cannot read: " + Reason(err)));
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

StagedFile::StagedFile(const std::string& path, std::string_view bytes) : path_(path) {
  const std::filesystem::path target(path);
  folder_ = target.has_parent_path() ? target.parent_path().string() : ".";
  temp_ = folder_ + "/." + target.filename().string() + ".XXXXXX";
  const int fd = ::mkostemp(temp_.data(), O_CLOEXEC);
  if (fd < 0) throw PublishError(At(path, 0, "cannot write a temporary file in " + folder_ + ": " + Reason(errno)));

  struct stat st {};
  const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  const auto fail = [&](const char* what) {
    const int err = errno;
    ::close(fd);
    ::unlink(temp_.c_str());
    throw PublishError(At(path, 0, std::string("cannot ") + what + ": " + Reason(err)));
  };
  if (::fchmod(fd, mode) != 0) fail("set the permissions");
  if (!WriteAll(fd, bytes)) fail("write");
  if (::fsync(fd) != 0) fail("write (fsync)");
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    throw PublishError(At(path, 0, "cannot write (close): " + Reason(err)));
  }
}

StagedFile::~StagedFile() {
  if (!committed_) ::unlink(temp_.c_str());
}

void StagedFile::Commit() {
  RenameOrThrow(temp_, path_);
  committed_ = true;
}

int TryRename(const std::string& from, const std::string& to, unsigned flags) {
  return ::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags) == 0 ? 0 : errno;
}

void RenameOrThrow(const std::string& from, const std::string& to) {
  if (const int err = TryRename(from, to); err != 0) throw PublishError(At(to, 0, "cannot replace: " + Reason(err)));
}

std::string FollowLinks(const std::string& path) {
  std::filesystem::path p(path);
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec))) return p.string();
    const std::filesystem::path target = std::filesystem::read_symlink(p, ec);
    if (ec) throw PublishError(At(path, 0, "cannot read the link: " + ec.message()));
    const std::filesystem::path next = target.is_absolute() ? target : p.parent_path() / target;
    if (!std::filesystem::exists(next, ec))
      throw PublishError(At(path, 0, "a link to " + target.string() + ", which does not exist (a dangling link)"));
    p = next.lexically_normal();
  }
  throw PublishError(At(path, 0, "too many levels of symbolic links"));
}

void WriteNewFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) throw PublishError(At(path, 0, "cannot write: " + Reason(errno)));
  const auto fail = [&](const char* what) {
    const int err = errno;
    ::close(fd);
    ::unlink(path.c_str());
    throw PublishError(At(path, 0, std::string("cannot ") + what + ": " + Reason(err)));
  };
  if (::fchmod(fd, 0644) != 0) fail("set the permissions");
  if (!WriteAll(fd, bytes)) fail("write");
  if (::fsync(fd) != 0) fail("write (fsync)");
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(path.c_str());
    throw PublishError(At(path, 0, "cannot write (close): " + Reason(err)));
  }
}

void CopyModificationTime(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) throw PublishError(At(from, 0, "cannot read its time: " + Reason(errno)));
  const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  if (::utimensat(AT_FDCWD, to.c_str(), times, 0) != 0)
    throw PublishError(At(to, 0, "cannot set its time: " + Reason(errno)));
}

void RemoveStagedLeftovers(const std::string& folder, const std::string& name) {
  const std::string prefix = "." + name + ".";
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string file = entry.path().filename().string();
    if (file.size() == prefix.size() + 6 && file.compare(0, prefix.size(), prefix) == 0 &&
        entry.is_regular_file(ec))
      std::filesystem::remove(entry.path(), ec);
  }
}

void SyncFolder(const std::string& folder) {
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void ReplaceFile(const std::string& path, std::string_view bytes) {
  StagedFile staged(FollowLinks(path), bytes);
  staged.Commit();
  SyncFolder(staged.Folder());
}

FolderLock::FolderLock(const std::string& folder) {
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) throw PublishError(At(folder, 0, "cannot open the folder: " + Reason(errno)));
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int err = errno;
    ::close(fd_);
    throw PublishError(At(folder, 0, "cannot lock the folder: " + Reason(err)));
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace numira
