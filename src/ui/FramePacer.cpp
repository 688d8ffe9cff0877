#include "FramePacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace numira::ui {

FramePacer::FramePacer(QWidget* window) : QObject(window), window_(window), timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this,
          [this] { QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest)); });
}

bool FramePacer::PutOff() {
  const QScreen* shownOn = window_->screen();
  const double hz = shownOn && shownOn->refreshRate() >= 30 ? shownOn->refreshRate() : 60.0;
  const qint64 frameNs = static_cast<qint64>(1e9 / hz);
  if (lastFrame_.isValid() && lastFrame_.nsecsElapsed() < frameNs) {
    // The window stays marked for painting (and Qt asks no more until it has painted);
    // the timer asks again half a frame after the frame is due: while games roll, a
    // frame every one and a half refreshes of the screen, each showing the latest texts.
    const qint64 waitNs = frameNs + frameNs / 2 - lastFrame_.nsecsElapsed();
    if (!timer_->isActive()) timer_->start(static_cast<int>(waitNs / 1000000) + 1);
    return true;
  }
  timer_->stop();
  lastFrame_.start();
  return false;
}

}  // namespace numira::ui
