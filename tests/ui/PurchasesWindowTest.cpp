// The purchases window (購入記録) as players use it: opened by Ctrl+L and the menu, the form
// found by a screen reader by its names and refusing bad input field by field, delete and
// undo, the slip copied whole, recording from the check window and a panel's menu.
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <QTabWidget>

#include "CheckWindow.h"
#include "PurchaseTexts.h"
#include "PurchasesWindow.h"
#include "TestData.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

class PurchasesView : public RollingWindowTest {
 protected:
  void SetUp() override {
    // The draw files beside the lists, as the program finds them: the next draw is known.
    QDir().mkpath(lists.Path("draws"));
    for (const char* name : testing::kDrawFiles)
      ASSERT_TRUE(QFile::copy(QStringLiteral(NUMIRA_DRAWS_DIR "/") + name, lists.Path("draws") + "/" + name));
    window = MakeWindow(lists, clock);
    ShownWindowTest::SetUp();
    QApplication::setActiveWindow(window.get());
  }
  // The window has no meta-object of its own: it is found by its name.
  ui::PurchasesWindow* Purchases() const {
    return static_cast<ui::PurchasesWindow*>(window->findChild<QDialog*>(QStringLiteral("purchases")));
  }
  ui::PurchasesWindow* Open() {
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    auto* w = Purchases();
    EXPECT_NE(w, nullptr);
    return w;
  }
  // A form control, found as a screen reader finds it: by its accessible name.
  template <class W>
  static W* Named(QWidget* in, const char* name) {
    for (W* w : in->findChildren<W*>())
      if (w->accessibleName() == QString::fromUtf8(name)) return w;
    ADD_FAILURE() << "no control named " << name;
    return nullptr;
  }
  static QPushButton* ButtonText(QWidget* in, const char* text) {
    for (QPushButton* b : in->findChildren<QPushButton*>())
      if (b->text() == QString::fromUtf8(text)) return b;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
  }
};

TEST_F(PurchasesView, CtrlLOpensItBesideTheMainWindowNonModal) {
  ui::PurchasesWindow* w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_FALSE(w->isModal());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("購入記録"));
  // Opened again, it is the same window.
  QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(window->findChildren<QDialog*>(QStringLiteral("purchases")).size(), 1);
  EXPECT_EQ(w->Table()->model()->rowCount(), 0);
  EXPECT_EQ(w->Table()->accessibleName(), QStringLiteral("購入記録の表"));
  // Closed, it is gone; the command line's way (--purchases) opens it as Ctrl+L does.
  w->close();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Purchases(), nullptr);
  window->OpenPurchases();
  ASSERT_NE(Purchases(), nullptr);
  EXPECT_TRUE(Purchases()->isVisible());
}

TEST_F(PurchasesView, TheFormRefusesFieldByFieldThenRecords) {
  ui::PurchasesWindow* w = Open();
  ASSERT_NE(w, nullptr);
  auto* game = Named<QComboBox>(w, "くじ");
  auto* numbers = Named<QLineEdit>(w, "番号");
  auto* type = Named<QComboBox>(w, "申込タイプ");
  auto* units = Named<QLineEdit>(w, "口数");
  auto* first = Named<QLineEdit>(w, "回号");
  auto* draws = Named<QLineEdit>(w, "継続回数");
  QPushButton* record = ButtonText(w, "記録");
  ASSERT_TRUE(game && numbers && type && units && first && draws && record);
  // The games of the panels; ロト６ is the last, its next draw the first one after 2037.
  ASSERT_EQ(game->count(), static_cast<int>(kGames.size()));
  game->setCurrentIndex(GameIndex(Game::Lot6));
  EXPECT_EQ(first->text(), QStringLiteral("2038"));
  EXPECT_FALSE(type->isEnabled());
  numbers->setText(QStringLiteral("1 2 3"));
  units->setText(QStringLiteral("0"));
  draws->setText(QStringLiteral("11"));
  QTest::mouseClick(record, Qt::LeftButton);
  auto* faults = w->findChild<QLabel*>(QStringLiteral("faults"));
  EXPECT_EQ(faults->text(), QStringLiteral("番号：数字6個です（3個）。\n口数：1～99です。\n継続回数：1～10です。"));
  EXPECT_EQ(units->accessibleDescription(), QStringLiteral("口数：1～99です。"));
  EXPECT_EQ(first->accessibleDescription(), QString());
  EXPECT_EQ(w->Table()->model()->rowCount(), 0);  // nothing stored

  numbers->setText(QStringLiteral("1 2 3 4 5 6"));
  units->setText(QStringLiteral("2"));
  draws->setText(QStringLiteral("2"));
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(faults->text(), QString());
  EXPECT_EQ(w->Table()->model()->rowCount(), 2);  // one row per draw
  EXPECT_EQ(w->Table()->model()->index(0, 4).data().toString(), QStringLiteral("第2038回（2038～2039）"));
  EXPECT_EQ(w->Table()->model()->index(0, 5).data().toString(), QStringLiteral("400円"));
  EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("said"))->text(),
            QStringLiteral("記録しました：ロト６ 第2038回（2025年9月29日）～第2039回 A：01 02 03 04 05 06 2口"));
  // Numbers offers its types.
  game->setCurrentIndex(GameIndex(Game::Num3));
  EXPECT_TRUE(type->isEnabled());
  EXPECT_EQ(type->count(), 4);
}

