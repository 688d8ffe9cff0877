// The file store: stages of files, folders and links committed or abandoned, the sweep
// of every leftover form, and regular files only.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <functional>
#include <string>
#include <vector>

#include "FileStore.h"
#include "TestData.h"

namespace numira {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

mode_t Umask() {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

// A process id that names no process: a child that has been waited for.
std::string GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return std::to_string(child);
}

// ---- Stage, commit, abandon ------------------------------------------------------------------

struct StageCase {
  const char* name;
  const char* before;  // the target's bytes before; nullptr: no target
  mode_t beforeMode;
  NewFileMode mode;
  bool plantLink;      // a symbolic link lies where the stage goes
  bool commit;
  int writeError;      // what Write answers
  int commitError;     // what Commit answers (when it is called)
  const char* after;   // the target's bytes afterwards; nullptr: none
  mode_t afterMode;    // 0: as the umask leaves a new file
};

const StageCase kStageCases[] = {
    {"committed_over_a_file", "old\n", 0600, NewFileMode::Published, false, true, 0, 0, "new\n", 0600},
    {"committed_as_a_new_published_file", nullptr, 0, NewFileMode::Published, false, true, 0, 0, "new\n", 0644},
    {"committed_as_a_new_file_of_the_user", nullptr, 0, NewFileMode::Umask, false, true, 0, 0, "new\n", 0},
    {"abandoned_leaves_the_file", "old\n", 0640, NewFileMode::Published, false, false, 0, 0, "old\n", 0640},
    {"abandoned_leaves_no_file", nullptr, 0, NewFileMode::Umask, false, false, 0, 0, nullptr, 0},
    {"a_link_in_the_stages_place_is_not_followed", "old\n", 0644, NewFileMode::Published, true, true, ELOOP, ENOENT,
     "old\n", 0644},
};

class Stage : public ::testing::TestWithParam<StageCase> {};
void PrintTo(const StageCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Stage, CommitsOrLeavesTheFileAsItWasAndNothingBeside) {
  const StageCase& c = GetParam();
  TempDir dir;
  const std::string target = dir / "Num3Correct.txt";
  const std::string victim = dir / "victim";
  if (c.before) {
    WriteBytes(target, c.before);
    ::chmod(target.c_str(), c.beforeMode);
  }
  {
    StagedFile stage(target);
    EXPECT_EQ(stage.Path(), dir / (".Num3Correct.txt." + std::to_string(::getpid()) + ".part"));
    EXPECT_EQ(stage.Path(), StagePathOf(target));
    if (c.plantLink) {
      WriteBytes(victim, "victim\n");
      fs::create_symlink(victim, stage.Path());
    }
    EXPECT_EQ(stage.Write("new\n", c.mode), c.writeError);
    if (c.plantLink) ::unlink(stage.Path().c_str());
    if (c.commit) {
      EXPECT_EQ(stage.Commit(), c.commitError);
    }
  }
  if (c.after) {
    EXPECT_EQ(ReadBytes(target), c.after);
    EXPECT_EQ(ModeOf(target), c.afterMode ? c.afterMode : (0666 & ~Umask()));
  } else {
    EXPECT_FALSE(fs::exists(target));
  }
  std::vector<std::string> expected;
  if (c.after) expected.push_back("Num3Correct.txt");
  if (c.plantLink) {
    expected.push_back("victim");
    EXPECT_EQ(ReadBytes(victim), "victim\n");
  }
  EXPECT_EQ(dir.Names(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Stage, ::testing::ValuesIn(kStageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Stage, ADownloaderWritesIntoThePathAndTheCommitKeepsItsTimes) {
  TempDir dir;
  const std::string target = dir / "draws.csv";
  WriteBytes(target, "old\n");
  StagedFile stage(target);
  WriteBytes(stage.Path(), "fetched\n");
  const struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, stage.Path().c_str(), times, 0), 0);
  ASSERT_EQ(stage.Commit(StagedFile::Sync::Later), 0);
  SyncFolder(stage.Folder());
  EXPECT_EQ(ReadBytes(target), "fetched\n");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"draws.csv"});
}

