#pragma once
// A purchase as the player records it: one slip of up to five lines (A–E) of one game,
// each line its numbers and (Numbers) its 申込タイプ, the same 口数 for every line, for
// 継続回数 consecutive draws from the first.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Ticket.h"

namespace numira {

inline constexpr int kMaxLines = 5;
inline constexpr int kMaxUnits = 99;
inline constexpr int kMaxDrawsCovered = 10;

struct PurchaseLine {
  std::string numbers;  // the stored form: Numbers digits "084", the others dotted "1.8.19.27.33.42"
  TicketType type = TicketType::Straight;  // Numbers only; Straight for the other games
  bool operator==(const PurchaseLine&) const = default;
};

// A win marked as received: the line (0 = A) and the draw.
struct Claim {
  int line = 0;
  std::uint32_t draw = 0;
  auto operator<=>(const Claim&) const = default;
};

struct Purchase {
  std::int64_t id = 0;  // given by the ledger; 0 before it is recorded
  Game game = Game::Lot6;
  std::vector<PurchaseLine> lines;
  int units = 1;                // 口数 per line
  std::uint32_t firstDraw = 0;  // 回号 of the first draw covered
  int draws = 1;                // 継続回数
  std::string created;          // when it was recorded, "2026-08-24 21:05" (the recorder's clock)
  std::vector<Claim> claimed;   // ascending
  bool operator==(const Purchase&) const = default;

  std::uint32_t LastDraw() const { return firstDraw + static_cast<std::uint32_t>(draws) - 1; }
  bool Covers(std::uint32_t draw) const { return draw >= firstDraw && draw <= LastDraw(); }
  bool IsClaimed(int line, std::uint32_t draw) const;
};

// The names of the ticket types as the player reads them: ストレート, ボックス, セット, ミニ.
const char* TicketTypeName(TicketType type);
std::optional<TicketType> TicketTypeByName(std::string_view name);

// A line's numbers typed in any form the ticket check reads, in the stored form; or the
// fault in words ("番号：…").
struct LineReading {
  std::optional<PurchaseLine> line;
  std::string fault;
};
LineReading ReadLine(std::string_view typed, Game game, TicketType type);

// The ticket of a stored line.
Ticket TicketOf(Game game, const PurchaseLine& line);

// What is wrong with a purchase, field by field in words, each "field：what" ("口数：1～99
// の数です。"); empty when it can be recorded.
std::vector<std::string> PurchaseFaults(const Purchase& purchase);

// "A" .. "E".
std::string LineLetter(int line);

}  // namespace numira
