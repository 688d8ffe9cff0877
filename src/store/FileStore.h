#pragma once
// The one place where the program's files are read and replaced: the six lists, the
// draw files beside them, the publisher's histories and sets. A new copy of a file, a
// new folder or a new symbolic link is staged beside its target, then put in its place
// by one atomic rename and a sync of the folder, so a reader sees the old or the new,
// never a mix, and a writer that dies leaves the old as it was. Every writer stages
// under the same name, ".<name>.<pid>.part", and what a killed writer left behind is
// removed by one sweep.
#include <sys/types.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace numira {

// ---- Reading ---------------------------------------------------------------------------------

inline constexpr std::uint64_t kAnySize = std::numeric_limits<std::uint64_t>::max();

// A regular file opened for reading. It is opened without blocking and checked before
// anything is read, so that a FIFO or a device (or a link to one) in a file's place can
// neither hang the reader nor feed it without end.
class RegularFile {
 public:
  // Opens path when it is a regular file of at most maxBytes. Otherwise nothing is open
  // and Error() says why: the errno of the opening, EISDIR for a folder, EINVAL for
  // anything else that is not a regular file, EFBIG for a file larger than maxBytes.
  explicit RegularFile(const std::string& path, std::uint64_t maxBytes = kAnySize);
  ~RegularFile();
  RegularFile(RegularFile&& other) noexcept;
  RegularFile& operator=(RegularFile&&) = delete;
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Error() const { return error_; }
  int Fd() const { return fd_; }
  // The size when it was opened.
  std::uint64_t Size() const { return size_; }
  // Hands the descriptor over (the caller closes it); -1 when nothing is open.
  int Release();

 private:
  int fd_ = -1;
  int error_ = 0;
  std::uint64_t size_ = 0;
};

// The bytes of a regular file of at most maxBytes; a file that grows beyond that while it
// is read (or claims a size of 0, as some do) is refused all the same. nullopt otherwise,
// with the reason in *error (as RegularFile::Error, or the errno of the read).
std::optional<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes = kAnySize,
                                           int* error = nullptr);

// The reason of a failed read in words: "not a regular file", "larger than N bytes", or
// the system's text for the errno.
std::string ReadErrorText(int error, std::uint64_t maxBytes);

// ---- Replacing -------------------------------------------------------------------------------

// The permission bits of a file a stage replaces.
enum class NewFileMode {
  Umask,      // as any new file of the user: rw-rw-rw- less the umask
  Published,  // the replaced file's own bits; rw-r--r-- for a new file, so a web server may serve it
};

// The stage of a target file in this process: ".<name>.<pid>.part" beside it.
std::string StagePathOf(const std::string& target);

// A new copy of a file, written into its stage beside it until Commit puts it in the
// file's place. A stage that is never committed is removed with this object. One process
// stages one copy of a target at a time.
class StagedFile {
 public:
  // Names the stage; nothing is created yet.
  explicit StagedFile(std::string target);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  const std::string& Target() const { return target_; }
  // The stage itself: Write fills it, or a downloader writes into it (opened with
  // O_NOFOLLOW, flushed by the downloader) before Commit.
  const std::string& Path() const { return path_; }
  // The folder of the target ("." for a bare name).
  const std::string& Folder() const { return folder_; }

  // Creates (or empties) the stage, never through a link in its place, gives it its
  // permission bits, writes bytes and flushes them to the disk. 0, or the errno of the
  // step that failed; the stage is removed then.
  int Write(std::string_view bytes, NewFileMode mode);

  // Renames the stage over the target (one renameat2 call) and, unless told otherwise,
  // makes the rename durable (SyncFolder). 0, or the errno of the rename, the target
  // then as it was.
  enum class Sync { Now, Later };
  int Commit(Sync sync = Sync::Now);

 private:
  std::string target_, folder_, path_;
  bool committed_ = false;
};

// Writes a new file (it must not exist yet) with the given permission bits and flushes it
// to the disk; for a file of a folder that is not served yet. 0, or the errno of the step
// that failed, with nothing left behind.
int WriteNewFile(const std::string& path, std::string_view bytes, mode_t mode);

// Renames from to to with the renameat2 system call itself (flags: 0, or RENAME_EXCHANGE
// to swap the two); 0 or the errno. Every rename goes through it, so a tracer sees each
// as the same call (glibc's wrapper would turn flags 0 into renameat).
int RenameFile(const std::string& from, const std::string& to, unsigned flags = 0);

// Makes the renames and new files of a folder durable (fsync of the folder). A failure
// here changes nothing anyone can see, so it is not reported.
void SyncFolder(const std::string& folder);

// ---- Folders and links -----------------------------------------------------------------------

