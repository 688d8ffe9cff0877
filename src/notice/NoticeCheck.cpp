// The check's notices: the only part of the headless check that opens the purchases' file
// (SQLite), so that what the window shares with the check maps no SQLite.
#include <sys/stat.h>

#include <cstring>

#include "HeadlessCheck.h"
#include "Ledger.h"
#include "ListServerChoice.h"

namespace numira {

std::vector<Notice> CheckNotices(const CheckFiles& files, const std::array<std::uint32_t, 6>& before, bool notifyLosses,
                                 Date today, std::vector<std::string>& problems) {
  std::vector<Notice> out;
  const AllGames data = ReadGameData(files.listFolder);
  const std::array<std::uint32_t, 6> from = NoticedDraws(files.state).value_or(before);
  // The draws are told (or had nothing to tell) from here on, whatever comes next.
  if (!files.state.empty() && from != LatestDrawNumbers(data)) {
    std::string line;
    for (std::uint32_t n : LatestDrawNumbers(data)) line += (line.empty() ? "" : ",") + std::to_string(n);
    if (const int e = WriteConfigSetting(files.state, kNoticedDrawsKey, line))
      problems.push_back(files.state + ": " + std::strerror(e));
  }
  struct stat st {};
  // No purchases recorded yet: the check makes no database.
  if (files.ledger.empty() || ::stat(files.ledger.c_str(), &st) != 0) return out;
  Ledger::Opening opening = Ledger::Open(files.ledger);
  if (!opening.ledger) {
    problems.push_back(opening.error);
    return out;
  }
  const std::vector<Purchase> purchases = opening.ledger->Purchases();
  opening.ledger.reset();
  if (auto n = ResultsNotice(purchases, data, from, notifyLosses)) out.push_back(*n);
  if (!DeadlineNoticedOn(files.state, today)) {
    if (auto n = DeadlineNotice(purchases, data, today)) {
      out.push_back(*n);
      if (const int e = RecordDeadlineNotice(files.state, today))
        problems.push_back(files.state + ": " + std::strerror(e));
    }
  }
  return out;
}

}  // namespace numira
