// The check window: how it opens and closes, its tables against the draw histories, the
// ticket's field, a check and a refusal, and what a proposal or new draws change.
#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QtTest/QTest>

#include "CheckWindow.h"
#include "TestData.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

ui::CheckWindow* CheckOf(const QWidget& main) { return main.findChild<ui::CheckWindow*>(); }
QTabWidget* TabsOf(const ui::CheckWindow* c) { return c->findChild<QTabWidget*>(QStringLiteral("check-tabs")); }
QWidget* Tab(ui::CheckWindow* c, int tab) { return TabsOf(c)->widget(tab); }
template <class T>
T* In(ui::CheckWindow* c, int tab, const char* name) {
  T* t = Tab(c, tab)->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(t, nullptr) << name;
  return t;
}
QString Cell(QTableView* t, int row, int column) { return t->model()->index(row, column).data().toString(); }

class CheckWin : public RollingWindowTest {
 protected:
  void SetUp() override {
    ShownWindowTest::SetUp();
    // The draw and prize files beside the lists, as the seeding or a refresh leaves them.
    ASSERT_TRUE(QDir().mkpath(lists.Path("draws")));
    ASSERT_TRUE(QDir().mkpath(lists.Path("prizes")));
    for (const Game game : kGames) {
      const QString name = QString::fromStdString(HistoryFileName(game));
      ASSERT_TRUE(QFile::copy(QStringLiteral(NUMIRA_DRAWS_DIR "/") + name, lists.Path("draws") + "/" + name));
      if (QFile::exists(QStringLiteral(NUMIRA_PRIZES_DIR "/") + name)) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(NUMIRA_PRIZES_DIR "/") + name, lists.Path("prizes") + "/" + name));
      }
    }
    window->Dialog().DrawFilesChanged();
  }
  void Open() {
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
    ASSERT_NE(CheckOf(*window), nullptr);
  }
  // Types a ticket on a tab, picks a type and presses 照合.
  void CheckTicket(int tab, const QString& typed, int type = 0) {
    ui::CheckWindow* c = CheckOf(*window);
    TabsOf(c)->setCurrentIndex(tab);
    auto* field = In<QLineEdit>(c, tab, "ticket");
    field->clear();
    field->insert(typed);  // as an input method would give it (full-width digits too)
    if (type > 0) In<QComboBox>(c, tab, "ticket-type")->setCurrentIndex(type);
    QTest::mouseClick(In<QPushButton>(c, tab, "check-button"), Qt::LeftButton);
  }
};

