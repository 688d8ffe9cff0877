// The prize files: the column line each game's tiers make, the real files read whole and
// written back byte for byte, faults named by line, and the prizes checked against a history.
#include <gtest/gtest.h>

#include "Prizes.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

const std::string kMiniColumns = "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,"
                                 "t4_winners,t4_amount";
const std::string kLoto6Columns = "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,"
                                  "t4_winners,t4_amount,t5_winners,t5_amount,carryover";

TEST(Prizes, ColumnsFollowTheTiersOfEachGame) {
  EXPECT_EQ(PrizeColumns(Game::Mini), kMiniColumns);
  EXPECT_EQ(PrizeColumns(Game::Lot6), kLoto6Columns);
  EXPECT_EQ(PrizeColumns(Game::Lot7),
            "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,t4_winners,t4_amount,"
            "t5_winners,t5_amount,t6_winners,t6_amount,carryover");
  const std::tuple<Game, bool> rows[] = {{Game::Num3, false}, {Game::Num4, false}, {Game::Mini, true},
                                         {Game::Lot6, true},  {Game::Lot7, true},  {Game::Bingo5, false}};
  for (const auto& [game, has] : rows) EXPECT_EQ(HasPrizes(game), has) << GameId(game);
  EXPECT_EQ(PrizeFileName(Game::Lot7), "loto7.csv");
}

// The frozen copies of the published prizes: the last row of each, written out by hand.
TEST(Prizes, RealFilesReadWholeAndWriteBackByteForByte) {
  const std::tuple<Game, std::size_t, const char*> rows[] = {
      {Game::Mini, 1353, "1353,2025-09-23,15,9947500,67,159900,1512,12200,45382,1000"},
      {Game::Lot6, 2037, "2037,2025-09-25,0,0,3,19538100,251,252100,12515,5300,188891,1000,195374667"},
      {Game::Lot7, 644, "644,2025-09-19,0,0,15,3086600,83,642500,4489,7200,74279,1400,144229,900,390550165"},
  };
  for (const auto& [game, count, last] : rows) {
    SCOPED_TRACE(GameId(game));
    const std::string bytes = testing::ReadBytes(fs::path(NUMIRA_PRIZES_DIR) / PrizeFileName(game));
    const std::vector<DrawPrizes> prizes = ParsePrizes(bytes, game, "p.csv");
    ASSERT_EQ(prizes.size(), count);
    EXPECT_EQ(prizes.front().number, 1u);
    EXPECT_EQ(FormatPrizeRow(prizes.back()), last);
    EXPECT_EQ(FormatPrizes(prizes, game), bytes);
    EXPECT_TRUE(ValidatePrizeFile(bytes, game).empty());
  }
}

TEST(Prizes, ARowCarriesTiersAndCarryover) {
  const std::vector<DrawPrizes> p = ParsePrizes(
      kLoto6Columns + "\n2,2000-10-12,0,0,7,13188800,195,568100,8426,11500,144860,1000,102580607\n", Game::Lot6, "p");
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].number, 2u);
  EXPECT_EQ(p[0].date, (Date{2000, 10, 12}));
  EXPECT_EQ(p[0].tiers, (std::vector<PrizeTier>{{0, 0}, {7, 13188800}, {195, 568100}, {8426, 11500}, {144860, 1000}}));
  EXPECT_EQ(p[0].carryover, 102580607u);
  const std::vector<DrawPrizes> mini = ParsePrizes(kMiniColumns + "\n1,1999-04-13,29,6090500,46,275800,2331,9400,59593,900\n",
                                                   Game::Mini, "p");
  ASSERT_EQ(mini.size(), 1u);
  EXPECT_FALSE(mini[0].carryover.has_value());
  EXPECT_EQ(PrizesOfDraw(mini, 1), &mini[0]);
  EXPECT_EQ(PrizesOfDraw(mini, 2), nullptr);  // not known: no error
}

struct PrizeCase {
  const char* name;
  Game game;
  std::string bytes;
  std::uint32_t line;  // 0: valid
  const char* error;   // part of the message
};

