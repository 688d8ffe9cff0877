#include "PurchasesPage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <limits>

#include "DrawDate.h"
#include "PurchaseTexts.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {
namespace {

constexpr const char* kAllYears = "全期間";

std::string Money(std::uint64_t yen) { return Yen(yen); }

std::string DrawCell(const Purchase& p, std::uint32_t draw) {
  if (p.draws <= 1) return Fill(text::kOneDrawFormat, {std::to_string(draw)});
  return Fill(text::kDrawOfFormat, {std::to_string(draw), std::to_string(p.firstDraw), std::to_string(p.LastDraw())});
}

std::string DeadlineCell(const LineResult& r, Date today) {
  if (!r.deadline) return {};
  const std::string date = JapaneseDate(*r.deadline);
  if (r.claimed) return Fill(text::kDeadlineClaimedFormat, {date});
  switch (r.state) {
    case Deadline::Soon:
      return Fill(text::kDeadlineSoonFormat, {date, std::to_string(DayNumber(*r.deadline) - DayNumber(today) + 1)});
    case Deadline::Expired: return Fill(text::kDeadlineExpiredFormat, {date});
    case Deadline::None:
    case Deadline::Open: break;
  }
  return date;
}

std::string Recovery(const Totals& t) {
  const std::optional<double> r = t.Recovery();
  if (!r) return text::kNoRecovery;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", *r);
  return Fill(text::kRecoveryFormat, {buffer});
}

std::vector<std::string> TotalsRow(const Totals& t, const std::string& year) {
  return {ShownName(t.game), year, Money(t.spent), Money(t.won), Recovery(t)};
}

// The non-negative whole number typed in a count's field; nullopt when it is not one. A
// number too large for the field's range reads as the largest int (refused by range).
std::optional<int> ReadCount(const std::string& typed) {
  std::string digits;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(typed[i]);
    if (c >= '0' && c <= '9') {
      digits += static_cast<char>(c);
    } else if (c == 0xEF && i + 2 < typed.size() && static_cast<unsigned char>(typed[i + 1]) == 0xBC &&
               static_cast<unsigned char>(typed[i + 2]) >= 0x90 && static_cast<unsigned char>(typed[i + 2]) <= 0x99) {
      // A full-width digit, as a Japanese input method types it.
      digits += static_cast<char>('0' + (static_cast<unsigned char>(typed[i + 2]) - 0x90));
      i += 2;
    } else if (c == ' ' && (digits.empty() || i + 1 == typed.size())) {
      continue;
    } else {
      return std::nullopt;
    }
  }
  if (digits.empty()) return std::nullopt;
  int value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec == std::errc::result_out_of_range) return std::numeric_limits<int>::max();
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// A count's field read, or its fault added.
int CountField(const std::string& typed, const char* field, std::vector<FormFault>& faults) {
  if (Blank(typed)) {
    faults.push_back({field, Fill(text::kCountEmptyFormat, {field})});
    return 0;
  }
  const std::optional<int> value = ReadCount(typed);
  if (!value) {
    faults.push_back({field, Fill(text::kCountNotNumberFormat, {field, TypedPiece(typed)})});
    return 0;
  }
  return *value;
}

std::string FieldOf(const std::string& fault) {
  const auto colon = fault.find("：");
  return colon == std::string::npos ? std::string() : fault.substr(0, colon);
}

}  // namespace

std::string NextDrawText(const NextDraw& next) {
  std::string text = Fill(text::kNextDrawFormat, {std::to_string(next.number), JapaneseDate(next.date)});
  if (next.estimate) text += text::kEstimateMark;
  return text;
}

std::string SlipLineText(Game game, int line, const PurchaseLine& numbers) {
  // A slip's lines are the rolls' proposals: Numbers ones are ストレート, which goes without saying.
  return std::string(ShownName(game)) + " " + LineLetter(line) + "：" + ShownNumbers(numbers.numbers, game);
}

PurchasesPage BuildPurchasesPage(const std::vector<Purchase>& purchases, const AllGames& data, Date today,
                                 const std::vector<Game>& games) {
  PurchasesPage page;
  page.usable = true;
  page.lines.push_back(purchases.empty() ? std::string(text::kNoPurchases)
                                         : Fill(text::kCountFormat, {Grouped(static_cast<std::int64_t>(purchases.size()))}));
  page.table.name = text::kPurchasesTableName;
  page.table.columns = {text::kGameColumn,  text::kNumbersColumn, text::kTypeColumn,
                        text::kUnitsColumn, text::kDrawColumn,    text::kSpentColumn,
                        text::kResultColumn, text::kWonColumn,    text::kDeadlineColumn};
  // The newest purchase first, as the player looks for the tickets of this week.
  for (auto p = purchases.rbegin(); p != purchases.rend(); ++p) {
    const GameData& d = data[GameIndex(p->game)];
    const std::uint64_t perLine = PricePerDraw(*p) / (p->lines.empty() ? 1 : p->lines.size());
    for (const LineResult& r : ResultsOf(*p, d, today)) {
      const PurchaseLine& line = p->lines[static_cast<std::size_t>(r.line)];
      const bool win = r.drawn && r.prize != Prize::None;
      std::string numbers = ShownNumbers(line.numbers, p->game);
      if (p->lines.size() > 1) numbers = LineLetter(r.line) + "：" + numbers;
      page.table.rows.push_back({ShownName(p->game), numbers, IsNumbers(p->game) ? TicketTypeName(line.type) : "",
                                 std::to_string(p->units), DrawCell(*p, r.draw), Money(perLine),
                                 win ? std::string(PrizeName(r.prize)) : ResultText(r),
                                 !win ? std::string() : r.amount ? Money(*r.amount) : std::string(kAmountUnpublished),
                                 DeadlineCell(r, today)});
      const bool needsPlayer = win && !r.claimed && r.state == Deadline::Soon;
      page.keys.push_back({p->id, r.line, r.draw, win, r.claimed, needsPlayer ? TextColour::Red : TextColour::Default});
    }
  }
  page.totals.name = text::kTotalsTableName;
  page.totals.columns = {text::kGameColumn, text::kYearColumn, text::kSpentColumn, text::kWonColumn, text::kRecoveryColumn};
  const std::vector<Totals> totals = TotalsOf(purchases, data, today);
  for (std::size_t k = 0; k < totals.size(); ++k) {
    const Totals& t = totals[k];
    page.totals.rows.push_back(TotalsRow(t, t.year > 0 ? std::to_string(t.year) + "年" : std::string(text::kNoYear)));
    // After a game's last year, the game over all years.
    if (k + 1 == totals.size() || totals[k + 1].game != t.game) {
      Totals all{t.game, 0, 0, 0};
      for (const Totals& y : totals)
        if (y.game == t.game) all.spent += y.spent, all.won += y.won;
      page.totals.rows.push_back(TotalsRow(all, kAllYears));
    }
  }
  page.games = FormGames(data, today, games);
  return page;
}

