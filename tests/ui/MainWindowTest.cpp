// The main window's controls, layout, fonts, initial state and window services.
#include <QAccessible>
#include <QFontInfo>
#include <QGroupBox>
#include <QScreen>
#include <QtTest/QTest>

#include "ControlLabel.h"
#include "DialogUnits.h"
#include "Fonts.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

using testing::FakeClock;

bool IsResultField(int id) {
  const ControlDef* c = FindControl(id);
  return c && (c->style & kResultField);
}

class Window : public WindowTest {};

TEST_F(Window, EveryVisibleControlIsCreatedWithItsIdKindAndTemplatePlace) {
  const ui::DialogUnits du(window->font());
  ASSERT_GT(du.BaseX(), 3);
  ASSERT_GT(du.BaseY(), 7);
  int created = 0;
  for (const ControlDef& c : kMainControls) {
    QWidget* w = Find(*window, c.id);
    if (c.kind == ControlKind::ListBox) {
      EXPECT_EQ(w, nullptr) << c.id;
      continue;
    }
    ASSERT_NE(w, nullptr) << c.id;
    EXPECT_EQ(w->isHidden(), (c.style & kHidden) != 0) << c.id;
    ++created;
    EXPECT_EQ(w->objectName(), QString::number(c.id));
    EXPECT_EQ(w->parentWidget(), window.get()) << c.id;
    switch (c.kind) {
      case ControlKind::CheckBox: EXPECT_NE(dynamic_cast<QCheckBox*>(w), nullptr) << c.id; break;
      case ControlKind::DropDown:
        ASSERT_NE(dynamic_cast<QComboBox*>(w), nullptr) << c.id;
        EXPECT_FALSE(static_cast<QComboBox*>(w)->isEditable());
        break;
      case ControlKind::PushButton: EXPECT_NE(dynamic_cast<QPushButton*>(w), nullptr) << c.id; break;
      case ControlKind::GroupBox: EXPECT_NE(dynamic_cast<QGroupBox*>(w), nullptr) << c.id; break;
      case ControlKind::StaticText: EXPECT_NE(dynamic_cast<ui::ControlLabel*>(w), nullptr) << c.id; break;
      default: ADD_FAILURE() << "unexpected widget for " << c.id;
    }
    const QRect expected = du.Rect(c.x, c.y, c.w, c.h);
    if (c.kind == ControlKind::DropDown) {
      // The table's height is the open list's; the closed box is shorter.
      EXPECT_EQ(w->geometry().topLeft(), expected.topLeft()) << c.id;
      // At least as wide as the table says: wider where its longest item needs it.
      EXPECT_GE(w->width(), expected.width()) << c.id;
      EXPECT_LE(w->height(), expected.height()) << c.id;
      EXPECT_GE(w->height(), du.Y(10)) << c.id;
    } else {
      EXPECT_EQ(w->geometry(), expected) << c.id;
    }
  }
  EXPECT_EQ(created, 36);
  // The fixed client size of 307 x 215 units.
  EXPECT_EQ(window->size(), du.Size(kDialogWidth, kDialogHeight));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(Window, DialogUnitsFollowTheFontAndRoundLikeWindows) {
  const ui::DialogUnits du(7, 13);
  EXPECT_EQ(du.X(4), 7);
  EXPECT_EQ(du.X(307), 537);  // 537.25
  EXPECT_EQ(du.X(2), 4);      // 3.5 rounds up
  EXPECT_EQ(du.Y(8), 13);
  EXPECT_EQ(du.Y(215), 349);  // 349.375
  EXPECT_EQ(du.Y(14), 23);    // 22.75
  // A larger font gives larger units.
  QFont big = window->font();
  big.setPointSize(18);
  const ui::DialogUnits normal(window->font()), large(big);
  EXPECT_GT(large.BaseX(), normal.BaseX());
  EXPECT_GT(large.BaseY(), normal.BaseY());
}

TEST_F(Window, TemplateTextsOfButtonsAndCheckBoxesAndTheNotice) {
  // The window's texts as the users know them, by control ID (the widgets' objectName).
  const std::pair<int, const char*> buttons[] = {
      {1000, "予想"}, {1003, "予想"}, {1005, "予想"}, {1011, "予想"}, {1019, "当せん数字情報ダウンロード"},
      {1038, "ぬみら について"}, {1021, "閉じる"}, {1, "OK"}, {2, "ｷｬﾝｾﾙ"}};
  for (const auto& [id, text] : buttons) EXPECT_EQ(Button(*window, id)->text(), QString::fromUtf8(text)) << id;
  for (int id : {1029, 1035, 1036, 1037}) EXPECT_EQ(CheckBox(*window, id)->text(), QStringLiteral("絞り込み")) << id;
  EXPECT_EQ(Label(*window, 1022)->text(),
            QStringLiteral("当せん数字情報は月曜日～金曜日の20:00～20:30の時間帯に更新しています。"));
  // The placeholders are gone after initialisation.
  for (const PanelDef& p : kPanels)
    for (int id : ResultFields(p.game)) EXPECT_EQ(Label(*window, id)->text(), QString()) << id;
  EXPECT_EQ(Label(*window, ctl::kStatus)->text(), QString());
  EXPECT_EQ(window->Text(ctl::kOk), "OK");
  EXPECT_EQ(window->Text(ctl::kCancel), FindControl(ctl::kCancel)->text);
  // The OK button is the (hidden) default button.
  EXPECT_TRUE(Button(*window, ctl::kOk)->isDefault());
  // The scratch list has no widget but keeps a text.
  EXPECT_EQ(window->Text(ctl::kSorter), "");
  window->SetText(ctl::kSorter, "x");
  EXPECT_EQ(window->Text(ctl::kSorter), "x");
}

TEST_F(Window, StatusLineTextsAreShownWhole) {
  QLabel* status = Label(*window, 1020);
  for (const char* text : {"保存先のパスが長すぎます。付属の情報を表示中。", "一部の最新情報をダウンロードできませんでした。",
                           "最新情報をダウンロードしています・・・", "2026年08月21日 20時30分05秒"})
    EXPECT_GE(status->width(), status->fontMetrics().horizontalAdvance(QString::fromUtf8(text))) << text;
}

TEST_F(Window, TabOrderIsTheTableOrder) {
  std::vector<QWidget*> expected;
  for (const ControlDef& c : kMainControls)
    if ((c.style & kTabStop) && Find(*window, c.id)) expected.push_back(Find(*window, c.id));
  ASSERT_EQ(expected.size(), 17u);
  std::vector<QWidget*> seen;
  QWidget* w = expected.front();
  do {
    if (std::find(expected.begin(), expected.end(), w) != expected.end()) seen.push_back(w);
    w = w->nextInFocusChain();
  } while (w != expected.front() && seen.size() < expected.size());
  EXPECT_EQ(seen, expected);
  for (const ControlDef& c : kMainControls)
    if (QWidget* cw = Find(*window, c.id); cw && !(c.style & kTabStop)) {
      EXPECT_EQ(cw->focusPolicy(), Qt::NoFocus) << c.id;
    }
}

TEST_F(Window, TitleFrameAndIcon) {
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8(text::kWindowTitle));
  EXPECT_EQ(window->WindowTitle(), text::kWindowTitle);
  const Qt::WindowFlags f = window->windowFlags();
  EXPECT_TRUE(f & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(f & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(window->parentWidget(), nullptr);
  EXPECT_FALSE(window->windowIcon().isNull());
  // The title bar's and task switcher's sizes; the larger ones come from the icon theme.
  const QList<QSize> iconSizes = window->windowIcon().availableSizes();
  for (int size : {16, 24, 32, 48, 64}) EXPECT_TRUE(iconSizes.contains(QSize(size, size))) << size;
  for (int size : {128, 256}) EXPECT_FALSE(iconSizes.contains(QSize(size, size))) << size;
  // Every size shows the rendered picture pixel for pixel, as Qt's own PNG reader reads it.
  for (int size : {16, 24, 32, 48, 64}) {
    const QImage file(QStringLiteral(NUMIRA_ICON_DIR "/%1.png").arg(size));
    ASSERT_FALSE(file.isNull()) << size;
    EXPECT_EQ(window->windowIcon().pixmap(size, size).toImage(), QPixmap::fromImage(file).toImage()) << size;
  }
}

TEST_F(Window, DialogFontAndBoldResultFontOnTheResultFieldsOnly) {
  const QString face = QString::fromUtf8(ui::kDialogFace);
  EXPECT_EQ(window->font().family(), face);
  EXPECT_EQ(window->font().pointSize(), 9);
  EXPECT_EQ(QFont::substitutes(face).value(0).toLower(), QStringLiteral("ipapgothic"));
  EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
  int bold = 0;
  for (const ControlDef& c : kMainControls) {
    QWidget* w = Find(*window, c.id);
    if (!w) continue;
    EXPECT_EQ(w->font().family(), face) << c.id;
    const bool isBold = w->font().weight() >= QFont::Bold;
    EXPECT_EQ(isBold, IsResultField(c.id)) << c.id;
    bold += isBold;
  }
  std::size_t resultFields = 0;
  for (const PanelDef& p : kPanels) resultFields += ResultFields(p.game).size();
  EXPECT_EQ(bold, static_cast<int>(resultFields));
}

TEST_F(Window, WithListsCheckBoxesAreEnabledAndCaptionsDated) {
  for (const PanelDef& p : kPanels) {
    EXPECT_TRUE(CheckBox(*window, p.checkBox)->isEnabled());
    EXPECT_FALSE(CheckBox(*window, p.checkBox)->isChecked());
    QComboBox* combo = Combo(*window, p.dropDown);
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->count(), static_cast<int>(FilterItems(p.game).size()));
    EXPECT_EQ(combo->itemText(0).toStdString(), "未当せん");
    auto* group = Widget<QGroupBox>(*window, p.groupBox);
    EXPECT_TRUE(group->isEnabled());
    const QString prefix = QString::fromStdString(DatedCaption(p.game, ""));
    EXPECT_TRUE(group->title().startsWith(prefix)) << group->title().toStdString();
    EXPECT_GT(group->title().size(), prefix.size());
    EXPECT_TRUE(Button(*window, p.predictButton)->isEnabled());
  }
}

TEST(WindowNoLists, PanelsStayPlainAndDisabledButPredictWorks) {
  FakeClock clock;
  ListDir empty = ListDir::Empty();
  auto window = MakeWindow(empty, clock);
  for (const PanelDef& p : kPanels) {
    EXPECT_FALSE(CheckBox(*window, p.checkBox)->isEnabled());
    EXPECT_FALSE(Combo(*window, p.dropDown)->isEnabled());
    auto* group = Widget<QGroupBox>(*window, p.groupBox);
    EXPECT_TRUE(group->isEnabled());
    EXPECT_EQ(group->title(), QString::fromStdString(PlainCaption(p.game)));
  }
  QTest::mouseClick(Button(*window, ctl::kNum4Predict), Qt::LeftButton);
  EXPECT_TRUE(window->TimerArmed(Panel(Game::Num4).timerId));
  EXPECT_EQ(Button(*window, ctl::kNum4Predict)->text(), QString::fromUtf8(text::kStop));
}

TEST_F(Window, CheckBoxEnablesItsDropDownAndTheSelectionSurvives) {
  window->show();
  for (const PanelDef& p : kPanels) {
    QCheckBox* box = CheckBox(*window, p.checkBox);
    QComboBox* combo = Combo(*window, p.dropDown);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(combo->isEnabled());
    combo->setCurrentIndex(1);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_EQ(combo->currentIndex(), 1);
    // The keyboard toggles it as well.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_EQ(window->SelectedText(p.dropDown), combo->itemText(1).toStdString());
    // So does a screen reader's Toggle action, which emits no click.
    QAccessibleActionInterface* action = QAccessible::queryAccessibleInterface(box)->actionInterface();
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    action->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(combo->isEnabled());
    action->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(combo->isEnabled());
    // Other panels are untouched.
    for (const PanelDef& q : kPanels)
      if (q.game != p.game) {
        EXPECT_FALSE(Combo(*window, q.dropDown)->isEnabled());
      }
    QTest::keyClick(box, Qt::Key_Space);
  }
}

TEST_F(Window, GroupBoxesLetClicksReachThePanelControls) {
  window->show();
  for (const ControlDef& c : kMainControls) {
    QWidget* w = Find(*window, c.id);
    if (!w || c.kind == ControlKind::GroupBox || w->isHidden()) continue;
    const QPoint centre = w->geometry().center();
    EXPECT_EQ(window->childAt(centre), w) << c.id;
  }
}

TEST_F(Window, NoticeIsDarkGreenAndStatusLineRedBeforeAnyRefresh) {
  window->show();
  EXPECT_GT(CountPixels(Label(*window, ctl::kNotice), kDarkGreen), 20);
  window->SetText(ctl::kStatus, text::kDownloading);
  QLabel* status = Label(*window, ctl::kStatus);
  EXPECT_EQ(status->text(), QString::fromUtf8(text::kDownloading));
  EXPECT_GT(CountPixels(status, kRed), 20);
  EXPECT_EQ(CountPixels(status, kBlue), 0);
  // Buttons, check boxes and group boxes keep the default colours.
  for (int id : {ctl::kNum3Predict, ctl::kNum3Check, ctl::kNum3Group, ctl::kAbout})
    for (const QColor& c : {kRed, kBlue, kDarkGreen}) EXPECT_EQ(CountPixels(Find(*window, id), c), 0) << id;
}

TEST_F(Window, UpdateNowPaintsPendingTextsAtOnce) {
  window->show();
  QApplication::processEvents();
  QLabel* status = Label(*window, ctl::kStatus);
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      paints += e->type() == QEvent::Paint ? 1 : 0;
      return false;
    }
  } counter;
  status->installEventFilter(&counter);
  window->SetText(ctl::kStatus, text::kDownloading);
  EXPECT_EQ(counter.paints, 0);  // only scheduled
  window->UpdateNow();
  EXPECT_GT(counter.paints, 0);
  status->removeEventFilter(&counter);
  EXPECT_GT(CountPixels(status, kRed), 20);
}

