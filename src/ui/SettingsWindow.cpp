#include "SettingsWindow.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ControlLabel.h"
#include "Texts.h"

namespace numira::ui {
namespace {

QString Q(const char* s) { return QString::fromUtf8(s); }

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent, SettingsSetup setup, std::string refreshProgram,
                               std::function<void(const std::string& baseUrl)> saved)
    : QDialog(parent), refreshProgram_(std::move(refreshProgram)), saved_(std::move(saved)) {
  setObjectName(QStringLiteral("settings"));
  setWindowTitle(Q(text::kSettingsTitle));
  // A window of its own does not take its parent's font: it is given the dialog's face.
  if (parent) setFont(parent->font());
  trial_ = new RefreshProcess(this, [this](const RefreshReport& report) { logic_->OnTrialDone(report); });
  logic_ = std::make_unique<CSettingsDlg>(*this, std::move(setup));

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  server_ = new QLineEdit(QString::fromStdString(logic_->InitialServer()));
  server_->setObjectName(QStringLiteral("server"));
  server_->setPlaceholderText(Q(text::kServerHint));
  server_->setMinimumWidth(fontMetrics().horizontalAdvance(Q(text::kServerHint)) + 16);
  auto* label = new QLabel(Q(text::kServerLabel));
  label->setBuddy(server_);
  form->addRow(label, server_);
  layout->addLayout(form);

  try_ = new QPushButton(Q(text::kTryButton));
  try_->setObjectName(QStringLiteral("try"));
  try_->setAutoDefault(false);
  connect(try_, &QPushButton::clicked, this, [this] { logic_->OnTry(server_->text().toStdString()); });
  layout->addWidget(try_, 0, Qt::AlignLeft);

  outcome_ = new QLabel;
  outcome_->setObjectName(QStringLiteral("outcome"));
  outcome_->setWordWrap(true);
  outcome_->setTextFormat(Qt::PlainText);
  outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(outcome_);

  auto* buttons = new QDialogButtonBox;
  QPushButton* save = buttons->addButton(Q(text::kSaveButton), QDialogButtonBox::AcceptRole);
  save->setObjectName(QStringLiteral("save"));
  save->setDefault(true);
  QPushButton* cancel = buttons->addButton(Q(text::kCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancel"));
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
  layout->addWidget(buttons);
}

SettingsWindow::~SettingsWindow() {
  // The trial's program is stopped before its scratch folder goes with the logic.
  trial_->Stop();
}

void SettingsWindow::Save() {
  if (const std::optional<std::string> url = logic_->OnSave(server_->text().toStdString())) {
    if (saved_) saved_(*url);
    accept();
  }
}

void SettingsWindow::ShowOutcome(const std::string& text, bool problem) {
  outcome_->setText(QString::fromStdString(text));
  problem_ = problem;
  PaintOutcome();
}

void SettingsWindow::PaintOutcome() {
  // A problem in red, made readable on the palette as every coloured text is.
  QPalette pal = palette();
  if (problem_) pal.setColor(QPalette::WindowText, ToQColor(TextColour::Red, palette()));
  outcome_->setPalette(pal);
}

void SettingsWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) PaintOutcome();
}

void SettingsWindow::StartTrial(const RefreshRequest& request) { trial_->Start(refreshProgram_, request); }

void SettingsWindow::SetTrying(bool trying) { try_->setEnabled(!trying); }

}  // namespace numira::ui
