// The list refresh of the main dialog, driven through a fake window against real
// servers on 127.0.0.1: what it leaves on disk, in memory and on the screen.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "Child.h"
#include "FakeWindow.h"
#include "FetchToFile.h"
#include "ListReader.h"
#include "ListTable.h"
#include "PredictDlg.h"
#include "TestServer.h"
#include "Texts.h"

namespace numira::testing {
namespace {

// "#2015年11月20日" in code page 932.
const std::string kOldHeader = "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n";

// The lists the user has before a refresh: small, well-formed, unlike the server's.
const std::array<std::string, 6> kOldLists{
    kOldHeader + "111\r\n222\r\n",
    kOldHeader + "1111\r\n",
    kOldHeader + "123,4\r\n456,7\r\n",
    kOldHeader + "1234,2\r\n",
    kOldHeader + "1.2.3.4.5,1\r\n",
    kOldHeader + "1.2.3.4.5.6,1\r\n",
};

std::string DataFile(std::size_t row) { return std::string(NUMIRA_DATA_DIR) + "/" + kListFiles[row].fileName; }

// The reasons a failed refresh gives, after where it failed.
const std::string kCannotConnect = "：サーバーに接続できません。", kNoSuchHost = "：サーバーの名前を解決できません。",
                  kNoAnswer = "：時間内にサーバーから応答がありません。",
                  kBroken = "：転送が途中で切れたか、HTTP の応答ではありません。";
std::string NotAList(const std::string& what) { return "：リストではない応答です（" + what + "）。"; }
std::string Status(int status) { return NotAList("HTTP " + std::to_string(status)); }
// A list's address on a server named HOST:PORT.
std::string At(const std::string& host, const char* file) { return "http://" + host + "/Data/" + file; }

std::vector<std::string> SixNames() {
  std::vector<std::string> names;
  for (std::size_t row = 0; row < kFirstLists; ++row) names.push_back(kListFiles[row].fileName);
  std::sort(names.begin(), names.end());
  return names;
}

// The names in a folder without the lists added since the first six, which a refresh
// brings as soon as the server answered for one of the six.
std::vector<std::string> NamesBesideAddedLists(const TempDir& dir) {
  std::vector<std::string> names = dir.Names();
  for (std::size_t row = kFirstLists; row < kListFiles.size(); ++row)
    names.erase(std::remove(names.begin(), names.end(), kListFiles[row].fileName), names.end());
  return names;
}

// Everything a refresh may change, to compare before and after.
struct State {
  std::array<std::string, 6> files;
  std::array<WinningList, 4> lists;
  std::array<std::string, 4> captions;
  std::array<bool, 4> groupEnabled, checkEnabled;
};

void ExpectSameList(const WinningList& a, const WinningList& b, const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(a.neverWonEntries, b.neverWonEntries);
  EXPECT_EQ(a.wonEntries, b.wonEntries);
  EXPECT_EQ(a.winCounts, b.winCounts);
  EXPECT_EQ(a.latestDrawDate, b.latestDrawDate);
  EXPECT_EQ(a.listsLoaded, b.listsLoaded);
}

class RefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t row = 0; row < 6; ++row) WriteBytes(dir / kListFiles[row].fileName, kOldLists[row]);
    Open(server.Host());
  }

  void Open(const std::string& host) {
    dlg = std::make_unique<CPredictDlg>(win, clock, DialogSetup{dir / "numira", host});
    win.dialog = dlg.get();
    ASSERT_TRUE(dlg->OnInitDialog());
    FetchLimits limits;
    limits.connectTimeoutMs = 2000;
    limits.lowSpeedSeconds = 1;
    dlg->SetFetchLimits(limits);
    win.fileOps = fileOps;
    // At the message box the flag is already set and the status line not yet changed.
    win.onMessage = [this](const ShownMessage&) {
      flagAtBox.push_back(dlg->LastDownloadOk());
      statusAtBox.push_back(win.Text(ctl::kStatus));
    };
  }

  State Capture() const {
    State s;
    for (std::size_t row = 0; row < 6; ++row) s.files[row] = ReadBytes(dir / kListFiles[row].fileName);
    for (Game g : kShownGames) {
      const std::size_t i = GameIndex(g);
      s.lists[i] = dlg->List(g);
      s.captions[i] = win.Text(Panel(g).groupBox);
      s.groupEnabled[i] = win.Enabled(Panel(g).groupBox);
      s.checkEnabled[i] = win.Enabled(Panel(g).checkBox);
    }
    return s;
  }

  // The lists of row still hold what they held before, on disk and in memory.
  void ExpectRowKept(std::size_t row, const State& before) {
    SCOPED_TRACE(kListFiles[row].fileName);
    const State now = Capture();
    EXPECT_EQ(now.files[row], before.files[row]);
    const std::size_t g = GameIndex(kListFiles[row].game);
    if (kListFiles[row].kind == ListKind::NoCorrect) {
      EXPECT_EQ(now.lists[g].neverWonEntries, before.lists[g].neverWonEntries);
    } else {
      EXPECT_EQ(now.lists[g].wonEntries, before.lists[g].wonEntries);
      EXPECT_EQ(now.lists[g].winCounts, before.lists[g].winCounts);
    }
  }

  // Row holds the server's copy, on disk and in memory.
  void ExpectRowRefreshed(std::size_t row) {
    SCOPED_TRACE(kListFiles[row].fileName);
    const std::string served = ReadBytes(DataFile(row));
    EXPECT_EQ(ReadBytes(dir / kListFiles[row].fileName), Stored(served));
    const std::optional<ListContents> fresh = ReadListFile(DataFile(row), kListFiles[row].kind);
    ASSERT_TRUE(fresh);
    ASSERT_GT(fresh->lines, 0);
    const WinningList& list = dlg->List(kListFiles[row].game);
    if (kListFiles[row].kind == ListKind::NoCorrect) {
      EXPECT_EQ(list.neverWonEntries, fresh->entries);
    } else {
      EXPECT_EQ(list.wonEntries, fresh->entries);
      EXPECT_EQ(list.winCounts, fresh->counts);
    }
    EXPECT_EQ(list.latestDrawDate, fresh->latestDrawDate);
    EXPECT_EQ(list.listsLoaded, 1);
  }

  // Nothing changed but the report: the files, the lists and the panels are as before.
  void ExpectUntouched(const State& before) {
    const State now = Capture();
    for (std::size_t row = 0; row < 6; ++row) EXPECT_EQ(now.files[row], before.files[row]) << kListFiles[row].fileName;
    for (std::size_t g = 0; g < 4; ++g) ExpectSameList(now.lists[g], before.lists[g], "game " + std::to_string(g));
    EXPECT_EQ(now.captions, before.captions);
    EXPECT_EQ(now.groupEnabled, before.groupEnabled);
    EXPECT_EQ(now.checkEnabled, before.checkEnabled);
    EXPECT_EQ(NamesBesideAddedLists(dir), SixNames());  // no partial download left behind
  }

  // The report of a refresh in which at least one list failed: the box says what failed,
  // then where and why; standard error says the same.
  void ExpectFailureReport(const std::string& text, const std::string& why) {
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text, text + "\n" + why);
    EXPECT_EQ(win.standardError, "numira: " + text + "\nnumira: " + why + "\n");
    EXPECT_EQ(win.messages[0].caption, "ぬみら");
    EXPECT_EQ(win.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(flagAtBox, std::vector<std::int32_t>{0});
    EXPECT_EQ(statusAtBox, std::vector<std::string>{text::kDownloading});
    EXPECT_EQ(win.Text(ctl::kStatus), text);
    EXPECT_EQ(dlg->LastDownloadOk(), 0);
    EXPECT_EQ(dlg->OnCtlColor(ctl::kStatus), TextColour::Red);
    ExpectCursorAndWorkingText();
  }

  void ExpectCursorAndWorkingText() {
    EXPECT_EQ(win.waitDepth, 0);
    EXPECT_EQ(win.waitCursorShown, 1);
    EXPECT_EQ(win.updates, 1);
    std::vector<std::string> status;
    for (const TextChange& c : win.changes)
      if (c.id == ctl::kStatus) status.push_back(c.text);
    ASSERT_GE(status.size(), 3u);  // cleared at start-up, the working text, the outcome
    EXPECT_EQ(status[status.size() - 2], text::kDownloading);
  }

  void ExpectFullFailureLeavesEverything(const std::function<void()>& arrange, const std::string& why) {
    arrange();
    const State before = Capture();
    dlg->OnDownload();
    ExpectFailureReport(text::kDownloadFailed, why);
    ExpectUntouched(before);
  }

  TempDir dir;
  ListServer server;
  FakeWindow win;
  FakeClock clock;
  FileOps fileOps;
  std::unique_ptr<CPredictDlg> dlg;
  // Forgets what earlier refreshes showed, for the next one.
  void ForgetReports() {
    win.messages.clear();
    win.standardError.clear();
    flagAtBox.clear();
    statusAtBox.clear();
    win.waitCursorShown = 0;
    win.updates = 0;
  }

  std::vector<std::int32_t> flagAtBox;
  std::vector<std::string> statusAtBox;
};

