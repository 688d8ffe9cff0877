// The dialog's handlers driven through a fake window on a virtual clock: start-up,
// the predict button, whole rolls with their deceleration, and the finish rules.
#include <gtest/gtest.h>

#include <array>

#include <set>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "FakeWindow.h"
#include "FileStore.h"
#include "PredictDlg.h"
#include "TestData.h"
#include "Texts.h"

namespace numira {
namespace {

using testing::FakeClock;
using testing::FakeWindow;
using testing::TempDir;

// The panels' captions without a date, as they stand with no lists.
const std::array<std::string, 4> kPlainCaptions{"【ナンバーズ３】", "【ナンバーズ４】", "【ミニロト】", "【ロト６】"};

const std::vector<std::int64_t> kStopSchedule{20, 35, 55, 80, 110, 145, 185, 230, 280,
                                              335, 395, 460, 530, 605, 685, 770, 860, 955};

namespace fs = std::filesystem;

class Dialog : public ::testing::Test {
 protected:
  void Open(bool realLists = true) {
    if (realLists) dir.CopyRealLists();
    dlg = std::make_unique<CPredictDlg>(window, clock, DialogSetup{dir.Executable(), "127.0.0.1:9", config});
    window.dialog = dlg.get();
    window.clock = &clock;
    ASSERT_TRUE(dlg->OnInitDialog());
  }
  void WriteList(const char* name, const std::string& bytes) { testing::WriteBytes(dir.path() / name, bytes); }
  void Filter(Game g, int item) {
    window.Check(Panel(g).checkBox, true);
    dlg->OnFilterCheck(g);
    window.Select(Panel(g).dropDown, item);
  }
  // Times at which the game's first result field changed, from `since` on.
  std::vector<std::int64_t> TickTimes(Game g, std::int64_t since) const {
    std::vector<std::int64_t> t;
    for (const auto& c : window.changes)
      if (c.id == Panel(g).resultFields[0] && c.at >= since) t.push_back(c.at);
    return t;
  }
  std::vector<int> Shown(Game g) const {
    std::vector<int> v;
    for (int id : ResultFields(g)) v.push_back(std::stoi(window.Text(id)));
    return v;
  }
  std::string ShownText(Game g) const {
    std::string s;
    for (int id : ResultFields(g)) s += (s.empty() ? "" : ".") + window.Text(id);
    return s;
  }

