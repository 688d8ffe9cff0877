// The refresh against a server that publishes numbered sets with an index: one request
// when nothing is new, only the changed files of a new set, a lower set refused, every
// file checked against the index and the set as a whole before anything is put in place,
// whatever the dates and clocks say. Real servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

#include "DrawRefresh.h"
#include "FileStore.h"
#include "RefreshJob.h"
#include "SetIndex.h"
#include "TestServer.h"

namespace numira::testing {
namespace {

namespace fs = std::filesystem;
constexpr ListOutcome R = ListOutcome::Refreshed, N = ListOutcome::NotModified, F = ListOutcome::Failed;

using Files = SetFiles;

// The frozen set with one more Loto 6 draw on `date` (ISO) and its list to match.
Files WithLoto6Draw(Files files, const std::string& isoDate, const std::string& cp932Header) {
  files["draws/loto6.csv"] += "2038," + isoDate + ",1.2.3.4.5.6\n";
  std::string& list = files["Lot6Correct.txt"];
  list = cp932Header + list.substr(list.find('\n') + 1) + "1.2.3.4.5.6,1\r\n";
  return files;
}
const std::string k0929 = "#2025\x94\x4e" "9\x8c\x8e" "29\x93\xfa\r\n";   // #2025年9月29日
const std::string k2099 = "#2099\x94\x4e" "12\x8c\x8e" "31\x93\xfa\r\n";  // #2099年12月31日

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  WriteBytes(path.string(), bytes);
}

class SetRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t row = 0; row < kListFiles.size(); ++row) request.lists[row] = dir / kListFiles[row].fileName;
    request.agent = "numira";
    request.limits.connectTimeoutMs = 2000;
    request.limits.lowSpeedSeconds = 20;
    request.baseUrl = "http://" + server.Host();
    extras = ExtraFilesBeside(request.lists);
  }

  // Serves files as set `number`: under /Data/sets/NNNNNN/, at the plain paths, and its
  // index at /Data/index.txt with these validators. The index's bytes.
  std::string Publish(unsigned number, const Files& files, const std::string& lastModified = {},
                      const std::string& etag = {}) {
    const std::string text = LayOutSet(served.path(), number, files);
    Reply reply{200, text};
    reply.lastModified = lastModified;
    reply.etag = etag;
    server.Set("/Data/index.txt", reply);
    return text;
  }

  RefreshReport Run() { return RunRefresh(request, extras); }
  static std::array<ListOutcome, 6> Outcomes(const RefreshReport& report) {
    std::array<ListOutcome, 6> o;
    for (std::size_t row = 0; row < 6; ++row) o[row] = report.lists[row].outcome;
    return o;
  }
  // The copy holds exactly these files and this index.
  void ExpectCopyHolds(const Files& files, const std::string& index) {
    for (const auto& [path, bytes] : files) EXPECT_EQ(ReadBytes(dir / path), bytes) << path;
    EXPECT_EQ(ReadBytes(dir / "index.txt"), index);
    EXPECT_FALSE(Exists(dir / std::string(kSetSwitchMark)));
  }
  // The paths asked for since the last Clear, in order.
  std::vector<std::string> Asked() const {
    std::vector<std::string> paths;
    for (const SeenRequest& r : server.Seen()) paths.push_back(r.path);
    return paths;
  }
  void Forget() { server.Clear(); }

  TempDir dir, served;
  ListServer server{served.path().string()};
  RefreshRequest request;
  std::vector<ExtraFile> extras;
};

TEST_F(SetRefreshTest, ASetIsTakenWholeThenNothingNewIsOneRequest) {
  const Files set1 = FrozenSet();
  const std::string index1 = Publish(1, set1, "Mon, 07 Dec 2026 00:00:00 GMT", "\"set-1\"");
  RefreshReport report = Run();
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  EXPECT_EQ(report.extras, std::vector<ExtraOutcome>(extras.size(), ExtraOutcome::Refreshed));
  ExpectCopyHolds(set1, index1);
  // Every file from the set's own path, never from the plain ones.
  const std::vector<std::string> asked = Asked();
  ASSERT_EQ(asked.size(), 1 + set1.size());
  EXPECT_EQ(asked.front(), "/Data/index.txt");
  for (std::size_t i = 1; i < asked.size(); ++i) EXPECT_EQ(asked[i].rfind("/Data/sets/000001/", 0), 0u) << asked[i];

  // Nothing new: the validators go back verbatim, the server says 304, nothing else is asked.
  Forget();
  Publish(1, set1, "Mon, 07 Dec 2026 00:00:00 GMT", "\"set-1\"");
  report = Run();
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{N, N, N, N, N, N}));
  EXPECT_EQ(report.extras, std::vector<ExtraOutcome>(extras.size(), ExtraOutcome::NotModified));
  ASSERT_EQ(server.Seen().size(), 1u);
  EXPECT_EQ(server.Seen()[0].ifNoneMatch, "\"set-1\"");
  EXPECT_EQ(server.Seen()[0].ifModifiedSince, "Mon, 07 Dec 2026 00:00:00 GMT");
  ExpectCopyHolds(set1, index1);

  // A server that answers in full all the same: the same set number is still one request.
  Forget();
  Reply full{200, index1};
  full.ignoreConditions = true;
  server.Set("/Data/index.txt", full);
  report = Run();
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{N, N, N, N, N, N}));
  EXPECT_EQ(Asked(), std::vector<std::string>{"/Data/index.txt"});
}

