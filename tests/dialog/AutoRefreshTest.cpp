// 自動更新 in the window: the refresh it makes by itself on Japan's evenings of the draws,
// on the virtual clock (no sleeping) against a list server on 127.0.0.1; the check items
// and their lines in numira.conf; the user's timer.
#include <gtest/gtest.h>

#include <filesystem>

#include "FakeWindow.h"
#include "PredictDlg.h"
#include "TestServer.h"
#include "Texts.h"

namespace numira::testing {
namespace {

namespace fs = std::filesystem;

// 2026-12-07 (a Monday) 12:00 JST, in seconds since 1970 UTC.
constexpr std::uint32_t kMondayNoon = 1796612400;
// Virtual milliseconds from Monday noon to a time of that week (day 0 Monday) in Japan.
constexpr std::int64_t At(int day, int hour, int minute, int second = 0) {
  return ((day * 24 + hour - 12) * 3600 + minute * 60 + second) * 1000LL;
}

class AutoRefreshTest : public ::testing::Test {
 protected:
  void Open(const std::string& host, const std::string& conf, bool mondayIn = false) {
    dir.CopyRealLists();
    fs::copy(NUMIRA_DRAWS_DIR, dir.path() / "draws");
    if (mondayIn) {
      // Monday's draws of Numbers 3, Numbers 4 and Loto 6 are in already.
      for (const char* line : {"numbers3.csv|7055,2026-12-07,123", "numbers4.csv|7055,2026-12-07,1234",
                               "loto6.csv|2038,2026-12-07,1.2.3.4.5.6"}) {
        const std::string s = line;
        const std::string file = dir / ("draws/" + s.substr(0, s.find('|')));
        std::string bytes = ReadBytes(file);
        WriteBytes(file, bytes + s.substr(s.find('|') + 1) + "\n");
      }
    }
    if (!conf.empty()) WriteBytes(dir / "numira.conf", conf);
    win.clock = &clock;
    win.secondsAtZero = kMondayNoon;
    clock.seconds = kMondayNoon;
    dlg = std::make_unique<CPredictDlg>(win, clock, DialogSetup{dir / "numira", host, dir / "numira.conf"});
    win.dialog = dlg.get();
    ASSERT_TRUE(dlg->OnInitDialog());
  }

  TempDir dir;
  // The player's data folder, where the automatic refreshes note when they asked.
  ScopedEnv dataHome{"XDG_DATA_HOME", dir / "data"};
  FakeClock clock;
  FakeWindow win;
  std::unique_ptr<CPredictDlg> dlg;
};

TEST_F(AutoRefreshTest, EveryQuarterFromHalfPastEightToElevenWhileTheDrawsAreMissing) {
  ListServer server;
  Open(server.Host(), "auto-refresh=on\n");
  EXPECT_TRUE(dlg->AutoRefresh());
  EXPECT_FALSE(dlg->NotifyLosses());
  ASSERT_TRUE(win.TimerArmed(ctl::kAutoRefreshTimer));
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(0, 20, 30));
  win.RunUntil(At(0, 20, 29, 59));
  EXPECT_EQ(win.refreshesStarted, 0);
  win.RunUntil(At(0, 20, 30));
  EXPECT_EQ(win.refreshesStarted, 1);
  // As the button does: the lists were read and the status line tells the time.
  EXPECT_EQ(win.Text(ctl::kStatus), "2026年12月07日 20時31分05秒");
  EXPECT_EQ(dlg->LastDownloadOk(), 1);
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(0, 20, 45));
  // The server has no draw files: the day's draws never come in; ten refreshes in all.
  win.RunUntil(At(0, 23, 59));
  EXPECT_EQ(win.refreshesStarted, 10);
  EXPECT_TRUE(win.messages.empty());
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(1, 20, 30));
}

TEST_F(AutoRefreshTest, NotRightAfterTheTimersCheck) {
  ListServer server;
  // The timer's check asked at 20:28 (JST), two minutes before the window's step.
  fs::create_directories(dir.path() / "data/numira");
  WriteBytes(dir / "data/numira/notice-state", "last-refresh=" + std::to_string(kMondayNoon + 8 * 3600 + 28 * 60) + "\n");
  Open(server.Host(), "auto-refresh=on\n");
  win.RunUntil(At(0, 20, 44));
  EXPECT_EQ(win.refreshesStarted, 0);
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(0, 20, 45));
  win.RunUntil(At(0, 20, 45));
  EXPECT_EQ(win.refreshesStarted, 1);
  // The window notes its own, for the timer's check.
  EXPECT_EQ(ReadBytes(dir / "data/numira/notice-state"),
            "last-refresh=" + std::to_string(kMondayNoon + 8 * 3600 + 45 * 60) + "\n");
}

