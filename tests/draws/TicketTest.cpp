// Tickets against the real histories: each row's prizes in every draw are counted here
// from the CSV text on their own (strings, not the program's types), and the latest
// draw's prize is a literal read off the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "Ticket.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

std::vector<Draw> Real(Game game) {
  return ParseHistory(testing::ReadBytes(fs::path(NUMIRA_DRAWS_DIR) / HistoryFileName(game)), game, GameId(game));
}

std::set<int> LotoSet(const std::string& dotted) {
  std::set<int> numbers;
  std::stringstream in(dotted);
  std::string part;
  while (std::getline(in, part, '.')) numbers.insert(std::stoi(part));
  return numbers;
}

std::string SortedText(std::string s) {
  std::sort(s.begin(), s.end());
  return s;
}

// The prize of one draw, worked out from the stored text alone. `ticket`: digits as a
// string ("286"), or Loto numbers dotted ("7.12.20.23.27.29"). No real draw records its
// bonus number, so a Loto draw one number short of all reads "bonus unknown".
Prize Expected(Game game, TicketType type, const std::string& ticket, const std::string& drawn) {
  if (!IsLoto(game)) {
    switch (type) {
      case TicketType::Straight: return ticket == drawn ? Prize::Straight : Prize::None;
      case TicketType::Box: return SortedText(ticket) == SortedText(drawn) ? Prize::Box : Prize::None;
      case TicketType::Set:
        return ticket == drawn ? Prize::SetStraight : SortedText(ticket) == SortedText(drawn) ? Prize::SetBox : Prize::None;
      case TicketType::Mini: return drawn.substr(1) == ticket ? Prize::Mini : Prize::None;
    }
  }
  const std::set<int> mine = LotoSet(ticket), theirs = LotoSet(drawn);
  int same = 0;
  for (int n : mine) same += theirs.count(n) ? 1 : 0;
  const int all = game == Game::Mini ? 5 : 6;
  if (same == all) return Prize::First;
  if (same == all - 1) return Prize::ThirdBonusUnknown;
  if (same == all - 2) return Prize::Fourth;
  if (same == all - 3 && game == Game::Lot6) return Prize::Fifth;
  return Prize::None;
}

struct TicketCase {
  const char* name;
  Game game;
  TicketType type;
  std::string typed;
  std::string canonical;  // the same ticket as Expected reads it
  Prize latest;           // in the latest draw of the real history
  int wins;               // -1: not known beforehand (only counted)
};

std::vector<TicketCase> TicketCases() {
  using T = TicketType;
  // Latest draws: Numbers 3 7054 "286", Numbers 4 7054 "9577", Mini Loto 1353
  // 6.11.13.14.18, Loto 6 2037 7.12.20.23.27.29 (none with a bonus number).
  return {
      {"n3_straight", Game::Num3, T::Straight, "286", "286", Prize::Straight, 12},
      {"n3_straight_wide_digits", Game::Num3, T::Straight, "２８６", "286", Prize::Straight, 12},
      {"n3_straight_leading_zero", Game::Num3, T::Straight, "084", "084", Prize::None, -1},
      {"n3_straight_spaced", Game::Num3, T::Straight, " 0 8 4 ", "084", Prize::None, -1},
      {"n3_box", Game::Num3, T::Box, "628", "628", Prize::Box, -1},
      {"n3_box_in_order", Game::Num3, T::Box, "286", "286", Prize::Box, -1},
      {"n3_box_double_digit", Game::Num3, T::Box, "112", "112", Prize::None, -1},
      {"n3_set_in_order", Game::Num3, T::Set, "286", "286", Prize::SetStraight, -1},
      {"n3_set_other_order", Game::Num3, T::Set, "862", "862", Prize::SetBox, -1},
      {"n3_mini", Game::Num3, T::Mini, "86", "86", Prize::Mini, -1},
      {"n3_mini_miss", Game::Num3, T::Mini, "28", "28", Prize::None, -1},
      {"n4_straight", Game::Num4, T::Straight, "9577", "9577", Prize::Straight, -1},
      {"n4_box", Game::Num4, T::Box, "7597", "7597", Prize::Box, -1},
      {"n4_set", Game::Num4, T::Set, "7759", "7759", Prize::SetBox, -1},
      {"n4_straight_miss", Game::Num4, T::Straight, "0000", "0000", Prize::None, -1},
      {"mini_first", Game::Mini, T::Straight, "6 11 13 14 18", "6.11.13.14.18", Prize::First, -1},
      {"mini_four_bonus_unknown", Game::Mini, T::Straight, "18.14.13.11.30", "11.13.14.18.30", Prize::ThirdBonusUnknown, -1},
      {"mini_fourth", Game::Mini, T::Straight, "06,11,13,01,02", "1.2.6.11.13", Prize::Fourth, -1},
      {"mini_none", Game::Mini, T::Straight, "6 11 1 2 3", "1.2.3.6.11", Prize::None, -1},
      {"loto6_first_wide", Game::Lot6, T::Straight, "７　１２　２０　２３　２７　２９", "7.12.20.23.27.29", Prize::First, -1},
      {"loto6_five", Game::Lot6, T::Straight, "1.7.12.20.23.27", "1.7.12.20.23.27", Prize::ThirdBonusUnknown, -1},
      {"loto6_fourth", Game::Lot6, T::Straight, "1 2 7 12 20 23", "1.2.7.12.20.23", Prize::Fourth, -1},
      {"loto6_fifth", Game::Lot6, T::Straight, "1 8 19 27 33 42", "1.8.19.27.33.42", Prize::None, -1},
      {"loto6_fifth_latest", Game::Lot6, T::Straight, "1 2 3 7 12 20", "1.2.3.7.12.20", Prize::Fifth, -1},
  };
}

