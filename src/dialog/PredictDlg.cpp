#include "PredictDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "DrawSeed.h"
#include "Encoding.h"
#include "FileStore.h"
#include "ListServerChoice.h"
#include "TextFill.h"
#include "ProposalText.h"
#include "Texts.h"

namespace numira {

CPredictDlg::CPredictDlg(WindowServices& window, const Clock& clock, DialogSetup setup)
    : window_(window),
      clock_(clock),
      executablePath_(setup.executablePath.empty() ? numira::ExecutablePath() : std::move(setup.executablePath)),
      listServer_(std::move(setup.listServer)),
      configFile_(std::move(setup.configFile)),
      appName_(ApplicationName(executablePath_)),
      openLedger_(setup.openLedger ? std::move(setup.openLedger) : LedgerFromLibraryBeside(executablePath_)) {}

namespace {

// The items of a game's filter drop-down, in their order.
std::vector<std::string> FilterTexts(Game game) {
  std::vector<std::string> items;
  for (const FilterItem& item : FilterItems(game)) items.emplace_back(item.text);
  return items;
}

}  // namespace

bool CPredictDlg::OnInitDialog() {
  // The panels the user chose (numira.conf); the window makes the controls of the others
  // when they are first shown.
  ReadShownGames();
  window_.ApplyLayout(LayoutFor(shown_));
  const std::vector<Game> shown = shown_.Games();
  for (Game g : shown) window_.Enable(Panel(g).dropDown, false);
  for (Game g : shown) window_.Enable(Panel(g).checkBox, false);
  for (WinningList& l : lists_) l = WinningList{};
  for (RollState& r : rolls_) r = RollState{};
  ChooseListFolder();
  SeedUserFolder();
  for (Game g : shown)
    for (int id : ResultFields(g)) window_.SetText(id, "");
  window_.SetText(ctl::kStatus, listFolder_.userFolderTooLong ? text::kUserFolderTooLong : "");
  if (listFolder_.rootInOthersHome) {
    // Said on the status line and standard error: the lists shown are read, never stored.
    window_.SetText(ctl::kStatus, text::kRootInOthersHome);
    window_.WriteStandardError(text::kStandardErrorPrefix + std::string(text::kRootInOthersHome) + " (" +
                               SanitizeUtf8(listFolder_.folder.empty() ? "." : listFolder_.folder) + ")\n");
  }
  // Nor is a setting of root's saved in another user's folder.
  if (listFolder_.rootInOthersHome || IsRootInOthersFolder(configFile_)) configFile_.clear();
  for (Game g : shown) window_.SetDropDownItems(Panel(g).dropDown, FilterTexts(g), 0);
  windowTitle_ = TruncateUtf8(window_.WindowTitle(), kMaxText);
  for (Game g : shown) window_.SetText(Panel(g).groupBox, PlainCaption(g));
  for (Game g : shown) panelReady_[GameIndex(g)] = true;
  // What a refresh that was killed left behind is of no use to anyone (and nothing lies
  // where nothing may be stored).
  if (listFolder_.writable) {
    // Only while no writer holds the folder (one that does sweeps itself).
    const FolderLock lock(listFolder_.folder.empty() ? "." : listFolder_.folder, FolderLock::Wait::No);
    if (lock.Held()) SweepLeftovers(listPath_, &lock);
  }
  LoadAllLists();
  StartAutoRefresh();
  window_.CenterWindow();
  return true;
}

void CPredictDlg::PreparePanel(Game game) {
  const std::size_t g = GameIndex(game);
  if (panelReady_[g]) return;
  panelReady_[g] = true;
  const PanelDef& panel = Panel(game);
  window_.Enable(panel.dropDown, false);
  window_.Enable(panel.checkBox, false);
  for (int id : ResultFields(game)) window_.SetText(id, "");
  window_.SetDropDownItems(panel.dropDown, FilterTexts(game), 0);
  window_.SetText(panel.groupBox, PlainCaption(game));
}

void CPredictDlg::ReadShownGames() {
  shown_ = ShownGames{};
  // No file, no line, or a file that cannot be read (its list-server line is reported at
  // start-up): the panels every window shows.
  if (configFile_.empty()) return;
  const ConfigSetting setting = ReadConfigSetting(configFile_, kGamesKey);
  if (!setting.value) return;
  const GamesLine line = ParseGamesSetting(*setting.value);
  shown_ = line.shown;
  QuoteStyle style;
  style.asciiOnly = false;
  style.maxBytes = 200;
  QuoteStyle bare = style;
  bare.open = bare.close = "";
  const std::string where = Fill(text::kGamesLineFormat, {Quoted(configFile_, bare), std::to_string(setting.line)});
  for (const std::string& piece : line.unknown)
    window_.WriteStandardError(
        Fill(text::kUnknownGameFormat, {where, Quoted(piece, style), GameIdList({kGames.begin(), kGames.end()})}));
  if (!line.missing.empty())
    window_.WriteStandardError(Fill(text::kMissingGamesFormat,
                                    {where, GameIdList(line.missing), GameIdList({kShownGames.begin(), kShownGames.end()})}));
}

void CPredictDlg::OnShownGamesChanged(Game game, bool shown) {
  const ShownGames now = shown_.With(game, shown);
  if (now == shown_) return;  // a fixed panel, or no change
  shown_ = now;
  const std::size_t g = GameIndex(game);
  const PanelDef& panel = Panel(game);
  if (!shown) {
    // A hidden panel's roll ends where it is, with no proposal: shown again, the panel
    // stands idle and empty, as at start-up.
    window_.KillTimer(panel.timerId);
    if (!RollFinished(rolls_[g])) {
      RollState idle;
      idle.filterWasChecked = rolls_[g].filterWasChecked;
      rolls_[g] = idle;
      refocus_[g] = false;
      FinishRoll(game, {});
      for (int id : ResultFields(game)) {
        window_.SetText(id, "");
        window_.SetToolTip(id, "");
      }
    }
  }
  window_.ApplyLayout(LayoutFor(shown_));
  if (shown) PreparePanel(game);
  // Its lists are read when it is turned on (start-up reads the shown games' only).
  if (shown)
    for (std::size_t row = 0; row < kListFiles.size(); ++row)
      if (kListFiles[row].game == game && ListFileExists(listPath_[row])) ReadList(game, kListFiles[row].kind);
  if (configFile_.empty()) return Message(Fill(text::kShownGamesNotSavedFormat, {text::kNoConfigFile}));
  if (const int error = WriteConfigSetting(configFile_, kGamesKey, GamesSetting(shown_)); error != 0) {
    const std::string message = Fill(text::kShownGamesNotSavedFormat, {SanitizeUtf8(configFile_) + ": " + std::strerror(error)});
    window_.WriteStandardError(text::kStandardErrorPrefix + message + "\n");
    Message(message);
  }
}

// ---- Lists -----------------------------------------------------------------------------

void CPredictDlg::ChooseListFolder() {
  listFolder_ = numira::ChooseListFolder(executablePath_, ProcessListFolderEnv(executablePath_));
  listPath_ = ListPathsIn(listFolder_.folder);
}

void CPredictDlg::SeedUserFolder() {
  listFolder_ = SeedListFolder(listFolder_, UserFolderSeedFiles(listFolder_));
  listPath_ = ListPathsIn(listFolder_.folder);
}

void CPredictDlg::StartReadingLists() {
  if (readingAhead_.valid()) return;
  // Where OnInitDialog will read (before it seeds the user's folder: a list seeded since
  // is another file, read then) and the games the configuration shows.
  const ListFolderChoice choice = numira::ChooseListFolder(executablePath_, ProcessListFolderEnv(executablePath_));
  ShownGames shown;
  if (!configFile_.empty())
    if (const ConfigSetting setting = ReadConfigSetting(configFile_, kGamesKey); setting.value)
      shown = ParseGamesSetting(*setting.value).shown;
  const ListPaths paths = ListPathsIn(choice.folder);
  readingAhead_ = std::async(std::launch::async, [paths, shown] {
    ReadAheadLists lists;
    for (std::size_t row = 0; row < kListFiles.size(); ++row) {
      if (!shown.Has(kListFiles[row].game)) continue;
      ReadAhead& read = lists[row].emplace();
      read.path = paths[row];
      read.stamp = StampOf(read.path);
      if (read.stamp.exists) read.contents = ReadListFile(read.path, kListFiles[row].kind);
      // A file written while it was read is read again when it is needed.
      if (StampOf(read.path) != read.stamp) lists[row].reset();
    }
    return lists;
  });
}

std::optional<ListContents> CPredictDlg::ReadListRow(std::size_t row, ListKind kind) {
  const std::string& path = listPath_[row];
  if (readingAhead_.valid()) readAhead_ = readingAhead_.get();
  if (std::optional<ReadAhead> ahead = std::exchange(readAhead_[row], std::nullopt);
      ahead && ahead->stamp.exists && ahead->path == path && StampOf(path) == ahead->stamp)
    return std::move(ahead->contents);
  return ReadListFile(path, kind);
}

void CPredictDlg::LoadAllLists() {
  // Two looks at the folder's set around the reading: when they agree and show no switch,
  // the lists are one set's. Otherwise the lists stand as read (the window never waits for
  // a writer) and the next look reads them again.
  const FolderSetState before = LookAtFolderSet(listFolder_.folder);
  // The lists of the games the window shows; the others' are read when their panels are
  // turned on.
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    if (shown_.Has(kListFiles[row].game) && ListFileExists(listPath_[row]))
      ReadList(kListFiles[row].game, kListFiles[row].kind);
  }
  const FolderSetState after = LookAtFolderSet(listFolder_.folder);
  // What was read ahead and not taken is of no more use.
  readAhead_ = {};
  shownSet_.reset();
  if (before == after && !after.switching) shownSet_ = after;
}

