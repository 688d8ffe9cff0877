#pragma once
// What the main window's side windows (当せん履歴, 当せん照合, 設定) share: each is open at
// most once, is forgotten (and deleted) when it closes, and comes to the front when it is
// asked for again; the history window opens beside the main window when there is room.
#include <QDialog>
#include <QPointer>

namespace numira::ui {

// A side window that is closed is gone: it is deleted and the next opening starts
// afresh. window is the owner's pointer to it, which outlives the window.
template <class W>
void ForgetWhenClosed(QObject* owner, QPointer<W>& window) {
  W* w = window;
  QObject::connect(w, &QDialog::finished, owner, [&window, w] {
    if (window == w) window = nullptr;
    w->deleteLater();
  });
}

// Shows the window, in front and active.
void Present(QWidget* window);

// Puts a new side window beside main (right, else left) when the screen has room for it
// at its full size; else it stays where the window manager puts it.
void PlaceBeside(const QWidget& main, QWidget* window);

}  // namespace numira::ui
