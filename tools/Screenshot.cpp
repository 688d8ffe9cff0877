// Renders the main window for the documentation: the real lists, Mini Loto rolling
// (red) and Numbers 3 standing on a finished proposal (blue).
//   numira-screenshot OUTPUT.png [LIST-DIR]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

#include "Clock.h"
#include "ListTable.h"
#include "MainWindow.h"

using namespace numira;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [LIST-DIR]\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  const QString listDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(NUMIRA_DATA_DIR);
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
  QApplication::processEvents();

  auto click = [&](int id) { static_cast<QPushButton*>(window.Control(id))->click(); };
  const int num3Timer = Panel(Game::Num3).timerId, miniTimer = Panel(Game::Mini).timerId;
  // Numbers 3: roll, stop, and let the slowing ticks run to the proposal.
  click(ctl::kNum3Predict);
  for (int i = 0; i < 30; ++i) window.FireTimer(num3Timer);
  click(ctl::kNum3Predict);
  for (int i = 0; i < 100 && window.FireTimer(num3Timer); ++i) {
  }
  // Mini Loto: rolling freely.
  click(ctl::kMiniPredict);
  for (int i = 0; i < 25; ++i) window.FireTimer(miniTimer);
  QApplication::processEvents();

  const QPixmap shot = window.grab();
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("wrote %s (%dx%d)\n", argv[1], shot.width(), shot.height());
  return 0;
}
