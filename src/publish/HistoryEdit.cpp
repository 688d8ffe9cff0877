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

  std::string updated = bytes;
  if (bonus) {
    try {
      d.bonus = ParseBonus(*bonus, game, d.numbers);
    } catch (const PublishError& e) {
      fail(e.what());
    }
    // Older draws keep no bonus: the column is added, their lines stay as they are.
    for (const char* end : {"\n", "\r\n"})
      if (updated.compare(0, kHistoryColumns.size() + std::strlen(end), std::string(kHistoryColumns) + end) == 0)
        updated.replace(0, kHistoryColumns.size(), kHistoryColumnsWithBonus);
  }
  if (!updated.empty() && updated.back() != '\n') updated += '\n';
  updated += FormatDraw(d) + "\n";
  ReplaceFile(history.file, updated);
  return d;
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
