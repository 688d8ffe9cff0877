// Rolls driven through the window: clicks, timer ticks, colours and message boxes.
#include <QElapsedTimer>
#include <QMessageBox>
#include <QtTest/QTest>
#include <stdexcept>

#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

using testing::FakeClock;

class Roll : public ShownWindowTest {};

TEST_F(Roll, Numbers3RollsInRedAndStandsInBlueAfterTheStop) {
  const PanelDef& p = Panel(Game::Num3);
  QPushButton* predict = Button(*window, p.predictButton);
  QLabel* field = Label(*window, p.resultFields[0]);

  QTest::mouseClick(predict, Qt::LeftButton);
  EXPECT_EQ(predict->text(), QString::fromUtf8(text::kStop));
  EXPECT_FALSE(CheckBox(*window, p.checkBox)->isEnabled());
  ASSERT_TRUE(window->TimerArmed(p.timerId));
  EXPECT_EQ(window->TimerInterval(p.timerId), 10);

  QStringList shown;
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(window->FireTimer(p.timerId));
    shown << field->text();
    EXPECT_EQ(window->TimerInterval(p.timerId), 10);
  }
  for (const QString& s : shown) {
    EXPECT_EQ(s.size(), 3) << s.toStdString();
    bool ok = false;
    s.toInt(&ok);
    EXPECT_TRUE(ok);
  }
  shown.removeDuplicates();
  EXPECT_GT(shown.size(), 1);  // the digits change
  EXPECT_GT(CountPixels(field, kRed), 10);
  EXPECT_EQ(CountPixels(field, kBlue), 0);

  QTest::mouseClick(predict, Qt::LeftButton);
  EXPECT_FALSE(predict->isEnabled());
  std::vector<int> intervals;
  int ticks = 0;
  while (window->TimerArmed(p.timerId)) {
    intervals.push_back(window->TimerInterval(p.timerId));
    ASSERT_TRUE(window->FireTimer(p.timerId));
    ++ticks;
    if (window->TimerArmed(p.timerId)) {
      EXPECT_GT(CountPixels(field, kRed), 10) << "tick " << ticks;
    }
    ASSERT_LT(ticks, 100);
  }
  EXPECT_EQ(ticks, 19);
  EXPECT_EQ(intervals.front(), 10);
  EXPECT_EQ(intervals[1], 20);
  EXPECT_EQ(intervals[2], 35);
  EXPECT_EQ(intervals.back(), 955);
  EXPECT_TRUE(predict->isEnabled());
  EXPECT_EQ(predict->text(), QString::fromUtf8(text::kPredict));
  EXPECT_TRUE(CheckBox(*window, p.checkBox)->isEnabled());
  EXPECT_EQ(field->text().size(), 3);
  EXPECT_GT(CountPixels(field, kBlue), 10);
  EXPECT_EQ(CountPixels(field, kRed), 0);

  // Starting again turns the field red at the first tick.
  QTest::mouseClick(predict, Qt::LeftButton);
  window->FireTimer(p.timerId);
  EXPECT_GT(CountPixels(field, kRed), 10);
  EXPECT_EQ(CountPixels(field, kBlue), 0);
}

TEST_F(Roll, TwoLotoGamesAreColouredIndependently) {
  const PanelDef& mini = Panel(Game::Mini);
  const PanelDef& lot6 = Panel(Game::Lot6);
  QTest::mouseClick(Button(*window, mini.predictButton), Qt::LeftButton);
  QTest::mouseClick(Button(*window, lot6.predictButton), Qt::LeftButton);
  for (int i = 0; i < 5; ++i) {
    window->FireTimer(mini.timerId);
    window->FireTimer(lot6.timerId);
  }
  QTest::mouseClick(Button(*window, lot6.predictButton), Qt::LeftButton);
  EXPECT_EQ(RunRollToEnd(*window, lot6.timerId), 19);
  EXPECT_TRUE(window->TimerArmed(mini.timerId));
  for (int id : ResultFields(Game::Lot6)) {
    EXPECT_GT(CountPixels(Find(*window, id), kBlue), 3) << id;
    EXPECT_EQ(CountPixels(Find(*window, id), kRed), 0) << id;
  }
  for (int id : ResultFields(Game::Mini)) {
    const int n = Label(*window, id)->text().toInt();
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 31);
    EXPECT_GT(CountPixels(Find(*window, id), kRed), 3) << id;
    EXPECT_EQ(CountPixels(Find(*window, id), kBlue), 0) << id;
  }
  // The Loto numbers stand sorted.
  int last = 0;
  for (int id : ResultFields(Game::Lot6)) {
    const int n = Label(*window, id)->text().toInt();
    EXPECT_GT(n, last);
    EXPECT_LE(n, 43);
    last = n;
  }
}

