// 購入記録 in the dialog: the page's rows, deadlines and totals against the frozen draws
// and prizes, the form's refusals, recording from a proposal, a slip, the check window and
// the form into a real SQLite file in a temporary folder, and the line after a refresh.
#include <gtest/gtest.h>

#include <memory>

#include "FakeWindow.h"
#include "FrozenGames.h"
#include "Ledger.h"
#include "PredictDlg.h"
#include "PurchaseSlip.h"
#include "PurchasesPage.h"
#include "TestData.h"

namespace numira {
namespace {

using testing::FakeClock;
using testing::FakeWindow;
using testing::TempDir;
namespace fs = std::filesystem;

// 2026-09-10 12:00 in Japan (03:00 UTC), a Thursday: Loto 6 draws that day.
constexpr std::uint32_t kSeptember10 = 1789009200;
// 2025-09-28 12:00 in Japan, a Sunday three days after the last Loto 6 draw of the data.
constexpr std::uint32_t kSeptember28 = 1759028400;

const AllGames& FrozenData() { return testing::FrozenGames(); }

Purchase Ticket(std::int64_t id, Game game, std::vector<std::string> numbers, int units, std::uint32_t first,
                int draws, TicketType type = TicketType::Straight) {
  Purchase p = testing::Slip(game, std::move(numbers), units, first, draws, type);
  p.id = id;
  return p;
}

using Row = std::vector<std::string>;

}  // namespace

void PrintTo(const FormFault& f, std::ostream* os) { *os << f.field << " | " << f.message; }

namespace {

TEST(PurchasesPage, RowsDeadlinesAndTotals) {
  // Loto 6 2036 (2025-09-22) 7.10.17.26.35.42; 2037 (2025-09-25) 7.12.20.23.27.29, 4等
  // 5,300円 a 口. Paid up to 2026-09-25: on 2026-09-10 that is 16 days, the day itself counted.
  Purchase fourth = Ticket(1, Game::Lot6, {"1 2 7 12 20 23"}, 2, 2037, 1);
  Purchase twoLines = Ticket(2, Game::Lot6, {"1 2 7 12 20 23", "1 2 3 4 5 6"}, 1, 2036, 3);
  twoLines.claimed = {{0, 2037}};
  const Date today{2026, 9, 10};
  const PurchasesPage page = BuildPurchasesPage({fourth, twoLines}, FrozenData(), today, {Game::Num3, Game::Lot6});
  EXPECT_TRUE(page.usable);
  EXPECT_EQ(page.lines, std::vector<std::string>{"2枚の記録"});
  EXPECT_EQ(page.table.columns,
            (Row{"くじ", "番号", "申込タイプ", "口数", "回号", "購入金額", "結果", "当せん金額", "支払期限"}));
  // The newest ticket first, draw by draw, line by line.
  const std::vector<Row> rows{
      {"ロト６", "A：01 02 07 12 20 23", "", "1", "第2036回（2036～2038）", "200円", "はずれ", "", ""},
      {"ロト６", "B：01 02 03 04 05 06", "", "1", "第2036回（2036～2038）", "200円", "はずれ", "", ""},
      {"ロト６", "A：01 02 07 12 20 23", "", "1", "第2037回（2036～2038）", "200円", "4等", "5,300円",
       "2026年9月25日（受取済み）"},
      {"ロト６", "B：01 02 03 04 05 06", "", "1", "第2037回（2036～2038）", "200円", "はずれ", "", ""},
      {"ロト６", "A：01 02 07 12 20 23", "", "1", "第2038回（2036～2038）", "200円", "未抽せん", "", ""},
      {"ロト６", "B：01 02 03 04 05 06", "", "1", "第2038回（2036～2038）", "200円", "未抽せん", "", ""},
      {"ロト６", "01 02 07 12 20 23", "", "2", "第2037回", "400円", "4等", "10,600円", "2026年9月25日（あと16日・要受取）"},
  };
  EXPECT_EQ(page.table.rows, rows);
  ASSERT_EQ(page.keys.size(), rows.size());
  // Only the win not received whose deadline is near stands out, in words and colour.
  for (std::size_t k = 0; k < rows.size(); ++k) {
    EXPECT_EQ(page.keys[k].colour, k == 6 ? TextColour::Red : TextColour::Default) << k;
    EXPECT_EQ(page.keys[k].win, k == 2 || k == 6) << k;
  }
  EXPECT_EQ(page.keys[2], (PurchaseRowKey{2, 0, 2037, true, true, TextColour::Default}));
  EXPECT_EQ(page.keys[6], (PurchaseRowKey{1, 0, 2037, true, false, TextColour::Red}));
  // 400 + 2 lines × 200 × 3 draws spent (the draw to come counts in 2025, its counted
  // date 2025-09-29); 10,600 + 5,300 won: 15,900 / 1,600 = 993.75 %.
  EXPECT_EQ(page.totals.columns, (Row{"くじ", "年", "購入金額", "当せん金額", "回収率"}));
  EXPECT_EQ(page.totals.rows, (std::vector<Row>{{"ロト６", "2025年", "1,600円", "15,900円", "993.8%"},
                                                {"ロト６", "全期間", "1,600円", "15,900円", "993.8%"}}));
  // The form's games, each with its types and the next draw it starts with.
  ASSERT_EQ(page.games.size(), 2u);
  EXPECT_EQ(page.games[0].name, "ナンバーズ３");
  EXPECT_EQ(page.games[0].types, (Row{"ストレート", "ボックス", "セット", "ミニ"}));
  EXPECT_EQ(page.games[1].types, Row{});
  // Counted along Mondays and Thursdays from 2025-09-25, the New Year left out: 2136 on
  // the day itself, an estimate with the data a year behind.
  EXPECT_EQ(page.games[1].firstDraw, "2136");
  EXPECT_EQ(page.games[1].nextDraw, "第2136回（2026年9月10日）（予定）");
  EXPECT_EQ(page.games[0].nextDraw, "第7068回（2026年9月10日）（予定）");
}

TEST(PurchasesPage, DeadlinePassedAndYearsApart) {
  // A year later the same win is past its deadline (words, no colour: nothing to do now).
  const Purchase fourth = Ticket(1, Game::Lot6, {"1 2 7 12 20 23"}, 1, 2037, 1);
  const PurchasesPage page = BuildPurchasesPage({fourth}, FrozenData(), Date{2026, 9, 26}, {Game::Lot6});
  ASSERT_EQ(page.table.rows.size(), 1u);
  EXPECT_EQ(page.table.rows[0][8], "2026年9月25日（期限切れ）");
  EXPECT_EQ(page.keys[0].colour, TextColour::Default);
  // A Numbers ticket over the New Year: 2025 and 2026 apart, each with its 回収率.
  const Purchase n3 = Ticket(2, Game::Num3, {"286"}, 1, 7054, 1, TicketType::Box);
  const PurchasesPage both = BuildPurchasesPage({fourth, n3}, FrozenData(), Date{2026, 9, 26}, {Game::Lot6});
  // 7054 (2026-08-21) 286 straight order: a box of 286 wins ボックス.
  EXPECT_EQ(both.table.rows[0][2], "ボックス");
  EXPECT_EQ(both.totals.rows.size(), 4u);
  EXPECT_EQ(both.totals.rows[0][0], "ナンバーズ３");
  EXPECT_EQ(both.totals.rows[0][1], "2026年");
  EXPECT_EQ(both.totals.rows[2], (Row{"ロト６", "2025年", "200円", "5,300円", "2650.0%"}));
  // Nothing spent: no 回収率.
  EXPECT_EQ(BuildPurchasesPage({}, FrozenData(), Date{2026, 9, 26}, {}).lines, Row{"記録はまだありません。"});
}

struct FormCase {
  const char* name;
  PurchaseForm form;
  std::vector<FormFault> faults;  // none: the form is read
};

std::vector<FormCase> FormCases() {
  // The page's games: ナンバーズ３ (0), ロト６ (1).
  auto loto = [](std::string numbers, std::string units, std::string first, std::string draws) {
    return PurchaseForm{1, std::move(numbers), 0, std::move(units), std::move(first), std::move(draws)};
  };
  return {
      {"sound", loto("1 2 3 4 5 6", "2", "2140", "3"), {}},
      {"full_width_counts", loto("1,2,3,4,5,6", "２", "２１４０", "１０"), {}},
      {"numbers_empty", loto("", "1", "2140", "1"), {{"番号", "番号：番号がありません。"}}},
      {"numbers_short", loto("1 2 3", "1", "2140", "1"), {{"番号", "番号：数字6個です（3個）。"}}},
      {"numbers_repeated", loto("1 1 2 3 4 5", "1", "2140", "1"), {{"番号", "番号：1 が2回入っています。"}}},
      {"units_zero", loto("1 2 3 4 5 6", "0", "2140", "1"), {{"口数", "口数：1～99です。"}}},
      {"units_hundred", loto("1 2 3 4 5 6", "100", "2140", "1"), {{"口数", "口数：1～99です。"}}},
      {"units_huge", loto("1 2 3 4 5 6", "99999999999999", "2140", "1"), {{"口数", "口数：1～99です。"}}},
      {"units_empty", loto("1 2 3 4 5 6", " ", "2140", "1"), {{"口数", "口数：入力してください。"}}},
      {"units_word", loto("1 2 3 4 5 6", "abc", "2140", "1"), {{"口数", "口数：「abc」は数字ではありません。"}}},
      {"units_negative", loto("1 2 3 4 5 6", "-1", "2140", "1"), {{"口数", "口数：「-1」は数字ではありません。"}}},
      {"first_draw_zero", loto("1 2 3 4 5 6", "1", "0", "1"), {{"回号", "回号：1以上です。"}}},
      {"draws_eleven", loto("1 2 3 4 5 6", "1", "2140", "11"), {{"継続回数", "継続回数：1～10です。"}}},
      {"draws_zero", loto("1 2 3 4 5 6", "1", "2140", "0"), {{"継続回数", "継続回数：1～10です。"}}},
      {"every_field_at_once",
       loto("1 2", "0", "x", ""),
       {{"番号", "番号：数字6個です（2個）。"},
        {"口数", "口数：1～99です。"},
        {"回号", "回号：「x」は数字ではありません。"},
        {"継続回数", "継続回数：入力してください。"}}},
      {"no_game", PurchaseForm{5, "123", 0, "1", "7060", "1"}, {{"くじ", "くじ：くじを選んでください。"}}},
      {"numbers_box_of_one_digit", PurchaseForm{0, "111", 1, "1", "7060", "1"},
       {{"番号", "番号：同じ数字だけの番号はボックス・セットで申し込めません。"}}},
      {"numbers_mini", PurchaseForm{0, "12", 3, "1", "7060", "1"}, {}},
      {"numbers_no_type", PurchaseForm{0, "123", -1, "1", "7060", "1"},
       {{"申込タイプ", "申込タイプ：申込タイプを選んでください。"}}},
  };
}

class FormTable : public ::testing::TestWithParam<FormCase> {};

TEST_P(FormTable, RefusedFieldByField) {
  const FormCase& c = GetParam();
  const std::vector<FormGame> games = BuildPurchasesPage({}, FrozenData(), Date{2026, 9, 10}, {Game::Num3, Game::Lot6}).games;
  const FormReading r = ReadPurchaseForm(c.form, games);
  EXPECT_EQ(r.faults, c.faults);
  EXPECT_EQ(r.purchase.has_value(), c.faults.empty());
}

INSTANTIATE_TEST_SUITE_P(Form, FormTable, ::testing::ValuesIn(FormCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PurchasesPage, FormReadsWhatWasTyped) {
  const std::vector<FormGame> games = BuildPurchasesPage({}, FrozenData(), Date{2026, 9, 10}, {Game::Num3, Game::Lot6}).games;
  const FormReading loto = ReadPurchaseForm(PurchaseForm{1, "43 1 22 8 9 10", 0, "２", "2140", "3"}, games);
  ASSERT_TRUE(loto.purchase);
  EXPECT_EQ(loto.purchase->game, Game::Lot6);
  EXPECT_EQ(loto.purchase->lines, (std::vector<PurchaseLine>{{"1.8.9.10.22.43", TicketType::Straight}}));
  EXPECT_EQ(loto.purchase->units, 2);
  EXPECT_EQ(loto.purchase->firstDraw, 2140u);
  EXPECT_EQ(loto.purchase->draws, 3);
  const FormReading mini = ReadPurchaseForm(PurchaseForm{0, "34", 3, "1", "7060", "1"}, games);
  ASSERT_TRUE(mini.purchase);
  EXPECT_EQ(mini.purchase->lines[0].type, TicketType::Mini);
}

// ---- The dialog, on a real database file beside the executable of a copy not installed ----

class Purchases : public ::testing::Test {
 protected:
  void Open(std::uint32_t seconds = kSeptember10) {
    dir.CopyRealLists();
    for (const char* folder : {"draws", "prizes"}) {
      fs::create_directory(dir.path() / folder);
      for (const auto& e : fs::directory_iterator(folder == std::string("draws") ? NUMIRA_DRAWS_DIR : NUMIRA_PRIZES_DIR))
        fs::copy_file(e.path(), dir.path() / folder / e.path().filename());
    }
    clock.seconds = seconds;
    DialogSetup setup{dir.Executable(), "127.0.0.1:9"};
    setup.openLedger = &Ledger::Open;
    dlg = std::make_unique<CPredictDlg>(window, clock, std::move(setup));
    window.dialog = dlg.get();
    ASSERT_TRUE(dlg->OnInitDialog());
  }
  void RollToProposal(Game g) {
    dlg->OnPredict(g);
    window.RunFor(55);
    dlg->OnPredict(g);
    ASSERT_TRUE(window.RunUntilIdle());
  }
  // The tickets as the file holds them, read by a connection of its own.
  std::vector<Purchase> Stored() const {
    Ledger::Opening o = Ledger::Open(dir / "numira.db");
    EXPECT_TRUE(o.ledger) << o.error;
    return o.ledger ? o.ledger->Purchases() : std::vector<Purchase>{};
  }
  TempDir dir;
  FakeWindow window;
  FakeClock clock;
  std::unique_ptr<CPredictDlg> dlg;
};

TEST_F(Purchases, StartUpLeavesTheDatabaseAlone) {
  Open();
  RollToProposal(Game::Lot6);
  dlg->OnCopy();
  // Neither start-up nor a roll opens (or creates) the database; the window opens it.
  EXPECT_FALSE(fs::exists(dir / "numira.db"));
  EXPECT_FALSE(dlg->LedgerOpen());
  EXPECT_EQ(dlg->LedgerPath(), dir / "numira.db");
  dlg->OnPurchases();
  EXPECT_EQ(window.purchasesShown, 1);
  const PurchasesPage page = dlg->Purchases();
  EXPECT_TRUE(page.usable);
  EXPECT_TRUE(fs::exists(dir / "numira.db"));
}

TEST_F(Purchases, RecordsFromAProposalTheCheckAndTheForm) {
  Open();
  RollToProposal(Game::Lot6);
  const std::string proposal = dlg->LastProposal(Game::Lot6);
  const RecordOutcome fromProposal = dlg->OnRecordProposal(Game::Lot6);
  ASSERT_TRUE(fromProposal.recorded) << fromProposal.line;
  EXPECT_EQ(window.purchasesShown, 1);  // the player sees the new ticket
  EXPECT_EQ(fromProposal.line.rfind("記録しました：ロト６ 第2136回（2026年9月10日）（予定） A：", 0), 0u) << fromProposal.line;
  EXPECT_NE(fromProposal.line.find(" 1口"), std::string::npos);

  const RecordOutcome fromCheck = dlg->OnRecordChecked(Game::Num3, "4 5 6", 1);
  ASSERT_TRUE(fromCheck.recorded) << fromCheck.line;
  EXPECT_EQ(fromCheck.line, "記録しました：ナンバーズ３ 第7068回（2026年9月10日）（予定） A：456 ボックス 1口");
  const RecordOutcome badCheck = dlg->OnRecordChecked(Game::Num3, "45", 0);
  EXPECT_FALSE(badCheck.recorded);
  EXPECT_EQ(badCheck.line, "番号：3桁の数字です（2桁）。");

  // The form: the page's games are the panels' (ロト６ is the fourth).
  const RecordOutcome typed = dlg->OnRecordTyped(PurchaseForm{3, "1 2 3 4 5 6", 0, "3", "2037", "2"});
  ASSERT_TRUE(typed.recorded) << typed.line;
  EXPECT_EQ(typed.line, "記録しました：ロト６ 第2037回（2025年9月25日）～第2038回 A：01 02 03 04 05 06 3口");
  const RecordOutcome refused = dlg->OnRecordTyped(PurchaseForm{3, "1 2 3 4 5 6", 0, "0", "2037", "2"});
  EXPECT_FALSE(refused.recorded);
  EXPECT_EQ(refused.faults, (std::vector<FormFault>{{"口数", "口数：1～99です。"}}));

  // All three in the file, as recorded; the refused one nowhere.
  const std::vector<Purchase> stored = Stored();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0].game, Game::Lot6);
  EXPECT_EQ(stored[0].lines, (std::vector<PurchaseLine>{*ReadLine(proposal, Game::Lot6, TicketType::Straight).line}));
  EXPECT_EQ(stored[0].firstDraw, 2136u);
  EXPECT_EQ(stored[0].created, "2026-12-07 20:31");  // the fake clock's local time
  EXPECT_EQ(stored[1].lines, (std::vector<PurchaseLine>{{"456", TicketType::Box}}));
  EXPECT_EQ(stored[2].units, 3);
  EXPECT_EQ(stored[2].draws, 2);
  // The page shows them: 1 + 1 + 2 draws.
  EXPECT_EQ(dlg->Purchases().table.rows.size(), 4u);
}

TEST_F(Purchases, NoProposalNothingRecorded) {
  Open();
  const RecordOutcome none = dlg->OnRecordProposal(Game::Mini);
  EXPECT_FALSE(none.recorded);
  EXPECT_EQ(none.line, "記録する予想がありません。");
  EXPECT_FALSE(fs::exists(dir / "numira.db"));
}

TEST_F(Purchases, SlipOfFiveLinesStartsOverAtA) {
  Open();
  std::vector<std::string> proposals;
  for (int k = 0; k < 6; ++k) {
    RollToProposal(Game::Lot6);
    proposals.push_back(dlg->LastProposal(Game::Lot6));
  }
  RollToProposal(Game::Num3);
  const std::vector<SlipView> slips = dlg->Slips();
  ASSERT_EQ(slips.size(), 2u);  // panel order: ナンバーズ３, then ロト６
  EXPECT_EQ(slips[0].game, Game::Num3);
  EXPECT_EQ(slips[0].lines, std::vector<std::string>{"ナンバーズ３ A：" + dlg->LastProposal(Game::Num3)});
  const SlipView& loto = slips[1];
  EXPECT_EQ(loto.title, "ロト６ 第2136回（2026年9月10日）（予定）");
  ASSERT_EQ(loto.lines.size(), 5u);
  // The sixth stop took line A's place; B to E are the second to fifth.
  const std::vector<std::string> letters{"A", "B", "C", "D", "E"};
  for (std::size_t k = 0; k < 5; ++k) {
    const std::string& p = proposals[k == 0 ? 5 : k];
    EXPECT_EQ(loto.lines[k], "ロト６ " + letters[k] + "：" + ShownNumbers(p, Game::Lot6));
  }
  dlg->OnCopySlip(Game::Lot6);
  EXPECT_EQ(window.clipboard, loto.title + "\n" + loto.lines[0] + "\n" + loto.lines[1] + "\n" + loto.lines[2] + "\n" +
                                  loto.lines[3] + "\n" + loto.lines[4]);
  const RecordOutcome slip = dlg->OnRecordSlip(Game::Lot6);
  ASSERT_TRUE(slip.recorded) << slip.line;
  const std::vector<Purchase> stored = Stored();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].lines.size(), 5u);
  EXPECT_EQ(stored[0].lines[0].numbers, proposals[5]);
  EXPECT_FALSE(dlg->OnRecordSlip(Game::Mini).recorded);  // no slip yet
}