TEST_F(RefreshTest, AllSixRefreshedShowsTheTimeInBlue) {
  ASSERT_EQ(dlg->List(Game::Num3).wonEntries, (std::vector<std::string>{"123", "456"}));
  dlg->OnDownload();
  EXPECT_TRUE(win.messages.empty());
  EXPECT_EQ(win.Text(ctl::kStatus), "2026年12月07日 20時31分05秒");
  EXPECT_EQ(dlg->LastDownloadOk(), 1);
  EXPECT_EQ(dlg->OnCtlColor(ctl::kStatus), TextColour::Blue);
  ExpectCursorAndWorkingText();
  for (std::size_t row = 0; row < 6; ++row) ExpectRowRefreshed(row);
  EXPECT_EQ(NamesBesideAddedLists(dir), SixNames());
  EXPECT_EQ(win.Text(ctl::kNum3Group), "【ナンバーズ３】　最新抽選日：" + dlg->List(Game::Num3).latestDrawDate);
  EXPECT_NE(dlg->List(Game::Num3).latestDrawDate, "2015年11月20日");
  // The lists added since the six came too, and are stored; the window does not show them.
  for (std::size_t row = kFirstLists; row < kListFiles.size(); ++row)
    EXPECT_EQ(ReadBytes(dir / kListFiles[row].fileName), Stored(ReadBytes(DataFile(row))));
  // The six were asked for in table order, as the program by its own name, past any cache.
  // Then the added lists, the six draw files and the three prize files, which this server
  // does not have (404: no error). Before them all, the set index, which it lacks too.
  std::vector<SeenRequest> seen = server.Seen();
  ASSERT_EQ(seen.size(), 18u);
  EXPECT_EQ(seen.front().path, "/Data/index.txt");
  seen.erase(seen.begin());
  EXPECT_EQ(seen[6].path, "/Data/Lot7Correct.txt");
  EXPECT_EQ(seen[7].path, "/Data/Bingo5Correct.txt");
  EXPECT_EQ(seen[8].path, "/Data/draws/numbers3.csv");
  EXPECT_EQ(seen[13].path, "/Data/draws/bingo5.csv");
  EXPECT_EQ(seen[14].path, "/Data/prizes/miniloto.csv");
  EXPECT_EQ(seen[16].path, "/Data/prizes/loto7.csv");
  for (std::size_t row = 0; row < 6; ++row) {
    EXPECT_EQ(seen[row].path, std::string("/Data/") + kListFiles[row].fileName);
    EXPECT_EQ(seen[row].userAgent, "numira");
    EXPECT_EQ(seen[row].cacheControl, "no-cache");
    EXPECT_EQ(seen[row].pragma, "no-cache");
  }
}

