#pragma once
// The main window paints no more frames than the screen shows: a paint request that comes
// sooner than one refresh of the screen after the last painting waits (the rolls change
// their fields 100 times a second, more often than a screen shows a new picture or an eye
// reads one).
#include <QElapsedTimer>
#include <QObject>

class QTimer;
class QWidget;

namespace numira::ui {

class FramePacer : public QObject {
 public:
  explicit FramePacer(QWidget* window);

  // The window is asked to paint (an update request): true when the painting waits for
  // a later frame (the window stays marked for it), false when it paints now.
  bool PutOff();
  // The next painting comes at once, without waiting for the screen's next refresh.
  void PaintNextAtOnce() { lastFrame_.invalidate(); }

 private:
  QWidget* window_;
  // When the window last painted, and the timer of a painting put off until the next
  // refresh of the screen.
  QElapsedTimer lastFrame_;
  QTimer* timer_;
};

}  // namespace numira::ui
