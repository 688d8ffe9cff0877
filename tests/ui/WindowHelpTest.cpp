// The window as players use it: the keyboard focus after a stop, copying the proposals,
// the filters' candidate counts, the dialog face on menus and boxes, and the colours and
// the history window on a dark palette.
#include <QAbstractItemView>
#include <QAccessible>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableView>
#include <QtTest/QTest>

#include "Colours.h"
#include "ControlLabel.h"
#include "Fonts.h"
#include "HistoryWindow.h"
#include "TestData.h"
#include "Texts.h"
#include "UiTestSupport.h"
#include "WindowPlacement.h"

namespace numira::uitest {
namespace {

class Help : public RollingWindowTest {
 protected:
  void SetUp() override {
    ShownWindowTest::SetUp();
    QApplication::setActiveWindow(window.get());
  }
};

TEST_F(Help, AfterAStopByKeyboardTheFocusComesBackToThePredictButton) {
  for (Game g : kShownGames) {
    const PanelDef& p = Panel(g);
    QPushButton* predict = Button(*window, p.predictButton);
    predict->setFocus();
    QTest::keyClick(predict, Qt::Key_Space);  // start
    ASSERT_TRUE(window->TimerArmed(p.timerId));
    window->FireTimer(p.timerId);
    QTest::keyClick(predict, Qt::Key_Space);  // stop: the button is disabled
    EXPECT_FALSE(predict->isEnabled());
    // No other control took it: the next Space would tick a filter or start a refresh.
    EXPECT_EQ(window->focusWidget(), window.get()) << GameIndex(g);
    QTest::keyClick(window.get(), Qt::Key_Space);
    for (const PanelDef& other : kPanels) EXPECT_FALSE(CheckBox(*window, other.checkBox)->isChecked());
    EXPECT_EQ(Label(*window, ctl::kStatus)->text(), QString());  // no refresh started
    RunRollToEnd(*window, p.timerId);
    EXPECT_EQ(window->focusWidget(), predict) << GameIndex(g);
  }
  // A stop while another control has the focus (as an assistive tool presses a button)
  // leaves the focus there.
  QPushButton* close = Button(*window, ctl::kClose);
  close->setFocus();
  const PanelDef& mini = Panel(Game::Mini);
  Button(*window, mini.predictButton)->click();
  window->FireTimer(mini.timerId);
  Button(*window, mini.predictButton)->click();
  RunRollToEnd(*window, mini.timerId);
  EXPECT_EQ(window->focusWidget(), close);
}

TEST_F(Help, CtrlCAndTheMenuCopyTheStandingProposals) {
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  std::unique_ptr<QMenu> menu = window->BuildSystemMenu();
  EXPECT_EQ(menu->actions().front()->text(), QString::fromUtf8(text::kHistoryMenuItem));  // nothing to copy
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

  Roll(Game::Num4);
  Roll(Game::Mini);
  QString mini;
  for (int id : ResultFields(Game::Mini))
    mini += (mini.isEmpty() ? "" : " ") + QStringLiteral("%1").arg(Label(*window, id)->text().toInt(), 2, 10, QChar('0'));
  const QString expected =
      QStringLiteral("ナンバーズ４：") + Label(*window, ctl::kNum4Result)->text() + QStringLiteral("\nミニロト：") + mini;
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);

