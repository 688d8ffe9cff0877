// The refresh job on its own, against real servers on 127.0.0.1: unchanged lists, extra
// files, stopping it from another thread, and the text the refresh program speaks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "RefreshJob.h"
#include "TestServer.h"

namespace numira::testing {
namespace {

using std::chrono::steady_clock;

const std::string kOldHeader = "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n";  // #2015年11月20日
const std::array<std::string, 6> kOldLists{kOldHeader + "111\r\n222\r\n", kOldHeader + "1111\r\n",
                                           kOldHeader + "123,4\r\n456,7\r\n", kOldHeader + "1234,2\r\n",
                                           kOldHeader + "1.2.3.4.5,1\r\n", kOldHeader + "1.2.3.4.5.6,1\r\n"};

std::string DataFile(std::size_t row) { return std::string(NUMIRA_DATA_DIR) + "/" + kListFiles[row].fileName; }

class RefreshJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t row = 0; row < 6; ++row) {
      request.lists[row] = dir / kListFiles[row].fileName;
      WriteBytes(request.lists[row], kOldLists[row]);
    }
    request.agent = "numira";
    request.limits.connectTimeoutMs = 2000;
    request.limits.lowSpeedSeconds = 1;
  }
  RefreshRequest For(const std::string& host) {
    RefreshRequest r = request;
    r.baseUrl = "http://" + host;
    return r;
  }
  std::array<ListOutcome, 6> Outcomes(const RefreshReport& report) const {
    std::array<ListOutcome, 6> o;
    for (std::size_t row = 0; row < 6; ++row) o[row] = report.lists[row].outcome;
    return o;
  }
  void ExpectOld(std::initializer_list<std::size_t> rows) {
    for (std::size_t row : rows) EXPECT_EQ(ReadBytes(request.lists[row]), kOldLists[row]) << kListFiles[row].fileName;
  }

  TempDir dir;
  ListServer server;
  RefreshRequest request;
};

constexpr ListOutcome R = ListOutcome::Refreshed, N = ListOutcome::NotModified, F = ListOutcome::Failed,
                      T = ListOutcome::NotTried;

// ---- Unchanged lists (304) ---------------------------------------------------------------

struct NotModifiedCase {
  const char* name;
  std::vector<std::size_t> unchanged;  // rows the server answers with 304
  std::array<ListOutcome, 6> outcomes;
};

const NotModifiedCase kNotModified[] = {
    // Nothing new anywhere: every list counts as refreshed, none is written.
    {"all_unchanged", {0, 1, 2, 3, 4, 5}, {N, N, N, N, N, N}},
    {"loto_unchanged", {4, 5}, {R, R, R, R, N, N}},
    // One twin unchanged while the other is new and does not fit the stored copy; asked
    // for once more without a condition, the server still has nothing: both stay.
    {"one_twin_unchanged", {0}, {F, R, F, R, R, R}},
};

class NotModified : public RefreshJobTest, public ::testing::WithParamInterface<NotModifiedCase> {};

