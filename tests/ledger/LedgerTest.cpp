// The purchases' file: real SQLite files in scratch folders, two connections and two
// processes writing at once, a writer killed mid-transaction, damaged and newer files
// left byte for byte as they were, and CSV in and out.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "Ledger.h"
#include "LedgerModule.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

Purchase Slip(Game game, std::vector<std::string> numbers, int units = 1, std::uint32_t first = 100, int draws = 1,
              TicketType type = TicketType::Straight) {
  Purchase p;
  p.game = game;
  for (const std::string& n : numbers) p.lines.push_back({n, type});
  p.units = units;
  p.firstDraw = first;
  p.draws = draws;
  p.created = "2026-08-24 21:05";
  return p;
}

std::unique_ptr<Ledger> OpenOk(const std::string& path) {
  Ledger::Opening o = Ledger::Open(path);
  EXPECT_TRUE(o.ledger) << o.error;
  return std::move(o.ledger);
}

TEST(Ledger, KeepsPurchasesAcrossOpenings) {
  TempDir dir;
  const std::string path = dir / "sub/folder/numira.db";
  Purchase slip = Slip(Game::Lot6, {"1.8.19.27.33.42", "2.3.4.5.6.7"}, 3, 2131, 5);
  Purchase numbers = Slip(Game::Num3, {"084"}, 2, 7055, 1, TicketType::Box);
  {
    auto ledger = OpenOk(path);
    slip.id = ledger->Add(slip);
    numbers.id = ledger->Add(numbers);
    ledger->SetClaimed(slip.id, 1, 2133, true);
    ledger->SetClaimed(slip.id, 0, 2132, true);
    ledger->SetClaimed(slip.id, 0, 2132, false);
    ledger->SetClaimed(slip.id, 2, 2132, true);   // no line C
    ledger->SetClaimed(slip.id, 0, 2136, true);   // after the last draw
    ledger->SetClaimed(numbers.id + 1, 0, 7055, true);  // no such purchase
  }
  auto again = OpenOk(path);
  slip.claimed = {{1, 2133}};
  EXPECT_EQ(again->Purchases(), (std::vector<Purchase>{slip, numbers}));
}

TEST(Ledger, RefusesUnsoundPurchasesFieldByField) {
  TempDir dir;
  auto ledger = OpenOk(dir / "numira.db");
  Purchase p = Slip(Game::Lot6, {"1.8.19.27.33.42"}, 100, 0, 11);
  try {
    ledger->Add(p);
    FAIL() << "recorded";
  } catch (const LedgerError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("口数"), std::string::npos) << what;
    EXPECT_NE(what.find("回号"), std::string::npos) << what;
    EXPECT_NE(what.find("継続回数"), std::string::npos) << what;
  }
  EXPECT_THROW(ledger->Add(Slip(Game::Lot6, {"1 8 19 27 33 44"})), LedgerError);
  EXPECT_THROW(ledger->Add(Slip(Game::Lot6, {"1.2.3.4.5.6", "1.2.3.4.5.6", "1.2.3.4.5.6", "1.2.3.4.5.6",
                                             "1.2.3.4.5.6", "1.2.3.4.5.6"})),
               LedgerError);
  EXPECT_TRUE(ledger->Purchases().empty());
}

