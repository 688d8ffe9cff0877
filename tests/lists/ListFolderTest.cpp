// Where the lists live: beside a copy that is not installed, else in the user's folder,
// which receives the shipped lists when its copy is missing or older and the shipped one
// is a valid list.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <algorithm>
#include <set>

#include "FileStore.h"
#include "ListFolder.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

enum class Num3Won { Shipped, Kept, Missing };  // the user's Num3Correct.txt afterwards

struct FolderCase {
  const char* name;
  bool installed;           // the install marker lies beside the executable
  const char* xdgDataHome;  // "<tmp>/" is replaced by the scratch folder
  const char* userHeader;   // header of the user's Num3Correct.txt before the start; nullptr: none
  const char* shippedNum3;  // the shipped Num3Correct.txt in place of the real one; nullptr: the real one
  const char* expectedFolder;
  bool writable;            // a refresh may store lists there
  Num3Won num3;
  bool killedStart = false;  // a start killed while seeding left its stages in the user's folder
};

// The shipped Num3Correct.txt covers draws up to 2026年8月21日; the broken one is later still.
const char* const kBrokenNewer = "#2026年9月1日\r\n007,8abc\r\n";
const char* const kTwoHeadersNewer = "#2026年9月1日\r\n007,8\r\n#2026年9月1日\r\n";

const FolderCase kFolderCases[] = {
    {"CopyNotInstalledKeepsItsListsBesideIt", false, "<tmp>/data", nullptr, nullptr, "lib/numira", true, Num3Won::Missing},
    {"MissingCopiesAreMade", true, "<tmp>/data", nullptr, nullptr, "data/numira", true, Num3Won::Shipped},
    {"OlderDayIsReplaced", true, "<tmp>/data", "#2026年8月20日", nullptr, "data/numira", true, Num3Won::Shipped},
    {"OlderYearIsReplaced", true, "<tmp>/data", "#2025年12月31日", nullptr, "data/numira", true, Num3Won::Shipped},
    {"CopyWithoutDateIsReplaced", true, "<tmp>/data", "#(no date)", nullptr, "data/numira", true, Num3Won::Shipped},
    {"NewerMonthIsKept", true, "<tmp>/data", "#2026年10月1日", nullptr, "data/numira", true, Num3Won::Kept},
    {"SameDateIsKept", true, "<tmp>/data", "#2026年8月21日", nullptr, "data/numira", true, Num3Won::Kept},
    {"InvalidShippedListNeverReplacesAnOlderCopy", true, "<tmp>/data", "#2026年8月20日", kBrokenNewer, "data/numira",
     true, Num3Won::Kept},
    {"ShippedListWithTwoHeadersNeverReplacesAnOlderCopy", true, "<tmp>/data", "#2026年8月20日", kTwoHeadersNewer,
     "data/numira", true, Num3Won::Kept},
    {"InvalidShippedListIsNotCopied", true, "<tmp>/data", nullptr, kBrokenNewer, "data/numira", true, Num3Won::Missing},
    {"EmptyXdgDataHomeMeansHome", true, "", nullptr, nullptr, "home/.local/share/numira", true, Num3Won::Shipped},
    {"RelativeXdgDataHomeIsIgnored", true, "data", nullptr, nullptr, "home/.local/share/numira", true, Num3Won::Shipped},
    {"FolderThatCannotBeMadeReadsTheShippedLists", true, "<tmp>/blocked", nullptr, nullptr, "lib/numira", false,
     Num3Won::Missing},
    {"WhatAKilledStartLeftIsRemoved", true, "<tmp>/data", "#2026年8月20日", nullptr, "data/numira", true,
     Num3Won::Shipped, true},
};