std::vector<PrizeCase> PrizeCases() {
  const std::string m = kMiniColumns + "\n";
  const std::string l6 = kLoto6Columns + "\n";
  const std::string row1 = "1,1999-04-13,29,6090500,46,275800,2331,9400,59593,900\n";
  return {
      {"header_only", Game::Mini, m, 0, ""},
      {"crlf", Game::Mini, kMiniColumns + "\r\n" + "1,1999-04-13,29,6090500,46,275800,2331,9400,59593,900\r\n", 0, ""},
      {"draws_left_out", Game::Mini, m + row1 + "5,1999-05-11,0,0,1,2,3,4,5,6\n", 0, ""},
      {"no_winner_pays_nothing", Game::Lot6, l6 + "1,2000-10-05,0,0,0,0,0,0,0,0,0,0,0\n", 0, ""},
      {"a_lower_tier_paying_more", Game::Lot6, l6 + "691,2012-07-12,1,100000000,50,57100,3,338700,10,5000,100,1000,0\n", 0,
       ""},
      {"fifteen_digits", Game::Lot6, l6 + "1,2000-10-05,1,999999999999999,0,0,0,0,0,0,0,0,0\n", 0, ""},
      {"empty_file", Game::Mini, "", 1, "empty file"},
      {"byte_order_mark", Game::Mini, "\xEF\xBB\xBF" + m, 1, "byte-order mark"},
      {"wrong_columns", Game::Mini, kLoto6Columns + "\n", 1, "column names draw_no,date,t1_winners"},
      {"carryover_where_none", Game::Mini, kMiniColumns + ",carryover\n", 1, "column names"},
      {"too_few_fields", Game::Mini, m + "1,1999-04-13,29,6090500,46,275800,2331,9400,59593\n", 2, "9 fields instead of 10"},
      {"carryover_missing", Game::Lot6, l6 + "1,2000-10-05,2,45513600,2,40961900,262,375200,12413,6900,174452,1000\n", 2,
       "12 fields instead of 13"},
      {"winners_without_amount", Game::Mini, m + "1,1999-04-13,29,0,46,275800,2331,9400,59593,900\n", 2,
       "tier 1: 29 winners with an amount of 0 yen"},
      {"amount_without_winners", Game::Mini, m + "1,1999-04-13,29,6090500,0,275800,2331,9400,59593,900\n", 2,
       "tier 2: 0 winners with an amount of 275800 yen"},
      {"negative_amount", Game::Mini, m + "1,1999-04-13,29,-6090500,46,275800,2331,9400,59593,900\n", 2,
       "tier 1 amount \"-6090500\" is not a whole number"},
      {"yen_with_fraction", Game::Mini, m + "1,1999-04-13,29,6090500.5,46,275800,2331,9400,59593,900\n", 2,
       "tier 1 amount"},
      {"leading_zero", Game::Mini, m + "1,1999-04-13,029,6090500,46,275800,2331,9400,59593,900\n", 2,
       "tier 1 winners \"029\""},
      {"empty_field", Game::Mini, m + "1,1999-04-13,29,6090500,46,275800,2331,9400,,900\n", 2, "tier 4 winners \"\""},
      {"sixteen_digits", Game::Lot6, l6 + "1,2000-10-05,1,1000000000000000,0,0,0,0,0,0,0,0,0\n", 2, "at most 15 digits"},
      {"carryover_negative", Game::Lot6, l6 + "1,2000-10-05,0,0,0,0,0,0,0,0,0,0,-1\n", 2, "carryover \"-1\""},
      {"draw_repeated", Game::Mini, m + row1 + "1,1999-04-20,1,2,3,4,5,6,7,8\n", 3, "draw number 1 is not above"},
      {"draw_going_back", Game::Mini, m + "2,1999-04-20,1,2,3,4,5,6,7,8\n" + row1, 3, "not above the previous row's (2)"},
      {"date_not_later", Game::Mini, m + row1 + "2,1999-04-13,1,2,3,4,5,6,7,8\n", 3, "not later"},
      {"date_not_real", Game::Mini, m + "1,1999-02-30,1,2,3,4,5,6,7,8\n", 2, "not a real date"},
      {"draw_zero", Game::Mini, m + "0,1999-04-13,1,2,3,4,5,6,7,8\n", 2, "draw number \"0\""},
      {"empty_line", Game::Mini, m + row1 + "\n", 3, "empty line"},
      {"numbers_have_no_table_yet", Game::Num3, "draw_no,date\n", 0, "Numbers 3 has no prize table"},
      {"bingo5_has_no_table_yet", Game::Bingo5, "draw_no,date\n", 0, "BINGO5 has no prize table"},
  };
}

