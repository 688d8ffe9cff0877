#include "PurchasesWindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include "AppIcon.h"
#include "ControlLabel.h"
#include "Fonts.h"
#include "PurchaseTexts.h"
#include "TextFill.h"
#include "TextTableModel.h"

namespace numira::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

QTableView* MakeTable(const QString& name, QWidget* owner) {
  auto* table = new QTableView;
  table->setObjectName(name);
  table->setModel(new TextTableModel(owner, table));
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setTabKeyNavigation(false);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

void ShowTable(QTableView* view, const CheckTable& table, std::vector<TextColour> colours = {}) {
  view->setAccessibleName(Q(table.name));
  static_cast<TextTableModel*>(view->model())->SetTable(table, std::move(colours));
}

// A labelled control of the form: the label names it for a screen reader too.
template <class W>
W* Field(QFormLayout* form, const char* name, W* control) {
  control->setObjectName(QString::fromUtf8(name));
  control->setAccessibleName(QString::fromUtf8(name));
  form->addRow(QString::fromUtf8(name), control);
  return control;
}

QPushButton* Button(const char* text, const char* name) {
  auto* b = new QPushButton(QString::fromUtf8(text));
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

PurchasesWindow::PurchasesWindow(QWidget* parent, CPredictDlg& dlg, Dispatcher dispatch)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      dlg_(dlg),
      dispatch_(std::move(dispatch)) {
  setObjectName(QStringLiteral("purchases"));
  setWindowTitle(QString::fromUtf8(text::kPurchasesTitle));
  setWindowIcon(AppIcon());
  setFont(DialogFont());
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  // A database that cannot be used is told in red (readable on any palette).
  summary_ = new ControlLabel(0, [this](int) { return page_.usable ? TextColour::Default : TextColour::Red; }, nullptr);
  summary_->setObjectName(QStringLiteral("summary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  table_ = MakeTable(QStringLiteral("purchases-table"), this);
  layout->addWidget(table_, 4);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { UpdateButtons(); });

  auto* actions = new QHBoxLayout;
  claimed_ = Button(text::kClaimedButton, "claimed");
  claimed_->setCheckable(true);
  remove_ = Button(text::kDeleteButton, "delete");
  undo_ = Button(text::kUndoButton, "undo");
  auto* exportButton = Button(text::kExportButton, "export");
  auto* importButton = Button(text::kImportButton, "import");
  for (QPushButton* b : {claimed_, remove_, undo_, exportButton, importButton}) actions->addWidget(b);
  actions->addStretch(1);
  layout->addLayout(actions);
  connect(claimed_, &QPushButton::clicked, this, [this] { ToggleClaimed(); });
  connect(remove_, &QPushButton::clicked, this, [this] { RemoveSelected(); });
  connect(undo_, &QPushButton::clicked, this, [this] { Undo(); });
  connect(exportButton, &QPushButton::clicked, this, [this] { Export(); });
  connect(importButton, &QPushButton::clicked, this, [this] { Import(); });
  auto* del = new QShortcut(QKeySequence::Delete, table_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(del, &QShortcut::activated, this, [this] { RemoveSelected(); });

  said_ = new ControlLabel(0, [this](int) { return said_->property("wrong").toBool() ? TextColour::Red : TextColour::Default; },
                           nullptr);
  said_->setObjectName(QStringLiteral("said"));
  said_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  said_->setWordWrap(true);
  layout->addWidget(said_);

  auto* lower = new QHBoxLayout;
  lower->addWidget(BuildForm(), 3);
  lower->addWidget(BuildSlip(), 2);
  layout->addLayout(lower);
  totals_ = MakeTable(QStringLiteral("totals-table"), this);
  layout->addWidget(totals_, 2);

  QSize size(900, 760);
  if (const QScreen* s = QGuiApplication::primaryScreen()) size = size.boundedTo(s->availableGeometry().size() * 9 / 10);
  resize(size);
  Refresh();
}

QWidget* PurchasesWindow::BuildForm() {
  auto* box = new QGroupBox(QString::fromUtf8(text::kRecordButton));
  box->setObjectName(QStringLiteral("record-form"));
  auto* form = new QFormLayout(box);
  game_ = Field(form, text::kGameColumn, new QComboBox);
  numbers_ = Field(form, text::kNumbersColumn, new QLineEdit);
  type_ = Field(form, text::kTypeColumn, new QComboBox);
  units_ = Field(form, text::kUnitsColumn, new QLineEdit(QStringLiteral("1")));
  firstDraw_ = Field(form, text::kDrawColumn, new QLineEdit);
  draws_ = Field(form, text::kDrawsLabel, new QLineEdit(QStringLiteral("1")));
  nextDraw_ = new QLabel;
  nextDraw_->setObjectName(QStringLiteral("next-draw"));
  form->addRow(QString(), nextDraw_);
  faults_ = new ControlLabel(0, [](int) { return TextColour::Red; }, nullptr);
  faults_->setObjectName(QStringLiteral("faults"));
  faults_->setWordWrap(true);
  form->addRow(faults_);
  auto* buttons = new QHBoxLayout;
  record_ = Button(text::kRecordButton, "record");
  auto* proposal = Button(text::kRecordProposalButton, "record-proposal");
  buttons->addWidget(record_);
  buttons->addWidget(proposal);
  buttons->addStretch(1);
  form->addRow(buttons);
  connect(game_, &QComboBox::currentIndexChanged, this, [this] { FormGameChanged(); });
  connect(record_, &QPushButton::clicked, this, [this] { RecordForm(); });
  connect(proposal, &QPushButton::clicked, this, [this] { RecordProposal(); });
  for (QLineEdit* e : {numbers_, units_, firstDraw_, draws_})
    connect(e, &QLineEdit::returnPressed, this, [this] { RecordForm(); });
  return box;
}

QWidget* PurchasesWindow::BuildSlip() {
  auto* box = new QGroupBox(QString::fromUtf8(text::kSlipTitle));
  box->setObjectName(QStringLiteral("slip-box"));
  auto* layout = new QVBoxLayout(box);
  slips_ = new QListWidget;
  slips_->setObjectName(QStringLiteral("slip"));
  slips_->setAccessibleName(QString::fromUtf8(text::kSlipTitle));
  layout->addWidget(slips_);
  recordSlip_ = Button(text::kRecordSlipButton, "record-slip");
  layout->addWidget(recordSlip_);
  connect(recordSlip_, &QPushButton::clicked, this, [this] { RecordSlip(); });
  // Ctrl+C in the slip copies the whole slip of the chosen game.
  auto* copy = new QShortcut(QKeySequence::Copy, slips_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(copy, &QShortcut::activated, this, [this] { CopySlip(); });
  return box;
}

void PurchasesWindow::Refresh() {
  const int row = table_->currentIndex().row();
  dispatch_([this] { page_ = dlg_.Purchases(); });
  QStringList lines;
  for (const std::string& l : page_.lines) lines << Q(l);
  summary_->setText(lines.join('\n'));
  summary_->setAccessibleName(lines.join('\n'));
  std::vector<TextColour> colours;
  for (const PurchaseRowKey& k : page_.keys) colours.push_back(k.colour);
  ShowTable(table_, page_.table, std::move(colours));
  ShowTable(totals_, page_.totals);
  if (row >= 0 && row < static_cast<int>(page_.keys.size())) table_->selectRow(row);

  // The form keeps what the player typed; only the games on offer are filled anew.
  const int game = game_->currentIndex();
  const QSignalBlocker block(game_);
  game_->clear();
  for (const FormGame& g : page_.games) game_->addItem(Q(g.name));
  game_->setCurrentIndex(game >= 0 && game < game_->count() ? game : std::max(0, game_->count() - 1));
  if (game < 0) {
    FormGameChanged();
  } else if (game_->currentIndex() >= 0) {
    // New draws move the next draw on; a first draw the player typed stays.
    const FormGame& g = page_.games[static_cast<std::size_t>(game_->currentIndex())];
    nextDraw_->setText(Q(g.nextDraw));
    if (!firstDraw_->isModified()) firstDraw_->setText(Q(g.firstDraw));
  }
  for (QWidget* w : std::initializer_list<QWidget*>{game_, numbers_, units_, firstDraw_, draws_, record_})
    w->setEnabled(page_.usable);
  type_->setEnabled(page_.usable && type_->count() > 0);

  RefreshSlips();
}

void PurchasesWindow::RefreshSlips() {
  dispatch_([this] { slipViews_ = dlg_.Slips(); });
  const int slipRow = slips_->currentRow();
  slips_->clear();
  for (std::size_t i = 0; i < slipViews_.size(); ++i) {
    auto* title = new QListWidgetItem(Q(slipViews_[i].title), slips_);
    title->setData(Qt::UserRole, static_cast<int>(i));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    for (const std::string& line : slipViews_[i].lines)
      (new QListWidgetItem(QStringLiteral("  ") + Q(line), slips_))->setData(Qt::UserRole, static_cast<int>(i));
  }
  if (slips_->count() > 0) slips_->setCurrentRow(std::clamp(slipRow, 0, slips_->count() - 1));
  UpdateButtons();
}

void PurchasesWindow::FormGameChanged() {
  const int i = game_->currentIndex();
  type_->clear();
  if (i < 0 || static_cast<std::size_t>(i) >= page_.games.size()) return;
  const FormGame& g = page_.games[static_cast<std::size_t>(i)];
  for (const std::string& t : g.types) type_->addItem(Q(t));
  type_->setEnabled(!g.types.empty());
  // A new game's ticket starts with its next draw.
  firstDraw_->setText(Q(g.firstDraw));
  nextDraw_->setText(Q(g.nextDraw));
}

void PurchasesWindow::UpdateButtons() {
  const PurchaseRowKey* key = Current();
  claimed_->setEnabled(page_.usable && key && key->win);
  claimed_->setChecked(key && key->claimed);
  remove_->setEnabled(page_.usable && key);
  undo_->setEnabled(page_.usable && dlg_.CanUndoRemove());
  recordSlip_->setEnabled(page_.usable && !slipViews_.empty());
}

const PurchaseRowKey* PurchasesWindow::Current() const {
  const int row = table_->currentIndex().row();
  if (row < 0 || static_cast<std::size_t>(row) >= page_.keys.size()) return nullptr;
  return &page_.keys[static_cast<std::size_t>(row)];
}

void PurchasesWindow::Say(const std::string& line, bool wrong) {
  said_->setProperty("wrong", wrong);
  said_->setText(Q(line));
  said_->setAccessibleName(Q(line));
  said_->update();
}

void PurchasesWindow::RecordForm() {
  PurchaseForm form;
  form.game = game_->currentIndex();
  form.numbers = S(numbers_->text());
  form.type = type_->currentIndex();
  form.units = S(units_->text());
  form.firstDraw = S(firstDraw_->text());
  form.draws = S(draws_->text());
  RecordOutcome outcome;
  outcome.line = "";
  dispatch_([&] { outcome = dlg_.OnRecordTyped(form); });
  // Each field tells its own fault; the first faulty field gets the keyboard.
  QStringList faults;
  QWidget* first = nullptr;
  for (QWidget* w : std::initializer_list<QWidget*>{game_, numbers_, type_, units_, firstDraw_, draws_})
    w->setAccessibleDescription(QString());
  for (const FormFault& f : outcome.faults) {
    faults << Q(f.message);
    if (auto* w = findChild<QWidget*>(Q(f.field))) {
      w->setAccessibleDescription(Q(f.message));
      if (!first) first = w;
    }
  }
  faults_->setText(faults.join('\n'));
  faults_->setAccessibleName(faults.join('\n'));
  if (first) first->setFocus(Qt::OtherFocusReason);
  if (outcome.faults.empty() && !outcome.line.empty()) Say(outcome.line, !outcome.recorded);
  if (outcome.recorded) numbers_->clear();
}

void PurchasesWindow::RecordProposal() {
  const int i = game_->currentIndex();
  if (i < 0 || static_cast<std::size_t>(i) >= page_.games.size()) return;
  const Game game = page_.games[static_cast<std::size_t>(i)].game;
  RecordOutcome outcome;
  dispatch_([&] { outcome = dlg_.OnRecordProposal(game); });
  Say(outcome.line, !outcome.recorded);
}

Game PurchasesWindow::SlipGame() const {
  const QListWidgetItem* item = slips_->currentItem();
  const int i = item ? item->data(Qt::UserRole).toInt() : 0;
  return slipViews_.at(static_cast<std::size_t>(std::clamp(i, 0, static_cast<int>(slipViews_.size()) - 1))).game;
}

void PurchasesWindow::RecordSlip() {
  if (slipViews_.empty()) return;
  const Game game = SlipGame();
  RecordOutcome outcome;
  dispatch_([&] { outcome = dlg_.OnRecordSlip(game); });
  Say(outcome.line, !outcome.recorded);
}

void PurchasesWindow::CopySlip() {
  if (slipViews_.empty()) return;
  const Game game = SlipGame();
  dispatch_([&] { dlg_.OnCopySlip(game); });
}

void PurchasesWindow::RemoveSelected() {
  const PurchaseRowKey* key = Current();
  if (!key || !page_.usable) return;
  const std::int64_t id = key->id;
  const auto row = static_cast<std::size_t>(table_->currentIndex().row());
  const std::string what = page_.table.rows[row][0] + " " + page_.table.rows[row][1] + " " + page_.table.rows[row][4];
  QMessageBox ask(QMessageBox::Question, windowTitle(), Q(Fill(text::kDeleteQuestionFormat, {what})),
                  QMessageBox::Yes | QMessageBox::No, this);
  ask.setObjectName(QStringLiteral("delete-question"));
  ask.setDefaultButton(QMessageBox::No);
  if (ask.exec() != QMessageBox::Yes) return;
  std::string line;
  dispatch_([&] { line = dlg_.OnRemovePurchase(id); });
  Say(line, false);
}

void PurchasesWindow::Undo() {
  std::string line;
  dispatch_([&] { line = dlg_.OnUndoRemove(); });
  Say(line, false);
}

void PurchasesWindow::ToggleClaimed() {
  const PurchaseRowKey* key = Current();
  if (!key || !key->win) return;
  const PurchaseRowKey k = *key;
  dispatch_([&] { dlg_.OnSetClaimed(k.id, k.line, k.draw, !k.claimed); });
}

void PurchasesWindow::Export() {
  const QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/" +
                        QString::fromUtf8(text::kCsvFileName);
  const QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8(text::kExportButton), start,
                                                    QString::fromUtf8(text::kCsvFilter));
  if (path.isEmpty()) return;
  RecordOutcome outcome;
  dispatch_([&] { outcome = dlg_.OnExportPurchases(S(path)); });
  Say(outcome.line, !outcome.recorded);
}

void PurchasesWindow::Import() {
  const QString path = QFileDialog::getOpenFileName(this, QString::fromUtf8(text::kImportButton),
                                                    QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                                    QString::fromUtf8(text::kCsvFilter));
  if (path.isEmpty()) return;
  RecordOutcome outcome;
  dispatch_([&] { outcome = dlg_.OnImportPurchases(S(path)); });
  Say(outcome.line, !outcome.recorded);
}

void PurchasesWindow::closeEvent(QCloseEvent* event) {
  dlg_.OnPurchasesClosed();
  QDialog::closeEvent(event);
}

void PurchasesWindow::done(int code) {
  dlg_.OnPurchasesClosed();
  QDialog::done(code);
}

}  // namespace numira::ui
