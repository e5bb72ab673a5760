// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The log written as CSV, GPX, KML and the map page from the same download: the same records
// in the same order in every format, valid empty tracks, UTC times, escaped names and write
// failures.
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "gpslog/external_tool.h"
#include "gpslog/log_files.h"
#include "gpslog/log_messages.h"
#include "gpslog/log_test_support.h"
#include "gpslog/log_writer.h"
#include "gpslog/xml_reader.h"
#include "sim/sim_state.h"

namespace quarnel {
namespace {

using sim::LogRecordBytes;
using test::Bytes;
using test::FilePoint;
using test::Fix;
using test::WithByte;
using test::WithErasedLongitude;
using test::WithLongitudeEndingInFF;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int32_t kHour = 3600;

sim::LogFix Moving(sim::LogFix fix, float altitude, float course, float speed) {
    fix.altitude = altitude;
    fix.course = course;
    fix.speed = speed;
    return fix;
}

sim::LogFix WithTag(sim::LogFix fix, int32_t tag) {
    fix.tag = tag;
    return fix;
}

const char* Name(LogFormat f) {
    return LogFormatExtension(f).data();  // each is a whole literal
}

struct LogCase {
    const char* name;
    std::vector<LogRecordBytes> log;
    size_t csvLines;  // lines the CSV gets
    size_t onMap;     // of them, positions a map can show
};
void PrintTo(const LogCase& c, std::ostream* os) {
    *os << c.name;
}

const LogCase kLogCases[] = {
    {"ExampleFix", {Bytes(Fix(2014, 2, 7, 8, 5, 9))}, 1, 1},
    {"EveryHemisphere",
     {Bytes(Moving(Fix(2014, 2, 7, 8, 0, 0, 25.0330f, 121.5654f), 9.0f, 0.0f, 0.0f)),
      Bytes(Moving(Fix(2014, 2, 7, 8, 0, 1, -33.8688f, 151.2093f), -12.25f, 359.99f, 120.5f)),
      Bytes(Moving(Fix(2014, 2, 7, 8, 0, 2, -22.9068f, -43.1729f), 1234.5f, 180.0f, 3.25f)),
      Bytes(Moving(Fix(2014, 2, 7, 8, 0, 3, 40.7128f, -74.0060f), 0.0f, 45.5f, 250.0f))},
     4,
     4},
    {"RecordTestDropsOlderErasedUntaggedAndOutOfRange",
     {Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(Fix(2014, 2, 7, 9, 59, 59)),
      WithErasedLongitude(Fix(2014, 2, 7, 10, 0, 1)), WithByte(Fix(2014, 2, 7, 10, 0, 2), 31, 0xFF),
      Bytes(WithTag(Fix(2014, 2, 7, 10, 0, 3), 0)), Bytes(Fix(2014, 13, 7, 10, 0, 4)),
      Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(Fix(2014, 2, 7, 10, 0, 5))},
     3,
     3},
    {"February31AndYear2000",
     {Bytes(Fix(2000, 1, 1, 0, 0, 0)), Bytes(Fix(2014, 2, 31, 0, 0, 0)),
      Bytes(Fix(2014, 3, 2, 23, 59, 59)), Bytes(Fix(2014, 3, 3, 0, 0, 1))},
     3,
     3},
    {"PositionsNoMapCanShowAreLeftOutOfGpxAndKml",
     {Bytes(Fix(2014, 2, 7, 10, 0, 0)), Bytes(Fix(2014, 2, 7, 10, 0, 1, -123456789.0f, 120.3f)),
      Bytes(Fix(2014, 2, 7, 10, 0, 2, kNaN, 120.3f)), Bytes(Fix(2014, 2, 7, 10, 0, 3, 22.6f, kInf)),
      Bytes(Fix(2014, 2, 7, 10, 0, 4, 91.0f, 0.0f)), Bytes(Fix(2014, 2, 7, 10, 0, 5))},
     6,
     2},
    {"EmptyLog", {}, 0, 0},
};

class SameRecordsTest : public ::testing::TestWithParam<LogCase> {
protected:
    test::FileDownload Download(LogFormat format, const LogWriterOptions& options = {}) {
        return test::DownloadToFile(GetParam().log, m_dir.File(std::string("log.") + Name(format)),
                                    format, options);
    }
    test::TempDir m_dir;
};

TEST_P(SameRecordsTest, EveryFormatHoldsTheCsvsRecordsInTheCsvsOrder) {
    const LogCase& c = GetParam();
    const test::FileDownload csv = Download(LogFormat::Csv);
    const test::FileRead csvRead = test::ReadCsv(csv.text);
    ASSERT_EQ(csvRead.error, "");
    ASSERT_EQ(csvRead.points.size(), c.csvLines);
    EXPECT_EQ(csv.result.end, LogDownloadEnd::Complete);
    EXPECT_EQ(csv.result.saved, c.csvLines);
    EXPECT_EQ(csv.result.skipped, 0u);
    const std::vector<FilePoint> expected = test::MapPoints(csvRead.points);
    ASSERT_EQ(expected.size(), c.onMap);

    for (LogFormat format : {LogFormat::Gpx, LogFormat::Kml, LogFormat::Html}) {
        SCOPED_TRACE(Name(format));
        const test::FileDownload d = Download(format);
        const test::FileRead read = test::ReadLogFile(format, d.text);
        ASSERT_EQ(read.error, "") << d.text;
        EXPECT_EQ(read.points, expected);
        EXPECT_EQ(d.result.end, LogDownloadEnd::Complete);
        EXPECT_EQ(d.result.problem, std::nullopt);
        EXPECT_EQ(d.result.reported, c.log.size());
        EXPECT_EQ(d.result.saved, c.onMap);
        EXPECT_EQ(d.result.skipped, c.csvLines - c.onMap);
        EXPECT_EQ(d.logCommands, csv.logCommands) << "the same commands for every format";
        EXPECT_EQ(d.progress, csv.progress);
    }
}

TEST_P(SameRecordsTest, TimesAreUtcForEveryOffsetGiven) {
    const test::FileDownload csv = Download(LogFormat::Csv);
    for (int32_t offset : {0, 8 * kHour, -5 * kHour}) {
        const std::vector<FilePoint> expected =
            test::MapPoints(test::ReadCsv(csv.text, offset).points);
        LogWriterOptions options;
        options.utcOffsetSeconds = offset;
        for (LogFormat format : {LogFormat::Gpx, LogFormat::Kml}) {
            SCOPED_TRACE(std::string(Name(format)) + " offset " + std::to_string(offset));
            const test::FileRead read = test::ReadLogFile(format, Download(format, options).text);
            ASSERT_EQ(read.error, "");
            EXPECT_EQ(read.points, expected);
        }
    }
}

TEST_P(SameRecordsTest, XmllintFindsTheGpxAndKmlWellFormed) {
    const auto xmllint = test::FindProgram("xmllint");
    if (!xmllint) {
        GTEST_SKIP() << "xmllint is not installed (Debian package libxml2-utils)";
    }
    for (LogFormat format : {LogFormat::Gpx, LogFormat::Kml}) {
        SCOPED_TRACE(Name(format));
        const std::filesystem::path file = m_dir.File(std::string("lint.") + Name(format));
        test::DownloadToFile(GetParam().log, file, format);
        const test::ToolRun run = test::RunTool(*xmllint, {"--noout", file.string()});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Logs, SameRecordsTest, ::testing::ValuesIn(kLogCases),
                         [](const ::testing::TestParamInfo<LogCase>& c) { return c.param.name; });

// ---- particular points ----

TEST(GpxLog, EmptyLogIsOneTrackWithOneEmptySegment) {
    test::TempDir dir;
    const test::FileDownload d = test::DownloadToFile({}, dir.File("log.gpx"), LogFormat::Gpx);
    const test::XmlDocument doc = test::ParseXml(d.text);
    ASSERT_EQ(doc.error, "");
    ASSERT_EQ(doc.root->ChildNames(), std::vector<std::string>{"trk"});
    const test::XmlElement* segment = doc.root->First("trk")->First("trkseg");
    ASSERT_NE(segment, nullptr);
    EXPECT_TRUE(segment->children.empty());
    EXPECT_EQ(d.result.end, LogDownloadEnd::Complete);
    EXPECT_EQ(d.result.saved, 0u);
}

TEST(KmlLog, EmptyLogIsOnePlacemarkWithAnEmptyTrack) {
    test::TempDir dir;
    const test::FileDownload d = test::DownloadToFile({}, dir.File("log.kml"), LogFormat::Kml);
    const test::XmlDocument doc = test::ParseXml(d.text);
    ASSERT_EQ(doc.error, "");
    const test::XmlElement* track =
        doc.root->First("Document")->First("Placemark")->First("gx:Track");
    ASSERT_NE(track, nullptr);
    EXPECT_TRUE(track->children.empty());
    EXPECT_EQ(test::ReadKml(d.text).error, "");
}

TEST(GpxLog, PointIsSignedDegreesWithElevationTimeAndSpeedAndCourseInItsDescription) {
    test::TempDir dir;
    const test::FileDownload d = test::DownloadToFile(
        {Bytes(Fix(2014, 2, 7, 8, 5, 9, -22.5f, -120.25f))}, dir.File("log.gpx"), LogFormat::Gpx);
    EXPECT_NE(d.text.find("<trkpt lat=\"-22.500000\" lon=\"-120.250000\"><ele>12.5</ele>"
                          "<time>2014-02-07T08:05:09Z</time>"
                          "<desc>speed 3.2 km/h, course 90.00</desc></trkpt>\n"),
              std::string::npos)
        << d.text;
}

TEST(KmlLog, CoordinatesAreLongitudeLatitudeAltitude) {
    test::TempDir dir;
    const test::FileDownload d = test::DownloadToFile(
        {Bytes(Fix(2014, 2, 7, 8, 5, 9, -22.5f, -120.25f))}, dir.File("log.kml"), LogFormat::Kml);
    EXPECT_NE(d.text.find("<when>2014-02-07T08:05:09Z</when>\n"
                          "<gx:coord>-120.250000 -22.500000 12.5</gx:coord>\n"),
              std::string::npos)
        << d.text;
}

TEST(GpxLog, AltitudeThatIsNotANumberLeavesOutOnlyTheElevation) {
    test::TempDir dir;
    const test::FileDownload d =
        test::DownloadToFile({Bytes(Moving(Fix(2014, 2, 7, 8, 5, 9), kNaN, kInf, kNaN))},
                             dir.File("log.gpx"), LogFormat::Gpx);
    const test::FileRead read = test::ReadGpx(d.text);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.points.size(), 1u);
    EXPECT_EQ(read.points[0].altitude, "NaN") << "no <ele>";
    EXPECT_EQ(read.points[0].speed, "NaN");
    EXPECT_EQ(read.points[0].course, "INF");
    EXPECT_EQ(d.result.skipped, 0u);
}

TEST(KmlLog, AltitudeThatIsNotANumberSkipsThePointAndCountsIt) {
    test::TempDir dir;
    const test::FileDownload d = test::DownloadToFile(
        {Bytes(Fix(2014, 2, 7, 8, 5, 8)), Bytes(Moving(Fix(2014, 2, 7, 8, 5, 9), kNaN, 0, 0)),
         Bytes(Moving(Fix(2014, 2, 7, 8, 5, 10), kInf, 0, 0))},
        dir.File("log.kml"), LogFormat::Kml);
    const test::FileRead read = test::ReadKml(d.text);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.points.size(), 1u);
    EXPECT_EQ(read.points[0].time, "2014-02-07T08:05:08Z");
    EXPECT_EQ(d.result.saved, 1u);
    EXPECT_EQ(d.result.skipped, 2u);
}

TEST(GpxLog, Longitude180IsWrittenAsTheSameMeridianMinus180) {
    test::TempDir dir;
    const test::FileDownload d = test::DownloadToFile(
        {Bytes(Fix(2014, 2, 7, 8, 5, 9, 10.0f, 180.0f))}, dir.File("log.gpx"), LogFormat::Gpx);
    const test::FileRead read = test::ReadGpx(d.text);
    ASSERT_EQ(read.points.size(), 1u);
    EXPECT_EQ(read.points[0].longitude, "-180.000000");
}

TEST(LogWriters, TrackNameIsEscapedAndReadsBackUnchanged) {
    const std::string name = "Trip <Taipei> & \"Kaohsiung\" 'south' \xE5\x8F\xB0";
    LogWriterOptions options;
    options.trackName = name;
    test::TempDir dir;
    const auto gpx =
        test::ParseXml(test::DownloadToFile({}, dir.File("a.gpx"), LogFormat::Gpx, options).text);
    ASSERT_EQ(gpx.error, "");
    EXPECT_EQ(gpx.root->First("trk")->First("name")->text, name);
    const auto kml =
        test::ParseXml(test::DownloadToFile({}, dir.File("a.kml"), LogFormat::Kml, options).text);
    ASSERT_EQ(kml.error, "");
    EXPECT_EQ(kml.root->First("Document")->First("name")->text, name);
    EXPECT_EQ(kml.root->First("Document")->First("Placemark")->First("name")->text, name);
}

// ---- write failures ----

class FullDiskTest : public ::testing::TestWithParam<LogFormat> {};

TEST_P(FullDiskTest, FileThatTakesNothingStopsBeforeTheFirstLogCommand) {
    const test::FileDownload d =
        test::DownloadToFile({Bytes(Fix(2014, 2, 7, 8, 5, 9))}, "/dev/full", GetParam());
    EXPECT_EQ(d.result.end, LogDownloadEnd::WriteFailed);
    EXPECT_EQ(d.result.problem,
              u"The log file could not be written (the disk is full). The download was "
              u"stopped; 0 records were saved.");
    EXPECT_EQ(d.logCommands, 0u);
    EXPECT_EQ(d.result.saved, 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, FullDiskTest, ::testing::ValuesIn(kLogFormats),
                         [](const ::testing::TestParamInfo<LogFormat>& f) {
                             return std::string(Name(f.param));
                         });

std::vector<LogRecordBytes> Seconds(int count) {
    std::vector<LogRecordBytes> log;
    for (int s = 0; s < count; ++s) {
        log.push_back(Bytes(Fix(2014, 2, 7, 10, s / 60, s % 60)));
    }
    return log;
}

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(GpxLog, DiskFillingUpKeepsTheWholePointsWrittenAndStopsFetching) {
    if (!test::kHaveFileSizeLimit) {
        GTEST_SKIP() << test::kNoFileSizeLimit;
    }

    test::TempDir dir;
    const auto path = dir.File("log.gpx");
    const test::FileDownload full = test::DownloadToFile(Seconds(2), path, LogFormat::Gpx);
    const size_t twoPoints = full.text.rfind("</trkseg>");
    test::FileDownload d;
    {
        test::FileSizeLimit limit(twoPoints + 20);  // ends in the middle of the third point
        d = test::DownloadToFile(Seconds(5), path, LogFormat::Gpx);
    }
    EXPECT_EQ(d.text, full.text.substr(0, twoPoints));
    EXPECT_EQ(d.result.end, LogDownloadEnd::WriteFailed);
    EXPECT_EQ(d.result.saved, 2u);
    EXPECT_EQ(d.result.problem,
              u"The log file could not be written (the file is too large). The download was "
              u"stopped; 2 records were saved.");
    EXPECT_EQ(d.logCommands, 1u + 3u) << "the count and three records, none after the failure";
}

TEST(KmlLog, DiskFillingUpCountsOnlyThePointsWhoseCoordinatesReachedTheFile) {
    if (!test::kHaveFileSizeLimit) {
        GTEST_SKIP() << test::kNoFileSizeLimit;
    }

    test::TempDir dir;
    const auto path = dir.File("log.kml");
    const size_t head = test::DownloadToFile({}, path, LogFormat::Kml).text.find("</gx:Track>");
    // About six pieces of 64 KiB; the limit falls among the coordinates.
    const int points = 3000;
    test::FileDownload d;
    {
        test::FileSizeLimit limit(head + 200 * 1024);
        d = test::DownloadToFile(Seconds(points), path, LogFormat::Kml);
    }
    EXPECT_EQ(d.result.end, LogDownloadEnd::WriteFailed);
    EXPECT_EQ(d.result.reported, static_cast<uint32_t>(points));
    EXPECT_GT(d.result.saved, 0u);
    EXPECT_LT(d.result.saved, static_cast<uint32_t>(points));
    EXPECT_EQ(Occurrences(d.text, "</gx:coord>\n"), d.result.saved);
    const std::string saved = std::to_string(d.result.saved);
    EXPECT_EQ(d.result.problem,
              u"The log file could not be written (the file is too large). The download was "
              u"stopped; " +
                  std::u16string(saved.begin(), saved.end()) + u" records were saved.");
}

TEST(KmlLog, DiskFullBeforeTheTrackSavesNothing) {
    if (!test::kHaveFileSizeLimit) {
        GTEST_SKIP() << test::kNoFileSizeLimit;
    }

    test::TempDir dir;
    const auto path = dir.File("log.kml");
    const size_t head = test::DownloadToFile({}, path, LogFormat::Kml).text.find("</gx:Track>");
    test::FileDownload d;
    {
        test::FileSizeLimit limit(head + 10);
        d = test::DownloadToFile(Seconds(3), path, LogFormat::Kml);
    }
    EXPECT_EQ(d.result.end, LogDownloadEnd::WriteFailed);
    EXPECT_EQ(d.result.saved, 0u);
    EXPECT_EQ(d.text.size(), head) << "the document's start only";
    EXPECT_EQ(d.logCommands, 1u + 3u) << "the whole log was fetched first";
}

}  // namespace
}  // namespace quarnel
