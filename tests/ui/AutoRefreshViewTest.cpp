// 自動更新 in the real window: the check items of the context menu, and the user's timer
// switched by systemctl while the window goes on answering. A stand-in systemctl on PATH
// writes down its arguments and answers as one does without a systemd user session.
#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <sys/stat.h>

#include <filesystem>

#include "UiTestSupport.h"
#include "Texts.h"
#include "TestData.h"

namespace numira::uitest {
namespace {

TEST(AutoRefreshView, TheCheckItemSwitchesTheUserTimerWithoutWaiting) {
  QTemporaryDir home;
  const std::string root = home.path().toStdString();
  const std::string calls = root + "/systemctl-calls";
  std::filesystem::create_directories(root + "/bin");
  testing::WriteBytes(root + "/bin/systemctl", "#!/bin/sh\necho \"$@\" >>'" + calls +
                                                   "'\nsleep 1\necho 'Failed to connect to bus: No medium found' >&2\nexit 1\n");
  ::chmod((root + "/bin/systemctl").c_str(), 0755);
  const char* path = std::getenv("PATH");
  testing::ScopedEnv onPath("PATH", root + "/bin:" + (path ? path : "/usr/bin:/bin"));
  testing::ScopedEnv data("XDG_DATA_HOME", root + "/data");
  ListDir lists;
  testing::FakeClock clock;
  auto window = std::make_unique<ProbedWindow>(clock, DialogSetup{lists.ExecutablePath(), "127.0.0.1:9", root + "/numira.conf"});
  window->show();

  const auto item = [&](const char* text) {
    std::unique_ptr<QMenu> menu = window->BuildSystemMenu();
    for (QAction* a : menu->actions())
      if (a->text() == QString::fromUtf8(text)) return a->isCheckable() ? int(a->isChecked()) : -1;
    return -2;
  };
  EXPECT_EQ(item(text::kAutoRefreshMenuItem), 0);
  EXPECT_EQ(item(text::kNotifyLossesMenuItem), 0);

  QElapsedTimer took;
  took.start();
  EXPECT_TRUE(window->Dialog().OnSysCommand(ctl::kAutoRefreshItem));
  // systemctl takes a second here: the window does not wait for it.
  EXPECT_LT(took.elapsed(), 500);
  EXPECT_EQ(item(text::kAutoRefreshMenuItem), 1);
  EXPECT_TRUE(window->TimerArmed(ctl::kAutoRefreshTimer));
  EXPECT_EQ(testing::ReadBytes(root + "/numira.conf"), "auto-refresh=on\n");
  QTRY_COMPARE_WITH_TIMEOUT(Label(*window, ctl::kStatus)->text(), QString::fromUtf8(text::kNoUserTimer), 10000);
  EXPECT_EQ(testing::ReadBytes(calls), "--user enable --now numira-check.timer\n");
  // Without the user's timer the window still refreshes by itself.
  EXPECT_TRUE(window->TimerArmed(ctl::kAutoRefreshTimer));

  EXPECT_TRUE(window->Dialog().OnSysCommand(ctl::kNotifyLossesItem));
  EXPECT_EQ(item(text::kNotifyLossesMenuItem), 1);
  EXPECT_TRUE(window->Dialog().OnSysCommand(ctl::kAutoRefreshItem));
  EXPECT_EQ(item(text::kAutoRefreshMenuItem), 0);
  EXPECT_FALSE(window->TimerArmed(ctl::kAutoRefreshTimer));
  EXPECT_EQ(testing::ReadBytes(root + "/numira.conf"), "auto-refresh=off\nnotify-losses=on\n");
  QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(testing::ReadBytes(calls)),
                            QStringLiteral("--user enable --now numira-check.timer\n--user disable --now numira-check.timer\n"),
                            10000);
}

}  // namespace
}  // namespace numira::uitest
