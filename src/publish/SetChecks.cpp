#include "SetChecks.h"

#include <chrono>
#include <filesystem>
#include <ostream>

#include "DrawFileNames.h"
#include "FileIo.h"
#include "History.h"
#include "SetIndex.h"

namespace numira {
namespace {

std::string AfterTomorrow(Date lastDay) {
  return "after tomorrow in Japan (" + IsoDate(lastDay) + ")";
}

}  // namespace

void RefuseDrawsAfter(const Histories& histories, const std::string& drawsDir, Date lastDay) {
  for (Game game : kGames) {
    const std::vector<Draw>& draws = histories[GameIndex(game)];
    if (draws.empty() || !(lastDay < draws.back().date)) continue;
    const std::string path = (std::filesystem::path(drawsDir) / HistoryFileName(game)).string();
    throw PublishError(At(path, 0, "draw " + std::to_string(draws.back().number) + " is dated " +
                                       IsoDate(draws.back().date) + ", " + AfterTomorrow(lastDay) +
                                       "; nothing published"));
  }
}

std::size_t PrintDatesAfter(const CheckResult& lists, const DrawsCheck& draws, const std::string& dir, Date lastDay,
                            std::ostream& err) {
  std::size_t problems = 0;
  const auto judge = [&](const std::string& name, const std::string& date) {
    const std::optional<Date> d = ParseHeaderDate(date);
    if (!d || !(lastDay < *d)) return;
    err << At((std::filesystem::path(dir) / name).string(), 0, "dated " + IsoDate(*d) + ", " + AfterTomorrow(lastDay))
        << '\n';
    ++problems;
  };
  for (std::size_t row = 0; row < kListFiles.size(); ++row) judge(kListFiles[row].fileName, lists[row].date);
  if (draws.folder)
    for (Game game : kGames)
      judge((std::filesystem::path(kDrawsFolder) / HistoryFileName(game)).string(), draws.files[GameIndex(game)].latest);
  return problems;
}

std::size_t PrintIndexCheck(const std::string& served, const std::string& dir, std::ostream& out, std::ostream& err) {
  const std::string indexPath = (std::filesystem::path(served) / kSetIndexName).string();
  const std::string shown = (std::filesystem::path(dir) / kSetIndexName).string();
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(indexPath, ec))) {
    out << shown << ": none (a folder published before sets had an index)\n";
    return 0;
  }
  int readError = 0;
  const std::optional<std::string> bytes = ReadRegularFile(indexPath, kMaxSetIndexBytes, &readError);
  if (!bytes) {
    err << At(shown, 0, "cannot read: " + ReadErrorText(readError, kMaxSetIndexBytes)) << '\n';
    return 1;
  }
  std::string parseError;
  const std::optional<SetIndex> index = ParseSetIndex(*bytes, &parseError);
  if (!index) {
    // "line N: what" as "dir/index.txt:N: what".
    const auto colon = parseError.find(':');
    const std::string line = parseError.substr(5, colon - 5);
    err << At(shown, static_cast<std::uint32_t>(std::stoul(line)), parseError.substr(colon + 2)) << '\n';
    return 1;
  }
  std::size_t problems = 0;
  // A numbered set's index names its own number.
  const std::string folderName = std::filesystem::path(served).filename().string();
  if (folderName.size() == 6 && folderName.find_first_not_of("0123456789") == std::string::npos &&
      folderName != SetNumberText(index->number)) {
    err << At(shown, 2, "set " + SetNumberText(index->number) + ", but the folder is set " + folderName) << '\n';
    ++problems;
  }
  for (const std::string& problem : CompareSetFolder(*index, served)) {
    err << (std::filesystem::path(dir) / problem).string() << '\n';
    ++problems;
  }
  if (problems == 0)
    out << shown << ": set " << SetNumberText(index->number) << " built " << index->built << ", " << index->files.size()
        << " files, each of the size and SHA-256 it lists\n";
  return problems;
}

}  // namespace numira
