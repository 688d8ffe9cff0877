#pragma once
// Publishing a set of files in one step. The folder a server serves (--out) is a
// symbolic link to one complete set of files, DIR -> DIR.sets/000042; a new set is
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
// either) stands for now, read once so that a switch meanwhile cannot mix two sets.
// PublishError for a dangling link and for anything but a folder.
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
  // what out is: a link made here, nothing yet, a plain folder from before (it becomes
  // the set before the first one published here), or a link made by hand, which is
  // followed: the folder it finally names becomes the link. PublishError for a
  // dangling link and for anything but a folder.
  explicit SetPublisher(const std::string& out);

  // The bytes of a file of the set served now; nullopt if none is served or it lacks
  // the file.
  std::optional<std::string> Served(const std::string& name) const;

  // Serves files. Nothing changes (no new set, every time stamp kept) when the set
  // served holds exactly these files with these bytes. A file whose bytes the set
  // before held is taken over with its time stamp (Last-Modified and ETag stay);
  // NAME.gz gets the time of NAME. PublishError when a step fails; what is served then
  // is still the whole old set. A plain folder whose files are symbolic links (made by
  // hand) is kept as it is: each changed file is written through to its target,
  // atomically in the target's folder (one file at a time, as its owner chose).
  PublishOutcome Publish(const FileSet& files);

  // The link's path as given to the constructor or, for a link made by hand, the folder
  // it names.
  const std::string& Out() const { return out_; }

 private:
  // The steps of Publish. What a killed build left goes first.
  void Recover() const;
  // Whether the set served holds exactly these files with these bytes.
  bool Serves(const FileSet& files) const;
  // A plain folder of links made by hand: each changed file written through to its target.
  bool HoldsLinks(const FileSet& files) const;
  PublishOutcome WriteThrough(const FileSet& files) const;
  // Fills the stage of the next set: files the set before held with the same bytes are
  // taken over, the others (named in written) written new.
  void Stage(const FileSet& files, StagedFolder& stage, std::vector<std::string>& written) const;
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
  std::optional<FolderLock> lock_;
};

}  // namespace numira
