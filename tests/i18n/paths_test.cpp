// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/paths.h"

#include <gtest/gtest.h>

#include "form/messages.h"
#include "i18n/i18n_test_files.h"
#include "i18n/lang_table.h"
#include "os/files.h"
#include "support/recording_ui.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

TEST(I18nPaths, SettingsFileLiesInTheProgramFolder) {
    EXPECT_EQ(os::Utf8FromPath(SettingsFilePath("/opt/quarnel/bin")),
              "/opt/quarnel/bin/Player.ini");
}

struct LangPathCase {
    const char* name;
    std::u16string language;
    std::string path;
};

void PrintTo(const LangPathCase& c, std::ostream* os) {
    *os << c.name;
}

class LanguagePathTest : public testing::TestWithParam<LangPathCase> {};

TEST_P(LanguagePathTest, JoinsFolderAndNameAsText) {
    EXPECT_EQ(os::Utf8FromPath(LanguageFilePath("/opt/q", GetParam().language)), GetParam().path);
}

const LangPathCase kLangPathCases[] = {
    {"PlainName", u"English.ini", "/opt/q/Lang/English.ini"},
    {"NoExtensionAdded", u"English", "/opt/q/Lang/English"},
    {"EmptyNameNamesTheFolder", u"", "/opt/q/Lang/"},
    {"SpacesKept", u" English.ini ", "/opt/q/Lang/ English.ini "},
    {"AbsoluteNameStaysInside", u"/etc/passwd", "/opt/q/Lang//etc/passwd"},
    {"SubFolderAllowed", u"old/English.ini", "/opt/q/Lang/old/English.ini"},
    {"NonAsciiAsUtf8", u"Espa\u00F1ol.ini", "/opt/q/Lang/Espa\xC3\xB1ol.ini"},
    {"SurrogatePairAsOneCharacter", u"\U0001F600.ini", "/opt/q/Lang/\xF0\x9F\x98\x80.ini"},
    {"LoneSurrogateReplaced", u"a\xD800.ini", "/opt/q/Lang/a\xEF\xBF\xBD.ini"},
    {"LoneLowSurrogateReplaced", u"\xDC00", "/opt/q/Lang/\xEF\xBF\xBD"},
};

INSTANTIATE_TEST_SUITE_P(I18nPaths, LanguagePathTest, testing::ValuesIn(kLangPathCases),
                         test::RowName());

TEST(I18nPaths, EmptyLanguageNameFailsToOpenWithTheMessage) {
    test::TempDir dir;
    dir.Write("Lang/English.ini", test::Utf16File({u"[BUTTON]", u"Get"}));
    test::RecordingUi ui;
    CLangTable table;

    EXPECT_FALSE(LoadLanguage(LanguageFilePath(dir.path(), u""), table, ui));
    EXPECT_EQ(ui.Messages(), std::vector<std::u16string>{std::u16string(msg::kCannotOpenLang)});

    EXPECT_TRUE(LoadLanguage(LanguageFilePath(dir.path(), u"English.ini"), table, ui));
    EXPECT_EQ(table.Count(LangSection::Button), 1u);
}

}  // namespace
}  // namespace quarnel