bool CPredictDlg::FollowFolderSet() {
  if (refreshing_) return false;  // the refresh's end looks
  const FolderSetState now = LookAtFolderSet(listFolder_.folder);
  if (shownSet_ && *shownSet_ == now) return false;
  LoadAllLists();
  DrawFilesChanged();
  return true;
}

std::string CPredictDlg::BesideLists(Game game, const char* folder, const std::string& file) const {
  // The data folders lie beside the game's won list.
  const std::string& list = listPath_[static_cast<std::size_t>(ListRow(game, ListKind::Correct))];
  const auto slash = list.rfind('/');
  if (list.empty()) return {};
  return (slash == std::string::npos ? std::string() : list.substr(0, slash + 1)) + folder + "/" + file;
}

std::string CPredictDlg::DrawsPath(Game game) const { return BesideLists(game, kDrawsFolder, HistoryFileName(game)); }

std::string CPredictDlg::PrizesPath(Game game) const {
  return HasPrizes(game) ? BesideLists(game, kPrizesFolder, PrizeFileName(game)) : std::string();
}

const std::vector<DrawPrizes>& CPredictDlg::Prizes(Game game) const {
  std::optional<std::vector<DrawPrizes>>& prizes = prizes_[GameIndex(game)];
  if (prizes) return *prizes;
  const std::string path = PrizesPath(game);
  std::optional<std::vector<DrawPrizes>> read = path.empty() ? std::nullopt : PrizesOfFile(path, game);
  if (read) {
    // Prizes of other draws than the history's would show amounts no draw paid: none are
    // shown rather than wrong ones. Rows past the history's last draw (a refresh that
    // brought the prizes but not yet the draws) are left for the draws to come.
    const std::vector<Draw>& draws = Draws(game);
    const std::uint32_t last = draws.empty() ? 0 : draws.back().number;
    read->erase(std::find_if(read->begin(), read->end(), [last](const DrawPrizes& p) { return p.number > last; }),
                read->end());
    if (PrizesAgainstDraws(*read, draws, game)) read.reset();
  }
  prizes.emplace(read ? std::move(*read) : std::vector<DrawPrizes>());
  return *prizes;
}