TEST_F(Window, TimersAreOneShotPreciseAndRearmable) {
  window->SetTimer(7, 500);
  EXPECT_TRUE(window->TimerArmed(7));
  EXPECT_EQ(window->TimerInterval(7), 500);
  window->SetTimer(7, 20);
  EXPECT_EQ(window->TimerInterval(7), 20);
  window->KillTimer(7);
  EXPECT_FALSE(window->TimerArmed(7));
  EXPECT_EQ(window->TimerInterval(7), -1);
  window->KillTimer(8);  // never armed: nothing happens
  // A wait between the milliseconds is kept to the microsecond (and shows rounded up).
  window->SetTickTimer(7, std::chrono::microseconds(9400));
  EXPECT_EQ(window->TimerInterval(7), 10);
  QElapsedTimer waited;
  waited.start();
  QTRY_VERIFY_WITH_TIMEOUT(!window->TimerArmed(7), 2000);
  EXPECT_GE(waited.nsecsElapsed(), 9'400'000);
  // A real tick of an id the dialog does not know does nothing and stays disarmed.
  window->SetTimer(9, 1);
  QTRY_VERIFY_WITH_TIMEOUT(!window->TimerArmed(9), 2000);
}

TEST_F(Window, WaitCursorNestsAndEnds) {
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  window->BeginWaitCursor();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  window->EndWaitCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  window->EndWaitCursor();  // unbalanced: ignored
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Window, CentredOnTheScreen) {
  window->show();
  QApplication::processEvents();
  window->move(0, 0);
  window->CenterWindow();
  const QRect screen = window->screen()->availableGeometry();
  const QPoint d = window->frameGeometry().center() - screen.center();
  EXPECT_LE(std::abs(d.x()), 1);
  EXPECT_LE(std::abs(d.y()), 1);
}