TEST_F(CheckWin, OpensWithCtrlKAndFromTheMenuAsOneNonModalWindow) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  EXPECT_TRUE(c->isVisible());
  EXPECT_FALSE(c->isModal());
  EXPECT_EQ(c->windowTitle(), QStringLiteral("当せん照合"));
  // Every game, whichever panels the main window shows.
  ASSERT_EQ(TabsOf(c)->count(), 6);
  const QStringList names{"ナンバーズ３", "ナンバーズ４", "ミニロト", "ロト６", "ロト７", "ビンゴ５"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(TabsOf(c)->tabText(i), names[i]);

  // The menu item right below the history item raises the same window.
  TabsOf(c)->setCurrentIndex(3);
  c->hide();
  WhenShown([] { return static_cast<QWidget*>(qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
            [](QWidget* popup) {
              const QList<QAction*> actions = static_cast<QMenu*>(popup)->actions();
              int history = -1;
              for (int i = 0; i < actions.size(); ++i)
                if (actions[i]->text() == QStringLiteral("当せん履歴(&H)...")) history = i;
              ASSERT_GE(history, 0);
              ASSERT_LT(history + 1, actions.size());
              EXPECT_EQ(actions[history + 1]->text(), QStringLiteral("当せん照合(&K)..."));
              EXPECT_EQ(actions[history + 1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
              static_cast<QMenu*>(popup)->setActiveAction(actions[history + 1]);
              QTest::keyClick(popup, Qt::Key_Return);
            });
  const QPoint at(window->width() - 5, 5);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
  QApplication::sendEvent(window.get(), &event);
  EXPECT_EQ(CheckOf(*window), c);
  EXPECT_TRUE(c->isVisible());
  EXPECT_EQ(TabsOf(c)->currentIndex(), 3);
  EXPECT_EQ(window->findChildren<ui::CheckWindow*>().size(), 1);

  // Escape closes it, even from its ticket field; the next opening starts afresh.
  QTest::keyClick(In<QLineEdit>(c, 3, "ticket"), Qt::Key_Escape);
  EXPECT_FALSE(c->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(CheckOf(*window), nullptr);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(CheckWin, TablesHoldEveryDrawNewestFirstAsRealTables) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  struct Expect {
    int tab;
    const char* csv;
    QStringList columns, newest;
  };
  const Expect cases[] = {
      {0, "numbers3.csv", {"回号", "抽選日", "当せん番号"}, {"7054", "2026年8月21日", "286"}},
      {1, "numbers4.csv", {"回号", "抽選日", "当せん番号"}, {"7054", "2026年8月21日", "9577"}},
      {2, "miniloto.csv", {"回号", "抽選日", "当せん番号", "ボーナス数字"}, {"1353", "2025年9月23日", "06 11 13 14 18", ""}},
      {3, "loto6.csv", {"回号", "抽選日", "当せん番号", "ボーナス数字", "キャリーオーバー"},
       {"2037", "2025年9月25日", "07 12 20 23 27 29", "", "195,374,667円"}},
      {4, "loto7.csv", {"回号", "抽選日", "当せん番号", "ボーナス数字", "キャリーオーバー"},
       {"691", "2026年8月21日", "08 10 20 22 23 27 37", "02 09", "（金額未発表）"}},
      {5, "bingo5.csv", {"回号", "抽選日", "当せん番号"}, {"484", "2026年8月19日", "01 09 13 17 23 28 34 40"}},
  };
  for (const Expect& e : cases) {
    SCOPED_TRACE(e.tab);
    QTableView* table = In<QTableView>(c, e.tab, "draws");
    const std::vector<std::string> csv = testing::DrawHistory(e.csv);
    ASSERT_EQ(table->model()->rowCount(), static_cast<int>(csv.size()));
    ASSERT_EQ(table->model()->columnCount(), e.columns.size());
    for (int col = 0; col < e.columns.size(); ++col) {
      EXPECT_EQ(table->model()->headerData(col, Qt::Horizontal).toString(), e.columns[col]);
      EXPECT_EQ(Cell(table, 0, col), e.newest[col]);
    }
    // The oldest draw last, numbered 1.
    EXPECT_EQ(Cell(table, table->model()->rowCount() - 1, 0), QStringLiteral("1"));
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(table);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->tableInterface(), nullptr);
    EXPECT_EQ(a->tableInterface()->rowCount(), static_cast<int>(csv.size()));
    EXPECT_EQ(a->tableInterface()->columnDescription(2), QStringLiteral("当せん番号"));
  }
  EXPECT_EQ(In<QTableView>(c, 3, "draws")->accessibleName(), QStringLiteral("ロト６ 抽選結果の表"));
}

TEST_F(CheckWin, TheTicketFieldIsLabelledAndOffersTheGamesTypes) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  for (int tab = 0; tab < 4; ++tab) {
    auto* field = In<QLineEdit>(c, tab, "ticket");
    auto* label = In<QLabel>(c, tab, "ticket-label");
    EXPECT_EQ(label->text(), QStringLiteral("番号"));
    EXPECT_EQ(label->buddy(), field);
    EXPECT_EQ(field->accessibleName(), QStringLiteral("番号"));
    EXPECT_EQ(In<QPushButton>(c, tab, "check-button")->text(), QStringLiteral("照合"));
  }
  TabsOf(c)->setCurrentIndex(0);
  auto* n3 = In<QComboBox>(c, 0, "ticket-type");
  QStringList items;
  for (int i = 0; i < n3->count(); ++i) items << n3->itemText(i);
  EXPECT_EQ(items, (QStringList{"ストレート", "ボックス", "セット", "ミニ"}));
  EXPECT_EQ(n3->accessibleName(), QStringLiteral("申込タイプ"));
  EXPECT_TRUE(n3->isVisible());
  EXPECT_EQ(In<QComboBox>(c, 1, "ticket-type")->count(), 3);
  TabsOf(c)->setCurrentIndex(3);
  EXPECT_FALSE(In<QComboBox>(c, 3, "ticket-type")->isVisible());
}

TEST_F(CheckWin, ACheckShowsItsOutcomeAndARefusalTakesItsPlace) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  const QString outcome286 = QStringLiteral("第7054回（2026年8月21日）：ストレート\n過去の当せん：12回");
  CheckTicket(0, QStringLiteral("２８６"));
  EXPECT_EQ(In<QLabel>(c, 0, "outcome")->text(), outcome286);
  QTableView* wins = In<QTableView>(c, 0, "wins");
  ASSERT_EQ(wins->model()->rowCount(), 12);
  EXPECT_EQ(Cell(wins, 0, 0), QStringLiteral("7054"));
  EXPECT_EQ(Cell(wins, 0, 2), QStringLiteral("ストレート"));
  EXPECT_EQ(wins->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("等級"));
  EXPECT_FALSE(In<QLabel>(c, 0, "refusal")->isVisible());

  // Enter in the field checks too. A bad ticket says what is wrong, and only that: the
  // outcome of the ticket before is gone with its table.
  auto* field = In<QLineEdit>(c, 0, "ticket");
  field->clear();
  QTest::keyClicks(field, QStringLiteral("28"));
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_TRUE(c->isVisible());
  QLabel* refusal = In<QLabel>(c, 0, "refusal");
  EXPECT_TRUE(refusal->isVisible());
  EXPECT_EQ(refusal->text(), QStringLiteral("番号は3桁の数字です（入力は2桁）。"));
  EXPECT_EQ(refusal->accessibleName(), refusal->text());
  EXPECT_FALSE(In<QLabel>(c, 0, "outcome")->isVisible());
  EXPECT_EQ(In<QLabel>(c, 0, "outcome")->text(), QString());
  EXPECT_EQ(wins->model()->rowCount(), 0);

  CheckTicket(0, QStringLiteral("86"), 3);
  EXPECT_FALSE(refusal->isVisible());
  EXPECT_TRUE(In<QLabel>(c, 0, "outcome")->isVisible());
  EXPECT_TRUE(In<QLabel>(c, 0, "outcome")->text().startsWith(QStringLiteral("第7054回（2026年8月21日）：ミニ\n")));

  CheckTicket(3, QStringLiteral("7 12 20 23 27 29"));
  EXPECT_TRUE(In<QLabel>(c, 3, "outcome")->text().startsWith(QStringLiteral("第2037回（2025年9月25日）：1等（該当なし）\n")));
  EXPECT_EQ(Cell(In<QTableView>(c, 3, "wins"), 0, 2), QStringLiteral("1等"));
  // What each win paid, beside its tier.
  CheckTicket(3, QStringLiteral("7 12 20 23 27 1"));
  EXPECT_TRUE(In<QLabel>(c, 3, "outcome")->text().startsWith(QStringLiteral("第2037回（2025年9月25日）：3等（ボーナス数字不明）\n")));
  CheckTicket(3, QStringLiteral("7 12 20 23 1 2"));
  EXPECT_TRUE(In<QLabel>(c, 3, "outcome")->text().startsWith(QStringLiteral("第2037回（2025年9月25日）：4等 5,300円\n")));
  QTableView* loto6Wins = In<QTableView>(c, 3, "wins");
  EXPECT_EQ(loto6Wins->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("当せん金額"));
  EXPECT_EQ(Cell(loto6Wins, 0, 3), QStringLiteral("5,300円"));
}

TEST_F(CheckWin, ABingo5TicketShowsAsItsCardWithFreeInTheCentre) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  TabsOf(c)->setCurrentIndex(5);
  QApplication::processEvents();
  auto* card = In<QWidget>(c, 5, "card");
  EXPECT_TRUE(card->isVisible());
  const auto square = [&](int at) { return card->findChild<QLabel*>(QStringLiteral("square-%1").arg(at)); };
  // Before a check: an empty card but its centre.
  for (int at = 0; at < 9; ++at) EXPECT_EQ(square(at)->text(), at == 4 ? QStringLiteral("FREE") : QString()) << at;
  // Draw 484: 1.9.13.17.23.28.34.40. Both diagonals through FREE.
  CheckTicket(5, QStringLiteral("1 6 13 16 21 28 31 40"));
  EXPECT_TRUE(In<QLabel>(c, 5, "outcome")->text().startsWith(QStringLiteral("第484回（2026年8月19日）：6等\n")));
  const QStringList texts{"01", "06", "13", "16", "FREE", "21", "28", "31", "40"};
  for (int at = 0; at < 9; ++at) {
    EXPECT_EQ(square(at)->text(), texts[at]) << at;
    EXPECT_EQ(square(at)->font().bold(), at % 2 == 0) << at;  // the matched squares and FREE
  }
  // A square on a complete line stands out from one that is not.
  EXPECT_EQ(square(0)->backgroundRole(), QPalette::Highlight);
  EXPECT_EQ(square(1)->backgroundRole(), QPalette::Base);
  EXPECT_NE(square(0)->grab().toImage().pixelColor(3, 3), square(1)->grab().toImage().pixelColor(3, 3));
  EXPECT_EQ(card->accessibleName(), QStringLiteral("ビンゴ５ のカード：01○ 06 13○／16 FREE 21／28○ 31 40○（2ライン）"));
  // No amount column for a game without a prize table.
  EXPECT_EQ(In<QTableView>(c, 5, "wins")->model()->columnCount(), 3);
  // A refusal leaves no card.
  CheckTicket(5, QStringLiteral("1 2"));
  EXPECT_EQ(square(0)->text(), QString());
  // The other games have none.
  for (int tab = 0; tab < 5; ++tab) {
    TabsOf(c)->setCurrentIndex(tab);
    EXPECT_FALSE(In<QWidget>(c, tab, "card")->isVisible()) << tab;
  }
}

TEST_F(CheckWin, TheRefusalIsRedAndReadableOnADarkPalette) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  CheckTicket(0, QStringLiteral("2"));
  QLabel* refusal = In<QLabel>(c, 0, "refusal");
  ASSERT_TRUE(refusal->isVisible());
  // The classic red on the usual light palette.
  EXPECT_GT(CountPixels(refusal, kRed), 10);
  const QPalette before = QApplication::palette();
  QApplication::setPalette(DarkPalette());
  QApplication::processEvents();
  EXPECT_GE(Contrast(TextPixel(refusal), refusal->palette().color(QPalette::Window)), 4.5);
  EXPECT_EQ(CountPixels(refusal, kRed), 0);
  QApplication::setPalette(before);
}

