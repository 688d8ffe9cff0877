#include "AboutBox.h"

#include <QLabel>
#include <QPushButton>

#include "AppIcon.h"
#include "DialogUnits.h"
#include "Fonts.h"

namespace numira::ui {

CAboutDlg::CAboutDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("about"));
  setWindowTitle(QString::fromUtf8(text::kAboutButton));
  setWindowIcon(AppIcon());
  setFont(DialogFont());
  setModal(true);
  const DialogUnits du(font());

  QWidget* previous = nullptr;
  int index = 0;
  for (const ControlDef& c : kAboutControls) {
    QWidget* w = nullptr;
    const QRect place = du.Rect(c.x, c.y, c.w, c.h);
    switch (c.kind) {
      case ControlKind::Icon: {
        // An icon control takes the size of its icon.
        auto* icon = new QLabel(this);
        const QPixmap pixmap = AppIconPixmap();
        icon->setPixmap(pixmap);
        icon->setGeometry(QRect(place.topLeft(), pixmap.size()));
        w = icon;
        break;
      }
      case ControlKind::PushButton: {
        auto* button = new QPushButton(QString::fromUtf8(c.text), this);
        button->setGeometry(place);
        button->setDefault((c.style & kDefaultButton) != 0);
        if (c.id == ctl::kOk) connect(button, &QPushButton::clicked, this, [this] { done(1); });
        w = button;
        break;
      }
      default: {
        auto* label = new QLabel(QString::fromUtf8(c.text), this);
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(place);
        if (c.style & kWrapSunken) {
          label->setWordWrap(true);
          label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
          label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        } else {
          label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
          // A one-line text keeps its place but is never cut off: where the face
          // resolved here runs wider than the layout allows, the label grows to the right.
          const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 2;
          if (needed > place.width()) label->resize(needed, place.height());
        }
        w = label;
        break;
      }
    }
    w->setObjectName(c.id != 0 ? QString::number(c.id) : QStringLiteral("about-%1").arg(index));
    if (c.style & kTabStop) {
      if (previous) setTabOrder(previous, w);
      previous = w;
    }
    ++index;
  }
  setFixedSize(du.Size(kAboutWidth, kAboutHeight));
}

}  // namespace numira::ui
