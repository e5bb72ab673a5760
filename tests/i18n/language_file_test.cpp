// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "form/messages.h"
#include "i18n/i18n_test_files.h"
#include "i18n/lang_fixture.h"
#include "i18n/lang_table.h"
#include "support/recording_ui.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::Contents;
using test::LangContents;
using test::LineEnd;
using test::TextFileStyle;
using test::Utf16File;

using S = LangSection;

LangContents Expect(std::vector<std::pair<LangSection, std::vector<std::u16string>>> lists) {
    LangContents contents;
    for (auto& [section, texts] : lists) {
        contents[static_cast<size_t>(section)] = std::move(texts);
    }
    return contents;
}

std::string Describe(const LangContents& contents) {
    std::string out;
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        out += test::Narrow(std::u16string(SectionName(test::SectionAt(s)))) + ":";
        for (const auto& text : contents[s]) {
            out += " '" + test::Narrow(text) + "'";
        }
        out += "\n";
    }
    return out;
}

struct LangCase {
    const char* name;
    std::string bytes;
    LangContents table;
};

void PrintTo(const LangCase& c, std::ostream* os) {
    *os << c.name;
}

class LanguageFileTest : public testing::TestWithParam<LangCase> {};

TEST_P(LanguageFileTest, FilesEveryLineUnderItsSection) {
    test::TempDir dir;
    test::RecordingUi ui;
    CLangTable table;
    table.Append(S::Tracker, u"left over from before");

    EXPECT_TRUE(LoadLanguage(dir.Write("Lang/Test.ini", GetParam().bytes), table, ui));

    const LangContents got = Contents(table);
    EXPECT_EQ(got, GetParam().table) << "got:\n"
                                     << Describe(got) << "wanted:\n"
                                     << Describe(GetParam().table);
    EXPECT_TRUE(ui.Events().empty()) << "no content of the file is reported";
}

const std::u16string k255 = std::u16string(255, u'w');

const LangCase kLangCases[] = {
    {"EmptyFile", "", Expect({})},
    {"OneEntryPerLine", Utf16File({u"[BUTTON]", u"Get", u"Set"}),
     Expect({{S::Button, {u"Get", u"Set"}}})},
    {"DuplicateSectionCollectsBothBlocks",
     Utf16File({u"[BUTTON]", u"a", u"[TRACKER]", u"t", u"[BUTTON]", u"b"}),
     Expect({{S::Button, {u"a", u"b"}}, {S::Tracker, {u"t"}}})},
    {"EscapeMakesSectionNameText",
     Utf16File({u"[SLEEP MODE]", u"Off", u"[TRACKER]/ not a heading", u"On"}),
     Expect({{S::SleepMode, {u"Off", u"[TRACKER]/ not a heading", u"On"}}})},
    {"EscapeAnywhereInLine", Utf16File({u"[BUTTON]", u"x ]/ y", u"[BUTTON] and ]/"}),
     Expect({{S::Button, {u"x ]/ y", u"[BUTTON] and ]/"}}})},
    {"SectionNameInsideTextSelectsSection", Utf16File({u"[BUTTON]", u"Press [TRACKER] now", u"t"}),
     Expect({{S::Tracker, {u"t"}}})},
    {"HeadingWithRemarkSelectsSection",
     Utf16File({u"[BUTTON]", u"b", u"; [SLEEP MODE] texts follow", u"s"}),
     Expect({{S::Button, {u"b"}}, {S::SleepMode, {u"s"}}})},
    {"FirstSectionInTestOrderWins", Utf16File({u"[FIRMWARE UPDATE][TRACKER][BUTTON]", u"x"}),
     Expect({{S::Button, {u"x"}}})},
    {"LowerCaseSectionNameIsText", Utf16File({u"[BUTTON]", u"[button]", u"[Tracker]"}),
     Expect({{S::Button, {u"[button]", u"[Tracker]"}}})},
    {"SectionNameWithoutBracketsIsText", Utf16File({u"[BUTTON]", u"BUTTON", u"[SYSTEMCONFIG]"}),
     Expect({{S::Button, {u"BUTTON", u"[SYSTEMCONFIG]"}}})},
    {"BlankLineMakesNoEntry", Utf16File({u"[BUTTON]", u"a", u"", u"b"}),
     Expect({{S::Button, {u"a", u"b"}}})},
    {"SingleSpaceLineIsAnEntry", Utf16File({u"[BUTTON]", u"a", u" ", u"b"}),
     Expect({{S::Button, {u"a", u" ", u"b"}}})},
    {"SpacesAroundTextKept", Utf16File({u"[BUTTON]", u"  Get Parameter \t"}),
     Expect({{S::Button, {u"  Get Parameter \t"}}})},
    {"TextBeforeFirstSectionIgnored", Utf16File({u"Title", u"by me", u"[BUTTON]", u"Get"}),
     Expect({{S::Button, {u"Get"}}})},
    {"NoSectionAtAllLeavesTableEmpty", Utf16File({u"Get", u"Set"}), Expect({})},
    {"TextOf255UnitsIsOneEntry", Utf16File({u"[BUTTON]", k255, u"next"}),
     Expect({{S::Button, {k255, u"next"}}})},
    {"LongerTextSplitsAndShiftsTheRest", Utf16File({u"[BUTTON]", k255 + u"tail", u"next"}),
     Expect({{S::Button, {k255, u"tail", u"next"}}})},
    {"SplitPieceCanBeASectionLine", Utf16File({u"[BUTTON]", k255 + u"[TRACKER]", u"t"}),
     Expect({{S::Button, {k255}}, {S::Tracker, {u"t"}}})},
    {"CrOnlyFileIsOneSectionLine", Utf16File({u"[BUTTON]", u"a", u"b"}, {true, LineEnd::Cr}),
     Expect({})},
    {"EightBitFileHasNoSections", std::string("[BUTTON]\r\nGet\r\n"), Expect({})},
    {"Utf8FileHasNoSections", std::string("\xEF\xBB\xBF[BUTTON]\r\nGet\r\n"), Expect({})},
    {"NonAsciiTextKept", Utf16File({u"[BUTTON]", u"讀取參數", u"Считать"}),
     Expect({{S::Button, {u"讀取參數", u"Считать"}}})},
};