TEST_F(Purchases, RemoveUndoClaimExportImport) {
  Open();
  ASSERT_TRUE(dlg->OnRecordTyped(PurchaseForm{3, "1 2 7 12 20 23", 0, "1", "2037", "1"}).recorded);
  ASSERT_TRUE(dlg->OnRecordTyped(PurchaseForm{0, "286", 0, "1", "7054", "1"}).recorded);
  std::vector<Purchase> stored = Stored();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(dlg->OnRemovePurchase(stored[0].id), "削除しました：ロト６ 第2037回");
  EXPECT_EQ(Stored().size(), 1u);
  EXPECT_TRUE(dlg->CanUndoRemove());
  EXPECT_EQ(dlg->OnUndoRemove(), "削除した記録を元に戻しました。");
  EXPECT_EQ(Stored(), stored);
  EXPECT_EQ(dlg->OnUndoRemove(), "元に戻す削除はありません。");
  // A removal is undone only while the window is open.
  dlg->OnRemovePurchase(stored[1].id);
  dlg->OnPurchasesClosed();
  EXPECT_FALSE(dlg->CanUndoRemove());
  EXPECT_EQ(Stored().size(), 1u);

  dlg->OnSetClaimed(stored[0].id, 0, 2037, true);
  EXPECT_EQ(Stored()[0].claimed, (std::vector<Claim>{{0, 2037}}));
  EXPECT_EQ(dlg->Purchases().table.rows[0][8], "2026年9月25日（受取済み）");

  const std::string csv = dir / "out.csv";
  const RecordOutcome exported = dlg->OnExportPurchases(csv);
  ASSERT_TRUE(exported.recorded) << exported.line;
  const std::string bytes = testing::ReadBytes(csv);
  EXPECT_EQ(bytes.rfind("くじ,番号,申込タイプ,口数,回号,継続回数", 0), 0u);
  EXPECT_NE(bytes.find("\nloto6,1.2.7.12.20.23,,1,2037,1,"), std::string::npos) << bytes;
  // Read back: one more ticket, the same.
  const RecordOutcome imported = dlg->OnImportPurchases(csv);
  ASSERT_TRUE(imported.recorded) << imported.line;
  EXPECT_EQ(imported.line, "1件を読み込みました。");
  ASSERT_EQ(Stored().size(), 2u);
  // A bad line anywhere: nothing is added, and the line is named.
  testing::WriteBytes(dir / "bad.csv", bytes + "loto6,1.2.3,,1,2037,1,A,,\n");
  const RecordOutcome bad = dlg->OnImportPurchases(dir / "bad.csv");
  EXPECT_FALSE(bad.recorded);
  EXPECT_NE(bad.line.find("3行目"), std::string::npos) << bad.line;
  EXPECT_EQ(Stored().size(), 2u);
  const RecordOutcome missing = dlg->OnImportPurchases(dir / "none.csv");
  EXPECT_FALSE(missing.recorded);
  EXPECT_NE(missing.line.find("none.csv を読み込めません"), std::string::npos) << missing.line;
  const RecordOutcome unwritable = dlg->OnExportPurchases((dir.path() / "no-folder" / "out.csv").string());
  EXPECT_FALSE(unwritable.recorded);
}

