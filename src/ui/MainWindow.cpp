#include "MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileSystemWatcher>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <tuple>

#include "AboutBox.h"
#include "HeadlessCheck.h"
#include "AppIcon.h"
#include "ControlLabel.h"
#include "DialogUnits.h"
#include "Fonts.h"
#include "PurchaseTexts.h"
#include "ShownGames.h"
#include "SideWindows.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString Q(const char* s) { return QString::fromUtf8(s); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// The game whose control this is, by the panel table.
template <class Member>
const PanelDef* PanelOf(int id, Member member) {
  for (const PanelDef& p : kGamePanels)
    if (p.*member == id) return &p;
  return nullptr;
}

}  // namespace

MainWindow::MainWindow(const Clock& clock, DialogSetup setup, HistoryMaker makeHistory)
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("numira"));
  setWindowTitle(Q(text::kWindowTitle));
  setWindowIcon(AppIcon());
  setFont(DialogFont());
  setModal(true);
  dlg_ = std::make_unique<CPredictDlg>(*this, clock, std::move(setup));
  // The lists are read on another thread while the controls are made (and the face for
  // them loaded); OnInitDialog takes them.
  dlg_->StartReadingLists();
  CreateControls(std::nullopt);
  auto* history = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
  connect(history, &QShortcut::activated, this, [this] { Dispatch([this] { dlg_->OnHistory(); }); });
  auto* check = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this);
  connect(check, &QShortcut::activated, this, [this] { Dispatch([this] { dlg_->OnCheck(); }); });
  auto* purchases = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
  connect(purchases, &QShortcut::activated, this, [this] { Dispatch([this] { dlg_->OnPurchases(); }); });
  auto* copy = new QShortcut(QKeySequence::Copy, this);
  connect(copy, &QShortcut::activated, this, [this] { Dispatch([this] { dlg_->OnCopy(); }); });
  frames_ = new FramePacer(this);
  // The refresh program's report goes to the dialog on the window's thread.
  refresh_ = new RefreshProcess(this, [this](const RefreshReport& report) {
    Dispatch([this, &report] { dlg_->OnRefreshDone(report); });
  });
  makeHistory_ = makeHistory ? std::move(makeHistory) : HistoryFromLibraryBeside(dlg_->ExecutablePath());
  Dispatch([this] { dlg_->OnInitDialog(); });
  // Another writer of the list folder (a second window, the timer's check) may bring a new
  // set while this window stands unused: it follows once the writes have settled.
  auto* settled = new QTimer(this);
  settled->setSingleShot(true);
  settled->setInterval(250);
  connect(settled, &QTimer::timeout, this, [this] { Dispatch([this] { dlg_->FollowFolderSet(); }); });
  auto* folder = new QFileSystemWatcher(this);
  connect(folder, &QFileSystemWatcher::directoryChanged, settled, qOverload<>(&QTimer::start));
  const std::string& lists = dlg_->ListFolder().folder;
  folder->addPath(QString::fromStdString(lists.empty() ? "." : lists));
}

MainWindow::~MainWindow() {
  refresh_->Stop();
  for (auto& [id, timer] : timers_) timer->stop();
  while (waitDepth_ > 0) EndWaitCursor();
}