TEST_F(CheckWin, TheTicketsRowStaysWhereItIsAndAPastedPageIsRefusedInALineThatFits) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  const QSize size = c->size();
  const QStringList tickets{"286", "", "", "7 12 20 23 27 29", "", "1 6 13 16 21 28 31 40"};
  for (int tab : {0, 3, 5}) {
    TabsOf(c)->setCurrentIndex(tab);
    QApplication::processEvents();
    auto* field = In<QLineEdit>(c, tab, "ticket");
    const QPoint place = field->mapTo(c, QPoint(0, 0));
    const auto stays = [&] {
      QApplication::processEvents();
      EXPECT_EQ(field->mapTo(c, QPoint(0, 0)), place);
    };
    CheckTicket(tab, tickets[tab]);
    stays();
    CheckTicket(tab, QStringLiteral("x"));
    stays();
    // Ten thousand characters pasted: the window keeps its size and the line its place.
    CheckTicket(tab, QString(10000, QLatin1Char('1')));
    stays();
    QLabel* refusal = In<QLabel>(c, tab, "refusal");
    ASSERT_TRUE(refusal->isVisible());
    EXPECT_EQ(c->size(), size);
    EXPECT_LE(refusal->fontMetrics().horizontalAdvance(refusal->text()), refusal->contentsRect().width())
        << refusal->text().toStdString();
    CheckTicket(tab, QString(10000, QChar(0xFF11)));  // full-width "１"
    stays();
    EXPECT_EQ(c->size(), size);
    EXPECT_LE(refusal->fontMetrics().horizontalAdvance(refusal->text()), refusal->contentsRect().width());
  }
}

