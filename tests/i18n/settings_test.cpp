// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/messages.h"
#include "i18n/i18n_test_files.h"
#include "support/named_pipe.h"
#include "support/recording_ui.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::LineEnd;
using test::TextFileStyle;
using test::Utf16File;
using test::Utf16Le;

// What the window holds before the file is read in these tests: not the defaults, so that a
// field the file leaves alone can be told from one it sets back.
const Settings kPrior{u"Prior.ini", false};

std::string Lines(std::vector<std::u16string> lines, TextFileStyle style = {}) {
    return Utf16File(lines, style);
}

std::string EightBit(std::string_view text) {
    return std::string(text);
}

struct SettingsCase {
    const char* name;
    std::string bytes;
    std::u16string language;
    bool hidden;
};

void PrintTo(const SettingsCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsFileTest : public testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsFileTest, TakesTheKeysItRecognises) {
    test::TempDir dir;
    test::RecordingUi ui;
    Settings settings = kPrior;

    EXPECT_TRUE(LoadSettings(dir.Write("Player.ini", GetParam().bytes), settings, ui));

    EXPECT_EQ(settings.languageName, GetParam().language) << test::Narrow(settings.languageName);
    EXPECT_EQ(settings.firmwarePanelHidden, GetParam().hidden);
    EXPECT_TRUE(ui.Events().empty()) << "no content of the file is reported";
}

const std::u16string k246 = std::u16string(246, u'n');