TEST(Stage, NewFilesAreWrittenOnceAndNeverOverAnother) {
  TempDir dir;
  EXPECT_EQ(WriteNewFile(dir / "a.txt", "a\n", 0644), 0);
  EXPECT_EQ(ModeOf(dir / "a.txt"), 0644u);
  EXPECT_EQ(WriteNewFile(dir / "a.txt", "b\n", 0644), EEXIST);
  EXPECT_EQ(ReadBytes(dir / "a.txt"), "a\n");
  EXPECT_EQ(RenameFile(dir / "a.txt", dir / "b.txt"), 0);
  EXPECT_EQ(RenameFile(dir / "a.txt", dir / "b.txt"), ENOENT);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"b.txt"});
}

// ---- Folders and links ----------------------------------------------------------------------

struct FolderCase {
  const char* name;
  mode_t umask;
  bool ownStageBefore;  // a stage of this process's pid is already there (a pid used again)
  bool targetBefore;    // a folder with a file already lies in the target's place
  bool commit;
  int commitError;
  std::vector<std::string> after;  // the names in the folder afterwards
};

const FolderCase kFolderCases[] = {
    {"committed", 022, false, false, true, 0, {"000002"}},
    {"committed_readable_by_all_whatever_the_umask", 077, false, false, true, 0, {"000002"}},
    {"an_own_stage_from_before_is_emptied", 022, true, false, true, 0, {"000002"}},
    {"abandoned_leaves_nothing", 022, false, false, false, 0, {}},
    {"never_over_a_folder_of_files", 022, false, true, true, ENOTEMPTY, {"000002"}},
};

class FolderStage : public ::testing::TestWithParam<FolderCase> {};
void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

