#include "CheckWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "AppIcon.h"
#include "ControlLabel.h"
#include "Fonts.h"
#include "PurchaseTexts.h"
#include "TextTableModel.h"
#include "Texts.h"

namespace numira::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString Lines(const std::vector<std::string>& lines) {
  QStringList l;
  for (const std::string& s : lines) l << Q(s);
  return l.join('\n');
}

QTableView* MakeTable(const QString& objectName, QWidget* owner) {
  auto* table = new QTableView;
  table->setObjectName(objectName);
  table->setModel(new TextTableModel(owner, table));
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab goes on to the next control; the arrow keys move within the table.
  table->setTabKeyNavigation(false);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  return table;
}

void ShowTable(QTableView* view, const CheckTable& table) {
  view->setAccessibleName(Q(table.name));
  static_cast<TextTableModel*>(view->model())->SetTable(table);
}

template <class W>
W* Child(QWidget* tab, const char* name) {
  return tab->findChild<W*>(QString::fromLatin1(name));
}

// A ビンゴ５ card: 3 × 3 squares of the same size, read in rows, FREE in the centre.
QWidget* BuildCard() {
  auto* card = new QWidget;
  card->setObjectName(QStringLiteral("card"));
  card->setFocusPolicy(Qt::NoFocus);
  auto* grid = new QGridLayout(card);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  for (int at = 0; at < 9; ++at) {
    auto* square = new QLabel;
    square->setObjectName(QStringLiteral("square-%1").arg(at));
    square->setAlignment(Qt::AlignCenter);
    square->setFrameShape(QFrame::Box);
    square->setAutoFillBackground(true);
    QFont bold = square->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    square->setFixedSize(metrics.horizontalAdvance(QString::fromUtf8(text::kFreeSquare)) + 10, metrics.height() + 6);
    grid->addWidget(square, at / 3, at % 3);
  }
  return card;
}

// Fills the card's squares: a matched square in bold, the squares of a complete line in
// the selection's colours; no card leaves the squares empty but the centre.
void ShowCard(QWidget* card, const CheckOutcome& outcome) {
  for (int at = 0; at < 9; ++at) {
    auto* square = card->findChild<QLabel*>(QStringLiteral("square-%1").arg(at));
    const bool known = outcome.card.size() == 9;
    const CardSquare shown = known ? outcome.card[static_cast<std::size_t>(at)]
                                   : CardSquare{at == 4 ? text::kFreeSquare : "", false, false};
    square->setText(Q(shown.text));
    QFont font = square->font();
    font.setBold(shown.hit);
    square->setFont(font);
    // Roles, not colours: a new palette recolours the card by itself.
    square->setBackgroundRole(shown.onLine ? QPalette::Highlight : QPalette::Base);
    square->setForegroundRole(shown.onLine ? QPalette::HighlightedText : QPalette::Text);
  }
  card->setAccessibleName(Q(outcome.cardName));
}