  TempDir dir;
  FakeWindow window;
  FakeClock clock;
  std::unique_ptr<CPredictDlg> dlg;
  std::string config;  // numira.conf ("" none)
};

TEST_F(Dialog, StartsWithoutListsInAPlainIdleState) {
  // Without a path of its own the dialog takes the running executable's, and its lists
  // lie in that folder.
  const CPredictDlg running(window, clock);
  EXPECT_EQ(running.ExecutablePath(), numira::ExecutablePath());
  EXPECT_FALSE(running.ExecutablePath().empty());
  Open(false);
  for (const PanelDef& p : kPanels) {
    EXPECT_FALSE(window.Enabled(p.checkBox));
    EXPECT_FALSE(window.Enabled(p.dropDown));
    EXPECT_TRUE(window.Enabled(p.groupBox));
    EXPECT_TRUE(window.Enabled(p.predictButton));
    EXPECT_EQ(window.Text(p.groupBox), kPlainCaptions[GameIndex(p.game)]);
    EXPECT_EQ(window.controls[p.dropDown].selected, 0);
    for (int id : ResultFields(p.game)) EXPECT_EQ(window.Text(id), "");
    EXPECT_EQ(dlg->List(p.game).listsLoaded, 0);
  }
  EXPECT_EQ(window.controls[ctl::kNum3Filter].items, (std::vector<std::string>{"未当せん", "１～４回当せん", "５回以上当せん"}));
  EXPECT_EQ(window.controls[ctl::kLot6Filter].items, (std::vector<std::string>{"未当せん", "１回以上当せん"}));
  EXPECT_EQ(window.Text(ctl::kStatus), "");
  EXPECT_EQ(dlg->WindowTitle(), "ぬみら");
  EXPECT_TRUE(window.centred);
  // The predict buttons work without lists.
  dlg->OnPredict(Game::Num3);
  EXPECT_TRUE(window.TimerArmed(Panel(Game::Num3).timerId));
}

TEST_F(Dialog, StartsWithTheRealListsShowingTheirDates) {
  Open();
  EXPECT_EQ(window.Text(ctl::kNum3Group), "【ナンバーズ３】　最新抽選日：2026年8月21日");
  EXPECT_EQ(window.Text(ctl::kNum4Group), "【ナンバーズ４】　最新抽選日：2026年8月21日");
  EXPECT_EQ(window.Text(ctl::kMiniGroup), "【ミニロト】　最新抽選日：2025年9月23日");
  EXPECT_EQ(window.Text(ctl::kLot6Group), "【ロト６】　最新抽選日：2025年9月25日");
  for (const PanelDef& p : kPanels) {
    EXPECT_TRUE(window.Enabled(p.checkBox));
    EXPECT_FALSE(window.Enabled(p.dropDown));
    EXPECT_EQ(dlg->List(p.game).listsLoaded, 1);
  }
  EXPECT_EQ(dlg->Paths()[0], (dir.path() / "Num3NoCorrect.txt").string());
}

TEST_F(Dialog, AnInstalledCopyReadsItsListsInTheUsersFolder) {
  testing::WriteBytes(dir.path() / "numira.installed", "");
  const testing::ScopedEnv xdg("XDG_DATA_HOME", (dir.path() / "data").string());
  Open();
  EXPECT_EQ(dlg->Paths()[0], (dir.path() / "data/numira/Num3NoCorrect.txt").string());
  EXPECT_EQ(testing::ReadBytes(dir.path() / "data/numira/Lot6Correct.txt"), testing::ReadBytes(dir.path() / "Lot6Correct.txt"));
  EXPECT_EQ(window.Text(ctl::kLot6Group), "【ロト６】　最新抽選日：2025年9月25日");
  EXPECT_EQ(window.Text(ctl::kStatus), "");
}

TEST_F(Dialog, AUserFolderTooLongForAListPathShowsTheShippedListsAndSaysSo) {
  testing::WriteBytes(dir.path() / "numira.installed", "");
  const testing::ScopedEnv xdg("XDG_DATA_HOME", "/" + std::string(500, 'x'));
  Open();
  EXPECT_EQ(window.Text(ctl::kStatus), "保存先のパスが長すぎます。付属の情報を表示中。");
  EXPECT_EQ(dlg->OnCtlColor(ctl::kStatus), TextColour::Red);
  EXPECT_EQ(dlg->Paths()[0], (dir.path() / "Num3NoCorrect.txt").string());
  EXPECT_EQ(window.Text(ctl::kNum3Group), "【ナンバーズ３】　最新抽選日：2026年8月21日");
  EXPECT_EQ(dlg->List(Game::Lot6).listsLoaded, 1);
  // The lists lie in the installed copy's own folder, where a refresh stores nothing.
  EXPECT_FALSE(dlg->ListFolder().writable);
}

// Root running the program with a user's home (sudo without -H): nothing of root's is made
// there, not by the start, a refresh or 設定; the lists there are read, else the shipped
// ones, and the window says so.
TEST_F(Dialog, RootWithAUsersHomeWritesNothingThere) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  testing::WriteBytes(dir.path() / "numira.installed", "");
  testing::TempDir home;
  ASSERT_EQ(::chown(home.path().c_str(), 65534, 65534), 0);
  const testing::ScopedEnv homeVar("HOME", home.path().string());
  const testing::ScopedEnv xdg("XDG_DATA_HOME", "");
  const auto rootsFiles = [&] {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(home.path())) {
      struct stat st;
      if (::lstat(e.path().c_str(), &st) == 0 && st.st_uid != 65534) found.push_back(e.path().string());
    }
    return found;
  };
  // No folder of lists in the home yet: the shipped lists, nothing made.
  Open();
  EXPECT_EQ(window.Text(ctl::kStatus), text::kRootInOthersHome);
  EXPECT_NE(window.standardError.find(text::kRootInOthersHome), std::string::npos);
  EXPECT_EQ(dlg->Paths()[0], (dir.path() / "Num3NoCorrect.txt").string());
  EXPECT_EQ(dlg->List(Game::Lot6).listsLoaded, 1);
  EXPECT_TRUE(dlg->ConfigFile().empty());
  dlg->OnListServerSaved("http://127.0.0.1:9");
  dlg->OnDownload();
  EXPECT_TRUE(std::filesystem::is_empty(home.path()));
  // The user's own lists are read as they are.
  const std::filesystem::path user = home.path() / ".local/share/numira";
  std::filesystem::create_directories(user);
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().extension() == ".txt") std::filesystem::copy_file(e.path(), user / e.path().filename());
  testing::WriteBytes(user / "Lot6Correct.txt", "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n1.2.3.4.5.6,1\r\n");
  for (const auto& e : std::filesystem::recursive_directory_iterator(home.path()))
    ASSERT_EQ(::lchown(e.path().c_str(), 65534, 65534), 0);
  Open();
  EXPECT_EQ(dlg->Paths()[0], (user / "Num3NoCorrect.txt").string());
  EXPECT_EQ(dlg->List(Game::Lot6).wonEntries, (std::vector<std::string>{"1.2.3.4.5.6"}));
  dlg->OnListServerSaved("http://127.0.0.1:9");
  dlg->OnDownload();
  EXPECT_EQ(rootsFiles(), std::vector<std::string>{});
}

