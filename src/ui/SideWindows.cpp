#include "SideWindows.h"

#include <QGuiApplication>
#include <QScreen>
#include <optional>

#include "WindowPlacement.h"

namespace numira::ui {

void Present(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

void PlaceBeside(const QWidget& main, QWidget* window) {
  QScreen* s = main.screen() ? main.screen() : QGuiApplication::primaryScreen();
  if (!s || !main.isVisible()) return;
  const auto box = [](const QRect& r) { return ScreenBox{r.x(), r.y(), r.width(), r.height()}; };
  // The new window's frame is not known before it is shown: take the main window's.
  const QRect frame = main.frameGeometry(), inner = main.geometry();
  const int extraW = frame.width() - inner.width(), extraH = frame.height() - inner.height();
  const QSize wanted = window->size() + QSize(extraW, extraH);
  // At its full width: narrower, the 43 numbers of the Loto charts would run together.
  const std::optional<ScreenBox> place = numira::PlaceBeside(box(frame), {0, 0, wanted.width(), wanted.height()},
                                                             wanted.width(), box(s->availableGeometry()), kBesideGap);
  if (!place) return;  // no room: where the window manager puts it
  window->resize(place->w - extraW, place->h - extraH);
  window->move(place->x, place->y);
}

}  // namespace numira::ui