const WinningList& CPredictDlg::HistoryList(Game game) const {
  const std::size_t g = GameIndex(game);
  if (lists_[g].listsLoaded == 1) return lists_[g];
  std::optional<WinningList>& list = historyLists_[g];
  if (list) return *list;
  list.emplace();
  for (const ListKind kind : {ListKind::Correct, ListKind::NoCorrect}) {
    const int row = ListRow(game, kind);
    if (row < 0) continue;
    std::optional<ListContents> contents = ReadListFile(listPath_[static_cast<std::size_t>(row)], kind);
    if (!contents) continue;
    if (kind == ListKind::NoCorrect) {
      list->neverWonEntries = std::move(contents->entries);
    } else {
      list->wonEntries = std::move(contents->entries);
      list->winCounts = std::move(contents->counts);
      list->latestDrawDate = std::move(contents->latestDrawDate);
    }
  }
  return *list;
}

const std::vector<Draw>& CPredictDlg::Draws(Game game) const {
  std::optional<std::vector<Draw>>& draws = draws_[GameIndex(game)];
  if (draws) return *draws;
  draws.emplace();
  const std::string path = DrawsPath(game);
  const std::optional<std::string> bytes = path.empty() ? std::nullopt : ReadDrawFile(path);
  if (!bytes) return *draws;
  try {
    *draws = ParseHistory(*bytes, game, path);
  } catch (const HistoryError&) {
    draws->clear();  // a faulty file shows as no draws, never as part of them
  }
  return *draws;
}

