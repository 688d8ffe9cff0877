#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

#include "History.h"

namespace numira {
namespace {

std::string Reason(int err) { return std::strerror(err); }

}  // namespace

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  int error = 0;
  std::optional<std::string> bytes = ReadRegularFile(path, maxBytes, &error);
  if (!bytes) throw PublishError(At(path, 0, "cannot read: " + ReadErrorText(error, maxBytes)));
  return std::move(*bytes);
}

void RenameOrThrow(const std::string& from, const std::string& to) {
  if (const int err = RenameFile(from, to); err != 0) throw PublishError(At(to, 0, "cannot replace: " + Reason(err)));
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
    // "dir/" would name what dir names when dir is itself a link: the link is looked at.
    if (!p.has_filename() && p.has_parent_path() && p != p.root_path()) p = p.parent_path();
  }
  throw PublishError(At(path, 0, "too many levels of symbolic links"));
}

void WriteNewFile(const std::string& path, std::string_view bytes) {
  if (const int err = numira::WriteNewFile(path, bytes, 0644); err != 0)
    throw PublishError(At(path, 0, "cannot write: " + Reason(err)));
}

void CopyModificationTime(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) throw PublishError(At(from, 0, "cannot read its time: " + Reason(errno)));
  const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  if (::utimensat(AT_FDCWD, to.c_str(), times, 0) != 0)
    throw PublishError(At(to, 0, "cannot set its time: " + Reason(errno)));
}

void ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::string file = FollowLinks(path);
  const std::string files[] = {file};
  SweepLeftovers(files);
  StagedFile stage(file);
  if (const int err = stage.Write(bytes, NewFileMode::Published); err != 0)
    throw PublishError(At(file, 0, "cannot write a new copy in " + stage.Folder() + ": " + Reason(err)));
  if (const int err = stage.Commit(); err != 0) throw PublishError(At(file, 0, "cannot replace: " + Reason(err)));
}

void ThrowUnlessLocked(const FolderLock& lock) {
  if (lock.Error() != 0) throw PublishError(At(lock.Folder(), 0, "cannot lock the folder: " + Reason(lock.Error())));
}

}  // namespace numira
