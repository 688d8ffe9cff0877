#pragma once
// Whole-file reads and atomic replacement of a file.
#include <cstddef>
#include <string>
#include <string_view>

namespace numira {

// The bytes of a regular file of at most maxBytes; PublishError ("path: cannot read:
// reason") otherwise.
std::string ReadWholeFile(const std::string& path, std::size_t maxBytes = std::string().max_size());

// The new bytes of a file, written and fsync'd into a temporary file beside it
// (".name.XXXXXX") until Commit renames it over the file; dropped if never committed.
// An existing file keeps its permission bits; a new one gets rw-r--r--, so a web server
// can serve it. PublishError on failure, with nothing left behind.
class StagedFile {
 public:
  StagedFile(const std::string& path, std::string_view bytes);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  void Commit();
  const std::string& Folder() const { return folder_; }

 private:
  std::string path_, folder_, temp_;
  bool committed_ = false;
};

// Renames from to to with the renameat2 system call itself (flags: 0, or RENAME_EXCHANGE
// to swap the two); 0 or the errno value. Every rename of the publisher goes through it,
// so a tracer sees each as the same call (glibc's wrapper would turn flags 0 into renameat).
int TryRename(const std::string& from, const std::string& to, unsigned flags = 0);

// TryRename with flags 0; PublishError naming to on failure.
void RenameOrThrow(const std::string& from, const std::string& to);

// The file a path finally names: path itself, or for a symbolic link (a chain of them)
// the file it points at. PublishError when a link points at nothing.
std::string FollowLinks(const std::string& path);

// Writes a new file (it must not exist yet) with rw-r--r--, and fsyncs it. PublishError
// on failure, with nothing left behind.
void WriteNewFile(const std::string& path, std::string_view bytes);

// Gives to the modification time of from.
void CopyModificationTime(const std::string& from, const std::string& to);

// Removes what a StagedFile of folder/name left behind when its writer was killed
// (".name.XXXXXX"). Only under a FolderLock, so no live writer's file is touched.
void RemoveStagedLeftovers(const std::string& folder, const std::string& name);

// Makes the renames done in a folder durable (fsync of the folder).
void SyncFolder(const std::string& folder);

// Replaces (or creates) the file at path with bytes: a temporary file in the same folder,
// written and fsync'd, then renamed over path, and the folder fsync'd. A symbolic link
// is written through: its target is replaced, in the target's folder, and the link stays. A reader sees
// the old or the new bytes, never a mix (StagedFile, Commit, SyncFolder).
void ReplaceFile(const std::string& path, std::string_view bytes);

// Holds an exclusive lock on a folder while it lives (flock), so two writers of the
// same files take turns.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace numira
