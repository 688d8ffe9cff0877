#include "HistoryEdit.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "FileIo.h"
#include "Encoding.h"

namespace numira {
namespace {

// The lines of a history ending in LF: the number of LFs, plus one for a last line without.
std::uint32_t LineCount(std::string_view bytes) {
  auto lines = static_cast<std::uint32_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  if (!bytes.empty() && bytes.back() != '\n') ++lines;
  return lines;
}

// The history file itself (a link followed to its target), locked, with what a killed
// writer left beside it removed.
struct LockedHistory {
  explicit LockedHistory(const std::string& path)
      : file(FollowLinks(path)), folder(FolderOf(file)), lock(folder) {
    ThrowUnlessLocked(lock);
    const std::string files[] = {file};
    SweepLeftovers(files, &lock);
  }
  static std::string FolderOf(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    return folder.empty() ? "." : folder.string();
  }
  std::string file, folder;
  FolderLock lock;
};

// What a new draw of the game lacks without its bonus number; "" for a game without one.
std::string MissingBonus(Game game) {
  if (!IsLoto(game)) return {};
  return std::string("no bonus number: a new ") + GameName(game) + " draw is added with its bonus number";
}

// A history's bytes with draws appended after its last line. With a bonus number among
// them the history gains its bonus column; older draws keep their lines as they are.
std::string Appended(std::string bytes, const std::vector<Draw>& draws) {
  if (std::any_of(draws.begin(), draws.end(), [](const Draw& d) { return d.bonus.has_value(); }))
    for (const char* end : {"\n", "\r\n"})
      if (bytes.compare(0, kHistoryColumns.size() + std::strlen(end), std::string(kHistoryColumns) + end) == 0)
        bytes.replace(0, kHistoryColumns.size(), kHistoryColumnsWithBonus);
  if (!bytes.empty() && bytes.back() != '\n') bytes += '\n';
  for (const Draw& d : draws) bytes += FormatDraw(d) + "\n";
  return bytes;
}

// The draw number a line starts with, as a history writes it; nullopt for anything else.
std::optional<std::uint32_t> LeadingDrawNo(std::string_view line) {
  const std::string_view field = line.substr(0, line.find(','));
  if (field.empty() || field.size() > 9 || field[0] == '0' ||
      !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(std::string(field)));
}

// The draws of an import file in the history's own format. It may start at any draw up
// to the one after the history's last: it is read as the continuation of the history's
// draws before its first, so every rule of a history holds across the seam, and a fault
// is named by the file's own line.
std::vector<Draw> ParseImport(std::string_view bytes, const std::vector<Draw>& history, Game game,
                              const std::string& file) {
  const auto headerEnd = bytes.find('\n');
  if (headerEnd == std::string_view::npos || headerEnd + 1 == bytes.size()) {
    // A column line alone (or not even that): no draws, but a wrong column line is named.
    const std::vector<ListProblem> problems = ValidateDrawFile(bytes, game);
    if (!problems.empty() && problems.front().line != 0) throw PublishError(At(file, problems.front().line, problems.front().text));
    return {};
  }
  std::string_view header = bytes.substr(0, headerEnd);
  if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
  const std::string_view rows = bytes.substr(headerEnd + 1);
  const std::uint32_t first = LeadingDrawNo(rows.substr(0, rows.find('\n'))).value_or(1);
  const std::uint32_t last = history.empty() ? 0 : history.back().number;
  if (first > last + 1)
    throw PublishError(At(file, 2, "draw number " + std::to_string(first) + ": the " + GameName(game) +
                                       " history ends at draw " + std::to_string(last) + ", so the file must go on from " +
                                       std::to_string(last + 1) + " (or repeat draws before it)"));
  const bool bonusColumn = header == kHistoryColumnsWithBonus;
  std::string merged = std::string(header) + "\n";
  for (std::uint32_t i = 0; i + 1 < first; ++i) {
    Draw d = history[i];
    if (!bonusColumn) d.bonus.reset();
    merged += FormatDraw(d) + "\n";
  }
  merged += rows;
  const std::vector<ListProblem> problems = ValidateDrawFile(merged, game);
  if (!problems.empty()) {
    const ListProblem& p = problems.front();
    throw PublishError(At(file, p.line > first ? p.line - (first - 1) : p.line, p.text));
  }
  std::vector<Draw> draws = ParseHistory(merged, game, file);
  draws.erase(draws.begin(), draws.begin() + (first - 1));
  return draws;
}

}  // namespace

Date JapanToday() {
  using namespace std::chrono;
  const year_month_day day{floor<days>(system_clock::now() + hours(9))};
  return {static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
          static_cast<int>(static_cast<unsigned>(day.day()))};
}

Draw AddDraw(const std::string& path, Game game, std::string_view drawNo, std::string_view date,
             std::string_view numbers, Date today, std::optional<std::string_view> bonus) {
  const LockedHistory history(path);
  const std::string bytes = ReadWholeFile(history.file);
  const std::vector<Draw> draws = ParseHistory(bytes, game, path);

  // The line the new draw would take.
  const std::uint32_t line = LineCount(bytes) + 1;
  const auto fail = [&](const std::string& text) { throw PublishError(At(path, line, text)); };

  Draw d;
  d.number = draws.empty() ? 1 : draws.back().number + 1;
  // The one accepted spelling: plain decimal digits, no sign, no leading zero.
  if (drawNo != std::to_string(d.number))
    fail("draw number " + Quoted(drawNo, false) + ": the next " + GameName(game) + " draw is " +
         std::to_string(d.number) + (draws.empty() ? "" : " (the last one is " + std::to_string(draws.back().number) + ")"));
  const auto parsedDate = ParseIsoDate(date);
  if (!parsedDate) fail("date " + Quoted(date, false) + " is not a real date YYYY-MM-DD");
  d.date = *parsedDate;
  if (!draws.empty() && !(draws.back().date < d.date))
    fail("date " + IsoDate(d.date) + " is not later than the last draw's (" + IsoDate(draws.back().date) + ")");
  if (today < d.date) fail("date " + IsoDate(d.date) + " is later than today in Japan (" + IsoDate(today) + ")");
  try {
    d.numbers = NormaliseNumbers(numbers, game);
  } catch (const PublishError& e) {
    fail(e.what());
  }

  if (bonus) {
    try {
      d.bonus = ParseBonus(*bonus, game, d.numbers);
    } catch (const PublishError& e) {
      fail(e.what());
    }
  } else if (const std::string missing = MissingBonus(game); !missing.empty()) {
    fail(missing + " (--bonus N)");
  }
  ReplaceFile(history.file, Appended(bytes, {d}));
  return d;
}

ImportOutcome ImportDraws(const std::string& path, Game game, const std::string& file, Date today) {
  const LockedHistory history(path);
  const std::string bytes = ReadWholeFile(history.file);
  const std::vector<Draw> draws = ParseHistory(bytes, game, path);
  const std::vector<Draw> rows = ParseImport(ReadWholeFile(file, kMaxDrawFileBytes), draws, game, file);
  ImportOutcome outcome;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Draw& row = rows[i];
    const auto fail = [&](const std::string& text) { throw PublishError(At(file, static_cast<std::uint32_t>(i + 2), text)); };
    if (row.number <= draws.size()) {
      // A draw the history has: the same, or the file is wrong (or the history is).
      const Draw& known = draws[row.number - 1];
      if (known.date != row.date || known.numbers != row.numbers || (known.bonus && row.bonus && known.bonus != row.bonus))
        fail("draw " + std::to_string(row.number) + " differs from the history's (" + path + ":" +
             std::to_string(row.number + 1) + ": " + FormatDraw(known) + ")");
      ++outcome.known;
      continue;
    }
    if (today < row.date) fail("date " + IsoDate(row.date) + " is later than today in Japan (" + IsoDate(today) + ")");
    if (!row.bonus)
      if (const std::string missing = MissingBonus(game); !missing.empty()) fail(missing);
    outcome.added.push_back(row);
  }
  if (!outcome.added.empty()) ReplaceFile(history.file, Appended(bytes, outcome.added));
  return outcome;
}

