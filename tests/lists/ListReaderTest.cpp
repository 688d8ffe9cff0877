// The list reader: line kinds, chunking, the header date, counts, and the real lists; the
// games' rules: entries, both date forms, code page 932 and quoting.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <tuple>

#include "DrawDate.h"
#include "Encoding.h"
#include "Entry.h"
#include "Executable.h"
#include "ListFolder.h"
#include "ListReader.h"
#include "ListTable.h"
#include "ListValidation.h"
#include "TestData.h"
#include "TextFill.h"

namespace numira {
namespace {

using testing::TempDir;

struct ReadCase {
  const char* name;
  std::string bytes;
  ListKind kind;
  std::vector<std::string> entries;
  std::vector<std::uint32_t> counts;  // won lists only
  int lines;
  std::string date;
};

const std::string kHeader = "#2015\x94\x4E" "11\x8C\x8E" "20\x93\xFA";  // #2015年11月20日 in code page 932

std::vector<ReadCase> ReadCases() {
  const std::string longLine(600, '7');
  return {
      {"crlf_won", kHeader + "\r\n007,3\r\n123,12\r\n", ListKind::Correct, {"007", "123"}, {3, 12}, 2, "2015年11月20日"},
      {"lf_and_crcrlf_read_alike", kHeader + "\n007,3\r\r\n123,12\n", ListKind::Correct, {"007", "123"}, {3, 12}, 2, "2015年11月20日"},
      {"last_line_without_line_end", kHeader + "\r\n0001\r\n0459", ListKind::NoCorrect, {"0001", "0459"}, {}, 2, "2015年11月20日"},
      {"blank_eof_and_second_header_ignored",
       kHeader + "\r\n\r\n\x1A" "junk\r\n#2020\x94\x4E" "1\x8C\x8E" "1\x93\xFA\r\n\r\r\n0001\r\n",
       ListKind::NoCorrect, {"0001"}, {}, 1, "2015年11月20日"},
      {"entries_not_trimmed_counts_skip_space",
       "123,4\n123, 4\n123 ,4\n123,4,5\n,3\n", ListKind::Correct, {"123", "123", "123 ", "123", ""}, {4, 4, 4, 4, 3}, 5, ""},
      {"never_won_ignores_text_after_comma",
       "123,4\n123, 4\n123 ,4\n123,4,5\n,3\n", ListKind::NoCorrect, {"123", "123", "123 ", "123", ""}, {}, 5, ""},
      {"line_of_spaces_is_an_entry", "   \r\n", ListKind::NoCorrect, {"   "}, {}, 1, ""},
      {"long_line_is_two_chunks", longLine + "\r\n", ListKind::NoCorrect, {std::string(511, '7'), std::string(89, '7')}, {}, 2, ""},
      {"doctype_first_line_ends_at_once", "<!DOCTYPE html>\n007,3\n", ListKind::Correct, {}, {}, 0, ""},
      {"doctype_after_data_keeps_data", kHeader + "\n007,3\n<html><!DOCTYPE>\n123,1\n", ListKind::Correct, {"007"}, {3}, 1, "2015年11月20日"},
      {"doctype_is_case_sensitive", "<!doctype html>\n", ListKind::NoCorrect, {"<!doctype html>"}, {}, 1, ""},
      {"bytes_after_nul_unseen", std::string("12\0" "3,9\n", 6) + std::string("\0" "999\n", 5) + "5,5\n",
       ListKind::Correct, {"5"}, {5}, 1, ""},
      {"nul_hides_comma", std::string("12\0,9\n", 6), ListKind::NoCorrect, {"12"}, {}, 1, ""},
      {"negative_counts_wrap", "001,-1\n002,+7\n003,x\n", ListKind::Correct, {"001", "002", "003"}, {4294967295u, 7, 0}, 3, ""},
      {"won_line_without_comma_skipped", "007\n008,2\n", ListKind::Correct, {"008"}, {2}, 1, ""},
      {"header_only", kHeader + "\r\n", ListKind::Correct, {}, {}, 0, "2015年11月20日"},
      {"empty_file", "", ListKind::Correct, {}, {}, 0, ""},
      {"cr_inside_line_cuts_the_text", "12\r3,4\n", ListKind::NoCorrect, {"12"}, {}, 1, ""},
  };
}

class ReadTable : public ::testing::TestWithParam<ReadCase> {};
// Cases are named by their name in test listings.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ReadTable, ParsesAsTheFormatSays) {
  const ReadCase& c = GetParam();
  const ListContents got = ParseList(c.bytes, c.kind);
  EXPECT_EQ(got.entries, c.entries);
  EXPECT_EQ(got.counts, c.counts);
  EXPECT_EQ(got.lines, c.lines);
  EXPECT_EQ(got.latestDrawDate, c.date);

