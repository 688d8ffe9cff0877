// Where the lists live: beside a writable executable, else in the user's folder, which
// receives the shipped lists when its copy is missing or older.
#include <gtest/gtest.h>

#include "ListTable.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct FolderCase {
  const char* name;
  bool executableFolderWritable;
  const char* xdgDataHome;  // "<tmp>/" is replaced by the scratch folder
  const char* userHeader;   // header of the user's Num3Correct.txt before the start; nullptr: none
  const char* expectedFolder;
  bool userCopyKept;
};

// The shipped Num3Correct.txt covers draws up to 2026年8月21日.
const FolderCase kFolderCases[] = {
    {"PortableCopyKeepsItsListsBesideIt", true, "<tmp>/data", nullptr, "lib/numira", false},
    {"MissingCopiesAreMade", false, "<tmp>/data", nullptr, "data/numira", false},
    {"OlderDayIsReplaced", false, "<tmp>/data", "#2026年8月20日", "data/numira", false},
    {"OlderYearIsReplaced", false, "<tmp>/data", "#2025年12月31日", "data/numira", false},
    {"CopyWithoutDateIsReplaced", false, "<tmp>/data", "#(no date)", "data/numira", false},
    {"NewerMonthIsKept", false, "<tmp>/data", "#2026年10月1日", "data/numira", true},
    {"SameDateIsKept", false, "<tmp>/data", "#2026年8月21日", "data/numira", true},
    {"EmptyXdgDataHomeMeansHome", false, "", nullptr, "home/.local/share/numira", false},
    {"RelativeXdgDataHomeIsIgnored", false, "data", nullptr, "home/.local/share/numira", false},
    {"FolderThatCannotBeMadeReadsBesideTheExecutable", false, "<tmp>/blocked", nullptr, "lib/numira", false},
};

class ListFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ListFolder, ChoosesTheFolderAndCopiesTheShippedLists) {
  const FolderCase& c = GetParam();
  TempDir tmp;
  const fs::path exeDir = tmp.path() / "lib/numira";
  fs::create_directories(exeDir);
  for (const ListFileRow& row : kListFiles) fs::copy_file(testing::RealList(row.fileName), exeDir / row.fileName);
  WriteBytes(tmp.path() / "blocked", "a file where the folder would be");

  std::string xdg = c.xdgDataHome;
  if (xdg.rfind("<tmp>/", 0) == 0) xdg = (tmp.path() / xdg.substr(6)).string();
  const fs::path userDir = (xdg.empty() || xdg.front() != '/' ? tmp.path() / "home/.local/share" : fs::path(xdg)) / "numira";
  const std::string userList = c.userHeader ? std::string(c.userHeader) + "\r\n007,3\r\n" : "";
  if (c.userHeader) {
    fs::create_directories(userDir);
    WriteBytes(userDir / "Num3Correct.txt", userList);
  }

  const ListFolderEnv env{c.executableFolderWritable, xdg, (tmp.path() / "home").string()};
  const ListPaths paths = BuildListPaths((exeDir / "numira").string(), env);

  const fs::path folder = tmp.path() / c.expectedFolder;
  for (std::size_t i = 0; i < kListFiles.size(); ++i) EXPECT_EQ(paths[i], (folder / kListFiles[i].fileName).string());
  if (folder == exeDir) {
    EXPECT_FALSE(fs::exists(userDir));
    return;
  }
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(folder)) files += e.is_regular_file();
  EXPECT_EQ(files, kListFiles.size());  // the six lists and no temporary file
  for (const ListFileRow& row : kListFiles) {
    const bool kept = c.userCopyKept && std::string(row.fileName) == "Num3Correct.txt";
    EXPECT_EQ(ReadBytes(folder / row.fileName), kept ? userList : ReadBytes(exeDir / row.fileName)) << row.fileName;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ListFolder, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ListFolder, DrawFilesAreSeededLikeTheLists) {
  TempDir tmp;
  const fs::path exeDir = tmp.path() / "lib/numira";
  fs::create_directories(exeDir / "draws");
  for (const ListFileRow& row : kListFiles) fs::copy_file(testing::RealList(row.fileName), exeDir / row.fileName);
  const char* names[] = {"numbers3.csv", "numbers4.csv", "miniloto.csv", "loto6.csv"};
  for (const char* n : names) fs::copy_file(fs::path(NUMIRA_DRAWS_DIR) / n, exeDir / "draws" / n);
  const fs::path user = tmp.path() / "data/numira/draws";
  fs::create_directories(user);
  // Loto 6: a refresh brought a newer draw (kept); Mini Loto: an older copy (replaced);
  // Numbers 4: no date at all (replaced); Numbers 3: missing (copied).
  const std::string newer = ReadBytes(exeDir / "draws/loto6.csv") + "2038,2025-09-29,1.2.3.4.5.6\n";
  WriteBytes(user / "loto6.csv", newer);
  WriteBytes(user / "miniloto.csv", "draw_no,date,numbers\n1,1999-04-13,1.3.17.20.25\n");
  WriteBytes(user / "numbers4.csv", "garbage");
  const ListFolderEnv env{false, (tmp.path() / "data").string(), (tmp.path() / "home").string()};
  BuildListPaths((exeDir / "numira").string(), env);
  EXPECT_EQ(ReadBytes(user / "loto6.csv"), newer);
  for (const char* n : {"numbers3.csv", "numbers4.csv", "miniloto.csv"})
    EXPECT_EQ(ReadBytes(user / n), ReadBytes(exeDir / "draws" / n)) << n;
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(user)) files += e.is_regular_file();
  EXPECT_EQ(files, 4u);  // no temporary file
}

}  // namespace
}  // namespace numira
