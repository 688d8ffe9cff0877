#pragma once
// What a roll draws from, for each game and filter choice.
#include <cstdint>
#include <string>
#include <vector>

#include "Game.h"
#include "WinningList.h"

namespace numira {

using CandidatePool = std::vector<std::string>;

// What a checked filter asks for: never-won numbers or combinations; Numbers won 1 to
// 4 times (a count below 5) or 5 times or more; Loto combinations won at least once.
enum class FilterChoice { NeverWon, OneToFour, FiveOrMore, WonAtLeastOnce };

// Num3/Num4: every number (NumbersEntry: "007") with the filter off; with it on, the never-won
// entries, or the won entries drawn 1 to 4 times or 5 times or more.
CandidatePool BuildNumbersPool(Game game, bool filterChecked, FilterChoice choice, const WinningList& list);

// The games drawn as numbers (Loto, ビンゴ５) with the filter on: every past winning
// combination, in list order.
CandidatePool BuildLotoPool(const WinningList& list);

// How many candidates the game's checked filter leaves: the Numbers pool's entries; for
// the Loto games the past winning combinations, or every combination not among them
// (none while the list is empty, as such a roll does not start).
std::int64_t CountCandidates(Game game, FilterChoice choice, const WinningList& list);

}  // namespace numira