TEST_F(AutoRefreshTest, NotOnceTheDaysDrawsAreIn) {
  ListServer server;
  Open(server.Host(), "auto-refresh=on\n", true);
  for (Game g : {Game::Num3, Game::Num4, Game::Lot6}) {
    ASSERT_FALSE(dlg->Draws(g).empty());
    EXPECT_EQ(dlg->Draws(g).back().date, (Date{2026, 12, 7}));
  }
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(1, 20, 30));
  win.RunUntil(At(1, 20, 29));
  EXPECT_EQ(win.refreshesStarted, 0);
}

TEST_F(AutoRefreshTest, NeverDuringARollOrAnotherRefresh) {
  ListServer server;
  Open(server.Host(), "auto-refresh=on\n");
  win.RunUntil(At(0, 20, 29, 50));
  dlg->OnPredict(Game::Num3);
  win.RunUntil(At(0, 20, 30, 30));
  EXPECT_EQ(win.refreshesStarted, 0);  // the roll goes on
  dlg->OnPredict(Game::Num3);          // stop: it stands within some seconds
  win.RunUntil(At(0, 20, 30, 59));
  EXPECT_EQ(win.refreshesStarted, 0);
  win.RunUntil(At(0, 20, 31));
  EXPECT_EQ(win.refreshesStarted, 1);

  // A refresh of the button under way at the next step: none is started beside it.
  win.holdRefresh = true;
  win.RunUntil(At(0, 20, 44));
  dlg->OnDownload();
  EXPECT_EQ(win.refreshesStarted, 2);
  win.RunUntil(At(0, 20, 46));
  EXPECT_EQ(win.refreshesStarted, 2);
  win.FinishRefresh();
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(0, 21, 0));
}

TEST_F(AutoRefreshTest, AFailureShowsInTheStatusLineWithoutABox) {
  RefusingPort refusing;
  Open(refusing.Host(), "auto-refresh=on\n");
  win.RunUntil(At(0, 20, 30));
  EXPECT_EQ(win.refreshesStarted, 1);
  EXPECT_TRUE(win.messages.empty());
  EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloadFailed);
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(0, 20, 45));
  // The button still shows its box.
  dlg->OnDownload();
  EXPECT_EQ(win.messages.size(), 1u);
}

TEST_F(AutoRefreshTest, CheckItemsKeptInTheConfigurationAndTheUserTimer) {
  ListServer server;
  Open(server.Host(), "");  // a new user: off, and nothing asked of the network
  EXPECT_FALSE(dlg->AutoRefresh());
  EXPECT_FALSE(win.TimerArmed(ctl::kAutoRefreshTimer));
  win.RunUntil(At(1, 23, 0));
  EXPECT_EQ(win.refreshesStarted, 0);

  EXPECT_TRUE(dlg->OnSysCommand(ctl::kAutoRefreshItem));
  EXPECT_TRUE(dlg->AutoRefresh());
  EXPECT_EQ(ReadBytes(dir / "numira.conf"), "auto-refresh=on\n");
  EXPECT_EQ(win.userTimerSwitches, std::vector<bool>{true});
  EXPECT_EQ(win.TimerDue(ctl::kAutoRefreshTimer), At(2, 20, 30));
  // No systemd user session: one line, and the window goes on refreshing by itself.
  dlg->OnUserTimerSwitched(true, false, "systemctl --user: Failed to connect to bus: No medium found");
  EXPECT_EQ(win.Text(ctl::kStatus), text::kNoUserTimer);
  EXPECT_NE(win.standardError.find("No medium found"), std::string::npos);
  EXPECT_TRUE(win.TimerArmed(ctl::kAutoRefreshTimer));

  EXPECT_TRUE(dlg->OnSysCommand(ctl::kNotifyLossesItem));
  EXPECT_TRUE(dlg->NotifyLosses());
  EXPECT_EQ(ReadBytes(dir / "numira.conf"), "auto-refresh=on\nnotify-losses=on\n");

  EXPECT_TRUE(dlg->OnSysCommand(ctl::kAutoRefreshItem));
  EXPECT_FALSE(dlg->AutoRefresh());
  EXPECT_EQ(ReadBytes(dir / "numira.conf"), "auto-refresh=off\nnotify-losses=on\n");
  EXPECT_EQ(win.userTimerSwitches, (std::vector<bool>{true, false}));
  EXPECT_FALSE(win.TimerArmed(ctl::kAutoRefreshTimer));
  win.RunUntil(At(3, 23, 0));
  EXPECT_EQ(win.refreshesStarted, 0);
}

TEST_F(AutoRefreshTest, ASettingThatCannotBeKeptIsNotTurnedOn) {
  ListServer server;
  Open(server.Host(), "");
  // numira.conf's place is taken by a folder.
  fs::create_directory(dir / "numira.conf");
  dlg->OnSysCommand(ctl::kAutoRefreshItem);
  EXPECT_FALSE(dlg->AutoRefresh());
  EXPECT_TRUE(win.userTimerSwitches.empty());
  EXPECT_FALSE(win.TimerArmed(ctl::kAutoRefreshTimer));
  EXPECT_EQ(win.Text(ctl::kStatus).rfind("設定を保存できません（", 0), 0u);
}

}  // namespace
}  // namespace numira::testing
