#pragma once
// A one-shot timer on the monotonic clock, precise to the microsecond: a timerfd that the
// event loop watches. Qt's own timers count whole milliseconds and wake up to a
// millisecond late; the roll's ticks aim at due times between the milliseconds.
#include <QObject>
#include <chrono>
#include <functional>

class QSocketNotifier;

namespace numira::ui {

class OneShotTimer : public QObject {
 public:
  OneShotTimer(std::function<void()> onTimeout, QObject* parent);
  ~OneShotTimer() override;

  // Arms the timer (again) to fire once after `wait`; a wait of zero or less fires at once.
  void start(std::chrono::microseconds wait);
  // Stopped, the timer no longer fires. (The clock in the kernel may still run out; that
  // expiry is read and ignored, which spares a system call at every tick.)
  void stop() { active_ = false; }
  bool isActive() const { return active_; }
  // The wait of the last start in milliseconds, rounded up.
  int interval() const { return interval_; }
  // The time left until an armed timer fires.
  std::chrono::microseconds Remaining() const;

 private:
  void Expired();

  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> onTimeout_;
  bool active_ = false;
  int interval_ = 0;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace numira::ui
