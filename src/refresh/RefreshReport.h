#pragma once
// What a list refresh is asked to do and what came of it, and the plain text in which the
// refresh program (numira-refresh) takes the one and hands back the other. Nothing here
// touches the network: the window's process uses it to start the program and read its
// answer.
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "FetchLimits.h"
#include "ListTable.h"

namespace numira {

// The refresh program's file name; it lies beside the program's executable.
inline constexpr const char* kRefreshProgramName = "numira-refresh";

// The refresh program beside the executable at this path.
std::string RefreshProgramPath(const std::string& executablePath);

struct RefreshRequest {
  std::string baseUrl;  // "http://host[:port]", "https://host[:port]" or a bare host[:port] (http)
  ListPaths lists;      // where the lists are stored; an empty path is not refreshed
  std::string agent;    // the User-Agent
  FetchLimits limits;
  // Only the six lists: the draw files beside them are not asked for (a trial of a server).
  bool listsOnly = false;
};

enum class ListOutcome {
  Refreshed,       // the server's copy replaced the stored one
  NotModified,     // the server has nothing newer: nothing written (counts as refreshed)
  Failed,          // the stored copy stays
  LocalFileError,  // the part file could not be written or flushed; the refresh stopped there
  NotTried,        // the refresh ended before this list
};

// Why a list was not refreshed: what the player is told.
enum class FailReason {
  None,
  NoSuchHost,     // the server's name cannot be resolved
  NoConnection,   // nothing takes the connection at the server's address
  TimedOut,       // no answer, or not the whole answer, in time
  ErrorStatus,    // the server answered with an error status (detail: the status)
  NotAList,       // the answer is not a list of its kind (detail: what is wrong)
  OlderSet,       // the server's set has a lower number than the copy's (detail: "SERVER COPY", six digits each)
  BadSet,         // the server's set does not hold together or its files are not as its index says (detail: what)
  PairDisagrees,  // the two lists of a Numbers game do not agree (detail: how)
  TwinFailed,     // the other list of its Numbers game failed, and the two go together
  Broken,         // the transfer broke off, or the answer is not HTTP
  Insecure,       // https: the server's certificate cannot be verified, or TLS failed
  NotStored,      // there is nowhere to store the list
  Stopped,        // the refresh was stopped
  ProgramFailed,  // the refresh program could not start, or ended without a word on this list
  ProgramHung,    // the refresh program did not end within the refresh's time limit
  FolderBusy,     // another writer (a refresh, the start-up seeding) held the lists' folder too long
};

struct ListResult {
  ListResult(ListOutcome o = ListOutcome::NotTried, bool full = false, FailReason why = FailReason::None,
             std::string what = {})
      : outcome(o), diskFull(full), reason(why), detail(std::move(what)) {}

  ListOutcome outcome = ListOutcome::NotTried;
  // LocalFileError: whether the disk was full (the row names the list).
  bool diskFull = false;
  // Failed, NotTried: why; with its detail (one line, at most kMaxDetail bytes).
  FailReason reason = FailReason::None;
  std::string detail;
  bool operator==(const ListResult&) const = default;
};

inline constexpr std::size_t kMaxDetail = 200;

// The optional extra files beside the lists.
enum class ExtraOutcome { Refreshed, NotModified, Absent, Failed };

struct RefreshReport {
  std::array<ListResult, kFirstLists> lists;  // the first six lists (ListTable.h)
  std::vector<ExtraOutcome> extras;
  bool operator==(const RefreshReport&) const = default;
};

// The refresh program's arguments for a request, and the request read back from them
// (nullopt for arguments that do not describe one). File operations do not travel.
std::vector<std::string> RefreshArguments(const RefreshRequest& request);
std::optional<RefreshRequest> ParseRefreshArguments(const std::vector<std::string>& args);

// The report as the refresh program writes it, one line per list and per extra file,
// then "end"; and read back. A report cut short (the program died, or the window ended
// it) reads with every list it does not name as failed for `unnamed`.
std::string FormatReport(const RefreshReport& report);
// The line of one list, as soon as its outcome is final: "list 2 failed error-status 404".
std::string FormatListLine(std::size_t row, const ListResult& result);
RefreshReport ParseReport(std::string_view text, FailReason unnamed = FailReason::ProgramFailed);

}  // namespace numira