INSTANTIATE_TEST_SUITE_P(Language, LanguageFileTest, testing::ValuesIn(kLangCases),
                         test::RowName());

TEST(LanguageFile, FullFileFillsEveryList) {
    CLangTable table;
    ParseLanguage(Utf16File(test::FullLanguageLines()), table);
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        const LangSection section = test::SectionAt(s);
        ASSERT_EQ(table.Count(section), test::kRequiredCounts[s]);
        for (size_t p = 0; p < test::kRequiredCounts[s]; ++p) {
            EXPECT_EQ(table.Entry(section, p), test::EntryText(section, p));
        }
    }
}

TEST(LanguageFile, SectionOrderDoesNotMatter) {
    // The same sections, last one first.
    std::vector<std::u16string> lines = test::FullLanguageLines();
    const auto firmware = std::find(lines.begin(), lines.end(), u"[FIRMWARE UPDATE]");
    std::vector<std::u16string> reordered(firmware, lines.end());
    reordered.insert(reordered.end(), lines.begin(), firmware);

    CLangTable inOrder;
    CLangTable outOfOrder;
    ParseLanguage(Utf16File(lines), inOrder);
    ParseLanguage(Utf16File(reordered), outOfOrder);
    EXPECT_EQ(Contents(outOfOrder), Contents(inOrder));
}

struct StyleCase {
    const char* name;
    TextFileStyle style;
};

class LanguageFileStyleTest : public testing::TestWithParam<StyleCase> {};

TEST_P(LanguageFileStyleTest, LineEndsAndByteOrderMarkGiveTheSameTable) {
    const auto lines = test::FullLanguageLines(1);
    CLangTable reference;
    ParseLanguage(Utf16File(lines, {true, LineEnd::CrLf}), reference);

    test::TempDir dir;
    test::RecordingUi ui;
    CLangTable table;
    ASSERT_TRUE(
        LoadLanguage(dir.Write("Lang/x.ini", Utf16File(lines, GetParam().style)), table, ui));
    EXPECT_EQ(Contents(table), Contents(reference));
}

INSTANTIATE_TEST_SUITE_P(Language, LanguageFileStyleTest,
                         testing::Values(StyleCase{"BomCrLf", {true, LineEnd::CrLf}},
                                         StyleCase{"BomLf", {true, LineEnd::Lf}},
                                         StyleCase{"NoBomCrLf", {false, LineEnd::CrLf}},
                                         StyleCase{"NoBomLf", {false, LineEnd::Lf}}),
                         test::RowName());

TEST(LanguageFile, ByteOrderMarkOnlyAtFileStartIsDropped) {
    CLangTable table;
    ParseLanguage(test::Utf16Le(u"\uFEFF[BUTTON]\r\n\uFEFFGet\r\n"), table);
    EXPECT_EQ(Contents(table), Expect({{S::Button, {u"\uFEFFGet"}}}));
}

struct OpenFailureCase {
    const char* name;
    const char* file;  // inside Lang/, which holds a folder named "Folder.ini"
};

class LanguageOpenFailureTest : public testing::TestWithParam<OpenFailureCase> {};

TEST_P(LanguageOpenFailureTest, ShowsTheMessageAndLeavesTheTableEmpty) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "Lang" / "Folder.ini");
    test::RecordingUi ui;
    CLangTable table;
    table.Append(S::Button, u"left over");

    EXPECT_FALSE(LoadLanguage(dir.path() / "Lang" / GetParam().file, table, ui));

    EXPECT_EQ(ui.Messages(), std::vector<std::u16string>{std::u16string(msg::kCannotOpenLang)});
    EXPECT_EQ(ui.Events().size(), 1u);
    EXPECT_EQ(Contents(table), Expect({}));
}

INSTANTIATE_TEST_SUITE_P(Language, LanguageOpenFailureTest,
                         testing::Values(OpenFailureCase{"MissingFile", "Missing.ini"},
                                         OpenFailureCase{"PathNamesAFolder", "Folder.ini"},
                                         OpenFailureCase{"LangFolderItself", ""}),
                         test::RowName());

}  // namespace
}  // namespace quarnel
