#pragma once
// What a list refresh is asked to do and what came of it, and the plain text in which the
// refresh program (numira-refresh) takes the one and hands back the other. Nothing here
// touches the network: the window's process uses it to start the program and read its
// answer.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FetchToFile.h"
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
  FileOps file;         // how the part files are written (in-process runs only)
};

enum class ListOutcome {
  Refreshed,       // the server's copy replaced the stored one
  NotModified,     // the server has nothing newer: nothing written (counts as refreshed)
  Failed,          // the stored copy stays
  LocalFileError,  // the part file could not be written or flushed; the refresh stopped there
  NotTried,        // the refresh ended before this list
};

struct ListResult {
  ListOutcome outcome = ListOutcome::NotTried;
  // LocalFileError: whether the disk was full (the row names the list).
  bool diskFull = false;
  bool operator==(const ListResult&) const = default;
};

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
// then "end"; and read back. A report cut short (the program died) reads with every list
// it does not name as failed.
std::string FormatReport(const RefreshReport& report);
// The line of one list, as soon as its outcome is final.
std::string FormatListLine(std::size_t row, const ListResult& result);
RefreshReport ParseReport(std::string_view text);

}  // namespace numira
