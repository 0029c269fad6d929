// When stored schedules run: checked against a plain walk over every minute
// of two years in time zones with daylight-saving changes, and at month
// ends, leap days and the changes themselves.
#include "properties/schedule_times.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <set>

#include "scoped_env.h"

namespace varnok::properties {
namespace {

// Sets TZ for one test.
class TimeZone {
 public:
  explicit TimeZone(const std::string& zone) : env_("TZ", zone) { tzset(); }
  ~TimeZone() { tzset(); }

 private:
  test::ScopedEnv env_;
};

std::int64_t At(const CalendarMinute& m) {
  std::optional<std::int64_t> t = FirstInstantOf(m);
  EXPECT_TRUE(t) << FormatCalendarMinute(m);
  return t.value_or(0);
}

std::string Local(std::optional<std::int64_t> t) {
  if (!t) return "never";
  char zone[16];
  std::time_t tt = static_cast<std::time_t>(*t);
  std::tm local{};
  localtime_r(&tt, &local);
  std::strftime(zone, sizeof zone, "%Z", &local);
  return FormatCalendarMinute(LocalMinuteOf(*t)) + " " + zone;
}

ParsedSchedule Parse(std::string_view stored) {
  auto s = ParseStoredSchedule(stored);
  EXPECT_TRUE(s) << stored;
  return s.value_or(ParsedSchedule{});
}

TEST(ScheduleTimes, StoredFormIsReadStrictly) {
  ParsedSchedule s = Parse("=0 8,20 * * 1,2,3,4,5");
  EXPECT_EQ(s.minutes.count(), 1u);
  EXPECT_TRUE(s.hours.test(8) && s.hours.test(20) && s.hours.count() == 2);
  EXPECT_EQ(s.days.count(), 31u);
  EXPECT_EQ(s.months.count(), 12u);
  EXPECT_FALSE(s.weekdays.test(6));

  std::string problem;
  EXPECT_FALSE(ParseStoredSchedule("", &problem));
  EXPECT_EQ(problem, "");
  for (const char* bad : {"0 8 * * *", "=0 8 * *", "=0 8 * * * *", "=60 8 * * *", "=0 8 0 * *", "=0 8 * 13 *",
                          "=0 8 * * 0", "=0 8 * * 1,,2", "=a 8 * * *", "=0 8 * * 1-5"}) {
    problem.clear();
    EXPECT_FALSE(ParseStoredSchedule(bad, &problem)) << bad;
    EXPECT_FALSE(problem.empty()) << bad;
  }
  EXPECT_TRUE(ParseStoredSchedule("=0  8 * *  7 "));
  ParseStoredSchedule("=0 8 * 13 *", &problem);
  EXPECT_EQ(problem, "its month field \"13\" is not \"*\" or a list of numbers from 1 to 12");
}

TEST(ScheduleTimes, CalendarFacts) {
  EXPECT_EQ(Weekday(2024, 2, 29), 4);  // a Thursday
  EXPECT_EQ(Weekday(2044, 2, 29), 1);  // a Monday
  EXPECT_EQ(Weekday(1970, 1, 1), 4);
  EXPECT_EQ(Weekday(2026, 5, 3), 7);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_FALSE(CanEverMatch(Parse("=0 0 30,31 2 *")));
  EXPECT_TRUE(CanEverMatch(Parse("=0 0 29 2 1")));
  EXPECT_FALSE(CanEverMatch(Parse("=0 0 31 4,6,9,11 *")));
  EXPECT_EQ(ParseCalendarMinute("2026-05-04 09:00"), (CalendarMinute{2026, 5, 4, 9, 0}));
  EXPECT_EQ(ParseCalendarMinute("2026-05-04T09:00:59"), (CalendarMinute{2026, 5, 4, 9, 0}));
  for (const char* bad : {"2026-02-30 09:00", "2026-05-04 24:00", "2026-5-4 9:00", "tomorrow", ""})
    EXPECT_FALSE(ParseCalendarMinute(bad)) << bad;
}

TEST(ScheduleTimes, MonthEndsAndLeapDays) {
  TimeZone zone("UTC");
  auto next = [](std::string_view stored, CalendarMinute from) {
    return Local(NextRunAfter(Parse(stored), At(from)));
  };
  EXPECT_EQ(next("=0 0 31 * *", {2026, 1, 31, 12, 0}), "2026-03-31 00:00 UTC");
  EXPECT_EQ(next("=59 23 31 12 *", {2026, 12, 31, 23, 59}), "2027-12-31 23:59 UTC");
  EXPECT_EQ(next("=0 12 29 2 *", {2024, 2, 29, 12, 0}), "2028-02-29 12:00 UTC");
  // 2100 is no leap year.
  EXPECT_EQ(next("=0 12 29 2 *", {2097, 3, 1, 0, 0}), "2104-02-29 12:00 UTC");
  // A leap day that falls on a Monday: both fields restrict.
  EXPECT_EQ(next("=0 0 29 2 1", {2024, 1, 1, 0, 0}), "2044-02-29 00:00 UTC");
  EXPECT_EQ(next("=0 0 13 * 5", {2026, 1, 1, 0, 0}), "2026-02-13 00:00 UTC");
  EXPECT_EQ(next("=0 0 30 2 *", {2024, 1, 1, 0, 0}), "never");
  // The current minute is not "after".
  EXPECT_EQ(next("=* * * * *", {2026, 5, 4, 9, 0}), "2026-05-04 09:01 UTC");
}

TEST(ScheduleTimes, SkippedMinutesAreSkippedAndRepeatedOnesRunOnce) {
  {
    TimeZone zone("Europe/Berlin");  // 2026-03-29 02:00 -> 03:00, 2026-10-25 03:00 -> 02:00
    auto s = Parse("=30 2 * * *");
    EXPECT_EQ(Local(NextRunAfter(s, At({2026, 3, 28, 12, 0}))), "2026-03-30 02:30 CEST");
    EXPECT_FALSE(FirstInstantOf({2026, 3, 29, 2, 30}));
    // The repeated 02:30 runs at its first occurrence only.
    std::int64_t first = *NextRunAfter(s, At({2026, 10, 24, 12, 0}));
    EXPECT_EQ(Local(first), "2026-10-25 02:30 CEST");
    EXPECT_EQ(Local(NextRunAfter(s, first)), "2026-10-26 02:30 CET");
    // Also when asked from inside the repeated hour.
    EXPECT_EQ(Local(NextRunAfter(s, first + 3600 - 25 * 60)), "2026-10-26 02:30 CET");
    auto everyMinute = Parse("=* * * * *");
    std::int64_t last = At({2026, 10, 25, 2, 59});  // 02:59 CEST
    EXPECT_EQ(Local(NextRunAfter(everyMinute, last)), "2026-10-25 03:00 CET");
  }
  {
    TimeZone zone("America/New_York");  // 2026-03-08 02:00 -> 03:00, 2026-11-01 02:00 -> 01:00
    EXPECT_EQ(Local(NextRunAfter(Parse("=15 2 8 3 *"), At({2026, 1, 1, 0, 0}))), "2027-03-08 02:15 EST");
    EXPECT_EQ(Local(NextRunAfter(Parse("=15 1 * * *"), At({2026, 11, 1, 1, 20}))), "2026-11-02 01:15 EST");
  }
  {
    TimeZone zone("Australia/Lord_Howe");  // a change of half an hour
    std::int64_t t = At({2026, 4, 5, 1, 0});
    auto s = Parse("=45 1 5 4 *");
    std::int64_t first = *NextRunAfter(s, t);
    EXPECT_EQ(FormatCalendarMinute(LocalMinuteOf(first)), "2026-04-05 01:45");
    EXPECT_EQ(FormatCalendarMinute(LocalMinuteOf(*NextRunAfter(s, first))), "2027-04-05 01:45");
  }
}

// A plain walk over every minute: the first time the clock shows a minute
// that matches. A minute the clock shows again after a change back to
// standard time has been shown before and does not count.
struct Reference {
  std::vector<ParsedSchedule> schedules;
  std::vector<std::vector<std::int64_t>> runs;