TEST_F(RefreshTest, AnInstalledCopyReadingItsShippedListsStoresNothingBesideItself) {
  // Installed, with a user folder too long for a list path: the lists lie beside the
  // executable, in the package's own folder, where even root must not write.
  WriteBytes(dir / "numira.installed", "");
  const testing::ScopedEnv xdg("XDG_DATA_HOME", "/" + std::string(500, 'x'));
  Open(server.Host());
  ASSERT_EQ(dlg->Paths()[0], dir / "Num3NoCorrect.txt");
  const State before = Capture();
  const auto names = dir.Names();
  dlg->OnDownload();
  for (std::size_t row = 0; row < 6; ++row) ExpectRowKept(row, before);
  EXPECT_EQ(dir.Names(), names);
  EXPECT_TRUE(server.Seen().empty());
  EXPECT_EQ(dlg->LastDownloadOk(), 0);
  EXPECT_EQ(win.Text(ctl::kStatus), "最新情報をダウンロードできませんでした。");
}

TEST_F(RefreshTest, TimeIsTakenAtTheEndOfTheRefresh) {
  clock.local = {2016, 3, 7, 20, 31, 5};
  dlg->OnDownload();
  EXPECT_EQ(win.Text(ctl::kStatus), "2016年03月07日 20時31分05秒");
}

TEST_F(RefreshTest, MissingListWithDoctypePageIsPartlyFailedAndKeepsTheOldCopy) {
  server.Set("/Data/MiniCorrect.txt", {404, kDoctype404, ""});
  const State before = Capture();
  dlg->OnDownload();
  ExpectFailureReport(text::kDownloadPartlyFailed, At(server.Host(), "MiniCorrect.txt") + Status(404));
  for (std::size_t row : {0u, 1u, 2u, 3u, 5u}) ExpectRowRefreshed(row);
  ExpectRowKept(4, before);
  EXPECT_EQ(dlg->List(Game::Mini).wonEntries, std::vector<std::string>{"1.2.3.4.5"});
  EXPECT_EQ(dlg->List(Game::Mini).listsLoaded, 1);
  EXPECT_EQ(win.Text(ctl::kMiniGroup), before.captions[GameIndex(Game::Mini)]);
  EXPECT_EQ(NamesBesideAddedLists(dir), SixNames());
}

TEST_F(RefreshTest, MissingListWithNginxPageIsPartlyFailedAndKeepsTheOldCopy) {
  // nginx's page has no DOCTYPE: only its status tells it from a list. Read as a
  // never-won list, each of its lines would be an entry.
  ASSERT_GT(ParseList(kNginx404, ListKind::NoCorrect).lines, 0);
  server.Set("/Data/Num4NoCorrect.txt", {404, kNginx404, ""});
  const State before = Capture();
  dlg->OnDownload();
  ExpectFailureReport(text::kDownloadPartlyFailed, At(server.Host(), "Num4NoCorrect.txt") + Status(404));
  for (std::size_t row : {0u, 2u, 4u, 5u}) ExpectRowRefreshed(row);
  // The two Numbers 4 lists are replaced together or not at all.
  ExpectRowKept(1, before);
  ExpectRowKept(3, before);
  EXPECT_EQ(dlg->List(Game::Num4).neverWonEntries, std::vector<std::string>{"1111"});
}

TEST_F(RefreshTest, ErrorPagesForEveryListChangeNothing) {
  for (const Reply& reply : {Reply{404, kDoctype404, ""}, Reply{404, kNginx404, ""},
                             Reply{500, "<html><body>Internal Server Error</body></html>\r\n", ""},
                             Reply{503, "", ""}}) {
    SCOPED_TRACE(reply.status);
    ExpectFullFailureLeavesEverything([&] { server.SetAll(reply); }, At(server.Host(), "Num3NoCorrect.txt") + Status(reply.status));
    ForgetReports();
  }
}

TEST_F(RefreshTest, SuccessfulAnswersThatAreNoListsChangeNothing) {
  for (const auto& [body, why] : {std::pair<std::string, std::string>{kDoctype404, "line 1: an HTML page, not a list (\"DOCTYPE\")"},
                                  {std::string(), "no header line with the date of the latest draw (#YYYY年M月D日)"}}) {
    SCOPED_TRACE(body);
    ExpectFullFailureLeavesEverything([&] { server.SetAll({200, body, ""}); }, At(server.Host(), "Num3NoCorrect.txt") + NotAList(why));
    ForgetReports();
  }
}

TEST_F(RefreshTest, ServerDownChangesNothing) {
  const RefusingPort refusing;
  ASSERT_NE(refusing.Port(), 0);
  Open(refusing.Host());
  ExpectFullFailureLeavesEverything([] {}, refusing.Host() + kCannotConnect);
}

TEST_F(RefreshTest, UnresolvableServerChangesNothing) {
  const State before = Capture();
  const int code = RunInChild(
      [&] {
        Open("nonexistent.invalid");
        dlg->OnDownload();
        ExpectFailureReport(text::kDownloadFailed, "nonexistent.invalid" + kNoSuchHost);
        ExpectUntouched(before);
      },
      true);
  if (code == kChildCannotIsolate) GTEST_SKIP() << "no network namespace for the name lookup";
  EXPECT_EQ(code, 0);
  ExpectUntouched(before);
}

TEST_F(RefreshTest, BrokenTransfersChangeNothing) {
  RawServer raw([](int fd, const std::function<bool(int)>&) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 50000\r\n\r\n" + kOldHeader + "321,1\r\n654,2\r\n");
    ::usleep(50000);
  });
  Open(raw.Host());
  ExpectFullFailureLeavesEverything([] {}, raw.Host() + kBroken);
  // The set index is asked for first: a server that breaks it off is asked nothing more.
  EXPECT_EQ(raw.Connections(), 1);
}

TEST_F(RefreshTest, StalledServerIsGivenUpOnAndChangesNothing) {
  // The server takes every request and never answers. (A transfer that stalls after
  // the first bytes is given up on as well: see FetchTest.StalledServerIsAbandoned.)
  RawServer raw([](int, const std::function<bool(int)>& waitStop) { waitStop(60000); });
  Open(raw.Host());
  const auto start = std::chrono::steady_clock::now();
  ExpectFullFailureLeavesEverything([] {}, raw.Host() + kNoAnswer);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 45.0);
  EXPECT_EQ(raw.Connections(), 1);  // the set index, asked for first
}

