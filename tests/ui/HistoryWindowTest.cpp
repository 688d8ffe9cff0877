// The history window: how it opens and closes, its tabs, tables and charts against the
// figures, the marked last proposal, and the proposal's tooltips on the main window.
#include <QAccessible>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTabWidget>
#include <QTableView>
#include <QtTest/QTest>

#include "HistoryWindow.h"
#include "TestData.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

// The open history window (a child of the main window), or nullptr; its tabs.
ui::HistoryWindow* HistoryOf(const QWidget& main) { return main.findChild<ui::HistoryWindow*>(); }
QTabWidget* TabsOf(const ui::HistoryWindow* h) { return h->findChild<QTabWidget*>(); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

QWidget* Page(ui::HistoryWindow* h, int tab) {
  return TabsOf(h)->widget(tab)->findChild<QWidget*>(QStringLiteral("content"));
}
QTableView* Table(ui::HistoryWindow* h, int tab) { return Page(h, tab)->findChild<QTableView*>(QStringLiteral("table")); }
QString Cell(QTableView* t, int row, int column) { return t->model()->index(row, column).data().toString(); }

// Counts the times a window is told that a modal window blocks its input.
struct BlockSpy : QObject {
  int blocked = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    blocked += e->type() == QEvent::WindowBlocked;
    return false;
  }
};

class History : public RollingWindowTest {
 protected:
  void Open() {
    // Keyboard shortcuts reach the active window.
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_NE(HistoryOf(*window), nullptr);
  }
};

