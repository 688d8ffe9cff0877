#pragma once
// What the check window (当せん照合) shows for one game, as texts ready to be put on the
// screen: every draw newest first, the ticket's field and choices, and the outcome of a
// check, with what each win paid where the draw's prizes are published. The window only
// shows it.
#include <string>
#include <vector>

#include "DrawHistory.h"
#include "Game.h"
#include "Prizes.h"
#include "Ticket.h"

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
  CheckTable draws;                // 回号, 抽選日, 当せん番号 (, ボーナス数字) (, キャリーオーバー)
  std::string ticketLabel;         // also the field's accessible name
  std::string ticket;              // prefilled: the game's last proposal, as a person types it
  std::string typeLabel;
  std::vector<std::string> types;  // the ticket types on offer (none for the Loto games)
  std::string checkButton;
  bool operator==(const CheckPage&) const = default;
};

// One square of a ビンゴ５ card as the check window draws it.
struct CardSquare {
  std::string text;     // "09", or "FREE" in the centre
  bool hit = false;     // matched by the draw (FREE always)
  bool onLine = false;  // part of a complete line
  bool operator==(const CardSquare&) const = default;
};

// The outcome of one press of 照合.
struct CheckOutcome {
  bool refused = false;            // a bad ticket: lines holds what is wrong, nothing else
  std::vector<std::string> lines;  // the latest draw's line and the count of past wins
  CheckTable wins;                 // 回号, 抽選日, 等級 (, 当せん金額): every draw it won, newest first
  // ビンゴ５: the ticket's 3 × 3 card against the latest draw, in rows; empty otherwise.
  std::vector<CardSquare> card;
  std::string cardName;            // the card's accessible name: its rows in words
  bool operator==(const CheckOutcome&) const = default;
};

// Whether the game's tickets are shown as a card (ビンゴ５).
inline bool HasCard(Game game) { return RulesOf(game).form == EntryForm::Squares; }

// The page of a game from its draws (in draw order) and its published prizes (the
// carry-over of each draw, for the games that have one); lastProposal ("084",
// "3.12.17.25.31") prefills the ticket.
CheckPage BuildCheckPage(Game game, const std::vector<Draw>& draws, const std::vector<DrawPrizes>& prizes,
                         const std::string& lastProposal);

// The ticket types a game offers, in TicketType order: Numbers 3 all four, Numbers 4 all
// but ミニ, the other games none.
std::vector<std::string> TicketTypeTexts(Game game);

// Checks a typed ticket of the type at typeIndex of the page's types (ignored for Loto).
// Each win shows what its draw paid per ticket: "3等 252,100円", "3等（金額未発表）" where
// the draw's prizes are not published; a game without a prize table shows the tier alone.
CheckOutcome CheckTypedTicket(Game game, const std::vector<Draw>& draws, const std::vector<DrawPrizes>& prizes,
                              const std::string& typed, int typeIndex);

// A win as the check window shows it: the prize's name and what the draw paid per ticket
// (see CheckTypedTicket); "はずれ" for no prize.
std::string WinText(Game game, Prize prize, const DrawPrizes* prizes);

// A draw's numbers as the tables show them: Numbers as drawn ("084"), Loto two-digit,
// ascending, space-separated ("01 08 19 27 33 42"); a bonus number two-digit ("07").
std::string ShownNumbers(const std::string& stored, Game game);

// A piece of a typed ticket (or count) in a refusal: in 「」, control characters escaped,
// and cut so that the refusal stays one short line whatever was pasted.
std::string TypedPiece(const std::string& piece);

}  // namespace numira