TEST_P(NotModified, CountsAsRefreshedAndWritesNothing) {
  const NotModifiedCase& c = GetParam();
  for (std::size_t row : c.unchanged) server.Set(std::string("/Data/") + kListFiles[row].fileName, {304, ""});
  const RefreshReport report = RunRefresh(For(server.Host()));
  EXPECT_EQ(Outcomes(report), c.outcomes);
  for (std::size_t row = 0; row < 6; ++row) {
    SCOPED_TRACE(kListFiles[row].fileName);
    if (c.outcomes[row] == R)
      EXPECT_EQ(ReadBytes(request.lists[row]), Stored(ReadBytes(DataFile(row))));
    else
      ExpectOld({row});
  }
  EXPECT_EQ(dir.Names().size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Refresh, NotModified, ::testing::ValuesIn(kNotModified),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Extra files ---------------------------------------------------------------------------

// The test's own rule for an extra file: its first line says "ok".
bool StartsWithOk(const std::string& fetched, const std::string&) { return ReadBytes(fetched).rfind("ok", 0) == 0; }

TEST_F(RefreshJobTest, ExtraFilesAreCheckedStoredOrKeptAndNeverChangeTheLists) {
  const std::vector<std::string> names{"good.csv", "missing.csv", "refused.csv", "error.csv"};
  std::vector<ExtraFile> extras;
  for (const std::string& n : names) {
    WriteBytes(dir / n, "ok\nold\n");
    extras.push_back({"draws/" + n, dir / n, &StartsWithOk});
  }
  server.Set("/Data/draws/good.csv", {200, "ok\nnew\n"});
  server.Set("/Data/draws/refused.csv", {200, "not ok\nnew\n"});
  server.Set("/Data/draws/error.csv", {500, "ok\nerror page\n"});
  // missing.csv: the server's usual 404.
  const RefreshReport report = RunRefresh(For(server.Host()), extras);
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  EXPECT_EQ(report.extras, (std::vector<ExtraOutcome>{ExtraOutcome::Refreshed, ExtraOutcome::Absent,
                                                      ExtraOutcome::Failed, ExtraOutcome::Failed}));
  EXPECT_EQ(ReadBytes(dir / "good.csv"), Stored("ok\nnew\n"));
  for (const char* kept : {"missing.csv", "refused.csv", "error.csv"}) EXPECT_EQ(ReadBytes(dir / kept), "ok\nold\n") << kept;
  EXPECT_EQ(dir.Names().size(), 6u + names.size());  // no part file left
  // Failing lists do not keep the extra files from being fetched.
  server.SetAll({500, ""});
  const RefreshReport failed = RunRefresh(For(server.Host()), extras);
  EXPECT_EQ(Outcomes(failed), (std::array<ListOutcome, 6>{F, F, F, F, F, F}));
  EXPECT_EQ(failed.extras.size(), names.size());
  EXPECT_EQ(server.Count("/Data/draws/good.csv"), 2);
}

// ---- Stopping --------------------------------------------------------------------------------

TEST_F(RefreshJobTest, AStopFromAnotherThreadEndsTheRefreshAtOnceAndLeavesNothing) {
  // The first list arrives in part, then the server stalls.
  RawServer raw([](int fd, const std::function<bool(int)>& waitStop) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + kOldHeader + "000\r\n");
    waitStop(60000);
  });
  std::atomic<bool> stop{false};
  RefreshReport report;
  std::thread job([&] { report = RunRefresh(For(raw.Host()), {}, &stop); });
  const auto start = steady_clock::now();
  while (dir.Names().size() == 6 && steady_clock::now() - start < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(dir.Names().size(), 7u) << "no part file appeared";
  const auto asked = steady_clock::now();
  stop = true;
  job.join();
  // libcurl asks at least once a second while a transfer waits.
  EXPECT_LT(std::chrono::duration<double>(steady_clock::now() - asked).count(), 1.5);
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{F, T, T, T, T, T}));
  EXPECT_EQ(raw.Connections(), 1);
  EXPECT_EQ(dir.Names().size(), 6u);
  ExpectOld({0, 1, 2, 3, 4, 5});
}