TEST_F(History, OpensWithCtrlHAndFromTheMenuAsOneNonModalWindow) {
  Open();
  ui::HistoryWindow* h = HistoryOf(*window);
  EXPECT_TRUE(h->isVisible());
  EXPECT_FALSE(h->isModal());
  EXPECT_EQ(h->windowTitle(), QString::fromUtf8(text::kHistoryTitle));
  // Every game, whichever panels the main window shows.
  ASSERT_EQ(TabsOf(h)->count(), 6);
  for (const PanelDef& p : kPanels)
    EXPECT_EQ(TabsOf(h)->tabText(static_cast<int>(GameIndex(p.game))), Q(FindControl(p.groupBox)->text));
  const QStringList names{"ナンバーズ３", "ナンバーズ４", "ミニロト", "ロト６", "ロト７", "ビンゴ５"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(TabsOf(h)->tabText(i), names[i]);
  // The main window still takes clicks while it is open.
  QTest::mouseClick(Button(*window, ctl::kNum3Predict), Qt::LeftButton);
  EXPECT_TRUE(window->TimerArmed(Panel(Game::Num3).timerId));

  // The menu item, above the about item, raises the same window, which the modal main
  // window does not block.
  TabsOf(h)->setCurrentIndex(2);
  h->hide();
  BlockSpy spy;
  h->installEventFilter(&spy);
  WhenShown([] { return static_cast<QWidget*>(qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
            [](QWidget* popup) {
              EXPECT_EQ(static_cast<QMenu*>(popup)->actions().front()->text(), QString::fromUtf8(text::kHistoryMenuItem));
              QTest::keyClick(popup, Qt::Key_Down);
              QTest::keyClick(popup, Qt::Key_Return);
            });
  const QPoint at(window->width() - 5, 5);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
  QApplication::sendEvent(window.get(), &event);
  EXPECT_EQ(HistoryOf(*window), h);
  EXPECT_TRUE(h->isVisible());
  EXPECT_EQ(TabsOf(h)->currentIndex(), 2);
  EXPECT_EQ(window->findChildren<ui::HistoryWindow*>().size(), 1);
  EXPECT_TRUE(window->isModal());
  EXPECT_EQ(spy.blocked, 0);

  // Escape closes it, even from its table, and it is gone: the next opening starts afresh.
  QTest::keyClick(Table(h, 2), Qt::Key_Escape);
  EXPECT_FALSE(h->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(HistoryOf(*window), nullptr);
  EXPECT_TRUE(window->findChildren<ui::HistoryWindow*>().isEmpty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(History, EachTabShowsItsPageInATableAndAChart) {
  Open();
  ui::HistoryWindow* h = HistoryOf(*window);
  for (Game g : kGames) {
    const int tab = static_cast<int>(GameIndex(g));
    SCOPED_TRACE(tab);
    const HistoryPage page = window->Dialog().History(g);
    QStringList lines;
    for (const std::string& l : page.lines) lines << Q(l);
    EXPECT_EQ(Page(h, tab)->findChild<QLabel*>(QStringLiteral("summary"))->text(), lines.join('\n'));

    QTableView* table = Table(h, tab);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->model()->rowCount(), static_cast<int>(page.rows.size()));
    ASSERT_EQ(table->model()->columnCount(), static_cast<int>(page.columns.size()));
    for (int c = 0; c < table->model()->columnCount(); ++c) {
      EXPECT_EQ(table->model()->headerData(c, Qt::Horizontal).toString(), Q(page.columns[static_cast<std::size_t>(c)]));
      for (int r = 0; r < table->model()->rowCount(); ++r)
        EXPECT_EQ(Cell(table, r, c), Q(page.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)].text));
    }
    // A real table to assistive technology: cells under named column headers.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(table);
    EXPECT_EQ(a->role(), QAccessible::Table);
    ASSERT_NE(a->tableInterface(), nullptr);
    EXPECT_EQ(a->tableInterface()->columnDescription(1), Q(page.columns[1]));

    auto* chart = Page(h, tab)->findChild<QChartView*>(QStringLiteral("chart"));
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->accessibleName(), Q(page.chartName));
    EXPECT_TRUE(chart->accessibleName().endsWith(QStringLiteral("グラフ")));
    auto* series = static_cast<QBarSeries*>(chart->chart()->series().front());
    ASSERT_EQ(series->count(), static_cast<int>(page.bars.size()));
    // A few bars and cells against the draw history the shipped lists were built from.
    const char* csv = testing::kDrawFiles[GameIndex(g)];
    const int numbers[] = {0, 0, 31, 43, 37, 40};  // how many numbers each game draws from
    const bool digits = numbers[tab] == 0;
    const std::uint64_t fifth = !digits ? testing::NumberDrawCounts(csv, numbers[tab])[5]
                                        : testing::DigitDrawCounts(csv, g == Game::Num3 ? 3 : 4).back()[5];
    EXPECT_EQ(series->barSets().back()->at(5), fifth);
    EXPECT_EQ(Cell(table, 5, !digits ? 1 : table->model()->columnCount() - 1), QString::number(fifth));
    EXPECT_EQ(table->model()->rowCount(), digits ? 10 : numbers[tab]);
  }
  EXPECT_EQ(Table(h, 4)->accessibleName(), QStringLiteral("ロト７ 数字別当せん回数の表"));
  EXPECT_EQ(Page(h, 5)->findChild<QChartView*>(QStringLiteral("chart"))->accessibleName(),
            QStringLiteral("ビンゴ５ 数字別当せん回数のグラフ"));
  // The headlines of the two games without a panel, from their lists: 691 and 484 draws.
  EXPECT_EQ(Page(h, 4)->findChild<QLabel*>(QStringLiteral("summary"))->text(),
            QStringLiteral("最新抽選日：2026年8月21日　抽選回数：691回"));
  EXPECT_EQ(Page(h, 5)->findChild<QLabel*>(QStringLiteral("summary"))->text(),
            QStringLiteral("最新抽選日：2026年8月19日　抽選回数：484回"));
  EXPECT_EQ(Table(h, 3)->accessibleName(), QStringLiteral("ロト６ 数字別当せん回数の表"));
}

TEST_F(History, AHeaderClickSortsByTheNumbersBehindTheCells) {
  Open();
  QTableView* table = Table(HistoryOf(*window), 3);
  const auto counts = testing::NumberDrawCounts("loto6.csv", 43);
  const auto [low, high] = std::minmax_element(counts.begin(), counts.end());
  QHeaderView* header = table->horizontalHeader();
  // A click on a new column sorts it ascending, a second click descending.
  const struct {
    int column;
    QString firstNumberOrCount;
  } clicks[] = {{2, QString::number(*low)}, {2, QString::number(*high)}, {0, QStringLiteral("1")}, {0, QStringLiteral("43")}};
  for (const auto& click : clicks) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, {header->sectionViewportPosition(click.column) + 5, 5});
    EXPECT_EQ(Cell(table, 0, click.column == 2 ? 1 : 0), click.firstNumberOrCount) << click.column;
  }
}

