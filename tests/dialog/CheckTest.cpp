// The check window's pages and outcomes, made by the dialog from the draw files beside
// the lists: tables against the real histories, every outcome and refusal line.
#include <gtest/gtest.h>

#include <memory>

#include "FakeWindow.h"
#include "PredictDlg.h"
#include "TestData.h"
#include "Texts.h"

namespace numira {
namespace {

using testing::FakeClock;
using testing::FakeWindow;
using testing::TempDir;
namespace fs = std::filesystem;

class Check : public ::testing::Test {
 protected:
  void Open(bool draws = true) {
    dir.CopyRealLists();
    if (draws) {
      fs::create_directory(dir.path() / "draws");
      for (const auto& e : fs::directory_iterator(NUMIRA_DRAWS_DIR))
        fs::copy_file(e.path(), dir.path() / "draws" / e.path().filename());
      fs::create_directory(dir.path() / "prizes");
      for (const auto& e : fs::directory_iterator(NUMIRA_PRIZES_DIR))
        fs::copy_file(e.path(), dir.path() / "prizes" / e.path().filename());
    }
    dlg = std::make_unique<CPredictDlg>(window, clock, DialogSetup{dir.Executable(), "127.0.0.1:9"});
    window.dialog = dlg.get();
    ASSERT_TRUE(dlg->OnInitDialog());
  }
  TempDir dir;
  FakeWindow window;
  FakeClock clock;
  std::unique_ptr<CPredictDlg> dlg;
};

TEST_F(Check, PagesListEveryDrawNewestFirst) {
  Open();
  EXPECT_EQ(window.checkChanges, 0);  // start-up reads no draw file: the pages read them
  struct Expect {
    Game game;
    std::vector<std::string> columns, newest, oldest;
  };
  const std::vector<Expect> cases{
      {Game::Num3, {"回号", "抽選日", "当せん番号"}, {"7054", "2026年8月21日", "286"}, {"1", "1994年10月7日", "191"}},
      {Game::Num4, {"回号", "抽選日", "当せん番号"}, {"7054", "2026年8月21日", "9577"}, {"1", "1994年10月7日", "1149"}},
      {Game::Mini, {"回号", "抽選日", "当せん番号", "ボーナス数字"}, {"1353", "2025年9月23日", "06 11 13 14 18", ""},
       {"1", "1999年4月13日", "01 03 17 20 25", ""}},
      {Game::Lot6, {"回号", "抽選日", "当せん番号", "ボーナス数字", "キャリーオーバー"},
       {"2037", "2025年9月25日", "07 12 20 23 27 29", "", "195,374,667円"},
       {"1", "2000年10月5日", "02 08 10 13 27 30", "", "0円"}},
      {Game::Lot7, {"回号", "抽選日", "当せん番号", "ボーナス数字", "キャリーオーバー"},
       {"691", "2026年8月21日", "08 10 20 22 23 27 37", "02 09", "（金額未発表）"},
       {"1", "2013年4月5日", "07 10 12 17 23 28 34", "03 15", "0円"}},
      {Game::Bingo5, {"回号", "抽選日", "当せん番号"}, {"484", "2026年8月19日", "01 09 13 17 23 28 34 40"},
       {"1", "2017年4月5日", "01 10 13 19 23 28 35 37"}},
  };
  for (const Expect& e : cases) {
    const CheckPage page = dlg->Check(e.game);
    EXPECT_TRUE(page.hasData);
    EXPECT_EQ(page.tabName, text::kGameNames[GameIndex(e.game)]);
    EXPECT_EQ(page.draws.columns, e.columns);
    ASSERT_EQ(page.draws.rows.size(), testing::DrawHistory((std::string(GameId(e.game)) + ".csv").c_str()).size());
    EXPECT_EQ(page.draws.rows.front(), e.newest);
    EXPECT_EQ(page.draws.rows.back(), e.oldest);
    EXPECT_EQ(page.ticketLabel, "番号");
    EXPECT_EQ(page.checkButton, "照合");
  }
  EXPECT_EQ(dlg->Check(Game::Num3).types, (std::vector<std::string>{"ストレート", "ボックス", "セット", "ミニ"}));
  EXPECT_EQ(dlg->Check(Game::Num4).types, (std::vector<std::string>{"ストレート", "ボックス", "セット"}));
  EXPECT_TRUE(dlg->Check(Game::Lot6).types.empty());
  EXPECT_EQ(dlg->Check(Game::Num3).typeLabel, "申込タイプ");
  // Every Numbers 3 row's number is the CSV's, newest first.
  const std::vector<std::string> csv = testing::DrawHistory("numbers3.csv");
  const CheckPage n3 = dlg->Check(Game::Num3);
  for (std::size_t i = 0; i < csv.size(); ++i) ASSERT_EQ(n3.draws.rows[csv.size() - 1 - i][2], csv[i]) << i;
}

struct OutcomeCase {
  const char* name;
  Game game;
  std::string typed;
  int type;
  std::vector<std::string> lines;
  bool refused;
  std::vector<std::string> firstWin;  // the newest row of the wins table
};

std::vector<OutcomeCase> OutcomeCases() {
  return {
      {"n3_straight_latest", Game::Num3, "286", 0, {"第7054回（2026年8月21日）：ストレート", "過去の当せん：12回"}, false,
       {"7054", "2026年8月21日", "ストレート"}},
      {"n3_set_box", Game::Num3, "862", 2, {"第7054回（2026年8月21日）：セット（ボックス）"}, false,
       {"7054", "2026年8月21日", "セット（ボックス）"}},
      {"n3_mini", Game::Num3, "86", 3, {"第7054回（2026年8月21日）：ミニ"}, false, {"7054", "2026年8月21日", "ミニ"}},
      // These frozen Mini Loto and Loto 6 histories record no bonus number: which of two
      // tiers won is not known, nor what it paid.
      {"mini_bonus_unknown", Game::Mini, "6 11 13 14 30", 0, {"第1353回（2025年9月23日）：3等（ボーナス数字不明）"}, false,
       {"1353", "2025年9月23日", "3等（ボーナス数字不明）", ""}},
      {"loto6_first_nobody_won", Game::Lot6, "7.12.20.23.27.29", 0, {"第2037回（2025年9月25日）：1等（該当なし）"}, false,
       {"2037", "2025年9月25日", "1等", "（該当なし）"}},
      {"loto6_fourth_paid", Game::Lot6, "7 12 20 23 1 2", 0, {"第2037回（2025年9月25日）：4等 5,300円"}, false,
       {"2037", "2025年9月25日", "4等", "5,300円"}},
      {"loto6_miss", Game::Lot6, "1 2 3 4 5 6", 0, {"第2037回（2025年9月25日）：はずれ"}, false, {}},
      {"empty", Game::Num3, "", 0, {"番号を入力してください。"}, true, {}},
      {"n3_two_digits", Game::Num3, "84", 0, {"番号は3桁の数字です（入力は2桁）。"}, true, {}},
      {"n3_mini_three_digits", Game::Num3, "084", 3, {"番号は2桁の数字です（入力は3桁）。"}, true, {}},
      {"n4_box_one_digit", Game::Num4, "7777", 1, {"同じ数字だけの番号はボックス・セットで申し込めません。"}, true, {}},
      {"n3_letter", Game::Num3, "0a4", 0, {"「a」は数字ではありません。"}, true, {}},
      {"mini_count", Game::Mini, "1 2 3", 0, {"番号は1～31の数字5個です（入力は3個）。"}, true, {}},
      {"loto6_range", Game::Lot6, "1 2 3 4 5 44", 0, {"「44」は1～43の範囲にありません。"}, true, {}},
      // A pasted page of digits: the piece is cut, the count has its commas.
      {"loto6_range_pasted", Game::Lot6, std::string(10000, '1'), 0,
       {"「111111111111111111111111...」は1～43の範囲にありません。"}, true, {}},
      {"n3_digits_pasted", Game::Num3, std::string(10000, '7'), 0, {"番号は3桁の数字です（入力は10,000桁）。"}, true, {}},
      {"mini_full_width_pasted", Game::Mini, "１２３４５６７８９０１２３４５", 0, {"「１２３４５６７８...」は1～31の範囲にありません。"},
       true, {}},
      {"n3_control", Game::Num3, "0\x1b[2J", 0, {"「\\x1B」は数字ではありません。"}, true, {}},
      {"loto6_repeated", Game::Lot6, "1 2 3 4 5 5", 0, {"5 が2回入っています。"}, true, {}},
  };
}

class Outcome : public Check, public ::testing::WithParamInterface<OutcomeCase> {};
void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Outcome, LinesAndTable) {
  const OutcomeCase& c = GetParam();
  Open();
  const CheckOutcome o = dlg->OnCheckTicket(c.game, c.typed, c.type);
  EXPECT_EQ(o.refused, c.refused);
  ASSERT_GE(o.lines.size(), c.lines.size());
  for (std::size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(o.lines[i], c.lines[i]);
  if (c.refused) {
    EXPECT_EQ(o.lines.size(), 1u);
    EXPECT_TRUE(o.wins.rows.empty());
    return;
  }
  ASSERT_EQ(o.lines.size(), 2u);
  EXPECT_EQ(o.lines[1], "過去の当せん：" + std::to_string(o.wins.rows.size()) + "回");
  // The games with a prize table show what each win paid.
  std::vector<std::string> columns{"回号", "抽選日", "等級"};
  if (c.game == Game::Mini || c.game == Game::Lot6 || c.game == Game::Lot7) columns.push_back("当せん金額");
  EXPECT_EQ(o.wins.columns, columns);
  if (!c.firstWin.empty()) {
    ASSERT_FALSE(o.wins.rows.empty());
    EXPECT_EQ(o.wins.rows.front(), c.firstWin);
  }
  // Newest first.
  for (std::size_t i = 1; i < o.wins.rows.size(); ++i)
    EXPECT_GT(std::stoul(o.wins.rows[i - 1][0]), std::stoul(o.wins.rows[i][0]));
}

INSTANTIATE_TEST_SUITE_P(Tickets, Outcome, ::testing::ValuesIn(OutcomeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Check, WithoutDrawFilesThePagesSaySoAndTicketsAreRefused) {
  Open(false);
  const CheckPage page = dlg->Check(Game::Lot6);
  EXPECT_FALSE(page.hasData);
  EXPECT_EQ(page.lines, std::vector<std::string>{"データがありません。"});
  EXPECT_TRUE(page.draws.rows.empty());
  const CheckOutcome o = dlg->OnCheckTicket(Game::Lot6, "1 2 3 4 5 6", 0);
  EXPECT_TRUE(o.refused);
  EXPECT_EQ(o.lines, std::vector<std::string>{"データがありません。"});
}

TEST_F(Check, AFaultyDrawFileIsNoDrawsAndARereadBringsNewOnes) {
  Open();
  const std::string path = dlg->DrawsPath(Game::Mini);
  EXPECT_EQ(path, (dir.path() / "draws" / "miniloto.csv").string());
  // A byte-order mark: the whole file is refused, never half of it.
  testing::WriteBytes(path, "\xEF\xBB\xBF" + testing::ReadBytes(path));
  dlg->DrawFilesChanged();
  EXPECT_TRUE(dlg->Draws(Game::Mini).empty());
  EXPECT_EQ(dlg->Draws(Game::Lot6).size(), 2037u);
  // A new draw with its bonus number.
  testing::WriteBytes(path, "draw_no,date,numbers,bonus\n1,1999-04-13,1.3.17.20.25,31\n");
  const int changes = window.checkChanges;
  dlg->DrawFilesChanged();
  EXPECT_EQ(window.checkChanges, changes + 1);
  ASSERT_EQ(dlg->Draws(Game::Mini).size(), 1u);
  EXPECT_EQ(dlg->Check(Game::Mini).draws.rows.front(), (std::vector<std::string>{"1", "1999年4月13日", "01 03 17 20 25", "31"}));
  // Draw 1 of the prize file paid 46 tickets 275,800 yen each at 2等.
  EXPECT_EQ(dlg->OnCheckTicket(Game::Mini, "1 3 17 20 31", 0).lines.front(), "第1回（1999年4月13日）：2等 275,800円");
  // A prize file of other draws than the history's pays nothing the window would show.
  testing::WriteBytes(dlg->PrizesPath(Game::Mini), "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,"
                                                   "t3_amount,t4_winners,t4_amount\n1,1999-04-20,1,2,3,4,5,6,7,8\n");
  dlg->DrawFilesChanged();
  EXPECT_TRUE(dlg->Prizes(Game::Mini).empty());
  EXPECT_EQ(dlg->OnCheckTicket(Game::Mini, "1 3 17 20 31", 0).lines.front(), "第1回（1999年4月13日）：2等（金額未発表）");
}

TEST_F(Check, TheMenuOpensTheWindowAndAProposalPrefillsTheTicket) {
  Open();
  dlg->OnCheck();
  EXPECT_EQ(window.checkShown, 1);
  EXPECT_EQ(dlg->Check(Game::Lot6).ticket, "");
  EXPECT_EQ(BuildCheckPage(Game::Lot6, dlg->Draws(Game::Lot6), {}, "3.12.17.25.31.43").ticket, "03 12 17 25 31 43");
  EXPECT_EQ(BuildCheckPage(Game::Num3, dlg->Draws(Game::Num3), {}, "084").ticket, "084");
}

}  // namespace
}  // namespace numira
