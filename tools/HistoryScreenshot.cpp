// Renders the history window for the documentation: the real lists, a finished Loto 6
// proposal marked in the chart and the table, the chosen tab in front.
//   numira-history-screenshot OUTPUT.png [LIST-DIR] [TAB 0-3]
#include <QApplication>
#include <QTimer>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "Clock.h"
#include "HistoryWindow.h"
#include "ListTable.h"
#include "MainWindow.h"

using namespace numira;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [LIST-DIR] [TAB 0-3]\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  const QString listDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(NUMIRA_DATA_DIR);
  const int tab = argc > 3 ? std::atoi(argv[3]) : 3;
  QTemporaryDir dir;
  for (const ListFileRow& row : kListFiles) {
    const QString name = QString::fromUtf8(row.fileName);
    if (!QFile::copy(listDir + "/" + name, dir.filePath(name))) {
      std::fprintf(stderr, "cannot copy %s from %s\n", row.fileName, qPrintable(listDir));
      return 1;
    }
  }

  const SystemClock clock;
  ui::MainWindow window(clock, DialogSetup{dir.filePath(QStringLiteral("numira")).toStdString(), {}});
  window.show();
  // A finished proposal for every game, so that each tab marks one: the four roll at
  // once on the real event loop and stop together (about 7 s).
  auto runFor = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  };
  auto button = [&](const PanelDef& p) { return window.findChild<QPushButton*>(QString::number(p.predictButton)); };
  for (const PanelDef& p : kPanels) button(p)->click();
  runFor(300);
  for (const PanelDef& p : kPanels) button(p)->click();
  for (int waited = 0; waited < 15000; waited += 100) {
    bool stopped = true;
    for (const PanelDef& p : kPanels) stopped = stopped && button(p)->isEnabled();
    if (stopped) break;
    runFor(100);
  }
  window.ShowHistory();
  auto* history = window.findChild<ui::HistoryWindow*>();
  if (!history) {
    std::fprintf(stderr, "the history window did not open\n");
    return 1;
  }
  history->findChild<QTabWidget*>()->setCurrentIndex(tab);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();

  const QPixmap shot = history->grab();
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("wrote %s (%dx%d)\n", argv[1], shot.width(), shot.height());
  return 0;
}
