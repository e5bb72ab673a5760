// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The profile file's text: UTF-8, lines, sections, entries and the quoting rule, and the
// CRC-32 its checksum uses.
#include "profile/profile_syntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/utf8.h"
#include "profile/crc32.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

TEST(Crc32, GivesTheCheckValueOfTheIeeePolynomial) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
}

TEST(Crc32, ChangesWithEverySingleByteChange) {
    const std::string text = "[system]\nsms_interval = 600\n";
    const uint32_t original = Crc32(text);
    for (size_t i = 0; i < text.size(); ++i) {
        std::string damaged = text;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x01);
        EXPECT_NE(Crc32(damaged), original) << "byte " << i;
    }
}

TEST(Utf8, RoundTripsLatin1AndCharactersBeyondTheBasicPlane) {
    const std::u16string text = u"Z\u00FCrich \u20AC \U0001F600";
    std::u16string back;
    EXPECT_FALSE(DecodeUtf8(EncodeUtf8(text), back).has_value());
    EXPECT_EQ(back, text);
}

struct BadUtf8 {
    const char* name;
    std::string bytes;
    size_t at;
};

class Utf8Refuses : public testing::TestWithParam<BadUtf8> {};

TEST_P(Utf8Refuses, TheFirstBadSequence) {
    std::u16string out;
    const auto bad = DecodeUtf8(GetParam().bytes, out);
    ASSERT_TRUE(bad.has_value());
    EXPECT_EQ(*bad, GetParam().at);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Refuses,
    testing::Values(BadUtf8{"Latin1Byte", "ab\xFC", 2}, BadUtf8{"LoneContinuation", "\x80", 0},
                    BadUtf8{"Overlong", "a\xC0\xAF", 1}, BadUtf8{"Surrogate", "\xED\xA0\x80", 0},
                    BadUtf8{"BeyondUnicode", "\xF4\x90\x80\x80", 0},
                    BadUtf8{"CutShort", "x\xE2\x82", 1}),
    [](const testing::TestParamInfo<BadUtf8>& p) { return std::string(p.param.name); });

// Values that need the quoting rule, and some that do not.
struct TrickyValue {
    const char* name;
    std::u16string value;
    bool quoted;
};

class ValueRoundTrip : public testing::TestWithParam<TrickyValue> {};

TEST_P(ValueRoundTrip, FormatsAndParsesBackToTheSameValue) {
    const std::string line = FormatEntry("apn", GetParam().value);
    EXPECT_EQ(line.find("= \"") != std::string::npos, GetParam().quoted) << line;
    const ProfileSyntax syntax = ParseProfileSyntax("[gprs]\n" + line + "\n");
    ASSERT_TRUE(syntax.problems.empty()) << syntax.problems[0].text;
    ASSERT_EQ(syntax.entries.size(), 1u);
    EXPECT_EQ(syntax.entries[0].value, GetParam().value) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueRoundTrip,
    testing::Values(TrickyValue{"Empty", u"", false}, TrickyValue{"Plain", u"internet", false},
                    TrickyValue{"InnerBlanks", u"TRV-G12 V1.40207", false},
                    TrickyValue{"LeadingBlank", u" internet", true},
                    TrickyValue{"TrailingBlanks", u"internet  ", true},
                    TrickyValue{"OnlyBlanks", u"   ", true}, TrickyValue{"Hash", u"pa#ss", true},
                    TrickyValue{"Semicolon", u"a;b", true},
                    TrickyValue{"LeadingQuote", u"\"quoted\"", true},
                    TrickyValue{"InnerQuote", u"say \"hi\"", false},
                    TrickyValue{"Backslash", u"C:\\dir", false},
                    TrickyValue{"QuoteBackslashAndHash", u"\\\"#", true},
                    TrickyValue{"Latin1", u"Z\u00FCrich \u00E9t\u00E9 \u00FF", false},
                    TrickyValue{"ControlCharacters", u"a\tb\x01\x7F\x85", true},
                    TrickyValue{"EqualsSign", u"a=b==", false},
                    TrickyValue{"BeyondLatin1", u"\u20AC \U0001F600", false}),
    [](const testing::TestParamInfo<TrickyValue>& p) { return std::string(p.param.name); });