  // The file reader agrees with the in-memory reader.
  TempDir dir;
  const auto path = dir.path() / "list.txt";
  testing::WriteBytes(path, c.bytes);
  const auto fromFile = ReadListFile(path.string(), c.kind);
  ASSERT_TRUE(fromFile.has_value());
  EXPECT_EQ(fromFile->entries, c.entries);
  EXPECT_EQ(fromFile->counts, c.counts);
  EXPECT_EQ(fromFile->lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Lines, ReadTable, ::testing::ValuesIn(ReadCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadList, OnlyARegularFileIsRead) {
  TempDir dir;
  EXPECT_FALSE(ReadListFile((dir.path() / "absent.txt").string(), ListKind::Correct).has_value());
  EXPECT_FALSE(ReadListFile("", ListKind::Correct).has_value());
  // A FIFO with no writer would block an open for reading; devices never end.
  const std::string fifo = dir / "Num3NoCorrect.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadListFile(fifo, ListKind::NoCorrect).has_value());
  for (const char* device : {"/dev/zero", "/dev/urandom"}) {
    const std::string link = dir / (std::string("link") + std::to_string(device[5]));
    ASSERT_EQ(::symlink(device, link.c_str()), 0);
    EXPECT_FALSE(ReadListFile(link, ListKind::Correct).has_value()) << device;
  }
}

TEST(ReadList, LinesAcrossTheReadBufferAndLongLines) {
  // Many lines of varied length, with long ones, so chunks straddle every refill.
  std::string bytes = kHeader + "\r\n";
  std::vector<std::string> expected;
  for (int i = 0; i < 20000; ++i) {
    std::string entry = std::to_string(i) + std::string(static_cast<std::size_t>(i % 37), 'x');
    if (i % 997 == 0) entry = std::string(1200, 'y');  // three chunks: 511, 511, 178
    bytes += entry + "\r\n";
    if (entry.size() > 511) {
      expected.push_back(entry.substr(0, 511));
      expected.push_back(entry.substr(511, 511));
      expected.push_back(entry.substr(1022));
    } else {
      expected.push_back(entry);
    }
  }
  TempDir dir;
  testing::WriteBytes(dir.path() / "big.txt", bytes);
  const auto got = ReadListFile((dir.path() / "big.txt").string(), ListKind::NoCorrect);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->entries, expected);
  EXPECT_EQ(got->lines, static_cast<int>(expected.size()));
  // A bound on the entries stops the reading right after it is passed.
  const auto bounded = ReadListFile((dir.path() / "big.txt").string(), ListKind::NoCorrect, 1000);
  ASSERT_TRUE(bounded.has_value());
  EXPECT_EQ(bounded->entries, std::vector<std::string>(expected.begin(), expected.begin() + 1001));
}

// ---- Validation: what the refresh accepts and the publisher's check reports ----

struct ValidationCase {
  const char* name;
  std::string bytes;
  Game game;
  ListKind kind;
  std::vector<std::uint32_t> problemLines;  // the lines named by the problems, in order
  const char* firstProblem;                 // a part of the first problem's text ("" if none)
};

class Validation : public ::testing::TestWithParam<ValidationCase> {};
// Cases are named by their name in test listings.
void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Validation, ReportsEveryProblemByLine) {
  const ValidationCase& c = GetParam();
  const ListContents contents = ParseList(c.bytes, c.kind);
  const auto problems = ValidateList(contents, c.game, c.kind);
  std::vector<std::uint32_t> lines;
  for (const ListProblem& p : problems) lines.push_back(p.line);
  EXPECT_EQ(lines, c.problemLines);
  if (!problems.empty()) {
    EXPECT_NE(problems[0].text.find(c.firstProblem), std::string::npos) << problems[0].text;
  }
  EXPECT_EQ(IsValidList(contents, c.game, c.kind), c.problemLines.empty());
}

const std::string kH = kHeader + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Lists, Validation,
    ::testing::Values(
        ValidationCase{"numbers_won", kH + "007,3\r\n123,12\r\n", Game::Num3, ListKind::Correct, {}, ""},
        ValidationCase{"header_only_never_won_is_valid", kH, Game::Num3, ListKind::NoCorrect, {}, ""},
        ValidationCase{"header_only_won_is_not", kH, Game::Num4, ListKind::Correct, {0}, "no entries"},
        ValidationCase{"no_header_date", "0001\r\n", Game::Num4, ListKind::NoCorrect, {0}, "no header"},
        ValidationCase{"header_date_not_digits", "#abcd\x94\x4E" "8\x8C\x8E" "24\x93\xFA\r\n0001\r\n", Game::Num4,
                       ListKind::NoCorrect, {0}, "not a real date"},
        ValidationCase{"header_date_not_a_day", "#2026\x94\x4E" "2\x8C\x8E" "30\x93\xFA\r\n0001\r\n", Game::Num4,
                       ListKind::NoCorrect, {0}, "not a real date"},
        ValidationCase{"captive_portal", "<html><head><title>Hotel Wi-Fi</title></head>\n<body>Please log in</body></html>\n",
                       Game::Num3, ListKind::NoCorrect, {0, 1, 2}, "no header"},
        ValidationCase{"doctype_after_entries", kH + "0001\r\n<!DOCTYPE html>\r\n", Game::Num4, ListKind::NoCorrect, {3}, "HTML"},
        ValidationCase{"numbers_width_and_digits", kH + "07,1\r\n0070,1\r\n0x7,1\r\n 07,1\r\n", Game::Num3, ListKind::Correct,
                       {2, 3, 4, 5}, "Numbers 3 number"},
        ValidationCase{"counts_below_one_and_missing", kH + "007,0\r\n008,-1\r\n009\r\n010,1\r\n", Game::Num3,
                       ListKind::Correct, {2, 3, 4}, "\"0\" is not a whole number"},
        ValidationCase{"never_won_line_with_more", kH + "0001\r\n0002,junk\r\n0003,\r\n", Game::Num4, ListKind::NoCorrect,
                       {3, 4}, "\"0002,junk\": a never-drawn line holds its number alone"},
        ValidationCase{"zero_byte_hides_the_rest_of_a_line", kH + std::string("007,3\0junk\r\n123,1\r\n", 19),
                       Game::Num3, ListKind::Correct, {2}, "a zero byte"},
        ValidationCase{"header_not_on_the_first_line", "0001\r\n" + kH, Game::Num4, ListKind::NoCorrect, {2},
                       "not the first line"},
        ValidationCase{"header_on_the_last_line", "007,1\r\n" + kHeader, Game::Num3, ListKind::Correct, {2},
                       "not the first line"},
        ValidationCase{"two_headers", kH + "007,1\r\n" + kH, Game::Num3, ListKind::Correct, {3}, "second header"},
        ValidationCase{"comment_after_the_header", kH + "#note\r\n007,1\r\n", Game::Num3, ListKind::Correct, {2},
                       "(the first is line 1)"},
        ValidationCase{"undated_header_before_a_dated_one", "#lists\r\n" + kH + "007,1\r\n", Game::Num3,
                       ListKind::Correct, {2}, "second header"},
        ValidationCase{"duplicate_entry", kH + "0001\r\n0002\r\n0001\r\n", Game::Num4, ListKind::NoCorrect, {4}, "line 2"},
        ValidationCase{"loto_forms", kH + "3.12.17.25.31,1\r\n12.3.17.25.31,1\r\n3.3.17.25.31,1\r\n3.12.17.25.32,1\r\n"
                                          "03.12.17.25.31,1\r\n3.12.17.25,1\r\n3.12.17.25.31.1,1\r\n3.12.17.25.31.,1\r\n",
                       Game::Mini, ListKind::Correct, {3, 4, 5, 6, 7, 8, 9}, "Mini Loto combination"},
        ValidationCase{"loto6_range", kH + "1.8.19.27.33.43,2\r\n1.8.19.27.33.44,1\r\n0.8.19.27.33.42,1\r\n", Game::Lot6,
                       ListKind::Correct, {3, 4}, "Loto 6"},
        ValidationCase{"loto7_forms", kH + "2.8.15.17.25.28.34,1\r\n2.8.15.17.25.28.38,1\r\n2.8.15.17.25.28,1\r\n"
                                           "2.8.15.17.25.28.34,2\r\n",
                       Game::Lot7, ListKind::Correct, {3, 4, 5}, "Loto 7 combination"},
        ValidationCase{"bingo5_squares", kH + "1.10.13.19.23.28.35.37,1\r\n1.5.13.19.23.28.35.37,1\r\n"
                                            "5.6.15.16.25.26.35.36,3\r\n",
                       Game::Bingo5, ListKind::Correct, {3}, "BINGO5 combination (8 numbers joined by"},
        ValidationCase{"long_line_keeps_one_number", kH + std::string(600, '1') + "\r\n", Game::Num3, ListKind::NoCorrect,
                       {2, 2}, "Numbers 3"}),
    [](const auto& info) { return std::string(info.param.name); });

