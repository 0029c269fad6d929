#include "common/time_stamp.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace varnok {
namespace {

class LocalClock : public Clock {
 public:
  LocalDateTime now() const override {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::time_t now = ts.tv_sec;
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            static_cast<int>(ts.tv_nsec / 1'000'000)};
  }
};

}  // namespace

const Clock& SystemClock() {
  static const LocalClock clock;
  return clock;
}

std::string FormatTimeStamp(const LocalDateTime& t) {
  static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  using namespace std::chrono;
  year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
  unsigned wd = weekday{sys_days{date}}.c_encoding();
  int m = (t.month >= 1 && t.month <= 12) ? t.month - 1 : 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d-%s-%04d %02d:%02d:%02d", kDays[wd % 7], t.day, kMonths[m], t.year,
                t.hour, t.minute, t.second);
  return buf;
}

std::string TimeStampNow(const Clock& clock) { return FormatTimeStamp(clock.now()); }

std::string FormatCompactTimeStamp(const LocalDateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d%03d", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  return buf;
}

}  // namespace varnok