void MainWindow::CreateControls(std::optional<Game> choicePanel) {
  const DialogUnits du(font());
  const QFont resultFont = ResultFont();
  const auto colourRule = [this](int id) { return dlg_ ? dlg_->OnCtlColor(id) : TextColour::Default; };
  QWidget* previousTabStop = nullptr;
  std::vector<QGroupBox*> groups;

  for (const ControlDef* def : WindowControls()) {
    const ControlDef& c = *def;
    // The window's own controls first; a panel shown by choice when it is first shown.
    const PanelDef* panel = PanelOfControl(c.id);
    const bool wanted = choicePanel ? panel && panel->game == *choicePanel : !(panel && panel->byChoice);
    if (!wanted) {
      if (QWidget* existing = Control(c.id); existing && (c.style & kTabStop)) previousTabStop = existing;
      continue;
    }
    if (c.kind == ControlKind::ListBox) {
      // The sorted scratch list is never shown and needs no widget.
      hiddenTexts_[c.id] = c.text;
      continue;
    }
    const QRect place = du.Rect(c.x, c.y, c.w, c.h);
    QWidget* w = nullptr;
    switch (c.kind) {
      case ControlKind::CheckBox: {
        auto* box = new QCheckBox(Q(c.text), this);
        if (const PanelDef* p = PanelOf(c.id, &PanelDef::checkBox)) {
          const Game game = p->game;
          // toggled comes after the box has changed its state, however the user changed
          // it: mouse, keyboard, or an assistive technology's Toggle action (which emits
          // no clicked). The program itself never changes a box's state.
          connect(box, &QCheckBox::toggled, this, [this, game] { Dispatch([this, game] { dlg_->OnFilterCheck(game); }); });
        }
        box->setGeometry(place);
        w = box;
        break;
      }
      case ControlKind::DropDown: {
        auto* combo = new QComboBox(this);
        combo->setEditable(false);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // The table's height is that of the open list; the closed box keeps its own
        // height, and the open list shows as many items as that height holds.
        const int closed = std::min(combo->sizeHint().height(), place.height());
        combo->setGeometry(place.x(), place.y(), place.width(), closed);
        const int itemHeight = std::max(1, QFontMetrics(font()).height() + 2);
        combo->setMaxVisibleItems(std::max(1, (place.height() - closed) / itemHeight));
        if (const PanelDef* p = PanelOf(c.id, &PanelDef::dropDown)) {
          const Game game = p->game;
          connect(combo, &QComboBox::currentIndexChanged, this, [this, game] {
            if (dlg_) Dispatch([this, game] { dlg_->OnFilterChoice(game); });
          });
        }
        w = combo;
        break;
      }
      case ControlKind::PushButton: {
        auto* button = new QPushButton(Q(c.text), this);
        button->setGeometry(place);
        if (c.id == ctl::kOk) {
          // The hidden OK button is the dialog's default button, so that Enter while
          // no push button has the focus is the accept action (keyPressEvent). Without
          // a default button of its own the dialog would make the first push button
          // the default, and Enter would press "予想". A focused push button still
          // takes Enter for itself.
          button->setDefault(true);
          connect(button, &QPushButton::clicked, this, [this] { accept(); });
        } else if (c.id == ctl::kCancel) {
          button->setAutoDefault(false);
          connect(button, &QPushButton::clicked, this, [this] { reject(); });
        } else if (const PanelDef* p = PanelOf(c.id, &PanelDef::predictButton)) {
          const Game game = p->game;
          connect(button, &QPushButton::clicked, this, [this, game] { Dispatch([this, game] { dlg_->OnPredict(game); }); });
        } else if (c.id == ctl::kDownload) {
          connect(button, &QPushButton::clicked, this, [this] { Dispatch([this] { dlg_->OnDownload(); }); });
        } else if (c.id == ctl::kAbout) {
          connect(button, &QPushButton::clicked, this, [this] { Dispatch([this] { dlg_->OnAboutButton(); }); });
        } else if (c.id == ctl::kClose) {
          connect(button, &QPushButton::clicked, this, [this] { Dispatch([this] { dlg_->OnCloseButton(); }); });
        }
        w = button;
        break;
      }
      case ControlKind::GroupBox: {
        auto* group = new QGroupBox(Q(c.text), this);
        group->setGeometry(place);
        // A group box is only a frame: it lies beneath the panel's controls and lets
        // their clicks (and right clicks on the dialog) through.
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        groups.push_back(group);
        w = group;
        break;
      }
      case ControlKind::StaticText: {
        auto* label = new ControlLabel(c.id, colourRule, this);
        label->setText(Q(c.text));
        label->setGeometry(place);
        // A fixed size also spares the window a layout request at every new text.
        label->setFixedSize(place.size());
        if (c.style & kResultField) {
          label->setAlignment(Qt::AlignCenter);
          label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
          label->setLineWidth(1);
          label->setFont(resultFont);
        } else {
          label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
          label->setFrameStyle(QFrame::NoFrame);
        }
        w = label;
        break;
      }
      case ControlKind::ListBox:
      case ControlKind::Icon:
        continue;
    }
    w->setObjectName(QString::number(c.id));
    if (c.style & kHidden) w->hide();
    controls_[c.id] = w;
    if (c.style & kTabStop) {
      w->setFocusPolicy(Qt::StrongFocus);
      if (previousTabStop) setTabOrder(previousTabStop, w);
      previousTabStop = w;
    } else {
      w->setFocusPolicy(Qt::NoFocus);
    }
  }
  for (QGroupBox* g : groups) g->lower();
  if (!choicePanel) setFixedSize(du.Size(kDialogWidth, kDialogHeight));
}