// The start sweeps what a killed writer left only under the folder's lock, and then takes
// any stage but its own for a leftover, whatever its pid says: pid 1 is alive here, yet a
// stage under that pid was written by a refresh of another pid namespace now gone. While
// another writer holds the folder, nothing is swept.
TEST_F(Dialog, TheStartSweepsUnderTheFoldersLockOnly) {
  dir.CopyRealLists();
  const fs::path stage = dir.path() / ".Num3Correct.txt.1.part";
  testing::WriteBytes(stage, "#2026");
  {
    const FolderLock writer(dir.path().string());
    ASSERT_TRUE(writer.Held());
    Open(false);
    EXPECT_TRUE(fs::exists(stage)) << "swept while another writer held the folder";
  }
  Open(false);
  EXPECT_FALSE(fs::exists(stage));
}

TEST_F(Dialog, SeedsWithTheCalendarSeconds) {
  clock.seconds = 1;
  Open();
  dlg->OnPredict(Game::Num3);
  window.RunFor(10);
  EXPECT_EQ(window.Text(ctl::kNum3Result), "041");  // first result after seeding with 1 is 41
}

// ---- Whole rolls, every game under every filter choice ----

struct RollCase {
  const char* name;
  Game game;
  int filterItem;  // -1: filter off
};

const char* DrawsCsv(Game g) {
  return std::array{"numbers3.csv", "numbers4.csv", "miniloto.csv", "loto6.csv", "loto7.csv", "bingo5.csv"}[GameIndex(g)];
}

// The tooltips a standing proposal should have, counted from the draw history.
std::vector<std::string> ExpectedToolTips(Game g, const std::vector<std::string>& shown) {
  const std::vector<std::string> draws = testing::DrawHistory(DrawsCsv(g));
  if (IsNumbers(g))
    return {"過去の当せん回数：" + std::to_string(std::count(draws.begin(), draws.end(), shown[0])) + "回"};
  std::vector<std::string> tips;
  for (const std::string& n : shown) {
    const auto hit = std::count_if(draws.begin(), draws.end(), [&](const std::string& d) {
      return ("." + d + ".").find("." + n + ".") != std::string::npos;
    });
    tips.push_back(n + " の当せん回数：" + std::to_string(hit) + "回");
  }
  return tips;
}

class WholeRoll : public Dialog, public ::testing::WithParamInterface<RollCase> {};
// Cases are named by their name in test listings.
void PrintTo(const RollCase& c, std::ostream* os) { *os << c.name; }

