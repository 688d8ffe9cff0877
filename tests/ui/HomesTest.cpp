// The main window's helpers on their own: the refresh program run and ended, the pacing
// of frames, and what the side windows share.
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <optional>

#include "FramePacer.h"
#include "RefreshProcess.h"
#include "SideWindows.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

// A script in the refresh program's place.
QString Script(const QTemporaryDir& dir, const QByteArray& body) {
  const QString path = dir.filePath(QStringLiteral("numira-refresh"));
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("#!/bin/sh\n" + body);
  f.close();
  EXPECT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  return path;
}

RefreshRequest Request(long totalMs) {
  RefreshRequest r;
  r.baseUrl = "http://127.0.0.1:9";
  r.limits.totalTimeoutMs = totalMs;
  return r;
}

// Turns the event loop until the report came (or 10 s passed).
bool WaitFor(const std::optional<RefreshReport>& report, int ms = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!report && clock.elapsed() < ms) QTest::qWait(10);
  return report.has_value();
}

TEST(RefreshProcessHome, TheProgramsReportComesBackAsItWasWritten) {
  QTemporaryDir dir;
  std::optional<RefreshReport> report;
  QObject owner;
  ui::RefreshProcess process(&owner, [&](const RefreshReport& r) { report = r; });
  process.Start(Script(dir, "echo 'list 0 refreshed'\necho 'list 1 failed error-status 404'\n").toStdString(), Request(60000));
  EXPECT_TRUE(process.Running());
  ASSERT_TRUE(WaitFor(report));
  EXPECT_FALSE(process.Running());
  EXPECT_EQ(report->lists[0], ListResult(ListOutcome::Refreshed));
  EXPECT_EQ(report->lists[1], ListResult(ListOutcome::Failed, false, FailReason::ErrorStatus, "404"));
  EXPECT_EQ(report->lists[2], ListResult(ListOutcome::Failed, false, FailReason::ProgramFailed));
  // A program that is not there is a refresh that failed, said at once.
  report.reset();
  process.Start(dir.filePath(QStringLiteral("nothing-here")).toStdString(), Request(60000));
  ASSERT_TRUE(WaitFor(report));
  EXPECT_EQ(report->lists[5], ListResult(ListOutcome::Failed, false, FailReason::ProgramFailed));
}

TEST(RefreshProcessHome, AStoppedRefreshReportsNothingAndIsNotWaitedFor) {
  QTemporaryDir dir;
  int reports = 0;
  QObject owner;
  ui::RefreshProcess process(&owner, [&](const RefreshReport&) { ++reports; });
  process.Start(Script(dir, "trap '' TERM\nsleep 2\necho 'list 0 refreshed'\n").toStdString(), Request(60000));
  QTest::qWait(200);
  QElapsedTimer clock;
  clock.start();
  process.Stop();
  EXPECT_LT(clock.elapsed(), 200);
  EXPECT_FALSE(process.Running());
  QTest::qWait(2500);
  EXPECT_EQ(reports, 0);
}

TEST(RefreshProcessHome, AProgramPastTheTimeLimitIsEnded) {
  QTemporaryDir dir;
  std::optional<RefreshReport> report;
  QObject owner;
  ui::RefreshProcess process(&owner, [&](const RefreshReport& r) { report = r; });
  QElapsedTimer clock;
  clock.start();
  process.Start(Script(dir, "echo 'list 3 not-modified'\nexec sleep 30\n").toStdString(), Request(200));
  ASSERT_TRUE(WaitFor(report, 10000));
  EXPECT_GE(clock.elapsed(), 200 + ui::RefreshProcess::kGrace.count() - 50);
  EXPECT_EQ(report->lists[3], ListResult(ListOutcome::NotModified));
  EXPECT_EQ(report->lists[0], ListResult(ListOutcome::Failed, false, FailReason::ProgramHung));
}

TEST(FramePacerHome, APaintingWithinAFrameOfTheLastWaitsForTheNextFrame) {
  QWidget window;
  window.show();
  QTest::qWait(50);  // the showing's own paintings are over
  ui::FramePacer pacer(&window);
  EXPECT_FALSE(pacer.PutOff());  // the first paints at once
  EXPECT_TRUE(pacer.PutOff());   // the next, within the same frame, waits
  pacer.PaintNextAtOnce();
  EXPECT_FALSE(pacer.PutOff());
  // The one put off is asked for again once the frame has passed.
  EXPECT_TRUE(pacer.PutOff());
  struct Counter : QObject {
    int requests = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::UpdateRequest) ++requests;
      return false;
    }
  } counter;
  window.installEventFilter(&counter);
  QTest::qWait(100);
  EXPECT_GE(counter.requests, 1);
  EXPECT_FALSE(pacer.PutOff());
}

TEST(SideWindowsHome, AClosedSideWindowIsForgottenAndDeleted) {
  QWidget main;
  QPointer<QDialog> side = new QDialog(&main);
  QDialog* opened = side;
  ui::ForgetWhenClosed(&main, side);
  ui::Present(side);
  EXPECT_TRUE(opened->isVisible());
  QPointer<QDialog> watch(opened);
  opened->reject();
  EXPECT_TRUE(side.isNull());
  QTest::qWait(20);
  EXPECT_TRUE(watch.isNull());
}

}  // namespace
}  // namespace numira::uitest
