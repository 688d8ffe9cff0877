// A Numira refreshing from nginx that serves the lists numira-lists built after one
// result was added per game. Runs when NUMIRA_E2E_SERVER (host:port), NUMIRA_E2E_DATES
// (each game's new header date, "2026年8月24日", comma-separated in game order) and
// NUMIRA_E2E_NUMBERS (each game's added result in stored form, same order) are set, as
// scripts/nginx-e2e sets them. The window's games are checked in the window, and every
// game's list, draw file and prize file in the copy's folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "Controls.h"
#include "DrawFileNames.h"
#include "DrawHistory.h"
#include "ListReader.h"
#include "ListTable.h"
#include "Prizes.h"
#include "FakeWindow.h"
#include "PredictDlg.h"
#include "TestData.h"

namespace numira::testing {
namespace {

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
  return parts;
}

bool Contains(const std::vector<std::string>& list, const std::string& entry) {
  return std::find(list.begin(), list.end(), entry) != list.end();
}

TEST(PublishedLists, ARefreshBringsEveryGamesNewDraw) {
  const char* server = std::getenv("NUMIRA_E2E_SERVER");
  const char* datesEnv = std::getenv("NUMIRA_E2E_DATES");
  const char* numbersEnv = std::getenv("NUMIRA_E2E_NUMBERS");
  if (!server || !*server || !datesEnv || !*datesEnv || !numbersEnv || !*numbersEnv)
    GTEST_SKIP() << "NUMIRA_E2E_SERVER, NUMIRA_E2E_DATES and NUMIRA_E2E_NUMBERS not set";
  const std::vector<std::string> dates = Split(datesEnv), numbers = Split(numbersEnv);
  ASSERT_EQ(dates.size(), kGames.size());
  ASSERT_EQ(numbers.size(), kGames.size());

  // A Numira holding the shipped lists, older than what the server now has.
  TempDir dir;
  dir.CopyRealLists();
  FakeWindow win;
  FakeClock clock;
  CPredictDlg dlg(win, clock, DialogSetup{dir.Executable(), server});
  win.dialog = &dlg;
  ASSERT_TRUE(dlg.OnInitDialog());
  for (Game g : kShownGames) ASSERT_NE(dlg.List(g).latestDrawDate, dates[GameIndex(g)]);

  dlg.OnDownload();
  EXPECT_TRUE(win.messages.empty());
  EXPECT_EQ(dlg.LastDownloadOk(), 1);
  for (Game g : kShownGames) {
    const std::size_t i = GameIndex(g);
    SCOPED_TRACE(dates[i]);
    EXPECT_EQ(dlg.List(g).latestDrawDate, dates[i]);
    EXPECT_EQ(win.Text(Panel(g).groupBox), DatedCaption(g, dates[i]));
    EXPECT_EQ(dlg.List(g).listsLoaded, 1);
    EXPECT_TRUE(Contains(dlg.List(g).wonEntries, numbers[i])) << numbers[i];
    EXPECT_FALSE(Contains(dlg.List(g).neverWonEntries, numbers[i])) << numbers[i];
    // The draw files came with the lists: the new draw is the last one the check window shows.
    ASSERT_FALSE(dlg.Draws(g).empty());
    EXPECT_EQ(dlg.Draws(g).back().numbers, numbers[i]);
  }
  // The games the window does not show came too: every list, every draw file with the new
  // draw, and the prize files.
  for (const ListFileRow& r : kListFiles) {
    const std::optional<ListContents> list = ReadListFile((dir.path() / r.fileName).string(), r.kind);
    ASSERT_TRUE(list) << r.fileName;
    EXPECT_EQ(list->latestDrawDate, dates[GameIndex(r.game)]) << r.fileName;
  }
  for (Game g : kGames) {
    const std::optional<std::string> bytes = ReadDrawFile((dir.path() / "draws" / HistoryFileName(g)).string());
    ASSERT_TRUE(bytes) << GameId(g);
    const std::vector<Draw> draws = ParseHistory(*bytes, g, HistoryFileName(g));
    ASSERT_FALSE(draws.empty()) << GameId(g);
    EXPECT_EQ(draws.back().numbers, numbers[GameIndex(g)]) << GameId(g);
    if (HasPrizes(g)) {
      EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "prizes" / PrizeFileName(g))) << GameId(g);
    }
  }
}

}  // namespace
}  // namespace numira::testing