TEST_F(CheckWin, TheKeyboardWalksFromTheTicketThroughItsTypeAndTheButtonToTheTables) {
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  QApplication::setActiveWindow(c);
  // Opening puts the keyboard in 番号.
  EXPECT_EQ(QApplication::focusWidget(), In<QLineEdit>(c, 0, "ticket"));
  const auto tab = [](int times) {
    for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget();
  };
  EXPECT_EQ(tab(1), In<QComboBox>(c, 0, "ticket-type"));
  EXPECT_EQ(tab(1), In<QPushButton>(c, 0, "check-button"));
  QTableView* draws = In<QTableView>(c, 0, "draws");
  EXPECT_EQ(tab(1), draws);
  // Tab leaves a table at once, not cell by cell.
  EXPECT_EQ(tab(1), In<QTableView>(c, 0, "wins"));
  EXPECT_NE(tab(1), In<QTableView>(c, 0, "wins"));
  // Shift+Tab walks back.
  In<QPushButton>(c, 0, "check-button")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), In<QComboBox>(c, 0, "ticket-type"));

  // Ctrl+Tab and Ctrl+PgDown go to the next tab from any control inside, Ctrl+Shift+Tab
  // and Ctrl+PgUp to the one before; each new tab has the keyboard in its 番号.
  const struct {
    const char* from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int to;
  } steps[] = {
      {"ticket-type", Qt::Key_Tab, Qt::ControlModifier, 1},
      {"draws", Qt::Key_PageDown, Qt::ControlModifier, 2},
      {"ticket", Qt::Key_PageDown, Qt::ControlModifier, 3},
      {"wins", Qt::Key_Tab, Qt::ControlModifier, 4},
      {"draws", Qt::Key_PageDown, Qt::ControlModifier, 5},
      {"ticket", Qt::Key_Tab, Qt::ControlModifier, 0},
      {"draws", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 5},
      {"check-button", Qt::Key_PageUp, Qt::ControlModifier, 4},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(std::string(s.from) + " to " + std::to_string(s.to));
    QWidget* from = Tab(c, TabsOf(c)->currentIndex())->findChild<QWidget*>(QString::fromLatin1(s.from));
    ASSERT_NE(from, nullptr);
    if (!from->isVisible()) from = In<QLineEdit>(c, TabsOf(c)->currentIndex(), "ticket");
    from->setFocus();
    QTest::keyClick(from, s.key, s.modifiers);
    EXPECT_EQ(TabsOf(c)->currentIndex(), s.to);
    EXPECT_EQ(QApplication::focusWidget(), In<QLineEdit>(c, s.to, "ticket"));
  }
  // A Loto tab has no type: 番号, then 照合.
  TabsOf(c)->setCurrentIndex(3);
  EXPECT_EQ(QApplication::focusWidget(), In<QLineEdit>(c, 3, "ticket"));
  EXPECT_EQ(tab(1), In<QPushButton>(c, 3, "check-button"));
  EXPECT_EQ(tab(1), In<QTableView>(c, 3, "draws"));
  // Typed and checked by keyboard alone.
  In<QLineEdit>(c, 3, "ticket")->setFocus();
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7 12 20 23 27 29"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_TRUE(In<QLabel>(c, 3, "outcome")->text().startsWith(QStringLiteral("第2037回")));
}

