// 表示するくじ: the panels shown by choice (ロト７, ビンゴ５), the window's layout with them,
// the games= line of numira.conf, and their rolls, filters and copies.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "FakeWindow.h"
#include "PredictDlg.h"
#include "TestData.h"
#include "Texts.h"

namespace numira {
namespace {

using testing::FakeClock;
using testing::FakeWindow;
using testing::TempDir;

class ShownPanels : public ::testing::Test {
 protected:
  std::string ConfigPath() const { return (dir.path() / "config/numira/numira.conf").string(); }
  void WriteConfig(const std::string& text) {
    std::filesystem::create_directories(dir.path() / "config/numira");
    testing::WriteBytes(ConfigPath(), text);
  }
  std::string Config() const { return testing::ReadBytes(ConfigPath()); }
  // A dialog over the real lists with the config file; a test may open several.
  std::unique_ptr<CPredictDlg> Open(FakeWindow& w) {
    auto d = std::make_unique<CPredictDlg>(w, clock, DialogSetup{dir.Executable(), "127.0.0.1:9", ConfigPath()});
    w.dialog = d.get();
    w.clock = &clock;
    EXPECT_TRUE(d->OnInitDialog());
    return d;
  }
  std::vector<std::string> Ids(const CPredictDlg& d) const {
    std::vector<std::string> ids;
    for (Game g : d.Shown().Games()) ids.emplace_back(GameId(g));
    return ids;
  }
  std::vector<int> Numbers(const FakeWindow& w, Game g) const {
    std::vector<int> v;
    for (int id : ResultFields(g)) v.push_back(std::stoi(w.Text(id)));
    return v;
  }
  void RollToProposal(FakeWindow& w, CPredictDlg& d, Game g) {
    d.OnPredict(g);
    w.RunFor(50);
    d.OnPredict(g);
    ASSERT_TRUE(w.RunUntilIdle());
  }

