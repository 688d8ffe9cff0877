// The refresh from the window: it runs in the refresh program against real servers on
// 127.0.0.1 while the window goes on answering, and closing the window stops it.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QSet>
#include <QtTest/QTest>
#include <atomic>

#include "TestServer.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

using testing::RawServer;

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The list folder with the refresh program beside the "executable", as in the build and the install.
class RefreshView : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::link(QStringLiteral(NUMIRA_REFRESH_EXE), lists.Path(kRefreshProgramName)));
    for (const ListFileRow& r : kListFiles) before.push_back(FileBytes(lists.Path(r.fileName)));
  }
  std::unique_ptr<ProbedWindow> Open(const std::string& host) {
    auto w = std::make_unique<ProbedWindow>(clock, DialogSetup{lists.ExecutablePath(), host});
    w->show();
    return w;
  }
  // Names in the list folder that are neither a list nor the refresh program.
  QStringList Leftovers() const {
    QStringList names = QDir(QFileInfo(lists.Path("x")).path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const ListFileRow& r : kListFiles) names.removeAll(QString::fromUtf8(r.fileName));
    names.removeAll(QString::fromUtf8(kRefreshProgramName));
    return names;
  }
  void ExpectListsAsBefore() {
    for (std::size_t row = 0; row < kListFiles.size(); ++row)
      EXPECT_EQ(FileBytes(lists.Path(kListFiles[row].fileName)), before[row]) << kListFiles[row].fileName;
  }

  testing::FakeClock clock;
  ListDir lists;
  std::vector<QByteArray> before;
};

// Each connection gets the next list of the table, its body trickled out a piece at a time.
RawServer::Behaviour Trickle(int pieces, int pieceMs) {
  auto next = std::make_shared<std::atomic<int>>(0);
  return [next, pieces, pieceMs](int fd, const std::function<bool(int)>& waitStop) {
    const int row = next->fetch_add(1) % 6;
    const std::string body = testing::ReadBytes(std::string(NUMIRA_DATA_DIR) + "/" + kListFiles[row].fileName);
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n");
    const std::size_t step = body.size() / pieces + 1;
    for (std::size_t off = 0; off < body.size(); off += step) {
      if (waitStop(pieceMs)) return;
      RawServer::SendAll(fd, body.substr(off, step));
    }
  };
}

TEST_F(RefreshView, TheWindowGoesOnAnsweringDuringASlowRefresh) {
  // Each list takes some 400 ms to arrive: the whole refresh well over 2 s.
  RawServer server(Trickle(8, 50));
  auto window = Open(server.Host());
  // A roll runs on through the refresh.
  Button(*window, Panel(Game::Num3).predictButton)->click();
  QLabel* rolling = Label(*window, ResultFields(Game::Num3)[0]);
  QSet<QString> rolled;
  QPushButton* refresh = Button(*window, ctl::kDownload);
  refresh->click();
  ASSERT_TRUE(window->Dialog().Refreshing());
  EXPECT_EQ(Label(*window, ctl::kStatus)->text(), QString::fromUtf8(text::kDownloading));
  EXPECT_EQ(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor, Qt::WaitCursor);
  // While it runs the event loop turns: a timer fires again and again, a click is
  // handled, and a second press of the button starts nothing.
  int ticks = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    ++ticks;
    rolled.insert(rolling->text());
  });
  tick.start(20);
  refresh->click();
  QElapsedTimer clock;
  clock.start();
  while (window->Dialog().Refreshing() && clock.elapsed() < 30000) QTest::qWait(20);
  ASSERT_FALSE(window->Dialog().Refreshing());
  EXPECT_GT(clock.elapsed(), 1500);
  EXPECT_GT(ticks, 30);
  EXPECT_GT(rolled.size(), 5);
  EXPECT_EQ(window->Dialog().Roll(Game::Num3).stopCounter, 0) << "the roll rolls on freely";
  EXPECT_EQ(server.Connections(), 17);  // the six lists, then the two added lists, six draw and three prize files
  // The outcome is the usual one, applied on the window's thread.
  EXPECT_EQ(window->Dialog().LastDownloadOk(), 1);
  EXPECT_EQ(Label(*window, ctl::kStatus)->text(), QStringLiteral("2026年12月07日 20時31分05秒"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Leftovers(), QStringList());
  for (const ListFileRow& r : kListFiles) {
    const std::string served = testing::ReadBytes(std::string(NUMIRA_DATA_DIR) + "/" + r.fileName);
    EXPECT_EQ(FileBytes(lists.Path(r.fileName)).toStdString(), testing::Stored(served)) << r.fileName;
  }
}

TEST_F(RefreshView, ClosingTheWindowDuringARefreshStopsItAtOnce) {
  // The first list arrives in part, then the server stalls for good.
  RawServer server([](int fd, const std::function<bool(int)>& waitStop) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n#2026\x94\x4e" "12\x8c\x8e" "4\x93\xfa\r\n000\r\n");
    waitStop(60000);
  });
  auto window = Open(server.Host());
  Button(*window, ctl::kDownload)->click();
  QElapsedTimer clock;
  clock.start();
  while (Leftovers().isEmpty() && clock.elapsed() < 10000) QTest::qWait(10);
  ASSERT_EQ(Leftovers().size(), 1) << "no part file appeared";
  clock.restart();
  window->close();
  // Stopped at once: well within the time a stuck program would be waited for before it
  // is killed, and without leaving its part file behind.
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_EQ(Leftovers(), QStringList());
  ExpectListsAsBefore();
  window.reset();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RefreshView, AMissingRefreshProgramIsAFailedRefresh) {
  ASSERT_TRUE(QFile::remove(lists.Path(kRefreshProgramName)));
  RawServer server([](int, const std::function<bool(int)>&) {});
  auto window = Open(server.Host());
  QString shown;
  WhenShown(ModalNamed(QStringLiteral("message")), [&](QWidget* box) {
    shown = static_cast<QMessageBox*>(box)->text();
    box->close();
  });
  Button(*window, ctl::kDownload)->click();
  QElapsedTimer clock;
  clock.start();
  while (window->Dialog().Refreshing() && clock.elapsed() < 10000) QTest::qWait(10);
  EXPECT_FALSE(window->Dialog().Refreshing());
  EXPECT_EQ(shown, QString::fromUtf8(text::kDownloadFailed));
  EXPECT_EQ(Label(*window, ctl::kStatus)->text(), QString::fromUtf8(text::kDownloadFailed));
  EXPECT_EQ(server.Connections(), 0);
  ExpectListsAsBefore();
}

}  // namespace
}  // namespace numira::uitest