TEST_F(SetRefreshTest, ANewDrawBringsOnlyTheChangedFilesWhateverTheDatesAndClocksSay) {
  // The first set's index came with a Last-Modified in 2100 (a server's clock gone wrong).
  Publish(1, FrozenSet(), "Fri, 01 Jan 2100 00:00:00 GMT");
  ASSERT_EQ(Outcomes(Run()), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  // The next set is built with the clock set back: its Last-Modified is earlier. It is taken.
  Forget();
  const Files set2 = WithLoto6Draw(FrozenSet(), "2025-09-29", k0929);
  const std::string index2 = Publish(2, set2, "Sun, 06 Dec 2026 00:00:00 GMT");
  const RefreshReport report = Run();
  EXPECT_EQ(server.Seen().at(0).ifModifiedSince, "Fri, 01 Jan 2100 00:00:00 GMT");
  EXPECT_EQ(Outcomes(report), (std::array<ListOutcome, 6>{N, N, N, N, N, R}));
  ExpectCopyHolds(set2, index2);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"/Data/index.txt", "/Data/sets/000002/Lot6Correct.txt",
                                               "/Data/sets/000002/draws/loto6.csv"}));
}

TEST_F(SetRefreshTest, ALowerSetIsRefusedNamingBothNumbers) {
  const Files set2 = WithLoto6Draw(FrozenSet(), "2025-09-29", k0929);
  const std::string index2 = Publish(2, set2);
  ASSERT_EQ(Outcomes(Run()), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  Forget();
  Publish(1, FrozenSet());
  const RefreshReport report = Run();
  for (const ListResult& r : report.lists) EXPECT_EQ(r, (ListResult{F, false, FailReason::OlderSet, "000001 000002"}));
  EXPECT_EQ(report.extras, std::vector<ExtraOutcome>(extras.size(), ExtraOutcome::Failed));
  EXPECT_EQ(Asked(), std::vector<std::string>{"/Data/index.txt"});
  ExpectCopyHolds(set2, index2);
  EXPECT_EQ(ParseReport(FormatReport(report)), report);
}

// A set the copy must not take: nothing changes, no stage is left, the reason is the set's.
struct RefusedCase {
  const char* name;
  std::function<Files()> files;
  const char* detail;  // the start of the reason's detail
  bool wrongBytesServed = false;  // the set's path serves other bytes than the index lists
};

const RefusedCase kRefused[] = {
    {"draws_ahead_of_the_list",
     [] {
       Files f = FrozenSet();
       f["draws/loto6.csv"] += "2038,2025-09-29,1.2.3.4.5.6\n";
       return f;
     },
     "draws/loto6.csv: ends on 2025-09-29, Lot6Correct.txt on 2025-09-25"},
    {"list_counts_a_draw_the_history_lacks",
     [] {
       Files f = FrozenSet();
       f["Lot6Correct.txt"] += "1.2.3.4.5.6,1\r\n";
       return f;
     },
     "draws/loto6.csv: 2037 draws, Lot6Correct.txt counts 2038"},
    {"numbers_twins_apart",
     [] {
       Files f = FrozenSet();
       f["Num3NoCorrect.txt"] += "123\r\n";
       return f;
     },
     "Num3NoCorrect.txt / Num3Correct.txt: "},
    {"dated_after_tomorrow_in_japan", [] { return WithLoto6Draw(FrozenSet(), "2099-12-31", k2099); },
     "Lot6Correct.txt: dated 2099年12月31日, after tomorrow in Japan"},
    {"file_not_as_the_index_says", [] { return WithLoto6Draw(FrozenSet(), "2025-09-29", k0929); },
     "Lot6Correct.txt: not the size and SHA-256 index.txt lists", true},
};

class RefusedSet : public SetRefreshTest, public ::testing::WithParamInterface<RefusedCase> {};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

TEST_P(RefusedSet, ChangesNothing) {
  const Files set1 = FrozenSet();
  const std::string index1 = Publish(1, set1);
  ASSERT_EQ(Outcomes(Run()), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  Publish(2, GetParam().files());
  if (GetParam().wrongBytesServed) server.Set("/Data/sets/000002/Lot6Correct.txt", {200, set1.at("Lot6Correct.txt")});
  const RefreshReport report = Run();
  for (const ListResult& r : report.lists) {
    EXPECT_EQ(r.outcome, F);
    EXPECT_EQ(r.reason, FailReason::BadSet);
    EXPECT_EQ(r.detail.rfind(GetParam().detail, 0), 0u) << r.detail;
  }
  ExpectCopyHolds(set1, index1);
  std::vector<std::string> names = dir.Names();
  EXPECT_EQ(names.size(), 8u + 3u) << "a stage was left";  // eight lists, draws/, prizes/, index.txt
}

INSTANTIATE_TEST_SUITE_P(Set, RefusedSet, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetRefreshTest, ADamagedOrFutureDatedCopyIsRepairedFromTheSet) {
  const Files set1 = FrozenSet();
  const std::string index1 = Publish(1, set1);
  ASSERT_EQ(Outcomes(Run()), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  // A list a server without an index once brought, dated 2099, and a draw file edited by hand.
  WriteBytes(dir / "Lot6Correct.txt", k2099 + "1.2.3.4.5.6,1\r\n");
  WriteBytes(dir / "draws/loto7.csv", "garbage\n");
  Forget();
  // The same set: only the two files that are not the set's are asked for.
  const RefreshReport same = Run();
  EXPECT_EQ(Outcomes(same), (std::array<ListOutcome, 6>{N, N, N, N, N, R}));
  ExpectCopyHolds(set1, index1);
  EXPECT_EQ(Asked(), (std::vector<std::string>{"/Data/index.txt", "/Data/sets/000001/Lot6Correct.txt",
                                               "/Data/sets/000001/draws/loto7.csv"}));
  // And by the next set.
  WriteBytes(dir / "Lot6Correct.txt", k2099 + "1.2.3.4.5.6,1\r\n");
  const Files set2 = WithLoto6Draw(FrozenSet(), "2025-09-29", k0929);
  const std::string index2 = Publish(2, set2);
  EXPECT_EQ(Outcomes(Run()), (std::array<ListOutcome, 6>{N, N, N, N, N, R}));
  ExpectCopyHolds(set2, index2);
}

TEST_F(SetRefreshTest, AServerWithoutAnIndexIsAskedFileByFileAndTheCopyForgetsItsSet) {
  const std::string index1 = Publish(1, FrozenSet());
  ASSERT_EQ(Outcomes(Run()), (std::array<ListOutcome, 6>{R, R, R, R, R, R}));
  // The server loses its index and serves an older Loto 6 list: it is taken (nothing goes
  // by dates), asked for at its plain path, with the validators as sent.
  server.Set("/Data/index.txt", {404, kDoctype404});
  const std::string older = "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n1.2.3.4.5.6,1\r\n";
  Reply list{200, older};
  list.lastModified = "Fri, 01 Jan 2100 00:00:00 GMT";
  server.Set("/Data/Lot6Correct.txt", list);
  Forget();
  server.Set("/Data/index.txt", {404, kDoctype404});
  server.Set("/Data/Lot6Correct.txt", list);
  const RefreshReport report = Run();
  EXPECT_EQ(report.lists[5].outcome, R);
  EXPECT_EQ(ReadBytes(dir / "Lot6Correct.txt"), older);
  EXPECT_FALSE(Exists(dir / "index.txt"));
  EXPECT_EQ(server.Count("/Data/Lot6Correct.txt"), 1);
  // The next index is taken whatever its number.
  const Files set1 = FrozenSet();
  const std::string again = Publish(1, set1);
  EXPECT_EQ(Outcomes(Run()), (std::array<ListOutcome, 6>{N, N, N, N, N, R}));
  ExpectCopyHolds(set1, again);
}

// Two refreshes started at once on one folder, against servers of two sets: they take
// turns (the folder's lock), the lower set is refused if it comes second, and the folder
// ends holding the higher set whole.
TEST_F(SetRefreshTest, TwoRefreshesAtOnceEndOnTheHigherSetWhole) {
  TempDir servedHigh;
  ListServer high(servedHigh.path().string());
  const Files set3 = WithLoto6Draw(FrozenSet(), "2025-09-29", k0929);
  SetIndex index{3, "2026-12-07T00:00:00Z", {}};
  for (const auto& [path, bytes] : set3) {
    index.files.push_back(DescribeSetFile(path, bytes));
    Write(servedHigh.path() / "sets/000003" / path, bytes);
  }
  const std::string index3 = FormatSetIndex(index);
  Write(servedHigh.path() / "index.txt", index3);
  Publish(2, FrozenSet());
  RefreshRequest other = request;
  other.baseUrl = "http://" + high.Host();
  for (int round = 0; round < 3; ++round) {
    fs::remove(dir / "index.txt");
    std::atomic<bool> go{false};
    RefreshReport a, b;
    std::thread ta([&] { while (!go) {} a = RunRefresh(request, extras); });
    std::thread tb([&] { while (!go) {} b = RunRefresh(other, extras); });
    go = true;
    ta.join();
    tb.join();
    EXPECT_EQ(b.lists[5].reason, FailReason::None);
    EXPECT_TRUE(a.lists[5].reason == FailReason::None || a.lists[5].reason == FailReason::OlderSet);
    ExpectCopyHolds(set3, index3);
  }
}

}  // namespace
}  // namespace numira::testing