TEST_F(PurchasesView, DeleteAsksFirstAndUndoBringsItBack) {
  ui::PurchasesWindow* w = Open();
  ASSERT_NE(w, nullptr);
  Named<QComboBox>(w, "くじ")->setCurrentIndex(GameIndex(Game::Lot6));
  Named<QLineEdit>(w, "番号")->setText(QStringLiteral("1 2 3 4 5 6"));
  QTest::mouseClick(ButtonText(w, "記録"), Qt::LeftButton);
  ASSERT_EQ(w->Table()->model()->rowCount(), 1);
  w->Table()->selectRow(0);
  // Answered No: nothing goes.
  WhenShown(ModalNamed<QMessageBox>(QStringLiteral("delete-question")),
            [](QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); });
  QTest::mouseClick(ButtonText(w, "削除"), Qt::LeftButton);
  EXPECT_EQ(w->Table()->model()->rowCount(), 1);
  WhenShown(ModalNamed<QMessageBox>(QStringLiteral("delete-question")),
            [](QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); });
  QTest::mouseClick(ButtonText(w, "削除"), Qt::LeftButton);
  EXPECT_EQ(w->Table()->model()->rowCount(), 0);
  QPushButton* undo = ButtonText(w, "削除を元に戻す");
  EXPECT_TRUE(undo->isEnabled());
  QTest::mouseClick(undo, Qt::LeftButton);
  EXPECT_EQ(w->Table()->model()->rowCount(), 1);
  EXPECT_FALSE(undo->isEnabled());
}

TEST_F(PurchasesView, TheSlipFillsWithEachStopAndCopiesWhole) {
  Roll(Game::Lot6);
  Roll(Game::Lot6);
  ui::PurchasesWindow* w = Open();
  ASSERT_NE(w, nullptr);
  QListWidget* slip = w->SlipList();
  EXPECT_EQ(slip->accessibleName(), QStringLiteral("申込カード"));
  ASSERT_EQ(slip->count(), 3);  // the title, lines A and B
  EXPECT_EQ(slip->item(0)->text(), QStringLiteral("ロト６ 第2038回（2025年9月29日）"));
  EXPECT_TRUE(slip->item(2)->text().startsWith(QStringLiteral("  ロト６ B：")));
  Roll(Game::Lot6);  // an open window shows the third line at once
  ASSERT_EQ(slip->count(), 4);
  // Ctrl+C in the slip: the whole slip; in the main window: the standing proposals, as ever.
  w->activateWindow();
  QApplication::setActiveWindow(w);
  slip->setFocus();
  QTest::keyClick(slip, Qt::Key_C, Qt::ControlModifier);
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_EQ(copied.split('\n').size(), 4);
  EXPECT_TRUE(copied.startsWith(QStringLiteral("ロト６ 第2038回（2025年9月29日）\nロト６ A：")));
  QTest::mouseClick(ButtonText(w, "購入記録へ"), Qt::LeftButton);
  EXPECT_EQ(w->Table()->model()->rowCount(), 3);  // three lines, one draw
}

