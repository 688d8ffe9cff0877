// The refresh job on its own, against real servers on 127.0.0.1: unchanged lists, extra
// files, stopping it from another thread, and the text the refresh program speaks.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <mutex>
#include <csignal>
#include <thread>

#include "DrawRefresh.h"
#include "FileStore.h"
#include "ListServerChoice.h"
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

constexpr std::int64_t k2015 = 1448010000;  // 2015-11-20 18:00 in Japan: the stored lists' draw

std::string HttpDate(std::int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  gmtime_r(&tt, &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, "%a, %d %b %Y %H:%M:%S GMT", &tm);
  return buf;
}

// A copy as a fetch stores it: its time is the server's Last-Modified, and the server's
// text of it is kept beside it.
void StoreWithServerText(const std::string& path, std::int64_t t, const std::string& text) {
  const timespec times[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  const std::string mark = std::to_string(t) + ".0\n\n" + text;
  ASSERT_EQ(::setxattr(path.c_str(), "user.numira.validators", mark.data(), mark.size(), 0), 0);
  ASSERT_EQ(StoredValidators(path), (Validators{"", text}));
}
void StoreWithServerTime(const std::string& path, std::int64_t t) { StoreWithServerText(path, t, HttpDate(t)); }

class RefreshJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t row = 0; row < 6; ++row) {
      request.lists[row] = dir / kListFiles[row].fileName;
      WriteBytes(request.lists[row], kOldLists[row]);
      StoreWithServerTime(request.lists[row], k2015);
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

  // The refresh program's command line (argv, ending in nullptr) for a server.
  struct ProgramLine {
    std::vector<std::string> args;
    std::vector<char*> argv;
  };
  ProgramLine RefreshProgramFor(const std::string& host) {
    ProgramLine line{RefreshArguments(For(host)), {const_cast<char*>(NUMIRA_REFRESH_EXE)}};
    for (std::string& a : line.args) line.argv.push_back(a.data());
    line.argv.push_back(nullptr);
    return line;
  }
  // A server that starts the first list and then stalls for a minute.
  static void StallAfterTheFirstBytes(int fd, const std::function<bool(int)>& waitStop) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + kOldHeader + "000\r\n");
    waitStop(60000);
  }
  // Waits (10 s at most) for a part file beside the six lists.
  std::size_t NamesOnceAPartFileAppears() {
    const auto start = steady_clock::now();
    while (dir.Names().size() == 6 && steady_clock::now() - start < std::chrono::seconds(10))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return dir.Names().size();
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
  bool storedShipped = false;  // the stored lists are the shipped ones, not the old ones
};

const NotModifiedCase kNotModified[] = {
    // Nothing new anywhere: every list counts as refreshed, none is written.
    {"all_unchanged", {0, 1, 2, 3, 4, 5}, {N, N, N, N, N, N}},
    {"loto_unchanged", {4, 5}, {R, R, R, R, N, N}},
    // One twin unchanged while the other is new and does not fit the stored copy; asked
    // for once more without a condition, the server still has nothing: both stay.
    {"one_twin_unchanged", {0}, {F, R, F, R, R, R}},
    // The unchanged one agrees with its fresh twin: the pair is taken.
    {"unchanged_twin_agrees_with_the_new_one", {0, 1}, {N, N, R, R, R, R}, true},
};

class NotModified : public RefreshJobTest, public ::testing::WithParamInterface<NotModifiedCase> {};
void PrintTo(const NotModifiedCase& c, std::ostream* os) { *os << c.name; }

