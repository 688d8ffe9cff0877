#pragma once
// A ticket as a player types it, and what it won: the prize rules of the games. Loto 7:
// 1等 all 7, 2等 6 and a bonus, 3等 6, 4等 5, 5等 4, 6等 3 and one or both bonus numbers.
// ビンゴ５: the ticket's 8 numbers fill a card read in rows, 1 2 3 / 4 FREE 5 / 6 7 8; the
// complete lines of its 8 (rows, columns, diagonals) give the tier: 8 1等, 6 2等, 5 3等,
// 4 4等, 3 5等, 2 6等, 1 7等.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "DrawHistory.h"
#include "Game.h"
#include "Prizes.h"

namespace numira {

// How a Numbers ticket plays. Mini is Numbers 3 only (two digits: the draw's last two);
// a Loto ticket has no type (Straight is passed and ignored).
enum class TicketType { Straight, Box, Set, Mini };

enum class Prize {
  None,
  Straight,     // all digits in order
  Box,          // the same digits in any order
  SetStraight,  // a set ticket, in order
  SetBox,       // a set ticket, in another order
  Mini,         // the last two digits, in order
  First,
  Second,             // Mini Loto: 4 and the bonus; Loto 6: 5 and the bonus; Loto 7: 6 and a bonus
  Third,              // Mini Loto: 4; Loto 6: 5; Loto 7: 6
  Fourth,
  Fifth,              // Loto 6 and Loto 7
  ThirdBonusUnknown,  // 4 (Mini Loto), 5 (Loto 6) or 6 (Loto 7) where the draw's bonus numbers are not known
  Sixth,              // Loto 7: 3 and a bonus; ビンゴ５: 2 lines
  SixthBonusUnknown,  // Loto 7: 3 where the draw's bonus numbers are not known (6等 or nothing)
  Seventh,            // ビンゴ５: 1 line
};

// The prize of a numbered tier (1 for 1等 ... 7); Prize::None for any other number.
Prize TierPrize(int tier);
// What a prize is called wherever it is shown: "はずれ", "ストレート", "3等",
// "3等（ボーナス数字不明）" …
const char* PrizeName(Prize prize);
// An amount of yen as shown beside a prize: "252,100円".
std::string Yen(std::uint64_t amount);
// Shown where a win's amount is not published yet.
inline constexpr const char* kAmountUnpublished = "（金額未発表）";

// The tier of a numbered prize (First 1 ... Seventh 7); 0 for the others (Numbers, None,
// ThirdBonusUnknown).
int TierNumber(Prize prize);

struct Ticket {
  Game game = Game::Num3;
  TicketType type = TicketType::Straight;
  std::vector<int> numbers;  // Numbers: the digits in order; Loto, ビンゴ５: the numbers ascending
};

// What is wrong with a typed ticket.
enum class TicketFault {
  None,
  Empty,        // nothing typed
  NotANumber,   // `item` is neither a digit nor a separator / not a number
  WrongCount,   // `count` digits or numbers instead of `expected`
  OutOfRange,   // the Loto number `item` is outside 1..`expected`
  Repeated,     // the Loto number `item` is there twice
  OneDigitBox,  // a box or set ticket of one digit repeated: no such ticket is sold
};

struct TicketReading {
  std::optional<Ticket> ticket;  // set when fault is None
  TicketFault fault = TicketFault::None;
  std::string item;   // the character or number at fault (UTF-8 as typed)
  int count = 0;      // WrongCount: how many were found
  int expected = 0;   // WrongCount: how many the ticket needs; OutOfRange: the largest number
};

// How many digits (Numbers) or numbers (Loto) a ticket of the game and type has.
int TicketLength(Game game, TicketType type);

// Reads a ticket as typed: "084", "0 8 4", "1 8 19 27 33 42", "1.8.19.27.33.42",
// "01,08,19", full-width digits and separators (space, "．", "，", "、", "・", "－"),
// surrounding space ignored. Loto numbers may come in any order.
TicketReading ReadTicket(std::string_view typed, Game game, TicketType type);

// What the ticket won in one draw of its game.
Prize PrizeOf(const Ticket& ticket, const Draw& draw);
// The same with the draw's numbers already read (EntryNumberList), for checking many
// tickets against one draw.
Prize PrizeOf(const Ticket& ticket, const Draw& draw, const std::vector<int>& drawn);

// What a win paid per ticket in its draw: the row of its tier in the draw's prizes.
// nullptr where that is not known: no prizes of the draw, or a prize without a numbered
// tier (a Numbers prize, a Loto prize whose tier hangs on a bonus number not recorded).
const PrizeTier* PaidTier(const DrawPrizes* prizes, Prize prize);

// A ビンゴ５ ticket's card against a draw, read in rows: squares 0 1 2 / 3 FREE 5 / 6 7 8.
struct BingoCard {
  static constexpr std::size_t kFree = 4;  // the centre square
  std::array<int, 9> numbers{};            // the ticket's numbers in card order; 0 in the centre
  std::array<bool, 9> hit{};               // matched by the draw, the centre always
  std::array<bool, 9> onLine{};            // part of a complete line
  int lines = 0;                           // complete lines of the 8 (rows, columns, diagonals)
};
// The card of a ticket of 8 numbers (one per square) against the draw's numbers.
BingoCard CardOf(const Ticket& ticket, std::span<const int> drawn);

struct TicketWin {
  std::uint32_t number = 0;
  Date date;
  Prize prize = Prize::None;
};

struct TicketCheck {
  std::optional<TicketWin> latest;  // the latest draw, with Prize::None when it won nothing
  std::vector<TicketWin> wins;      // every draw it won, newest first
};

TicketCheck CheckTicket(const Ticket& ticket, const std::vector<Draw>& draws);

}  // namespace numira