// Makes a folder with exactly these permission bits, whatever the umask (so that a web
// server may read a published one); a folder already there is given them. 0 or the errno.
int MakeFolder(const std::string& path, mode_t mode);

// A new folder, made as its stage beside its target, filled by its owner and renamed into
// the target's place by Commit. A stage never committed is removed with this object,
// with everything in it. One process stages one folder of a target at a time.
class StagedFolder {
 public:
  // Names the stage; nothing is created yet.
  explicit StagedFolder(std::string target);
  ~StagedFolder();
  StagedFolder(const StagedFolder&) = delete;
  StagedFolder& operator=(const StagedFolder&) = delete;

  const std::string& Target() const { return target_; }
  const std::string& Path() const { return path_; }
  const std::string& Folder() const { return folder_; }

  // Makes the stage, empty, with the given bits (MakeFolder); a stage of this process
  // left from before is emptied first. 0 or the errno.
  int Create(mode_t mode);

  // Renames the stage to the target (which must not exist, or be an empty folder) and,
  // unless told otherwise, syncs the folder. 0, or the errno of the rename.
  int Commit(StagedFile::Sync sync = StagedFile::Sync::Now);

 private:
  std::string target_, folder_, path_;
  bool committed_ = false;
};

// A symbolic link pointed somewhere new in one step: the new link is made at its stage
// beside the link and renamed over it, so a reader that follows the link meets the old
// destination or the new one, never nothing. A stage never committed is removed with this
// object (unless a swap put something else there).
class LinkSwitch {
 public:
  // Names the stage of link; the new link will hold destination (as symlink(2) takes it).
  LinkSwitch(std::string link, std::string destination);
  ~LinkSwitch();
  LinkSwitch(const LinkSwitch&) = delete;
  LinkSwitch& operator=(const LinkSwitch&) = delete;

  const std::string& Link() const { return link_; }
  const std::string& Path() const { return path_; }

  // Makes the new link at the stage (replacing a stage of this process left from before).
  // 0 or the errno.
  int Create();

  // Renames the new link over the link (or over anything in its place but a folder) and
  // syncs the folder. 0, or the errno of the rename, the link then as it was.
  int Commit();

  // Swaps the new link with what lies in the link's place (a folder, say) in one step
  // (RENAME_EXCHANGE) and syncs the folder: what lay there lies at Path() afterwards, for
  // the caller to move on. 0, or the errno of the rename (EINVAL, ENOSYS or EOPNOTSUPP
  // where the file system cannot swap), nothing then changed.
  int Exchange();

 private:
  std::string link_, destination_, folder_, path_;
  bool done_ = false;
};

// ---- Leftovers -------------------------------------------------------------------------------

// The lock of a folder: an exclusive flock on the folder itself, held while this object
// lives. Every writer of a folder's files holds it for the whole write, so two writers
// take turns, and a stage is swept only while no writer holds it. The kernel releases it
// when its holder dies, whatever pid namespace the holder lives in; a folder is its own
// lock file, so locking adds no file to it and any user who may read it may lock it.
class FolderLock {
 public:
  enum class Wait { Yes, No };
  // Takes the lock, waiting for it unless told not to. Error() is the errno when the
  // folder cannot be opened or locked: EWOULDBLOCK when another holds it and Wait::No.
  explicit FolderLock(const std::string& folder, Wait wait = Wait::Yes);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool Held() const { return error_ == 0; }
  int Error() const { return error_; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  int fd_ = -1;
  int error_ = 0;
};

// What killed writers left beside these targets: stages ".<name>.<pid>.part" (files, new
// links, folders) and the older files of the same kind, "<name>.<pid>.part". A folder is
// looked at only while no writer holds its lock: held, when it is that folder's lock, or
// the lock taken for the look without waiting (a folder whose lock another holds is
// passed over). Under held, the lock of a writer, every stage but this process's own is
// a leftover, whatever its pid: each was written under the lock, so its writer is gone,
// in whatever pid namespace it lived; the older stages of the publisher there,
// ".<name>.XXXXXX" (files only), count too. Without held, a stage counts only when its
// pid names no process here either, for writers that stage without the lock. Their
// paths, folder by folder.
std::vector<std::string> FindLeftovers(std::span<const std::string> targets, const FolderLock* held = nullptr);

// Removes what FindLeftovers finds: files and links (never what a link names), folders
// with everything in them. Returns how many were removed.
int SweepLeftovers(std::span<const std::string> targets, const FolderLock* held = nullptr);

// This process's stages of some targets, named in advance, for a signal handler that
// ends the process: RemoveAll only unlinks, which a signal handler may do.
class OwnStages {
 public:
  explicit OwnStages(std::span<const std::string> targets);
  void RemoveAll() const noexcept;

 private:
  std::vector<std::string> paths_;
};

}  // namespace numira
