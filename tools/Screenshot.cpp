// Renders the windows for the documentation from the real lists, off screen:
//   numira-screenshot [--dark] main OUTPUT.png [LIST-DIR]
//       the main window: Numbers 3 standing on a finished proposal (blue), Mini Loto
//       rolling (red);
//   numira-screenshot [--dark] six OUTPUT.png [LIST-DIR]
//       the main window with all six panels shown (表示するくじ): Numbers 3, Loto 7 and
//       BINGO5 standing on finished proposals, Mini Loto rolling;
//   numira-screenshot [--dark] history OUTPUT.png [LIST-DIR] [TAB 0-3]
//       the history window, each game's finished proposal marked, the chosen tab in front;
//   numira-screenshot [--dark] check OUTPUT.png [LIST-DIR] [TAB 0-3]
//       the check window with the draw histories, the chosen game's finished proposal
//       checked against them.
// --dark draws them on a dark desktop palette (Fusion, like qt6ct's "darker").
// The rolls run on the real event loop, as the user sees them (about 7 s each).
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
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
  const bool six = argc >= 3 && std::strcmp(argv[1], "six") == 0;
  if (argc < 3 || (!history && !check && !six && std::strcmp(argv[1], "main") != 0)) {
    std::fprintf(stderr,
                 "usage: %s [--dark] main OUTPUT.png [LIST-DIR]\n"
                 "       %s [--dark] six OUTPUT.png [LIST-DIR]\n"
                 "       %s [--dark] history OUTPUT.png [LIST-DIR] [TAB 0-3]\n"
                 "       %s [--dark] check OUTPUT.png [LIST-DIR] [TAB 0-3]\n",
                 argv[0], argv[0], argv[0], argv[0]);
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

  // The draw histories beside the lists, as the program finds them.
  QDir().mkpath(dir.filePath(QString::fromUtf8(kDrawsFolder)));
  for (const Game game : kShownGames) {
    const QString name = QString::fromStdString(HistoryFileName(game));
    QFile::copy(QStringLiteral(NUMIRA_DRAWS_DIR "/") + name, dir.filePath(QString::fromUtf8(kDrawsFolder) + "/" + name));
  }

  const SystemClock clock;
  // Six panels: shown as a user's numira.conf asks for them.
  const std::string config = six ? dir.filePath(QStringLiteral("numira.conf")).toStdString() : std::string();
  if (six) WriteConfigSetting(config, "games", "numbers3,numbers4,miniloto,loto6,loto7,bingo5");
  ui::MainWindow window(clock, DialogSetup{dir.filePath(QStringLiteral("numira")).toStdString(), {}, config},
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
    const int tab = argc > 4 ? std::atoi(argv[4]) : 3;
    RollToProposals(window, {kShownGames[static_cast<std::size_t>(tab & 3)]});
    window.ShowCheck();
    auto* c = window.findChild<ui::CheckWindow*>();
    if (!c) {
      std::fprintf(stderr, "the check window did not open\n");
      return 1;
    }
    c->findChild<QTabWidget*>()->setCurrentIndex(tab & 3);
    QApplication::processEvents();
    // 照合 with the prefilled proposal.
    c->findChild<QTabWidget*>()->currentWidget()->findChild<QPushButton*>(QStringLiteral("check-button"))->click();
    shown = c;
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
