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

namespace numira {
namespace {

std::string DrawsDir(const std::string& dir) { return (std::filesystem::path(dir) / kDrawsFolder).string(); }

std::string DrawPath(const std::string& dir, Game game) {
  return (std::filesystem::path(DrawsDir(dir)) / HistoryFileName(game)).string();
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

DrawsCheck CheckDrawFiles(const std::string& dir, const DrawBytes* expected) {
  DrawsCheck result;
  std::error_code ec;
  result.folder = std::filesystem::exists(DrawsDir(dir), ec);
  if (!result.folder) return result;
  for (Game game : kGames) {
    DrawFileCheck& check = result.files[GameIndex(game)];
    const std::string path = DrawPath(dir, game);
    if (!std::filesystem::exists(path, ec)) {
      check.problems.push_back({0, "missing"});
      continue;
    }
    const std::optional<std::string> bytes = ReadDrawFile(path);
    if (!bytes) {
      check.problems.push_back({0, "cannot read: not a regular file, or larger than " +
                                       std::to_string(kMaxDrawFileBytes >> 20) + " MiB"});
      continue;
    }
    check.present = true;
    check.problems = ValidateDrawFile(*bytes, game);
    const bool sound = check.problems.empty();
    CheckCompressedCopy(path, *bytes, kMaxDrawFileBytes, check.problems);
    if (!sound) continue;
    const std::vector<Draw> draws = ParseHistory(*bytes, game, path);
    check.draws = draws.size();
    check.latest = JapaneseDate(draws.back().date);
    CheckAgainstList(dir, game, draws, check);
    if (expected && *bytes != (*expected)[GameIndex(game)])
      check.problems.push_back({0, "differs from the history in the draws folder given"});
  }
  return result;
}

std::size_t PrintDrawsCheck(const DrawsCheck& check, const std::string& dir, std::ostream& out, std::ostream& err) {
  if (!check.folder) {
    out << DrawsDir(dir) << ": none (the lists alone)\n";
    return 0;
  }
  std::size_t problems = 0;
  for (Game game : kGames) {
    const DrawFileCheck& c = check.files[GameIndex(game)];
    const std::string path = DrawPath(dir, game);
    if (c.present && c.draws > 0) out << path << ": " << c.draws << " draws, the latest of " << c.latest << '\n';
    out.flush();
    for (const ListProblem& p : c.problems) err << At(path, p.line, p.text) << '\n';
    err.flush();
    problems += c.problems.size();
  }
  return problems;
}

}  // namespace numira
