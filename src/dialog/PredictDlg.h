#pragma once
// The main dialog's state and event handlers, free of any toolkit: the window is
// reached only through WindowServices, time only through Clock.
#include <array>
#include <chrono>
#include <future>
#include <cstdint>
#include <memory>
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
#include "Ledger.h"
#include "LedgerModule.h"
#include "PurchasesPage.h"
#include "LotoDraw.h"
#include "RollRandom.h"
#include "RollState.h"
#include "FolderSet.h"
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
  // Opens the purchases' file (購入記録); empty: through numira-ledger.so beside the
  // executable, loaded when first needed.
  LedgerOpener openLedger;
};

// The list server the program was built with ("" none).
const char* BuiltInListServer();



// What came of recording a ticket: the line that announces it, or what is wrong (a refused
// form field by field, or one line when nothing could be recorded at all).
struct RecordOutcome {
  bool recorded = false;
  std::string line;
  std::vector<FormFault> faults;
};

// A game's slip (申込カード): the proposals its rolls stopped on, lines A–E.
struct SlipView {
  Game game = Game::Lot6;
  std::string title;               // "ロト６ 第2131回（2026年8月24日）"
  std::vector<std::string> lines;  // "ロト６ A：01 08 19 27 33 42"
  std::string Text() const;        // the title and the lines, as copied
};

class CPredictDlg {
 public:
  CPredictDlg(WindowServices& window, const Clock& clock, DialogSetup setup = {});
  ~CPredictDlg();

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
  // 自動更新 and はずれも通知: the check items (remembered in numira.conf). With 自動更新
  // on, the window refreshes by itself on Japan's evenings of the draws (AutoCheck.h),
  // as the button does, and the user's systemd timer runs the check while it is closed.
  void OnAutoRefreshToggled();
  void OnNotifyLossesToggled();
  bool AutoRefresh() const { return autoRefresh_; }
  bool NotifyLosses() const { return notifyLosses_; }
  // The user's timer was switched, or could not be (why: the reason, for standard error).
  void OnUserTimerSwitched(bool enable, bool ok, const std::string& why);
  // Reads the check items' settings and arms the automatic refresh when it is on.
  void StartAutoRefresh();
  // Colour of a control's text, asked each time the control is drawn.
  TextColour OnCtlColor(int id) const;

  // The lists. Start-up takes two steps before it reads them: choosing their folder, then
  // seeding the user's folder with the shipped lists (when the lists lie there).
  void ChooseListFolder();
  void SeedUserFolder();
  int ReadList(Game game, ListKind kind);
  void LoadAllLists();
  // Starts reading the lists the window will show on another thread, so that they are
  // read while the window makes its controls; OnInitDialog takes each file's contents
  // from there when the file is still as it was read, and reads it again otherwise.
  void StartReadingLists();
  // The files beside the lists may have changed: each game's draws, prizes and (for the
  // history window) lists are read anew when next needed, and open history and check
  // windows show them.
  void DrawFilesChanged();
  // The window follows its folder's set: when the folder holds another set than the lists
  // shown came from (a refresh of this window, of another, of a timer), they are read anew
  // with the draws; true when they were. Asked at a refresh's end, when the window is
  // activated and before a roll starts; it costs two stat calls.
  bool FollowFolderSet();
  // The window became the active one.
  void OnActivate() { FollowFolderSet(); }
  // Where a game's draw file lies ("" when the lists have no usable folder).
  std::string DrawsPath(Game game) const;
  // Where a game's prize file lies ("" as for DrawsPath, or for a game without prizes).
  std::string PrizesPath(Game game) const;

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
  HistoryPage History(Game g) const { return BuildHistoryPage(g, HistoryList(g), LastProposal(g), Draws(g)); }
  // The game's won list as the history window shows it: the panel's when the panel has
  // read it, else the file's, read when first needed (a game without a panel, say).
  const WinningList& HistoryList(Game g) const;
  // The game's draws, in draw order (empty when its draw file is missing or faulty). The
  // file is read when a window first needs it, not at start-up.
  const std::vector<Draw>& Draws(Game g) const;
  // The game's published prizes, in draw order, read the same way (empty when its prize
  // file is missing, faulty, or not of the game's draws: no draw's prizes are known).
  const std::vector<DrawPrizes>& Prizes(Game g) const;
  // What the check window shows for the game.
  CheckPage Check(Game g) const { return BuildCheckPage(g, Draws(g), Prizes(g), LastProposal(g)); }

  // ---- 購入記録: the player's tickets, kept in the database that is opened when first needed ----
  // The menu item and Ctrl+L: opens the purchases window.
  void OnPurchases();
  // What the purchases window shows (the database is opened here when it is not yet).
  PurchasesPage Purchases();
  // Records the game's standing proposal as a ticket for its next draw (the panel's menu
  // item, and the purchases window's button); the purchases window shows it.
  RecordOutcome OnRecordProposal(Game game);
  // Records the form of the purchases window, or refuses it field by field.
  RecordOutcome OnRecordTyped(const PurchaseForm& form);
  // Records the ticket typed in the check window for the game's next draw.
  RecordOutcome OnRecordChecked(Game game, const std::string& typed, int typeIndex);
  // Records every line of the game's slip as one ticket.
  RecordOutcome OnRecordSlip(Game game);
  // Removes a ticket (the window has asked first); the last removal can be undone while
  // the window is open. The line that tells it.
  std::string OnRemovePurchase(std::int64_t id);
  std::string OnUndoRemove();
  bool CanUndoRemove() const { return removed_.has_value(); }
  // The purchases window has closed: its removals can no longer be undone.
  void OnPurchasesClosed() { removed_.reset(); }
  // Marks a win as received (受取済み), or not.
  void OnSetClaimed(std::int64_t id, int line, std::uint32_t draw, bool claimed);
  // Writes every ticket as CSV to the file, or reads the tickets of a CSV file (all or
  // none); the line that tells how it went.
  RecordOutcome OnExportPurchases(const std::string& path);
  RecordOutcome OnImportPurchases(const std::string& path);
  // Where the database lies ("" when the program has no folder to keep it in).
  std::string LedgerPath() const;
  bool LedgerOpen() const { return ledger_ != nullptr; }
  // The slips of the shown games that have lines, in panel order; one as copied.
  std::vector<SlipView> Slips() const;
  // Ctrl+C while the slip has the focus: the game's whole slip goes to the clipboard.
  void OnCopySlip(Game game);
  // The line that told what the latest refresh's new draws did to the tickets ("" none).
  const std::string& PurchasesNews() const { return purchasesNews_; }

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
  // A file of the data folder beside the game's won list: folder/file ("" without one).
  std::string BesideLists(Game game, const char* folder, const std::string& file) const;
  // A failed refresh's box (first line: what failed, second: where and why), also on
  // standard error.
  void ReportFailure(const std::string& what, const std::string& why);

