// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Choosing a log file format by the file name's extension.
#include "gpslog/log_format.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quarnel {
namespace {

struct ExtensionCase {
    const char* name;
    const char* path;
    std::optional<LogFormat> format;
};
void PrintTo(const ExtensionCase& c, std::ostream* os) {
    *os << c.name;
}

const ExtensionCase kExtensionCases[] = {
    {"Csv", "log.csv", LogFormat::Csv},
    {"Gpx", "log.gpx", LogFormat::Gpx},
    {"Kml", "log.kml", LogFormat::Kml},
    {"Html", "trip.html", LogFormat::Html},
    {"HtmInThreeLetters", "trip.htm", LogFormat::Html},
    {"HtmlUpperCase", "TRIP.HTM", LogFormat::Html},
    {"UpperCase", "LOG.CSV", LogFormat::Csv},
    {"MixedCase", "trip.GpX", LogFormat::Gpx},
    {"InAFolder", "/home/someone/trips/2014-02-07.Kml", LogFormat::Kml},
    {"FolderNameDoesNotCount", "/tmp/x.gpx/log", std::nullopt},
    {"OnlyTheLastExtensionCounts", "log.gpx.bak", std::nullopt},
    {"LastOfSeveral", "log.bak.kml", LogFormat::Kml},
    {"NoExtension", "log", std::nullopt},
    {"DotOnly", "log.", std::nullopt},
    {"HiddenFileNamedLikeAnExtension", ".gpx", std::nullopt},
    {"OtherExtension", "log.txt", std::nullopt},
    {"LongerExtension", "log.gpxx", std::nullopt},
    {"ShorterExtension", "log.km", std::nullopt},
    {"HtmlCutShort", "trip.ht", std::nullopt},
    {"HtmlWithMore", "trip.xhtml", std::nullopt},
    {"Compressed", "log.kmz", std::nullopt},
    {"NonAsciiName", "\xC3\xA9t\xC3\xA9.CSV", LogFormat::Csv},
    {"Empty", "", std::nullopt},
};

class LogFormatForExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(LogFormatForExtensionTest, ChoosesTheFormatByTheExtensionInAnyCase) {
    EXPECT_EQ(LogFormatForExtension(GetParam().path), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(Names, LogFormatForExtensionTest, ::testing::ValuesIn(kExtensionCases),
                         [](const ::testing::TestParamInfo<ExtensionCase>& c) {
                             return c.param.name;
                         });

TEST(LogFormatExtension, NamesEachFormatsExtensionAndLeadsBackToIt) {
    EXPECT_EQ(LogFormatExtension(LogFormat::Csv), "csv");
    EXPECT_EQ(LogFormatExtension(LogFormat::Gpx), "gpx");
    EXPECT_EQ(LogFormatExtension(LogFormat::Kml), "kml");
    EXPECT_EQ(LogFormatExtension(LogFormat::Html), "html");
    for (LogFormat f : kLogFormats) {
        EXPECT_EQ(LogFormatForExtension("x." + std::string(LogFormatExtension(f))), f);
    }
}

}  // namespace
}  // namespace quarnel