// The count after a won list's comma, as the strict grammar takes it: the reader still
// reads every form (as atoi would), the validation refuses all but plain counts.
struct CountCase {
  const char* text;
  bool valid;
};

TEST(Validation, CountsArePlainDecimalFromOneToNineDigits) {
  const CountCase cases[] = {
      {"1", true},         {"7", true},          {"007", true},         {"999999999", true},
      {"000000001", true}, {"0", false},         {"000", false},        {"-1", false},
      {"+8", false},       {" +8", false},       {" 8", false},         {"8 ", false},
      {"8abc", false},     {"3.9", false},       {"1e3", false},        {"", false},
      {"1000000000", false}, {"99999999999", false}, {"2147483647", false}, {"0x10", false},
      {"８", false},       {"8,1", false},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsStrictCount(c.text), c.valid);
    const std::string list = kH + "007," + c.text + "\r\n123,2\r\n";
    const ListContents contents = ParseList(list, ListKind::Correct);
    ASSERT_EQ(contents.entries.size(), 2u);  // the tolerant reading takes the line all the same
    const auto problems = ValidateList(contents, Game::Num3, ListKind::Correct);
    EXPECT_EQ(problems.empty(), c.valid);
    if (!c.valid) {
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_EQ(problems[0].line, 2u);
      EXPECT_NE(problems[0].text.find("is not a whole number from 1 to 999999999"), std::string::npos) << problems[0].text;
    }
  }
}

TEST(Validation, FaultsBeyondTheFirstThousandOfAKindAreCounted) {
  std::string list = kH;
  for (int i = 0; i < 1500; ++i) list += std::to_string(i) + ",x\r\n#\r\n";  // a bad count and a second header
  const ListContents c = ParseList(list, ListKind::Correct);
  EXPECT_EQ(c.malformedCounts.size(), 1000u);
  EXPECT_EQ(c.headerLines.size(), 1000u);
  EXPECT_EQ(c.faultsNotRecorded, 501u + 500u);  // 1501 headers in all
  const auto problems = ValidateList(c, Game::Num4, ListKind::Correct);
  ASSERT_FALSE(problems.empty());
  EXPECT_EQ(problems.front().text, "1001 more lines with problems like the ones named");
}

TEST(Validation, AListLargerThanTheLimitIsRefusedWhole) {
  // 32 MiB and one byte of valid lines: the size alone is the problem; at the limit it is none.
  std::string atLimit = kH;
  atLimit.resize(std::size_t{32} << 20, '\n');  // blank lines pad the file without entries
  for (const std::string& bytes : {atLimit, atLimit + "\n"}) {
    const ListContents contents = ParseList(bytes, ListKind::NoCorrect);
    const auto problems = ValidateList(contents, Game::Num4, ListKind::NoCorrect);
    if (bytes.size() == atLimit.size()) {
      EXPECT_TRUE(problems.empty());
    } else {
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_EQ(problems[0].text, "33554433 bytes: larger than a list may be (32 MiB)");
    }
  }
  // The file reader reports the size of the whole file even when it stops early.
  TempDir dir;
  testing::WriteBytes(dir.path() / "big.txt", atLimit + "0001\r\n");
  const auto read = ReadListFile((dir.path() / "big.txt").string(), ListKind::NoCorrect, 0);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->fileBytes, (std::uint64_t{32} << 20) + 6);
  EXPECT_FALSE(IsValidList(*read, Game::Num4, ListKind::NoCorrect));
}

