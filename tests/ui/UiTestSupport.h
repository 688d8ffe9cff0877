#pragma once
// Helpers for the window tests: a directory standing in for the executable's own,
// typed access to the controls, pixel colours, and acting on modal windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <memory>
#include <string>

#include "Colours.h"
#include "FakeWindow.h"
#include "ListTable.h"
#include "HistoryWindow.h"
#include "MainWindow.h"

namespace numira::uitest {

// A temporary "executable directory" holding copies of the shipped lists.
class ListDir {
 public:
  // With `names` empty, all six lists are copied.
  explicit ListDir(std::initializer_list<const char*> names = {}) {
    EXPECT_TRUE(dir_.isValid());
    if (names.size() == 0)
      for (const ListFileRow& row : kListFiles) Copy(row.fileName);
    else
      for (const char* n : names) Copy(n);
  }
  static ListDir Empty() { return ListDir(nullptr); }
  std::string ExecutablePath() const { return dir_.filePath(QStringLiteral("numira")).toStdString(); }
  QString Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

 private:
  explicit ListDir(std::nullptr_t) { EXPECT_TRUE(dir_.isValid()); }
  void Copy(const char* name) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(NUMIRA_DATA_DIR "/") + name, Path(name))) << name;
  }
  QTemporaryDir dir_;
};

// The main window with what its tests look at beyond the widgets: the dialog's state,
// and its timers, which the tests fire at once instead of waiting for them.
class ProbedWindow : public ui::MainWindow {
 public:
  // The history window is linked in here; the program's loading of it is tested apart.
  explicit ProbedWindow(const Clock& clock, DialogSetup setup = {})
      : MainWindow(clock, std::move(setup), [](QWidget* parent, std::string&) -> ui::HistoryView* {
          return new ui::HistoryWindow(parent);
        }) {}
  CPredictDlg& Dialog() { return *dlg_; }
  const CPredictDlg& Dialog() const { return *dlg_; }
  bool TimerArmed(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
  }
  // The armed timer's interval in milliseconds; -1 when it is not armed.
  int TimerInterval(int id) const { return TimerArmed(id) ? timers_.at(id)->interval() : -1; }
  // Delivers an armed timer's tick now; false when it was not armed.
  bool FireTimer(int id) {
    if (!TimerArmed(id)) return false;
    timers_.at(id)->stop();
    dlg_->OnTimer(id);
    return true;
  }
};

// The purchases' file is opened directly (the program loads the same from numira-ledger.so).
inline std::unique_ptr<ProbedWindow> MakeWindow(const ListDir& dir, const Clock& clock) {
  DialogSetup setup{dir.ExecutablePath(), "127.0.0.1:9"};
  setup.openLedger = &Ledger::Open;
  return std::make_unique<ProbedWindow>(clock, std::move(setup));
}

// A window over a copy of the six shipped lists, seeded from a virtual clock.
class WindowTest : public ::testing::Test {
 protected:
  testing::FakeClock clock;
  ListDir lists;
  std::unique_ptr<ProbedWindow> window = MakeWindow(lists, clock);
};

// The same window, shown on the screen.
class ShownWindowTest : public WindowTest {
 protected:
  void SetUp() override { window->show(); }
};

// A control's widget, found by its object name (the control ID); nullptr for the controls
// that have none (the sorted scratch list).
inline QWidget* Find(const QWidget& w, int id) {
  return w.findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}
template <class T>
T* Widget(const QWidget& w, int id) {
  T* t = w.findChild<T*>(QString::number(id), Qt::FindDirectChildrenOnly);
  EXPECT_NE(t, nullptr) << "control " << id;
  return t;
}
inline QPushButton* Button(const QWidget& w, int id) { return Widget<QPushButton>(w, id); }
inline QCheckBox* CheckBox(const QWidget& w, int id) { return Widget<QCheckBox>(w, id); }
inline QComboBox* Combo(const QWidget& w, int id) { return Widget<QComboBox>(w, id); }
inline QLabel* Label(const QWidget& w, int id) { return Widget<QLabel>(w, id); }

// Number of pixels in a rendering of the widget that are clearly of this text colour.
// Antialiased glyphs blend the colour into the background, so a pixel counts when its
// hue is that of the colour and it is close to full strength: plain black or grey
// text, and the pale edges of glyphs, never count.
inline int CountPixels(QWidget* w, QColor colour) {
  const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int cr = colour.red(), cg = colour.green(), cb = colour.blue();
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor p(image.pixel(x, y));
      const int d = std::abs(p.red() - cr) + std::abs(p.green() - cg) + std::abs(p.blue() - cb);
      if (d <= 90) ++n;
    }
  return n;
}
inline const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kDarkGreen(0, 102, 0);

// A dark palette like qt6ct's "darker" under Fusion.
inline QPalette DarkPalette() {
  QPalette p(QColor(53, 53, 53));
  p.setColor(QPalette::WindowText, Qt::white);
  p.setColor(QPalette::Base, QColor(42, 42, 42));
  p.setColor(QPalette::Text, Qt::white);
  p.setColor(QPalette::Button, QColor(53, 53, 53));
  p.setColor(QPalette::ButtonText, Qt::white);
  return p;
}

// The colour the label's text is drawn in: the pixel that differs most from the background.
inline QColor TextPixel(QWidget* w) {
  const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QColor back = w->palette().color(QPalette::Window);
  QColor best = back;
  int bestDistance = 0;
  for (int y = 2; y < image.height() - 2; ++y)
    for (int x = 2; x < image.width() - 2; ++x) {
      const QColor p(image.pixel(x, y));
      const int d = std::abs(p.red() - back.red()) + std::abs(p.green() - back.green()) + std::abs(p.blue() - back.blue());
      if (d > bestDistance) {
        bestDistance = d;
        best = p;
      }
    }
  return best;
}

inline double Contrast(const QColor& a, const QColor& b) {
  return ContrastRatio({a.red(), a.green(), a.blue()}, {b.red(), b.green(), b.blue()});
}

// Polls the event loop until `find` returns a widget, then runs `act` on it (once).
// Used to answer modal windows and menus that block the test in their own loop.
inline void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act, int timeoutMs = 10000) {
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, find = std::move(find), act = std::move(act), timeoutMs] {
    if (QWidget* w = find()) {
      timer->stop();
      timer->deleteLater();
      act(w);
    } else if (clock->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "the expected window did not appear";
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    }
  });
  timer->start(5);
}

// The active modal window if it has this object name (or is of type T).
template <class T = QWidget>
std::function<QWidget*()> ModalNamed(const QString& name) {
  return [name]() -> QWidget* {
    QWidget* m = QApplication::activeModalWidget();
    return m && m->isVisible() && m->objectName() == name && dynamic_cast<T*>(m) ? m : nullptr;
  };
}

// Fires a game's timer until the roll no longer arms it; returns the number of ticks.
inline int RunRollToEnd(ProbedWindow& w, int timerId, int limit = 1000) {
  int n = 0;
  while (n < limit && w.FireTimer(timerId)) ++n;
  return n;
}

// A shown window whose tests roll games to their standing proposals.
class RollingWindowTest : public ShownWindowTest {
 protected:
  // A roll of the game from start to its standing proposal: predict, the first tick,
  // stop, then every tick at once.
  void Roll(Game g) {
    const PanelDef& p = Panel(g);
    QTest::mouseClick(Button(*window, p.predictButton), Qt::LeftButton);
    window->FireTimer(p.timerId);
    QTest::mouseClick(Button(*window, p.predictButton), Qt::LeftButton);
    RunRollToEnd(*window, p.timerId);
  }
};

}  // namespace numira::uitest