// One tab's widgets, made once; ShowPages fills them.
QWidget* BuildTab(int index) {
  auto* tab = new QWidget;
  tab->setObjectName(QStringLiteral("check-page-%1").arg(index));
  auto* layout = new QVBoxLayout(tab);
  auto* summary = new QLabel;
  summary->setObjectName(QStringLiteral("summary"));
  layout->addWidget(summary);
  QTableView* draws = MakeTable(QStringLiteral("draws"), tab);
  layout->addWidget(draws, 3);

  auto* row = new QHBoxLayout;
  auto* ticketLabel = new QLabel;
  ticketLabel->setObjectName(QStringLiteral("ticket-label"));
  auto* ticket = new QLineEdit;
  ticket->setObjectName(QStringLiteral("ticket"));
  ticketLabel->setBuddy(ticket);
  auto* typeLabel = new QLabel;
  typeLabel->setObjectName(QStringLiteral("type-label"));
  auto* type = new QComboBox;
  type->setObjectName(QStringLiteral("ticket-type"));
  typeLabel->setBuddy(type);
  auto* button = new QPushButton;
  button->setObjectName(QStringLiteral("check-button"));
  button->setAutoDefault(false);
  row->addWidget(ticketLabel);
  row->addWidget(ticket, 1);
  row->addWidget(typeLabel);
  row->addWidget(type);
  row->addWidget(button);
  auto* record = new QPushButton(QString::fromUtf8(text::kRecordButton));  // shown where a recorder is set
  record->setObjectName(QStringLiteral("record-button"));
  record->setAutoDefault(false);
  record->hide();
  row->addWidget(record);
  layout->addLayout(row);

  // The outcome, or in its place what is wrong with a refused ticket, in a space of two
  // lines whatever it holds: the ticket's row above stays where it is. Neither line asks
  // for more width than the window has.
  auto* message = new QStackedWidget;
  message->setObjectName(QStringLiteral("message"));
  auto* outcome = new QLabel;
  outcome->setObjectName(QStringLiteral("outcome"));
  outcome->setTextFormat(Qt::PlainText);
  outcome->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  outcome->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  outcome->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* refusal = new ControlLabel(0, [](int) { return TextColour::Red; }, nullptr);
  refusal->setObjectName(QStringLiteral("refusal"));
  refusal->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  refusal->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  message->addWidget(outcome);
  message->addWidget(refusal);
  message->setFixedHeight(2 * outcome->fontMetrics().lineSpacing() + 2 * outcome->frameWidth());
  // Beside it, for ビンゴ５, the ticket's card against the latest draw: where its lines are.
  auto* outcomeRow = new QHBoxLayout;
  outcomeRow->addWidget(message, 1, Qt::AlignTop);
  outcomeRow->addWidget(BuildCard());
  layout->addLayout(outcomeRow);
  QTableView* wins = MakeTable(QStringLiteral("wins"), tab);
  layout->addWidget(wins, 2);

  // The keyboard's way: the ticket, its type, 照合, then the tables.
  QWidget::setTabOrder(ticket, type);
  QWidget::setTabOrder(type, button);
  QWidget::setTabOrder(button, draws);
  QWidget::setTabOrder(draws, wins);
  return tab;
}

// Shows the outcome's lines, or the refusal's in their place; a refusal leaves no outcome.
void ShowOutcome(QWidget* tab, const CheckOutcome& outcome) {
  auto* message = Child<QStackedWidget>(tab, "message");
  auto* line = Child<QLabel>(tab, outcome.refused ? "refusal" : "outcome");
  auto* other = Child<QLabel>(tab, outcome.refused ? "outcome" : "refusal");
  other->clear();
  other->setAccessibleName(QString());
  line->setText(Lines(outcome.lines));
  line->setAccessibleName(Lines(outcome.lines));
  message->setCurrentWidget(line);
  ShowTable(Child<QTableView>(tab, "wins"), outcome.wins);
  ShowCard(Child<QWidget>(tab, "card"), outcome);
}

}  // namespace

CheckWindow::CheckWindow(QWidget* parent, Checker checker)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      checker_(std::move(checker)) {
  setObjectName(QStringLiteral("check"));
  setWindowTitle(QString::fromUtf8(text::kCheckTitle));
  setWindowIcon(AppIcon());
  setFont(DialogFont());
  setModal(false);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("check-tabs"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  // A new tab is for a new ticket.
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    if (isVisible()) FocusTicket();
  });
  // The next and the previous tab from any control, a table or the ticket's type too,
  // which would otherwise take these keys for themselves.
  const auto step = [this](int by) {
    if (tabs_->count() > 0) tabs_->setCurrentIndex((tabs_->currentIndex() + by + tabs_->count()) % tabs_->count());
  };
  for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(1); });
  for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(-1); });
  QSize size(640, 680);
  if (const QScreen* s = QGuiApplication::primaryScreen()) size = size.boundedTo(s->availableGeometry().size() * 9 / 10);
  resize(size);
}