TEST_F(Purchases, DamagedDatabaseIsNamedAndLeftAlone) {
  const std::string junk = "this is not a database, but the player's file all the same\n";
  testing::WriteBytes(dir / "numira.db", junk);
  Open();
  RollToProposal(Game::Lot6);
  const PurchasesPage page = dlg->Purchases();
  EXPECT_FALSE(page.usable);
  ASSERT_EQ(page.lines.size(), 1u);
  EXPECT_NE(page.lines[0].find(dir / "numira.db"), std::string::npos) << page.lines[0];
  EXPECT_TRUE(page.table.rows.empty());
  const RecordOutcome refused = dlg->OnRecordProposal(Game::Lot6);
  EXPECT_FALSE(refused.recorded);
  EXPECT_EQ(refused.line, page.lines[0]);
  EXPECT_FALSE(dlg->OnRecordTyped(PurchaseForm{3, "1 2 3 4 5 6", 0, "1", "2037", "1"}).recorded);
  EXPECT_EQ(testing::ReadBytes(dir / "numira.db"), junk);
  EXPECT_FALSE(fs::exists(dir / "numira.db-wal"));
  // The rest of the program goes on.
  dlg->OnCopy();
  EXPECT_FALSE(window.clipboard.empty());
}

// A refresh that brought Loto 6 draw 2038 (2025-09-29, 1.2.3.4.5.6): the tickets covering
// it are checked, and the window says what came of them in one line.
class AfterRefresh : public Purchases {
 protected:
  void Refresh() {
    window.holdRefresh = true;
    dlg->OnDownload();
    const std::string path = (dir.path() / "draws" / "loto6.csv").string();
    testing::WriteBytes(path, testing::ReadBytes(path) + "2038,2025-09-29,1.2.3.4.5.6\n");
    RefreshReport report;
    for (ListResult& r : report.lists) r.outcome = ListOutcome::NotModified;
    report.extras = {ExtraOutcome::Refreshed};
    window.pendingRefresh.reset();
    dlg->OnRefreshDone(report);
  }
};