TEST_P(NotModified, CountsAsRefreshedAndWritesNothing) {
  const NotModifiedCase& c = GetParam();
  std::array<std::string, 6> stored = kOldLists;
  if (c.storedShipped)
    for (std::size_t row = 0; row < 6; ++row) {
      WriteBytes(request.lists[row], stored[row] = Stored(ReadBytes(DataFile(row))));
      StoreWithServerTime(request.lists[row], k2015);
    }
  for (std::size_t row : c.unchanged) server.Set(std::string("/Data/") + kListFiles[row].fileName, {304, ""});
  const RefreshReport report = RunRefresh(For(server.Host()));
  EXPECT_EQ(Outcomes(report), c.outcomes);
  for (std::size_t row = 0; row < 6; ++row) {
    SCOPED_TRACE(kListFiles[row].fileName);
    EXPECT_EQ(ReadBytes(request.lists[row]), c.outcomes[row] == R ? Stored(ReadBytes(DataFile(row))) : stored[row]);
  }
  EXPECT_EQ(dir.Names().size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Refresh, NotModified, ::testing::ValuesIn(kNotModified),
                         [](const auto& info) { return std::string(info.param.name); });

// A server that keeps the rule of If-Modified-Since: 304 when the list has not changed
// since the time asked about. Its lists all changed last at lastModified.
class ConditionalServer {
 public:
  explicit ConditionalServer(std::int64_t lastModified) : lastModified_(lastModified) {
    server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      // It has no set index, as servers before sets.
      if (req.path == "/Data/index.txt") {
        res.status = 404;
        return;
      }
      const std::string ims = req.get_header_value("If-Modified-Since");
      {
        std::lock_guard<std::mutex> lock(mutex_);
        asked_.push_back(ims.empty() ? -1 : ParseHttpDate(ims));
      }
      if (!ims.empty() && ParseHttpDate(ims) >= lastModified_) {
        res.status = 304;
        return;
      }
      const std::string name = req.path.substr(req.path.rfind('/') + 1);
      res.set_content(ReadBytes(std::string(NUMIRA_DATA_DIR) + "/" + name), "text/plain");
      res.set_header("Last-Modified", HttpDate(lastModified_));
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~ConditionalServer() {
    server_.stop();
    thread_.join();
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  // The times asked about, in Unix seconds (-1: an unconditional request).
  std::vector<std::int64_t> Asked() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return asked_;
  }

 private:
  static std::int64_t ParseHttpDate(const std::string& text) {
    std::tm tm{};
    if (!strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &tm)) return -2;
    return static_cast<std::int64_t>(timegm(&tm));
  }
  std::int64_t lastModified_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::int64_t> asked_;
};

constexpr std::int64_t k2020 = 1577836800;  // 2020-01-01 00:00 UTC

TEST_F(RefreshJobTest, ACopyMadeHereIsNeverTakenForTheServersNewerList) {
  // The stored lists were written just now (as the shipped lists are copied at start-up),
  // long after the server's newer lists changed: asked with their own time, the server
  // would call its lists unchanged. They carry no time of the server's: asked for whole.
  for (std::size_t row = 0; row < 6; ++row) WriteBytes(request.lists[row], kOldLists[row]);
  ConditionalServer conditional(k2020);
  const RefreshReport report = RunRefresh(For(conditional.Host()));
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  EXPECT_EQ(conditional.Asked(), std::vector<std::int64_t>(6, -1));
  for (std::size_t row = 0; row < 6; ++row) EXPECT_EQ(ReadBytes(request.lists[row]), Stored(ReadBytes(DataFile(row))));
  // Stored with the server's Last-Modified, the next refresh asks about that time: nothing new.
  ConditionalServer again(k2020);
  EXPECT_EQ(Outcomes(RunRefresh(For(again.Host()))), (std::array<ListOutcome, 6>{N, N, N, N, N, N}));
  EXPECT_EQ(again.Asked(), std::vector<std::int64_t>(6, k2020));
}

TEST_F(RefreshJobTest, AStoredListsServerTimeIsAskedAbout) {
  ConditionalServer conditional(k2015 - 7200);  // nothing new since
  EXPECT_EQ(Outcomes(RunRefresh(For(conditional.Host()))), (std::array<ListOutcome, 6>{N, N, N, N, N, N}));
  EXPECT_EQ(conditional.Asked(), std::vector<std::int64_t>(6, k2015));
  ExpectOld({0, 1, 2, 3, 4, 5});
  // A stored list without a date is asked for whole.
  WriteBytes(request.lists[4], "1.2.3.4.5,1\r\n");
  StoreWithServerTime(request.lists[4], k2015);
  ConditionalServer again(k2015 - 7200);
  const RefreshReport report = RunRefresh(For(again.Host()));
  EXPECT_EQ(again.Asked()[4], -1);
  EXPECT_EQ(report.lists[4].outcome, R);
}

TEST_F(RefreshJobTest, AnyFullAnswerIsTakenWhateverTheDatesSay) {
  // The stored copies' Last-Modified texts: a day after the server's new lists (the
  // publisher's clock is behind), or far ahead (a server once sent 2100); the server has
  // new lists and answers them in full. Each is taken; each request carries the stored
  // text byte for byte.
  const struct {
    const char* name;
    std::string stored;
  } rows[] = {{"publisher_clock_behind", HttpDate(k2015 + 86400)}, {"once_sent_2100", "Fri, 31 Dec 2100 23:59:59 GMT"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    server.Clear();
    for (std::size_t row6 = 0; row6 < 6; ++row6) {
      WriteBytes(request.lists[row6], kOldLists[row6]);
      StoreWithServerText(request.lists[row6], k2015, row.stored);
      Reply fresh{200, ReadBytes(DataFile(row6))};
      fresh.lastModified = HttpDate(k2015);
      server.Set(std::string("/Data/") + kListFiles[row6].fileName, fresh);
    }
    EXPECT_EQ(Outcomes(RunRefresh(For(server.Host()))), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
    for (std::size_t row6 = 0; row6 < 6; ++row6) EXPECT_EQ(ReadBytes(request.lists[row6]), Stored(ReadBytes(DataFile(row6))));
    // First the set index, which this server lacks; then the lists.
    std::vector<SeenRequest> seen = server.Seen();
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen.front().path, "/Data/index.txt");
    seen.erase(seen.begin());
    for (const SeenRequest& r : seen) EXPECT_EQ(r.ifModifiedSince, row.stored) << r.path;
    // Then the normal server's own text: asked with it, nothing new.
    server.Clear();
    for (std::size_t row6 = 0; row6 < 6; ++row6) {
      Reply same{200, ReadBytes(DataFile(row6))};
      same.lastModified = HttpDate(k2015);
      server.Set(std::string("/Data/") + kListFiles[row6].fileName, same);
    }
    EXPECT_EQ(Outcomes(RunRefresh(For(server.Host()))), (std::array<ListOutcome, 6>{N, N, N, N, N, N}));
  }
}

std::string PathOf(int fd) {
  char buf[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

// Writes to the download of Num3NoCorrect.txt fail as a broken disk fails.
ssize_t BrokenDiskForNum3NoCorrect(int fd, const void* data, size_t size) {
  if (PathOf(fd).find("/.Num3NoCorrect.txt.") != std::string::npos) {
    errno = EIO;
    return -1;
  }
  return ::write(fd, data, size);
}

TEST_F(RefreshJobTest, ADiskErrorWhileAnUnchangedTwinIsAskedForAgainEndsTheRefresh) {
  // The stored never-won list of Numbers 3 carries the shipped date but names a drawn
  // number: the server calls it unchanged, the fresh won list does not agree with it, and
  // it is asked for once more, whole; that copy cannot be written.
  const std::string shippedNeverWon = ReadBytes(DataFile(0));
  WriteBytes(request.lists[0], shippedNeverWon + "123\r\n");
  StoreWithServerTime(request.lists[0], k2020);
  RefreshRequest r = request;
  FileOps broken;
  broken.write = &BrokenDiskForNum3NoCorrect;
  ConditionalServer conditional(k2020);  // nothing new since the stored copy
  r.baseUrl = "http://" + conditional.Host();
  const RefreshReport report = RunRefresh(r, {}, nullptr, {}, broken);
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{ListOutcome::LocalFileError, F, F, T, T, T}));
  EXPECT_EQ(ReadBytes(request.lists[0]), shippedNeverWon + "123\r\n");
  ExpectOld({1, 2, 3, 4, 5});
  EXPECT_EQ(dir.Names().size(), 6u);
}

// ---- Extra files ---------------------------------------------------------------------------

// The test's own rule for an extra file: its first line says "ok".
bool StartsWithOk(const std::string& fetched, const std::string&) { return ReadBytes(fetched).rfind("ok", 0) == 0; }

// Two refresh programs started at once on one folder, against two servers with two
// versions of the Numbers 4 pair (one number moved from the never-won list to the won
// list): they take turns, never write side by side, and the folder ends with one whole
// version of the pair.
TEST_F(RefreshJobTest, TwoRefreshesOfOneFolderTakeTurns) {
  const std::string neverWonX = ReadBytes(DataFile(1)), wonX = ReadBytes(DataFile(3));
  const std::string neverWonY = [&] {
    std::string t = neverWonX;
    const auto at = t.find("\r\n0002\r\n");
    EXPECT_NE(at, std::string::npos);
    return t.erase(at, 6);
  }();
  const std::string wonY = [&] {
    std::string t = wonX;
    const auto at = t.find("\r\n0001,2\r\n");
    EXPECT_NE(at, std::string::npos);
    return t.insert(at + 10, "0002,1\r\n");
  }();
  ListServer x, y;
  for (std::size_t row = 0; row < 6; ++row) {
    const std::string path = std::string("/Data/") + kListFiles[row].fileName;
    Reply rx{200, ReadBytes(DataFile(row))}, ry{200, row == 1 ? neverWonY : row == 3 ? wonY : ReadBytes(DataFile(row))};
    rx.delayMs = ry.delayMs = 150;  // each refresh takes a second at least
    x.Set(path, rx);
    y.Set(path, ry);
  }
  std::array<FILE*, 2> programs{};
  for (int i = 0; i < 2; ++i) {
    ProgramLine line = RefreshProgramFor(i == 0 ? x.Host() : y.Host());
    std::string command;
    for (char* a : line.argv)
      if (a) command += "'" + std::string(a) + "' ";
    programs[static_cast<std::size_t>(i)] = ::popen(command.c_str(), "r");
    ASSERT_NE(programs[static_cast<std::size_t>(i)], nullptr);
  }
  for (FILE* p : programs) {
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    EXPECT_EQ(::pclose(p), 0);
    // The one that waited refreshed all the same, after the other.
    EXPECT_EQ(Outcomes(ParseReport(out)), (std::array<ListOutcome, 6>{R, R, R, R, R, R})) << out;
  }
  // Every request of one came after every request of the other.
  const auto span = [](const ListServer& s) {
    const std::vector<SeenRequest> seen = s.Seen();
    EXPECT_FALSE(seen.empty());
    auto [first, last] = std::minmax_element(seen.begin(), seen.end(), [](const SeenRequest& a, const SeenRequest& b) { return a.at < b.at; });
    return std::pair{first->at, last->at};
  };
  const auto [xFirst, xLast] = span(x);
  const auto [yFirst, yLast] = span(y);
  EXPECT_TRUE(xLast < yFirst || yLast < xFirst) << "the two refreshes wrote side by side";
  // One whole version of the pair; the other lists as served.
  const std::pair<std::string, std::string> pair{ReadBytes(request.lists[1]), ReadBytes(request.lists[3])};
  EXPECT_TRUE(pair == std::pair(neverWonX, wonX) || pair == std::pair(neverWonY, wonY));
  for (std::size_t row : {0, 2, 4, 5}) EXPECT_EQ(ReadBytes(request.lists[row]), ReadBytes(DataFile(row)));
  EXPECT_EQ(dir.Names().size(), 6u);  // no stage left
}

// While the folder's writer holds it past the refresh's wait, the refresh writes nothing
// and says why.
TEST_F(RefreshJobTest, AFolderHeldByAnotherWriterIsLeftAlone) {
  RefreshRequest r = For(server.Host());
  r.limits.totalTimeoutMs = 400;
  const FolderLock other(dir.path().string());
  ASSERT_TRUE(other.Held());
  const auto start = steady_clock::now();
  const RefreshReport report = RunRefresh(r);
  EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(2));
  for (const ListResult& l : report.lists) EXPECT_EQ(l, (ListResult{F, false, FailReason::FolderBusy}));
  EXPECT_TRUE(server.Seen().empty());
  ExpectOld({0, 1, 2, 3, 4, 5});
  EXPECT_EQ(ParseReport(FormatReport(report)), report);
}

TEST_F(RefreshJobTest, EachFailedListSaysWhyAndTheProgramSaysItToo) {
  server.Set("/Data/Num4Correct.txt", {404, kDoctype404});
  server.Set("/Data/Lot6Correct.txt", {200, kOldHeader + "1.2.3.4.5.44,1\r\n"});
  const std::array<ListResult, 6> expected{
      ListResult{R}, {F, false, FailReason::TwinFailed}, {R}, {F, false, FailReason::ErrorStatus, "404"}, {R},
      {F, false, FailReason::NotAList, "line 2: \"1.2.3.4.5.44\" is not a Loto 6 combination (6 distinct numbers 1-43, "
                                       "ascending, joined by \".\")"}};
  EXPECT_EQ(RunRefresh(For(server.Host())).lists, expected);
  // The same words from the refresh program, as the window reads them.
  for (std::size_t row = 0; row < 6; ++row) {
    WriteBytes(request.lists[row], kOldLists[row]);
    StoreWithServerTime(request.lists[row], k2015);
  }
  ProgramLine line = RefreshProgramFor(server.Host());
  std::string out;
  {
    std::string command;
    for (char* a : line.argv)
      if (a) command += "'" + std::string(a) + "' ";
    FILE* p = ::popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ASSERT_EQ(::pclose(p), 0);
  }
  EXPECT_EQ(ParseReport(out).lists, expected) << out;
  // Nothing answers: the reason is the server's.
  const RefusingPort refusing;
  const RefreshReport down = RunRefresh(For(refusing.Host()));
  for (const ListResult& r : down.lists) EXPECT_EQ(r, ListResult(F, false, FailReason::NoConnection));
}

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
  // A server that fails every list is not asked for the extra files: they keep their copies.
  server.SetAll({500, ""});
  const RefreshReport failed = RunRefresh(For(server.Host()), extras);
  EXPECT_EQ(Outcomes(failed), (std::array<ListOutcome, 6>{F, F, F, F, F, F}));
  EXPECT_EQ(failed.extras, std::vector<ExtraOutcome>(names.size(), ExtraOutcome::Failed));
  EXPECT_EQ(server.Count("/Data/draws/good.csv"), 1);
  EXPECT_EQ(ReadBytes(dir / "good.csv"), Stored("ok\nnew\n"));
}