template <class F>
void MainWindow::Dispatch(F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    // The top-level handler: a stop box captioned with the application's name.
    const QString caption = dlg_ ? Q(dlg_->AppName()) : QCoreApplication::applicationName();
    QMessageBox box(QMessageBox::Critical, caption, Q(e.what()), QMessageBox::Ok, this);
    // A window of its own does not take its parent's font: it is given the dialog's face.
    box.setFont(font());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
  }
}

QWidget* MainWindow::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

// ---- Window services -------------------------------------------------------------------

void MainWindow::Enable(int id, bool enabled) {
  QWidget* w = Control(id);
  if (!w) return;
  // A control that is disabled while it has the focus hands it to the window itself,
  // not on to the next control, where the next key would act on something else.
  if (!enabled && focusWidget() == w) setFocus(Qt::OtherFocusReason);
  w->setEnabled(enabled);
}

void MainWindow::SetText(int id, const std::string& text) {
  QWidget* w = Control(id);
  if (!w) {
    hiddenTexts_[id] = text;
    return;
  }
  const QString t = Q(text);
  if (auto* label = dynamic_cast<ControlLabel*>(w)) {
    // The same text is drawn again only when its colour has changed.
    label->ShowText(t);
  } else if (auto* button = dynamic_cast<QAbstractButton*>(w)) {
    button->setText(t);
  } else if (auto* group = dynamic_cast<QGroupBox*>(w)) {
    group->setTitle(t);
  }
}

std::string MainWindow::Text(int id) const {
  QWidget* w = Control(id);
  if (!w) {
    auto it = hiddenTexts_.find(id);
    return it == hiddenTexts_.end() ? std::string() : it->second;
  }
  if (auto* label = dynamic_cast<QLabel*>(w)) return S(label->text());
  if (auto* button = dynamic_cast<QAbstractButton*>(w)) return S(button->text());
  if (auto* group = dynamic_cast<QGroupBox*>(w)) return S(group->title());
  if (auto* combo = dynamic_cast<QComboBox*>(w)) return S(combo->currentText());
  return {};
}

int MainWindow::CheckState(int id) const {
  auto* box = dynamic_cast<QCheckBox*>(Control(id));
  return box && box->checkState() != Qt::Unchecked ? 1 : 0;
}

void MainWindow::SetDropDownItems(int id, const std::vector<std::string>& items, int selected) {
  auto* combo = dynamic_cast<QComboBox*>(Control(id));
  if (!combo) return;
  combo->clear();
  for (const std::string& item : items) combo->addItem(Q(item));
  combo->setCurrentIndex(selected >= 0 && selected < combo->count() ? selected : -1);
  WidenToItems(combo);
}

std::string MainWindow::SelectedText(int id) const {
  auto* combo = dynamic_cast<QComboBox*>(Control(id));
  return combo && combo->currentIndex() >= 0 ? S(combo->currentText()) : std::string();
}

void MainWindow::MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning, Q(caption), Q(text),
                  QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("message"));
  box.setFont(font());
  box.setWindowModality(Qt::ApplicationModal);
  // A box that waits for the user shows the ordinary pointer, even in a busy refresh.
  if (waitDepth_ > 0) QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (waitDepth_ > 0) QApplication::restoreOverrideCursor();
}

void MainWindow::ShowAboutBox() {
  CAboutDlg box(this);
  box.exec();
}

void MainWindow::SetToolTip(int id, const std::string& text) {
  if (QWidget* w = Control(id)) {
    w->setToolTip(Q(text));
    w->setAccessibleDescription(Q(text));
  }
}

int MainWindow::FocusedControl() const {
  const QWidget* focused = focusWidget();
  for (const auto& [id, w] : controls_)
    if (w == focused) return id;
  return 0;
}

void MainWindow::SetFocus(int id) {
  if (QWidget* w = Control(id)) w->setFocus(Qt::OtherFocusReason);
}

void MainWindow::SetClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(Q(text)); }

std::vector<HistoryPage> MainWindow::HistoryPages() const {
  std::vector<HistoryPage> pages;
  // Every game of the rules table, whichever panels the window shows.
  for (Game g : kGames) pages.push_back(dlg_->History(g));
  return pages;
}

