// The history's figures for the shipped lists, checked against the draw histories
// counted here on their own; the pages and tooltips built from them.
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <tuple>

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

struct RealCase {
  const char* name;
  Game game;
  const char* won;
  const char* neverWon;
  const char* csv;
  int range = 0;  // games of numbers: the largest number
};

class RealFigures : public ::testing::TestWithParam<RealCase> {};
void PrintTo(const RealCase& c, std::ostream* os) { *os << c.name; }

TEST_P(RealFigures, AgreeWithTheDrawHistory) {
  const RealCase& c = GetParam();
  const HistoryFigures f = ComputeFigures(c.game, ReadReal(c.won, c.neverWon));
  const std::vector<std::string> draws = DrawHistory(c.csv);
  ASSERT_TRUE(f.hasData);
  EXPECT_EQ(f.draws, draws.size());

  if (c.range > 0) {
    EXPECT_EQ(f.numberCounts, testing::NumberDrawCounts(c.csv, c.range));
    EXPECT_TRUE(f.digitCounts.empty());
  } else {
    const std::size_t digits = c.game == Game::Num3 ? 3 : 4;
    EXPECT_EQ(f.digitCounts, testing::DigitDrawCounts(c.csv, digits));
    // Never drawn: every number of the game that the history does not hold.
    const std::set<std::string> drawn(draws.begin(), draws.end());
    EXPECT_EQ(f.neverDrawn, (digits == 3 ? 1000u : 10000u) - drawn.size());
  }
}

