#pragma once
// The check that runs with no window (numira-check, started by the user's systemd timer):
// what it reads of the player's folder and what it has to say once the refresh is over.
// The refresh itself is numira-refresh's, run by the program like the window runs it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Notices.h"

namespace numira {

// Each game's draws and prizes in a lists' folder ("" or ending in "/"): draws/<game>.csv
// and prizes/<game>.csv; a file that is missing or unsound reads as none.
AllGames ReadGameData(const std::string& folder);

// Where the check finds the player's files.
struct CheckFiles {
  std::string listFolder;  // the lists' folder ("" or ending in "/")
  std::string ledger;      // the purchases' database (never made here: none, no results)
  std::string state;       // the notices' own state file (kNoticeStateFile)
};
// The files of the user's data folder (UserDataFolder "numira"): numira.db, notice-state;
// none for an empty folder.
CheckFiles UserCheckFiles(const std::string& dataFolder, const std::string& listFolder);

// What the check has to say: the results of the draws not noticed yet (ResultsNotice), and
// once a day the wins whose deadline is near (DeadlineNotice; the day is recorded in the
// state file). The draws not noticed yet are those after the ones the state file names
// (noticed-draws=, each game's latest draw number when results were last told), so that
// draws an open window's refresh brought are told by the next check too; without that
// line, those after `before` (the data before this check's refresh). The data's latest
// draws are recorded as noticed then. Without a database, or when it cannot be opened, no
// notice: the lines of why go to `problems`. (In numira_notice_check, with the SQLite file.)
std::vector<Notice> CheckNotices(const CheckFiles& files, const std::array<std::uint32_t, 6>& before, bool notifyLosses,
                                 Date today, std::vector<std::string>& problems);

inline constexpr const char* kNoticedDrawsKey = "noticed-draws";
// The state file's noticed-draws line: six draw numbers in Game order; nullopt for none or
// a line that is not six numbers.
std::optional<std::array<std::uint32_t, 6>> NoticedDraws(const std::string& statePath);

// numira.conf's settings of the automatic refresh; "on" turns them on, anything else off.
inline constexpr const char* kAutoRefreshKey = "auto-refresh";
inline constexpr const char* kNotifyLossesKey = "notify-losses";
bool ConfigSwitchOn(const std::string& configFile, const char* key);

// The user's systemd timer that starts the check (the package's numira-check.timer).
inline constexpr const char* kUserTimerUnit = "numira-check.timer";

}  // namespace numira