TEST_P(FolderStage, IsRenamedIntoPlaceWholeOrLeavesNothing) {
  const FolderCase& c = GetParam();
  TempDir dir;
  const std::string target = dir / "000002";
  if (c.targetBefore) {
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    WriteBytes(target + "/kept.txt", "kept");
  }
  const mode_t mask = ::umask(c.umask);
  {
    StagedFolder stage(target);
    EXPECT_EQ(stage.Path(), dir / (".000002." + std::to_string(::getpid()) + ".part"));
    EXPECT_EQ(stage.Target(), target);
    if (c.ownStageBefore) {
      ASSERT_EQ(::mkdir(stage.Path().c_str(), 0700), 0);
      WriteBytes(stage.Path() + "/stale.txt", "stale");
    }
    EXPECT_EQ(stage.Create(0755), 0);
    EXPECT_EQ(ModeOf(stage.Path()), 0755u);
    EXPECT_EQ(fs::is_empty(stage.Path()), true);
    ASSERT_EQ(MakeFolder(stage.Path() + "/draws", 0755), 0);
    EXPECT_EQ(ModeOf(stage.Path() + "/draws"), 0755u);
    EXPECT_EQ(WriteNewFile(stage.Path() + "/draws/loto6.csv", "new", 0644), 0);
    if (c.commit) {
      EXPECT_EQ(stage.Commit(), c.commitError);
    }
  }
  ::umask(mask);
  EXPECT_EQ(dir.Names(), c.after);
  if (c.targetBefore) {
    EXPECT_EQ(ReadBytes(target + "/kept.txt"), "kept");
  } else if (c.commit) {
    EXPECT_EQ(ReadBytes(target + "/draws/loto6.csv"), "new");
    EXPECT_EQ(ModeOf(target), 0755u);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderStage, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FolderStage, MakeFolderRefusesWhatIsNoFolder) {
  TempDir dir;
  WriteBytes(dir / "file", "x");
  EXPECT_EQ(MakeFolder(dir / "file", 0755), ENOTDIR);
  fs::create_directory_symlink(dir.path(), dir / "link");
  EXPECT_EQ(MakeFolder(dir / "link", 0755), ENOTDIR);
  EXPECT_EQ(MakeFolder(dir / "missing/sub", 0755), ENOENT);
}

enum class Before { Nothing, Link, Folder, EmptyFolder };
enum class Step { Commit, Exchange, Abandon };

struct LinkCase {
  const char* name;
  Before before;  // what lies in the link's place
  Step step;
  int error;
  const char* served;  // what a reader of the link's file reads afterwards; nullptr: nothing
  bool displaced;      // what lay there now lies at the stage
};

const LinkCase kLinkCases[] = {
    {"switched_from_the_old_set", Before::Link, Step::Commit, 0, "new", false},
    {"made_where_nothing_was", Before::Nothing, Step::Commit, 0, "new", false},
    {"never_over_a_folder", Before::Folder, Step::Commit, EISDIR, "old", false},
    {"swapped_with_a_folder", Before::Folder, Step::Exchange, 0, "new", true},
    {"swapped_with_an_empty_folder", Before::EmptyFolder, Step::Exchange, 0, "new", true},
    {"no_swap_with_nothing", Before::Nothing, Step::Exchange, ENOENT, nullptr, false},
    {"abandoned_leaves_the_old_link", Before::Link, Step::Abandon, 0, "old", false},
};

class LinkSwitchTable : public ::testing::TestWithParam<LinkCase> {};
void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

TEST_P(LinkSwitchTable, PointsTheLinkAnewInOneStep) {
  const LinkCase& c = GetParam();
  TempDir dir;
  for (const char* set : {"lists.sets/000001", "lists.sets/000002"}) fs::create_directories(dir / set);
  WriteBytes(dir / "lists.sets/000001/Num3Correct.txt", "old");
  WriteBytes(dir / "lists.sets/000002/Num3Correct.txt", "new");
  const std::string link = dir / "lists";
  if (c.before == Before::Link) fs::create_directory_symlink("lists.sets/000001", link);
  if (c.before == Before::Folder || c.before == Before::EmptyFolder) fs::create_directory(link);
  if (c.before == Before::Folder) WriteBytes(link + "/Num3Correct.txt", "old");
  std::string stage;
  {
    LinkSwitch sw(link, "lists.sets/000002");
    stage = sw.Path();
    EXPECT_EQ(stage, dir / (".lists." + std::to_string(::getpid()) + ".part"));
    ASSERT_EQ(sw.Create(), 0);
    EXPECT_EQ(fs::read_symlink(stage), "lists.sets/000002");
    if (c.step == Step::Commit) {
      EXPECT_EQ(sw.Commit(), c.error);
    } else if (c.step == Step::Exchange) {
      EXPECT_EQ(sw.Exchange(), c.error);
    }
  }
  const std::string file = link + "/Num3Correct.txt";
  if (c.served) {
    EXPECT_EQ(ReadBytes(file), c.served);
  } else {
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  }
  if (c.served && std::string(c.served) == "new") {
    EXPECT_EQ(fs::read_symlink(link), "lists.sets/000002");
  }
  // Nothing beside the link but what the swap put there for its owner to move on.
  EXPECT_EQ(fs::exists(fs::symlink_status(stage)), c.displaced);
  if (c.displaced) {
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(stage)));
    EXPECT_EQ(fs::exists(stage + "/Num3Correct.txt"), c.before == Before::Folder);
  }
  EXPECT_EQ(ReadBytes(dir / "lists.sets/000001/Num3Correct.txt"), "old");
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkSwitchTable, ::testing::ValuesIn(kLinkCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Sweep -----------------------------------------------------------------------------------

enum class Kind { File, Folder, Link };

struct SweepCase {
  const char* name;
  std::string (*leftover)(const std::string& gone);  // the name beside Num3Correct.txt
  Kind kind;
  bool locked;  // the sweep holds the folder's lock
  bool removed;
};

const SweepCase kSweepCases[] = {
    {"stage_of_a_gone_process", [](const std::string& g) { return ".Num3Correct.txt." + g + ".part"; }, Kind::File,
     false, true},
    {"older_part_of_a_gone_process", [](const std::string& g) { return "Num3Correct.txt." + g + ".part"; }, Kind::File,
     false, true},
    {"stage_of_a_live_process", [](const std::string&) { return ".Num3Correct.txt." + std::to_string(::getppid()) + ".part"; },
     Kind::File, false, false},
    {"older_part_of_a_live_process", [](const std::string&) { return std::string("Num3Correct.txt.1.part"); }, Kind::File, false,
     false},
    {"own_stage", [](const std::string&) { return ".Num3Correct.txt." + std::to_string(::getpid()) + ".part"; },
     Kind::File, false, false},
    // Under a writer's lock every stage but its own is a leftover, whatever process its pid
    // names here: its writer held the lock, so it is gone.
    {"stage_of_a_pid_alive_here_under_the_lock",
     [](const std::string&) { return ".Num3Correct.txt." + std::to_string(::getppid()) + ".part"; }, Kind::File, true,
     true},
    {"own_stage_under_the_lock", [](const std::string&) { return ".Num3Correct.txt." + std::to_string(::getpid()) + ".part"; },
     Kind::File, true, false},
    {"older_publisher_stage_under_the_lock", [](const std::string&) { return std::string(".Num3Correct.txt.aB3xY9"); },
     Kind::File, true, true},
    {"older_publisher_stage_without_the_lock", [](const std::string&) { return std::string(".Num3Correct.txt.aB3xY9"); },
     Kind::File, false, false},
    {"folder_stage_of_a_gone_process", [](const std::string& g) { return ".Num3Correct.txt." + g + ".part"; },
     Kind::Folder, false, true},
    {"link_stage_of_a_gone_process", [](const std::string& g) { return ".Num3Correct.txt." + g + ".part"; }, Kind::Link,
     false, true},
    {"folder_stage_of_a_live_process",
     [](const std::string&) { return ".Num3Correct.txt." + std::to_string(::getppid()) + ".part"; }, Kind::Folder,
     false, false},
    {"own_folder_stage", [](const std::string&) { return ".Num3Correct.txt." + std::to_string(::getpid()) + ".part"; },
     Kind::Folder, true, false},
    {"a_folder_of_an_older_parts_name", [](const std::string& g) { return "Num3Correct.txt." + g + ".part"; },
     Kind::Folder, true, false},
    {"a_link_of_an_older_parts_name", [](const std::string& g) { return "Num3Correct.txt." + g + ".part"; }, Kind::Link,
     true, false},
    {"a_folder_of_an_older_publisher_stages_name", [](const std::string&) { return std::string(".Num3Correct.txt.aB3xY9"); },
     Kind::Folder, true, false},
    {"another_files_stage", [](const std::string& g) { return ".other.txt." + g + ".part"; }, Kind::File, true, false},
    {"not_a_pid", [](const std::string&) { return std::string("Num3Correct.txt.x1.part"); }, Kind::File, true, false},
    {"a_pid_with_a_leading_zero", [](const std::string& g) { return ".Num3Correct.txt.0" + g + ".part"; }, Kind::File,
     true, false},
    {"another_suffix", [](const std::string& g) { return ".Num3Correct.txt." + g + ".partial"; }, Kind::File, true,
     false},
    {"seven_characters_after_the_name", [](const std::string&) { return std::string(".Num3Correct.txt.aB3xY9z"); },
     Kind::File, true, false},
};

class Sweep : public ::testing::TestWithParam<SweepCase> {};
void PrintTo(const SweepCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Sweep, RemovesWhatOnlyAGoneWriterLeft) {
  const SweepCase& c = GetParam();
  TempDir dir;
  const std::string target = dir / "Num3Correct.txt";
  WriteBytes(target, "list\n");
  const std::string leftover = dir / c.leftover(GonePid());
  if (c.kind == Kind::Folder) {
    // A staged folder with files and a link in it: the link goes, what it names stays.
    ASSERT_EQ(::mkdir(leftover.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((leftover + "/draws").c_str(), 0700), 0);
    WriteBytes(leftover + "/draws/loto6.csv", "x");
    fs::create_symlink(target, leftover + "/Num3Correct.txt");
  } else if (c.kind == Kind::Link) {
    fs::create_symlink(target, leftover);  // a new link that was never renamed
  } else {
    WriteBytes(leftover, std::string(1000, 'x'));
  }
  const std::vector<std::string> targets{target, dir / "Num4Correct.txt", ""};
  int removed = 0;
  if (c.locked) {
    const FolderLock lock(dir.path().string());
    ASSERT_EQ(lock.Error(), 0);
    removed = SweepLeftovers(targets, &lock);
  } else {
    removed = SweepLeftovers(targets);
  }
  EXPECT_EQ(removed, c.removed ? 1 : 0);
  EXPECT_EQ(fs::exists(fs::symlink_status(leftover)), !c.removed);
  EXPECT_EQ(ReadBytes(target), "list\n");
}

INSTANTIATE_TEST_SUITE_P(Leftovers, Sweep, ::testing::ValuesIn(kSweepCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Sweep, ALockOfAnotherFolderSweepsNoOlderPublisherStage) {
  TempDir dir, other;
  WriteBytes(dir / ".loto6.csv.Qw12Er", "x");
  const FolderLock lock(other.path().string());
  const std::vector<std::string> targets{dir / "loto6.csv"};
  EXPECT_EQ(SweepLeftovers(targets, &lock), 0);
  EXPECT_TRUE(fs::exists(dir / ".loto6.csv.Qw12Er"));
  EXPECT_NE(FolderLock(dir / "missing").Error(), 0);
}

// A writer in another pid namespace holding the folder's lock: its stage is named by a pid
// that means nothing here (or another process), yet no sweep takes it while the writer
// lives; once it dies the kernel frees the lock and its stage is a leftover.
TEST(Sweep, AStageIsSweptOnlyWhenNoWriterHoldsTheFoldersLock) {
  if (std::system("unshare --pid --fork --kill-child true >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "this machine gives no pid namespace (unshare --pid --fork fails)";
  TempDir dir;
  const std::string target = dir / "Num3Correct.txt";
  const std::string gone = dir / (".Num3Correct.txt." + GonePid() + ".part");
  WriteBytes(target, "list\n");
  // The writer: pid 1 of its namespace, holding the lock while it writes its stage.
  const char* script = "exec 9<\"$0\" && flock 9 && echo w >\"$0/.Num3Correct.txt.$$.part\" && : >\"$0/ready\" && sleep 60";
  const pid_t writer = ::fork();
  if (writer == 0) {
    ::execlp("unshare", "unshare", "--pid", "--fork", "--kill-child", "sh", "-c", script, dir.path().c_str(), nullptr);
    ::_exit(127);
  }
  for (int i = 0; i < 500 && !fs::exists(dir / "ready"); ++i) ::usleep(10000);
  ASSERT_TRUE(fs::exists(dir / "ready"));
  const std::string own = dir / ".Num3Correct.txt.1.part";
  ASSERT_TRUE(fs::exists(own));
  WriteBytes(gone, "x");  // the writer's other stage, named by a pid no process here has

  const std::vector<std::string> targets{target};
  EXPECT_TRUE(FindLeftovers(targets).empty());
  EXPECT_EQ(SweepLeftovers(targets), 0);
  EXPECT_EQ(FolderLock(dir.path().string(), FolderLock::Wait::No).Error(), EWOULDBLOCK);
  EXPECT_TRUE(fs::exists(own));
  EXPECT_TRUE(fs::exists(gone));

  ::kill(writer, SIGKILL);
  ::waitpid(writer, nullptr, 0);
  std::optional<FolderLock> lock;
  for (int i = 0; i < 500; ++i) {
    lock.emplace(dir.path().string(), FolderLock::Wait::No);
    if (lock->Held()) break;
    ::usleep(10000);
  }
  ASSERT_TRUE(lock->Held());
  EXPECT_EQ(SweepLeftovers(targets, &*lock), 2);
  EXPECT_FALSE(fs::exists(own));
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_EQ(ReadBytes(target), "list\n");
}

TEST(Sweep, FindsWhatItRemovesFolderByFolder) {
  TempDir a, b;
  const std::string gone = GonePid();
  WriteBytes(a / (".x." + gone + ".part"), "x");
  ASSERT_EQ(::mkdir((b / (".y." + gone + ".part")).c_str(), 0755), 0);
  WriteBytes(b / (".y." + std::to_string(::getpid()) + ".part"), "own");
  const std::vector<std::string> targets{a / "x", b / "y"};
  std::vector<std::string> found = FindLeftovers(targets);
  std::sort(found.begin(), found.end());
  std::vector<std::string> expected{a / (".x." + gone + ".part"), b / (".y." + gone + ".part")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
  EXPECT_EQ(SweepLeftovers(targets), 2);
  EXPECT_TRUE(FindLeftovers(targets).empty());
  EXPECT_EQ(a.Names(), std::vector<std::string>{});
  EXPECT_EQ(b.Names(), std::vector<std::string>{".y." + std::to_string(::getpid()) + ".part"});
}

TEST(Sweep, OwnStagesAreRemovedAtOnce) {
  TempDir dir;
  const std::vector<std::string> targets{dir / "a.txt", "", dir / "b.txt"};
  const OwnStages own(targets);
  for (const std::string& t : {dir / "a.txt", dir / "b.txt"}) WriteBytes(StagePathOf(t), "x");
  WriteBytes(dir / "a.txt", "kept");
  own.RemoveAll();
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.txt"});
}

// ---- Regular files only ----------------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::function<std::string(const TempDir&)> make;  // makes the file, returns its path
  std::uint64_t maxBytes;
  std::optional<std::string> bytes;
  int error;
};

const ReadCase kReadCases[] = {
    {"a_regular_file", [](const TempDir& d) { WriteBytes(d / "f", "abc"); return d / "f"; }, 3, "abc", 0},
    {"an_empty_file", [](const TempDir& d) { WriteBytes(d / "f", ""); return d / "f"; }, 0, "", 0},
    {"larger_than_the_bound", [](const TempDir& d) { WriteBytes(d / "f", "abcd"); return d / "f"; }, 3, std::nullopt,
     EFBIG},
    {"a_link_to_a_regular_file",
     [](const TempDir& d) {
       WriteBytes(d / "f", "abc");
       fs::create_symlink(d / "f", d / "l");
       return d / "l";
     },
     kAnySize, "abc", 0},
    {"missing", [](const TempDir& d) { return d / "missing"; }, kAnySize, std::nullopt, ENOENT},
    {"a_folder", [](const TempDir& d) { return d.path().string(); }, kAnySize, std::nullopt, EISDIR},
    {"a_fifo_without_a_writer",
     [](const TempDir& d) {
       ::mkfifo((d / "fifo").c_str(), 0600);
       return d / "fifo";
     },
     kAnySize, std::nullopt, EINVAL},
    {"a_link_to_an_endless_device",
     [](const TempDir& d) {
       fs::create_symlink("/dev/zero", d / "zero");
       return d / "zero";
     },
     kAnySize, std::nullopt, EINVAL},
    // Such files claim a size of 0 and go on: the bound holds while they are read.
    {"a_file_that_claims_no_size", [](const TempDir&) { return std::string("/proc/self/maps"); }, 16, std::nullopt,
     EFBIG},
};

class Read : public ::testing::TestWithParam<ReadCase> {};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Read, TakesRegularFilesWithinTheBoundOnly) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const std::string path = c.make(dir);
  int error = -1;
  EXPECT_EQ(ReadRegularFile(path, c.maxBytes, &error), c.bytes);
  EXPECT_EQ(error, c.error);
  const RegularFile file(path, c.maxBytes);
  // Only the bound of what is read refuses a file that claims no size.
  EXPECT_EQ(file.IsOpen(), c.error == 0 || (c.error == EFBIG && path.starts_with("/proc")));
}

INSTANTIATE_TEST_SUITE_P(Files, Read, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Read, ErrorsInWords) {
  EXPECT_EQ(ReadErrorText(EISDIR, 5), "not a regular file");
  EXPECT_EQ(ReadErrorText(EINVAL, 5), "not a regular file");
  EXPECT_EQ(ReadErrorText(EFBIG, 5), "larger than 5 bytes");
  EXPECT_EQ(ReadErrorText(ENOENT, 5), "No such file or directory");
}

}  // namespace
}  // namespace numira