// ---- The files beside the six lists -----------------------------------------------------

namespace fs = std::filesystem;

// A list server's folder: the six lists, and with `everything` the added lists, the draw
// files and the prize files too (the frozen test copies).
void FillServedFolder(const fs::path& root, bool everything) {
  for (std::size_t row = 0; row < kListFiles.size(); ++row)
    if (row < kFirstLists || everything) fs::copy_file(DataFile(row), root / kListFiles[row].fileName);
  if (!everything) return;
  for (const auto& [from, to] : {std::pair{NUMIRA_DRAWS_DIR, "draws"}, std::pair{NUMIRA_PRIZES_DIR, "prizes"}}) {
    fs::create_directory(root / to);
    for (const auto& e : fs::directory_iterator(from)) fs::copy_file(e.path(), root / to / e.path().filename());
  }
}

class ExtraFilesTest : public RefreshJobTest {
 protected:
  void SetUp() override {
    RefreshJobTest::SetUp();
    for (std::size_t row = kFirstLists; row < kListFiles.size(); ++row) request.lists[row] = dir / kListFiles[row].fileName;
    // Seventeen files, the largest compressed as it is served: a busy machine (sanitizers,
    // tests side by side) may keep the server quiet for more than a second.
    request.limits.lowSpeedSeconds = 20;
  }
  // The outcome of the extra file with this /Data/ name.
  static ExtraOutcome OutcomeOf(const RefreshReport& report, const std::vector<ExtraFile>& extras, const std::string& name) {
    for (std::size_t i = 0; i < extras.size() && i < report.extras.size(); ++i)
      if (extras[i].name == name) return report.extras[i];
    ADD_FAILURE() << name << " is no extra file";
    return ExtraOutcome::Failed;
  }
  TempDir served;
};

