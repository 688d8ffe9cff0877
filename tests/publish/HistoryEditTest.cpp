// numira-lists prizes and import: a draw's prize table recorded or refused naming the
// argument, many draws and prizes at once all or nothing, undo taking a draw's prizes
// with it, and the recorded prizes published and checked.
#include <gtest/gtest.h>

#include <map>

#include "Cli.h"
#include "ListsRun.h"

namespace numira {
namespace {

using testing::FilesUnder;
using testing::HistoryFolder;
using testing::Lists;
using testing::ReadBytes;
using testing::RunResult;
using testing::WriteBytes;
namespace fs = std::filesystem;

// The lines of a file, without their line ends.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto lf = bytes.find('\n', at);
    lines.push_back(bytes.substr(at, lf - at));
    at = lf == std::string::npos ? bytes.size() : lf + 1;
  }
  return lines;
}

// A history folder where Loto 6 has draw 2038 and Mini Loto draw 1354 without prizes
// (Loto 7's prizes end at draw 644 of its 691).
struct NewDraws : HistoryFolder {
  NewDraws() {
    const std::string dir = path().string();
    EXPECT_EQ(Lists({"add", "loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus", "7", "--draws", dir}).code, kExitOk);
    EXPECT_EQ(Lists({"add", "miniloto", "1354", "2025-09-30", "1 2 3 4 5", "--bonus", "6", "--draws", dir}).code, kExitOk);
  }
};

struct PrizeCase {
  const char* name;
  std::vector<std::string> args;  // after "prizes"
  std::string row;                // the row recorded; empty: refused
  std::size_t line = 0;           // its line in the prize file
  bool replaces = false;          // it takes the place of the row there
  std::string error;              // part of the one error line
};