void MainWindow::ShowHistory() {
  if (!history_) {
    std::string error;
    history_ = makeHistory_(this, error);
    if (!history_) {
      MessageBox(Fill(text::kHistoryUnavailableFormat, {error}), dlg_->AppName(), MessageIcon::Stop);
      return;
    }
    ForgetWhenClosed(this, history_);
    // With its pages, so that its least size is known.
    history_->ShowPages(HistoryPages());
    PlaceBeside(*this, history_);
  } else {
    history_->ShowPages(HistoryPages());
  }
  Present(history_);
}

void MainWindow::HistoryChanged() {
  if (history_) history_->ShowPages(HistoryPages());
}

std::vector<CheckPage> MainWindow::CheckPages() const {
  std::vector<CheckPage> pages;
  // Every game of the rules table, whichever panels the window shows.
  for (Game g : kGames) pages.push_back(dlg_->Check(g));
  return pages;
}

void MainWindow::ShowCheck() {
  if (!check_) {
    check_ = new CheckWindow(this, [this](Game game, const std::string& typed, int type) {
      CheckOutcome outcome;
      outcome.refused = true;  // an error (reported by Dispatch) changes nothing
      Dispatch([&] { outcome = dlg_->OnCheckTicket(game, typed, type); });
      return outcome;
    });
    // 記録: the typed ticket goes to 購入記録.
    check_->SetRecorder([this](Game game, const std::string& typed, int type) {
      CheckOutcome said;
      Dispatch([&] {
        const RecordOutcome outcome = dlg_->OnRecordChecked(game, typed, type);
        said.refused = !outcome.recorded;
        said.lines = {outcome.line};
      });
      return said;
    });
    ForgetWhenClosed(this, check_);
  }
  check_->ShowPages(CheckPages());
  Present(check_);
}

void MainWindow::CheckChanged() {
  if (check_) check_->ShowPages(CheckPages());
}

void MainWindow::ShowSettings() {
  if (!settings_) {
    settings_ = new SettingsWindow(this,
                                   SettingsSetup{dlg_->ConfigFile(), dlg_->ListServer(), dlg_->AppName(), dlg_->Limits()},
                                   RefreshProgramPath(dlg_->ExecutablePath()),
                                   [this](const std::string& baseUrl) { dlg_->OnListServerSaved(baseUrl); });
    ForgetWhenClosed(this, settings_);
  }
  Present(settings_);
}

void MainWindow::ShowPurchases() {
  if (!purchases_) {
    purchases_ = new PurchasesWindow(this, *dlg_, [this](const std::function<void()>& action) { Dispatch(action); });
    ForgetWhenClosed(this, purchases_);
    PlaceBeside(*this, purchases_);
  } else {
    purchases_->Refresh();
  }
  Present(purchases_);
}

void MainWindow::OpenPurchases() {
  Dispatch([this] { dlg_->OnPurchases(); });
}

void MainWindow::RecordProposal(Game game) {
  Dispatch([this, game] {
    const RecordOutcome outcome = dlg_->OnRecordProposal(game);
    if (!outcome.recorded) MessageBox(outcome.line, dlg_->WindowTitle(), MessageIcon::Warning);
  });
}

void MainWindow::PurchasesChanged() {
  if (purchases_) purchases_->Refresh();
}

void MainWindow::SlipsChanged() {
  if (purchases_) purchases_->RefreshSlips();
}