TEST_F(RefreshTest, TheWholeRefreshIsBounded) {
  // Each list alone would be waited for until its own limit; the refresh as a whole
  // ends at its bound, and the lists after the one it ended in are not asked for.
  RawServer raw([](int, const std::function<bool(int)>& waitStop) { waitStop(60000); });
  Open(raw.Host());
  FetchLimits limits;
  limits.totalTimeoutMs = 1500;
  dlg->SetFetchLimits(limits);
  const auto start = std::chrono::steady_clock::now();
  ExpectFullFailureLeavesEverything([] {}, raw.Host() + kNoAnswer);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
  EXPECT_EQ(raw.Connections(), 1);
}

TEST_F(RefreshTest, PartFilesOfAGoneProcessAreRemovedAtStartAndBeforeARefresh) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);  // its id now names no process
  const std::string gone = std::to_string(child);
  const std::string stale = dir / ("Num3Correct.txt." + gone + ".part");
  // Kept: names of another form, a directory.
  const std::vector<std::string> kept{dir / ("other.txt." + gone + ".part"), dir / "Num3Correct.txt.x1.part",
                                      dir / ("Num3Correct.txt." + gone + ".partial")};
  // A part file of a living process: the folder's writers (the seeding, the refresh) write
  // only while they hold its lock, so one found by a writer that holds it is a dead
  // writer's, whatever process its number names now.
  const std::string underLock = dir / "Num3Correct.txt.1.part";
  const auto arrange = [&] {
    WriteBytes(underLock, "x");
    WriteBytes(stale, std::string(1000, 'x'));
    for (const std::string& k : kept) WriteBytes(k, "x");
    ::mkdir((dir / ("Lot6Correct.txt." + gone + ".part")).c_str(), 0700);
  };
  arrange();
  Open(server.Host());
  EXPECT_FALSE(Exists(stale));
  for (const std::string& k : kept) EXPECT_TRUE(Exists(k)) << k;
  EXPECT_TRUE(Exists(dir / ("Lot6Correct.txt." + gone + ".part")));
  arrange();
  dlg->OnDownload();
  EXPECT_FALSE(Exists(stale));
  EXPECT_FALSE(Exists(underLock));
  for (const std::string& k : kept) EXPECT_TRUE(Exists(k)) << k;
  EXPECT_EQ(dlg->LastDownloadOk(), 1);
}

TEST_F(RefreshTest, RedirectedListsAreRefreshed) {
  for (const ListFileRow& r : kListFiles) {
    server.Set(std::string("/Data/") + r.fileName, {302, "", std::string("/Moved/") + r.fileName});
    server.Set(std::string("/Moved/") + r.fileName, {200, ReadBytes(std::string(NUMIRA_DATA_DIR) + "/" + r.fileName), ""});
  }
  dlg->OnDownload();
  EXPECT_TRUE(win.messages.empty());
  EXPECT_EQ(dlg->LastDownloadOk(), 1);
  for (std::size_t row = 0; row < 6; ++row) ExpectRowRefreshed(row);
}

TEST_F(RefreshTest, RedirectToAFileAddressChangesNothing) {
  const std::string secret = dir.path().string() + "-secret.txt";  // a good list, outside the list directory
  WriteBytes(secret, kOldHeader + "999,9\r\n");
  ExpectFullFailureLeavesEverything([&] { server.SetAll({302, "", "file://" + secret}); }, server.Host() + kBroken);
  std::remove(secret.c_str());
}

TEST_F(RefreshTest, SuccessAfterFailureTurnsTheStatusBlueAgain) {
  server.SetAll({500, "", ""});
  dlg->OnDownload();
  EXPECT_EQ(dlg->LastDownloadOk(), 0);
  EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloadFailed);
  server.Clear();
  dlg->OnDownload();
  EXPECT_EQ(win.messages.size(), 1u);  // only the first refresh's box
  EXPECT_EQ(dlg->LastDownloadOk(), 1);
  EXPECT_EQ(win.Text(ctl::kStatus), "2026年12月07日 20時31分05秒");
  EXPECT_EQ(dlg->OnCtlColor(ctl::kStatus), TextColour::Blue);
  for (std::size_t row = 0; row < 6; ++row) ExpectRowRefreshed(row);
}

// ---- Answers that are not lists for their file --------------------------------------

// What the server sends for a list, and the body it stands for once decoded.
struct Served {
  Reply reply;
  std::string plain;
};

Served Shipped(std::size_t row) {
  const std::string body = ReadBytes(DataFile(row));
  return {{200, body}, body};
}

// The shipped lists, but this body for one of them.
std::function<Served(std::size_t)> OneList(std::size_t target, std::string body) {
  return [target, body](std::size_t row) { return row == target ? Served{{200, body}, body} : Shipped(row); };
}

const std::string kNewHeader = "#2026\x94\x4e" "12\x8c\x8e" "4\x93\xfa\r\n";  // #2026年12月4日
const std::string kFarFutureHeader = "#2099\x94\x4e" "12\x8c\x8e" "31\x93\xfa\r\n";  // #2099年12月31日
const std::string kOlderHeader = "#2015\x94\x4e" "11\x8c\x8e" "19\x93\xfa\r\n";  // #2015年11月19日: a day before the stored

// The first line of a shipped list, and its lines after the header (all but the first `skip`).
std::string ShippedHeader(std::size_t row) {
  const std::string body = ReadBytes(DataFile(row));
  return body.substr(0, body.find('\n') + 1);
}
std::string ShippedEntries(std::size_t row, std::size_t skip = 0) {
  std::string rest = ReadBytes(DataFile(row));
  rest.erase(0, rest.find('\n') + 1);
  for (std::size_t i = 0; i < skip; ++i) rest.erase(0, rest.find('\n') + 1);
  return rest;
}

// Numbers 3 with every number drawn: a never-won list that is its header alone, and a
// won list that lists all 1,000 numbers, both of the same date.
Served EveryNum3NumberDrawn(std::size_t row) {
  if (row == 0) return {{200, kNewHeader}, kNewHeader};
  if (row != 2) return Shipped(row);
  std::string won = kNewHeader;
  char line[16];
  for (int n = 0; n < 1000; ++n) {
    std::snprintf(line, sizeof line, "%03d,%d\r\n", n, 1 + n % 7);
    won += line;
  }
  return {{200, won}, won};
}

