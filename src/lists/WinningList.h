#pragma once
// One game's share of the history: what the last reads of its list files left.
#include <cstdint>
#include <string>
#include <vector>

namespace numira {

struct WinningList {
  std::vector<std::string> neverWonEntries;  // Numbers games only
  std::vector<std::string> wonEntries;
  std::vector<std::uint32_t> winCounts;  // paired by index with wonEntries
  std::string latestDrawDate;            // UTF-8
  std::int32_t listsLoaded = 0;          // 1 when the latest read found data lines
};

}  // namespace numira
