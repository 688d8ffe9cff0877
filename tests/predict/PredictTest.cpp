// Pools, the generator, the deceleration schedule and the three Loto draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "CandidatePool.h"
#include "LotoDraw.h"
#include "RollRandom.h"
#include "RollState.h"

namespace numira {
namespace {

TEST(RollRandom, KnownSequenceAfterSeedingWithOne) {
  RollRandom r;
  r.Seed(1);
  std::vector<int> got;
  for (int i = 0; i < 5; ++i) got.push_back(r.Next());
  EXPECT_EQ(got, (std::vector<int>{41, 18467, 6334, 26500, 19169}));
  r.Seed(1);
  EXPECT_EQ(r.Below(1000), 41);
}

TEST(RollRandom, WrapsModulo32BitsAndStaysIn15Bits) {
  RollRandom r;
  r.Seed(0xFFFFFFFFu);
  for (int i = 0; i < 100000; ++i) {
    const int v = r.Next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
}

TEST(Deceleration, NineteenTicksFromTheStopPress) {
  RollState s;
  s.stopCounter = 0;
  s.rollInterval = 10;
  DecelerationStep(s);  // rolling freely: nothing changes
  EXPECT_EQ(s.rollInterval, 10);
  s.stopCounter = 1;  // the stop press
  std::vector<int> intervals;
  while (!RollFinished(s)) {
    DecelerationStep(s);
    intervals.push_back(s.rollInterval);
  }
  EXPECT_EQ(intervals, (std::vector<int>{20, 35, 55, 80, 110, 145, 185, 230, 280, 335, 395, 460, 530, 605, 685, 770,
                                         860, 955, 1055}));
  EXPECT_EQ(s.stopCounter, 20);
}

WinningList NumbersList() {
  WinningList l;
  l.neverWonEntries = {"894"};
  l.wonEntries = {"000", "001", "002", "003", "004"};
  l.winCounts = {0, 4, 5, 6, 4294967295u};
  return l;
}

TEST(NumbersPool, UnfilteredHoldsEveryNumberAscending) {
  const auto p3 = BuildNumbersPool(Game::Num3, false, FilterChoice::NeverWon, {});
  ASSERT_EQ(p3.size(), 1000u);
  EXPECT_EQ(p3.front(), "000");
  EXPECT_EQ(p3[7], "007");
  EXPECT_EQ(p3.back(), "999");
  const auto p4 = BuildNumbersPool(Game::Num4, false, FilterChoice::FiveOrMore, NumbersList());
  ASSERT_EQ(p4.size(), 10000u);
  EXPECT_EQ(p4.front(), "0000");
  EXPECT_EQ(p4.back(), "9999");
  EXPECT_TRUE(std::is_sorted(p4.begin(), p4.end()));
}

TEST(NumbersPool, FilterChoices) {
  const WinningList l = NumbersList();
  EXPECT_EQ(BuildNumbersPool(Game::Num3, true, FilterChoice::NeverWon, l), (CandidatePool{"894"}));
  // Counts below 5 include 0; 5 or more include exactly 5 and a negative count.
  EXPECT_EQ(BuildNumbersPool(Game::Num3, true, FilterChoice::OneToFour, l), (CandidatePool{"000", "001"}));
  EXPECT_EQ(BuildNumbersPool(Game::Num3, true, FilterChoice::FiveOrMore, l), (CandidatePool{"002", "003", "004"}));
  EXPECT_TRUE(BuildNumbersPool(Game::Num3, true, FilterChoice::NeverWon, WinningList{}).empty());
}

TEST(CandidateCounts, WhatEachFilterLeaves) {
  WinningList n;
  n.neverWonEntries = {"001", "002"};
  n.wonEntries = {"123", "456", "789", "000"};
  n.winCounts = {1, 5, 4, 7};
  WinningList mini;
  // The second is not in the drawn texts' form: no draw ever matches it.
  mini.wonEntries = {"1.2.3.4.5", "01.02.03.04.06", "3.12.17.25.31"};
  mini.winCounts = {1, 1, 2};
  WinningList lot7;
  lot7.wonEntries = {"2.8.15.17.25.28.34"};
  WinningList bingo5;
  bingo5.wonEntries = {"1.10.13.19.23.28.35.37", "1.6.11.16.21.26.31.41", "5.10.15.20.25.30.35.40"};
  const struct {
    Game game;
    FilterChoice choice;
    const WinningList& list;
    std::int64_t count;
  } rows[] = {
      {Game::Num3, FilterChoice::NeverWon, n, 2},
      {Game::Num3, FilterChoice::OneToFour, n, 2},
      {Game::Num4, FilterChoice::FiveOrMore, n, 2},
      {Game::Mini, FilterChoice::WonAtLeastOnce, mini, 3},
      {Game::Mini, FilterChoice::NeverWon, mini, 169911 - 2},
      {Game::Lot6, FilterChoice::NeverWon, mini, 6096454},  // no entry has six numbers
      {Game::Mini, FilterChoice::NeverWon, WinningList{}, 0},  // no list: no roll starts
      {Game::Num3, FilterChoice::NeverWon, WinningList{}, 0},
      {Game::Lot7, FilterChoice::NeverWon, lot7, 10295472 - 1},
      {Game::Bingo5, FilterChoice::NeverWon, bingo5, 390625 - 2},  // "1.6.11.16.21.26.31.41" is no card
      {Game::Bingo5, FilterChoice::WonAtLeastOnce, bingo5, 3},
  };
  for (const auto& r : rows) EXPECT_EQ(CountCandidates(r.game, r.choice, r.list), r.count) << &r - rows;
}

TEST(LotoDraw, FreeDrawsAreDistinctAndInRange) {
  RollRandom r;
  r.Seed(12345);
  for (Game game : {Game::Mini, Game::Lot6}) {
    const GameRules& rules = RulesOf(game);
    for (int i = 0; i < 2000; ++i) {
      Combination c = DrawFree(r, game);
      std::set<int> distinct(c.begin(), c.begin() + rules.count);
      ASSERT_EQ(distinct.size(), static_cast<std::size_t>(rules.count));
      ASSERT_GE(*distinct.begin(), 1);
      ASSERT_LE(*distinct.rbegin(), rules.largest);
    }
  }
}

TEST(LotoDraw, Loto7DrawsSevenDistinctOfThirtySevenAndBingo5OneOfEachSquare) {
  RollRandom r;
  r.Seed(4242);
  std::set<int> seen7, seenLast;
  for (int i = 0; i < 3000; ++i) {
    Combination c = DrawFree(r, Game::Lot7);
    const std::set<int> distinct(c.begin(), c.begin() + 7);
    ASSERT_EQ(distinct.size(), 7u);
    ASSERT_GE(*distinct.begin(), 1);
    ASSERT_LE(*distinct.rbegin(), 37);
    EXPECT_EQ(c[7], 0);
    seen7.insert(distinct.begin(), distinct.end());
    const Combination b = DrawFree(r, Game::Bingo5);
    for (int k = 0; k < 8; ++k) {
      ASSERT_GE(b[static_cast<std::size_t>(k)], 5 * k + 1) << k;
      ASSERT_LE(b[static_cast<std::size_t>(k)], 5 * k + 5) << k;
    }
    seenLast.insert(b[7]);
  }
  EXPECT_EQ(seen7.size(), 37u);  // every number comes up
  EXPECT_EQ(seenLast, (std::set<int>{36, 37, 38, 39, 40}));
  // One call of the generator a square, in order: seeded with 1 the results are 41, 18467,
  // 6334, 26500, 19169, ...
  r.Seed(1);
  const Combination b = DrawFree(r, Game::Bingo5);
  EXPECT_EQ(b[0], 41 % 5 + 1);
  EXPECT_EQ(b[1], 5 + 18467 % 5 + 1);
  EXPECT_EQ(b[2], 10 + 6334 % 5 + 1);
  EXPECT_EQ(b[3], 15 + 26500 % 5 + 1);
  EXPECT_EQ(b[4], 20 + 19169 % 5 + 1);
}

TEST(NeverWonSet, Bingo5AndLoto7DrawsAvoidTheirLists) {
  // Every ビンゴ５ card whose first square is 1 to 4 has won: a never-won draw starts with 5.
  CandidatePool pool;
  Combination c{};
  for (int code = 0; code < 390625; ++code) {
    int rest = code;
    for (int k = 0; k < 8; ++k, rest /= 5) c[static_cast<std::size_t>(k)] = 5 * k + rest % 5 + 1;
    if (c[0] != 5) pool.push_back(FormatEntry(c, Game::Bingo5));
  }
  const NeverWonSet set(pool, Game::Bingo5);
  EXPECT_EQ(set.size(), 312500u);
  EXPECT_FALSE(set.CoversAll());
  RollRandom r;
  r.Seed(3);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(DrawNeverWon(r, Game::Bingo5, set)[0], 5);
  const NeverWonSet lot7({"2.8.15.17.25.28.34", "1.2.3.4.5.6.38"}, Game::Lot7);
  EXPECT_EQ(lot7.size(), 1u);  // 38 is out of range
  EXPECT_TRUE(lot7.Contains({2, 8, 15, 17, 25, 28, 34}));
  EXPECT_FALSE(lot7.Contains({2, 8, 15, 17, 25, 28, 35}));
}

TEST(LotoDraw, FreeDrawFollowsTheGeneratorInOrder) {
  // Seeded with 1 the results are 41, 18467, 6334, 26500, 19169, ...: modulo 31 plus 1
  // gives 11, 23, 11 (drawn again: already there), 27, 12, then the sixth result.
  RollRandom r;
  r.Seed(1);
  const Combination c = DrawFree(r, Game::Mini);
  RollRandom check;
  check.Seed(1);
  for (int i = 0; i < 5; ++i) check.Next();
  const int fifth = check.Next() % 31 + 1;
  EXPECT_EQ((std::vector<int>(c.begin(), c.begin() + 5)), (std::vector<int>{11, 23, 27, 12, fifth}));
}

TEST(LotoDraw, PastCombinationReadLikeAtoi) {
  RollRandom r;
  r.Seed(1);
  EXPECT_EQ(DrawPast(r, {"3.12.17.25.31"}, Game::Mini), (Combination{3, 12, 17, 25, 31, 0}));
  EXPECT_EQ(DrawPast(r, {"31.2x.7.9.10.99"}, Game::Mini), (Combination{31, 2, 7, 9, 10, 0}));
  // A short entry never reads past its end: the missing numbers are 0.
  EXPECT_EQ(DrawPast(r, {"1.2"}, Game::Lot6), (Combination{1, 2, 0, 0, 0, 0}));
  EXPECT_EQ(DrawPast(r, {""}, Game::Mini), (Combination{}));
}

TEST(NeverWonSet, OnlyTheExactFormOfADrawnTextMatches) {
  const CandidatePool pool{"1.2.3.4.5", "01.2.3.4.6", "5.4.3.2.7", "1.2.3.4", "1.2.3.4.5.6", "1.2.3.4.32", "1.2.3.4.8 ",
                           "1.1.2.3.4", "2.3.4.5.6"};
  const NeverWonSet set(pool, Game::Mini);
  EXPECT_EQ(set.size(), 2u);
  EXPECT_TRUE(set.Contains({1, 2, 3, 4, 5}));
  EXPECT_TRUE(set.Contains({2, 3, 4, 5, 6}));
  EXPECT_FALSE(set.Contains({1, 2, 3, 4, 6}));
  EXPECT_FALSE(set.Contains({2, 3, 4, 5, 7}));
  EXPECT_FALSE(set.Contains({1, 2, 3, 4, 8}));
  EXPECT_FALSE(set.CoversAll());
}

TEST(NeverWonSet, DrawsAvoidEveryListedCombination) {
  // A list of most Mini combinations: every draw must still miss it.
  CandidatePool pool;
  Combination c{};
  for (c[0] = 1; c[0] <= 27; ++c[0])
    for (c[1] = c[0] + 1; c[1] <= 28; ++c[1])
      for (c[2] = c[1] + 1; c[2] <= 29; ++c[2])
        for (c[3] = c[2] + 1; c[3] <= 30; ++c[3])
          for (c[4] = c[3] + 1; c[4] <= 31; ++c[4])
            if (c[4] != 31 || c[0] != 1) pool.push_back(FormatEntry(c, Game::Mini));
  const NeverWonSet set(pool, Game::Mini);
  EXPECT_FALSE(set.CoversAll());
  RollRandom r;
  r.Seed(7);
  for (int i = 0; i < 50; ++i) {
    const Combination d = DrawNeverWon(r, Game::Mini, set);
    EXPECT_EQ(d[0], 1);
    EXPECT_EQ(d[4], 31);
  }
  pool.push_back("1.2.3.4.31");
  pool.push_back("1.2.3.5.31");  // still missing others: not yet all
  EXPECT_FALSE(NeverWonSet(pool, Game::Mini).CoversAll());
}

TEST(Combinations, FormatAndSort) {
  Combination c{43, 1, 19, 8, 27, 33};
  SortCombination(c, Game::Lot6);
  EXPECT_EQ(FormatEntry(c, Game::Lot6), "1.8.19.27.33.43");
  Combination m{7, 7, 3, 0, 0, 0};
  SortCombination(m, Game::Mini);
  EXPECT_EQ(FormatEntry(m, Game::Mini), "0.0.3.7.7");
}

}  // namespace
}  // namespace numira