TEST(ProfileSyntax, ReadsSectionsEntriesAndLineNumbers) {
    const ProfileSyntax s = ParseProfileSyntax(
        "\xEF\xBB\xBF# comment\r\n"
        "  ; another\r\n"
        "\r\n"
        " [ system ] \r\n"
        "sms_interval=600\r\n"
        "\tgprs_interval   =   30   \r\n"
        "[gprs]\n"
        "apn = \"a # b\"   \n"
        "user =\n");
    ASSERT_TRUE(s.problems.empty()) << s.problems[0].text;
    ASSERT_EQ(s.sections.size(), 2u);
    EXPECT_EQ(s.sections[0].name, "system");
    EXPECT_EQ(s.sections[0].line, 4);
    ASSERT_EQ(s.entries.size(), 4u);
    EXPECT_EQ(s.entries[0].key, "sms_interval");
    EXPECT_EQ(s.entries[0].value, u"600");
    EXPECT_EQ(s.entries[0].line, 5);
    EXPECT_EQ(s.entries[1].value, u"30");
    EXPECT_EQ(s.entries[2].section, "gprs");
    EXPECT_EQ(s.entries[2].value, u"a # b");
    EXPECT_EQ(s.entries[3].value, u"");
    EXPECT_EQ(s.entries[3].line, 9);
}

TEST(ProfileSyntax, TakesEscapesInQuotedValuesInEitherCase) {
    const ProfileSyntax s = ParseProfileSyntax("[s]\nk = \"\\x41\\xe9\\\\\\\"\"\n");
    ASSERT_TRUE(s.problems.empty());
    EXPECT_EQ(s.entries[0].value, u"A\u00E9\\\"");
}

struct SyntaxError {
    const char* name;
    std::string text;
    int line;
    const char* says;
};

class ProfileSyntaxRefuses : public testing::TestWithParam<SyntaxError> {};

TEST_P(ProfileSyntaxRefuses, TheLineWithItsReason) {
    const ProfileSyntax s = ParseProfileSyntax(GetParam().text);
    ASSERT_EQ(s.problems.size(), 1u);
    EXPECT_EQ(s.problems[0].line, GetParam().line);
    EXPECT_NE(s.problems[0].text.find(GetParam().says), std::string::npos) << s.problems[0].text;
    EXPECT_TRUE(s.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileSyntaxRefuses,
    testing::Values(
        SyntaxError{"UnquotedHash", "[s]\nk = pass#word\n", 2, "must be quoted"},
        SyntaxError{"UnquotedSemicolon", "[s]\nk = v ; note\n", 2, "must be quoted"},
        SyntaxError{"UnclosedQuote", "[s]\n\nk = \"open\n", 3, "no closing quote"},
        SyntaxError{"BackslashAtTheEnd", "[s]\nk = \"open\\\n", 2, "no closing quote"},
        SyntaxError{"TextAfterQuote", "[s]\nk = \"v\" # c\n", 2, "follow the closing quote"},
        SyntaxError{"UnknownEscape", "[s]\nk = \"a\\nb\"\n", 2, "unknown escape"},
        SyntaxError{"ShortHexEscape", "[s]\nk = \"\\x4\"\n", 2, "unknown escape"},
        SyntaxError{"NoEquals", "[s]\nsms_interval 600\n", 2, "expected"},
        SyntaxError{"NoKey", "[s]\n = 600\n", 2, "no key name"},
        SyntaxError{"BeforeAnySection", "k = v\n[s]\n", 1, "before the first [section]"},
        SyntaxError{"UnclosedSection", "[system\n", 1, "must end with ']'"},
        SyntaxError{"NotUtf8", "[s]\nk = Z\xFCrich\n", 2, "not valid UTF-8"}),
    [](const testing::TestParamInfo<SyntaxError>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quarnel