void MainWindow::WriteStandardError(const std::string& line) {
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void MainWindow::SetTimer(int id, int milliseconds) {
  SetTickTimer(id, std::chrono::milliseconds(std::max(0, milliseconds)));
}

void MainWindow::SetTickTimer(int id, std::chrono::microseconds wait) {
  OneShotTimer*& timer = timers_[id];
  if (!timer) timer = new OneShotTimer([this, id] { TimerExpired(id); }, this);
  timer->start(wait);
}

void MainWindow::TimerExpired(int id) {
  Dispatch([this, id] { dlg_->OnTimer(id); });
  // Games that roll at once tick at nearly the same moments: ticks due within the next
  // millisecond come now as well, so that the window wakes and paints once for them all.
  for (auto& [other, timer] : timers_) {
    if (other == id || !timer->isActive() || timer->Remaining() > std::chrono::milliseconds(1)) continue;
    timer->stop();
    Dispatch([this, other] { dlg_->OnTimer(other); });
  }
}

void MainWindow::KillTimer(int id) {
  if (auto it = timers_.find(id); it != timers_.end()) it->second->stop();
}

void MainWindow::BeginWaitCursor() {
  ++waitDepth_;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindow::EndWaitCursor() {
  if (waitDepth_ == 0) return;
  --waitDepth_;
  QApplication::restoreOverrideCursor();
}

void MainWindow::UpdateNow() {
  // Paints what is pending at once, without taking any other event: the caller is
  // about to block the window.
  if (!isVisible()) return;
  frames_->PaintNextAtOnce();  // no waiting for the screen's next refresh
  repaint();
}

void MainWindow::StartRefresh(const RefreshRequest& request) {
  refresh_->Start(RefreshProgramPath(dlg_->ExecutablePath()), request);
}

void MainWindow::SwitchUserTimer(bool enable) {
  // Not the window's child: a window closed before systemctl ends must neither kill it nor
  // hear from it. The holder is never deleted; each process goes once it has ended.
  static QObject* const systemctls = new QObject;
  auto* systemctl = new QProcess(systemctls);
  connect(systemctl, &QProcess::finished, systemctl, &QObject::deleteLater);
  systemctl->setProcessChannelMode(QProcess::MergedChannels);
  const auto done = [this, systemctl, enable](bool ok, const std::string& why) {
    systemctl->disconnect(this);
    if (systemctl->state() == QProcess::NotRunning) systemctl->deleteLater();
    Dispatch([this, enable, ok, why] { dlg_->OnUserTimerSwitched(enable, ok, why); });
  };
  connect(systemctl, &QProcess::finished, this, [systemctl, done](int code, QProcess::ExitStatus status) {
    const std::string said = S(QString::fromLocal8Bit(systemctl->readAll()).simplified());
    done(status == QProcess::NormalExit && code == 0, "systemctl --user: " + said);
  });
  connect(systemctl, &QProcess::errorOccurred, this, [done](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) done(false, "systemctl cannot be started");
  });
  systemctl->start(QStringLiteral("systemctl"), {QStringLiteral("--user"), enable ? QStringLiteral("enable") : QStringLiteral("disable"),
                                                 QStringLiteral("--now"), QString::fromUtf8(kUserTimerUnit)});
}

void MainWindow::ApplyLayout(const WindowLayout& layout) {
  const DialogUnits du(font());
  for (const ControlPlace& place : layout.places) {
    QWidget* w = Control(place.id);
    if (!w && place.shown)
      if (const PanelDef* panel = PanelOfControl(place.id); panel && panel->byChoice) {
        // A panel shown by choice gets its widgets when it is first shown.
        CreateControls(panel->game);
        w = Control(place.id);
      }
    if (!w) continue;
    w->move(du.X(place.x), du.Y(place.y));
    w->setVisible(place.shown);
  }
  const QSize size = du.Size(layout.width, layout.height);
  if (size == this->size()) return;
  setFixedSize(size);
  // A window that grows below the screen's edge moves up as far as it must.
  if (!isVisible()) return;
  if (QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame.bottom() > area.bottom()) move(x(), std::max(area.top(), y() - (frame.bottom() - area.bottom())));
  }
}

std::string MainWindow::WindowTitle() const { return S(windowTitle()); }

void MainWindow::CenterWindow() {
  CentreOnScreen();
  // Before the first showing the frame is not known yet: centre again then.
  if (!isVisible()) centrePending_ = true;
}

void MainWindow::CentreOnScreen() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  QRect frame = frameGeometry();
  frame.moveCenter(s->availableGeometry().center());
  move(frame.topLeft());
}

void MainWindow::EndDialog(int code) { done(code); }

void MainWindow::done(int code) {
  // Timers that are still armed and a refresh under way die with the window (the
  // refresh program is told to end, and not waited for).
  refresh_->Stop();
  for (auto& [id, timer] : timers_) timer->stop();
  QDialog::done(code);
}

// ---- Events ----------------------------------------------------------------------------

