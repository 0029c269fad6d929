#include "common/time_stamp.h"

#include <gtest/gtest.h>

#include <regex>

namespace varnok {
namespace {

TEST(TimeStamp, FormatsWithWeekdayFromTheDate) {
  EXPECT_EQ(FormatTimeStamp({2026, 12, 8, 9, 5, 7}), "Tuesday, 08-Dec-2026 09:05:07");
  EXPECT_EQ(FormatTimeStamp({2000, 2, 29, 23, 59, 59}), "Tuesday, 29-Feb-2000 23:59:59");
  EXPECT_EQ(FormatTimeStamp({2024, 1, 7, 0, 0, 0}), "Sunday, 07-Jan-2024 00:00:00");
  EXPECT_EQ(FormatTimeStamp({2023, 9, 30, 12, 0, 1}), "Saturday, 30-Sep-2023 12:00:01");
}

TEST(TimeStamp, UsesTheInjectedClock) {
  FixedClock clock({2025, 6, 2, 14, 30, 0});
  EXPECT_EQ(TimeStampNow(clock), "Monday, 02-Jun-2025 14:30:00");
  clock.set({2025, 6, 3, 14, 30, 0});
  EXPECT_EQ(TimeStampNow(clock), "Tuesday, 03-Jun-2025 14:30:00");
  EXPECT_TRUE(std::regex_match(
      TimeStampNow(), std::regex("[A-Z][a-z]+day, \\d\\d-[A-Z][a-z][a-z]-\\d{4} \\d\\d:\\d\\d:\\d\\d")));
}

TEST(TimeStamp, CompactFormHasSeventeenDigitsWithMilliseconds) {
  EXPECT_EQ(FormatCompactTimeStamp({2026, 12, 8, 9, 5, 7, 42}), "20261208090507042");
  EXPECT_EQ(FormatCompactTimeStamp({1999, 1, 31, 23, 59, 58, 999}), "19990131235958999");
  EXPECT_TRUE(std::regex_match(FormatCompactTimeStamp(SystemClock().now()), std::regex("\\d{17}")));
}

}  // namespace
}  // namespace varnok
