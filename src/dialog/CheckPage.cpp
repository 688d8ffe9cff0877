#include "CheckPage.h"

#include "Controls.h"
#include "Encoding.h"
#include "Entry.h"
#include "TextFill.h"
#include "Texts.h"
#include "Ticket.h"

namespace numira {
namespace {

static_assert(text::kTicketTypes.size() == static_cast<std::size_t>(TicketType::Mini) + 1,
              "one text per ticket type, in TicketType order");

// The ticket types a game offers: Numbers 3 all four, Numbers 4 all but ミニ, Loto none.
std::size_t TypeCount(Game game) { return !IsNumbers(game) ? 0 : game == Game::Num3 ? 4 : 3; }

std::string Refusal(const TicketReading& r, Game game) {
  switch (r.fault) {
    case TicketFault::None: break;
    case TicketFault::Empty: return text::kTicketEmpty;
    case TicketFault::NotANumber: return Fill(text::kTicketNotNumberFormat, {TypedPiece(r.item)});
    case TicketFault::WrongCount:
      if (IsNumbers(game)) return Fill(text::kTicketDigitsFormat, {std::to_string(r.expected), Grouped(r.count)});
      return Fill(text::kTicketNumbersFormat,
                  {std::to_string(RulesOf(game).largest), std::to_string(r.expected), Grouped(r.count)});
    case TicketFault::OutOfRange: return Fill(text::kTicketOutOfRangeFormat, {TypedPiece(r.item), std::to_string(r.expected)});
    case TicketFault::Repeated: return Fill(text::kTicketRepeatedFormat, {r.item});
    case TicketFault::OneDigitBox: return text::kTicketOneDigitBox;
  }
  return {};
}

// What a win paid, as shown, and whether it is an amount of yen (shown after a space)
// rather than a note in brackets; empty when there is nothing to say.
struct Paid {
  std::string text;
  bool yen = false;
};

Paid PaidOf(Game game, Prize prize, const DrawPrizes* prizes) {
  // A game without a prize table never knows its amounts; a tier that hangs on a bonus
  // number not recorded has none of its own.
  if (prize == Prize::None || !HasPrizes(game) || TierNumber(prize) == 0) return {};
  if (!prizes) return {kAmountUnpublished};
  const PrizeTier* tier = PaidTier(prizes, prize);
  if (!tier) return {kAmountUnpublished};
  if (tier->winners == 0) return {text::kNoWinner};
  return {Yen(tier->amount), true};
}

// The carry-over of a draw to the next, as the draws table shows it.
std::string CarryoverText(const DrawPrizes* prizes) {
  if (!prizes || !prizes->carryover) return kAmountUnpublished;
  return Yen(*prizes->carryover);
}

// A ビンゴ５ ticket's card against a draw, square by square, and its name in words.
void ShowCard(CheckOutcome& outcome, Game game, const Ticket& ticket, const Draw& draw) {
  const BingoCard card = CardOf(ticket, EntryNumberList(draw.numbers, game));
  std::string rows;
  for (std::size_t at = 0; at < card.numbers.size(); ++at) {
    const bool free = at == BingoCard::kFree;
    CardSquare square{free ? text::kFreeSquare : TwoDigits(card.numbers[at]), card.hit[at], card.onLine[at]};
    if (at % 3 != 0) rows += ' ';
    else if (at > 0) rows += text::kCardRowSeparator;
    rows += square.text + (square.hit && !free ? text::kHitMark : "");
    outcome.card.push_back(std::move(square));
  }
  outcome.cardName = Fill(text::kCardNameFormat, {ShownName(game), rows, std::to_string(card.lines)});
}

}  // namespace

std::string WinText(Game game, Prize prize, const DrawPrizes* prizes) {
  const Paid paid = PaidOf(game, prize, prizes);
  return std::string(PrizeName(prize)) + (paid.yen ? " " : "") + paid.text;
}

// In 「」, control characters escaped, and cut
// so that the refusal stays one short line whatever was pasted.
std::string TypedPiece(const std::string& piece) {
  QuoteStyle style;
  style.asciiOnly = false;
  style.maxBytes = 24;
  style.open = "「";
  style.close = "」";
  return Quoted(piece, style);
}

std::vector<std::string> TicketTypeTexts(Game game) {
  std::vector<std::string> types;
  for (std::size_t k = 0; k < TypeCount(game); ++k) types.push_back(text::kTicketTypes[k]);
  return types;
}

std::string ShownNumbers(const std::string& stored, Game game) {
  if (IsNumbers(game)) return stored;
  std::string shown;
  for (int n : EntryNumberList(stored, game)) {
    if (!shown.empty()) shown += ' ';
    shown += TwoDigits(n);
  }
  return shown;
}

CheckPage BuildCheckPage(Game game, const std::vector<Draw>& draws, const std::vector<DrawPrizes>& prizes,
                         const std::string& lastProposal) {
  CheckPage page;
  page.game = game;
  page.tabName = ShownName(game);
  page.hasData = !draws.empty();
  if (!page.hasData) page.lines.push_back(text::kNoData);
  page.draws.name = Fill(text::kDrawsTableNameFormat, {page.tabName});
  page.draws.columns = {text::kDrawNoColumn, text::kDrawDateColumn, text::kWinningNumbersColumn};
  const bool bonusColumn = RulesOf(game).bonusCount > 0;
  if (bonusColumn) page.draws.columns.push_back(text::kBonusColumn);
  const bool carryoverColumn = RulesOf(game).carryover;
  if (carryoverColumn) page.draws.columns.push_back(text::kCarryoverColumn);
  page.draws.rows.reserve(draws.size());
  for (auto it = draws.rbegin(); it != draws.rend(); ++it) {
    std::vector<std::string> row{std::to_string(it->number), JapaneseDate(it->date), ShownNumbers(it->numbers, game)};
    if (bonusColumn) {
      std::string bonus;
      for (int n : it->bonus) bonus += (bonus.empty() ? "" : " ") + TwoDigits(n);
      row.push_back(std::move(bonus));
    }
    if (carryoverColumn) row.push_back(CarryoverText(PrizesOfDraw(prizes, it->number)));
    page.draws.rows.push_back(std::move(row));
  }
  page.ticketLabel = text::kTicketLabel;
  page.ticket = ShownNumbers(lastProposal, game);
  if (TypeCount(game) > 0) page.typeLabel = text::kTicketTypeLabel;
  page.types = TicketTypeTexts(game);
  page.checkButton = text::kCheckButton;
  return page;
}

CheckOutcome CheckTypedTicket(Game game, const std::vector<Draw>& draws, const std::vector<DrawPrizes>& prizes,
                              const std::string& typed, int typeIndex) {
  CheckOutcome outcome;
  const bool knownType = typeIndex >= 0 && static_cast<std::size_t>(typeIndex) < TypeCount(game);
  const TicketType type = knownType ? static_cast<TicketType>(typeIndex) : TicketType::Straight;
  const TicketReading reading = ReadTicket(typed, game, type);
  if (!reading.ticket) {
    outcome.refused = true;
    outcome.lines.push_back(Refusal(reading, game));
    return outcome;
  }
  if (draws.empty()) {
    outcome.refused = true;
    outcome.lines.push_back(text::kNoData);
    return outcome;
  }
  const TicketCheck check = CheckTicket(*reading.ticket, draws);
  const TicketWin& latest = *check.latest;
  outcome.lines.push_back(Fill(text::kLatestOutcomeFormat,
                                {std::to_string(latest.number), JapaneseDate(latest.date),
                                 WinText(game, latest.prize, PrizesOfDraw(prizes, latest.number))}));
  outcome.lines.push_back(Fill(text::kPastWinsFormat, {Grouped(static_cast<std::int64_t>(check.wins.size()))}));
  outcome.wins.name = Fill(text::kWinsTableNameFormat, {ShownName(game)});
  outcome.wins.columns = {text::kDrawNoColumn, text::kDrawDateColumn, text::kPrizeColumn};
  const bool amountColumn = HasPrizes(game);
  if (amountColumn) outcome.wins.columns.push_back(text::kAmountColumn);
  for (const TicketWin& w : check.wins) {
    std::vector<std::string> row{std::to_string(w.number), JapaneseDate(w.date), PrizeName(w.prize)};
    if (amountColumn) row.push_back(PaidOf(game, w.prize, PrizesOfDraw(prizes, w.number)).text);
    outcome.wins.rows.push_back(std::move(row));
  }
  if (HasCard(game)) ShowCard(outcome, game, *reading.ticket, draws.back());
  return outcome;
}

}  // namespace numira
