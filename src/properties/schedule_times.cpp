#include "properties/schedule_times.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "properties/schedule.h"

namespace varnok::properties {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One field: "*" or in-range decimals joined by ",". Sets the values in `set`.
template <std::size_t N>
bool ParseField(std::string_view text, int min, int max, std::bitset<N>& set) {
  if (text == "*") {
    for (int v = min; v <= max; ++v) set.set(static_cast<std::size_t>(v));
    return true;
  }
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ',') continue;
    std::string_view piece = text.substr(start, i - start);
    if (piece.empty() || piece.size() > 2) return false;
    int value = 0;
    for (char c : piece) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value < min || value > max) return false;
    set.set(static_cast<std::size_t>(value));
    start = i + 1;
  }
  return true;
}

// The next value >= `from` in `set` within [from, max]; -1 when none.
template <std::size_t N>
int NextInSet(const std::bitset<N>& set, int from, int max) {
  for (int v = from; v <= max; ++v)
    if (set.test(static_cast<std::size_t>(v))) return v;
  return -1;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int mp = (month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

void NextDay(CalendarMinute& c) {
  c.hour = 0;
  c.minute = 0;
  if (++c.day > DaysInMonth(c.year, c.month)) {
    c.day = 1;
    if (++c.month > 12) {
      c.month = 1;
      ++c.year;
    }
  }
}

void NextMonth(CalendarMinute& c) {
  c.day = 1;
  c.hour = 0;
  c.minute = 0;
  if (++c.month > 12) {
    c.month = 1;
    ++c.year;
  }
}

bool SameMinute(const std::tm& t, const CalendarMinute& m) {
  return t.tm_year + 1900 == m.year && t.tm_mon + 1 == m.month && t.tm_mday == m.day && t.tm_hour == m.hour &&
         t.tm_min == m.minute;
}

class SystemClockImpl : public WallClock {
 public:
  std::int64_t now() const override {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace

std::optional<ParsedSchedule> ParseStoredSchedule(std::string_view stored, std::string* problem) {
  auto fail = [&](std::string why) -> std::optional<ParsedSchedule> {
    if (problem) *problem = std::move(why);
    return std::nullopt;
  };
  if (stored.empty()) return fail("");
  if (stored.front() != '=') return fail("it does not begin with \"=\"");
  std::string_view rest = stored.substr(1);
  std::array<std::string_view, kScheduleFieldCount> texts;
  std::size_t count = 0;
  while (true) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) break;
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    if (count == texts.size()) return fail("it has more than five fields");
    texts[count++] = rest.substr(0, end);
    rest.remove_prefix(end);
  }
  if (count != texts.size()) return fail("it has " + std::to_string(count) + " fields instead of five");
  ParsedSchedule s;
  const auto& infos = ScheduleFieldInfos();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const ScheduleFieldInfo& info = infos[i];
    bool ok = false;
    switch (info.field) {
      case ScheduleField::Minute:
        ok = ParseField(texts[i], info.min, info.max, s.minutes);
        break;
      case ScheduleField::Hour:
        ok = ParseField(texts[i], info.min, info.max, s.hours);
        break;
      case ScheduleField::Day:
        ok = ParseField(texts[i], info.min, info.max, s.days);
        break;
      case ScheduleField::Month:
        ok = ParseField(texts[i], info.min, info.max, s.months);
        break;
      case ScheduleField::Weekday:
        ok = ParseField(texts[i], info.min, info.max, s.weekdays);
        break;
    }
    if (!ok)
      return fail("its " + std::string(info.name) + " field \"" + std::string(texts[i]) +
                  "\" is not \"*\" or a list of numbers from " + std::to_string(info.min) + " to " +
                  std::to_string(info.max));
  }
  if (problem) problem->clear();
  return s;
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 29 : 28;
  }
  return kDays[static_cast<std::size_t>(month - 1)];
}

int Weekday(int year, int month, int day) {
  // 1970-01-01 was a Thursday (4).
  const std::int64_t days = DaysFromCivil(year, month, day);
  return static_cast<int>(((days + 3) % 7 + 7) % 7) + 1;
}

bool CanEverMatch(const ParsedSchedule& s) {
  if (s.minutes.none() || s.hours.none() || s.weekdays.none()) return false;
  for (int m = 1; m <= 12; ++m) {
    if (!s.months.test(static_cast<std::size_t>(m))) continue;
    // Over 400 years every day of a month falls on every day of the week,
    // 29 February included.
    const int longest = m == 2 ? 29 : DaysInMonth(2001, m);
    for (int d = 1; d <= longest; ++d)
      if (s.days.test(static_cast<std::size_t>(d))) return true;
  }
  return false;
}

bool Matches(const ParsedSchedule& s, const CalendarMinute& c) {
  return s.minutes.test(static_cast<std::size_t>(c.minute)) &&
         s.hours.test(static_cast<std::size_t>(c.hour)) && s.days.test(static_cast<std::size_t>(c.day)) &&
         s.months.test(static_cast<std::size_t>(c.month)) &&
         s.weekdays.test(static_cast<std::size_t>(Weekday(c.year, c.month, c.day)));
}

