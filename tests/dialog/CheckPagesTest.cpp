// The check pages of the games the window does not show yet, from the frozen histories:
// ロト７ with its two bonus numbers and six tiers, ビンゴ５ with its draws and no bonus.
#include <gtest/gtest.h>

#include "CheckPage.h"
#include "DrawSeed.h"
#include "TestData.h"

namespace numira {
namespace {

std::vector<Draw> Frozen(Game game) {
  return *DrawsOfFile(std::string(NUMIRA_DRAWS_DIR) + "/" + HistoryFileName(game), game);
}
std::vector<DrawPrizes> FrozenPrizes(Game game) {
  return *PrizesOfFile(std::string(NUMIRA_PRIZES_DIR) + "/" + PrizeFileName(game), game);
}

TEST(CheckPages, Loto7ShowsBothBonusNumbersAndPaysSixTiers) {
  const std::vector<Draw> draws = Frozen(Game::Lot7);
  const std::vector<DrawPrizes> prizes = FrozenPrizes(Game::Lot7);
  const CheckPage page = BuildCheckPage(Game::Lot7, draws, prizes, "2.8.15.17.25.28.34");
  EXPECT_EQ(page.tabName, "ロト７");
  EXPECT_EQ(page.draws.columns,
            (std::vector<std::string>{"回号", "抽選日", "当せん番号", "ボーナス数字", "キャリーオーバー"}));
  ASSERT_EQ(page.draws.rows.size(), 691u);
  // Newest first: draw 691 of 2026-08-21, 8.10.20.22.23.27.37, bonus 2.9, prizes not
  // published (the prize file ends with draw 644).
  EXPECT_EQ(page.draws.rows.front(),
            (std::vector<std::string>{"691", "2026年8月21日", "08 10 20 22 23 27 37", "02 09", "（金額未発表）"}));
  EXPECT_EQ(page.draws.rows.back(),
            (std::vector<std::string>{"1", "2013年4月5日", "07 10 12 17 23 28 34", "03 15", "0円"}));
  EXPECT_EQ(page.draws.rows[691 - 644],
            (std::vector<std::string>{"644", "2025年9月19日", "01 11 12 14 20 26 29", "02 05", "390,550,165円"}));
  EXPECT_EQ(page.ticket, "02 08 15 17 25 28 34");
  EXPECT_TRUE(page.types.empty());
  // Three of draw 691 and its bonus 9: 6等 in the latest draw.
  const CheckOutcome six = CheckTypedTicket(Game::Lot7, draws, prizes, "8 10 20 1 3 4 9", 0);
  ASSERT_FALSE(six.refused);
  EXPECT_EQ(six.lines.front(), "第691回（2026年8月21日）：6等（金額未発表）");
  // Six of draw 691 and bonus 2: 2等.
  const CheckOutcome two = CheckTypedTicket(Game::Lot7, draws, prizes, "8 10 20 22 23 27 2", 0);
  EXPECT_EQ(two.lines.front(), "第691回（2026年8月21日）：2等（金額未発表）");
  EXPECT_EQ(CheckTypedTicket(Game::Lot7, draws, prizes, "8 10 20 22 23 27", 0).refused, true);
}

TEST(CheckPages, Bingo5ShowsItsDrawsWithoutBonus) {
  const CheckPage page = BuildCheckPage(Game::Bingo5, Frozen(Game::Bingo5), {}, "");
  EXPECT_EQ(page.tabName, "ビンゴ５");
  EXPECT_EQ(page.draws.columns, (std::vector<std::string>{"回号", "抽選日", "当せん番号"}));
  ASSERT_EQ(page.draws.rows.size(), 484u);
  EXPECT_EQ(page.draws.rows.front(), (std::vector<std::string>{"484", "2026年8月19日", "01 09 13 17 23 28 34 40"}));
}

}  // namespace
}  // namespace numira