  // The automatic refresh's timer fired: a refresh when the day's draws are missing and
  // nothing else runs; then the next time is armed.
  void OnAutoRefreshTick();
  void ArmAutoRefresh();
  bool AnyRolling() const;
  // Each game's latest draw date in its draw file.
  std::array<std::optional<Date>, kGames.size()> DrawDatesInData() const;
  // Saves a check item's setting; false (the status line says why) when it cannot be.
  bool SaveSwitch(const char* key, bool on);
  // ---- 購入記録 ----
  Ledger* OpenLedger();
  // Each game's draws and prizes, as the results are counted against.
  const AllGames& LedgerData() const;
  Date Today() const;
  RecordOutcome Record(Purchase purchase);
  RecordOutcome Refused(const std::string& line) const;
  // Every game's latest draw number now (0 for none).
  std::array<std::uint32_t, kGames.size()> LatestDraws() const;
  // Before a refresh: the latest draws, to tell the new ones after it.
  void NoteDrawsBeforeRefresh();
  // After a refresh that brought new draws: the tickets covering them are checked.
  void ReportNewDraws();
  void AddToSlip(Game game, const std::string& proposal);

  WindowServices& window_;
  const Clock& clock_;
  std::string executablePath_;
  std::string listServer_;
  std::string configFile_;
  std::string appName_;

  ListFolderChoice listFolder_;
  ListPaths listPath_;
  // The folder's set the lists shown were read from; none when they were read while a
  // switch was under way or the set changed meanwhile (the next look reads them again).
  std::optional<FolderSetState> shownSet_;
  // By GameIndex, for every game of the rules table; only the shown games' are used.
  std::array<WinningList, kGames.size()> lists_;
  std::array<CandidatePool, kGames.size()> pools_;
  std::array<RollState, kGames.size()> rolls_;
  std::array<std::string, kGames.size()> lastProposal_;
  // Each game's draws once read (Draws); none until a window asks for them.
  mutable std::array<std::optional<std::vector<Draw>>, kGames.size()> draws_;
  // The same for the prizes (Prizes) and the won lists of the history window (HistoryList).
  mutable std::array<std::optional<std::vector<DrawPrizes>>, kGames.size()> prizes_;
  mutable std::array<std::optional<WinningList>, kGames.size()> historyLists_;
  // When each game's pending tick is due on the monotonic clock.
  std::array<std::chrono::steady_clock::time_point, kGames.size()> tickDue_{};
  // The predict button had the focus when its stop was asked for.
  std::array<bool, kGames.size()> refocus_{};
  // By GameIndex, for the games drawn as combinations: built when a never-won roll starts.
  std::array<NeverWonSet, kGames.size()> neverWon_;
  // The lists read ahead (StartReadingLists), until the first reading of the lists.
  struct ReadAhead {
    std::string path;
    ListFileStamp stamp;  // the file as it was read
    std::optional<ListContents> contents;
  };
  using ReadAheadLists = std::array<std::optional<ReadAhead>, kListFiles.size()>;
  std::future<ReadAheadLists> readingAhead_;
  ReadAheadLists readAhead_;
  // A list's contents from the reading ahead when its file is still as it was, else read now.
  std::optional<ListContents> ReadListRow(std::size_t row, ListKind kind);
  ShownGames shown_;
  // The panel's controls have been given their start-up state (PreparePanel).
  std::array<bool, kGames.size()> panelReady_{};
  RollRandom random_;
  std::string windowTitle_;
  std::int32_t lastDownloadOk_ = 0;
  FetchLimits fetchLimits_;
  bool refreshing_ = false;
  bool autoRefresh_ = false;
  bool notifyLosses_ = false;
  // The refresh under way was started by the timer: a failure shows in the status line,
  // never as a box that would wait for the player.
  bool autoRun_ = false;
  // Each game's roll runs (from its start until it stands).
  std::array<bool, kGames.size()> rolling_{};

  // 購入記録.
  LedgerOpener openLedger_;
  std::unique_ptr<Ledger> ledger_;
  std::string ledgerError_;
  mutable std::optional<AllGames> ledgerData_;
  std::optional<Purchase> removed_;
  std::optional<std::array<std::uint32_t, kGames.size()>> drawsBefore_;
  std::string purchasesNews_;
  struct Slip {
    std::vector<PurchaseLine> lines;
    std::size_t next = 0;  // the line the next stop fills
  };
  std::array<Slip, kGames.size()> slips_;
};

}  // namespace numira
