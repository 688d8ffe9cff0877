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
  if (!IsLoto(game)) return static_cast<std::int64_t>(BuildNumbersPool(game, true, choice, list).size());
  const CandidatePool pool = BuildLotoPool(list);
  if (pool.empty() || choice != FilterChoice::NeverWon) return static_cast<std::int64_t>(pool.size());
  return static_cast<std::int64_t>(MaxEntries(game) - NeverWonSet(pool, game).size());
}

}  // namespace numira