  // The menu's first item copies too, with the same shortcut shown.
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  menu = window->BuildSystemMenu();
  ASSERT_EQ(menu->actions().size(), 10);  // copy, history, check, purchases, 表示するくじ, 自動更新, はずれも通知, settings, a separator, about
  EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8(text::kCopyMenuItem));
  EXPECT_EQ(menu->actions()[0]->shortcut(), QKeySequence(QKeySequence::Copy));
  EXPECT_EQ(menu->actions()[1]->text(), QString::fromUtf8(text::kHistoryMenuItem));
  WhenShown([] { return static_cast<QWidget*>(qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
            [](QWidget* popup) {
              // The menu uses the dialog's face, not a fallback face.
              EXPECT_EQ(QFontInfo(popup->font()).family(), QFontInfo(ui::DialogFont()).family());
              QTest::keyClick(popup, Qt::Key_Down);
              QTest::keyClick(popup, Qt::Key_Return);
            });
  const QPoint at(window->width() - 5, 5);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
  QApplication::sendEvent(window.get(), &event);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
}

// The mnemonics of a menu's items and of its submenus' items, each menu apart: every
// letter once within its menu ("&&" is a plain "&").
void ExpectUniqueMnemonics(QMenu* menu, const std::string& name) {
  std::map<QChar, QString> seen;
  for (QAction* a : menu->actions()) {
    if (a->menu()) ExpectUniqueMnemonics(a->menu(), name + " > " + a->text().toStdString());
    const QString t = a->text();
    for (qsizetype i = 0; i + 1 < t.size(); ++i) {
      if (t[i] != QLatin1Char('&')) continue;
      if (t[i + 1] == QLatin1Char('&')) {
        ++i;
        continue;
      }
      const QChar key = t[i + 1].toUpper();
      const auto [it, fresh] = seen.emplace(key, t);
      EXPECT_TRUE(fresh) << name << ": &" << QString(key).toStdString() << " in " << t.toStdString() << " and "
                         << it->second.toStdString();
      break;
    }
  }
}

TEST_F(Help, EveryMenuHasEachMnemonicOnce) {
  std::unique_ptr<QMenu> menu = window->BuildSystemMenu();
  ExpectUniqueMnemonics(menu.get(), "window menu");
  Roll(Game::Num3);  // with a proposal standing, the copy item comes first
  menu = window->BuildSystemMenu();
  ASSERT_EQ(menu->actions().front()->text(), QString::fromUtf8(text::kCopyMenuItem));
  ExpectUniqueMnemonics(menu.get(), "window menu with a proposal");
  // On the panel of that proposal, the item that records it as well.
  menu = window->BuildSystemMenu(Game::Num3);
  ASSERT_EQ(menu->actions()[1]->text(), QStringLiteral("この予想を購入記録へ(&R)"));
  ExpectUniqueMnemonics(menu.get(), "panel menu with a proposal");
  // The check item's letter is its shortcut's.
  for (QAction* a : menu->actions())
    if (a->text() == QString::fromUtf8(text::kCheckMenuItem)) {
      EXPECT_TRUE(a->text().contains(QStringLiteral("(&K)")));
      EXPECT_EQ(a->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    }
  // The menus of the side windows and of their fields.
  QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    for (QMenu* m : top->findChildren<QMenu*>()) ExpectUniqueMnemonics(m, m->objectName().toStdString());
    for (QLineEdit* field : top->findChildren<QLineEdit*>()) {
      std::unique_ptr<QMenu> own(field->createStandardContextMenu());
      ExpectUniqueMnemonics(own.get(), field->objectName().toStdString());
    }
  }
}

TEST_F(Help, TheDropDownTellsItsCandidateCountAlsoToAScreenReader) {
  QComboBox* n3 = Combo(*window, ctl::kNum3Filter);
  // Counted from the draw history: numbers 000 to 999 never drawn.
  const auto drawn = testing::DrawCounts("numbers3.csv");
  const QString never = QStringLiteral("候補：%1個").arg(QLocale(QLocale::English).toString(1000 - static_cast<int>(drawn.size())));
  EXPECT_EQ(n3->toolTip(), never);
  // Its open list, a window of its own, has the dialog's face too.
  EXPECT_EQ(QFontInfo(n3->view()->font()).family(), QFontInfo(ui::DialogFont()).family());
  EXPECT_EQ(n3->accessibleDescription(), never);
  n3->setCurrentIndex(2);
  int five = 0;
  for (const auto& [number, n] : drawn) five += n >= 5 ? 1 : 0;
  EXPECT_EQ(n3->toolTip(), QStringLiteral("候補：%1個").arg(QLocale(QLocale::English).toString(five)));
  QComboBox* lot6 = Combo(*window, ctl::kLot6Filter);
  lot6->setCurrentIndex(1);
  EXPECT_EQ(lot6->toolTip(), QStringLiteral("候補：%1通り").arg(QLocale(QLocale::English).toString(
                                 static_cast<qlonglong>(testing::DrawCounts("loto6.csv").size()))));
  lot6->setCurrentIndex(0);
  EXPECT_EQ(lot6->toolTip(), QStringLiteral("候補：6,094,417通り"));
}

TEST_F(Help, MessageBoxesUseTheDialogFace) {
  bool seen = false;
  WhenShown(ModalNamed<QMessageBox>(QStringLiteral("message")), [&](QWidget* box) {
    seen = true;
    EXPECT_EQ(QFontInfo(box->font()).family(), QFontInfo(ui::DialogFont()).family());
    static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
  });
  window->MessageBox("データがありません。", "ぬみら", MessageIcon::Warning);
  EXPECT_TRUE(seen);
}

TEST_F(Help, OnADarkPaletteEveryColouredTextIsReadableAndTheHistoryFollows) {
  Roll(Game::Num3);
  QTest::mouseClick(Button(*window, Panel(Game::Lot6).predictButton), Qt::LeftButton);
  window->FireTimer(Panel(Game::Lot6).timerId);  // rolling in red
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  auto* history = window->findChild<ui::HistoryWindow*>();
  ASSERT_NE(history, nullptr);
  const auto chart = [history] { return history->findChild<QChartView*>(QStringLiteral("chart"))->chart(); };
  EXPECT_EQ(chart()->theme(), QChart::ChartThemeLight);
  // The axis labels are in the window's font size.
  for (QAbstractAxis* axis : chart()->axes())
    EXPECT_EQ(axis->labelsFont().pointSizeF(), history->font().pointSizeF());

  const QPalette before = QApplication::palette();
  QApplication::setPalette(DarkPalette());
  QApplication::processEvents();
  for (int id : {ctl::kNum3Result, ctl::kLot6Result1, ctl::kNotice}) {
    QLabel* label = Label(*window, id);
    const QColor text = TextPixel(label);
    // Antialiasing blends the glyphs' edges; their cores carry the colour.
    EXPECT_GE(Contrast(text, label->palette().color(QPalette::Window)), 4.5) << id;
  }
  EXPECT_EQ(chart()->theme(), QChart::ChartThemeDark);
  // The last proposal's cells stay readable: white text on a dark red.
  auto* tabs = history->findChild<QTabWidget*>();
  ASSERT_NE(tabs, nullptr);
  auto* table = tabs->widget(0)->findChild<QTableView*>(QStringLiteral("table"));
  ASSERT_NE(table, nullptr);
  bool marked = false;
  for (int r = 0; r < table->model()->rowCount(); ++r)
    for (int c = 0; c < table->model()->columnCount(); ++c) {
      const QModelIndex i = table->model()->index(r, c);
      const QVariant back = i.data(Qt::BackgroundRole);
      if (!back.isValid()) continue;
      marked = true;
      EXPECT_GE(Contrast(back.value<QBrush>().color(), table->palette().color(QPalette::Text)), 4.5);
    }
  EXPECT_TRUE(marked);

  // Back to the light palette: the classic colours again.
  QApplication::setPalette(before);
  QApplication::processEvents();
  EXPECT_EQ(chart()->theme(), QChart::ChartThemeLight);
  EXPECT_GT(CountPixels(Label(*window, ctl::kNum3Result), kBlue), 10);
  EXPECT_GT(CountPixels(Label(*window, ctl::kNotice), kDarkGreen), 10);
  history->close();
}

}  // namespace
}  // namespace numira::uitest

namespace numira::uitest {
namespace {

TEST_F(Help, TheHistoryWindowOpensBesideTheMainWindowWhenTheScreenHasRoom) {
  const QRect area = window->screen()->availableGeometry();
  window->move(area.topLeft());
  QApplication::processEvents();
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  auto* history = window->findChild<ui::HistoryWindow*>();
  ASSERT_NE(history, nullptr);
  const QRect main = window->frameGeometry(), beside = history->frameGeometry();
  const int room = area.right() - main.right() - kBesideGap;
  if (room >= beside.width()) {
    // To the right, top at the main window's top, within the screen, covering nothing.
    EXPECT_FALSE(beside.intersects(main));
    EXPECT_EQ(beside.left(), main.right() + 1 + kBesideGap);
    EXPECT_EQ(beside.top(), main.top());
    EXPECT_TRUE(area.contains(beside));
  } else {
    // No room (the test screen of 800 x 600): left where the window manager puts it,
    // at its own size.
    EXPECT_EQ(history->size(), QSize(880, 680).boundedTo(area.size() * 9 / 10));
  }
  history->close();
}

}  // namespace
}  // namespace numira::uitest
