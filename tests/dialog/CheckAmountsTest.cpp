// What each win paid, against the real histories with their bonus numbers and the real
// prize files: every tier of every game with a prize table in the latest-draw line (a
// literal read off the files), and every win of each ticket in the wins table, its tier
// and amount worked out here from the CSV text alone. Then the ビンゴ５ card.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "CheckPage.h"
#include "DrawSeed.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

// The frozen copies of the histories that record every bonus number (Mini Loto, Loto 6);
// Loto 7's frozen history records them too.
fs::path HistoryWithBonus(Game game) {
  if (game == Game::Lot7) return fs::path(NUMIRA_DRAWS_DIR) / "loto7.csv";
  return fs::path(NUMIRA_DRAWS_DIR).parent_path() / "draws-bonus" / (std::string(GameId(game)) + ".csv");
}

std::vector<std::vector<std::string>> CsvRows(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream s(line);
    std::string f;
    while (std::getline(s, f, ',')) fields.push_back(f);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    rows.push_back(fields);
  }
  return rows;
}


// The tier by hand, from the published rules of each game: {numbers matched, a bonus
// number among the rest needed} → tier.
int Tier(Game game, const std::set<int>& mine, const std::set<int>& drawn, const std::set<int>& bonus) {
  int same = 0, bonusSame = 0;
  for (int n : mine) same += drawn.count(n), bonusSame += bonus.count(n);
  struct Rule {
    int same;
    bool bonus;
    int tier;
  };
  static const std::map<Game, std::vector<Rule>> rules{
      {Game::Mini, {{5, false, 1}, {4, true, 2}, {4, false, 3}, {3, false, 4}}},
      {Game::Lot6, {{6, false, 1}, {5, true, 2}, {5, false, 3}, {4, false, 4}, {3, false, 5}}},
      {Game::Lot7, {{7, false, 1}, {6, true, 2}, {6, false, 3}, {5, false, 4}, {4, false, 5}, {3, true, 6}}},
  };
  for (const Rule& r : rules.at(game))
    if (same == r.same && (!r.bonus || bonusSame > 0)) return r.tier;
  return 0;
}