void CPredictDlg::DrawFilesChanged() {
  for (auto& draws : draws_) draws.reset();
  for (auto& prizes : prizes_) prizes.reset();
  // The lists beside the draws (those the panels do not read) may be new too.
  for (auto& list : historyLists_) list.reset();
  ledgerData_.reset();
  window_.HistoryChanged();
  window_.CheckChanged();
  window_.PurchasesChanged();
}

int CPredictDlg::ReadList(Game game, ListKind kind) {
  if (!shown_.Has(game)) return -1;  // not shown: read when its panel is turned on
  const int row = ListRow(game, kind);
  std::optional<ListContents> contents = row < 0 ? std::nullopt : ReadListRow(static_cast<std::size_t>(row), kind);
  if (!contents) {
    // The file cannot be opened: this kind's list and the date are emptied, the panel stays.
    WinningList& list = lists_[GameIndex(game)];
    if (kind == ListKind::NoCorrect) {
      list.neverWonEntries.clear();
    } else {
      list.wonEntries.clear();
      list.winCounts.clear();
    }
    list.latestDrawDate.clear();
    HistoryChanged(game);
    ShowCandidateCount(game);
    return Panel(game).openFailCode;
  }
  return ApplyList(game, kind, std::move(*contents));
}

int CPredictDlg::ApplyList(Game game, ListKind kind, ListContents contents) {
  WinningList& list = lists_[GameIndex(game)];
  if (kind == ListKind::NoCorrect) {
    list.neverWonEntries = std::move(contents.entries);
  } else {
    list.wonEntries = std::move(contents.entries);
    list.winCounts = std::move(contents.counts);
  }
  list.latestDrawDate = std::move(contents.latestDrawDate);
  const PanelDef& panel = Panel(game);
  // The read decides the panel, except that a never-won list without entries (every
  // number has been drawn) does not put out a panel whose won list is in memory.
  const bool loaded = contents.lines > 0 || (kind == ListKind::NoCorrect && !list.wonEntries.empty());
  const std::string caption = loaded ? TruncateUtf8(DatedCaption(game, list.latestDrawDate), kMaxText) : PlainCaption(game);
  window_.Enable(panel.groupBox, loaded);
  window_.Enable(panel.checkBox, loaded);
  list.listsLoaded = loaded ? 1 : 0;
  window_.SetText(panel.groupBox, caption);
  HistoryChanged(game);
  ShowCandidateCount(game);
  return contents.lines;
}

// ---- The predict button --------------------------------------------------------------

void CPredictDlg::OnPredict(Game game) {
  const std::size_t g = GameIndex(game);
  const PanelDef& panel = Panel(game);
  RollState& roll = rolls_[g];
  if (roll.stopCounter == 0) {
    // Rolling freely: ask for the stop; the ticks slow the roll down and end it.
    roll.stopCounter = 1;
    // The disabled button loses the focus; it gets it back when the roll stands.
    refocus_[g] = window_.FocusedControl() == panel.predictButton;
    window_.Enable(panel.predictButton, false);
    return;
  }

  CandidatePool& pool = pools_[g];
  pool.clear();
  const bool checked = window_.CheckState(panel.checkBox) != 0;
  LotoMode lotoMode = LotoMode::Free;
  if (IsNumbers(game)) {
    const FilterChoice choice = checked ? RecogniseFilter(game, window_.SelectedText(panel.dropDown)) : FilterChoice{};
    pool = BuildNumbersPool(game, checked, choice, lists_[g]);
    if (pool.empty()) return Message(text::kNoData);
  } else if (checked) {
    const FilterChoice choice = RecogniseFilter(game, window_.SelectedText(panel.dropDown));
    pool = BuildLotoPool(lists_[g]);
    if (pool.empty()) return Message(text::kNoData);
    lotoMode = choice == FilterChoice::NeverWon ? LotoMode::NeverWon : LotoMode::Past;
    if (lotoMode == LotoMode::NeverWon) {
      NeverWonSet won(pool, game);
      // A list that holds every combination leaves nothing to draw: say so instead of
      // starting a roll that could never stop.
      if (won.CoversAll()) {
        pool.clear();
        return Message(text::kNoData);
      }
      neverWon_[GameIndex(game)] = std::move(won);
    }
  }
  if (!IsNumbers(game)) {
    roll.lotoMode = lotoMode;
    if (lotoMode != LotoMode::NeverWon) neverWon_[GameIndex(game)] = NeverWonSet{};
  }

  if (lists_[g].listsLoaded == 1) {
    roll.filterWasChecked = window_.CheckState(panel.checkBox);
    window_.Enable(panel.checkBox, false);
    window_.Enable(panel.dropDown, false);
  }
  roll.rollInterval = kFreeRollInterval;
  roll.stopCounter = 0;
  rolling_[g] = true;
  // A rolling field tells no history.
  for (int id : ResultFields(game)) window_.SetToolTip(id, "");
  window_.SetText(panel.predictButton, text::kStop);
  random_.Seed(clock_.Seconds());
  tickDue_[g] = clock_.Monotonic();
  ArmNextTick(game);
}

