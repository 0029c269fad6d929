#pragma once
// The clock hook for tests: VARNOK_CLOCK="YYYY-MM-DD HH:MM[:SS]" (local time)
// starts the companion's clock at that time, and VARNOK_CLOCK_RATE (default
// 1) makes it run that many times as fast as real time.
#include <cstdint>
#include <memory>
#include <string>

#include "properties/schedule_times.h"

namespace varnok::tray {

class ScaledClock : public properties::WallClock {
 public:
  ScaledClock(std::int64_t start, double rate);
  std::int64_t now() const override;

 private:
  std::int64_t start_;
  double rate_;
  std::int64_t startedNs_;
};

struct ClockSetting {
  std::unique_ptr<properties::WallClock> clock;  // null: the system's clock
  double rate = 1.0;
  std::string problem;  // why the variables were not understood
};

ClockSetting ClockFromEnvironment();

}  // namespace varnok::tray
