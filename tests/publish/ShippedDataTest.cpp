// The data the project ships, as it is today: every other test reads the frozen copies in
// tests/data, so adding a draw to data/ breaks nothing; this one checks data/ itself.
#include <gtest/gtest.h>

#include <filesystem>

#include "ListBuilder.h"
#include "ListValidation.h"
#include "Prizes.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

const fs::path kShipped = NUMIRA_SHIPPED_DIR;

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// data/draws holds a sound history per game, with the bonus numbers of every draw of the
// games that have them; data/prizes a sound prize file per game with a prize table, for
// draws of its history; data/lists exactly the list files, each valid and byte for byte
// what the list builder makes of the histories.
TEST(ShippedData, ValidatesAndItsListsAreBuiltFromItsHistories) {
  std::vector<std::string> drawNames, prizeNames, listNames;
  for (const Game game : kGames) {
    SCOPED_TRACE(GameId(game));
    drawNames.push_back(HistoryFileName(game));
    const std::string bytes = ReadBytes(kShipped / "draws" / HistoryFileName(game));
    ASSERT_TRUE(ValidateDrawFile(bytes, game).empty()) << ValidateDrawFile(bytes, game).front().text;
    const std::vector<Draw> draws = ParseHistory(bytes, game, HistoryFileName(game));
    EXPECT_EQ(FormatHistory(draws, game), bytes);
    for (const Draw& d : draws)
      ASSERT_EQ(d.bonus.size(), static_cast<std::size_t>(RulesOf(game).bonusCount)) << "draw " << d.number;
    if (!HasPrizes(game)) continue;
    prizeNames.push_back(PrizeFileName(game));
    const std::string prizeBytes = ReadBytes(kShipped / kPrizesFolder / PrizeFileName(game));
    ASSERT_TRUE(ValidatePrizeFile(prizeBytes, game).empty()) << ValidatePrizeFile(prizeBytes, game).front().text;
    const std::vector<DrawPrizes> prizes = ParsePrizes(prizeBytes, game, PrizeFileName(game));
    EXPECT_FALSE(prizes.empty());
    const std::optional<ListProblem> against = PrizesAgainstDraws(prizes, draws, game);
    EXPECT_FALSE(against) << against->line << ": " << against->text;
  }
  std::sort(drawNames.begin(), drawNames.end());
  std::sort(prizeNames.begin(), prizeNames.end());
  EXPECT_EQ(Names(kShipped / "draws"), drawNames);
  EXPECT_EQ(Names(kShipped / kPrizesFolder), prizeNames);

  const ListBytes built = BuildLists(ReadHistories((kShipped / "draws").string()));
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    const ListFileRow& r = kListFiles[row];
    SCOPED_TRACE(r.fileName);
    listNames.push_back(r.fileName);
    const fs::path path = kShipped / "lists" / r.fileName;
    EXPECT_TRUE(ReadBytes(path) == built[row]) << "differs from the list built from data/draws";
    const std::optional<ListContents> list = ReadListFile(path.string(), r.kind);
    ASSERT_TRUE(list);
    EXPECT_TRUE(ValidateList(*list, r.game, r.kind).empty());
  }
  std::sort(listNames.begin(), listNames.end());
  EXPECT_EQ(Names(kShipped / "lists"), listNames);
}

}  // namespace
}  // namespace numira
