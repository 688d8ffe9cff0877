#include "HistoryFigures.h"

#include <algorithm>
#include <cstdio>

#include "Entry.h"

namespace numira {

std::vector<int> LotoNumbers(std::string_view entry, Game game) {
  std::vector<int> out;
  for (const std::int32_t n : EntryFields(entry))
    if (n >= 1 && n <= RulesOf(game).largest && std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
  return out;
}

HistoryFigures ComputeFigures(Game game, const WinningList& list) {
  HistoryFigures f;
  f.game = game;
  f.hasData = !list.wonEntries.empty();
  f.latestDrawDate = list.latestDrawDate;
  if (!IsNumbers(game))
    f.numberCounts.assign(static_cast<std::size_t>(RulesOf(game).largest), 0);
  else
    f.digitCounts.assign(static_cast<std::size_t>(RulesOf(game).count), {});
  // The reader keeps entries and counts paired; a shorter count list would be a fault
  // elsewhere, and the pairs it has are all that can be counted.
  const std::size_t n = std::min(list.wonEntries.size(), list.winCounts.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t count = list.winCounts[i];
    f.draws += count;
    if (!IsNumbers(game)) {
      for (int number : LotoNumbers(list.wonEntries[i], game)) f.numberCounts[static_cast<std::size_t>(number - 1)] += count;
    } else {
      const std::vector<int> d = EntryNumberList(list.wonEntries[i], game);
      for (std::size_t pos = 0; pos < d.size(); ++pos) f.digitCounts[pos][static_cast<std::size_t>(d[pos])] += count;
    }
  }
  if (IsNumbers(game)) f.neverDrawn = list.neverWonEntries.size();
  return f;
}

std::uint64_t EntryDrawCount(const WinningList& list, std::string_view entry) {
  std::uint64_t total = 0;
  const std::size_t n = std::min(list.wonEntries.size(), list.winCounts.size());
  for (std::size_t i = 0; i < n; ++i)
    if (list.wonEntries[i] == entry) total += list.winCounts[i];
  return total;
}

std::string ShareText(std::uint64_t count, std::uint64_t draws) {
  if (draws == 0) return {};
  // Tenths of a percent rounded half up, in integers wide enough for any count.
  const auto tenths = static_cast<std::uint64_t>((static_cast<unsigned __int128>(count) * 2000 / draws + 1) / 2);
  char text[32];
  std::snprintf(text, sizeof text, "%llu.%llu%%", static_cast<unsigned long long>(tenths / 10),
                static_cast<unsigned long long>(tenths % 10));
  return text;
}

}  // namespace numira
