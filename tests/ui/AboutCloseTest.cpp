// The about box (from its button and from the window's menu) and the ways of closing.
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest/QTest>

#include "AboutBox.h"
#include "DialogUnits.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {


auto AboutBoxShown() { return ModalNamed<ui::CAboutDlg>(QStringLiteral("about")); }

class About : public ShownWindowTest {};

TEST_F(About, TheButtonOpensTheBoxWithItsControls) {
  int opened = 0;
  WhenShown(AboutBoxShown(), [&](QWidget* w) {
    ++opened;
    EXPECT_EQ(w->windowTitle(), QStringLiteral("ぬみら について"));
    EXPECT_EQ(w->parentWidget(), window.get());
    const ui::DialogUnits du(w->font());
    EXPECT_EQ(w->size(), du.Size(ui::kAboutWidth, ui::kAboutHeight));
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    // Centred over the main window.
    const QPoint d = w->geometry().center() - window->geometry().center();
    EXPECT_LE(std::abs(d.x()), 2);
    EXPECT_LE(std::abs(d.y()), 2);
    int i = 0;
    for (const ControlDef& c : ui::kAboutControls) {
      const QString name = c.id ? QString::number(c.id) : QStringLiteral("about-%1").arg(i);
      QWidget* cw = w->findChild<QWidget*>(name);
      ++i;
      ASSERT_NE(cw, nullptr) << name.toStdString();
      EXPECT_EQ(cw->pos(), QPoint(du.X(c.x), du.Y(c.y))) << name.toStdString();
      if (auto* label = dynamic_cast<QLabel*>(cw); label && c.kind == ControlKind::StaticText) {
        EXPECT_EQ(label->text(), QString::fromUtf8(c.text));
        EXPECT_GE(label->width(), du.X(c.w));
        EXPECT_EQ(label->height(), du.Y(c.h));
        // One-line texts are shown whole.
        if (!label->wordWrap()) {
          EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        }
      }
      if (c.kind == ControlKind::Icon) {
        EXPECT_EQ(static_cast<QLabel*>(cw)->pixmap().size(), QSize(32, 32));
      }
    }
    // The version line is made from the project's version.
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("about-1"))->text(), QStringLiteral("Numira Version 1.01"));
    auto* description = w->findChild<QLabel*>(QString::number(ctl::kAboutDescription));
    ASSERT_NE(description, nullptr);
    EXPECT_TRUE(description->wordWrap());
    EXPECT_EQ(description->text().count('\n'), 1);
    EXPECT_EQ(description->frameShadow(), QFrame::Sunken);
    auto* ok = w->findChild<QPushButton*>(QStringLiteral("1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    QTest::mouseClick(ok, Qt::LeftButton);
  });
  QTest::mouseClick(Button(*window, ctl::kAbout), Qt::LeftButton);
  EXPECT_EQ(opened, 1);
  // Closed and gone; the main window is the modal window again.
  EXPECT_EQ(QApplication::activeModalWidget(), window.get());
  EXPECT_TRUE(window->findChildren<ui::CAboutDlg*>().isEmpty());
}

