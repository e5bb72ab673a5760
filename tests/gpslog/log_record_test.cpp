// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The pure parts of the log download: reading a record, the record test, the line format,
// the progress figures and the command bytes.
#include "gpslog/log_record.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <ostream>
#include <string>

#include "device/command_areas.h"
#include "gpslog/log_commands.h"
#include "gpslog/log_progress.h"
#include "gpslog/log_test_support.h"
#include "sim/sim_state.h"

namespace quarnel {
namespace {

using test::Fix;

LogRecord Record(const sim::LogFix& fix) {
    return ParseLogRecord(sim::EncodeLogRecord(fix).data());
}

LogRecord RecordWith(const sim::LogFix& fix, std::function<void(sim::LogRecordBytes&)> change) {
    sim::LogRecordBytes bytes = sim::EncodeLogRecord(fix);
    change(bytes);
    return ParseLogRecord(bytes.data());
}

TEST(ParseLogRecord, ReadsEveryFieldAtItsOffset) {
    sim::LogRecordBytes b{};
    const uint8_t head[] = {0x05, 0x00, 0x00, 0x80, 0xEE, 0xEE, 14, 2, 7, 8, 5, 9};
    std::memcpy(b.data(), head, sizeof head);
    const float floats[] = {-22.5f, 120.25f, 12.5f, 90.0f, 3.2f};
    for (size_t i = 0; i < 5; ++i) {
        PutLe32(b.data() + 12 + 4 * i, std::bit_cast<uint32_t>(floats[i]));
    }
    const LogRecord r = ParseLogRecord(b.data());
    EXPECT_EQ(r.tag, static_cast<int32_t>(0x80000005u));  // signed: negative
    EXPECT_EQ(r.year, 14);
    EXPECT_EQ(r.month, 2);
    EXPECT_EQ(r.day, 7);
    EXPECT_EQ(r.hour, 8);
    EXPECT_EQ(r.minute, 5);
    EXPECT_EQ(r.second, 9);
    EXPECT_EQ(r.latitude, -22.5f);
    EXPECT_EQ(r.longitude, 120.25f);
    EXPECT_EQ(r.altitude, 12.5f);
    EXPECT_EQ(r.course, 90.0f);
    EXPECT_EQ(r.speed, 3.2f);
    EXPECT_EQ(r.longitudeFirstByte, b[16]);
    EXPECT_EQ(r.speedLastByte, b[31]);
}

// ---- the line format ----

struct LineCase {
    const char* name;
    uint32_t index;
    LogRecord record;
    std::string line;
};
void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

LogRecord Extremes() {
    LogRecord r = Record(Fix(2014, 2, 7, 8, 5, 9));
    r.altitude = -FLT_MAX;
    r.course = -FLT_MAX;
    r.speed = -FLT_MAX;
    return r;
}

const std::string kFltMax = "340282346638528859811704183484516925440";

const LineCase kLines[] = {
    {"ExampleOfTheFirstLine", 1, Record(Fix(2014, 2, 7, 8, 5, 9)),
     "1,T,2014/02/07,08:05:09,22.629999,N,120.300003,E,12.5m,90.00,3.2km/h\r\n"},
    {"SouthernLatitudeIsNegated", 2, Record(Fix(2014, 2, 7, 8, 5, 9, -22.5f, 120.25f)),
     "2,T,2014/02/07,08:05:09,22.500000,S,120.250000,E,12.5m,90.00,3.2km/h\r\n"},
    {"WesternLongitudeIsNegated", 3, Record(Fix(2014, 2, 7, 8, 5, 9, 0.0f, -120.25f)),
     "3,T,2014/02/07,08:05:09,0.000000,N,120.250000,W,12.5m,90.00,3.2km/h\r\n"},
    {"NineDigitLatitudeCutTo15Characters", 1,
     Record(Fix(2014, 2, 7, 8, 5, 9, 123456789.0f, -987654321.0f)),
     // 123456792.000000 and 987654336.000000 have 16 characters each.
     "1,T,2014/02/07,08:05:09,123456792.00000,N,987654336.00000,W,12.5m,90.00,3.2km/h\r\n"},
    {"YearByte0Is2000", 1, Record(Fix(2000, 1, 1, 0, 0, 0)),
     "1,T,2000/01/01,00:00:00,22.629999,N,120.300003,E,12.5m,90.00,3.2km/h\r\n"},
    {"YearByte14Is2014", 1, Record(Fix(2014, 12, 31, 23, 59, 59)),
     "1,T,2014/12/31,23:59:59,22.629999,N,120.300003,E,12.5m,90.00,3.2km/h\r\n"},
    {"February31PrintedAsIs", 1, Record(Fix(2014, 2, 31, 0, 0, 0)),
     "1,T,2014/02/31,00:00:00,22.629999,N,120.300003,E,12.5m,90.00,3.2km/h\r\n"},
    {"NotANumberIsNotNonNegative", 1,
     Record(Fix(2014, 2, 7, 8, 5, 9, std::numeric_limits<float>::quiet_NaN(), 1.0f)),
     "1,T,2014/02/07,08:05:09,-nan,S,1.000000,E,12.5m,90.00,3.2km/h\r\n"},
    {"LargeIndex", 123456, Record(Fix(2014, 2, 7, 8, 5, 9)),
     "123456,T,2014/02/07,08:05:09,22.629999,N,120.300003,E,12.5m,90.00,3.2km/h\r\n"},
    {"LargestFloatsAreNotCut", 1, Extremes(),
     "1,T,2014/02/07,08:05:09,22.629999,N,120.300003,E,-" + kFltMax + ".0m,-" + kFltMax + ".00,-" +
         kFltMax + ".0km/h\r\n"},
};

class FormatLogLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(FormatLogLineTest, FormatsTheLineByteForByte) {
    EXPECT_EQ(FormatLogLine(GetParam().index, GetParam().record), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Lines, FormatLogLineTest, ::testing::ValuesIn(kLines),
                         [](const ::testing::TestParamInfo<LineCase>& c) { return c.param.name; });

TEST(CsvHeader, IsTheSeventyByteHeaderLine) {
    EXPECT_EQ(kCsvHeader,
              "INDEX,RCR,DATE,TIME,LATITUDE,N/S,LONGITUDE,E/W,ALTITUDE,COURSE,SPEED\r\n");
    EXPECT_EQ(kCsvHeader.size(), 70u);
}

// ---- the record test ----

struct VerdictCase {
    const char* name;
    LogRecord record;
    int64_t lastWritten;
    RecordVerdict verdict;
};
void PrintTo(const VerdictCase& c, std::ostream* os) {
    *os << c.name;
}

const int64_t kTenOClock = 1391767200;  // 2014-02-07 10:00:00 UTC
auto SetByte(size_t at, uint8_t value) {
    return [=](sim::LogRecordBytes& b) { b[at] = value; };
}
auto EraseLongitude() {
    return [](sim::LogRecordBytes& b) { std::fill(b.begin() + 16, b.begin() + 20, uint8_t{0xFF}); };
}
sim::LogFix Tagged(int32_t tag) {
    sim::LogFix f = Fix(2014, 2, 7, 10, 0, 0);
    f.tag = tag;
    return f;
}

const VerdictCase kVerdicts[] = {
    {"ValidFirstRecord", Record(Fix(2014, 2, 7, 10, 0, 0)), 0, RecordVerdict::Write},
    {"TagZero", Record(Tagged(0)), 0, RecordVerdict::NoTag},
    {"TagNegative", Record(Tagged(-5)), 0, RecordVerdict::NoTag},
    {"TagTestedBeforeMarkers", RecordWith(Tagged(0), SetByte(31, 0xFF)), 0, RecordVerdict::NoTag},
    {"ErasedMemoryAllOnes",
     RecordWith(Fix(2014, 2, 7, 10, 0, 0), [](sim::LogRecordBytes& b) { b.fill(0xFF); }), 0,
     RecordVerdict::NoTag},
    {"SpeedMarker", RecordWith(Fix(2014, 2, 7, 10, 0, 0), SetByte(31, 0xFF)), 0,
     RecordVerdict::ErasedSpeed},
    {"SpeedMarkerTestedBeforeLongitudeMarker",
     RecordWith(Fix(2014, 2, 7, 10, 0, 0),
                [](sim::LogRecordBytes& b) {
                    b[31] = 0xFF;
                    b[16] = 0xFF;
                }),
     0, RecordVerdict::ErasedSpeed},
    {"LongitudeMarker", RecordWith(Fix(2014, 2, 7, 10, 0, 0), EraseLongitude()), 0,
     RecordVerdict::ErasedLongitude},
    {"LongitudeMarkerTestedBeforeRanges", RecordWith(Fix(2014, 0, 7, 10, 0, 0), EraseLongitude()),
     0, RecordVerdict::ErasedLongitude},
    // One real longitude in 256 stores 0xFF in its first byte: that is a fix, not erased
    // memory, and is written.
    {"LongitudeEndingInFFIsAFix", Record(test::WithLongitudeEndingInFF(Fix(2014, 2, 7, 10, 0, 0))),
     0, RecordVerdict::Write},
    {"Month0", Record(Fix(2014, 0, 7, 10, 0, 0)), 0, RecordVerdict::FieldOutOfRange},
    {"Month13", Record(Fix(2014, 13, 7, 10, 0, 0)), 0, RecordVerdict::FieldOutOfRange},
    {"Day0", Record(Fix(2014, 2, 0, 10, 0, 0)), 0, RecordVerdict::FieldOutOfRange},
    {"Day32", Record(Fix(2014, 2, 32, 10, 0, 0)), 0, RecordVerdict::FieldOutOfRange},
    {"Hour24", Record(Fix(2014, 2, 7, 24, 0, 0)), 0, RecordVerdict::FieldOutOfRange},
    {"Minute60", Record(Fix(2014, 2, 7, 10, 60, 0)), 0, RecordVerdict::FieldOutOfRange},
    {"Second60", Record(Fix(2014, 2, 7, 10, 0, 60)), 0, RecordVerdict::FieldOutOfRange},
    {"RangesTestedBeforeTimeOrder", Record(Fix(2014, 2, 7, 10, 0, 60)), kTenOClock + 3600,
     RecordVerdict::FieldOutOfRange},
    {"UpperBoundsPass", Record(Fix(2014, 12, 31, 23, 59, 59)), 0, RecordVerdict::Write},
    {"LowerBoundsPass", Record(Fix(2000, 1, 1, 0, 0, 0)), 0, RecordVerdict::Write},
    {"OlderThanLastWritten", Record(Fix(2014, 2, 7, 9, 59, 59)), kTenOClock,
     RecordVerdict::OlderThanLast},
    {"EqualToLastWritten", Record(Fix(2014, 2, 7, 10, 0, 0)), kTenOClock, RecordVerdict::Write},
    {"LaterThanLastWritten", Record(Fix(2014, 2, 7, 10, 0, 1)), kTenOClock, RecordVerdict::Write},
    {"NothingWrittenYetIsZeroOrLess", Record(Fix(2000, 1, 1, 0, 0, 0)), -1, RecordVerdict::Write},
};

class TestRecordTest : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(TestRecordTest, GivesTheVerdictOfTheFirstFailingCheck) {
    int64_t time = -12345;
    EXPECT_EQ(TestRecord(GetParam().record, GetParam().lastWritten, time), GetParam().verdict);
    if (GetParam().verdict == RecordVerdict::Write) {
        EXPECT_EQ(time, RecordTime(GetParam().record));
    } else {
        EXPECT_EQ(time, -12345) << "time is only given for a record that is written";
    }
}

INSTANTIATE_TEST_SUITE_P(Records, TestRecordTest, ::testing::ValuesIn(kVerdicts),
                         [](const ::testing::TestParamInfo<VerdictCase>& c) {
                             return c.param.name;
                         });

// ---- record times (the tests run in UTC) ----

TEST(RecordTime, IsSecondsSince1970InLocalStandardTime) {
    EXPECT_EQ(RecordTime(Record(Fix(2014, 2, 7, 8, 5, 9))), 1391760309);
    EXPECT_EQ(RecordTime(Record(Fix(2000, 1, 1, 0, 0, 0))), 946684800);
}

TEST(RecordTime, DaysPastTheMonthsEndCarryIntoTheNext) {
    // 2014 is no leap year: February 31 is March 3.
    EXPECT_EQ(RecordTime(Record(Fix(2014, 2, 31, 0, 0, 0))),
              RecordTime(Record(Fix(2014, 3, 3, 0, 0, 0))));
    EXPECT_GT(RecordTime(Record(Fix(2014, 2, 30, 10, 0, 0))),
              RecordTime(Record(Fix(2014, 3, 1, 9, 0, 0))));
    EXPECT_EQ(RecordTime(Record(Fix(2014, 4, 31, 0, 0, 0))),
              RecordTime(Record(Fix(2014, 5, 1, 0, 0, 0))));
}

TEST(RecordTime, LatestYearByteStillOrders) {
    EXPECT_GT(RecordTime(Record(Fix(2255, 12, 31, 23, 59, 59))),
              RecordTime(Record(Fix(2254, 1, 1, 0, 0, 0))));
}

// ---- progress ----

struct PercentCase {
    uint32_t current, total;
    int percent;
};
void PrintTo(const PercentCase& c, std::ostream* os) {
    *os << c.current << " of " << c.total;
}
std::string PercentName(const ::testing::TestParamInfo<PercentCase>& c) {
    return std::to_string(c.param.current) + "of" + std::to_string(c.param.total);
}

class DownloadPercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(DownloadPercentTest, DividesFirstInDoublePrecisionAndTruncates) {
    EXPECT_EQ(DownloadPercent(GetParam().current, GetParam().total), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Table, DownloadPercentTest,
                         ::testing::Values(PercentCase{1, 1, 100}, PercentCase{1, 3, 33},
                                           PercentCase{57, 100, 56}, PercentCase{2, 3, 66},
                                           PercentCase{0, 5, 0},
                                           PercentCase{4294967295u, 4294967295u, 100},
                                           PercentCase{1, 4294967295u, 0}),
                         PercentName);

TEST(PercentCaption, IsTheNumberABlankAndAPercentSign) {
    EXPECT_EQ(PercentCaption(56), u"56 %");
    EXPECT_EQ(PercentCaption(100), u"100 %");
    EXPECT_EQ(PercentCaption(0), u"0 %");
}

struct PositionCase {
    uint32_t k, count;
    int position;
};
void PrintTo(const PositionCase& c, std::ostream* os) {
    *os << c.k << " of " << c.count;
}
std::string PositionName(const ::testing::TestParamInfo<PositionCase>& c) {
    return std::to_string(c.param.k) + "of" + std::to_string(c.param.count);
}

class ProgressPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ProgressPositionTest, IsTheFloorOfHundredTimesKOverCount) {
    EXPECT_EQ(ProgressPosition(GetParam().k, GetParam().count), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Table, ProgressPositionTest,
                         ::testing::Values(PositionCase{1, 1, 100}, PositionCase{1, 3, 33},
                                           PositionCase{2, 3, 66}, PositionCase{57, 100, 57},
                                           PositionCase{1, 5, 20},
                                           // 100 * k no longer fits in 32 bits from here on.
                                           PositionCase{100000000u, 200000000u, 50},
                                           PositionCase{4294967295u, 4294967295u, 100},
                                           PositionCase{4294967294u, 4294967295u, 99}),
                         PositionName);

// ---- command bytes ----

CommandAreas& Filled(CommandAreas& areas, uint8_t value) {
    areas.payload.fill(value);
    return areas;
}

TEST(LogCommands, CountSetsItsTwelveBytesOnly) {
    CommandAreas areas;
    PutLogCountCommand(Filled(areas, 0xAA));
    const uint8_t expected[12] = {2, 12, 3, 0, '0', '0', '0', '0', '0', '0', '0', '0'};
    EXPECT_EQ(0, std::memcmp(areas.payload.data(), expected, 12));
    for (size_t i = 12; i < kAreaSize; ++i) {
        EXPECT_EQ(areas.payload[i], 0xAA) << "byte " << i;
    }
}

TEST(LogCommands, RecordSetsOpLenGroupAndKeepsWhatTheCountLeft) {
    CommandAreas areas;
    PutLogCountCommand(Filled(areas, 0xAA));
    PutLogRecordCommand(areas);
    const uint8_t expected[12] = {1, 3, 3, 0, '0', '0', '0', '0', '0', '0', '0', '0'};
    EXPECT_EQ(0, std::memcmp(areas.payload.data(), expected, 12));

    PutLogRecordCommand(Filled(areas, 0xAA));
    EXPECT_EQ(areas.payload[0], 1);
    EXPECT_EQ(areas.payload[1], 3);
    EXPECT_EQ(areas.payload[2], 3);
    for (size_t i = 3; i < kAreaSize; ++i) {
        EXPECT_EQ(areas.payload[i], 0xAA) << "byte " << i;
    }
}

TEST(LogCommands, EraseCommandsSetBytesZeroToThreeOnly) {
    CommandAreas areas;
    for (auto [put, op] : {std::pair{&PutEraseCommand, 2}, std::pair{&PutEraseWaitCommand, 1}}) {
        put(Filled(areas, 0xAA));
        EXPECT_EQ(areas.payload[0], op);
        EXPECT_EQ(areas.payload[1], 3);
        EXPECT_EQ(areas.payload[2], 4);
        EXPECT_EQ(areas.payload[3], 0);
        for (size_t i = 4; i < kAreaSize; ++i) {
            EXPECT_EQ(areas.payload[i], 0xAA) << "byte " << i;
        }
    }
}

}  // namespace
}  // namespace quarnel