TEST_F(Roll, AFilteredLotoRollKeepsItsDropDownUntilTheEnd) {
  const PanelDef& p = Panel(Game::Mini);
  QTest::mouseClick(CheckBox(*window, p.checkBox), Qt::LeftButton);
  Combo(*window, p.dropDown)->setCurrentIndex(1);  // past winning combinations
  QTest::mouseClick(Button(*window, p.predictButton), Qt::LeftButton);
  EXPECT_FALSE(Combo(*window, p.dropDown)->isEnabled());
  EXPECT_FALSE(CheckBox(*window, p.checkBox)->isEnabled());
  window->FireTimer(p.timerId);
  QTest::mouseClick(Button(*window, p.predictButton), Qt::LeftButton);
  EXPECT_EQ(RunRollToEnd(*window, p.timerId), 19);
  EXPECT_TRUE(Combo(*window, p.dropDown)->isEnabled());
  EXPECT_TRUE(CheckBox(*window, p.checkBox)->isEnabled());
  QStringList numbers;
  for (int id : ResultFields(Game::Mini)) numbers << Label(*window, id)->text();
  // The proposal is one of the past winning combinations.
  const std::string combo = numbers.join('.').toStdString();
  const auto& won = window->Dialog().List(Game::Mini).wonEntries;
  EXPECT_NE(std::find(won.begin(), won.end(), combo), won.end()) << combo;
}

TEST_F(Roll, ARealRollOnTheEventLoopEndsBlueAfterItsSchedule) {
  const PanelDef& p = Panel(Game::Lot6);
  QPushButton* predict = Button(*window, p.predictButton);
  // The texts the first field had at each of its paintings: the window paints no more
  // frames than the screen shows, but never leaves a last change unpainted.
  struct Painted : QObject {
    QStringList texts;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Paint) texts << static_cast<QLabel*>(o)->text();
      return false;
    }
  } painted;
  Label(*window, p.resultFields[0])->installEventFilter(&painted);
  QTest::mouseClick(predict, Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!Label(*window, p.resultFields[0])->text().isEmpty(), 2000);
  QTest::qWait(100);
  EXPECT_GT(CountPixels(Find(*window, p.resultFields[0]), kRed), 3);
  QElapsedTimer sinceStop;
  QTest::mouseClick(predict, Qt::LeftButton);
  sinceStop.start();
  QTRY_VERIFY_WITH_TIMEOUT(predict->isEnabled(), 20000);
  // The slowing ticks add up to 6745 ms; timers never fire early.
  EXPECT_GE(sinceStop.elapsed(), 6700);
  QTest::qWait(100);  // a frame or two (grabbing the field below paints it as well)
  Label(*window, p.resultFields[0])->removeEventFilter(&painted);
  EXPECT_GT(painted.texts.size(), 20);
  EXPECT_EQ(painted.texts.back(), Label(*window, p.resultFields[0])->text());
  EXPECT_FALSE(window->TimerArmed(p.timerId));
  EXPECT_EQ(predict->text(), QString::fromUtf8(text::kPredict));
  for (int id : ResultFields(Game::Lot6)) EXPECT_GT(CountPixels(Find(*window, id), kBlue), 3) << id;
}

TEST(RollMessages, AnEmptyPoolShowsTheNoDataWarningAndStartsNothing) {
  // The won list is there (the box can be ticked), the never-won list is not.
  FakeClock clock;
  ListDir lists({"Num3Correct.txt"});
  auto window = MakeWindow(lists, clock);
  window->show();
  const PanelDef& p = Panel(Game::Num3);
  QTest::mouseClick(CheckBox(*window, p.checkBox), Qt::LeftButton);
  ASSERT_EQ(window->SelectedText(p.dropDown), "未当せん");

  bool seen = false;
  WhenShown(ModalNamed<QMessageBox>(QStringLiteral("message")), [&](QWidget* w) {
    auto* box = static_cast<QMessageBox*>(w);
    seen = true;
    EXPECT_EQ(box->text(), QString::fromUtf8(text::kNoData));
    EXPECT_EQ(box->windowTitle(), QString::fromUtf8(text::kWindowTitle));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(box->parentWidget(), window.get());
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(Button(*window, p.predictButton), Qt::LeftButton);
  EXPECT_TRUE(seen);
  EXPECT_FALSE(window->TimerArmed(p.timerId));
  EXPECT_EQ(Button(*window, p.predictButton)->text(), QString::fromUtf8(text::kPredict));
}

// A window whose timer service fails, as a write error would escape a handler.
class FailingWindow : public ProbedWindow {
 public:
  using ProbedWindow::ProbedWindow;
  void SetTickTimer(int, std::chrono::microseconds) override {
    throw std::runtime_error("/tmp/x へのｱｸｾｽ中に不明なｴﾗｰが発生しました。");
  }
};

TEST(RollMessages, AnErrorEscapingAHandlerIsShownInAStopBoxAndTheWindowGoesOn) {
  FakeClock clock;
  ListDir lists;
  FailingWindow window(clock, DialogSetup{lists.ExecutablePath(), {}});
  window.show();
  int boxes = 0;
  WhenShown([] { return QApplication::activeModalWidget(); }, [&](QWidget* w) {
    auto* box = dynamic_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    ++boxes;
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("numira"));  // the application's name
    EXPECT_EQ(box->text(), QString::fromUtf8("/tmp/x へのｱｸｾｽ中に不明なｴﾗｰが発生しました。"));
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(Button(window, ctl::kNum3Predict), Qt::LeftButton);
  EXPECT_EQ(boxes, 1);
  EXPECT_TRUE(window.isVisible());
  // The window still answers.
  QTest::mouseClick(CheckBox(window, ctl::kNum4Check), Qt::LeftButton);
  EXPECT_TRUE(Combo(window, ctl::kNum4Filter)->isEnabled());
}

}  // namespace
}  // namespace numira::uitest
