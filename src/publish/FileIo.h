#pragma once
// The publisher's file operations: the file store's (FileStore.h), with a failure thrown
// as a PublishError that names the file, and the links the publisher follows.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileStore.h"

namespace numira {

// The bytes of a regular file of at most maxBytes; PublishError ("path: cannot read:
// reason") otherwise.
std::string ReadWholeFile(const std::string& path, std::size_t maxBytes = std::string().max_size());

// RenameFile with flags 0; PublishError naming to on failure.
void RenameOrThrow(const std::string& from, const std::string& to);

// The file a path finally names: path itself, or for a symbolic link (a chain of them)
// the file it points at. PublishError when a link points at nothing.
std::string FollowLinks(const std::string& path);

// WriteNewFile with rw-r--r--; PublishError on failure, with nothing left behind.
void WriteNewFile(const std::string& path, std::string_view bytes);

// Gives to the modification time of from.
void CopyModificationTime(const std::string& from, const std::string& to);

// Replaces (or creates) the file at path with bytes through a stage beside it
// (StagedFile, NewFileMode::Published): a reader sees the old or the new bytes, never a
// mix. A symbolic link is written through: its target is replaced, in the target's
// folder, and the link stays. What killed writers left beside the file goes first.
void ReplaceFile(const std::string& path, std::string_view bytes);

// One file of a change to several: its bytes before (nullopt: it was not there) and after.
struct FileChange {
  std::string path;
  std::optional<std::string> before;
  std::string after;
};

// Replaces the files in order, each as ReplaceFile does, as one change: when one cannot be
// replaced, the ones replaced before it are given their bytes before again (or removed
// when they were not there), and the first failure is thrown. A change whose after is its
// before is skipped.
void ReplaceFiles(const std::vector<FileChange>& changes);

// PublishError when the lock could not be taken.
void ThrowUnlessLocked(const FolderLock& lock);

}  // namespace numira
