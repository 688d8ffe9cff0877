#include "DrawSeed.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "DrawFileNames.h"
#include "DrawHistory.h"

namespace numira {

std::optional<Draw> LastDrawOfFile(const std::string& path, Game game) {
  const std::optional<std::string> bytes = ReadDrawFile(path);
  if (!bytes || !ValidateDrawFile(*bytes, game).empty()) return std::nullopt;
  return ParseHistory(*bytes, game, path).back();
}

namespace {

bool ShippedDrawsReplace(Game game, const std::string& shipped, const std::string& user) {
  const std::optional<Draw> theirs = LastDrawOfFile(shipped, game);
  if (!theirs) return false;
  struct stat st;
  if (::stat(user.c_str(), &st) != 0) return errno == ENOENT;
  if (!ReadDrawFile(user)) return false;  // there, but not ours to read: left alone
  const std::optional<Draw> mine = LastDrawOfFile(user, game);
  return !mine || mine->date < theirs->date;
}

}  // namespace

std::vector<SeedFile> DrawSeedFiles(const ListFolderChoice& choice) {
  std::vector<SeedFile> files;
  for (const Game game : kGames) {
    const std::string name = std::string(kDrawsFolder) + "/" + HistoryFileName(game);
    const std::string user = choice.folder + name;
    if (user.size() > kMaxText) continue;
    files.push_back({choice.shippedFolder + name, user, [game](const std::string& from, const std::string& to) {
                       return ShippedDrawsReplace(game, from, to);
                     }});
  }
  return files;
}

}  // namespace numira