// The window opens the file through numira-ledger.so: the same file, and its refusals
// reach the window as the LedgerError they are.
TEST(Ledger, TheWindowsModuleOpensTheSameFileAndItsRefusalsCrossIntoTheProgram) {
  TempDir dir;
  const std::string path = dir / "numira.db";
  const std::string library = NUMIRA_LEDGER_LIBRARY;
  const LedgerOpener open = LedgerFromLibraryBeside(library.substr(0, library.rfind('/') + 1) + "numira");
  Purchase slip = Slip(Game::Bingo5, {"3.8.12.19.22.27.33.38"}, 2, 410, 3);
  {
    Ledger::Opening o = open(path);
    ASSERT_TRUE(o.ledger) << o.error;
    slip.id = o.ledger->Add(slip);
    EXPECT_THROW(o.ledger->Add(Slip(Game::Lot6, {"1.2.3.4.5.44"})), LedgerError);
    try {
      o.ledger->ImportCsv("くじ,番号\n", "2026-09-01 20:00");
      FAIL() << "imported";
    } catch (const LedgerError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("1行目：", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(OpenOk(path)->Purchases(), std::vector<Purchase>{slip});

  // A copy without the module: the opening says which, and makes no file.
  const Ledger::Opening none = LedgerFromLibraryBeside(dir / "bin/numira")(dir / "other.db");
  EXPECT_FALSE(none.ledger);
  EXPECT_NE(none.error.find("numira-ledger.so"), std::string::npos) << none.error;
  EXPECT_FALSE(fs::exists(dir / "other.db"));
}

TEST(Ledger, RemoveAndRestore) {
  TempDir dir;
  auto ledger = OpenOk(dir / "numira.db");
  const std::int64_t a = ledger->Add(Slip(Game::Mini, {"2.5.9.17.31"}));
  Purchase b = Slip(Game::Lot7, {"2.8.15.17.25.28.34"}, 1, 690, 2);
  b.id = ledger->Add(b);
  ledger->SetClaimed(b.id, 0, 691, true);
  const std::vector<Purchase> before = ledger->Purchases();
  const std::optional<Purchase> removed = ledger->Remove(b.id);
  ASSERT_TRUE(removed);
  EXPECT_EQ(ledger->Purchases().size(), 1u);
  EXPECT_EQ(ledger->Purchases()[0].id, a);
  EXPECT_FALSE(ledger->Remove(b.id));
  ledger->Restore(*removed);
  EXPECT_EQ(ledger->Purchases(), before);
}

// Files that must be refused and left exactly as they were.
struct BadFile {
  const char* name;
  std::function<std::string(const std::string& sound)> make;  // from a sound file's bytes
  const char* says;
};

std::string SetVersion(const std::string& bytes, int version) {
  std::string b = bytes;  // user_version: four bytes big-endian at offset 60
  b[60] = 0, b[61] = 0, b[62] = 0, b[63] = static_cast<char>(version);
  return b;
}

std::vector<BadFile> BadFiles() {
  return {
      {"truncated_half", [](const std::string& s) { return s.substr(0, s.size() / 2); }, "切れて"},
      {"truncated_header", [](const std::string& s) { return s.substr(0, 50); }, "壊れて"},
      {"empty", [](const std::string&) { return std::string(); }, "壊れて"},
      {"random_bytes",
       [](const std::string& s) {
         std::mt19937 rng(7);
         std::string b(s.size(), '\0');
         for (char& c : b) c = static_cast<char>(rng());
         return b;
       },
       "壊れて"},
      {"damaged_pages",
       [](const std::string& s) {
         std::string b = s;
         for (std::size_t i = 4096 + 8; i < b.size(); ++i) b[i] = static_cast<char>(0xA5);
         return b;
       },
       "壊れて"},
      {"newer_version", [](const std::string& s) { return SetVersion(s, kLedgerVersion + 1); }, "新しい版"},
      {"another_database", [](const std::string& s) { return SetVersion(s, 0); }, "別のデータベース"},
  };
}

class BadFileTable : public ::testing::TestWithParam<BadFile> {};
void PrintTo(const BadFile& c, std::ostream* os) { *os << c.name; }

TEST_P(BadFileTable, IsRefusedAndLeftAlone) {
  TempDir dir;
  const std::string path = dir / "numira.db";
  {
    auto ledger = OpenOk(path);
    for (int i = 0; i < 60; ++i) ledger->Add(Slip(Game::Lot6, {"1.8.19.27.33.42", "2.3.4.5.6.7"}, 1, 100 + i));
  }
  // A checkpointed, closed file: every page in the database file itself.
  ASSERT_FALSE(fs::exists(path + "-wal"));
  const std::string bytes = GetParam().make(ReadBytes(path));
  WriteBytes(path, bytes);
  Ledger::Opening o = Ledger::Open(path);
  EXPECT_FALSE(o.ledger);
  EXPECT_NE(o.error.find(GetParam().says), std::string::npos) << o.error;
  EXPECT_NE(o.error.find(path), std::string::npos) << o.error;
  EXPECT_EQ(ReadBytes(path), bytes);
  EXPECT_FALSE(fs::exists(path + "-wal") && fs::file_size(path + "-wal") > 0);
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTable, ::testing::ValuesIn(BadFiles()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ledger, VersionOneFixtureOpens) {
  // Made by the first version of this program (see the data folder); copied, since
  // opening it may write.
  TempDir dir;
  const std::string path = dir / "numira.db";
  fs::copy_file(fs::path(NUMIRA_LEDGER_FIXTURES) / "numira-v1.db", path);
  auto ledger = OpenOk(path);
  const std::vector<Purchase> all = ledger->Purchases();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].game, Game::Lot6);
  EXPECT_EQ(all[0].lines.size(), 2u);
  EXPECT_EQ(all[0].lines[1].numbers, "2.3.4.5.6.7");
  EXPECT_EQ(all[0].claimed, (std::vector<Claim>{{0, 2132}}));
  EXPECT_EQ(all[1].game, Game::Num4);
  EXPECT_EQ(all[1].lines[0].type, TicketType::Set);
}

TEST(Ledger, TwoConnectionsLoseNoUpdate) {
  TempDir dir;
  const std::string path = dir / "numira.db";
  auto first = OpenOk(path);
  auto second = OpenOk(path);
  auto write = [](Ledger* ledger, Game game) {
    for (int i = 0; i < 40; ++i) {
      const std::int64_t id = ledger->Add(Slip(game, {game == Game::Num3 ? "123" : "2.5.9.17.31"}, 1, 10, 3));
      ledger->SetClaimed(id, 0, 11, true);
    }
  };
  std::thread a(write, first.get(), Game::Num3);
  std::thread b(write, second.get(), Game::Mini);
  a.join();
  b.join();
  const std::vector<Purchase> all = OpenOk(path)->Purchases();
  ASSERT_EQ(all.size(), 80u);
  for (const Purchase& p : all) EXPECT_EQ(p.claimed.size(), 1u);
}

TEST(Ledger, TwoProcessesLoseNoUpdate) {
  TempDir dir;
  const std::string path = dir / "numira.db";
  OpenOk(path);
  std::vector<pid_t> children;
  for (int c = 0; c < 2; ++c) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Ledger::Opening o = Ledger::Open(path);
      int code = o.ledger ? 0 : 2;
      try {
        for (int i = 0; o.ledger && i < 30; ++i) o.ledger->Add(Slip(Game::Lot6, {"1.2.3.4.5.6"}, c + 1));
      } catch (...) {
        code = 3;
      }
      ::_exit(code);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  const std::vector<Purchase> all = OpenOk(path)->Purchases();
  EXPECT_EQ(all.size(), 60u);
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const Purchase& p) { return p.units == 2; }), 30);
}