const SettingsCase kSettingsCases[] = {
    {"WellFormedWithBom", Lines({u"[SETUP]", u"Language=English.ini", u"HideFirmwareUpdate=1"}),
     u"English.ini", true},
    {"WellFormedWithoutBom",
     Lines({u"[SETUP]", u"Language=English.ini", u"HideFirmwareUpdate=1"}, {false, LineEnd::CrLf}),
     u"English.ini", true},
    {"LfLineEnds",
     Lines({u"[SETUP]", u"Language=English.ini", u"HideFirmwareUpdate=1"}, {true, LineEnd::Lf}),
     u"English.ini", true},
    {"EmptyFile", "", u"Prior.ini", false},
    {"OnlyTheHeading", Lines({u"[SETUP]"}), u"Prior.ini", false},
    {"CrOnlyWithHeadingSkippedWhole",
     Lines({u"[SETUP]", u"Language=English.ini", u"HideFirmwareUpdate=1"}, {true, LineEnd::Cr}),
     u"Prior.ini", false},
    {"CrOnlyWithoutHeadingRunsTogether",
     Lines({u"Language=English.ini", u"HideFirmwareUpdate=1"}, {true, LineEnd::Cr}),
     u"English.iniHideFirmwareUpdate=1", false},
    {"EightBitFileMatchesNoKey",
     EightBit("[SETUP]\r\nLanguage=English.ini\r\nHideFirmwareUpdate=1\r\n"), u"Prior.ini", false},
    {"Utf8FileMatchesNoKey",
     EightBit("\xEF\xBB\xBF[SETUP]\r\nLanguage=Espa\xC3\xB1ol.ini\r\nHideFirmwareUpdate=1\r\n"),
     u"Prior.ini", false},
    {"KeyWithSpaceBeforeEquals", Lines({u"Language =French.ini", u"HideFirmwareUpdate =1"}),
     u"Prior.ini", false},
    {"KeyWithSpaceBeforeIt", Lines({u" Language=French.ini", u"\tHideFirmwareUpdate=1"}),
     u"Prior.ini", false},
    {"KeyInOtherCase",
     Lines({u"language=French.ini", u"LANGUAGE=French.ini", u"hidefirmwareupdate=1"}), u"Prior.ini",
     false},
    {"SpaceAfterEqualsBelongsToValue", Lines({u"Language= French.ini"}), u" French.ini", false},
    {"TrailingSpaceAndTabKept", Lines({u"Language=French.ini \t"}), u"French.ini \t", false},
    {"EqualsInsideValueKept", Lines({u"Language=a=b.ini"}), u"a=b.ini", false},
    {"LineWithoutEqualsIgnored", Lines({u"Language", u"HideFirmwareUpdate"}), u"Prior.ini", false},
    {"EmptyKeyIgnored", Lines({u"=English.ini"}), u"Prior.ini", false},
    {"OtherKeysIgnored", Lines({u"Font=Arial", u"Languages=x.ini"}), u"Prior.ini", false},
    {"EmptyValueEmptiesName", Lines({u"Language="}), u"", false},
    {"LastEmptyValueWins", Lines({u"Language=French.ini", u"Language="}), u"", false},
    {"LastLanguageWins", Lines({u"Language=French.ini", u"Language=German.ini"}), u"German.ini",
     false},
    {"LastHideValueWinsOff", Lines({u"HideFirmwareUpdate=1", u"HideFirmwareUpdate=0"}),
     u"Prior.ini", false},
    {"LastHideValueWinsOn", Lines({u"HideFirmwareUpdate=0", u"HideFirmwareUpdate=1"}), u"Prior.ini",
     true},
    {"KeyLineContainingHeadingSkipped",
     Lines({u"Language=[SETUP].ini", u"HideFirmwareUpdate=1 [SETUP]"}), u"Prior.ini", false},
    {"KeysBeforeTheHeadingTaken", Lines({u"Language=A.ini", u"HideFirmwareUpdate=1", u"[SETUP]"}),
     u"A.ini", true},
    {"KeysUnderAnotherHeadingTaken", Lines({u"[SETUP]", u"[OTHER]", u"Language=B.ini"}), u"B.ini",
     false},
    {"NameOf246UnitsWhole", Lines({u"[SETUP]", u"Language=" + k246}), k246, false},
    {"LongerNameCutAt246", Lines({u"[SETUP]", u"Language=" + k246 + u"overflow"}), k246, false},
    {"RestOfLongLineIsALineOfItsOwn",
     Lines({u"[SETUP]", u"Language=" + k246 + u"HideFirmwareUpdate=1"}), k246, true},
    {"ByteOrderMarkTakesAUnitOfTheFirstLine", Lines({u"Language=" + k246 + u"x"}), k246.substr(1),
     false},
    {"ByteOrderMarkOnLaterLineSpoilsKey", Lines({u"Language=A.ini", u"\uFEFFLanguage=B.ini"}),
     u"A.ini", false},
    {"NulEndsTheLine", Lines({std::u16string(u"Language=A.ini\0junk", 19)}), u"A.ini", false},
    {"OddTrailingByteIgnored", Lines({u"Language=A.ini"}) + "\x01", u"A.ini", false},
    {"NonAsciiNameKept", Lines({u"Language=繁體中文.ini"}), u"繁體中文.ini", false},
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingsFileTest, testing::ValuesIn(kSettingsCases),
                         test::RowName());

struct HideCase {
    const char* name;
    std::u16string value;
    bool hidden;
};

void PrintTo(const HideCase& c, std::ostream* os) {
    *os << c.name;
}

class HideFirmwareValueTest : public testing::TestWithParam<HideCase> {};

TEST_P(HideFirmwareValueTest, HidesOnAnyNonZeroNumber) {
    for (bool before : {false, true}) {
        Settings settings{u"Prior.ini", before};
        ParseSettings(Lines({u"[SETUP]", u"HideFirmwareUpdate=" + GetParam().value}), settings);
        EXPECT_EQ(settings.firmwarePanelHidden, GetParam().hidden) << "hidden before: " << before;
        EXPECT_EQ(settings.languageName, u"Prior.ini");
    }
}