std::vector<InitOutcome> InitHistories(const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw PublishError(At(dir, 0, "cannot make the folder: " + ec.message()));
  FolderLock lock(dir);
  ThrowUnlessLocked(lock);
  std::vector<InitOutcome> outcome;
  bool any = false;
  for (Game game : kGames) {
    InitOutcome o{(fs::path(dir) / HistoryFileName(game)).string()};
    // A dangling link counts as there: the file it names may be on a disk not mounted now.
    o.created = !fs::exists(fs::symlink_status(o.path, ec));
    any = any || o.created;
    outcome.push_back(std::move(o));
  }
  if (!any) throw PublishError(At(dir, 0, "every game has its history here already; nothing written"));
  for (std::size_t i = 0; i < outcome.size(); ++i) {
    if (!outcome[i].created) continue;
    try {
      WriteNewFile(outcome[i].path, FormatHistory({}, kGames[i]));
    } catch (const PublishError&) {
      for (std::size_t made = 0; made < i; ++made)
        if (outcome[made].created) fs::remove(outcome[made].path, ec);
      throw;
    }
  }
  SyncFolder(dir);
  return outcome;
}

Draw UndoDraw(const std::string& path, Game game, std::string_view drawNo) {
  const LockedHistory history(path);
  const std::string bytes = ReadWholeFile(history.file);
  const std::vector<Draw> draws = ParseHistory(bytes, game, path);
  if (draws.empty()) throw PublishError(At(path, LineCount(bytes), "no draw to remove"));
  const Draw last = draws.back();
  if (drawNo != std::to_string(last.number))
    throw PublishError(At(path, LineCount(bytes),
                          "draw number " + Quoted(drawNo, false) + ": only the last " + GameName(game) +
                              " draw can be removed, and that is " + std::to_string(last.number)));
  // The last line goes, with its line end; the lines before stay byte for byte.
  std::string_view kept = bytes;
  if (!kept.empty() && kept.back() == '\n') kept.remove_suffix(1);
  kept = kept.substr(0, kept.rfind('\n') + 1);
  ReplaceFile(history.file, kept);
  return last;
}

}  // namespace numira
