#include "History.h"

#include <algorithm>
#include <filesystem>

#include "FileIo.h"

namespace numira {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool AllDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit); }

// A draw number as written: decimal digits without leading zeros, within 32 bits.
std::optional<std::uint32_t> ParseDrawNo(std::string_view text) {
  if (!AllDigits(text) || text.size() > 9 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  std::uint32_t n = 0;
  for (char c : text) n = n * 10 + static_cast<std::uint32_t>(c - '0');
  if (n == 0) return std::nullopt;
  return n;
}

}  // namespace

std::vector<Draw> ReadHistory(const std::string& path, Game game) {
  return ParseHistory(ReadWholeFile(path), game, path);
}

Draw AddDraw(const std::string& path, Game game, std::string_view drawNo, std::string_view date,
             std::string_view numbers, std::optional<std::string_view> bonus) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  const FolderLock lock(folder.empty() ? "." : folder.string());
  RemoveStagedLeftovers(folder.empty() ? "." : folder.string(), std::filesystem::path(path).filename().string());
  const std::string bytes = ReadWholeFile(path);
  const std::vector<Draw> draws = ParseHistory(bytes, game, path);

  // The line the new draw would take.
  std::uint32_t line = static_cast<std::uint32_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
  if (!bytes.empty() && bytes.back() != '\n') ++line;
  const auto fail = [&](const std::string& text) { throw PublishError(At(path, line, text)); };

  Draw d;
  const std::uint32_t expected = draws.empty() ? 1 : draws.back().number + 1;
  const auto number = ParseDrawNo(drawNo);
  if (!number || *number != expected)
    fail("draw number " + Quoted(drawNo, false) + ": the next " + GameName(game) + " draw is " + std::to_string(expected) +
         (draws.empty() ? "" : " (the last one is " + std::to_string(draws.back().number) + ")"));
  d.number = *number;
  const auto parsedDate = ParseDate(date);
  if (!parsedDate) fail("date " + Quoted(date, false) + " is not a real date YYYY-MM-DD");
  d.date = *parsedDate;
  if (!draws.empty() && !(draws.back().date < d.date))
    fail("date " + IsoDate(d.date) + " is not later than the last draw's (" + IsoDate(draws.back().date) + ")");
  try {
    d.numbers = NormaliseNumbers(numbers, game);
  } catch (const PublishError& e) {
    fail(e.what());
  }
  std::string updated = bytes;
  if (bonus) {
    try {
      d.bonus = ParseBonus(*bonus, game, d.numbers);
    } catch (const PublishError& e) {
      fail(e.what());
    }
    // Older draws keep no bonus: the column is added, their lines stay as they are.
    if (updated.compare(0, kHistoryColumns.size() + 1, std::string(kHistoryColumns) + "\n") == 0)
      updated.replace(0, kHistoryColumns.size(), kHistoryColumnsWithBonus);
    else if (updated.compare(0, kHistoryColumns.size() + 2, std::string(kHistoryColumns) + "\r\n") == 0)
      updated.replace(0, kHistoryColumns.size(), kHistoryColumnsWithBonus);
  }

  if (!updated.empty() && updated.back() != '\n') updated += '\n';
  updated += FormatDraw(d) + "\n";
  ReplaceFile(path, updated);
  return d;
}

}  // namespace numira
