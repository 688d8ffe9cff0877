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

// What a new draw of the game lacks without its bonus numbers; "" for a game without any.
std::string MissingBonus(Game game) {
  const int count = RulesOf(game).bonusCount;
  if (count == 0) return {};
  return std::string("no bonus number: a new ") + GameName(game) + " draw is added with its " +
         (count == 1 ? std::string("bonus number") : std::to_string(count) + " bonus numbers");
}

// A history's bytes with draws appended after its last line. With bonus numbers among
// them the history gains its bonus column; older draws keep their lines as they are.
std::string Appended(std::string bytes, const std::vector<Draw>& draws) {
  if (std::any_of(draws.begin(), draws.end(), [](const Draw& d) { return !d.bonus.empty(); }))
    for (const char* end : {"\n", "\r\n"})
      if (bytes.compare(0, kHistoryColumns.size() + std::strlen(end), std::string(kHistoryColumns) + end) == 0)
        bytes.replace(0, kHistoryColumns.size(), kHistoryColumnsWithBonus);
  if (!bytes.empty() && bytes.back() != '\n') bytes += '\n';
  for (const Draw& d : draws) bytes += FormatDraw(d) + "\n";
  return bytes;
}

// A whole number as a history or a prize file writes it: decimal digits without a leading
// zero (0 alone where zero may be), at most digits of them; nullopt for anything else.
std::optional<std::uint64_t> WholeNumber(std::string_view text, std::size_t digits, bool zero) {
  if (text.empty() || text.size() > digits || (text[0] == '0' && (text.size() > 1 || !zero)) ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return std::stoull(std::string(text));
}

// The draw number a line starts with, as a history writes it; nullopt for anything else.
std::optional<std::uint32_t> LeadingDrawNo(std::string_view line) {
  const auto n = WholeNumber(line.substr(0, line.find(',')), 9, false);
  return n ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*n)) : std::nullopt;
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
    if (!problems.empty() && problems.front().line != 0)
      throw PublishError(At(file, problems.front().line, problems.front().text));
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
    if (!bonusColumn) d.bonus.clear();
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

// A game's prize file as it is: its bytes (nullopt when there is none yet) and rows.
struct PrizeFile {
  std::optional<std::string> bytes;
  std::vector<DrawPrizes> rows;
};

PrizeFile ReadPrizeFile(const std::string& path, Game game) {
  PrizeFile file;
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return file;
  file.bytes = ReadWholeFile(path, kMaxPrizeFileBytes);
  file.rows = ParsePrizes(*file.bytes, game, path);
  return file;
}

// The line of a draw's row in a prize file written by FormatPrizes; 0 when it has none.
std::uint32_t PrizeLine(const std::vector<DrawPrizes>& rows, std::uint32_t drawNumber) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].number == drawNumber) return static_cast<std::uint32_t>(i + 2);
  return 0;
}

// The rows with one put in its place by draw number (replacing the draw's row, if any).
std::vector<DrawPrizes> WithRow(std::vector<DrawPrizes> rows, const DrawPrizes& row) {
  const auto at = std::lower_bound(rows.begin(), rows.end(), row.number,
                                   [](const DrawPrizes& r, std::uint32_t n) { return r.number < n; });
  if (at != rows.end() && at->number == row.number)
    *at = row;
  else
    rows.insert(at, row);
  return rows;
}

// The prize file's change: made in its folder (beside the draws folder) when it is new.
FileChange PrizeChange(const std::string& path, const PrizeFile& before, const std::vector<DrawPrizes>& rows, Game game) {
  if (!before.bytes) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) throw PublishError(At(std::filesystem::path(path).parent_path().string(), 0, "cannot make the folder: " + ec.message()));
  }
  return {path, before.bytes, FormatPrizes(rows, game)};
}

}  // namespace

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