// The names of the files beside the lists, in the order the refresh asks for them.
const std::vector<std::string> kExtraNames{
    "Lot7Correct.txt",     "Bingo5Correct.txt",   "draws/numbers3.csv",  "draws/numbers4.csv",
    "draws/miniloto.csv",  "draws/loto6.csv",     "draws/loto7.csv",     "draws/bingo5.csv",
    "prizes/miniloto.csv", "prizes/loto6.csv",    "prizes/loto7.csv"};

// A server that publishes only the six lists, as every server did before: the six are
// refreshed as ever, nothing else is an error, and nothing else appears in the folder.
TEST_F(ExtraFilesTest, AServerWithOnlyTheSixListsIsNoFault) {
  FillServedFolder(served.path(), false);
  ListServer sixOnly(served.path().string());
  const RefreshRequest r = For(sixOnly.Host());
  const std::vector<ExtraFile> extras = ExtraFilesBeside(r.lists);
  std::vector<std::string> names;
  for (const ExtraFile& e : extras) names.push_back(e.name);
  EXPECT_EQ(names, kExtraNames);
  const RefreshReport report = RunRefresh(r, extras);
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  EXPECT_EQ(report.extras, std::vector<ExtraOutcome>(kExtraNames.size(), ExtraOutcome::Absent));
  std::vector<std::string> six;
  for (std::size_t row = 0; row < kFirstLists; ++row) six.push_back(kListFiles[row].fileName);
  std::sort(six.begin(), six.end());
  EXPECT_EQ(dir.Names(), six);  // no draws/ or prizes/ folder made and left
}

