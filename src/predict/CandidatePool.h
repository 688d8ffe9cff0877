#pragma once
// What a roll draws from, for each game and filter choice.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "Game.h"
#include "WinningList.h"

namespace numira {

using CandidatePool = std::vector<std::string>;

// The filter drop-down items (UTF-8), in their order.
inline constexpr std::array<const char*, 3> kNumbersFilterItems{"未当せん", "１～４回当せん", "５回以上当せん"};
inline constexpr std::array<const char*, 2> kLotoFilterItems{"未当せん", "１回以上当せん"};

// The choice is recognised by substrings of the selected item's text.
inline bool ChoosesNeverWon(std::string_view selected) { return selected.find("未当せん") != std::string_view::npos; }
inline bool ChoosesOneToFour(std::string_view selected) { return selected.find("１～４回") != std::string_view::npos; }

// Num3/Num4: every number ("%03d"/"%04d") with the filter off; with it on, the never-won
// entries, or the won entries drawn 1 to 4 times (count below 5) or 5 times or more.
CandidatePool BuildNumbersPool(Game game, bool filterChecked, std::string_view selected, const WinningList& list);

// Mini/Lot6 with the filter on: every past winning combination, in list order.
CandidatePool BuildLotoPool(const WinningList& list);

}  // namespace numira