INSTANTIATE_TEST_SUITE_P(
    ShippedLists, RealFigures,
    ::testing::Values(RealCase{"Num3", Game::Num3, "Num3Correct.txt", "Num3NoCorrect.txt", "numbers3.csv"},
                      RealCase{"Num4", Game::Num4, "Num4Correct.txt", "Num4NoCorrect.txt", "numbers4.csv"},
                      RealCase{"Mini", Game::Mini, "MiniCorrect.txt", nullptr, "miniloto.csv", 31},
                      RealCase{"Lot6", Game::Lot6, "Lot6Correct.txt", nullptr, "loto6.csv", 43},
                      RealCase{"Lot7", Game::Lot7, "Lot7Correct.txt", nullptr, "loto7.csv", 37},
                      RealCase{"Bingo5", Game::Bingo5, "Bingo5Correct.txt", nullptr, "bingo5.csv", 40}),
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

TEST(HistoryFigures, HugeCountsReadTolerantlyNeverWrap) {
  // An old list read as the start-up reads it: both counts saturate to 2147483647.
  const ListContents c = ParseList("#2026年8月21日\r\n007,2147483647\r\n008,99999999999\r\n", ListKind::Correct);
  WinningList list;
  list.wonEntries = c.entries;
  list.winCounts = c.counts;
  const HistoryFigures f = ComputeFigures(Game::Num3, list);
  EXPECT_EQ(f.draws, 4294967294u);
  EXPECT_EQ(f.digitCounts[0][0], 4294967294u);
  EXPECT_EQ(f.digitCounts[2][7], 2147483647u);
  EXPECT_EQ(BuildHistoryPage(Game::Num3, list, "").lines[0], "最新抽選日：　抽選回数：4,294,967,294回");
}

TEST(HistoryFigures, ShareHasOneDecimalRoundedHalfUp) {
  const std::vector<std::tuple<std::uint64_t, std::uint64_t, const char*>> rows{
      {136, 1000, "13.6%"}, {1, 8, "12.5%"}, {1, 3, "33.3%"}, {2, 3, "66.7%"}, {0, 7, "0.0%"},
      {7, 7, "100.0%"}, {1, 2000, "0.1%"}, {1, 2001, "0.0%"}, {5, 0, ""}};
  for (const auto& [count, draws, text] : rows) EXPECT_EQ(ShareText(count, draws), text) << count << "/" << draws;
}

// ---- The pages the window shows ----

struct PageCase {
  Game game;
  const char* won;
  const char* neverWon;
  const char* proposal;
  const char* csv;  // the draw history the figures must agree with
  std::vector<std::string> lines, columns;
  const char* chartName;
  std::vector<std::pair<std::size_t, std::size_t>> marked;  // (row, column) of the proposal
};

TEST(HistoryPage, ShowsTheFiguresAndMarksTheProposal) {
  const std::vector<PageCase> cases{
      {Game::Lot6, "Lot6Correct.txt", nullptr, "1.8.19.27.33.43", "loto6.csv", {"最新抽選日：2025年9月25日　抽選回数：2,037回"},
       {"数字", "当せん回数", "割合", "前回から"}, "ロト６ 数字別当せん回数のグラフ", {{0, 1}, {7, 1}, {18, 1}, {26, 1}, {32, 1}, {42, 1}}},
      {Game::Num3, "Num3Correct.txt", "Num3NoCorrect.txt", "286", "numbers3.csv",
       {"最新抽選日：2026年8月21日　抽選回数：7,054回", "未当せんの数字：1個"}, {"数字", "百の位", "十の位", "一の位"},
       "ナンバーズ３ 位ごとの数字別当せん回数のグラフ", {{2, 1}, {6, 3}, {8, 2}}},
      {Game::Num4, "Num4Correct.txt", nullptr, "", "numbers4.csv", {"最新抽選日：2026年8月21日　抽選回数：7,054回", "未当せんの数字：0個"},
       {"数字", "千の位", "百の位", "十の位", "一の位"}, "ナンバーズ４ 位ごとの数字別当せん回数のグラフ", {}},
      {Game::Lot7, "Lot7Correct.txt", nullptr, "2.8.15.17.25.28.34", "loto7.csv", {"最新抽選日：2026年8月21日　抽選回数：691回"},
       {"数字", "当せん回数", "割合", "前回から"}, "ロト７ 数字別当せん回数のグラフ",
       {{1, 1}, {7, 1}, {14, 1}, {16, 1}, {24, 1}, {27, 1}, {33, 1}}},
      {Game::Bingo5, "Bingo5Correct.txt", nullptr, "1.10.13.19.23.28.35.37", "bingo5.csv",
       {"最新抽選日：2026年8月19日　抽選回数：484回"}, {"数字", "当せん回数", "割合", "前回から"}, "ビンゴ５ 数字別当せん回数のグラフ",
       {{0, 1}, {9, 1}, {12, 1}, {18, 1}, {22, 1}, {27, 1}, {34, 1}, {36, 1}}},
  };
  for (const PageCase& c : cases) {
    // How many numbers the game draws from; 0 for the digits of a Numbers game.
    const int range = c.game == Game::Mini ? 31 : c.game == Game::Lot6 ? 43 : c.game == Game::Lot7 ? 37
                      : c.game == Game::Bingo5 ? 40 : 0;
    const bool perNumber = range > 0;
    const WinningList list = ReadReal(c.won, c.neverWon);
    const HistoryPage page = BuildHistoryPage(c.game, list, c.proposal);
    // The expected counts come from the draw history, not from the figures under test.
    const std::uint64_t draws = DrawHistory(c.csv).size();
    const auto numberCounts = perNumber ? testing::NumberDrawCounts(c.csv, range)
                                             : std::vector<std::uint64_t>{};
    const auto digitCounts = perNumber ? std::vector<std::array<std::uint64_t, 10>>{}
                                            : testing::DigitDrawCounts(c.csv, c.game == Game::Num3 ? 3 : 4);
    EXPECT_EQ(page.lines, c.lines);
    EXPECT_EQ(page.columns, c.columns);
    EXPECT_EQ(page.chartName, c.chartName);
    ASSERT_EQ(page.rows.size(), perNumber ? numberCounts.size() : 10u);
    ASSERT_EQ(page.bars.size(), c.columns.size() - (perNumber ? 3 : 1));
    std::vector<std::pair<std::size_t, std::size_t>> marked;
    for (std::size_t r = 0; r < page.rows.size(); ++r) {
      EXPECT_EQ(page.rows[r][0].text, std::to_string(perNumber ? r + 1 : r));
      // Without draws, 前回から is empty and sorts last.
      if (perNumber) {
        ASSERT_EQ(page.rows[r].size(), 4u);
        EXPECT_EQ(page.rows[r][3].text, "");
        EXPECT_EQ(page.rows[r][3].sortKey, std::numeric_limits<std::uint64_t>::max());
      }
      for (std::size_t col = 1; col < page.rows[r].size() - (perNumber ? 1 : 0); ++col) {
        const std::uint64_t n = perNumber ? numberCounts[r] : digitCounts[col - 1][r];
        EXPECT_EQ(page.rows[r][col].sortKey, n);
        EXPECT_EQ(page.rows[r][col].text,
                  col == 2 && perNumber ? ShareText(n, draws) : testing::WithCommas(static_cast<std::int64_t>(n)));
        if (page.rows[r][col].marked && (col == 1 || !perNumber)) marked.emplace_back(r, col);
      }
      EXPECT_EQ(page.bars.back().values[r], page.rows[r][perNumber ? 1 : page.rows[r].size() - 1].sortKey);
    }
    EXPECT_EQ(marked, c.marked) << c.chartName;
    if (c.game == Game::Lot6) {
      // Numbers 1, 6 and 43 came up in 281, 312 and 290 of the 2037 draws.
      for (auto [row, count, share] : {std::tuple{0, "281", "13.8%"}, std::tuple{5, "312", "15.3%"}, std::tuple{42, "290", "14.2%"}}) {
        EXPECT_EQ(page.rows[static_cast<std::size_t>(row)][1].text, count);
        EXPECT_EQ(page.rows[static_cast<std::size_t>(row)][2].text, share);
      }
    }
  }
  const HistoryPage empty = BuildHistoryPage(Game::Mini, {}, "1.2.3.4.5", {});
  EXPECT_FALSE(empty.hasData);
  EXPECT_EQ(empty.lines, std::vector<std::string>{text::kNoData});
}

TEST(HistoryPage, SinceLastComesFromTheDraws) {
  // The last two Mini Loto draws of the real history: 1353 6.11.13.14.18, 1352 5.8.10.11.29.
  const std::vector<Draw> draws = ParseHistory(
      testing::ReadBytes(std::filesystem::path(NUMIRA_DRAWS_DIR) / "miniloto.csv"), Game::Mini, "miniloto.csv");
  const HistoryPage page = BuildHistoryPage(Game::Mini, ReadReal("MiniCorrect.txt", nullptr), "", draws);
  ASSERT_EQ(page.columns.back(), "前回から");
  const auto since = [&](int n) { return page.rows[static_cast<std::size_t>(n - 1)][3]; };
  EXPECT_EQ(since(6).text, "0");
  EXPECT_EQ(since(18).text, "0");
  EXPECT_EQ(since(11).text, "0");
  EXPECT_EQ(since(29).text, "1");
  EXPECT_EQ(since(29).sortKey, 1u);
  EXPECT_EQ(since(5).text, "1");
  for (int n = 1; n <= 31; ++n) EXPECT_FALSE(since(n).text.empty()) << n;
}

}  // namespace
}  // namespace numira