TEST_P(WholeRoll, SlowsDownOnTheScheduleAndStandsOnAProposal) {
  const RollCase& c = GetParam();
  if (c.game == Game::Lot7 || c.game == Game::Bingo5) {
    // Their panels are shown by choice.
    config = (dir.path() / "numira.conf").string();
    testing::WriteBytes(config, "games=numbers3,numbers4,miniloto,loto6,loto7,bingo5\n");
  }
  Open();
  const PanelDef& p = Panel(c.game);
  if (c.filterItem >= 0) Filter(c.game, c.filterItem);
  dlg->OnPredict(c.game);
  EXPECT_EQ(window.Text(p.predictButton), text::kStop);
  EXPECT_EQ(window.TimerDue(p.timerId), 10);
  EXPECT_FALSE(window.Enabled(p.checkBox));
  EXPECT_FALSE(window.Enabled(p.dropDown));

  window.RunFor(205);  // free ticks at 10, 20, ... 200
  EXPECT_EQ(TickTimes(c.game, 1).size(), 20u);
  EXPECT_EQ(dlg->OnCtlColor(p.resultFields[0]), TextColour::Red);

  dlg->OnPredict(c.game);  // the stop press
  EXPECT_FALSE(window.Enabled(p.predictButton));
  EXPECT_EQ(window.Text(p.predictButton), text::kStop);
  EXPECT_EQ(dlg->Roll(c.game).stopCounter, 1);

  ASSERT_TRUE(window.RunUntilIdle());
  const auto ticks = TickTimes(c.game, 206);
  ASSERT_EQ(ticks.size(), 19u);
  EXPECT_EQ(ticks[0], 210);
  for (std::size_t k = 1; k < ticks.size(); ++k) EXPECT_EQ(ticks[k] - ticks[k - 1], kStopSchedule[k - 1]) << k;
  EXPECT_EQ(ticks.back() - 200, 6745);

  EXPECT_EQ(dlg->Roll(c.game).stopCounter, 20);
  EXPECT_EQ(dlg->Roll(c.game).rollInterval, 1055);
  EXPECT_EQ(dlg->OnCtlColor(p.resultFields[0]), TextColour::Blue);
  EXPECT_TRUE(window.Enabled(p.predictButton));
  EXPECT_EQ(window.Text(p.predictButton), text::kPredict);
  EXPECT_TRUE(window.Enabled(p.checkBox));
  EXPECT_EQ(window.Enabled(p.dropDown), c.filterItem >= 0);
  EXPECT_TRUE(window.messages.empty());

  // Each field tells its proposal's history, also to a screen reader.
  std::vector<std::string> shown, tips;
  for (int id : ResultFields(c.game)) {
    shown.push_back(window.Text(id));
    tips.push_back(window.toolTips[id]);
  }
  EXPECT_EQ(tips, ExpectedToolTips(c.game, shown));
  EXPECT_EQ(dlg->LastProposal(c.game), IsNumbers(c.game) ? shown[0] : ShownText(c.game));
  EXPECT_GT(window.historyChanges, 0);

  // The proposal is one the filter allows.
  const WinningList& list = dlg->List(c.game);
  if (IsNumbers(c.game)) {
    const CandidatePool& pool = dlg->Pool(c.game);
    EXPECT_NE(std::find(pool.begin(), pool.end(), window.Text(p.resultFields[0])), pool.end());
    EXPECT_EQ(window.Text(p.resultFields[0]).size(), c.game == Game::Num3 ? 3u : 4u);
  } else {
    const std::vector<int> shown = Shown(c.game);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    const bool inList = std::find(list.wonEntries.begin(), list.wonEntries.end(), ShownText(c.game)) != list.wonEntries.end();
    if (c.filterItem >= 0) {
      EXPECT_EQ(inList, c.filterItem == 1);
    }
    EXPECT_EQ(dlg->Roll(c.game).lotoMode,
              c.filterItem < 0 ? LotoMode::Free : (c.filterItem == 0 ? LotoMode::NeverWon : LotoMode::Past));
  }

  // Starting again rolls in red from the first tick at 10 ms, and without tooltips.
  dlg->OnPredict(c.game);
  EXPECT_EQ(dlg->Roll(c.game).rollInterval, 10);
  EXPECT_EQ(window.toolTips[p.resultFields[0]], "");
  window.RunFor(10);
  EXPECT_EQ(dlg->OnCtlColor(p.resultFields[0]), TextColour::Red);
}

