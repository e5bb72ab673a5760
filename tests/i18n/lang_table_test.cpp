// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/lang_table.h"

#include <gtest/gtest.h>

#include <string>

namespace quarnel {
namespace {

TEST(LangTable, EntriesKeepTheirOrderPerSection) {
    CLangTable table;
    table.Append(LangSection::SleepMode, u"a");
    table.Append(LangSection::Button, u"x");
    table.Append(LangSection::SleepMode, u"b");

    EXPECT_EQ(table.Count(LangSection::SleepMode), 2u);
    EXPECT_EQ(table.Count(LangSection::Button), 1u);
    EXPECT_EQ(table.Count(LangSection::Tracker), 0u);
    EXPECT_EQ(table.Entry(LangSection::SleepMode, 0), u"a");
    EXPECT_EQ(table.Entry(LangSection::SleepMode, 1), u"b");
}

TEST(LangTable, EntryPastTheCountThrowsNamingIt) {
    CLangTable table;
    table.Append(LangSection::SystemConfig, u"only");

    try {
        (void)table.Entry(LangSection::SystemConfig, 1);
        FAIL() << "no exception";
    } catch (const LangEntryMissing& e) {
        EXPECT_EQ(e.section(), LangSection::SystemConfig);
        EXPECT_EQ(e.position(), 1u);
        EXPECT_NE(std::string(e.what()).find("[SYSTEM CONFIG]"), std::string::npos) << e.what();
    }
    EXPECT_THROW((void)table.Entry(LangSection::Tracker, 0), std::invalid_argument)
        << "the window catches it as the platform's invalid-argument error";
}

TEST(LangTable, ClearEmptiesAllEightLists) {
    CLangTable table;
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        table.Append(static_cast<LangSection>(s), u"t");
    }
    table.Clear();
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        EXPECT_EQ(table.Count(static_cast<LangSection>(s)), 0u) << s;
    }
}

TEST(LangTable, SectionNamesAreTheFileHeadings) {
    const std::u16string_view expected[] = {
        u"[BUTTON]",        u"[TRACKER]",      u"[SYSTEM CONFIG]", u"[GSM GPRS CONFIG]",
        u"[SERVER CONFIG]", u"[PHONE CONFIG]", u"[SLEEP MODE]",    u"[FIRMWARE UPDATE]",
    };
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        EXPECT_EQ(SectionName(static_cast<LangSection>(s)), expected[s]) << s;
    }
}

}  // namespace
}  // namespace quarnel