class PrizeTable : public ::testing::TestWithParam<PrizeCase> {};
void PrintTo(const PrizeCase& c, std::ostream* os) { *os << c.name; }

TEST_P(PrizeTable, ReadsOrNamesTheLine) {
  const PrizeCase& c = GetParam();
  const std::vector<ListProblem> problems = ValidatePrizeFile(c.bytes, c.game);
  if (c.error[0] == '\0') {
    ASSERT_TRUE(problems.empty()) << problems.front().text;
    const std::vector<DrawPrizes> prizes = ParsePrizes(c.bytes, c.game, "f.csv");
    EXPECT_EQ(ParsePrizes(FormatPrizes(prizes, c.game), c.game, "f.csv"), prizes);
    return;
  }
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].line, c.line);
  EXPECT_NE(problems[0].text.find(c.error), std::string::npos) << problems[0].text;
  try {
    ParsePrizes(c.bytes, c.game, "f.csv");
    ADD_FAILURE() << "accepted";
  } catch (const HistoryError& e) {
    const std::string where = c.line == 0 ? "f.csv: " : "f.csv:" + std::to_string(c.line) + ": ";
    EXPECT_EQ(std::string(e.what()).rfind(where, 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PrizeTable, ::testing::ValuesIn(PrizeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Prizes, LargerThanTheLimitIsRefusedWhole) {
  std::string big = kMiniColumns + "\n";
  big.resize(kMaxPrizeFileBytes + 1, '\n');
  const std::vector<ListProblem> problems = ValidatePrizeFile(big, Game::Mini);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].text, "larger than 8 MiB");
}

// Prizes belong to draws of the history, on their dates; draws after the last prizes are
// simply not known yet.
TEST(Prizes, AgainstTheHistory) {
  const std::vector<Draw> draws =
      ParseHistory("draw_no,date,numbers\n1,1999-04-13,1.3.17.20.25\n2,1999-04-20,1.2.3.4.5\n3,1999-04-27,2.3.4.5.6\n",
                   Game::Mini, "h");
  const auto prizes = [](const std::string& rows) { return ParsePrizes(kMiniColumns + "\n" + rows, Game::Mini, "p"); };
  EXPECT_FALSE(PrizesAgainstDraws(prizes("1,1999-04-13,1,2,3,4,5,6,7,8\n"), draws, Game::Mini));
  EXPECT_FALSE(PrizesAgainstDraws(prizes("3,1999-04-27,1,2,3,4,5,6,7,8\n"), draws, Game::Mini));
  EXPECT_FALSE(PrizesAgainstDraws({}, draws, Game::Mini));
  const auto wrongDate = PrizesAgainstDraws(prizes("1,1999-04-13,1,2,3,4,5,6,7,8\n2,1999-04-21,1,2,3,4,5,6,7,8\n"), draws,
                                            Game::Mini);
  ASSERT_TRUE(wrongDate);
  EXPECT_EQ(wrongDate->line, 3u);
  EXPECT_EQ(wrongDate->text, "draw 2 of 1999-04-21: the history has it on 1999-04-20");
  const auto beyond = PrizesAgainstDraws(prizes("4,1999-05-04,1,2,3,4,5,6,7,8\n"), draws, Game::Mini);
  ASSERT_TRUE(beyond);
  EXPECT_EQ(beyond->line, 2u);
  EXPECT_EQ(beyond->text, "prizes of Mini Loto draw 4, which is not in the history (its last draw is 3)");
  const auto noDraws = PrizesAgainstDraws(prizes("1,1999-04-13,1,2,3,4,5,6,7,8\n"), {}, Game::Mini);
  ASSERT_TRUE(noDraws);
  EXPECT_NE(noDraws->text.find("(its last draw is none)"), std::string::npos);
}

}  // namespace
}  // namespace numira
