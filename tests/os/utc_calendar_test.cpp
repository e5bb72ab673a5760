// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ctime>
#include <ostream>
#include <random>

#include "os/files.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

using test::PrintTo;

struct CalendarCase {
    const char* name;
    int64_t time;
    int year, month, day, hour, minute, second, weekday, yearDay;
};

class UtcCalendarTest : public testing::TestWithParam<CalendarCase> {};

TEST_P(UtcCalendarTest, GivesTheDateAndTimeInUtc) {
    const CalendarCase& c = GetParam();
    std::tm tm{};
    ASSERT_TRUE(os::UtcCalendar(c.time, tm));
    EXPECT_EQ(tm.tm_year + 1900, c.year);
    EXPECT_EQ(tm.tm_mon + 1, c.month);
    EXPECT_EQ(tm.tm_mday, c.day);
    EXPECT_EQ(tm.tm_hour, c.hour);
    EXPECT_EQ(tm.tm_min, c.minute);
    EXPECT_EQ(tm.tm_sec, c.second);
    EXPECT_EQ(tm.tm_wday, c.weekday);
    EXPECT_EQ(tm.tm_yday, c.yearDay);
}

// Windows' own gmtime knows none of the times before 1970 or after 3000.
INSTANTIATE_TEST_SUITE_P(
    Times, UtcCalendarTest,
    testing::Values(CalendarCase{"Epoch", 0, 1970, 1, 1, 0, 0, 0, 4, 0},
                    CalendarCase{"LastSecondBeforeTheEpoch", -1, 1969, 12, 31, 23, 59, 59, 3, 364},
                    CalendarCase{"LeapDay2000", 951782400, 2000, 2, 29, 0, 0, 0, 2, 59},
                    CalendarCase{"NoLeapDayIn2100", 4107542400, 2100, 3, 1, 0, 0, 0, 1, 59},
                    CalendarCase{"Year9999", 253402300799, 9999, 12, 31, 23, 59, 59, 5, 364},
                    CalendarCase{"Year1600", -11676096000, 1600, 1, 1, 0, 0, 0, 6, 0}),
    test::RowName());

#ifndef _WIN32
// Where the C library's calendar reaches (Linux's does everywhere), both agree.
TEST(UtcCalendar, AgreesWithTheCLibraryOnRandomTimes) {
    std::mt19937_64 pick(20141207);
    std::uniform_int_distribution<int64_t> times(-62135596800, 253402300799);  // years 1-9999
    for (int i = 0; i < 100000; ++i) {
        const int64_t t = times(pick);
        const auto time = static_cast<std::time_t>(t);
        std::tm expected{};
        ASSERT_NE(gmtime_r(&time, &expected), nullptr);
        std::tm got{};
        ASSERT_TRUE(os::UtcCalendar(t, got));
        const auto fields = [](const std::tm& tm) {
            return std::array{tm.tm_year, tm.tm_mon, tm.tm_mday, tm.tm_hour,
                              tm.tm_min,  tm.tm_sec, tm.tm_wday, tm.tm_yday};
        };
        ASSERT_EQ(fields(got), fields(expected)) << t;
    }
}
#endif

}  // namespace
}  // namespace quarnel
