#include "Entry.h"

#include "ListReader.h"

namespace numira {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<EntryNumbers> ParseEntry(std::string_view entry, Game game) {
  const GameRules& r = RulesOf(game);
  EntryNumbers numbers{};
  if (IsNumbers(game)) {
    if (entry.size() != static_cast<std::size_t>(r.count)) return std::nullopt;
    for (int k = 0; k < r.count; ++k) {
      const char c = entry[static_cast<std::size_t>(k)];
      if (!IsDigit(c)) return std::nullopt;
      numbers[static_cast<std::size_t>(k)] = c - '0';
    }
    return numbers;
  }
  // Loto: each number above the one before; ビンゴ５: each in its own square.
  const bool squares = r.form == EntryForm::Squares;
  int previous = 0;
  for (int k = 0; k < r.count; ++k) {
    const auto dot = entry.find('.');
    if ((k + 1 == r.count) != (dot == std::string_view::npos)) return std::nullopt;
    const std::string_view field = entry.substr(0, dot);
    if (field.empty() || field.size() > 2 || field[0] == '0' || !IsDigit(field[0]) ||
        (field.size() == 2 && !IsDigit(field[1])))
      return std::nullopt;
    const int n = field.size() == 1 ? field[0] - '0' : (field[0] - '0') * 10 + (field[1] - '0');
    if (n > r.largest || n <= previous) return std::nullopt;  // ascending, so also distinct
    if (squares && (n - 1) / SquareSize(game) != k) return std::nullopt;
    numbers[static_cast<std::size_t>(k)] = previous = n;
    if (dot != std::string_view::npos) entry.remove_prefix(dot + 1);
  }
  return numbers;
}

std::vector<int> EntryNumberList(std::string_view entry, Game game) {
  const auto numbers = ParseEntry(entry, game);
  if (!numbers) return {};
  return std::vector<int>(numbers->begin(), numbers->begin() + RulesOf(game).count);
}

std::vector<std::int32_t> EntryFields(std::string_view entry) {
  std::vector<std::int32_t> fields;
  for (;;) {
    const auto dot = entry.find('.');
    fields.push_back(ParseInt32(entry.substr(0, dot)));
    if (dot == std::string_view::npos) return fields;
    entry.remove_prefix(dot + 1);
  }
}

std::string FormatEntry(const EntryNumbers& numbers, Game game) {
  const int count = RulesOf(game).count;
  std::string text;
  for (int k = 0; k < count; ++k) {
    const int n = numbers[static_cast<std::size_t>(k)];
    if (IsNumbers(game)) {
      text += static_cast<char>('0' + n);
      continue;
    }
    if (k > 0) text += '.';
    text += std::to_string(n);
  }
  return text;
}

std::string NumbersEntry(int value, Game game) {
  std::string text(static_cast<std::size_t>(RulesOf(game).count), '0');
  for (auto it = text.rbegin(); it != text.rend() && value > 0; ++it, value /= 10) *it = static_cast<char>('0' + value % 10);
  return text;
}

std::optional<int> NumbersValue(std::string_view entry, Game game) {
  if (!IsNumbers(game)) return std::nullopt;
  const auto digits = ParseEntry(entry, game);
  if (!digits) return std::nullopt;
  int n = 0;
  for (int k = 0; k < RulesOf(game).count; ++k) n = n * 10 + (*digits)[static_cast<std::size_t>(k)];
  return n;
}

std::string EntryFormText(Game game) {
  const GameRules& r = RulesOf(game);
  if (IsNumbers(game)) return std::to_string(r.count) + " digits";
  if (r.form == EntryForm::Squares)
    return std::to_string(r.count) + " numbers joined by \".\", the i-th from " + std::to_string(SquareSize(game)) +
           "i-" + std::to_string(SquareSize(game) - 1) + " to " + std::to_string(SquareSize(game)) + "i";
  return std::to_string(r.count) + " distinct numbers 1-" + std::to_string(r.largest) + ", ascending, joined by \".\"";
}

}  // namespace numira
