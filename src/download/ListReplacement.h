#pragma once
// Putting a fresh copy of a list file in place of the old one without ever losing the
// old one: the copy is fetched into a part file beside the list and renamed over the
// list only once it has been accepted; a part file that is not put in place is removed.
#include <span>
#include <string>

namespace numira {

// The part file of a list in this process: "<list>.<pid>.part", beside the list.
std::string PartPathOf(const std::string& listPath);

class ListReplacement {
 public:
  // The part file is "<list>.<pid>.part", beside the list.
  explicit ListReplacement(std::string listPath);
  ListReplacement(const ListReplacement&) = delete;
  ListReplacement& operator=(const ListReplacement&) = delete;
  // Removes the part file unless it was put in place.
  ~ListReplacement();

  const std::string& PartPath() const { return partPath_; }

  // Renames the part file over the list and makes the rename durable. False (and
  // nothing changed) when the rename fails.
  bool Commit();

 private:
  std::string listPath_;
  std::string partPath_;
  bool committed_ = false;
};

// Removes the part files that a process which is gone (killed, crashed, cut off by a
// power failure) left beside these lists: regular files named "<list>.<pid>.part" whose
// process no longer exists. Nothing else is touched. Returns how many were removed.
int RemoveStaleParts(std::span<const std::string> listPaths);

}  // namespace numira
