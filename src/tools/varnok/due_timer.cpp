#include "due_timer.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cmath>

#ifdef __linux__
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace varnok::tray {
namespace {

class ScaledDueTimer : public DueTimer {
 public:
  ScaledDueTimer(const properties::WallClock& clock, double rate, QObject* parent)
      : DueTimer(parent), clock_(clock), rate_(rate) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DueTimer::fired);
  }
  void arm(std::int64_t at) override {
    // A day at most: the agenda is asked again then (a longer interval does not fit).
    const double seconds = std::clamp(static_cast<double>(at - clock_.now()), 0.0, 86400.0);
    timer_.start(static_cast<int>(std::ceil(seconds * 1000.0 / rate_)) + 1);
  }
  void disarm() override { timer_.stop(); }

 private:
  const properties::WallClock& clock_;
  double rate_;
  QTimer timer_;
};

#ifdef __linux__
class WallDueTimer : public DueTimer {
 public:
  WallDueTimer(int fd, QObject* parent) : DueTimer(parent), fd_(fd), notifier_(fd, QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] {
      std::uint64_t expirations = 0;
      // ECANCELED: the clock was set; either way the agenda looks again.
      (void)::read(fd_, &expirations, sizeof expirations);
      emit fired();
    });
  }
  ~WallDueTimer() override { ::close(fd_); }
  void arm(std::int64_t at) override {
    itimerspec spec{};
    spec.it_value.tv_sec = static_cast<time_t>(at);
    ::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr);
  }
  void disarm() override {
    itimerspec spec{};
    ::timerfd_settime(fd_, 0, &spec, nullptr);
  }

 private:
  int fd_;
  QSocketNotifier notifier_;
};
#endif

}  // namespace

std::unique_ptr<DueTimer> MakeDueTimer(const properties::WallClock& clock, double rate, QObject* parent) {
#ifdef __linux__
  if (&clock == &properties::SystemWallClock() && rate == 1.0) {
    int fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd >= 0) return std::make_unique<WallDueTimer>(fd, parent);
  }
#endif
  return std::make_unique<ScaledDueTimer>(clock, rate, parent);
}

}  // namespace varnok::tray
