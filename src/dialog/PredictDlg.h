#pragma once
// The main dialog's state and event handlers, free of any toolkit: the window is
// reached only through WindowServices, time only through Clock.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "CandidatePool.h"
#include "CheckPage.h"
#include "Clock.h"
#include "Colours.h"
#include "Controls.h"
#include "DrawHistory.h"
#include "Executable.h"
#include "FetchLimits.h"
#include "RefreshReport.h"
#include "Game.h"
#include "HistoryPage.h"
#include "ListReader.h"
#include "ListFolder.h"
#include "ListTable.h"
#include "LotoDraw.h"
#include "RollRandom.h"
#include "RollState.h"
#include "ShownGames.h"
#include "WinningList.h"
#include "WindowServices.h"

namespace numira {

// Where the dialog finds its lists and its list server.
struct DialogSetup {
  DialogSetup(std::string executable = {}, std::string server = {}, std::string config = {})
      : executablePath(std::move(executable)), listServer(std::move(server)), configFile(std::move(config)) {}

  // The program's executable: the shipped lists lie beside it, and the lists are read
  // there too unless it is an installed copy (ListFolder.h). Empty: the running executable.
  std::string executablePath;
  // The list server: a base address (http://HOST[:PORT] or https://HOST[:PORT]) or
  // HOST[:PORT] for http; empty: none (the refresh says so, 設定 takes one).
  std::string listServer;
  // The user's configuration file (numira.conf), which 設定 writes; empty: none known.
  std::string configFile;
};

// The list server the program was built with ("" none).
const char* BuiltInListServer();

class CPredictDlg {
 public:
  CPredictDlg(WindowServices& window, const Clock& clock, DialogSetup setup = {});

  // Event handlers.
  bool OnInitDialog();
  void OnPredict(Game game);
  void OnRollTick(Game game);
  void OnTimer(int id);
  void OnFilterCheck(Game game);
  // Another item was chosen in the game's filter drop-down.
  void OnFilterChoice(Game game);
  // Ctrl+C and the menu item: the standing proposals go to the clipboard.
  void OnCopy();
  void OnCloseButton();
  void OnAboutButton();
  // The history window: the menu item and Ctrl+H.
  void OnHistory();
  // The check window: the menu item and Ctrl+K.
  void OnCheck();
  // 照合 pressed on a game's page: the typed ticket and the chosen type's index.
  CheckOutcome OnCheckTicket(Game game, const std::string& typed, int typeIndex) const;
  // A system-menu command; false when the window's default handling should run.
  bool OnSysCommand(unsigned id);
  // 表示するくじ: a panel shown by choice was turned on or off. The window grows or shrinks
  // by the panel, a panel turned on reads its lists, and the choice is saved in numira.conf.
  void OnShownGamesChanged(Game game, bool shown);
  // The games whose panels the window shows.
  const ShownGames& Shown() const { return shown_; }
  // The refresh button: starts the refresh (nothing while one runs).
  void OnDownload();
  // The refresh has ended: the changed lists are read anew and the outcome shown.
  void OnRefreshDone(const RefreshReport& report);
  // 設定 saved a list server (a base address): the next refresh asks it.
  void OnListServerSaved(const std::string& baseUrl) { listServer_ = baseUrl; }
  bool Refreshing() const { return refreshing_; }
  // Colour of a control's text, asked each time the control is drawn.
  TextColour OnCtlColor(int id) const;

  // The lists. Start-up takes two steps before it reads them: choosing their folder, then
  // seeding the user's folder with the shipped lists (when the lists lie there).
  void ChooseListFolder();
  void SeedUserFolder();
  int ReadList(Game game, ListKind kind);
  void LoadAllLists();
  // The draw files may have changed: each game's draws are read anew when next needed, and
  // open history and check windows show them.
  void DrawFilesChanged();
  // Where a game's draw file lies ("" when the lists have no usable folder).
  std::string DrawsPath(Game game) const;

