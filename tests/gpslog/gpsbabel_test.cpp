// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// GPSBabel, a program that reads GPX and KML, as an independent reader of the files: the
// points it finds must be the points of the CSV of the same log. Skipped, never passed,
// where gpsbabel is not installed (Debian package gpsbabel).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "gpslog/external_tool.h"
#include "gpslog/log_files.h"
#include "gpslog/log_test_support.h"
#include "sim/sim_state.h"
#include "support/time_zone.h"

namespace quarnel {
namespace {

using sim::LogRecordBytes;
using test::Fix;

// A point as gpsbabel reports it, and as the CSV gives it.
struct ReadPoint {
    double latitude = 0, longitude = 0, altitude = 0;
    int64_t utc = 0;
};

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            out.push_back(field);
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    out.push_back(field);
    return out;
}

int64_t Utc(const std::string& date, const std::string& time) {
    std::tm tm{};
    if (std::sscanf(date.c_str(), "%d/%d/%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday) != 3 ||
        std::sscanf(time.c_str(), "%d:%d:%d", &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 3) {
        return -1;
    }
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    return test::UtcSeconds(tm);  // carries February 31 into March
}

// gpsbabel's "unicsv" output: a header naming the columns, then one line per point.
std::vector<ReadPoint> ParseUnicsv(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = Fields(line);
    const auto column = [&](const std::string& name) {
        for (size_t i = 0; i < header.size(); ++i) {
            if (header[i] == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    const int lat = column("Latitude"), lon = column("Longitude"), alt = column("Altitude"),
              date = column("Date"), time = column("Time");
    std::vector<ReadPoint> points;
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        if (lat < 0 || lon < 0 || alt < 0 || date < 0 || time < 0) {
            error = "columns missing in: " + header.front() + "...";
            return points;
        }
        const std::vector<std::string> f = Fields(line);
        ReadPoint p;
        p.latitude = std::strtod(f.at(lat).c_str(), nullptr);
        p.longitude = std::strtod(f.at(lon).c_str(), nullptr);
        p.altitude = std::strtod(f.at(alt).c_str(), nullptr);
        p.utc = Utc(f.at(date), f.at(time));
        points.push_back(p);
    }
    return points;
}

// The CSV file's lines, with the tracker's time taken as UTC (the tests run in UTC).
std::vector<ReadPoint> CsvPoints(const std::string& csv) {
    std::vector<ReadPoint> points;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Fields(line);
        ReadPoint p;
        p.latitude = std::strtod(f.at(4).c_str(), nullptr) * (f.at(5) == "S" ? -1 : 1);
        p.longitude = std::strtod(f.at(6).c_str(), nullptr) * (f.at(7) == "W" ? -1 : 1);
        p.altitude = std::strtod(f.at(8).c_str(), nullptr);  // stops at the "m"
        p.utc = Utc(f.at(2), f.at(3));
        points.push_back(p);
    }
    return points;
}

// A drive as the demo tracker holds it, plus records the record test drops, a day past a
// month's end and both hemispheres of each kind.
std::vector<LogRecordBytes> DriveLog() {
    std::vector<LogRecordBytes> log = sim::DemoState().log;
    auto fix = [](sim::LogFix f, float altitude) {
        f.altitude = altitude;
        return sim::EncodeLogRecord(f);
    };
    log.push_back(fix(Fix(2030, 2, 31, 23, 59, 59, -33.8688f, 151.2093f), -3.5f));
    log.push_back(fix(Fix(2030, 2, 1, 0, 0, 0, 1, 1), 1));  // older: dropped
    log.push_back(fix(Fix(2030, 3, 4, 0, 0, 0, -22.9068f, -43.1729f), 812.25f));
    log.push_back(fix(Fix(2030, 3, 4, 0, 0, 1, 40.7128f, -74.006f), 10.0f));
    return log;
}

class GpsbabelTest : public ::testing::TestWithParam<LogFormat> {};

TEST_P(GpsbabelTest, ReadsThePointsOfTheCsvOfTheSameLog) {
    const auto gpsbabel = test::FindProgram("gpsbabel");
    if (!gpsbabel) {
        GTEST_SKIP() << "gpsbabel is not installed";
    }
    const LogFormat format = GetParam();
    const char* const type = format == LogFormat::Gpx ? "gpx" : "kml";
    test::TempDir dir;
    const std::vector<LogRecordBytes> log = DriveLog();
    const std::vector<ReadPoint> expected =
        CsvPoints(test::DownloadToFile(log, dir.File("log.csv"), LogFormat::Csv).text);
    ASSERT_GE(expected.size(), 10u) << "a log worth comparing";

    const auto file = dir.File(std::string("log.") + type);
    ASSERT_EQ(test::DownloadToFile(log, file, format).result.end, LogDownloadEnd::Complete);
    // Tracks only, times written in UTC.
    const test::ToolRun run = test::RunTool(
        *gpsbabel, {"-t", "-i", type, "-f", file.string(), "-o", "unicsv,utc=0", "-F", "-"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::string error;
    const std::vector<ReadPoint> read = ParseUnicsv(run.output, error);
    ASSERT_EQ(error, "") << run.output;

    ASSERT_EQ(read.size(), expected.size()) << run.output;
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i + 1));
        EXPECT_NEAR(read[i].latitude, expected[i].latitude, 1e-6);
        EXPECT_NEAR(read[i].longitude, expected[i].longitude, 1e-6);
        EXPECT_NEAR(read[i].altitude, expected[i].altitude, 0.051);
        EXPECT_EQ(read[i].utc, expected[i].utc);
    }
}

TEST_P(GpsbabelTest, ReadsAnEmptyLogAsNoPointsWithoutComplaint) {
    const auto gpsbabel = test::FindProgram("gpsbabel");
    if (!gpsbabel) {
        GTEST_SKIP() << "gpsbabel is not installed";
    }
    const char* const type = GetParam() == LogFormat::Gpx ? "gpx" : "kml";
    test::TempDir dir;
    const auto file = dir.File(std::string("log.") + type);
    test::DownloadToFile({}, file, GetParam());
    const test::ToolRun run = test::RunTool(
        *gpsbabel, {"-t", "-i", type, "-f", file.string(), "-o", "unicsv,utc=0", "-F", "-"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::string error;
    EXPECT_TRUE(ParseUnicsv(run.output, error).empty()) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Formats, GpsbabelTest, ::testing::Values(LogFormat::Gpx, LogFormat::Kml),
                         [](const ::testing::TestParamInfo<LogFormat>& f) {
                             return std::string(f.param == LogFormat::Gpx ? "Gpx" : "Kml");
                         });

}  // namespace
}  // namespace quarnel
