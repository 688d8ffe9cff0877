// Loto 7 and ビンゴ５ tickets against the real histories: each row's prize in the latest
// draw is a literal read off the file, and its prize in every draw is counted here from
// the CSV text on its own (numbers, bonus numbers, a 3×3 card drawn out by hand).
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "TestData.h"
#include "Ticket.h"

namespace numira {
namespace {

namespace fs = std::filesystem;


// Loto 7 by hand: 7 1等, 6+bonus 2等, 6 3等, 5 4等, 4 5等, 3+bonus 6等.
Prize Loto7(const std::set<int>& mine, const std::set<int>& drawn, const std::set<int>& bonus) {
  int same = 0, bonusSame = 0;
  for (int n : mine) same += drawn.count(n), bonusSame += bonus.count(n);
  if (same == 7) return Prize::First;
  if (same == 6) return bonusSame > 0 ? Prize::Second : Prize::Third;
  if (same == 5) return Prize::Fourth;
  if (same == 4) return Prize::Fifth;
  if (same == 3 && bonusSame > 0) return Prize::Sixth;
  return Prize::None;
}

// ビンゴ５ by hand: the card as three rows of text marks, "x" for a hit.
Prize Bingo(const std::vector<int>& mine, const std::set<int>& drawn) {
  char card[3][3];
  const int cells[8][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
  card[1][1] = 'x';
  for (int i = 0; i < 8; ++i) card[cells[i][0]][cells[i][1]] = drawn.count(mine[static_cast<std::size_t>(i)]) ? 'x' : '.';
  int lines = 0;
  for (int r = 0; r < 3; ++r) lines += card[r][0] == 'x' && card[r][1] == 'x' && card[r][2] == 'x';
  for (int c = 0; c < 3; ++c) lines += card[0][c] == 'x' && card[1][c] == 'x' && card[2][c] == 'x';
  lines += card[0][0] == 'x' && card[2][2] == 'x';  // through FREE
  lines += card[0][2] == 'x' && card[2][0] == 'x';
  const Prize byLines[9] = {Prize::None,  Prize::Seventh, Prize::Sixth, Prize::Fifth, Prize::Fourth,
                            Prize::Third, Prize::Second,  Prize::None,  Prize::First};
  return byLines[lines];
}

struct RuleCase {
  const char* name;
  Game game;
  std::string typed;
  Prize latest;  // in the latest draw: Loto 7 691 8.10.20.22.23.27.37 bonus 2.9;
                 // ビンゴ５ 484 1.9.13.17.23.28.34.40
};

std::vector<RuleCase> RuleCases() {
  return {
      {"loto7_first", Game::Lot7, "8 10 20 22 23 27 37", Prize::First},
      {"loto7_second", Game::Lot7, "2 8 10 20 22 23 27", Prize::Second},
      {"loto7_second_other_bonus", Game::Lot7, "9 10 20 22 23 27 37", Prize::Second},
      {"loto7_third", Game::Lot7, "1 8 10 20 22 23 27", Prize::Third},
      {"loto7_fourth", Game::Lot7, "1 3 8 10 20 22 23", Prize::Fourth},
      {"loto7_fifth", Game::Lot7, "1 3 4 8 10 20 22", Prize::Fifth},
      {"loto7_fifth_with_bonus", Game::Lot7, "1 2 3 8 10 20 22", Prize::Fifth},
      {"loto7_sixth_one_bonus", Game::Lot7, "1 2 3 4 8 10 20", Prize::Sixth},
      {"loto7_sixth_two_bonus", Game::Lot7, "1 2 3 9 8 10 20", Prize::Sixth},
      {"loto7_three_no_bonus", Game::Lot7, "1 3 4 5 8 10 20", Prize::None},
      {"loto7_two_and_bonus", Game::Lot7, "1 2 9 4 5 8 10", Prize::None},
      {"bingo5_first_8_lines", Game::Bingo5, "1 9 13 17 23 28 34 40", Prize::First},
      {"bingo5_second_6_lines", Game::Bingo5, "1 6 13 17 23 28 34 40", Prize::Second},
      {"bingo5_third_5_lines", Game::Bingo5, "2 9 13 17 23 28 34 40", Prize::Third},
      {"bingo5_fourth_4_lines", Game::Bingo5, "1 9 13 17 23 26 31 40", Prize::Fourth},
      {"bingo5_fifth_3_lines", Game::Bingo5, "1 9 13 16 21 26 34 40", Prize::Fifth},
      {"bingo5_sixth_diagonals", Game::Bingo5, "1 6 13 16 21 28 31 40", Prize::Sixth},
      {"bingo5_sixth_middle_cross", Game::Bingo5, "2 9 11 17 23 26 34 36", Prize::Sixth},
      {"bingo5_seventh_diagonal_free", Game::Bingo5, "1 6 11 16 21 26 31 40", Prize::Seventh},
      {"bingo5_seventh_row", Game::Bingo5, "1 9 13 16 21 26 31 36", Prize::Seventh},
      {"bingo5_none", Game::Bingo5, "2 6 11 16 21 26 31 36", Prize::None},
  };
}

class RuleTable : public ::testing::TestWithParam<RuleCase> {};
void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

TEST_P(RuleTable, WinsWhatTheDrawsSay) {
  const RuleCase& c = GetParam();
  const TicketReading reading = ReadTicket(c.typed, c.game, TicketType::Straight);
  ASSERT_EQ(reading.fault, TicketFault::None) << reading.item;
  const std::string file = std::string(GameId(c.game)) + ".csv";
  const std::vector<Draw> draws =
      ParseHistory(testing::ReadBytes(fs::path(NUMIRA_DRAWS_DIR) / file), c.game, GameId(c.game));
  const TicketCheck check = CheckTicket(*reading.ticket, draws);
  ASSERT_TRUE(check.latest);
  EXPECT_EQ(check.latest->prize, c.latest);

  // Every draw from the CSV lines themselves, newest first.
  std::ifstream in(fs::path(NUMIRA_DRAWS_DIR) / file);
  std::string line;
  std::getline(in, line);
  std::vector<std::pair<std::uint32_t, Prize>> expected;
  std::vector<int> mine;
  for (int n : testing::DottedNumbers([&] {
         std::string d = c.typed;
         for (char& ch : d) ch = ch == ' ' ? '.' : ch;
         return d;
       }()))
    mine.push_back(n);
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    std::string part;
    while (std::getline(fields, part, ',')) f.push_back(part);
    ASSERT_GE(f.size(), 3u) << line;
    const std::set<int> drawn = testing::DottedNumbers(f[2]);
    const Prize p = c.game == Game::Lot7 ? Loto7({mine.begin(), mine.end()}, drawn, testing::DottedNumbers(f.size() > 3 ? f[3] : ""))
                                         : Bingo(mine, drawn);
    if (p != Prize::None) expected.insert(expected.begin(), {static_cast<std::uint32_t>(std::stoul(f[0])), p});
  }
  ASSERT_EQ(check.wins.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(check.wins[i].number, expected[i].first);
    EXPECT_EQ(check.wins[i].prize, expected[i].second) << check.wins[i].number;
  }
}

INSTANTIATE_TEST_SUITE_P(RealDraws, RuleTable, ::testing::ValuesIn(RuleCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace numira
