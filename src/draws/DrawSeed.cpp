#include "DrawSeed.h"

#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <optional>

#include "DrawFileNames.h"
#include "DrawHistory.h"

namespace numira {

std::optional<std::vector<Draw>> DrawsOfFile(const std::string& path, Game game) {
  const std::optional<std::string> bytes = ReadDrawFile(path);
  if (!bytes || !ValidateDrawFile(*bytes, game).empty()) return std::nullopt;
  return ParseHistory(*bytes, game, path);
}

std::optional<Draw> LastDrawOfFile(const std::string& path, Game game) {
  std::optional<std::vector<Draw>> draws = DrawsOfFile(path, game);
  if (!draws) return std::nullopt;
  return draws->back();  // a sound history has a draw
}

std::optional<std::vector<DrawPrizes>> PrizesOfFile(const std::string& path, Game game) {
  const std::optional<std::string> bytes = ReadDrawFile(path, kMaxPrizeFileBytes);
  if (!bytes || !ValidatePrizeFile(*bytes, game).empty()) return std::nullopt;
  return ParsePrizes(*bytes, game, path);
}

namespace {

// Whether the shipped copy should replace the user's: the shipped one is sound and the
// user's is missing, unsound, or older by `older` (an unsound copy gives nullopt). A
// user's copy that is there but cannot be read is left alone.
template <class Last>
bool ShippedReplaces(const std::string& shipped, const std::string& user, std::size_t maxBytes, const Last& last) {
  const auto theirs = last(shipped);
  if (!theirs) return false;
  struct stat st;
  if (::stat(user.c_str(), &st) != 0) return errno == ENOENT;
  if (!ReadDrawFile(user, maxBytes)) return false;  // there, but not ours to read: left alone
  const auto mine = last(user);
  return !mine || *mine < *theirs;
}

// The seed files of one kind: `folder`/<file> of each game that `has` one.
std::vector<SeedFile> SeedFilesOf(const ListFolderChoice& choice, const char* folder, bool (*has)(Game),
                                  std::function<bool(Game, const std::string&, const std::string&)> replaces) {
  std::vector<SeedFile> files;
  for (const Game game : kGames) {
    if (!has(game)) continue;
    const std::string name = std::string(folder) + "/" + HistoryFileName(game);
    const std::string user = choice.folder + name;
    if (user.size() > kMaxText) continue;
    files.push_back({choice.shippedFolder + name, user, [game, replaces](const std::string& from, const std::string& to) {
                       return replaces(game, from, to);
                     }});
  }
  return files;
}

}  // namespace

std::vector<SeedFile> DrawSeedFiles(const ListFolderChoice& choice) {
  return SeedFilesOf(choice, kDrawsFolder, [](Game) { return true; },
                     [](Game game, const std::string& shipped, const std::string& user) {
                       return ShippedReplaces(shipped, user, kMaxDrawFileBytes, [game](const std::string& path) {
                         const std::optional<Draw> d = LastDrawOfFile(path, game);
                         return d ? std::optional<Date>(d->date) : std::nullopt;
                       });
                     });
}

std::vector<SeedFile> PrizeSeedFiles(const ListFolderChoice& choice) {
  return SeedFilesOf(choice, kPrizesFolder, &HasPrizes, [](Game game, const std::string& shipped, const std::string& user) {
    return ShippedReplaces(shipped, user, kMaxPrizeFileBytes, [game](const std::string& path) {
      const auto rows = PrizesOfFile(path, game);
      // A sound file without rows knows nothing: older than any with rows.
      return rows ? std::optional<std::uint32_t>(rows->empty() ? 0 : rows->back().number) : std::nullopt;
    });
  });
}

std::vector<SeedFile> UserFolderSeedFiles(const ListFolderChoice& choice) {
  std::vector<SeedFile> files = ListSeedFiles(choice);
  for (SeedFile& f : DrawSeedFiles(choice)) files.push_back(std::move(f));
  for (SeedFile& f : PrizeSeedFiles(choice)) files.push_back(std::move(f));
  return files;
}

}  // namespace numira
