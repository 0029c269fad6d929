#pragma once
// One timer to the next scheduled minute; nothing polls in between.
//
// With the system's clock it is an absolute timer on the wall clock
// (timerfd, CLOCK_REALTIME): it fires on time also after the machine slept,
// and at once when the clock is set, so that the agenda looks again. A test
// clock that runs at a different rate uses a plain timer scaled to it.
#include <QObject>
#include <cstdint>
#include <memory>

#include "properties/schedule_times.h"

namespace varnok::tray {

class DueTimer : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  // Fires once when `clock` reaches `at` (or earlier, when the clock is set).
  virtual void arm(std::int64_t at) = 0;
  virtual void disarm() = 0;

 signals:
  void fired();
};

// The timer for `clock` running `rate` times as fast as real time; the
// system's clock (rate 1) gets the wall-clock timer where the system has one.
std::unique_ptr<DueTimer> MakeDueTimer(const properties::WallClock& clock, double rate,
                                       QObject* parent = nullptr);

}  // namespace varnok::tray
