#include "ListBuilder.h"

#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "Encoding.h"
#include "Entry.h"
#include "FileIo.h"

namespace numira {
namespace {

// Numbers 3 / 4: the won list and the never-won list from the draw counts.
void BuildNumbers(const std::vector<Draw>& draws, Game game, std::string& won, std::string& neverWon) {
  const int range = static_cast<int>(MaxEntries(game));
  std::vector<std::uint32_t> counts(static_cast<std::size_t>(range), 0);
  for (const Draw& d : draws)
    if (const auto n = NumbersValue(d.numbers, game)) ++counts[static_cast<std::size_t>(*n)];
  for (int n = 0; n < range; ++n) {
    const std::uint32_t count = counts[static_cast<std::size_t>(n)];
    if (count > 0) {
      won += NumbersEntry(n, game);
      won += ',' + std::to_string(count) + "\r\n";
    } else {
      neverWon += NumbersEntry(n, game);
      neverWon += "\r\n";
    }
  }
}

// The other games: each combination once, in the order of its first draw.
void BuildLoto(const std::vector<Draw>& draws, std::string& won) {
  std::vector<std::string_view> order;
  std::unordered_map<std::string_view, std::uint32_t> counts;
  counts.reserve(draws.size());
  for (const Draw& d : draws)
    if (counts[d.numbers]++ == 0) order.push_back(d.numbers);
  for (std::string_view combination : order) {
    won += combination;
    won += ',' + std::to_string(counts[combination]) + "\r\n";
  }
}

}  // namespace

Histories ReadHistories(const std::string& drawsDir) {
  Histories histories;
  for (const Game game : kGames) {
    const std::string path = (std::filesystem::path(drawsDir) / HistoryFileName(game)).string();
    histories[GameIndex(game)] = ReadHistory(path, game);
    if (histories[GameIndex(game)].empty()) throw PublishError(At(path, 0, "no draws yet: nothing to build lists from"));
  }
  return histories;
}

std::string ListHeader(Date latestDraw) {
  std::string header = "#";
  const std::string date = JapaneseDate(latestDraw);
  const std::optional<std::string> bytes = Utf8ToCp932(date);
  if (!bytes) throw PublishError("\"" + date + "\" has no code page 932 form");
  header += *bytes;
  header += "\r\n";
  return header;
}

ListBytes BuildLists(const Histories& histories) {
  ListBytes files;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    const std::vector<Draw>& draws = histories[GameIndex(kListFiles[row].game)];
    if (draws.empty()) throw PublishError(std::string(GameId(kListFiles[row].game)) + ": no draws yet");
    files[row] = ListHeader(draws.back().date);
  }
  for (Game game : kGames) {
    const std::vector<Draw>& draws = histories[GameIndex(game)];
    std::string& won = files[static_cast<std::size_t>(ListRow(game, ListKind::Correct))];
    if (IsNumbers(game)) {
      std::string& neverWon = files[static_cast<std::size_t>(ListRow(game, ListKind::NoCorrect))];
      won.reserve(draws.size() * 9);
      neverWon.reserve(MaxEntries(game) * static_cast<std::size_t>(RulesOf(game).count + 2));
      BuildNumbers(draws, game, won, neverWon);
    } else {
      won.reserve(draws.size() * static_cast<std::size_t>(RulesOf(game).count * 3 + 4));
      BuildLoto(draws, won);
    }
  }
  return files;
}

}  // namespace numira
