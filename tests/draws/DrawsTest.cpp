// The draw histories: the real ones read whole, faults named by line, the bonus column,
// the format written back byte for byte, and how long ago each Loto number came up.
#include <gtest/gtest.h>

#include "DrawHistory.h"
#include "DrawSeed.h"
#include "TestData.h"

namespace numira {
namespace {

using testing::ReadBytes;
namespace fs = std::filesystem;

std::string RealHistory(Game game) { return ReadBytes(fs::path(NUMIRA_DRAWS_DIR) / HistoryFileName(game)); }

TEST(DrawHistory, RealHistoriesReadWholeAndWriteBackByteForByte) {
  struct Expect {
    Game game;
    std::uint32_t last;
    const char* lastLine;
  };
  for (const Expect& e : {Expect{Game::Num3, 7054, "7054,2026-08-21,286"}, Expect{Game::Num4, 7054, "7054,2026-08-21,9577"},
                          Expect{Game::Mini, 1353, "1353,2025-09-23,6.11.13.14.18"},
                          Expect{Game::Lot6, 2037, "2037,2025-09-25,7.12.20.23.27.29"}}) {
    const std::string bytes = RealHistory(e.game);
    const std::vector<Draw> draws = ParseHistory(bytes, e.game, "x.csv");
    ASSERT_EQ(draws.size(), e.last) << GameId(e.game);
    EXPECT_EQ(FormatDraw(draws.back()), e.lastLine);
    EXPECT_EQ(FormatHistory(draws, e.game), bytes);
    EXPECT_TRUE(ValidateDrawFile(bytes, e.game).empty());
  }
}

struct ParseCase {
  const char* name;
  Game game;
  std::string bytes;
  std::uint32_t line;  // 0: valid
  std::string error;   // part of the message
};

std::vector<ParseCase> ParseCases() {
  const std::string mini = "draw_no,date,numbers\n1,1999-04-13,1.3.17.20.25\n";
  const std::string bonusMini = "draw_no,date,numbers,bonus\n1,1999-04-13,1.3.17.20.25,31\n2,1999-04-20,1.2.3.4.5\n";
  return {
      {"plain", Game::Mini, mini, 0, ""},
      {"crlf", Game::Num3, "draw_no,date,numbers\r\n1,1994-10-07,191\r\n", 0, ""},
      {"bonus_column_with_and_without", Game::Mini, bonusMini, 0, ""},
      {"bonus_empty_field", Game::Lot6, "draw_no,date,numbers,bonus\n1,2000-10-05,2.8.10.13.27.30,\n", 0, ""},
      {"byte_order_mark", Game::Mini, "\xEF\xBB\xBF" + mini, 1, "byte-order mark"},
      {"starts_at_draw_2", Game::Num4, "draw_no,date,numbers\n2,1994-10-07,1149\n", 2, "a history must start at draw 1"},
      {"bonus_for_numbers", Game::Num3, "draw_no,date,numbers,bonus\n1,1994-10-07,191\n", 1, "column names"},
      {"bonus_without_column", Game::Mini, "draw_no,date,numbers\n1,1999-04-13,1.3.17.20.25,7\n", 2, "4 fields instead of 3"},
      {"bonus_out_of_range", Game::Mini, "draw_no,date,numbers,bonus\n1,1999-04-13,1.3.17.20.25,32\n", 2,
       "bonus number \"32\" is not a number from 1 to 31"},
      {"bonus_zero_padded", Game::Lot6, "draw_no,date,numbers,bonus\n1,2000-10-05,2.8.10.13.27.30,07\n", 2, "bonus number \"07\""},
      {"bonus_among_numbers", Game::Lot6, "draw_no,date,numbers,bonus\n1,2000-10-05,2.8.10.13.27.30,13\n", 2,
       "bonus number 13 is one of the draw's numbers"},
      {"five_fields", Game::Lot6, "draw_no,date,numbers,bonus\n1,2000-10-05,2.8.10.13.27.30,1,2\n", 2, "5 fields instead of 3 or 4"},
      {"empty", Game::Num3, "", 1, "empty file"},
      {"loto7_two_bonus", Game::Lot7, "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.15\n", 0, ""},
      {"loto7_one_bonus", Game::Lot7, "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3\n", 2,
       "bonus \"3\" is not 2 distinct numbers from 1 to 37"},
      {"loto7_three_bonus", Game::Lot7, "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.15.16\n", 2,
       "is not 2 distinct numbers"},
      {"loto7_bonus_descending", Game::Lot7, "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,15.3\n", 2,
       "ascending"},
      {"loto7_bonus_twice", Game::Lot7, "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.3\n", 2,
       "is not 2 distinct"},
      {"loto7_bonus_out_of_range", Game::Lot7, "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.38\n", 2,
       "from 1 to 37"},
      {"loto7_bonus_among_numbers", Game::Lot7, "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.34\n", 2,
       "bonus number 34 is one of the draw's numbers"},
      {"loto7_six_numbers", Game::Lot7, "draw_no,date,numbers\n1,2013-04-05,7.10.12.17.23.28\n", 2, "not a Loto 7 result"},
      {"bingo5_plain", Game::Bingo5, "draw_no,date,numbers\n1,2017-04-05,1.10.13.19.23.28.35.37\n", 0, ""},
      {"bingo5_has_no_bonus", Game::Bingo5, "draw_no,date,numbers,bonus\n1,2017-04-05,1.10.13.19.23.28.35.37\n", 1,
       "column names"},
      {"bingo5_number_outside_its_square", Game::Bingo5, "draw_no,date,numbers\n1,2017-04-05,1.10.13.19.23.31.35.37\n",
       2, "the i-th from 5i-4 to 5i"},
      {"date_going_back", Game::Num3, "draw_no,date,numbers\n1,1994-10-07,191\n2,1994-10-07,988\n", 3, "not later"},
  };
}

class ParseTable : public ::testing::TestWithParam<ParseCase> {};
void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ParseTable, ReadsOrNamesTheLine) {
  const ParseCase& c = GetParam();
  const std::vector<ListProblem> problems = ValidateDrawFile(c.bytes, c.game);
  if (c.line == 0) {
    EXPECT_TRUE(problems.empty()) << problems.front().text;
    const std::vector<Draw> draws = ParseHistory(c.bytes, c.game, "f.csv");
    // Written back in the canonical form and read again: the same draws.
    const std::vector<Draw> again = ParseHistory(FormatHistory(draws, c.game), c.game, "f.csv");
    ASSERT_EQ(again.size(), draws.size());
    for (std::size_t i = 0; i < draws.size(); ++i) {
      EXPECT_EQ(again[i].numbers, draws[i].numbers);
      EXPECT_EQ(again[i].bonus, draws[i].bonus);
    }
    return;
  }
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].line, c.line);
  EXPECT_NE(problems[0].text.find(c.error), std::string::npos) << problems[0].text;
  try {
    ParseHistory(c.bytes, c.game, "f.csv");
    ADD_FAILURE() << "accepted";
  } catch (const HistoryError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("f.csv:" + std::to_string(c.line) + ": ", 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Histories, ParseTable, ::testing::ValuesIn(ParseCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DrawHistory, BonusNumbersAreKeptAndWrittenBack) {
  const std::vector<Draw> draws =
      ParseHistory("draw_no,date,numbers,bonus\n1,1999-04-13,1.3.17.20.25,31\n2,1999-04-20,1.2.3.4.5\n", Game::Mini, "m");
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].bonus, std::vector<int>{31});
  EXPECT_TRUE(draws[1].bonus.empty());
  // Loto 7 draws two, stored ascending and joined by ".".
  const std::string loto7 = "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.15\n2,2013-04-12,20.24.29.31.33.34.35,\n";
  const std::vector<Draw> seven = ParseHistory(loto7, Game::Lot7, "l7");
  ASSERT_EQ(seven.size(), 2u);
  EXPECT_EQ(seven[0].bonus, (std::vector<int>{3, 15}));
  EXPECT_TRUE(seven[1].bonus.empty());
  EXPECT_EQ(FormatDraw(seven[0]), "1,2013-04-05,7.10.12.17.23.28.34,3.15");
  EXPECT_EQ(FormatHistory(seven, Game::Lot7), "draw_no,date,numbers,bonus\n1,2013-04-05,7.10.12.17.23.28.34,3.15\n"
                                               "2,2013-04-12,20.24.29.31.33.34.35\n");
  EXPECT_EQ(FormatBonus({}), "");
  EXPECT_EQ(JapaneseDate(draws[1].date), "1999年4月20日");
}

