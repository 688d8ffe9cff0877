// Every text of the windows is shown whole: no label, drop-down item, button or check box
// cuts its text, with the packaged face, at the screen scales the program is run at (the
// test runs again under QT_SCALE_FACTOR=2, tests/ui/CMakeLists.txt).
#include <QGroupBox>
#include <QLineEdit>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QtTest/QTest>

#include "AboutBox.h"
#include "CheckWindow.h"
#include "DialogUnits.h"
#include "Fonts.h"
#include "TestData.h"
#include "Texts.h"
#include "UiTestSupport.h"

namespace numira::uitest {
namespace {

// The pixels a widget's text needs and the pixels it has.
struct Fit {
  QString what;
  int needed = 0, available = 0;
};

QString Named(const QWidget* w, const QString& text) {
  return QStringLiteral("%1 \"%2\" (%3)").arg(w->objectName(), text, QString::fromLatin1(w->metaObject()->className()));
}

int Widest(const QFontMetrics& fm, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) widest = std::max(widest, fm.horizontalAdvance(line));
  return widest;
}

// The text without its mnemonic marks, as it is drawn.
QString Shown(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

// Every shown label, drop-down, button and check box below `root` (itself included).
std::vector<Fit> Fits(QWidget* root) {
  std::vector<Fit> fits;
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* w : widgets) {
    if (!w->isVisibleTo(root) && w != root) continue;
    QStyle* style = w->style();
    if (auto* label = qobject_cast<QLabel*>(w)) {
      if (label->wordWrap() || label->text().isEmpty()) continue;
      const int margins = 2 * label->margin() + std::max(0, label->indent());
      fits.push_back({Named(w, label->text()), Widest(label->fontMetrics(), label->text()),
                      label->contentsRect().width() - margins});
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      QStyleOptionComboBox option;
      option.initFrom(combo);
      option.editable = combo->isEditable();
      option.frame = combo->hasFrame();
      const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
      for (int i = 0; i < combo->count(); ++i)
        // The item is drawn one pixel in from each side of the field.
        fits.push_back({Named(w, combo->itemText(i)), combo->fontMetrics().horizontalAdvance(combo->itemText(i)),
                        field.width() - 2});
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
      QStyleOptionButton option;
      option.initFrom(box);
      option.text = box->text();
      const QRect contents = style->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
      fits.push_back({Named(w, box->text()), box->fontMetrics().horizontalAdvance(Shown(box->text())),
                      contents.width()});
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
      if (button->text().isEmpty()) continue;
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      if (button->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
      if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
      const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      fits.push_back({Named(w, button->text()), button->fontMetrics().horizontalAdvance(Shown(button->text())),
                      contents.width()});
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      QStyleOptionGroupBox option;
      option.initFrom(group);
      option.text = group->title();
      option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
      const QRect label = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
      fits.push_back({Named(w, group->title()), label.left() + group->fontMetrics().horizontalAdvance(group->title()),
                      group->width()});
    }
  }
  return fits;
}

void ExpectAllFit(QWidget* root) {
  const std::vector<Fit> fits = Fits(root);
  EXPECT_FALSE(fits.empty());
  for (const Fit& f : fits)
    EXPECT_LE(f.needed, f.available) << f.what.toStdString() << " at scale " << root->devicePixelRatio();
}

// What grew to show its text covers no other control of the window.
void ExpectNoControlCoversAnother(QWidget* window) {
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isVisible() && !qobject_cast<QGroupBox*>(w)) controls << w;
  for (int i = 0; i < controls.size(); ++i)
    for (int k = i + 1; k < controls.size(); ++k)
      EXPECT_FALSE(controls[i]->geometry().intersects(controls[k]->geometry()))
          << controls[i]->objectName().toStdString() << " " << controls[k]->objectName().toStdString();
}

class TextFit : public RollingWindowTest {
 protected:
  void SetUp() override {
    ShownWindowTest::SetUp();
    QApplication::setActiveWindow(window.get());
  }
};

TEST_F(TextFit, TheMainWindowShowsEveryTextWhole) {
  // The face the package brings is the face in use.
  EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
  for (Game g : kShownGames) Roll(g);
  // The widest texts the fields take: the status line's longest form, and the widest digits.
  window->SetText(ctl::kStatus, text::kStatusPlaceholder);
  window->SetText(ctl::kNum4Result, "8888");
  window->SetText(ctl::kLot6Result1, "88");
  // A roll under way: its button says "!!! STOP !!!".
  const PanelDef& n4 = Panel(Game::Num4);
  QTest::mouseClick(Button(*window, n4.predictButton), Qt::LeftButton);
  window->FireTimer(n4.timerId);
  ASSERT_EQ(Button(*window, n4.predictButton)->text(), QString::fromUtf8(text::kStop));
  QApplication::processEvents();
  ExpectAllFit(window.get());
  ExpectNoControlCoversAnother(window.get());
}

TEST_F(TextFit, TheWindowWithSixPanelsShowsEveryTextWhole) {
  QTemporaryDir conf;
  const std::string config = conf.filePath(QStringLiteral("numira.conf")).toStdString();
  testing::WriteBytes(config, "games=numbers3,numbers4,miniloto,loto6,loto7,bingo5\n");
  window = std::make_unique<ProbedWindow>(clock, DialogSetup{lists.ExecutablePath(), "127.0.0.1:9", config});
  window->show();
  QApplication::setActiveWindow(window.get());
  for (Game g : {Game::Lot7, Game::Bingo5}) Roll(g);
  // The widest two digits in every field of the new panels, and ビンゴ５ rolling.
  for (Game g : {Game::Lot7, Game::Bingo5})
    for (int id : ResultFields(g)) window->SetText(id, "88");
  const PanelDef& b5 = Panel(Game::Bingo5);
  QTest::mouseClick(Button(*window, b5.predictButton), Qt::LeftButton);
  window->FireTimer(b5.timerId);
  ASSERT_EQ(Button(*window, b5.predictButton)->text(), QString::fromUtf8(text::kStop));
  QApplication::processEvents();
  ExpectAllFit(window.get());
  ExpectNoControlCoversAnother(window.get());
  // Every control stands inside its group box, and the group boxes inside the window.
  for (const PanelDef& p : kGamePanels) {
    const QRect group = Find(*window, p.groupBox)->geometry();
    EXPECT_TRUE(window->rect().contains(group)) << p.groupBox;
    for (int id : ResultFields(p.game)) EXPECT_TRUE(group.contains(Find(*window, id)->geometry())) << id;
  }
}

TEST_F(TextFit, TheAboutBoxShowsEveryTextWhole) {
  bool seen = false;
  WhenShown(ModalNamed<ui::CAboutDlg>(QStringLiteral("about")), [&](QWidget* box) {
    seen = true;
    ExpectAllFit(box);
    box->close();
  });
  QTest::mouseClick(Button(*window, ctl::kAbout), Qt::LeftButton);
  EXPECT_TRUE(seen);
}

TEST_F(TextFit, TheCheckWindowShowsEveryTextWhole) {
  QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
  auto* check = window->findChild<ui::CheckWindow*>();
  ASSERT_NE(check, nullptr);
  auto* tabs = check->findChild<QTabWidget*>();
  for (int tab = 0; tab < tabs->count(); ++tab) {
    tabs->setCurrentIndex(tab);
    // A refusal (the longest one) and an outcome.
    auto* field = tabs->widget(tab)->findChild<QLineEdit*>(QStringLiteral("ticket"));
    field->setText(tab < 2 ? QStringLiteral("1111") : QStringLiteral("1 1 2 3 4 5"));
    QTest::keyClick(field, Qt::Key_Return);
    QApplication::processEvents();
    ExpectAllFit(tabs->widget(tab));
  }
  check->close();
}

// A drop-down too narrow for its items grows until each is shown whole, whether the face
// has every character or one comes from another face.
TEST_F(TextFit, ADropDownGrowsToItsWidestItem) {
  for (const QString& rare : {QString(), QString::fromUtf8("\xF0\xA0\xAE\xB7")}) {  // 𠮷: not in the face
    QComboBox combo;
    QFont font = ui::DialogFont();
    font.setPointSize(24);
    combo.setFont(font);
    combo.addItems({QStringLiteral("未当せん"), QStringLiteral("１回以上当せん") + rare});
    combo.resize(40, combo.sizeHint().height());
    ui::WidenToItems(&combo);
    ExpectAllFit(&combo);
    EXPECT_GT(combo.width(), 40);
  }
}

}  // namespace
}  // namespace numira::uitest
