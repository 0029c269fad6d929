#pragma once
// Time stamps in the pattern "dddd, dd-mmm-yyyy hh:nn:ss", e.g.
// "Tuesday, 08-Dec-2026 09:05:07" (long English weekday name, two-digit day,
// abbreviated English month name, four-digit year, 24-hour time). Used for a
// connection's "Last updated" and the export header.
//
// The clock is injectable so that tests are exact:
//   FixedClock clock({2026, 12, 8, 9, 5, 7});
//   TimeStampNow(clock);   // "Tuesday, 08-Dec-2026 09:05:07"
//   TimeStampNow();        // the local time now
#include <string>

namespace varnok {

struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;  // 0..999; only the compact form shows it
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime now() const = 0;
};

// The system's local time.
const Clock& SystemClock();

class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalDateTime t) : t_(t) {}
  LocalDateTime now() const override { return t_; }
  void set(LocalDateTime t) { t_ = t; }

 private:
  LocalDateTime t_;
};

// The weekday is computed from the date.
std::string FormatTimeStamp(const LocalDateTime& t);
std::string TimeStampNow(const Clock& clock = SystemClock());

// The compact form "yyyymmddHHmmsszzz" (17 digits, milliseconds last), e.g.
// "20261208090507042".
std::string FormatCompactTimeStamp(const LocalDateTime& t);

}  // namespace varnok