INSTANTIATE_TEST_SUITE_P(
    GamesAndFilters, WholeRoll,
    ::testing::Values(RollCase{"Num3_all", Game::Num3, -1}, RollCase{"Num3_never", Game::Num3, 0},
                      RollCase{"Num3_1to4", Game::Num3, 1}, RollCase{"Num3_5plus", Game::Num3, 2},
                      RollCase{"Num4_all", Game::Num4, -1}, RollCase{"Num4_never", Game::Num4, 0},
                      RollCase{"Num4_1to4", Game::Num4, 1}, RollCase{"Num4_5plus", Game::Num4, 2},
                      RollCase{"Mini_free", Game::Mini, -1}, RollCase{"Mini_never", Game::Mini, 0},
                      RollCase{"Mini_past", Game::Mini, 1}, RollCase{"Lot6_free", Game::Lot6, -1},
                      RollCase{"Lot6_never", Game::Lot6, 0}, RollCase{"Lot6_past", Game::Lot6, 1},
                      RollCase{"Lot7_free", Game::Lot7, -1}, RollCase{"Lot7_never", Game::Lot7, 0},
                      RollCase{"Lot7_past", Game::Lot7, 1}, RollCase{"Bingo5_free", Game::Bingo5, -1},
                      RollCase{"Bingo5_never", Game::Bingo5, 0}, RollCase{"Bingo5_past", Game::Bingo5, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dialog, GamesRollAtOnceEachOnItsOwnSchedule) {
  Open();
  dlg->OnPredict(Game::Num3);  // armed at 0
  window.RunFor(3);
  dlg->OnPredict(Game::Mini);  // armed at 3: re-seeds, ticks at 13, 23, ...
  window.RunFor(2);
  dlg->OnPredict(Game::Lot6);  // at 5
  window.RunUntil(100);
  dlg->OnPredict(Game::Num3);  // stop: last free tick was at 100
  window.RunUntil(250);
  dlg->OnPredict(Game::Mini);  // last free tick at 243
  ASSERT_EQ(window.RunUntilIdle(20000), false);  // Lot6 still rolls freely
  EXPECT_EQ(TickTimes(Game::Num3, 101).back(), 100 + 6745);
  EXPECT_EQ(TickTimes(Game::Mini, 251).back(), 243 + 6745);
  EXPECT_EQ(TickTimes(Game::Num3, 101).size(), 19u);
  EXPECT_EQ(dlg->OnCtlColor(ctl::kMiniResult3), TextColour::Blue);
  EXPECT_EQ(dlg->OnCtlColor(ctl::kLot6Result1), TextColour::Red);
  EXPECT_TRUE(window.TimerArmed(Panel(Game::Lot6).timerId));
  dlg->OnPredict(Game::Lot6);
  ASSERT_TRUE(window.RunUntilIdle());
  EXPECT_EQ(dlg->OnCtlColor(ctl::kLot6Result6), TextColour::Blue);
}

// ---- The empty pool, and the pools the real lists give ----

TEST_F(Dialog, EmptyPoolSaysSoAndStaysIdle) {
  Open(false);
  WriteList("Num3Correct.txt", "#2026\x94\x4E" "1\x8C\x8E" "1\x93\xFA\r\n123,4\r\n");
  dlg->LoadAllLists();
  Filter(Game::Num3, 0);  // never won: no never-won list was read
  dlg->OnPredict(Game::Num3);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "データがありません。");
  EXPECT_EQ(window.messages[0].caption, "ぬみら");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::Warning);
  EXPECT_FALSE(window.TimerArmed(Panel(Game::Num3).timerId));
  EXPECT_EQ(window.Text(ctl::kNum3Predict), text::kPredict);
  EXPECT_TRUE(window.Enabled(ctl::kNum3Check));
  EXPECT_TRUE(window.Enabled(ctl::kNum3Filter));
  EXPECT_EQ(dlg->Roll(Game::Num3).stopCounter, 1);
  EXPECT_TRUE(dlg->Pool(Game::Num3).empty());

  // A checked box counts even while disabled: Mini has no list at all.
  window.Check(ctl::kMiniCheck, true);
  dlg->OnPredict(Game::Mini);
  EXPECT_EQ(window.messages.size(), 2u);
  EXPECT_FALSE(window.TimerArmed(Panel(Game::Mini).timerId));
  // Filter off: a Loto game never needs a pool.
  window.Check(ctl::kMiniCheck, false);
  dlg->OnPredict(Game::Mini);
  EXPECT_EQ(window.messages.size(), 2u);
  EXPECT_TRUE(window.TimerArmed(Panel(Game::Mini).timerId));
  EXPECT_EQ(dlg->Roll(Game::Mini).lotoMode, LotoMode::Free);
}

