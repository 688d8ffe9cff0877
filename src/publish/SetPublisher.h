#pragma once
// Publishing a set of files in one step. The folder a server serves (--out) is a
// symbolic link to one complete set of files, DIR -> DIR.sets/000042, each set a
// numbered version with its index (index.txt) and never changed once published; a new set is
// written into a fresh folder beside the old one and the link switched to it with one
// atomic rename, so readers see the whole old set or the whole new one, never a mix,
// whenever the writer stops. The set before stays; older ones are removed.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FileIo.h"

namespace numira {

// The files of a set by their path inside it ("Num3Correct.txt", "draws/loto6.csv"):
// relative, "/"-separated, no empty, "." or ".." part, no part starting with ".".
using FileSet = std::map<std::string, std::string>;

// Adds NAME.gz, its gzip copy (Gzip), beside every file NAME of the set that is not one
// itself, for servers that hand compressed copies to clients accepting them.
void AddCompressedCopies(FileSet& files);

// The folder a served folder (a link to a set, a plain folder, or a link made by hand to
// either) stands for now, read once so that a switch meanwhile cannot mix two sets; for
// reading only. PublishError for a dangling link and for anything but a folder.
std::string ResolveServedFolder(const std::string& dir);

struct PublishOutcome {
  bool changed = false;              // a new set is served now
  std::string set;                   // the set served now, as the link names it ("lists.sets/000003")
  std::string previous;              // the set kept from before ("" if none)
  std::vector<std::string> written;  // files whose bytes the set before did not hold
};

class SetPublisher {
 public:
  // Takes the publisher's lock for out (the folder holding the link), then looks at
  // what out is, never following a link: a link this publisher made (to DIR.sets/NNNNNN,
  // owned by this user, beside a DIR.sets it made), nothing yet, or a plain folder (an
  // empty one, or one from an earlier numira-lists, which Publish looks into). Anything
  // else is refused (PublishError) with nothing moved: a link made by hand or by another
  // user, a file, a DIR.sets that is not this publisher's.
  explicit SetPublisher(const std::string& out);
  ~SetPublisher();
  SetPublisher(const SetPublisher&) = delete;
  SetPublisher& operator=(const SetPublisher&) = delete;

  // The bytes of a file of the set served now; nullopt if none is served or it lacks
  // the file.
  std::optional<std::string> Served(const std::string& name) const;

  // Serves files as a new set with its index (SetIndex.h), numbered one above the last.
  // Nothing changes (no new set, every time stamp kept) when the set served holds
  // exactly these files with these bytes and a sound index, unless newSet. A file whose
  // bytes the set before held is taken over with its time stamp (Last-Modified and ETag
  // stay); NAME.gz gets the time of NAME; the index is always new, and its time is
  // later, by a second at least, than the index it replaces, whatever the clock says.
  // A plain folder served before becomes the set before when it holds nothing but
  // regular files named as files of the set (and an index); otherwise PublishError with
  // nothing moved. PublishError when a step fails; what is served then is still the
  // whole old set.
  PublishOutcome Publish(const FileSet& files, bool newSet = false);

  // The link's path, as given to the constructor made absolute.
  const std::string& Out() const { return out_; }

 private:
  // What out is, looked at under the lock; PublishError for what this publisher did not make.
  void Inspect();
  // DIR.sets: PublishError unless it is a folder of this user's holding the marker, or only
  // sets (an earlier numira-lists's, given the marker now); nothing yet is fine.
  void InspectSets() const;
  // The sets folder with its marker, made if it is not there yet.
  void MakeSets() const;
  // PublishError unless the plain folder served holds only files named in files.
  void CheckAdoptable(const FileSet& files) const;
  // The steps of Publish. What a killed build left goes first.
  void Recover(const FolderLock& setsLock) const;
  // Whether the set served holds exactly these files with these bytes, and its index.
  bool Serves(const FileSet& files) const;
  // Fills the stage of the next set: files the set before held with the same bytes are
  // taken over, the others (named in written) written new; then the index.
  void Stage(const FileSet& files, unsigned number, StagedFolder& stage, std::vector<std::string>& written) const;
  // The index of the staged set, its time later than the served index's.
  void WriteIndex(const FileSet& files, unsigned number, const std::string& folder) const;
  // Points the link at the set next; returns the set before as the link named it ("" if
  // none is kept). A plain folder served before becomes the set migrated.
  std::string Switch(const std::string& next, const std::string& migrated, bool emptyBefore) const;
  // Removes every set but next and previous.
  void Prune(const std::string& next, const std::string& previous) const;

  std::string SetPath(unsigned long long number) const;     // DIR.sets/000042
  std::string SetLink(const std::string& set) const;        // what the link holds: "DIR.sets/000042"

  std::string out_, parent_, name_, sets_;
  std::string current_;        // the folder served now; empty: none
  bool plainFolder_ = false;   // out_ is a folder, not a link yet
  int parentFd_ = -1;          // the folder holding the link, opened once
  std::optional<FolderLock> lock_;
};

}  // namespace numira