TEST(Ledger, WriterKilledMidTransactionLeavesOldOrNewState) {
  for (int round = 0; round < 3; ++round) {
    TempDir dir;
    const std::string path = dir / "numira.db";
    OpenOk(path);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Ledger::Opening o = Ledger::Open(path);
      // Imports of 200 five-line slips, one transaction each, until killed.
      std::string csv = std::string(kCsvHeader) + "\n";
      for (int i = 0; i < 200; ++i)
        for (char l = 'A'; l <= 'E'; ++l) csv += std::string("loto6,1.2.3.4.5.6,,1,10,1,") + l + ",,\n";
      for (;;) o.ledger->ImportCsv(csv, "2026-08-24");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150 + 70 * round));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));

    auto ledger = OpenOk(path);
    ASSERT_TRUE(ledger);
    const std::vector<Purchase> all = ledger->Purchases();
    EXPECT_EQ(all.size() % 200, 0u) << "a transaction was cut in half";
    for (const Purchase& p : all) ASSERT_EQ(p.lines.size(), 5u);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "ok");
    sqlite3_finalize(s);
    sqlite3_close(db);
  }
}

TEST(Ledger, CsvRoundTrip) {
  TempDir dir;
  auto from = OpenOk(dir / "a.db");
  Purchase slip = Slip(Game::Lot6, {"1.8.19.27.33.42", "2.3.4.5.6.7", "10.11.12.13.14.15"}, 2, 2131, 3);
  slip.id = from->Add(slip);
  from->SetClaimed(slip.id, 2, 2133, true);
  from->SetClaimed(slip.id, 2, 2132, true);
  from->Add(Slip(Game::Num3, {"84"}, 5, 7000, 1, TicketType::Mini));
  from->Add(Slip(Game::Bingo5, {"1.9.13.17.23.28.34.40"}, 1, 484, 2));
  const std::string csv = from->ExportCsv();
  EXPECT_EQ(csv.substr(0, csv.find('\n')), "くじ,番号,申込タイプ,口数,回号,継続回数,行,受取済み,記録日時");
  EXPECT_NE(csv.find("\nloto6,10.11.12.13.14.15,,2,2131,3,C,2132 2133,2026-08-24 21:05\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("\nnumbers3,84,ミニ,5,7000,1,A,,2026-08-24 21:05\n"), std::string::npos) << csv;
  auto to = OpenOk(dir / "b.db");
  EXPECT_EQ(to->ImportCsv(csv, "x"), 3);
  std::vector<Purchase> a = from->Purchases(), b = to->Purchases();
  EXPECT_EQ(a, b);
}

struct CsvFault {
  const char* name;
  std::string csv;
  const char* says;  // the start of the message
};

std::vector<CsvFault> CsvFaults() {
  const std::string h = "くじ,番号,申込タイプ,口数,回号,継続回数\n";
  const std::string ok = "loto6,1 8 19 27 33 42,,1,2131,1\n";
  return {
      {"header", "くじ,番号\n" + ok, "1行目：見出し"},
      {"game", h + ok + "loto9,1.2.3,,1,1,1\n", "3行目：くじ"},
      {"numbers", h + ok + ok + "loto6,1.2.3.4.5.44,,1,1,1\n", "4行目：番号"},
      {"type_for_loto", h + "loto6,1.2.3.4.5.6,ボックス,1,1,1\n", "2行目：申込タイプ"},
      {"type_missing", h + "numbers4,1234,,1,1,1\n", "2行目：申込タイプ"},
      {"units", h + ok + "loto6,1.2.3.4.5.6,,100,1,1\n", "3行目：口数"},
      {"draws", h + "miniloto,1.2.3.4.5,,1,1,11\n", "2行目：継続回数"},
      {"first_draw", h + "miniloto,1.2.3.4.5,,1,0,1\n", "2行目：回号"},
      {"fields", h + "miniloto,1.2.3.4.5,,1,1\n", "2行目：欄の数"},
      {"line_letter", "くじ,番号,申込タイプ,口数,回号,継続回数,行\nloto6,1.2.3.4.5.6,,1,1,1,C\n", "2行目：行"},
      {"claim", "くじ,番号,申込タイプ,口数,回号,継続回数,行,受取済み\nloto6,1.2.3.4.5.6,,1,5,2,A,7\n", "2行目：受取済み"},
  };
}

class CsvFaultTable : public ::testing::TestWithParam<CsvFault> {};
void PrintTo(const CsvFault& c, std::ostream* os) { *os << c.name; }

TEST_P(CsvFaultTable, ImportsNothingAndNamesTheLine) {
  TempDir dir;
  auto ledger = OpenOk(dir / "numira.db");
  ledger->Add(Slip(Game::Mini, {"2.5.9.17.31"}));
  const std::vector<Purchase> before = ledger->Purchases();
  try {
    ledger->ImportCsv(GetParam().csv, "2026-08-24");
    FAIL() << "imported";
  } catch (const LedgerError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(GetParam().says, 0), 0u) << e.what();
  }
  EXPECT_EQ(ledger->Purchases(), before);
}

INSTANTIATE_TEST_SUITE_P(Lines, CsvFaultTable, ::testing::ValuesIn(CsvFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace numira
