// Renders the windows for the documentation from the real lists, off screen:
//   numira-screenshot [--dark] main OUTPUT.png [LIST-DIR]
//       the main window: Numbers 3 standing on a finished proposal (blue), Mini Loto
//       rolling (red);
//   numira-screenshot [--dark] six OUTPUT.png [LIST-DIR]
//       the main window with all six panels shown (表示するくじ): Numbers 3, Loto 7 and
//       BINGO5 standing on finished proposals, Mini Loto rolling;
//   numira-screenshot [--dark] history OUTPUT.png [LIST-DIR] [TAB 0-3]
//       the history window, each game's finished proposal marked, the chosen tab in front;
//   numira-screenshot [--dark] check OUTPUT.png [LIST-DIR] [TAB 0-5]
//       the check window with the draw histories and prizes, the chosen game's finished
//       proposal (a game without a panel: the rules table's example) checked against them.
//   numira-screenshot [--dark] purchases OUTPUT.png [LIST-DIR]
//       the purchases window (購入記録) on 2026-09-10 with a few tickets typed into its form
//       and a slip of two proposals.
// --dark draws them on a dark desktop palette (Fusion, like qt6ct's "darker").
// The rolls run on the real event loop, as the user sees them (about 7 s each).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "CheckWindow.h"
#include "Clock.h"
#include "DrawFileNames.h"
#include "HistoryWindow.h"
#include "ListServerChoice.h"
#include "ListTable.h"
#include "MainWindow.h"
#include "Prizes.h"

using namespace numira;

namespace {

void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

QPushButton* Button(const QWidget& window, int id) { return window.findChild<QPushButton*>(QString::number(id)); }

// Starts the games' rolls, stops them after a moment and waits for their proposals.
void RollToProposals(const QWidget& window, const std::vector<Game>& games) {
  for (Game g : games) Button(window, Panel(g).predictButton)->click();
  RunFor(300);
  for (Game g : games) Button(window, Panel(g).predictButton)->click();
  for (int waited = 0; waited < 15000; waited += 100) {
    bool stopped = true;
    for (Game g : games) stopped = stopped && Button(window, Panel(g).predictButton)->isEnabled();
    if (stopped) return;
    RunFor(100);
  }
}

// A dark desktop palette: light text on dark grey.
QPalette DarkPalette() {
  QPalette p(QColor(53, 53, 53));
  p.setColor(QPalette::WindowText, QColor(240, 240, 240));
  p.setColor(QPalette::Base, QColor(42, 42, 42));
  p.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
  p.setColor(QPalette::Text, QColor(240, 240, 240));
  p.setColor(QPalette::Button, QColor(53, 53, 53));
  p.setColor(QPalette::ButtonText, QColor(240, 240, 240));
  p.setColor(QPalette::Highlight, QColor(42, 130, 218));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, QColor(53, 53, 53));
  p.setColor(QPalette::ToolTipText, QColor(240, 240, 240));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
  return p;
}

// A day with a win's claim deadline 16 days ahead: 2026-09-10 12:00 in Japan.
class PurchasesDay final : public Clock {
 public:
  // A second later at each asking, so that each roll has a seed of its own.
  std::uint32_t Seconds() const override { return 1789009200 + ticks_++; }
  LocalTime Local() const override { return {2026, 9, 10, 12, 0, 0}; }

 private:
  mutable std::uint32_t ticks_ = 0;
};

