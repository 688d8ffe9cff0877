// The panels shown by choice in the real window: the window grows by a panel and the row
// below moves with it, the keyboard reaches the new controls in order, their numbers are
// shown whole, and the menu's check items come back checked after a restart.
#include <QAccessible>
#include <QMenu>
#include <QGroupBox>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>

#include "DialogUnits.h"
#include "TestData.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

using testing::FakeClock;

class ShownPanelsView : public ::testing::Test {
 protected:
  std::string Config() const { return conf.filePath(QStringLiteral("numira.conf")).toStdString(); }
  std::unique_ptr<ProbedWindow> Open() {
    return std::make_unique<ProbedWindow>(clock, DialogSetup{lists.ExecutablePath(), "127.0.0.1:9", Config()});
  }
  // The menu's check item of the game (nullptr when there is none).
  static QAction* Item(QMenu& menu, const char* name) {
    for (QAction* a : menu.actions())
      if (a->menu() && a->text() == QStringLiteral("表示するくじ"))
        for (QAction* item : a->menu()->actions())
          if (item->text() == QString::fromUtf8(name)) return item;
    return nullptr;
  }
  FakeClock clock;
  ListDir lists;
  QTemporaryDir conf;
};

TEST_F(ShownPanelsView, TheWindowGrowsByAPanelAndTheRowBelowMovesDown) {
  auto window = Open();
  window->show();
  const ui::DialogUnits du(window->font());
  EXPECT_EQ(window->size(), du.Size(307, 215));
  // A new user's window makes no widget for them (nor spends any time on them).
  for (const ControlDef& c : kChoicePanelControls) EXPECT_EQ(Find(*window, c.id), nullptr) << c.id;

  window->Dialog().OnShownGamesChanged(Game::Bingo5, true);
  EXPECT_EQ(window->size(), du.Size(307, 255));
  EXPECT_EQ(Find(*window, ctl::kBingo5Group)->geometry(), du.Rect(7, 167, 293, 38));
  EXPECT_EQ(Find(*window, ctl::kDownload)->geometry(), du.Rect(7, 211, 88, 14));

  window->Dialog().OnShownGamesChanged(Game::Lot7, true);
  EXPECT_EQ(window->size(), du.Size(307, 295));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const std::pair<int, QRect> places[] = {
      {ctl::kLot7Group, du.Rect(7, 167, 293, 38)},    {ctl::kLot7Check, du.Rect(13, 183, 39, 10)},
      {ctl::kLot7Predict, du.Rect(121, 181, 36, 14)}, {ctl::kLot7Result7, du.Rect(273, 181, 16, 14)},
      {ctl::kBingo5Group, du.Rect(7, 207, 293, 38)},  {ctl::kBingo5Result1, du.Rect(160, 221, 16, 14)},
      {ctl::kBingo5Result8, du.Rect(279, 221, 16, 14)}, {ctl::kDownload, du.Rect(7, 251, 88, 14)},
      {ctl::kStatus, du.Rect(98, 251, 146, 14)},      {ctl::kNotice, du.Rect(7, 269, 237, 14)},
      {ctl::kAbout, du.Rect(250, 259, 50, 14)},       {ctl::kClose, du.Rect(250, 274, 50, 14)},
      {ctl::kLot6Group, du.Rect(7, 127, 293, 38)},
  };
  for (const auto& [id, rect] : places) {
    EXPECT_EQ(Find(*window, id)->geometry(), rect) << id;
    EXPECT_FALSE(Find(*window, id)->isHidden()) << id;
  }
  // Clicks reach every control of the new panels, and they sit inside the window.
  for (int id : {ctl::kLot7Check, ctl::kLot7Predict, ctl::kBingo5Check, ctl::kBingo5Filter, ctl::kBingo5Result8, ctl::kClose}) {
    QWidget* w = Find(*window, id);
    EXPECT_EQ(window->childAt(w->geometry().center()), w) << id;
    EXPECT_TRUE(window->rect().contains(w->geometry())) << id;
  }
  // Two digits stand whole in the narrowest field, in the bold result font.
  window->SetText(ctl::kBingo5Result8, "40");
  QLabel* field = Label(*window, ctl::kBingo5Result8);
  EXPECT_GE(field->contentsRect().width(), field->fontMetrics().horizontalAdvance(QStringLiteral("40")));
  EXPECT_GE(field->font().weight(), QFont::Bold);

  // The keyboard goes from ロト６'s button to ロト７'s panel, then ビンゴ５'s, then the refresh button.
  const int order[] = {ctl::kLot6Predict, ctl::kLot7Check, ctl::kLot7Filter, ctl::kLot7Predict,
                       ctl::kBingo5Check, ctl::kBingo5Filter, ctl::kBingo5Predict, ctl::kDownload};
  QApplication::setActiveWindow(window.get());
  for (int id : {ctl::kLot7Check, ctl::kBingo5Check}) Find(*window, id)->setEnabled(true);
  for (int id : {ctl::kLot7Filter, ctl::kBingo5Filter}) Find(*window, id)->setEnabled(true);
  std::vector<int> reached;
  Find(*window, order[0])->setFocus();
  for (std::size_t k = 0; k + 1 < std::size(order); ++k) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    reached.push_back(window->FocusedControl());
  }
  EXPECT_EQ(reached, std::vector<int>(std::begin(order) + 1, std::end(order)));

  // A screen reader sees the new controls as it sees the others: by their texts and states.
  for (const ControlDef& c : kChoicePanelControls) {
    QWidget* w = Find(*window, c.id);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(a, nullptr) << c.id;
    EXPECT_EQ(a->state().disabled, !w->isEnabled()) << c.id;
    EXPECT_FALSE(a->state().invisible) << c.id;
    if (c.kind == ControlKind::DropDown)
      EXPECT_EQ(a->text(QAccessible::Value).toStdString(), window->Text(c.id)) << c.id;
    else
      EXPECT_EQ(a->text(QAccessible::Name).toStdString(), window->Text(c.id)) << c.id;
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Find(*window, ctl::kBingo5Result8))->text(QAccessible::Name),
            QStringLiteral("40"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Find(*window, ctl::kLot7Check))->text(QAccessible::Name),
            QStringLiteral("絞り込み"));

  // Taken away again, the window is as before.
  Combo(*window, ctl::kBingo5Filter)->setCurrentIndex(1);
  window->Dialog().OnShownGamesChanged(Game::Lot7, false);
  window->Dialog().OnShownGamesChanged(Game::Bingo5, false);
  EXPECT_EQ(window->size(), du.Size(307, 215));
  EXPECT_EQ(Find(*window, ctl::kDownload)->geometry(), du.Rect(7, 171, 88, 14));
  EXPECT_TRUE(Find(*window, ctl::kLot7Group)->isHidden());
  EXPECT_TRUE(Find(*window, ctl::kBingo5Predict)->isHidden());
  // Shown again, the panel keeps the filter the user chose.
  window->Dialog().OnShownGamesChanged(Game::Bingo5, true);
  EXPECT_EQ(Combo(*window, ctl::kBingo5Filter)->currentIndex(), 1);
  EXPECT_EQ(Combo(*window, ctl::kBingo5Filter)->count(), 2);
}

