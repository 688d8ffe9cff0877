#include "DrawRefresh.h"

#include <optional>
#include <string>

#include "DrawDate.h"
#include "DrawFileNames.h"
#include "DrawSeed.h"
#include "ListReader.h"
#include "ListValidation.h"
#include "Prizes.h"

namespace numira {
namespace {

bool FetchedListReplaces(const ListFileRow& row, const std::string& fetched, const std::string& stored) {
  const std::optional<ListContents> fresh = ReadListFile(fetched, row.kind, MaxEntries(row.game));
  if (!fresh || !IsValidList(*fresh, row.game, row.kind)) return false;
  const std::optional<ListContents> mine = ReadListFile(stored, row.kind, MaxEntries(row.game));
  const std::optional<Date> mineDate = mine ? ParseHeaderDate(mine->latestDrawDate) : std::nullopt;
  return !mineDate || !(*ParseHeaderDate(fresh->latestDrawDate) < *mineDate);
}

bool FetchedDrawsReplace(Game game, const std::string& fetched, const std::string& stored) {
  const std::optional<Draw> theirs = LastDrawOfFile(fetched, game);
  if (!theirs) return false;
  const std::optional<Draw> mine = LastDrawOfFile(stored, game);
  return !mine || !(theirs->date < mine->date);
}

bool FetchedPrizesReplace(Game game, const std::string& fetched, const std::string& stored, const std::string& draws) {
  const std::optional<std::vector<DrawPrizes>> theirs = PrizesOfFile(fetched, game);
  if (!theirs) return false;
  const std::optional<std::vector<DrawPrizes>> mine = PrizesOfFile(stored, game);
  if (mine && !mine->empty() && (theirs->empty() || theirs->back().number < mine->back().number)) return false;
  // Prizes of draws the stored history does not have, or has on other days, belong to
  // another history: they wait until the draws have come.
  const std::optional<std::vector<Draw>> history = DrawsOfFile(draws, game);
  return !history || !PrizesAgainstDraws(*theirs, *history, game);
}

}  // namespace

std::vector<ExtraFile> ExtraFilesBeside(const ListPaths& lists) {
  std::vector<ExtraFile> files;
  // The folder of the lists: that of any list with a usable path.
  std::string folder;
  for (const std::string& path : lists)
    if (!path.empty()) {
      folder = path.substr(0, path.rfind('/') + 1);
      break;
    }
  if (folder.empty()) return files;
  for (std::size_t row = kFirstLists; row < kListFiles.size(); ++row) {
    const ListFileRow list = kListFiles[row];
    if (lists[row].empty()) continue;
    files.push_back({list.fileName, lists[row], [list](const std::string& fetched, const std::string& stored) {
                       return FetchedListReplaces(list, fetched, stored);
                     }});
  }
  for (const Game game : kGames) {
    const std::string local = folder + kDrawsFolder + "/" + HistoryFileName(game);
    if (local.size() > kMaxText) continue;
    files.push_back({std::string(kDrawsFolder) + "/" + HistoryFileName(game), local,
                     [game](const std::string& fetched, const std::string& stored) {
                       return FetchedDrawsReplace(game, fetched, stored);
                     }});
  }
  for (const Game game : kGames) {
    if (!HasPrizes(game)) continue;
    const std::string local = folder + kPrizesFolder + "/" + PrizeFileName(game);
    const std::string draws = folder + kDrawsFolder + "/" + HistoryFileName(game);
    if (local.size() > kMaxText) continue;
    files.push_back({std::string(kPrizesFolder) + "/" + PrizeFileName(game), local,
                     [game, draws](const std::string& fetched, const std::string& stored) {
                       return FetchedPrizesReplace(game, fetched, stored, draws);
                     }});
  }
  return files;
}

}  // namespace numira
