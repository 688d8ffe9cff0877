// The history's figures for the shipped lists, checked against the draw histories
// counted here on their own; the pages and tooltips built from them.
#include <gtest/gtest.h>

#include <set>

#include "HistoryFigures.h"
#include "HistoryPage.h"
#include "ListReader.h"
#include "TestData.h"
#include "Texts.h"

namespace numira {
namespace {

using testing::DrawHistory;
using testing::RealList;

WinningList ReadReal(const char* won, const char* neverWon) {
  WinningList list;
  if (neverWon) list.neverWonEntries = ReadListFile(RealList(neverWon).string(), ListKind::NoCorrect)->entries;
  ListContents c = *ReadListFile(RealList(won).string(), ListKind::Correct);
  list.wonEntries = c.entries;
  list.winCounts = c.counts;
  list.latestDrawDate = c.latestDrawDate;
  return list;
}

// "2026-08-21" -> "2026年8月21日"
std::string JapaneseDate(const std::string& iso) {
  return iso.substr(0, 4) + "年" + std::to_string(std::stoi(iso.substr(5, 2))) + "月" +
         std::to_string(std::stoi(iso.substr(8, 2))) + "日";
}

std::string LastDrawDate(const char* csv) {
  std::ifstream in(testing::fs::path(NUMIRA_DRAWS_DIR) / csv);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return JapaneseDate(last.substr(last.find(',') + 1, 10));
}

struct RealCase {
  const char* name;
  Game game;
  const char* won;
  const char* neverWon;
  const char* csv;
};

class RealFigures : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealFigures, AgreeWithTheDrawHistory) {
  const RealCase& c = GetParam();
  const HistoryFigures f = ComputeFigures(c.game, ReadReal(c.won, c.neverWon));
  const std::vector<std::string> draws = DrawHistory(c.csv);
  ASSERT_TRUE(f.hasData);
  EXPECT_EQ(f.draws, draws.size());
  EXPECT_EQ(f.latestDrawDate, LastDrawDate(c.csv));

