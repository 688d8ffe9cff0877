#include "SetConsistency.h"

#include <cstdint>
#include <numeric>
#include <optional>
#include <vector>

#include "DrawFileNames.h"
#include "DrawSeed.h"
#include "Entry.h"
#include "ListTable.h"
#include "ListValidation.h"
#include "Prizes.h"

namespace numira {

std::string NumbersPairDisagreement(const ListContents& neverWon, const ListContents& won, Game game) {
  const std::optional<Date> date = ParseHeaderDate(neverWon.latestDrawDate);
  if (!date || date != ParseHeaderDate(won.latestDrawDate))
    return "dates " + neverWon.latestDrawDate + " / " + won.latestDrawDate;
  const NumbersCoverage cover = CoverNumbers(game, won, neverWon);
  if (cover.inBoth > 0) return cover.firstInBoth + " in both lists";
  if (cover.inNeither > 0) return NumbersEntry(cover.firstInNeither, game) + " in neither list";
  return {};
}

std::string SetDisagreement(const std::map<std::string, std::string>& files, Date lastDay) {
  const std::string after = ", after tomorrow in Japan";
  // Every list on its own, read once.
  std::map<std::string, ListContents> lists;
  for (const ListFileRow& row : kListFiles) {
    const auto found = files.find(row.fileName);
    if (found == files.end()) continue;
    std::optional<ListContents> contents = ReadListFile(found->second, row.kind, MaxEntries(row.game));
    if (!contents) return std::string(row.fileName) + ": cannot be read as a list";
    if (const std::vector<ListProblem> problems = ValidateList(*contents, row.game, row.kind, 1); !problems.empty())
      return std::string(row.fileName) + ": " + problems.front().text;
    const std::optional<Date> date = ParseHeaderDate(contents->latestDrawDate);
    if (!date) return std::string(row.fileName) + ": no draw date in its header";
    if (*date > lastDay) return std::string(row.fileName) + ": dated " + contents->latestDrawDate + after;
    lists.emplace(row.fileName, std::move(*contents));
  }
  for (const Game game : kGames) {
    const char* wonName = kListFiles[static_cast<std::size_t>(ListRow(game, ListKind::Correct))].fileName;
    const auto won = lists.find(wonName);
    if (IsNumbers(game)) {
      const char* neverName = kListFiles[static_cast<std::size_t>(ListRow(game, ListKind::NoCorrect))].fileName;
      const auto never = lists.find(neverName);
      if ((won == lists.end()) != (never == lists.end()))
        return std::string(won == lists.end() ? wonName : neverName) + ": missing beside its pair";
      if (won != lists.end())
        if (const std::string apart = NumbersPairDisagreement(never->second, won->second, game); !apart.empty())
          return std::string(neverName) + " / " + wonName + ": " + apart;
    }
    const std::string drawsName = std::string(kDrawsFolder) + "/" + HistoryFileName(game);
    const auto drawsFile = files.find(drawsName);
    std::optional<std::vector<Draw>> draws;
    if (drawsFile != files.end()) {
      draws = DrawsOfFile(drawsFile->second, game);
      if (!draws || draws->empty()) return drawsName + ": no sound history of the game";
      if (draws->back().date > lastDay) return drawsName + ": a draw dated " + IsoDate(draws->back().date) + after;
      if (won != lists.end()) {
        const ListContents& list = won->second;
        const Date listDate = *ParseHeaderDate(list.latestDrawDate);
        if (draws->back().date != listDate)
          return drawsName + ": ends on " + IsoDate(draws->back().date) + ", " + wonName + " on " + IsoDate(listDate);
        const std::uint64_t wins = std::accumulate(list.counts.begin(), list.counts.end(), std::uint64_t{0});
        if (wins != draws->size())
          return drawsName + ": " + std::to_string(draws->size()) + " draws, " + wonName + " counts " +
                 std::to_string(wins);
      }
    }
    if (!HasPrizes(game)) continue;
    const std::string prizesName = std::string(kPrizesFolder) + "/" + PrizeFileName(game);
    const auto prizesFile = files.find(prizesName);
    if (prizesFile == files.end()) continue;
    const std::optional<std::vector<DrawPrizes>> prizes = PrizesOfFile(prizesFile->second, game);
    if (!prizes) return prizesName + ": no sound prize file of the game";
    if (draws)
      if (const std::optional<ListProblem> problem = PrizesAgainstDraws(*prizes, *draws, game))
        return prizesName + ": " + problem->text;
  }
  return {};
}

}  // namespace numira