class TicketTable : public ::testing::TestWithParam<TicketCase> {};
void PrintTo(const TicketCase& c, std::ostream* os) { *os << c.name; }

TEST_P(TicketTable, WinsWhatTheDrawsSay) {
  const TicketCase& c = GetParam();
  const TicketReading reading = ReadTicket(c.typed, c.game, c.type);
  ASSERT_EQ(reading.fault, TicketFault::None) << reading.item;
  const std::vector<Draw> draws = Real(c.game);
  const TicketCheck check = CheckTicket(*reading.ticket, draws);
  ASSERT_TRUE(check.latest);
  EXPECT_EQ(check.latest->number, draws.size());
  EXPECT_EQ(check.latest->prize, c.latest);

  // Every draw, counted from the CSV text, newest first.
  const std::vector<std::string> history = testing::DrawHistory((std::string(GameId(c.game)) + ".csv").c_str());
  std::vector<std::pair<std::uint32_t, Prize>> expected;
  for (std::size_t i = history.size(); i-- > 0;)
    if (const Prize p = Expected(c.game, c.type, c.canonical, history[i]); p != Prize::None)
      expected.emplace_back(static_cast<std::uint32_t>(i + 1), p);
  ASSERT_EQ(check.wins.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(check.wins[i].number, expected[i].first);
    EXPECT_EQ(check.wins[i].prize, expected[i].second) << check.wins[i].number;
  }
  if (c.wins >= 0) {
    EXPECT_EQ(check.wins.size(), static_cast<std::size_t>(c.wins));
  }
}