  if (IsLoto(c.game)) {
    std::vector<std::uint64_t> counts(c.game == Game::Mini ? 31 : 43);
    for (const std::string& d : draws) {
      std::stringstream s(d);
      for (std::string n; std::getline(s, n, '.');) ++counts.at(std::stoul(n) - 1);
    }
    EXPECT_EQ(f.numberCounts, counts);
    EXPECT_TRUE(f.digitCounts.empty());
  } else {
    const std::size_t digits = c.game == Game::Num3 ? 3 : 4;
    std::vector<std::array<std::uint64_t, 10>> counts(digits);
    for (const std::string& d : draws)
      for (std::size_t pos = 0; pos < digits; ++pos) ++counts[pos][static_cast<std::size_t>(d.at(pos) - '0')];
    EXPECT_EQ(f.digitCounts, counts);
    // Never drawn: every number of the game that the history does not hold.
    const std::set<std::string> drawn(draws.begin(), draws.end());
    EXPECT_EQ(f.neverDrawn, (digits == 3 ? 1000u : 10000u) - drawn.size());
  }
}

INSTANTIATE_TEST_SUITE_P(
    ShippedLists, RealFigures,
    ::testing::Values(RealCase{"Num3", Game::Num3, "Num3Correct.txt", "Num3NoCorrect.txt", "numbers3.csv"},
                      RealCase{"Num4", Game::Num4, "Num4Correct.txt", "Num4NoCorrect.txt", "numbers4.csv"},
                      RealCase{"Mini", Game::Mini, "MiniCorrect.txt", nullptr, "miniloto.csv"},
                      RealCase{"Lot6", Game::Lot6, "Lot6Correct.txt", nullptr, "loto6.csv"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryFigures, OddEntriesCountOnlyWhereTheyAreWellFormed) {
  WinningList list;
  list.wonEntries = {"12", "1a3", "123", "123", "5.5.40.0.7", "x.2"};
  list.winCounts = {1, 1, 2, 4294967295u, 3, 1};
  const HistoryFigures num3 = ComputeFigures(Game::Num3, list);
  EXPECT_EQ(num3.draws, 4294967303u);  // every count, without overflow
  EXPECT_EQ(num3.digitCounts[0][1], 4294967297u);
  EXPECT_EQ(num3.digitCounts[2][3], 4294967297u);
  EXPECT_EQ(EntryDrawCount(list, "123"), 4294967297u);
  EXPECT_EQ(EntryDrawCount(list, "999"), 0u);
  const HistoryFigures mini = ComputeFigures(Game::Mini, list);
  EXPECT_EQ(mini.numberCounts[4], 3u);  // a repeated number counts once per draw
  EXPECT_EQ(mini.numberCounts[6], 3u);
  EXPECT_EQ(mini.numberCounts[1], 1u);
  EXPECT_EQ(mini.numberCounts[11], 1u);  // "12" reads as the number 12
  EXPECT_EQ(ComputeFigures(Game::Lot6, WinningList{}).hasData, false);
}

TEST(HistoryFigures, ShareHasOneDecimalRoundedHalfUp) {
  const std::vector<std::tuple<std::uint64_t, std::uint64_t, const char*>> rows{
      {136, 1000, "13.6%"}, {1, 8, "12.5%"}, {1, 3, "33.3%"}, {2, 3, "66.7%"}, {0, 7, "0.0%"},
      {7, 7, "100.0%"}, {1, 2000, "0.1%"}, {1, 2001, "0.0%"}, {5, 0, ""}};
  for (const auto& [count, draws, text] : rows) EXPECT_EQ(ShareText(count, draws), text) << count << "/" << draws;
}

// ---- Pages and tooltips ----

TEST(HistoryPage, Loto6ShowsOneRowPerNumberAndMarksTheProposal) {
  const WinningList list = ReadReal("Lot6Correct.txt", nullptr);
  const HistoryFigures f = ComputeFigures(Game::Lot6, list);
  const HistoryPage page = BuildHistoryPage(Game::Lot6, list, "1.8.19.27.33.43");
  EXPECT_EQ(page.tabName, "ロト６");
  EXPECT_EQ(page.lines, std::vector<std::string>{"最新抽選日：2025年9月25日　抽選回数：2037回"});
  EXPECT_EQ(page.chartName, "ロト６ 数字別当せん回数のグラフ");
  EXPECT_EQ(page.columns, (std::vector<std::string>{"数字", "当せん回数", "割合"}));
  ASSERT_EQ(page.rows.size(), 43u);
  ASSERT_EQ(page.bars.size(), 1u);
  EXPECT_EQ(page.bars[0].values, f.numberCounts);
  for (int n = 1; n <= 43; ++n) {
    const auto& row = page.rows[static_cast<std::size_t>(n - 1)];
    const std::uint64_t count = f.numberCounts[static_cast<std::size_t>(n - 1)];
    EXPECT_EQ(row[0].text, std::to_string(n));
    EXPECT_EQ(row[1].text, std::to_string(count));
    EXPECT_EQ(row[2].text, ShareText(count, 2037));
    EXPECT_EQ(row[1].marked, n == 1 || n == 8 || n == 19 || n == 27 || n == 33 || n == 43) << n;
  }
}

TEST(HistoryPage, NumbersShowOneRowPerDigitAndOneColumnPerPosition) {
  const WinningList list = ReadReal("Num3Correct.txt", "Num3NoCorrect.txt");
  const HistoryPage page = BuildHistoryPage(Game::Num3, list, "286");
  EXPECT_EQ(page.lines, (std::vector<std::string>{"最新抽選日：2026年8月21日　抽選回数：7054回", "未当せんの数字：1個"}));
  EXPECT_EQ(page.columns, (std::vector<std::string>{"数字", "百の位", "十の位", "一の位"}));
  EXPECT_EQ(page.chartName, "ナンバーズ３ 位ごとの数字別当せん回数のグラフ");
  ASSERT_EQ(page.rows.size(), 10u);
  ASSERT_EQ(page.bars.size(), 3u);
  EXPECT_EQ(page.bars[0].name, "百の位");
  const std::string proposal = "286";
  for (std::size_t d = 0; d < 10; ++d) {
    EXPECT_EQ(page.rows[d][0].text, std::to_string(d));
    for (std::size_t pos = 0; pos < 3; ++pos) {
      EXPECT_EQ(page.rows[d][pos + 1].sortKey, page.bars[pos].values[d]);
      EXPECT_EQ(page.rows[d][pos + 1].marked, static_cast<std::size_t>(proposal[pos] - '0') == d);
    }
  }
  EXPECT_EQ(BuildHistoryPage(Game::Num4, {}, "").lines, std::vector<std::string>{text::kNoData});
  EXPECT_FALSE(BuildHistoryPage(Game::Num4, {}, "").hasData);
}

TEST(ProposalToolTips, TellEachProposalsDraws) {
  const WinningList num4 = ReadReal("Num4Correct.txt", nullptr);
  const auto counts = testing::DrawCounts("numbers4.csv");
  const std::string often = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  EXPECT_EQ(ProposalToolTips(Game::Num4, num4, often),
            std::vector<std::string>{"過去の当せん回数：" + std::to_string(counts.at(often)) + "回"});
  EXPECT_EQ(ProposalToolTips(Game::Num4, num4, "0002"), std::vector<std::string>{"過去の当せん回数：0回"});
  WinningList mini;
  mini.wonEntries = {"1.2.3.4.5", "2.3.4.5.6"};
  mini.winCounts = {1, 2};
  EXPECT_EQ(ProposalToolTips(Game::Mini, mini, "1.2.6.30.31"),
            (std::vector<std::string>{"1 の当せん回数：1回", "2 の当せん回数：3回", "6 の当せん回数：2回",
                                      "30 の当せん回数：0回", "31 の当せん回数：0回"}));
}

}  // namespace
}  // namespace numira