std::vector<FormGame> FormGames(const AllGames& data, Date today, const std::vector<Game>& games) {
  std::vector<FormGame> out;
  for (Game g : games) {
    FormGame f;
    f.game = g;
    f.name = ShownName(g);
    f.types = TicketTypeTexts(g);
    if (const std::optional<NextDraw> next = NextDrawOf(g, data[GameIndex(g)].draws, today)) {
      f.firstDraw = std::to_string(next->number);
      f.nextDraw = NextDrawText(*next);
    }
    out.push_back(std::move(f));
  }
  return out;
}

FormReading ReadPurchaseForm(const PurchaseForm& form, const std::vector<FormGame>& games) {
  FormReading reading;
  std::vector<FormFault>& faults = reading.faults;
  if (form.game < 0 || static_cast<std::size_t>(form.game) >= games.size()) {
    faults.push_back({text::kGameColumn, text::kNoGame});
    return reading;
  }
  const FormGame& game = games[static_cast<std::size_t>(form.game)];
  TicketType type = TicketType::Straight;
  if (!game.types.empty()) {
    if (form.type < 0 || static_cast<std::size_t>(form.type) >= game.types.size())
      faults.push_back({text::kTypeColumn, std::string(text::kTypeColumn) + "：" + text::kTicketTypeLabel + "を選んでください。"});
    else
      type = static_cast<TicketType>(form.type);
  }
  Purchase p;
  p.game = game.game;
  const LineReading line = ReadLine(form.numbers, game.game, type);
  if (line.line)
    p.lines.push_back(*line.line);
  else
    faults.push_back({FieldOf(line.fault), line.fault});
  p.units = CountField(form.units, text::kUnitsColumn, faults);
  // Left empty, the first draw is the game's next one.
  const std::string& first = Blank(form.firstDraw) ? game.firstDraw : form.firstDraw;
  if (first.empty())
    faults.push_back({text::kDrawColumn, text::kNoFirstDraw});
  else
    p.firstDraw = static_cast<std::uint32_t>(CountField(first, text::kDrawColumn, faults));
  p.draws = CountField(form.draws, text::kDrawsLabel, faults);
  // The ranges, for each field that was read at all.
  for (const std::string& fault : PurchaseFaults(p)) {
    const std::string field = FieldOf(fault);
    if (field != text::kUnitsColumn && field != text::kDrawColumn && field != text::kDrawsLabel) continue;
    bool known = false;
    for (const FormFault& f : faults) known = known || f.field == field;
    if (!known) faults.push_back({field, fault});
  }
  // In the form's order, top to bottom.
  const std::array<std::string_view, 6> order{text::kGameColumn, text::kNumbersColumn, text::kTypeColumn,
                                              text::kUnitsColumn, text::kDrawColumn,   text::kDrawsLabel};
  const auto place = [&order](const FormFault& f) { return std::find(order.begin(), order.end(), f.field) - order.begin(); };
  std::stable_sort(faults.begin(), faults.end(), [&](const FormFault& a, const FormFault& b) { return place(a) < place(b); });
  if (faults.empty()) reading.purchase = std::move(p);
  return reading;
}

std::string RecordedText(const Purchase& purchase, const std::vector<Draw>& draws, Date today) {
  std::string when = Fill(text::kOneDrawFormat, {std::to_string(purchase.firstDraw)});
  const std::optional<NextDraw> next = NextDrawOf(purchase.game, draws, today);
  if (next && next->number == purchase.firstDraw) {
    when = NextDrawText(*next);
  } else if (const std::optional<Date> date = DrawDateOf(purchase.game, draws, purchase.firstDraw)) {
    when = Fill(text::kNextDrawFormat, {std::to_string(purchase.firstDraw), JapaneseDate(*date)});
  }
  if (purchase.draws > 1) when += Fill("～第%1回", {std::to_string(purchase.LastDraw())});
  std::string text = Fill(text::kRecordedFormat, {ShownName(purchase.game), when});
  for (std::size_t i = 0; i < purchase.lines.size(); ++i) {
    const PurchaseLine& l = purchase.lines[i];
    text += " " + LineLetter(static_cast<int>(i)) + "：" + ShownNumbers(l.numbers, purchase.game);
    if (IsNumbers(purchase.game)) text += std::string(" ") + TicketTypeName(l.type);
  }
  text += " " + std::to_string(purchase.units) + "口";
  return text;
}

}  // namespace numira
