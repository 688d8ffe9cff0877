// The list refresh against a real nginx that serves the shipped lists under /Data/.
// Runs only when NUMIRA_E2E_SERVER (host:port) and NUMIRA_E2E_ROOT (the directory nginx
// serves as /Data/) are set, as scripts/nginx-e2e sets them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FakeWindow.h"
#include "ListReader.h"
#include "ListTable.h"
#include "PredictDlg.h"
#include "TestData.h"
#include "Texts.h"

namespace numira::testing {
namespace {

TEST(NginxEndToEnd, RefreshesAllSixThenKeepsTheOldCopyOfAMissingList) {
  const char* server = std::getenv("NUMIRA_E2E_SERVER");
  const char* root = std::getenv("NUMIRA_E2E_ROOT");
  if (!server || !*server || !root || !*root) GTEST_SKIP() << "NUMIRA_E2E_SERVER and NUMIRA_E2E_ROOT not set";

  char tmpl[] = "/tmp/numira-e2e-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  // "#2015年11月20日" in code page 932, then one entry of the right form.
  const std::string header = "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n";
  const std::array<std::string, 6> old{header + "111\r\n", header + "1111\r\n", header + "123,4\r\n",
                                       header + "1234,2\r\n", header + "1.2.3.4.5,1\r\n",
                                       header + "1.2.3.4.5.6,1\r\n"};
  for (std::size_t row = 0; row < 6; ++row) std::ofstream(dir + "/" + kListFiles[row].fileName, std::ios::binary) << old[row];

  FakeWindow win;
  FakeClock clock;
  CPredictDlg dlg(win, clock, DialogSetup{dir + "/numira", server});
  win.dialog = &dlg;
  ASSERT_TRUE(dlg.OnInitDialog());

  dlg.OnDownload();
  EXPECT_TRUE(win.messages.empty());
  EXPECT_EQ(dlg.LastDownloadOk(), 1);
  EXPECT_EQ(dlg.OnCtlColor(ctl::kStatus), TextColour::Blue);
  EXPECT_EQ(win.Text(ctl::kStatus), "2026年12月07日 20時31分05秒");
  for (std::size_t row = 0; row < kFirstLists; ++row) {
    const ListFileRow& r = kListFiles[row];
    SCOPED_TRACE(r.fileName);
    const std::string served = ReadBytes(std::string(root) + "/" + r.fileName);
    ASSERT_FALSE(served.empty());
    EXPECT_EQ(ReadBytes(dir + "/" + r.fileName), served);
  }
  const std::vector<std::string> neverWon = dlg.List(Game::Num4).neverWonEntries;
  ASSERT_GT(neverWon.size(), 1000u);

  // Each copy carries its file's time on the server (nginx's Last-Modified), so the next
  // refresh asks conditionally and nginx answers 304: all six count as refreshed and
  // nothing is written (a written copy would be a new file renamed into place).
  std::array<ino_t, kFirstLists> inodes{};
  for (std::size_t row = 0; row < kFirstLists; ++row) {
    SCOPED_TRACE(kListFiles[row].fileName);
    struct stat local, served;
    ASSERT_EQ(::stat((dir + "/" + kListFiles[row].fileName).c_str(), &local), 0);
    ASSERT_EQ(::stat((std::string(root) + "/" + kListFiles[row].fileName).c_str(), &served), 0);
    EXPECT_EQ(local.st_mtim.tv_sec, served.st_mtim.tv_sec);
    inodes[row] = local.st_ino;
  }
  dlg.OnDownload();
  EXPECT_TRUE(win.messages.empty());
  EXPECT_EQ(dlg.LastDownloadOk(), 1);
  EXPECT_EQ(win.Text(ctl::kStatus), "2026年12月07日 20時31分05秒");
  for (std::size_t row = 0; row < kFirstLists; ++row) {
    SCOPED_TRACE(kListFiles[row].fileName);
    struct stat local;
    ASSERT_EQ(::stat((dir + "/" + kListFiles[row].fileName).c_str(), &local), 0);
    EXPECT_EQ(local.st_ino, inodes[row]);
  }
  EXPECT_EQ(dlg.List(Game::Num4).neverWonEntries, neverWon);

  // nginx answers the missing list with its own 404 page, which has no DOCTYPE line:
  // read as a never-won list, every line of it would be an entry.
  const std::string refreshed = ReadBytes(dir + "/Num4NoCorrect.txt");
  ASSERT_EQ(std::remove((std::string(root) + "/Num4NoCorrect.txt").c_str()), 0);
  dlg.OnDownload();
  ASSERT_EQ(win.messages.size(), 1u);
  EXPECT_EQ(win.messages[0].text, text::kDownloadPartlyFailed);
  EXPECT_EQ(win.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloadPartlyFailed);
  EXPECT_EQ(dlg.LastDownloadOk(), 0);
  EXPECT_EQ(dlg.OnCtlColor(ctl::kStatus), TextColour::Red);
  EXPECT_EQ(ReadBytes(dir + "/Num4NoCorrect.txt"), refreshed);
  EXPECT_EQ(dlg.List(Game::Num4).neverWonEntries, neverWon);
  EXPECT_EQ(dlg.List(Game::Num4).listsLoaded, 1);

  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace numira::testing
