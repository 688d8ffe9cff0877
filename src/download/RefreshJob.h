#pragma once
// The list refresh: fetch the first six lists (and any extra files) from the list server and
// put each good copy in place of the stored one, one outcome per list. No window, no
// thread of its own: the refresh program runs it, tests run it in-process.
#include <atomic>
#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "FetchToFile.h"
#include "RefreshReport.h"

namespace numira {

// An optional file fetched after the six lists: the server's /Data/<name>, stored at
// localPath when accept(fetchedCopy, storedPath) takes the fetched copy (the stored
// file may be missing). A 404 answer leaves the stored file as it is and is no error.
struct ExtraFile {
  std::string name;
  std::string localPath;
  std::function<bool(const std::string& fetchedCopy, const std::string& storedPath)> accept;
};

// Runs the refresh, holding the folder's lock. A server with a set index (index.txt) is
// followed set by set: its index is asked for with the validators the copy's index came
// with, sent back verbatim; a 304 or the copy's own set number ends the refresh there (one
// request); a lower set number is refused (OlderSet), nothing written; a higher one brings
// only the files whose SHA-256 differs from the copy's, from the set's own path
// (/Data/sets/NNNNNN/...), each checked against the index, then the whole set is checked
// (SetDisagreement) and put in place behind the folder's switch mark, its index last. A
// server without an index (404) gets the refresh file by file: each list is fetched into
// a part file beside it and replaces it only when the transfer completed with a success
// status, the copy is a valid list of its kind dated no later than tomorrow in Japan, and,
// for the two Numbers
// lists of a game, both are fresh or unchanged and agree (same date, no number in both,
// every number in one): the pair replaces the stored pair together or not at all.
// The whole refresh is bounded by request.limits.totalTimeoutMs. A local file that
// cannot be written ends the refresh (the lists after it are not tried); any other error
// fails the list it happened on and those after it.
// When *stop turns true (another thread, a signal handler), the transfer under way is
// abandoned, no list is replaced any more and the refresh ends. The extra files are
// fetched after the lists, and only when at least one list was refreshed or unchanged. onList, when given, hears
// each list's outcome as soon as it is final. Each list that fails says why (ListResult::reason).
// file: how the part files are written (tests make a disk fail with it).
RefreshReport RunRefresh(const RefreshRequest& request, std::span<const ExtraFile> extras = {},
                         const std::atomic<bool>* stop = nullptr,
                         const std::function<void(std::size_t row, const ListResult&)>& onList = {},
                         const FileOps& file = {});

}  // namespace numira
