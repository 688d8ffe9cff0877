#include "CandidatePool.h"

#include "LotoDraw.h"

namespace numira {

CandidatePool BuildNumbersPool(Game game, bool filterChecked, FilterChoice choice, const WinningList& list) {
  CandidatePool pool;
  if (!filterChecked) {
    const int count = static_cast<int>(MaxEntries(game));
    pool.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) pool.push_back(NumbersEntry(n, game));
    return pool;
  }
  if (choice == FilterChoice::NeverWon) return list.neverWonEntries;
  const bool oneToFour = choice == FilterChoice::OneToFour;
  for (std::size_t i = 0; i < list.winCounts.size() && i < list.wonEntries.size(); ++i)
    if ((list.winCounts[i] < 5u) == oneToFour) pool.push_back(list.wonEntries[i]);
  return pool;
}

CandidatePool BuildLotoPool(const WinningList& list) { return list.wonEntries; }

std::int64_t CountCandidates(Game game, FilterChoice choice, const WinningList& list) {
  // Counted where the pools would be built from, without copying them.
  if (IsNumbers(game)) {
    if (choice == FilterChoice::NeverWon) return static_cast<std::int64_t>(list.neverWonEntries.size());
    const bool oneToFour = choice == FilterChoice::OneToFour;
    std::int64_t n = 0;
    for (std::size_t i = 0; i < list.winCounts.size() && i < list.wonEntries.size(); ++i)
      n += (list.winCounts[i] < 5u) == oneToFour ? 1 : 0;
    return n;
  }
  const CandidatePool& won = list.wonEntries;  // the Loto pool (BuildLotoPool)
  if (won.empty() || choice != FilterChoice::NeverWon) return static_cast<std::int64_t>(won.size());
  return static_cast<std::int64_t>(MaxEntries(game) - NeverWonSet(won, game).size());
}

}  // namespace numira