// A well-formed never-won list just over the size limit: no list is that large.
std::string OverTheLimit() {
  std::string body = kNewHeader;
  char line[8];
  for (int n = 0; body.size() <= (std::size_t{32} << 20); n = (n + 1) % 10000) {
    std::snprintf(line, sizeof line, "%04d\r\n", n);
    body += line;
  }
  return body;
}

struct HostileCase {
  const char* name;
  std::function<Served(std::size_t row)> serve;
  std::vector<std::size_t> refreshed;  // rows that take the server's copy; the others keep theirs
  const char* message;                 // the failure box; nullptr when all six were refreshed
  // Its second line after the server's address: "/Data/<file>：<reason>" (nullptr: not looked at).
  const char* why = "";
};

const HostileCase kHostile[] = {
    {"captive_portal",
     [](std::size_t) {
       const std::string page = "<html><head><title>Hotel Wi-Fi</title></head>\n<body>Please log in</body></html>\n";
       return Served{{200, page}, page};
     },
     {}, text::kDownloadFailed, "/Data/Num3NoCorrect.txt：リストではない応答です（no header line with the date of the latest draw (#YYYY年M月D日)）。"},
    {"entry_invalid_for_its_game", OneList(5, kNewHeader + "1.8.19.27.33.42,1\r\n1.8.19.27.33.44,1\r\n"), {0, 1, 2, 3, 4},
     text::kDownloadPartlyFailed,
     "/Data/Lot6Correct.txt：リストではない応答です（line 3: \"1.8.19.27.33.44\" is not a Loto 6 combination (6 distinct "
     "numbers 1-43, ascending, joined by \".\")）。"},
    {"numbers_entry_in_a_loto_list", OneList(4, kNewHeader + "123,4\r\n"), {0, 1, 2, 3, 5}, text::kDownloadPartlyFailed,
     "/Data/MiniCorrect.txt：リストではない応答です（line 2: \"123\" is not a Mini Loto combination (5 distinct numbers "
     "1-31, ascending, joined by \".\")）。"},
    // A bad Numbers list fails its twin as well: the two are replaced together or not at all.
    {"no_header_date", OneList(2, "123,4\r\n"), {1, 3, 4, 5}, text::kDownloadPartlyFailed,
     "/Data/Num3Correct.txt：リストではない応答です（no header line with the date of the latest draw (#YYYY年M月D日)）。"},
    {"header_only_never_won_list_is_refreshed", EveryNum3NumberDrawn, {0, 1, 2, 3, 4, 5}, nullptr},
    {"header_only_won_list", OneList(3, kNewHeader), {0, 2, 4, 5}, text::kDownloadPartlyFailed,
     "/Data/Num4Correct.txt：リストではない応答です（no entries: a won list lists at least one）。"},
    {"count_below_one", OneList(2, kNewHeader + "123,0\r\n"), {1, 3, 4, 5}, text::kDownloadPartlyFailed,
     "/Data/Num3Correct.txt：リストではない応答です（line 2: the count \"0\" is not a whole number from 1 to 999999999）。"},
    // Nothing is judged by its date: an older list is what the server serves now.
    {"older_than_the_stored_list_is_taken", OneList(4, kOlderHeader + "1.2.3.4.5,1\r\n"), {0, 1, 2, 3, 4, 5}, nullptr},
    // No draw lies after tomorrow in Japan.
    {"dated_after_tomorrow_in_japan", OneList(4, kFarFutureHeader + "1.2.3.4.5,1\r\n"), {0, 1, 2, 3, 5},
     text::kDownloadPartlyFailed,
     "/Data/MiniCorrect.txt：リストではない応答です（dated 2099年12月31日, after tomorrow in Japan）。"},
    {"twins_of_different_dates", OneList(2, kNewHeader + ShippedEntries(2)), {1, 3, 4, 5}, text::kDownloadPartlyFailed,
     "/Data/Num3NoCorrect.txt：対になる２つのリストが一致しません（dates 2026年8月21日 / 2026年12月4日）。"},
    {"twins_with_a_number_in_both", OneList(0, ShippedHeader(0) + ShippedEntries(0) + "123\r\n"), {1, 3, 4, 5},
     text::kDownloadPartlyFailed, "/Data/Num3NoCorrect.txt：対になる２つのリストが一致しません（123 in both lists）。"},
    {"twins_with_a_number_in_neither", OneList(3, ShippedHeader(3) + ShippedEntries(3, 1)), {0, 2, 4, 5},
     text::kDownloadPartlyFailed, "/Data/Num4NoCorrect.txt：対になる２つのリストが一致しません（0000 in neither list）。"},
    {"gzip_sent_unasked_is_decoded",
     [](std::size_t row) {
       Served s = Shipped(row);
       s.reply = {200, Gzip(s.plain), "", "gzip"};
       return s;
     },
     {0, 1, 2, 3, 4, 5}, nullptr},
    {"gzip_bytes_without_their_encoding", OneList(4, Gzip(ReadBytes(DataFile(4)))), {0, 1, 2, 3, 5},
     text::kDownloadPartlyFailed,
     "/Data/MiniCorrect.txt：リストではない応答です（no header line with the date of the latest draw (#YYYY年M月D日)）。"},
    {"body_over_the_size_limit",  // made only when this case runs: it is large
     [](std::size_t row) { return row == 1 ? OneList(1, OverTheLimit())(row) : Shipped(row); }, {0, 2, 4, 5},
     // The test server compresses so large a body slowly: the refusal may come as a stall.
     text::kDownloadPartlyFailed, nullptr},
};

class HostileAnswers : public RefreshTest, public ::testing::WithParamInterface<HostileCase> {};
// Cases are named by their name in test listings.
void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

