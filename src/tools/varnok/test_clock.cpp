#include "test_clock.h"

#include <chrono>
#include <cstdlib>

namespace varnok::tray {
namespace {

std::int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

ScaledClock::ScaledClock(std::int64_t start, double rate)
    : start_(start), rate_(rate), startedNs_(SteadyNs()) {}

std::int64_t ScaledClock::now() const {
  return start_ + static_cast<std::int64_t>(static_cast<double>(SteadyNs() - startedNs_) * rate_ / 1e9);
}

ClockSetting ClockFromEnvironment() {
  ClockSetting setting;
  const char* start = std::getenv("VARNOK_CLOCK");
  if (!start || !*start) return setting;
  const std::string text = start;
  std::optional<properties::CalendarMinute> minute = properties::ParseCalendarMinute(text);
  std::optional<std::int64_t> instant = minute ? properties::FirstInstantOf(*minute) : std::nullopt;
  if (!instant) {
    setting.problem = "VARNOK_CLOCK=\"" + text + "\" is not a local time \"YYYY-MM-DD HH:MM[:SS]\"";
    return setting;
  }
  if (text.size() == 19) *instant += std::stoi(text.substr(17, 2));
  if (const char* rate = std::getenv("VARNOK_CLOCK_RATE"); rate && *rate) {
    char* end = nullptr;
    double r = std::strtod(rate, &end);
    if (*end != '\0' || !(r > 0) || r > 3600) {
      setting.problem = std::string("VARNOK_CLOCK_RATE=\"") + rate + "\" is not a number from 0 to 3600";
      return setting;
    }
    setting.rate = r;
  }
  setting.clock = std::make_unique<ScaledClock>(*instant, setting.rate);
  return setting;
}

}  // namespace varnok::tray
