#include "DrawRefresh.h"

#include <optional>
#include <string>

#include "DrawFileNames.h"
#include "DrawSeed.h"

namespace numira {
namespace {

bool FetchedDrawsReplace(Game game, const std::string& fetched, const std::string& stored) {
  const std::optional<Draw> theirs = LastDrawOfFile(fetched, game);
  if (!theirs) return false;
  const std::optional<Draw> mine = LastDrawOfFile(stored, game);
  return !mine || !(theirs->date < mine->date);
}

}  // namespace

std::vector<ExtraFile> DrawFilesBeside(const ListPaths& lists) {
  std::vector<ExtraFile> files;
  const std::string& won = lists[static_cast<std::size_t>(ListRow(Game::Lot6, ListKind::Correct))];
  if (won.empty()) return files;
  const std::string folder = won.substr(0, won.rfind('/') + 1) + kDrawsFolder + "/";
  for (const Game game : kGames) {
    const std::string name = std::string(kDrawsFolder) + "/" + HistoryFileName(game);
    const std::string local = folder + HistoryFileName(game);
    if (local.size() > kMaxText) continue;
    files.push_back({name, local, [game](const std::string& fetched, const std::string& stored) {
                       return FetchedDrawsReplace(game, fetched, stored);
                     }});
  }
  return files;
}

}  // namespace numira