TEST_F(CheckWin, AProposalPrefillsTheTicketAndNewDrawsShowInTheOpenWindow) {
  Roll(Game::Num3);
  Open();
  ui::CheckWindow* c = CheckOf(*window);
  const QString proposal = Label(*window, ctl::kNum3Result)->text();
  EXPECT_EQ(proposal.size(), 3);
  EXPECT_EQ(In<QLineEdit>(c, 0, "ticket")->text(), proposal);
  EXPECT_TRUE(In<QLineEdit>(c, 3, "ticket")->text().isEmpty());
  // A new proposal takes the place of the one prefilled, never of a ticket typed in.
  QTest::keyClicks(In<QLineEdit>(c, 3, "ticket"), QStringLiteral("1 2 3 4 5 6"));
  Roll(Game::Lot6);
  Roll(Game::Num3);
  EXPECT_EQ(In<QLineEdit>(c, 3, "ticket")->text(), QStringLiteral("1 2 3 4 5 6"));
  EXPECT_EQ(In<QLineEdit>(c, 0, "ticket")->text(), Label(*window, ctl::kNum3Result)->text());

  CheckTicket(2, QStringLiteral("6 11 13 14 18"));
  EXPECT_FALSE(In<QLabel>(c, 2, "outcome")->text().isEmpty());
  testing::WriteBytes((lists.Path("draws") + "/miniloto.csv").toStdString(),
                      "draw_no,date,numbers,bonus\n1,1999-04-13,1.3.17.20.25,31\n");
  window->Dialog().DrawFilesChanged();
  QTableView* draws = In<QTableView>(c, 2, "draws");
  ASSERT_EQ(draws->model()->rowCount(), 1);
  EXPECT_EQ(Cell(draws, 0, 3), QStringLiteral("31"));
  // The old outcome was of the old draws.
  EXPECT_TRUE(In<QLabel>(c, 2, "outcome")->text().isEmpty());
  EXPECT_EQ(In<QTableView>(c, 2, "wins")->model()->rowCount(), 0);
}

}  // namespace
}  // namespace numira::uitest
