// The refresh from the window: it runs in the refresh program against real servers on
// 127.0.0.1 while the window goes on answering, and closing the window stops it.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QtTest/QTest>
#include <atomic>

#include "TestServer.h"
#include "Texts.h"
#include "SettingsWindow.h"
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

// Another writer (a second window, the timer's check) puts a new set in the folder while
// this window stands unused and never becomes active: the window shows the new lists.
TEST_F(RefreshView, AnUnusedWindowFollowsANewSetInItsFolder) {
  auto window = Open("127.0.0.1:9");
  QGroupBox* loto6 = Widget<QGroupBox>(*window, Panel(Game::Lot6).groupBox);
  const QString before = loto6->title();
  ASSERT_FALSE(before.isEmpty());
  // 2015年11月20日 in code page 932: one drawn combination.
  const QByteArray list("#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n1.2.3.4.5.6,1\r\n");
  QFile file(lists.Path("Lot6Correct.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(list);
  file.close();
  QFile index(lists.Path("index.txt"));
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.write("numira-set-index 1\n");
  index.close();
  QTRY_VERIFY_WITH_TIMEOUT(loto6->title() != before, 5000);
  EXPECT_TRUE(loto6->title().endsWith(QStringLiteral("2015年11月20日"))) << loto6->title().toStdString();
}

// Each connection gets the next list of the table, its body trickled out a piece at a time;
// there is no set index here (404).
RawServer::Behaviour Trickle(int pieces, int pieceMs) {
  auto next = std::make_shared<std::atomic<int>>(0);
  return [next, pieces, pieceMs](int fd, const std::function<bool(int)>& waitStop) {
    if (RawServer::RequestHead().find("GET /Data/index.txt ") == 0) {
      RawServer::SendAll(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
      return;
    }
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
  EXPECT_EQ(server.Connections(), 18);  // the index, the six lists, the two added lists, six draw and three prize files
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
  // The window goes at once; the program, told to stop, removes its part file and ends.
  EXPECT_LT(clock.elapsed(), 500);
  while (!Leftovers().isEmpty() && clock.elapsed() < 5000) QTest::qWait(10);
  EXPECT_EQ(Leftovers(), QStringList());
  ExpectListsAsBefore();
  window.reset();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Puts a shell script in the refresh program's place.
void ReplaceProgram(const QString& path, const QByteArray& script) {
  QFile::remove(path);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("#!/bin/sh\n" + script);
  f.close();
  ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

TEST_F(RefreshView, ClosingTheWindowNeverWaitsForTheProgram) {
  // A program that takes its time to end when it is told to stop (here: it does not
  // listen at all, and ends by itself after three seconds).
  ReplaceProgram(lists.Path(kRefreshProgramName), "trap '' TERM\necho started > \"$0.started\"\nsleep 3\n");
  auto window = Open("127.0.0.1:9");
  Button(*window, ctl::kDownload)->click();
  QElapsedTimer clock;
  clock.start();
  const QString started = lists.Path(kRefreshProgramName) + QStringLiteral(".started");
  while (!QFile::exists(started) && clock.elapsed() < 10000) QTest::qWait(10);
  ASSERT_TRUE(QFile::exists(started));
  clock.restart();
  window->close();
  window.reset();
  EXPECT_LT(clock.elapsed(), 500);
  QTest::qWait(3500);  // the program ends on its own meanwhile
}

TEST_F(RefreshView, AProgramThatHangsIsEndedAfterTheRefreshsTimeLimit) {
  // The program reports one list, then hangs.
  ReplaceProgram(lists.Path(kRefreshProgramName), "echo 'list 0 not-modified'\nexec sleep 60\n");
  auto window = Open("127.0.0.1:9");
  FetchLimits limits;
  limits.totalTimeoutMs = 1000;
  window->Dialog().SetFetchLimits(limits);
  QString shown;
  WhenShown(ModalNamed(QStringLiteral("message")), [&](QWidget* box) {
    shown = static_cast<QMessageBox*>(box)->text();
    box->close();
  }, 20000);
  Button(*window, ctl::kDownload)->click();
  QElapsedTimer clock;
  clock.start();
  while (window->Dialog().Refreshing() && clock.elapsed() < 15000) QTest::qWait(20);
  ASSERT_FALSE(window->Dialog().Refreshing()) << "still refreshing";
  // The refresh's own limit and the grace the program is given.
  EXPECT_GE(clock.elapsed(), 1000 + 3000 - 100);
  EXPECT_EQ(shown, QString::fromUtf8("一部の最新情報をダウンロードできませんでした。\n127.0.0.1:9："
                                     "更新プログラムが制限時間（1秒）内に終わらなかったため、止めました。"));
  EXPECT_EQ(Label(*window, ctl::kStatus)->text(), QString::fromUtf8(text::kDownloadPartlyFailed));
  EXPECT_EQ(window->Dialog().LastDownloadOk(), 0);
  ExpectListsAsBefore();
}

TEST_F(RefreshView, TheSettingsWindowTriesAServerAndSavesIt) {
  QTemporaryDir config;
  const QString conf = config.filePath(QStringLiteral("numira/numira.conf"));
  auto window = std::make_unique<ProbedWindow>(clock, DialogSetup{lists.ExecutablePath(), "", conf.toStdString()});
  window->show();
  EXPECT_TRUE(window->Dialog().OnSysCommand(ctl::kSettingsItem));
  auto* settings = window->findChild<ui::SettingsWindow*>(QStringLiteral("settings"));
  ASSERT_NE(settings, nullptr);
  EXPECT_TRUE(settings->isVisible());
  EXPECT_EQ(settings->windowTitle(), QString::fromUtf8("設定"));
  auto* field = settings->findChild<QLineEdit*>(QStringLiteral("server"));
  auto* tryButton = settings->findChild<QPushButton*>(QStringLiteral("try"));
  auto* outcome = settings->findChild<QLabel*>(QStringLiteral("outcome"));
  ASSERT_TRUE(field && tryButton && outcome);
  EXPECT_EQ(field->text(), QString());
  // A trial runs in the refresh program while the window goes on answering.
  RawServer server(Trickle(4, 50));
  field->setText(QString::fromStdString(server.Host()));
  tryButton->click();
  EXPECT_FALSE(tryButton->isEnabled());
  EXPECT_EQ(outcome->text(), QString::fromUtf8("リストサーバーを確かめています・・・"));
  QElapsedTimer clock;
  clock.start();
  int turns = 0;
  while (!tryButton->isEnabled() && clock.elapsed() < 20000) {
    QTest::qWait(20);
    ++turns;
  }
  ASSERT_TRUE(tryButton->isEnabled());
  EXPECT_GT(turns, 10);
  EXPECT_EQ(outcome->text(), QString::fromUtf8("６つのリストがそろっています（最新抽選日：2026年8月21日）。"));
  EXPECT_EQ(server.Connections(), 6);
  ExpectListsAsBefore();  // a trial stores nothing of the player's
  EXPECT_FALSE(QFile::exists(conf));
  // 保存 writes numira.conf and the refresh asks that server from now on.
  QPointer<ui::SettingsWindow> alive(settings);
  settings->findChild<QPushButton*>(QStringLiteral("save"))->click();
  EXPECT_EQ(FileBytes(conf), QByteArray("list-server=http://") + QByteArray::fromStdString(server.Host()) + "\n");
  EXPECT_EQ(window->Dialog().ListServer(), "http://" + server.Host());
  QTest::qWait(50);
  EXPECT_TRUE(alive.isNull()) << "the window is gone once closed";
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
  EXPECT_EQ(shown, QString::fromUtf8(text::kDownloadFailed) + QStringLiteral("\n") + QString::fromStdString(server.Host()) +
                       QString::fromUtf8("：更新プログラム numira-refresh を実行できません。"));
  EXPECT_EQ(Label(*window, ctl::kStatus)->text(), QString::fromUtf8(text::kDownloadFailed));
  EXPECT_EQ(server.Connections(), 0);
  ExpectListsAsBefore();
}

}  // namespace
}  // namespace numira::uitest