TEST_F(Dialog, NeverWonWithEveryCombinationListedDoesNotStartARoll) {
  Open(false);
  std::string bytes = "#2026\x94\x4E" "1\x8C\x8E" "1\x93\xFA\r\n";
  Combination c{};
  for (c[0] = 1; c[0] <= 27; ++c[0])
    for (c[1] = c[0] + 1; c[1] <= 28; ++c[1])
      for (c[2] = c[1] + 1; c[2] <= 29; ++c[2])
        for (c[3] = c[2] + 1; c[3] <= 30; ++c[3])
          for (c[4] = c[3] + 1; c[4] <= 31; ++c[4]) bytes += FormatEntry(c, Game::Mini) + ",1\r\n";
  WriteList("MiniCorrect.txt", bytes);
  dlg->LoadAllLists();
  Filter(Game::Mini, 0);
  dlg->OnPredict(Game::Mini);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, "データがありません。");
  EXPECT_FALSE(window.TimerArmed(Panel(Game::Mini).timerId));
  // The past-combination choice still works with the same list.
  window.Select(ctl::kMiniFilter, 1);
  dlg->OnPredict(Game::Mini);
  EXPECT_TRUE(window.TimerArmed(Panel(Game::Mini).timerId));
}

TEST_F(Dialog, RealListsGiveTheExpectedPools) {
  Open();
  Filter(Game::Num3, 0);
  dlg->OnPredict(Game::Num3);
  EXPECT_EQ(dlg->Pool(Game::Num3), (CandidatePool{"894"}));

  CandidatePool fivePlus;
  for (const auto& [number, n] : testing::DrawCounts("numbers4.csv"))
    if (n >= 5) fivePlus.push_back(number);
  Filter(Game::Num4, 2);
  dlg->OnPredict(Game::Num4);
  CandidatePool got = dlg->Pool(Game::Num4);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, fivePlus);
  EXPECT_EQ(got.size(), 4u);

  // Mini: the list stores each combination once with how often it was drawn; the pool
  // keeps the list as it is, so a combination drawn twice is one entry with count 2.
  Filter(Game::Mini, 1);
  dlg->OnPredict(Game::Mini);
  const CandidatePool& mini = dlg->Pool(Game::Mini);
  EXPECT_EQ(mini, dlg->List(Game::Mini).wonEntries);
  const auto it = std::find(mini.begin(), mini.end(), "7.14.16.17.29");
  ASSERT_NE(it, mini.end());
  EXPECT_EQ(dlg->List(Game::Mini).winCounts[static_cast<std::size_t>(it - mini.begin())], 2u);
}

TEST_F(Dialog, NeverWonLoto6ProposalsAreNeverInTheList) {
  Open();
  const auto& won = dlg->List(Game::Lot6).wonEntries;
  const std::set<std::string> listed(won.begin(), won.end());
  Filter(Game::Lot6, 0);
  for (int roll = 0; roll < 20; ++roll) {
    clock.seconds += 1;
    dlg->OnPredict(Game::Lot6);
    window.RunFor(50);
    dlg->OnPredict(Game::Lot6);
    ASSERT_TRUE(window.RunUntilIdle());
    EXPECT_EQ(listed.count(ShownText(Game::Lot6)), 0u) << ShownText(Game::Lot6);
  }
}

TEST_F(Dialog, PastCombinationsAreShownSortedAndShortOnesDoNotCrash) {
  Open(false);
  WriteList("Lot6Correct.txt", "43.1.19.8.27.33,1\r\n");
  WriteList("MiniCorrect.txt", "5.4,1\r\n");
  dlg->LoadAllLists();
  Filter(Game::Lot6, 1);
  Filter(Game::Mini, 1);
  dlg->OnPredict(Game::Lot6);
  dlg->OnPredict(Game::Mini);
  window.RunFor(10);
  EXPECT_EQ(ShownText(Game::Lot6), "1.8.19.27.33.43");
  EXPECT_EQ(ShownText(Game::Mini), "0.0.0.4.5");
}

TEST_F(Dialog, ARereadListRetellsTheStandingProposalsHistory) {
  Open();
  dlg->OnPredict(Game::Num3);
  window.RunFor(30);
  dlg->OnPredict(Game::Num3);
  ASSERT_TRUE(window.RunUntilIdle());
  const std::string shown = window.Text(ctl::kNum3Result);
  const int changes = window.historyChanges;
  WriteList("Num3Correct.txt", "#2026\x94\x4E" "9\x8C\x8E" "1\x93\xFA\r\n" + shown + ",9\r\n");
  dlg->ReadList(Game::Num3, ListKind::Correct);
  EXPECT_EQ(window.toolTips[ctl::kNum3Result], "過去の当せん回数：9回");
  EXPECT_EQ(window.historyChanges, changes + 1);
  testing::fs::remove(dir.path() / "Num3Correct.txt");
  dlg->ReadList(Game::Num3, ListKind::Correct);
  EXPECT_EQ(window.toolTips[ctl::kNum3Result], "過去の当せん回数：0回");
  EXPECT_EQ(window.historyChanges, changes + 2);
  EXPECT_FALSE(dlg->History(Game::Num3).hasData);
}