std::vector<PrizeCase> PrizeCases() {
  const std::vector<std::string> loto6 = {"0", "0", "3", "19538100", "251", "252100", "12515", "5300", "188891", "1000"};
  const auto with = [](std::vector<std::string> head, std::vector<std::string> tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  return {
      {"loto7_a_draw_without_prizes",
       {"loto7", "645", "1", "600000000", "9", "7000000", "80", "700000", "4000", "8000", "70000", "1500", "140000", "900", "--carryover", "0"},
       "645,2025-09-26,1,600000000,9,7000000,80,700000,4000,8000,70000,1500,140000,900,0", 646, false, ""},
      {"loto6_the_new_draw", with({"loto6", "2038"}, with(loto6, {"--carryover=123"})),
       "2038,2025-09-29,0,0,3,19538100,251,252100,12515,5300,188891,1000,123", 2039, false, ""},
      {"mini_the_new_draw", {"miniloto", "1354", "15", "9947500", "67", "159900", "1512", "12200", "45382", "1000"},
       "1354,2025-09-30,15,9947500,67,159900,1512,12200,45382,1000", 1355, false, ""},
      {"nobody_won_any_tier", {"miniloto", "1354", "0", "0", "0", "0", "0", "0", "0", "0"}, "1354,2025-09-30,0,0,0,0,0,0,0,0", 1355, false, ""},
      {"force_replaces", with({"loto6", "2037", "--force"}, with(loto6, {"--carryover", "5"})),
       "2037,2025-09-25,0,0,3,19538100,251,252100,12515,5300,188891,1000,5", 2038, true, ""},
      {"recorded_already", with({"loto6", "2037"}, with(loto6, {"--carryover", "5"})), "", 0, false,
       "prizes/loto6.csv:2038: the prizes of draw 2037 are recorded already (--force replaces them)"},
      {"draw_to_come", {"loto7", "692", "0", "0"}, "", 0, false,
       "numira-lists: draw number \"692\": the Loto 7 history has draws 1 to 691; a draw's prizes are recorded after the draw"},
      {"draw_zero_padded", with({"loto6", "02038"}, loto6), "", 0, false, "draw number \"02038\": the Loto 6 history has draws 1 to 2038"},
      {"draw_not_a_number", with({"loto6", "x"}, loto6), "", 0, false, "draw number \"x\""},
      {"tiers_short", {"loto6", "2038", "0", "0", "1", "100", "--carryover", "0"}, "", 0, false,
       "Loto 6 prizes are 5 tiers of WINNERS AMOUNT, 10 numbers, not 4"},
      {"tiers_long", {"miniloto", "1354", "0", "0", "1", "1", "1", "1", "1", "1", "1", "1"}, "", 0, false,
       "Mini Loto prizes are 4 tiers of WINNERS AMOUNT, 8 numbers, not 10"},
      {"amount_with_a_point", {"miniloto", "1354", "1", "100.5", "1", "1", "1", "1", "1", "1"}, "", 0, false,
       "tier 1 amount \"100.5\": not a whole number of yen"},
      {"amount_with_separators", {"miniloto", "1354", "1", "9,947,500", "1", "1", "1", "1", "1", "1"}, "", 0, false,
       "tier 1 amount \"9,947,500\": not a whole number of yen"},
      {"winners_leading_zero", {"miniloto", "1354", "1", "1", "007", "1", "1", "1", "1", "1"}, "", 0, false,
       "tier 2 winners \"007\": not a whole number"},
      {"amount_too_long", {"miniloto", "1354", "1", "1", "1", "1", "1", "1", "1", "1234567890123456"}, "", 0, false,
       "tier 4 amount \"1234567890123456\": not a whole number of yen (digits, at most 15"},
      {"winners_without_amount", {"miniloto", "1354", "1", "1", "1", "1", "3", "0", "1", "1"}, "", 0, false,
       "numira-lists: tier 3: 3 winners with an amount of 0 yen"},
      {"amount_without_winners", {"miniloto", "1354", "0", "500", "1", "1", "1", "1", "1", "1"}, "", 0, false,
       "numira-lists: tier 1: 0 winners with an amount of 500 yen"},
      {"carryover_missing", with({"loto6", "2038"}, loto6), "", 0, false, "Loto 6 prizes need --carryover YEN (0 when there is none)"},
      {"carryover_for_mini", {"miniloto", "1354", "0", "0", "0", "0", "0", "0", "0", "0", "--carryover", "0"}, "", 0, false,
       "Mini Loto has no carry-over; --carryover is not taken"},
      {"carryover_not_whole", with({"loto6", "2038"}, with(loto6, {"--carryover", "1e9"})), "", 0, false,
       "--carryover \"1e9\": not a whole number of yen"},
  };
}

class PrizeTable : public ::testing::TestWithParam<PrizeCase> {};
void PrintTo(const PrizeCase& c, std::ostream* os) { *os << c.name; }

TEST_P(PrizeTable, RecordsTheRowInDrawOrderOrRefusesChangingNothing) {
  const PrizeCase& c = GetParam();
  NewDraws folder;
  const auto before = FilesUnder(folder.root().path());
  const fs::path file = folder.prizes() / (c.args[0] + ".csv");
  std::vector<std::string> args{"prizes"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  args.insert(args.end(), {"--draws", folder.path().string()});
  const RunResult run = Lists(args);
  if (c.row.empty()) {
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(FilesUnder(folder.root().path()), before);
    return;
  }
  ASSERT_EQ(run.code, kExitOk) << run.err;
  const std::string said = file.string() + (c.replaces ? ": replaced the prizes of draw " : ": recorded the prizes of draw ");
  EXPECT_EQ(run.out.rfind(said, 0), 0u) << run.out;
  std::vector<std::string> lines = Lines(before.at("prizes/" + c.args[0] + ".csv"));
  if (c.replaces)
    lines[c.line - 1] = c.row;
  else
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(c.line - 1), c.row);
  std::string expected;
  for (const std::string& l : lines) expected += l + "\n";
  EXPECT_EQ(ReadBytes(file), expected);
  // The histories stay as they were.
  for (const auto& [name, bytes] : FilesUnder(folder.path())) EXPECT_EQ(bytes, before.at("draws/" + name)) << name;
}

INSTANTIATE_TEST_SUITE_P(Prizes, PrizeTable, ::testing::ValuesIn(PrizeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Prizes, TheFirstRowOfAGameMakesItsFileAndFolder) {
  HistoryFolder folder;
  fs::remove_all(folder.prizes());
  const RunResult run = Lists({"prizes", "miniloto", "2", "11", "16868900", "35", "380800", "1672", "13800", "50969", "1100",
                               "--draws", folder.path().string()});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(ReadBytes(folder.prizes() / "miniloto.csv"),
            "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,t4_winners,t4_amount\n"
            "2,1999-04-27,11,16868900,35,380800,1672,13800,50969,1100\n");
  EXPECT_EQ(testing::Names(folder.prizes()), std::vector<std::string>{"miniloto.csv"});
}

struct ImportCase {
  const char* name;
  const char* game;
  std::string draws;   // the file's bytes
  std::string prizes;  // with --prizes: the file's bytes; empty: without
  std::vector<std::string> added;        // the lines appended to the history; empty with error
  std::vector<std::string> addedPrizes;  // the rows appended to the prize file
  std::string error;                     // part of the one error line, "FILE" for the draws file, "PRIZES" for the other
};

const char* const kLoto6Prizes =
    "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,t4_winners,t4_amount,t5_winners,t5_amount,"
    "carryover\n";

std::vector<ImportCase> ImportCases() {
  const std::string loto6 = "draw_no,date,numbers,bonus\n";
  const std::string prizes = kLoto6Prizes;
  return {
      {"loto6_a_week", "loto6", loto6 + "2038,2025-09-29,1.2.3.4.5.6,7\n2039,2025-10-02,2.3.4.5.6.7,8\n",
       prizes + "2038,2025-09-29,1,200000000,2,10000000,100,500000,5000,6000,90000,1000,0\n",
       {"2038,2025-09-29,1.2.3.4.5.6,7", "2039,2025-10-02,2.3.4.5.6.7,8"},
       {"2038,2025-09-29,1,200000000,2,10000000,100,500000,5000,6000,90000,1000,0"}, ""},
      {"repeating_draws_it_has", "loto6",
       "draw_no,date,numbers\n2036,2025-09-22,7.10.17.26.35.42\n2037,2025-09-25,7.12.20.23.27.29\n", "", {}, {}, ""},
      {"repeating_with_bonus_the_history_lacks", "loto6", loto6 + "2037,2025-09-25,7.12.20.23.27.29,5\n2038,2025-09-29,1.2.3.4.5.6,7\n",
       "", {"2038,2025-09-29,1.2.3.4.5.6,7"}, {}, ""},
      {"crlf_line_ends", "numbers3", "draw_no,date,numbers\r\n7055,2026-08-24,084\r\n", "", {"7055,2026-08-24,084"}, {}, ""},
      {"loto7_prizes_of_old_and_new_draws", "loto7",
       "draw_no,date,numbers,bonus\n692,2026-08-28,2.8.14.17.25.28.34,3.15\n",
       "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,t4_winners,t4_amount,t5_winners,t5_amount,"
       "t6_winners,t6_amount,carryover\n"
       "645,2025-09-26,0,0,9,7000000,80,700000,4000,8000,70000,1500,140000,900,100\n"
       "692,2026-08-28,1,600000000,9,7000000,80,700000,4000,8000,70000,1500,140000,900,0\n",
       {"692,2026-08-28,2.8.14.17.25.28.34,3.15"},
       {"645,2025-09-26,0,0,9,7000000,80,700000,4000,8000,70000,1500,140000,900,100",
        "692,2026-08-28,1,600000000,9,7000000,80,700000,4000,8000,70000,1500,140000,900,0"},
       ""},
      {"prizes_it_has_already", "loto6", loto6, prizes + "2037,2025-09-25,0,0,3,19538100,251,252100,12515,5300,188891,1000,195374667\n",
       {}, {}, ""},
      {"column_line_alone", "bingo5", "draw_no,date,numbers\n", "", {}, {}, ""},
      {"gap", "loto6", loto6 + "2039,2025-10-02,1.2.3.4.5.6,7\n", "", {}, {},
       "FILE:2: draw number 2039: the Loto 6 history ends at draw 2037, so the file must go on from 2038"},
      {"differs_from_the_history", "loto6", "draw_no,date,numbers\n2037,2025-09-25,7.12.20.23.27.30\n", "", {}, {},
       "FILE:2: draw 2037 differs from the history's ("},
      {"out_of_sequence", "loto6", loto6 + "2038,2025-09-29,1.2.3.4.5.6,7\n2040,2025-10-06,1.2.3.4.5.6,7\n", "", {}, {},
       "FILE:3: draw number 2040 out of sequence: expected 2039"},
      {"date_not_later", "loto6", loto6 + "2038,2025-09-25,1.2.3.4.5.6,7\n", "", {}, {},
       "FILE:2: date 2025-09-25 is not later than the previous draw's (2025-09-25)"},
      {"future_date", "numbers4", "draw_no,date,numbers\n7055,2999-01-01,0841\n", "", {}, {},
       "FILE:2: date 2999-01-01 is later than today in Japan ("},
      {"new_draw_without_bonus", "loto6", "draw_no,date,numbers\n2038,2025-09-29,1.2.3.4.5.6\n", "", {}, {},
       "FILE:2: no bonus number: a new Loto 6 draw is added with its bonus number"},
      {"loto7_one_bonus_number", "loto7", "draw_no,date,numbers,bonus\n692,2026-08-28,2.8.14.17.25.28.34,3\n", "", {}, {}, "FILE:2: bonus \"3\" is not 2 distinct numbers"},
      {"not_the_stored_form", "loto6", loto6 + "2038,2025-09-29,6.5.4.3.2.1,7\n", "", {}, {}, "FILE:2: numbers \"6.5.4.3.2.1\""},
      {"bonus_column_for_numbers", "numbers3", "draw_no,date,numbers,bonus\n7055,2026-08-24,084,1\n", "", {}, {},
       "FILE:1: the first line must be the column names draw_no,date,numbers"},
      {"byte_order_mark", "numbers3", "\xEF\xBB\xBF" "draw_no,date,numbers\n7055,2026-08-24,084\n", "", {}, {}, "FILE:1: "},
      {"empty_line_in_between", "numbers3", "draw_no,date,numbers\n7055,2026-08-24,084\n\n7056,2026-08-25,085\n", "", {}, {},
       "FILE:3: empty line"},
      {"prizes_of_a_draw_not_there", "loto6", loto6 + "2038,2025-09-29,1.2.3.4.5.6,7\n",
       prizes + "2039,2025-10-02,0,0,1,1,1,1,1,1,1,1,0\n", {}, {},
       "PRIZES:2: prizes of Loto 6 draw 2039, which is not in the history (its last draw is 2038)"},
      {"prizes_on_another_date", "loto6", loto6 + "2038,2025-09-29,1.2.3.4.5.6,7\n",
       prizes + "2038,2025-09-30,0,0,1,1,1,1,1,1,1,1,0\n", {}, {},
       "PRIZES:2: draw 2038 of 2025-09-30: the history has it on 2025-09-29"},
      {"prizes_differ_from_those_recorded", "loto6", loto6,
       prizes + "2036,2025-09-22,0,0,3,19538100,251,252100,12515,5300,188891,1000,1\n", {}, {},
       "PRIZES:2: the prizes of draw 2036 differ from those recorded ("},
      {"prizes_winners_without_amount", "loto6", loto6 + "2038,2025-09-29,1.2.3.4.5.6,7\n",
       prizes + "2038,2025-09-29,0,0,1,0,1,1,1,1,1,1,0\n", {}, {},
       "PRIZES:2: tier 2: 1 winners with an amount of 0 yen"},
      {"prizes_tiers_of_another_game", "loto6", loto6 + "2038,2025-09-29,1.2.3.4.5.6,7\n",
       "draw_no,date,t1_winners,t1_amount,t2_winners,t2_amount,t3_winners,t3_amount,t4_winners,t4_amount\n"
       "2038,2025-09-29,0,0,1,1,1,1,1,1\n",
       {}, {}, "PRIZES:1: the first line must be the column names draw_no,date,t1_winners"},
  };
}

class ImportTable : public ::testing::TestWithParam<ImportCase> {};
void PrintTo(const ImportCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ImportTable, AddsAllOrNothing) {
  const ImportCase& c = GetParam();
  HistoryFolder folder;
  const fs::path draws = folder.root().path() / "week.csv", prizes = folder.root().path() / "week-prizes.csv";
  WriteBytes(draws, c.draws);
  std::vector<std::string> args{"import", c.game, draws.string(), "--draws", folder.path().string()};
  if (!c.prizes.empty()) {
    WriteBytes(prizes, c.prizes);
    args.insert(args.end(), {"--prizes", prizes.string()});
  }
  const auto before = FilesUnder(folder.root().path());
  const RunResult run = Lists(args);
  const std::string csv = std::string(c.game) + ".csv";
  if (!c.error.empty()) {
    std::string error = c.error;
    if (error.rfind("FILE", 0) == 0) error.replace(0, 4, draws.string());
    if (error.rfind("PRIZES", 0) == 0) error.replace(0, 6, prizes.string());
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_NE(run.err.find(error), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(FilesUnder(folder.root().path()), before);
    return;
  }
  ASSERT_EQ(run.code, kExitOk) << run.err;
  std::string history = before.at("draws/" + csv);
  if (!c.added.empty() && std::count(c.added[0].begin(), c.added[0].end(), ',') == 3 && history.rfind("draw_no,date,numbers\n", 0) == 0)
    history.replace(0, 20, "draw_no,date,numbers,bonus");
  for (const std::string& line : c.added) history += line + "\n";
  EXPECT_EQ(ReadBytes(folder / csv), history);
  if (!c.prizes.empty()) {
    // In draw order: the rows of draws before the last recorded one take their places.
    std::vector<std::string> rows = Lines(before.at("prizes/" + csv));
    for (const std::string& row : c.addedPrizes) {
      const auto number = std::stoul(row);
      auto at = rows.begin() + 1;
      while (at != rows.end() && std::stoul(*at) < number) ++at;
      rows.insert(at, row);
    }
    std::string expected;
    for (const std::string& r : rows) expected += r + "\n";
    EXPECT_EQ(ReadBytes(folder.prizes() / csv), expected);
  }
  // What it reports: the draws added and the ones there already.
  if (c.added.empty()) EXPECT_NE(run.out.find(": no new draw in " + draws.string()), std::string::npos) << run.out;
  else
    EXPECT_NE(run.out.find(": added draw"), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Imports, ImportTable, ::testing::ValuesIn(ImportCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Import, AFileThatIsNotThereChangesNothing) {
  HistoryFolder folder;
  const auto before = FilesUnder(folder.root().path());
  const std::string missing = (folder.root().path() / "nope.csv").string();
  const RunResult run = Lists({"import", "loto6", missing, "--draws", folder.path().string()});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err.rfind(missing + ": cannot read: ", 0), 0u) << run.err;
  EXPECT_EQ(FilesUnder(folder.root().path()), before);
}

// A whole shipped history imported into an empty one: every draw of it, in one step.
TEST(Import, BeginsAnEmptyHistoryFromAWholeFile) {
  testing::TempDir root;
  const std::string dir = (root.path() / "draws").string();
  ASSERT_EQ(Lists({"init", "--draws", dir}).code, kExitOk);
  const RunResult run = Lists({"import", "loto7", (fs::path(NUMIRA_DRAWS_DIR) / "loto7.csv").string(), "--prizes",
                               (fs::path(NUMIRA_PRIZES_DIR) / "loto7.csv").string(), "--draws", dir});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_NE(run.out.find(": added draws 1 to 691 (691) from "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(": recorded the prizes of draws 1 to 644 (644) from "), std::string::npos) << run.out;
  EXPECT_EQ(ReadBytes(fs::path(dir) / "loto7.csv"), ReadBytes(fs::path(NUMIRA_DRAWS_DIR) / "loto7.csv"));
  EXPECT_EQ(ReadBytes(root.path() / "prizes" / "loto7.csv"), ReadBytes(fs::path(NUMIRA_PRIZES_DIR) / "loto7.csv"));
}

TEST(Undo, TakesTheDrawsPrizesWithIt) {
  HistoryFolder folder;
  const std::string dir = folder.path().string();
  const std::string prizes = ReadBytes(folder.prizes() / "loto6.csv");
  const RunResult run = Lists({"undo", "loto6", "2037", "--draws", dir});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_EQ(run.out, folder / "loto6.csv" + ": removed draw 2037 of 2025-09-25: 7.12.20.23.27.29\n" +
                         (folder.prizes() / "loto6.csv").string() + ": removed the prizes of draw 2037\n");
  EXPECT_EQ(ReadBytes(folder.prizes() / "loto6.csv") +
                "2037,2025-09-25,0,0,3,19538100,251,252100,12515,5300,188891,1000,195374667\n",
            prizes);
  // A Loto 7 draw without prizes: only the draw goes, named with both bonus numbers.
  const std::string loto7 = ReadBytes(folder.prizes() / "loto7.csv");
  const RunResult seven = Lists({"undo", "loto7", "691", "--draws", dir});
  ASSERT_EQ(seven.code, kExitOk) << seven.err;
  EXPECT_EQ(seven.out, folder / "loto7.csv" + ": removed draw 691 of 2026-08-21: 8.10.20.22.23.27.37, bonus numbers 2 and 9\n");
  EXPECT_EQ(ReadBytes(folder.prizes() / "loto7.csv"), loto7);
}

// Recorded prizes are published with the set and checked against its draws.
TEST(Build, PublishesTheRecordedPrizes) {
  NewDraws folder;
  const std::string dir = folder.path().string(), out = (folder.root().path() / "served").string();
  ASSERT_EQ(Lists({"prizes", "loto6", "2038", "0", "0", "1", "2", "3", "4", "5", "6", "7", "8", "--carryover", "9",
                   "--draws", dir})
                .code,
            kExitOk);
  const RunResult build = Lists({"build", "--out", out, "--draws", dir});
  ASSERT_EQ(build.code, kExitOk) << build.err;
  EXPECT_NE(build.out.find(out + "/prizes/loto6.csv: written\n"), std::string::npos) << build.out;
  EXPECT_NE(build.out.find(out + "/prizes/loto6.csv.gz: written\n"), std::string::npos) << build.out;
  EXPECT_EQ(Lines(ReadBytes(fs::path(out) / "prizes" / "loto6.csv")).back(), "2038,2025-09-29,0,0,1,2,3,4,5,6,7,8,9");
  const RunResult check = Lists({"check", out, "--draws", dir});
  EXPECT_EQ(check.code, kExitOk) << check.err;
  EXPECT_NE(check.out.find(out + "/prizes/loto6.csv: the prizes of 2038 draws, the latest draw 2038\n"), std::string::npos)
      << check.out;

  // Undone, the draw and its prizes leave the next set together.
  ASSERT_EQ(Lists({"undo", "loto6", "2038", "--draws", dir}).code, kExitOk);
  ASSERT_EQ(Lists({"build", "--out", out, "--draws", dir, "--force"}).code, kExitOk);
  EXPECT_EQ(ReadBytes(fs::path(out) / "prizes" / "loto6.csv"), ReadBytes(fs::path(NUMIRA_PRIZES_DIR) / "loto6.csv"));
  EXPECT_EQ(Lists({"check", out, "--draws", dir}).code, kExitOk);
}

// A build compresses only what changed: a served .gz copy that decodes to the file's bytes
// is taken over as it is, one that does not is made anew.
TEST(Build, TakesOverTheServedCompressedCopiesThatHoldTheFile) {
  HistoryFolder folder;
  const std::string dir = folder.path().string(), out = (folder.root().path() / "served").string();
  ASSERT_EQ(Lists({"build", "--out", out, "--draws", dir}).code, kExitOk);
  const std::string other = testing::Command("printf 'old' | gzip -n");
  const std::string best = testing::Command("gzip -9nc '" + out + "/draws/numbers3.csv'");
  ASSERT_NE(best, ReadBytes(fs::path(out) / "draws" / "numbers3.csv.gz"));
  WriteBytes(fs::path(out) / "Num3Correct.txt.gz", other);
  WriteBytes(fs::path(out) / "draws" / "numbers3.csv.gz", best);
  const RunResult run = Lists({"build", "--out", out, "--draws", dir});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_NE(run.out.find(out + "/Num3Correct.txt.gz: written\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(out + "/draws/numbers3.csv.gz: unchanged\n"), std::string::npos) << run.out;
  EXPECT_EQ(testing::Command("gzip -dc '" + out + "/Num3Correct.txt.gz'"), ReadBytes(fs::path(out) / "Num3Correct.txt"));
  EXPECT_EQ(ReadBytes(fs::path(out) / "draws" / "numbers3.csv.gz"), best);
  EXPECT_EQ(Lists({"check", out, "--draws", dir}).code, kExitOk);
}

}  // namespace
}  // namespace numira