void CPredictDlg::Message(const std::string& text) { window_.MessageBox(text, windowTitle_, MessageIcon::Warning); }

// ---- The rolling draw ----------------------------------------------------------------

void CPredictDlg::OnTimer(int id) {
  for (const PanelDef& p : kGamePanels)
    if (p.timerId == id) return OnRollTick(p.game);
  if (id == ctl::kAutoRefreshTimer) return OnAutoRefreshTick();
}

void CPredictDlg::OnRollTick(Game game) {
  const std::size_t g = GameIndex(game);
  const PanelDef& panel = Panel(game);
  RollState& roll = rolls_[g];
  const CandidatePool& pool = pools_[g];
  window_.KillTimer(panel.timerId);

  if (IsNumbers(game)) {
    if (pool.empty()) return FinishRoll(game, {});  // cannot happen: no Numbers roll starts without a pool
    const std::size_t i = static_cast<std::size_t>(random_.Below(static_cast<int>(pool.size())));
    DecelerationStep(roll);
    if (RollFinished(roll)) {
      FinishRoll(game, pool[i]);
      window_.SetText(panel.resultFields[0], pool[i]);
    } else {
      window_.SetText(panel.resultFields[0], pool[i]);
      ArmNextTick(game);
    }
    return;
  }

  Combination c;
  if (roll.lotoMode == LotoMode::Free || (roll.lotoMode == LotoMode::Past && pool.empty()))
    c = DrawFree(random_, game);
  else if (roll.lotoMode == LotoMode::Past)
    c = DrawPast(random_, pool, game);
  else
    c = DrawNeverWon(random_, game, neverWon_[GameIndex(game)]);
  DecelerationStep(roll);
  ShowCombination(game, c);
  if (!RollFinished(roll)) {
    ArmNextTick(game);
  } else {
    SortCombination(c, game);
    FinishRoll(game, FormatEntry(c, game));
  }
}

void CPredictDlg::ShowCombination(Game game, Combination c) {
  SortCombination(c, game);
  const auto fields = ResultFields(game);
  for (int k = 0; k < RulesOf(game).count; ++k)
    window_.SetText(fields[static_cast<std::size_t>(k)], std::to_string(c[static_cast<std::size_t>(k)]));
}

void CPredictDlg::FinishRoll(Game game, std::string proposal) {
  const std::size_t g = GameIndex(game);
  lastProposal_[g] = std::move(proposal);
  rolling_[g] = false;
  if (!lastProposal_[g].empty()) AddToSlip(game, lastProposal_[g]);  // the slip's next line
  HistoryChanged(game);
  window_.CheckChanged();
  const PanelDef& panel = Panel(game);
  if (lists_[g].listsLoaded == 1) {
    window_.Enable(panel.checkBox, true);
    if (rolls_[g].filterWasChecked != 0) window_.Enable(panel.dropDown, true);
  }
  window_.Enable(panel.predictButton, true);
  window_.SetText(panel.predictButton, text::kPredict);
  // Back to the button that had it at the stop, unless the user has put it elsewhere.
  if (refocus_[g] && window_.FocusedControl() == 0) window_.SetFocus(panel.predictButton);
  refocus_[g] = false;
}