// ---- The finish and the filter controls ----

TEST_F(Dialog, WithoutListsTheFilterControlsAreLeftAlone) {
  Open(false);
  window.Check(ctl::kNum4Check, true);
  dlg->OnPredict(Game::Num4);  // pool empty (no list): message
  window.Check(ctl::kNum4Check, false);
  dlg->OnPredict(Game::Num4);
  EXPECT_EQ(dlg->Roll(Game::Num4).filterWasChecked, 0);
  EXPECT_FALSE(window.Enabled(ctl::kNum4Check));
  dlg->OnPredict(Game::Num4);
  ASSERT_TRUE(window.RunUntilIdle());
  EXPECT_FALSE(window.Enabled(ctl::kNum4Check));
  EXPECT_FALSE(window.Enabled(ctl::kNum4Filter));
  EXPECT_TRUE(window.Enabled(ctl::kNum4Predict));
}

TEST_F(Dialog, ListReadEmptyDuringARollKeepsTheFilterOffAtTheFinish) {
  Open();
  Filter(Game::Num3, 1);
  dlg->OnPredict(Game::Num3);
  window.RunFor(30);
  WriteList("Num3Correct.txt", "#only a header\r\n");
  EXPECT_EQ(dlg->ReadList(Game::Num3, ListKind::Correct), 0);
  EXPECT_EQ(window.Text(ctl::kNum3Group), "【ナンバーズ３】");
  EXPECT_FALSE(window.Enabled(ctl::kNum3Group));
  dlg->OnPredict(Game::Num3);
  ASSERT_TRUE(window.RunUntilIdle());
  EXPECT_FALSE(window.Enabled(ctl::kNum3Check));
  EXPECT_FALSE(window.Enabled(ctl::kNum3Filter));
  EXPECT_TRUE(window.Enabled(ctl::kNum3Predict));
  EXPECT_EQ(window.Text(ctl::kNum3Predict), text::kPredict);
}

TEST_F(Dialog, FilterCheckBoxDrivesItsDropDownAndKeepsTheSelection) {
  Open();
  window.Select(ctl::kMiniFilter, 1);
  window.Check(ctl::kMiniCheck, true);
  dlg->OnFilterCheck(Game::Mini);
  EXPECT_TRUE(window.Enabled(ctl::kMiniFilter));
  window.Check(ctl::kMiniCheck, false);
  dlg->OnFilterCheck(Game::Mini);
  EXPECT_FALSE(window.Enabled(ctl::kMiniFilter));
  EXPECT_EQ(window.SelectedText(ctl::kMiniFilter), "１回以上当せん");
}

// ---- Reading lists into the panels ----

TEST_F(Dialog, ReadsSetThePanelAndTheLastReadDecides) {
  Open(false);
  WriteList("Num3NoCorrect.txt", "#2026\x94\x4E" "1\x8C\x8E" "1\x93\xFA\r\n894\r\n");
  WriteList("Num3Correct.txt", "#2026\x94\x4E" "1\x8C\x8E" "2\x93\xFA\r\n");
  dlg->LoadAllLists();
  // The won list is read last and is empty: the panel ends disabled.
  EXPECT_EQ(dlg->List(Game::Num3).neverWonEntries, std::vector<std::string>{"894"});
  EXPECT_EQ(dlg->List(Game::Num3).listsLoaded, 0);
  EXPECT_FALSE(window.Enabled(ctl::kNum3Group));
  EXPECT_FALSE(window.Enabled(ctl::kNum3Check));
  EXPECT_EQ(window.Text(ctl::kNum3Group), "【ナンバーズ３】");
  EXPECT_EQ(dlg->List(Game::Num3).latestDrawDate, "2026年1月2日");

  // Data without a header: the caption with an empty date.
  WriteList("Num3Correct.txt", "123,1\r\n");
  EXPECT_EQ(dlg->ReadList(Game::Num3, ListKind::Correct), 1);
  EXPECT_EQ(window.Text(ctl::kNum3Group), "【ナンバーズ３】　最新抽選日：");
  EXPECT_TRUE(window.Enabled(ctl::kNum3Group));
  EXPECT_EQ(dlg->List(Game::Num3).neverWonEntries, std::vector<std::string>{"894"});  // the other kind stays
}

