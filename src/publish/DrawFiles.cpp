#include "DrawFiles.h"

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <unordered_map>

#include "DrawHistory.h"
#include "Encoding.h"
#include "FileIo.h"
#include "ListCheck.h"
#include "ListReader.h"
#include "ListTable.h"
#include "Prizes.h"

namespace numira {
namespace {

std::string DrawsDir(const std::string& dir) { return (std::filesystem::path(dir) / kDrawsFolder).string(); }

std::string DrawPath(const std::string& dir, Game game) {
  return (std::filesystem::path(DrawsDir(dir)) / HistoryFileName(game)).string();
}

// A served file read and judged by the rules of its kind, then its .gz copy checked; the
// problems go to problems. Its bytes when it could be read; sound when the rules found
// nothing.
struct Judged {
  std::optional<std::string> bytes;
  bool sound = false;
};

Judged ReadAndJudge(const std::string& path, std::size_t maxBytes,
                    std::vector<ListProblem> (*judge)(std::string_view, Game), Game game,
                    std::vector<ListProblem>& problems) {
  Judged judged{ReadDrawFile(path, maxBytes)};
  if (!judged.bytes) {
    problems.push_back({0, "cannot read: not a regular file, or larger than " + std::to_string(maxBytes >> 20) + " MiB"});
    return judged;
  }
  problems = judge(*judged.bytes, game);
  judged.sound = problems.empty();
  CheckCompressedCopy(path, *judged.bytes, maxBytes, problems);
  return judged;
}

std::string PrizePath(const std::string& dir, Game game) {
  return (std::filesystem::path(dir) / kPrizesFolder / PrizeFileName(game)).string();
}

// dir/prizes/<game>.csv: sound, with a sound .gz copy, belonging to the draws beside it.
void CheckPrizeFile(const std::string& dir, Game game, const std::vector<Draw>* draws,
                    const std::optional<std::string>* expected, PrizeFileCheck& check) {
  const std::string path = PrizePath(dir, game);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    if (expected && *expected) check.problems.push_back({0, "missing: the history folder given has prizes of this game"});
    return;
  }
  const Judged judged = ReadAndJudge(path, kMaxPrizeFileBytes, ValidatePrizeFile, game, check.problems);
  check.present = judged.bytes.has_value();
  if (!judged.sound) return;
  const std::string* bytes = &*judged.bytes;
  const std::vector<DrawPrizes> rows = ParsePrizes(*bytes, game, path);
  check.rows = rows.size();
  check.lastDraw = rows.empty() ? 0 : rows.back().number;
  if (draws)
    if (const std::optional<ListProblem> p = PrizesAgainstDraws(rows, *draws, game))
      check.problems.push_back({p->line, p->text + " (" + std::string(kDrawsFolder) + "/" + HistoryFileName(game) + ")"});
  if (expected && !*expected)
    check.problems.push_back({0, "the history folder given has no prizes of this game"});
  else if (expected && *bytes != **expected)
    check.problems.push_back({0, "differs from the prizes beside the history folder given"});
}

// The draws agree with the won list beside them: same latest date, same count of every entry.
void CheckAgainstList(const std::string& dir, Game game, const std::vector<Draw>& draws, DrawFileCheck& check) {
  const ListFileRow& row = kListFiles[static_cast<std::size_t>(ListRow(game, ListKind::Correct))];
  const std::string listPath = (std::filesystem::path(dir) / row.fileName).string();
  const std::optional<ListContents> list = ReadListFile(listPath, ListKind::Correct, MaxEntries(game));
  if (!list) return;  // the list's own check reports it
  if (!list->latestDrawDate.empty() && list->latestDrawDate != check.latest)
    check.problems.push_back({0, "latest draw " + check.latest + " differs from " + row.fileName + "'s date (" +
                                     list->latestDrawDate + ")"});
  std::unordered_map<std::string, std::uint64_t> drawn;
  for (const Draw& d : draws) ++drawn[d.numbers];
  std::unordered_map<std::string, std::uint64_t> listed;
  for (std::size_t i = 0; i < list->entries.size() && i < list->counts.size(); ++i) listed[list->entries[i]] += list->counts[i];
  std::size_t differ = 0;
  std::string first;
  for (const auto& [entry, count] : drawn) {
    const auto it = listed.find(entry);
    const std::uint64_t inList = it == listed.end() ? 0 : it->second;
    if (inList != count && differ++ == 0)
      first = Quoted(entry) + " came up in " + std::to_string(count) + " draws here, " + std::to_string(inList) + " in " +
              row.fileName;
  }
  for (const auto& [entry, count] : listed)
    if (!drawn.count(entry) && differ++ == 0)
      first = Quoted(entry) + " is in " + row.fileName + " (" + std::to_string(count) + ") but in no draw here";
  if (differ > 0)
    check.problems.push_back({0, "counts differ from " + std::string(row.fileName) + ": " + first +
                                     (differ > 1 ? " (" + std::to_string(differ) + " entries in all)" : "")});
}

}  // namespace