void CPredictDlg::ArmNextTick(Game game) {
  using std::chrono::milliseconds;
  const std::size_t g = GameIndex(game);
  const auto now = clock_.Monotonic();
  const milliseconds interval(rolls_[g].rollInterval);
  auto& due = tickDue_[g];
  // Each tick is aimed at its due time, one interval after the due time of the one
  // before, so a late arrival shortens the next wait instead of delaying every tick
  // after it. A window may deliver a tick up to a millisecond early, with another one
  // due then. A tick that came earlier than that (a timer fired ahead of time) or more
  // than an interval late (the window was blocked) counts from now: missed ticks are
  // skipped, not made up in a burst.
  if (now + milliseconds(1) < due || now - due > interval) due = now;
  due += interval;
  window_.SetTickTimer(Panel(game).timerId, std::chrono::ceil<std::chrono::microseconds>(due - now));
}

void CPredictDlg::HistoryChanged(Game game) {
  const std::size_t g = GameIndex(game);
  // A list read anew: the history window's own copy of it is of the old file.
  historyLists_[g].reset();
  // Only a standing proposal has a history to tell; a rolling one gets it when it stops.
  if (!lastProposal_[g].empty() && RollFinished(rolls_[g])) {
    const std::vector<std::string> tips = ProposalToolTips(game, lists_[g], lastProposal_[g]);
    const auto fields = ResultFields(game);
    for (std::size_t k = 0; k < fields.size() && k < tips.size(); ++k) window_.SetToolTip(fields[k], tips[k]);
  }
  window_.HistoryChanged();
}

// ---- The rest of the window ----------------------------------------------------------

void CPredictDlg::OnFilterCheck(Game game) {
  const PanelDef& panel = Panel(game);
  window_.Enable(panel.dropDown, window_.CheckState(panel.checkBox) != 0);
}

void CPredictDlg::OnFilterChoice(Game game) { ShowCandidateCount(game); }

void CPredictDlg::ShowCandidateCount(Game game) {
  const PanelDef& panel = Panel(game);
  const FilterChoice choice = RecogniseFilter(game, window_.SelectedText(panel.dropDown));
  window_.SetToolTip(panel.dropDown, CandidateCountText(game, CountCandidates(game, choice, List(game))));
}

std::string CPredictDlg::ProposalsText() const {
  std::string text;
  for (Game g : shown_.Games()) {
    const std::size_t i = GameIndex(g);
    if (lastProposal_[i].empty() || !RollFinished(rolls_[i])) continue;
    if (!text.empty()) text += '\n';
    text += ProposalLine(g, lastProposal_[i]);
  }
  return text;
}

void CPredictDlg::OnCopy() {
  const std::string text = ProposalsText();
  if (!text.empty()) window_.SetClipboardText(text);
}

void CPredictDlg::OnCloseButton() { window_.EndDialog(0); }

void CPredictDlg::OnAboutButton() { window_.ShowAboutBox(); }

void CPredictDlg::OnHistory() { window_.ShowHistory(); }

void CPredictDlg::OnCheck() { window_.ShowCheck(); }

CheckOutcome CPredictDlg::OnCheckTicket(Game game, const std::string& typed, int typeIndex) const {
  return CheckTypedTicket(game, Draws(game), Prizes(game), typed, typeIndex);
}

bool CPredictDlg::OnSysCommand(unsigned id) {
  if (id == ctl::kAutoRefreshItem || id == ctl::kNotifyLossesItem) {
    id == ctl::kAutoRefreshItem ? OnAutoRefreshToggled() : OnNotifyLossesToggled();
    return true;
  }
  if (id == ctl::kSettingsItem) {
    window_.ShowSettings();
    return true;
  }
  if ((id & ctl::kSystemCommandMask) != ctl::kAboutCommand) return false;
  window_.ShowAboutBox();
  return true;
}

TextColour CPredictDlg::OnCtlColor(int id) const {
  for (const PanelDef& p : kGamePanels)
    for (int field : ResultFields(p.game))
      if (field == id) return ResultColour(rolls_[GameIndex(p.game)].rollInterval);
  if (id == ctl::kStatus) return lastDownloadOk_ != 0 ? TextColour::Blue : TextColour::Red;
  if (id == ctl::kNotice) return TextColour::DarkGreen;
  return TextColour::Default;
}

}  // namespace numira
