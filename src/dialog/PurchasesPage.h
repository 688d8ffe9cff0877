#pragma once
// What the purchases window (購入記録) shows, as texts ready to be put on the screen: one
// row for each line of a ticket in each draw it covers, the claim deadlines that need the
// player, the totals per game and year, and the form a ticket is typed into; and the
// reading of that form, field by field. The window only shows it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CheckPage.h"
#include "Colours.h"
#include "Results.h"
#include "Schedule.h"

namespace numira {

// Where a row of the table comes from: the ticket, its line (0 = A) and the draw.
struct PurchaseRowKey {
  std::int64_t id = 0;
  int line = 0;
  std::uint32_t draw = 0;
  bool win = false;      // a win that can be marked 受取済み
  bool claimed = false;  // marked 受取済み
  TextColour colour = TextColour::Default;  // a deadline that needs the player stands out
  bool operator==(const PurchaseRowKey&) const = default;
};

// A game the form offers: its name, its ticket types (none for Loto) and the draw a new
// ticket starts with unless the player names another.
struct FormGame {
  Game game = Game::Lot6;
  std::string name;
  std::vector<std::string> types;
  std::string firstDraw;  // "2131" ("" when the game has no draws in the data)
  std::string nextDraw;   // "第2131回（2026年8月24日）", marked where it is an estimate
  bool operator==(const FormGame&) const = default;
};

struct PurchasesPage {
  // What the window says above the table: a database that cannot be used (what is wrong
  // and where the file is), the line after the latest refresh, or how many tickets there are.
  std::vector<std::string> lines;
  bool usable = false;            // false: the database cannot be used, nothing can be recorded
  CheckTable table;               // くじ, 番号, 申込タイプ, 口数, 回号, 購入金額, 結果, 当せん金額, 支払期限
  std::vector<PurchaseRowKey> keys;  // one per row of the table
  CheckTable totals;              // くじ, 年, 購入金額, 当せん金額, 回収率
  std::vector<FormGame> games;    // the form's くじ, in the window's game order
  bool operator==(const PurchasesPage&) const = default;
};

// The page of the purchases (oldest first) against each game's draws and prizes, on
// `today` (in Japan); only the games in `games` are offered in the form.
PurchasesPage BuildPurchasesPage(const std::vector<Purchase>& purchases, const AllGames& data, Date today,
                                 const std::vector<Game>& games);

// The form's games: each with its ticket types and its next draw on `today`.
std::vector<FormGame> FormGames(const AllGames& data, Date today, const std::vector<Game>& games);

// The words of a draw to come: "第2131回（2026年8月24日）", with "（予定）" where the data is
// more than a week behind and a refresh may correct it.
std::string NextDrawText(const NextDraw& next);

// The form as typed: the game's place in the page's games, the numbers, the type's place
// in the game's types, and the three counts as typed.
struct PurchaseForm {
  int game = 0;
  std::string numbers;
  int type = 0;
  std::string units = "1";
  std::string firstDraw;
  std::string draws = "1";
};

struct FormFault {
  std::string field;    // the control's name: くじ, 番号, 申込タイプ, 口数, 回号, 継続回数
  std::string message;  // "口数：1～99です。"
  bool operator==(const FormFault&) const = default;
};

// The purchase the form stands for (created is left empty), or every field's fault;
// nothing is read into a purchase unless every field is sound.
struct FormReading {
  std::optional<Purchase> purchase;
  std::vector<FormFault> faults;
};
FormReading ReadPurchaseForm(const PurchaseForm& form, const std::vector<FormGame>& games);

// The line a recorded purchase is announced with: "記録しました：ロト６ 第2131回（2026年8月24日）
// A：01 08 19 27 33 42 1口 200円".
std::string RecordedText(const Purchase& purchase, const std::vector<Draw>& draws, Date today);

// "ロト６ A：01 08 19 27 33 42": a line of a slip as the player reads it.
std::string SlipLineText(Game game, int line, const PurchaseLine& numbers);


}  // namespace numira