DrawBytes BuildDrawFiles(const Histories& histories) {
  DrawBytes files;
  for (Game game : kGames) files[GameIndex(game)] = FormatHistory(histories[GameIndex(game)], game);
  return files;
}

PrizeBytes BuildPrizeFiles(const std::string& drawsDir, const Histories& histories) {
  PrizeBytes files;
  for (Game game : kGames) {
    const std::string path = PrizeFileBeside(drawsDir, game);
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(std::filesystem::symlink_status(path, ec))) continue;
    const std::vector<DrawPrizes> rows = ParsePrizes(ReadWholeFile(path, kMaxPrizeFileBytes), game, path);
    if (const std::optional<ListProblem> p = PrizesAgainstDraws(rows, histories[GameIndex(game)], game))
      throw PublishError(At(path, p->line, p->text));
    files[GameIndex(game)] = FormatPrizes(rows, game);
  }
  return files;
}

DrawsCheck CheckDrawFiles(const std::string& dir, const DrawBytes* expected, const PrizeBytes* expectedPrizes) {
  DrawsCheck result;
  std::error_code ec;
  result.folder = std::filesystem::exists(DrawsDir(dir), ec);
  // The prize files are checked against the draws beside them, once those are read.
  std::array<std::optional<std::vector<Draw>>, kGames.size()> parsed;
  const auto checkPrizes = [&] {
    for (Game game : kGames)
      if (HasPrizes(game)) {
        const std::size_t g = GameIndex(game);
        CheckPrizeFile(dir, game, parsed[g] ? &*parsed[g] : nullptr, expectedPrizes ? &(*expectedPrizes)[g] : nullptr,
                       result.prizes[g]);
      }
  };
  if (!result.folder) {
    checkPrizes();
    return result;
  }
  for (Game game : kGames) {
    DrawFileCheck& check = result.files[GameIndex(game)];
    const std::string path = DrawPath(dir, game);
    if (!std::filesystem::exists(path, ec)) {
      check.problems.push_back({0, "missing"});
      continue;
    }
    const Judged judged = ReadAndJudge(path, kMaxDrawFileBytes, ValidateDrawFile, game, check.problems);
    check.present = judged.bytes.has_value();
    if (!judged.sound) continue;
    const std::string* bytes = &*judged.bytes;
    const std::vector<Draw> draws = ParseHistory(*bytes, game, path);
    check.draws = draws.size();
    check.latest = JapaneseDate(draws.back().date);
    CheckAgainstList(dir, game, draws, check);
    if (expected && *bytes != (*expected)[GameIndex(game)])
      check.problems.push_back({0, "differs from the history in the draws folder given"});
    parsed[GameIndex(game)] = std::move(draws);
  }
  checkPrizes();
  return result;
}

std::size_t PrintDrawsCheck(const DrawsCheck& check, const std::string& dir, std::ostream& out, std::ostream& err) {
  std::size_t problems = 0;
  const auto report = [&](const std::string& path, const std::string& line, const std::vector<ListProblem>& found) {
    if (!line.empty()) out << path << ": " << line << '\n';
    out.flush();
    for (const ListProblem& p : found) err << At(path, p.line, p.text) << '\n';
    err.flush();
    problems += found.size();
  };
  if (!check.folder) out << DrawsDir(dir) << ": none (the lists alone)\n";
  for (Game game : kGames) {
    const DrawFileCheck& c = check.files[GameIndex(game)];
    if (check.folder)
      report(DrawPath(dir, game), c.present && c.draws > 0 ? std::to_string(c.draws) + " draws, the latest of " + c.latest : "",
             c.problems);
  }
  for (Game game : kGames) {
    const PrizeFileCheck& c = check.prizes[GameIndex(game)];
    report(PrizePath(dir, game),
           c.present ? "the prizes of " + std::to_string(c.rows) + " draws" +
                           (c.rows > 0 ? ", the latest draw " + std::to_string(c.lastDraw) : "")
                     : "",
           c.problems);
  }
  return problems;
}

}  // namespace numira
