// 購入記録 in the main dialog: the database of the player's tickets, opened when first
// needed (never at start-up), recording from a proposal, a slip, the check window or the
// purchases window's form, and the line that tells what the new draws of a refresh did to
// the tickets.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "DrawSeed.h"
#include "Encoding.h"
#include "FileStore.h"
#include "Ledger.h"
#include "PredictDlg.h"
#include "PurchaseTexts.h"
#include "TextFill.h"

namespace numira {
namespace {

constexpr const char* kLedgerFile = "numira.db";
// The largest CSV file an import reads (10,000 tickets take some 600 KB).
constexpr std::uint64_t kMaxCsvBytes = 64u << 20;

// "2026-08-24 21:05" of a local time.
std::string Stamp(const LocalTime& t) {
  return std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + " " + TwoDigits(t.hour) + ":" +
         TwoDigits(t.minute);
}

}  // namespace

CPredictDlg::~CPredictDlg() = default;

std::string SlipView::Text() const {
  std::string text = title;
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

std::string CPredictDlg::LedgerPath() const {
  // Beside the lists: the user's folder of an installed copy, the executable's folder of
  // one that is not installed; none where nothing may be stored.
  if (!listFolder_.writable) return {};
  return listFolder_.folder + kLedgerFile;
}

Ledger* CPredictDlg::OpenLedger() {
  if (ledger_) return ledger_.get();
  const std::string path = LedgerPath();
  if (path.empty()) {
    ledgerError_ = text::kNoLedgerFolder;
    return nullptr;
  }
  Ledger::Opening opening = openLedger_(path);
  ledger_ = std::move(opening.ledger);
  ledgerError_ = ledger_ ? std::string() : opening.error;
  return ledger_.get();
}

Date CPredictDlg::Today() const { return JapanDateOf(clock_.Seconds()); }

const AllGames& CPredictDlg::LedgerData() const {
  if (ledgerData_) return *ledgerData_;
  ledgerData_.emplace();
  for (Game g : kGames) {
    GameData& d = (*ledgerData_)[GameIndex(g)];
    d.draws = Draws(g);
    d.prizes = Prizes(g);
  }
  return *ledgerData_;
}

void CPredictDlg::OnPurchases() { window_.ShowPurchases(); }

// Every game of the rules table: a ticket of a game whose panel is hidden is still the player's.
static std::vector<Game> EveryGame() { return {kGames.begin(), kGames.end()}; }

PurchasesPage CPredictDlg::Purchases() {
  Ledger* ledger = OpenLedger();
  PurchasesPage page =
      BuildPurchasesPage(ledger ? ledger->Purchases() : std::vector<Purchase>{}, LedgerData(), Today(), EveryGame());
  if (!ledger) {
    // The rest of the program works; the player's file stays as it is, for recovery.
    page.usable = false;
    page.lines = {ledgerError_};
  } else if (!purchasesNews_.empty()) {
    page.lines.insert(page.lines.begin(), purchasesNews_);
  }
  return page;
}

RecordOutcome CPredictDlg::Refused(const std::string& line) const {
  RecordOutcome outcome;
  outcome.line = line;
  return outcome;
}

RecordOutcome CPredictDlg::Record(Purchase purchase) {
  Ledger* ledger = OpenLedger();
  if (!ledger) return Refused(ledgerError_);
  purchase.created = Stamp(clock_.Local());
  try {
    purchase.id = ledger->Add(purchase);
  } catch (const LedgerError& e) {
    return Refused(e.what());
  }
  RecordOutcome outcome;
  outcome.recorded = true;
  outcome.line = RecordedText(purchase, Draws(purchase.game), Today());
  window_.PurchasesChanged();
  return outcome;
}

// A ticket of one or more lines for the game's next draw, 1 口, that draw only.
static std::optional<Purchase> ForNextDraw(Game game, std::vector<PurchaseLine> lines, const std::vector<Draw>& draws,
                                           Date today) {
  const std::optional<NextDraw> next = NextDrawOf(game, draws, today);
  if (!next) return std::nullopt;
  Purchase p;
  p.game = game;
  p.lines = std::move(lines);
  p.firstDraw = next->number;
  return p;
}

RecordOutcome CPredictDlg::OnRecordProposal(Game game) {
  const std::size_t g = GameIndex(game);
  if (lastProposal_[g].empty() || !RollFinished(rolls_[g])) return Refused(text::kNoProposal);
  const LineReading line = ReadLine(lastProposal_[g], game, TicketType::Straight);
  if (!line.line) return Refused(line.fault);
  std::optional<Purchase> p = ForNextDraw(game, {*line.line}, Draws(game), Today());
  if (!p) return Refused(text::kNoFirstDraw);
  RecordOutcome outcome = Record(std::move(*p));
  window_.ShowPurchases();
  return outcome;
}

RecordOutcome CPredictDlg::OnRecordTyped(const PurchaseForm& form) {
  if (!OpenLedger()) return Refused(ledgerError_);
  FormReading reading = ReadPurchaseForm(form, FormGames(LedgerData(), Today(), EveryGame()));
  if (!reading.purchase) {
    RecordOutcome outcome;
    outcome.faults = std::move(reading.faults);
    return outcome;
  }
  return Record(std::move(*reading.purchase));
}

RecordOutcome CPredictDlg::OnRecordChecked(Game game, const std::string& typed, int typeIndex) {
  const std::vector<std::string> types = TicketTypeTexts(game);
  const bool knownType = typeIndex >= 0 && static_cast<std::size_t>(typeIndex) < types.size();
  const LineReading line =
      ReadLine(typed, game, knownType ? static_cast<TicketType>(typeIndex) : TicketType::Straight);
  if (!line.line) return Refused(line.fault);
  std::optional<Purchase> p = ForNextDraw(game, {*line.line}, Draws(game), Today());
  if (!p) return Refused(text::kNoFirstDraw);
  return Record(std::move(*p));
}

RecordOutcome CPredictDlg::OnRecordSlip(Game game) {
  const Slip& slip = slips_[GameIndex(game)];
  if (slip.lines.empty()) return Refused(text::kEmptySlip);
  std::optional<Purchase> p = ForNextDraw(game, slip.lines, Draws(game), Today());
  if (!p) return Refused(text::kNoFirstDraw);
  return Record(std::move(*p));
}

std::string CPredictDlg::OnRemovePurchase(std::int64_t id) {
  Ledger* ledger = OpenLedger();
  if (!ledger) return ledgerError_;
  std::optional<Purchase> removed;
  try {
    removed = ledger->Remove(id);
  } catch (const LedgerError& e) {
    return e.what();
  }
  if (!removed) return {};
  const std::string name = ShownName(removed->game) + std::string(" ") +
                           Fill(text::kOneDrawFormat, {std::to_string(removed->firstDraw)});
  removed_ = std::move(removed);
  window_.PurchasesChanged();
  return Fill(text::kRemovedFormat, {name});
}

std::string CPredictDlg::OnUndoRemove() {
  Ledger* ledger = OpenLedger();
  if (!ledger) return ledgerError_;
  if (!removed_) return text::kNothingToUndo;
  try {
    ledger->Restore(*removed_);
  } catch (const LedgerError& e) {
    return e.what();
  }
  removed_.reset();
  window_.PurchasesChanged();
  return text::kRestored;
}

void CPredictDlg::OnSetClaimed(std::int64_t id, int line, std::uint32_t draw, bool claimed) {
  Ledger* ledger = OpenLedger();
  if (!ledger) return;
  ledger->SetClaimed(id, line, draw, claimed);
  window_.PurchasesChanged();
}

RecordOutcome CPredictDlg::OnExportPurchases(const std::string& path) {
  Ledger* ledger = OpenLedger();
  if (!ledger) return Refused(ledgerError_);
  StagedFile stage(path);
  int error = stage.Write(ledger->ExportCsv(), NewFileMode::Umask);
  if (error == 0) error = stage.Commit();
  const std::string shown = SanitizeUtf8(path);
  if (error != 0) return Refused(Fill(text::kExportFailedFormat, {shown, std::strerror(error)}));
  RecordOutcome outcome;
  outcome.recorded = true;
  outcome.line = Fill(text::kExportedFormat, {shown});
  return outcome;
}

RecordOutcome CPredictDlg::OnImportPurchases(const std::string& path) {
  Ledger* ledger = OpenLedger();
  if (!ledger) return Refused(ledgerError_);
  const std::string shown = SanitizeUtf8(path);
  int error = 0;
  const std::optional<std::string> bytes = ReadRegularFile(path, kMaxCsvBytes, &error);
  if (!bytes) return Refused(Fill(text::kImportFailedFormat, {shown, ReadErrorText(error, kMaxCsvBytes)}));
  int added = 0;
  try {
    added = ledger->ImportCsv(*bytes, Stamp(clock_.Local()));
  } catch (const LedgerError& e) {
    return Refused(Fill(text::kImportFailedFormat, {shown, e.what()}));
  }
  RecordOutcome outcome;
  outcome.recorded = true;
  outcome.line = Fill(text::kImportedFormat, {Grouped(added)});
  window_.PurchasesChanged();
  return outcome;
}

// ---- Slips -----------------------------------------------------------------------------

void CPredictDlg::AddToSlip(Game game, const std::string& proposal) {
  const LineReading line = ReadLine(proposal, game, TicketType::Straight);
  if (!line.line) return;
  Slip& slip = slips_[GameIndex(game)];
  // A sixth proposal starts over at A.
  if (slip.next >= static_cast<std::size_t>(kMaxLines)) slip.next = 0;
  if (slip.next < slip.lines.size())
    slip.lines[slip.next] = *line.line;
  else
    slip.lines.push_back(*line.line);
  ++slip.next;
  window_.SlipsChanged();
}

std::vector<SlipView> CPredictDlg::Slips() const {
  std::vector<SlipView> views;
  for (const PanelDef& panel : kGamePanels) {
    const Slip& slip = slips_[GameIndex(panel.game)];
    if (slip.lines.empty()) continue;
    SlipView view;
    view.game = panel.game;
    view.title = ShownName(panel.game);
    if (const std::optional<NextDraw> next = NextDrawOf(panel.game, Draws(panel.game), Today()))
      view.title += " " + NextDrawText(*next);
    for (std::size_t k = 0; k < slip.lines.size(); ++k)
      view.lines.push_back(SlipLineText(panel.game, static_cast<int>(k), slip.lines[k]));
    views.push_back(std::move(view));
  }
  return views;
}

void CPredictDlg::OnCopySlip(Game game) {
  for (const SlipView& view : Slips())
    if (view.game == game) return window_.SetClipboardText(view.Text());
}

// ---- After a refresh -------------------------------------------------------------------

std::array<std::uint32_t, kGames.size()> CPredictDlg::LatestDraws() const {
  std::array<std::uint32_t, kGames.size()> latest{};
  for (Game g : kGames) {
    const std::vector<Draw>& draws = Draws(g);
    latest[GameIndex(g)] = draws.empty() ? 0 : draws.back().number;
  }
  return latest;
}

void CPredictDlg::NoteDrawsBeforeRefresh() {
  // Only a player who keeps tickets has them checked (and nothing is created here).
  struct stat st;
  const std::string path = LedgerPath();
  drawsBefore_.reset();
  if (!ledger_ && (path.empty() || ::stat(path.c_str(), &st) != 0)) return;
  drawsBefore_ = LatestDraws();
}

void CPredictDlg::ReportNewDraws() {
  if (!drawsBefore_) return;
  const auto before = *drawsBefore_;
  drawsBefore_.reset();
  Ledger* ledger = OpenLedger();
  if (!ledger) return;
  const std::string line = NewDrawsSummary(ledger->Purchases(), LedgerData(), before);
  if (line.empty()) return;
  purchasesNews_ = line;
  window_.SetText(ctl::kNotice, line);
  window_.SetToolTip(ctl::kNotice, line);
  window_.PurchasesChanged();
}

}  // namespace numira