TEST_F(ShownPanelsView, TheMenusCheckItemsTurnPanelsOnAndComeBackCheckedAfterARestart) {
  {
    auto window = Open();
    window->show();
    std::unique_ptr<QMenu> menu = window->BuildSystemMenu();
    QAction* lot7 = Item(*menu, "ロト７");
    QAction* bingo5 = Item(*menu, "ビンゴ５");
    ASSERT_NE(lot7, nullptr);
    ASSERT_NE(bingo5, nullptr);
    EXPECT_TRUE(lot7->isCheckable());
    EXPECT_FALSE(lot7->isChecked());
    EXPECT_FALSE(bingo5->isChecked());
    EXPECT_EQ(qobject_cast<QMenu*>(lot7->parent())->actions().size(), 2);
    // Chosen from the menu as a user does: the panel shows, rolls, and the choice is saved.
    WhenShown([] { return static_cast<QWidget*>(qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
              [](QWidget* popup) {
                auto* top = static_cast<QMenu*>(popup);
                QAction* games = nullptr;
                for (QAction* a : top->actions())
                  if (a->menu()) games = a;
                top->setActiveAction(games);
                QTest::keyClick(top, Qt::Key_Right);
                WhenShown([top]() -> QWidget* {
                  QWidget* p = QApplication::activePopupWidget();
                  return p && p != top ? p : nullptr;
                }, [](QWidget* sub) { QTest::keyClick(sub, Qt::Key_Return); });  // its first item: ロト７
              });
    const QPoint at(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
    QApplication::sendEvent(window.get(), &event);
    ASSERT_NE(Find(*window, ctl::kLot7Group), nullptr);
    EXPECT_FALSE(Find(*window, ctl::kLot7Group)->isHidden());
    EXPECT_EQ(Find(*window, ctl::kBingo5Group), nullptr);  // never shown: never made
    EXPECT_EQ(Widget<QGroupBox>(*window, ctl::kLot7Group)->title(), QStringLiteral("【ロト７】　最新抽選日：2026年8月21日"));
    QTest::mouseClick(Button(*window, ctl::kLot7Predict), Qt::LeftButton);
    EXPECT_TRUE(window->TimerArmed(Panel(Game::Lot7).timerId));
    EXPECT_EQ(testing::ReadBytes(Config()), "games=numbers3,numbers4,miniloto,loto6,loto7\n");
  }
  auto again = Open();
  again->show();
  std::unique_ptr<QMenu> menu = again->BuildSystemMenu();
  EXPECT_TRUE(Item(*menu, "ロト７")->isChecked());
  EXPECT_FALSE(Item(*menu, "ビンゴ５")->isChecked());
  ASSERT_NE(Find(*again, ctl::kLot7Group), nullptr);
  EXPECT_FALSE(Find(*again, ctl::kLot7Group)->isHidden());
  EXPECT_EQ(again->size(), ui::DialogUnits(again->font()).Size(307, 255));
}

}  // namespace
}  // namespace numira::uitest