// A server that publishes everything: every file comes, byte for byte, in its place.
TEST_F(ExtraFilesTest, EveryFileBesideTheListsComesFromAServerThatHasIt) {
  FillServedFolder(served.path(), true);
  ListServer all(served.path().string());
  const RefreshRequest r = For(all.Host());
  const std::vector<ExtraFile> extras = ExtraFilesBeside(r.lists);
  const RefreshReport report = RunRefresh(r, extras);
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  EXPECT_EQ(report.extras, std::vector<ExtraOutcome>(kExtraNames.size(), ExtraOutcome::Refreshed));
  for (const std::string& name : kExtraNames) EXPECT_EQ(ReadBytes(dir / name), ReadBytes(served / name)) << name;
  // The folders made for them are the user's own.
  for (const char* folder : {"draws", "prizes"}) {
    struct stat st;
    ASSERT_EQ(::stat((dir / folder).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
  }
  // No lists beside them: nowhere to store them, nothing to fetch.
  EXPECT_TRUE(ExtraFilesBeside(ListPaths{}).empty());
}

struct ExtraCase {
  const char* name;
  std::string file;     // the extra file at stake, by its /Data/ name
  std::string stored;   // what the user's copy holds before ("": none)
  std::string served;   // what the server answers for it with 200 ("": its copy; "404": not found)
  ExtraOutcome outcome;
};

std::string Frozen(const std::string& name) {
  const auto slash = name.find('/');
  if (slash == std::string::npos) return ReadBytes(std::string(NUMIRA_DATA_DIR) + "/" + name);
  const std::string folder = name.substr(0, slash) == "draws" ? NUMIRA_DRAWS_DIR : NUMIRA_PRIZES_DIR;
  return ReadBytes(folder + "/" + name.substr(slash + 1));
}
// The file without its last line.
std::string LastLineOff(const std::string& bytes) {
  const std::string body = bytes.substr(0, bytes.size() - 1);
  return body.substr(0, body.rfind('\n') + 1);
}

const std::string kLoto6Prizes2038 = "2038,2025-09-29,0,0,1,2,3,4,5,6,7,8,9\n";
const std::string kMiniPrizeColumns = "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,"
                                      "t4_winners,t4_amount\n";

std::vector<ExtraCase> ExtraCases() {
  using O = ExtraOutcome;
  const std::string l7header = "#2027\x94\x4e" "1\x8c\x8e" "8\x93\xfa\r\n";  // #2027年1月8日
  return {
      {"added_list_taken", "Lot7Correct.txt", "", "", O::Refreshed},
      {"added_list_an_html_page", "Lot7Correct.txt", "", kDoctype404, O::Failed},
      {"added_list_with_a_wrong_entry", "Bingo5Correct.txt", "",
       "#2026\x94\x4e" "8\x8c\x8e" "19\x93\xfa\r\n6.10.13.19.23.28.35.37,1\r\n", O::Failed},
      // Nothing goes by dates: what the server serves is taken, only a date after tomorrow
      // in Japan is refused.
      {"added_list_older_than_stored", "Lot7Correct.txt", l7header + "2.8.15.17.25.28.34,1\r\n", "", O::Refreshed},
      {"added_list_after_tomorrow", "Lot7Correct.txt", "", "#2099\x94\x4e" "12\x8c\x8e" "31\x93\xfa\r\n2.8.15.17.25.28.34,1\r\n",
       O::Failed},
      {"added_list_missing", "Bingo5Correct.txt", "", "404", O::Absent},
      {"draws_ending_before_stored", "draws/loto7.csv", Frozen("draws/loto7.csv") + "692,2026-08-28,1.2.3.4.5.6.7,8.9\n", "",
       O::Refreshed},
      {"draws_after_tomorrow", "draws/loto7.csv", "", Frozen("draws/loto7.csv") + "692,2099-12-31,1.2.3.4.5.6.7,8.9\n",
       O::Failed},
      {"draws_no_history", "draws/bingo5.csv", "", "garbage\n", O::Failed},
      {"prizes_taken_over_fewer", "prizes/loto7.csv", LastLineOff(Frozen("prizes/loto7.csv")), "", O::Refreshed},
      {"prizes_going_back", "prizes/loto7.csv", Frozen("prizes/loto7.csv"), LastLineOff(Frozen("prizes/loto7.csv")),
       O::Refreshed},
      {"prizes_winners_without_amount", "prizes/miniloto.csv", "",
       kMiniPrizeColumns + "1,1999-04-13,29,0,46,275800,2331,9400,59593,900\n", O::Failed},
      {"prizes_of_a_draw_not_yet_here", "prizes/loto6.csv", "", Frozen("prizes/loto6.csv") + kLoto6Prizes2038, O::Failed},
      {"prizes_on_another_day", "prizes/miniloto.csv", "",
       kMiniPrizeColumns + "1,1999-04-14,29,6090500,46,275800,2331,9400,59593,900\n", O::Failed},
      {"prizes_absent", "prizes/loto6.csv", "", "404", O::Absent},
  };
}

class ExtraTable : public ExtraFilesTest, public ::testing::WithParamInterface<ExtraCase> {};
void PrintTo(const ExtraCase& c, std::ostream* os) { *os << c.name; }

// Each file beside the lists is checked on its own: a refused or missing one keeps the
// user's copy, and none changes the six lists' outcome.
TEST_P(ExtraTable, OnlyASoundFileIsTaken) {
  const ExtraCase& c = GetParam();
  FillServedFolder(served.path(), true);
  ListServer all(served.path().string());
  if (c.served == "404")
    all.Set("/Data/" + c.file, {404, kDoctype404});
  else if (!c.served.empty())
    all.Set("/Data/" + c.file, {200, c.served});
  const fs::path local = dir.path() / c.file;
  if (!c.stored.empty()) {
    fs::create_directories(local.parent_path());
    WriteBytes(local, c.stored);
  }
  const RefreshRequest r = For(all.Host());
  const std::vector<ExtraFile> extras = ExtraFilesBeside(r.lists);
  const RefreshReport report = RunRefresh(r, extras);
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  EXPECT_EQ(OutcomeOf(report, extras, c.file), c.outcome);
  if (c.outcome == ExtraOutcome::Refreshed) {
    EXPECT_EQ(ReadBytes(local), c.served.empty() ? Frozen(c.file) : c.served);
  } else if (c.stored.empty()) {
    EXPECT_FALSE(fs::exists(local));
  } else {
    EXPECT_EQ(ReadBytes(local), c.stored);
  }
  // The other files came all the same.
  for (std::size_t i = 0; i < extras.size(); ++i)
    EXPECT_TRUE(extras[i].name == c.file || report.extras[i] == ExtraOutcome::Refreshed) << extras[i].name;
}

INSTANTIATE_TEST_SUITE_P(Beside, ExtraTable, ::testing::ValuesIn(ExtraCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Stopping --------------------------------------------------------------------------------

TEST_F(RefreshJobTest, AStopFromAnotherThreadEndsTheRefreshAtOnceAndLeavesNothing) {
  // The first list arrives in part, then the server stalls.
  RawServer raw(StallAfterTheFirstBytes);
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
  // The stall came at the set's index, asked for first: no list was tried.
  for (const ListResult& r : report.lists) EXPECT_EQ(r, (ListResult{F, false, FailReason::Stopped}));
  EXPECT_EQ(raw.Connections(), 1);
  EXPECT_EQ(dir.Names().size(), 6u);
  ExpectOld({0, 1, 2, 3, 4, 5});
}

TEST_F(RefreshJobTest, TheRefreshProgramStopsOnSigtermAndLeavesNothing) {
  RawServer raw(StallAfterTheFirstBytes);
  ProgramLine line = RefreshProgramFor(raw.Host());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::execv(NUMIRA_REFRESH_EXE, line.argv.data());
    ::_exit(127);
  }
  ASSERT_EQ(NamesOnceAPartFileAppears(), 7u) << "no part file appeared";
  ::kill(child, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_EQ(dir.Names().size(), 6u);
  ExpectOld({0, 1, 2, 3, 4, 5});
}

TEST_F(RefreshJobTest, TheRefreshProgramStopsWhenTheWindowsProcessIsGone) {
  RawServer raw(StallAfterTheFirstBytes);
  ProgramLine line = RefreshProgramFor(raw.Host());
  // The program, orphaned, comes to this process, which can then wait for it.
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  int ids[2], die[2];
  ASSERT_EQ(::pipe(ids), 0);
  ASSERT_EQ(::pipe(die), 0);
  const pid_t window = ::fork();
  ASSERT_GE(window, 0);
  if (window == 0) {
    // Stands in for the window's process: starts the program, then dies when told.
    const pid_t program = ::fork();
    if (program == 0) {
      ::execv(NUMIRA_REFRESH_EXE, line.argv.data());
      ::_exit(127);
    }
    (void)!::write(ids[1], &program, sizeof program);
    char c;
    (void)!::read(die[0], &c, 1);
    ::_exit(0);
  }
  pid_t program = 0;
  ASSERT_EQ(::read(ids[0], &program, sizeof program), static_cast<ssize_t>(sizeof program));
  EXPECT_EQ(NamesOnceAPartFileAppears(), 7u) << "no part file appeared";
  (void)!::write(die[1], "x", 1);
  for (int fd : {ids[0], ids[1], die[0], die[1]}) ::close(fd);
  int status = 0;
  ASSERT_EQ(::waitpid(window, &status, 0), window);
  ASSERT_EQ(::waitpid(program, &status, 0), program);
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_EQ(dir.Names().size(), 6u);
  ExpectOld({0, 1, 2, 3, 4, 5});
}

}  // namespace
}  // namespace numira::testing
