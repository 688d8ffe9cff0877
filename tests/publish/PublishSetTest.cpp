// Publishing as one step: the served folder as a link switched between whole sets, a
// build never going back, builds killed at each rename, links made by hand, and the
// changes to a history (undo, future dates, histories behind links).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>

#include "HistoryEdit.h"
#include "SetPublisher.h"
#include "ListTable.h"
#include "ListsRun.h"

namespace numira {
namespace {

using testing::CopyHistories;
using testing::HistoryFolder;
using testing::kHistoryNames;
using testing::Lists;
using testing::Names;
using testing::ReadBytes;
using testing::RunResult;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

// Every file a folder serves, subfolders included, by its path in the folder.
std::map<std::string, std::string> ServedFiles(const fs::path& dir) { return testing::FilesUnder(dir); }

RunResult Build(const fs::path& out, const fs::path& draws, bool force = false) {
  std::vector<std::string> args{"build", "--out", out.string(), "--draws", draws.string()};
  if (force) args.push_back("--force");
  return Lists(args);
}

RunResult Add(const fs::path& draws, std::vector<std::string> result) {
  result.insert(result.begin(), "add");
  result.insert(result.end(), {"--draws", draws.string()});
  return Lists(result);
}

TEST(Publish, ANewDrawSwitchesTheWholeSetAndKeepsOnlyTheSetBefore) {
  TempDir root;
  const fs::path draws = root.path() / "draws", out = root.path() / "lists";
  CopyHistories(draws);
  ASSERT_EQ(Build(out, draws).code, kExitOk);
  const fs::path num3 = root.path() / "lists.sets/000001/Num3Correct.txt";
  const auto num3Links = fs::hard_link_count(num3);

  ASSERT_EQ(Add(draws, {"miniloto", "1354", "2025-09-30", "31 2 17 9 5", "--bonus", "1"}).code, kExitOk);
  const RunResult second = Build(out, draws);
  ASSERT_EQ(second.code, kExitOk) << second.err;
  EXPECT_EQ(fs::read_symlink(out), "lists.sets/000002");
  EXPECT_NE(second.out.find("/MiniCorrect.txt: written\n"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("/MiniCorrect.txt.gz: written\n"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("/Num3Correct.txt: unchanged\n"), std::string::npos) << second.out;
  // The unchanged lists are the very files of the set before.
  EXPECT_EQ(fs::hard_link_count(num3), num3Links + 1);
  const std::string mini = ReadBytes(out / "MiniCorrect.txt");
  EXPECT_EQ(mini.substr(0, 16), "#2025\x94N9\x8c\x8e" "30\x93\xfa\r\n");
  EXPECT_NE(mini.find("\r\n2.5.9.17.31,1\r\n"), std::string::npos);
  EXPECT_EQ(Lists({"check", out.string(), "--draws", draws.string()}).code, kExitOk);

  ASSERT_EQ(Add(draws, {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus", "7"}).code, kExitOk);
  ASSERT_EQ(Build(out, draws).code, kExitOk);
  EXPECT_EQ(fs::read_symlink(out), "lists.sets/000003");
  EXPECT_EQ(Names(root.path() / "lists.sets"), (std::vector<std::string>{"000002", "000003"}));
  EXPECT_EQ(Names(root.path()), (std::vector<std::string>{"draws", "lists", "lists.sets", "prizes"}));
}

TEST(Publish, RefusesToGoBackUnlessForced) {
  TempDir root;
  const fs::path draws = root.path() / "draws", out = root.path() / "lists";
  CopyHistories(draws);
  ASSERT_EQ(Add(draws, {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus", "7"}).code, kExitOk);
  ASSERT_EQ(Build(out, draws).code, kExitOk);
  const auto served = ServedFiles(out);

  const RunResult back = Build(out, NUMIRA_DRAWS_DIR);
  EXPECT_EQ(back.code, kExitRejected);
  EXPECT_EQ(back.err, out.string() + ": the histories end before the lists served there: Loto 6 up to 2025-09-25 "
                                     "(Lot6Correct.txt serves 2025-09-29); nothing published (--force publishes "
                                     "them all the same)\n");
  EXPECT_EQ(ServedFiles(out), served);
  EXPECT_EQ(fs::read_symlink(out), "lists.sets/000001");

  const RunResult forced = Build(out, NUMIRA_DRAWS_DIR, true);
  ASSERT_EQ(forced.code, kExitOk) << forced.err;
  EXPECT_EQ(ReadBytes(out / "Lot6Correct.txt"), ReadBytes(testing::RealList("Lot6Correct.txt")));
  EXPECT_EQ(Lists({"add", "--force", "loto6"}).code, kExitRejected);
}

TEST(Publish, APlainFolderFromBeforeBecomesTheSetBefore) {
  TempDir root;
  const fs::path draws = root.path() / "draws", out = root.path() / "lists", empty = root.path() / "empty";
  CopyHistories(draws);
  fs::create_directories(out);
  for (const ListFileRow& r : kListFiles) fs::copy_file(testing::RealList(r.fileName), out / r.fileName);
  WriteBytes(out / "notes.txt", "kept");
  ASSERT_EQ(Add(draws, {"numbers3", "7055", "2026-08-24", "084"}).code, kExitOk);
  const RunResult run = Build(out, draws);
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(fs::read_symlink(out), "lists.sets/000002");
  EXPECT_NE(run.out.find("(the set before, lists.sets/000001, kept)"), std::string::npos) << run.out;
  EXPECT_EQ(ReadBytes(root.path() / "lists.sets/000001/notes.txt"), "kept");
  EXPECT_EQ(Lists({"check", out.string(), "--draws", draws.string()}).code, kExitOk);

  // A folder of links made by hand stays: each changed list is written through to its
  // target, in the target's folder.
  const fs::path linked = root.path() / "linked", www = root.path() / "www";
  fs::create_directories(linked);
  fs::create_directories(www);
  for (const ListFileRow& r : kListFiles) {
    fs::copy_file(testing::RealList(r.fileName), www / r.fileName);
    fs::create_symlink(fs::path("../www") / r.fileName, linked / r.fileName);
  }
  const RunResult through = Build(linked, draws);
  ASSERT_EQ(through.code, kExitOk) << through.err;
  EXPECT_FALSE(fs::is_symlink(linked));
  for (const ListFileRow& r : kListFiles) EXPECT_TRUE(fs::is_symlink(linked / r.fileName)) << r.fileName;
  EXPECT_EQ(ReadBytes(www / "Num3Correct.txt"), ReadBytes(out / "Num3Correct.txt"));
  EXPECT_NE(ReadBytes(www / "Num3Correct.txt"), ReadBytes(testing::RealList("Num3Correct.txt")));
  EXPECT_EQ(ReadBytes(www / "Lot6Correct.txt"), ReadBytes(testing::RealList("Lot6Correct.txt")));
  EXPECT_EQ(Names(www).size(), kListFiles.size());
  EXPECT_EQ(Lists({"check", linked.string(), "--draws", draws.string()}).code, kExitOk);
  const RunResult linkedAgain = Build(linked, draws);
  EXPECT_NE(linkedAgain.out.find(linked.string() + ": unchanged"), std::string::npos) << linkedAgain.out;

  // An empty folder is simply replaced.
  fs::create_directories(empty);
  ASSERT_EQ(Build(empty, draws).code, kExitOk);
  EXPECT_EQ(fs::read_symlink(empty), "empty.sets/000001");
  EXPECT_EQ(Names(root.path() / "empty.sets"), (std::vector<std::string>{"000001"}));
}

TEST(Publish, AnyFilesMakeASetSubfoldersIncluded) {
  TempDir root;
  const fs::path out = root.path() / "site";
  FileSet files{{"a.txt", "one"}, {"draws/b.csv", "two"}, {"draws/deeper/c.csv", "three"}};
  PublishOutcome first = SetPublisher(out.string()).Publish(files);
  EXPECT_TRUE(first.changed);
  EXPECT_EQ(first.written, (std::vector<std::string>{"a.txt", "draws/b.csv", "draws/deeper/c.csv"}));
  EXPECT_EQ(ReadBytes(out / "draws/deeper/c.csv"), "three");
  EXPECT_EQ(fs::status(out / "draws").permissions() & fs::perms::others_read, fs::perms::others_read);
  EXPECT_FALSE(SetPublisher(out.string()).Publish(files).changed);

  files["draws/b.csv"] = "two, changed";
  const PublishOutcome second = SetPublisher(out.string()).Publish(files);
  EXPECT_EQ(second.written, (std::vector<std::string>{"draws/b.csv"}));
  EXPECT_EQ(second.set, "site.sets/000002");
  EXPECT_EQ(second.previous, "site.sets/000001");
  EXPECT_EQ(fs::hard_link_count(out / "draws/deeper/c.csv"), 2u);  // taken over from the set before

  files.erase("a.txt");  // a file fewer is a change too
  EXPECT_TRUE(SetPublisher(out.string()).Publish(files).changed);
  EXPECT_FALSE(fs::exists(out / "a.txt"));

  for (const char* bad : {"../x", ".hidden", "draws/.x", "a//b", "/etc/x", "draws/", ""}) {
    SCOPED_TRACE(bad);
    FileSet wrong{{"a.txt", "one"}, {bad, "x"}};
    EXPECT_THROW(SetPublisher(out.string()).Publish(wrong), PublishError);
  }
  EXPECT_EQ(fs::read_symlink(out), "site.sets/000003");
  EXPECT_EQ(Names(root.path() / "site.sets"), (std::vector<std::string>{"000002", "000003"}));
}

// What --out or check DIR may be besides a folder.
struct OutCase {
  const char* name;
  std::function<void(const fs::path& root)> make;  // makes root/served
  std::string error;                               // part of the one error line; empty: published
  const char* realFolder;                          // the folder that becomes the link
};

std::vector<OutCase> OutCases() {
  return {
      {"link_to_a_folder", [](const fs::path& r) { fs::create_directory(r / "real"); fs::create_directory_symlink("real", r / "served"); }, "", "real"},
      {"link_to_a_link_to_nothing_yet",
       [](const fs::path& r) { fs::create_directory(r / "site"); fs::create_directory_symlink("site/lists", r / "served"); fs::create_directory(r / "site/lists"); },
       "", "site/lists"},
      {"dangling_link", [](const fs::path& r) { fs::create_directory_symlink("gone", r / "served"); },
       "served: a link to gone, which does not exist (a dangling link)", ""},
      {"set_removed_by_hand",
       [](const fs::path& r) { fs::create_directory(r / "served.sets"); fs::create_directory_symlink("served.sets/000007", r / "served"); },
       "", "served"},
      {"a_file", [](const fs::path& r) { WriteBytes(r / "served", "x"); }, "served: not a folder", ""},
  };
}

class OutTable : public ::testing::TestWithParam<OutCase> {};
void PrintTo(const OutCase& c, std::ostream* os) { *os << c.name; }

TEST_P(OutTable, IsFollowedOrRefusedInClearWords) {
  const OutCase& c = GetParam();
  TempDir root;
  c.make(root.path());
  const fs::path served = root.path() / "served";
  const RunResult run = Build(served, NUMIRA_DRAWS_DIR);
  const RunResult check = Lists({"check", served.string()});
  if (!c.error.empty()) {
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_EQ(check.code, kExitRejected);
    EXPECT_NE(check.err.find(c.error), std::string::npos) << check.err;
    return;
  }
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(check.code, kExitOk) << check.err;
  const fs::path real = root.path() / c.realFolder;
  EXPECT_TRUE(fs::is_symlink(real));
  EXPECT_EQ(fs::read_symlink(real).parent_path(), real.filename().string() + ".sets");
  EXPECT_EQ(ReadBytes(served / "Num4Correct.txt"), ReadBytes(testing::RealList("Num4Correct.txt")));
}

INSTANTIATE_TEST_SUITE_P(Outs, OutTable, ::testing::ValuesIn(OutCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A build killed (SIGKILL from strace) at its n-th rename, for every n until one that
// completes: what is served is the whole old set or the whole new one, check passes, and
// the next build publishes the new set and leaves nothing behind.
struct KillCase {
  const char* name;
  bool plainFolderBefore;  // the old set as a plain folder, as builds before links left it
};

class KillTable : public ::testing::TestWithParam<KillCase> {};
void PrintTo(const KillCase& c, std::ostream* os) { *os << c.name; }

TEST_P(KillTable, ServesTheOldOrTheNewSetWheneverBuildDies) {
  if (std::system("strace -qq -e trace=none true >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace cannot trace here";
  TempDir root;
  const fs::path oldDraws = root.path() / "old" / "draws", newDraws = root.path() / "new" / "draws";
  CopyHistories(oldDraws);
  CopyHistories(newDraws);
  ASSERT_EQ(Add(newDraws, {"numbers4", "7055", "2026-08-24", "0002"}).code, kExitOk);
  ASSERT_EQ(Add(newDraws, {"loto6", "2038", "2025-09-29", "43 1 8 19 27 33", "--bonus", "2"}).code, kExitOk);
  ASSERT_EQ(Build(root.path() / "refOld", oldDraws).code, kExitOk);
  ASSERT_EQ(Build(root.path() / "refNew", newDraws).code, kExitOk);
  const auto oldSet = ServedFiles(root.path() / "refOld"), newSet = ServedFiles(root.path() / "refNew");
  ASSERT_EQ(oldSet.size(), 34u);  // eight lists, six draw files, three prize files, and a .gz of each
  ASSERT_NE(oldSet, newSet);

  int renames = 0;
  for (int n = 1; n <= 34; ++n) {
    SCOPED_TRACE("killed at rename " + std::to_string(n));
    const fs::path run = root.path() / ("run" + std::to_string(n)), out = run / "lists";
    fs::create_directories(run);
    if (GetParam().plainFolderBefore) {
      fs::create_directory(out);
      for (const auto& [name, bytes] : oldSet) {
        fs::create_directories((out / name).parent_path());
        WriteBytes(out / name, bytes);
      }
    } else {
      ASSERT_EQ(Build(out, oldDraws).code, kExitOk);
    }
    // LeakSanitizer's check at exit cannot run in a traced process (an instrumented build).
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -qq -o /dev/null -e trace=renameat2 -e inject=renameat2:signal=SIGKILL:when=" +
                                std::to_string(n) + " '" NUMIRA_LISTS_BIN "' build --out '" + out.string() +
                                "' --draws '" + newDraws.string() + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    const bool completed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto served = ServedFiles(out);
    EXPECT_TRUE(served == oldSet || served == newSet);
    EXPECT_EQ(Lists({"check", out.string(), "--draws", (served == newSet ? newDraws : oldDraws).string()}).code, kExitOk);
    if (completed) {
      EXPECT_EQ(served, newSet);
      break;
    }
    ++renames;
    const RunResult again = Build(out, newDraws);
    ASSERT_EQ(again.code, kExitOk) << again.err;
    EXPECT_EQ(ServedFiles(out), newSet);
    // Nothing left of the killed run: the link, its sets (the new and at most the one before).
    EXPECT_EQ(Names(run), (std::vector<std::string>{"lists", "lists.sets"}));
    const auto sets = Names(run / "lists.sets");
    EXPECT_LE(sets.size(), 2u);
    for (const std::string& s : sets) EXPECT_EQ(s.find_first_not_of("0123456789"), std::string::npos) << s;
  }
  // The set's rename and the link's; and the old folder's for a plain folder.
  EXPECT_EQ(renames, GetParam().plainFolderBefore ? 3 : 2);
}

INSTANTIATE_TEST_SUITE_P(Kills, KillTable, ::testing::Values(KillCase{"link_before", false}, KillCase{"plain_folder_before", true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct UndoCase {
  const char* name;
  std::vector<std::string> args;  // after "undo"
  std::string removed;            // the last line removed; empty: refused
  std::string error;
};

std::vector<UndoCase> UndoCases() {
  return {
      {"numbers3_last", {"numbers3", "7054"}, "7054,2026-08-21,286\n", ""},
      {"loto6_last", {"loto6", "2037"}, "2037,2025-09-25,7.12.20.23.27.29\n", ""},
      {"not_the_last", {"numbers3", "7053"}, "", "numbers3.csv:7055: draw number \"7053\": only the last Numbers 3 draw can be removed, and that is 7054"},
      {"zero_padded", {"loto6", "02037"}, "", "only the last Loto 6 draw can be removed, and that is 2037"},
      {"no_draw_number", {"miniloto"}, "", "undo needs GAME DRAW_NO"},
      {"loto7_last", {"loto7", "691"}, "691,2026-08-21,8.10.20.22.23.27.37,2.9\n", ""},
      {"bingo5_last", {"bingo5", "484"}, "484,2026-08-19,1.9.13.17.23.28.34.40\n", ""},
      {"unknown_game", {"loto8", "1"}, "", "unknown game \"loto8\" (numbers3, numbers4, miniloto, loto6, loto7, bingo5)"},
      {"unknown_game_shown_safely", {"loto\x1B[2J\xE3\x83\xAD", "1"}, "", "unknown game \"loto\\x1B[2J\xE3\x83\xAD\" ("},
  };
}

class UndoTable : public ::testing::TestWithParam<UndoCase> {};
void PrintTo(const UndoCase& c, std::ostream* os) { *os << c.name; }

TEST_P(UndoTable, RemovesOnlyTheLastResultNamedByItsNumber) {
  const UndoCase& c = GetParam();
  HistoryFolder draws;
  const fs::path csv = draws.path() / (c.args[0] + ".csv");
  const std::string before = fs::exists(csv) ? ReadBytes(csv) : "";
  std::vector<std::string> args{"undo"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  args.insert(args.end(), {"--draws", draws.path().string()});
  const RunResult run = Lists(args);
  if (c.removed.empty()) {
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    if (fs::exists(csv)) {
      EXPECT_EQ(ReadBytes(csv), before);
    }
  } else {
    ASSERT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(ReadBytes(csv) + c.removed, before);
  }
  EXPECT_EQ(Names(draws.path()), kHistoryNames);
}

INSTANTIATE_TEST_SUITE_P(Undos, UndoTable, ::testing::ValuesIn(UndoCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// "YYYY-MM-DD" of the day in Japan (UTC+9) a number of days from now.
std::string JapanDay(int days) {
  const std::time_t t = std::time(nullptr) + 9 * 3600 + days * 86400;
  std::tm tm{};
  ::gmtime_r(&t, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%F", &tm);
  return buf;
}

TEST(Add, TodayInJapanIsTheLatestDateWhateverTheMachinesZone) {
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  for (const char* tz : {"Etc/GMT+12", "Pacific/Kiritimati", "UTC"}) {
    SCOPED_TRACE(tz);
    ::setenv("TZ", tz, 1);
    ::tzset();
    HistoryFolder draws;
    const RunResult tomorrow = Add(draws.path(), {"numbers3", "7055", JapanDay(1), "084"});
    EXPECT_EQ(tomorrow.code, kExitRejected);
    EXPECT_NE(tomorrow.err.find("is later than today in Japan (" + JapanDay(0) + ")"), std::string::npos) << tomorrow.err;
    EXPECT_EQ(Add(draws.path(), {"numbers3", "7055", JapanDay(0), "084"}).code, kExitOk);
  }
  if (zone) ::setenv("TZ", saved.c_str(), 1);
  else ::unsetenv("TZ");
  ::tzset();
}

TEST(Add, AHistoryBehindALinkIsWrittenThroughToItsTarget) {
  TempDir root;
  const fs::path store = root.path() / "store", draws = root.path() / "draws";
  CopyHistories(store);
  fs::create_directory(draws);
  for (const std::string& csv : kHistoryNames) fs::create_symlink(fs::path("../store") / csv, draws / csv);
  const std::string before = ReadBytes(store / "numbers3.csv");
  // What killed writers left beside the target: an earlier publisher's temporary file and a
  // stage of a process that is gone.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  WriteBytes(store / ".numbers3.csv.Ab12Cd", "x");
  WriteBytes(store / (".numbers3.csv." + std::to_string(child) + ".part"), "x");
  ASSERT_EQ(Add(draws, {"numbers3", "7055", "2026-08-24", "084"}).code, kExitOk);
  EXPECT_TRUE(fs::is_symlink(draws / "numbers3.csv"));
  EXPECT_EQ(ReadBytes(store / "numbers3.csv"), before + "7055,2026-08-24,084\n");
  ASSERT_EQ(Lists({"undo", "numbers3", "7055", "--draws", draws.string()}).code, kExitOk);
  EXPECT_TRUE(fs::is_symlink(draws / "numbers3.csv"));
  EXPECT_EQ(ReadBytes(store / "numbers3.csv"), before);
  EXPECT_EQ(Names(store), kHistoryNames);
  EXPECT_EQ(Names(draws), kHistoryNames);

  fs::remove(store / "loto6.csv");
  const RunResult dangling = Add(draws, {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus", "7"});
  EXPECT_EQ(dangling.code, kExitRejected);
  EXPECT_NE(dangling.err.find("loto6.csv: a link to ../store/loto6.csv, which does not exist (a dangling link)"), std::string::npos) << dangling.err;
}

}  // namespace
}  // namespace numira