// Bonus numbers as a publisher types them: the game's count of them, in any order and
// with any separator, none among the draw's numbers; returned ascending.
TEST(DrawHistory, TypedBonusNumbers) {
  struct Row {
    Game game;
    const char* typed;
    const char* numbers;
    std::vector<int> bonus;  // empty: refused
    const char* error;
  };
  const Row rows[] = {
      {Game::Lot6, "07", "1.2.3.4.5.6", {7}, ""},
      {Game::Mini, " 31 ", "1.2.3.4.5", {31}, ""},
      {Game::Lot7, "15 3", "7.10.12.17.23.28.34", {3, 15}, ""},
      {Game::Lot7, "3,15", "7.10.12.17.23.28.34", {3, 15}, ""},
      {Game::Lot7, "3.15", "7.10.12.17.23.28.34", {3, 15}, ""},
      {Game::Lot7, "3", "7.10.12.17.23.28.34", {}, "a Loto 7 draw has 2 bonus numbers, not 1"},
      {Game::Lot7, "3 15 16", "7.10.12.17.23.28.34", {}, "not 3"},
      {Game::Lot7, "3 3", "7.10.12.17.23.28.34", {}, "bonus number 3 appears twice"},
      {Game::Lot7, "3 34", "7.10.12.17.23.28.34", {}, "bonus number 34 is one of the draw's numbers"},
      {Game::Lot7, "3 38", "7.10.12.17.23.28.34", {}, "bonus number 38 is outside 1-37"},
      {Game::Lot6, "", "1.2.3.4.5.6", {}, "a Loto 6 draw has 1 bonus number, not 0"},
      {Game::Num3, "1", "084", {}, "Numbers 3 has no bonus number"},
      {Game::Bingo5, "1", "1.10.13.19.23.28.35.37", {}, "BINGO5 has no bonus number"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(GameId(r.game)) + " " + r.typed);
    try {
      EXPECT_EQ(ParseBonus(r.typed, r.game, r.numbers), r.bonus);
      EXPECT_FALSE(r.bonus.empty());
    } catch (const HistoryError& e) {
      EXPECT_TRUE(r.bonus.empty());
      EXPECT_NE(std::string(e.what()).find(r.error), std::string::npos) << e.what();
    }
  }
}

