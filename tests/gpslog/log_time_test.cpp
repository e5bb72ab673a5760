// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The tracker's local record time turned into the UTC timestamps of GPX and KML.
#include "gpslog/log_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <ostream>
#include <string>

#include "gpslog/log_test_support.h"
#include "sim/sim_state.h"
#include "support/time_zone.h"

namespace quarnel {
namespace {

using test::Fix;

LogRecord Record(int year, int month, int day, int hour, int minute, int second) {
    return ParseLogRecord(sim::EncodeLogRecord(Fix(year, month, day, hour, minute, second)).data());
}

constexpr int32_t kHour = 3600;

struct UtcCase {
    const char* name;
    LogRecord record;
    int32_t offset;
    const char* utc;
};
void PrintTo(const UtcCase& c, std::ostream* os) {
    *os << c.name;
}

const UtcCase kUtcCases[] = {
    {"OffsetZero", Record(2014, 2, 7, 8, 5, 9), 0, "2014-02-07T08:05:09Z"},
    {"EightHoursEast", Record(2014, 2, 7, 8, 5, 9), 8 * kHour, "2014-02-07T00:05:09Z"},
    {"EightHoursEastBackIntoThePreviousDay", Record(2014, 2, 7, 3, 0, 0), 8 * kHour,
     "2014-02-06T19:00:00Z"},
    {"FiveHoursWest", Record(2014, 2, 7, 8, 5, 9), -5 * kHour, "2014-02-07T13:05:09Z"},
    {"FiveHoursWestIntoTheNextYear", Record(2014, 12, 31, 22, 30, 0), -5 * kHour,
     "2015-01-01T03:30:00Z"},
    {"February31IsMarch3", Record(2014, 2, 31, 0, 0, 0), 0, "2014-03-03T00:00:00Z"},
    {"February31InALeapYearIsMarch2", Record(2016, 2, 31, 12, 0, 0), 0, "2016-03-02T12:00:00Z"},
    {"February29InALeapYear", Record(2000, 2, 29, 23, 59, 59), 0, "2000-02-29T23:59:59Z"},
    {"April31IsMay1", Record(2014, 4, 31, 6, 0, 0), -5 * kHour, "2014-05-01T11:00:00Z"},
    {"Year2000", Record(2000, 1, 1, 0, 0, 0), 0, "2000-01-01T00:00:00Z"},
    {"Year2000EastGoesBackTo1999", Record(2000, 1, 1, 0, 0, 0), 8 * kHour, "1999-12-31T16:00:00Z"},
    {"LastYearByte", Record(2255, 12, 31, 23, 59, 59), -5 * kHour, "2256-01-01T04:59:59Z"},
    {"HalfHourOffset", Record(2014, 2, 7, 8, 5, 9), 5 * kHour + 1800, "2014-02-07T02:35:09Z"},
};

class RecordUtcTest : public ::testing::TestWithParam<UtcCase> {};

TEST_P(RecordUtcTest, SubtractsTheGivenOffsetFromTheTrackersTime) {
    const UtcCase& c = GetParam();
    // The record test's time plays no part when the offset is given.
    EXPECT_EQ(XsdDateTime(RecordUtcSeconds(c.record, -12345, c.offset)), c.utc);
}

INSTANTIATE_TEST_SUITE_P(Table, RecordUtcTest, ::testing::ValuesIn(kUtcCases),
                         [](const ::testing::TestParamInfo<UtcCase>& c) { return c.param.name; });

TEST(RecordUtc, WithoutAnOffsetTheRecordTestsTimeIsTheUtcTime) {
    // The tests run in UTC, so the host's standard time is UTC here.
    for (const UtcCase& c : kUtcCases) {
        int64_t time = 0;
        ASSERT_EQ(TestRecord(c.record, 0, time), RecordVerdict::Write) << c.name;
        EXPECT_EQ(RecordUtcSeconds(c.record, time, std::nullopt), time) << c.name;
        EXPECT_EQ(RecordUtcSeconds(c.record, time, std::nullopt),
                  RecordUtcSeconds(c.record, time, 0))
            << c.name;
    }
}

TEST(RecordUtc, CivilSecondsAgreeWithMktimeInUtcForEveryMonthAndCarry) {
    for (int year : {2000, 2001, 2004, 2014, 2100, 2255}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 28, 29, 30, 31}) {
                const LogRecord r = Record(year, month, day, 13, 14, 15);
                EXPECT_EQ(CivilSeconds(r), RecordTime(r)) << year << "/" << month << "/" << day;
            }
        }
    }
}

// Runs `body` with the process in time zone `tz`, then back in UTC.
template <typename Body>
void InZone(const char* tz, Body body) {
    test::SetTimeZone(tz);
    body();
    test::SetTimeZone("UTC");
}

TEST(RecordUtc, WithoutAnOffsetTheHostsStandardOffsetIsUsed) {
    const LogRecord r = Record(2014, 2, 7, 8, 5, 9);
    InZone("QRN-8", [&] {  // eight hours east of UTC
        int64_t time = 0;
        ASSERT_EQ(TestRecord(r, 0, time), RecordVerdict::Write);
        EXPECT_EQ(XsdDateTime(RecordUtcSeconds(r, time, std::nullopt)), "2014-02-07T00:05:09Z");
    });
}

TEST(RecordUtc, WithoutAnOffsetDaylightSavingIsIgnoredAsTheRecordTestIgnoresIt) {
    // In July the host's zone keeps summer time (UTC-4); the tracker's time is still taken
    // as its standard time (UTC-5).
    const LogRecord r = Record(2014, 7, 1, 12, 0, 0);
    InZone("EST5EDT,M3.2.0,M11.1.0", [&] {
        int64_t time = 0;
        ASSERT_EQ(TestRecord(r, 0, time), RecordVerdict::Write);
        EXPECT_EQ(XsdDateTime(RecordUtcSeconds(r, time, std::nullopt)), "2014-07-01T17:00:00Z");
        EXPECT_EQ(RecordUtcSeconds(r, time, std::nullopt), RecordUtcSeconds(r, time, -5 * kHour));
    });
}

TEST(XsdDateTime, FormatsUtcWithFourDigitYearsAndNothingOutsideThem) {
    EXPECT_EQ(XsdDateTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(XsdDateTime(1391760309), "2014-02-07T08:05:09Z");
    EXPECT_EQ(XsdDateTime(-1), "1969-12-31T23:59:59Z");
    EXPECT_EQ(XsdDateTime(253402300799), "9999-12-31T23:59:59Z");
    EXPECT_EQ(XsdDateTime(253402300800), "");
    EXPECT_EQ(XsdDateTime(-62167219201), "");  // a second before year 0
}

}  // namespace
}  // namespace quarnel