TEST_F(AfterRefresh, TellsTheWins) {
  Open(kSeptember28);
  ASSERT_TRUE(dlg->OnRecordTyped(PurchaseForm{3, "1 2 3 4 40 41", 0, "1", "", "1"}).recorded);  // 4 of 6: 4等
  ASSERT_TRUE(dlg->OnRecordTyped(PurchaseForm{3, "10 11 12 13 14 15", 0, "2", "2037", "2"}).recorded);
  ASSERT_TRUE(dlg->OnRecordTyped(PurchaseForm{3, "7 12 20 23 30 31", 0, "1", "2037", "1"}).recorded);  // 2037 only
  window.purchasesChanges = 0;
  Refresh();
  const std::string line = "購入記録：ロト６ 第2038回 4等 1口（金額未発表）";
  EXPECT_EQ(window.Text(ctl::kNotice), line);
  EXPECT_EQ(window.toolTips[ctl::kNotice], line);
  EXPECT_EQ(dlg->PurchasesNews(), line);
  EXPECT_EQ(dlg->Purchases().lines.front(), line);
  EXPECT_GT(window.purchasesChanges, 0);
}

TEST_F(AfterRefresh, TellsNoWinsWithTheCount) {
  Open(kSeptember28);
  // The form's first draw is the next one: 2038, counted from 2037 on 2025-09-25.
  EXPECT_EQ(dlg->Purchases().games[3].firstDraw, "2038");
  EXPECT_EQ(dlg->Purchases().games[3].nextDraw, "第2038回（2025年9月29日）");
  ASSERT_TRUE(dlg->OnRecordTyped(PurchaseForm{3, "10 11 12 13 14 15", 0, "1", "", "1"}).recorded);
  ASSERT_TRUE(dlg->OnRecordTyped(PurchaseForm{3, "20 21 22 23 24 25", 0, "1", "2036", "3"}).recorded);
  Refresh();
  EXPECT_EQ(window.Text(ctl::kNotice), "購入記録：当せんなし（2枚）");
}

TEST_F(AfterRefresh, SaysNothingWithoutTickets) {
  Open(kSeptember28);
  const std::string notice = window.Text(ctl::kNotice);
  Refresh();
  EXPECT_EQ(window.Text(ctl::kNotice), notice);
  EXPECT_FALSE(fs::exists(dir / "numira.db"));  // a refresh creates no database
}

}  // namespace
}  // namespace numira
