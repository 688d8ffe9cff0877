#include "Ticket.h"

#include <algorithm>
#include <array>

#include "Entry.h"
#include "TextFill.h"

namespace numira {
namespace {

// A typed character: a digit, a separator, or something else.
struct Char {
  enum Kind { Digit, Separator, Other } kind;
  int digit;
  std::string_view text;  // as typed
};

// The full-width forms of the separators a person types, as UTF-8.
constexpr std::array<std::string_view, 7> kWideSeparators{
    "\xE3\x80\x80",  // ideographic space
    "\xEF\xBC\x8E",  // ．
    "\xEF\xBC\x8C",  // ，
    "\xE3\x80\x81",  // 、
    "\xE3\x83\xBB",  // ・
    "\xEF\xBC\x8D",  // －
    "\xEF\xBD\xA4",  // ､ (half-width ideographic comma)
};

// The next character of text, taken off its front.
Char Next(std::string_view& text) {
  const char c = text.front();
  if (c >= '0' && c <= '9') {
    const Char ch{Char::Digit, c - '0', text.substr(0, 1)};
    text.remove_prefix(1);
    return ch;
  }
  if (c == ' ' || c == '\t' || c == '.' || c == ',' || c == '-' || c == '/') {
    const Char ch{Char::Separator, 0, text.substr(0, 1)};
    text.remove_prefix(1);
    return ch;
  }
  // Full-width digits ０..９: EF BC 90..99.
  if (text.size() >= 3 && text.substr(0, 2) == "\xEF\xBC" && static_cast<unsigned char>(text[2]) >= 0x90 &&
      static_cast<unsigned char>(text[2]) <= 0x99) {
    const Char ch{Char::Digit, static_cast<unsigned char>(text[2]) - 0x90, text.substr(0, 3)};
    text.remove_prefix(3);
    return ch;
  }
  for (std::string_view sep : kWideSeparators)
    if (text.substr(0, sep.size()) == sep) {
      const Char ch{Char::Separator, 0, text.substr(0, sep.size())};
      text.remove_prefix(sep.size());
      return ch;
    }
  // Anything else: one UTF-8 character (or one stray byte).
  const auto lead = static_cast<unsigned char>(c);
  std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  n = std::min(n, text.size());
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) n = i;
  const Char ch{Char::Other, 0, text.substr(0, n)};
  text.remove_prefix(n);
  return ch;
}

TicketReading Fault(TicketFault fault, std::string item = {}, int count = 0, int expected = 0) {
  TicketReading r;
  r.fault = fault;
  r.item = std::move(item);
  r.count = count;
  r.expected = expected;
  return r;
}

}  // namespace

int TicketLength(Game game, TicketType type) {
  if (game == Game::Num3 && type == TicketType::Mini) return 2;
  return RulesOf(game).count;
}

TicketReading ReadTicket(std::string_view typed, Game game, TicketType type) {
  if (!IsNumbers(game)) type = TicketType::Straight;
  if (game != Game::Num3 && type == TicketType::Mini) type = TicketType::Straight;
  const int length = TicketLength(game, type);
  // Numbers (runs of digits) between separators.
  struct Token {
    std::string text;
    std::vector<int> digits;
  };
  std::vector<Token> tokens;
  bool inToken = false;
  while (!typed.empty()) {
    const Char ch = Next(typed);
    if (ch.kind == Char::Other) return Fault(TicketFault::NotANumber, std::string(ch.text));
    if (ch.kind == Char::Separator) {
      inToken = false;
      continue;
    }
    if (!inToken) tokens.emplace_back();
    inToken = true;
    tokens.back().text += ch.text;
    tokens.back().digits.push_back(ch.digit);
  }
  if (tokens.empty()) return Fault(TicketFault::Empty);

  Ticket ticket;
  ticket.game = game;
  ticket.type = type;
  if (IsNumbers(game)) {
    // The digits in order, whether typed together or apart.
    for (const Token& t : tokens) ticket.numbers.insert(ticket.numbers.end(), t.digits.begin(), t.digits.end());
    const int count = static_cast<int>(ticket.numbers.size());
    if (count != length) return Fault(TicketFault::WrongCount, {}, count, length);
    if ((type == TicketType::Box || type == TicketType::Set) &&
        std::all_of(ticket.numbers.begin(), ticket.numbers.end(), [&](int d) { return d == ticket.numbers.front(); }))
      return Fault(TicketFault::OneDigitBox);
    TicketReading r;
    r.ticket = std::move(ticket);
    return r;
  }

  const int largest = RulesOf(game).largest;
  for (const Token& t : tokens) {
    int n = 0;
    for (int d : t.digits) n = std::min(n * 10 + d, 1000);
    if (n < 1 || n > largest) return Fault(TicketFault::OutOfRange, t.text, 0, largest);
    if (std::find(ticket.numbers.begin(), ticket.numbers.end(), n) != ticket.numbers.end())
      return Fault(TicketFault::Repeated, std::to_string(n));
    ticket.numbers.push_back(n);
  }
  const int count = static_cast<int>(ticket.numbers.size());
  if (count != length) return Fault(TicketFault::WrongCount, {}, count, length);
  std::sort(ticket.numbers.begin(), ticket.numbers.end());
  if (RulesOf(game).form == EntryForm::Squares) {
    // One number of each square: ascending, the k-th (from 0) in its own square.
    const int size = SquareSize(game);
    for (std::size_t k = 0; k < ticket.numbers.size(); ++k)
      if ((ticket.numbers[k] - 1) / size != static_cast<int>(k)) {
        // The first square left empty holds the number that came too late or too early:
        // the number sharing a square with another is the one named.
        for (std::size_t j = 1; j < ticket.numbers.size(); ++j)
          if ((ticket.numbers[j] - 1) / size == (ticket.numbers[j - 1] - 1) / size)
            return Fault(TicketFault::Repeated, std::to_string(ticket.numbers[j]));
        return Fault(TicketFault::Repeated, std::to_string(ticket.numbers[k]));
      }
  }
  TicketReading r;
  r.ticket = std::move(ticket);
  return r;
}

