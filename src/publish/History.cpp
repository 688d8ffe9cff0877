#include "History.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "FileIo.h"
#include "ListValidation.h"

namespace numira {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool AllDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit); }

std::string StoredForm(Game game) {
  const EntryRules r = RulesOf(game);
  if (!IsLoto(game)) return std::to_string(r.count) + " digits, like " + std::string(game == Game::Num3 ? "084" : "0841");
  return std::to_string(r.count) + " distinct numbers 1-" + std::to_string(r.largest) +
         ", ascending, joined by \".\", like " + (game == Game::Mini ? "2.5.9.17.31" : "1.8.19.27.33.42");
}

// A draw number as written: decimal digits without leading zeros, within 32 bits.
std::optional<std::uint32_t> ParseDrawNo(std::string_view text) {
  if (!AllDigits(text) || text.size() > 9 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  std::uint32_t n = 0;
  for (char c : text) n = n * 10 + static_cast<std::uint32_t>(c - '0');
  if (n == 0) return std::nullopt;
  return n;
}

// Splits at ','; returns the fields.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const auto comma = line.find(',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    line.remove_prefix(comma + 1);
  }
}

}  // namespace

std::string At(const std::string& file, std::uint32_t line, const std::string& text) {
  return line == 0 ? file + ": " + text : file + ":" + std::to_string(line) + ": " + text;
}

std::optional<Game> GameByName(std::string_view name) {
  for (const HistoryGame& g : kHistoryGames)
    if (name == g.name) return g.game;
  return std::nullopt;
}

std::optional<Date> ParseDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !AllDigits(text.substr(0, 4)) ||
      !AllDigits(text.substr(5, 2)) || !AllDigits(text.substr(8, 2)))
    return std::nullopt;
  const auto num = [&](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  const Date d{num(0, 4), num(5, 2), num(8, 2)};
  if (!IsRealDate(d)) return std::nullopt;
  return d;
}

std::string IsoDate(Date date) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buf;
}

std::string JapaneseDate(Date date) {
  return std::to_string(date.year) + "年" + std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
}

std::vector<Draw> ParseHistory(std::string_view bytes, Game game, const std::string& file) {
  std::vector<Draw> draws;
  std::uint32_t lineNo = 0;
  while (!bytes.empty()) {
    ++lineNo;
    const auto lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fail = [&](const std::string& text) { throw PublishError(At(file, lineNo, text)); };
    if (lineNo == 1) {
      if (line != kHistoryColumns) fail("the first line must be the column names " + std::string(kHistoryColumns));
      continue;
    }
    if (line.empty()) fail("empty line; every line after the first is one draw: draw_no,date,numbers");
    const auto fields = Fields(line);
    if (fields.size() != 3)
      fail(std::to_string(fields.size()) + " fields instead of 3 (draw_no,date,numbers): " + Quoted(line, false));

    Draw d;
    const auto number = ParseDrawNo(fields[0]);
    if (!number) fail("draw number " + Quoted(fields[0], false) + " is not a whole number from 1 without leading zeros");
    d.number = *number;
    if (!draws.empty() && d.number != draws.back().number + 1)
      fail("draw number " + std::to_string(d.number) + " out of sequence: expected " +
           std::to_string(draws.back().number + 1));
    const auto date = ParseDate(fields[1]);
    if (!date) fail("date " + Quoted(fields[1], false) + " is not a real date YYYY-MM-DD");
    d.date = *date;
    if (!draws.empty() && !(draws.back().date < d.date))
      fail("date " + IsoDate(d.date) + " is not later than the previous draw's (" + IsoDate(draws.back().date) + ")");
    if (!IsValidEntry(fields[2], game))
      fail("numbers " + Quoted(fields[2], false) + " are not a " + GameName(game) + " result in stored form (" +
           StoredForm(game) + ")");
    d.numbers = std::string(fields[2]);
    draws.push_back(std::move(d));
  }
  if (lineNo == 0) throw PublishError(At(file, 1, "empty file; the first line must be " + std::string(kHistoryColumns)));
  return draws;
}

std::vector<Draw> ReadHistory(const std::string& path, Game game) {
  return ParseHistory(ReadWholeFile(path), game, path);
}

std::string NormaliseNumbers(std::string_view text, Game game) {
  const EntryRules r = RulesOf(game);
  const std::string name = GameName(game);
  if (!IsLoto(game)) {
    std::string_view t = text;
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (t.size() != static_cast<std::size_t>(r.count) || !AllDigits(t))
      throw PublishError("numbers " + Quoted(text, false) + ": a " + name + " result is exactly " + StoredForm(game));
    return std::string(t);
  }
  std::vector<int> numbers;
  std::size_t i = 0;
  const auto isSeparator = [](char c) { return c == '.' || c == ',' || c == ' ' || c == '\t'; };
  const auto emptyField = [&] {
    throw PublishError("numbers " + Quoted(text, false) + ": a \".\" or \",\" must stand between two numbers");
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
      throw PublishError("numbers " + Quoted(text, false) + ": " + Quoted(field, false) + " is not a number from 1 to " +
                         std::to_string(r.largest));
    const int n = field.size() == 1 ? field[0] - '0' : (field[0] - '0') * 10 + (field[1] - '0');
    if (n < 1 || n > r.largest)
      throw PublishError("numbers " + Quoted(text, false) + ": " + std::to_string(n) + " is outside 1-" +
                         std::to_string(r.largest) + " for " + name);
    if (std::find(numbers.begin(), numbers.end(), n) != numbers.end())
      throw PublishError("numbers " + Quoted(text, false) + ": " + std::to_string(n) + " appears twice");
    numbers.push_back(n);
    i = end;
  }
  if (markPending) emptyField();
  if (numbers.size() != static_cast<std::size_t>(r.count))
    throw PublishError("numbers " + Quoted(text, false) + ": a " + name + " result has " + std::to_string(r.count) +
                       " numbers, not " + std::to_string(numbers.size()));
  std::sort(numbers.begin(), numbers.end());
  std::string stored;
  for (int n : numbers) {
    if (!stored.empty()) stored += '.';
    stored += std::to_string(n);
  }
  if (!IsValidEntry(stored, game)) throw PublishError("numbers " + Quoted(text, false) + " are not a " + name + " result");
  return stored;
}

}  // namespace numira
