#pragma once
// What the check window (当せん照合) shows for one game, as texts ready to be put on the
// screen: every draw newest first, the ticket's field and choices, and the outcome of a
// check. The window only shows it.
#include <string>
#include <vector>

#include "DrawHistory.h"
#include "Game.h"

namespace numira {

struct CheckTable {
  std::string name;  // the table's accessible name
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  bool operator==(const CheckTable&) const = default;
};

struct CheckPage {
  Game game = Game::Num3;
  std::string tabName;
  bool hasData = false;            // without draws, the line says so and the table is empty
  std::vector<std::string> lines;  // the no-data message, or none
  CheckTable draws;                // 回号, 抽選日, 当せん番号 (, ボーナス数字)
  std::string ticketLabel;         // also the field's accessible name
  std::string ticket;              // prefilled: the game's last proposal, as a person types it
  std::string typeLabel;
  std::vector<std::string> types;  // the ticket types on offer (none for the Loto games)
  std::string checkButton;
  bool operator==(const CheckPage&) const = default;
};

// The outcome of one press of 照合.
struct CheckOutcome {
  bool refused = false;            // a bad ticket: lines holds what is wrong, nothing else
  std::vector<std::string> lines;  // the latest draw's line and the count of past wins
  CheckTable wins;                 // 回号, 抽選日, 等級: every draw it won, newest first
  bool operator==(const CheckOutcome&) const = default;
};

// The page of a game from its draws (in draw order); lastProposal ("084", "3.12.17.25.31")
// prefills the ticket.
CheckPage BuildCheckPage(Game game, const std::vector<Draw>& draws, const std::string& lastProposal);

// Checks a typed ticket of the type at typeIndex of the page's types (ignored for Loto).
CheckOutcome CheckTypedTicket(Game game, const std::vector<Draw>& draws, const std::string& typed, int typeIndex);

// A draw's numbers as the tables show them: Numbers as drawn ("084"), Loto two-digit,
// ascending, space-separated ("01 08 19 27 33 42"); a bonus number two-digit ("07").
std::string ShownNumbers(const std::string& stored, Game game);

// A piece of a typed ticket (or count) in a refusal: in 「」, control characters escaped,
// and cut so that the refusal stays one short line whatever was pasted.
std::string TypedPiece(const std::string& piece);

}  // namespace numira