const HideCase kHideCases[] = {
    {"One", u"1", true},
    {"Two", u"2", true},
    {"MinusOne", u"-1", true},
    {"OneAfterSpaces", u" 1", true},
    {"OneBeforeLetters", u"1abc", true},
    {"ElevenNinesClampToNonZero", u"99999999999", true},
    {"HugeNegativeClampsToNonZero", u"-99999999999", true},
    {"Zero", u"0", false},
    {"Empty", u"", false},
    {"Yes", u"yes", false},
    {"True", u"true", false},
    {"ZeroWithLetters", u"0x1", false},
    {"OneAfterLetter", u"a1", false},
};

INSTANTIATE_TEST_SUITE_P(Settings, HideFirmwareValueTest, testing::ValuesIn(kHideCases),
                         test::RowName());

TEST(SettingsFile, KeysThatDoNotOccurLeaveTheirFieldsAlone) {
    test::TempDir dir;
    test::RecordingUi ui;
    Settings settings{u"Prior.ini", true};

    ASSERT_TRUE(
        LoadSettings(dir.Write("Player.ini", Lines({u"[SETUP]", u"Other=1"})), settings, ui));

    EXPECT_EQ(settings.languageName, u"Prior.ini");
    EXPECT_TRUE(settings.firmwarePanelHidden);
}

TEST(SettingsFile, FileAndBytesReadAlike) {
    const std::string bytes =
        Lines({u"Language=" + k246 + u"HideFirmwareUpdate=7", u"[SETUP]x=y", u"Language=Z"},
              {true, LineEnd::Cr}) +
        "\x02";
    test::TempDir dir;
    test::RecordingUi ui;
    Settings fromFile = kPrior;
    Settings fromBytes = kPrior;

    ASSERT_TRUE(LoadSettings(dir.Write("Player.ini", bytes), fromFile, ui));
    ParseSettings(bytes, fromBytes);

    EXPECT_EQ(fromFile.languageName, fromBytes.languageName);
    EXPECT_EQ(fromFile.firmwarePanelHidden, fromBytes.firmwarePanelHidden);
}

// Where LoadSettings is pointed at something it cannot read as a file.
struct OpenFailureCase {
    const char* name;
    // The path to load; an empty one where the system cannot make such a thing.
    std::filesystem::path (*make)(const test::TempDir&);
};

void PrintTo(const OpenFailureCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsOpenFailureTest : public testing::TestWithParam<OpenFailureCase> {};

TEST_P(SettingsOpenFailureTest, ShowsTheMessageOnceAndChangesNothing) {
    test::TempDir dir;
    test::RecordingUi ui;
    Settings settings{u"Prior.ini", true};

    const std::filesystem::path path = GetParam().make(dir);
    if (path.empty()) {
        GTEST_SKIP() << test::kNoNamedPipes;
    }
    EXPECT_FALSE(LoadSettings(path, settings, ui));

    EXPECT_EQ(ui.Messages(), std::vector<std::u16string>{std::u16string(msg::kCannotOpenLang)});
    EXPECT_EQ(ui.Events().size(), 1u);
    EXPECT_EQ(settings.languageName, u"Prior.ini");
    EXPECT_TRUE(settings.firmwarePanelHidden);
}

const OpenFailureCase kOpenFailureCases[] = {
    {"MissingFile", [](const test::TempDir& d) { return d.path() / "Player.ini"; }},
    {"MissingFolder", [](const test::TempDir& d) { return d.path() / "nowhere" / "Player.ini"; }},
    {"PathNamesAFolder",
     [](const test::TempDir& d) {
         std::filesystem::create_directory(d.path() / "Player.ini");
         return d.path() / "Player.ini";
     }},
    {"PathNamesAPipe",
     [](const test::TempDir& d) {
         const auto fifo = d.path() / "Player.ini";
         return test::MakeNamedPipe(fifo) ? fifo : std::filesystem::path();
     }},
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingsOpenFailureTest, testing::ValuesIn(kOpenFailureCases),
                         test::RowName());

}  // namespace
}  // namespace quarnel