TEST_P(HostileAnswers, OnlyAGoodListReplacesAList) {
  const HostileCase& c = GetParam();
  std::array<std::string, 6> plain;
  for (std::size_t row = 0; row < 6; ++row) {
    Served s = c.serve(row);
    server.Set(std::string("/Data/") + kListFiles[row].fileName, s.reply);
    plain[row] = s.plain;
  }
  const State before = Capture();
  dlg->OnDownload();
  if (c.message && c.why) {
    ExpectFailureReport(c.message, "http://" + server.Host() + c.why);
  } else if (c.message) {
    ASSERT_EQ(win.messages.size(), 1u);
    EXPECT_EQ(win.messages[0].text.substr(0, win.messages[0].text.find('\n')), c.message);
  } else {
    EXPECT_TRUE(win.messages.empty());
    EXPECT_EQ(dlg->LastDownloadOk(), 1);
  }
  for (std::size_t row = 0; row < 6; ++row) {
    SCOPED_TRACE(kListFiles[row].fileName);
    const bool fresh = std::find(c.refreshed.begin(), c.refreshed.end(), row) != c.refreshed.end();
    const std::string expected = fresh ? Stored(plain[row]) : before.files[row];
    EXPECT_EQ(ReadBytes(dir / kListFiles[row].fileName), expected);
    const ListContents read = ParseList(expected, kListFiles[row].kind);
    const WinningList& list = dlg->List(kListFiles[row].game);
    EXPECT_EQ(kListFiles[row].kind == ListKind::NoCorrect ? list.neverWonEntries : list.wonEntries, read.entries);
  }
  EXPECT_EQ(NamesBesideAddedLists(dir), SixNames());
}

INSTANTIATE_TEST_SUITE_P(Refresh, HostileAnswers, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RefreshTest, AHeaderOnlyNeverWonListLeavesNothingToProposeThere) {
  for (std::size_t row : {0u, 2u}) server.Set(std::string("/Data/") + kListFiles[row].fileName, EveryNum3NumberDrawn(row).reply);
  dlg->OnDownload();
  EXPECT_EQ(dlg->LastDownloadOk(), 1);
  EXPECT_TRUE(dlg->List(Game::Num3).neverWonEntries.empty());
  EXPECT_EQ(dlg->List(Game::Num3).wonEntries.size(), 1000u);
  EXPECT_EQ(dlg->List(Game::Num3).listsLoaded, 1);
  EXPECT_TRUE(win.Enabled(ctl::kNum3Check));
  EXPECT_EQ(win.Text(ctl::kNum3Group), "【ナンバーズ３】　最新抽選日：2026年12月4日");
  win.Check(ctl::kNum3Check, true);
  dlg->OnFilterCheck(Game::Num3);
  win.Select(ctl::kNum3Filter, 0);
  dlg->OnPredict(Game::Num3);
  ASSERT_EQ(win.messages.size(), 1u);
  EXPECT_EQ(win.messages[0].text, text::kNoData);
}

TEST_F(RefreshTest, AHeaderOnlyNeverWonListWithoutItsTwinChangesNeitherList) {
  // The won list of the same game fails: the pair keeps its old copies.
  server.Set("/Data/Num3NoCorrect.txt", {200, kNewHeader});
  server.Set("/Data/Num3Correct.txt", {404, kDoctype404});
  const State before = Capture();
  dlg->OnDownload();
  ExpectFailureReport(text::kDownloadPartlyFailed, At(server.Host(), "Num3Correct.txt") + Status(404));
  ExpectRowKept(0, before);
  ExpectRowKept(2, before);
  EXPECT_EQ(dlg->List(Game::Num3).neverWonEntries, (std::vector<std::string>{"111", "222"}));
  EXPECT_EQ(win.Text(ctl::kNum3Group), before.captions[GameIndex(Game::Num3)]);
  for (std::size_t row : {1u, 3u, 4u, 5u}) ExpectRowRefreshed(row);
}

TEST_F(RefreshTest, AServerWithoutAnIndexIsFollowedWhateverItsDates) {
  // The server's lists are refreshed once; then the server serves older ones (a date typo
  // put right, say): they are what it serves, and a copy follows it.
  dlg->OnDownload();
  ASSERT_EQ(dlg->LastDownloadOk(), 1);
  for (std::size_t row = 0; row < 6; ++row)
    server.Set(std::string("/Data/") + kListFiles[row].fileName, {200, kOldLists[row]});
  ForgetReports();
  dlg->OnDownload();
  // (The old Numbers pairs do not agree with each other and stay out.)
  for (std::size_t row : {4u, 5u}) EXPECT_EQ(ReadBytes(dlg->Paths()[row]), kOldLists[row]) << row;
  EXPECT_EQ(dlg->List(Game::Lot6).wonEntries, (std::vector<std::string>{"1.2.3.4.5.6"}));
}

TEST_F(RefreshTest, NewDrawsComeWithTheListsAndFollowTheServer) {
  const std::string loto6 = ReadBytes(std::string(NUMIRA_DRAWS_DIR) + "/loto6.csv");
  const std::string newer = loto6 + "2038,2025-09-29,1.8.19.27.33.43\n";
  server.Set("/Data/draws/loto6.csv", {200, newer});
  server.Set("/Data/draws/miniloto.csv", {200, "draw_no,date,numbers\n1,1999-04-13,1.2.3.4\n"});  // no history
  dlg->OnDownload();
  EXPECT_EQ(dlg->LastDownloadOk(), 1);  // a faulty draw file changes nothing of the lists' outcome
  EXPECT_TRUE(win.messages.empty());
  ASSERT_EQ(dlg->Draws(Game::Lot6).size(), 2038u);
  EXPECT_EQ(dlg->Draws(Game::Lot6).back().numbers, "1.8.19.27.33.43");
  EXPECT_TRUE(dlg->Draws(Game::Mini).empty());
  EXPECT_EQ(ReadBytes(dir / "draws/loto6.csv"), newer);
  EXPECT_FALSE(std::filesystem::exists(dir / "draws/miniloto.csv"));
  // The history the server serves is the history, whatever its last date: a draw taken
  // back by the publisher goes from the copy too.
  server.Set("/Data/draws/loto6.csv", {200, loto6});
  dlg->OnDownload();
  EXPECT_EQ(ReadBytes(dir / "draws/loto6.csv"), loto6);
  EXPECT_EQ(dlg->Draws(Game::Lot6).size(), 2037u);
  // A draw after tomorrow in Japan is refused.
  server.Set("/Data/draws/loto6.csv", {200, loto6 + "2038,2099-12-31,1.8.19.27.33.43\n"});
  dlg->OnDownload();
  EXPECT_EQ(ReadBytes(dir / "draws/loto6.csv"), loto6);
}