  // Read-only views of the state.
  const WinningList& List(Game g) const { return lists_[GameIndex(g)]; }
  const RollState& Roll(Game g) const { return rolls_[GameIndex(g)]; }
  const CandidatePool& Pool(Game g) const { return pools_[GameIndex(g)]; }
  const ListPaths& Paths() const { return listPath_; }
  const ListFolderChoice& ListFolder() const { return listFolder_; }
  const std::string& WindowTitle() const { return windowTitle_; }
  const std::string& ListServer() const { return listServer_; }
  const std::string& ConfigFile() const { return configFile_; }
  const FetchLimits& Limits() const { return fetchLimits_; }
  const std::string& AppName() const { return appName_; }
  // The executable the lists and the refresh program lie beside.
  const std::string& ExecutablePath() const { return executablePath_; }
  std::int32_t LastDownloadOk() const { return lastDownloadOk_; }
  // The final result of the game's latest finished roll ("" before the first).
  const std::string& LastProposal(Game g) const { return lastProposal_[GameIndex(g)]; }
  // Every standing proposal, one line per game ("ナンバーズ３：720",
  // "ロト６：02 08 19 27 33 42"); "" while none stands. A rolling game has none.
  std::string ProposalsText() const;
  // What the history window shows for the game.
  HistoryPage History(Game g) const { return BuildHistoryPage(g, List(g), LastProposal(g), Draws(g)); }
  // The game's draws, in draw order (empty when its draw file is missing or faulty). The
  // file is read when a window first needs it, not at start-up.
  const std::vector<Draw>& Draws(Game g) const;
  // What the check window shows for the game.
  CheckPage Check(Game g) const { return BuildCheckPage(g, Draws(g), LastProposal(g)); }

  // How long the refresh's fetches may wait (and the whole refresh).
  void SetFetchLimits(const FetchLimits& limits) { fetchLimits_ = limits; }

 private:
  // Takes the shown games from numira.conf's games= line, reporting what is wrong with it.
  void ReadShownGames();
  // A panel shown for the first time in this run: its controls as start-up leaves a panel's.
  void PreparePanel(Game game);
  // Stores a read's contents as the game's list of that kind and sets the panel.
  int ApplyList(Game game, ListKind kind, ListContents contents);
  void ShowCombination(Game game, Combination c);
  void FinishRoll(Game game, std::string proposal);
  // Arms the game's next tick one rollInterval after the due time of the tick before.
  void ArmNextTick(Game game);
  // The filter drop-down tells how many candidates its chosen item leaves.
  void ShowCandidateCount(Game game);
  // The game's lists or last proposal changed: the standing proposal's tooltips and an
  // open history window show it.
  void HistoryChanged(Game game);
  void Message(const std::string& text);
  // A failed refresh's box (first line: what failed, second: where and why), also on
  // standard error.
  void ReportFailure(const std::string& what, const std::string& why);

  WindowServices& window_;
  const Clock& clock_;
  std::string executablePath_;
  std::string listServer_;
  std::string configFile_;
  std::string appName_;

  ListFolderChoice listFolder_;
  ListPaths listPath_;
  // By GameIndex, for every game of the rules table; only the shown games' are used.
  std::array<WinningList, kGames.size()> lists_;
  std::array<CandidatePool, kGames.size()> pools_;
  std::array<RollState, kGames.size()> rolls_;
  std::array<std::string, kGames.size()> lastProposal_;
  // Each game's draws once read (Draws); none until a window asks for them.
  mutable std::array<std::optional<std::vector<Draw>>, kGames.size()> draws_;
  // When each game's pending tick is due on the monotonic clock.
  std::array<std::chrono::steady_clock::time_point, kGames.size()> tickDue_{};
  // The predict button had the focus when its stop was asked for.
  std::array<bool, kGames.size()> refocus_{};
  // By GameIndex, for the games drawn as combinations: built when a never-won roll starts.
  std::array<NeverWonSet, kGames.size()> neverWon_;
  ShownGames shown_;
  // The panel's controls have been given their start-up state (PreparePanel).
  std::array<bool, kGames.size()> panelReady_{};
  RollRandom random_;
  std::string windowTitle_;
  std::int32_t lastDownloadOk_ = 0;
  FetchLimits fetchLimits_;
  bool refreshing_ = false;
};

}  // namespace numira