TEST(DrawHistory, DrawsSinceLastCountsBackFromTheLatestDraw) {
  // Counted by hand from the last three Loto 6 draws of the real history:
  // 2037: 7 12 20 23 27 29; 2036: 7 10 17 26 35 42; 2035: read from the file.
  const std::vector<Draw> draws = ParseHistory(RealHistory(Game::Lot6), Game::Lot6, "loto6.csv");
  const auto since = DrawsSinceLast(draws, Game::Lot6);
  ASSERT_EQ(since.size(), 43u);
  EXPECT_EQ(since[7 - 1], 0u);
  EXPECT_EQ(since[29 - 1], 0u);
  EXPECT_EQ(since[10 - 1], 1u);
  EXPECT_EQ(since[42 - 1], 1u);
  // Every number has come up in 2037 draws; the largest gap is found by walking the file.
  const std::vector<std::string> history = testing::DrawHistory("loto6.csv");
  for (int n = 1; n <= 43; ++n) {
    std::uint32_t back = 0;
    const std::string token = "." + std::to_string(n) + ".";
    while (("." + history[history.size() - 1 - back] + ".").find(token) == std::string::npos) ++back;
    EXPECT_EQ(since[static_cast<std::size_t>(n - 1)], back) << n;
  }
  const std::vector<Draw> one = ParseHistory("draw_no,date,numbers\n1,1999-04-13,1.3.17.20.25\n", Game::Mini, "m");
  const auto mini = DrawsSinceLast(one, Game::Mini);
  EXPECT_EQ(mini[0], 0u);
  EXPECT_FALSE(mini[1]);  // 2 never came up
  EXPECT_TRUE(DrawsSinceLast(one, Game::Num3).empty());
}

TEST(DrawHistory, ReadDrawFileTakesRegularFilesWithinTheLimit) {
  testing::TempDir dir;
  testing::WriteBytes(dir / "a.csv", "draw_no,date,numbers\n");
  EXPECT_EQ(ReadDrawFile(dir / "a.csv"), "draw_no,date,numbers\n");
  EXPECT_FALSE(ReadDrawFile(dir / "a.csv", 5));
  EXPECT_FALSE(ReadDrawFile(dir / "missing.csv"));
  EXPECT_FALSE(ReadDrawFile(dir.path().string()));  // a folder
}

}  // namespace
}  // namespace numira