// The two lists of a Numbers game together: every number in exactly one of them.
TEST(Validation, NumbersPairCoversEveryNumberOnce) {
  std::string allButTwo = kH, all = kH;
  for (int n = 0; n < 1000; ++n) {
    char entry[8];
    std::snprintf(entry, sizeof entry, "%03d\r\n", n);
    all += entry;
    if (n != 7 && n != 500) allButTwo += entry;
  }
  struct Row {
    const char* name;
    std::string won, neverWon;
    std::size_t inBoth;
    const char* firstInBoth;
    std::uint32_t firstInBothLine, firstInBothWonLine;
    std::size_t inNeither;
    int firstInNeither;
  };
  const Row rows[] = {
      {"complete", kH + "007,2\r\n500,1\r\n", allButTwo, 0, "", 0, 0, 0, -1},
      {"one_missing", kH + "007,2\r\n", allButTwo, 0, "", 0, 0, 1, 500},
      {"in_both", kH + "123,1\r\n007,2\r\n500,1\r\n", allButTwo, 1, "123", 124, 2, 0, -1},
      {"never_won_holds_all", kH + "999,1\r\n000,4\r\n", all, 2, "000", 2, 3, 0, -1},
      {"odd_entries_left_out", kH + "7,1\r\n0007,1\r\n", kH + "x12\r\n", 0, "", 0, 0, 1000, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const NumbersCoverage cover = CoverNumbers(Game::Num3, ParseList(r.won, ListKind::Correct), ParseList(r.neverWon, ListKind::NoCorrect));
    EXPECT_EQ(cover.inBoth, r.inBoth);
    EXPECT_EQ(cover.firstInBoth, r.firstInBoth);
    EXPECT_EQ(cover.firstInBothLine, r.firstInBothLine);
    EXPECT_EQ(cover.firstInBothWonLine, r.firstInBothWonLine);
    EXPECT_EQ(cover.inNeither, r.inNeither);
    EXPECT_EQ(cover.firstInNeither, r.firstInNeither);
    EXPECT_EQ(cover.Complete(), r.inBoth == 0 && r.inNeither == 0);
  }
}

TEST(Validation, TheShippedListsAreValid) {
  for (const ListFileRow& row : kListFiles) {
    const auto list = ReadListFile(testing::RealList(row.fileName).string(), row.kind);
    ASSERT_TRUE(list.has_value()) << row.fileName;
    EXPECT_TRUE(ValidateList(*list, row.game, row.kind).empty()) << row.fileName;
  }
}

struct DateCase {
  const char* name;
  std::string line;
  std::string date;
};

class HeaderDates : public ::testing::TestWithParam<DateCase> {};
// Cases are named by their name in test listings.
void PrintTo(const DateCase& c, std::ostream* os) { *os << c.name; }

TEST_P(HeaderDates, TakeTheYearToTheDay) { EXPECT_EQ(HeaderDate(GetParam().line), GetParam().date); }

INSTANTIATE_TEST_SUITE_P(
    Forms, HeaderDates,
    ::testing::Values(
        DateCase{"cp932", kHeader + "\r\n", "2015年11月20日"},
        DateCase{"cp932_with_text_around", "#\x8D\xC5\x90V 2026\x94\x4E" "8\x8C\x8E" "21\x93\xFA\x82\xCC\x95\xAA\r\n", "2026年8月21日"},
        DateCase{"utf8", "#2026年8月21日\r\n", "2026年8月21日"},
        DateCase{"no_year", "#2026/8/21\r\n", ""},
        DateCase{"year_in_first_four_bytes", "#26\x94\x4E" "1\x93\xFA\n", ""},
        DateCase{"day_before_year", "#1\x93\xFA 2026\x94\x4E\n", ""},
        DateCase{"no_day", "#2026\x94\x4E" "8\x8C\x8E\n", ""},
        DateCase{"invalid_bytes_replaced", "#2026\x94\x4E\xFF\x80" "1\x93\xFA\n", "2026年\xEF\xBF\xBD\xEF\xBF\xBD" "1日"},
        DateCase{"invalid_utf8_replaced", "#2026年\xC3(1日\n", "2026年\xEF\xBF\xBD(1日"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Text, TruncationNeverSplitsACharacter) {
  EXPECT_EQ(TruncateUtf8("ab年", 4), "ab");
  EXPECT_EQ(TruncateUtf8("ab年", 5), "ab年");
  EXPECT_EQ(TruncateUtf8("ab", 1), "a");
  EXPECT_EQ(Cp932ToUtf8("\x83\x8D\x83\x67\x82\x55"), "ロト６");
}

// Code page 932 both ways: a sound text converts there and back; bytes that are not code
// page 932 are refused by the check and replaced when shown; a character without a code
// page 932 form, or bytes that are not UTF-8, have no code page 932 form.
TEST(Text, CodePage932BothWaysAndItsCheck) {
  struct Row {
    std::string utf8;
    std::string cp932;
  };
  const Row sound[] = {
      {"", ""},
      {"#2026年8月21日", "#2026\x94\x4E" "8\x8C\x8E" "21\x93\xFA"},
      {"ロト６", "\x83\x8D\x83\x67\x82\x55"},
      {"ｷｬﾝｾﾙ", "\xB7\xAC\xDD\xBE\xD9"},
      {"007,3\r\n", "007,3\r\n"},
  };
  for (const Row& r : sound) {
    SCOPED_TRACE(r.utf8);
    EXPECT_EQ(Utf8ToCp932(r.utf8), r.cp932);
    EXPECT_EQ(Cp932ToUtf8(r.cp932), r.utf8);
    EXPECT_TRUE(IsCp932(r.cp932));
  }
  const Row notCp932[] = {
      {"\xEF\xBF\xBD", "\xFF"},                         // not a byte of code page 932
      {"A\xEF\xBF\xBD", "A\x83"},                       // a lead byte cut off at the end
      {"\xEF\xBF\xBD\n", "\x83\n"},                     // a lead byte before a line end
      {"2026\xEF\xBF\xBD" "1", "2026\x94" "1"},             // a digit is no trail byte
  };
  for (const Row& r : notCp932) {
    SCOPED_TRACE(r.utf8);
    EXPECT_FALSE(IsCp932(r.cp932));
    EXPECT_EQ(Cp932ToUtf8(r.cp932), r.utf8);
  }
  for (const char* noForm : {"\xF0\x9F\x8E\xB0", "\xC3(", "\xE5\xB9"}) {  // 🎰, not UTF-8, cut off
    SCOPED_TRACE(noForm);
    EXPECT_EQ(Utf8ToCp932(noForm), std::nullopt);
  }
}

// A text in a one-line message: quoted, control bytes escaped, cut after 40 bytes.
TEST(Text, QuotedInAMessage) {
  QuoteStyle line;
  line.asciiOnly = false;
  line.maxBytes = 5;
  line.namedCarriageReturn = true;
  // A typed piece in a window's message: in 「」, UTF-8 shown, never cut inside a character.
  QuoteStyle typed;
  typed.asciiOnly = false;
  typed.maxBytes = 7;
  typed.open = "「";
  typed.close = "」";
  QuoteStyle bare = typed;
  bare.open = bare.close = "";
  bare.maxBytes = 40;
  const std::tuple<std::string, QuoteStyle, std::string> rows[] = {
      {"0002,junk", {}, "\"0002,junk\""},
      {"", {}, "\"\""},
      {"a\"b\\c", {}, "\"a\\x22b\\x5Cc\""},
      {"年\t\x7F", {}, "\"\\xE5\\xB9\\xB4\\x09\\x7F\""},
      {std::string(41, '7'), {}, "\"" + std::string(40, '7') + "...\""},
      {std::string(40, '7'), {}, "\"" + std::string(40, '7') + "\""},
      {"年\r", line, "\"年\\r\""},
      {"a\"b\\c\x01", line, "\"a\"b\\c...\""},
      {"１２３", typed, "「１２...」"},        // 9 bytes: the third character would pass 7
      {"1１2", typed, "「1１2」"},
      {"a\x01\x1B[2J", typed, "「a\\x01\\x1B[2J」"},
      {"a\x01\x1B[2J;", typed, "「a\\x01\\x1B[2J;」"},
      {"a\x01\x1B[2J;;", typed, "「a\\x01\\x1B[2J;...」"},
      // Bytes that are not UTF-8, and the C1 controls (U+009B is a terminal's CSI), escaped.
      {"\xff\xe5\xb9x", bare, "\\xFF\\xE5\\xB9x"},
      {"\xc2\x9b" "2J\xc2\xa0", bare, "\\xC2\\x9B" "2J\xc2\xa0"},
      {"\xed\xa0\x80\xc0\xaf", bare, "\\xED\\xA0\\x80\\xC0\\xAF"},  // a surrogate, an overlong '/'
      {"\xf0\x9f\x8e\xb0", bare, "\xf0\x9f\x8e\xb0"},
      {"\xf0\x9f\x8e", bare, "\\xF0\\x9F\\x8E"},  // cut off
  };
  for (const auto& [text, style, quoted] : rows) EXPECT_EQ(Quoted(text, style), quoted) << text;
  EXPECT_EQ(Quoted("年\r", false), "\"年\\x0D\"");
}

// Texts made of a format and values, two-digit numbers, counts with their commas.
TEST(Text, FilledTwoDigitsAndGrouped) {
  const std::tuple<std::string, std::vector<std::string>, std::string> fills[] = {
      {"第%1回（%2）：%3", {"7054", "2026年8月21日", "1等"}, "第7054回（2026年8月21日）：1等"},
      {"%2 then %1", {"a", "b"}, "b then a"},
      {"%1 %1", {"x"}, "x x"},
      {"%1", {"%2"}, "%2"},  // a value is never read as a format
      {"%3 100% %", {"a"}, "%3 100% %"},
      {"%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}, "nine"},
      {"", {}, ""},
  };
  for (const auto& [format, values, filled] : fills) {
    std::vector<std::string_view> views(values.begin(), values.end());
    std::string out;
    switch (views.size()) {
      case 0: out = Fill(format, {}); break;
      case 1: out = Fill(format, {views[0]}); break;
      case 2: out = Fill(format, {views[0], views[1]}); break;
      case 3: out = Fill(format, {views[0], views[1], views[2]}); break;
      default:
        out = Fill(format, {views[0], views[1], views[2], views[3], views[4], views[5], views[6], views[7], views[8]});
    }
    EXPECT_EQ(out, filled) << format;
  }
  const std::pair<int, std::string> two[] = {{0, "00"}, {7, "07"}, {10, "10"}, {43, "43"}, {100, "100"}, {-3, "-3"}};
  for (const auto& [n, text] : two) EXPECT_EQ(TwoDigits(n), text) << n;
  const std::pair<std::int64_t, std::string> grouped[] = {
      {0, "0"},           {999, "999"},         {1000, "1,000"},         {6094417, "6,094,417"},
      {-1000, "-1,000"},  {-999, "-999"},       {100000, "100,000"},     {1234567890123, "1,234,567,890,123"},
      {INT64_MIN, "-9,223,372,036,854,775,808"}};
  for (const auto& [n, text] : grouped) EXPECT_EQ(Grouped(n), text) << n;
}

// Each game's entries: the exact form parses into its numbers and formats back byte for
// byte; any other form is refused.
TEST(Entries, ParseAndFormatRoundTripPerGame) {
  struct Row {
    Game game;
    const char* entry;
    std::vector<int> numbers;  // empty: refused
  };
  const Row rows[] = {
      {Game::Num3, "084", {0, 8, 4}},
      {Game::Num3, "000", {0, 0, 0}},
      {Game::Num3, "999", {9, 9, 9}},
      {Game::Num4, "0841", {0, 8, 4, 1}},
      {Game::Mini, "2.5.9.17.31", {2, 5, 9, 17, 31}},
      {Game::Mini, "1.2.3.4.5", {1, 2, 3, 4, 5}},
      {Game::Lot6, "1.8.19.27.33.43", {1, 8, 19, 27, 33, 43}},
      {Game::Lot6, "38.39.40.41.42.43", {38, 39, 40, 41, 42, 43}},
      {Game::Num3, "84", {}},
      {Game::Num3, "0841", {}},
      {Game::Num4, "084", {}},
      {Game::Num3, "08a", {}},
      {Game::Num3, " 84", {}},
      {Game::Num3, "", {}},
      {Game::Mini, "2.5.9.17", {}},
      {Game::Mini, "2.5.9.17.31.32", {}},
      {Game::Mini, "2.5.9.17.32", {}},
      {Game::Mini, "0.5.9.17.31", {}},
      {Game::Mini, "02.5.9.17.31", {}},
      {Game::Mini, "5.2.9.17.31", {}},
      {Game::Mini, "2.2.9.17.31", {}},
      {Game::Mini, "2.5.9.17.31.", {}},
      {Game::Mini, ".2.5.9.17.31", {}},
      {Game::Mini, "2..5.9.17", {}},
      {Game::Mini, "2.5.9.17.3a", {}},
      {Game::Mini, "2.5.9.17.100", {}},
      {Game::Lot6, "1.8.19.27.33.44", {}},
      {Game::Lot6, "2.5.9.17.31", {}},
      {Game::Lot6, "", {}},
      {Game::Lot7, "2.8.15.17.25.28.34", {2, 8, 15, 17, 25, 28, 34}},
      {Game::Lot7, "31.32.33.34.35.36.37", {31, 32, 33, 34, 35, 36, 37}},
      {Game::Lot7, "2.8.15.17.25.28.38", {}},
      {Game::Lot7, "2.8.15.17.25.28", {}},
      {Game::Lot7, "2.8.15.17.25.28.34.36", {}},
      {Game::Lot7, "2.8.15.15.25.28.34", {}},
      {Game::Bingo5, "1.10.13.19.23.28.35.37", {1, 10, 13, 19, 23, 28, 35, 37}},
      {Game::Bingo5, "5.6.15.16.25.26.35.36", {5, 6, 15, 16, 25, 26, 35, 36}},
      {Game::Bingo5, "1.6.11.16.21.26.31.36", {1, 6, 11, 16, 21, 26, 31, 36}},
      {Game::Bingo5, "6.10.13.19.23.28.35.37", {}},    // the first from 1-5 only
      {Game::Bingo5, "1.5.13.19.23.28.35.37", {}},     // the second from 6-10
      {Game::Bingo5, "1.10.13.19.23.28.35.41", {}},    // the last from 36-40
      {Game::Bingo5, "1.10.13.19.23.28.35", {}},
      {Game::Bingo5, "1.10.13.19.23.28.35.37.40", {}},
      {Game::Bingo5, "01.10.13.19.23.28.35.37", {}},
      {Game::Bingo5, "10.1.13.19.23.28.35.37", {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(GameId(r.game)) + " " + r.entry);
    EXPECT_EQ(EntryNumberList(r.entry, r.game), r.numbers);
    EXPECT_EQ(IsValidEntry(r.entry, r.game), !r.numbers.empty());
    if (r.numbers.empty()) continue;
    EntryNumbers numbers{};
    std::copy(r.numbers.begin(), r.numbers.end(), numbers.begin());
    EXPECT_EQ(FormatEntry(numbers, r.game), r.entry);
  }
  // A Numbers entry stands for a number of the game's range, zero-padded.
  const std::tuple<Game, int, const char*> numbersRows[] = {
      {Game::Num3, 0, "000"}, {Game::Num3, 7, "007"}, {Game::Num3, 999, "999"},
      {Game::Num4, 84, "0084"}, {Game::Num4, 9999, "9999"},
  };
  for (const auto& [game, value, entry] : numbersRows) {
    EXPECT_EQ(NumbersEntry(value, game), entry);
    EXPECT_EQ(NumbersValue(entry, game), value);
  }
  EXPECT_EQ(NumbersValue("0084", Game::Num3), std::nullopt);
  EXPECT_EQ(NumbersValue("1.2.3.4.5", Game::Mini), std::nullopt);
  // Tolerant fields: each read as atoi reads it.
  EXPECT_EQ(EntryFields("31.2x.7"), (std::vector<std::int32_t>{31, 2, 7}));
  EXPECT_EQ(EntryFields("1..2."), (std::vector<std::int32_t>{1, 0, 2, 0}));
  EXPECT_EQ(EntryFields(""), (std::vector<std::int32_t>{0}));
  EXPECT_EQ(EntryFormText(Game::Num4), "4 digits");
  EXPECT_EQ(EntryFormText(Game::Lot6), "6 distinct numbers 1-43, ascending, joined by \".\"");
  EXPECT_EQ(EntryFormText(Game::Lot7), "7 distinct numbers 1-37, ascending, joined by \".\"");
  EXPECT_EQ(EntryFormText(Game::Bingo5), "8 numbers joined by \".\", the i-th from 5i-4 to 5i");
}

// The games' names and ids, each in one place, and how many entries each game has.
TEST(Games, NamesIdsAndEntryCounts) {
  struct Row {
    Game game;
    const char* shown;
    const char* id;
    const char* name;
    std::size_t entries;
    int bonus, tiers;
    bool carryover;
  };
  const Row rows[] = {
      {Game::Num3, "ナンバーズ３", "numbers3", "Numbers 3", 1000, 0, 0, false},
      {Game::Num4, "ナンバーズ４", "numbers4", "Numbers 4", 10000, 0, 0, false},
      {Game::Mini, "ミニロト", "miniloto", "Mini Loto", 169911, 1, 4, false},
      {Game::Lot6, "ロト６", "loto6", "Loto 6", 6096454, 1, 5, true},
      {Game::Lot7, "ロト７", "loto7", "Loto 7", 10295472, 2, 6, true},
      {Game::Bingo5, "ビンゴ５", "bingo5", "BINGO5", 390625, 0, 0, false},
  };
  ASSERT_EQ(std::size(rows), kGames.size());
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    SCOPED_TRACE(r.id);
    EXPECT_EQ(kGames[i], r.game);  // the order every loop follows
    EXPECT_STREQ(ShownName(r.game), r.shown);
    EXPECT_STREQ(GameId(r.game), r.id);
    EXPECT_STREQ(GameName(r.game), r.name);
    EXPECT_EQ(GameById(r.id), r.game);
    EXPECT_EQ(MaxEntries(r.game), r.entries);
    EXPECT_EQ(RulesOf(r.game).bonusCount, r.bonus);
    EXPECT_EQ(RulesOf(r.game).prizeTiers, r.tiers);
    EXPECT_EQ(RulesOf(r.game).carryover, r.carryover);
    EXPECT_TRUE(IsValidEntry(RulesOf(r.game).example, r.game));
  }
  for (const char* notAnId : {"", "Numbers3", "loto", "loto66", "ロト６"}) EXPECT_EQ(GameById(notAnId), std::nullopt);
}

// A draw's date in both written forms: the header's and the draw histories'.
TEST(Dates, BothFormsWriteWhatTheyRead) {
  const std::tuple<Date, const char*, const char*> rows[] = {
      {{2026, 8, 21}, "2026年8月21日", "2026-08-21"},
      {{1994, 10, 7}, "1994年10月7日", "1994-10-07"},
      {{2024, 2, 29}, "2024年2月29日", "2024-02-29"},
      {{1, 1, 1}, "1年1月1日", "0001-01-01"},
  };
  for (const auto& [date, japanese, iso] : rows) {
    EXPECT_EQ(JapaneseDate(date), japanese);
    EXPECT_EQ(IsoDate(date), iso);
    EXPECT_EQ(ParseIsoDate(iso), date);
    if (date.year >= 1000) {
      EXPECT_EQ(ParseHeaderDate(japanese), date);
    }
  }
  for (const char* notIso : {"2026-8-21", "2026-02-30", "2025-02-29", "2026-13-01", "2026-00-10", "2026/08/21",
                             "2026-08-21 ", "+026-08-21", "2026-08-2x", "", "0000-01-01"})
    EXPECT_EQ(ParseIsoDate(notIso), std::nullopt) << notIso;
  for (const char* notHeader : {"2026年2月30日", "26年8月21日", "2026年123月1日", "2026年8月21日 ", "2026-08-21"})
    EXPECT_EQ(ParseHeaderDate(notHeader), std::nullopt) << notHeader;
  // Japan's date at a moment in UTC: midnight in Japan is 15:00 UTC the day before.
  const std::pair<std::int64_t, Date> moments[] = {
      {0, {1970, 1, 1}},           {-32400, {1970, 1, 1}},          {-32401, {1969, 12, 31}},
      {54000, {1970, 1, 2}},       {53999, {1970, 1, 1}},           {1796655600, {2026, 12, 8}},
      {1796655599, {2026, 12, 7}}, {1798729200, {2027, 1, 1}},
  };
  for (const auto& [seconds, date] : moments) EXPECT_EQ(JapanDateOf(seconds), date) << seconds;
}

TEST(ParseInt32, ReadsLikeAtoiAndSaturates) {
  EXPECT_EQ(ParseInt32(" \t+12x"), 12);
  EXPECT_EQ(ParseInt32("-0012"), -12);
  EXPECT_EQ(ParseInt32(""), 0);
  EXPECT_EQ(ParseInt32("- 1"), 0);
  EXPECT_EQ(ParseInt32("99999999999999999999"), 2147483647);
  EXPECT_EQ(ParseInt32("-99999999999999999999"), -2147483647 - 1);
  EXPECT_EQ(ParseCount("-2147483648"), 2147483648u);
}

TEST(ListPaths, BesideTheExecutableWithinTheFixedText) {
  const ListFolderEnv notInstalled{false, "/x", "/home/u"};
  const ListPaths p = ListPathsIn(ChooseListFolder("/opt/numira/bin/numira", notInstalled).folder);
  EXPECT_EQ(p[0], "/opt/numira/bin/Num3NoCorrect.txt");
  EXPECT_EQ(p[5], "/opt/numira/bin/Lot6Correct.txt");
  EXPECT_EQ(ListPathsIn(ChooseListFolder("numira", notInstalled).folder)[2], "Num3Correct.txt");

  // The longest name is 17 bytes: a directory of 494 bytes still fits in 511, 495 does not.
  const std::string fits = "/" + std::string(492, 'd') + "/";
  const ListPaths atLimit = ListPathsIn(ChooseListFolder(fits + "numira", notInstalled).folder);
  EXPECT_EQ(atLimit[0].size(), 511u);
  const ListPaths over = ListPathsIn(ChooseListFolder("/" + std::string(493, 'd') + "/numira", notInstalled).folder);
  EXPECT_TRUE(over[0].empty());
  EXPECT_FALSE(over[4].empty());  // "MiniCorrect.txt" is shorter and still fits
}

TEST(Executable, PathAndApplicationName) {
  const std::string exe = ExecutablePath();
  EXPECT_EQ(exe.substr(exe.rfind('/') + 1), "lists_test");
  EXPECT_EQ(ApplicationName(exe), "lists_test");
  EXPECT_EQ(ApplicationName("C/Numira.EXE"), "Numira");
  EXPECT_EQ(ApplicationName("numira"), "numira");
  EXPECT_EQ(ApplicationName("/x/.hidden"), ".hidden");
}

TEST(ListPaths, TableOrderAndRows) {
  EXPECT_EQ(ListRow(Game::Num3, ListKind::NoCorrect), 0);
  EXPECT_EQ(ListRow(Game::Num4, ListKind::Correct), 3);
  EXPECT_EQ(ListRow(Game::Lot6, ListKind::Correct), 5);
  EXPECT_EQ(ListRow(Game::Mini, ListKind::NoCorrect), -1);
  EXPECT_EQ(ListRow(Game::Lot7, ListKind::Correct), 6);
  EXPECT_EQ(ListRow(Game::Bingo5, ListKind::Correct), 7);
  EXPECT_EQ(ListRow(Game::Bingo5, ListKind::NoCorrect), -1);
  EXPECT_STREQ(kListFiles[6].fileName, "Lot7Correct.txt");
  EXPECT_STREQ(kListFiles[7].fileName, "Bingo5Correct.txt");
}

// ---- The real lists agree with the draw histories they were built from ----

std::optional<ListContents> Real(const char* name, ListKind kind) {
  return ReadListFile(testing::RealList(name).string(), kind);
}

TEST(RealLists, NumbersWonListsCountEveryDraw) {
  for (auto [file, csv] : {std::pair{"Num3Correct.txt", "numbers3.csv"}, std::pair{"Num4Correct.txt", "numbers4.csv"}}) {
    SCOPED_TRACE(file);
    const auto list = Real(file, ListKind::Correct);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->latestDrawDate, "2026年8月21日");
    const auto counts = testing::DrawCounts(csv);
    ASSERT_EQ(list->entries.size(), counts.size());
    ASSERT_EQ(list->counts.size(), list->entries.size());
    for (std::size_t i = 0; i < list->entries.size(); ++i)
      EXPECT_EQ(list->counts[i], counts.at(list->entries[i])) << list->entries[i];
  }
}

TEST(RealLists, NeverWonListsHoldExactlyTheUndrawnNumbers) {
  for (auto [file, csv, total] : {std::tuple{"Num3NoCorrect.txt", "numbers3.csv", 1000}, std::tuple{"Num4NoCorrect.txt", "numbers4.csv", 10000}}) {
    SCOPED_TRACE(file);
    const auto list = Real(file, ListKind::NoCorrect);
    ASSERT_TRUE(list.has_value());
    const auto drawn = testing::DrawCounts(csv);
    EXPECT_EQ(list->entries.size() + drawn.size(), static_cast<std::size_t>(total));
    for (const std::string& e : list->entries) EXPECT_EQ(drawn.count(e), 0u) << e;
  }
  EXPECT_EQ(Real("Num3NoCorrect.txt", ListKind::NoCorrect)->entries, std::vector<std::string>{"894"});
}

TEST(RealLists, LotoListsHoldEveryWinningCombinationInDrawOrder) {
  for (auto [file, csv, date] : {std::tuple{"MiniCorrect.txt", "miniloto.csv", "2025年9月23日"}, std::tuple{"Lot6Correct.txt", "loto6.csv", "2025年9月25日"}}) {
    SCOPED_TRACE(file);
    const auto list = Real(file, ListKind::Correct);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->latestDrawDate, date);
    std::vector<std::string> firstSeen;
    std::set<std::string> seen;
    for (const std::string& d : testing::DrawHistory(csv))
      if (seen.insert(d).second) firstSeen.push_back(d);
    EXPECT_EQ(list->entries, firstSeen);
    const auto counts = testing::DrawCounts(csv);
    for (std::size_t i = 0; i < list->entries.size(); ++i) EXPECT_EQ(list->counts[i], counts.at(list->entries[i]));
  }
}

}  // namespace
}  // namespace numira