ImportOutcome ImportDraws(const GameFiles& files, Game game, const std::string& drawsFile,
                          const std::optional<std::string>& prizesFile, Date today) {
  const LockedHistory history(files.history);
  const std::string bytes = ReadWholeFile(history.file);
  std::vector<Draw> draws = ParseHistory(bytes, game, files.history);
  const std::vector<Draw> rows = ParseImport(ReadWholeFile(drawsFile, kMaxDrawFileBytes), draws, game, drawsFile);
  ImportOutcome outcome;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Draw& row = rows[i];
    const auto fail = [&](const std::string& text) {
      throw PublishError(At(drawsFile, static_cast<std::uint32_t>(i + 2), text));
    };
    if (row.number <= draws.size()) {
      // A draw the history has: the same, or the file is wrong (or the history is).
      const Draw& known = draws[row.number - 1];
      if (known.date != row.date || known.numbers != row.numbers ||
          (!known.bonus.empty() && !row.bonus.empty() && known.bonus != row.bonus))
        fail("draw " + std::to_string(row.number) + " differs from the history's (" + files.history + ":" +
             std::to_string(row.number + 1) + ": " + FormatDraw(known) + ")");
      ++outcome.knownDraws;
      continue;
    }
    if (today < row.date) fail("date " + IsoDate(row.date) + " is later than today in Japan (" + IsoDate(today) + ")");
    if (row.bonus.empty())
      if (const std::string missing = MissingBonus(game); !missing.empty()) fail(missing);
    outcome.added.push_back(row);
  }
  std::vector<FileChange> changes{{history.file, bytes, Appended(bytes, outcome.added)}};
  if (prizesFile) {
    draws.insert(draws.end(), outcome.added.begin(), outcome.added.end());
    const PrizeFile before = ReadPrizeFile(files.prizes, game);
    const std::vector<DrawPrizes> imported =
        ParsePrizes(ReadWholeFile(*prizesFile, kMaxPrizeFileBytes), game, *prizesFile);
    if (const std::optional<ListProblem> p = PrizesAgainstDraws(imported, draws, game))
      throw PublishError(At(*prizesFile, p->line, p->text));
    std::vector<DrawPrizes> merged = before.rows;
    for (std::size_t i = 0; i < imported.size(); ++i) {
      const DrawPrizes& row = imported[i];
      if (const DrawPrizes* known = PrizesOfDraw(before.rows, row.number)) {
        if (!(*known == row))
          throw PublishError(At(*prizesFile, static_cast<std::uint32_t>(i + 2),
                                "the prizes of draw " + std::to_string(row.number) + " differ from those recorded (" +
                                    files.prizes + ":" + std::to_string(PrizeLine(before.rows, row.number)) + ")"));
        ++outcome.knownPrizes;
        continue;
      }
      merged = WithRow(std::move(merged), row);
      outcome.addedPrizes.push_back(row);
    }
    if (!outcome.addedPrizes.empty()) changes.push_back(PrizeChange(files.prizes, before, merged, game));
  }
  ReplaceFiles(changes);
  return outcome;
}