namespace numira {
namespace {

TEST(DrawSeed, DrawFilesAreSeededLikeTheLists) {
  testing::TempDir tmp;
  const fs::path exeDir = tmp.path() / "lib/numira";
  fs::create_directories(exeDir / "draws");
  for (const Game game : kGames)
    fs::copy_file(fs::path(NUMIRA_DRAWS_DIR) / HistoryFileName(game), exeDir / "draws" / HistoryFileName(game));
  const fs::path user = tmp.path() / "data/numira/draws";
  fs::create_directories(user);
  // Loto 6: a refresh brought a newer draw (kept); Mini Loto: an older copy (replaced);
  // Numbers 4: no history at all (replaced); Numbers 3: missing (copied).
  const std::string newer = RealHistory(Game::Lot6) + "2038,2025-09-29,1.2.3.4.5.6\n";
  testing::WriteBytes(user / "loto6.csv", newer);
  testing::WriteBytes(user / "miniloto.csv", "draw_no,date,numbers\n1,1999-04-13,1.3.17.20.25\n");
  testing::WriteBytes(user / "numbers4.csv", "garbage");
  const ListFolderChoice choice =
      ChooseListFolder((exeDir / "numira").string(), ListFolderEnv{true, (tmp.path() / "data").string(), "/home/u", false});
  ASSERT_TRUE(choice.seed);
  SeedListFolder(choice, DrawSeedFiles(choice));
  EXPECT_EQ(ReadBytes(user / "loto6.csv"), newer);
  for (Game game : {Game::Num3, Game::Num4, Game::Mini})
    EXPECT_EQ(ReadBytes(user / HistoryFileName(game)), RealHistory(game)) << GameId(game);
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(user)) files += e.is_regular_file();
  EXPECT_EQ(files, 6u);  // one per game, and no temporary file

  // A faulty shipped file never replaces anything; a user folder without draws/ gets one.
  fs::remove_all(user);
  testing::WriteBytes(exeDir / "draws/loto6.csv", "draw_no,date,numbers\n2,2000-10-05,1.2.3.4.5.6\n");
  SeedListFolder(choice, DrawSeedFiles(choice));
  EXPECT_FALSE(fs::exists(user / "loto6.csv"));
  EXPECT_EQ(ReadBytes(user / "numbers3.csv"), RealHistory(Game::Num3));
}

// The prize files are seeded the same way: a sound shipped file replaces a missing,
// unsound or shorter copy; a copy that goes further is kept; a shipped folder without
// prize files (a package from before) copies nothing and leaves the user's copies alone.
TEST(DrawSeed, PrizeFilesAreSeededLikeTheDrawFiles) {
  testing::TempDir tmp;
  const fs::path exeDir = tmp.path() / "lib/numira";
  fs::create_directories(exeDir / "prizes");
  const fs::path user = tmp.path() / "data/numira/prizes";
  const auto frozen = [](Game game) { return ReadBytes(fs::path(NUMIRA_PRIZES_DIR) / PrizeFileName(game)); };
  const ListFolderChoice choice =
      ChooseListFolder((exeDir / "numira").string(), ListFolderEnv{true, (tmp.path() / "data").string(), "/home/u", false});
  ASSERT_TRUE(choice.seed);
  // A package from before: no prize files at all.
  SeedListFolder(choice, PrizeSeedFiles(choice));
  EXPECT_FALSE(fs::exists(user));
  for (const Game game : {Game::Mini, Game::Lot6, Game::Lot7})
    fs::copy_file(fs::path(NUMIRA_PRIZES_DIR) / PrizeFileName(game), exeDir / "prizes" / PrizeFileName(game));
  fs::create_directories(user);
  // Loto 7: the user's copy goes one draw further (kept); Loto 6: it stops earlier
  // (replaced); Mini Loto: it is no prize file (replaced).
  const std::string further = frozen(Game::Lot7) + "645,2025-09-26,0,0,1,2,3,4,5,6,7,8,9,10,11\n";
  const std::string loto6 = frozen(Game::Lot6);
  const std::string shorter = loto6.substr(0, loto6.rfind('\n', loto6.size() - 2) + 1);
  testing::WriteBytes(user / "loto7.csv", further);
  testing::WriteBytes(user / "loto6.csv", shorter);
  testing::WriteBytes(user / "miniloto.csv", "garbage");
  std::vector<std::string> names;
  for (const SeedFile& f : PrizeSeedFiles(choice)) names.push_back(fs::path(f.user).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"miniloto.csv", "loto6.csv", "loto7.csv"}));  // the games with prizes
  SeedListFolder(choice, PrizeSeedFiles(choice));
  EXPECT_EQ(ReadBytes(user / "loto7.csv"), further);
  EXPECT_EQ(ReadBytes(user / "loto6.csv"), loto6);
  EXPECT_EQ(ReadBytes(user / "miniloto.csv"), frozen(Game::Mini));
  // A faulty shipped file never replaces anything.
  testing::WriteBytes(exeDir / "prizes/loto6.csv", "draw_no,date\n");
  testing::WriteBytes(user / "loto6.csv", shorter);
  SeedListFolder(choice, PrizeSeedFiles(choice));
  EXPECT_EQ(ReadBytes(user / "loto6.csv"), shorter);
}

}  // namespace
}  // namespace numira