TEST_F(RefreshTest, TheButtonDoesNothingWhileARefreshRuns) {
  win.holdRefresh = true;
  dlg->OnDownload();
  EXPECT_TRUE(dlg->Refreshing());
  EXPECT_EQ(win.waitDepth, 1);
  EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloading);
  dlg->OnDownload();
  dlg->OnDownload();
  EXPECT_EQ(win.refreshesStarted, 1);
  EXPECT_EQ(server.Seen().size(), 0u);
  win.FinishRefresh();
  EXPECT_FALSE(dlg->Refreshing());
  EXPECT_EQ(win.waitDepth, 0);
  EXPECT_EQ(dlg->LastDownloadOk(), 1);
  EXPECT_EQ(server.Seen().size(), 18u);  // the index, the six lists, the two added lists, six draw and three prize files
  for (std::size_t row = 0; row < 6; ++row) ExpectRowRefreshed(row);
}

// ---- The local disk fails -------------------------------------------------------------

std::string PathOf(int fd) {
  char buf[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

// Writes to the download of Num3Correct.txt fail as a broken disk fails.
ssize_t BrokenDiskForNum3Correct(int fd, const void* data, size_t size) {
  if (PathOf(fd).find("/.Num3Correct.txt.") != std::string::npos) {
    errno = EIO;
    return -1;
  }
  return ::write(fd, data, size);
}

// The final flush of any download finds the disk full.
int FullAtFlush(int) {
  errno = ENOSPC;
  return -1;
}

class DiskErrorTest : public RefreshTest {
 protected:
  void ExpectErrorBox(const char* format, std::size_t row) {
    ASSERT_EQ(win.messages.size(), 1u);
    std::string text = format;
    text.replace(text.find("%1"), 2, dir / kListFiles[row].fileName);
    EXPECT_EQ(win.messages[0].text, text);
    EXPECT_EQ(win.messages[0].caption, "numira");
    EXPECT_EQ(win.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(dlg->LastDownloadOk(), 0);
    EXPECT_EQ(dlg->OnCtlColor(ctl::kStatus), TextColour::Red);
    EXPECT_EQ(win.waitDepth, 0);
    EXPECT_EQ(NamesBesideAddedLists(dir), SixNames());
  }
  // The lists after row were neither asked for nor touched.
  void ExpectNotFetchedAfter(std::size_t row, const State& before) {
    for (std::size_t later = row + 1; later < 6; ++later) {
      EXPECT_EQ(server.Count(std::string("/Data/") + kListFiles[later].fileName), 0);
      ExpectRowKept(later, before);
    }
  }
};

TEST_F(DiskErrorTest, WriteErrorOnTheThirdListStopsTheRefresh) {
  fileOps.write = &BrokenDiskForNum3Correct;
  Open(server.Host());
  const State before = Capture();
  dlg->OnDownload();
  ExpectErrorBox(text::kWriteErrorFormat, 2);
  // The first two were fetched, but each waits for its twin: nothing was replaced.
  EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloadFailed);
  ExpectRowKept(0, before);
  ExpectRowKept(1, before);
  ExpectRowKept(2, before);
  ExpectNotFetchedAfter(2, before);
}

TEST_F(DiskErrorTest, FullDiskAtTheFirstFlushReportsNothingRefreshed) {
  fileOps.sync = &FullAtFlush;
  Open(server.Host());
  const State before = Capture();
  dlg->OnDownload();
  ExpectErrorBox(text::kDiskFullFormat, 0);
  EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloadFailed);
  ExpectRowKept(0, before);
  ExpectNotFetchedAfter(0, before);
  ExpectUntouched(before);
}

TEST_F(DiskErrorTest, FullDiskAfterASuccessfulRefreshTurnsTheStatusRed) {
  dlg->OnDownload();
  ASSERT_EQ(dlg->LastDownloadOk(), 1);
  FetchLimits limits;
  limits.lowSpeedSeconds = 1;
  dlg->SetFetchLimits(limits);
  win.fileOps.sync = &FullAtFlush;
  dlg->OnDownload();
  ExpectErrorBox(text::kDiskFullFormat, 0);
  EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloadFailed);
}

// Memory runs out while the third list is put in place.
int OutOfMemoryOnTheThirdList(int fd) {
  if (PathOf(fd).find("/.Num3Correct.txt.") != std::string::npos) throw std::bad_alloc();
  return ::fsync(fd);
}

TEST_F(DiskErrorTest, AnUnexpectedErrorEndsTheRefreshLikeAFailedOne) {
  fileOps.sync = &OutOfMemoryOnTheThirdList;
  Open(server.Host());
  const State before = Capture();
  dlg->OnDownload();
  ExpectFailureReport(text::kDownloadFailed, server.Host() + "：リストを保存できません（std::bad_alloc）。");
  for (std::size_t row = 0; row < 3; ++row) ExpectRowKept(row, before);
  ExpectNotFetchedAfter(2, before);
  EXPECT_EQ(NamesBesideAddedLists(dir), SixNames());
}

TEST_F(DiskErrorTest, DiskFillingUpOnTheFourthListStopsTheRefresh) {
  // A real limit on the size of any file this process writes: the fourth list, the first
  // one larger than it, cannot be stored whole.
  std::size_t limit = 0;
  for (std::size_t row = 0; row < 3; ++row) limit = std::max(limit, Stored(ReadBytes(DataFile(row))).size());
  ASSERT_LT(limit, Stored(ReadBytes(DataFile(3))).size());
  const State before = Capture();
  const int code = RunInChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit r{limit, limit};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &r), 0);
    dlg->OnDownload();
    ExpectErrorBox(text::kDiskFullFormat, 3);
    EXPECT_EQ(win.Text(ctl::kStatus), text::kDownloadPartlyFailed);
    // The Numbers 3 pair was replaced; the Numbers 4 never-won list waited for its twin.
    for (std::size_t row : {0u, 2u}) ExpectRowRefreshed(row);
    ExpectRowKept(1, before);
    ExpectRowKept(3, before);
    EXPECT_EQ(dlg->List(Game::Num4).wonEntries, std::vector<std::string>{"1234"});
    for (std::size_t row = 4; row < 6; ++row) ExpectRowKept(row, before);
    // On disk: two fresh lists and four old ones, and no part file left.
    for (std::size_t row : {0u, 2u}) EXPECT_EQ(ReadBytes(dir / kListFiles[row].fileName), Stored(ReadBytes(DataFile(row))));
    for (std::size_t row : {1u, 3u, 4u, 5u}) EXPECT_EQ(ReadBytes(dir / kListFiles[row].fileName), kOldLists[row]);
    EXPECT_EQ(server.Count("/Data/Num4Correct.txt"), 1);
    EXPECT_EQ(server.Count("/Data/MiniCorrect.txt"), 0);
    EXPECT_EQ(server.Count("/Data/Lot6Correct.txt"), 0);
    EXPECT_EQ(NamesBesideAddedLists(dir), SixNames());
  });
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace numira::testing

