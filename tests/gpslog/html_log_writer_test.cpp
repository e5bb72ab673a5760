// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The map page as a file: self-contained, escaped, its summary, empty logs, and written as
// the records come. What a browser makes of it is in map_page_browser_test.cpp.
#include "gpslog/html_log_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "gpslog/log_files.h"
#include "gpslog/log_test_support.h"
#include "gpslog/map_page_assets.h"
#include "gpslog/xml_text.h"
#include "sim/sim_state.h"

namespace quarnel {
namespace {

using sim::LogRecordBytes;
using test::Bytes;
using test::Fix;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// The text between `open` and the next `close` after it, or "(missing)".
std::string Between(const std::string& text, const std::string& open, const std::string& close) {
    const size_t start = text.find(open);
    if (start == std::string::npos) {
        return "(missing)";
    }
    const size_t from = start + open.size();
    const size_t end = text.find(close, from);
    return end == std::string::npos ? "(missing)" : text.substr(from, end - from);
}

// A summary figure: its data-value and its text.
struct Figure {
    std::string value, text;
};
Figure FigureOf(const std::string& page, const std::string& id) {
    const std::string open = "<dd id=\"" + id + "\" data-value=\"";
    Figure f;
    f.value = Between(page, open, "\"");
    f.text = Between(page, open + f.value + "\">", "</dd>");
    return f;
}

sim::LogFix At(int hour, int minute, int second, double northMetres, float speed) {
    sim::LogFix f = Fix(2014, 2, 7, hour, minute, second,
                        static_cast<float>(22.6 + northMetres / 111195.08), 120.3f);
    f.speed = speed;
    return f;
}

std::string Page(const std::vector<LogRecordBytes>& log, const LogWriterOptions& options = {}) {
    test::TempDir dir;
    return test::DownloadToFile(log, dir.File("trip.html"), LogFormat::Html, options).text;
}

TEST(MapPage, LoadsNothingFromBesideItAndRunsOnlyItsOwnScripts) {
    const std::string page = Page(sim::DemoState().log);
    ASSERT_EQ(test::ReadHtml(page).error, "");
    EXPECT_EQ(Count(page, "<link"), 0u);
    EXPECT_EQ(Count(page, " src="), 0u);
    const std::string styles = Between(page, "<style>", "</script");  // the head's styles
    EXPECT_EQ(Count(styles, "url("), 0u) << "no images beside the page";
    EXPECT_EQ(Count(page, "<iframe"), 0u);
    EXPECT_EQ(Count(page, "<script"), 3u) << "the data, Leaflet and the page's own";
    EXPECT_NE(page.find("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
                        "'none'; img-src https://tile.openstreetmap.org data:; style-src "
                        "'unsafe-inline'; script-src " +
                        std::string(map_page::kScriptSources) +
                        "; base-uri 'none'; form-action 'none'\">"),
              std::string::npos);
    EXPECT_EQ(Count(std::string(map_page::kScriptSources), "'sha256-"), 2u);
}

TEST(MapPage, CarriesLeafletFromTheBuildInline) {
    const std::string page = Page({Bytes(Fix(2014, 2, 7, 8, 5, 9))});
    EXPECT_NE(page.find("<style>\n" + std::string(map_page::kLeafletStyle) + "</style>"),
              std::string::npos);
    // Exactly the text the policy's digests were made of, right after the tag.
    EXPECT_NE(page.find("<script>" + std::string(map_page::kLeafletScript) + "</script>"),
              std::string::npos);
    EXPECT_NE(page.find("<script>" + std::string(map_page::kPageScript) + "</script>"),
              std::string::npos);
    EXPECT_NE(map_page::kLeafletScript.find("Leaflet " + std::string(map_page::kLeafletVersion)),
              std::string::npos)
        << "its licence notice first";
    EXPECT_EQ(map_page::kLeafletScript.find("sourceMappingURL"), std::string::npos);
}

TEST(MapPage, TrackNameIsEscapedIntoTextOnly) {
    LogWriterOptions options;
    options.trackName =
        "</title></script><script>alert(1)</script><img src=x onerror=alert(2)> & \"q\" 'a' "
        "\xE5\x8F\xB0 \xFF";
    const std::string page = Page({Bytes(Fix(2014, 2, 7, 8, 5, 9))}, options);
    const std::string escaped = XmlEscape(options.trackName);
    EXPECT_EQ(Between(page, "<title>", "</title>"), escaped);
    EXPECT_EQ(Between(page, "<h1 id=\"name\">", "</h1>"), escaped);
    EXPECT_EQ(page.find("alert(1)</script>"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
    EXPECT_EQ(Count(page, "<script"), 3u);
    EXPECT_NE(escaped.find("&lt;/script&gt;&lt;script&gt;"), std::string::npos);
    EXPECT_NE(escaped.find("\xEF\xBF\xBD"), std::string::npos) << "the stray byte replaced";
}

TEST(MapPage, EveryPointIsSixNumbersWithNullForWhatIsNotANumberAndTimesCountOn) {
    sim::LogFix fix = Fix(2014, 2, 7, 8, 5, 9, -22.5f, -120.25f);
    fix.altitude = kNaN;
    fix.course = std::numeric_limits<float>::infinity();
    fix.speed = kNaN;
    const std::string page = Page({Bytes(Fix(2014, 2, 7, 8, 5, 8)), Bytes(fix)});
    EXPECT_EQ(test::HtmlTrackData(page),
              "[\n1391760308,22.629999,120.300003,12.5,90.00,3.2,\n"
              "1,-22.500000,-120.250000,null,null,null\n]");
}

TEST(MapPage, SummaryOfTheDemoDrive) {
    const std::string page = Page(sim::DemoState().log);
    EXPECT_EQ(FigureOf(page, "first-time").text, "2014-02-07 08:00:00");
    EXPECT_EQ(FigureOf(page, "first-time").value, "1391760000");
    EXPECT_EQ(FigureOf(page, "last-time").text, "2014-02-07 09:19:40");
    EXPECT_EQ(FigureOf(page, "duration").text, "1 h 19 min 40 s");
    EXPECT_EQ(FigureOf(page, "duration").value, "4780");
    EXPECT_EQ(FigureOf(page, "points").value, "240");
    EXPECT_EQ(FigureOf(page, "left-out").value, "0");
    EXPECT_EQ(FigureOf(page, "left-out").text, "none");
    EXPECT_EQ(FigureOf(page, "max-speed").text, "50.0 km/h");
    EXPECT_NE(page.find("<p id=\"stops\" class=\"note\">None.</p>"), std::string::npos);
    EXPECT_NE(page.find("Times are as the tracker's clock recorded them."), std::string::npos);
    // Figures and their texts agree.
    const double metres = std::stod(FigureOf(page, "distance").value);
    EXPECT_EQ(FigureOf(page, "distance").text, FixedText(metres / 1000, 1) + " km");
    const double average = std::stod(FigureOf(page, "moving-speed").value);
    EXPECT_EQ(FigureOf(page, "moving-speed").text, FixedText(average, 1) + " km/h");
}

TEST(MapPage, StopsAreListedWithTheirTimesAndPlace) {
    const std::string page = Page({
        Bytes(At(8, 0, 0, 0, 30)),
        Bytes(At(8, 1, 0, 500, 0)),
        Bytes(At(8, 13, 30, 505, 0)),  // standing for 12 min 30 s
        Bytes(At(8, 14, 0, 900, 40)),
    });
    const std::string stops = Between(page, "<ol id=\"stops\">\n", "</ol>");
    EXPECT_EQ(Count(stops, "<li"), 1u);
    EXPECT_NE(stops.find("<li data-start=\"1391760060\" data-end=\"1391760810\" data-lat=\"" +
                         FixedText(At(8, 1, 0, 500, 0).latitude, 6) +
                         "\" data-lon=\"120.300003\">08:01:00 \u2013 08:13:30 (12 min 30 s)</li>"),
              std::string::npos)
        << stops;
}

TEST(MapPage, StopsOfATripOverSeveralDaysCarryTheirDates) {
    sim::LogFix late = At(23, 50, 0, 0, 0);
    sim::LogFix morning = At(0, 10, 0, 3, 0);
    morning.day = 8;
    sim::LogFix away = At(0, 11, 0, 900, 50);
    away.day = 8;
    const std::string page =
        Page({Bytes(At(23, 49, 0, -800, 50)), Bytes(late), Bytes(morning), Bytes(away)});
    EXPECT_NE(page.find(">2014-02-07 23:50:00 \u2013 2014-02-08 00:10:00 (20 min 0 s)</li>"),
              std::string::npos)
        << Between(page, "<ol id=\"stops\">", "</ol>");
}

struct EmptyCase {
    const char* name;
    std::vector<LogRecordBytes> log;
    const char* says;
    const char* leftOut;
};
void PrintTo(const EmptyCase& c, std::ostream* os) {
    *os << c.name;
}

const EmptyCase kEmptyCases[] = {
    {"NoRecords", {}, "The tracker's GPS log was empty: there is no trip to show.", "0"},
    {"OnlyRecordsTheRecordTestDrops",
     {Bytes(Fix(2014, 13, 7, 8, 0, 0)), test::WithErasedLongitude(Fix(2014, 2, 7, 8, 0, 1))},
     "The tracker's GPS log was empty: there is no trip to show.",
     "0"},
    {"NoPositionAMapCanShow",
     {Bytes(Fix(2014, 2, 7, 8, 0, 0, kNaN, 120.3f)), Bytes(Fix(2014, 2, 7, 8, 0, 1, 95.0f, 0.0f))},
     "None of the 2 positions in this GPS log can be shown on a map (their coordinates are not "
     "valid), so there is no trip to show.",
     "2"},
};

class EmptyPageTest : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyPageTest, SaysThereIsNoTripAndIsStillAWholePage) {
    const std::string page = Page(GetParam().log);
    const test::FileRead read = test::ReadHtml(page);
    ASSERT_EQ(read.error, "");
    EXPECT_TRUE(read.points.empty());
    EXPECT_EQ(Between(page, "<p id=\"empty\" class=\"empty\">", "</p>"), GetParam().says);
    EXPECT_EQ(FigureOf(page, "points").value, "0");
    EXPECT_EQ(FigureOf(page, "left-out").value, GetParam().leftOut);
    EXPECT_EQ(Count(page, "<script"), 3u) << "the page's script says so on the map too";
}

INSTANTIATE_TEST_SUITE_P(Logs, EmptyPageTest, ::testing::ValuesIn(kEmptyCases),
                         [](const ::testing::TestParamInfo<EmptyCase>& c) { return c.param.name; });

TEST(MapPage, PositionsNoMapCanShowAreCountedInTheSummary) {
    const std::string page =
        Page({Bytes(Fix(2014, 2, 7, 8, 0, 0)), Bytes(Fix(2014, 2, 7, 8, 0, 1, 22.6f, 181.0f)),
              Bytes(Fix(2014, 2, 7, 8, 0, 2))});
    EXPECT_EQ(FigureOf(page, "points").value, "2");
    EXPECT_EQ(FigureOf(page, "left-out").value, "1");
    EXPECT_EQ(FigureOf(page, "left-out").text, "1 position with coordinates no map can show");
}

struct OffsetCase {
    const char* name;
    std::optional<int32_t> offset;
    const char* says;
};
void PrintTo(const OffsetCase& c, std::ostream* os) {
    *os << c.name;
}

class ClockNoteTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(ClockNoteTest, NamesTheTrackersOffsetWhenItIsKnown) {
    LogWriterOptions options;
    options.utcOffsetSeconds = GetParam().offset;
    const std::string page = Page({Bytes(Fix(2014, 2, 7, 8, 5, 9))}, options);
    EXPECT_NE(page.find(GetParam().says), std::string::npos);
    EXPECT_EQ(FigureOf(page, "first-time").text, "2014-02-07 08:05:09")
        << "the tracker's own clock, whatever the offset";
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, ClockNoteTest,
    ::testing::Values(OffsetCase{"Unknown", std::nullopt,
                                 "Times are as the tracker's clock recorded them."},
                      OffsetCase{"East", 8 * 3600, "Times are UTC+08:00."},
                      OffsetCase{"West", -5 * 3600, "Times are UTC-05:00."},
                      OffsetCase{"HalfHour", 5 * 3600 + 1800, "Times are UTC+05:30."},
                      OffsetCase{"Utc", 0, "Times are UTC+00:00."}),
    [](const ::testing::TestParamInfo<OffsetCase>& c) { return c.param.name; });

struct TextCase {
    const char* name;
    std::string text, expected;
};
void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class PageTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PageTextTest, WritesTheFigureAsTheSummaryShowsIt) {
    EXPECT_EQ(GetParam().text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Figures, PageTextTest,
    ::testing::Values(TextCase{"DateTime", PageDateTime(1391760309), "2014-02-07 08:05:09"},
                      TextCase{"DurationSeconds", PageDuration(40), "40 s"},
                      TextCase{"DurationNone", PageDuration(0), "0 s"},
                      TextCase{"DurationMinutes", PageDuration(725), "12 min 5 s"},
                      TextCase{"DurationHours", PageDuration(4780), "1 h 19 min 40 s"},
                      TextCase{"DurationWholeHour", PageDuration(7200), "2 h 0 min 0 s"},
                      TextCase{"DurationDays", PageDuration(2 * 86400 + 61), "48 h 1 min 1 s"},
                      TextCase{"DistanceMetres", PageDistance(850.2), "850 m"},
                      TextCase{"DistanceJustUnderAKilometre", PageDistance(999.4), "999 m"},
                      TextCase{"DistanceAKilometre", PageDistance(999.6), "1.0 km"},
                      TextCase{"DistanceKilometres", PageDistance(36419.9), "36.4 km"}),
    [](const ::testing::TestParamInfo<TextCase>& c) { return c.param.name; });

// ---- written as the records come ----

LogRecord Record(int i) {
    LogRecord r;
    r.tag = i + 1;
    r.year = 14;
    r.month = 2;
    r.day = 7 + i / 86400;
    r.hour = static_cast<uint8_t>(i / 3600 % 24);
    r.minute = static_cast<uint8_t>(i / 60 % 60);
    r.second = static_cast<uint8_t>(i % 60);
    r.latitude = 22.63f + static_cast<float>(i) * 1e-5f;
    r.longitude = 120.3f;
    r.altitude = 12.5f;
    r.course = 90;
    r.speed = 36;
    return r;
}

TEST(MapPage, PointsReachTheFileAsTheyComeNotAtTheEnd) {
    test::TempDir dir;
    const auto path = dir.File("trip.html");
    CsvFile file;
    ASSERT_TRUE(file.Create(path));
    HtmlLogWriter writer(file, {});
    ASSERT_TRUE(writer.Begin());
    const uint32_t points = 5000;
    for (uint32_t i = 0; i < points; ++i) {
        ASSERT_EQ(writer.Add(i + 1, Record(static_cast<int>(i)), 0), AddResult::Accepted);
    }
    const auto before = std::filesystem::file_size(path);
    EXPECT_GT(before, 150u * 1024) << "the points written so far are in the file";
    EXPECT_GT(writer.Saved(), points - 2000);
    EXPECT_LT(writer.Saved(), points) << "the last piece is still gathering";
    ASSERT_TRUE(writer.Finish());
    EXPECT_EQ(writer.Saved(), points);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(test::ReadHtml(test::ReadBytes(path)).points.size(), points);
}

TEST(MapPage, DiskFillingUpKeepsWholePointsAndCountsThem) {
    if (!test::kHaveFileSizeLimit) {
        GTEST_SKIP() << test::kNoFileSizeLimit;
    }

    test::TempDir dir;
    const auto path = dir.File("trip.html");
    const size_t head = test::DownloadToFile({}, path, LogFormat::Html).text.find("[\n") + 2;
    std::vector<LogRecordBytes> log;
    for (int i = 0; i < 6000; ++i) {
        log.push_back(Bytes(Fix(2014, 2, 7, 10 + i / 3600, i / 60 % 60, i % 60)));
    }
    test::FileDownload d;
    {
        test::FileSizeLimit limit(head + 150 * 1024);
        d = test::DownloadToFile(log, path, LogFormat::Html);
    }
    EXPECT_EQ(d.result.end, LogDownloadEnd::WriteFailed);
    EXPECT_GT(d.result.saved, 0u);
    EXPECT_LT(d.result.saved, 6000u);
    ASSERT_GT(d.text.size(), head);
    const std::string data = d.text.substr(head);
    EXPECT_EQ(Count(data, "\n") + 1, d.result.saved) << "one line per point, the last whole";
    EXPECT_TRUE(d.text.ends_with("3.2")) << "ends with a whole point";
}

}  // namespace
}  // namespace quarnel
