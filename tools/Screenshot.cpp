// Renders the main window for the documentation: the real lists, Mini Loto rolling
// (red) and Numbers 3 standing on a finished proposal (blue).
//   numira-screenshot OUTPUT.png [LIST-DIR]
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
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

  auto click = [&](int id) { window.findChild<QPushButton*>(QString::number(id))->click(); };
  // The rolls run on the real event loop, as the user sees them.
  auto runFor = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  };
  // Numbers 3: roll, stop, and let the slowing ticks run to the proposal (about 7 s).
  click(ctl::kNum3Predict);
  runFor(300);
  click(ctl::kNum3Predict);
  auto* num3 = window.findChild<QPushButton*>(QString::number(ctl::kNum3Predict));
  for (int waited = 0; !num3->isEnabled() && waited < 15000; waited += 100) runFor(100);
  // Mini Loto: rolling freely.
  click(ctl::kMiniPredict);
  runFor(250);

  const QPixmap shot = window.grab();
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("wrote %s (%dx%d)\n", argv[1], shot.width(), shot.height());
  return 0;
}
