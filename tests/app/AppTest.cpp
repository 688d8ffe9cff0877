// Start-up of the program: no display, the lists placed beside the executable.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "CPredictApp.h"
#include "ListTable.h"

namespace numira {
namespace {

TEST(App, WithoutADisplayTheProgramExplainsAndExitsWithOne) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(NUMIRA_EXE), {});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 1);
  const QString err = QString::fromUtf8(p.readAllStandardError());
  EXPECT_TRUE(err.contains(QStringLiteral("xvfb-run -a build/numira"))) << err.toStdString();
  EXPECT_TRUE(err.contains(QString::fromUtf8("ディスプレイ"))) << err.toStdString();
  EXPECT_TRUE(err.contains(QStringLiteral("no display"))) << err.toStdString();
}

// The libraries a program loads, as the dynamic linker resolves them.
QString LinkedLibraries(const char* program) {
  QProcess p;
  p.start(QStringLiteral("ldd"), {QString::fromUtf8(program)});
  EXPECT_TRUE(p.waitForFinished(30000));
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(App, TheWindowsProcessLoadsNoNetworkLibraryTheRefreshProgramDoes) {
  const QString window = LinkedLibraries(NUMIRA_EXE);
  ASSERT_TRUE(window.contains(QStringLiteral("libQt6Widgets"))) << window.toStdString();
  EXPECT_FALSE(window.contains(QStringLiteral("libcurl"))) << window.toStdString();
  EXPECT_FALSE(window.contains(QStringLiteral("libssl"))) << window.toStdString();
  const QString refresh = LinkedLibraries(NUMIRA_REFRESH_EXE);
  EXPECT_TRUE(refresh.contains(QStringLiteral("libcurl"))) << refresh.toStdString();
  EXPECT_FALSE(refresh.contains(QStringLiteral("libQt6"))) << refresh.toStdString();
}

TEST(App, DisplayDetection) {
  const QByteArray saved[3] = {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
  const char* names[3] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  for (const char* n : names) qunsetenv(n);
  EXPECT_FALSE(HasDisplay());
  for (const char* n : names) {
    qputenv(n, "x");
    EXPECT_TRUE(HasDisplay()) << n;
    qunsetenv(n);
  }
  for (int i = 0; i < 3; ++i)
    if (!saved[i].isNull()) qputenv(names[i], saved[i]);
}

int RunCopyLists(const QString& dest) {
  return QProcess::execute(QStringLiteral(NUMIRA_CMAKE), {QStringLiteral("-DSOURCE=" NUMIRA_DATA_DIR),
                                                          QStringLiteral("-DDEST=") + dest,
                                                          QStringLiteral("-P"), QStringLiteral(NUMIRA_COPY_LISTS_SCRIPT)});
}

TEST(App, ListsArePlacedBesideTheProgramOnlyWhenNoneAreThere) {
  QTemporaryDir empty;
  ASSERT_EQ(RunCopyLists(empty.path()), 0);
  for (const ListFileRow& row : kListFiles) EXPECT_TRUE(QFile::exists(empty.filePath(row.fileName))) << row.fileName;

  // One downloaded list is there: nothing is copied and it is not overwritten.
  QTemporaryDir partial;
  QFile own(partial.filePath(QStringLiteral("Lot6Correct.txt")));
  ASSERT_TRUE(own.open(QIODevice::WriteOnly));
  own.write("#downloaded\r\n");
  own.close();
  ASSERT_EQ(RunCopyLists(partial.path()), 0);
  ASSERT_TRUE(own.open(QIODevice::ReadOnly));
  EXPECT_EQ(own.readAll(), QByteArray("#downloaded\r\n"));
  EXPECT_FALSE(QFile::exists(partial.filePath(QStringLiteral("Num3Correct.txt"))));
}

}  // namespace
}  // namespace numira
