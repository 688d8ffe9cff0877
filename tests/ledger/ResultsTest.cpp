// Results, deadlines, totals and the next draw: the real draws and prizes of the frozen
// fixtures; amounts and dates are literals read off the files and the calendar.
#include <gtest/gtest.h>

#include "PurchaseSlip.h"
#include "Results.h"
#include "Schedule.h"
#include "FrozenGames.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

const AllGames& Data() { return testing::FrozenGames(); }

using testing::Slip;

struct ResultCase {
  const char* name;
  Purchase purchase;
  std::vector<std::string> texts;  // ResultText of each line in each draw, draw by draw
};

std::vector<ResultCase> ResultCases() {
  using T = TicketType;
  // Loto 6 2036 (2025-09-22) 7.10.17.26.35.42; 2037 (2025-09-25) 7.12.20.23.27.29, 3等
  // 252,100円, 4等 5,300円: the last draw in the data. Numbers 3 7054 286; ビンゴ５ 484.
  // Loto 7 644 1.11.12.14.20.26.29 bonus 2.5: 2等 3,086,600円, 3等 642,500円, 6等 900円; 691
  // has no prizes in the data.
  return {
      {"loto6_fourth_two_units", Slip(Game::Lot6, {"1 2 7 12 20 23"}, 2, 2037, 1), {"4等 10,600円"}},
      {"loto6_five_bonus_not_recorded", Slip(Game::Lot6, {"1 7 12 20 23 27"}, 2, 2037, 1),
       {"3等（ボーナス数字不明）（金額未発表）"}},
      {"loto6_over_a_draw_to_come",
       Slip(Game::Lot6, {"1 2 7 12 20 23", "1 2 3 4 5 6"}, 1, 2036, 3),
       {"はずれ", "はずれ", "4等 5,300円", "はずれ", "未抽せん", "未抽せん"}},
      {"loto7_second", Slip(Game::Lot7, {"2 11 12 14 20 26 29"}, 1, 644, 1), {"2等 3,086,600円"}},
      {"loto7_third_and_sixth_two_bonus", Slip(Game::Lot7, {"3 11 12 14 20 26 29", "2 5 1 11 12 30 31"}, 3, 644, 1),
       {"3等 1,927,500円", "6等 2,700円"}},
      {"loto7_no_prizes_yet", Slip(Game::Lot7, {"8 10 20 22 23 27 2"}, 1, 691, 1), {"2等（金額未発表）"}},
      {"numbers_without_prize_table", Slip(Game::Num3, {"268"}, 1, 7054, 1, T::Box), {"ボックス（金額未発表）"}},
      {"bingo5_without_prize_table", Slip(Game::Bingo5, {"1 9 13 17 23 28 34 40"}, 1, 484, 1), {"1等（金額未発表）"}},
  };
}