TEST_F(History, TheLastProposalIsMarkedAndToldInTheResultFieldsTooltips) {
  Roll(Game::Lot6);
  Open();
  ui::HistoryWindow* h = HistoryOf(*window);
  QTableView* table = Table(h, 3);
  auto* bars = static_cast<QBarSeries*>(Page(h, 3)->findChild<QChartView*>()->chart()->series().front())->barSets().front();
  for (int id : ResultFields(Game::Lot6)) {
    QLabel* field = Label(*window, id);
    EXPECT_TRUE(field->toolTip().startsWith(field->text() + " の当せん回数：")) << id;
    EXPECT_EQ(field->accessibleDescription(), field->toolTip());
    const int row = field->text().toInt() - 1;
    EXPECT_EQ(table->model()->index(row, 1).data(Qt::AccessibleDescriptionRole).toString(),
              QString::fromUtf8(text::kLastProposalMark));
    EXPECT_TRUE(bars->isBarSelected(row));
  }
  int marked = 0;
  for (int r = 0; r < table->model()->rowCount(); ++r) marked += bars->isBarSelected(r);
  EXPECT_EQ(marked, 6);

  // A fresh roll is marked in the open window; the other games' tabs stay as they were.
  const QPointer<QWidget> num3(Page(h, 0)), lot6(Page(h, 3));
  const std::string before = window->Dialog().LastProposal(Game::Lot6);
  for (int i = 0; i < 20 && window->Dialog().LastProposal(Game::Lot6) == before; ++i) {
    clock.seconds += 1;
    Roll(Game::Lot6);
  }
  const int first = Label(*window, ResultFields(Game::Lot6)[0])->text().toInt();
  EXPECT_FALSE(Table(h, 3)->model()->index(first - 1, 0).data(Qt::BackgroundRole).isNull());
  EXPECT_TRUE(lot6.isNull());
  EXPECT_FALSE(num3.isNull());
}

TEST_F(History, ANewReadOfAListShowsInTheOpenWindow) {
  Open();
  testing::WriteBytes(lists.Path("MiniCorrect.txt").toStdString(), "#2026\x94\x4E" "1\x8C\x8E" "9\x93\xFA\r\n1.2.3.4.5,1\r\n");
  window->Dialog().ReadList(Game::Mini, ListKind::Correct);
  ui::HistoryWindow* h = HistoryOf(*window);
  EXPECT_EQ(Page(h, 2)->findChild<QLabel*>(QStringLiteral("summary"))->text(), QStringLiteral("最新抽選日：2026年1月9日　抽選回数：1回"));
  EXPECT_EQ(Cell(Table(h, 2), 0, 2), QStringLiteral("100.0%"));
  EXPECT_EQ(Cell(Table(h, 2), 5, 2), QStringLiteral("0.0%"));
  // A list that cannot be read leaves no figures: the tab says so.
  QFile::remove(lists.Path("MiniCorrect.txt"));
  window->Dialog().ReadList(Game::Mini, ListKind::Correct);
  EXPECT_EQ(Page(h, 2)->findChild<QLabel*>(QStringLiteral("summary"))->text(), QString::fromUtf8(text::kNoData));
  EXPECT_EQ(Table(h, 2), nullptr);
  EXPECT_EQ(Page(h, 2)->findChild<QChartView*>(), nullptr);
}

