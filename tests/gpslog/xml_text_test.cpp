// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Escaped text, locale-free numbers and map positions for the GPX and KML files.
#include "gpslog/xml_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <string>

#include "gpslog/xml_reader.h"

namespace quarnel {
namespace {

struct EscapeCase {
    const char* name;
    std::string text;
    std::string escaped;
};
void PrintTo(const EscapeCase& c, std::ostream* os) {
    *os << c.name;
}

const EscapeCase kEscapeCases[] = {
    {"Plain", "GPS log", "GPS log"},
    {"Markup", "<a href=\"x\">&'", "&lt;a href=&quot;x&quot;&gt;&amp;&apos;"},
    {"AlreadyEscapedIsEscapedAgain", "&amp;", "&amp;amp;"},
    {"TabAndLineEndsKept", "a\tb\nc\r", "a\tb\nc\r"},
    {"ControlCharactersReplaced",
     std::string("a\x01"
                 "b\x1F"
                 "c\0d",
                 7),
     "a\xEF\xBF\xBD"
     "b\xEF\xBF\xBD"
     "c\xEF\xBF\xBD"
     "d"},
    {"Utf8Kept", "\xC3\xA9t\xC3\xA9 \xE5\x8F\xB0\xE5\x8C\x97 \xF0\x9F\x9A\x97",
     "\xC3\xA9t\xC3\xA9 \xE5\x8F\xB0\xE5\x8C\x97 \xF0\x9F\x9A\x97"},
    {"Latin1ByteReplaced", "caf\xE9", "caf\xEF\xBF\xBD"},
    {"StrayContinuationByte", "a\x80z", "a\xEF\xBF\xBDz"},
    {"SequenceCutShort", "a\xE5\x8F", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"OverlongSlash", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"Surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"NonCharacterFFFE", "\xEF\xBF\xBE", "\xEF\xBF\xBD"},
    {"BeyondUnicode", "\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"Empty", "", ""},
};

class XmlEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(XmlEscapeTest, EscapesMarkupAndReplacesWhatXmlCannotHold) {
    const EscapeCase& c = GetParam();
    const std::string escaped = XmlEscape(c.text);
    EXPECT_EQ(escaped, c.escaped);
    // Whatever went in, the result reads back as the text of an element and an attribute.
    const test::XmlDocument doc = test::ParseXml("<a v=\"" + escaped + "\">" + escaped + "</a>");
    ASSERT_EQ(doc.error, "");
    EXPECT_EQ(doc.root->children.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Texts, XmlEscapeTest, ::testing::ValuesIn(kEscapeCases),
                         [](const ::testing::TestParamInfo<EscapeCase>& c) {
                             return c.param.name;
                         });

TEST(XmlEscape, MarkupComesBackUnchangedThroughAReader) {
    const std::string text = "Trip <Taipei> & \"Kaohsiung\" 'south'";
    const test::XmlDocument doc = test::ParseXml("<a>" + XmlEscape(text) + "</a>");
    ASSERT_EQ(doc.error, "");
    EXPECT_EQ(doc.root->text, text);
}

struct FixedCase {
    const char* name;
    double value;
    int decimals;
    const char* text;
};
void PrintTo(const FixedCase& c, std::ostream* os) {
    *os << c.name;
}

const FixedCase kFixedCases[] = {
    {"FloatLatitude", static_cast<double>(22.63f), 6, "22.629999"},
    {"FloatLongitude", static_cast<double>(120.3f), 6, "120.300003"},
    {"Negative", -22.5, 6, "-22.500000"},
    {"RoundsHalfToEvenAsPrintfDoes", 0.125, 2, "0.12"},
    {"OneDecimal", static_cast<double>(3.2f), 1, "3.2"},
    {"NoDecimals", 89.5, 0, "90"},
    {"NegativeZero", -0.0, 6, "-0.000000"},
    {"LargestFloat", static_cast<double>(FLT_MAX), 1, "340282346638528859811704183484516925440.0"},
    {"NaN", std::nan(""), 6, "NaN"},
    {"Infinity", std::numeric_limits<double>::infinity(), 1, "INF"},
    {"NegativeInfinity", -std::numeric_limits<double>::infinity(), 2, "-INF"},
};

class FixedTextTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedTextTest, WritesTheDigitsPrintfWritesInTheCLocale) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(FixedText(c.value, c.decimals), c.text);
    if (std::isfinite(c.value)) {
        char printed[128];
        std::snprintf(printed, sizeof printed, "%.*f", c.decimals, c.value);
        EXPECT_EQ(FixedText(c.value, c.decimals), printed);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, FixedTextTest, ::testing::ValuesIn(kFixedCases),
                         [](const ::testing::TestParamInfo<FixedCase>& c) { return c.param.name; });

struct PositionCase {
    const char* name;
    float latitude;
    float longitude;
    bool onTheMap;
};
void PrintTo(const PositionCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

const PositionCase kPositionCases[] = {
    {"Taipei", 25.03f, 121.56f, true},
    {"SouthWest", -33.9f, -70.7f, true},
    {"Poles", 90.0f, 180.0f, true},
    {"OtherPoleAndMeridian", -90.0f, -180.0f, true},
    {"Origin", 0.0f, 0.0f, true},
    {"LatitudeTooFarNorth", 90.001f, 0.0f, false},
    {"LatitudeTooFarSouth", -123456789.0f, 120.3f, false},
    {"LongitudeTooFarEast", 0.0f, 180.001f, false},
    {"LongitudeTooFarWest", 0.0f, -181.0f, false},
    {"LatitudeNaN", kNaN, 120.3f, false},
    {"LongitudeNaN", 22.6f, kNaN, false},
    {"LatitudeInfinite", kInf, 120.3f, false},
    {"LongitudeMinusInfinite", 22.6f, -kInf, false},
};

class IsMapPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(IsMapPositionTest, AcceptsFiniteDegreesWithinTheirRanges) {
    EXPECT_EQ(IsMapPosition(GetParam().latitude, GetParam().longitude), GetParam().onTheMap);
}

INSTANTIATE_TEST_SUITE_P(Positions, IsMapPositionTest, ::testing::ValuesIn(kPositionCases),
                         [](const ::testing::TestParamInfo<PositionCase>& c) {
                             return c.param.name;
                         });

}  // namespace
}  // namespace quarnel