class ResultTable : public ::testing::TestWithParam<ResultCase> {};
void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ResultTable, EachLineInEachDraw) {
  const ResultCase& c = GetParam();
  const std::vector<LineResult> results = ResultsOf(c.purchase, Data()[GameIndex(c.purchase.game)], Date{2025, 10, 1});
  ASSERT_EQ(results.size(), c.texts.size());
  for (std::size_t i = 0; i < results.size(); ++i)
    EXPECT_EQ(ResultText(results[i]), c.texts[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(RealDraws, ResultTable, ::testing::ValuesIn(ResultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct DeadlineCase {
  Date draw, deadline;
};

class DeadlineTable : public ::testing::TestWithParam<DeadlineCase> {};
void PrintTo(const DeadlineCase& c, std::ostream* os) { *os << IsoDate(c.draw); }

TEST_P(DeadlineTable, OneYearFromTheDayAfter) { EXPECT_EQ(ClaimDeadline(GetParam().draw), GetParam().deadline); }

INSTANTIATE_TEST_SUITE_P(Calendar, DeadlineTable,
                         ::testing::Values(DeadlineCase{{2025, 9, 25}, {2026, 9, 25}},
                                           DeadlineCase{{2025, 12, 31}, {2026, 12, 31}},
                                           DeadlineCase{{2025, 1, 31}, {2026, 1, 31}},
                                           DeadlineCase{{2025, 4, 30}, {2026, 4, 30}},
                                           DeadlineCase{{2023, 2, 28}, {2024, 2, 29}},
                                           DeadlineCase{{2024, 2, 28}, {2025, 2, 28}},
                                           DeadlineCase{{2024, 2, 29}, {2025, 2, 28}},
                                           DeadlineCase{{2027, 2, 28}, {2028, 2, 29}},
                                           DeadlineCase{{2028, 3, 1}, {2029, 3, 1}}));

struct NextCase {
  const char* name;
  Game game;
  Date today;
  std::uint32_t number;
  Date date;
  bool estimate;
};

class NextDrawTable : public ::testing::TestWithParam<NextCase> {};
void PrintTo(const NextCase& c, std::ostream* os) { *os << c.name; }

TEST_P(NextDrawTable, CountsAlongTheDrawDays) {
  const NextCase& c = GetParam();
  const std::optional<NextDraw> next = NextDrawOf(c.game, Data()[GameIndex(c.game)].draws, c.today);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->number, c.number);
  EXPECT_EQ(next->date, c.date);
  EXPECT_EQ(next->estimate, c.estimate);
}

// Latest draws in the data: Loto 6 2037 Thu 2025-09-25; Loto 7 691 Fri 2026-08-21; ビンゴ５
// 484 Wed 2026-08-19; Numbers 3 7054.
INSTANTIATE_TEST_SUITE_P(
    Calendar, NextDrawTable,
    ::testing::Values(NextCase{"loto6_next_day", Game::Lot6, {2025, 9, 26}, 2038, {2025, 9, 29}, false},
                      NextCase{"loto6_on_draw_day", Game::Lot6, {2025, 9, 29}, 2038, {2025, 9, 29}, false},
                      NextCase{"loto6_day_of_latest", Game::Lot6, {2025, 9, 25}, 2038, {2025, 9, 29}, false},
                      NextCase{"loto6_two_weeks_behind", Game::Lot6, {2025, 10, 9}, 2041, {2025, 10, 9}, true},
                      NextCase{"loto6_over_new_year", Game::Lot6, {2025, 12, 30}, 2065, {2026, 1, 5}, true},
                      NextCase{"loto7_next_friday", Game::Lot7, {2026, 8, 24}, 692, {2026, 8, 28}, false},
                      NextCase{"bingo5_a_week_on", Game::Bingo5, {2026, 8, 26}, 485, {2026, 8, 26}, false},
                      NextCase{"bingo5_eight_days_on", Game::Bingo5, {2026, 8, 27}, 486, {2026, 9, 2}, true},
                      NextCase{"numbers3_over_weekend", Game::Num3, {2026, 8, 22}, 7055, {2026, 8, 24}, false},
                      NextCase{"miniloto_eight_days_behind", Game::Mini, {2025, 10, 1}, 1355, {2025, 10, 7}, true}));

TEST(Schedule, NoDrawsOverNewYear) {
  // 2025-12-31 Wed, 2026-01-01 Thu, 01-02 Fri, 01-05 Mon.
  EXPECT_EQ(Weekday({2025, 12, 31}), 3);
  EXPECT_EQ(Weekday({2026, 1, 2}), 5);
  EXPECT_FALSE(IsDrawDay(Game::Num3, {2025, 12, 31}));
  EXPECT_FALSE(IsDrawDay(Game::Bingo5, {2025, 12, 31}));
  EXPECT_FALSE(IsDrawDay(Game::Lot6, {2026, 1, 1}));
  EXPECT_FALSE(IsDrawDay(Game::Lot7, {2026, 1, 2}));
  EXPECT_TRUE(IsDrawDay(Game::Num3, {2025, 12, 30}));
  EXPECT_TRUE(IsDrawDay(Game::Num3, {2026, 1, 5}));
  EXPECT_FALSE(IsDrawDay(Game::Num3, {2026, 1, 3}));  // a Saturday anyway
  EXPECT_TRUE(IsDrawDay(Game::Lot7, {2026, 1, 9}));
  EXPECT_EQ(DateOfDay(DayNumber({2024, 2, 29}) + 1), (Date{2024, 3, 1}));
  EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
  EXPECT_EQ(DayNumber({2000, 3, 1}) - DayNumber({2000, 2, 28}), 2);
  EXPECT_FALSE(NextDrawOf(Game::Lot6, {}, {2026, 1, 1}));
  EXPECT_EQ(DrawDateOf(Game::Lot6, Data()[GameIndex(Game::Lot6)].draws, 2036), (Date{2025, 9, 22}));
  EXPECT_EQ(DrawDateOf(Game::Lot6, Data()[GameIndex(Game::Lot6)].draws, 2039), (Date{2025, 10, 2}));
  EXPECT_EQ(DrawDateOf(Game::Lot6, Data()[GameIndex(Game::Lot6)].draws, 2037 + 2000), (Date{2045, 2, 13}));
  EXPECT_FALSE(DrawDateOf(Game::Lot6, Data()[GameIndex(Game::Lot6)].draws, 2037 + 2001));
  EXPECT_FALSE(DrawDateOf(Game::Lot6, Data()[GameIndex(Game::Lot6)].draws, 999999999));
}

TEST(Results, DeadlineSoonExpiredAndClaimed) {
  Purchase p = Slip(Game::Lot6, {"1 2 7 12 20 23"}, 1, 2037, 1);
  const GameData& d = Data()[GameIndex(Game::Lot6)];
  EXPECT_EQ(ResultsOf(p, d, {2026, 8, 25})[0].state, Deadline::Open);    // 31 days left
  EXPECT_EQ(ResultsOf(p, d, {2026, 8, 26})[0].state, Deadline::Soon);    // 30 days
  EXPECT_EQ(ResultsOf(p, d, {2026, 9, 25})[0].state, Deadline::Soon);    // the last day
  EXPECT_EQ(ResultsOf(p, d, {2026, 9, 26})[0].state, Deadline::Expired);
  p.claimed = {{0, 2037}};
  EXPECT_EQ(ResultsOf(p, d, {2026, 9, 1})[0].state, Deadline::None);
  EXPECT_TRUE(ResultsOf(p, d, {2026, 9, 1})[0].claimed);
}

TEST(Results, TotalsPerGameAndYear) {
  // Loto 6: 2 lines × 2 口 × 200円 over 2036, 2037 (2025) and 2038 (2025-09-29, to come);
  // won 4等 5,300円 × 2 in 2037. Loto 7 300円: draw 691 of 2026, nothing won.
  const std::vector<Purchase> all = {Slip(Game::Lot6, {"1 2 7 12 20 23", "1 2 3 4 5 6"}, 2, 2036, 3),
                                     Slip(Game::Lot7, {"1 2 3 4 5 6 7"}, 1, 691, 1)};
  const std::vector<Totals> totals = TotalsOf(all, Data(), {2025, 10, 1});
  ASSERT_EQ(totals.size(), 2u);
  EXPECT_EQ(totals[0].game, Game::Lot6);
  EXPECT_EQ(totals[0].year, 2025);
  EXPECT_EQ(totals[0].spent, 2400u);
  EXPECT_EQ(totals[0].won, 10600u);
  EXPECT_NEAR(*totals[0].Recovery(), 441.67, 0.01);
  EXPECT_EQ(totals[1].game, Game::Lot7);
  EXPECT_EQ(totals[1].year, 2026);
  EXPECT_EQ(totals[1].spent, 300u);
  EXPECT_EQ(totals[1].won, 0u);
  EXPECT_FALSE(Totals{}.Recovery());
}

TEST(Results, SummaryOfNewDraws) {
  const std::vector<Purchase> all = {Slip(Game::Lot6, {"1 2 7 12 20 23"}, 1, 2037, 1),
                                     Slip(Game::Lot6, {"1 2 3 4 5 6"}, 1, 2030, 10),
                                     Slip(Game::Mini, {"1 2 3 4 5"}, 1, 1000, 1)};
  std::array<std::uint32_t, 6> before{};
  for (Game g : kGames) before[GameIndex(g)] = Data()[GameIndex(g)].draws.back().number;
  before[GameIndex(Game::Lot6)] = 2036;
  EXPECT_EQ(NewDrawsSummary(all, Data(), before), "購入記録：ロト６ 第2037回 4等 1口 5,300円");
  EXPECT_EQ(NewDrawsSummary({all[1]}, Data(), before), "購入記録：当せんなし（1枚）");
  before[GameIndex(Game::Lot6)] = 2037;
  EXPECT_EQ(NewDrawsSummary(all, Data(), before), "");
}

}  // namespace
}  // namespace numira
