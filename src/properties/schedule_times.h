#pragma once
// When a stored schedule runs. The five fields (minute, hour, day of the
// month, month, day of the week 1 = Monday .. 7 = Sunday) are read like a time
// table: a field matches a value when it is "*" or lists it, and a local
// minute matches when all five fields do (day of the month and day of the
// week both restrict).
//
// Times are instants (seconds since 1970, UTC) and local calendar minutes in
// the process's time zone (TZ). Across daylight-saving changes a local minute
// that does not exist is skipped, and one that occurs twice runs once, at its
// first occurrence.
//
//   auto parsed = ParseStoredSchedule("=0 8 * * 1,2,3,4,5");
//   std::optional<std::int64_t> at = NextRunAfter(*parsed, now);  // > now
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnok::properties {

// A local minute of the calendar.
struct CalendarMinute {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  auto operator<=>(const CalendarMinute&) const = default;
};

// The fields of a stored schedule as sets of values.
struct ParsedSchedule {
  std::bitset<60> minutes;
  std::bitset<24> hours;
  std::bitset<32> days;     // 1..31
  std::bitset<13> months;   // 1..12
  std::bitset<8> weekdays;  // 1..7, Monday first
  bool operator==(const ParsedSchedule&) const = default;
};

// The stored form "=" + five blank-separated fields, each "*" or a list of
// in-range decimals joined by ",". Blanks around fields are tolerated; any
// other text (an empty or unknown field, a value out of range) gives nullopt
// and an explanation in `problem` when given, so that a damaged value never
// runs at a guessed time. The empty string (no schedule) also gives nullopt
// with an empty problem.
std::optional<ParsedSchedule> ParseStoredSchedule(std::string_view stored, std::string* problem = nullptr);

// Whether some local minute matches at all (day 30 of February never does).
bool CanEverMatch(const ParsedSchedule& schedule);

// 1 = Monday .. 7 = Sunday.
int Weekday(int year, int month, int day);
int DaysInMonth(int year, int month);

bool Matches(const ParsedSchedule& schedule, const CalendarMinute& minute);

// The first matching calendar minute at or after `from`, by the calendar
// alone (ignoring daylight-saving gaps); nullopt when none exists within
// `yearsAhead` years.
std::optional<CalendarMinute> NextMatchingMinute(const ParsedSchedule& schedule, const CalendarMinute& from,
                                                 int yearsAhead = 50);

// The next calendar minute (carrying into hours, days, months, years).
CalendarMinute MinuteAfter(const CalendarMinute& minute);

// The local calendar minute of an instant.
CalendarMinute LocalMinuteOf(std::int64_t instant);
// The first instant at which the local clock shows `minute`; nullopt when the
// minute does not exist (skipped by a change to daylight-saving time).
std::optional<std::int64_t> FirstInstantOf(const CalendarMinute& minute);

// The first local minute whose first occurrence lies after `instant`.
CalendarMinute FirstMinuteAfter(std::int64_t instant);

// The next run strictly after `instant`, or nullopt when the schedule never runs.
std::optional<std::int64_t> NextRunAfter(const ParsedSchedule& schedule, std::int64_t instant);

// "2026-05-04 09:00"; and its reading, which also accepts a "T" between date
// and time and optional seconds (ignored): nullopt for anything else.
std::string FormatCalendarMinute(const CalendarMinute& minute);
std::optional<CalendarMinute> ParseCalendarMinute(std::string_view text);

// The injectable wall clock of the scheduler: seconds since 1970 (UTC).
class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual std::int64_t now() const = 0;
};

// The system's clock.
const WallClock& SystemWallClock();

}  // namespace varnok::properties