TEST_F(RefreshJobTest, TheRefreshProgramStopsOnSigtermAndLeavesNothing) {
  RawServer raw([](int fd, const std::function<bool(int)>& waitStop) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + kOldHeader + "000\r\n");
    waitStop(60000);
  });
  const std::vector<std::string> args = RefreshArguments(For(raw.Host()));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::vector<char*> argv{const_cast<char*>(NUMIRA_REFRESH_EXE)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(NUMIRA_REFRESH_EXE, argv.data());
    ::_exit(127);
  }
  const auto start = steady_clock::now();
  while (dir.Names().size() == 6 && steady_clock::now() - start < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(dir.Names().size(), 7u) << "no part file appeared";
  ::kill(child, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_EQ(dir.Names().size(), 6u);
  ExpectOld({0, 1, 2, 3, 4, 5});
}

// ---- The refresh program's words -----------------------------------------------------------

TEST(RefreshReportText, ReadsBackWhatItWrites) {
  RefreshReport report;
  report.lists = {ListResult{R, false}, {N, false}, {F, false}, {ListOutcome::LocalFileError, true}, {T, false}, {T, false}};
  report.extras = {ExtraOutcome::Absent, ExtraOutcome::Refreshed};
  EXPECT_EQ(FormatReport(report),
            "list 0 refreshed\nlist 1 not-modified\nlist 2 failed\nlist 3 write-error disk-full\nlist 4 not-tried\n"
            "list 5 not-tried\nextra 0 absent\nextra 1 refreshed\nend\n");
  EXPECT_EQ(ParseReport(FormatReport(report)), report);
  report.lists[3].diskFull = false;
  EXPECT_EQ(ParseReport(FormatReport(report)), report);
}

struct CutReport {
  const char* text;
  std::array<ListOutcome, 6> outcomes;
};

TEST(RefreshReportText, WhatIsNotSaidHasFailed) {
  const CutReport cases[] = {
      {"", {F, F, F, F, F, F}},
      {"list 0 refreshed\nlist 1 refreshed\nlist 2 refre", {R, R, F, F, F, F}},  // the program died mid-line
      {"list 5 not-modified\nlist 9 refreshed\nlist -1 refreshed\nlist 2 maybe\n", {F, F, F, F, F, N}},
      {"end\nlist 0 refreshed\n", {F, F, F, F, F, F}},  // nothing after the end counts
      {"list 0  refreshed\nlist 1 refreshed extra\nlist 3 refreshed\n", {F, F, F, R, F, F}},
  };
  for (const CutReport& c : cases) {
    SCOPED_TRACE(c.text);
    const RefreshReport r = ParseReport(c.text);
    for (std::size_t row = 0; row < 6; ++row) EXPECT_EQ(r.lists[row].outcome, c.outcomes[row]) << row;
  }
}

TEST(RefreshReportText, ArgumentsCarryTheRequest) {
  RefreshRequest request;
  request.baseUrl = "https://lists.example:8443";
  request.agent = "numira";
  request.limits = {1, 2, 3, 4, 5, 6};
  request.lists = {"/a b/Num3NoCorrect.txt", "", "x", "-y", "--", "/z"};
  const std::optional<RefreshRequest> back = ParseRefreshArguments(RefreshArguments(request));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->baseUrl, request.baseUrl);
  EXPECT_EQ(back->agent, "numira");
  EXPECT_EQ(back->lists, request.lists);
  EXPECT_EQ(back->limits.connectTimeoutMs, 1);
  EXPECT_EQ(back->limits.lowSpeedBytesPerSecond, 2);
  EXPECT_EQ(back->limits.lowSpeedSeconds, 3);
  EXPECT_EQ(back->limits.totalTimeoutMs, 4);
  EXPECT_EQ(back->limits.maxRedirects, 5);
  EXPECT_EQ(back->limits.maxBodyBytes, 6);
  const std::vector<std::vector<std::string>> bad{
      {},
      {"--server", "http://h", "--", "1", "2", "3", "4", "5"},
      {"--agent", "numira", "--", "1", "2", "3", "4", "5", "6"},
      {"--server", "http://h", "--limits", "1,2,3", "--", "1", "2", "3", "4", "5", "6"},
      {"--server", "http://h", "--limits", "1,2,3,4,5,x", "--", "1", "2", "3", "4", "5", "6"},
      {"--server", "http://h", "--what", "1", "--", "1", "2", "3", "4", "5", "6"},
      {"--server"},
  };
  for (const auto& args : bad) EXPECT_FALSE(ParseRefreshArguments(args)) << args.size();
}

TEST(RefreshReportText, UrlsAndTheProgramsPlace) {
  EXPECT_EQ(ListUrl("http://127.0.0.1:8080", "Num3Correct.txt"), "http://127.0.0.1:8080/Data/Num3Correct.txt");
  EXPECT_EQ(ListUrl("https://h/", "draws/loto6.csv"), "https://h/Data/draws/loto6.csv");
  EXPECT_EQ(RefreshProgramPath("/usr/lib/numira/numira"), "/usr/lib/numira/numira-refresh");
  EXPECT_EQ(RefreshProgramPath("numira"), "./numira-refresh");
}

}  // namespace
}  // namespace numira::testing
