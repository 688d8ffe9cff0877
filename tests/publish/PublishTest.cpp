// numira-lists: accepted and rejected results, faults in a history, the shipped lists
// rebuilt byte for byte, and the problems check finds in damaged lists.
#include <gtest/gtest.h>

#include <functional>

#include "Cli.h"
#include "DrawHistory.h"
#include "ListTable.h"
#include "ListsRun.h"

namespace numira {
namespace {

using testing::CopyHistories;
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
      {"mini_any_order_and_separators", {"miniloto", "1354", "2025-09-30", "31,2 17.9, 05"}, "1354,2025-09-30,2.5.9.17.31", ""},
      {"loto6_as_six_arguments", {"loto6", "2038", "2025-09-29", "43", "1", "08", "19", "27", "33"}, "2038,2025-09-29,1.8.19.27.33.43", ""},
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
      {"bonus_for_numbers", {"numbers3", "7055", "2026-08-24", "084", "--bonus", "1"}, "", "Numbers 3 has no bonus number"},
      {"bonus_without_value", {"loto6", "2038", "2025-09-29", "1 2 3 4 5 6", "--bonus="}, "", "--bonus needs a number"},
  };
}

class AddTable : public ::testing::TestWithParam<AddCase> {};
void PrintTo(const AddCase& c, std::ostream* os) { *os << c.name; }

TEST_P(AddTable, AppendsTheStoredFormOrRejectsLeavingTheHistoryAsItWas) {
  const AddCase& c = GetParam();
  TempDir draws;
  CopyHistories(draws);
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
    EXPECT_EQ(ReadBytes(csv), before + c.stored + "\n");
  }
  EXPECT_EQ(draws.Names(), (std::vector<std::string>{"loto6.csv", "miniloto.csv", "numbers3.csv", "numbers4.csv"}));
}

INSTANTIATE_TEST_SUITE_P(Results, AddTable, ::testing::ValuesIn(AddCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Add, ABonusNumberAddsTheColumnAndOlderDrawsStayValid) {
  TempDir draws;
  CopyHistories(draws);
  const std::string csv = draws / "loto6.csv";
  const std::string before = ReadBytes(csv);
  const std::string dir = draws.path().string();
  ASSERT_EQ(Lists({"add", "loto6", "2038", "2025-09-29", "1", "2", "3", "4", "5", "6", "--draws", dir}).code, kExitOk);
  const RunResult run = Lists({"add", "loto6", "2039", "2025-10-02", "1 2 3 4 5 6", "--bonus", "07", "--draws", dir});
  ASSERT_EQ(run.code, kExitOk) << run.err;
  EXPECT_NE(run.out.find("bonus 7"), std::string::npos) << run.out;
  ASSERT_EQ(Lists({"add", "loto6", "2040", "2025-10-06", "1 2 3 4 5 6", "--bonus", "7", "--draws", dir}).code, kExitOk);
  EXPECT_EQ(ReadBytes(csv), "draw_no,date,numbers,bonus" + before.substr(before.find('\n')) +
                                "2038,2025-09-29,1.2.3.4.5.6\n2039,2025-10-02,1.2.3.4.5.6,7\n2040,2025-10-06,1.2.3.4.5.6,7\n");
  // The lists are built from it as before; the draw files carry the bonus numbers.
  TempDir out;
  ASSERT_EQ(Lists({"build", "--out", out.path().string(), "--draws", dir}).code, kExitOk);
  EXPECT_EQ(ReadBytes(out.path() / "draws" / "loto6.csv"), ReadBytes(csv));
  EXPECT_NE(ReadBytes(out / "Lot6Correct.txt").find("1.2.3.4.5.6,3\r\n"), std::string::npos);
  const RunResult check = Lists({"check", out.path().string(), "--draws", dir});
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
  };
}

class HistoryFaultTable : public ::testing::TestWithParam<HistoryFault> {};
void PrintTo(const HistoryFault& c, std::ostream* os) { *os << c.name; }

TEST_P(HistoryFaultTable, StopsTheBuildWithFileAndLine) {
  const HistoryFault& c = GetParam();
  TempDir draws, out;
  CopyHistories(draws);
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
  EXPECT_EQ(testing::Names(fs::path(out)).size(), 14u);  // the lists, their .gz, draws/ and index.txt: no temporary file
  for (const Game game : kGames)
    EXPECT_EQ(ReadBytes(fs::path(out) / "draws" / HistoryFileName(game)),
              ReadBytes(fs::path(NUMIRA_DRAWS_DIR) / HistoryFileName(game)));

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
    if (name != "draws") {
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
      {"no_header", "Lot6Correct.txt", [](std::string b) { return b.substr(b.find('\n') + 1); }, "Lot6Correct.txt: no header line with the date"},
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
      {"older_date_than_history", "Lot6Correct.txt", [](std::string b) { return Sub(b, "25\x93\xFA", "22\x93\xFA"); }, "Lot6Correct.txt:1: differs from what build writes from the history: expected \"#2025年9月25日\\r\", found \"#2025年9月22日\\r\""},
  };
}

class CheckTable : public ::testing::TestWithParam<Damage> {};
void PrintTo(const Damage& c, std::ostream* os) { *os << c.name; }

TEST_P(CheckTable, ReportsTheProblemWithFileAndLine) {
  const Damage& c = GetParam();
  TempDir dir;
  dir.CopyRealLists();
  fs::create_directory(dir.path() / "draws");
  for (const auto& e : fs::directory_iterator(NUMIRA_DRAWS_DIR)) fs::copy_file(e.path(), dir.path() / "draws" / e.path().filename());
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