namespace {

// The tiers by complete lines of a ビンゴ５ card (index: lines 0..8); seven cannot happen.
constexpr std::array<Prize, 9> kBingoTiers{Prize::None,   Prize::Seventh, Prize::Sixth, Prize::Fifth, Prize::Fourth,
                                           Prize::Third,  Prize::Second,  Prize::None,  Prize::First};

// The 8 lines of a card read in rows, squares 0..8 with the FREE square 4 in the middle.
constexpr std::array<std::array<int, 3>, 8> kBingoLines{{
    {0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {0, 3, 6}, {1, 4, 7}, {2, 5, 8}, {0, 4, 8}, {2, 4, 6}}};

}  // namespace

BingoCard CardOf(const Ticket& ticket, std::span<const int> drawn) {
  BingoCard card;
  card.hit[BingoCard::kFree] = true;
  // Card position of ticket square k (0..7): the FREE square sits between the 4th and 5th.
  for (std::size_t k = 0; k < ticket.numbers.size() && k < 8; ++k) {
    const std::size_t at = k < BingoCard::kFree ? k : k + 1;
    card.numbers[at] = ticket.numbers[k];
    card.hit[at] = std::find(drawn.begin(), drawn.end(), ticket.numbers[k]) != drawn.end();
  }
  for (const auto& line : kBingoLines) {
    if (!(card.hit[line[0]] && card.hit[line[1]] && card.hit[line[2]])) continue;
    ++card.lines;
    for (int at : line) card.onLine[static_cast<std::size_t>(at)] = true;
  }
  return card;
}

namespace {

// Loto: the tier from the numbers matched and whether a bonus number is among the rest
// of the ticket. 1等 all; 2等 all but one and a bonus; 3等 all but one; then a tier per
// number fewer, the lowest tier of some games only with a bonus.
Prize LotoPrize(const Ticket& ticket, const Draw& draw, std::span<const int> drawn) {
  const GameRules& rules = RulesOf(ticket.game);
  int matches = 0;
  for (int n : ticket.numbers) matches += std::count(drawn.begin(), drawn.end(), n) > 0 ? 1 : 0;
  const bool bonusKnown = !draw.bonus.empty();
  const bool bonus = std::any_of(draw.bonus.begin(), draw.bonus.end(), [&](int b) {
    return std::find(ticket.numbers.begin(), ticket.numbers.end(), b) != ticket.numbers.end();
  });
  const int missed = rules.count - matches;
  if (missed == 0) return Prize::First;
  if (missed == 1) return !bonusKnown ? Prize::ThirdBonusUnknown : bonus ? Prize::Second : Prize::Third;
  const int tier = missed + 2;
  if (tier > rules.prizeTiers) return Prize::None;
  if (tier == rules.prizeTiers && rules.lastTierNeedsBonus)
    return !bonusKnown ? Prize::SixthBonusUnknown : bonus ? TierPrize(tier) : Prize::None;
  return TierPrize(tier);
}

}  // namespace

const char* PrizeName(Prize prize) {
  // In Prize order, from Prize::None.
  constexpr std::array<const char*, 15> kNames{
      "はずれ", "ストレート", "ボックス", "セット（ストレート）", "セット（ボックス）", "ミニ",
      "1等",    "2等",        "3等",     "4等",               "5等",               "3等（ボーナス数字不明）",
      "6等",    "6等またははずれ（ボーナス数字不明）", "7等"};
  static_assert(kNames.size() == static_cast<std::size_t>(Prize::Seventh) + 1, "one name per prize");
  return kNames[static_cast<std::size_t>(prize)];
}

std::string Yen(std::uint64_t amount) { return Grouped(static_cast<std::int64_t>(amount)) + "円"; }

Prize TierPrize(int tier) {
  constexpr std::array<Prize, 7> kTiers{Prize::First, Prize::Second, Prize::Third, Prize::Fourth,
                                        Prize::Fifth, Prize::Sixth,  Prize::Seventh};
  return tier >= 1 && tier <= 7 ? kTiers[static_cast<std::size_t>(tier - 1)] : Prize::None;
}

int TierNumber(Prize prize) {
  switch (prize) {
    case Prize::First: return 1;
    case Prize::Second: return 2;
    case Prize::Third: return 3;
    case Prize::Fourth: return 4;
    case Prize::Fifth: return 5;
    case Prize::Sixth: return 6;
    case Prize::Seventh: return 7;
    default: return 0;
  }
}

namespace {

// The same digits in any order, without a copy on the heap (a check runs over thousands of draws).
bool SameDigits(const std::vector<int>& a, std::span<const int> b) {
  std::array<int, kMaxEntryCount> x{}, y{};
  if (a.size() != b.size() || a.size() > x.size()) return false;
  std::copy(a.begin(), a.end(), x.begin());
  std::copy(b.begin(), b.end(), y.begin());
  std::sort(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(a.size()));
  std::sort(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(b.size()));
  return x == y;
}

Prize PrizeIn(const Ticket& ticket, const Draw& draw, std::span<const int> drawn) {
  if (IsNumbers(ticket.game)) {
    if (drawn.size() != static_cast<std::size_t>(RulesOf(ticket.game).count)) return Prize::None;
    const bool inOrder = std::equal(ticket.numbers.begin(), ticket.numbers.end(), drawn.begin(), drawn.end());
    switch (ticket.type) {
      case TicketType::Straight: return inOrder ? Prize::Straight : Prize::None;
      case TicketType::Box: return SameDigits(ticket.numbers, drawn) ? Prize::Box : Prize::None;
      case TicketType::Set:
        return inOrder ? Prize::SetStraight : SameDigits(ticket.numbers, drawn) ? Prize::SetBox : Prize::None;
      case TicketType::Mini:
        return ticket.numbers.size() == 2 && std::equal(drawn.end() - 2, drawn.end(), ticket.numbers.begin())
                   ? Prize::Mini
                   : Prize::None;
    }
    return Prize::None;
  }
  if (RulesOf(ticket.game).form == EntryForm::Squares)
    return kBingoTiers[static_cast<std::size_t>(CardOf(ticket, drawn).lines)];
  return LotoPrize(ticket, draw, drawn);
}

}  // namespace

Prize PrizeOf(const Ticket& ticket, const Draw& draw) {
  const std::optional<EntryNumbers> drawn = ParseEntry(draw.numbers, ticket.game);
  if (!drawn) return PrizeIn(ticket, draw, {});
  return PrizeIn(ticket, draw, std::span<const int>(drawn->data(), static_cast<std::size_t>(RulesOf(ticket.game).count)));
}

Prize PrizeOf(const Ticket& ticket, const Draw& draw, const std::vector<int>& drawn) {
  return PrizeIn(ticket, draw, drawn);
}

const PrizeTier* PaidTier(const DrawPrizes* prizes, Prize prize) {
  const int tier = TierNumber(prize);
  if (!prizes || tier < 1 || static_cast<std::size_t>(tier) > prizes->tiers.size()) return nullptr;
  return &prizes->tiers[static_cast<std::size_t>(tier - 1)];
}

TicketCheck CheckTicket(const Ticket& ticket, const std::vector<Draw>& draws) {
  TicketCheck check;
  for (auto it = draws.rbegin(); it != draws.rend(); ++it) {
    const Prize prize = PrizeOf(ticket, *it);
    if (it == draws.rbegin()) check.latest = TicketWin{it->number, it->date, prize};
    if (prize != Prize::None) check.wins.push_back({it->number, it->date, prize});
  }
  return check;
}

}  // namespace numira
