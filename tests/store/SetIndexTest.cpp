// The index of a published set: SHA-256 against known digests, the format written and
// read back, every malformed index refused with its line, and a folder compared with
// its index.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetIndex.h"
#include "TestData.h"

namespace numira {
namespace {

using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

// Digests from the SHA-256 standard's examples.
TEST(SetIndex, Sha256OfKnownBytes) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

const std::string kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kEmpty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

// An index as the format writes it, literally.
const std::string kIndex = "numira-set-index 1\nset 000042\nbuilt 2026-12-07T19:45:05Z\n"
                           "file 3 " + kAbc + " Lot6Correct.txt\n"
                           "file 0 " + kEmpty + " draws/loto6.csv\n";

TEST(SetIndex, IsReadAndWrittenByteForByte) {
  std::string error = "stale";
  const std::optional<SetIndex> index = ParseSetIndex(kIndex, &error);
  ASSERT_TRUE(index) << error;
  EXPECT_EQ(error, "");
  EXPECT_EQ(index->number, 42u);
  EXPECT_EQ(index->built, "2026-12-07T19:45:05Z");
  EXPECT_EQ(index->files, (std::vector<SetIndexFile>{{"Lot6Correct.txt", 3, kAbc}, {"draws/loto6.csv", 0, kEmpty}}));
  EXPECT_EQ(FormatSetIndex(*index), kIndex);
  EXPECT_EQ(DescribeSetFile("Lot6Correct.txt", "abc"), index->files[0]);
  EXPECT_TRUE(MatchesSetFile(index->files[0], "abc"));
  EXPECT_FALSE(MatchesSetFile(index->files[0], "abd"));
  EXPECT_FALSE(MatchesSetFile(index->files[0], "abcd"));
  EXPECT_EQ(UtcTimeText(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(UtcTimeText(1796672705), "2026-12-07T19:45:05Z");
  EXPECT_EQ(SetNumberText(42), "000042");
  // A set of no files is an index all the same.
  EXPECT_TRUE(ParseSetIndex("numira-set-index 1\nset 999999\nbuilt 2024-02-29T23:59:59Z\n"));
}

struct BadIndexCase {
  const char* name;
  std::string bytes;
  std::string error;  // ParseSetIndex's reason, exactly
};

std::string Head() { return "numira-set-index 1\nset 000042\nbuilt 2026-12-07T19:45:05Z\n"; }
std::string FileLine(const std::string& rest) { return "file " + rest + "\n"; }

std::vector<BadIndexCase> BadIndexCases() {
  const std::string abc = " " + kAbc + " ";
  return {
      {"empty", "", "line 0: does not end with a line end (LF)"},
      {"no_last_line_end", Head() + "file 3" + abc + "a.txt", "line 0: does not end with a line end (LF)"},
      {"too_large", std::string(kMaxSetIndexBytes + 1, '\n'), "line 0: larger than 262144 bytes"},
      {"other_format", "numira-set-index 2\nset 000042\nbuilt 2026-12-07T19:45:05Z\n", "line 1: not \"numira-set-index 1\""},
      {"html_instead", "<html>\n", "line 1: not \"numira-set-index 1\""},
      {"crlf", "numira-set-index 1\r\nset 000042\r\n", "line 1: a control character (lines end in LF alone)"},
      {"nul_in_a_path", Head() + FileLine("3" + abc + std::string("a\0b", 3)), "line 4: a control character (lines end in LF alone)"},
      {"only_the_format", "numira-set-index 1\n", "line 1: the index ends before its set number and build time"},
      {"set_of_five_digits", "numira-set-index 1\nset 00042\n", "line 2: not \"set NNNNNN\" (six digits, 000001 to 999999)"},
      {"set_zero", "numira-set-index 1\nset 000000\n", "line 2: not \"set NNNNNN\" (six digits, 000001 to 999999)"},
      {"set_signed", "numira-set-index 1\nset +00042\n", "line 2: not \"set NNNNNN\" (six digits, 000001 to 999999)"},
      {"set_seven_digits", "numira-set-index 1\nset 0000042\n", "line 2: not \"set NNNNNN\" (six digits, 000001 to 999999)"},
      {"no_set", "numira-set-index 1\nbuilt 2026-12-07T19:45:05Z\n", "line 2: not \"set NNNNNN\" (six digits, 000001 to 999999)"},
      {"built_local_time", "numira-set-index 1\nset 000042\nbuilt 2026-12-07T19:45:05+09:00\n", "line 3: not \"built YYYY-MM-DDTHH:MM:SSZ\""},
      {"built_february_30", "numira-set-index 1\nset 000042\nbuilt 2026-02-30T19:45:05Z\n", "line 3: not \"built YYYY-MM-DDTHH:MM:SSZ\""},
      {"built_hour_24", "numira-set-index 1\nset 000042\nbuilt 2026-12-07T24:00:00Z\n", "line 3: not \"built YYYY-MM-DDTHH:MM:SSZ\""},
      {"built_missing", "numira-set-index 1\nset 000042\n\n", "line 3: not \"built YYYY-MM-DDTHH:MM:SSZ\""},
      {"a_blank_line", Head() + "\n", "line 4: not \"file SIZE SHA256 PATH\""},
      {"size_negative", Head() + FileLine("-3" + abc + "a.txt"), "line 4: the size is not a number of bytes up to 4294967296"},
      {"size_leading_zero", Head() + FileLine("03" + abc + "a.txt"), "line 4: the size is not a number of bytes up to 4294967296"},
      {"size_too_large", Head() + FileLine("4294967297" + abc + "a.txt"), "line 4: the size is not a number of bytes up to 4294967296"},
      {"size_overflowing", Head() + FileLine("99999999999999999999999" + abc + "a.txt"), "line 4: the size is not a number of bytes up to 4294967296"},
      {"size_missing", Head() + FileLine(""), "line 4: the size is not a number of bytes up to 4294967296"},
      {"two_spaces", Head() + FileLine("3 " + abc + "a.txt"), "line 4: the SHA-256 is not 64 lower-case hex digits followed by a space"},
      {"digest_upper_case", Head() + FileLine("3 BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD a.txt"), "line 4: the SHA-256 is not 64 lower-case hex digits followed by a space"},
      {"digest_short", Head() + FileLine("3 " + kAbc.substr(1) + " a.txt"), "line 4: the SHA-256 is not 64 lower-case hex digits followed by a space"},
      {"digest_long", Head() + FileLine("3 " + kAbc + "0 a.txt"), "line 4: the SHA-256 is not 64 lower-case hex digits followed by a space"},
      {"no_path", Head() + FileLine("3" + abc), "line 4: the SHA-256 is not 64 lower-case hex digits followed by a space"},
      {"path_up", Head() + FileLine("3" + abc + "../etc/passwd"), "line 4: not a path of a file of a set"},
      {"path_absolute", Head() + FileLine("3" + abc + "/etc/passwd"), "line 4: not a path of a file of a set"},
      {"path_hidden", Head() + FileLine("3" + abc + "draws/.x"), "line 4: not a path of a file of a set"},
      {"path_empty_part", Head() + FileLine("3" + abc + "draws//x"), "line 4: not a path of a file of a set"},
      {"path_trailing_slash", Head() + FileLine("3" + abc + "draws/"), "line 4: not a path of a file of a set"},
      {"path_with_a_space", Head() + FileLine("3" + abc + "a b.txt"), "line 4: not a path of a file of a set"},
      {"path_backslash", Head() + FileLine("3" + abc + "a\\b"), "line 4: not a path of a file of a set"},
      {"path_not_ascii", Head() + FileLine("3" + abc + "\xE3\x83\xAD.txt"), "line 4: not a path of a file of a set"},
      {"path_too_long", Head() + FileLine("3" + abc + std::string(101, 'a')), "line 4: not a path of a file of a set"},
      {"lists_itself", Head() + FileLine("3" + abc + "index.txt"), "line 4: the index lists itself"},
      {"listed_twice", Head() + FileLine("3" + abc + "a.txt") + FileLine("3" + abc + "a.txt"), "line 5: a path listed twice"},
      {"out_of_order", Head() + FileLine("3" + abc + "b.txt") + FileLine("3" + abc + "a.txt"), "line 5: paths out of order"},
      {"upper_case_sorts_first", Head() + FileLine("3" + abc + "a.txt") + FileLine("3" + abc + "B.txt"), "line 5: paths out of order"},
      {"a_word_after", Head() + "end\n", "line 4: not \"file SIZE SHA256 PATH\""},
  };
}

class BadIndex : public ::testing::TestWithParam<BadIndexCase> {};
void PrintTo(const BadIndexCase& c, std::ostream* os) { *os << c.name; }

TEST_P(BadIndex, IsRefusedWithItsLine) {
  std::string error;
  EXPECT_FALSE(ParseSetIndex(GetParam().bytes, &error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadIndex, ::testing::ValuesIn(BadIndexCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SetIndex, ReadsNoMoreFilesThanItsBound) {
  std::string many = Head();
  for (std::size_t i = 0; i <= kMaxSetIndexFiles; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%05zu", i);
    many += FileLine("3 " + kAbc + " " + name);
  }
  ASSERT_LE(many.size(), kMaxSetIndexBytes);
  std::string error;
  EXPECT_FALSE(ParseSetIndex(many, &error));
  EXPECT_EQ(error, "line 2004: more than 2000 files");
  many.resize(many.rfind("file "));
  EXPECT_TRUE(ParseSetIndex(many, &error)) << error;
}

struct FolderCase {
  const char* name;
  void (*change)(const fs::path& set);
  std::vector<std::string> problems;
};

std::vector<FolderCase> FolderCases() {
  return {
      {"as_listed", [](const fs::path&) {}, {}},
      {"index_itself_aside", [](const fs::path& s) { WriteBytes(s / "index.txt", "anything"); }, {}},
      {"other_size", [](const fs::path& s) { WriteBytes(s / "Lot6Correct.txt", "abcd"); },
       {"Lot6Correct.txt: 4 bytes, index.txt lists 3"}},
      {"other_bytes", [](const fs::path& s) { WriteBytes(s / "Lot6Correct.txt", "abd"); },
       {"Lot6Correct.txt: other bytes than index.txt lists (SHA-256 "
        "a52d159f262b2c6ddb724a61840befc36eb30c88877a4030b65cbe86298449c9, listed " + kAbc + ")"}},
      {"missing", [](const fs::path& s) { fs::remove(s / "draws/loto6.csv"); }, {"draws/loto6.csv: listed in index.txt, missing"}},
      {"extra", [](const fs::path& s) { WriteBytes(s / "draws/loto7.csv", ""); }, {"draws/loto7.csv: not listed in index.txt"}},
      {"a_link_in_its_place",
       [](const fs::path& s) {
         fs::rename(s / "Lot6Correct.txt", s / "real");
         fs::create_symlink("real", s / "Lot6Correct.txt");
       },
       {"Lot6Correct.txt: not a regular file", "real: not listed in index.txt"}},
  };
}

class Folder : public ::testing::TestWithParam<FolderCase> {};
void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

TEST_P(Folder, AgreesWithItsIndexOrNamesEachDifference) {
  TempDir set;
  fs::create_directory(set.path() / "draws");
  WriteBytes(set.path() / "Lot6Correct.txt", "abc");
  WriteBytes(set.path() / "draws/loto6.csv", "");
  GetParam().change(set.path());
  EXPECT_EQ(CompareSetFolder(*ParseSetIndex(kIndex), set.path().string()), GetParam().problems);
}

INSTANTIATE_TEST_SUITE_P(Changes, Folder, ::testing::ValuesIn(FolderCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace numira
