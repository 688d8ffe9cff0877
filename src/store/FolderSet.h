#pragma once
// A copy of a published set, as its folder shows it: the index it took and the mark a
// writer leaves while it puts a new set's files in place. Only file names and stat calls:
// the window's process reads this and never the index itself (no libcrypto there).
#include <cstdint>
#include <string>
#include <string_view>

namespace numira {

// The name of a set's index, in a published set and in a copy's folder.
inline constexpr std::string_view kSetIndexName = "index.txt";

// A copy of a set (the player's folder of lists) keeps the index it took beside the files
// (kSetIndexName). While a writer puts a new set's files in place it leaves this mark in
// the folder, so that a reader can tell a folder between two sets from one holding a set.
inline constexpr std::string_view kSetSwitchMark = ".set-switch";

// What a reader needs to know that the folder's set changed: the index's identity (its
// inode, size and modification time) and whether a switch is under way. Two looks that
// agree and show no switch bracket a read of one set.
struct FolderSetState {
  bool switching = false;  // the mark is there: files of two sets may lie side by side
  bool hasIndex = false;
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const FolderSetState&) const = default;
};

// The state of folder ("" the working directory, else ending in "/"): two stat calls.
FolderSetState LookAtFolderSet(const std::string& folder);


// For a writer holding the folder's lock: leaves the switch mark (made durable) before the
// first file of a new set is put in place; 0 or the errno.
int MarkSetSwitch(const std::string& folder);
// Takes the mark away once the folder holds one whole set again, and syncs the folder.
void UnmarkSetSwitch(const std::string& folder);
// The copy no longer holds a set the index describes (files came one by one from a server
// without an index): its index and any mark are removed.
void ForgetFolderSet(const std::string& folder);

}  // namespace numira
