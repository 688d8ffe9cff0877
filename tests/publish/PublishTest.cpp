// numira-lists: accepted and rejected results, faults in a history, the shipped lists
// rebuilt byte for byte, and the problems check finds in damaged lists.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <regex>

#include "Cli.h"
#include "DrawHistory.h"
#include "ListTable.h"
#include "ListsRun.h"

namespace numira {
namespace {

using testing::CopyHistories;
using testing::HistoryFolder;
using testing::kHistoryNames;
using testing::Lists;
using testing::ReadBytes;
using testing::RunResult;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

struct AddCase {
  const char* name;
  std::vector<std::string> args;  // after "add"
  std::string stored;             // the line appended; empty: rejected
  std::string error;              // part of the one error line
};

std::vector<AddCase> AddCases() {
  return {
      {"numbers3", {"numbers3", "7055", "2026-08-24", "084"}, "7055,2026-08-24,084", ""},
      {"numbers4_month_end", {"numbers4", "7055", "2026-09-30", "0000"}, "7055,2026-09-30,0000", ""},
      {"mini_any_order_and_separators", {"miniloto", "1354", "2025-09-30", "31,2 17.9, 05", "--bonus", "06"}, "1354,2025-09-30,2.5.9.17.31,6", ""},
      {"loto6_as_six_arguments", {"loto6", "2038", "2025-09-29", "43", "1", "08", "19", "27", "33", "--bonus=7"}, "2038,2025-09-29,1.8.19.27.33.43,7", ""},
      {"loto7_two_bonus_options", {"loto7", "692", "2026-08-28", "34 2 8 14 17 25 28", "--bonus", "15", "--bonus", "3"}, "692,2026-08-28,2.8.14.17.25.28.34,3.15", ""},
      {"loto7_bonus_as_one_value", {"loto7", "692", "2026-08-28", "2.8.14.17.25.28.34", "--bonus", "15.3"}, "692,2026-08-28,2.8.14.17.25.28.34,3.15", ""},
      {"bingo5", {"bingo5", "485", "2026-08-26", "1 10 13 19 23 28 35 37"}, "485,2026-08-26,1.10.13.19.23.28.35.37", ""},
      {"mini_without_bonus", {"miniloto", "1354", "2025-09-30", "1 2 3 4 5"}, "", "miniloto.csv:1355: no bonus number: a new Mini Loto draw is added with its bonus number (--bonus N)"},
      {"loto6_without_bonus", {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6"}, "", "no bonus number: a new Loto 6 draw is added with its bonus number"},
      {"loto7_without_bonus", {"loto7", "692", "2026-08-28", "2 8 14 17 25 28 34"}, "", "loto7.csv:693: no bonus number: a new Loto 7 draw is added with its 2 bonus numbers"},
      {"loto7_one_bonus", {"loto7", "692", "2026-08-28", "2 8 14 17 25 28 34", "--bonus", "3"}, "", "loto7.csv:693: bonus \"3\": a Loto 7 draw has 2 bonus numbers, not 1"},
      {"loto7_bonus_among_numbers", {"loto7", "692", "2026-08-28", "2 8 14 17 25 28 34", "--bonus", "3", "--bonus", "34"}, "", "loto7.csv:693: bonus number 34 is one of the draw's numbers"},
      {"loto7_three_bonus", {"loto7", "692", "2026-08-28", "2 8 14 17 25 28 34", "--bonus", "3.4.5"}, "", "a Loto 7 draw has 2 bonus numbers, not 3"},
      {"loto7_six_numbers", {"loto7", "692", "2026-08-28", "2 8 15 17 25 28", "--bonus", "3.15"}, "", "loto7.csv:693: numbers \"2 8 15 17 25 28\": a Loto 7 result has 7 numbers, not 6"},
      {"bingo5_out_of_its_square", {"bingo5", "485", "2026-08-26", "1 2 13 19 23 28 35 37"}, "", "bingo5.csv:486: numbers \"1 2 13 19 23 28 35 37\" are not a BINGO5 result"},
      {"bingo5_with_bonus", {"bingo5", "485", "2026-08-26", "1 10 13 19 23 28 35 37", "--bonus", "3"}, "", "bingo5.csv:486: BINGO5 has no bonus number"},
      {"draw_number_skipped", {"numbers3", "7056", "2026-08-24", "084"}, "", "numbers3.csv:7056: draw number \"7056\": the next Numbers 3 draw is 7055"},
      {"draw_number_repeated", {"numbers3", "7054", "2026-08-24", "084"}, "", "the next Numbers 3 draw is 7055"},
      {"draw_number_zero_padded", {"numbers3", "07055", "2026-08-24", "084"}, "", "the next Numbers 3 draw is 7055"},
      {"no_such_day", {"numbers4", "7055", "2026-02-29", "1234"}, "", "date \"2026-02-29\" is not a real date"},
      {"date_with_slashes", {"numbers4", "7055", "2026/08/24", "1234"}, "", "is not a real date YYYY-MM-DD"},
      {"same_date_as_last", {"numbers4", "7055", "2026-08-21", "1234"}, "", "date 2026-08-21 is not later than the last draw's (2026-08-21)"},
      {"far_future", {"loto6", "2038", "2999-01-01", "1 2 3 4 5 6"}, "", "loto6.csv:2039: date 2999-01-01 is later than today in Japan ("},
      {"numbers3_two_digits", {"numbers3", "7055", "2026-08-24", "84"}, "", "a Numbers 3 result is exactly 3 digits"},
      {"numbers3_four_digits", {"numbers3", "7055", "2026-08-24", "0841"}, "", "a Numbers 3 result is exactly 3 digits"},
      {"numbers4_letter", {"numbers4", "7055", "2026-08-24", "08a1"}, "", "a Numbers 4 result is exactly 4 digits"},
      {"mini_four_numbers", {"miniloto", "1354", "2025-09-30", "1.2.3.4"}, "", "a Mini Loto result has 5 numbers, not 4"},
      {"mini_above_31", {"miniloto", "1354", "2025-09-30", "1 2 3 4 32"}, "", "32 is outside 1-31"},
      {"mini_zero", {"miniloto", "1354", "2025-09-30", "0 2 3 4 5"}, "", "0 is outside 1-31"},
      {"mini_twice", {"miniloto", "1354", "2025-09-30", "1 2 3 4 4"}, "", "4 appears twice"},
      {"loto6_seven_numbers", {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6 7"}, "", "has 6 numbers, not 7"},
      {"loto6_not_a_number", {"loto6", "2038", "2025-09-29", "1 2 3 4 5 x"}, "", "\"x\" is not a number from 1 to 43"},
      {"loto6_empty_between_dots", {"loto6", "2038", "2025-09-29", "1..2.3.4.5.6"}, "", "must stand between two numbers"},
      {"mini_trailing_comma", {"miniloto", "1354", "2025-09-30", "2,5,9,17,31,"}, "", "must stand between two numbers"},
      {"unknown_game", {"numbers5", "1", "2026-08-24", "084"}, "", "unknown game \"numbers5\""},
      {"numbers_missing", {"numbers3", "7055", "2026-08-24"}, "", "add needs GAME DRAW_NO DATE NUMBERS"},
      {"bonus_among_numbers", {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus", "6"}, "", "bonus number 6 is one of the draw's numbers"},
      {"bonus_out_of_range", {"miniloto", "1354", "2025-09-30", "1 2 3 4 5", "--bonus", "32"}, "", "bonus number 32 is outside 1-31"},
      {"bonus_not_a_number", {"miniloto", "1354", "2025-09-30", "1 2 3 4 5", "--bonus", "x"}, "", "bonus number \"x\" is not a number"},
      {"bonus_for_numbers", {"numbers3", "7055", "2026-08-24", "084", "--bonus", "1"}, "", "numbers3.csv:7056: Numbers 3 has no bonus number"},
      {"bonus_without_value", {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus="}, "", "--bonus needs a number"},
  };
}

class AddTable : public ::testing::TestWithParam<AddCase> {};
void PrintTo(const AddCase& c, std::ostream* os) { *os << c.name; }

TEST_P(AddTable, AppendsTheStoredFormOrRejectsLeavingTheHistoryAsItWas) {
  const AddCase& c = GetParam();
  HistoryFolder draws;
  const std::string csv = draws / (c.args[0] + ".csv");
  const std::string before = fs::exists(csv) ? ReadBytes(csv) : "";
  std::vector<std::string> args{"add"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  args.insert(args.end(), {"--draws", draws.path().string()});
  const RunResult run = Lists(args);
  if (c.stored.empty()) {
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    if (fs::exists(csv)) {
      EXPECT_EQ(ReadBytes(csv), before);
    }
  } else {
    EXPECT_EQ(run.code, kExitOk) << run.err;
    // A draw with bonus numbers gives a history without them its bonus column.
    std::string expected = before + c.stored + "\n";
    if (std::count(c.stored.begin(), c.stored.end(), ',') == 3 && expected.rfind("draw_no,date,numbers\n", 0) == 0)
      expected.replace(0, 20, "draw_no,date,numbers,bonus");
    EXPECT_EQ(ReadBytes(csv), expected);
  }
  EXPECT_EQ(draws.Names(), kHistoryNames);
}

INSTANTIATE_TEST_SUITE_P(Results, AddTable, ::testing::ValuesIn(AddCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Add, ABonusNumberAddsTheColumnAndOlderDrawsStayValid) {
  HistoryFolder draws;
  const std::string csv = draws / "loto6.csv";
  const std::string before = ReadBytes(csv);
  const std::string dir = draws.path().string();
  ASSERT_EQ(Lists({"add", "loto6", "2038", "2025-09-29", "1", "2", "3", "4", "5", "6", "--bonus", "9", "--draws", dir}).code, kExitOk);
  const RunResult run = Lists({"add", "loto6", "2039", "2025-10-02", "1 2 3 4 5 6", "--bonus", "07", "--draws", dir});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_NE(run.out.find("bonus 7"), std::string::npos) << run.out;
  ASSERT_EQ(Lists({"add", "loto6", "2040", "2025-10-06", "1 2 3 4 5 6", "--bonus", "7", "--draws", dir}).code, kExitOk);
  ASSERT_EQ(Lists({"add", "loto6", "2041", "2025-10-09", "1 2 3 4 5 6", "--bonus", "43", "--draws", dir}).code, kExitOk);
  // undo names the bonus number it takes away with the draw.
  const RunResult undo = Lists({"undo", "loto6", "2041", "--draws", dir});
  ASSERT_EQ(undo.code, kExitOk) << undo.err;
  EXPECT_EQ(undo.out, csv + ": removed draw 2041 of 2025-10-09: 1.2.3.4.5.6, bonus 43\n");
  EXPECT_EQ(ReadBytes(csv), "draw_no,date,numbers,bonus" + before.substr(before.find('\n')) +
                                "2038,2025-09-29,1.2.3.4.5.6,9\n2039,2025-10-02,1.2.3.4.5.6,7\n2040,2025-10-06,1.2.3.4.5.6,7\n");
  // The lists are built from it as before; the draw files carry the bonus numbers.
  TempDir out;
  ASSERT_EQ(Lists({"build", "--out", out.path().string(), "--draws", dir}).code, kExitOk);
  EXPECT_EQ(ReadBytes(out.path() / "draws" / "loto6.csv"), ReadBytes(csv));
  EXPECT_NE(ReadBytes(out / "Lot6Correct.txt").find("1.2.3.4.5.6,3\r\n"), std::string::npos);
  const RunResult check = Lists({"check", out.path().string(), "--draws", dir});
  EXPECT_EQ(check.code, kExitOk) << check.err;
}

// Command lines refused before anything is read or written: exit 2, one line naming the
// argument. "DRAWS" stands for a copy of the histories, "OUT" for a folder beside it.
struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  std::string error;
};

std::vector<UsageCase> UsageCases() {
  return {
      {"out_takes_help", {"build", "--draws", "DRAWS", "--out", "--help"}, "--out needs a folder, not \"--help\""},
      {"out_equals_help", {"build", "--draws", "DRAWS", "--out=--help"}, "--out needs a folder, not \"--help\""},
      {"out_takes_force", {"build", "--draws", "DRAWS", "--out", "--force"}, "--out needs a folder, not \"--force\""},
      {"out_takes_short_option", {"build", "--draws", "DRAWS", "--out", "-h"}, "--out needs a folder, not \"-h\""},
      {"out_last", {"build", "--draws", "DRAWS", "--out"}, "--out needs a folder"},
      {"out_empty", {"build", "--draws", "DRAWS", "--out="}, "--out needs a folder"},
      {"draws_takes_out", {"build", "--draws", "--out", "OUT"}, "--draws needs a folder, not \"--out\""},
      {"out_twice", {"build", "--draws", "DRAWS", "--out", "OUT", "--out", "OUT2"}, "--out given twice"},
      {"check_dash_folder", {"check", "-x"}, "unknown option \"-x\"; a folder named so is written \"./-x\""},
      {"check_dashdash_folder", {"check", "--lists"}, "unknown option \"--lists\""},
      {"lone_dash", {"check", "-"}, "unknown option \"-\""},
      {"force_with_value", {"build", "--draws", "DRAWS", "--out", "OUT", "--force=yes"}, "--force takes no value"},
      {"help_with_value", {"--help=all"}, "--help takes no value"},
      {"version_with_value", {"--version=1"}, "--version takes no value"},
      {"bonus_for_build", {"build", "--draws", "DRAWS", "--out", "OUT", "--bonus", "3"}, "build takes no --bonus"},
      {"force_for_add", {"add", "numbers3", "7055", "2026-08-24", "084", "--draws", "DRAWS", "--force"}, "add takes no --force"},
      {"out_for_undo", {"undo", "numbers3", "7054", "--draws", "DRAWS", "--out", "OUT"}, "undo takes no --out"},
      {"out_for_init", {"init", "--draws", "DRAWS", "--out", "OUT"}, "init takes no --out"},
      {"init_argument", {"init", "DRAWS"}, "init takes no argument"},
      {"build_argument", {"build", "OUT", "--draws", "DRAWS", "--out", "OUT"}, "build takes no argument"},
      {"build_without_out", {"build", "--draws", "DRAWS"}, "build needs --out DIR"},
      {"check_two_folders", {"check", "OUT", "OUT2"}, "check needs exactly one folder"},
      {"no_command", {"--draws", "DRAWS"}, "no command given"},
      {"unknown_command", {"publish", "--draws", "DRAWS"}, "unknown command \"publish\""},
      {"draws_not_a_folder", {"undo", "numbers3", "7054", "--draws", "OUT"}, "OUT: no draw histories here (numira-lists init begins them"},
      {"prizes_of_numbers", {"prizes", "numbers3", "7054", "1", "2", "--draws", "DRAWS"}, "Numbers 3 has no prize table"},
      {"prizes_of_bingo5", {"prizes", "bingo5", "484", "1", "2", "--draws", "DRAWS"}, "BINGO5 has no prize table"},
      {"prizes_without_draw", {"prizes", "loto6", "--draws", "DRAWS"}, "prizes needs GAME DRAW_NO and each tier's WINNERS AMOUNT"},
      {"carryover_for_add", {"add", "numbers3", "7055", "2026-08-24", "084", "--carryover", "5", "--draws", "DRAWS"}, "add takes no --carryover"},
      {"carryover_negative", {"prizes", "loto6", "2037", "0", "0", "--carryover", "-5", "--draws", "DRAWS"}, "--carryover needs a number of yen, not \"-5\""},
      {"carryover_twice", {"prizes", "loto6", "2037", "--carryover", "5", "--carryover", "6"}, "--carryover given twice"},
      {"prizes_file_for_build", {"build", "--draws", "DRAWS", "--out", "OUT", "--prizes", "OUT2"}, "build takes no --prizes"},
      {"prizes_file_for_bingo5", {"import", "bingo5", "OUT", "--prizes", "OUT2", "--draws", "DRAWS"}, "BINGO5 has no prize table; --prizes is not taken"},
      {"prizes_file_missing_value", {"import", "loto6", "OUT", "--draws", "DRAWS", "--prizes"}, "--prizes needs a file"},
      {"import_without_file", {"import", "loto6", "--draws", "DRAWS"}, "import needs GAME FILE"},
      {"import_dash_file", {"import", "loto6", "-", "--draws", "DRAWS"}, "unknown option \"-\""},
      {"force_for_undo", {"undo", "loto6", "2037", "--force", "--draws", "DRAWS"}, "undo takes no --force"},
  };
}

class UsageTable : public ::testing::TestWithParam<UsageCase> {};
void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

// Runs in a folder of its own, so that a folder made by mistake in the working folder shows.
class InFolder {
 public:
  explicit InFolder(const fs::path& dir) : before_(fs::current_path()) { fs::current_path(dir); }
  ~InFolder() { fs::current_path(before_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  fs::path before_;
};

TEST_P(UsageTable, IsRefusedInOneLineAndWritesNothing) {
  const UsageCase& c = GetParam();
  TempDir root;
  CopyHistories(root.path() / "draws");
  std::map<std::string, std::string> before;
  for (const auto& e : fs::recursive_directory_iterator(root.path()))
    if (e.is_regular_file()) before[e.path().string()] = ReadBytes(e.path());
  std::vector<std::string> args = c.args;
  for (std::string& a : args)
    if (a == "DRAWS" || a == "OUT" || a == "OUT2") a = (root.path() / (a == "DRAWS" ? "draws" : a == "OUT" ? "out" : "out2")).string();
  std::string error = c.error;
  if (error.rfind("OUT", 0) == 0) error.replace(0, 3, (root.path() / "out").string());
  const InFolder here(root.path());
  const RunResult run = Lists(args);
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_NE(run.err.find(error), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(root.Names(), (std::vector<std::string>{"draws", "prizes"}));
  std::size_t files = 0;
  for (const auto& e : fs::recursive_directory_iterator(root.path())) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, before.size());
  for (const auto& [path, bytes] : before) EXPECT_EQ(ReadBytes(path), bytes) << path;
}

INSTANTIATE_TEST_SUITE_P(CommandLines, UsageTable, ::testing::ValuesIn(UsageCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Usage, HelpAndVersionAnswerOnStandardOutput) {
  const RunResult help = Lists({"--help"});
  EXPECT_EQ(help.code, kExitOk);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(Lists({"build", "-h"}).out, help.out);
  const RunResult version = Lists({"--version"});
  EXPECT_EQ(version.code, kExitOk);
  EXPECT_EQ(version.err, "");
  EXPECT_TRUE(std::regex_match(version.out, std::regex("numira-lists [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
}

// Every command, option and exit code is in --help and in the man page, which groff
// renders without a warning.
TEST(Usage, HelpAndManualPageNameEveryCommandAndOption) {
  const std::string help = Lists({"--help"}).out;
  const std::string page = testing::Command("groff -man -Tutf8 -P-cbou -ww '" NUMIRA_MAN_PAGE "' 2>&1");
  const std::string warnings = testing::Command("groff -man -Tutf8 -ww -z '" NUMIRA_MAN_PAGE "' 2>&1");
  EXPECT_EQ(warnings, "");
  ASSERT_NE(page.find("NAME"), std::string::npos) << page;
  for (const char* word : {"init", "add", "prizes", "import", "undo", "build", "check", "--draws", "--out", "--bonus",
                           "--force", "--carryover", "--prizes", "--help", "--version", "XDG_DATA_HOME",
                           ".local/share/numira-lists/draws", "numbers3", "numbers4", "miniloto", "loto6", "loto7",
                           "bingo5", "--bonus 3.15"}) {
    EXPECT_NE(help.find(word), std::string::npos) << "--help lacks " << word;
    EXPECT_NE(page.find(word), std::string::npos) << "the man page lacks " << word;
  }
  for (const char* status : {"EXIT STATUS", "ENVIRONMENT", "FILES"}) EXPECT_NE(page.find(status), std::string::npos) << status;
  EXPECT_EQ(help.find("data/draws"), std::string::npos) << help;
  EXPECT_EQ(page.find("data/draws"), std::string::npos) << page;
}

// Without --draws the histories are the user's own, wherever the tool is started: never
// a folder relative to the working folder, however one is named there.
struct DefaultFolderCase {
  const char* name;
  const char* xdgDataHome;  // nullptr: unset; "ROOT" stands for the scratch folder
  const char* home;
  std::string folder;  // under the scratch folder; empty: refused
};

std::vector<DefaultFolderCase> DefaultFolderCases() {
  return {
      {"xdg_data_home", "ROOT/xdg", "ROOT/home", "xdg/numira-lists/draws"},
      {"xdg_with_slash", "ROOT/xdg/", "ROOT/home", "xdg/numira-lists/draws"},
      {"xdg_unset", nullptr, "ROOT/home", "home/.local/share/numira-lists/draws"},
      {"xdg_empty", "", "ROOT/home", "home/.local/share/numira-lists/draws"},
      {"xdg_relative", "data", "ROOT/home", "home/.local/share/numira-lists/draws"},
      {"no_absolute_folder", "data", ".", ""},
  };
}

class DefaultFolderTable : public ::testing::TestWithParam<DefaultFolderCase> {};
void PrintTo(const DefaultFolderCase& c, std::ostream* os) { *os << c.name; }

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* v = std::getenv(name)) saved_ = v;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (saved_) ::setenv(name_, saved_->c_str(), 1);
    else ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST_P(DefaultFolderTable, IsTheUsersOwnAndNeverTheWorkingFolders) {
  const DefaultFolderCase& c = GetParam();
  TempDir root;
  const auto rooted = [&](const char* v) -> std::optional<std::string> {
    if (!v) return std::nullopt;
    std::string s = v;
    if (s.rfind("ROOT", 0) == 0) s.replace(0, 4, root.path().string());
    return s;
  };
  const std::optional<std::string> xdg = rooted(c.xdgDataHome), home = rooted(c.home);
  const ScopedEnv xdgEnv("XDG_DATA_HOME", xdg ? xdg->c_str() : nullptr), homeEnv("HOME", home ? home->c_str() : nullptr);
  // A working folder with the histories where an older tool looked for them.
  CopyHistories(root.path() / "data" / "draws", false);
  const std::string shipped = ReadBytes(root.path() / "data" / "draws" / "numbers3.csv");
  const InFolder here(root.path());

  const RunResult undo = Lists({"undo", "numbers3", "7054"});
  EXPECT_EQ(undo.code, kExitRejected);
  EXPECT_EQ(ReadBytes(root.path() / "data" / "draws" / "numbers3.csv"), shipped);
  const RunResult init = Lists({"init"});
  if (c.folder.empty()) {
    EXPECT_EQ(init.code, kExitRejected);
    EXPECT_NE(init.err.find("no --draws DIR given, and neither XDG_DATA_HOME nor HOME names an absolute folder"),
              std::string::npos)
        << init.err;
    EXPECT_EQ(undo.err, init.err);
    EXPECT_EQ(root.Names(), std::vector<std::string>{"data"});
    return;
  }
  const fs::path folder = root.path() / c.folder;
  EXPECT_EQ(undo.err, folder.string() + ": no draw histories here (numira-lists init begins them; --draws DIR names "
                                         "another folder)\n");
  ASSERT_EQ(init.code, kExitOk) << init.err;
  EXPECT_NE(init.out.find((folder / "numbers3.csv").string() + ": begun, without draws\n"), std::string::npos) << init.out;
  const RunResult add = Lists({"add", "numbers3", "1", "1994-10-07", "191"});
  ASSERT_EQ(add.code, kExitOk) << add.err;
  EXPECT_EQ(ReadBytes(folder / "numbers3.csv"), "draw_no,date,numbers\n1,1994-10-07,191\n");
  EXPECT_EQ(ReadBytes(root.path() / "data" / "draws" / "numbers3.csv"), shipped);
}

INSTANTIATE_TEST_SUITE_P(Users, DefaultFolderTable, ::testing::ValuesIn(DefaultFolderCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Init, BeginsEveryMissingHistoryAndNeverTouchesOne) {
  TempDir root;
  const fs::path draws = root.path() / "new" / "draws";
  const RunResult first = Lists({"init", "--draws", draws.string()});
  ASSERT_EQ(first.code, kExitOk) << first.err;
  EXPECT_EQ(testing::Names(draws), kHistoryNames);
  for (const auto& e : fs::directory_iterator(draws)) EXPECT_EQ(ReadBytes(e.path()), "draw_no,date,numbers\n") << e.path();

  // Nothing to begin: refused, nothing changes.
  WriteBytes(draws / "numbers3.csv", "draw_no,date,numbers\n1,1994-10-07,191\n");
  const RunResult again = Lists({"init", "--draws", draws.string()});
  EXPECT_EQ(again.code, kExitRejected);
  EXPECT_EQ(again.err, draws.string() + ": every game has its history here already; nothing written\n");
  EXPECT_EQ(ReadBytes(draws / "numbers3.csv"), "draw_no,date,numbers\n1,1994-10-07,191\n");

  // One gone (and one a link to nothing): only that one is begun again.
  fs::remove(draws / "loto6.csv");
  fs::remove(draws / "numbers4.csv");
  fs::create_symlink("elsewhere/numbers4.csv", draws / "numbers4.csv");
  const RunResult missing = Lists({"init", "--draws", draws.string()});
  ASSERT_EQ(missing.code, kExitOk) << missing.err;
  EXPECT_EQ(missing.out, (draws / "numbers3.csv").string() + ": there already, kept as it is\n" +
                             (draws / "numbers4.csv").string() + ": there already, kept as it is\n" +
                             (draws / "miniloto.csv").string() + ": there already, kept as it is\n" +
                             (draws / "loto6.csv").string() + ": begun, without draws\n" +
                             (draws / "loto7.csv").string() + ": there already, kept as it is\n" +
                             (draws / "bingo5.csv").string() + ": there already, kept as it is\n");
  EXPECT_EQ(ReadBytes(draws / "numbers3.csv"), "draw_no,date,numbers\n1,1994-10-07,191\n");
  EXPECT_TRUE(fs::is_symlink(draws / "numbers4.csv"));
  fs::remove(draws / "numbers4.csv");
  ASSERT_EQ(Lists({"init", "--draws", draws.string()}).code, kExitOk);

  // From there a draw per game, and the lists are built.
  const std::string dir = draws.string();
  const RunResult notYet = Lists({"build", "--out", (root.path() / "out").string(), "--draws", dir});
  EXPECT_EQ(notYet.code, kExitRejected);
  EXPECT_NE(notYet.err.find("numbers4.csv: no draws yet"), std::string::npos) << notYet.err;
  ASSERT_EQ(Lists({"add", "numbers4", "1", "1994-10-07", "0123", "--draws", dir}).code, kExitOk);
  ASSERT_EQ(Lists({"add", "miniloto", "1", "1999-04-13", "1 2 3 4 5", "--bonus", "6", "--draws", dir}).code, kExitOk);
  ASSERT_EQ(Lists({"add", "loto6", "1", "2000-10-05", "1 2 3 4 5 6", "--bonus", "7", "--draws", dir}).code, kExitOk);
  ASSERT_EQ(Lists({"add", "loto7", "1", "2013-04-05", "7.10.12.17.23.28.34", "--bonus", "3.15", "--draws", dir}).code, kExitOk);
  ASSERT_EQ(Lists({"add", "bingo5", "1", "2017-04-05", "1.10.13.19.23.28.35.37", "--draws", dir}).code, kExitOk);
  const RunResult build = Lists({"build", "--out", (root.path() / "out").string(), "--draws", dir});
  ASSERT_EQ(build.code, kExitOk) << build.err;
  EXPECT_EQ(ReadBytes(root.path() / "out" / "draws" / "loto6.csv"), "draw_no,date,numbers,bonus\n1,2000-10-05,1.2.3.4.5.6,7\n");
  const RunResult check = Lists({"check", (root.path() / "out").string(), "--draws", dir});
  EXPECT_EQ(check.code, kExitOk) << check.err;
}

// A fault in a history: build stops naming file:line and writes nothing; add refuses too.
struct HistoryFault {
  const char* name;
  const char* csv;
  std::function<std::string(std::string)> damage;
  std::string error;
};

std::string ReplaceLine(std::string bytes, int line, const std::string& with) {
  std::size_t begin = 0;
  for (int i = 1; i < line; ++i) begin = bytes.find('\n', begin) + 1;
  return bytes.replace(begin, bytes.find('\n', begin) - begin, with);
}

std::vector<HistoryFault> HistoryFaults() {
  return {
      {"column_line", "numbers3.csv", [](std::string b) { return ReplaceLine(b, 1, "no,date,numbers"); },
       "numbers3.csv:1: the first line must be the column names draw_no,date,numbers"},
      {"field_count", "numbers4.csv", [](std::string b) { return ReplaceLine(b, 3, "2,1994-10-14"); },
       "numbers4.csv:3: 2 fields instead of 3"},
      {"out_of_sequence", "miniloto.csv", [](std::string b) { return ReplaceLine(b, 4, "4,1999-05-04,1.2.3.4.5"); },
       "miniloto.csv:4: draw number 4 out of sequence: expected 3"},
      {"no_such_date", "loto6.csv", [](std::string b) { return ReplaceLine(b, 2, "1,2000-10-32,2.8.10.13.27.30"); },
       "loto6.csv:2: date \"2000-10-32\" is not a real date"},
      {"date_going_back", "numbers3.csv", [](std::string b) { return ReplaceLine(b, 3, "2,1994-10-01,988"); },
       "numbers3.csv:3: date 1994-10-01 is not later than the previous draw's (1994-10-07)"},
      {"numbers_not_for_the_game", "numbers3.csv", [](std::string b) { return ReplaceLine(b, 2, "1,1994-10-07,1911"); },
       "numbers3.csv:2: numbers \"1911\" are not a Numbers 3 result"},
      {"loto_not_ascending", "loto6.csv", [](std::string b) { return ReplaceLine(b, 2, "1,2000-10-05,8.2.10.13.27.30"); },
       "loto6.csv:2: numbers \"8.2.10.13.27.30\" are not a Loto 6 result"},
      {"empty_line", "miniloto.csv", [](std::string b) { return ReplaceLine(b, 2, ""); }, "miniloto.csv:2: empty line"},
      {"no_draws", "loto6.csv", [](std::string) { return std::string("draw_no,date,numbers\n"); },
       "loto6.csv: no draws yet"},
      {"byte_order_mark", "miniloto.csv", [](std::string b) { return "\xEF\xBB\xBF" + b; },
       "miniloto.csv:1: the file starts with a byte-order mark (EF BB BF)"},
      {"first_draws_missing", "numbers4.csv", [](std::string b) {
         const auto second = b.find('\n') + 1, fourth = b.find('\n', b.find('\n', second) + 1) + 1;
         return b.erase(second, fourth - second);  // draws 1 and 2 gone
       },
       "numbers4.csv:2: draw number 3: a history must start at draw 1"},
      // A sound draw, but dated later than any draw can be: refused, nothing published.
      {"draw_after_tomorrow", "loto6.csv", [](std::string b) { return b + "2038,2099-12-31,1.2.3.4.5.6\n"; },
       "loto6.csv: draw 2038 is dated 2099-12-31, after tomorrow in Japan ("},
      // The prize files beside the histories ("../prizes/"): each row a draw of its history.
      {"prizes_of_a_draw_to_come", "../prizes/loto6.csv",
       [](std::string b) { return b + "2038,2025-09-29,0,0,3,19538100,251,252100,12515,5300,188891,1000,0\n"; },
       "prizes/loto6.csv:2039: prizes of Loto 6 draw 2038, which is not in the history (its last draw is 2037)"},
      {"prizes_on_another_date", "../prizes/miniloto.csv",
       [](std::string b) { return ReplaceLine(b, 2, "1,1999-04-14,29,6090500,46,275800,2331,9400,59593,900"); },
       "prizes/miniloto.csv:2: draw 1 of 1999-04-14: the history has it on 1999-04-13"},
      {"prizes_winners_without_amount", "../prizes/loto7.csv",
       [](std::string b) { return ReplaceLine(b, 3, "2,2013-04-12,1,0,3,27968500,63,1864500,3631,18900,67155,2500,122990,1200,247506600"); },
       "prizes/loto7.csv:3: tier 1: 1 winners with an amount of 0 yen"},
      {"prizes_tier_missing", "../prizes/miniloto.csv",
       [](std::string b) { return ReplaceLine(b, 3, "2,1999-04-27,11,16868900,35,380800,1672,13800"); },
       "prizes/miniloto.csv:3: "},
  };
}

class HistoryFaultTable : public ::testing::TestWithParam<HistoryFault> {};
void PrintTo(const HistoryFault& c, std::ostream* os) { *os << c.name; }

TEST_P(HistoryFaultTable, StopsTheBuildWithFileAndLine) {
  const HistoryFault& c = GetParam();
  HistoryFolder draws;
  TempDir out;
  WriteBytes(draws / c.csv, c.damage(ReadBytes(draws / c.csv)));
  const RunResult run = Lists({"build", "--out", out.path().string(), "--draws", draws.path().string()});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
  EXPECT_TRUE(out.Names().empty());
}

INSTANTIATE_TEST_SUITE_P(Histories, HistoryFaultTable, ::testing::ValuesIn(HistoryFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Build, ReproducesTheShippedListsAndLeavesUnchangedFilesUntouched) {
  TempDir root;
  const std::string out = root / "served", draws = NUMIRA_DRAWS_DIR;
  const RunResult first = Lists({"build", "--out", out, "--draws", draws});
  ASSERT_EQ(first.code, kExitOk) << first.err;
  EXPECT_EQ(fs::read_symlink(out), "served.sets/000001");
  for (const ListFileRow& r : kListFiles) {
    EXPECT_EQ(ReadBytes(fs::path(out) / r.fileName), ReadBytes(testing::RealList(r.fileName))) << r.fileName;
    // gzip itself decodes the copy; its header names no file and no time.
    const std::string gz = ReadBytes(fs::path(out) / (std::string(r.fileName) + ".gz"));
    ASSERT_GT(gz.size(), 10u);
    EXPECT_EQ(gz.substr(0, 4), std::string("\x1f\x8b\x08\x00", 4)) << r.fileName;
    EXPECT_EQ(gz.substr(4, 4), std::string(4, '\0')) << r.fileName;
    EXPECT_EQ(testing::Command("gzip -dc '" + out + "/" + r.fileName + ".gz'"), ReadBytes(testing::RealList(r.fileName)));
    // Both encodings carry one Last-Modified.
    EXPECT_EQ(fs::last_write_time(fs::path(out) / (std::string(r.fileName) + ".gz")),
              fs::last_write_time(fs::path(out) / r.fileName));
  }
  EXPECT_EQ(root.Names(), (std::vector<std::string>{"served", "served.sets"}));
  // The eight lists, their .gz, draws/, prizes/ and index.txt: no temporary file.
  EXPECT_EQ(testing::Names(fs::path(out)).size(), 19u);
  for (const Game game : kGames)
    EXPECT_EQ(ReadBytes(fs::path(out) / "draws" / HistoryFileName(game)),
              ReadBytes(fs::path(NUMIRA_DRAWS_DIR) / HistoryFileName(game)));
  // The prizes beside the histories, each with its .gz; none for the games without a prize table.
  EXPECT_EQ(testing::Names(fs::path(out) / "prizes"),
            (std::vector<std::string>{"loto6.csv", "loto6.csv.gz", "loto7.csv", "loto7.csv.gz", "miniloto.csv",
                                      "miniloto.csv.gz"}));
  for (const char* csv : {"loto6.csv", "loto7.csv", "miniloto.csv"}) {
    EXPECT_EQ(ReadBytes(fs::path(out) / "prizes" / csv), ReadBytes(fs::path(NUMIRA_PRIZES_DIR) / csv)) << csv;
    EXPECT_EQ(testing::Command("gzip -dc '" + out + "/prizes/" + csv + ".gz'"), ReadBytes(fs::path(NUMIRA_PRIZES_DIR) / csv));
  }

  // A second build changes nothing, not even a time stamp; a changed file is rewritten in
  // a new set, the others keep their times.
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const std::string& name : testing::Names(fs::path(out))) fs::last_write_time(fs::path(out) / name, old);
  const RunResult same = Lists({"build", "--out", out, "--draws", draws});
  ASSERT_EQ(same.code, kExitOk) << same.err;
  EXPECT_NE(same.out.find(out + ": unchanged, serves served.sets/000001\n"), std::string::npos) << same.out;
  EXPECT_EQ(same.out.find("written"), std::string::npos) << same.out;
  EXPECT_EQ(testing::Names(root.path() / "served.sets"), (std::vector<std::string>{".numira-lists", "000001"}));
  for (const std::string& name : testing::Names(fs::path(out))) EXPECT_EQ(fs::last_write_time(fs::path(out) / name), old) << name;

  WriteBytes(fs::path(out) / "Lot6Correct.txt", "stale");
  const RunResult again = Lists({"build", "--out", out, "--draws", draws});
  ASSERT_EQ(again.code, kExitOk) << again.err;
  EXPECT_NE(again.out.find(out + "/Lot6Correct.txt: written\n"), std::string::npos) << again.out;
  EXPECT_NE(again.out.find(out + ": serves served.sets/000002 (the set before, served.sets/000001, kept)"), std::string::npos) << again.out;
  EXPECT_EQ(fs::read_symlink(out), "served.sets/000002");
  for (const std::string& name : testing::Names(fs::path(out)))
    if (name != "draws" && name != "prizes") {
      EXPECT_EQ(fs::last_write_time(fs::path(out) / name) == old, name != "Lot6Correct.txt" && name != "index.txt") << name;
    }
  EXPECT_EQ(ReadBytes(fs::path(out) / "Lot6Correct.txt"), ReadBytes(testing::RealList("Lot6Correct.txt")));
  const RunResult check = Lists({"check", out, "--draws", draws});
  EXPECT_EQ(check.code, kExitOk) << check.err;
  EXPECT_NE(check.out.find(out + "/draws/loto6.csv: 2037 draws, the latest of 2025年9月25日"), std::string::npos) << check.out;
  EXPECT_EQ(Lists({"check", NUMIRA_DATA_DIR}).code, kExitOk);
}

// A damaged copy of the shipped lists and the problem check must report.
struct Damage {
  const char* name;
  const char* file;
  std::function<std::string(std::string)> damage;  // the new bytes; "\x01": removed, "\x02": a folder
  std::string problem;                              // part of one line of the report
};

std::string Sub(std::string b, const std::string& from, const std::string& to) {
  return b.replace(b.find(from), from.size(), to);
}

std::vector<Damage> Damages() {
  const auto lfOnly = [](std::string b) {
    std::string out;
    for (char c : b)
      if (c != '\r') out += c;
    return out;
  };
  return {
      {"lf_line_ends", "Num3Correct.txt", lfOnly, "Num3Correct.txt:1: line ends in LF without CR, not CR LF (1000 lines in all)"},
      {"cr_cr_lf", "Num4Correct.txt", [](std::string b) { return Sub(b, "0000,1\r\n", "0000,1\r\r\n"); }, "Num4Correct.txt:2: a CR not followed by LF"},
      {"no_last_line_end", "MiniCorrect.txt", [](std::string b) { return b.substr(0, b.size() - 2); }, "MiniCorrect.txt:1349: the last line has no line end"},
      {"not_cp932", "Num4NoCorrect.txt", [](std::string b) { return Sub(b, "\x94\x4E", "\xFF\x4E"); }, "Num4NoCorrect.txt:1: bytes that are not code page 932"},
      {"dated_after_tomorrow", "Lot6Correct.txt", [](std::string b) { return Sub(b, "#2025\x94N9\x8C\x8E" "25\x93\xFA", "#2099\x94N12\x8C\x8E" "31\x93\xFA"); },
       "Lot6Correct.txt: dated 2099-12-31, after tomorrow in Japan ("},
      {"no_header", "Lot6Correct.txt", [](const std::string& b) { return b.substr(b.find('\n') + 1); }, "Lot6Correct.txt: no header line with the date"},
      {"html_page", "Lot6Correct.txt", [](std::string) { return std::string("<!DOCTYPE html>\r\n"); }, "Lot6Correct.txt:1: an HTML page"},
      {"entry_too_short", "Num3Correct.txt", [](std::string b) { return Sub(b, "\n001,7\r", "\n01,7\r"); }, "Num3Correct.txt:3: \"01\" is not a Numbers 3 number"},
      {"loto_not_ascending", "MiniCorrect.txt", [](std::string b) { return Sub(b, "\n1.3.17.20.25,", "\n3.1.17.20.25,"); }, "MiniCorrect.txt:2: \"3.1.17.20.25\" is not a Mini Loto combination"},
      {"listed_twice", "Num3Correct.txt", [](std::string b) { return b + "000,6\r\n"; }, "Num3Correct.txt:1001: \"000\" is listed twice (first on line 2)"},
      {"count_zero", "Num3Correct.txt", [](std::string b) { return Sub(b, "\n000,6\r", "\n000,0\r"); }, "Num3Correct.txt:2: the count \"0\" is not a whole number from 1 to 999999999"},
      {"count_with_letters", "Num3Correct.txt", [](std::string b) { return Sub(b, "\n000,6\r", "\n000,6abc\r"); }, "Num3Correct.txt:2: the count \"6abc\" is not a whole number"},
      {"never_drawn_with_more", "Num3NoCorrect.txt", [](std::string b) { return Sub(b, "894\r\n", "894,junk\r\n"); }, "Num3NoCorrect.txt:2: \"894,junk\": a never-drawn line holds its number alone"},
      {"header_on_the_last_line", "Num3NoCorrect.txt", [](std::string b) { return b.substr(b.find('\n') + 1) + b.substr(0, b.find('\n') + 1); }, "Num3NoCorrect.txt:2: the header line is not the first line"},
      {"larger_than_a_list_may_be", "Num4NoCorrect.txt", [](std::string b) { b.resize(std::size_t{54} << 20, '\n'); return b; }, "Num4NoCorrect.txt: 56623104 bytes: larger than a list may be (32 MiB)"},
      {"won_line_without_count", "Lot6Correct.txt", [](std::string b) { return Sub(b, "\n2.8.10.13.27.30,1\r", "\n2.8.10.13.27.30\r"); }, "Lot6Correct.txt:2: no \",\" and count"},
      {"in_both_files", "Num3NoCorrect.txt", [](std::string b) { return b + "000\r\n"; }, "Num3NoCorrect.txt:3: \"000\" is also in Num3Correct.txt (line 2)"},
      {"in_neither_file", "Num3NoCorrect.txt", [](std::string b) { return Sub(b, "894\r\n", ""); }, "Num3NoCorrect.txt: 1 number of the range in neither this file nor Num3Correct.txt (the first: 894)"},
      {"dates_differ", "Num4NoCorrect.txt", [](std::string b) { return Sub(b, "21\x93\xFA", "20\x93\xFA"); }, "Num4NoCorrect.txt: date 2026年8月20日 differs from Num4Correct.txt's (2026年8月21日)"},
      {"gz_of_other_bytes", "Num3Correct.txt.gz", [](std::string) { return testing::Command("printf 'old' | gzip -n"); },
       "Num3Correct.txt: its compressed copy Num3Correct.txt.gz holds other bytes"},
      {"gz_cut_short", "MiniCorrect.txt.gz", [](std::string) { return testing::Command("gzip -nc " NUMIRA_DATA_DIR "/MiniCorrect.txt | head -c 200"); },
       "MiniCorrect.txt: its compressed copy MiniCorrect.txt.gz is not one whole gzip stream"},
      {"missing", "MiniCorrect.txt", [](std::string) { return std::string("\x01"); }, "MiniCorrect.txt: missing"},
      {"a_folder_in_its_place", "Num4Correct.txt", [](std::string) { return std::string("\x02"); }, "Num4Correct.txt: cannot read: not a regular file"},
      {"differs_from_history", "Num3Correct.txt", [](std::string b) { return Sub(b, "\n000,6\r", "\n000,7\r"); }, "Num3Correct.txt:2: differs from what build writes from the history: expected \"000,6\\r\", found \"000,7\\r\""},
      {"draws_byte_order_mark", "draws/miniloto.csv", [](std::string b) { return "\xEF\xBB\xBF" + b; }, "draws/miniloto.csv:1: the file starts with a byte-order mark"},
      {"draws_missing", "draws/numbers4.csv", [](std::string) { return std::string("\x01"); }, "draws/numbers4.csv: missing"},
      {"draws_behind_the_lists", "draws/loto6.csv", [](std::string b) { return b.substr(0, b.rfind('\n', b.size() - 2) + 1); },
       "draws/loto6.csv: latest draw 2025年9月22日 differs from Lot6Correct.txt's date (2025年9月25日)"},
      {"draws_other_numbers", "draws/numbers3.csv", [](std::string b) { return Sub(b, "\n7054,2026-08-21,286", "\n7054,2026-08-21,287"); },
       "draws/numbers3.csv: counts differ from Num3Correct.txt: "},
      {"draws_gz_of_other_bytes", "draws/loto6.csv.gz", [](std::string) { return testing::Command("printf 'old' | gzip -n"); },
       "draws/loto6.csv: its compressed copy loto6.csv.gz holds other bytes"},
      {"draws_gz_cut_short", "draws/numbers4.csv.gz", [](std::string) { return testing::Command("gzip -nc " NUMIRA_DRAWS_DIR "/numbers4.csv | head -c 300"); },
       "draws/numbers4.csv: its compressed copy numbers4.csv.gz is not one whole gzip stream"},
      {"draws_not_the_history", "draws/numbers3.csv", [](std::string b) { return Sub(b, "\n7054,2026-08-21,286", "\n7054,2026-08-21,287"); },
       "draws/numbers3.csv: differs from the history in the draws folder given"},
      {"prizes_gz_of_other_bytes", "prizes/loto6.csv.gz", [](std::string) { return testing::Command("printf 'old' | gzip -n"); },
       "prizes/loto6.csv: its compressed copy loto6.csv.gz holds other bytes"},
      {"prizes_of_a_draw_not_served", "prizes/miniloto.csv", [](std::string b) { return b + "1354,2025-09-30,0,0,1,100,1,100,1,100\n"; },
       "prizes/miniloto.csv:1355: prizes of Mini Loto draw 1354, which is not in the history (its last draw is 1353) (draws/miniloto.csv)"},
      {"prizes_row_unsound", "prizes/loto7.csv", [](std::string b) { return Sub(b, "\n2,2013-04-12,0,0,", "\n2,2013-04-12,0,5,"); },
       "prizes/loto7.csv:3: tier 1: 0 winners with an amount of 5 yen"},
      {"prizes_not_the_recorded_ones", "prizes/loto6.csv", [](std::string b) { return Sub(b, ",195374667\n", ",195374668\n"); },
       "prizes/loto6.csv: differs from the prizes beside the history folder given"},
      {"prizes_missing", "prizes/loto7.csv", [](std::string) { return std::string("\x01"); },
       "prizes/loto7.csv: missing: the history folder given has prizes of this game"},
      {"prizes_a_folder", "prizes/miniloto.csv", [](std::string) { return std::string("\x02"); },
       "prizes/miniloto.csv: cannot read: not a regular file"},
      {"older_date_than_history", "Lot6Correct.txt", [](std::string b) { return Sub(b, "25\x93\xFA", "22\x93\xFA"); }, "Lot6Correct.txt:1: differs from what build writes from the history: expected \"#2025年9月25日\\r\", found \"#2025年9月22日\\r\""},
  };
}

class CheckTable : public ::testing::TestWithParam<Damage> {};
void PrintTo(const Damage& c, std::ostream* os) { *os << c.name; }

TEST_P(CheckTable, ReportsTheProblemWithFileAndLine) {
  const Damage& c = GetParam();
  TempDir dir;
  dir.CopyRealLists();
  CopyHistories(dir.path() / "draws");  // and prizes/ beside it, as a set serves them
  const std::string bytes = c.damage(ReadBytes(dir / c.file));
  if (bytes == "\x01" || bytes == "\x02") fs::remove(dir / c.file);
  if (bytes == "\x02") fs::create_directory(dir / c.file);
  if (bytes.size() > 1) WriteBytes(dir / c.file, bytes);
  const RunResult run = Lists({"check", dir.path().string(), "--draws", NUMIRA_DRAWS_DIR});
  EXPECT_EQ(run.code, kExitProblems);
  EXPECT_NE(run.err.find(dir / c.problem), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Damages, CheckTable, ::testing::ValuesIn(Damages()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace numira