TEST_F(Window, ControlsExposeTheirTextAndStateToAccessibility) {
  window->show();
  QTest::mouseClick(Button(*window, ctl::kLot6Predict), Qt::LeftButton);
  window->FireTimer(Panel(Game::Lot6).timerId);
  window->SetText(ctl::kStatus, text::kDownloadFailed);
  for (const ControlDef& c : kMainControls) {
    QWidget* w = Find(*window, c.id);
    if (!w) continue;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(a, nullptr) << c.id;
    EXPECT_EQ(a->state().disabled, !w->isEnabled()) << c.id;
    const std::string text = window->Text(c.id);
    if (c.kind == ControlKind::DropDown)
      EXPECT_EQ(a->text(QAccessible::Value).toStdString(), text) << c.id;
    else
      EXPECT_EQ(a->text(QAccessible::Name).toStdString(), text) << c.id;
  }
  // A result field's accessible name follows its text.
  QAccessibleInterface* field = QAccessible::queryAccessibleInterface(Find(*window, ctl::kLot6Result1));
  EXPECT_FALSE(field->text(QAccessible::Name).isEmpty());
  EXPECT_EQ(field->text(QAccessible::Name), Label(*window, ctl::kLot6Result1)->text());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(Find(*window, ctl::kStatus))->text(QAccessible::Name).toStdString(),
            text::kDownloadFailed);
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(Find(*window, ctl::kLot6Check))->state().disabled);
}

}  // namespace
}  // namespace numira::uitest