namespace numira::testing {
namespace {

// Two windows on one folder and a server of numbered sets: whichever refreshes, both show
// the folder's set, and a success time never stands beside older lists.
class TwoWindowsTest : public ::testing::Test {
 protected:
  struct Window {
    FakeWindow win;
    FakeClock clock;
    std::unique_ptr<CPredictDlg> dlg;
  };
  void SetUp() override { dir.CopyRealLists(); }
  void Open(Window& w) {
    w.dlg = std::make_unique<CPredictDlg>(w.win, w.clock, DialogSetup{dir / "numira", server.Host()});
    w.win.dialog = w.dlg.get();
    ASSERT_TRUE(w.dlg->OnInitDialog());
  }
  // The frozen set with a Loto 6 list of `draws` more draws (each drawing one more
  // combination, on 29 and 30 September 2025), and its history to match.
  static SetFiles Loto6Ahead(int draws) {
    SetFiles f = FrozenSet();
    std::string& list = f["Lot6Correct.txt"];
    // 2025年9月29日 / 2025年9月30日 in code page 932.
    list = "#2025\x94\x4e" "9\x8c\x8e" + std::to_string(28 + draws) + "\x93\xfa\r\n" + list.substr(list.find('\n') + 1);
    for (int i = 1; i <= draws; ++i) {
      const std::string combination = "1.2.3.4.5." + std::to_string(5 + i);
      list += combination + ",1\r\n";
      f["draws/loto6.csv"] += std::to_string(2037 + i) + ",2025-09-" + std::to_string(28 + i) + "," + combination + "\n";
    }
    return f;
  }
  std::string Caption(const Window& w) const { return w.win.Text(Panel(Game::Lot6).groupBox); }

  TempDir dir, served;
  ListServer server{served.path().string()};
};

TEST_F(TwoWindowsTest, EveryWindowFollowsTheFoldersSet) {
  Window a, b;
  Open(a);
  Open(b);
  LayOutSet(served.path(), 1, Loto6Ahead(1));
  a.dlg->OnDownload();
  ASSERT_EQ(a.dlg->LastDownloadOk(), 1) << a.win.Text(ctl::kStatus);
  EXPECT_EQ(a.dlg->List(Game::Lot6).wonEntries.size(), b.dlg->List(Game::Lot6).wonEntries.size() + 1);
  // B's refresh finds the folder holding the server's set already (one request, nothing
  // written): it shows that set all the same.
  b.dlg->OnDownload();
  EXPECT_EQ(b.dlg->LastDownloadOk(), 1);
  EXPECT_EQ(b.dlg->List(Game::Lot6).wonEntries, a.dlg->List(Game::Lot6).wonEntries);
  EXPECT_EQ(b.dlg->Draws(Game::Lot6).size(), 2038u);
  EXPECT_EQ(Caption(b), Caption(a));
  // A new set comes through B: A shows it as soon as it is the active window again.
  LayOutSet(served.path(), 2, Loto6Ahead(2));
  b.dlg->OnDownload();
  ASSERT_EQ(b.dlg->List(Game::Lot6).wonEntries.size(), a.dlg->List(Game::Lot6).wonEntries.size() + 1);
  const std::string before = Caption(a);
  a.dlg->OnActivate();
  EXPECT_EQ(a.dlg->List(Game::Lot6).wonEntries, b.dlg->List(Game::Lot6).wonEntries);
  EXPECT_EQ(a.dlg->Draws(Game::Lot6).size(), 2039u);
  EXPECT_NE(Caption(a), before);
  // Nothing changed since: activating reads nothing again.
  EXPECT_FALSE(a.dlg->FollowFolderSet());
}

}  // namespace
}  // namespace numira::testing

namespace numira::testing {
namespace {

// Lists read while a writer is switching the folder's set (its mark is there) may be of two
// sets: they stand as read (the window does not wait) and are read again at the next look
// once the switch is over; lists read whole are not read again.
TEST(FolderSetReader, ListsReadDuringASwitchAreReadAgainOnceItIsOver) {
  TempDir dir;
  dir.CopyRealLists();
  FakeWindow win;
  FakeClock clock;
  WriteBytes(dir / std::string(kSetSwitchMark), "switching\n");
  CPredictDlg dlg(win, clock, DialogSetup{dir / "numira", "127.0.0.1:9"});
  win.dialog = &dlg;
  ASSERT_TRUE(dlg.OnInitDialog());
  // The writer put a new Loto 6 list in place and is not done yet: the next look reads
  // again, and again while the mark stays.
  WriteBytes(dir / "Lot6Correct.txt", "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n1.2.3.4.5.6,1\r\n");
  EXPECT_TRUE(dlg.FollowFolderSet());
  EXPECT_EQ(dlg.List(Game::Lot6).wonEntries, (std::vector<std::string>{"1.2.3.4.5.6"}));
  EXPECT_TRUE(dlg.FollowFolderSet());
  // The switch is over: one more reading, then none while nothing changes.
  ASSERT_EQ(::unlink((dir / std::string(kSetSwitchMark)).c_str()), 0);
  EXPECT_TRUE(dlg.FollowFolderSet());
  EXPECT_FALSE(dlg.FollowFolderSet());
  dlg.OnActivate();
  EXPECT_FALSE(dlg.FollowFolderSet());
}

}  // namespace
}  // namespace numira::testing