void CheckWindow::ShowPages(const std::vector<CheckPage>& pages) {
  const int current = tabs_->currentIndex();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const int index = static_cast<int>(i);
    const CheckPage& page = pages[i];
    QWidget* tab = tabs_->widget(index);
    const CheckPage* old = i < shown_.size() ? &shown_[i] : nullptr;
    if (!tab) {
      tab = BuildTab(index);
      tabs_->addTab(tab, QString());
      auto* button = Child<QPushButton>(tab, "check-button");
      connect(button, &QPushButton::clicked, this, [this, index] { RunCheck(index); });
      connect(Child<QLineEdit>(tab, "ticket"), &QLineEdit::returnPressed, this, [this, index] { RunCheck(index); });
      auto* record = Child<QPushButton>(tab, "record-button");
      connect(record, &QPushButton::clicked, this, [this, index] { RecordTicket(index); });
      record->setVisible(static_cast<bool>(recorder_));
    }
    tabs_->setTabText(index, Q(page.tabName));
    if (old && *old == page) continue;
    Child<QWidget>(tab, "card")->setVisible(HasCard(page.game));
    auto* summary = Child<QLabel>(tab, "summary");
    summary->setText(Lines(page.lines));
    summary->setVisible(!page.lines.empty());
    if (!old || old->draws != page.draws) {
      ShowTable(Child<QTableView>(tab, "draws"), page.draws);
      // An outcome of the old draws no longer holds.
      ShowOutcome(tab, CheckOutcome{});
    }
    auto* ticketLabel = Child<QLabel>(tab, "ticket-label");
    auto* ticket = Child<QLineEdit>(tab, "ticket");
    ticketLabel->setText(Q(page.ticketLabel));
    ticket->setAccessibleName(Q(page.ticketLabel));
    // A new proposal takes the place of the one prefilled, never of a ticket the player
    // typed (or cleared: an empty field takes it again).
    const bool typed = ticket->isModified() && !ticket->text().isEmpty();
    if (!old || (old->ticket != page.ticket && !typed)) ticket->setText(Q(page.ticket));
    auto* typeLabel = Child<QLabel>(tab, "type-label");
    auto* type = Child<QComboBox>(tab, "ticket-type");
    typeLabel->setText(Q(page.typeLabel));
    type->setAccessibleName(Q(page.typeLabel));
    if (!old || old->types != page.types) {
      type->clear();
      for (const std::string& t : page.types) type->addItem(Q(t));
    }
    typeLabel->setVisible(!page.types.empty());
    type->setVisible(!page.types.empty());
    Child<QPushButton>(tab, "check-button")->setText(Q(page.checkButton));
  }
  if (current >= 0) tabs_->setCurrentIndex(current);
  shown_ = pages;
}

void CheckWindow::RunCheck(int tab) {
  if (tab < 0 || static_cast<std::size_t>(tab) >= shown_.size() || !checker_) return;
  QWidget* page = tabs_->widget(tab);
  const std::string typed = Child<QLineEdit>(page, "ticket")->text().toUtf8().toStdString();
  const int type = Child<QComboBox>(page, "ticket-type")->currentIndex();
  const CheckOutcome outcome = checker_(shown_[static_cast<std::size_t>(tab)].game, typed, type);
  // A check that failed with an error (reported by the window) says nothing and changes nothing.
  if (outcome.refused && outcome.lines.empty()) return;
  ShowOutcome(page, outcome);
}

void CheckWindow::RecordTicket(int tab) {
  if (tab < 0 || static_cast<std::size_t>(tab) >= shown_.size() || !recorder_) return;
  QWidget* page = tabs_->widget(tab);
  const std::string typed = Child<QLineEdit>(page, "ticket")->text().toUtf8().toStdString();
  const int type = Child<QComboBox>(page, "ticket-type")->currentIndex();
  const CheckOutcome said = recorder_(shown_[static_cast<std::size_t>(tab)].game, typed, type);
  if (said.lines.empty()) return;
  // The line goes where an outcome goes; the tables stay as they are.
  auto* message = Child<QStackedWidget>(page, "message");
  auto* line = Child<QLabel>(page, said.refused ? "refusal" : "outcome");
  line->setText(Lines(said.lines));
  line->setAccessibleName(Lines(said.lines));
  message->setCurrentWidget(line);
}

void CheckWindow::FocusTicket() {
  if (QWidget* tab = tabs_->currentWidget()) Child<QLineEdit>(tab, "ticket")->setFocus(Qt::OtherFocusReason);
}

void CheckWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FocusTicket();
}

}  // namespace numira::ui
