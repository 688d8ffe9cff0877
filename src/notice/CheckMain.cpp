// numira-check: the check with no window that the user's systemd timer starts on the
// evenings of the draws (and the player may run by hand). With 自動更新 on it refreshes
// the lists' folder through numira-refresh, as the window's button does, when the latest
// evening's draws are not in yet; then tells the results of the recorded tickets in the
// new draws, and once a day the wins whose claim deadline is near, as desktop notices.
// It needs no display; without a session bus or a notification service it only prints
// them, and the results wait in 購入記録.
#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "DesktopNotice.h"
#include "DrawSeed.h"
#include "Executable.h"
#include "HeadlessCheck.h"
#include "ListFolder.h"
#include "ListServerChoice.h"
#include "RefreshReport.h"

namespace {

using namespace numira;

// How long the check waits for a click on its notice before it ends.
constexpr std::chrono::minutes kActionWait{10};

constexpr const char* kUsage =
    "usage: numira-check [--any-time] [--list-server SERVER]\n"
    "Refreshes the lists when the evening's draws are not in yet and shows the results of the\n"
    "tickets recorded in 購入記録 as desktop notices. Does nothing while 自動更新 is off.\n"
    "  --any-time            refresh now, whatever the time in Japan\n"
    "  --list-server SERVER  ask this list server (HOST[:PORT], http://… or https://…)\n";

void Say(const std::string& line) { std::fprintf(stdout, "numira-check: %s\n", line.c_str()); }

// Runs numira-refresh for the request and reads its report; every list fails when it
// cannot start or does not end in time.
RefreshReport RunRefreshProgram(const std::string& program, const RefreshRequest& request) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QStringList args;
  for (const std::string& a : RefreshArguments(request)) args << QString::fromStdString(a);
  process.start(QString::fromStdString(program), args, QIODevice::ReadOnly);
  const int limit = static_cast<int>(request.limits.totalTimeoutMs) + 3000;
  if (!process.waitForStarted(limit)) return ParseReport({}, FailReason::ProgramFailed);
  if (!process.waitForFinished(limit)) {
    process.terminate();
    process.waitForFinished(3000);
    const QByteArray out = process.readAllStandardOutput();
    return ParseReport(std::string_view(out.constData(), static_cast<std::size_t>(out.size())), FailReason::ProgramHung);
  }
  const QByteArray out = process.readAllStandardOutput();
  return ParseReport(std::string_view(out.constData(), static_cast<std::size_t>(out.size())), FailReason::ProgramFailed);
}

std::string Folder(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  bool anyTime = false;
  std::optional<std::string> server;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--any-time") {
      anyTime = true;
    } else if (a == "--list-server" && i + 1 < argc && argv[i + 1][0] != '-') {
      server = argv[++i];
    } else if (a.rfind("--list-server=", 0) == 0) {
      server = a.substr(14);
    } else if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "numira-check: unknown argument '%s'\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  QCoreApplication app(argc, argv);

  const ListServerInputs inputs = ProcessListServerInputs(server, NUMIRA_LIST_SERVER);
  if (!ConfigSwitchOn(inputs.configFile, kAutoRefreshKey)) {
    Say("自動更新 is off (auto-refresh=on in " + inputs.configFile + " turns it on); nothing to do");
    return 0;
  }
  const std::string exe = ExecutablePath();
  ListFolderChoice folder = ChooseListFolder(exe, ProcessListFolderEnv(exe));
  folder = SeedListFolder(folder, UserFolderSeedFiles(folder));
  const std::string dataFolder = UserDataFolder(ProcessUserEnv(), "numira");

  const AllGames before = ReadGameData(folder.folder);
  const std::int64_t now = std::time(nullptr);
  int status = 0;
  const CheckFiles files = UserCheckFiles(dataFolder, folder.folder);
  const bool due = RefreshDue(now, LatestDates(before));
  if (due && !anyTime && RefreshedRecently(files.state, now)) {
    Say("the list server was asked less than ten minutes ago; not again");
  } else if (anyTime || due) {
    const ListServerChoice choice = ChooseListServer(inputs);
    if (choice.baseUrl.empty()) {
      Say("no list server: name one with list-server= in " + inputs.configFile);
      status = 1;
    } else if (!folder.writable) {
      Say("the lists' folder cannot be written: " + folder.folder);
      status = 1;
    } else {
      RecordRefresh(files.state, now);
      const RefreshReport report = RunRefreshProgram(
          RefreshProgramPath(exe), RefreshRequest{choice.baseUrl, ListPathsIn(folder.folder), "numira", FetchLimits{}, false});
      int failed = 0;
      for (const ListResult& r : report.lists) failed += r.outcome != ListOutcome::Refreshed && r.outcome != ListOutcome::NotModified;
      Say(failed == 0 ? "refreshed from " + choice.baseUrl
                      : std::to_string(failed) + " of the lists could not be refreshed from " + choice.baseUrl);
      status = failed == 0 ? 0 : 1;
    }
  } else {
    Say("the latest evening's draws are in; nothing asked of the list server");
  }

  std::vector<std::string> problems;
  const std::vector<Notice> notices =
      CheckNotices(files, LatestDrawNumbers(before),
                   ConfigSwitchOn(inputs.configFile, kNotifyLossesKey), JapanTimeOf(std::time(nullptr)).date, problems);
  for (const std::string& p : problems) Say(p);
  DesktopNotices desktop(Folder(exe) + "numira", QStringLiteral(NUMIRA_APP_ID));
  bool shown = false;
  for (const Notice& n : notices) {
    Say(n.summary + "：" + n.body);
    std::string error;
    if (desktop.Show(n, &error)) {
      shown = true;
    } else {
      Say("no desktop notice (" + error + "); the results wait in 購入記録");
      break;
    }
  }
  if (shown) desktop.Wait(kActionWait);
  return status;
}
