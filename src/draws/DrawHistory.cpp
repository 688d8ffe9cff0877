#include "DrawHistory.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "Encoding.h"
#include "Entry.h"
#include "FileStore.h"

namespace numira {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool AllDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit); }

std::string StoredForm(Game game) { return EntryFormText(game) + ", like " + RulesOf(game).example; }

}  // namespace

std::optional<std::uint32_t> ParseDrawNo(std::string_view text) {
  if (!AllDigits(text) || text.size() > 9 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  std::uint32_t n = 0;
  for (char c : text) n = n * 10 + static_cast<std::uint32_t>(c - '0');
  if (n == 0) return std::nullopt;
  return n;
}

std::vector<std::string_view> CsvFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const auto comma = line.find(',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    line.remove_prefix(comma + 1);
  }
}

namespace {

// A number of the game's range as stored: 1 or 2 digits without a leading zero.
std::optional<int> ParseStoredNumber(std::string_view text, Game game) {
  if (!AllDigits(text) || text.size() > 2 || text[0] == '0') return std::nullopt;
  const int n = text.size() == 1 ? text[0] - '0' : (text[0] - '0') * 10 + (text[1] - '0');
  if (n > RulesOf(game).largest) return std::nullopt;
  return n;
}

// A draw's bonus numbers as stored: the game's count of them, ascending, joined by ".".
std::optional<std::vector<int>> ParseStoredBonus(std::string_view text, Game game) {
  std::vector<int> bonus;
  for (;;) {
    const auto dot = text.find('.');
    const auto n = ParseStoredNumber(text.substr(0, dot), game);
    if (!n || (!bonus.empty() && *n <= bonus.back())) return std::nullopt;
    bonus.push_back(*n);
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  if (bonus.size() != static_cast<std::size_t>(RulesOf(game).bonusCount)) return std::nullopt;
  return bonus;
}

// The stored form of a game's bonus numbers, in words.
std::string BonusForm(Game game) {
  const GameRules& r = RulesOf(game);
  if (r.bonusCount == 1) return "a number from 1 to " + std::to_string(r.largest) + " without leading zeros";
  return std::to_string(r.bonusCount) + " distinct numbers from 1 to " + std::to_string(r.largest) +
         " without leading zeros, ascending, joined by \".\"";
}

bool Contains(const std::vector<int>& numbers, int n) { return std::find(numbers.begin(), numbers.end(), n) != numbers.end(); }

}  // namespace

std::string At(const std::string& file, std::uint32_t line, const std::string& text) {
  return line == 0 ? file + ": " + text : file + ":" + std::to_string(line) + ": " + text;
}

std::vector<std::string_view> CsvLines(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
    throw CsvFault{1, "the file starts with a byte-order mark (EF BB BF); save it as UTF-8 without one"};
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const auto lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

namespace {

using Fault = CsvFault;

// The draws of a history, or its first fault.
std::vector<Draw> Parse(std::string_view bytes, Game game) {
  std::vector<Draw> draws;
  std::uint32_t lineNo = 0;
  bool bonusColumn = false;
  for (const std::string_view line : CsvLines(bytes)) {
    ++lineNo;
    const auto fail = [&](const std::string& text) { throw Fault{lineNo, text}; };
    if (lineNo == 1) {
      const bool hasBonus = RulesOf(game).bonusCount > 0;
      bonusColumn = hasBonus && line == kHistoryColumnsWithBonus;
      if (line != kHistoryColumns && !bonusColumn)
        fail("the first line must be the column names " + std::string(kHistoryColumns) +
             (hasBonus ? " (or " + std::string(kHistoryColumnsWithBonus) + ")" : ""));
      continue;
    }
    const std::string columns(bonusColumn ? kHistoryColumnsWithBonus : kHistoryColumns);
    if (line.empty()) fail("empty line; every line after the first is one draw: " + columns);
    const auto fields = CsvFields(line);
    if (fields.size() != 3 && !(bonusColumn && fields.size() == 4))
      fail(std::to_string(fields.size()) + " fields instead of " + (bonusColumn ? "3 or 4" : "3") + " (" + columns +
           "): " + Quoted(line, false));

    Draw d;
    const auto number = ParseDrawNo(fields[0]);
    if (!number) fail("draw number " + Quoted(fields[0], false) + " is not a whole number from 1 without leading zeros");
    d.number = *number;
    if (draws.empty() && d.number != 1)
      fail("draw number " + std::to_string(d.number) + ": a history must start at draw 1");
    if (!draws.empty() && d.number != draws.back().number + 1)
      fail("draw number " + std::to_string(d.number) + " out of sequence: expected " +
           std::to_string(draws.back().number + 1));
    const auto date = ParseIsoDate(fields[1]);
    if (!date) fail("date " + Quoted(fields[1], false) + " is not a real date YYYY-MM-DD");
    d.date = *date;
    if (!draws.empty() && !(draws.back().date < d.date))
      fail("date " + IsoDate(d.date) + " is not later than the previous draw's (" + IsoDate(draws.back().date) + ")");
    if (!IsValidEntry(fields[2], game))
      fail("numbers " + Quoted(fields[2], false) + " are not a " + GameName(game) + " result in stored form (" +
           StoredForm(game) + ")");
    d.numbers = std::string(fields[2]);
    if (fields.size() == 4 && !fields[3].empty()) {
      auto bonus = ParseStoredBonus(fields[3], game);
      if (!bonus)
        fail((RulesOf(game).bonusCount == 1 ? "bonus number " : "bonus ") + Quoted(fields[3], false) + " is not " +
             BonusForm(game));
      const std::vector<int> numbers = EntryNumberList(d.numbers, game);
      for (int n : *bonus)
        if (Contains(numbers, n)) fail("bonus number " + std::to_string(n) + " is one of the draw's numbers");
      d.bonus = std::move(*bonus);
    }
    draws.push_back(std::move(d));
  }
  if (lineNo == 0) throw Fault{1, "empty file; the first line must be " + std::string(kHistoryColumns)};
  return draws;
}

}  // namespace

std::vector<Draw> ParseHistory(std::string_view bytes, Game game, const std::string& file) {
  try {
    return Parse(bytes, game);
  } catch (const Fault& f) {
    throw HistoryError(At(file, f.line, f.text));
  }
}

std::vector<ListProblem> ValidateDrawFile(std::string_view bytes, Game game) {
  if (bytes.size() > kMaxDrawFileBytes)
    return {{0, "larger than " + std::to_string(kMaxDrawFileBytes >> 20) + " MiB"}};
  try {
    if (Parse(bytes, game).empty()) return {{0, "no draws"}};
  } catch (const Fault& f) {
    return {{f.line, f.text}};
  }
  return {};
}

std::string FormatDraw(const Draw& draw) {
  std::string line = std::to_string(draw.number) + "," + IsoDate(draw.date) + "," + draw.numbers;
  if (!draw.bonus.empty()) line += "," + FormatBonus(draw.bonus);
  return line;
}

std::string FormatBonus(const std::vector<int>& bonus) {
  std::string text;
  for (int n : bonus) text += (text.empty() ? "" : ".") + std::to_string(n);
  return text;
}

std::string FormatHistory(const std::vector<Draw>& draws, Game game) {
  const bool bonus = RulesOf(game).bonusCount > 0 &&
                     std::any_of(draws.begin(), draws.end(), [](const Draw& d) { return !d.bonus.empty(); });
  std::string bytes(bonus ? kHistoryColumnsWithBonus : kHistoryColumns);
  bytes += '\n';
  bytes.reserve(draws.size() * 24 + bytes.size());
  for (const Draw& d : draws) {
    bytes += FormatDraw(d);
    bytes += '\n';
  }
  return bytes;
}

std::optional<std::string> ReadDrawFile(const std::string& path, std::size_t maxBytes) {
  return ReadRegularFile(path, maxBytes);
}

std::string NormaliseNumbers(std::string_view text, Game game) {
  const GameRules& r = RulesOf(game);
  const std::string name = GameName(game);
  if (IsNumbers(game)) {
    std::string_view t = text;
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (t.size() != static_cast<std::size_t>(r.count) || !AllDigits(t))
      throw HistoryError("numbers " + Quoted(text, false) + ": a " + name + " result is exactly " + StoredForm(game));
    return std::string(t);
  }
  std::vector<int> numbers;
  std::size_t i = 0;
  const auto isSeparator = [](char c) { return c == '.' || c == ',' || c == ' ' || c == '\t'; };
  const auto emptyField = [&] {
    throw HistoryError("numbers " + Quoted(text, false) + ": a \".\" or \",\" must stand between two numbers");
  };
  bool afterNumber = false;  // a "." or "," may follow a number only
  bool markPending = false;  // a "." or "," still waits for its next number
  while (i < text.size()) {
    if (isSeparator(text[i])) {
      if (text[i] == '.' || text[i] == ',') {
        if (!afterNumber) emptyField();
        afterNumber = false;
        markPending = true;
      }
      ++i;
      continue;
    }
    afterNumber = true;
    markPending = false;
    std::size_t end = i;
    while (end < text.size() && !isSeparator(text[end])) ++end;
    const std::string_view field = text.substr(i, end - i);
    if (!AllDigits(field) || field.size() > 2)
      throw HistoryError("numbers " + Quoted(text, false) + ": " + Quoted(field, false) + " is not a number from 1 to " +
                         std::to_string(r.largest));
    const int n = field.size() == 1 ? field[0] - '0' : (field[0] - '0') * 10 + (field[1] - '0');
    if (n < 1 || n > r.largest)
      throw HistoryError("numbers " + Quoted(text, false) + ": " + std::to_string(n) + " is outside 1-" +
                         std::to_string(r.largest) + " for " + name);
    if (Contains(numbers, n)) throw HistoryError("numbers " + Quoted(text, false) + ": " + std::to_string(n) + " appears twice");
    numbers.push_back(n);
    i = end;
  }
  if (markPending) emptyField();
  if (numbers.size() != static_cast<std::size_t>(r.count))
    throw HistoryError("numbers " + Quoted(text, false) + ": a " + name + " result has " + std::to_string(r.count) +
                       " numbers, not " + std::to_string(numbers.size()));
  std::sort(numbers.begin(), numbers.end());
  EntryNumbers sorted{};
  std::copy(numbers.begin(), numbers.end(), sorted.begin());
  const std::string stored = FormatEntry(sorted, game);
  if (!IsValidEntry(stored, game)) throw HistoryError("numbers " + Quoted(text, false) + " are not a " + name + " result");
  return stored;
}

std::vector<int> ParseBonus(std::string_view text, Game game, std::string_view storedNumbers) {
  const std::string name = GameName(game);
  const GameRules& r = RulesOf(game);
  if (r.bonusCount == 0) throw HistoryError(name + " has no bonus number");
  const int largest = r.largest;
  const std::vector<int> numbers = EntryNumberList(storedNumbers, game);
  std::vector<int> bonus;
  const auto isSeparator = [](char c) { return c == '.' || c == ',' || c == ' ' || c == '\t'; };
  for (std::size_t i = 0; i < text.size();) {
    if (isSeparator(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !isSeparator(text[end])) ++end;
    const std::string_view field = text.substr(i, end - i);
    i = end;
    if (!AllDigits(field) || field.size() > 2)
      throw HistoryError("bonus number " + Quoted(field, false) + " is not a number from 1 to " + std::to_string(largest));
    const int n = field.size() == 1 ? field[0] - '0' : (field[0] - '0') * 10 + (field[1] - '0');
    if (n < 1 || n > largest)
      throw HistoryError("bonus number " + std::to_string(n) + " is outside 1-" + std::to_string(largest) + " for " + name);
    if (Contains(numbers, n)) throw HistoryError("bonus number " + std::to_string(n) + " is one of the draw's numbers");
    if (Contains(bonus, n)) throw HistoryError("bonus number " + std::to_string(n) + " appears twice");
    bonus.push_back(n);
  }
  if (bonus.size() != static_cast<std::size_t>(r.bonusCount))
    throw HistoryError("bonus " + Quoted(text, false) + ": a " + name + " draw has " + std::to_string(r.bonusCount) +
                       (r.bonusCount == 1 ? " bonus number" : " bonus numbers") + ", not " + std::to_string(bonus.size()));
  std::sort(bonus.begin(), bonus.end());
  return bonus;
}

std::vector<std::optional<std::uint32_t>> DrawsSinceLast(const std::vector<Draw>& draws, Game game) {
  if (IsNumbers(game)) return {};
  const int largest = RulesOf(game).largest;
  std::vector<std::optional<std::uint32_t>> since(static_cast<std::size_t>(largest));
  std::size_t open = since.size();
  for (std::size_t back = 0; back < draws.size() && open > 0; ++back) {
    for (int n : EntryNumberList(draws[draws.size() - 1 - back].numbers, game)) {
      if (n < 1 || n > largest) continue;
      auto& slot = since[static_cast<std::size_t>(n - 1)];
      if (!slot) {
        slot = static_cast<std::uint32_t>(back);
        --open;
      }
    }
  }
  return since;
}

}  // namespace numira