TEST_F(Dialog, AFileThatCannotBeOpenedEmptiesItsListButNotThePanel) {
  Open();
  testing::fs::remove(dir.path() / "Mini" "Correct.txt");
  EXPECT_EQ(dlg->ReadList(Game::Mini, ListKind::Correct), -1544);
  EXPECT_TRUE(dlg->List(Game::Mini).wonEntries.empty());
  EXPECT_TRUE(dlg->List(Game::Mini).latestDrawDate.empty());
  EXPECT_EQ(dlg->List(Game::Mini).listsLoaded, 1);
  EXPECT_EQ(window.Text(ctl::kMiniGroup), "【ミニロト】　最新抽選日：2025年9月23日");
  testing::fs::remove(dir.path() / "Num4NoCorrect.txt");
  EXPECT_EQ(dlg->ReadList(Game::Num4, ListKind::NoCorrect), -1477);
  EXPECT_FALSE(dlg->List(Game::Num4).wonEntries.empty());
  EXPECT_EQ(dlg->ReadList(Game::Num3, ListKind::Correct), 999);
}

TEST_F(Dialog, DeletedFileLeavesTheListsInMemory) {
  Open();
  testing::fs::remove(dir.path() / "Lot6Correct.txt");
  // A roll after the deletion still draws from the list read at start-up.
  Filter(Game::Lot6, 1);
  dlg->OnPredict(Game::Lot6);
  EXPECT_EQ(dlg->Pool(Game::Lot6).size(), 2037u);
  window.RunFor(50);
  dlg->OnPredict(Game::Lot6);
  ASSERT_TRUE(window.RunUntilIdle());
  const auto& won = dlg->List(Game::Lot6).wonEntries;
  EXPECT_EQ(won.size(), 2037u);
  EXPECT_NE(std::find(won.begin(), won.end(), ShownText(Game::Lot6)), won.end());
}

// ---- The rest of the window ----

TEST_F(Dialog, ColoursClosingAndTheAboutCommand) {
  Open();
  EXPECT_EQ(dlg->OnCtlColor(ctl::kNotice), TextColour::DarkGreen);
  EXPECT_EQ(dlg->OnCtlColor(ctl::kStatus), TextColour::Red);  // no refresh yet
  EXPECT_EQ(dlg->OnCtlColor(ctl::kNum3Check), TextColour::Default);
  EXPECT_EQ(dlg->OnCtlColor(ctl::kMiniGroup), TextColour::Default);
  EXPECT_EQ(dlg->OnCtlColor(ctl::kLot6Result6), TextColour::Red);  // interval 10 after start-up
  EXPECT_EQ(ResultColour(kFinishInterval - 1), TextColour::Red);
  EXPECT_EQ(ResultColour(kFinishInterval), TextColour::Blue);

  // The platform's low four bits do not matter; the next command up is another one.
  EXPECT_TRUE(dlg->OnSysCommand(ctl::kAboutCommand));
  EXPECT_TRUE(dlg->OnSysCommand(ctl::kAboutCommand | 0xF));
  EXPECT_FALSE(dlg->OnSysCommand(ctl::kAboutCommand + 0x10));
  EXPECT_FALSE(dlg->OnSysCommand(ctl::kCloseCommand));  // close goes to the window's default handling
  dlg->OnAboutButton();
  EXPECT_EQ(window.aboutBoxes, 3);
  dlg->OnHistory();
  EXPECT_EQ(window.historyShown, 1);

  dlg->OnCloseButton();
  EXPECT_EQ(window.endCode, 0);
}

TEST(Filters, EachItemIsRecognisedByItsTextAndAnythingElseIsTheLast) {
  for (Game g : kShownGames)
    for (const FilterItem& item : FilterItems(g)) EXPECT_EQ(RecogniseFilter(g, item.text), item.choice) << item.text;
  EXPECT_EQ(RecogniseFilter(Game::Num3, ""), FilterChoice::FiveOrMore);
  EXPECT_EQ(RecogniseFilter(Game::Mini, "?"), FilterChoice::WonAtLeastOnce);
  EXPECT_EQ(RecogniseFilter(Game::Num4, "[未当せん]"), FilterChoice::NeverWon);  // by substring
}

}  // namespace
}  // namespace numira
