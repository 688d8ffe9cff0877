// One QApplication for the whole test binary; the window runs offscreen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // A watchdog: a modal window that nobody answers must fail the test, not hang it.
  alarm(300);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