class ListFolder : public ::testing::TestWithParam<FolderCase> {};
void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ListFolder, ChoosesTheFolderAndSeedsIt) {
  const FolderCase& c = GetParam();
  TempDir tmp;
  const fs::path exeDir = tmp.path() / "lib/numira";
  fs::create_directories(exeDir);
  for (const ListFileRow& row : kListFiles) fs::copy_file(testing::RealList(row.fileName), exeDir / row.fileName);
  if (c.shippedNum3) WriteBytes(exeDir / "Num3Correct.txt", c.shippedNum3);
  if (c.installed) WriteBytes(exeDir / "numira.installed", "");
  WriteBytes(tmp.path() / "blocked", "a file where the folder would be");
  std::set<std::string> shippedBefore;
  for (const auto& e : fs::directory_iterator(exeDir)) shippedBefore.insert(e.path().filename().string() + ReadBytes(e.path()));

  std::string xdg = c.xdgDataHome;
  if (xdg.rfind("<tmp>/", 0) == 0) xdg = (tmp.path() / xdg.substr(6)).string();
  const fs::path userDir = (xdg.empty() || xdg.front() != '/' ? tmp.path() / "home/.local/share" : fs::path(xdg)) / "numira";
  const std::string userList = c.userHeader ? std::string(c.userHeader) + "\r\n007,3\r\n" : "";
  if (c.userHeader) {
    fs::create_directories(userDir);
    WriteBytes(userDir / "Num3Correct.txt", userList);
  }
  if (c.killedStart) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);  // its id now names no process
    const std::string gone = std::to_string(child);
    WriteBytes(userDir / (".Num4Correct.txt." + gone + ".part"), "#2026");
    WriteBytes(userDir / ("Lot6Correct.txt." + gone + ".part"), "#2026");  // as older versions named it
  }

  const std::string exe = (exeDir / "numira").string();
  ASSERT_EQ(IsInstalledCopy(exe), c.installed);
  const ListFolderEnv env{IsInstalledCopy(exe), xdg, (tmp.path() / "home").string(), false};
  const ListFolderChoice chosen = ChooseListFolder(exe, env);
  EXPECT_EQ(chosen.shippedFolder, exeDir.string() + "/");
  EXPECT_EQ(chosen.seed, c.installed);
  EXPECT_FALSE(chosen.userFolderTooLong);
  const ListFolderChoice seeded = SeedListFolder(chosen, ListSeedFiles(chosen));
  EXPECT_EQ(seeded.writable, c.writable);
  const fs::path folder = tmp.path() / c.expectedFolder;
  EXPECT_EQ(seeded.folder, folder.string() + "/");
  const ListPaths paths = ListPathsIn(seeded.folder);
  for (std::size_t i = 0; i < kListFiles.size(); ++i) EXPECT_EQ(paths[i], (folder / kListFiles[i].fileName).string());

  // Nothing is ever written beside the executable (the tests may well run as root).
  std::set<std::string> shippedAfter;
  for (const auto& e : fs::directory_iterator(exeDir)) shippedAfter.insert(e.path().filename().string() + ReadBytes(e.path()));
  EXPECT_EQ(shippedAfter, shippedBefore);
  if (folder == exeDir) {
    EXPECT_FALSE(fs::exists(userDir));
    return;
  }
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(folder)) files += e.is_regular_file();
  EXPECT_EQ(files, kListFiles.size() - (c.num3 == Num3Won::Missing ? 1 : 0));  // and no temporary file
  for (const ListFileRow& row : kListFiles) {
    const fs::path mine = folder / row.fileName;
    if (std::string(row.fileName) != "Num3Correct.txt") {
      EXPECT_EQ(ReadBytes(mine), ReadBytes(exeDir / row.fileName)) << row.fileName;
      continue;
    }
    switch (c.num3) {
      case Num3Won::Shipped: EXPECT_EQ(ReadBytes(mine), ReadBytes(exeDir / row.fileName)); break;
      case Num3Won::Kept: EXPECT_EQ(ReadBytes(mine), userList); break;
      case Num3Won::Missing: EXPECT_FALSE(fs::exists(mine)); break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ListFolder, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// An installed copy in tmp/lib/numira with the real lists beside it; its folder.
fs::path InstalledCopy(const TempDir& tmp) {
  const fs::path exeDir = tmp.path() / "lib/numira";
  fs::create_directories(exeDir);
  for (const ListFileRow& row : kListFiles) fs::copy_file(testing::RealList(row.fileName), exeDir / row.fileName);
  WriteBytes(exeDir / "numira.installed", "");
  return exeDir;
}

// The seeding is a writer of the folder like the refresh: while another writer holds the
// folder's lock it waits, and writes nothing beside it.
TEST(ListFolderSeed, WaitsForTheFoldersWriter) {
  TempDir tmp;
  const fs::path exeDir = InstalledCopy(tmp);
  const fs::path userDir = tmp.path() / "data/numira";
  fs::create_directories(userDir);
  const std::string exe = (exeDir / "numira").string();
  const ListFolderChoice chosen =
      ChooseListFolder(exe, {true, (tmp.path() / "data").string(), (tmp.path() / "home").string(), false});
  ASSERT_TRUE(chosen.seed);
  ASSERT_EQ(chosen.folder, userDir.string() + "/");
  std::future<ListFolderChoice> seeding;
  {
    const FolderLock other(userDir.string());
    ASSERT_TRUE(other.Held());
    seeding = std::async(std::launch::async, [&] { return SeedListFolder(chosen, ListSeedFiles(chosen)); });
    EXPECT_EQ(seeding.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_TRUE(fs::is_empty(userDir));
  }
  const ListFolderChoice seeded = seeding.get();
  EXPECT_TRUE(seeded.writable);
  for (const ListFileRow& row : kListFiles)
    EXPECT_EQ(ReadBytes(userDir / row.fileName), ReadBytes(exeDir / row.fileName)) << row.fileName;
}

// A folder that holds a server's set follows that server: the shipped lists are not put
// in. Root with another user's home makes nothing there: it reads the user's folder when
// there is one, else the shipped lists, and may store nothing.
TEST(ListFolderSeed, ASetsFolderAndRootInAnotherUsersHomeAreNotSeeded) {
  TempDir tmp;
  const fs::path exeDir = InstalledCopy(tmp);
  const std::string exe = (exeDir / "numira").string();
  const fs::path userDir = tmp.path() / "data/numira";
  const std::string data = (tmp.path() / "data").string(), home = (tmp.path() / "home").string();
  const auto names = [&] {
    std::vector<std::string> n;
    for (const auto& e : fs::directory_iterator(userDir)) n.push_back(e.path().filename().string());
    std::sort(n.begin(), n.end());
    return n;
  };

  // Root, no folder of the user's yet: the shipped lists, nothing made.
  ListFolderChoice chosen = ChooseListFolder(exe, ListFolderEnv{true, data, home, true});
  EXPECT_FALSE(chosen.seed);
  EXPECT_TRUE(chosen.rootInOthersHome);
  ListFolderChoice seeded = SeedListFolder(chosen, ListSeedFiles(chosen));
  EXPECT_EQ(seeded.folder, exeDir.string() + "/");
  EXPECT_FALSE(seeded.writable);
  EXPECT_FALSE(fs::exists(tmp.path() / "data"));
  // Root, the user's folder there: read as it is, nothing added.
  fs::create_directories(userDir);
  WriteBytes(userDir / "Lot6Correct.txt", "#2015年11月20日\r\n1.2.3.4.5.6,1\r\n");
  seeded = SeedListFolder(chosen, ListSeedFiles(chosen));
  EXPECT_EQ(seeded.folder, userDir.string() + "/");
  EXPECT_FALSE(seeded.writable);
  EXPECT_EQ(names(), std::vector<std::string>{"Lot6Correct.txt"});
  // The user, the folder holding a set: nothing of the shipped lists comes in.
  WriteBytes(userDir / "index.txt", "numira-set-index 1\nset 000001\nbuilt 2026-12-07T00:00:00Z\n");
  chosen = ChooseListFolder(exe, ListFolderEnv{true, data, home, false});
  ASSERT_TRUE(chosen.seed);
  seeded = SeedListFolder(chosen, ListSeedFiles(chosen));
  EXPECT_TRUE(seeded.writable);
  EXPECT_EQ(names(), (std::vector<std::string>{"Lot6Correct.txt", "index.txt"}));
  // Without the index it is seeded as ever.
  fs::remove(userDir / "index.txt");
  SeedListFolder(chosen, ListSeedFiles(chosen));
  EXPECT_EQ(names().size(), kListFiles.size());
  // Whose folder it is: the folder itself or its nearest parent that exists. Root's own
  // folder (an XDG_DATA_HOME of root's beside a user's HOME) is root's to write.
  if (::geteuid() == 0) {
    fs::create_directories(home);
    ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
    EXPECT_TRUE(IsRootInOthersFolder(home + "/.local/share/numira/"));
    EXPECT_TRUE(IsRootInOthersFolder(home));
    EXPECT_FALSE(IsRootInOthersFolder((tmp.path() / "root-data/numira/").string()));
    EXPECT_FALSE(IsRootInOthersFolder(data));
  }
  EXPECT_FALSE(IsRootInOthersFolder(""));
  EXPECT_FALSE(IsRootInOthersFolder("relative/numira/"));
}

TEST(ListFolder, OnlyTheInstallMarkerMakesAnInstalledCopy) {
  TempDir tmp;
  const std::string exe = tmp / "numira";
  EXPECT_FALSE(IsInstalledCopy(exe));  // a folder its user may write to is not an installed one
  fs::create_directory(tmp.path() / "numira.installed");
  EXPECT_FALSE(IsInstalledCopy(exe));  // a folder of that name is not the marker
  fs::remove(tmp.path() / "numira.installed");
  WriteBytes(tmp.path() / "numira.installed", "");
  EXPECT_TRUE(IsInstalledCopy(exe));
  EXPECT_FALSE(IsInstalledCopy(tmp / "sub/numira"));
}

TEST(ListFolder, AUserFolderTooLongForAListPathLeavesTheShippedLists) {
  // The longest list name has 17 bytes: a user folder of 494 bytes with its "/" leaves a
  // list path of 511 bytes, one of 495 bytes does not fit.
  for (std::size_t base : {std::size_t{486}, std::size_t{487}}) {
    // XDG_DATA_HOME of `base` bytes, then "/numira/": 8 more.
    const std::string xdg = "/" + std::string(base - 1, 'x');
    const ListFolderEnv env{true, xdg, "/home/u", false};
    const ListFolderChoice c = ChooseListFolder("/usr/lib/numira/numira", env);
    const bool fits = base == 486;
    SCOPED_TRACE(base);
    EXPECT_EQ(c.userFolderTooLong, !fits);
    EXPECT_EQ(c.seed, fits);
    EXPECT_EQ(c.writable, fits);
    EXPECT_EQ(c.folder, fits ? xdg + "/numira/" : "/usr/lib/numira/");
    if (fits) {
      EXPECT_EQ(ListPathsIn(c.folder)[0].size(), 511u);
    }
  }
  // Without a home and without an absolute XDG_DATA_HOME the shipped lists are read too,
  // and stored nowhere.
  const ListFolderChoice homeless = ChooseListFolder("/usr/lib/numira/numira", ListFolderEnv{true, "rel", "", false});
  EXPECT_EQ(homeless.folder, "/usr/lib/numira/");
  EXPECT_FALSE(homeless.writable);
  EXPECT_FALSE(homeless.userFolderTooLong);
}

}  // namespace
}  // namespace numira

namespace numira {
namespace {

// A package from before the newer games ships the six lists only: they are seeded as
// ever, nothing else appears, and a user's copy of a newer list (a refresh brought it)
// stays as it is.
TEST(ListFolderSeeding, ASixListPackageSeedsTheSixAndLeavesTheRestAlone) {
  testing::TempDir tmp;
  const fs::path exeDir = tmp.path() / "lib/numira";
  fs::create_directories(exeDir);
  for (std::size_t row = 0; row < kFirstLists; ++row)
    fs::copy_file(testing::RealList(kListFiles[row].fileName), exeDir / kListFiles[row].fileName);
  testing::WriteBytes(exeDir / "numira.installed", "");
  const fs::path user = tmp.path() / "data/numira";
  fs::create_directories(user);
  const std::string refreshed = testing::ReadBytes(testing::RealList("Lot7Correct.txt"));
  testing::WriteBytes(user / "Lot7Correct.txt", refreshed);
  const ListFolderChoice chosen =
      ChooseListFolder((exeDir / "numira").string(), ListFolderEnv{true, (tmp.path() / "data").string(), "/home/u", false});
  const ListFolderChoice seeded = SeedListFolder(chosen, ListSeedFiles(chosen));
  EXPECT_TRUE(seeded.writable);
  for (std::size_t row = 0; row < kFirstLists; ++row)
    EXPECT_EQ(testing::ReadBytes(user / kListFiles[row].fileName), testing::ReadBytes(exeDir / kListFiles[row].fileName));
  EXPECT_EQ(testing::ReadBytes(user / "Lot7Correct.txt"), refreshed);
  EXPECT_FALSE(fs::exists(user / "Bingo5Correct.txt"));
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(user)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, kFirstLists + 1);  // and no temporary file
}

}  // namespace
}  // namespace numira