PrizeOutcome RecordPrizes(const GameFiles& files, Game game, const PrizeInput& input) {
  const GameRules& rules = RulesOf(game);
  const LockedHistory history(files.history);
  const std::vector<Draw> draws = ParseHistory(ReadWholeFile(history.file), game, files.history);
  const PrizeFile before = ReadPrizeFile(files.prizes, game);

  const auto number = WholeNumber(input.drawNo, 9, false);
  if (!number || *number > draws.size())
    throw ArgumentError("draw number " + Quoted(input.drawNo, false) + ": the " + GameName(game) + " history has " +
                       (draws.empty() ? std::string("no draws yet") : "draws 1 to " + std::to_string(draws.size())) +
                       "; a draw's prizes are recorded after the draw");
  const Draw& draw = draws[*number - 1];
  const std::size_t values = 2 * static_cast<std::size_t>(rules.prizeTiers);
  if (input.values.size() != values)
    throw ArgumentError(std::string(GameName(game)) + " prizes are " + std::to_string(rules.prizeTiers) +
                       " tiers of WINNERS AMOUNT, " + std::to_string(values) + " numbers, not " +
                       std::to_string(input.values.size()));
  PrizeOutcome outcome;
  DrawPrizes& row = outcome.prizes;
  row.number = draw.number;
  row.date = draw.date;
  for (int tier = 1; tier <= rules.prizeTiers; ++tier) {
    const std::string& winnersText = input.values[2 * (tier - 1)];
    const std::string& amountText = input.values[2 * (tier - 1) + 1];
    const std::string name = "tier " + std::to_string(tier);
    const auto winners = WholeNumber(winnersText, kMaxPrizeDigits, true);
    if (!winners)
      throw ArgumentError(name + " winners " + Quoted(winnersText, false) + ": not a whole number (digits, at most " +
                         std::to_string(kMaxPrizeDigits) + ", no leading zero)");
    const auto amount = WholeNumber(amountText, kMaxPrizeDigits, true);
    if (!amount)
      throw ArgumentError(name + " amount " + Quoted(amountText, false) + ": not a whole number of yen (digits, at most " +
                         std::to_string(kMaxPrizeDigits) + ", no leading zero)");
    row.tiers.push_back({*winners, *amount});
  }
  if (rules.carryover && !input.carryover)
    throw ArgumentError(std::string(GameName(game)) + " prizes need --carryover YEN (0 when there is none)");
  if (!rules.carryover && input.carryover)
    throw ArgumentError(std::string(GameName(game)) + " has no carry-over; --carryover is not taken");
  if (input.carryover) {
    row.carryover = WholeNumber(*input.carryover, kMaxPrizeDigits, true);
    if (!row.carryover)
      throw ArgumentError("--carryover " + Quoted(*input.carryover, false) + ": not a whole number of yen (digits, at most " +
                         std::to_string(kMaxPrizeDigits) + ", no leading zero)");
  }
  if (PrizesOfDraw(before.rows, row.number)) {
    if (!input.replace)
      throw PublishError(At(files.prizes, PrizeLine(before.rows, row.number),
                            "the prizes of draw " + std::to_string(row.number) +
                                " are recorded already (--force replaces them)"));
    outcome.replaced = true;
  }
  const std::vector<DrawPrizes> rows = WithRow(before.rows, row);
  // The prize file's own rules (winners exactly when an amount is paid): the file before
  // was sound, so a fault is the new row's.
  if (const std::vector<ListProblem> problems = ValidatePrizeFile(FormatPrizes(rows, game), game); !problems.empty())
    throw ArgumentError(problems.front().text);
  ReplaceFiles({PrizeChange(files.prizes, before, rows, game)});
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

UndoOutcome UndoDraw(const GameFiles& files, Game game, std::string_view drawNo) {
  const LockedHistory history(files.history);
  const std::string bytes = ReadWholeFile(history.file);
  const std::vector<Draw> draws = ParseHistory(bytes, game, files.history);
  if (draws.empty()) throw PublishError(At(files.history, LineCount(bytes), "no draw to remove"));
  UndoOutcome outcome{draws.back()};
  const Draw& last = outcome.draw;
  if (drawNo != std::to_string(last.number))
    throw PublishError(At(files.history, LineCount(bytes),
                          "draw number " + Quoted(drawNo, false) + ": only the last " + GameName(game) +
                              " draw can be removed, and that is " + std::to_string(last.number)));
  // The last line goes, with its line end; the lines before stay byte for byte.
  std::string_view kept = bytes;
  if (!kept.empty() && kept.back() == '\n') kept.remove_suffix(1);
  kept = kept.substr(0, kept.rfind('\n') + 1);
  std::vector<FileChange> changes{{history.file, bytes, std::string(kept)}};
  // Its prizes go with it: they would belong to no draw.
  if (!files.prizes.empty()) {
    const PrizeFile prizes = ReadPrizeFile(files.prizes, game);
    if (PrizesOfDraw(prizes.rows, last.number)) {
      std::vector<DrawPrizes> rows = prizes.rows;
      std::erase_if(rows, [&](const DrawPrizes& r) { return r.number == last.number; });
      changes.push_back({files.prizes, prizes.bytes, FormatPrizes(rows, game)});
      outcome.prizesRemoved = true;
    }
  }
  ReplaceFiles(changes);
  return outcome;
}

}  // namespace numira
