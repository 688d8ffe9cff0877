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

// Nothing here is judged newer or older by its dates: a sound file is what the server
// serves now. Only a date after tomorrow in Japan, which no draw can have, is refused.
bool FetchedListReplaces(const ListFileRow& row, const std::string& fetched) {
  const std::optional<ListContents> fresh = ReadListFile(fetched, row.kind, MaxEntries(row.game));
  if (!fresh || !IsValidList(*fresh, row.game, row.kind)) return false;
  const std::optional<Date> date = ParseHeaderDate(fresh->latestDrawDate);
  return !date || !(*date > NextDay(JapanToday()));
}

bool FetchedDrawsReplace(Game game, const std::string& fetched) {
  const std::optional<Draw> theirs = LastDrawOfFile(fetched, game);
  return theirs && !(theirs->date > NextDay(JapanToday()));
}

bool FetchedPrizesReplace(Game game, const std::string& fetched, const std::string& draws) {
  const std::optional<std::vector<DrawPrizes>> theirs = PrizesOfFile(fetched, game);
  if (!theirs) return false;
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
    files.push_back({list.fileName, lists[row], [list](const std::string& fetched, const std::string&) {
                       return FetchedListReplaces(list, fetched);
                     }});
  }
  for (const Game game : kGames) {
    const std::string local = folder + kDrawsFolder + "/" + HistoryFileName(game);
    if (local.size() > kMaxText) continue;
    files.push_back({std::string(kDrawsFolder) + "/" + HistoryFileName(game), local,
                     [game](const std::string& fetched, const std::string&) {
                       return FetchedDrawsReplace(game, fetched);
                     }});
  }
  for (const Game game : kGames) {
    if (!HasPrizes(game)) continue;
    const std::string local = folder + kPrizesFolder + "/" + PrizeFileName(game);
    const std::string draws = folder + kDrawsFolder + "/" + HistoryFileName(game);
    if (local.size() > kMaxText) continue;
    files.push_back({std::string(kPrizesFolder) + "/" + PrizeFileName(game), local,
                     [game, draws](const std::string& fetched, const std::string&) {
                       return FetchedPrizesReplace(game, fetched, draws);
                     }});
  }
  return files;
}

}  // namespace numira