std::unique_ptr<QMenu> MainWindow::BuildSystemMenu(std::optional<Game> panel) {
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName(QStringLiteral("system-menu"));
  menu->setFont(font());
  // Copying comes first, while there is something to copy.
  if (!dlg_->ProposalsText().empty()) {
    QAction* copy = menu->addAction(Q(text::kCopyMenuItem));
    copy->setData(ctl::kCopyItem);
    copy->setShortcut(QKeySequence::Copy);
  }
  // On a panel whose proposal stands: record it as a ticket for the next draw.
  if (panel && !dlg_->LastProposal(*panel).empty() && RollFinished(dlg_->Roll(*panel)))
    menu->addAction(Q(text::kRecordProposalMenuItem))->setData(ctl::kRecordProposalItem + static_cast<unsigned>(GameIndex(*panel)));
  // The history window's item, with the shortcut that also opens it.
  QAction* history = menu->addAction(Q(text::kHistoryMenuItem));
  history->setData(ctl::kHistoryItem);
  history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  // The check window's item, below it, with its shortcut.
  QAction* check = menu->addAction(Q(text::kCheckMenuItem));
  check->setData(ctl::kCheckItem);
  check->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  // The purchases window's item, with its shortcut.
  QAction* purchases = menu->addAction(Q(text::kPurchasesMenuItem));
  purchases->setData(ctl::kPurchasesItem);
  purchases->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  // 表示するくじ: a check item for each panel shown by choice.
  QMenu* games = menu->addMenu(Q(text::kShownGamesMenu));
  games->setObjectName(QStringLiteral("shown-games"));
  games->setFont(font());
  for (const PanelDef& p : kGamePanels) {
    if (!p.byChoice) continue;
    QAction* item = games->addAction(Q(ShownName(p.game)));
    item->setCheckable(true);
    item->setChecked(dlg_->Shown().Has(p.game));
    item->setData(ctl::kShownGameItem + static_cast<unsigned>(GameIndex(p.game)));
  }
  // 自動更新 and はずれも通知: check items, shown as the dialog holds them.
  for (const auto& [item, label, on] : {std::tuple{ctl::kAutoRefreshItem, text::kAutoRefreshMenuItem, dlg_->AutoRefresh()},
                                        std::tuple{ctl::kNotifyLossesItem, text::kNotifyLossesMenuItem, dlg_->NotifyLosses()}}) {
    QAction* action = menu->addAction(Q(label));
    action->setCheckable(true);
    action->setChecked(on);
    action->setData(item);
  }
  menu->addAction(Q(text::kSettingsMenuItem))->setData(ctl::kSettingsItem);
  // The title bar's menu belongs to the window manager here, so the about item is
  // offered on the window's own context menu, with the command id it would carry there,
  // and as there after a separator.
  menu->addSeparator();
  QAction* about = menu->addAction(Q(text::kAboutMenuItem));
  about->setData(ctl::kAboutCommand);
  return menu;
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  // The panel under the pointer, if any.
  std::optional<Game> panel;
  for (const PanelDef& p : kGamePanels)
    if (QWidget* group = Control(p.groupBox); group && group->isVisible() && group->geometry().contains(event->pos()))
      panel = p.game;
  std::unique_ptr<QMenu> menu = BuildSystemMenu(panel);
  QAction* chosen = menu->exec(event->globalPos());
  if (chosen == nullptr) return;
  const unsigned command = chosen->data().toUInt();
  const bool checked = chosen->isChecked();
  menu.reset();
  for (Game g : kGames)
    if (command == ctl::kShownGameItem + GameIndex(g))
      return Dispatch([this, g, checked] { dlg_->OnShownGamesChanged(g, checked); });
  if (command == ctl::kHistoryItem) return Dispatch([this] { dlg_->OnHistory(); });
  if (command == ctl::kCheckItem) return Dispatch([this] { dlg_->OnCheck(); });
  if (command == ctl::kCopyItem) return Dispatch([this] { dlg_->OnCopy(); });
  if (command == ctl::kPurchasesItem) return Dispatch([this] { dlg_->OnPurchases(); });
  for (Game g : kGames)
    if (command == ctl::kRecordProposalItem + GameIndex(g)) return RecordProposal(g);
  Dispatch([this, command] { dlg_->OnSysCommand(command); });
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = !event->modifiers() || (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
  if (enter && plain) {
    // A visible default button takes Enter (the dialog presses it); otherwise Enter is
    // the accept action, carried by the hidden OK button.
    for (QPushButton* button : findChildren<QPushButton*>())
      if (button->isDefault() && button->isVisible()) return QDialog::keyPressEvent(event);
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::UpdateRequest && frames_->PutOff()) return true;
  // Back to this window: it shows its folder's set, whoever brought it meanwhile.
  if (event->type() == QEvent::WindowActivate && dlg_) Dispatch([this] { dlg_->OnActivate(); });
  return QDialog::event(event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (centrePending_) {
    centrePending_ = false;
    CentreOnScreen();
  }
}

}  // namespace numira::ui