TEST_F(PurchasesView, ThePanelMenuAndTheCheckWindowRecord) {
  Roll(Game::Mini);
  std::unique_ptr<QMenu> menu = window->BuildSystemMenu(Game::Mini);
  ASSERT_GE(menu->actions().size(), 3);
  EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8(text::kCopyMenuItem));
  EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("この予想を購入記録へ(&R)"));
  // Not on a panel, or on one without a proposal: no such item.
  for (std::optional<Game> at : {std::optional<Game>{}, std::optional<Game>{Game::Lot6}}) {
    const std::unique_ptr<QMenu> other = window->BuildSystemMenu(at);
    for (QAction* a : other->actions()) EXPECT_NE(a->text(), QStringLiteral("この予想を購入記録へ(&R)"));
  }
  bool purchasesItem = false;
  for (QAction* a : menu->actions())
    if (a->text() == QStringLiteral("購入記録(&L)...")) {
      purchasesItem = true;
      EXPECT_EQ(a->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    }
  EXPECT_TRUE(purchasesItem);
  // The item chosen from the menu: the proposal is recorded and the window shows it.
  WhenShown([] { return static_cast<QWidget*>(qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
            [](QWidget* popup) {
              QTest::keyClick(popup, Qt::Key_R);
            });
  const QRect group = Find(*window, Panel(Game::Mini).groupBox)->geometry();
  QContextMenuEvent event(QContextMenuEvent::Mouse, group.center() + QPoint(0, group.height() / 4),
                          window->mapToGlobal(group.center()));
  QApplication::sendEvent(window.get(), &event);
  auto* w = Purchases();
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(w->Table()->model()->rowCount(), 1);
  EXPECT_EQ(w->Table()->model()->index(0, 0).data().toString(), QStringLiteral("ミニロト"));

  // 記録 in the check window records the typed ticket.
  window->ShowCheck();
  auto* check = window->findChild<QDialog*>(QStringLiteral("check"));
  ASSERT_NE(check, nullptr);
  auto* tabs = check->findChild<QTabWidget*>(QStringLiteral("check-tabs"));
  ASSERT_NE(tabs, nullptr);
  tabs->setCurrentIndex(GameIndex(Game::Lot6));
  QWidget* tab = tabs->currentWidget();
  tab->findChild<QLineEdit*>(QStringLiteral("ticket"))->setText(QStringLiteral("3 13 23 33 43 1"));
  auto* record = tab->findChild<QPushButton*>(QStringLiteral("record-button"));
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->isVisible());
  EXPECT_EQ(record->text(), QStringLiteral("記録"));
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(tab->findChild<QLabel*>(QStringLiteral("outcome"))->text(),
            QStringLiteral("記録しました：ロト６ 第2038回（2025年9月29日） A：01 03 13 23 33 43 1口"));
  EXPECT_EQ(w->Table()->model()->rowCount(), 2);
  tab->findChild<QLineEdit*>(QStringLiteral("ticket"))->setText(QStringLiteral("3 13"));
  QTest::mouseClick(record, Qt::LeftButton);
  EXPECT_EQ(tab->findChild<QLabel*>(QStringLiteral("refusal"))->text(), QStringLiteral("番号：数字6個です（2個）。"));
  EXPECT_EQ(w->Table()->model()->rowCount(), 2);
}

TEST_F(PurchasesView, AWinIsMarkedReceived) {
  ui::PurchasesWindow* w = Open();
  ASSERT_NE(w, nullptr);
  // Loto 6 2037 (2025-09-25) 7.12.20.23.27.29: four of these, 4等, paid up to 2026-09-25.
  Named<QComboBox>(w, "くじ")->setCurrentIndex(GameIndex(Game::Lot6));
  Named<QLineEdit>(w, "番号")->setText(QStringLiteral("1 2 7 12 20 23"));
  Named<QLineEdit>(w, "回号")->setText(QStringLiteral("2037"));
  QTest::mouseClick(ButtonText(w, "記録"), Qt::LeftButton);
  ASSERT_EQ(w->Table()->model()->rowCount(), 1);
  QPushButton* received = ButtonText(w, "受取済み");
  EXPECT_FALSE(received->isEnabled());  // no row chosen
  w->Table()->selectRow(0);
  EXPECT_TRUE(received->isEnabled());
  EXPECT_FALSE(received->isChecked());
  EXPECT_EQ(w->Table()->model()->index(0, 8).data().toString(), QStringLiteral("2026年9月25日"));
  QTest::mouseClick(received, Qt::LeftButton);
  EXPECT_EQ(w->Table()->model()->index(0, 8).data().toString(), QStringLiteral("2026年9月25日（受取済み）"));
  EXPECT_TRUE(received->isChecked());
  QTest::mouseClick(received, Qt::LeftButton);  // and back
  EXPECT_EQ(w->Table()->model()->index(0, 8).data().toString(), QStringLiteral("2026年9月25日"));
}

TEST_F(PurchasesView, ADamagedDatabaseIsNamedTheFormIsOffTheFileStays) {
  // Nothing has opened the database yet: a file put there now is what the window finds.
  const QByteArray junk("SQLite format 3\0 but cut short here", 36);
  {
    QFile f(lists.Path("numira.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(junk);
  }
  ui::PurchasesWindow* w = Open();
  ASSERT_NE(w, nullptr);
  const QString said = w->findChild<QLabel*>(QStringLiteral("summary"))->text();
  EXPECT_TRUE(said.contains(lists.Path("numira.db"))) << said.toStdString();
  EXPECT_FALSE(Named<QLineEdit>(w, "番号")->isEnabled());
  EXPECT_FALSE(ButtonText(w, "記録")->isEnabled());
  // The rest of the program works; the file is as it was.
  Roll(Game::Num3);
  EXPECT_FALSE(window->Dialog().ProposalsText().empty());
  QFile f(lists.Path("numira.db"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), junk);
}

}  // namespace
}  // namespace numira::uitest
