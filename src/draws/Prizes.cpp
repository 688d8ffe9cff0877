#include "Prizes.h"

#include <algorithm>

#include "Encoding.h"

namespace numira {
namespace {

using Fault = CsvFault;

// A count or an amount as written: decimal digits, no sign, no leading zero ("0" alone).
std::optional<std::uint64_t> ParseWhole(std::string_view text) {
  if (text.empty() || text.size() > kMaxPrizeDigits || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  std::uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return n;
}

std::vector<DrawPrizes> Parse(std::string_view bytes, Game game) {
  if (!HasPrizes(game)) throw Fault{0, std::string(GameName(game)) + " has no prize table"};
  const GameRules& r = RulesOf(game);
  const std::string columns = PrizeColumns(game);
  const std::size_t fieldCount = 2 + 2 * static_cast<std::size_t>(r.prizeTiers) + (r.carryover ? 1 : 0);
  std::vector<DrawPrizes> rows;
  std::uint32_t lineNo = 0;
  for (const std::string_view line : CsvLines(bytes)) {
    ++lineNo;
    const auto fail = [&](const std::string& text) { throw Fault{lineNo, text}; };
    if (lineNo == 1) {
      if (line != columns) fail("the first line must be the column names " + columns);
      continue;
    }
    if (line.empty()) fail("empty line; every line after the first is one draw's prizes: " + columns);
    const std::vector<std::string_view> fields = CsvFields(line);
    if (fields.size() != fieldCount)
      fail(std::to_string(fields.size()) + " fields instead of " + std::to_string(fieldCount) + ": " + Quoted(line, false));

    DrawPrizes d;
    const auto number = ParseDrawNo(fields[0]);
    if (!number) fail("draw number " + Quoted(fields[0], false) + " is not a whole number from 1 without leading zeros");
    d.number = *number;
    if (!rows.empty() && d.number <= rows.back().number)
      fail("draw number " + std::to_string(d.number) + " is not above the previous row's (" +
           std::to_string(rows.back().number) + ")");
    const auto date = ParseIsoDate(fields[1]);
    if (!date) fail("date " + Quoted(fields[1], false) + " is not a real date YYYY-MM-DD");
    d.date = *date;
    if (!rows.empty() && !(rows.back().date < d.date))
      fail("date " + IsoDate(d.date) + " is not later than the previous row's (" + IsoDate(rows.back().date) + ")");
    const auto whole = [&](std::string_view text, const std::string& what) {
      const auto n = ParseWhole(text);
      if (!n)
        fail(what + " " + Quoted(text, false) + " is not a whole number of at most " + std::to_string(kMaxPrizeDigits) +
             " digits without sign or leading zeros");
      return *n;
    };
    for (int t = 0; t < r.prizeTiers; ++t) {
      const std::size_t at = 2 + 2 * static_cast<std::size_t>(t);
      const std::string tier = "tier " + std::to_string(t + 1);
      PrizeTier p;
      p.winners = whole(fields[at], tier + " winners");
      p.amount = whole(fields[at + 1], tier + " amount");
      if ((p.winners == 0) != (p.amount == 0))
        fail(tier + ": " + std::to_string(p.winners) + " winners with an amount of " + std::to_string(p.amount) +
             " yen (winners are 0 exactly when the amount is 0)");
      d.tiers.push_back(p);
    }
    if (r.carryover) d.carryover = whole(fields.back(), "carryover");
    rows.push_back(std::move(d));
  }
  if (lineNo == 0) throw Fault{1, "empty file; the first line must be " + columns};
  return rows;
}

}  // namespace

std::string PrizeFileName(Game game) { return HistoryFileName(game); }

std::string PrizeColumns(Game game) {
  const GameRules& r = RulesOf(game);
  std::string columns = "draw_no,date";
  for (int t = 1; t <= r.prizeTiers; ++t) {
    const std::string tier = ",t" + std::to_string(t);
    columns += tier + "_winners" + tier + "_amount";
  }
  if (r.carryover) columns += ",carryover";
  return columns;
}

std::vector<DrawPrizes> ParsePrizes(std::string_view bytes, Game game, const std::string& file) {
  try {
    return Parse(bytes, game);
  } catch (const Fault& f) {
    throw HistoryError(At(file, f.line, f.text));
  }
}

std::vector<ListProblem> ValidatePrizeFile(std::string_view bytes, Game game) {
  if (bytes.size() > kMaxPrizeFileBytes) return {{0, "larger than " + std::to_string(kMaxPrizeFileBytes >> 20) + " MiB"}};
  try {
    Parse(bytes, game);
  } catch (const Fault& f) {
    return {{f.line, f.text}};
  }
  return {};
}

std::string FormatPrizeRow(const DrawPrizes& prizes) {
  std::string line = std::to_string(prizes.number) + "," + IsoDate(prizes.date);
  for (const PrizeTier& t : prizes.tiers) line += "," + std::to_string(t.winners) + "," + std::to_string(t.amount);
  if (prizes.carryover) line += "," + std::to_string(*prizes.carryover);
  return line;
}

std::string FormatPrizes(const std::vector<DrawPrizes>& prizes, Game game) {
  std::string bytes = PrizeColumns(game) + "\n";
  bytes.reserve(bytes.size() + prizes.size() * 80);
  for (const DrawPrizes& p : prizes) bytes += FormatPrizeRow(p) + "\n";
  return bytes;
}

std::optional<ListProblem> PrizesAgainstDraws(const std::vector<DrawPrizes>& prizes, const std::vector<Draw>& draws,
                                              Game game) {
  // Draws are numbered 1, 2, … without gaps (ParseHistory): draw n is draws[n - 1].
  for (std::size_t i = 0; i < prizes.size(); ++i) {
    const DrawPrizes& p = prizes[i];
    const auto line = static_cast<std::uint32_t>(i + 2);
    if (p.number > draws.size())
      return ListProblem{line, "prizes of " + std::string(GameName(game)) + " draw " + std::to_string(p.number) +
                                   ", which is not in the history (its last draw is " +
                                   (draws.empty() ? std::string("none") : std::to_string(draws.back().number)) + ")"};
    const Draw& d = draws[p.number - 1];
    if (d.number != p.number || d.date != p.date)
      return ListProblem{line, "draw " + std::to_string(p.number) + " of " + IsoDate(p.date) + ": the history has it on " +
                                   IsoDate(d.date)};
  }
  return std::nullopt;
}

const DrawPrizes* PrizesOfDraw(const std::vector<DrawPrizes>& prizes, std::uint32_t drawNumber) {
  const auto it = std::lower_bound(prizes.begin(), prizes.end(), drawNumber,
                                   [](const DrawPrizes& p, std::uint32_t n) { return p.number < n; });
  return it != prizes.end() && it->number == drawNumber ? &*it : nullptr;
}

}  // namespace numira