TEST_F(About, TheWindowMenuOffersTheAboutItemWhichOpensTheBox) {
  std::unique_ptr<QMenu> menu = window->BuildSystemMenu();
  // As the title bar's menu ends: a separator, then the about item.
  ASSERT_EQ(menu->actions().size(), 9);
  EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8(text::kHistoryMenuItem));
  EXPECT_EQ(menu->actions()[1]->text(), QString::fromUtf8(text::kCheckMenuItem));
  EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("購入記録(&L)..."));
  EXPECT_EQ(menu->actions()[3]->text(), QStringLiteral("表示するくじ"));
  // 自動更新 and はずれも通知: check items, off for a new user.
  EXPECT_EQ(menu->actions()[4]->text(), QStringLiteral("自動更新"));
  EXPECT_EQ(menu->actions()[5]->text(), QStringLiteral("はずれも通知"));
  for (int i : {4, 5}) {
    EXPECT_TRUE(menu->actions()[i]->isCheckable());
    EXPECT_FALSE(menu->actions()[i]->isChecked());
  }
  EXPECT_EQ(menu->actions()[6]->text(), QString::fromUtf8(text::kSettingsMenuItem));
  EXPECT_TRUE(menu->actions()[7]->isSeparator());
  EXPECT_EQ(menu->actions()[8]->text(), QStringLiteral("ぬみら について(&A)..."));

  bool menuSeen = false;
  int opened = 0;
  WhenShown([] { return static_cast<QWidget*>(qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
            [&](QWidget* w) {
              menuSeen = true;
              auto* popup = static_cast<QMenu*>(w);
              ASSERT_EQ(popup->actions().size(), 9);
              EXPECT_TRUE(popup->actions()[7]->isSeparator());
              EXPECT_EQ(popup->actions().back()->text(), QString::fromUtf8(text::kAboutMenuItem));
              WhenShown(AboutBoxShown(), [&](QWidget* box) {
                ++opened;
                QTest::keyClick(box, Qt::Key_Escape);
              });
              // Choose the last item with the keyboard, as a user would: Up from the top wraps to it.
              QTest::keyClick(popup, Qt::Key_Up);
              QTest::keyClick(popup, Qt::Key_Return);
            });
  // A right click on the window's background.
  const QPoint at(window->width() - 5, 5);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
  QApplication::sendEvent(window.get(), &event);
  EXPECT_TRUE(menuSeen);
  EXPECT_EQ(opened, 1);
  // Each opening shows a fresh box: none is left behind.
  EXPECT_TRUE(window->findChildren<ui::CAboutDlg*>().isEmpty());
}

TEST_F(About, RollsGoOnBehindTheBox) {
  const PanelDef& p = Panel(Game::Num3);
  QTest::mouseClick(Button(*window, p.predictButton), Qt::LeftButton);
  QString before, during;
  WhenShown(AboutBoxShown(), [&](QWidget* box) {
    before = Label(*window, p.resultFields[0])->text();
    // Let real ticks arrive while the box is open.
    QTimer::singleShot(300, box, [&, box] {
      during = Label(*window, p.resultFields[0])->text();
      EXPECT_TRUE(window->TimerArmed(p.timerId));
      static_cast<QDialog*>(box)->accept();
    });
  });
  QTest::mouseClick(Button(*window, ctl::kAbout), Qt::LeftButton);
  EXPECT_FALSE(during.isEmpty());
  EXPECT_TRUE(window->TimerArmed(p.timerId));
}

int RunAboutBox(std::function<void(QWidget*)> close) {
  ui::CAboutDlg box;
  WhenShown(AboutBoxShown(), std::move(close));
  return box.exec();
}

TEST(AboutBoxKeys, ClosesWithOkEnterEscapeAndItsCloseBox) {
  EXPECT_EQ(RunAboutBox([](QWidget* b) { QTest::mouseClick(b->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton); }), 1);
  EXPECT_EQ(RunAboutBox([](QWidget* b) { QTest::keyClick(b, Qt::Key_Return); }), 1);
  EXPECT_EQ(RunAboutBox([](QWidget* b) { QTest::keyClick(b, Qt::Key_Escape); }), 2);
  EXPECT_EQ(RunAboutBox([](QWidget* b) { b->close(); }), 2);
}

// ---- Closing the main window ----

class Close : public WindowTest {
 protected:
  int Run(std::function<void(ProbedWindow&)> act) {
    ProbedWindow* w = window.get();
    WhenShown([w]() -> QWidget* { return w->isVisible() ? w : nullptr; }, [w, act](QWidget*) { act(*w); });
    return window->exec();
  }
};

TEST_F(Close, TheCloseButtonEndsWithZeroAndStopsTheRolls) {
  const int code = Run([](ProbedWindow& w) {
    QTest::mouseClick(Button(w, ctl::kMiniPredict), Qt::LeftButton);
    EXPECT_TRUE(w.TimerArmed(Panel(Game::Mini).timerId));
    QTest::mouseClick(Button(w, ctl::kClose), Qt::LeftButton);
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->TimerArmed(Panel(Game::Mini).timerId));
}

TEST_F(Close, EscapeEndsWithTwo) {
  EXPECT_EQ(Run([](ProbedWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); }), 2);
}

TEST_F(Close, TheCloseBoxEndsWithTwo) {
  EXPECT_EQ(Run([](ProbedWindow& w) { w.close(); }), 2);
}

TEST_F(Close, EnterWithoutAFocusedPushButtonEndsWithOne) {
  EXPECT_EQ(Run([](ProbedWindow& w) {
              QCheckBox* box = CheckBox(w, ctl::kNum3Check);
              box->setFocus();
              QTest::keyClick(box, Qt::Key_Return);
            }),
            1);
}

TEST_F(Close, EnterOnAFocusedPushButtonPressesIt) {
  const int code = Run([](ProbedWindow& w) {
    QPushButton* predict = Button(w, ctl::kNum4Predict);
    predict->setFocus();
    QTest::keyClick(predict, Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.TimerArmed(Panel(Game::Num4).timerId));
    QTest::mouseClick(Button(w, ctl::kClose), Qt::LeftButton);
  });
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace numira::uitest