  void walk(std::int64_t from, std::int64_t to) {
    runs.assign(schedules.size(), {});
    CalendarMinute highest = LocalMinuteOf(from);
    for (std::int64_t t = from - from % 60 + 60; t <= to; t += 60) {
      CalendarMinute m = LocalMinuteOf(t);
      if (m <= highest) continue;
      highest = m;
      for (std::size_t i = 0; i < schedules.size(); ++i)
        if (Matches(schedules[i], m)) runs[i].push_back(t);
    }
  }
};

std::string RandomField(std::mt19937& rng, int min, int max, int maxValues) {
  if (rng() % 3 == 0) return "*";
  std::set<int> values;
  int n = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxValues));
  for (int i = 0; i < n; ++i)
    values.insert(min + static_cast<int>(rng() % static_cast<unsigned>(max - min + 1)));
  std::string text;
  for (int v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
  return text;
}

std::string RandomMinutes(std::mt19937& rng) {
  std::string text = RandomField(rng, 0, 59, 4);
  return text == "*" ? "0,15,45" : text;
}

void CompareWithReference(const std::string& zoneName, unsigned seed) {
  TimeZone zone(zoneName);
  std::mt19937 rng(seed);
  Reference ref;
  // Schedules that hit the changes (every minute of the hours around them,
  // half past one and two every day), then random ones; a random minute
  // field is a short list, so that the walk stays quick.
  std::vector<std::string> stored = {"=* 2 * * *", "=* 1 * 3,4,10,11 *", "=30 1,2 * * *",
                                     "=0,30 2,3 * 3,10,11 *"};
  for (int i = 0; i < 40; ++i)
    stored.push_back("=" + RandomMinutes(rng) + " " + RandomField(rng, 0, 23, 3) + " " +
                     RandomField(rng, 1, 31, 3) + " " + RandomField(rng, 1, 12, 4) + " " +
                     RandomField(rng, 1, 7, 3));
  for (const auto& s : stored) ref.schedules.push_back(Parse(s));
  const std::int64_t from = At({2023, 6, 1, 0, 0}) + 17;
  const std::int64_t to = At({2025, 6, 1, 0, 0});
  ref.walk(from, to);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    std::vector<std::int64_t> got;
    std::int64_t t = from;
    while (true) {
      std::optional<std::int64_t> next = NextRunAfter(ref.schedules[i], t);
      if (!next || *next > to) break;
      got.push_back(*next);
      t = *next;
      if (got.size() > ref.runs[i].size()) break;
    }
    ASSERT_EQ(got, ref.runs[i]) << zoneName << " " << stored[i];
  }
}

TEST(ScheduleTimes, AgreesWithAMinuteByMinuteWalkOverTwoYears) {
  CompareWithReference("Europe/Berlin", 7);
  CompareWithReference("America/New_York", 11);
  CompareWithReference("Australia/Lord_Howe", 13);
}

}  // namespace
}  // namespace varnok::properties
