// A Numira refreshing from nginx that serves the lists numira-lists built after one
// result was added per game. Runs when NUMIRA_E2E_SERVER (host:port), NUMIRA_E2E_DATES
// (the four new header dates, "2026年8月24日", comma-separated in game order) and
// NUMIRA_E2E_NUMBERS (the four added results in stored form, same order) are set, as
// scripts/nginx-e2e sets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "Controls.h"
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
  ASSERT_EQ(dates.size(), 4u);
  ASSERT_EQ(numbers.size(), 4u);

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
}

}  // namespace
}  // namespace numira::testing
