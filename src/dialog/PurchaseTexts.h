#pragma once
// The texts of the purchases window (購入記録), of its menu items and of the lines that
// tell what became of the player's tickets (UTF-8).
namespace numira::text {

inline constexpr const char* kPurchasesTitle = "購入記録";
inline constexpr const char* kPurchasesMenuItem = "購入記録(&L)...";  // L as in its shortcut, Ctrl+L
inline constexpr const char* kRecordProposalMenuItem = "この予想を購入記録へ(&R)";

// The table's columns and its accessible name.
inline constexpr const char* kGameColumn = "くじ";
inline constexpr const char* kNumbersColumn = "番号";
inline constexpr const char* kTypeColumn = "申込タイプ";
inline constexpr const char* kUnitsColumn = "口数";
inline constexpr const char* kDrawColumn = "回号";
inline constexpr const char* kSpentColumn = "購入金額";
inline constexpr const char* kResultColumn = "結果";
inline constexpr const char* kWonColumn = "当せん金額";
inline constexpr const char* kDeadlineColumn = "支払期限";
inline constexpr const char* kYearColumn = "年";
inline constexpr const char* kRecoveryColumn = "回収率";
inline constexpr const char* kPurchasesTableName = "購入記録の表";
inline constexpr const char* kTotalsTableName = "くじ別・年別の合計の表";

// The form's labels (also the controls' accessible names) and buttons.
inline constexpr const char* kDrawsLabel = "継続回数";
inline constexpr const char* kRecordButton = "記録";
inline constexpr const char* kRecordSlipButton = "購入記録へ";
inline constexpr const char* kRecordProposalButton = "予想を記録";
inline constexpr const char* kDeleteButton = "削除";
inline constexpr const char* kUndoButton = "削除を元に戻す";
inline constexpr const char* kClaimedButton = "受取済み";
inline constexpr const char* kExportButton = "書き出し...";
inline constexpr const char* kImportButton = "読み込み...";
inline constexpr const char* kSlipTitle = "申込カード";

// The table's cells. %1: a draw number; %2, %3: the first and last draw of the ticket.
inline constexpr const char* kOneDrawFormat = "第%1回";
inline constexpr const char* kDrawOfFormat = "第%1回（%2～%3）";
inline constexpr const char* kNextDrawFormat = "第%1回（%2）";
inline constexpr const char* kEstimateMark = "（予定）";
// %1: the deadline; %2: the days left, the deadline day counted.
inline constexpr const char* kDeadlineSoonFormat = "%1（あと%2日・要受取）";
inline constexpr const char* kDeadlineExpiredFormat = "%1（期限切れ）";
inline constexpr const char* kDeadlineClaimedFormat = "%1（受取済み）";
inline constexpr const char* kRecoveryFormat = "%1%";
inline constexpr const char* kNoRecovery = "－";
inline constexpr const char* kNoYear = "－";
inline constexpr const char* kCountFormat = "%1枚の記録";
inline constexpr const char* kNoPurchases = "記録はまだありません。";

// The form's refusals.
inline constexpr const char* kNoGame = "くじ：くじを選んでください。";
inline constexpr const char* kCountEmptyFormat = "%1：入力してください。";
inline constexpr const char* kCountNotNumberFormat = "%1：%2は数字ではありません。";
inline constexpr const char* kNoFirstDraw = "回号：次の回がわかりません（抽せんのデータがありません）。";

// Recording.
inline constexpr const char* kRecordedFormat = "記録しました：%1 %2";
inline constexpr const char* kNoProposal = "記録する予想がありません。";
inline constexpr const char* kEmptySlip = "申込カードに行がありません。";
inline constexpr const char* kNothingToUndo = "元に戻す削除はありません。";
inline constexpr const char* kDeleteQuestionFormat = "%1 の記録を削除しますか？";
inline constexpr const char* kRemovedFormat = "削除しました：%1";
inline constexpr const char* kRestored = "削除した記録を元に戻しました。";
inline constexpr const char* kExportedFormat = "%1 に書き出しました。";
inline constexpr const char* kImportedFormat = "%1件を読み込みました。";
// %1: the file; %2: why.
inline constexpr const char* kExportFailedFormat = "%1 に書き出せません（%2）。";
inline constexpr const char* kImportFailedFormat = "%1 を読み込めません（%2）。";
inline constexpr const char* kNoLedgerFolder = "購入記録の場所がありません（HOME が設定されていないか、書き込めないフォルダです）。";
inline constexpr const char* kCsvFilter = "CSV (*.csv)";
inline constexpr const char* kCsvFileName = "numira-purchases.csv";

}  // namespace numira::text
