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

}  // namespace

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

std::string ShownNumbers(const std::string& stored, Game game) {
  if (IsNumbers(game)) return stored;
  std::string shown;
  for (int n : EntryNumberList(stored, game)) {
    if (!shown.empty()) shown += ' ';
    shown += TwoDigits(n);
  }
  return shown;
}

CheckPage BuildCheckPage(Game game, const std::vector<Draw>& draws, const std::string& lastProposal) {
  CheckPage page;
  page.game = game;
  page.tabName = ShownName(game);
  page.hasData = !draws.empty();
  if (!page.hasData) page.lines.push_back(text::kNoData);
  page.draws.name = Fill(text::kDrawsTableNameFormat, {page.tabName});
  page.draws.columns = {text::kDrawNoColumn, text::kDrawDateColumn, text::kWinningNumbersColumn};
  const bool bonusColumn = RulesOf(game).bonusCount > 0;
  if (bonusColumn) page.draws.columns.push_back(text::kBonusColumn);
  page.draws.rows.reserve(draws.size());
  for (auto it = draws.rbegin(); it != draws.rend(); ++it) {
    std::vector<std::string> row{std::to_string(it->number), JapaneseDate(it->date), ShownNumbers(it->numbers, game)};
    if (bonusColumn) {
      std::string bonus;
      for (int n : it->bonus) bonus += (bonus.empty() ? "" : " ") + TwoDigits(n);
      row.push_back(std::move(bonus));
    }
    page.draws.rows.push_back(std::move(row));
  }
  page.ticketLabel = text::kTicketLabel;
  page.ticket = ShownNumbers(lastProposal, game);
  if (TypeCount(game) > 0) page.typeLabel = text::kTicketTypeLabel;
  for (std::size_t k = 0; k < TypeCount(game); ++k) page.types.push_back(text::kTicketTypes[k]);
  page.checkButton = text::kCheckButton;
  return page;
}

CheckOutcome CheckTypedTicket(Game game, const std::vector<Draw>& draws, const std::string& typed, int typeIndex) {
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
  outcome.lines.push_back(Fill(text::kLatestOutcomeFormat, {std::to_string(latest.number), JapaneseDate(latest.date),
                                                            PrizeName(latest.prize)}));
  outcome.lines.push_back(Fill(text::kPastWinsFormat, {Grouped(static_cast<std::int64_t>(check.wins.size()))}));
  outcome.wins.name = Fill(text::kWinsTableNameFormat, {ShownName(game)});
  outcome.wins.columns = {text::kDrawNoColumn, text::kDrawDateColumn, text::kPrizeColumn};
  for (const TicketWin& w : check.wins)
    outcome.wins.rows.push_back(
        {std::to_string(w.number), JapaneseDate(w.date), PrizeName(w.prize)});
  return outcome;
}

}  // namespace numira