// Types a ticket into the purchases window's form, its controls found by their names.
void TypeTicket(QWidget* w, Game game, const char* numbers, int type, const char* units, const char* first,
                const char* draws) {
  const auto named = [w](const char* name) -> QWidget* {
    for (QWidget* c : w->findChildren<QWidget*>())
      if (c->accessibleName() == QString::fromUtf8(name)) return c;
    return nullptr;
  };
  static_cast<QComboBox*>(named("くじ"))->setCurrentIndex(static_cast<int>(GameIndex(game)));
  static_cast<QLineEdit*>(named("番号"))->setText(QString::fromUtf8(numbers));
  if (type >= 0) static_cast<QComboBox*>(named("申込タイプ"))->setCurrentIndex(type);
  static_cast<QLineEdit*>(named("口数"))->setText(QString::fromUtf8(units));
  if (first) static_cast<QLineEdit*>(named("回号"))->setText(QString::fromUtf8(first));
  static_cast<QLineEdit*>(named("継続回数"))->setText(QString::fromUtf8(draws));
  for (QPushButton* b : w->findChildren<QPushButton*>())
    if (b->text() == QStringLiteral("記録")) b->click();
}

}  // namespace

int main(int argc, char** argv) {
  const bool dark = argc >= 2 && std::strcmp(argv[1], "--dark") == 0;
  if (dark) {
    // The flag is the tool's own: Qt sees the arguments after it.
    argv[1] = argv[0];
    ++argv;
    --argc;
  }
  const bool history = argc >= 3 && std::strcmp(argv[1], "history") == 0;
  const bool check = argc >= 3 && std::strcmp(argv[1], "check") == 0;
  const bool purchases = argc >= 3 && std::strcmp(argv[1], "purchases") == 0;
  const bool six = argc >= 3 && std::strcmp(argv[1], "six") == 0;
  if (argc < 3 || (!history && !check && !purchases && !six && std::strcmp(argv[1], "main") != 0)) {
    std::fprintf(stderr,
                 "usage: %s [--dark] main OUTPUT.png [LIST-DIR]\n"
                 "       %s [--dark] six OUTPUT.png [LIST-DIR]\n"
                 "       %s [--dark] history OUTPUT.png [LIST-DIR] [TAB 0-3]\n"
                 "       %s [--dark] check OUTPUT.png [LIST-DIR] [TAB 0-5]\n"
                 "       %s [--dark] purchases OUTPUT.png [LIST-DIR]\n",
                 argv[0], argv[0], argv[0], argv[0], argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  // What the toolkit left: an option there is never taken for a file or a folder.
  for (int i = 2; i < argc; ++i)
    if (argv[i][0] == '-') {
      std::fprintf(stderr, "%s: unknown option \"%s\"; a file or folder named so is written ./%s\n", argv[0], argv[i],
                   argv[i]);
      return 2;
    }
  if (dark) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
  }
  const QString listDir = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral(NUMIRA_DATA_DIR);
  QTemporaryDir dir;
  for (const ListFileRow& row : kListFiles) {
    const QString name = QString::fromUtf8(row.fileName);
    if (!QFile::copy(listDir + "/" + name, dir.filePath(name))) {
      std::fprintf(stderr, "cannot copy %s from %s\n", row.fileName, qPrintable(listDir));
      return 1;
    }
  }

  // The draw histories and prize files beside the lists, as the program finds them.
  QDir().mkpath(dir.filePath(QString::fromUtf8(kDrawsFolder)));
  QDir().mkpath(dir.filePath(QString::fromUtf8(kPrizesFolder)));
  for (const Game game : kGames) {
    const QString name = QString::fromStdString(HistoryFileName(game));
    QFile::copy(QStringLiteral(NUMIRA_DRAWS_DIR "/") + name, dir.filePath(QString::fromUtf8(kDrawsFolder) + "/" + name));
    if (HasPrizes(game))
      QFile::copy(QStringLiteral(NUMIRA_PRIZES_DIR "/") + name,
                  dir.filePath(QString::fromUtf8(kPrizesFolder) + "/" + name));
  }

  const SystemClock systemClock;
  const PurchasesDay purchasesDay;
  const Clock& clock = purchases ? static_cast<const Clock&>(purchasesDay) : systemClock;
  // Six panels: shown as a user's numira.conf asks for them.
  const std::string config = six ? dir.filePath(QStringLiteral("numira.conf")).toStdString() : std::string();
  if (six) WriteConfigSetting(config, "games", "numbers3,numbers4,miniloto,loto6,loto7,bingo5");
  DialogSetup setup{dir.filePath(QStringLiteral("numira")).toStdString(), {}, config};
  setup.openLedger = &Ledger::Open;
  ui::MainWindow window(clock, std::move(setup),
                        [](QWidget* parent, std::string&) -> ui::HistoryView* { return new ui::HistoryWindow(parent); });
  window.show();
  QApplication::processEvents();

  QWidget* shown = &window;
  if (history) {
    RollToProposals(window, {kShownGames.begin(), kShownGames.end()});
    window.ShowHistory();
    auto* h = window.findChild<ui::HistoryWindow*>();
    if (!h) {
      std::fprintf(stderr, "the history window did not open\n");
      return 1;
    }
    h->findChild<QTabWidget*>()->setCurrentIndex(argc > 4 ? std::atoi(argv[4]) : 3);
    shown = h;
  } else if (check) {
    const int tab = std::clamp(argc > 4 ? std::atoi(argv[4]) : 3, 0, static_cast<int>(kGames.size()) - 1);
    const Game game = kGames[static_cast<std::size_t>(tab)];
    if (std::find(kShownGames.begin(), kShownGames.end(), game) != kShownGames.end()) RollToProposals(window, {game});
    window.ShowCheck();
    auto* c = window.findChild<ui::CheckWindow*>();
    if (!c) {
      std::fprintf(stderr, "the check window did not open\n");
      return 1;
    }
    c->findChild<QTabWidget*>()->setCurrentIndex(tab);
    QApplication::processEvents();
    QWidget* page = c->findChild<QTabWidget*>()->currentWidget();
    if (auto* ticket = page->findChild<QLineEdit*>(QStringLiteral("ticket")); ticket && ticket->text().isEmpty())
      ticket->setText(QString::fromUtf8(RulesOf(game).example).replace(QLatin1Char('.'), QLatin1Char(' ')));
    // 照合 with the prefilled proposal.
    page->findChild<QPushButton*>(QStringLiteral("check-button"))->click();
    shown = c;
  } else if (purchases) {
    RollToProposals(window, {Game::Lot6});
    RollToProposals(window, {Game::Lot6});
    window.OpenPurchases();
    auto* p = window.findChild<QDialog*>(QStringLiteral("purchases"));
    if (!p) {
      std::fprintf(stderr, "the purchases window did not open\n");
      return 1;
    }
    // Loto 6 2037 (2025-09-25): 4等, paid up to 2026-09-25; Mini Loto over three draws; a
    // Numbers 3 box; and a bad 口数, refused.
    TypeTicket(p, Game::Lot6, "7 12 20 23 40 41", -1, "2", "2037", "1");
    TypeTicket(p, Game::Mini, "3 9 14 22 30", -1, "1", "1351", "3");
    TypeTicket(p, Game::Num3, "682", 1, "1", "7054", "1");
    TypeTicket(p, Game::Lot6, "1 2 3 4 5 6", -1, "0", nullptr, "1");
    p->resize(1000, 820);
    QApplication::processEvents();
    shown = p;
  } else if (six) {
    RollToProposals(window, {Game::Num3, Game::Lot7, Game::Bingo5});
    Button(window, ctl::kMiniPredict)->click();  // Mini Loto: rolling freely
    RunFor(250);
  } else {
    RollToProposals(window, {Game::Num3});
    Button(window, ctl::kMiniPredict)->click();  // Mini Loto: rolling freely
    RunFor(250);
  }
  for (int i = 0; i < 5; ++i) QApplication::processEvents();

  const QPixmap shot = shown->grab();
  if (!shot.save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("wrote %s (%dx%d)\n", argv[2], shot.width(), shot.height());
  return 0;
}