TEST_F(History, TheTwoNewGamesTellHowManyDrawsAgoEachNumberCameUpAndNewFilesShowInTheOpenWindow) {
  ASSERT_TRUE(QDir().mkpath(lists.Path("draws")));
  for (const char* csv : {"loto7.csv", "bingo5.csv"})
    ASSERT_TRUE(QFile::copy(QStringLiteral(NUMIRA_DRAWS_DIR "/") + csv, lists.Path("draws") + "/" + csv));
  Open();
  ui::HistoryWindow* h = HistoryOf(*window);
  // Loto 7 691: 8.10.20.22.23.27.37; 690: 3.10.14.17.18.20.25. ビンゴ５ 484: 1.9.13.17.23.28.34.40.
  const struct {
    int tab, number;
    QString since;
  } cells[] = {{4, 8, "0"}, {4, 37, "0"}, {4, 3, "1"}, {4, 14, "1"}, {5, 1, "0"}, {5, 40, "0"}};
  for (const auto& c : cells) EXPECT_EQ(Cell(Table(h, c.tab), c.number - 1, 3), c.since) << c.tab << " " << c.number;
  EXPECT_EQ(Table(h, 4)->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("前回から"));

  // New lists and draws of a game without a panel (a refresh's extra files) show in the
  // open window.
  testing::WriteBytes(lists.Path("Lot7Correct.txt").toStdString(),
                      "#2026\x94\x4E" "9\x8C\x8E" "4\x93\xFA\r\n1.2.3.4.5.6.7,1\r\n");
  window->Dialog().DrawFilesChanged();
  EXPECT_EQ(Page(h, 4)->findChild<QLabel*>(QStringLiteral("summary"))->text(),
            QStringLiteral("最新抽選日：2026年9月4日　抽選回数：1回"));
  EXPECT_EQ(Cell(Table(h, 4), 0, 1), QStringLiteral("1"));
  EXPECT_EQ(Cell(Table(h, 4), 7, 1), QStringLiteral("0"));
}

TEST_F(History, TheProgramLoadsItFromTheLibraryBesideItAndSaysSoWhenThatIsMissing) {
  // Beside the build's numira lies the library: it makes the window, charts and all.
  const std::string library = NUMIRA_HISTORY_LIBRARY;
  std::string error;
  QPointer<ui::HistoryView> h =
      ui::HistoryFromLibraryBeside(library.substr(0, library.rfind('/') + 1) + "numira")(window.get(), error);
  ASSERT_FALSE(h.isNull()) << error;
  h->ShowPages({window->Dialog().History(Game::Lot6)});
  EXPECT_EQ(h->findChild<QTabWidget*>()->tabText(0), QStringLiteral("ロト６"));
  EXPECT_NE(h->findChild<QChartView*>(), nullptr);
  delete h;

  // A copy without it (the temporary folder of these lists): Ctrl+H says why, and the
  // window goes on.
  ui::MainWindow plain(clock, DialogSetup{lists.ExecutablePath(), "127.0.0.1:9"});
  plain.show();
  QString said;
  WhenShown(ModalNamed<QMessageBox>(QStringLiteral("message")), [&](QWidget* w) {
    said = static_cast<QMessageBox*>(w)->text();
    static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
  });
  plain.ShowHistory();
  EXPECT_TRUE(said.startsWith(QStringLiteral("当せん履歴を表示できません。\n"))) << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("numira-history.so"))) << said.toStdString();
  EXPECT_TRUE(plain.findChildren<ui::HistoryView*>().isEmpty());
  EXPECT_TRUE(plain.isVisible());
}

}  // namespace
}  // namespace numira::uitest