INSTANTIATE_TEST_SUITE_P(RealDraws, TicketTable, ::testing::ValuesIn(TicketCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ticket, BonusNumberDecidesSecondAndThird) {
  const std::vector<Draw> draws = ParseHistory(
      "draw_no,date,numbers,bonus\n1,2025-09-29,1.2.3.4.5.6,7\n2,2025-10-02,1.2.3.4.5.6\n3,2025-10-06,1.2.3.4.5.6,9\n",
      Game::Lot6, "loto6.csv");
  const auto prize = [&](const char* typed, std::size_t draw) {
    return PrizeOf(*ReadTicket(typed, Game::Lot6, TicketType::Straight).ticket, draws[draw]);
  };
  EXPECT_EQ(prize("1 2 3 4 5 7", 0), Prize::Second);
  EXPECT_EQ(prize("1 2 3 4 5 8", 0), Prize::Third);
  EXPECT_EQ(prize("1 2 3 4 5 7", 1), Prize::ThirdBonusUnknown);
  EXPECT_EQ(prize("1 2 3 4 7 9", 2), Prize::Fourth);  // the bonus counts only with five
  const std::vector<Draw> mini =
      ParseHistory("draw_no,date,numbers,bonus\n1,2025-09-30,2.5.9.17.31,20\n", Game::Mini, "miniloto.csv");
  EXPECT_EQ(PrizeOf(*ReadTicket("2 5 9 17 20", Game::Mini, TicketType::Straight).ticket, mini[0]), Prize::Second);
  EXPECT_EQ(PrizeOf(*ReadTicket("2 5 9 17 21", Game::Mini, TicketType::Straight).ticket, mini[0]), Prize::Third);
  EXPECT_EQ(PrizeOf(*ReadTicket("2 5 9 20 21", Game::Mini, TicketType::Straight).ticket, mini[0]), Prize::Fourth);
}

// Loto 7 pays six tiers: 7; 6 and either bonus number; 6; 5; 4; 3 and a bonus number.
// Draw 1 of the real history: 7.10.12.17.23.28.34, bonus 3.15.
TEST(Ticket, Loto7TiersWithItsTwoBonusNumbers) {
  const std::vector<Draw> draws = ParseHistory(
      "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.15\n2,2013-04-12,7.10.12.17.23.28.34\n", Game::Lot7,
      "loto7.csv");
  const std::tuple<const char*, std::size_t, Prize> rows[] = {
      {"7 10 12 17 23 28 34", 0, Prize::First},
      {"7 10 12 17 23 28 3", 0, Prize::Second},
      {"7 10 12 17 23 28 15", 0, Prize::Second},
      {"7 10 12 17 23 28 1", 0, Prize::Third},
      {"7 10 12 17 23 3 15", 0, Prize::Fourth},   // the bonus counts only with six
      {"7 10 12 17 1 2 3", 0, Prize::Fifth},
      {"7 10 12 1 2 4 15", 0, Prize::Sixth},
      {"7 10 12 1 2 3 15", 0, Prize::Sixth},
      {"7 10 12 1 2 4 5", 0, Prize::None},
      {"7 10 1 2 3 4 15", 0, Prize::None},
      {"7 10 12 17 23 28 1", 1, Prize::ThirdBonusUnknown},
      {"7 10 12 1 2 4 5", 1, Prize::SixthBonusUnknown},
      {"7 10 12 17 1 2 4", 1, Prize::Fifth},
  };
  for (const auto& [typed, draw, prize] : rows) {
    const TicketReading r = ReadTicket(typed, Game::Lot7, TicketType::Box);  // a Loto ticket has no type
    ASSERT_TRUE(r.ticket) << typed;
    EXPECT_EQ(r.ticket->type, TicketType::Straight);
    EXPECT_EQ(PrizeOf(*r.ticket, draws[draw]), prize) << typed << " in draw " << draw + 1;
  }
  EXPECT_EQ(ReadTicket("7 10 12 17 23 28 38", Game::Lot7, TicketType::Straight).fault, TicketFault::OutOfRange);
  EXPECT_EQ(ReadTicket("7 10 12 17 23 28", Game::Lot7, TicketType::Straight).fault, TicketFault::WrongCount);
}

struct FaultCase {
  const char* name;
  Game game;
  TicketType type;
  std::string typed;
  TicketFault fault;
  std::string item;
  int count, expected;
};

std::vector<FaultCase> FaultCases() {
  using T = TicketType;
  using F = TicketFault;
  return {
      {"empty", Game::Num3, T::Straight, "  　 ", F::Empty, "", 0, 0},
      {"n3_two_digits", Game::Num3, T::Straight, "84", F::WrongCount, "", 2, 3},
      {"n3_mini_three_digits", Game::Num3, T::Mini, "084", F::WrongCount, "", 3, 2},
      {"n4_three_digits", Game::Num4, T::Box, "123", F::WrongCount, "", 3, 4},
      {"n3_letter", Game::Num3, T::Straight, "08a", F::NotANumber, "a", 0, 0},
      {"n3_kanji", Game::Num3, T::Straight, "08四", F::NotANumber, "四", 0, 0},
      {"n3_box_one_digit", Game::Num3, T::Box, "777", F::OneDigitBox, "", 0, 0},
      {"n4_set_one_digit", Game::Num4, T::Set, "１１１１", F::OneDigitBox, "", 0, 0},
      {"mini_four_numbers", Game::Mini, T::Straight, "1 2 3 4", F::WrongCount, "", 4, 5},
      {"loto6_seven_numbers", Game::Lot6, T::Straight, "1 2 3 4 5 6 7", F::WrongCount, "", 7, 6},
      {"mini_above_31", Game::Mini, T::Straight, "1 2 3 4 32", F::OutOfRange, "32", 0, 31},
      {"loto6_zero", Game::Lot6, T::Straight, "0 1 2 3 4 5", F::OutOfRange, "0", 0, 43},
      {"loto6_run_together", Game::Lot6, T::Straight, "010819273342", F::OutOfRange, "010819273342", 0, 43},
      {"loto6_repeated", Game::Lot6, T::Straight, "1 2 3 4 5 05", F::Repeated, "5", 0, 0},
      {"loto6_sign", Game::Lot6, T::Straight, "1 2 3 4 5 +6", F::NotANumber, "+", 0, 0},
      {"bingo5_two_in_one_square", Game::Bingo5, T::Straight, "1 2 13 17 23 28 34 40", F::Repeated, "2", 0, 0},
      {"bingo5_two_in_last_square", Game::Bingo5, T::Straight, "1 9 13 17 23 28 36 40", F::Repeated, "40", 0, 0},
      {"bingo5_above_40", Game::Bingo5, T::Straight, "1 9 13 17 23 28 34 41", F::OutOfRange, "41", 0, 40},
      {"bingo5_seven_numbers", Game::Bingo5, T::Box, "1 9 13 17 23 28 34", F::WrongCount, "", 7, 8},
  };
}

class FaultTable : public ::testing::TestWithParam<FaultCase> {};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

TEST_P(FaultTable, SaysWhatIsWrong) {
  const FaultCase& c = GetParam();
  const TicketReading r = ReadTicket(c.typed, c.game, c.type);
  EXPECT_FALSE(r.ticket);
  EXPECT_EQ(r.fault, c.fault);
  EXPECT_EQ(r.item, c.item);
  EXPECT_EQ(r.count, c.count);
  EXPECT_EQ(r.expected, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Typed, FaultTable, ::testing::ValuesIn(FaultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace numira