  TempDir dir;
  FakeClock clock;
  void SetUp() override { dir.CopyRealLists(); }
};

const std::vector<std::string> kFour{"numbers3", "numbers4", "miniloto", "loto6"};

TEST_F(ShownPanels, EachGamesLineGivesItsPanelsAndReportsWhatIsWrong) {
  struct Row {
    const char* file;  // nullptr: no file
    std::vector<std::string> shown;
    const char* standardError;  // FILE stands for the config file's path
  };
  const std::vector<std::string> six{"numbers3", "numbers4", "miniloto", "loto6", "loto7", "bingo5"};
  const std::vector<std::string> withLot7{"numbers3", "numbers4", "miniloto", "loto6", "loto7"};
  const std::vector<std::string> withBingo5{"numbers3", "numbers4", "miniloto", "loto6", "bingo5"};
  const Row rows[] = {
      {nullptr, kFour, ""},
      {"list-server=127.0.0.1:9\n", kFour, ""},
      {"games=numbers3,numbers4,miniloto,loto6,loto7,bingo5\n", six, ""},
      {"games=numbers3,numbers4,miniloto,loto6,bingo5\n", withBingo5, ""},
      // Blanks around the ids and an empty piece do not count; the order is the window's.
      {"games = loto7, numbers3 ,numbers4,,miniloto,loto6,\n", withLot7, ""},
      {"games=numbers3,numbers4,miniloto,loto6\n", kFour, ""},
      // The last line counts.
      {"games=numbers3,numbers4,miniloto,loto6,loto7\r\n# later\r\ngames=numbers3,numbers4,miniloto,loto6\r\n", kFour, ""},
      {"games=numbers3,numbers4,miniloto,loto6,loto8\n", kFour,
       "numira: FILE:1: games: \"loto8\" is not a game (numbers3, numbers4, miniloto, loto6, loto7, bingo5); ignored\n"},
      {"games=numbers3,numbers4,miniloto,loto6,Loto7,bingo5\n", withBingo5,
       "numira: FILE:1: games: \"Loto7\" is not a game (numbers3, numbers4, miniloto, loto6, loto7, bingo5); ignored\n"},
      {"# mine\ngames=loto7\n", withLot7,
       "numira: FILE:2: games: numbers3, numbers4, miniloto, loto6 missing; numbers3, numbers4, miniloto, loto6 are "
       "always shown\n"},
      {"games=numbers3,miniloto,bingo5,x y\n", withBingo5,
       "numira: FILE:1: games: \"x y\" is not a game (numbers3, numbers4, miniloto, loto6, loto7, bingo5); ignored\n"
       "numira: FILE:1: games: numbers4, loto6 missing; numbers3, numbers4, miniloto, loto6 are always shown\n"},
      {"games=\n", kFour,
       "numira: FILE:1: games: numbers3, numbers4, miniloto, loto6 missing; numbers3, numbers4, miniloto, loto6 are "
       "always shown\n"},
  };
  for (const Row& r : rows) {
    std::error_code ec;
    std::filesystem::remove(ConfigPath(), ec);
    if (r.file) WriteConfig(r.file);
    FakeWindow w;
    auto d = Open(w);
    const std::string label = r.file ? r.file : "(no file)";
    EXPECT_EQ(Ids(*d), r.shown) << label;
    std::string expected = r.standardError;
    for (auto at = expected.find("FILE"); at != std::string::npos; at = expected.find("FILE", at + 1))
      expected.replace(at, 4, ConfigPath());
    EXPECT_EQ(w.standardError, expected) << label;
    // The window shows those panels, and reads the lists of those only.
    for (const PanelDef& p : kGamePanels) {
      const bool shown = std::find(r.shown.begin(), r.shown.end(), GameId(p.game)) != r.shown.end();
      EXPECT_EQ(w.Shown(p.groupBox), shown) << label << " " << GameId(p.game);
      EXPECT_EQ(w.Shown(p.resultFields[0]), shown) << label << " " << GameId(p.game);
      EXPECT_EQ(d->List(p.game).listsLoaded, shown ? 1 : 0) << label << " " << GameId(p.game);
    }
    EXPECT_EQ(w.clientHeight, 215 + 40 * static_cast<int>(r.shown.size() - 4)) << label;
    // Reading never writes the file.
    if (r.file) {
      EXPECT_EQ(Config(), r.file);
    }
  }
}

TEST(WindowLayout, PanelsShownByChoiceStackBelowLoto6AndPushTheRowBelowDown) {
  struct Row {
    bool lot7, bingo5;
    int height;
    int lot7Group, bingo5Group;  // the group boxes' tops (dialog units)
    int download, status, notice, about, close;
  };
  const Row rows[] = {
      {false, false, 215, 167, 167, 171, 171, 189, 179, 194},
      {true, false, 255, 167, 207, 211, 211, 229, 219, 234},  // ビンゴ５ hidden below ロト７
      {false, true, 255, 167, 167, 211, 211, 229, 219, 234},
      {true, true, 295, 167, 207, 251, 251, 269, 259, 274},
  };
  for (const Row& r : rows) {
    const ShownGames shown = ShownGames{}.With(Game::Lot7, r.lot7).With(Game::Bingo5, r.bingo5);
    const WindowLayout layout = LayoutFor(shown);
    EXPECT_EQ(layout.width, 307);
    EXPECT_EQ(layout.height, r.height);
    std::map<int, ControlPlace> at;
    for (const ControlPlace& p : layout.places) at.emplace(p.id, p);
    EXPECT_EQ(at.at(1019).y, r.download);
    EXPECT_EQ(at.at(1020).y, r.status);
    EXPECT_EQ(at.at(1022).y, r.notice);
    EXPECT_EQ(at.at(1038).y, r.about);
    EXPECT_EQ(at.at(1021).y, r.close);
    EXPECT_EQ(at.at(ctl::kLot7Group).shown, r.lot7);
    EXPECT_EQ(at.at(ctl::kBingo5Group).shown, r.bingo5);
    EXPECT_EQ(at.at(ctl::kLot7Group).y, r.lot7Group);
    EXPECT_EQ(at.at(ctl::kBingo5Group).y, r.bingo5Group);
    // A panel's controls move with its group box: 14 to 16 units below its top.
    EXPECT_EQ(at.at(ctl::kBingo5Check).y, r.bingo5Group + 16);
    EXPECT_EQ(at.at(ctl::kBingo5Result8).y, r.bingo5Group + 14);
    EXPECT_EQ(at.at(ctl::kLot7Predict).y, r.lot7Group + 14);
    EXPECT_EQ(at.at(ctl::kLot7Predict).shown, r.lot7);
    // The panels every window shows and the hidden buttons never move.
    EXPECT_EQ(at.count(ctl::kLot6Group) + at.count(ctl::kLot6Result6) + at.count(ctl::kOk) + at.count(ctl::kNum3Check), 0u);
  }
  // The fixed panels cannot be taken away.
  EXPECT_EQ(ShownGames{}.With(Game::Mini, false), ShownGames{});
}

TEST_F(ShownPanels, ATurnedOnPanelReadsItsListAndTheChoiceComesBackAtTheNextStart) {
  WriteConfig("list-server=127.0.0.1:9\n");
  FakeWindow first;
  auto a = Open(first);
  EXPECT_FALSE(first.Shown(ctl::kLot7Group));
  EXPECT_EQ(a->List(Game::Lot7).listsLoaded, 0);
  a->OnShownGamesChanged(Game::Lot7, true);
  EXPECT_TRUE(first.Shown(ctl::kLot7Check));
  EXPECT_EQ(first.clientHeight, 255);
  EXPECT_EQ(first.Text(ctl::kLot7Group), "【ロト７】　最新抽選日：2026年8月21日");
  EXPECT_TRUE(first.Enabled(ctl::kLot7Check));
  EXPECT_EQ(a->List(Game::Lot7).wonEntries.size(), 691u);
  EXPECT_EQ(Config(), "list-server=127.0.0.1:9\ngames=numbers3,numbers4,miniloto,loto6,loto7\n");
  // A fixed panel stays, and nothing is written for it.
  a->OnShownGamesChanged(Game::Mini, false);
  EXPECT_TRUE(first.Shown(ctl::kMiniGroup));
  EXPECT_EQ(Config(), "list-server=127.0.0.1:9\ngames=numbers3,numbers4,miniloto,loto6,loto7\n");
  EXPECT_TRUE(first.messages.empty());

  FakeWindow second;
  auto b = Open(second);
  EXPECT_EQ(Ids(*b), (std::vector<std::string>{"numbers3", "numbers4", "miniloto", "loto6", "loto7"}));
  EXPECT_EQ(second.Text(ctl::kLot7Group), "【ロト７】　最新抽選日：2026年8月21日");
  EXPECT_FALSE(second.Shown(ctl::kBingo5Group));
  b->OnShownGamesChanged(Game::Bingo5, true);
  // Given the state start-up gives a panel: filter items, the first selected, empty fields.
  EXPECT_EQ(second.controls[ctl::kBingo5Filter].items, (std::vector<std::string>{"未当せん", "１回以上当せん"}));
  EXPECT_EQ(second.controls[ctl::kBingo5Filter].selected, 0);
  EXPECT_FALSE(second.Enabled(ctl::kBingo5Filter));
  EXPECT_EQ(second.Text(ctl::kBingo5Result8), "");
  EXPECT_EQ(second.Text(ctl::kBingo5Group), "【ビンゴ５】　最新抽選日：2026年8月19日");
  EXPECT_EQ(second.clientHeight, 295);
  b->OnShownGamesChanged(Game::Lot7, false);
  EXPECT_EQ(Config(), "list-server=127.0.0.1:9\ngames=numbers3,numbers4,miniloto,loto6,bingo5\n");
  EXPECT_EQ(second.clientHeight, 255);
  EXPECT_EQ(second.controls[ctl::kBingo5Group].y, 167);
  EXPECT_EQ(second.standardError, "");

  FakeWindow third;
  auto c = Open(third);
  EXPECT_EQ(Ids(*c), (std::vector<std::string>{"numbers3", "numbers4", "miniloto", "loto6", "bingo5"}));
  EXPECT_EQ(c->List(Game::Lot7).listsLoaded, 0);
}

// The window reads its lists ahead while it makes its controls: a list replaced in the
// meantime is shown as the file now is, the others as read.
TEST_F(ShownPanels, AListReplacedAfterItWasReadAheadIsShownAsItIsNow) {
  WriteConfig("games=numbers3,numbers4,miniloto,loto6,loto7\n");
  FakeWindow w;
  CPredictDlg d(w, clock, DialogSetup{dir.Executable(), "127.0.0.1:9", ConfigPath()});
  w.dialog = &d;
  w.clock = &clock;
  d.StartReadingLists();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::string lot7 = (dir.path() / "Lot7Correct.txt").string();
  testing::WriteBytes(lot7 + ".new", "#2030\x94\x4E" "1\x8C\x8E" "9\x93\xFA\r\n1.2.3.4.5.6.7,1\r\n");
  std::filesystem::rename(lot7 + ".new", lot7);
  ASSERT_TRUE(d.OnInitDialog());
  EXPECT_NE(w.Text(Panel(Game::Lot7).groupBox).find("2030年1月9日"), std::string::npos) << w.Text(Panel(Game::Lot7).groupBox);
  EXPECT_EQ(d.List(Game::Lot7).wonEntries.size(), 1u);
  EXPECT_NE(w.Text(Panel(Game::Lot6).groupBox).find("最新抽選日"), std::string::npos) << w.Text(Panel(Game::Lot6).groupBox);
  EXPECT_GT(d.List(Game::Lot6).wonEntries.size(), 1000u);
}

TEST_F(ShownPanels, AChoiceThatCannotBeSavedIsSaidAndThePanelStaysShown) {
  std::filesystem::create_directories(ConfigPath());  // a folder where the file should be
  FakeWindow w;
  auto d = Open(w);
  d->OnShownGamesChanged(Game::Bingo5, true);
  EXPECT_TRUE(w.Shown(ctl::kBingo5Group));
  ASSERT_EQ(w.messages.size(), 1u);
  EXPECT_EQ(w.messages[0].text, "表示するくじを設定ファイルに保存できません（" + ConfigPath() + ": Is a directory）。");
  EXPECT_EQ(w.standardError, "numira: " + w.messages[0].text + "\n");
}

TEST_F(ShownPanels, NewGamesRollWithinTheirRangesFilterOnTheirListsAndAreCopied) {
  WriteConfig("games=numbers3,numbers4,miniloto,loto6,loto7,bingo5\n");
  FakeWindow w;
  auto d = Open(w);
  const std::set<std::string> lot7List = [] {
    const std::vector<std::string> lines = testing::DrawHistory("loto7.csv");
    return std::set<std::string>(lines.begin(), lines.end());
  }();
  const std::set<std::string> bingo5List = [] {
    const std::vector<std::string> lines = testing::DrawHistory("bingo5.csv");
    return std::set<std::string>(lines.begin(), lines.end());
  }();
  // The candidate counts of the filters, in the drop-downs' tooltips.
  w.Select(ctl::kLot7Filter, 0);
  d->OnFilterChoice(Game::Lot7);
  EXPECT_EQ(w.toolTips[ctl::kLot7Filter], "候補：10,294,781通り");  // 10,295,472 less 691 won
  w.Select(ctl::kBingo5Filter, 1);
  d->OnFilterChoice(Game::Bingo5);
  EXPECT_EQ(w.toolTips[ctl::kBingo5Filter], "候補：484通り");
  w.Select(ctl::kBingo5Filter, 0);
  d->OnFilterChoice(Game::Bingo5);
  EXPECT_EQ(w.toolTips[ctl::kBingo5Filter], "候補：390,141通り");  // 5^8 less 484 won

  for (int filter : {-1, 0, 1}) {
    for (Game g : {Game::Lot7, Game::Bingo5}) {
      w.Check(Panel(g).checkBox, filter >= 0);
      d->OnFilterCheck(g);
      if (filter >= 0) w.Select(Panel(g).dropDown, filter);
    }
    for (int round = 0; round < 12; ++round) {
      clock.seconds += 1;
      RollToProposal(w, *d, Game::Lot7);
      RollToProposal(w, *d, Game::Bingo5);
      const std::vector<int> lot7 = Numbers(w, Game::Lot7);
      ASSERT_EQ(lot7.size(), 7u);
      EXPECT_TRUE(std::is_sorted(lot7.begin(), lot7.end()));
      EXPECT_EQ(std::set<int>(lot7.begin(), lot7.end()).size(), 7u);
      EXPECT_GE(lot7.front(), 1);
      EXPECT_LE(lot7.back(), 37);
      const std::vector<int> bingo5 = Numbers(w, Game::Bingo5);
      ASSERT_EQ(bingo5.size(), 8u);
      for (int k = 0; k < 8; ++k) {
        EXPECT_GE(bingo5[static_cast<std::size_t>(k)], 5 * k + 1) << k;
        EXPECT_LE(bingo5[static_cast<std::size_t>(k)], 5 * k + 5) << k;
      }
      if (filter >= 0) {
        EXPECT_EQ(lot7List.count(d->LastProposal(Game::Lot7)), filter == 1 ? 1u : 0u) << d->LastProposal(Game::Lot7);
        EXPECT_EQ(bingo5List.count(d->LastProposal(Game::Bingo5)), filter == 1 ? 1u : 0u);
      }
      EXPECT_EQ(d->OnCtlColor(ctl::kLot7Result7), TextColour::Blue);
      EXPECT_EQ(d->OnCtlColor(ctl::kBingo5Result8), TextColour::Blue);
    }
  }
  // Ctrl+C copies them with the others, two digits a number.
  std::string lot7, bingo5;
  for (int n : Numbers(w, Game::Lot7)) lot7 += (lot7.empty() ? "" : " ") + std::string(n < 10 ? "0" : "") + std::to_string(n);
  for (int n : Numbers(w, Game::Bingo5))
    bingo5 += (bingo5.empty() ? "" : " ") + std::string(n < 10 ? "0" : "") + std::to_string(n);
  d->OnCopy();
  EXPECT_EQ(w.clipboard, "ロト７：" + lot7 + "\nビンゴ５：" + bingo5);
  // A hidden panel's proposal is not copied.
  d->OnShownGamesChanged(Game::Lot7, false);
  d->OnCopy();
  EXPECT_EQ(w.clipboard, "ビンゴ５：" + bingo5);
}

TEST_F(ShownPanels, HidingARollingPanelEndsItsRollAndItComesBackIdle) {
  WriteConfig("games=numbers3,numbers4,miniloto,loto6,loto7\n");
  FakeWindow w;
  auto d = Open(w);
  d->OnPredict(Game::Lot7);
  w.RunFor(55);
  EXPECT_FALSE(w.Enabled(ctl::kLot7Check));
  EXPECT_NE(w.Text(ctl::kLot7Result1), "");
  d->OnShownGamesChanged(Game::Lot7, false);
  EXPECT_FALSE(w.TimerArmed(6));
  EXPECT_EQ(w.Text(ctl::kLot7Result1), "");
  EXPECT_EQ(w.Text(ctl::kLot7Predict), "予想");
  EXPECT_TRUE(w.Enabled(ctl::kLot7Predict));
  EXPECT_TRUE(w.Enabled(ctl::kLot7Check));
  EXPECT_EQ(d->LastProposal(Game::Lot7), "");
  d->OnShownGamesChanged(Game::Lot7, true);
  d->OnPredict(Game::Lot7);
  EXPECT_EQ(w.TimerDue(6), w.Now() + 10);
  w.RunFor(10);
  EXPECT_NE(w.Text(ctl::kLot7Result1), "");
}

}  // namespace
}  // namespace numira