std::string WithCommas(const std::string& digits) {
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

struct AmountCase {
  const char* name;
  Game game;
  std::uint32_t upTo;  // the history as it stood after this draw (0: all of it)
  std::string typed;
  std::string latest;  // the latest-draw line
};

// Loto 6 2037 (2025-09-25) 7.12.20.23.27.29 bonus 10: nobody won 1等, 2等 19,538,100円,
// 3等 252,100円, 4等 5,300円, 5等 1,000円. Mini Loto 1353 (2025-09-23) 6.11.13.14.18 bonus 5.
// Loto 7 644 (2025-09-19) 1.11.12.14.20.26.29 bonus 2.5: nobody won 1等. The prize files
// end there; the histories go on (Loto 6 to 2130, Mini Loto to 1400, Loto 7 to 691).
std::vector<AmountCase> AmountCases() {
  return {
      {"loto6_first_nobody_won", Game::Lot6, 2037, "7 12 20 23 27 29", "第2037回（2025年9月25日）：1等（該当なし）"},
      {"loto6_second", Game::Lot6, 2037, "7 12 20 23 27 10", "第2037回（2025年9月25日）：2等 19,538,100円"},
      {"loto6_third", Game::Lot6, 2037, "7 12 20 23 27 1", "第2037回（2025年9月25日）：3等 252,100円"},
      {"loto6_fourth", Game::Lot6, 2037, "7 12 20 23 1 2", "第2037回（2025年9月25日）：4等 5,300円"},
      {"loto6_fifth", Game::Lot6, 2037, "7 12 20 1 2 3", "第2037回（2025年9月25日）：5等 1,000円"},
      {"loto6_three_and_bonus_none", Game::Lot6, 2037, "7 12 10 1 2 3", "第2037回（2025年9月25日）：はずれ"},
      {"loto6_second_unpublished", Game::Lot6, 0, "12 18 35 40 41 3", "第2130回（2026年8月20日）：2等（金額未発表）"},
      {"loto6_third_unpublished", Game::Lot6, 0, "12 18 35 40 41 1", "第2130回（2026年8月20日）：3等（金額未発表）"},
      {"mini_first", Game::Mini, 1353, "6 11 13 14 18", "第1353回（2025年9月23日）：1等 9,947,500円"},
      {"mini_second", Game::Mini, 1353, "6 11 13 14 5", "第1353回（2025年9月23日）：2等 159,900円"},
      {"mini_third", Game::Mini, 1353, "6 11 13 14 1", "第1353回（2025年9月23日）：3等 12,200円"},
      {"mini_fourth", Game::Mini, 1353, "6 11 13 1 2", "第1353回（2025年9月23日）：4等 1,000円"},
      {"mini_second_unpublished", Game::Mini, 0, "1 14 15 17 30", "第1400回（2026年8月18日）：2等（金額未発表）"},
      {"loto7_first_nobody_won", Game::Lot7, 644, "1 11 12 14 20 26 29", "第644回（2025年9月19日）：1等（該当なし）"},
      {"loto7_second", Game::Lot7, 644, "1 11 12 14 20 26 5", "第644回（2025年9月19日）：2等 3,086,600円"},
      {"loto7_third", Game::Lot7, 644, "1 11 12 14 20 26 3", "第644回（2025年9月19日）：3等 642,500円"},
      {"loto7_fourth", Game::Lot7, 644, "1 11 12 14 20 3 4", "第644回（2025年9月19日）：4等 7,200円"},
      {"loto7_fifth", Game::Lot7, 644, "1 11 12 14 3 4 6", "第644回（2025年9月19日）：5等 1,400円"},
      {"loto7_sixth_one_bonus", Game::Lot7, 644, "1 11 12 3 4 6 2", "第644回（2025年9月19日）：6等 900円"},
      {"loto7_sixth_two_bonus", Game::Lot7, 644, "1 11 12 3 4 2 5", "第644回（2025年9月19日）：6等 900円"},
      {"loto7_two_and_bonus_none", Game::Lot7, 644, "1 11 3 4 6 2 5", "第644回（2025年9月19日）：はずれ"},
      {"loto7_sixth_unpublished", Game::Lot7, 0, "8 10 20 1 3 4 9", "第691回（2026年8月21日）：6等（金額未発表）"},
  };
}

class Amounts : public ::testing::TestWithParam<AmountCase> {};
void PrintTo(const AmountCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Amounts, EachWinShowsWhatItsDrawPaid) {
  const AmountCase& c = GetParam();
  std::vector<Draw> draws = *DrawsOfFile(HistoryWithBonus(c.game).string(), c.game);
  if (c.upTo > 0) draws.resize(c.upTo);
  const fs::path prizeFile = fs::path(NUMIRA_PRIZES_DIR) / (std::string(GameId(c.game)) + ".csv");
  const std::vector<DrawPrizes> prizes = *PrizesOfFile(prizeFile.string(), c.game);
  const CheckOutcome o = CheckTypedTicket(c.game, draws, prizes, c.typed, 0);
  ASSERT_FALSE(o.refused) << o.lines.front();
  EXPECT_EQ(o.lines.front(), c.latest);
  // No history of these records a draw without its bonus numbers.
  for (const auto& row : o.wins.rows) EXPECT_EQ(row[2].find("不明"), std::string::npos) << row[0];

  // Every draw from the CSV text: the tier by hand, the amount from the prize file's row.
  std::map<std::string, std::vector<std::string>> paid;  // draw number → prize row
  for (auto& row : CsvRows(prizeFile)) paid[row[0]] = row;
  std::set<int> mine;
  std::stringstream typed(c.typed);
  for (int n; typed >> n;) mine.insert(n);
  std::vector<std::vector<std::string>> expected;
  for (const auto& row : CsvRows(HistoryWithBonus(c.game))) {
    if (c.upTo > 0 && std::stoul(row[0]) > c.upTo) break;
    ASSERT_EQ(row.size(), 4u) << row[0];  // every draw has its bonus numbers
    const int tier = Tier(c.game, mine, testing::DottedNumbers(row[2]), testing::DottedNumbers(row[3]));
    if (tier == 0) continue;
    std::string amount = "（金額未発表）";
    if (const auto it = paid.find(row[0]); it != paid.end()) {
      const std::string& winners = it->second[static_cast<std::size_t>(2 * tier)];
      amount = winners == "0" ? "（該当なし）" : WithCommas(it->second[static_cast<std::size_t>(2 * tier + 1)]) + "円";
    }
    expected.insert(expected.begin(), {row[0], std::to_string(tier) + "等", amount});
  }
  ASSERT_EQ(o.wins.rows.size(), expected.size());
  EXPECT_EQ(o.wins.columns, (std::vector<std::string>{"回号", "抽選日", "等級", "当せん金額"}));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& row = o.wins.rows[i];
    EXPECT_EQ((std::vector<std::string>{row[0], row[2], row[3]}), expected[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(RealDraws, Amounts, ::testing::ValuesIn(AmountCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The carry-over of each draw of the games that have one, as each prize row says.
TEST(Carryover, EveryDrawShowsWhatItCarriedOver) {
  for (const Game game : {Game::Lot6, Game::Lot7}) {
    const std::vector<Draw> draws = *DrawsOfFile(HistoryWithBonus(game).string(), game);
    const fs::path prizeFile = fs::path(NUMIRA_PRIZES_DIR) / (std::string(GameId(game)) + ".csv");
    const CheckPage page = BuildCheckPage(game, draws, *PrizesOfFile(prizeFile.string(), game), "");
    ASSERT_EQ(page.draws.columns.back(), "キャリーオーバー");
    ASSERT_EQ(page.draws.rows.size(), draws.size());
    std::map<std::string, std::string> carried;
    for (const auto& row : CsvRows(prizeFile)) carried[row[0]] = WithCommas(row.back()) + "円";
    for (const auto& row : page.draws.rows) {
      const auto it = carried.find(row[0]);
      EXPECT_EQ(row.back(), it == carried.end() ? "（金額未発表）" : it->second) << GameId(game) << " " << row[0];
    }
  }
  // Mini Loto has no carry-over.
  const std::vector<Draw> mini = *DrawsOfFile(HistoryWithBonus(Game::Mini).string(), Game::Mini);
  EXPECT_EQ(BuildCheckPage(Game::Mini, mini, {}, "").draws.rows.front(),
            (std::vector<std::string>{"1400", "2026年8月18日", "01 14 15 17 29", "30"}));
}

// ビンゴ５ 484 (2026-08-19): 1.9.13.17.23.28.34.40. The card of each ticket in rows, "x" for
// a square the draw matched, and which squares lie on a complete line.
struct CardCase {
  const char* name;
  std::string typed;
  std::vector<std::string> squares;
  std::string hits;    // 9 marks in rows, x = matched
  std::string onLine;  // 9 marks in rows, x = on a complete line
  std::string line;    // the latest-draw line
  std::string cardName;
};

std::vector<CardCase> CardCases() {
  return {
      {"all_eight_lines", "1 9 13 17 23 28 34 40", {"01", "09", "13", "17", "FREE", "23", "28", "34", "40"}, "xxxxxxxxx",
       "xxxxxxxxx", "第484回（2026年8月19日）：1等",
       "ビンゴ５ のカード：01○ 09○ 13○／17○ FREE 23○／28○ 34○ 40○（8ライン）"},
      {"both_diagonals", "1 6 13 16 21 28 31 40", {"01", "06", "13", "16", "FREE", "21", "28", "31", "40"}, "x.x.x.x.x",
       "x.x.x.x.x", "第484回（2026年8月19日）：6等",
       "ビンゴ５ のカード：01○ 06 13○／16 FREE 21／28○ 31 40○（2ライン）"},
      {"top_row_only", "1 9 13 16 21 26 31 36", {"01", "09", "13", "16", "FREE", "21", "26", "31", "36"}, "xxx.x....",
       "xxx......", "第484回（2026年8月19日）：7等",
       "ビンゴ５ のカード：01○ 09○ 13○／16 FREE 21／26 31 36（1ライン）"},
      {"nothing", "2 6 11 16 21 26 31 36", {"02", "06", "11", "16", "FREE", "21", "26", "31", "36"}, "....x....",
       ".........", "第484回（2026年8月19日）：はずれ",
       "ビンゴ５ のカード：02 06 11／16 FREE 21／26 31 36（0ライン）"},
  };
}

class Card : public ::testing::TestWithParam<CardCase> {};
void PrintTo(const CardCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Card, ShowsTheTicketInRowsWithFreeInTheCentre) {
  const CardCase& c = GetParam();
  const std::vector<Draw> draws = *DrawsOfFile(std::string(NUMIRA_DRAWS_DIR) + "/bingo5.csv", Game::Bingo5);
  const CheckOutcome o = CheckTypedTicket(Game::Bingo5, draws, {}, c.typed, 0);
  ASSERT_FALSE(o.refused);
  EXPECT_EQ(o.lines.front(), c.line);
  ASSERT_EQ(o.card.size(), 9u);
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(o.card[i].text, c.squares[i]) << i;
    EXPECT_EQ(o.card[i].hit, c.hits[i] == 'x') << i;
    EXPECT_EQ(o.card[i].onLine, c.onLine[i] == 'x') << i;
  }
  EXPECT_EQ(o.cardName, c.cardName);
  // No prize table: the tier alone, and no amount column.
  EXPECT_EQ(o.wins.columns, (std::vector<std::string>{"回号", "抽選日", "等級"}));
}

INSTANTIATE_TEST_SUITE_P(Draw484, Card, ::testing::ValuesIn(CardCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Card, OnlyBingo5TicketsHaveOne) {
  const std::vector<Draw> loto7 = *DrawsOfFile(std::string(NUMIRA_DRAWS_DIR) + "/loto7.csv", Game::Lot7);
  EXPECT_TRUE(CheckTypedTicket(Game::Lot7, loto7, {}, "8 10 20 22 23 27 37", 0).card.empty());
  const std::vector<Draw> bingo = *DrawsOfFile(std::string(NUMIRA_DRAWS_DIR) + "/bingo5.csv", Game::Bingo5);
  EXPECT_TRUE(CheckTypedTicket(Game::Bingo5, bingo, {}, "1 2 13 17 23 28 34 40", 0).card.empty());  // refused
}

}  // namespace
}  // namespace numira
