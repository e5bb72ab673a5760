// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "form/control_ids.h"
#include "i18n/i18n_test_files.h"
#include "i18n/lang_fixture.h"
#include "i18n/lang_table.h"
#include "i18n/text_table.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace quarnel {
namespace {

using test::EntryText;
using S = LangSection;

CLangTable TableFrom(const std::vector<std::u16string>& lines) {
    CLangTable table;
    ParseLanguage(test::Utf16File(lines), table);
    return table;
}

std::vector<std::u16string> ModeItems(test::MemoryForm& form) {
    return form.Snapshot(ctl::ModeCombo).items;
}

std::vector<std::u16string> EntryTexts(LangSection section, size_t from, size_t to) {
    std::vector<std::u16string> texts;
    for (size_t p = from; p <= to; ++p) {
        texts.push_back(EntryText(section, p));
    }
    return texts;
}

TEST(ApplyLanguageTexts, RowsCoverEveryCaptionedControlOnce) {
    std::set<int> captioned;
    size_t items = 0;
    for (const LangTextRow& row : kLangTextRows) {
        if (row.kind == LangTextRow::ListItem) {
            EXPECT_EQ(row.controlId, ctl::ModeCombo);
            ++items;
        } else {
            EXPECT_TRUE(captioned.insert(row.controlId).second) << row.controlId;
        }
        EXPECT_FALSE(row.section == S::SystemConfig && row.position == 10)
            << "entry 10 of [SYSTEM CONFIG] is never shown";
    }
    EXPECT_EQ(captioned.size(), 59u);
    EXPECT_EQ(items, 4u);
}

TEST(ApplyLanguageTexts, FullTableLabelsEveryControlAndFillsTheModeBox) {
    const CLangTable table = TableFrom(test::FullLanguageLines());
    test::MemoryForm form;

    ApplyLanguageTexts(table, form);

    for (const LangTextRow& row : kLangTextRows) {
        if (row.kind == LangTextRow::Caption) {
            EXPECT_EQ(form.Snapshot(row.controlId).textHistory,
                      std::vector<std::u16string>{EntryText(row.section, row.position)})
                << "control " << row.controlId;
        }
    }
    EXPECT_EQ(form.GetText(ctl::SecuritySmsPanel), EntryText(S::SystemConfig, 11));
    EXPECT_EQ(form.GetText(ctl::SosGeoAlarmLabel), EntryText(S::SystemConfig, 29));
    EXPECT_EQ(form.GetText(ctl::FirmwareUpdatePanel), EntryText(S::FirmwareUpdate, 0));
    EXPECT_EQ(form.GetText(ctl::UpdateButton), EntryText(S::FirmwareUpdate, 1));
    EXPECT_EQ(ModeItems(form), EntryTexts(S::SleepMode, 7, 10));
    EXPECT_EQ(form.GetSelection(ctl::ModeCombo), -1) << "no Mode choice is selected";
    EXPECT_TRUE(form.Snapshot(ctl::ModeCombo).textHistory.empty());
}

TEST(ApplyLanguageTexts, ExtraEntriesChangeNothing) {
    test::MemoryForm exact;
    test::MemoryForm extra;
    ApplyLanguageTexts(TableFrom(test::FullLanguageLines()), exact);
    ApplyLanguageTexts(TableFrom(test::FullLanguageLines(3)), extra);

    for (const LangTextRow& row : kLangTextRows) {
        EXPECT_EQ(extra.GetText(row.controlId), exact.GetText(row.controlId)) << row.controlId;
    }
    EXPECT_EQ(ModeItems(extra), ModeItems(exact));
}

TEST(ApplyLanguageTexts, EmptyTableStopsAtTheFirstRowAndTouchesNothing) {
    const CLangTable empty;
    test::MemoryForm form;

    try {
        ApplyLanguageTexts(empty, form);
        FAIL() << "no exception";
    } catch (const LangEntryMissing& e) {
        EXPECT_EQ(e.section(), S::Button);
        EXPECT_EQ(e.position(), 0u);
    }
    for (const LangTextRow& row : kLangTextRows) {
        EXPECT_TRUE(form.Snapshot(row.controlId).textHistory.empty()) << row.controlId;
    }
    EXPECT_TRUE(ModeItems(form).empty());
}

TEST(ApplyLanguageTexts, MissingSystemConfigEntry10ShiftsTheRestAndStopsAtEntry29) {
    std::vector<std::u16string> lines = test::FullLanguageLines();
    lines.erase(std::find(lines.begin(), lines.end(), EntryText(S::SystemConfig, 10)));
    const CLangTable table = TableFrom(lines);
    test::MemoryForm form;

    try {
        ApplyLanguageTexts(table, form);
        FAIL() << "no exception";
    } catch (const LangEntryMissing& e) {
        EXPECT_EQ(e.section(), S::SystemConfig);
        EXPECT_EQ(e.position(), 29u);
    }

    // Up to entry 9 every control is right; from entry 11 on each shows the text meant for
    // the row after it.
    EXPECT_EQ(form.GetText(ctl::SensorActiveLabel), EntryText(S::SystemConfig, 9));
    EXPECT_EQ(form.GetText(ctl::SecuritySmsPanel), EntryText(S::SystemConfig, 12));
    EXPECT_EQ(form.GetText(ctl::BurglarCheck), EntryText(S::SystemConfig, 13));
    EXPECT_EQ(form.GetText(ctl::ButtonPressedCheck), EntryText(S::SystemConfig, 29));
    EXPECT_EQ(form.GetText(ctl::GetParameterButton), EntryText(S::Button, 0));

    // From the missing row on, nothing is touched.
    bool reached = false;
    for (const LangTextRow& row : kLangTextRows) {
        reached = reached || row.controlId == ctl::SosGeoAlarmLabel;
        if (reached) {
            EXPECT_TRUE(form.Snapshot(row.controlId).textHistory.empty()) << row.controlId;
        }
    }
    EXPECT_TRUE(reached);
    EXPECT_TRUE(ModeItems(form).empty());
}

TEST(ApplyLanguageTexts, MissingModeChoiceStopsAfterTheOnesBeforeIt) {
    std::vector<std::u16string> lines = test::FullLanguageLines();
    lines.erase(std::find(lines.begin(), lines.end(), EntryText(S::SleepMode, 10)));
    lines.erase(std::find(lines.begin(), lines.end(), EntryText(S::SleepMode, 9)));
    test::MemoryForm form;

    EXPECT_THROW(ApplyLanguageTexts(TableFrom(lines), form), LangEntryMissing);

    EXPECT_EQ(form.GetText(ctl::SecLabel), EntryText(S::SleepMode, 6));
    EXPECT_EQ(ModeItems(form), EntryTexts(S::SleepMode, 7, 8));
    EXPECT_TRUE(form.Snapshot(ctl::FirmwareUpdatePanel).textHistory.empty());
    EXPECT_TRUE(form.Snapshot(ctl::UpdateButton).textHistory.empty());
}

TEST(ApplyLanguageTexts, MissingUpdateButtonTextIsTheLastRow) {
    std::vector<std::u16string> lines = test::FullLanguageLines();
    lines.pop_back();  // "[FIRMWARE UPDATE]" entry 1
    test::MemoryForm form;

    try {
        ApplyLanguageTexts(TableFrom(lines), form);
        FAIL() << "no exception";
    } catch (const LangEntryMissing& e) {
        EXPECT_EQ(e.section(), S::FirmwareUpdate);
        EXPECT_EQ(e.position(), 1u);
    }
    EXPECT_EQ(ModeItems(form), EntryTexts(S::SleepMode, 7, 10));
    EXPECT_EQ(form.GetText(ctl::FirmwareUpdatePanel), EntryText(S::FirmwareUpdate, 0));
    EXPECT_TRUE(form.Snapshot(ctl::UpdateButton).textHistory.empty());
}

}  // namespace
}  // namespace quarnel
