// Publishing as one step: the served folder as a link switched between whole numbered
// sets, each with its index, whatever the dates or the clock; what --out may be; builds
// killed at each rename; check against the index; and the changes to a history (undo,
// future dates, histories behind links).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>

#include "HistoryEdit.h"
#include "SetIndex.h"
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
  EXPECT_EQ(Names(root.path() / "lists.sets"), (std::vector<std::string>{".numira-lists", "000002", "000003"}));
  EXPECT_EQ(Names(root.path()), (std::vector<std::string>{"draws", "lists", "lists.sets", "prizes"}));
}

// The index a folder serves, read and compared with the set it names.
SetIndex ServedIndex(const fs::path& out) {
  std::string error;
  const std::optional<SetIndex> index = ParseSetIndex(ReadBytes(out / "index.txt"), &error);
  EXPECT_TRUE(index) << error;
  if (!index) return {};
  const fs::path set = out.parent_path() / fs::read_symlink(out);
  EXPECT_EQ(set.filename().string(), SetNumberText(index->number));
  EXPECT_EQ(CompareSetFolder(*index, set.string()), std::vector<std::string>{});
  return *index;
}

struct timespec ModifiedAt(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mtim;
}

void SetModified(const fs::path& path, std::time_t seconds) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A set's version is its number: histories ending earlier are published as the next set
// like any other (no date decides), --force publishes the same files as a new set, and
// each index names its set and is later than the one it replaces, whatever the clock.
TEST(Publish, EverySetIsTheNextNumberWhateverItsDatesOrTheClock) {
  TempDir root;
  const fs::path draws = root.path() / "draws", out = root.path() / "lists";
  CopyHistories(draws);
  ASSERT_EQ(Add(draws, {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus", "7"}).code, kExitOk);
  ASSERT_EQ(Build(out, draws).code, kExitOk);
  EXPECT_EQ(ServedIndex(out).number, 1u);

  const RunResult back = Build(out, NUMIRA_DRAWS_DIR);
  ASSERT_EQ(back.code, kExitOk) << back.err;
  EXPECT_EQ(fs::read_symlink(out), "lists.sets/000002");
  EXPECT_EQ(ReadBytes(out / "Lot6Correct.txt"), ReadBytes(testing::RealList("Lot6Correct.txt")));
  const SetIndex second = ServedIndex(out);
  EXPECT_EQ(second.number, 2u);
  EXPECT_EQ(second.files.size(), 34u);
  EXPECT_EQ(second.files.front().path, "Bingo5Correct.txt");
  EXPECT_EQ(second.files.back().path, "prizes/miniloto.csv.gz");
  const RunResult same = Build(out, NUMIRA_DRAWS_DIR);
  EXPECT_NE(same.out.find(": unchanged, serves lists.sets/000002\n"), std::string::npos) << same.out;

  // The clock set back: the index served carries a time a day ahead of it. A forced
  // build is the next set, with the same files (the very files) and a later index.
  const std::time_t ahead = std::time(nullptr) + 86400;
  SetModified(out / "index.txt", ahead);
  const RunResult forced = Build(out, NUMIRA_DRAWS_DIR, true);
  ASSERT_EQ(forced.code, kExitOk) << forced.err;
  EXPECT_EQ(forced.out.find(": written"), std::string::npos) << forced.out;
  EXPECT_EQ(fs::read_symlink(out), "lists.sets/000003");
  EXPECT_TRUE(fs::equivalent(out / "Num3Correct.txt", root.path() / "lists.sets/000002/Num3Correct.txt"));
  const SetIndex third = ServedIndex(out);
  EXPECT_EQ(third.number, 3u);
  EXPECT_EQ(third.files, second.files);
  EXPECT_EQ(ModifiedAt(out / "index.txt").tv_sec, ahead + 1);
  EXPECT_EQ(ModifiedAt(out / "index.txt").tv_nsec, 0);

  // Builds within one second: each index a second later than the one before it.
  SetModified(out / "index.txt", std::time(nullptr));
  std::time_t before = ModifiedAt(out / "index.txt").tv_sec;
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(Build(out, NUMIRA_DRAWS_DIR, true).code, kExitOk);
    EXPECT_GT(ModifiedAt(out / "index.txt").tv_sec, before);
    before = ModifiedAt(out / "index.txt").tv_sec;
  }
  EXPECT_EQ(ServedIndex(out).number, 6u);
  EXPECT_EQ(Names(root.path() / "lists.sets"), (std::vector<std::string>{".numira-lists", "000005", "000006"}));
  EXPECT_EQ(Lists({"add", "--force", "loto6"}).code, kExitRejected);
}

TEST(Publish, APlainFolderOfTheSetsOwnFilesBecomesTheSetBefore) {
  TempDir root;
  const fs::path draws = root.path() / "draws", out = root.path() / "lists", empty = root.path() / "empty";
  CopyHistories(draws);
  fs::create_directories(out);
  for (const ListFileRow& r : kListFiles) fs::copy_file(testing::RealList(r.fileName), out / r.fileName);
  ASSERT_EQ(Add(draws, {"numbers3", "7055", "2026-08-24", "084"}).code, kExitOk);
  const RunResult run = Build(out, draws);
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(fs::read_symlink(out), "lists.sets/000002");
  EXPECT_NE(run.out.find("(the set before, lists.sets/000001, kept)"), std::string::npos) << run.out;
  EXPECT_EQ(ReadBytes(root.path() / "lists.sets/000001/Lot6Correct.txt"), ReadBytes(testing::RealList("Lot6Correct.txt")));
  EXPECT_EQ(Lists({"check", out.string(), "--draws", draws.string()}).code, kExitOk);
  EXPECT_EQ(ServedIndex(out).number, 2u);

  // An empty folder is simply replaced.
  fs::create_directories(empty);
  ASSERT_EQ(Build(empty, draws).code, kExitOk);
  EXPECT_EQ(fs::read_symlink(empty), "empty.sets/000001");
  EXPECT_EQ(Names(root.path() / "empty.sets"), (std::vector<std::string>{".numira-lists", "000001"}));
}

// check holds the index against the files it lists, and no date may be after tomorrow.
TEST(Check, HoldsTheIndexAgainstTheFilesAndRefusesDatesAfterTomorrow) {
  TempDir root;
  const fs::path out = root.path() / "lists", set = root.path() / "lists.sets/000001";
  ASSERT_EQ(Build(out, NUMIRA_DRAWS_DIR).code, kExitOk);
  const RunResult sound = Lists({"check", out.string()});
  EXPECT_EQ(sound.code, kExitOk) << sound.err;
  EXPECT_NE(sound.out.find((out / "index.txt").string() + ": set 000001 built "), std::string::npos) << sound.out;
  EXPECT_NE(sound.out.find(", 34 files, each of the size and SHA-256 it lists\n"), std::string::npos) << sound.out;

  const std::string index = ReadBytes(set / "index.txt"), gz = ReadBytes(set / "draws/numbers3.csv.gz");
  const struct {
    const char* name;
    std::function<void()> change;
    std::string problem;  // one line of check's report
  } cases[] = {
      {"an_extra_file", [&] { WriteBytes(set / "extra.txt", "x"); }, (out / "extra.txt").string() + ": not listed in index.txt"},
      {"a_missing_file", [&] { fs::remove(set / "draws/numbers3.csv.gz"); },
       (out / "draws/numbers3.csv.gz").string() + ": listed in index.txt, missing"},
      {"another_sets_number", [&] { std::string other = index; WriteBytes(set / "index.txt", other.replace(other.find("set 000001"), 10, "set 000007")); },
       (out / "index.txt").string() + ":2: set 000007, but the folder is set 000001"},
      {"no_index", [&] { WriteBytes(set / "index.txt", "<html>\n"); },
       (out / "index.txt").string() + ":1: not \"numira-set-index 1\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    const RunResult run = Lists({"check", out.string()});
    EXPECT_EQ(run.code, kExitProblems);
    EXPECT_NE(run.err.find(c.problem + "\n"), std::string::npos) << run.err;
    fs::remove(set / "extra.txt");
    WriteBytes(set / "index.txt", index);
    WriteBytes(set / "draws/numbers3.csv.gz", gz);
  }
  EXPECT_EQ(Lists({"check", out.string()}).code, kExitOk);

  const fs::path draws = root.path() / "draws";
  CopyHistories(draws);
  WriteBytes(draws / "miniloto.csv", ReadBytes(draws / "miniloto.csv") + "1354,2099-01-01,1.2.3.4.5\n");
  const RunResult future = Lists({"check", out.string(), "--draws", draws.string()});
  EXPECT_EQ(future.code, kExitRejected);
  EXPECT_EQ(future.err.substr(0, future.err.find(" after")),
            (draws / "miniloto.csv").string() + ": draw 1354 is dated 2099-01-01,");
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

  for (const char* bad : {"../x", ".hidden", "draws/.x", "a//b", "/etc/x", "draws/", "", "index.txt", "a b.txt"}) {
    SCOPED_TRACE(bad);
    FileSet wrong{{"a.txt", "one"}, {bad, "x"}};
    EXPECT_THROW(SetPublisher(out.string()).Publish(wrong), PublishError);
  }
  EXPECT_EQ(fs::read_symlink(out), "site.sets/000003");
  EXPECT_EQ(Names(root.path() / "site.sets"), (std::vector<std::string>{".numira-lists", "000002", "000003"}));
}

// What --out may be: what build made, nothing yet, an empty folder, or a folder of the
// set's own files; anything else is refused in one line, with nothing moved or deleted.
struct OutCase {
  const char* name;
  std::function<void(const fs::path& root)> make;  // makes root/served
  std::string error;                               // part of the one error line; empty: published
  bool asRoot = false;                             // needs root (to give a link to another user)
};

std::vector<OutCase> OutCases() {
  const auto lists = [](const fs::path& dir) {
    fs::create_directories(dir);
    for (const ListFileRow& r : kListFiles) fs::copy_file(testing::RealList(r.fileName), dir / r.fileName);
  };
  const std::string refused = "; build publishes only into a folder it made, an empty folder or a new path; nothing published";
  return {
      {"a_new_path", [](const fs::path&) {}, ""},
      {"an_empty_folder", [](const fs::path& r) { fs::create_directory(r / "served"); }, ""},
      {"a_folder_of_the_lists", [=](const fs::path& r) { lists(r / "served"); }, ""},
      {"set_removed_by_hand",
       [](const fs::path& r) { fs::create_directory(r / "served.sets"); fs::create_directory_symlink("served.sets/000007", r / "served"); },
       ""},
      {"a_folder_of_user_files",
       [](const fs::path& r) { fs::create_directories(r / "served/photos"); WriteBytes(r / "served/notes.txt", "mine"); WriteBytes(r / "served/photos/a.jpg", "jpg"); },
       "served: a folder holding notes.txt, which is no file of the set" + refused},
      {"the_lists_and_a_link",
       [=](const fs::path& r) { lists(r / "served"); fs::remove(r / "served/Num3Correct.txt"); fs::create_symlink("/etc/passwd", r / "served/Num3Correct.txt"); },
       "served: a folder holding a link, Num3Correct.txt, which is no file of the set" + refused},
      {"link_to_a_folder", [](const fs::path& r) { fs::create_directory(r / "real"); fs::create_directory_symlink("real", r / "served"); },
       "served: a link build did not make (to real)" + refused},
      {"link_ending_in_a_slash",
       [](const fs::path& r) { fs::create_directory(r / "real"); fs::create_directory_symlink("real", r / "hand"); fs::create_directory_symlink("hand/", r / "served"); },
       "served: a link build did not make (to hand/)"},
      {"dangling_link", [](const fs::path& r) { fs::create_directory_symlink("gone", r / "served"); },
       "served: a link build did not make (to gone)"},
      {"a_file", [](const fs::path& r) { WriteBytes(r / "served", "x"); }, "served: not a folder" + refused},
      {"sets_folder_of_other_files",
       [](const fs::path& r) { fs::create_directories(r / "served.sets/000001"); WriteBytes(r / "served.sets/thesis.odt", "mine"); fs::create_directory_symlink("served.sets/000001", r / "served"); },
       "served.sets: a folder of other files (thesis.odt)" + refused},
      {"sets_folder_a_link",
       [](const fs::path& r) { fs::create_directories(r / "elsewhere/000001"); fs::create_directory_symlink("elsewhere", r / "served.sets"); fs::create_directory_symlink("served.sets/000001", r / "served"); },
       "served.sets: not a folder build made (a link or a file)" + refused},
      // A link planted in a shared sticky folder by another user, shaped as build makes
      // them, beside a sets folder of that user's: root's build neither follows nor replaces it.
      {"link_of_another_user_in_a_sticky_folder",
       [](const fs::path& r) {
         fs::permissions(r, fs::perms::all | fs::perms::sticky_bit);
         fs::create_directories(r / "served.sets/000001");
         WriteBytes(r / "served.sets/.numira-lists", "");
         fs::create_directory_symlink("served.sets/000001", r / "served");
         for (const char* name : {"served", "served.sets", "served.sets/.numira-lists", "served.sets/000001"})
           ASSERT_EQ(::lchown((r / name).c_str(), 65534, 65534), 0) << name;
       },
       "served: a link owned by another user (uid 65534)" + refused, true},
      {"sets_folder_of_another_user",
       [](const fs::path& r) {
         fs::create_directories(r / "served.sets");
         ASSERT_EQ(::lchown((r / "served.sets").c_str(), 65534, 65534), 0);
       },
       "served.sets: a folder owned by another user" + refused, true},
  };
}

class OutTable : public ::testing::TestWithParam<OutCase> {};
void PrintTo(const OutCase& c, std::ostream* os) { *os << c.name; }

// Everything under a folder, links as what they hold, files with their bytes and owners.
std::map<std::string, std::string> Tree(const fs::path& dir) {
  std::map<std::string, std::string> tree;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
    struct stat st {};
    ::lstat(it->path().c_str(), &st);
    std::string what = std::to_string(st.st_uid) + " ";
    if (it->is_symlink()) what += "-> " + fs::read_symlink(it->path()).string();
    else if (it->is_regular_file()) what += ReadBytes(it->path());
    tree[it->path().lexically_relative(dir).string()] = what;
  }
  return tree;
}

TEST_P(OutTable, IsPublishedOrRefusedWithNothingMoved) {
  const OutCase& c = GetParam();
  if (c.asRoot && ::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  TempDir root;
  c.make(root.path());
  const fs::path served = root.path() / "served";
  const auto before = Tree(root.path());
  const RunResult run = Build(served, NUMIRA_DRAWS_DIR);
  if (!c.error.empty()) {
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_EQ(run.err.rfind(served.string(), 0), 0u) << run.err;  // names served or served.sets
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(Tree(root.path()), before);
    return;
  }
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(Lists({"check", served.string()}).code, kExitOk);
  EXPECT_TRUE(fs::is_symlink(served));
  EXPECT_EQ(fs::read_symlink(served).parent_path(), "served.sets");
  EXPECT_TRUE(fs::is_regular_file(root.path() / "served.sets/.numira-lists"));
  EXPECT_EQ(ReadBytes(served / "Num4Correct.txt"), ReadBytes(testing::RealList("Num4Correct.txt")));
}

INSTANTIATE_TEST_SUITE_P(Outs, OutTable, ::testing::ValuesIn(OutCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A build killed (SIGKILL from strace) at its n-th rename, for every n until one that
// completes: what is served is the whole old set or the whole new one, check passes, and
// the next build publishes the new set and leaves nothing behind. The index served always
// names the set served and agrees with its files.
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
  auto oldSet = ServedFiles(root.path() / "refOld"), newSet = ServedFiles(root.path() / "refNew");
  ASSERT_EQ(oldSet.size(), 35u);  // eight lists, six draw files, three prize files, a .gz of each, and the index
  const std::string oldIndex = oldSet["index.txt"];
  oldSet.erase("index.txt");  // the sets' files; each index is new, with its number and time
  newSet.erase("index.txt");
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
      WriteBytes(out / "index.txt", oldIndex);
    } else {
      ASSERT_EQ(Build(out, oldDraws).code, kExitOk);
    }
    // LeakSanitizer's check at exit cannot run in a traced process (an instrumented build).
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -qq -o /dev/null -e trace=renameat2 -e inject=renameat2:signal=SIGKILL:when=" +
                                std::to_string(n) + " '" NUMIRA_LISTS_BIN "' build --out '" + out.string() +
                                "' --draws '" + newDraws.string() + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    const bool completed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    auto served = ServedFiles(out);
    std::string error;
    const std::optional<SetIndex> index = ParseSetIndex(served["index.txt"], &error);
    ASSERT_TRUE(index) << error;
    EXPECT_EQ(CompareSetFolder(*index, fs::canonical(out).string()), std::vector<std::string>{});
    served.erase("index.txt");
    EXPECT_TRUE(served == oldSet || served == newSet);
    EXPECT_EQ(Lists({"check", out.string(), "--draws", (served == newSet ? newDraws : oldDraws).string()}).code, kExitOk);
    if (completed) {
      EXPECT_EQ(served, newSet);
      EXPECT_EQ(index->number, 2u);
      break;
    }
    ++renames;
    // Whatever the killed build left is named as the file store names every stage: its
    // sweep finds all of it (a set being staged under its number, a new link, the folder
    // swapped out of the link's place).
    std::vector<std::string> left, targets{out.string()};
    for (const fs::path& folder : {run, run / "lists.sets"})
      for (const std::string& name : Names(folder))
        if (name != "lists" && name != "lists.sets" && name != ".numira-lists" &&
            name.find_first_not_of("0123456789") != std::string::npos)
          left.push_back((folder / name).string());
    for (const char* set : {"000001", "000002", "000003"}) targets.push_back((run / "lists.sets" / set).string());
    std::vector<std::string> found = FindLeftovers(targets);
    std::sort(found.begin(), found.end());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(found, left);
    EXPECT_FALSE(left.empty());
    const RunResult again = Build(out, newDraws);
    ASSERT_EQ(again.code, kExitOk) << again.err;
    auto rebuilt = ServedFiles(out);
    rebuilt.erase("index.txt");
    EXPECT_EQ(rebuilt, newSet);
    ServedIndex(out);
    // Nothing left of the killed run: the link, its sets (the new and at most the one before).
    EXPECT_EQ(Names(run), (std::vector<std::string>{"lists", "lists.sets"}));
    const auto sets = Names(run / "lists.sets");
    EXPECT_LE(sets.size(), 3u);  // the marker and at most two sets
    for (const std::string& s : sets)
      EXPECT_TRUE(s == ".numira-lists" || s.find_first_not_of("0123456789") == std::string::npos) << s;
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