std::optional<CalendarMinute> NextMatchingMinute(const ParsedSchedule& s, const CalendarMinute& from,
                                                 int yearsAhead) {
  CalendarMinute c = from;
  const int lastYear = from.year + yearsAhead;
  while (c.year <= lastYear) {
    if (!s.months.test(static_cast<std::size_t>(c.month))) {
      int m = NextInSet(s.months, c.month + 1, 12);
      if (m < 0) {
        c = {c.year + 1, NextInSet(s.months, 1, 12), 1, 0, 0};
      } else {
        c = {c.year, m, 1, 0, 0};
      }
      continue;
    }
    if (c.day > DaysInMonth(c.year, c.month)) {
      NextMonth(c);
      continue;
    }
    if (!s.days.test(static_cast<std::size_t>(c.day)) ||
        !s.weekdays.test(static_cast<std::size_t>(Weekday(c.year, c.month, c.day)))) {
      NextDay(c);
      continue;
    }
    int h = NextInSet(s.hours, c.hour, 23);
    if (h < 0) {
      NextDay(c);
      continue;
    }
    if (h != c.hour) {
      c.hour = h;
      c.minute = 0;
    }
    int m = NextInSet(s.minutes, c.minute, 59);
    if (m < 0) {
      if (++c.hour > 23) NextDay(c);
      c.minute = 0;
      continue;
    }
    c.minute = m;
    return c;
  }
  return std::nullopt;
}

CalendarMinute MinuteAfter(const CalendarMinute& minute) {
  CalendarMinute c = minute;
  if (++c.minute > 59) {
    c.minute = 0;
    if (++c.hour > 23) NextDay(c);
  }
  return c;
}

CalendarMinute LocalMinuteOf(std::int64_t instant) {
  std::time_t t = static_cast<std::time_t>(instant);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

// The standard or the daylight-saving reading of the minute, whichever exist
// (both during the hour that repeats); the earlier one is its first occurrence.
std::optional<std::int64_t> FirstInstantOf(const CalendarMinute& minute) {
  std::optional<std::int64_t> first;
  for (int isDst : {1, 0, -1}) {
    std::tm t{};
    t.tm_year = minute.year - 1900;
    t.tm_mon = minute.month - 1;
    t.tm_mday = minute.day;
    t.tm_hour = minute.hour;
    t.tm_min = minute.minute;
    t.tm_isdst = isDst;
    const std::time_t instant = std::mktime(&t);
    std::tm back{};
    if (!localtime_r(&instant, &back) || !SameMinute(back, minute)) continue;
    if (!first || instant < *first) first = instant;
  }
  return first;
}

CalendarMinute FirstMinuteAfter(std::int64_t instant) {
  CalendarMinute c = MinuteAfter(LocalMinuteOf(instant));
  // Only in the hour that repeats after a change back to standard time can a
  // later minute of the calendar have occurred already; this skips them.
  for (int i = 0; i < 24 * 60; ++i) {
    std::optional<std::int64_t> first = FirstInstantOf(c);
    if (!first || *first > instant) return c;
    c = MinuteAfter(c);
  }
  return c;
}

std::optional<std::int64_t> NextRunAfter(const ParsedSchedule& schedule, std::int64_t instant) {
  if (!CanEverMatch(schedule)) return std::nullopt;
  CalendarMinute from = FirstMinuteAfter(instant);
  // Each round skips one minute that does not exist; a change of the clock
  // skips at most a few hours' worth.
  for (int round = 0; round < 24 * 60; ++round) {
    std::optional<CalendarMinute> match = NextMatchingMinute(schedule, from);
    if (!match) return std::nullopt;
    std::optional<std::int64_t> first = FirstInstantOf(*match);
    if (first && *first > instant) return first;
    from = MinuteAfter(*match);
  }
  return std::nullopt;
}

std::string FormatCalendarMinute(const CalendarMinute& m) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", m.year, m.month, m.day, m.hour, m.minute);
  return text;
}

std::optional<CalendarMinute> ParseCalendarMinute(std::string_view text) {
  auto number = [&](std::size_t at, std::size_t digits, int& out) {
    if (at + digits > text.size()) return false;
    out = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      out = out * 10 + (text[i] - '0');
    }
    return true;
  };
  CalendarMinute m;
  if (text.size() != 16 && text.size() != 19) return std::nullopt;
  int second = 0;
  if (!number(0, 4, m.year) || text[4] != '-' || !number(5, 2, m.month) || text[7] != '-' ||
      !number(8, 2, m.day) || (text[10] != ' ' && text[10] != 'T') || !number(11, 2, m.hour) ||
      text[13] != ':' || !number(14, 2, m.minute))
    return std::nullopt;
  if (text.size() == 19 && (text[16] != ':' || !number(17, 2, second) || second > 59)) return std::nullopt;
  if (m.year < 1970 || m.month < 1 || m.month > 12 || m.day < 1 || m.day > DaysInMonth(m.year, m.month) ||
      m.hour > 23 || m.minute > 59)
    return std::nullopt;
  return m;
}

const WallClock& SystemWallClock() {
  static const SystemClockImpl clock;
  return clock;
}

}  // namespace varnok::properties
