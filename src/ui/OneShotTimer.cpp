#include "OneShotTimer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>
#include <stdexcept>

namespace numira::ui {

OneShotTimer::OneShotTimer(std::function<void()> onTimeout, QObject* parent)
    : QObject(parent), onTimeout_(std::move(onTimeout)) {
  fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("timerfd_create failed");
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Expired(); });
}

OneShotTimer::~OneShotTimer() {
  delete notifier_;
  ::close(fd_);
}

void OneShotTimer::start(std::chrono::microseconds wait) {
  using namespace std::chrono;
  // A zero time would disarm the timer: the shortest wait is one nanosecond.
  const nanoseconds ns = std::max<nanoseconds>(wait, nanoseconds(1));
  itimerspec due{};
  due.it_value.tv_sec = static_cast<time_t>(duration_cast<seconds>(ns).count());
  due.it_value.tv_nsec = static_cast<long>((ns % seconds(1)).count());
  deadline_ = steady_clock::now() + ns;
  timerfd_settime(fd_, 0, &due, nullptr);
  active_ = true;
  interval_ = static_cast<int>(ceil<milliseconds>(std::max(wait, microseconds(0))).count());
}

std::chrono::microseconds OneShotTimer::Remaining() const {
  using namespace std::chrono;
  if (!active_) return {};
  return std::max(microseconds(0), duration_cast<microseconds>(deadline_ - steady_clock::now()));
}

void OneShotTimer::Expired() {
  std::uint64_t expirations = 0;
  // Nothing to read: the timer was re-armed or stopped after it had expired.
  if (::read(fd_, &expirations, sizeof expirations) != static_cast<ssize_t>(sizeof expirations)) return;
  if (!active_) return;
  active_ = false;
  onTimeout_();
}

}  // namespace numira::ui
